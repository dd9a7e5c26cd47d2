#include "failures.h"
#include "linkedselection.h"
#include "recordinglists.h"

#include <QTest>

#include <algorithm>

using namespace lists;
using Assignments = std::vector<RecordingLists::Assignment>;

Q_DECLARE_METATYPE(Rows)

namespace {

// The user's click: the toolkit selects the row, then notifies.
void click(RecordingLists &lists, std::int16_t list, std::int16_t row)
{
    lists.selection[list] = row;
    List1_Click(lists, list);
}

} // namespace

class TestLinkedSelection : public QObject
{
    Q_OBJECT

private slots:
    void clickSelectsWholeEntry_data();
    void clickSelectsWholeEntry();
    void assignmentsFollowScanOrder();
    void duplicatedKeyLastRowWins();
    void reentrantNotificationEndsInSameState_data();
    void reentrantNotificationEndsInSameState();
    void noSelectionChangesNothing();
    void keyTextsReadAtEveryClick();
    void clearRemovesAllSelections();
    void overflowingKeyFailsBeforeAnyChange();
    void failureKeepsEarlierSelections();
    void indicesOutOfRangeFail();
};

void TestLinkedSelection::clickSelectsWholeEntry_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<Rows>("before");

    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t list = 0; list < listCount; ++list) {
        for (std::int16_t row = 0; row < rowCount; ++row) {
            const std::string_view name = catalogue.displayText(list, row);
            // Start from another entry's selection, which the click must replace.
            const Rows before = entryRows[(row + 3) % 8];
            QTest::addRow("list %d row %d %.*s", list, row, int(name.size()), name.data())
                << int(list) << int(row) << before;
        }
    }
    QTest::newRow("same row again") << 0 << 4 << entryRows[0];
}

void TestLinkedSelection::clickSelectsWholeEntry()
{
    QFETCH(int, list);
    QFETCH(int, row);
    QFETCH(Rows, before);

    RecordingLists lists;
    lists.selection = before;
    click(lists, std::int16_t(list), std::int16_t(row));
    QCOMPARE(lists.selection, entryOf(std::int16_t(list), std::int16_t(row)));
    // Each list is assigned exactly once, the clicked one too.
    QCOMPARE(lists.assignments.size(), std::size_t(listCount));
}

void TestLinkedSelection::assignmentsFollowScanOrder()
{
    RecordingLists lists;
    click(lists, 0, 4); // Мусала: key 1
    QCOMPARE(lists.assignments, (Assignments { { 0, 4 }, { 2, 4 }, { 1, 7 } }));

    lists.assignments.clear();
    click(lists, 1, 0); // 2029: key 8
    QCOMPARE(lists.assignments, (Assignments { { 1, 0 }, { 2, 0 }, { 0, 5 } }));
}

void TestLinkedSelection::duplicatedKeyLastRowWins()
{
    RecordingLists lists;
    lists.keys[0][6] = "1"; // Руен now shares Мусала's key 1
    click(lists, 1, 7); // 2925: key 1
    QCOMPARE(lists.selection, (Rows { 6, 7, 4 }));
    QCOMPARE(lists.assignments, (Assignments { { 0, 4 }, { 2, 4 }, { 0, 6 }, { 1, 7 } }));
}

void TestLinkedSelection::reentrantNotificationEndsInSameState_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<Rows>("before");

    QTest::newRow("Мусала from nothing") << 0 << 4 << noSelection;
    QTest::newRow("2029 over Мусала") << 1 << 0 << entryRows[0];
    QTest::newRow("Стара планина over Руен") << 2 << 7 << entryRows[4];
}

void TestLinkedSelection::reentrantNotificationEndsInSameState()
{
    QFETCH(int, list);
    QFETCH(int, row);
    QFETCH(Rows, before);

    RecordingLists lists;
    lists.selection = before;
    int depth = 0;
    int deepest = 0;
    lists.onSelectionChanged = [&](std::int16_t changed) {
        ++depth;
        deepest = std::max(deepest, depth);
        QVERIFY(depth < 10); // nesting must stay finite
        List1_Click(lists, changed);
        --depth;
    };
    click(lists, std::int16_t(list), std::int16_t(row));
    QCOMPARE(lists.selection, entryOf(std::int16_t(list), std::int16_t(row)));
    QVERIFY(deepest >= 1); // the notification really nested
}

void TestLinkedSelection::noSelectionChangesNothing()
{
    for (const Rows &before : { noSelection, Rows { -1, 7, 4 } }) {
        RecordingLists lists;
        lists.selection = before;
        List1_Click(lists, 0);
        QCOMPARE(lists.selection, before);
        QVERIFY(lists.assignments.empty());
    }
}

void TestLinkedSelection::keyTextsReadAtEveryClick()
{
    RecordingLists lists;
    click(lists, 2, 3);
    QCOMPARE(lists.keyReads, 1 + listCount * rowCount);
    // A key changed between clicks is seen by the next click.
    lists.keys[1][0] = "2";
    click(lists, 2, 3); // Пирин: key 2
    QCOMPARE(lists.keyReads, 2 * (1 + listCount * rowCount));
    QCOMPARE(lists.selection, (Rows { 1, 6, 3 }));
}

void TestLinkedSelection::clearRemovesAllSelections()
{
    for (const Rows &before : { entryRows[2], noSelection }) {
        RecordingLists lists;
        const auto keys = lists.keys;
        lists.selection = before;
        Command1_Click(lists);
        QCOMPARE(lists.selection, noSelection);
        QCOMPARE(lists.assignments, (Assignments { { 0, -1 }, { 1, -1 }, { 2, -1 } }));
        QCOMPARE(lists.keys, keys);
        QCOMPARE(lists.keyReads, 0);
    }

    RecordingLists lists;
    click(lists, 0, 1);
    Command1_Click(lists);
    click(lists, 0, 1); // the row selected before the clear brings its entry back
    QCOMPARE(lists.selection, (Rows { 1, 6, 3 }));
}

void TestLinkedSelection::overflowingKeyFailsBeforeAnyChange()
{
    RecordingLists lists;
    lists.keys[0][4] = "32767.5";
    lists.selection = { 4, 0, 0 };
    QVERIFY_THROWS_EXCEPTION(OverflowError, List1_Click(lists, 0));
    QCOMPARE(lists.selection, (Rows { 4, 0, 0 }));
    QVERIFY(lists.assignments.empty());

    // The largest key that fits is no failure: it matches its own row only.
    lists.keys[0][4] = "32767";
    List1_Click(lists, 0);
    QCOMPARE(lists.assignments, (Assignments { { 0, 4 } }));
    QCOMPARE(lists.selection, (Rows { 4, 0, 0 }));
}

void TestLinkedSelection::failureKeepsEarlierSelections()
{
    RecordingLists lists;
    lists.beforeAssignment = [](std::int16_t list, std::int16_t) {
        if (list == 1)
            throw RuntimeFailure("height list unavailable");
    };
    lists.selection = entryRows[7];
    lists.selection[0] = 4; // Мусала: assigns (0, 4), (2, 4), then fails on list 1
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, List1_Click(lists, 0));
    QCOMPARE(lists.selection, (Rows { 4, 0, 4 }));
}

void TestLinkedSelection::indicesOutOfRangeFail()
{
    RecordingLists lists;
    QVERIFY_THROWS_EXCEPTION(ListIndexError, List1_Click(lists, 3));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, List1_Click(lists, -1));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, lists.setSelectedRow(0, 8));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, lists.setSelectedRow(0, -2));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, lists.keyText(2, 8));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, lists.selectedRow(3));
    QVERIFY(lists.assignments.empty());

    // An implementation reporting a row that cannot exist fails too.
    lists.selection[0] = 8;
    QVERIFY_THROWS_EXCEPTION(ListIndexError, List1_Click(lists, 0));

    // Row -1 has an empty key text, without asking the implementation.
    QCOMPARE(lists.keyText(0, -1), std::string());
    QCOMPARE(lists.keyReads, 0);
}

QTEST_APPLESS_MAIN(TestLinkedSelection)
#include "tst_linkedselection.moc"
