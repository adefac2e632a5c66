#include "ui/TableModels.h"

#include <QComboBox>
#include <QCompleter>
#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "editor/TableEditorSession.h"
#include "rom/RomTables.h"

namespace brindlewick {
namespace {

QString FromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant PendingFont(bool changed) {
    if (!changed) {
        return {};
    }
    QFont font;
    font.setBold(true);
    return font;
}

QVariant PendingBackground(bool changed) {
    return changed ? QVariant(PendingEditColour()) : QVariant();
}

constexpr int kHeaderPadding = 6;

}  // namespace

QColor PendingEditColour() {
    return {kPendingEditTint.red, kPendingEditTint.green, kPendingEditTint.blue};
}

// ---- machines ---------------------------------------------------------------------------

MachinesModel::MachinesModel(TableEditorSession& session, QObject* parent)
    : QAbstractTableModel(parent), m_session(session) {}

int MachinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMachineCount;
}

int MachinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MachinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const TableEdits& edits = m_session.Edits();
    const TableCell cell{index.column() == MoveColumn ? CellKind::Move : CellKind::Price,
                         index.row(), 0};
    switch (role) {
        case Qt::DisplayRole:
            return cell.kind == CellKind::Move ? QVariant(FromStd(MachineCellText(edits, cell)))
                                               : QVariant(edits.Value(cell));
        case Qt::EditRole:
            return edits.Value(cell);
        case Qt::TextAlignmentRole:
            return cell.kind == CellKind::Price ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                : QVariant();
        case Qt::FontRole:
            return PendingFont(edits.Changed(cell));
        case Qt::BackgroundRole:
            return PendingBackground(edits.Changed(cell));
        case Qt::ToolTipRole: {
            const std::string tip = MachineCellToolTip(edits, cell);
            return tip.empty() ? QVariant() : QVariant(FromStd(tip));
        }
        default:
            return {};
    }
}

bool MachinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    // Typed text goes through the session's reading of a move or a price; a number is the
    // move or price itself.
    bool changed = false;
    if (value.typeId() == QMetaType::QString) {
        const std::string typed = value.toString().toStdString();
        changed = index.column() == MoveColumn ? m_session.TypeMove(index.row(), typed)
                                               : m_session.TypePrice(index.row(), typed);
    } else {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok) {
            return false;
        }
        changed = index.column() == MoveColumn ? m_session.SetMove(index.row(), number)
                                               : m_session.SetPrice(index.row(), number);
    }
    if (changed) {
        emit dataChanged(index, index);
        emit Edited();
    }
    return changed;
}

QVariant MachinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return FromStd(MachineRowText(section));
    }
    return QString::fromUtf8(section == MoveColumn ? kMoveColumn : kPriceColumn);
}

Qt::ItemFlags MachinesModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!m_session.ReadOnly()) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

void MachinesModel::Refresh() {
    emit dataChanged(index(0, 0), index(kMachineCount - 1, ColumnCount - 1));
}

// ---- compatibility ------------------------------------------------------------------------

CompatibilityModel::CompatibilityModel(TableEditorSession& session, QObject* parent)
    : QAbstractTableModel(parent), m_session(session) {}

int CompatibilityModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSpeciesCount;
}

int CompatibilityModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMachineCount;
}

QVariant CompatibilityModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const TableEdits& edits = m_session.Edits();
    const int species = index.row();
    const int machine = index.column();
    switch (role) {
        case Qt::CheckStateRole:
            return edits.Learns(species, machine) ? Qt::Checked : Qt::Unchecked;
        case Qt::BackgroundRole:
            return PendingBackground(edits.LearnsChanged(species, machine));
        case Qt::ToolTipRole:
            return FromStd(LearnsCellToolTip(edits, species, machine));
        default:
            return {};
    }
}

bool CompatibilityModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole) {
        return false;
    }
    const bool learns = value.toInt() == Qt::Checked;
    if (!m_session.SetLearns(index.row(), index.column(), learns)) {
        return false;
    }
    emit dataChanged(index, index);
    emit Edited();
    return true;
}

QVariant CompatibilityModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return FromStd(SpeciesRowText(section));
    }
    return FromStd(MachineColumnText(m_session.Edits(), section));
}

Qt::ItemFlags CompatibilityModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_session.ReadOnly() && index.isValid()) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

void CompatibilityModel::Refresh() {
    emit dataChanged(index(0, 0), index(kSpeciesCount - 1, kMachineCount - 1));
}

void CompatibilityModel::RefreshHeaders() {
    emit headerDataChanged(Qt::Horizontal, 0, kMachineCount - 1);
}

// ---- filter -------------------------------------------------------------------------------

SpeciesFilterModel::SpeciesFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {}

void SpeciesFilterModel::SetFilterText(const QString& text) {
    m_text = text.toStdString();
    invalidateFilter();
}

bool SpeciesFilterModel::filterAcceptsRow(int sourceRow,
                                          const QModelIndex& /*sourceParent*/) const {
    return SpeciesMatchesFilter(sourceRow, m_text);
}

// ---- machine editors ----------------------------------------------------------------------

QWidget* MachineDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    if (index.column() == MachinesModel::PriceColumn) {
        auto* spin = new QSpinBox(parent);
        spin->setRange(0, kMaxPrice);
        spin->setFrame(false);
        spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return spin;
    }
    if (index.column() != MachinesModel::MoveColumn) {
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(16);
    for (const std::string& move : MoveChoices()) {
        combo->addItem(FromStd(move));
    }
    // Typing any part of a name offers the moves that contain it.
    auto* completer = new QCompleter(combo->model(), combo);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    combo->setCompleter(completer);
    // Enter on a completion takes it at once, as Enter in the field does.
    connect(completer, QOverload<const QString&>::of(&QCompleter::activated), combo,
            [this, combo](const QString& text) {
                combo->setCurrentIndex(combo->findText(text, Qt::MatchFixedString));
                auto* self = const_cast<MachineDelegate*>(this);
                emit self->commitData(combo);
                emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
            });
    return combo;
}

void MachineDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const int value = index.data(Qt::EditRole).toInt();
    if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
        spin->setValue(value);
        spin->selectAll();
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // A stored byte that names no move shows as no entry.
        combo->setCurrentIndex(value < combo->count() ? value : -1);
        if (combo->lineEdit() != nullptr) {
            combo->lineEdit()->selectAll();
        }
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void MachineDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    // The typed text decides, read by the session as both table editors read it.
    if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
        model->setData(index, spin->cleanText(), Qt::EditRole);
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

// ---- upward header ------------------------------------------------------------------------

UpwardHeader::UpwardHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(true);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QSize UpwardHeader::sectionSizeFromContents(int logicalIndex) const {
    const QString text = model() != nullptr
                             ? model()->headerData(logicalIndex, orientation()).toString()
                             : QString();
    // Measured in bold, as the header draws the sections of the selection.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return {metrics.height() + kHeaderPadding,
            metrics.horizontalAdvance(text) + 2 * kHeaderPadding};
}

QSize UpwardHeader::sizeHint() const {
    // As tall as the longest machine-and-move text; every section is measured once here.
    int height = 0;
    for (int section = 0; section < count(); ++section) {
        height = std::max(height, sectionSizeFromContents(section).height());
    }
    return {QHeaderView::sizeHint().width(), height};
}

void UpwardHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) {
        return;
    }
    // The section's frame and state as the style draws it, without its text.
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    if (selectionModel() != nullptr && highlightSections() &&
        selectionModel()->columnIntersectsSelection(logicalIndex, rootIndex())) {
        option.state |= QStyle::State_On;
    }
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    const QString text = model()->headerData(logicalIndex, orientation()).toString();
    const QFontMetrics metrics = painter->fontMetrics();
    // The view's clip does not survive the rotation; the elided text stays inside the section.
    painter->setClipping(false);
    painter->translate(rect.left(), rect.bottom());
    painter->rotate(-90);
    // Upwards from the bottom, centred across the section.
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(
        QPoint(kHeaderPadding, (rect.width() + metrics.ascent() - metrics.descent()) / 2),
        metrics.elidedText(text, Qt::ElideRight, rect.height() - 2 * kHeaderPadding));
    painter->restore();
}

}  // namespace brindlewick
