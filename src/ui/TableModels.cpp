#include "ui/TableModels.h"

#include <QComboBox>
#include <QCompleter>
#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "rom/RomTables.h"
#include "tables/TableEdits.h"
#include "tables/TableTexts.h"

namespace brindlewick {
namespace {

QString FromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString MachineText(int machine) {
    return QString::fromStdString(MachineName(machine));
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
    return {255, 226, 140};
}

// ---- machines ---------------------------------------------------------------------------

MachinesModel::MachinesModel(TableEdits& edits, const TableTexts& texts, QObject* parent)
    : QAbstractTableModel(parent), m_edits(edits), m_texts(texts) {}

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
    const TableCell cell{index.column() == MoveColumn ? CellKind::Move : CellKind::Price,
                         index.row(), 0};
    const int value = m_edits.Value(cell);
    switch (role) {
        case Qt::DisplayRole:
            return cell.kind == CellKind::Move ? FromStd(m_texts.Move(value)) : QVariant(value);
        case Qt::EditRole:
            return value;
        case Qt::TextAlignmentRole:
            return cell.kind == CellKind::Price ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                : QVariant();
        case Qt::FontRole:
            return PendingFont(m_edits.Changed(cell));
        case Qt::BackgroundRole:
            return PendingBackground(m_edits.Changed(cell));
        case Qt::ToolTipRole:
            if (m_edits.Changed(cell)) {
                const int before = m_edits.ValueAsRead(cell);
                return QStringLiteral("Not saved; the file holds ") +
                       (cell.kind == CellKind::Move ? FromStd(m_texts.Move(before))
                                                    : QString::number(before));
            }
            return {};
        default:
            return {};
    }
}

bool MachinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || m_readOnly) {
        return false;
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok) {
        return false;
    }
    const bool changed = index.column() == MoveColumn ? m_edits.SetMove(index.row(), number)
                                                      : m_edits.SetPrice(index.row(), number);
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
        return MachineText(section);
    }
    return section == MoveColumn ? QStringLiteral("Move") : QStringLiteral("Price");
}

Qt::ItemFlags MachinesModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!m_readOnly) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

void MachinesModel::Refresh() {
    emit dataChanged(index(0, 0), index(kMachineCount - 1, ColumnCount - 1));
}

// ---- compatibility ------------------------------------------------------------------------

CompatibilityModel::CompatibilityModel(TableEdits& edits, const TableTexts& texts, QObject* parent)
    : QAbstractTableModel(parent), m_edits(edits), m_texts(texts) {
    for (int species = 0; species < kSpeciesCount; ++species) {
        m_speciesHeaders.append(FromStd(texts.SpeciesRow(species)));
        const std::string& types = texts.SpeciesTypes(species);
        m_speciesToolTips.append(types.empty() ? m_speciesHeaders.back()
                                               : m_speciesHeaders.back() + QStringLiteral(" (") +
                                                     FromStd(types) + QLatin1Char(')'));
    }
    RefreshHeaders();
}

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
    const int species = index.row();
    const int machine = index.column();
    switch (role) {
        case Qt::CheckStateRole:
            return m_edits.Learns(species, machine) ? Qt::Checked : Qt::Unchecked;
        case Qt::BackgroundRole:
            return PendingBackground(m_edits.LearnsChanged(species, machine));
        case Qt::ToolTipRole:
            return m_speciesToolTips[species] + QStringLiteral(", ") + m_machineHeaders[machine] +
                   (m_edits.LearnsChanged(species, machine) ? QStringLiteral(" (not saved)")
                                                            : QString());
        default:
            return {};
    }
}

bool CompatibilityModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || m_readOnly) {
        return false;
    }
    const bool learns = value.toInt() == Qt::Checked;
    if (!m_edits.SetLearns(index.row(), index.column(), learns)) {
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
    if (section < 0) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        if (section >= m_speciesHeaders.size()) {
            return {};
        }
        // The species' types show where the mouse rests on its row.
        return role == Qt::ToolTipRole ? m_speciesToolTips[section] : m_speciesHeaders[section];
    }
    return section < m_machineHeaders.size() ? QVariant(m_machineHeaders[section]) : QVariant();
}

Qt::ItemFlags CompatibilityModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_readOnly && index.isValid()) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

void CompatibilityModel::Refresh() {
    emit dataChanged(index(0, 0), index(kSpeciesCount - 1, kMachineCount - 1));
}

void CompatibilityModel::RefreshHeaders() {
    QStringList headers;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        headers.append(
            FromStd(m_texts.MachineHeader(machine, m_edits.Value({CellKind::Move, machine, 0}))));
    }
    // Unchanged headers are not told as changed: the header would measure all of them again.
    if (headers == m_machineHeaders) {
        return;
    }
    m_machineHeaders = std::move(headers);
    emit headerDataChanged(Qt::Horizontal, 0, kMachineCount - 1);
}

// ---- filter -------------------------------------------------------------------------------

SpeciesFilterModel::SpeciesFilterModel(const TableTexts& texts, QObject* parent)
    : QSortFilterProxyModel(parent), m_texts(texts) {}

void SpeciesFilterModel::SetFilterText(const QString& text) {
    m_text = text.toStdString();
    invalidateFilter();
}

bool SpeciesFilterModel::filterAcceptsRow(int sourceRow,
                                          const QModelIndex& /*sourceParent*/) const {
    return m_texts.SpeciesShown(sourceRow, m_text);
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
    for (const std::string& move : m_texts.MoveChoices()) {
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
    if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
        spin->interpretText();
        model->setData(index, spin->value(), Qt::EditRole);
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // The typed name decides, matched as the CSV import matches it (the games' own
        // spellings and the ROM's names too, case, blanks and punctuation ignored); a text that
        // names no move leaves the cell as it was.
        const QString typed = combo->currentText().trimmed();
        if (const auto move = m_texts.MatchMove(typed.toStdString())) {
            model->setData(index, *move, Qt::EditRole);
        }
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
