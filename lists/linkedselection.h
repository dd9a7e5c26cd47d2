#pragma once

#include <cstdint>

namespace lists {

class ListOperations;

// The user selected a row of List1(list): select the whole entry (peak, height,
// mountain) that the row belongs to in all three lists. Does nothing when
// List1(list) has no selected row.
//
// Failures (ListIndexError, OverflowError, whatever the list operations throw)
// end the handling at once and pass to the caller; selections already set stay.
void List1_Click(ListOperations &lists, std::int16_t list);

// The user pressed "Чисти": no visible list keeps a selection.
void Command1_Click(ListOperations &lists);

} // namespace lists
