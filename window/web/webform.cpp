#include "webform.h"

#include "formdescription.h"
#include "linkedselection.h"
#include "listoperations.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <exception>
#include <memory>
#include <string>

using emscripten::val;

namespace {

val element(const std::string &id)
{
    return val::global("document").call<val>("getElementById", id);
}

// The page's three lists, List1(0..2), as <select size> elements; the key
// lists List2(0..2) are plain data beside them.
class PageLists final : public lists::ListOperations
{
public:
    explicit PageLists(const lists::Catalogue &catalogue)
    {
        for (std::int16_t list = 0; list < lists::listCount; ++list) {
            m_lists[list] = element(form::controlName(form::Kind::List, list));
            for (std::int16_t row = 0; row < lists::rowCount; ++row)
                m_keyTexts[list][row] = catalogue.keyText(list, row);
        }
    }

    template<typename Handling> void run(Handling handling)
    {
        std::string failure;
        try {
            handling();
        } catch (const std::exception &error) {
            failure = error.what();
        } catch (...) {
            failure = "Unknown failure";
        }
        updateSpokenEntries();
        showFailure(failure);
    }

private:
    val option(std::int16_t list, std::int16_t row) const { return m_lists[list]["options"][row]; }

    // A screen reader names each selected row by the whole entry shown with
    // it: its own text first, then the other lists' selected texts in their
    // order, as in "Вихрен, 2914, Пирин". Other rows keep their own text.
    void updateSpokenEntries()
    {
        std::array<std::int16_t, lists::listCount> rows {};
        std::array<std::string, lists::listCount> selected;
        for (std::int16_t list = 0; list < lists::listCount; ++list)
            if ((rows[list] = doSelectedRow(list)) >= 0)
                // An option's text is its content with the blanks at its ends removed.
                selected[list] = option(list, rows[list])["text"].as<std::string>();
        for (std::int16_t list = 0; list < lists::listCount; ++list) {
            if (m_spokenRows[list] >= 0 && m_spokenRows[list] != rows[list])
                option(list, m_spokenRows[list]).call<void>("removeAttribute", val("aria-label"));
            m_spokenRows[list] = rows[list];
            if (rows[list] < 0)
                continue;
            std::string entry = selected[list];
            for (std::int16_t other = 0; other < lists::listCount; ++other)
                if (other != list && !selected[other].empty())
                    entry += ", " + selected[other];
            option(list, rows[list]).call<void>("setAttribute", val("aria-label"), entry);
        }
    }

    // The failure stays in view, and in a screen reader's ear, until a
    // later handling succeeds; the page keeps working meanwhile.
    static void showFailure(const std::string &failure)
    {
        val box = element("failure");
        if (failure.empty()) {
            box.set("hidden", true);
            return;
        }
        val::global("console").call<void>("error", "Run-time error: " + failure);
        box.set("textContent", std::string(form::failureTitle) + ": " + failure);
        box.set("hidden", false);
    }

    std::int16_t doSelectedRow(std::int16_t list) const override
    {
        return std::int16_t(m_lists[list]["selectedIndex"].as<int>());
    }

    void doSetSelectedRow(std::int16_t list, std::int16_t row) override
    {
        m_lists[list].set("selectedIndex", row);
        if (row >= 0)
            scrollIntoView(list, row);
    }

    // Browsers leave a list box's scrolling alone when a script selects a
    // row: scrolled as little as brings the row wholly into view.
    void scrollIntoView(std::int16_t list, std::int16_t row)
    {
        val &listBox = m_lists[list];
        const double top = listBox.call<val>("getBoundingClientRect")["top"].as<double>()
            + listBox["clientTop"].as<double>();
        const double bottom = top + listBox["clientHeight"].as<double>();
        const val rowBox = option(list, row).call<val>("getBoundingClientRect");
        const double rowTop = rowBox["top"].as<double>();
        const double rowBottom = rowBox["bottom"].as<double>();
        double scrollTop = listBox["scrollTop"].as<double>();
        if (rowTop < top)
            scrollTop -= top - rowTop;
        else if (rowBottom > bottom)
            scrollTop += rowBottom - bottom;
        else
            return;
        listBox.set("scrollTop", scrollTop);
    }

    std::string doKeyText(std::int16_t list, std::int16_t row) const override
    {
        return m_keyTexts[list][row];
    }

    std::array<val, lists::listCount> m_lists { val::undefined(), val::undefined(),
        val::undefined() };
    std::array<std::array<std::string, lists::rowCount>, lists::listCount> m_keyTexts;
    // The rows that carry a spoken entry now, -1 for none.
    std::array<std::int16_t, lists::listCount> m_spokenRows { -1, -1, -1 };
};

std::unique_ptr<PageLists> page;

// The page's script calls these only after start(); the list index comes
// from the page and is checked by the handling like any other.
void onList1Click(int list)
{
    page->run([list] { lists::List1_Click(*page, std::int16_t(list)); });
}

void onCommand1Click()
{
    page->run([] { lists::Command1_Click(*page); });
}

} // namespace

EMSCRIPTEN_BINDINGS(planini)
{
    emscripten::function("List1_Click", &onList1Click);
    emscripten::function("Command1_Click", &onCommand1Click);
}

namespace webform {

void start(const lists::Catalogue &catalogue)
{
    page = std::make_unique<PageLists>(catalogue);
}

} // namespace webform
