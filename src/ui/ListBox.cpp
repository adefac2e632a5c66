#include "ui/ListBox.h"

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

}  // namespace brindlewick
