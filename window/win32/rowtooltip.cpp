#include "rowtooltip.h"

#include <commctrl.h>

#include <string>

namespace {

struct RowTooltip
{
    HWND tooltip = nullptr; // made when the mouse first comes over the list
    int row = -1; // the row under the mouse
    std::wstring text; // kept while the tooltip shows it
};

std::wstring rowText(HWND listBox, int row)
{
    std::wstring text(std::size_t(SendMessageW(listBox, LB_GETTEXTLEN, WPARAM(row), 0)) + 1, L'\0');
    text.resize(std::size_t(
        SendMessageW(listBox, LB_GETTEXT, WPARAM(row), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// Whether the list box cuts the row's text off: trailing blanks show
// nothing, so do not count.
bool isCutOff(HWND listBox, int row)
{
    std::wstring text = rowText(listBox, row);
    text.erase(text.find_last_not_of(L' ') + 1);
    RECT place;
    SendMessageW(listBox, LB_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&place));
    HDC dc = GetDC(listBox);
    const HGDIOBJ old
        = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(listBox, WM_GETFONT, 0, 0)));
    SIZE size {};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(listBox, dc);
    // A list box draws its text two pixels in from the row's left edge.
    return size.cx > place.right - place.left - 2;
}

HWND makeTooltip(HWND listBox)
{
    HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, GetParent(listBox), nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(listBox, GWLP_HINSTANCE)), nullptr);
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = listBox;
    tool.uId = reinterpret_cast<UINT_PTR>(listBox);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return tooltip;
}

LRESULT CALLBACK tooltipProcedure(
    HWND listBox, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    auto *state = reinterpret_cast<RowTooltip *>(data);
    switch (message) {
    case WM_MOUSEMOVE: {
        if (!state->tooltip)
            state->tooltip = makeTooltip(listBox);
        const LRESULT hit = SendMessageW(listBox, LB_ITEMFROMPOINT, 0, lParam);
        const int row = HIWORD(hit) == 0 ? int(LOWORD(hit)) : -1;
        if (row != state->row) {
            state->row = row;
            // Shown again after the usual wait, with the new row's text.
            SendMessageW(state->tooltip, TTM_POP, 0, 0);
        }
        break;
    }
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header->hwndFrom == state->tooltip && header->code == TTN_GETDISPINFOW) {
            auto *info = reinterpret_cast<NMTTDISPINFOW *>(lParam);
            // No text, no tooltip.
            state->text = state->row >= 0 && isCutOff(listBox, state->row)
                ? rowText(listBox, state->row)
                : std::wstring();
            info->lpszText = state->text.data();
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(listBox, tooltipProcedure, id);
        if (state->tooltip)
            DestroyWindow(state->tooltip);
        delete state;
        break;
    }
    return DefSubclassProc(listBox, message, wParam, lParam);
}

constexpr UINT_PTR tooltipSubclass = 2;

} // namespace

// Made when first needed: a start without the mouse over a list makes none.
void giveRowTooltip(HWND listBox)
{
    SetWindowSubclass(
        listBox, tooltipProcedure, tooltipSubclass, reinterpret_cast<DWORD_PTR>(new RowTooltip));
}
