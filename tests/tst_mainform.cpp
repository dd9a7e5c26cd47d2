#include "buildinfo.h"
#include "catalogues.h"
#include "mainform.h"
#include "windowstate.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTemporaryFile>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>

#include <cstdio>
#include <optional>

#include <unistd.h>

using namespace lists;
using namespace windowstate;

Q_DECLARE_METATYPE(Rows)

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void geometryAndFont_data();
    void geometryAndFont();
    void colours();
    void inputMethodWritesNothing();
    void userCannotRemoveSelection();
    void accessibility();
    void realReportWritesAndShowsTheFailure();
    void duplicatedKeyEndsAfterFiniteNesting();
    void headingsAreTheirListsBuddies();
    void focusedRowIsFramed_data();
    void focusedRowIsFramed();
    void tooltipOnlyWhereCutOff();
    void qtTextsInBulgarian();
    void buttonLooksAsStyled_data();
    void buttonLooksAsStyled();

private:
    void showForm(const Catalogue &catalogue = Catalogue::builtIn());
    QListWidget *list(int index) const { return windowstate::list(m_form.get(), index); }
    Rows selection() const { return windowstate::selection(m_form.get()); }
    bool rowInView(int index, int row) const
    {
        return windowstate::rowInView(m_form.get(), index, row);
    }
    void clickRow(int list, int row);

    std::unique_ptr<MainForm> m_form;
    QStringList m_failures;
};

void TestMainForm::initTestCase()
{
    prepareApplication();
}

void TestMainForm::init()
{
    showForm();
}

void TestMainForm::cleanup()
{
    m_form.reset();
    m_failures.clear();
}

void TestMainForm::showForm(const Catalogue &catalogue)
{
    m_form = std::make_unique<MainForm>(
        catalogue, [this](QWidget *, const QString &message) { m_failures << message; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

// Scrolls the row into view, as a user would, and clicks it.
void TestMainForm::clickRow(int index, int row)
{
    QListWidget *listBox = list(index);
    listBox->scrollToItem(listBox->item(row));
    QTest::mouseClick(listBox->viewport(), Qt::LeftButton, {},
        listBox->visualItemRect(listBox->item(row)).center());
}

void TestMainForm::startState()
{
    QCOMPARE(m_form->windowTitle(),
        QString::fromUtf8(buildinfo::homepage) + " География - планини, върхове");
    QVERIFY(QString::fromUtf8(buildinfo::homepage).startsWith("https://"));
    // The icon at 32 x 32, and each pixel repeated for high DPI.
    const QIcon icon = m_form->windowIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize> { { 32, 32 }, { 64, 64 } }));
    const QImage small = icon.pixmap(32).toImage();
    const QImage large = icon.pixmap(64).toImage();
    for (const QPoint at : { QPoint(16, 5), QPoint(3, 28), QPoint(30, 30), QPoint(31, 0) })
        for (const QPoint part : { QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1) })
            QCOMPARE(large.pixel(at * 2 + part), small.pixel(at));
    // A fixed size has nothing to maximise.
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(m_form->windowFlags() & Qt::WindowCloseButtonHint);

    const QStringList labels { "Планини и върхове в България", "Връх", "Височина", "Планина" };
    for (int index = 0; index < labels.size(); ++index)
        QCOMPARE(m_form->findChild<QLabel *>(QStringLiteral("Label1(%1)").arg(index))->text(),
            labels[index]);
    QCOMPARE(m_form->findChild<QPushButton *>("Command1")->text(), "Чисти");

    // The lists hold the catalogue's texts, trailing blanks included, in its order.
    for (std::int16_t index = 0; index < listCount; ++index) {
        QCOMPARE(list(index)->count(), rowCount);
        for (std::int16_t row = 0; row < rowCount; ++row) {
            const QString text = fromUtf8(Catalogue::builtIn().displayText(index, row));
            QCOMPARE(list(index)->item(row)->text(), text);
        }
    }
    QCOMPARE(list(0)->item(5)->text(), "Радомир (Калабак) ");
    QCOMPARE(list(2)->item(7)->text(), "Стара планина ");
    // Three lists, all shown: the key texts have no widget of their own.
    QCOMPARE(m_form->findChildren<QListWidget *>().size(), 3);
    QCOMPARE(selection(), noSelection);

    auto *text = m_form->findChild<QPlainTextEdit *>("Text1(0)");
    QCOMPARE(QApplication::focusWidget(), text);
    const QStringList lines = text->toPlainText().split('\n');
    QCOMPARE(lines.size(), 9); // eight lines, each ended by a line break
    QCOMPARE(
        lines[0], "Да се състави проект реализиращ междупредметна връзка География и Информатика");
    QCOMPARE(
        lines[6].left(68), "Съдържанието на всяко листово поле да е подредено във възходящ ред..");
    QVERIFY(lines[6].endsWith("семантично свързаниа информация - връх, височина, планина."));
    QCOMPARE(lines[7],
        "Прочете допълнително информация по География за планини, върхове в тях и "
        "техните височини.");
    QCOMPARE(lines[8], "");
    QCOMPARE(text->verticalScrollBar()->value(), 0);
    QVERIFY(text->isReadOnly());

    // Hidden and shown again (minimised and restored), the text box keeps
    // where the reader was: its scroll, caret and selection.
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(40);
    cursor.setPosition(60, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
    const int scrolled = text->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    m_form->hide();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(text->verticalScrollBar()->value(), scrolled);
    QCOMPARE(text->textCursor().anchor(), 40);
    QCOMPARE(text->textCursor().position(), 60);
}

void TestMainForm::geometryAndFont_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("Label1(0)") << "Label1(0)" << QRect(960, 0, 4575, 375);
    QTest::newRow("Label1(1)") << "Label1(1)" << QRect(360, 600, 2055, 375);
    QTest::newRow("Label1(2)") << "Label1(2)" << QRect(2520, 600, 1095, 375);
    QTest::newRow("Label1(3)") << "Label1(3)" << QRect(3840, 600, 2775, 375);
    QTest::newRow("List1(0)") << "List1(0)" << QRect(360, 960, 2055, 1200);
    QTest::newRow("List1(1)") << "List1(1)" << QRect(2520, 960, 1095, 1200);
    QTest::newRow("List1(2)") << "List1(2)" << QRect(3840, 960, 2775, 1200);
    QTest::newRow("Command1") << "Command1" << QRect(2040, 2520, 2775, 615);
    QTest::newRow("Text1(0)") << "Text1(0)" << QRect(120, 3240, 6735, 1815);
}

void TestMainForm::geometryAndFont()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);

    QCOMPARE(m_form->size(), QSize(6915 / 15, 5175 / 15));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());

    auto *control = m_form->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
        QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(control->font().family(), "Times New Roman");
    QCOMPARE(control->font().pointSize(), 12);
    QCOMPARE(control->font().weight(), QFont::Normal);
    QVERIFY(
        !control->font().italic() && !control->font().underline() && !control->font().strikeOut());
}

void TestMainForm::colours()
{
    // At start the text box has the focus, so the button shows no black focus frame.
    const QImage image = m_form->grab().toImage();
    QCOMPARE(image.size(), m_form->size() * image.devicePixelRatio());
    const auto pixel = [&image](int x, int y) {
        return image.pixelColor(QPoint(x, y) * image.devicePixelRatio()).rgb();
    };
    QCOMPARE(pixel(2, 2), QColor(192, 192, 255).rgb()); // the window
    QCOMPARE(pixel(4, 160), QColor(192, 192, 255).rgb()); // between the controls
    QCOMPARE(pixel(26, 42), QColor(255, 192, 128).rgb()); // Label1(1)
    QCOMPARE(pixel(66, 2), QColor(255, 192, 128).rgb()); // Label1(0)
    QCOMPARE(pixel(136 + 8, 168 + 8), QColor(255, 0, 0).rgb()); // Command1's face
    QCOMPARE(pixel(136 + 180, 168 + 30), QColor(255, 0, 0).rgb());

    // Text on fixed backgrounds is black whatever the desktop's theme: light
    // text would not show on the orange headings under a dark one.
    const QPalette desktop = QApplication::palette();
    QPalette dark = desktop;
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        dark.setColor(role, Qt::white);
    dark.setColor(QPalette::Window, Qt::black);
    QApplication::setPalette(dark);
    showForm();
    QApplication::setPalette(desktop);
    for (int index = 0; index < 4; ++index) {
        auto *label = m_form->findChild<QLabel *>(QStringLiteral("Label1(%1)").arg(index));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
        const QImage drawn = label->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                colours.insert(drawn.pixel(x, y) | 0xff000000);
        QVERIFY2(!colours.contains(QColor(Qt::white).rgb()), qPrintable(label->objectName()));
        QVERIFY(colours.contains(QColor(Qt::black).rgb()));
    }
}

// An input method writes where no key does: it asks the focused text box
// first whether it takes input, as Qt's input method framework does.
void TestMainForm::inputMethodWritesNothing()
{
    auto *text = m_form->findChild<QPlainTextEdit *>("Text1(0)");
    QCOMPARE(QApplication::focusWidget(), text);
    QVERIFY(!text->testAttribute(Qt::WA_InputMethodEnabled));
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(QGuiApplication::focusObject(), &query);
    QVERIFY(!query.value(Qt::ImEnabled).toBool());
    // And should one write all the same, nothing is taken.
    const QString before = text->toPlainText();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("Ѝ"));
    QApplication::sendEvent(text, &commit);
    QCOMPARE(text->toPlainText(), before);
}

void TestMainForm::userCannotRemoveSelection()
{
    clickRow(1, 0); // 2029
    QListWidget *heights = list(1);
    const QPoint onRow = heights->visualItemRect(heights->item(0)).center();
    QTest::mouseClick(heights->viewport(), Qt::LeftButton, Qt::ControlModifier, onRow);
    QCOMPARE(selection(), (Rows { 5, 0, 0 }));
    heights->setFocus();
    QTest::keyClick(heights, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(selection(), (Rows { 5, 0, 0 }));

    // Pressed on the selected row, dragged off the list and let go there.
    QTest::mousePress(heights->viewport(), Qt::LeftButton, {}, onRow);
    QTest::mouseMove(heights->viewport(), QPoint(-150, -50));
    QTest::mouseRelease(heights->viewport(), Qt::LeftButton, {}, QPoint(-150, -50));
    QCOMPARE(selection(), (Rows { 5, 0, 0 }));
}

// The names a screen reader hears are in the table of scenarios; here, what
// Qt's accessibility makes of the lists.
void TestMainForm::accessibility()
{
    clickRow(2, 3); // Пирин
    const Rows selected = selection();
    for (int index = 0; index < listCount; ++index) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(list(index));
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::List);
        QCOMPARE(accessible->childCount(), rowCount);
        for (int row = 0; row < rowCount; ++row)
            QCOMPARE(bool(accessible->child(row)->state().selected), row == selected[index]);
    }
}

// The program's own reporter: standard error, then a message box that the
// test closes as the user would.
void TestMainForm::realReportWritesAndShowsTheFailure()
{
    m_form = std::make_unique<MainForm>(catalogueWithKey(0, 4, "40000"));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

    QTemporaryFile captured;
    QVERIFY(captured.open());
    std::fflush(stderr);
    const int savedStderr = dup(fileno(stderr));
    dup2(captured.handle(), fileno(stderr));

    QString boxTitle;
    QString boxText;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        boxTitle = box->windowTitle();
        boxText = box->text();
        QTest::keyClick(box, Qt::Key_Enter);
    });
    clickRow(0, 4);

    std::fflush(stderr);
    dup2(savedStderr, fileno(stderr));
    close(savedStderr);

    const QString expected
        = QStringLiteral("Overflow: key \"40000\" does not fit a 16-bit integer (-32768..32767)");
    QCOMPARE(boxTitle, QStringLiteral("Грешка при изпълнение"));
    QCOMPARE(boxText, expected);
    captured.seek(0);
    QCOMPARE(QString::fromUtf8(captured.readAll()), "Run-time error: " + expected + "\n");
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(selection(), (Rows { 4, -1, -1 }));
}

// The program's own selections notify like the user's; with a key on two
// rows of one list, each nested handling would select the other row again
// without end unless the window keeps them apart.
void TestMainForm::duplicatedKeyEndsAfterFiniteNesting()
{
    showForm(catalogueWithKey(0, 6, "1")); // Руен now shares Мусала's key
    clickRow(1, 7); // 2925: key 1
    QCOMPARE(selection(), (Rows { 6, 7, 4 }));
    clickRow(2, 4); // Рила: key 1
    QCOMPARE(selection(), (Rows { 6, 7, 4 }));
    QVERIFY(m_failures.isEmpty());
}

void TestMainForm::headingsAreTheirListsBuddies()
{
    for (int index = 0; index < listCount; ++index) {
        auto *heading = m_form->findChild<QLabel *>(QStringLiteral("Label1(%1)").arg(index + 1));
        QCOMPARE(heading->buddy(), list(index));
    }
}

// The focused list frames its current row two pixels wide, in the palette's
// highlight colour, or in the highlighted text's colour on a selected row;
// whatever the style draws, and only in the list that has the focus.
void TestMainForm::focusedRowIsFramed_data()
{
    QTest::addColumn<QString>("style");
    QTest::newRow("Fusion") << "Fusion";
    QTest::newRow("Windows") << "Windows";
}

void TestMainForm::focusedRowIsFramed()
{
    QFETCH(QString, style);
    const std::unique_ptr<QStyle> look(QStyleFactory::create(style));
    QVERIFY(look);
    for (int index = 0; index < listCount; ++index)
        list(index)->setStyle(look.get());

    const auto framed = [this](int index, int row, QPalette::ColorRole role) {
        const QImage image = list(index)->viewport()->grab().toImage();
        const QRect edge = list(index)->visualItemRect(list(index)->item(row));
        const QColor colour = list(index)->palette().color(QPalette::Active, role);
        const QList<QPoint> frame { edge.topLeft(), edge.topLeft() + QPoint(1, 1),
            QPoint(edge.left() + 1, edge.center().y()), QPoint(edge.right(), edge.center().y()),
            QPoint(edge.center().x(), edge.bottom() - 1), edge.bottomRight() };
        for (const QPoint at : frame)
            if (image.pixelColor(at * image.devicePixelRatio()) != colour)
                return false;
        return true;
    };

    // Tabbed into: the first row is current, nothing selected.
    auto *text = m_form->findChild<QPlainTextEdit *>("Text1(0)");
    QTest::keyClick(text, Qt::Key_Tab);
    QVERIFY(framed(0, 0, QPalette::Highlight));
    QTest::keyClick(list(0), Qt::Key_Down);
    QCOMPARE(selection(), entryOf(0, 0));
    QVERIFY(framed(0, 0, QPalette::HighlightedText));
    QVERIFY(!framed(1, entryOf(0, 0)[1], QPalette::HighlightedText));
    QVERIFY(!framed(2, entryOf(0, 0)[2], QPalette::HighlightedText));
    QTest::keyClick(list(0), Qt::Key_Tab);
    QVERIFY(framed(1, entryOf(0, 0)[1], QPalette::HighlightedText));
    QVERIFY(!framed(0, 0, QPalette::HighlightedText));
}

// A row whose text fits has no tooltip; a row cut off shows its whole text.
void TestMainForm::tooltipOnlyWhereCutOff()
{
    const auto tooltip = [this](int index, int row) {
        QToolTip::hideText(); // fades out, not at once
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("a tooltip that stays");
        QListWidget *listBox = list(index);
        listBox->scrollToItem(listBox->item(row));
        const QPoint at = listBox->visualItemRect(listBox->item(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, listBox->viewport()->mapToGlobal(at));
        QApplication::sendEvent(listBox->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // At the window's font only one peak is too wide for its list.
    for (int index = 0; index < listCount; ++index)
        for (int row = 0; row < rowCount; ++row)
            QCOMPARE(
                tooltip(index, row), index == 0 && row == 5 ? "Радомир (Калабак) " : QString());

    CatalogueTable table = builtInTable();
    table[2][2].display = "Осоговска планина, на границата с Македония";
    table[1][3].display = "2251 метра над морското равнище";
    showForm(Catalogue(table));
    QCOMPARE(tooltip(2, 2), "Осоговска планина, на границата с Македония");
    QCOMPARE(tooltip(1, 3), "2251 метра над морското равнище");
    QCOMPARE(tooltip(1, 2), "");
    QToolTip::hideText();
}

// Qt's own texts, as in the text box's context menu, are Bulgarian too.
void TestMainForm::qtTextsInBulgarian()
{
    auto *text = m_form->findChild<QPlainTextEdit *>("Text1(0)");
    const std::unique_ptr<QMenu> menu(text->createStandardContextMenu());
    QStringList actions;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            actions << action->text().section('\t', 0, 0); // without the shortcut
    QVERIFY2(actions.contains("&Копиране"), qPrintable(actions.join(", ")));
    QVERIFY2(actions.contains("Избиране на всичко"), qPrintable(actions.join(", ")));
}

// The red button is painted by the window itself; it must look exactly as
// a push button with this style sheet does: a red face, a raised 3-pixel
// border that sinks when pressed, and a black frame while it has the focus.
void TestMainForm::buttonLooksAsStyled_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("down");
    QTest::newRow("normal") << false << false;
    QTest::newRow("pressed") << false << true;
    QTest::newRow("focused") << true << false;
    QTest::newRow("focused and pressed") << true << true;
}

void TestMainForm::buttonLooksAsStyled()
{
    QFETCH(bool, focused);
    QFETCH(bool, down);

    auto *button = m_form->findChild<QPushButton *>("Command1");
    QWidget reference;
    reference.setFont(m_form->font());
    reference.resize(m_form->size());
    // Takes the focus when the button should not have it, as the text box does.
    (new QWidget(&reference))->setFocusPolicy(Qt::StrongFocus);
    auto *styled = new QPushButton(button->text(), &reference);
    styled->setStyleSheet(
        "QPushButton { background-color: #ff0000; color: #000000; border: 3px outset #ff0000; }"
        "QPushButton:pressed { border-style: inset; }"
        "QPushButton:focus { border: 3px solid #000000; }");
    styled->setGeometry(button->geometry());
    reference.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reference));

    const auto look = [focused, down](QPushButton *each) {
        if (focused) {
            each->window()->activateWindow();
            (void)QTest::qWaitForWindowActive(each->window());
            each->setFocus();
        }
        each->setDown(down);
        const QImage image = each->grab().toImage().convertToFormat(QImage::Format_RGB32);
        each->setDown(false);
        return std::pair(image, each->hasFocus());
    };
    const auto [expected, styledFocused] = look(styled);
    const auto [painted, buttonFocused] = look(button);
    QCOMPARE(styledFocused, focused);
    QCOMPARE(buttonFocused, focused);
    if (painted != expected) {
        painted.save(QDir::temp().filePath("painted.png"));
        expected.save(QDir::temp().filePath("expected.png"));
    }
    QCOMPARE(painted, expected);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
