// ListBox: a list of fixed entries with at most one selected entry, read and set by index.
// The program sets the selection without raising any signal; a choice the user makes with
// the mouse or the keyboard raises Chosen. The list that has the keyboard focus is framed in
// the highlight colour.
#pragma once

#include <QListWidget>

namespace brindlewick {

class ListBox final : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    // The index of the selected entry, or -1 when no entry is selected.
    int SelectedIndex() const;

    // Selects entry `index` (-1 or an index out of range: no entry) without raising Chosen.
    void SelectSilently(int index);

signals:
    // The user selected an entry.
    void Chosen();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace brindlewick
