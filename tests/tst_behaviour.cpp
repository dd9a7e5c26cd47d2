#include "behaviour.h"
#include "catalogues.h"
#include "failures.h"
#include "recordinglists.h"

#include <doctest/doctest.h>

#include <string>

using namespace lists;

TEST_CASE("running a handling gives back the failure that ended it, as text")
{
    struct Case
    {
        const char *name;
        Handling handling;
        std::int16_t list;
        Rows before;
        Rows after;
        std::optional<std::string> failure;
    };
    const std::string overflow
        = "Overflow: key \"40000\" does not fit a 16-bit integer (-32768..32767)";
    const Case cases[] = {
        { "Мусала links", Handling::List1_Click, 0, { 4, -1, -1 }, entryRows[0], std::nullopt },
        { "the clear clears", Handling::Command1_Click, 0, entryRows[3], noSelection,
            std::nullopt },
        // The user's own click stays, the other lists keep what they had.
        { "Мусала's key overflows", Handling::List1_Click, 0, { 4, 5, 7 }, { 4, 5, 7 }, overflow },
        { "list 3", Handling::List1_Click, 3, noSelection, noSelection,
            "list index 3 is outside 0..2" },
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        MemoryLists lists(catalogueWithKey(0, 4, c.failure == overflow ? "40000" : "1"));
        lists.selection = c.before;
        CHECK(runHandling(lists, c.handling, c.list) == c.failure);
        CHECK(lists.selection == c.after);
    }

    SUBCASE("a failure of any kind ends the handling, selections set before it stay")
    {
        RecordingLists lists;
        lists.beforeAssignment = [](std::int16_t list, std::int16_t) {
            if (list == 1)
                throw 42;
        };
        lists.selection = { 4, -1, -1 };
        CHECK(runHandling(lists, Handling::List1_Click, 0) == "Unknown failure");
        CHECK(lists.selection == Rows { 4, -1, 4 });
    }

    CHECK(failureLogLine("list index 3 is outside 0..2")
        == "Run-time error: list index 3 is outside 0..2");
}

TEST_CASE("a screen reader hears each selected row with its whole entry")
{
    struct Case
    {
        const char *name;
        Rows selection;
        std::array<const char *, 3> names;
    };
    const Case cases[] = {
        { "Вихрен", entryRows[1],
            { "Вихрен, 2914, Пирин", "2914, Вихрен, Пирин", "Пирин, Вихрен, 2914" } },
        // Trailing blanks are not spoken.
        { "Радомир", entryRows[7],
            { "Радомир (Калабак), 2029, Беласица", "2029, Радомир (Калабак), Беласица",
                "Беласица, Радомир (Калабак), 2029" } },
        { "Ботев", entryRows[2],
            { "Ботев, 2376, Стара планина", "2376, Ботев, Стара планина",
                "Стара планина, Ботев, 2376" } },
        // After a failure only the clicked list may have a selection.
        { "Мусала alone", { 4, -1, -1 }, { "Мусала", "", "" } },
        { "nothing", noSelection, { "", "", "" } },
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        MemoryLists lists;
        lists.selection = c.selection;
        const SpokenEntries entries = spokenEntries(lists);
        for (std::int16_t list = 0; list < listCount; ++list) {
            CAPTURE(list);
            CHECK(entries[list].row == c.selection[list]);
            CHECK(entries[list].name == c.names[list]);
        }
    }
}

TEST_CASE("a row that is not selected is named by its own text")
{
    MemoryLists lists;
    lists.selection = entryRows[1]; // Вихрен, 2914, Пирин
    CHECK(spokenName(lists, 2, 3) == "Пирин, Вихрен, 2914");
    CHECK(spokenName(lists, 2, 4) == "Рила"); // no trailing blank to speak
    CHECK(spokenName(lists, 0, 0) == "Ботев");

    // After the clear, no row is read as selected: row 0 is not "Ботев, 2029, Беласица".
    REQUIRE_FALSE(runHandling(lists, Handling::Command1_Click));
    for (std::int16_t list = 0; list < listCount; ++list) {
        for (std::int16_t row = 0; row < rowCount; ++row) {
            std::string shown(Catalogue::builtIn().displayText(list, row));
            while (shown.ends_with(' '))
                shown.pop_back();
            CHECK(spokenName(lists, list, row) == shown);
        }
    }
    CHECK_THROWS_AS((void)spokenName(lists, 0, 8), ListIndexError);
}

TEST_CASE("after a handling, a screen reader is told of the rows whose names changed")
{
    struct Case
    {
        const char *name;
        Rows before;
        Rows after;
        std::array<SpokenChange, 3> changes;
    };
    const Case cases[] = {
        { "the first entry: its rows renamed", noSelection, entryRows[1],
            { { { -1, 1 }, { -1, 6 }, { -1, 3 } } } },
        { "another entry: the rows left, and the new ones", entryRows[1], entryRows[0],
            { { { 1, 4 }, { 6, 7 }, { 3, 4 } } } },
        { "the same entry again: nothing", entryRows[1], entryRows[1], {} },
        { "the clear: only the rows left", entryRows[1], noSelection,
            { { { 1, -1 }, { 6, -1 }, { 3, -1 } } } },
        // A failure after Мусала's click: the same rows, with Мусала in
        // every entry now.
        { "the same rows, other entries", entryRows[2], { 4, 5, 7 },
            { { { 0, 4 }, { -1, 5 }, { -1, 7 } } } },
    };
    for (const Case &c : cases) {
        CAPTURE(c.name);
        MemoryLists lists;
        lists.selection = c.before;
        const SpokenEntries before = spokenEntries(lists);
        lists.selection = c.after;
        const SpokenChanges changes = spokenChanges(before, spokenEntries(lists));
        for (std::int16_t list = 0; list < listCount; ++list) {
            CAPTURE(list);
            CHECK(changes[list] == c.changes[list]);
        }
    }
}
