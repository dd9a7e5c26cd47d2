#pragma once

#include "basewindow.h"
#include "behaviour.h"
#include "formdescription.h"
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
// mountains, the button that clears them, and the assignment, as Windows'
// standard controls.
class MainForm : public BaseWindow<MainForm>, private lists::ListOperations
{
public:
    explicit MainForm(const lists::Catalogue &catalogue = lists::Catalogue::builtIn(),
        FailureReporter failureReporter = reportFailure);
    ~MainForm() override;

    // Creates the window and its controls, hidden. Returns false when
    // Windows refuses; GetLastError tells why.
    bool create(HINSTANCE instance);

    // The message loop's part: keyboard navigation as in a dialog box.
    // Returns true when the message was handled and must not be dispatched.
    bool translate(MSG &message);

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void createControls();
    void layOut(UINT dpi);
    void fitFrame();
    HBRUSH colourPart(HDC dc, form::Part part) const;
    // Reads whether a contrast theme is on, and repaints the whole window
    // when that or the system's colours changed.
    void followSystemColours(bool coloursChanged);
    void runHandling(lists::Handling handling, std::int16_t list = 0);

    std::int16_t doSelectedRow(std::int16_t list) const override;
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override;

    FailureReporter m_reportFailure;
    // List1(0..2), the visible lists.
    std::array<HWND, lists::listCount> m_lists {};
    HWND m_button = nullptr;
    HWND m_textBox = nullptr;
    // Where the focus was when the window was last deactivated.
    HWND m_lastFocus = nullptr;
    // What screen readers were last told of the selected rows.
    lists::SpokenEntries m_spoken;
    UINT m_dpi = 96;
    // A contrast theme is on: every part takes the system's colours.
    bool m_contrast = false;
    GdiObject<HFONT> m_font;
    GdiObject<HBRUSH> m_windowBrush;
    GdiObject<HBRUSH> m_labelBrush;
};
