#pragma once

#include "indices.h"

#include <array>
#include <string_view>

namespace lists {

// One row of a list: the text the user sees, and the key text that ties it to
// the rows of the other lists that belong to the same peak.
struct CatalogueRow
{
    std::string_view display;
    std::string_view key;
};

using CatalogueTable = std::array<std::array<CatalogueRow, rowCount>, listCount>;

// The fixed content of the lists. Read-only; texts are UTF-8 and keep their
// trailing blanks.
class Catalogue
{
public:
    constexpr explicit Catalogue(const CatalogueTable &table)
        : m_table(table)
    {
    }

    // The eight mountains of Bulgaria the lesson is about.
    static const Catalogue &builtIn();

    // Both throw ListIndexError outside 0..2 and 0..7.
    std::string_view displayText(std::int16_t list, std::int16_t row) const;
    std::string_view keyText(std::int16_t list, std::int16_t row) const;

private:
    const CatalogueRow &at(std::int16_t list, std::int16_t row) const;

    CatalogueTable m_table;
};

} // namespace lists
