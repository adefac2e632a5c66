#include "ui/ListBox.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>

namespace brindlewick {

namespace {

// The list's border, drawn above the entries and the scroll bars. At a fractional scale
// factor (1.5) the edges of those children fall between device pixels, and rounded outwards
// they cover the last row of a border drawn beneath them: the lists lost their bottom line.
class BorderOverlay final : public QWidget {
public:
    explicit BorderOverlay(ListBox* list) : QWidget(list), m_list(list) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        m_list->DrawBorder(painter);
    }

private:
    ListBox* m_list;
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent), m_border(new BorderOverlay(this)) {
    m_border->raise();
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

void ListBox::DrawBorder(QPainter& painter) {
    drawFrame(&painter);
    // Some styles mark the focused list only by a faint frame around its current entry, which
    // vanishes on the selection's own colour, so nothing shows which list the arrow keys
    // move. The list's border takes the highlight colour instead while it has the focus.
    if (hasFocus() && frameWidth() > 0) {
        const int width = frameWidth();
        painter.setPen(QPen(palette().color(QPalette::Highlight), width));
        painter.setBrush(Qt::NoBrush);
        const qreal inset = width / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
}

void ListBox::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    m_border->setGeometry(rect());
}

void ListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    m_border->update();
}

void ListBox::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    m_border->update();
}

}  // namespace brindlewick
