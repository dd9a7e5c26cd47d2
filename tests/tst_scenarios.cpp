// The table of user scenarios (scenarios.json) on the Qt window, driven with
// real mouse and key events.

#include "catalogues.h"
#include "formdescription.h"
#include "mainform.h"
#include "scenarios.h"
#include "windowstate.h"

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <map>

using namespace lists;
using scenarios::Step;

Q_DECLARE_METATYPE(scenarios::Scenario)

namespace {

QString fromJson(const nlohmann::json &value)
{
    return QString::fromStdString(value.get<std::string>());
}

QString rowsText(const Rows &rows)
{
    return QStringLiteral("{%1, %2, %3}").arg(rows[0]).arg(rows[1]).arg(rows[2]);
}

} // namespace

class TestScenarios : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void scenario_data();
    void scenario();
    void cleanup();

private:
    void perform(const Step &step);
    void expect(const Step &step);
    void clickRow(int list, int row);
    QListWidget *list(int index) const { return windowstate::list(m_form.get(), index); }
    bool rowInView(int index, int row) const
    {
        return windowstate::rowInView(m_form.get(), index, row);
    }
    QString accessibleName(int index, int row) const;

    std::unique_ptr<Catalogue> m_catalogue;
    std::unique_ptr<MainForm> m_form;
    QStringList m_failures;
};

void TestScenarios::initTestCase()
{
    prepareApplication();
}

void TestScenarios::scenario_data()
{
    QTest::addColumn<scenarios::Scenario>("scenario");
    for (const scenarios::Scenario &scenario : scenarios::load("qt"))
        QTest::newRow(scenario.name.c_str()) << scenario;
}

void TestScenarios::cleanup()
{
    m_form.reset();
    m_failures.clear();
}

void TestScenarios::scenario()
{
    QFETCH(scenarios::Scenario, scenario);
    m_catalogue = std::make_unique<Catalogue>(scenario.key
            ? catalogueWithKey(scenario.key->list, scenario.key->row, scenario.key->text)
            : Catalogue::builtIn());
    m_form = std::make_unique<MainForm>(
        *m_catalogue, [this](QWidget *, const QString &message) { m_failures << message; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

    int number = 0;
    for (const Step &step : scenario.steps) {
        ++number;
        const QByteArray where
            = QStringLiteral("step %1: %2 %3")
                  .arg(number)
                  .arg(QString::fromStdString(step.kind), QString::fromStdString(step.value.dump()))
                  .toUtf8();
        if (step.isAction()) {
            m_failures.clear();
            perform(step);
        } else {
            expect(step);
        }
        if (QTest::currentTestFailed()) {
            qWarning("%s", where.constData());
            return;
        }
    }
}

// Wheels the row into view, as a user would, and clicks it.
void TestScenarios::clickRow(int index, int row)
{
    QListWidget *listBox = list(index);
    for (int turn = 0; turn < 20 && !rowInView(index, row); ++turn)
        windowstate::wheel(listBox, listBox->visualItemRect(listBox->item(row)).top() < 0 ? 1 : -1);
    QTest::mouseClick(listBox->viewport(), Qt::LeftButton, {},
        listBox->visualItemRect(listBox->item(row)).center());
}

void TestScenarios::perform(const Step &step)
{
    if (step.kind == "click") {
        clickRow(step.value.at(0).get<int>(), step.value.at(1).get<int>());
    } else if (step.kind == "press") {
        QTest::mouseClick(m_form->findChild<QPushButton *>(fromJson(step.value)), Qt::LeftButton);
    } else if (step.kind == "key") {
        static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys {
            { "Tab", { Qt::Key_Tab, Qt::NoModifier } },
            { "Shift+Tab", { Qt::Key_Backtab, Qt::ShiftModifier } },
            { "Up", { Qt::Key_Up, Qt::NoModifier } },
            { "Down", { Qt::Key_Down, Qt::NoModifier } },
            { "Left", { Qt::Key_Left, Qt::NoModifier } },
            { "Right", { Qt::Key_Right, Qt::NoModifier } },
            { "Home", { Qt::Key_Home, Qt::NoModifier } },
            { "End", { Qt::Key_End, Qt::NoModifier } },
            { "PageUp", { Qt::Key_PageUp, Qt::NoModifier } },
            { "PageDown", { Qt::Key_PageDown, Qt::NoModifier } },
            { "Space", { Qt::Key_Space, Qt::NoModifier } },
            { "Enter", { Qt::Key_Return, Qt::NoModifier } },
            { "Ctrl+Down", { Qt::Key_Down, Qt::ControlModifier } },
            { "Ctrl+End", { Qt::Key_End, Qt::ControlModifier } },
            { "Ctrl+Home", { Qt::Key_Home, Qt::ControlModifier } },
            // With NumLock off the keypad sends arrows, marked as the keypad's.
            { "KeypadUp", { Qt::Key_Up, Qt::KeypadModifier } },
            { "KeypadDown", { Qt::Key_Down, Qt::KeypadModifier } },
        };
        const auto [key, modifiers] = keys.at(step.value.get<std::string>());
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    } else if (step.kind == "type") {
        // Each letter as a keyboard of its alphabet sends it, Cyrillic too.
        for (const QChar letter : fromJson(step.value))
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                Qt::Key(letter.toUpper().unicode()), QString(letter), Qt::NoModifier);
    } else if (step.kind == "wheelToTop") {
        QListWidget *listBox = list(step.value.get<int>());
        for (int turn = 0; turn < 20 && listBox->verticalScrollBar()->value() > 0; ++turn)
            windowstate::wheel(listBox, 1);
    } else {
        QFAIL(qPrintable("unknown action " + QString::fromStdString(step.kind)));
    }
}

QString TestScenarios::accessibleName(int index, int row) const
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(list(index));
    return accessible->child(row)->text(QAccessible::Name);
}

void TestScenarios::expect(const Step &step)
{
    const Rows selected = windowstate::selection(m_form.get());
    if (step.kind == "selected") {
        QCOMPARE(rowsText(selected), rowsText(step.value.get<Rows>()));
        for (int index = 0; index < listCount; ++index)
            if (selected[index] >= 0)
                QVERIFY2(rowInView(index, selected[index]), qPrintable(QString::number(index)));
    } else if (step.kind == "oneEntry") {
        QVERIFY(selected[0] >= 0);
        QCOMPARE(rowsText(selected), rowsText(entryOf(0, selected[0])));
        for (int index = 0; index < listCount; ++index)
            QVERIFY(rowInView(index, selected[index]));
    } else if (step.kind == "focus") {
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), fromJson(step.value));
    } else if (step.kind == "outOfView") {
        QVERIFY(!rowInView(step.value.at(0).get<int>(), step.value.at(1).get<int>()));
    } else if (step.kind == "spoken") {
        for (int index = 0; index < listCount; ++index) {
            const QString name = fromJson(step.value.at(index));
            QCOMPARE(selected[index] >= 0, !name.isEmpty());
            if (selected[index] >= 0)
                QCOMPARE(accessibleName(index, selected[index]), name);
        }
    } else if (step.kind == "rowName") {
        QCOMPARE(accessibleName(step.value.at(0).get<int>(), step.value.at(1).get<int>()),
            fromJson(step.value.at(2)));
    } else if (step.kind == "listName") {
        const int index = step.value.at(0).get<int>();
        QCOMPARE(QAccessible::queryAccessibleInterface(list(index))->text(QAccessible::Name),
            fromJson(step.value.at(1)));
    } else if (step.kind == "name") {
        auto *control = m_form->findChild<QWidget *>(fromJson(step.value.at(0)));
        QVERIFY(control);
        QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name),
            fromJson(step.value.at(1)));
    } else if (step.kind == "failure") {
        if (step.value.is_null())
            QCOMPARE(m_failures, QStringList());
        else
            QCOMPARE(m_failures, QStringList { fromJson(step.value) });
    } else if (step.kind == "textBox") {
        auto *text = m_form->findChild<QPlainTextEdit *>(QStringLiteral("Text1(0)"));
        QString assignment = QString::fromUtf8(
            form::assignmentText.data(), qsizetype(form::assignmentText.size()));
        QCOMPARE(
            text->toPlainText(), assignment.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(!text->textCursor().hasSelection());
        QCOMPARE(text->verticalScrollBar()->value(), 0);
    } else {
        QFAIL(qPrintable("unknown expectation " + QString::fromStdString(step.kind)));
    }
}

QTEST_MAIN(TestScenarios)
#include "tst_scenarios.moc"
