#pragma once

#include "catalogue.h"
#include "listoperations.h"

#include <array>
#include <string>

// List operations on plain data: the key texts copied from a catalogue and
// one selected row per list.
class MemoryLists : public lists::ListOperations
{
public:
    using Selection = std::array<std::int16_t, lists::listCount>;

    explicit MemoryLists(const lists::Catalogue &catalogue = lists::Catalogue::builtIn())
    {
        for (std::int16_t list = 0; list < lists::listCount; ++list)
            for (std::int16_t row = 0; row < lists::rowCount; ++row)
                keys[list][row] = catalogue.keyText(list, row);
    }

    std::array<std::array<std::string, lists::rowCount>, lists::listCount> keys;
    Selection selection { -1, -1, -1 };

protected:
    std::int16_t doSelectedRow(std::int16_t list) const override { return selection[list]; }
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override { selection[list] = row; }
    std::string doKeyText(std::int16_t list, std::int16_t row) const override
    {
        return keys[list][row];
    }
};
