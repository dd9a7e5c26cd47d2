#include "catalogues.h"
#include "failures.h"
#include "linkedselection.h"
#include "recordinglists.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace lists;
using Assignments = std::vector<RecordingLists::Assignment>;

namespace {

// The user's click: the toolkit selects the row, then notifies.
void click(RecordingLists &lists, std::int16_t list, std::int16_t row)
{
    lists.selection[list] = row;
    List1_Click(lists, list);
}

} // namespace

TEST_CASE("a click on any row selects its whole entry")
{
    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t list = 0; list < listCount; ++list) {
        for (std::int16_t row = 0; row < rowCount; ++row) {
            CAPTURE(catalogue.displayText(list, row));
            RecordingLists lists;
            // Start from another entry's selection, which the click must replace.
            lists.selection = entryRows[(row + 3) % 8];
            click(lists, list, row);
            CHECK(lists.selection == entryOf(list, row));
            // Each list is assigned exactly once, the clicked one too.
            CHECK(lists.assignments.size() == std::size_t(listCount));
        }
    }

    SUBCASE("the row already selected keeps its entry")
    {
        RecordingLists lists;
        lists.selection = entryRows[0];
        click(lists, 0, 4);
        CHECK(lists.selection == entryRows[0]);
    }
}

TEST_CASE("assignments follow the scan order: rows first, then lists")
{
    RecordingLists lists;
    click(lists, 0, 4); // Мусала: key 1
    CHECK(lists.assignments == Assignments { { 0, 4 }, { 2, 4 }, { 1, 7 } });

    lists.assignments.clear();
    click(lists, 1, 0); // 2029: key 8
    CHECK(lists.assignments == Assignments { { 1, 0 }, { 2, 0 }, { 0, 5 } });
}

TEST_CASE("a key on two rows leaves the later row selected")
{
    RecordingLists lists(catalogueWithKey(0, 6, "1")); // Руен now shares Мусала's key 1
    click(lists, 1, 7); // 2925: key 1
    CHECK(lists.selection == Rows { 6, 7, 4 });
    CHECK(lists.assignments == Assignments { { 0, 4 }, { 2, 4 }, { 0, 6 }, { 1, 7 } });
}

TEST_CASE("a nested notification ends in the same state")
{
    struct Case
    {
        const char *name;
        std::int16_t list;
        std::int16_t row;
        Rows before;
    };
    const Case cases[] = {
        { "Мусала from nothing", 0, 4, noSelection },
        { "2029 over Мусала", 1, 0, entryRows[0] },
        { "Стара планина over Руен", 2, 7, entryRows[4] },
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        RecordingLists lists;
        lists.selection = c.before;
        int depth = 0;
        int deepest = 0;
        lists.onSelectionChanged = [&](std::int16_t changed) {
            ++depth;
            deepest = std::max(deepest, depth);
            REQUIRE(depth < 10); // nesting must stay finite
            List1_Click(lists, changed);
            --depth;
        };
        click(lists, c.list, c.row);
        CHECK(lists.selection == entryOf(c.list, c.row));
        CHECK(deepest >= 1); // the notification really nested
    }
}

TEST_CASE("a click that finds no selected row changes nothing")
{
    for (const Rows &before : { noSelection, Rows { -1, 7, 4 } }) {
        RecordingLists lists;
        lists.selection = before;
        List1_Click(lists, 0);
        CHECK(lists.selection == before);
        CHECK(lists.assignments.empty());
    }
}

TEST_CASE("key texts are read again at every click, from the lists clicked")
{
    RecordingLists builtIn;
    click(builtIn, 2, 3); // Пирин: key 2
    CHECK(builtIn.selection == Rows { 1, 6, 3 });
    // Other lists with other keys: nothing read before is kept.
    RecordingLists changed(catalogueWithKey(2, 3, "1")); // Пирин now has Мусала's key
    click(changed, 2, 3);
    CHECK(changed.selection == Rows { 4, 7, 4 });
}

TEST_CASE("the clear removes all three selections and reads no key")
{
    for (const Rows &before : { entryRows[2], noSelection }) {
        RecordingLists lists;
        lists.selection = before;
        Command1_Click(lists);
        CHECK(lists.selection == noSelection);
        CHECK(lists.assignments == Assignments { { 0, -1 }, { 1, -1 }, { 2, -1 } });
    }

    RecordingLists lists;
    click(lists, 0, 1);
    Command1_Click(lists);
    click(lists, 0, 1); // the row selected before the clear brings its entry back
    CHECK(lists.selection == Rows { 1, 6, 3 });
}

TEST_CASE("an overflowing key fails before any selection changes")
{
    // Numbers too large for a double overflow too, whatever the number
    // library reports with them.
    for (const std::string key : { "32767.5", "1e999", "-1e999" }) {
        CAPTURE(key);
        RecordingLists lists(catalogueWithKey(0, 4, key));
        lists.selection = { 4, 0, 0 };
        CHECK_THROWS_WITH_AS(List1_Click(lists, 0),
            ("Overflow: key \"" + key + "\" does not fit a 16-bit integer (-32768..32767)").c_str(),
            OverflowError);
        CHECK(lists.selection == Rows { 4, 0, 0 });
        CHECK(lists.assignments.empty());
    }

    // The largest key that fits is no failure: it matches its own row only.
    RecordingLists largest(catalogueWithKey(0, 4, "32767"));
    largest.selection = { 4, 0, 0 };
    List1_Click(largest, 0);
    CHECK(largest.assignments == Assignments { { 0, 4 } });
    CHECK(largest.selection == Rows { 4, 0, 0 });
}

TEST_CASE("a failing operation keeps the selections set before it")
{
    RecordingLists lists;
    lists.beforeAssignment = [](std::int16_t list, std::int16_t) {
        if (list == 1)
            throw RuntimeFailure("height list unavailable");
    };
    lists.selection = entryRows[7];
    lists.selection[0] = 4; // Мусала: assigns (0, 4), (2, 4), then fails on list 1
    CHECK_THROWS_AS(List1_Click(lists, 0), RuntimeFailure);
    CHECK(lists.selection == Rows { 4, 0, 4 });
}

TEST_CASE("each list operation checks its own indices, and says which range")
{
    struct Case
    {
        const char *name;
        std::function<void(RecordingLists &)> call;
        const char *message;
    };
    const Case cases[] = {
        { "selected row of list 3", [](RecordingLists &l) { (void)l.selectedRow(3); },
            "list index 3 is outside 0..2" },
        { "selected row of list -1", [](RecordingLists &l) { (void)l.selectedRow(-1); },
            "list index -1 is outside 0..2" },
        { "select in list 3", [](RecordingLists &l) { l.setSelectedRow(3, 0); },
            "list index 3 is outside 0..2" },
        { "select in list -1", [](RecordingLists &l) { l.setSelectedRow(-1, 0); },
            "list index -1 is outside 0..2" },
        { "select row 8", [](RecordingLists &l) { l.setSelectedRow(0, 8); },
            "row index 8 is outside -1..7" },
        { "select row -2", [](RecordingLists &l) { l.setSelectedRow(0, -2); },
            "row index -2 is outside -1..7" },
        { "key text of list 3", [](RecordingLists &l) { (void)l.keyText(3, 0); },
            "list index 3 is outside 0..2" },
        { "key text of list -1", [](RecordingLists &l) { (void)l.keyText(-1, 0); },
            "list index -1 is outside 0..2" },
        // Row -1 has no key text, but only in a list that exists.
        { "key text of list 3, row -1", [](RecordingLists &l) { (void)l.keyText(3, -1); },
            "list index 3 is outside 0..2" },
        { "key text of row 8", [](RecordingLists &l) { (void)l.keyText(2, 8); },
            "row index 8 is outside -1..7" },
        // A row that the implementation reports and that cannot exist.
        { "reported row 8",
            [](RecordingLists &l) {
                l.selection[1] = 8;
                (void)l.selectedRow(1);
            },
            "row index 8 is outside -1..7" },
        { "reported row -2",
            [](RecordingLists &l) {
                l.selection[1] = -2;
                (void)l.selectedRow(1);
            },
            "row index -2 is outside -1..7" },
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        RecordingLists lists;
        try {
            c.call(lists);
            FAIL("no failure");
        } catch (const ListIndexError &error) {
            CHECK(std::string(error.what()) == c.message);
        }
        // The implementation was never asked with the bad index.
        CHECK(lists.assignments.empty());
    }
}

TEST_CASE("indices outside the lists fail")
{
    RecordingLists lists;
    CHECK_THROWS_AS(List1_Click(lists, 3), ListIndexError);
    CHECK_THROWS_AS(List1_Click(lists, -1), ListIndexError);
    CHECK_THROWS_AS(lists.setSelectedRow(0, 8), ListIndexError);
    CHECK_THROWS_AS(lists.setSelectedRow(0, -2), ListIndexError);
    CHECK_THROWS_AS(lists.keyText(2, 8), ListIndexError);
    CHECK_THROWS_AS(lists.selectedRow(3), ListIndexError);
    CHECK(lists.assignments.empty());

    // An implementation reporting a row that cannot exist fails too.
    lists.selection[0] = 8;
    CHECK_THROWS_AS(List1_Click(lists, 0), ListIndexError);

    // Row -1 has an empty key text.
    CHECK(lists.keyText(0, -1).empty());
}
