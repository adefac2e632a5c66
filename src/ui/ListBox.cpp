#include "ui/ListBox.h"

#include <QEvent>
#include <QPainter>
#include <QSignalBlocker>

namespace brindlewick {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (SelectedIndex() >= 0) {
            emit Chosen();
        }
    });
}

int ListBox::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void ListBox::SelectSilently(int index) {
    // Blocks itemSelectionChanged, from which Chosen comes; the view still updates.
    const QSignalBlocker blocker(this);
    if (index < 0 || index >= count()) {
        clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index), QAbstractItemView::PositionAtCenter);
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
    // Ctrl+click (or Ctrl+Space) on the selected entry would leave the list without a
    // selection, which the editor never expects once an entry has been chosen.
    const auto command = QListWidget::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect)) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

bool ListBox::event(QEvent* event) {
    const bool handled = QListWidget::event(event);
    // Some styles mark the focused list only by a faint frame around its current entry, which
    // vanishes on the selection's own colour, so nothing shows which list the arrow keys
    // move. The list's border takes the highlight colour instead while it has the focus.
    if (event->type() == QEvent::Paint && hasFocus() && frameWidth() > 0) {
        QPainter painter(this);
        const int width = frameWidth();
        painter.setPen(QPen(palette().color(QPalette::Highlight), width));
        painter.setBrush(Qt::NoBrush);
        const qreal inset = width / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
    return handled;
}

void ListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    update();  // the border, which the list itself repaints only inside it
}

void ListBox::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    update();
}

}  // namespace brindlewick
