#include "standardcontrols.h"

#include "controlids.h"
#include "rowtooltip.h"

#include <commctrl.h>

#include <algorithm>

namespace {

struct ControlClass
{
    const wchar_t *name;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(form::Kind kind)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case form::Kind::Label:
        return { L"STATIC", child | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0 };
    case form::Kind::List:
        // The program keeps the catalogue's order; the box only shows it.
        return { L"LISTBOX",
            child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
            WS_EX_CLIENTEDGE };
    case form::Kind::Button:
        // Drawn by the window, since visual styles would paint the face grey.
        return { L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW, 0 };
    case form::Kind::TextBox:
        return { L"EDIT",
            child | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
            WS_EX_CLIENTEDGE };
    }
    return {};
}

// In a list with nothing selected, the first arrow key selects the row with
// the focus rectangle, rather than the one after it; Home, End, Page Up and
// Page Down move from that row. List boxes differ in this between Windows
// versions.
LRESULT CALLBACK listProcedure(
    HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message != WM_KEYDOWN || SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR)
        return DefSubclassProc(list, message, wParam, lParam);
    const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
    const bool arrow
        = wParam == VK_UP || wParam == VK_DOWN || wParam == VK_LEFT || wParam == VK_RIGHT;
    const bool page
        = wParam == VK_HOME || wParam == VK_END || wParam == VK_PRIOR || wParam == VK_NEXT;
    if (caret < 0 || !(arrow || page))
        return DefSubclassProc(list, message, wParam, lParam);
    SendMessageW(list, LB_SETCURSEL, WPARAM(caret), 0);
    const LRESULT result = arrow ? 0 : DefSubclassProc(list, message, wParam, lParam);
    notifySelectionChanged(list);
    return result;
}

// Tab into the text box keeps its caret and view: a dialog's navigation
// selects all the text of a control that says it can select text.
LRESULT CALLBACK textBoxProcedure(
    HWND textBox, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    const LRESULT result = DefSubclassProc(textBox, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~LRESULT(DLGC_HASSETSEL) : result;
}

} // namespace

void notifySelectionChanged(HWND listBox)
{
    SendMessageW(GetParent(listBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(listBox), LBN_SELCHANGE),
        reinterpret_cast<LPARAM>(listBox));
}

HWND createControl(HWND parent, HINSTANCE instance, const form::Control &control,
    const form::Pixels &place, HFONT font, const std::wstring &text)
{
    const ControlClass kind = controlClass(control.kind);
    HWND created = CreateWindowExW(kind.exStyle, kind.name, nullptr, kind.style, place.left,
        place.top, place.width, place.height, parent,
        reinterpret_cast<HMENU>(INT_PTR(controlId(control.kind, control.index))), instance,
        nullptr);
    SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!text.empty())
        SetWindowTextW(created, text.c_str());
    if (control.kind == form::Kind::List) {
        SetWindowSubclass(created, listProcedure, 0, 0);
        giveRowTooltip(created);
    } else if (control.kind == form::Kind::TextBox)
        SetWindowSubclass(created, textBoxProcedure, 0, 0);
    return created;
}

void showRow(HWND listBox, int row)
{
    RECT client;
    GetClientRect(listBox, &client);
    const int rowHeight = int(SendMessageW(listBox, LB_GETITEMHEIGHT, 0, 0));
    const int shown = rowHeight > 0 ? std::max(1, int(client.bottom) / rowHeight) : 1;
    const int top = int(SendMessageW(listBox, LB_GETTOPINDEX, 0, 0));
    if (row < top)
        SendMessageW(listBox, LB_SETTOPINDEX, WPARAM(row), 0);
    else if (row >= top + shown)
        SendMessageW(listBox, LB_SETTOPINDEX, WPARAM(row - shown + 1), 0);
}
