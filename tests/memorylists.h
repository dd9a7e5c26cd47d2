#pragma once

#include "catalogue.h"
#include "entries.h"
#include "listoperations.h"

#include <array>
#include <string>

// List operations on plain data: the key texts copied from a catalogue and
// one selected row per list.
class MemoryLists : public lists::ListOperations
{
public:
    explicit MemoryLists(const lists::Catalogue &catalogue = lists::Catalogue::builtIn())
    {
        for (std::int16_t list = 0; list < lists::listCount; ++list)
            for (std::int16_t row = 0; row < lists::rowCount; ++row)
                keys[list][row] = catalogue.keyText(list, row);
    }

    std::array<std::array<std::string, lists::rowCount>, lists::listCount> keys;
    Rows selection = noSelection;

protected:
    std::int16_t doSelectedRow(std::int16_t list) const override
    {
        return std::int16_t(selection[list]);
    }
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override { selection[list] = row; }
    std::string doKeyText(std::int16_t list, std::int16_t row) const override
    {
        return keys[list][row];
    }
};
