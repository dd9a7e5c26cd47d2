#pragma once

#include <windows.h>

// The button's face and caption, and the focus frame's line; without a
// frame colour the frame is dotted in the face's inverse.
struct ButtonColours
{
    COLORREF face;
    COLORREF caption;
    COLORREF focusFrame = CLR_INVALID;
};

// Draws the owner-drawn button "Чисти": its face (red, but for a contrast
// theme), a raised edge that sinks when pressed, the caption in the
// window's font, and a focus frame whenever it has the focus, for mouse
// users too.
void drawRedButton(const DRAWITEMSTRUCT &item, HFONT font, UINT dpi, const ButtonColours &colours);
