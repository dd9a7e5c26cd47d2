#include "redbutton.h"

#include "formdescription.h"
#include "gdiobject.h"

#include <iterator>

void drawRedButton(const DRAWITEMSTRUCT &item, HFONT font, UINT dpi)
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;

    const form::Rgb &red = form::buttonColour;
    const GdiObject<HBRUSH> faceBrush(CreateSolidBrush(RGB(red.red, red.green, red.blue)));
    FillRect(dc, &face, faceBrush.get());
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    wchar_t caption[64] {};
    GetWindowTextW(item.hwndItem, caption, int(std::size(caption)));
    RECT text = face;
    if (pressed)
        OffsetRect(&text, 1, 1);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const form::Rgb &ink = form::textOnFixedColour;
    const COLORREF oldColour = SetTextColor(dc, RGB(ink.red, ink.green, ink.blue));
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = face;
        const int inset = MulDiv(4, int(dpi), 96);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
}
