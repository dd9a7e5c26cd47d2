#include "dpi.h"

#include "systemlibrary.h"

namespace {

template<typename Function> Function user32Function(const char *name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace

UINT dpiOf(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window && getDpiForWindow)
        return getDpiForWindow(window);
    // Windows 8.1 and Windows 10 before 1607 know each monitor's dpi only.
    using GetDpiForMonitorFunction = HRESULT(WINAPI *)(HMONITOR, int, UINT *, UINT *);
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = loadSystemLibrary(L"shcore.dll");
        return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                   reinterpret_cast<void *>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT dpiX = 0;
    UINT dpiY = 0;
    constexpr int effectiveDpi = 0; // MDT_EFFECTIVE_DPI
    if (window && getDpiForMonitor
        && SUCCEEDED(getDpiForMonitor(
            MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), effectiveDpi, &dpiX, &dpiY)))
        return dpiY;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return UINT(dpi);
}

SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, UINT dpi)
{
    RECT frame { 0, 0, client.cx, client.cy };
    using AdjustFunction = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    if (adjustForDpi)
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return { frame.right - frame.left, frame.bottom - frame.top };
}
