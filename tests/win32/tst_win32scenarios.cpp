// The table of user scenarios (scenarios.json) on the Windows window, driven
// with real input through SendInput.

#include "catalogues.h"
#include "scenarios.h"
#include "windowdriver.h"

#include <doctest/doctest.h>

#include <map>
#include <memory>
#include <vector>

using scenarios::Step;

namespace {

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
                bool shift = false;
            };
            static const std::map<std::string, Key> keys {
                { "Tab", { VK_TAB } },
                { "Shift+Tab", { VK_TAB, true } },
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
                { "KeypadUp", { VK_UP } },
                { "KeypadDown", { VK_DOWN } },
            };
            const Key &key = keys.at(step.value.get<std::string>());
            m_driver.key(key.virtualKey, key.shift);
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
        } else if (step.kind == "spoken" || step.kind == "rowName" || step.kind == "listName"
            || step.kind == "name") {
            MESSAGE("not read on Windows yet: " << step.kind);
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
