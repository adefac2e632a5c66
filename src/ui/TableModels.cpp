#include "ui/TableModels.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "editor/TableEditorSession.h"
#include "platform/Messages.h"
#include "rom/RomTables.h"
#include "tables/TypedInput.h"

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

// The move editor a completion list belongs to, kept on the list.
constexpr const char* kMoveEditorProperty = "brindlewickMoveEditor";

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
            return cell.kind == CellKind::Move
                       ? QVariant(FromStd(m_session.Texts().MachineCell(edits, cell)))
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
            const std::string tip = m_session.Texts().MachineCellToolTip(edits, cell);
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
    : QAbstractTableModel(parent), m_session(session) {
    const TableTexts& texts = m_session.Texts();
    for (int species = 0; species < kSpeciesCount; ++species) {
        m_speciesHeaders.append(FromStd(texts.SpeciesRow(species)));
        m_speciesToolTips.append(FromStd(texts.SpeciesRowToolTip(species)));
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
    const TableEdits& edits = m_session.Edits();
    const int species = index.row();
    const int machine = index.column();
    switch (role) {
        case Qt::CheckStateRole:
            return edits.Learns(species, machine) ? Qt::Checked : Qt::Unchecked;
        case Qt::BackgroundRole:
            return PendingBackground(edits.LearnsChanged(species, machine));
        case Qt::ToolTipRole:
            return FromStd(m_session.Texts().LearnsCellToolTip(edits, species, machine));
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
    if (!m_session.ReadOnly() && index.isValid()) {
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
        headers.append(FromStd(m_session.Texts().MachineColumn(m_session.Edits(), machine)));
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
        // A plain field: every key typed stays in it, and the whole text is judged when it is
        // committed, so that nothing typed is dropped without a word.
        auto* field = new QLineEdit(parent);
        field->setFrame(false);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return field;
    }
    if (index.column() != MachinesModel::MoveColumn) {
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(16);
    for (const std::string& move : m_session.Texts().MoveChoices()) {
        combo->addItem(FromStd(move));
    }
    // Typing any part of a name offers the moves that contain it.
    auto* completer = new QCompleter(combo->model(), combo);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    combo->setCompleter(completer);
    // Enter on a highlighted completion takes it at once, as Enter in the field does.
    connect(completer, QOverload<const QString&>::of(&QCompleter::activated), combo,
            [this, combo](const QString& text) {
                combo->setCurrentIndex(combo->findText(text, Qt::MatchFixedString));
                auto* self = const_cast<MachineDelegate*>(this);
                emit self->commitData(combo);
                emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
            });
    // Enter while the list is open but nothing in it is highlighted takes what was typed: the
    // completer alone would only close the list and leave the editor open. This filter is
    // installed after the completer's own, so it sees the key first.
    completer->popup()->setProperty(kMoveEditorProperty, QVariant::fromValue<QObject*>(combo));
    completer->popup()->installEventFilter(const_cast<MachineDelegate*>(this));
    return combo;
}

void MachineDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const int value = index.data(Qt::EditRole).toInt();
    if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        field->setText(QString::number(value));
        field->selectAll();
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

TypedValue MachineDelegate::Typed(QWidget* editor) const {
    if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        return ParseTypedPrice(field->text().toStdString());
    }
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // The typed name decides, matched as the CSV import matches it (the games' own
        // spellings and the ROM's names too, case, blanks and punctuation ignored).
        return m_session.ReadTypedMove(combo->currentText().toStdString());
    }
    return {};
}

void MachineDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    if (qobject_cast<QLineEdit*>(editor) == nullptr &&
        qobject_cast<QComboBox*>(editor) == nullptr) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    const TypedValue typed = Typed(editor);
    if (typed.value) {
        model->setData(index, *typed.value, Qt::EditRole);
    } else if (!typed.refusal.empty()) {
        // The cell keeps its value, and the user is told why.
        ShowMessage(typed.refusal, MessageIcon::Error);
    }
}

bool MachineDelegate::eventFilter(QObject* watched, QEvent* event) {
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // The completion list of a move editor is no editor: only Enter is looked at there. A
    // highlighted completion is the completer's to take; without one, what was typed is
    // taken, or refused.
    if (auto* combo =
            qobject_cast<QComboBox*>(watched->property(kMoveEditorProperty).value<QObject*>())) {
        auto* popup = qobject_cast<QAbstractItemView*>(watched);
        if (!enter || popup == nullptr || popup->currentIndex().isValid()) {
            return false;
        }
        popup->hide();
        if (CommitIfValid(combo)) {
            emit closeEditor(combo, SubmitModelCache);
        }
        return true;
    }
    auto* editor = qobject_cast<QWidget*>(watched);
    if ((!enter && key != Qt::Key_Tab && key != Qt::Key_Backtab) ||
        (qobject_cast<QLineEdit*>(editor) == nullptr &&
         qobject_cast<QComboBox*>(editor) == nullptr)) {
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    // A text that would be refused keeps its editor open, so that it can be mended.
    if (CommitIfValid(editor)) {
        emit closeEditor(editor, key == Qt::Key_Backtab ? EditPreviousItem
                                 : key == Qt::Key_Tab   ? EditNextItem
                                                        : SubmitModelCache);
    }
    return true;
}

bool MachineDelegate::CommitIfValid(QWidget* editor) {
    const TypedValue typed = Typed(editor);
    if (!typed.value) {
        ShowMessage(typed.refusal, MessageIcon::Error);
        return false;
    }
    emit commitData(editor);
    return true;
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
