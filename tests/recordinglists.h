#pragma once

#include "memorylists.h"

#include <functional>
#include <utility>
#include <vector>

// In-memory list operations that record every selection they are given.
class RecordingLists : public MemoryLists
{
public:
    using Assignment = std::pair<std::int16_t, std::int16_t>; // list, row

    using MemoryLists::MemoryLists;

    std::vector<Assignment> assignments;
    // Called after a selection changed, as a toolkit's change notification is.
    std::function<void(std::int16_t list)> onSelectionChanged;
    // Called before each assignment; may throw to make the operation fail.
    std::function<void(std::int16_t list, std::int16_t row)> beforeAssignment;

protected:
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override
    {
        if (beforeAssignment)
            beforeAssignment(list, row);
        assignments.emplace_back(list, row);
        const bool changed = selection[list] != row;
        MemoryLists::doSetSelectedRow(list, row);
        if (changed && onSelectionChanged)
            onSelectionChanged(list);
    }
};
