#pragma once

#include "catalogue.h"
#include "listoperations.h"

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// List operations on plain data that record every selection they are given.
class RecordingLists : public lists::ListOperations
{
public:
    using Selection = std::array<std::int16_t, lists::listCount>;
    using Assignment = std::pair<std::int16_t, std::int16_t>; // list, row

    explicit RecordingLists(const lists::Catalogue &catalogue = lists::Catalogue::builtIn())
    {
        for (std::int16_t list = 0; list < lists::listCount; ++list)
            for (std::int16_t row = 0; row < lists::rowCount; ++row)
                keys[list][row] = catalogue.keyText(list, row);
    }

    std::array<std::array<std::string, lists::rowCount>, lists::listCount> keys;
    Selection selection { -1, -1, -1 };
    std::vector<Assignment> assignments;
    mutable int keyReads = 0;
    // Called after a selection changed, as a toolkit's change notification is.
    std::function<void(std::int16_t list)> onSelectionChanged;
    // Called before each assignment; may throw to make the operation fail.
    std::function<void(std::int16_t list, std::int16_t row)> beforeAssignment;

protected:
    std::int16_t doSelectedRow(std::int16_t list) const override { return selection[list]; }

    void doSetSelectedRow(std::int16_t list, std::int16_t row) override
    {
        if (beforeAssignment)
            beforeAssignment(list, row);
        assignments.emplace_back(list, row);
        const bool changed = selection[list] != row;
        selection[list] = row;
        if (changed && onSelectionChanged)
            onSelectionChanged(list);
    }

    std::string doKeyText(std::int16_t list, std::int16_t row) const override
    {
        ++keyReads;
        return keys[list][row];
    }
};
