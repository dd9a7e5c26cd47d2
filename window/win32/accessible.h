#pragma once

#include "behaviour.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>

// What a screen reader is told of a list box, through an IAccessible of the
// program's own (Microsoft Active Accessibility), so that a row is named by
// its whole entry. Child 0 is the list box itself; its rows are children 1
// to its row count.
struct AccessibleControl
{
    // The list box's name, or a row's.
    std::function<std::wstring(long child)> name;
};

// From now until the list box is destroyed, it answers WM_GETOBJECT for its
// client area with an object that tells what `control` says.
void giveAccessibleObject(HWND window, AccessibleControl control);

// Names a control that Windows' own accessible object describes well but
// cannot name, as a text box with no label, through Dynamic Annotation: its
// object stays Windows' own (UI Automation keeps its Edit proxy, and with it
// reading by character, word and line). The name is made when a screen
// reader first asks the control or makeAccessibleNames is called, so that a
// start without a screen reader loads no COM, and taken back when the
// control is destroyed.
void giveAccessibleName(HWND control, std::wstring name);

// Makes the names given to the window's controls now, if not made yet: a
// screen reader's first question to the window comes before any to them.
void makeAccessibleNames(HWND window);

// Tells screen readers of every row of the list boxes whose name changed
// from `before` to `now`, then of the focused list box's selected row again,
// so that they read its whole entry now.
void reportSpokenChanges(const std::array<HWND, lists::listCount> &listBoxes,
    const lists::SpokenEntries &before, const lists::SpokenEntries &now);
