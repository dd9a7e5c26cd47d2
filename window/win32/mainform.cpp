#include "mainform.h"

#include "accessible.h"
#include "controlids.h"
#include "dpi.h"
#include "failures.h"
#include "formdescription.h"
#include "redbutton.h"
#include "resourceids.h"
#include "standardcontrols.h"
#include "text.h"

#include <cstdio>

namespace {

constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExStyle = 0;

COLORREF colorRef(const form::Rgb &rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

int systemColourIndex(form::SystemColour colour)
{
    switch (colour) {
    case form::SystemColour::Window:
        return COLOR_WINDOW;
    case form::SystemColour::WindowText:
        return COLOR_WINDOWTEXT;
    case form::SystemColour::ButtonFace:
        return COLOR_BTNFACE;
    case form::SystemColour::ButtonText:
        return COLOR_BTNTEXT;
    case form::SystemColour::Highlight:
        return COLOR_HIGHLIGHT;
    case form::SystemColour::HighlightText:
        return COLOR_HIGHLIGHTTEXT;
    }
    return COLOR_WINDOW;
}

COLORREF systemColour(form::SystemColour colour)
{
    return GetSysColor(systemColourIndex(colour));
}

bool contrastThemeOn()
{
    HIGHCONTRASTW contrast {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)
        && (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

SIZE windowSize(UINT dpi)
{
    const form::Pixels client = form::pixels(form::clientArea, int(dpi));
    return outerSize({ client.width, client.height }, windowStyle, windowExStyle, dpi);
}

HWND control(HWND window, form::Kind kind, int index)
{
    return GetDlgItem(window, controlId(kind, index));
}

GdiObject<HFONT> createFont(UINT dpi)
{
    const form::Font &font = form::font;
    return GdiObject<HFONT>(CreateFontW(-MulDiv(font.pointSize, int(dpi), 72), 0, 0, 0, font.weight,
        FALSE, FALSE, FALSE, DWORD(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, widen(font.family).c_str()));
}

HICON loadIcon(HINSTANCE instance, int width, int height)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PLANINI), IMAGE_ICON,
        GetSystemMetrics(width), GetSystemMetrics(height), LR_DEFAULTCOLOR | LR_SHARED));
}

} // namespace

void reportFailure(HWND window, const std::wstring &message)
{
    std::fprintf(stderr, "%s\n", lists::failureLogLine(narrow(message)).c_str());
    MessageBoxW(window, message.c_str(), widen(form::failureTitle).c_str(), MB_OK | MB_ICONERROR);
}

MainForm::MainForm(const lists::Catalogue &catalogue, FailureReporter failureReporter)
    : lists::ListOperations(catalogue)
    , m_reportFailure(std::move(failureReporter))
    , m_windowBrush(CreateSolidBrush(colorRef(form::windowColour)))
    , m_labelBrush(CreateSolidBrush(colorRef(form::labelColour)))
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
    windowClass.hInstance = instance;
    windowClass.hIcon = loadIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = loadIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = L"MainForm";
    // Sized for the screen's dpi here; WM_CREATE sizes it again for its own.
    return createWindow(windowClass, widen(form::windowTitle()).c_str(), windowStyle, windowExStyle,
        windowSize(dpiOf(nullptr)));
}

LRESULT MainForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // Made at once at their places and in their font: nothing is laid
        // out twice before the window first shows.
        m_dpi = dpiOf(m_window);
        m_contrast = contrastThemeOn();
        m_font = createFont(m_dpi);
        createControls();
        fitFrame();
        return 0;

    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0,
            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut(HIWORD(wParam));
        return 0;
    }

    // Windows tells of a contrast theme turned on or off by both.
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        followSystemColours(message == WM_SYSCOLORCHANGE);
        break;

    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_window, &client);
        HDC dc = reinterpret_cast<HDC>(wParam);
        FillRect(dc, &client, colourPart(dc, form::Part::Window));
        return 1;
    }

    // The read-only text box asks as a static control does.
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(colourPart(reinterpret_cast<HDC>(wParam),
            reinterpret_cast<HWND>(lParam) == m_textBox ? form::Part::TextBox
                                                        : form::Part::Heading));

    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(
            colourPart(reinterpret_cast<HDC>(wParam), form::Part::List));

    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->hwndItem != m_button)
            break;
        const form::PartColours &contrast = form::contrastColoursOf(form::Part::Button);
        drawRedButton(*item, m_font.get(), m_dpi,
            m_contrast
                ? ButtonColours { systemColour(contrast.background), systemColour(contrast.text),
                    systemColour(form::contrastColoursOf(form::Part::FocusFrame).text) }
                : ButtonColours {
                    colorRef(form::buttonColour), colorRef(form::textOnFixedColour) });
        return TRUE;
    }

    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int notification = HIWORD(wParam);
        // A selection set by the program sends no LBN_SELCHANGE, so a
        // handling never starts itself again. A click on the selected row
        // sends one too, or LBN_DBLCLK when it follows the last click at
        // once; a second click on the button, BN_DOUBLECLICKED.
        for (std::int16_t list = 0; list < lists::listCount; ++list) {
            if (id == controlId(form::Kind::List, list)
                && (notification == LBN_SELCHANGE || notification == LBN_DBLCLK)) {
                runHandling(lists::Handling::List1_Click, list);
                return 0;
            }
        }
        if (id == controlId(form::Kind::Button, 0)
            && (notification == BN_CLICKED || notification == BN_DOUBLECLICKED)) {
            runHandling(lists::Handling::Command1_Click);
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

    // Tab and Shift+Tab in the text box, asked for as of a dialog box.
    case WM_NEXTDLGCTL: {
        HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(m_window, GetFocus(), wParam != 0);
        if (next)
            SetFocus(next);
        return 0;
    }

    case WM_GETOBJECT:
        makeAccessibleNames(m_window);
        break;

    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void MainForm::createControls()
{
    // Windows moves the focus in the order the controls were made: the
    // description's order.
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    for (const form::Control &control : form::controls) {
        const std::wstring text = control.kind == form::Kind::TextBox ? widen(form::assignmentText)
                                                                      : widen(control.text);
        HWND created = createControl(m_window, instance, control,
            form::pixels(control.place, int(m_dpi)), m_font.get(), text);
        switch (control.kind) {
        case form::Kind::Label:
            break;
        case form::Kind::List: {
            const auto list = std::int16_t(control.index);
            for (std::int16_t row = 0; row < lists::rowCount; ++row) {
                const std::wstring display = widen(catalogue().displayText(list, row));
                SendMessageW(created, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(display.c_str()));
            }
            // A screen reader names the list by its heading, each selected
            // row by its whole entry.
            giveAccessibleObject(created, { [this, list](long child) {
                return widen(child == CHILDID_SELF
                        ? form::headingOf(list).text
                        : lists::spokenName(*this, list, std::int16_t(child - 1)));
            } });
            m_lists[list] = created;
            break;
        }
        case form::Kind::Button:
            m_button = created;
            break;
        case form::Kind::TextBox:
            giveAccessibleName(created, widen(form::textBoxName));
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
    GdiObject<HFONT> newFont = createFont(dpi);
    for (const form::Control &place : form::controls) {
        HWND child = control(m_window, place.kind, place.index);
        const form::Pixels pixels = form::pixels(place.place, int(dpi));
        SetWindowPos(child, nullptr, pixels.left, pixels.top, pixels.width, pixels.height,
            SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont.get()), TRUE);
    }
    // The controls hold the new font now; the old one can go.
    m_font = std::move(newFont);
    fitFrame();
    InvalidateRect(m_window, nullptr, TRUE);
}

void MainForm::fitFrame()
{
    // The frame is measured rather than computed: its size at the window's
    // dpi is the system's to choose.
    const form::Pixels client = form::pixels(form::clientArea, int(m_dpi));
    RECT inner;
    GetClientRect(m_window, &inner);
    if (inner.right == client.width && inner.bottom == client.height)
        return;
    RECT outer;
    GetWindowRect(m_window, &outer);
    SetWindowPos(m_window, nullptr, 0, 0, client.width + (outer.right - outer.left) - inner.right,
        client.height + (outer.bottom - outer.top) - inner.bottom,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH MainForm::colourPart(HDC dc, form::Part part) const
{
    // The lists and the text box are drawn like the controls they are, in
    // the system's colours, with or without a contrast theme.
    const bool fixed = !m_contrast && (part == form::Part::Window || part == form::Part::Heading);
    if (fixed) {
        SetTextColor(dc, colorRef(form::textOnFixedColour));
        SetBkColor(
            dc, colorRef(part == form::Part::Window ? form::windowColour : form::labelColour));
        return part == form::Part::Window ? m_windowBrush.get() : m_labelBrush.get();
    }
    const form::PartColours &colours = form::contrastColoursOf(part);
    SetTextColor(dc, systemColour(colours.text));
    SetBkColor(dc, systemColour(colours.background));
    return GetSysColorBrush(systemColourIndex(colours.background));
}

void MainForm::followSystemColours(bool coloursChanged)
{
    const bool contrast = contrastThemeOn();
    if (contrast == m_contrast && !coloursChanged)
        return;
    m_contrast = contrast;
    RedrawWindow(
        m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
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

void MainForm::runHandling(lists::Handling handling, std::int16_t list)
{
    const auto failure = lists::runHandling(*this, handling, list);
    const lists::SpokenEntries spoken = lists::spokenEntries(*this);
    reportSpokenChanges(m_lists, m_spoken, spoken);
    m_spoken = spoken;
    if (failure)
        m_reportFailure(m_window, widen(*failure));
}

std::int16_t MainForm::doSelectedRow(std::int16_t list) const
{
    const LRESULT row = SendMessageW(m_lists[list], LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? std::int16_t(-1) : std::int16_t(row);
}

void MainForm::doSetSelectedRow(std::int16_t list, std::int16_t row)
{
    HWND box = m_lists[list];
    // Row -1 answers LB_ERR by design.
    const LRESULT result = SendMessageW(box, LB_SETCURSEL, WPARAM(row), 0);
    if (row < 0)
        return;
    if (result == LB_ERR)
        throw lists::RuntimeFailure(
            "List1(" + std::to_string(list) + ") could not select row " + std::to_string(row));
    // A list box scrolls to a row it selects, but not always to the one it
    // had selected already.
    showRow(box, row);
}
