#include "mainform.h"

#include "appicon.h"
#include "buildinfo.h"
#include "formdescription.h"
#include "listbox.h"
#include "qtform.h"
#include "redbutton.h"

#include <QApplication>
#include <QFont>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTranslator>

#include <cstdio>
#include <optional>

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void setBackground(QWidget *widget, const form::Rgb &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, qColor(colour));
    palette.setColor(QPalette::WindowText, qColor(form::textOnFixedColour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Qt's own texts (context menus, message box buttons), read from the
// program's resources the first time Qt asks for one. The start asks only for
// the writing direction, so it does not page in the whole translation.
class QtTextsInBulgarian : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
        int n) const override
    {
        if (qstrcmp(sourceText, "QT_LAYOUT_DIRECTION") == 0
            && qstrcmp(context, "QGuiApplication") == 0)
            return QStringLiteral("LTR");
        if (!m_loaded) {
            m_loaded = true;
            if (!const_cast<QtTextsInBulgarian *>(this)->load(
                    QStringLiteral(":/translations/qtbase_bg.qm")))
                std::fprintf(stderr, "Qt's Bulgarian texts are missing from the program\n");
        }
        return QTranslator::translate(context, sourceText, disambiguation, n);
    }

    bool isEmpty() const override { return false; }

private:
    mutable bool m_loaded = false;
};

// The assignment, for reading only. Qt's text box takes an input method's
// text even when read-only, as long as the mouse can select in it.
class AssignmentBox : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override
    {
        return query == Qt::ImEnabled ? QVariant(false) : QPlainTextEdit::inputMethodQuery(query);
    }

protected:
    void inputMethodEvent(QInputMethodEvent *event) override { event->ignore(); }
};

} // namespace

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("planini"));
    QApplication::setApplicationVersion(QString::fromLatin1(buildinfo::version));
    QApplication::setDesktopFileName(QString::fromLatin1(buildinfo::appId));
    QApplication::setWindowIcon(appIcon());
    QApplication::installTranslator(new QtTextsInBulgarian(qApp));
}

void reportFailure(QWidget *window, const QString &message)
{
    std::fprintf(stderr, "%s\n", lists::failureLogLine(message.toStdString()).c_str());
    QMessageBox::critical(window, fromUtf8(form::failureTitle), message);
}

MainForm::MainForm(
    const lists::Catalogue &catalogue, FailureReporter failureReporter, QWidget *parent)
    : QWidget(parent)
    , lists::ListOperations(catalogue)
    , m_reportFailure(std::move(failureReporter))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromStdString(form::windowTitle()));
    setFixedSize(qRect(form::clientArea).size());
    // A window of fixed size has nothing to maximise: no button for it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setBackground(this, form::windowColour);

    // Qt's weights are the same 100 to 900 scale; it has no character sets.
    QFont font(fromUtf8(form::font.family), form::font.pointSize, QFont::Weight(form::font.weight));
    font.setStyleHint(QFont::Serif);
    setFont(font);

    buildControls();
}

void MainForm::buildControls()
{
    QWidget *previousInTabOrder = nullptr;
    std::array<QLabel *, lists::listCount> headings {};

    for (const form::Control &control : form::controls) {
        QWidget *widget = nullptr;
        switch (control.kind) {
        case form::Kind::Label: {
            auto *label = new QLabel(fromUtf8(control.text), this);
            label->setAlignment(Qt::AlignCenter);
            setBackground(label, form::labelColour);
            // A heading's last row of pixels lies under its list's top edge,
            // which is drawn over it.
            label->lower();
            if (control.namedList >= 0)
                headings[control.namedList] = label;
            widget = label;
            break;
        }
        case form::Kind::List: {
            const auto list = std::int16_t(control.index);
            auto *listBox = new ListBox(this);
            // Rows too wide for the list are elided; the tooltip shows them whole.
            listBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            listBox->setUniformItemSizes(true);
            for (std::int16_t row = 0; row < lists::rowCount; ++row)
                listBox->addRow(fromUtf8(catalogue().displayText(list, row)));
            listBox->setRowNamer([this, list](int row) {
                return QString::fromStdString(lists::spokenName(*this, list, std::int16_t(row)));
            });
            const auto click = [this, list] { runHandling(lists::Handling::List1_Click, list); };
            connect(listBox, &QListWidget::itemSelectionChanged, this, [this, click] {
                if (!m_inHandling)
                    click();
            });
            // Selected again, the row brings its whole entry back into view.
            connect(listBox, &ListBox::selectedRowClicked, this, click);
            m_lists[list] = listBox;
            widget = listBox;
            break;
        }
        case form::Kind::Button: {
            auto *button = new RedButton(fromUtf8(control.text), this);
            // Enter presses the button too, not only Space.
            button->setAutoDefault(true);
            connect(button, &QPushButton::clicked, this,
                [this] { runHandling(lists::Handling::Command1_Click); });
            widget = button;
            break;
        }
        case form::Kind::TextBox: {
            // The text box lays out its empty document in the application's
            // font while it is made, loading a font family that the window
            // never shows; made under the window's font, it loads none.
            const QFont desktopFont = QApplication::font();
            QApplication::setFont(font());
            auto *text = new AssignmentBox(this);
            QApplication::setFont(desktopFont);
            text->setReadOnly(true);
            text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            text->setTabChangesFocus(true);
            text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            text->setAccessibleName(fromUtf8(form::textBoxName));
            m_textBox = text;
            widget = text;
            break;
        }
        }
        widget->setObjectName(
            QString::fromStdString(form::controlName(control.kind, control.index)));
        widget->setGeometry(qRect(control.place));
        if (form::takesFocus(control.kind)) {
            if (previousInTabOrder)
                setTabOrder(previousInTabOrder, widget);
            previousInTabOrder = widget;
        }
    }

    // A screen reader names each list after its heading. Item views take
    // their name from accessibleName only, so the buddy alone is not enough.
    for (std::int16_t list = 0; list < lists::listCount; ++list) {
        headings[list]->setBuddy(m_lists[list]);
        m_lists[list]->setAccessibleName(headings[list]->text());
    }

    m_textBox->setFocus();
}

void MainForm::runHandling(lists::Handling handling, std::int16_t list)
{
    std::optional<std::string> failure;
    {
        const QScopedValueRollback guard(m_inHandling, true);
        failure = lists::runHandling(*this, handling, list);
    }
    const lists::SpokenEntries spoken = lists::spokenEntries(*this);
    const lists::SpokenChanges changes = lists::spokenChanges(m_spoken, spoken);
    m_spoken = spoken;
    for (std::int16_t each = 0; each < lists::listCount; ++each)
        m_lists[each]->reportSpokenChange(changes[each]);
    // Reported outside the guard: a modal message box runs its own event loop.
    if (failure)
        m_reportFailure(this, QString::fromStdString(*failure));
}

void MainForm::showEvent(QShowEvent *event)
{
    // The text box lays out its text at once for the width it has; before
    // the first show that is not yet its own, and the layout would be redone.
    if (m_textBox->document()->isEmpty())
        m_textBox->setPlainText(
            fromUtf8(form::assignmentText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QWidget::showEvent(event);
}

std::int16_t MainForm::doSelectedRow(std::int16_t list) const
{
    const QList<QListWidgetItem *> selected = m_lists[list]->selectedItems();
    return selected.isEmpty() ? -1 : std::int16_t(m_lists[list]->row(selected.first()));
}

void MainForm::doSetSelectedRow(std::int16_t list, std::int16_t row)
{
    QListWidget *listBox = m_lists[list];
    if (row < 0) {
        listBox->clearSelection();
        return;
    }
    listBox->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    listBox->scrollToItem(listBox->item(row));
}
