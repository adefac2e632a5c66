#include "ui/ListBox.h"

#include <algorithm>
#include <vector>

#include <QEvent>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

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

// The entries are laid out as one size rather than measured one by one, which took a fifth of
// the main window's start-up: every entry is one line of text in the list's font, so they share
// a height, and the width this gives is that of the widest entry, so the list scrolls sideways
// exactly as far as when each entry is measured.
class ListBox::EntryDelegate final : public QStyledItemDelegate {
public:
    explicit EntryDelegate(ListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = OwnSizeHint(option, index);
        size.setWidth(std::max(size.width(), m_list->WidestEntryWidth()));
        return size;
    }

    // The size of this one entry.
    QSize OwnSizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
        return QStyledItemDelegate::sizeHint(option, index);
    }

private:
    ListBox* m_list;
};

ListBox::ListBox(QWidget* parent)
    : QListWidget(parent), m_border(new BorderOverlay(this)), m_delegate(new EntryDelegate(this)) {
    m_border->raise();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setItemDelegate(m_delegate);
    setUniformItemSizes(true);
    // The widest entry is measured again after any change of the entries.
    const auto forget = [this] { m_widest = -1; };
    QAbstractItemModel* entries = model();
    connect(entries, &QAbstractItemModel::rowsInserted, this, forget);
    connect(entries, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(entries, &QAbstractItemModel::dataChanged, this, forget);
    connect(entries, &QAbstractItemModel::modelReset, this, forget);
    connect(entries, &QAbstractItemModel::layoutChanged, this, forget);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (SelectedIndex() >= 0) {
            emit Chosen();
        }
    });
}

ListBox::~ListBox() {
    // QListWidget's own destruction resets its model, which would otherwise call back into
    // this object after its ListBox part is gone.
    model()->disconnect(this);
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

int ListBox::WidestEntryWidth() const {
    if (m_widest < 0) {
        m_widest = MeasureWidestEntry();
    }
    return m_widest;
}

int ListBox::MeasureWidestEntry() const {
    // A style sheet or the style's polish may still change the font.
    ensurePolished();
    // A first estimate from the advances of single characters, each looked up once: shaping
    // every entry's text as the delegate does costs most of a millisecond for 251 names.
    const QFontMetricsF metrics(font());
    QHash<char16_t, qreal> advanceOf;
    std::vector<qreal> estimates(static_cast<std::size_t>(count()));
    qreal widest = 0;
    for (int row = 0; row < count(); ++row) {
        qreal estimate = 0;
        for (const QChar character : item(row)->text()) {
            auto known = advanceOf.find(character.unicode());
            if (known == advanceOf.end()) {
                known = advanceOf.insert(character.unicode(), metrics.horizontalAdvance(character));
            }
            estimate += *known;
        }
        estimates[static_cast<std::size_t>(row)] = estimate;
        widest = std::max(widest, estimate);
    }
    // Kerning and the delegate's own rounding make the estimate differ from the delegate's
    // width by a pixel or two, so every entry within two characters' width of the widest
    // estimate is measured as sizeHintForColumn measures it.
    const qreal margin = 2 * std::max<qreal>(1, metrics.averageCharWidth());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int width = 0;
    for (int row = 0; row < count(); ++row) {
        if (estimates[static_cast<std::size_t>(row)] + margin >= widest) {
            width =
                std::max(width, m_delegate->OwnSizeHint(option, model()->index(row, 0)).width());
        }
    }
    return width;
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

void ListBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widest = -1;
    }
    QListWidget::changeEvent(event);
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
