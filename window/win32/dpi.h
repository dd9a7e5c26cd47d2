#pragma once

#include <windows.h>

// Windows 10 1607 and later know each window's own dpi; Windows 8.1 each
// monitor's; Windows 7 one for the whole screen. The newer functions are
// looked up at run time, so that Windows 7 starts the program too.

// The dpi of the window, or of the screen for nullptr.
UINT dpiOf(HWND window);

// The outer size of a window with this style, for a client area of the
// given size at the given dpi.
SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, UINT dpi);
