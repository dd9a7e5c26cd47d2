// Pupils click everywhere: thousands of random real input events on the window,
// checking after each one that the lists still show one whole entry or nothing.
//
// PLANINI_SEED replays a session (the seed is printed at the start);
// PLANINI_EVENTS sets its length (5000 unless given).

#include "catalogue.h"
#include "mainform.h"
#include "windowstate.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <random>

using namespace lists;

class TestRandomSessions : public QObject
{
    Q_OBJECT

private slots:
    void session();

private:
    int random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }
    Qt::KeyboardModifiers randomModifiers();
    QListWidget *list(int index) const { return windowstate::list(m_form.get(), index); }
    QStringList texts() const;
    QPoint pointInView(QListWidget *listBox, int row);
    QString sendRandomEvent();

    std::mt19937 m_random;
    std::unique_ptr<MainForm> m_form;
};

Qt::KeyboardModifiers TestRandomSessions::randomModifiers()
{
    switch (random(8)) {
    case 0:
        return Qt::ControlModifier;
    case 1:
        return Qt::ShiftModifier;
    default:
        return Qt::NoModifier;
    }
}

// Everything the window shows as text; none of it may ever change.
QStringList TestRandomSessions::texts() const
{
    QStringList all { m_form->windowTitle() };
    for (auto *label : m_form->findChildren<QLabel *>())
        all << label->text();
    for (auto *listBox : m_form->findChildren<QListWidget *>())
        for (int row = 0; row < listBox->count(); ++row)
            all << listBox->item(row)->text();
    all << m_form->findChild<QPushButton *>()->text();
    all << m_form->findChild<QPlainTextEdit *>()->toPlainText();
    return all;
}

// Wheels the row into view, as a user would, and picks a point on its shown part.
QPoint TestRandomSessions::pointInView(QListWidget *listBox, int row)
{
    const QRect view = listBox->viewport()->rect();
    for (int tries = 0; tries < 10; ++tries) {
        const QRect rect = listBox->visualItemRect(listBox->item(row));
        const QRect shown = rect.intersected(view);
        if (shown.height() > 2)
            return QPoint(
                shown.left() + random(shown.width()), shown.top() + 1 + random(shown.height() - 2));
        windowstate::wheel(listBox, rect.top() < 0 ? 1 : -1);
    }
    return {};
}

QString TestRandomSessions::sendRandomEvent()
{
    const int index = random(listCount);
    QListWidget *listBox = list(index);
    const int row = random(rowCount);
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get();
    static const QList<Qt::Key> keys { Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
        Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Space, Qt::Key_Return, Qt::Key_Left,
        Qt::Key_Right, Qt::Key_A, Qt::Key_Escape };

    switch (random(10)) {
    case 0:
    case 1: {
        const auto modifiers = randomModifiers();
        QTest::mouseClick(
            listBox->viewport(), Qt::LeftButton, modifiers, pointInView(listBox, row));
        return QStringLiteral("click list %1 row %2 modifiers %3")
            .arg(index)
            .arg(row)
            .arg(modifiers);
    }
    case 2: {
        const int to = random(rowCount);
        QTest::mousePress(listBox->viewport(), Qt::LeftButton, {}, pointInView(listBox, row));
        QTest::mouseMove(listBox->viewport(), pointInView(listBox, to));
        QTest::mouseRelease(listBox->viewport(), Qt::LeftButton, {},
            listBox->viewport()->mapFromGlobal(QCursor::pos()));
        return QStringLiteral("drag list %1 row %2 to %3").arg(index).arg(row).arg(to);
    }
    case 3: {
        const int notches = random(2) ? 1 : -1;
        windowstate::wheel(listBox, notches);
        return QStringLiteral("wheel list %1 by %2").arg(index).arg(notches);
    }
    case 4: {
        QScrollBar *bar = listBox->verticalScrollBar();
        const QPoint at(bar->width() / 2, random(bar->height()));
        QTest::mouseClick(bar, Qt::LeftButton, {}, at);
        return QStringLiteral("click scroll bar of list %1 at %2").arg(index).arg(at.y());
    }
    case 5: {
        const bool back = random(2);
        QTest::keyClick(focus, back ? Qt::Key_Backtab : Qt::Key_Tab);
        return QStringLiteral("%1 from %2").arg(back ? "Shift+Tab" : "Tab", focus->objectName());
    }
    case 6:
    case 7: {
        const Qt::Key key = keys[random(int(keys.size()))];
        const auto modifiers = randomModifiers();
        QTest::keyClick(focus, key, modifiers);
        return QStringLiteral("key %1 modifiers %2 on %3")
            .arg(key)
            .arg(modifiers)
            .arg(focus->objectName());
    }
    case 8: {
        auto *button = m_form->findChild<QPushButton *>("Command1");
        QTest::mouseClick(
            button, Qt::LeftButton, {}, QPoint(random(button->width()), random(button->height())));
        return QStringLiteral("click Command1");
    }
    default: {
        static const QStringList others { "Label1(0)", "Label1(1)", "Label1(2)", "Label1(3)",
            "Text1(0)" };
        const QString name = others[random(int(others.size()))];
        auto *widget = m_form->findChild<QWidget *>(name);
        if (auto *text = qobject_cast<QPlainTextEdit *>(widget))
            widget = text->viewport();
        QTest::mouseClick(
            widget, Qt::LeftButton, {}, QPoint(random(widget->width()), random(widget->height())));
        return QStringLiteral("click ") + name;
    }
    }
}

void TestRandomSessions::session()
{
    bool given = false;
    const quint32 seed = qEnvironmentVariableIntValue("PLANINI_SEED", &given);
    const quint32 usedSeed = given ? seed : std::random_device {}();
    const int events = qEnvironmentVariableIsSet("PLANINI_EVENTS")
        ? qEnvironmentVariableIntValue("PLANINI_EVENTS")
        : 5000;
    qInfo("seed %u, %d events (replay with PLANINI_SEED=%u)", usedSeed, events, usedSeed);
    m_random.seed(usedSeed);

    QStringList failures;
    m_form = std::make_unique<MainForm>(Catalogue::builtIn(),
        [&failures](QWidget *, const QString &message) { failures << message; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

    const QStringList shownTexts = texts();
    const QList<QWidget *> focusable { m_form->findChild<QWidget *>("Text1(0)"), list(0), list(1),
        list(2), m_form->findChild<QWidget *>("Command1") };
    Rows before = windowstate::selection(m_form.get());

    for (int event = 1; event <= events; ++event) {
        const QString done = sendRandomEvent();
        const Rows now = windowstate::selection(m_form.get());
        const QString where = QStringLiteral("event %1 (%2), seed %3, selection %4 %5 %6")
                                  .arg(event)
                                  .arg(done)
                                  .arg(usedSeed)
                                  .arg(now[0])
                                  .arg(now[1])
                                  .arg(now[2]);
        const QByteArray context = where.toUtf8();

        // Nothing selected, or one whole entry.
        QVERIFY2(now == noSelection || now == entryOf(0, now[0]), context);
        if (now != noSelection && now != before) {
            for (int index = 0; index < listCount; ++index)
                QVERIFY2(windowstate::rowInView(m_form.get(), index, now[index]), context);
        }
        QVERIFY2(!QApplication::focusWidget() || focusable.contains(QApplication::focusWidget()),
            context);
        QVERIFY2(texts() == shownTexts, context);
        QVERIFY2(failures.isEmpty(), context);
        before = now;
    }
}

QTEST_MAIN(TestRandomSessions)
#include "tst_randomsessions.moc"
