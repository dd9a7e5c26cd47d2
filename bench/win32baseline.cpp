// The Windows start-up baseline: one window with one label in the program's
// font, with the same manifest, so that what the program adds to starting
// a window under Windows shows as a ratio.
#include "formdescription.h"
#include "text.h"

#include <windows.h>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"Baseline";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"Baseline", L"Baseline",
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, 477,
        384, nullptr, nullptr, instance, nullptr);
    const form::Control &title = form::controls[1];
    const form::Pixels place = form::pixels(title.place, form::standardDpi);
    HWND label = CreateWindowExW(0, L"STATIC", widen(title.text).c_str(),
        WS_CHILD | WS_VISIBLE | SS_CENTER, place.left, place.top, place.width, place.height, window,
        nullptr, instance, nullptr);
    const form::Font &font = form::font;
    HFONT labelFont = CreateFontW(-MulDiv(font.pointSize, form::standardDpi, 72), 0, 0, 0,
        font.weight, FALSE, FALSE, FALSE, DWORD(font.charset), OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, widen(font.family).c_str());
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont), FALSE);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(labelFont);
    return 0;
}
