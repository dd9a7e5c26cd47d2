#include "listbox.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include <utility>

namespace {

// A row read by a screen reader under the name its list gives it.
class SpokenRow : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;

    QVariant data(int role) const override
    {
        if (role == Qt::AccessibleTextRole)
            if (const auto *list = static_cast<const ListBox *>(listWidget()))
                return list->spokenText(list->row(this));
        return QListWidgetItem::data(role);
    }
};

bool isUnmodified(const QKeyEvent *event)
{
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool isOneRowStep(const QKeyEvent *event)
{
    const int key = event->key();
    return isUnmodified(event)
        && (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left
            || key == Qt::Key_Right);
}

bool isNavigationKey(const QKeyEvent *event)
{
    const int key = event->key();
    return isOneRowStep(event)
        || (isUnmodified(event)
            && (key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp
                || key == Qt::Key_PageDown));
}

} // namespace

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::clicked, this, [this] {
        if (m_pressedOnSelection)
            emit selectedRowClicked();
    });
}

void ListBox::addRow(const QString &text)
{
    new SpokenRow(text, this);
}

void ListBox::reportSpokenChange(const lists::SpokenChange &change)
{
    if (!QAccessible::isActive())
        return;
    if (change.renamed >= 0)
        reportNameChanged(change.renamed);
    // The row left may still have the focus; told of its shorter name now, a
    // screen reader would speak it. It is told after the focus has moved.
    if (change.left >= 0) {
        m_namesDue << change.left;
        queueReports();
    }
}

QString ListBox::spokenText(int row) const
{
    if (m_nameOf)
        return m_nameOf(row);
    const QListWidgetItem *shown = item(row);
    return shown ? shown->text() : QString();
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(
    const QModelIndex &index, const QEvent *event) const
{
    // A press or release off the rows (after dragging out of the list) would
    // select "no row", which clears the selection.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const auto command = QListWidget::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}

void ListBox::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // QListView itself reports the new current row as focused at once: also
    // in a list without the focus, so that a screen reader followed the
    // program's own selections into the lists beside the user's, and, on a
    // mouse press, before the row is selected and named by its entry.
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus())
        reportFocusLater();
}

void ListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    // Qt reports the list itself as focused once this event is handled; the
    // selected row follows it, so that a screen reader speaks its entry. With
    // nothing selected the list alone is reported: a screen reader speaks a
    // row that gets the focus, not one that is selected where it stands, so
    // the row is reported when the first arrow key selects it.
    reportFocusLater();
}

void ListBox::selectCaret(const QModelIndex &caret)
{
    selectionModel()->select(caret, QItemSelectionModel::ClearAndSelect);
    reportFocusLater();
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex caret = currentIndex();
    const bool nothingSelected = caret.isValid() && !selectionModel()->hasSelection();
    if (nothingSelected && isOneRowStep(event)) {
        selectCaret(caret);
        event->accept();
        return;
    }
    const bool onSelection = caret.isValid() && selectionModel()->isSelected(caret);
    QListWidget::keyPressEvent(event);
    // Home on the first row, or End on the last, moves nowhere: it selects.
    if (nothingSelected && isNavigationKey(event) && !selectionModel()->hasSelection()
        && currentIndex() == caret)
        selectCaret(caret);
    // A key that stays on the selected row selects it again, as a click on
    // it does: its entry comes back into view.
    if (onSelection && isNavigationKey(event) && currentIndex() == caret)
        emit selectedRowClicked();
}

// Qt 6.4 stays on the row that a letter typed again at once matches.
void ListBox::keyboardSearch(const QString &search)
{
    const bool sameLetterAgain = search.size() == 1
        && m_typed.compare(search, Qt::CaseInsensitive) == 0 && m_typedTime.isValid()
        && m_typedTime.elapsed() <= QApplication::keyboardInputInterval();
    m_typed = search;
    m_typedTime.start();
    if (!sameLetterAgain) {
        QListWidget::keyboardSearch(search);
        return;
    }
    for (int step = 1; step <= count(); ++step) {
        const int row = (currentRow() + step) % count();
        if (item(row)->text().startsWith(search, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            return;
        }
    }
}

void ListBox::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex pressed = indexAt(event->position().toPoint());
    m_pressedOnSelection = pressed.isValid() && selectionModel()->isSelected(pressed);
    QListWidget::mousePressEvent(event);
}

void ListBox::reportFocusLater()
{
    if (QAccessible::isActive()) {
        m_focusDue = true;
        queueReports();
    }
}

void ListBox::queueReports()
{
    if (!m_reportsQueued) {
        m_reportsQueued = true;
        QMetaObject::invokeMethod(this, &ListBox::sendReports, Qt::QueuedConnection);
    }
}

// Sent once the user's action has been handled: the focus first, so that the
// names that change after it are no longer the focused row's. Only a selected
// row is reported as focused (see focusInEvent).
void ListBox::sendReports()
{
    m_reportsQueued = false;
    if (!QAccessible::isActive())
        return;
    if (std::exchange(m_focusDue, false) && hasFocus()
        && selectionModel()->isSelected(currentIndex())) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(currentIndex().row());
        QAccessible::updateAccessibility(&event);
    }
    for (const int row : std::exchange(m_namesDue, {}))
        reportNameChanged(row);
}

bool ListBox::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QListWidget::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && isCutOff(index))
        QToolTip::showText(
            help->globalPos(), index.data().toString(), viewport(), visualRect(index));
    else
        QToolTip::hideText();
    return true;
}

void ListBox::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    if (!hasFocus() || !currentIndex().isValid())
        return;
    // The styles' own focus frames are faint, and most draw none on a
    // selected row; this one is two pixels wide in the palette's colours.
    const bool selected = selectionModel()->isSelected(currentIndex());
    const QColor colour = palette().color(
        QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Highlight);
    const QRect edge = visualRect(currentIndex());
    constexpr int width = 2;
    QPainter painter(viewport());
    painter.fillRect(QRect(edge.left(), edge.top(), edge.width(), width), colour);
    painter.fillRect(QRect(edge.left(), edge.bottom() - width + 1, edge.width(), width), colour);
    painter.fillRect(QRect(edge.left(), edge.top(), width, edge.height()), colour);
    painter.fillRect(QRect(edge.right() - width + 1, edge.top(), width, edge.height()), colour);
}

// Whether the style elides the row's text, measured as it lays the text out:
// inside the text rectangle less the focus frame's margin each side. Trailing
// blanks show nothing, so do not count.
bool ListBox::isCutOff(const QModelIndex &index) const
{
    QStyleOptionViewItem row;
    initViewItemOption(&row);
    row.rect = visualRect(index);
    row.text = index.data().toString();
    row.features |= QStyleOptionViewItem::HasDisplay;
    row.index = index;
    const QRect textRect = style()->subElementRect(QStyle::SE_ItemViewItemText, &row, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    qsizetype shown = row.text.size();
    while (shown > 0 && row.text[shown - 1].isSpace())
        --shown;
    return row.fontMetrics.horizontalAdvance(row.text.left(shown)) > textRect.width() - 2 * margin;
}

void ListBox::reportNameChanged(int row)
{
    QAccessibleEvent event(this, QAccessible::NameChanged);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}
