#include "webform.h"

#include "behaviour.h"
#include "formdescription.h"
#include "listoperations.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

using emscripten::val;

namespace {

val element(const std::string &id)
{
    return val::global("document").call<val>("getElementById", id);
}

// The page's three lists, List1(0..2): the page script's list boxes.
class PageLists final : public lists::ListOperations
{
public:
    explicit PageLists(const lists::Catalogue &catalogue)
        : ListOperations(catalogue)
    {
        const val listBoxes = val::module_property("listBoxes");
        for (std::int16_t list = 0; list < lists::listCount; ++list)
            m_lists[list] = listBoxes[list];
    }

    void run(lists::Handling handling, std::int16_t list = 0)
    {
        const std::optional<std::string> failure = lists::runHandling(*this, handling, list);
        updateSpokenEntries();
        showFailure(failure);
    }

private:
    // A screen reader names each selected row by its whole entry, the
    // others by their own text: the rows whose names changed are named anew.
    void updateSpokenEntries()
    {
        const lists::SpokenEntries spoken = lists::spokenEntries(*this);
        const lists::SpokenChanges changes = lists::spokenChanges(m_spoken, spoken);
        m_spoken = spoken;
        for (std::int16_t list = 0; list < lists::listCount; ++list) {
            if (const std::int16_t left = changes[list].left; left >= 0)
                name(list, left, lists::spokenName(*this, list, left));
            if (const std::int16_t renamed = changes[list].renamed; renamed >= 0)
                name(list, renamed, spoken[list].name);
        }
    }

    void name(std::int16_t list, std::int16_t row, const std::string &text) const
    {
        m_lists[list]["rows"][row].call<void>("setAttribute", val("aria-label"), text);
    }

    // The failure stays in view, and in a screen reader's ear, until a
    // later handling succeeds; the page keeps working meanwhile.
    static void showFailure(const std::optional<std::string> &failure)
    {
        val box = element("failure");
        if (!failure) {
            box.set("hidden", true);
            return;
        }
        val::global("console").call<void>("error", lists::failureLogLine(*failure));
        box.set("textContent", std::string(form::failureTitle) + ": " + *failure);
        box.set("hidden", false);
    }

    std::int16_t doSelectedRow(std::int16_t list) const override
    {
        return std::int16_t(m_lists[list]["selected"].as<int>());
    }

    // The list box scrolls the row into view, also when it was selected
    // already.
    void doSetSelectedRow(std::int16_t list, std::int16_t row) override
    {
        m_lists[list].call<void>("select", int(row));
    }

    std::array<val, lists::listCount> m_lists { val::undefined(), val::undefined(),
        val::undefined() };
    // What screen readers were last told of the selected rows.
    lists::SpokenEntries m_spoken;
};

std::unique_ptr<PageLists> page;

// The page's script calls these only after start(); the list index comes
// from the page and is checked by the handling like any other.
void onList1Click(int list)
{
    page->run(lists::Handling::List1_Click, std::int16_t(list));
}

void onCommand1Click()
{
    page->run(lists::Handling::Command1_Click);
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
