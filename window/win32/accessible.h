#pragma once

#include <windows.h>

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

// Tells screen readers that the name of a list box's row (0..) changed, or
// that the row now has the focus.
void reportRowNameChanged(HWND listBox, int row);
void reportRowFocused(HWND listBox, int row);
