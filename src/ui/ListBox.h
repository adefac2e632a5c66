// ListBox: a list of fixed entries with at most one selected entry, read and set by index.
// The program sets the selection without raising any signal; a choice the user makes with
// the mouse or the keyboard raises Chosen. The list that has the keyboard focus is framed in
// the highlight colour; the border is drawn above the list's contents, so that no scale
// factor cuts it off.
#pragma once

#include <QListWidget>

class QPainter;

namespace brindlewick {

class ListBox final : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);
    ~ListBox() override;

    // The index of the selected entry, or -1 when no entry is selected.
    int SelectedIndex() const;

    // Selects entry `index` (-1 or an index out of range: no entry) without raising Chosen.
    void SelectSilently(int index);

    // The width the widest entry needs, as a plain list's sizeHintForColumn(0) gives it, but
    // measuring only the entries whose text is about as wide as the widest.
    int WidestEntryWidth() const;

    // Draws the list's border, in the highlight colour while the list has the focus.
    void DrawBorder(QPainter& painter);

signals:
    // The user selected an entry.
    void Chosen();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class EntryDelegate;

    int MeasureWidestEntry() const;

    QWidget* m_border;
    EntryDelegate* m_delegate;
    // The widest entry's width, or -1 when not measured since the entries or the font changed.
    mutable int m_widest = -1;
};

}  // namespace brindlewick
