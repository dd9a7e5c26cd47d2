#pragma once

#include "indices.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What every window does alike around the two handlings.
namespace lists {

class ListOperations;

// The user's actions that run a handling:
// - List1_Click(k) when the user selects a row of List1(k), with the mouse
//   or the keyboard, and also when the user clicks the row that is already
//   selected, which brings the whole entry back into view where the lists
//   were scrolled away from it;
// - Command1_Click() when the user presses Command1.
// In a list with nothing selected, the first arrow key selects the list's
// current row, the one that its focus frame marks, not the row after it;
// Home, End, Page Up and Page Down move from that row.
enum class Handling { List1_Click, Command1_Click };

// Runs the handling against the window's lists (`list` is k for
// List1_Click) and gives back the text of the failure that ended it, or
// nothing when it ran to its end. The window shows that text and keeps
// running with the selections that the handling left.
std::optional<std::string> runHandling(
    ListOperations &lists, Handling handling, std::int16_t list = 0);

// The line a window writes to its error output for such a failure.
std::string failureLogLine(std::string_view failure);

// What a screen reader hears for the selected row of each list: the row
// number (-1 for none) and its name, the whole entry shown with it: its own
// text first, then the other lists' selected texts in list order, joined by
// ", ", each without its trailing blanks ("Вихрен, 2914, Пирин"). A row
// that is not selected is named by its own text, without them too.
struct SpokenEntry
{
    std::int16_t row = -1;
    std::string name;

    friend bool operator==(const SpokenEntry &, const SpokenEntry &) = default;
};
using SpokenEntries = std::array<SpokenEntry, listCount>;

SpokenEntries spokenEntries(const ListOperations &lists);

// The name of any row: the whole entry for a selected row, else its own text.
// A row that does not exist fails with ListIndexError.
std::string spokenName(const ListOperations &lists, std::int16_t list, std::int16_t row);

// What a window tells a screen reader of one list after a handling: the row
// it no longer selects, named by its own text again, and the row it selects
// now, when that row's name changed; -1 where there is none.
struct SpokenChange
{
    std::int16_t left = -1;
    std::int16_t renamed = -1;

    friend bool operator==(const SpokenChange &, const SpokenChange &) = default;
};
using SpokenChanges = std::array<SpokenChange, listCount>;

// The changes from what was spoken before a handling to what is now.
SpokenChanges spokenChanges(const SpokenEntries &before, const SpokenEntries &now);

} // namespace lists
