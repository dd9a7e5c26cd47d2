#pragma once

#include <windows.h>

// Gives the list box a tooltip that shows a row's whole text where the list
// cuts it off, and only there, as the Linux window does.
void giveRowTooltip(HWND listBox);
