#pragma once

#include <windows.h>

// Draws the owner-drawn button "Чисти": its red face, a raised edge that
// sinks when pressed, the caption in the window's font, and a focus
// rectangle whenever it has the focus, for mouse users too.
void drawRedButton(const DRAWITEMSTRUCT &item, HFONT font, UINT dpi);
