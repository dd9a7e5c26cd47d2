#pragma once

#include "catalogue.h"

#include <cstdint>
#include <string_view>

namespace lists {

// What the handlings need from the window: the selection of the visible lists
// List1(0..2), and the key texts of the never-shown lists List2(0..2), which
// are the catalogue's and held here as plain data. A window implements the
// two selection operations on its own list controls and fills those from
// catalogue().
//
// The public calls check their indices and throw ListIndexError, so that an
// implementation only ever sees a list 0..2 and a row -1..7.
class ListOperations
{
public:
    explicit ListOperations(const Catalogue &catalogue)
        : m_catalogue(catalogue)
    {
    }
    virtual ~ListOperations() = default;

    // The selected row of List1(list), -1 when none is selected.
    std::int16_t selectedRow(std::int16_t list) const;
    // Selects a row of List1(list); -1 removes the selection.
    void setSelectedRow(std::int16_t list, std::int16_t row);
    // The text on a row of List2(list); an empty text for row -1.
    std::string_view keyText(std::int16_t list, std::int16_t row) const;

    // What the lists show and hold.
    const Catalogue &catalogue() const { return m_catalogue; }

protected:
    virtual std::int16_t doSelectedRow(std::int16_t list) const = 0;
    virtual void doSetSelectedRow(std::int16_t list, std::int16_t row) = 0;

private:
    Catalogue m_catalogue;
};

} // namespace lists
