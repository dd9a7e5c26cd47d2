#include "buildinfo.h"
#include "catalogues.h"
#include "formdescription.h"
#include "windowdriver.h"

#include <doctest/doctest.h>

#include <atomic>
#include <thread>
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

} // namespace

TEST_CASE("the window opens as described, letter for letter")
{
    const WindowDriver driver;
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

TEST_CASE("a click on any row of any list selects its entry, every row in view")
{
    const WindowDriver driver;
    for (int list = 0; list < lists::listCount; ++list) {
        for (int row = 0; row < lists::rowCount; ++row) {
            CAPTURE(list);
            CAPTURE(row);
            driver.clickRow(list, row);
            const Rows entry = entryOf(list, row);
            CHECK(driver.selection() == entry);
            for (int other = 0; other < lists::listCount; ++other)
                CHECK(driver.rowInView(other, entry[std::size_t(other)]));
        }
    }

    SUBCASE("Мусала brings 2925, the last height, into view")
    {
        driver.clickRow(0, 4);
        CHECK(driver.selection() == entryRows[0]);
        CHECK(driver.rowInView(1, 7));
    }

    SUBCASE("the button clears the three lists, and again when they are clear")
    {
        driver.clickCentre(driver.button());
        CHECK(driver.selection() == noSelection);
        driver.clickCentre(driver.button());
        CHECK(driver.selection() == noSelection);
        driver.clickRow(2, 7); // Стара планина
        CHECK(driver.selection() == entryRows[2]);
    }
}

TEST_CASE("the keyboard reaches every control in tab order and links the lists")
{
    const WindowDriver driver;
    const int textBox = controlId(Kind::TextBox, 0);
    const int button = controlId(Kind::Button, 0);
    REQUIRE(driver.focusId() == textBox);

    // Tab into a list selects nothing by itself.
    driver.key(VK_TAB);
    CHECK(driver.focusId() == controlId(Kind::List, 0));
    CHECK(driver.selection() == noSelection);

    // Which row the first key picks in a list without a selection differs
    // between Windows versions; it is the whole entry all the same.
    driver.key(VK_DOWN);
    CHECK(driver.selection()[0] >= 0);
    CHECK(driver.selection() == entryOf(0, driver.selection()[0]));
    driver.key(VK_END);
    CHECK(driver.selection() == entryOf(0, 7));
    driver.key(VK_HOME);
    CHECK(driver.selection() == entryOf(0, 0));
    driver.key(VK_DOWN);
    CHECK(driver.selection() == entryOf(0, 1));
    driver.key(VK_NEXT);
    const int paged = driver.selection()[0];
    CHECK(paged > 1);
    CHECK(driver.selection() == entryOf(0, paged));
    driver.key(VK_PRIOR);
    CHECK(driver.selection()[0] < paged);
    CHECK(driver.selection() == entryOf(0, driver.selection()[0]));
    driver.type(L'Р'); // Радомир (Калабак)
    CHECK(driver.selection() == entryRows[7]);

    driver.key(VK_TAB);
    CHECK(driver.focusId() == controlId(Kind::List, 1));
    driver.key(VK_UP);
    CHECK(driver.selection() == entryOf(1, driver.selection()[1]));

    driver.key(VK_TAB);
    CHECK(driver.focusId() == controlId(Kind::List, 2));
    driver.type(L'Р'); // Рила
    CHECK(driver.selection() == entryRows[0]);

    driver.key(VK_TAB);
    CHECK(driver.focusId() == button);
    driver.key(VK_SPACE);
    CHECK(driver.selection() == noSelection);

    // Back to a list, select, and clear with Enter this time.
    driver.key(VK_TAB, true);
    driver.key(VK_DOWN);
    driver.key(VK_END);
    CHECK(driver.selection() == entryOf(2, 7));
    driver.key(VK_TAB);
    driver.key(VK_RETURN);
    CHECK(driver.selection() == noSelection);

    // Round the circle and back.
    driver.key(VK_TAB);
    CHECK(driver.focusId() == textBox);
    driver.key(VK_TAB, true);
    CHECK(driver.focusId() == button);
    driver.key(VK_TAB);
    driver.key(VK_TAB);
    CHECK(driver.focusId() == controlId(Kind::List, 0));
    driver.key(VK_TAB, true);
    CHECK(driver.focusId() == textBox);
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

TEST_CASE("an overflowing key is reported and the window goes on")
{
    SUBCASE("through the reporter")
    {
        std::vector<std::wstring> failures;
        const lists::Catalogue broken = catalogueWithKey(0, 4, "40000"); // Мусала
        const WindowDriver driver(broken,
            [&failures](HWND, const std::wstring &message) { failures.push_back(message); });
        driver.clickRow(0, 4);
        REQUIRE(failures.size() == 1);
        CHECK(narrow(failures[0]).starts_with("Overflow"));
        // The user's own selection stays; nothing else was selected.
        CHECK(driver.selection() == Rows { 4, -1, -1 });
        driver.clickRow(0, 1); // Вихрен
        CHECK(driver.selection() == entryRows[1]);
    }

    SUBCASE("in a message box that says what failed")
    {
        const lists::Catalogue broken = catalogueWithKey(0, 4, "40000");
        const WindowDriver driver(broken);
        std::atomic<bool> found = false;
        std::wstring shown;
        // The box is modal: it is read and closed from another thread.
        std::thread closer([&] {
            for (int attempt = 0; attempt < 250 && !found; ++attempt) {
                if (HWND box = FindWindowW(L"#32770", L"Грешка при изпълнение")) {
                    shown = windowText(GetDlgItem(box, 0xFFFF));
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
        CHECK(narrow(shown).starts_with("Overflow"));
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
