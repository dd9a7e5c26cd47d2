#pragma once

#include <windows.h>

// A top-level window whose messages go to one member function, as in
// Microsoft's BaseWindow sample: `this` travels in CreateWindowExW's last
// argument and is kept in the window's user data from WM_NCCREATE on.
// Derived implements `LRESULT handleMessage(UINT, WPARAM, LPARAM)`, and
// destroys the window in its own destructor, while its members still live
// for the messages that destroying sends.
template<typename Derived> class BaseWindow
{
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow &) = delete;
    BaseWindow &operator=(const BaseWindow &) = delete;

    HWND window() const { return m_window; }

protected:
    // Registers the class once per process and creates the window. Returns
    // false when Windows refuses; GetLastError tells why.
    bool createWindow(
        WNDCLASSEXW windowClass, const wchar_t *title, DWORD style, DWORD exStyle, SIZE size)
    {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProcedure;
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
        return CreateWindowExW(exStyle, windowClass.lpszClassName, title, style, CW_USEDEFAULT,
                   CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, windowClass.hInstance, this)
            != nullptr;
    }

    HWND m_window = nullptr;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        BaseWindow *self = nullptr;
        if (message == WM_NCCREATE) {
            const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            self = static_cast<BaseWindow *>(creation->lpCreateParams);
            self->m_window = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<BaseWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self)
            return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->m_window = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return static_cast<Derived *>(self)->handleMessage(message, wParam, lParam);
    }
};
