// TableModels: the table editor's grids as Qt item models, thin wiring over the core's
// TableEditorSession. The machines model has a row per machine (move, price); the compatibility
// model a row per species and a check cell per machine; the filter model shows the species the
// core's filter accepts. Every edit and every text comes from the session; the models only tell
// the views.
#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>

#include "tables/TypedInput.h"

namespace brindlewick {

class TableEditorSession;
class TableTexts;

// The tint of a cell whose value differs from the file, with bold text.
QColor PendingEditColour();

class MachinesModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { MoveColumn, PriceColumn, ColumnCount };

    MachinesModel(TableEditorSession& session, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Every cell may show something else now (undo, revert, reload, save).
    void Refresh();

signals:
    void Edited();

private:
    TableEditorSession& m_session;
};

class CompatibilityModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    CompatibilityModel(TableEditorSession& session, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void Refresh();
    // The column headers name each machine's move: after a move edit they change too.
    void RefreshHeaders();

signals:
    void Edited();

private:
    TableEditorSession& m_session;
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
// (named as the ROM holds them), the price as a plain field. What is typed is judged by the
// core (TypedInput, through the session).
class MachineDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    MachineDelegate(const TableEditorSession& session, QObject* parent)
        : QStyledItemDelegate(parent), m_session(session) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    // Enter, Tab and Shift+Tab commit only a text the core's rules take; another is refused
    // with a message and its editor stays open.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the price or move editor's text comes to, by the core's rules.
    TypedValue Typed(QWidget* editor) const;
    // Commits the editor's value when its text is valid; otherwise tells why (false).
    bool CommitIfValid(QWidget* editor);

    const TableEditorSession& m_session;
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
