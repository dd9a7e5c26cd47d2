// What a screen reader hears, read where it reads it: the accessibility
// interfaces of the lists and their rows, and the events the window sends,
// with Qt's accessibility switched on as it is when a screen reader runs.
//
// A small model of how Orca 43 presents those events stands in for Orca: a
// focus event on another object than the one with the focus speaks its name
// as it was when the event was sent; a focus event on the focused object
// again, a name change or a selection of a list row say nothing.

#include "catalogue.h"
#include "mainform.h"
#include "windowstate.h"

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace lists;

namespace {

struct Report
{
    QAccessible::Event type;
    QObject *object;
    int child;
    QString name; // of the object or row, when it was sent
};

QList<Report> reports;

void recordReport(QAccessibleEvent *event)
{
    QAccessibleInterface *target = event->accessibleInterface();
    reports << Report { event->type(), event->object(), event->child(),
        target ? target->text(QAccessible::Name) : QString() };
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void arrowsSpeakTheWholeEntry_data();
    void arrowsSpeakTheWholeEntry();
    void focusOnAListSpeaksItsEntry();
    void onlyTheUsersListReportsFocus_data();
    void onlyTheUsersListReportsFocus();
    void clearedRowsAreReadAsShown();
    void newlyNamedRowsAreTold();

private:
    QListWidget *list(int index) const { return windowstate::list(m_form.get(), index); }
    void tabTo(QWidget *widget);
    // What the model of Orca speaks for the reports since the last call.
    QStringList spoken();

    std::unique_ptr<MainForm> m_form;
    std::pair<QObject *, int> m_focusedRow { nullptr, -1 };
};

void TestAccessibility::initTestCase()
{
    QAccessible::installUpdateHandler(recordReport);
    QPlatformAccessibility *accessibility
        = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(accessibility);
    accessibility->setActive(true);
    QVERIFY(QAccessible::isActive());
}

void TestAccessibility::init()
{
    m_form = std::make_unique<MainForm>(
        Catalogue::builtIn(), [](QWidget *, const QString &m) { QFAIL(qPrintable(m)); });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QCoreApplication::processEvents();
    spoken();
}

void TestAccessibility::cleanup()
{
    m_form.reset();
    reports.clear();
    m_focusedRow = { nullptr, -1 };
}

void TestAccessibility::tabTo(QWidget *widget)
{
    for (int step = 0; step < 5 && QApplication::focusWidget() != widget; ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget);
    // The row's focus report is queued behind the list's own.
    QCoreApplication::processEvents();
}

QStringList TestAccessibility::spoken()
{
    QCoreApplication::processEvents();
    QStringList speech;
    for (const Report &report : std::as_const(reports)) {
        const std::pair<QObject *, int> target { report.object, report.child };
        if (report.type == QAccessible::Focus && target != m_focusedRow) {
            m_focusedRow = target;
            speech << report.name;
        }
    }
    reports.clear();
    return speech;
}

void TestAccessibility::arrowsSpeakTheWholeEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("entries"); // after the first and the second Down

    QTest::newRow("peaks") << 0
                           << QStringList { "Ботев, 2376, Стара планина", "Вихрен, 2914, Пирин" };
    QTest::newRow("heights") << 1
                             << QStringList { "2029, Радомир (Калабак), Беласица",
                                    "2191, Голям Перелик, Родопи" };
    QTest::newRow("mountains") << 2
                               << QStringList { "Беласица, Радомир (Калабак), 2029",
                                      "Витоша, Черни връх, 2290" };
}

void TestAccessibility::arrowsSpeakTheWholeEntry()
{
    QFETCH(int, index);
    QFETCH(QStringList, entries);

    tabTo(list(index));
    // Nothing selected yet: the list is read by its heading, no row.
    QCOMPARE(spoken().last(), QStringList({ "Връх", "Височина", "Планина" })[index]);

    QTest::keyClick(list(index), Qt::Key_Down);
    QCOMPARE(spoken(), QStringList { entries[0] });
    QTest::keyClick(list(index), Qt::Key_Down);
    QCOMPARE(spoken(), QStringList { entries[1] });
    QTest::keyClick(list(index), Qt::Key_Up);
    QCOMPARE(spoken(), QStringList { entries[0] });

    // The rows keep what a screen reader reads when it looks again.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(list(index));
    QCOMPARE(accessible->child(0)->text(QAccessible::Name), entries[0]);
    QCOMPARE(accessible->child(1)->text(QAccessible::Name), list(index)->item(1)->text().trimmed());
    QVERIFY(accessible->child(0)->state().focused);
}

void TestAccessibility::focusOnAListSpeaksItsEntry()
{
    QTest::mouseClick(list(2)->viewport(), Qt::LeftButton, {},
        list(2)->visualItemRect(list(2)->item(3)).center()); // Пирин
    // The list by its heading, then the row clicked, with its entry.
    QCOMPARE(spoken(), (QStringList { "Планина", "Пирин, Вихрен, 2914" }));

    auto *button = m_form->findChild<QPushButton *>("Command1");
    tabTo(button);
    spoken();
    QTest::keyClick(button, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), list(2));
    QCOMPARE(spoken().last(), "Пирин, Вихрен, 2914");
    QTest::keyClick(list(2), Qt::Key_Backtab);
    QCOMPARE(spoken().last(), "2914, Вихрен, Пирин");
}

void TestAccessibility::onlyTheUsersListReportsFocus_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("byKeyboard");
    for (int index = 0; index < listCount; ++index) {
        QTest::addRow("list %d, mouse", index) << index << false;
        QTest::addRow("list %d, keyboard", index) << index << true;
    }
}

void TestAccessibility::onlyTheUsersListReportsFocus()
{
    QFETCH(int, index);
    QFETCH(bool, byKeyboard);

    for (int row = 0; row < rowCount; ++row) {
        if (byKeyboard) {
            if (row == 0) {
                tabTo(list(index));
                spoken(); // on its way there, the focus went through the lists before
            }
            QTest::keyClick(list(index), row == 0 ? Qt::Key_Home : Qt::Key_Down);
        } else {
            list(index)->scrollToItem(list(index)->item(row));
            QTest::mouseClick(list(index)->viewport(), Qt::LeftButton, {},
                list(index)->visualItemRect(list(index)->item(row)).center());
        }
        QCOMPARE(windowstate::selection(m_form.get()), entryOf(index, row));
        QCoreApplication::processEvents();
        for (const Report &report : std::as_const(reports))
            if (report.type == QAccessible::Focus && report.child >= 0)
                QVERIFY2(report.object == list(index),
                    qPrintable(report.object->objectName() + ": " + report.name));
        const QStringList speech = spoken();
        QVERIFY(!speech.isEmpty());
        QVERIFY2(speech.last().startsWith(list(index)->item(row)->text().trimmed() + ", "),
            qPrintable(speech.join(" | ")));
        QCOMPARE(speech.last().count(", "), 2);
    }
}

void TestAccessibility::clearedRowsAreReadAsShown()
{
    tabTo(list(0));
    QTest::keyClick(list(0), Qt::Key_End); // Черни връх
    auto *button = m_form->findChild<QPushButton *>("Command1");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(windowstate::selection(m_form.get()), noSelection);
    QCoreApplication::processEvents();

    const Rows entry = entryOf(0, 7);
    for (int index = 0; index < listCount; ++index) {
        QAccessibleInterface *row
            = QAccessible::queryAccessibleInterface(list(index))->child(entry[index]);
        const QString shown = list(index)->item(entry[index])->text().trimmed();
        QCOMPARE(row->text(QAccessible::Name), shown);
        // Told, so that a screen reader does not keep the longer name.
        const auto told
            = std::find_if(reports.crbegin(), reports.crend(), [&](const Report &report) {
                  return report.type == QAccessible::NameChanged && report.object == list(index)
                      && report.child == entry[index];
              });
        QVERIFY(told != reports.crend());
        QCOMPARE(told->name, shown);
    }
}

// A row of another list that the user's choice selects gets a new name; a
// screen reader that keeps names must be told of it.
void TestAccessibility::newlyNamedRowsAreTold()
{
    tabTo(list(0));
    QTest::keyClick(list(0), Qt::Key_Down); // Ботев, 2376, Стара планина
    QCoreApplication::processEvents();
    const Rows entry = entryOf(0, 0);
    const QStringList names { "Ботев, 2376, Стара планина", "2376, Ботев, Стара планина",
        "Стара планина, Ботев, 2376" };
    for (int index = 1; index < listCount; ++index) {
        const auto told = std::find_if(reports.cbegin(), reports.cend(), [&](const Report &report) {
            return report.type == QAccessible::NameChanged && report.object == list(index)
                && report.child == entry[index];
        });
        QVERIFY2(told != reports.cend(), qPrintable(QString::number(index)));
        QCOMPARE(told->name, names[index]);
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
