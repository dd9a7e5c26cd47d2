#pragma once

#include "catalogue.h"
#include "gdiobject.h"
#include "listoperations.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>

// Shows a failure that ended a handling; the window keeps running afterwards.
using FailureReporter = std::function<void(HWND window, const std::wstring &message)>;

// Writes the failure to standard error and shows it in a modal message box.
void reportFailure(HWND window, const std::wstring &message);

// The program's one window: the three linked lists of peaks, heights and
// mountains, the button that clears them, and the assignment. The window
// procedure finds the object through the window's user data, set when the
// window is created.
class MainForm : private lists::ListOperations
{
public:
    explicit MainForm(const lists::Catalogue &catalogue = lists::Catalogue::builtIn(),
        FailureReporter failureReporter = reportFailure);
    ~MainForm() override;
    MainForm(const MainForm &) = delete;
    MainForm &operator=(const MainForm &) = delete;

    // Creates the window and its controls, hidden. Returns false when
    // Windows refuses; GetLastError tells why.
    bool create(HINSTANCE instance);
    HWND window() const { return m_window; }

    // The message loop's part: keyboard navigation as in a dialog box.
    // Returns true when the message was handled and must not be dispatched.
    bool translate(MSG &message);

    // The window class, registered once per process.
    static constexpr wchar_t className[] = L"MainForm";

private:
    static LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void layOut(UINT dpi);
    void drawButton(const DRAWITEMSTRUCT &item) const;
    HBRUSH colourStatic(HDC dc, HWND control) const;
    template<typename Handling> void runHandling(Handling handling);

    std::int16_t doSelectedRow(std::int16_t list) const override;
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override;
    std::string doKeyText(std::int16_t list, std::int16_t row) const override;

    const lists::Catalogue m_catalogue;
    FailureReporter m_reportFailure;
    HWND m_window = nullptr;
    // List1(0..2), the visible lists.
    std::array<HWND, lists::listCount> m_lists {};
    std::array<HWND, 4> m_labels {};
    HWND m_button = nullptr;
    HWND m_textBox = nullptr;
    // Where the focus was when the window was last deactivated.
    HWND m_lastFocus = nullptr;
    // List2(0..2): the key texts beside the visible lists, never shown.
    std::array<std::array<std::string, lists::rowCount>, lists::listCount> m_keyTexts;
    UINT m_dpi = 96;
    GdiObject<HFONT> m_font;
    GdiObject<HBRUSH> m_windowBrush;
    GdiObject<HBRUSH> m_labelBrush;
    GdiObject<HBRUSH> m_buttonBrush;
};
