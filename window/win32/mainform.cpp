#include "mainform.h"

#include "buildinfo.h"
#include "controlids.h"
#include "failures.h"
#include "formdescription.h"
#include "linkedselection.h"
#include "text.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExStyle = 0;

COLORREF colorRef(const form::Rgb &rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// Windows 10 1607 and later know each window's own dpi; older ones have one
// for the whole screen. Looked up at run time so that Windows 7 starts too.
UINT dpiOf(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow
        = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        return getDpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return UINT(dpi);
}

// The outer size of the window for its client area at the given dpi.
SIZE windowSize(UINT dpi)
{
    const form::Pixels client = form::pixels(form::clientArea, int(dpi));
    RECT frame { 0, 0, client.width, client.height };
    using AdjustFunction = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustFunction>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi)
        adjustForDpi(&frame, windowStyle, FALSE, windowExStyle, dpi);
    else
        AdjustWindowRectEx(&frame, windowStyle, FALSE, windowExStyle);
    return { frame.right - frame.left, frame.bottom - frame.top };
}

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

HWND control(HWND window, form::Kind kind, int index)
{
    return GetDlgItem(window, controlId(kind, index));
}

} // namespace

void reportFailure(HWND window, const std::wstring &message)
{
    std::fprintf(stderr, "Run-time error: %s\n", narrow(message).c_str());
    MessageBoxW(window, message.c_str(), widen(form::failureTitle).c_str(), MB_OK | MB_ICONERROR);
}

MainForm::MainForm(const lists::Catalogue &catalogue, FailureReporter failureReporter)
    : m_catalogue(catalogue)
    , m_reportFailure(std::move(failureReporter))
    , m_windowBrush(CreateSolidBrush(colorRef(form::windowColour)))
    , m_labelBrush(CreateSolidBrush(colorRef(form::labelColour)))
    , m_buttonBrush(CreateSolidBrush(colorRef(form::buttonColour)))
{
}

MainForm::~MainForm()
{
    if (m_window)
        DestroyWindow(m_window);
}

bool MainForm::create(HINSTANCE instance)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = className;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    const std::wstring title = widen(buildinfo::homepage) + L' ' + widen(form::titleText);
    // Sized for the screen's dpi here; WM_CREATE sizes it again for its own.
    const SIZE size = windowSize(dpiOf(nullptr));
    return CreateWindowExW(windowExStyle, className, title.c_str(), windowStyle, CW_USEDEFAULT,
               CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, this)
        != nullptr;
}

LRESULT CALLBACK MainForm::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainForm *form = nullptr;
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        form = static_cast<MainForm *>(creation->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<MainForm *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT MainForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createControls();
        layOut(dpiOf(m_window));
        return 0;

    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0,
            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut(HIWORD(wParam));
        return 0;
    }

    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_windowBrush.get());
        return 1;
    }

    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));

    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->hwndItem != m_button)
            break;
        drawButton(*item);
        return TRUE;
    }

    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int notification = HIWORD(wParam);
        // A selection set by the program sends no LBN_SELCHANGE, so a
        // handling never starts itself again.
        for (std::int16_t list = 0; list < lists::listCount; ++list) {
            if (id == controlId(form::Kind::List, list) && notification == LBN_SELCHANGE) {
                runHandling([this, list] { lists::List1_Click(*this, list); });
                return 0;
            }
        }
        if (id == controlId(form::Kind::Button, 0) && notification == BN_CLICKED) {
            runHandling([this] { lists::Command1_Click(*this); });
            return 0;
        }
        break;
    }

    // A window that is not a dialog box must keep its focus over a switch to
    // another program and back itself.
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(m_window, focus))
                m_lastFocus = focus;
        } else if (m_lastFocus) {
            SetFocus(m_lastFocus);
        }
        return 0;

    // The multi-line text box asks for the next control on Tab, as it would
    // of a dialog box.
    case WM_NEXTDLGCTL: {
        HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(m_window, GetFocus(), wParam != 0);
        if (next) {
            SetFocus(next);
            if (next == m_textBox)
                SendMessageW(next, EM_SETSEL, 0, -1);
        }
        return 0;
    }

    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void MainForm::createControls()
{
    // Windows moves the focus in the order the controls were made.
    std::vector<const form::Control *> byTabIndex;
    for (const form::Control &control : form::controls)
        byTabIndex.push_back(&control);
    std::ranges::sort(byTabIndex, {}, &form::Control::tabIndex);

    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    for (const form::Control *control : byTabIndex) {
        const ControlClass kind = controlClass(control->kind);
        const std::wstring text = control->kind == form::Kind::TextBox ? widen(form::assignmentText)
                                                                       : widen(control->text);
        HWND created = CreateWindowExW(kind.exStyle, kind.name, text.c_str(), kind.style, 0, 0, 0,
            0, m_window, reinterpret_cast<HMENU>(INT_PTR(controlId(control->kind, control->index))),
            instance, nullptr);
        switch (control->kind) {
        case form::Kind::Label:
            m_labels[std::size_t(control->index)] = created;
            break;
        case form::Kind::List: {
            const auto list = std::int16_t(control->index);
            for (std::int16_t row = 0; row < lists::rowCount; ++row) {
                const std::wstring display = widen(m_catalogue.displayText(list, row));
                SendMessageW(created, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(display.c_str()));
                m_keyTexts[list][row] = m_catalogue.keyText(list, row);
            }
            m_lists[list] = created;
            break;
        }
        case form::Kind::Button:
            m_button = created;
            break;
        case form::Kind::TextBox:
            m_textBox = created;
            break;
        }
    }
    // Given the focus when the window is first activated.
    m_lastFocus = m_textBox;
}

void MainForm::layOut(UINT dpi)
{
    m_dpi = dpi;
    const form::Font &font = form::font;
    const std::wstring family = widen(font.family);
    GdiObject<HFONT> newFont(CreateFontW(-MulDiv(font.pointSize, int(dpi), 72), 0, 0, 0,
        font.weight, FALSE, FALSE, FALSE, DWORD(font.charset), OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, family.c_str()));

    for (const form::Control &place : form::controls) {
        HWND child = control(m_window, place.kind, place.index);
        const form::Pixels pixels = form::pixels(place.place, int(dpi));
        SetWindowPos(child, nullptr, pixels.left, pixels.top, pixels.width, pixels.height,
            SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont.get()), TRUE);
    }
    // The controls hold the new font now; the old one can go.
    m_font = std::move(newFont);

    // The frame is measured rather than computed: its size at the new dpi is
    // the system's to choose.
    const form::Pixels client = form::pixels(form::clientArea, int(dpi));
    RECT outer;
    RECT inner;
    GetWindowRect(m_window, &outer);
    GetClientRect(m_window, &inner);
    SetWindowPos(m_window, nullptr, 0, 0, client.width + (outer.right - outer.left) - inner.right,
        client.height + (outer.bottom - outer.top) - inner.bottom,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_window, nullptr, TRUE);
}

void MainForm::drawButton(const DRAWITEMSTRUCT &item) const
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;

    FillRect(dc, &face, m_buttonBrush.get());
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    wchar_t caption[64] {};
    GetWindowTextW(item.hwndItem, caption, int(std::size(caption)));
    RECT text = face;
    if (pressed)
        OffsetRect(&text, 1, 1);
    const HGDIOBJ oldFont = SelectObject(dc, m_font.get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colorRef(form::textOnFixedColour));
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);

    // Shown whenever the button has the focus, for mouse users too.
    if (item.itemState & ODS_FOCUS) {
        RECT focus = face;
        const int inset = MulDiv(4, int(m_dpi), 96);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
}

HBRUSH MainForm::colourStatic(HDC dc, HWND child) const
{
    if (child == m_textBox) {
        // Read-only, but drawn like the text box it is, in the system's colours.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    SetTextColor(dc, colorRef(form::textOnFixedColour));
    SetBkColor(dc, colorRef(form::labelColour));
    return m_labelBrush.get();
}

bool MainForm::translate(MSG &message)
{
    // Enter presses the button, as Space does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && message.hwnd == m_button) {
        SendMessageW(m_button, BM_CLICK, 0, 0);
        return true;
    }
    return m_window && IsDialogMessageW(m_window, &message);
}

template<typename Handling> void MainForm::runHandling(Handling handling)
{
    std::wstring failure;
    try {
        handling();
    } catch (const std::exception &error) {
        failure = widen(error.what());
    } catch (...) {
        failure = L"Unknown failure";
    }
    if (!failure.empty())
        m_reportFailure(m_window, failure);
}

std::int16_t MainForm::doSelectedRow(std::int16_t list) const
{
    const LRESULT row = SendMessageW(m_lists[list], LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? std::int16_t(-1) : std::int16_t(row);
}

void MainForm::doSetSelectedRow(std::int16_t list, std::int16_t row)
{
    // Also scrolls the row into view. Row -1 answers LB_ERR by design.
    const LRESULT result = SendMessageW(m_lists[list], LB_SETCURSEL, WPARAM(row), 0);
    if (row >= 0 && result == LB_ERR)
        throw lists::RuntimeFailure(
            "List1(" + std::to_string(list) + ") could not select row " + std::to_string(row));
}

std::string MainForm::doKeyText(std::int16_t list, std::int16_t row) const
{
    return m_keyTexts[list][row];
}
