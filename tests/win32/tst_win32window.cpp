#include "buildinfo.h"
#include "catalogues.h"
#include "formdescription.h"
#include "windowdriver.h"

#include <commctrl.h>
#include <doctest/doctest.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

using form::Kind;

namespace {

std::string listText(HWND box, int row)
{
    std::wstring text(std::size_t(SendMessageW(box, LB_GETTEXTLEN, WPARAM(row), 0)) + 1, L'\0');
    text.resize(std::size_t(
        SendMessageW(box, LB_GETTEXT, WPARAM(row), reinterpret_cast<LPARAM>(text.data()))));
    return narrow(text);
}

std::wstring className(HWND window)
{
    wchar_t name[64] {};
    GetClassNameW(window, name, int(std::size(name)));
    return name;
}

form::Pixels placeInParent(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return { rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top };
}

void checkPlaces(const WindowDriver &driver, int dpi)
{
    RECT client;
    GetClientRect(driver.window(), &client);
    const form::Pixels area = form::pixels(form::clientArea, dpi);
    CHECK(client.right == area.width);
    CHECK(client.bottom == area.height);
    for (const form::Control &control : form::controls) {
        CAPTURE(controlId(control.kind, control.index));
        CHECK(placeInParent(driver.control(control.kind, control.index))
            == form::pixels(control.place, dpi));
    }
}

void checkFont(const WindowDriver &driver, int dpi)
{
    for (const form::Control &control : form::controls) {
        CAPTURE(controlId(control.kind, control.index));
        const auto font = reinterpret_cast<HFONT>(
            SendMessageW(driver.control(control.kind, control.index), WM_GETFONT, 0, 0));
        LOGFONTW logFont {};
        REQUIRE(GetObjectW(font, sizeof logFont, &logFont) == sizeof logFont);
        CHECK(narrow(logFont.lfFaceName) == form::font.family);
        CHECK(logFont.lfHeight == -MulDiv(form::font.pointSize, dpi, 72));
        CHECK(logFont.lfWeight == form::font.weight);
        CHECK(logFont.lfCharSet == form::font.charset);
        CHECK_FALSE(logFont.lfItalic);
        CHECK_FALSE(logFont.lfUnderline);
        CHECK_FALSE(logFont.lfStrikeOut);
    }
}

COLORREF capturedPixel(HWND window, POINT client)
{
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.x + 1, client.y + 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.x + 1, client.y + 1, windowDc, 0, 0, SRCCOPY);
    const COLORREF colour = GetPixel(memory, client.x, client.y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return colour;
}

COLORREF rgb(const form::Rgb &colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

// The icon that a message box shows, into *icon.
BOOL CALLBACK findIcon(HWND child, LPARAM icon)
{
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        *reinterpret_cast<HICON *>(icon)
            = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return TRUE;
}

// A control as it shows on screen, pixel by pixel.
class Capture
{
public:
    explicit Capture(HWND control)
    {
        RECT client;
        GetClientRect(control, &client);
        m_width = client.right;
        m_height = client.bottom;
        HDC controlDc = GetDC(control);
        HDC memory = CreateCompatibleDC(controlDc);
        HBITMAP bitmap = CreateCompatibleBitmap(controlDc, m_width, m_height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, m_width, m_height, controlDc, 0, 0, SRCCOPY);
        m_pixels.resize(std::size_t(m_width) * std::size_t(m_height));
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                m_pixels[std::size_t(y * m_width + x)] = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(control, controlDc);
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    COLORREF at(int x, int y) const { return m_pixels[std::size_t(y * m_width + x)]; }
    bool operator==(const Capture &) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_pixels;
};

} // namespace

TEST_CASE("the window opens as described, letter for letter")
{
    const WindowDriver driver;
    if (!hasScreenDpi(driver.window()))
        return;
    const int dpi = expectedDpi();

    CHECK(narrow(windowText(driver.window())) == form::windowTitle());
    const auto style = DWORD(GetWindowLongW(driver.window(), GWL_STYLE));
    CHECK((style & WS_MAXIMIZEBOX) == 0);
    CHECK((style & WS_THICKFRAME) == 0);

    checkPlaces(driver, dpi);
    checkFont(driver, dpi);

    for (const form::Control &control : form::controls) {
        HWND child = driver.control(control.kind, control.index);
        CAPTURE(controlId(control.kind, control.index));
        const auto childStyle = DWORD(GetWindowLongW(child, GWL_STYLE));
        switch (control.kind) {
        case Kind::Label:
            CHECK(className(child) == L"Static");
            CHECK(narrow(windowText(child)) == control.text);
            CHECK((childStyle & WS_TABSTOP) == 0);
            break;
        case Kind::List: {
            CHECK(className(child) == L"ListBox");
            for (const DWORD wanted :
                { DWORD(LBS_NOTIFY), DWORD(LBS_NOINTEGRALHEIGHT), DWORD(WS_VSCROLL) })
                CHECK((childStyle & wanted) == wanted);
            CHECK((childStyle & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0);
            REQUIRE(SendMessageW(child, LB_GETCOUNT, 0, 0) == lists::rowCount);
            for (std::int16_t row = 0; row < lists::rowCount; ++row)
                CHECK(listText(child, row)
                    == lists::Catalogue::builtIn().displayText(std::int16_t(control.index), row));
            break;
        }
        case Kind::Button:
            CHECK(className(child) == L"Button");
            CHECK(narrow(windowText(child)) == control.text);
            break;
        case Kind::TextBox:
            CHECK(className(child) == L"Edit");
            CHECK(narrow(windowText(child)) == form::assignmentText);
            CHECK((childStyle & (ES_MULTILINE | ES_READONLY | WS_VSCROLL))
                == DWORD(ES_MULTILINE | ES_READONLY | WS_VSCROLL));
            CHECK(SendMessageW(child, EM_GETFIRSTVISIBLELINE, 0, 0) == 0);
            break;
        }
    }

    CHECK(driver.selection() == noSelection);
    CHECK(driver.focusId() == controlId(Kind::TextBox, 0));
}

TEST_CASE("the colours show in a capture of the window")
{
    const WindowDriver driver;
    const auto inside = [&driver](Kind kind, int index, int dx, int dy) {
        const form::Pixels place = placeInParent(driver.control(kind, index));
        return POINT { place.left + dx, place.top + dy };
    };

    // Left of the title line, where no control is.
    CHECK(capturedPixel(driver.window(), { 4, 4 }) == rgb(form::windowColour));
    for (int label = 0; label < 4; ++label) {
        CAPTURE(label);
        CHECK(capturedPixel(driver.window(), inside(Kind::Label, label, 3, 3))
            == rgb(form::labelColour));
    }
    // Inside the raised edge, well left of the caption.
    CHECK(
        capturedPixel(driver.window(), inside(Kind::Button, 0, 10, 10)) == rgb(form::buttonColour));
}

namespace {

// Some of the system's colours set for a while, as a dark or contrast
// scheme sets them.
class SystemColours
{
public:
    explicit SystemColours(std::vector<std::pair<INT, COLORREF>> colours)
    {
        for (const auto &[element, colour] : colours) {
            m_elements.push_back(element);
            m_colours.push_back(colour);
            m_before.push_back(GetSysColor(element));
        }
        SetSysColors(int(m_elements.size()), m_elements.data(), m_colours.data());
    }
    ~SystemColours() { SetSysColors(int(m_elements.size()), m_elements.data(), m_before.data()); }
    SystemColours(const SystemColours &) = delete;
    SystemColours &operator=(const SystemColours &) = delete;

private:
    std::vector<INT> m_elements;
    std::vector<COLORREF> m_colours;
    std::vector<COLORREF> m_before;
};

// This program's import of a function, pointed at a stand-in for as long as
// it lives: how a test shows the window a Windows that Wine cannot be. The
// window is linked into this program, so its calls go through these imports.
class ReplacedImport
{
public:
    ReplacedImport(const char *library, const char *function, const void *standIn)
    {
        auto *base = reinterpret_cast<BYTE *>(GetModuleHandleW(nullptr));
        const auto *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER *>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY &imports
            = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto *module
             = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
             module->Name && !m_slot; ++module) {
            if (lstrcmpiA(reinterpret_cast<const char *>(base + module->Name), library) != 0)
                continue;
            auto *name = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->OriginalFirstThunk);
            auto *slot = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->FirstThunk);
            for (; name->u1.AddressOfData; ++name, ++slot) {
                if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)
                    && lstrcmpA(
                           reinterpret_cast<const char *>(reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(
                               base + name->u1.AddressOfData)
                                                              ->Name),
                           function)
                        == 0) {
                    m_slot = &slot->u1.Function;
                    break;
                }
            }
        }
        REQUIRE_MESSAGE(m_slot, "this program imports no " << function);
        m_original = write(reinterpret_cast<ULONG_PTR>(standIn));
    }
    ~ReplacedImport() { write(m_original); }
    ReplacedImport(const ReplacedImport &) = delete;
    ReplacedImport &operator=(const ReplacedImport &) = delete;

    template<typename Function> Function original() const
    {
        return reinterpret_cast<Function>(m_original);
    }

private:
    ULONG_PTR write(ULONG_PTR function)
    {
        DWORD protection = 0;
        VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &protection);
        const ULONG_PTR before = std::exchange(*m_slot, function);
        VirtualProtect(m_slot, sizeof *m_slot, protection, &protection);
        return before;
    }

    ULONG_PTR *m_slot = nullptr;
    ULONG_PTR m_original = 0;
};

} // namespace

// In black on orange whatever the system's text colour: here yellow.
TEST_CASE("each heading's text is centred, on the heading's own colour")
{
    const COLORREF yellow = RGB(255, 255, 0);
    const SystemColours schemeText({ { COLOR_WINDOWTEXT, yellow }, { COLOR_BTNTEXT, yellow } });
    const WindowDriver driver;
    for (int label = 0; label < 4; ++label) {
        CAPTURE(label);
        const Capture heading(driver.control(Kind::Label, label));
        int left = heading.width();
        int right = -1;
        bool textColourShows = false;
        for (int y = 0; y < heading.height(); ++y) {
            for (int x = 0; x < heading.width(); ++x) {
                // Nothing of the window's colour shows inside the heading.
                CHECK(heading.at(x, y) != rgb(form::windowColour));
                CHECK(heading.at(x, y) != yellow);
                textColourShows |= heading.at(x, y) == rgb(form::textOnFixedColour);
                if (heading.at(x, y) != rgb(form::labelColour)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        CHECK(textColourShows);
        // Windows' own static control hands over its DC with the system's
        // text colour already in it; Wine's with black.
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, yellow);
        SendMessageW(driver.window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
            reinterpret_cast<LPARAM>(driver.control(Kind::Label, label)));
        CHECK(GetTextColor(dc) == rgb(form::textOnFixedColour));
        CHECK(GetBkColor(dc) == rgb(form::labelColour));
        DeleteDC(dc);
        REQUIRE(right >= left);
        // The letters' own side bearings leave a few pixels either way.
        CHECK(std::abs(left - (heading.width() - 1 - right)) <= 6);
    }
}

// The button is drawn by the window: a focus rectangle while it has the
// focus, and a sunken look while the mouse holds it down.
TEST_CASE("the button shows its focus and its press")
{
    const WindowDriver driver;
    if (!hasScreenDpi(driver.window()))
        return;
    HWND button = driver.button();
    const Capture plain(button);
    // Well inside the raised edge, on the focus rectangle's line.
    const int inset = MulDiv(4, expectedDpi(), 96);
    const auto focusLine = [&](const Capture &look) {
        int marked = 0;
        for (int x = inset + 2; x < look.width() - inset - 2; ++x)
            marked += look.at(x, inset) != rgb(form::buttonColour);
        return marked;
    };
    CHECK(focusLine(plain) == 0);

    SetFocus(button);
    driver.settle();
    const Capture focused(button);
    CHECK(focusLine(focused) > (focused.width() - 2 * inset) / 3);

    RECT place;
    GetWindowRect(button, &place);
    const auto mouse = [&](DWORD flags) {
        INPUT input = WindowDriver::mouseAt({ place.left + 20, place.top + 20 }, flags);
        SendInput(1, &input, sizeof input);
        driver.settle();
    };
    mouse(MOUSEEVENTF_LEFTDOWN);
    const Capture pressed(button);
    mouse(MOUSEEVENTF_LEFTUP);
    CHECK_FALSE(pressed == focused);
    // Sunken: the top left edge dark, where the raised one is light.
    CHECK(GetRValue(pressed.at(1, 1)) < GetRValue(focused.at(1, 1)));
}

namespace {

// A contrast theme as the window learns of it: Wine refuses to turn one on,
// so the window's import of SystemParametersInfoW answers for it.
bool contrastThemeOn = false;
using SystemParametersFunction = BOOL(WINAPI *)(UINT, UINT, void *, UINT);
SystemParametersFunction realSystemParameters = nullptr;

BOOL WINAPI contrastSystemParameters(UINT action, UINT size, void *value, UINT update)
{
    if (action != SPI_GETHIGHCONTRAST)
        return realSystemParameters(action, size, value, update);
    auto *contrast = static_cast<HIGHCONTRASTW *>(value);
    contrast->dwFlags = HCF_AVAILABLE | (contrastThemeOn ? HCF_HIGHCONTRASTON : 0);
    contrast->lpszDefaultScheme = nullptr;
    return TRUE;
}

} // namespace

// Turned on while the window runs, a contrast theme's colours take the
// place of every fixed one; turned off, the fixed ones come back.
TEST_CASE("a contrast theme's colours replace the fixed ones while it is on")
{
    const ReplacedImport systemParameters("user32.dll", "SystemParametersInfoW",
        reinterpret_cast<const void *>(&contrastSystemParameters));
    realSystemParameters = systemParameters.original<SystemParametersFunction>();
    const WindowDriver driver;
    driver.clickRow(0, 1); // Вихрен, 2914, Пирин
    SetFocus(driver.button());

    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), navy = RGB(0, 0, 96),
                   yellow = RGB(255, 255, 0), green = RGB(0, 160, 0);
    const SystemColours theme({ { COLOR_WINDOW, black }, { COLOR_WINDOWTEXT, white },
        { COLOR_BTNFACE, navy }, { COLOR_BTNTEXT, yellow }, { COLOR_HIGHLIGHT, green },
        { COLOR_HIGHLIGHTTEXT, white } });
    const auto switchTheme = [&](bool on) {
        contrastThemeOn = on;
        SendMessageW(driver.window(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        driver.settle();
    };
    const auto inside = [&driver](HWND control, int dx, int dy) {
        const form::Pixels place = placeInParent(control);
        return POINT { place.left + dx, place.top + dy };
    };
    RECT selectedRow;
    SendMessageW(driver.list(0), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&selectedRow));
    const int inset = MulDiv(4, expectedDpi(), 96);
    struct Part
    {
        const char *name;
        POINT at;
        COLORREF fixed; // without a theme; CLR_INVALID where it is drawn inverted
        COLORREF contrast;
    };
    std::vector<Part> parts {
        { "window", { 4, 4 }, rgb(form::windowColour), black },
        { "button face", inside(driver.button(), 10, 10), rgb(form::buttonColour), navy },
        { "button's focus frame", inside(driver.button(), inset + 8, inset), CLR_INVALID, yellow },
        { "selected row", inside(driver.list(0), selectedRow.right - 6, selectedRow.top + 4), green,
            green },
        { "list", inside(driver.list(0), selectedRow.right - 6, selectedRow.bottom + 30), black,
            black },
        { "text box", inside(driver.textBox(), 3, 60), black, black },
    };
    for (int label = 0; label < 4; ++label)
        parts.push_back({ "heading", inside(driver.control(Kind::Label, label), 3, 3),
            rgb(form::labelColour), navy });

    switchTheme(true);
    for (const Part &part : parts) {
        CAPTURE(part.name);
        CHECK(capturedPixel(driver.window(), part.at) == part.contrast);
    }
    // Captions in the theme's button text, and nothing anywhere in a fixed colour.
    const Capture window(driver.window());
    for (HWND captioned : { driver.button(), driver.control(Kind::Label, 0) }) {
        const Capture caption(captioned);
        bool textShows = false;
        for (int y = 0; y < caption.height(); ++y)
            for (int x = 0; x < caption.width(); ++x)
                textShows |= caption.at(x, y) == yellow;
        CHECK(textShows);
    }
    int fixedPixels = 0;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            for (const form::Rgb &fixed :
                { form::windowColour, form::labelColour, form::buttonColour })
                fixedPixels += window.at(x, y) == rgb(fixed);
    CHECK(fixedPixels == 0);

    switchTheme(false);
    for (const Part &part : parts) {
        CAPTURE(part.name);
        if (part.fixed != CLR_INVALID)
            CHECK(capturedPixel(driver.window(), part.at) == part.fixed);
    }
}

TEST_CASE("an overflowing key is shown in a message box that says what failed")
{
    {
        const lists::Catalogue broken = catalogueWithKey(0, 4, "40000");
        const WindowDriver driver(broken);
        std::atomic<bool> found = false;
        std::wstring shown;
        HICON icon = nullptr;
        // The box is modal: it is read and closed from another thread.
        std::thread closer([&] {
            for (int attempt = 0; attempt < 250 && !found; ++attempt) {
                if (HWND box = FindWindowW(L"#32770", L"Грешка при изпълнение")) {
                    shown = windowText(GetDlgItem(box, 0xFFFF));
                    // The error icon, as Windows draws it for MB_ICONERROR.
                    EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&icon));
                    found = true;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
                Sleep(20);
            }
        });
        driver.clickRow(0, 4);
        closer.join();
        driver.settle();
        CHECK(found);
        CHECK(narrow(shown)
            == "Overflow: key \"40000\" does not fit a 16-bit integer (-32768..32767)");
        CHECK(icon != nullptr);
        CHECK(icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32513))); // IDI_ERROR
        CHECK(driver.selection() == Rows { 4, -1, -1 });
    }
}

TEST_CASE("a move to a monitor of another dpi lays the window out again")
{
    const WindowDriver driver;
    for (const int dpi : { 144, 192, 96 }) {
        CAPTURE(dpi);
        RECT window;
        GetWindowRect(driver.window(), &window);
        SendMessageW(driver.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
            reinterpret_cast<LPARAM>(&window));
        driver.settle();
        checkPlaces(driver, dpi);
        checkFont(driver, dpi);
    }
}

namespace {

struct WinEvent
{
    DWORD event;
    HWND window;
    LONG child;
};

std::vector<WinEvent> winEvents;

void CALLBACK recordWinEvent(
    HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT)
        winEvents.push_back({ event, window, child });
}

bool told(DWORD event, HWND window, LONG child)
{
    for (const WinEvent &each : winEvents)
        if (each.event == event && each.window == window && each.child == child)
            return true;
    return false;
}

} // namespace

// A screen reader keeps names and follows the focus through events: after
// each handling it is told of every row whose name changed, and of the
// focused row again, now named by its whole entry.
TEST_CASE("screen readers are told of the names that change and of the focused row")
{
    const WindowDriver driver;
    winEvents.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr,
        recordWinEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    REQUIRE(hook);

    driver.key(VK_TAB);
    driver.key(VK_DOWN); // Ботев, 2376, Стара планина
    const Rows botev = entryOf(0, 0);
    for (int list = 0; list < lists::listCount; ++list)
        CHECK(told(EVENT_OBJECT_NAMECHANGE, driver.list(list), botev[std::size_t(list)] + 1));
    REQUIRE_FALSE(winEvents.empty());
    const WinEvent last = winEvents.back();
    CHECK(last.event == EVENT_OBJECT_FOCUS);
    CHECK(last.window == driver.list(0));
    CHECK(last.child == 1);

    // Cleared, the rows are named by their own text again: told too.
    winEvents.clear();
    driver.clickCentre(driver.button());
    for (int list = 0; list < lists::listCount; ++list)
        CHECK(told(EVENT_OBJECT_NAMECHANGE, driver.list(list), botev[std::size_t(list)] + 1));
    UnhookWinEvent(hook);
}

namespace {

// The shown tooltip of the list box, or nullptr.
HWND shownTooltip(HWND listBox)
{
    for (HWND tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tooltip;
         tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) {
        TOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        if (IsWindowVisible(tooltip)
            && SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))
            && tool.hwnd == listBox)
            return tooltip;
    }
    return nullptr;
}

std::string tooltipText(HWND tooltip, HWND listBox)
{
    wchar_t text[256] {};
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = listBox;
    tool.uId = reinterpret_cast<UINT_PTR>(listBox);
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, WPARAM(std::size(text)), reinterpret_cast<LPARAM>(&tool));
    return narrow(text);
}

} // namespace

// Only „Радомир (Калабак) “ is too wide for its list at the window's font.
TEST_CASE("a row whose text is cut off shows it whole in a tooltip, and only such a row")
{
    const WindowDriver driver;
    HWND peaks = driver.list(0);
    // The mouse moved over the row (off the centre, where a click leaves
    // it), then a wait.
    const auto moveOver = [&](int row, std::chrono::milliseconds wait) {
        RECT item;
        SendMessageW(peaks, LB_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        POINT at { (item.left + item.right) / 2 + 3, (item.top + item.bottom) / 2 };
        ClientToScreen(peaks, &at);
        SetCursorPos(at.x, at.y);
        driver.settle(wait, wait);
    };
    const auto hover = [&](int row) {
        driver.clickRow(0, row);
        moveOver(row, std::chrono::milliseconds(1200));
    };
    hover(5);
    HWND tooltip = shownTooltip(peaks);
    REQUIRE(tooltip);
    CHECK(tooltipText(tooltip, peaks) == "Радомир (Калабак) ");

    // Moved to the next row, with no click, the tooltip goes at once.
    moveOver(4, std::chrono::milliseconds(100));
    CHECK(shownTooltip(peaks) == nullptr);
    moveOver(4, std::chrono::milliseconds(1200));
    CHECK(shownTooltip(peaks) == nullptr);

    hover(4); // Мусала fits
    CHECK(shownTooltip(peaks) == nullptr);
    for (int list = 1; list < lists::listCount; ++list) {
        driver.clickRow(list, 0);
        CHECK(shownTooltip(driver.list(list)) == nullptr);
    }

    // Shown while another window is active too, as a mouse over the window
    // reads it without clicking.
    hover(5);
    HWND other = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
        GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40, 30, 30, nullptr,
        nullptr, GetModuleHandleW(nullptr), nullptr);
    REQUIRE(other);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    driver.settle();
    REQUIRE(GetActiveWindow() != driver.window());
    moveOver(4, std::chrono::milliseconds(100));
    moveOver(5, std::chrono::milliseconds(1200));
    CHECK(shownTooltip(peaks) != nullptr);
    DestroyWindow(other);
}

namespace {

VARIANT childId(long id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A control's accessible object, as a screen reader gets it.
struct AccessibleOf
{
    explicit AccessibleOf(HWND control)
    {
        REQUIRE(SUCCEEDED(AccessibleObjectFromWindow(control, DWORD(OBJID_CLIENT),
            __uuidof(IAccessible), reinterpret_cast<void **>(&object))));
        REQUIRE(object);
    }
    ~AccessibleOf() { object->Release(); }
    AccessibleOf(const AccessibleOf &) = delete;
    AccessibleOf &operator=(const AccessibleOf &) = delete;

    long state(long child) const
    {
        VARIANT state;
        VariantInit(&state);
        REQUIRE(object->get_accState(childId(child), &state) == S_OK);
        REQUIRE(state.vt == VT_I4);
        return state.lVal;
    }
    // A child's id from get_accSelection or get_accFocus, 0 for none.
    long child(HRESULT (STDMETHODCALLTYPE IAccessible::*read)(VARIANT *)) const
    {
        VARIANT child;
        VariantInit(&child);
        const HRESULT result = (object->*read)(&child);
        if (result == S_FALSE) {
            CHECK(child.vt == VT_EMPTY);
            return 0;
        }
        REQUIRE(result == S_OK);
        REQUIRE(child.vt == VT_I4);
        return child.lVal;
    }

    IAccessible *object = nullptr;
};

// What each list's and the text box's objects say against what the window
// shows: the focused control and, in a list, its framed row focused; the
// selected row selected and reported as the selection; the rows outside
// the view, and only those, off-screen (a row cut off at the bottom is in
// view); the text box read-only, its value the assignment.
void checkAccessibleStates(const WindowDriver &driver)
{
    const Rows selection = driver.selection();
    for (int list = 0; list < lists::listCount; ++list) {
        CAPTURE(list);
        HWND box = driver.list(list);
        const AccessibleOf accessible(box);
        const bool focused = GetFocus() == box;
        CHECK(((accessible.state(CHILDID_SELF) & STATE_SYSTEM_FOCUSED) != 0) == focused);
        RECT client;
        GetClientRect(box, &client);
        const int rowHeight = int(SendMessageW(box, LB_GETITEMHEIGHT, 0, 0));
        REQUIRE(client.bottom % rowHeight != 0);
        const int shownRows = client.bottom / rowHeight + 1;
        const int top = driver.topRow(list);
        const int caret = int(SendMessageW(box, LB_GETCARETINDEX, 0, 0));
        for (int row = 0; row < lists::rowCount; ++row) {
            CAPTURE(row);
            const long state = accessible.state(row + 1);
            CHECK(((state & STATE_SYSTEM_SELECTED) != 0) == (row == selection[std::size_t(list)]));
            CHECK(((state & STATE_SYSTEM_FOCUSED) != 0) == (focused && row == caret));
            const bool shown = row >= top && row < top + shownRows;
            CHECK(((state & STATE_SYSTEM_OFFSCREEN) != 0) == !shown);
            CHECK(((state & STATE_SYSTEM_INVISIBLE) != 0) == !shown);
        }
        CHECK(accessible.child(&IAccessible::get_accSelection) == selection[std::size_t(list)] + 1);
        CHECK(accessible.child(&IAccessible::get_accFocus) == (focused ? caret + 1 : 0));
    }
    const AccessibleOf text(driver.textBox());
    const long state = text.state(CHILDID_SELF);
    CHECK((state & STATE_SYSTEM_READONLY) != 0);
    CHECK(((state & STATE_SYSTEM_FOCUSED) != 0) == (GetFocus() == driver.textBox()));
    BSTR value = nullptr;
    REQUIRE(text.object->get_accValue(childId(CHILDID_SELF), &value) == S_OK);
    REQUIRE(value);
    CHECK(narrow(std::wstring_view(value, SysStringLen(value))) == form::assignmentText);
    SysFreeString(value);
}

} // namespace

TEST_CASE("the lists' and the text box's accessible objects tell what the window shows")
{
    const WindowDriver driver;
    struct Situation
    {
        const char *name;
        std::function<void(const WindowDriver &)> reach;
    };
    const Situation situations[] {
        { "nothing selected", [](const WindowDriver &) {} },
        { "the first list focused, its first row selected",
            [](const WindowDriver &window) {
                window.key(VK_TAB);
                window.key(VK_DOWN);
            } },
        { "the last row of the third list selected, the lists scrolled",
            [](const WindowDriver &window) {
                window.clickRow(2, 1);
                window.key(VK_END);
            } },
        { "the text box focused",
            [](const WindowDriver &window) { window.clickCentre(window.textBox()); } },
    };
    for (const Situation &situation : situations) {
        CAPTURE(situation.name);
        situation.reach(driver);
        checkAccessibleStates(driver);
    }
}

// A screen reader's "select" command on a row selects the whole entry, as a
// click does; a list holds one row at most, so adding to the selection is
// refused and changes nothing.
TEST_CASE("a row selected through its accessible object selects its whole entry")
{
    const WindowDriver driver;
    const AccessibleOf mountains(driver.list(2));
    CHECK(
        mountains.object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, childId(4)) == S_OK);
    driver.settle();
    CHECK(driver.selection() == entryOf(2, 3));
    CHECK(GetFocus() == driver.list(2));
    for (const long flags :
        std::initializer_list<long> { SELFLAG_ADDSELECTION, SELFLAG_EXTENDSELECTION,
            SELFLAG_REMOVESELECTION, SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION }) {
        CAPTURE(flags);
        CHECK(mountains.object->accSelect(flags, childId(6)) == E_INVALIDARG);
        driver.settle();
        CHECK(driver.selection() == entryOf(2, 3));
    }
    // The list itself is no row to select.
    CHECK(
        mountains.object->accSelect(SELFLAG_TAKESELECTION, childId(CHILDID_SELF)) == E_INVALIDARG);
    driver.settle();
    CHECK(driver.selection() == entryOf(2, 3));
}

namespace {

// Dynamic Annotation's service as the window finds it, through its lookup
// of CoCreateInstance: Wine's answers E_NOTIMPL, so a stand-in records the
// names made and taken back.
struct Annotation
{
    bool made; // false: taken back
    HWND window;
    DWORD object;
    DWORD child;
    GUID property;
    std::string name;
};
std::vector<Annotation> annotations;

constexpr GUID nameProperty { 0x608d3df8, 0x8128, 0x4aa7,
    { 0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91 } };
constexpr GUID accPropServicesClass { 0xb5f8350b, 0x0548, 0x48b1,
    { 0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7 } };

#define UNUSED_CALL(name, ...)                                                                     \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override                                           \
    {                                                                                              \
        return E_NOTIMPL;                                                                          \
    }

class RecordedAnnotations final : public IAccPropServices
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **object) override
    {
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(
        HWND window, DWORD object, DWORD child, MSAAPROPID property, LPCWSTR text) override
    {
        annotations.push_back({ true, window, object, child, property, narrow(text) });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(
        HWND window, DWORD object, DWORD child, const MSAAPROPID *properties, int count) override
    {
        for (int index = 0; index < count; ++index)
            annotations.push_back({ false, window, object, child, properties[index], {} });
        return S_OK;
    }
    // What the window never calls.
    UNUSED_CALL(SetPropValue, const BYTE *, DWORD, MSAAPROPID, VARIANT)
    UNUSED_CALL(
        SetPropServer, const BYTE *, DWORD, const MSAAPROPID *, int, IAccPropServer *, AnnoScope)
    UNUSED_CALL(ClearProps, const BYTE *, DWORD, const MSAAPROPID *, int)
    UNUSED_CALL(SetHwndProp, HWND, DWORD, DWORD, MSAAPROPID, VARIANT)
    UNUSED_CALL(
        SetHwndPropServer, HWND, DWORD, DWORD, const MSAAPROPID *, int, IAccPropServer *, AnnoScope)
    UNUSED_CALL(ComposeHwndIdentityString, HWND, DWORD, DWORD, BYTE **, DWORD *)
    UNUSED_CALL(DecomposeHwndIdentityString, const BYTE *, DWORD, HWND *, DWORD *, DWORD *)
    UNUSED_CALL(SetHmenuProp, HMENU, DWORD, MSAAPROPID, VARIANT)
    UNUSED_CALL(SetHmenuPropStr, HMENU, DWORD, MSAAPROPID, LPCWSTR)
    UNUSED_CALL(
        SetHmenuPropServer, HMENU, DWORD, const MSAAPROPID *, int, IAccPropServer *, AnnoScope)
    UNUSED_CALL(ClearHmenuProps, HMENU, DWORD, const MSAAPROPID *, int)
    UNUSED_CALL(ComposeHmenuIdentityString, HMENU, DWORD, BYTE **, DWORD *)
    UNUSED_CALL(DecomposeHmenuIdentityString, const BYTE *, DWORD, HMENU *, DWORD *)

    ULONG references = 0;
};
#undef UNUSED_CALL
RecordedAnnotations recordedAnnotations;

HRESULT WINAPI annotatingCreateInstance(REFCLSID type, IUnknown *, DWORD, REFIID, void **object)
{
    if (!IsEqualGUID(type, accPropServicesClass))
        return REGDB_E_CLASSNOTREG;
    recordedAnnotations.AddRef();
    *object = static_cast<IAccPropServices *>(&recordedAnnotations);
    return S_OK;
}

using GetProcAddressFunction = FARPROC(WINAPI *)(HMODULE, LPCSTR);
GetProcAddressFunction lookUp = nullptr;

FARPROC WINAPI annotatingGetProcAddress(HMODULE module, LPCSTR name)
{
    if (HIWORD(reinterpret_cast<UINT_PTR>(name)) != 0
        && std::string_view(name) == "CoCreateInstance")
        return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&annotatingCreateInstance));
    return lookUp(module, name);
}

} // namespace

// The text box keeps Windows' own accessible object, and with it UI
// Automation's Edit proxy; its name is an annotation on that object, made
// before a screen reader's first question is answered, whether it asks
// the window or the box, and taken back when the box is destroyed.
TEST_CASE("the text box keeps Windows' accessible object and is named by annotation")
{
    const ReplacedImport lookups("kernel32.dll", "GetProcAddress",
        reinterpret_cast<const void *>(&annotatingGetProcAddress));
    lookUp = lookups.original<GetProcAddressFunction>();
    for (const bool windowAskedFirst : { false, true }) {
        CAPTURE(windowAskedFirst);
        annotations.clear();
        HWND textBox = nullptr;
        {
            const WindowDriver driver;
            textBox = driver.textBox();
            CHECK(annotations.empty());
            // No object of the program's: the box's own procedure answers.
            CHECK(SendMessageW(windowAskedFirst ? driver.window() : textBox, WM_GETOBJECT, 0,
                      LPARAM(OBJID_CLIENT))
                == 0);
            SendMessageW(textBox, WM_GETOBJECT, 0, LPARAM(OBJID_CLIENT));
            SendMessageW(driver.window(), WM_GETOBJECT, 0, LPARAM(OBJID_CLIENT));
            REQUIRE(annotations.size() == 1);
            CHECK(annotations[0].made);
            CHECK(annotations[0].name == form::textBoxName);
        }
        REQUIRE(annotations.size() == 2);
        CHECK_FALSE(annotations[1].made);
        // Made and taken back for the box's own object, and its name alone.
        for (const Annotation &annotation : annotations) {
            CAPTURE(annotation.made);
            CHECK(annotation.window == textBox);
            CHECK(LONG(annotation.object) == OBJID_CLIENT);
            CHECK(annotation.child == CHILDID_SELF);
            CHECK(IsEqualGUID(annotation.property, nameProperty));
        }
        CHECK(recordedAnnotations.references == 0);
    }
}

// A screen reader may hold an object after its window is gone: every call
// then fails as COM's own do for a disconnected object, outputs cleared.
TEST_CASE("an accessible object whose window is gone answers that it is not connected")
{
    IAccessible *kept = nullptr;
    {
        const WindowDriver driver;
        const AccessibleOf list(driver.list(0));
        kept = list.object;
        kept->AddRef();
    }
    const VARIANT self = childId(CHILDID_SELF);
    const auto cleared = [](VARIANT &variant) { return variant.vt == VT_EMPTY; };
    VARIANT variant;
    BSTR text = reinterpret_cast<BSTR>(1);
    long number = 1;
    IDispatch *dispatch = reinterpret_cast<IDispatch *>(1);
    const auto fresh = [&] {
        variant.vt = VT_I4;
        text = reinterpret_cast<BSTR>(1);
        number = 1;
        dispatch = reinterpret_cast<IDispatch *>(1);
    };
    long left = 1, top = 1, width = 1, height = 1;
    const std::vector<std::pair<const char *, std::function<bool()>>> calls {
        { "get_accParent",
            [&] { return kept->get_accParent(&dispatch) == CO_E_OBJNOTCONNECTED && !dispatch; } },
        { "get_accChildCount",
            [&] {
                return kept->get_accChildCount(&number) == CO_E_OBJNOTCONNECTED && number == 0;
            } },
        { "get_accChild",
            [&] {
                return kept->get_accChild(childId(1), &dispatch) == CO_E_OBJNOTCONNECTED
                    && !dispatch;
            } },
        { "get_accName",
            [&] { return kept->get_accName(self, &text) == CO_E_OBJNOTCONNECTED && !text; } },
        { "get_accValue",
            [&] { return kept->get_accValue(self, &text) == CO_E_OBJNOTCONNECTED && !text; } },
        { "get_accDescription",
            [&] {
                return kept->get_accDescription(self, &text) == CO_E_OBJNOTCONNECTED && !text;
            } },
        { "get_accRole",
            [&] {
                return kept->get_accRole(self, &variant) == CO_E_OBJNOTCONNECTED
                    && cleared(variant);
            } },
        { "get_accState",
            [&] {
                return kept->get_accState(self, &variant) == CO_E_OBJNOTCONNECTED
                    && cleared(variant);
            } },
        { "get_accHelp",
            [&] { return kept->get_accHelp(self, &text) == CO_E_OBJNOTCONNECTED && !text; } },
        { "get_accHelpTopic",
            [&] {
                return kept->get_accHelpTopic(&text, self, &number) == CO_E_OBJNOTCONNECTED && !text
                    && number == 0;
            } },
        { "get_accKeyboardShortcut",
            [&] {
                return kept->get_accKeyboardShortcut(self, &text) == CO_E_OBJNOTCONNECTED && !text;
            } },
        { "get_accFocus",
            [&] {
                return kept->get_accFocus(&variant) == CO_E_OBJNOTCONNECTED && cleared(variant);
            } },
        { "get_accSelection",
            [&] {
                return kept->get_accSelection(&variant) == CO_E_OBJNOTCONNECTED && cleared(variant);
            } },
        { "get_accDefaultAction",
            [&] {
                return kept->get_accDefaultAction(self, &text) == CO_E_OBJNOTCONNECTED && !text;
            } },
        { "accSelect",
            [&] {
                return kept->accSelect(SELFLAG_TAKESELECTION, childId(1)) == CO_E_OBJNOTCONNECTED;
            } },
        { "accLocation",
            [&] {
                return kept->accLocation(&left, &top, &width, &height, self) == CO_E_OBJNOTCONNECTED
                    && left == 0 && top == 0 && width == 0 && height == 0;
            } },
        { "accNavigate",
            [&] {
                return kept->accNavigate(NAVDIR_NEXT, self, &variant) == CO_E_OBJNOTCONNECTED
                    && cleared(variant);
            } },
        { "accHitTest",
            [&] {
                return kept->accHitTest(1, 1, &variant) == CO_E_OBJNOTCONNECTED && cleared(variant);
            } },
        { "accDoDefaultAction",
            [&] { return kept->accDoDefaultAction(self) == CO_E_OBJNOTCONNECTED; } },
        { "put_accName", [&] { return kept->put_accName(self, nullptr) == CO_E_OBJNOTCONNECTED; } },
        { "put_accValue",
            [&] { return kept->put_accValue(self, nullptr) == CO_E_OBJNOTCONNECTED; } },
        { "GetTypeInfo",
            [&] {
                auto *info = reinterpret_cast<ITypeInfo *>(1);
                return kept->GetTypeInfo(0, 0, &info) == CO_E_OBJNOTCONNECTED && !info;
            } },
        { "GetTypeInfoCount",
            [&] {
                UINT count = 1;
                return kept->GetTypeInfoCount(&count) == CO_E_OBJNOTCONNECTED && count == 0;
            } },
    };
    for (const auto &[name, call] : calls) {
        CAPTURE(name);
        fresh();
        CHECK(call());
    }
    kept->Release();
}

namespace {

// Windows 8.1 as the window sees it, put in place by replacing the import
// of GetProcAddress: no GetDpiForWindow and no
// AdjustWindowRectExForDpi, and GetDpiForMonitor telling of a monitor at
// 144 dpi where the screen as a whole has 96.
constexpr UINT monitorDpi = 144;
using GetProcAddressFunction = FARPROC(WINAPI *)(HMODULE, LPCSTR);
GetProcAddressFunction realGetProcAddress = nullptr;

// The effective dpi, the one the user's scale setting gives; the angular
// and raw ones, which a window must not lay itself out by, differ.
HRESULT WINAPI dpiOfMonitor(HMONITOR, int kind, UINT *x, UINT *y)
{
    constexpr int effectiveDpi = 0;
    *x = *y = kind == effectiveDpi ? monitorDpi : monitorDpi + 24 + UINT(kind);
    return S_OK;
}

FARPROC WINAPI windows81GetProcAddress(HMODULE module, LPCSTR name)
{
    if (HIWORD(reinterpret_cast<UINT_PTR>(name)) != 0) { // by name, not by ordinal
        const std::string_view wanted(name);
        if (wanted == "GetDpiForWindow" || wanted == "AdjustWindowRectExForDpi")
            return nullptr;
        if (wanted == "GetDpiForMonitor")
            return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&dpiOfMonitor));
    }
    return realGetProcAddress(module, name);
}

} // namespace

// Run alone (tst_win32window_windows81), before the window first asks for
// the functions it looks up.
TEST_CASE("without GetDpiForWindow the window follows its monitor's dpi, as on Windows 8.1"
    * doctest::skip())
{
    const ReplacedImport windows81(
        "kernel32.dll", "GetProcAddress", reinterpret_cast<const void *>(&windows81GetProcAddress));
    realGetProcAddress = windows81.original<GetProcAddressFunction>();
    const WindowDriver driver;
    checkPlaces(driver, int(monitorDpi));
    checkFont(driver, int(monitorDpi));
}

namespace {

// Wine's list box scrolls to a row that it is told to select, where
// Windows' does not always: this undoes that, so that the window's own
// scrolling is what shows.
LRESULT CALLBACK keepTopOnSelect(
    HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message != LB_SETCURSEL)
        return DefSubclassProc(box, message, wParam, lParam);
    const LRESULT top = SendMessageW(box, LB_GETTOPINDEX, 0, 0);
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    SendMessageW(box, LB_SETTOPINDEX, WPARAM(top), 0);
    return result;
}

} // namespace

// For every row of the heights and every scroll position that the list
// can have (every list scrolls alike): selecting the peak that selects the
// row again brings it just into view, scrolling no more than it must (a row
// cut off at the bottom is not in view), and leaves a list that shows it as
// it is. The peak is selected through its accessible object, as a screen
// reader selects it: the same handling as a click, without a click's waits.
TEST_CASE("a linked row comes just into view, from every scroll position of its list")
{
    const WindowDriver driver;
    for (int list = 0; list < lists::listCount; ++list)
        SetWindowSubclass(driver.list(list), keepTopOnSelect, 100, 0);
    RECT client;
    GetClientRect(driver.list(0), &client);
    const int shown = client.bottom / int(SendMessageW(driver.list(0), LB_GETITEMHEIGHT, 0, 0));
    REQUIRE(shown == 4);
    const AccessibleOf peaks(driver.list(0));
    const int list = 1;
    for (int row = 0; row < lists::rowCount; ++row) {
        const int peak = entryOf(list, row)[0];
        driver.clickRow(0, peak);
        for (int top = 0; top + shown <= lists::rowCount; ++top) {
            CAPTURE(row);
            CAPTURE(top);
            SendMessageW(driver.list(list), LB_SETTOPINDEX, WPARAM(top), 0);
            // Selected already: the handling selects it again.
            REQUIRE(peaks.object->accSelect(SELFLAG_TAKESELECTION, childId(peak + 1)) == S_OK);
            driver.settle();
            const int expected = row < top ? row : row >= top + shown ? row - shown + 1 : top;
            CHECK(driver.topRow(list) == expected);
        }
    }
}
