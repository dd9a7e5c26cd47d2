#include "redbutton.h"

#include "gdiobject.h"

#include <iterator>

void drawRedButton(const DRAWITEMSTRUCT &item, HFONT font, UINT dpi, const ButtonColours &colours)
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;

    const GdiObject<HBRUSH> faceBrush(CreateSolidBrush(colours.face));
    FillRect(dc, &face, faceBrush.get());
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    wchar_t caption[64] {};
    GetWindowTextW(item.hwndItem, caption, int(std::size(caption)));
    RECT text = face;
    if (pressed)
        OffsetRect(&text, 1, 1);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colours.caption);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = face;
        const int inset = MulDiv(4, int(dpi), 96);
        InflateRect(&focus, -inset, -inset);
        if (colours.focusFrame == CLR_INVALID) {
            DrawFocusRect(dc, &focus);
        } else {
            const GdiObject<HBRUSH> line(CreateSolidBrush(colours.focusFrame));
            FrameRect(dc, &focus, line.get());
        }
    }
}
