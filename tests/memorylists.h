#pragma once

#include "entries.h"
#include "listoperations.h"

// List operations on plain data: one selected row per list.
class MemoryLists : public lists::ListOperations
{
public:
    explicit MemoryLists(const lists::Catalogue &catalogue = lists::Catalogue::builtIn())
        : ListOperations(catalogue)
    {
    }

    Rows selection = noSelection;

protected:
    std::int16_t doSelectedRow(std::int16_t list) const override
    {
        return std::int16_t(selection[list]);
    }
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override { selection[list] = row; }
};
