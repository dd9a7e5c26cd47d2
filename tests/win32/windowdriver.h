#pragma once

// Drives the Windows window as a user would: real mouse and key input
// through SendInput, then the state read back from the controls.

#include "controlids.h"
#include "dpi.h"
#include "entries.h"
#include "mainform.h"
#include "text.h"

#include <doctest/doctest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

namespace doctest {
template<> struct StringMaker<Rows>
{
    static String convert(const Rows &rows)
    {
        return ("{" + std::to_string(rows[0]) + ", " + std::to_string(rows[1]) + ", "
            + std::to_string(rows[2]) + "}")
            .c_str();
    }
};
} // namespace doctest

class WindowDriver
{
public:
    explicit WindowDriver(const lists::Catalogue &catalogue = lists::Catalogue::builtIn(),
        FailureReporter reporter = reportFailure)
        : m_form(std::make_unique<MainForm>(catalogue, std::move(reporter)))
    {
        if (!m_form->create(GetModuleHandleW(nullptr)))
            throw std::runtime_error("the window was not created");
        ShowWindow(m_form->window(), SW_SHOWNORMAL);
        SetForegroundWindow(m_form->window());
        UpdateWindow(m_form->window());
        settle();
    }

    HWND window() const { return m_form->window(); }
    HWND control(form::Kind kind, int index) const
    {
        return GetDlgItem(window(), controlId(kind, index));
    }
    HWND list(int index) const { return control(form::Kind::List, index); }
    HWND button() const { return control(form::Kind::Button, 0); }
    HWND textBox() const { return control(form::Kind::TextBox, 0); }

    // Handles what has arrived, as the program's message loop does, until
    // nothing more comes for a while, or for `limit` at most (a shown
    // tooltip's timers never stop).
    void settle(std::chrono::milliseconds quiet = std::chrono::milliseconds(40),
        std::chrono::milliseconds limit = std::chrono::seconds(5)) const
    {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + limit;
        auto lastMessage = Clock::now();
        while (Clock::now() < deadline && Clock::now() - lastMessage < quiet) {
            MSG message;
            while (Clock::now() < deadline && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                lastMessage = Clock::now();
                if (message.message == WM_QUIT || m_form->translate(message))
                    continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // A mouse event at a point of the screen, with the mouse moved there.
    static INPUT mouseAt(POINT screen, DWORD flags)
    {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        INPUT input {};
        input.type = INPUT_MOUSE;
        input.mi.dx = LONG((screen.x * 65535 + width / 2) / (width - 1));
        input.mi.dy = LONG((screen.y * 65535 + height / 2) / (height - 1));
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        return input;
    }

    void clickAt(POINT screen) const
    {
        INPUT inputs[3] { mouseAt(screen, 0), mouseAt(screen, MOUSEEVENTF_LEFTDOWN),
            mouseAt(screen, MOUSEEVENTF_LEFTUP) };
        // All at once: a press on a scroll bar arrow runs a loop of its own
        // until the button comes up again.
        SendInput(3, inputs, sizeof inputs[0]);
        settle();
    }

    void clickCentre(HWND control) const
    {
        RECT rect;
        GetWindowRect(control, &rect);
        clickAt({ (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 });
    }

    // Scrolls the list with its scroll bar's arrows until the row shows,
    // then clicks the row.
    void clickRow(int listIndex, int row) const
    {
        HWND box = list(listIndex);
        for (int step = 0; step < 16 && !rowInView(listIndex, row); ++step) {
            SCROLLBARINFO bar {};
            bar.cbSize = sizeof bar;
            GetScrollBarInfo(box, OBJID_VSCROLL, &bar);
            const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
            const int arrow = bar.dxyLineButton / 2;
            const bool down = row >= topRow(listIndex);
            clickAt({ x, down ? bar.rcScrollBar.bottom - arrow - 1 : bar.rcScrollBar.top + arrow });
        }
        RECT item;
        SendMessageW(box, LB_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        POINT centre { (item.left + item.right) / 2, (item.top + item.bottom) / 2 };
        ClientToScreen(box, &centre);
        clickAt(centre);
    }

    // The arrows, Home, End, Page Up and Page Down are sent as the numeric
    // keypad sends them with NumLock off: the window gets the same virtual
    // key from either block.
    // The key, with a modifier key (VK_SHIFT, VK_CONTROL) held if given.
    void key(WORD virtualKey, WORD modifier = 0) const
    {
        if (modifier)
            sendKey(modifier, 0);
        sendKey(virtualKey, 0);
        sendKey(virtualKey, KEYEVENTF_KEYUP);
        if (modifier)
            sendKey(modifier, KEYEVENTF_KEYUP);
        settle();
    }

    // Turns the mouse wheel over the control: up for positive notches.
    void wheel(HWND control, int notches) const
    {
        RECT rect;
        GetWindowRect(control, &rect);
        const POINT centre { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
        INPUT inputs[2] { mouseAt(centre, 0), mouseAt(centre, MOUSEEVENTF_WHEEL) };
        inputs[1].mi.mouseData = DWORD(WHEEL_DELTA * notches);
        SendInput(2, inputs, sizeof inputs[0]);
        settle();
    }

    // A letter typed as the keyboard layout would deliver it.
    void type(wchar_t letter) const
    {
        INPUT inputs[2] {};
        for (INPUT &input : inputs) {
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = letter;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, inputs, sizeof inputs[0]);
        settle();
    }

    Rows selection() const
    {
        Rows rows {};
        for (int index = 0; index < lists::listCount; ++index)
            rows[std::size_t(index)] = int(SendMessageW(list(index), LB_GETCURSEL, 0, 0));
        return rows;
    }

    int topRow(int listIndex) const
    {
        return int(SendMessageW(list(listIndex), LB_GETTOPINDEX, 0, 0));
    }

    bool rowInView(int listIndex, int row) const
    {
        HWND box = list(listIndex);
        RECT client;
        GetClientRect(box, &client);
        const int rowHeight = int(SendMessageW(box, LB_GETITEMHEIGHT, 0, 0));
        const int top = topRow(listIndex);
        return row >= top && row < top + (client.bottom / rowHeight);
    }

    // The focused control, reported as its id.
    int focusId() const { return GetDlgCtrlID(GetFocus()); }

private:
    static void sendKey(WORD virtualKey, DWORD flags)
    {
        INPUT input {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = WORD(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }

    std::unique_ptr<MainForm> m_form;
};

inline std::wstring windowText(HWND window)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// The dpi the session's screen has, as wine-run.sh was told.
inline int expectedDpi()
{
    char value[16] {};
    if (GetEnvironmentVariableA("PLANINI_WINE_DPI", value, sizeof value) == 0)
        return form::standardDpi;
    return std::atoi(value);
}

// Whether the window has the dpi the session's screen was given. Wine 10
// gives a window that follows its monitor's dpi 96 whatever the screen's dpi
// is set to (the system's dpi follows it), so there a test at another dpi
// cannot see the window at it; it says so, and CTest counts it skipped.
inline bool hasScreenDpi(HWND window)
{
    const UINT dpi = dpiOf(window);
    if (dpi == UINT(expectedDpi()))
        return true;
    std::printf("SKIP: Wine gives the window %u dpi, not the screen's %d\n", dpi, expectedDpi());
    return false;
}
