#pragma once

#include "formdescription.h"

#include <windows.h>

#include <string>

// Windows' standard controls as the window uses them, with what it adds to
// them so that they behave as in the program's other windows:
// - a list box: in a list with nothing selected, the first arrow key
//   selects the row with the focus rectangle, not the one after it, and
//   Home, End, Page Up and Page Down move from that row;
// - a list box's row whose text the list cuts off shows it whole in a
//   tooltip;
// - the text box keeps its caret and view when Tab brings the focus in.

// Creates the control at its place, with its control id, in the font, and
// then gives it its text: a text box given its text before its size and
// font lays the text out for each of them.
HWND createControl(HWND parent, HINSTANCE instance, const form::Control &control,
    const form::Pixels &place, HFONT font, const std::wstring &text);

// Tells the list box's parent that its selection changed, as the list box
// does when the user changes it.
void notifySelectionChanged(HWND listBox);

// Scrolls the list box as little as shows the whole row.
void showRow(HWND listBox, int row);
