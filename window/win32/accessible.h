#pragma once

#include "behaviour.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>

// What a screen reader is told of a control, through an IAccessible of the
// program's own (Microsoft Active Accessibility): a list box with its rows,
// or a read-only text box. Child 0 is the control itself; a list box's rows
// are children 1 to its row count.
struct AccessibleControl
{
    // The control's name, or a row's.
    std::function<std::wstring(long child)> name;
    bool isList = false;
};

// From now until the control is destroyed, it answers WM_GETOBJECT for its
// client area with an object that tells what `control` says.
void giveAccessibleObject(HWND window, AccessibleControl control);

// Tells screen readers of every row of the list boxes whose name changed
// from `before` to `now`, then of the focused list box's selected row again,
// so that they read its whole entry now.
void reportSpokenChanges(const std::array<HWND, lists::listCount> &listBoxes,
    const lists::SpokenEntries &before, const lists::SpokenEntries &now);
