// The table of user scenarios (scenarios.json) on the Windows window, driven
// with real input through SendInput.

#include "catalogues.h"
#include "scenarios.h"
#include "standardcontrols.h"
#include "windowdriver.h"

#include <doctest/doctest.h>

#include <oleacc.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

using scenarios::Step;

namespace {

// A row of what a screen reader reads of a control: the control itself
// first, then its children.
struct AccessiblePart
{
    long role = 0;
    long state = 0;
    std::string name;
};

// Reads the controls' accessible objects from another process, as a screen
// reader does: accprobe.exe, beside this program. This thread answers its
// calls meanwhile.
std::vector<std::vector<AccessiblePart>> readAccessible(
    const WindowDriver &driver, std::vector<HWND> controls)
{
    wchar_t path[MAX_PATH] {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path);
    program = program.substr(0, program.find_last_of(L"\\/") + 1) + L"accprobe.exe";
    std::wstring command = L"\"" + program + L"\"";
    for (HWND control : controls)
        command += L" " + std::to_wstring(reinterpret_cast<UINT_PTR>(control));

    SECURITY_ATTRIBUTES inherited { sizeof inherited, nullptr, TRUE };
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    REQUIRE(CreatePipe(&readEnd, &writeEnd, &inherited, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process {};
    const bool started = CreateProcessW(
        nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    REQUIRE(started);

    std::string output;
    const auto readAvailable = [&] {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!ReadFile(
                    readEnd, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr))
                break;
            output.append(buffer, got);
        }
    };
    for (int wait = 0; wait < 400; ++wait) {
        readAvailable();
        if (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 25, QS_ALLINPUT)
            == WAIT_OBJECT_0)
            break;
        driver.settle(std::chrono::milliseconds(1));
    }
    readAvailable();
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    INFO(output);
    REQUIRE(status == 0);

    std::vector<std::vector<AccessiblePart>> parts(1);
    std::size_t at = 0;
    while (at < output.size()) {
        std::size_t end = output.find('\n', at);
        if (end == std::string::npos)
            end = output.size();
        std::string line = output.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        at = end + 1;
        if (line == "--") {
            parts.emplace_back();
            continue;
        }
        const std::size_t first = line.find('\t');
        const std::size_t second = line.find('\t', first + 1);
        parts.back().push_back({ std::stol(line.substr(0, first)),
            std::stol(line.substr(first + 1, second - first - 1)), line.substr(second + 1) });
    }
    parts.pop_back(); // after the last "--"
    REQUIRE(parts.size() == controls.size());
    return parts;
}

// Windows 10's own list box moves on Left and Right as on Up and Down in a
// list of one column, and its first arrow in a list with nothing selected
// moves from the framed row, where Wine's selects that row: the tests' list
// boxes move as Windows 10's do, so that a key that the window leaves to
// its list box does here what it would do there.
WNDPROC wineListBoxProcedure = nullptr;

LRESULT CALLBACK windowsListBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool back = wParam == VK_LEFT || wParam == VK_UP;
    if (message != WM_KEYDOWN || !(back || wParam == VK_RIGHT || wParam == VK_DOWN))
        return CallWindowProcW(wineListBoxProcedure, box, message, wParam, lParam);
    if (SendMessageW(box, LB_GETCURSEL, 0, 0) != LB_ERR)
        return CallWindowProcW(wineListBoxProcedure, box, message, back ? VK_UP : VK_DOWN, lParam);
    const int caret = int(SendMessageW(box, LB_GETCARETINDEX, 0, 0));
    const int last = int(SendMessageW(box, LB_GETCOUNT, 0, 0)) - 1;
    SendMessageW(box, LB_SETCURSEL, WPARAM(std::clamp(caret + (back ? -1 : 1), 0, last)), 0);
    notifySelectionChanged(box);
    return 0;
}

void moveListBoxesAsOnWindows()
{
    if (wineListBoxProcedure)
        return;
    HWND sample = CreateWindowW(
        L"LISTBOX", L"", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    REQUIRE(sample);
    wineListBoxProcedure = reinterpret_cast<WNDPROC>(SetClassLongPtrW(
        sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowsListBoxProcedure)));
    DestroyWindow(sample);
    REQUIRE(reinterpret_cast<void *>(wineListBoxProcedure) != nullptr);
}

HWND controlNamed(const WindowDriver &driver, const std::string &name)
{
    for (const form::Control &control : form::controls)
        if (form::controlName(control.kind, control.index) == name)
            return driver.control(control.kind, control.index);
    return nullptr;
}

std::string focusedName(const WindowDriver &driver)
{
    HWND focus = GetFocus();
    for (const form::Control &control : form::controls)
        if (focus && focus == driver.control(control.kind, control.index))
            return form::controlName(control.kind, control.index);
    return "(none)";
}

class ScenarioRun
{
public:
    explicit ScenarioRun(const scenarios::Scenario &scenario)
        : m_catalogue(scenario.key
                ? catalogueWithKey(scenario.key->list, scenario.key->row, scenario.key->text)
                : lists::Catalogue::builtIn())
        , m_driver(m_catalogue,
              [this](HWND, const std::wstring &message) { m_failures.push_back(narrow(message)); })
    {
    }

    void perform(const Step &step)
    {
        m_failures.clear();
        if (step.kind == "click") {
            m_driver.clickRow(step.value.at(0).get<int>(), step.value.at(1).get<int>());
        } else if (step.kind == "press") {
            REQUIRE(step.value == "Command1");
            m_driver.clickCentre(m_driver.button());
        } else if (step.kind == "key") {
            struct Key
            {
                WORD virtualKey;
                WORD modifier = 0;
            };
            static const std::map<std::string, Key> keys {
                { "Tab", { VK_TAB } },
                { "Shift+Tab", { VK_TAB, VK_SHIFT } },
                { "Up", { VK_UP } },
                { "Down", { VK_DOWN } },
                { "Left", { VK_LEFT } },
                { "Right", { VK_RIGHT } },
                { "Home", { VK_HOME } },
                { "End", { VK_END } },
                { "PageUp", { VK_PRIOR } },
                { "PageDown", { VK_NEXT } },
                { "Space", { VK_SPACE } },
                { "Enter", { VK_RETURN } },
                { "Ctrl+Down", { VK_DOWN, VK_CONTROL } },
                { "Ctrl+End", { VK_END, VK_CONTROL } },
                { "Ctrl+Home", { VK_HOME, VK_CONTROL } },
                { "KeypadUp", { VK_UP } },
                { "KeypadDown", { VK_DOWN } },
            };
            const Key &key = keys.at(step.value.get<std::string>());
            m_driver.key(key.virtualKey, key.modifier);
        } else if (step.kind == "type") {
            for (const wchar_t letter : widen(step.value.get<std::string>()))
                m_driver.type(letter);
        } else if (step.kind == "wheelToTop") {
            const int list = step.value.get<int>();
            for (int turn = 0; turn < 20 && m_driver.topRow(list) > 0; ++turn)
                m_driver.wheel(m_driver.list(list), 1);
        } else {
            FAIL("unknown action " << step.kind);
        }
    }

    void expect(const Step &step)
    {
        const Rows selected = m_driver.selection();
        if (step.kind == "selected") {
            CHECK(selected == step.value.get<Rows>());
            for (int list = 0; list < lists::listCount; ++list)
                if (selected[std::size_t(list)] >= 0)
                    CHECK(m_driver.rowInView(list, selected[std::size_t(list)]));
        } else if (step.kind == "oneEntry") {
            REQUIRE(selected[0] >= 0);
            CHECK(selected == entryOf(0, selected[0]));
            for (int list = 0; list < lists::listCount; ++list)
                CHECK(m_driver.rowInView(list, selected[std::size_t(list)]));
        } else if (step.kind == "focus") {
            CHECK(focusedName(m_driver) == step.value.get<std::string>());
        } else if (step.kind == "outOfView") {
            CHECK_FALSE(
                m_driver.rowInView(step.value.at(0).get<int>(), step.value.at(1).get<int>()));
        } else if (step.kind == "failure") {
            if (step.value.is_null())
                CHECK(m_failures.empty());
            else
                CHECK(m_failures == std::vector { step.value.get<std::string>() });
        } else if (step.kind == "textBox") {
            HWND text = m_driver.textBox();
            CHECK(narrow(windowText(text)) == form::assignmentText);
            DWORD start = 0;
            DWORD end = 0;
            SendMessageW(
                text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            CHECK(start == end);
            CHECK(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0) == 0);
        } else if (step.kind == "spoken") {
            const auto all = readAccessible(
                m_driver, { m_driver.list(0), m_driver.list(1), m_driver.list(2) });
            for (std::size_t list = 0; list < all.size(); ++list) {
                const auto &parts = all[list];
                REQUIRE(parts.size() == std::size_t(lists::rowCount) + 1);
                std::string selectedName;
                int selectedRows = 0;
                for (std::size_t row = 1; row < parts.size(); ++row) {
                    CHECK(parts[row].role == ROLE_SYSTEM_LISTITEM);
                    CHECK((parts[row].state & STATE_SYSTEM_SELECTABLE) != 0);
                    if (parts[row].state & STATE_SYSTEM_SELECTED) {
                        selectedName = parts[row].name;
                        ++selectedRows;
                        CHECK(int(row) - 1 == selected[list]);
                    }
                }
                CHECK(selectedRows == (selected[list] >= 0 ? 1 : 0));
                CHECK(selectedName == step.value.at(list).get<std::string>());
            }
        } else if (step.kind == "rowName") {
            const auto parts
                = readAccessible(m_driver, { m_driver.list(step.value.at(0).get<int>()) })[0];
            const auto row = step.value.at(1).get<std::size_t>();
            REQUIRE(parts.size() > row + 1);
            CHECK(parts[row + 1].name == step.value.at(2).get<std::string>());
        } else if (step.kind == "listName") {
            const auto parts
                = readAccessible(m_driver, { m_driver.list(step.value.at(0).get<int>()) })[0];
            REQUIRE(parts.size() == std::size_t(lists::rowCount) + 1);
            CHECK(parts[0].role == ROLE_SYSTEM_LIST);
            CHECK(parts[1].role == ROLE_SYSTEM_LISTITEM);
            CHECK(parts[0].name == step.value.at(1).get<std::string>());
        } else if (step.kind == "name") {
            HWND control = controlNamed(m_driver, step.value.at(0).get<std::string>());
            REQUIRE(control);
            const auto parts = readAccessible(m_driver, { control })[0];
            REQUIRE_FALSE(parts.empty());
            CHECK(parts[0].name == step.value.at(1).get<std::string>());
        } else {
            FAIL("unknown expectation " << step.kind);
        }
    }

private:
    lists::Catalogue m_catalogue;
    std::vector<std::string> m_failures;
    WindowDriver m_driver;
};

} // namespace

TEST_CASE("every scenario of the table, on the Windows window")
{
    moveListBoxesAsOnWindows();
    for (const scenarios::Scenario &scenario : scenarios::load("win32")) {
        CAPTURE(scenario.name);
        ScenarioRun run(scenario);
        int number = 0;
        for (const Step &step : scenario.steps) {
            ++number;
            CAPTURE(number);
            CAPTURE(step.value.dump());
            if (step.isAction())
                run.perform(step);
            else
                run.expect(step);
        }
    }
}
