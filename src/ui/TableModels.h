// TableModels: the table editor's grids as Qt item models, thin wiring over the core's
// TableEdits. The machines model has a row per machine (move, price); the compatibility model
// a row per species and a check cell per machine; the filter model shows the species the
// core's filter accepts. Every edit goes to TableEdits; the models only tell the views.
#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>

namespace brindlewick {

class TableEdits;
class TableTexts;

// The tint of a cell whose value differs from the file, with bold text.
QColor PendingEditColour();

class MachinesModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { MoveColumn, PriceColumn, ColumnCount };

    MachinesModel(TableEdits& edits, const TableTexts& texts, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Every cell may show something else now (undo, revert, reload, save).
    void Refresh();

signals:
    void Edited();

private:
    TableEdits& m_edits;
    const TableTexts& m_texts;
    bool m_readOnly = false;
};

class CompatibilityModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    CompatibilityModel(TableEdits& edits, const TableTexts& texts, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    void Refresh();
    // The column headers name each machine's move: after a move edit they change too.
    void RefreshHeaders();

signals:
    void Edited();

private:
    TableEdits& m_edits;
    const TableTexts& m_texts;
    bool m_readOnly = false;
    // The headers' texts, made once (the species') or at each change of a move (the
    // machines'): the views ask for them at every layout.
    QStringList m_speciesHeaders;
    QStringList m_speciesToolTips;
    QStringList m_machineHeaders;
};

// Shows the species the filter text names (TableTexts::SpeciesShown).
class SpeciesFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT

public:
    SpeciesFilterModel(const TableTexts& texts, QObject* parent);
    void SetFilterText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const TableTexts& m_texts;
    std::string m_text;
};

// The machines grid's editors: the move as an editable list with completion over the moves
// (named as the ROM holds them), the price as a number from 0 to 65535.
class MachineDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    MachineDelegate(const TableTexts& texts, QObject* parent)
        : QStyledItemDelegate(parent), m_texts(texts) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    const TableTexts& m_texts;
};

// A horizontal header that writes each section's text upwards, so 57 narrow check columns
// can each name their machine and its move.
class UpwardHeader final : public QHeaderView {
    Q_OBJECT

public:
    explicit UpwardHeader(QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
};

}  // namespace brindlewick
