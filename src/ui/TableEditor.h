// TableEditor: the window that edits every machine and species of the open ROM in two grids,
// keeps the edits until they are saved in one go, and never drops them without asking. The
// values, the edits, the history and the save live in the core's TableEdits; this is the
// window around them: the grids, the filter, the actions and their keys, and the questions.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "tables/TableEdits.h"
#include "tables/TableTexts.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace brindlewick {

struct LocatedTables;
class MachinesModel;
class CompatibilityModel;
class SpeciesFilterModel;

class TableEditor final : public QMainWindow {
    Q_OBJECT

public:
    // The window for `romPath`, its tables read where `located` says, or nullptr after a
    // reported failure. A real cartridge image whose tables fail their proof opens read-only,
    // the reason shown in the window; one whose game's code keeps them elsewhere says so there.
    // Species and moves are named as `names` (read from the ROM at its open) holds them, and
    // where a table of them could not be read, the window says so.
    static TableEditor* Open(const std::string& romPath, const LocatedTables& located,
                             const RomNames& names, QWidget* parent);
    ~TableEditor() override;

    const std::string& RomPath() const { return m_romPath; }
    bool HasPendingEdits() const { return m_edits.HasPending(); }
    bool ReadOnly() const { return !m_readOnlyReason.empty(); }

    // Before the edits would be lost: asks Save / Discard / Cancel when any are pending.
    // True when nothing is left to lose (saved, discarded or none); Cancel keeps them (false).
    bool SettlePendingEdits();

    // Looks whether the file still holds what the editor read, and says so when it does not.
    void CheckFile();

signals:
    // The tables were written: whoever shows them from the file reads them again.
    void TablesSaved();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TableEditor(const std::string& romPath, const LocatedTables& located, const RomNames& names,
                QWidget* parent);

    void BuildActions();
    QWidget* BuildMachinesPage();
    QWidget* BuildCompatibilityPage();
    QWidget* BuildNotice();

    void Load(const CheckedTables& tables);
    void Save();
    void Reload();
    void CommitOpenEditor();
    void Undo();
    void Redo();
    void Revert();
    void SetSelection(bool learns);
    void ToggleSelection();
    void CopySelection();
    void PasteAtCurrent();
    void ShowCompatibilityMenu(const QPoint& at);

    // The species cells of the selection, and the rows the grid shows from the current on.
    std::vector<LearnsCell> SelectedCells() const;
    std::vector<int> RowsFromCurrent() const;
    // After any change of the edits: the grids, the title, the status bar and the actions.
    void EditsChanged();
    void ShowNotice(const QString& text, bool offerReload);

    std::string m_romPath;
    TablePlaces m_places;
    std::string m_placesNote;  // where the game's code keeps the tables, when not the release's
    TableEdits m_edits;
    TableTexts m_texts;
    std::string m_readOnlyReason;

    MachinesModel* m_machines = nullptr;
    CompatibilityModel* m_compatibility = nullptr;
    SpeciesFilterModel* m_filter = nullptr;

    QTabWidget* m_pages = nullptr;
    QTableView* m_tblMachines = nullptr;
    QTableView* m_tblCompatibility = nullptr;
    QLineEdit* m_txtFilter = nullptr;
    QWidget* m_notice = nullptr;
    QLabel* m_noticeText = nullptr;
    QPushButton* m_btnReload = nullptr;
    QLabel* m_pending = nullptr;
    QAction* m_actSave = nullptr;
    QAction* m_actUndo = nullptr;
    QAction* m_actRedo = nullptr;
    QAction* m_actRevert = nullptr;
    QAction* m_actTick = nullptr;
    QAction* m_actClear = nullptr;
    QAction* m_actCopy = nullptr;
    QAction* m_actPaste = nullptr;
    bool m_checking = false;
};

}  // namespace brindlewick
