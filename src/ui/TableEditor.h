// TableEditor: the window that edits every machine and species of the open ROM in two grids,
// keeps the edits until they are saved in one go, and never drops them without asking. What it
// does, says and asks lives in the core's TableEditorSession and TableEditorTexts, shared with
// the Windows table editor; this is the window around them: the grids, the filter, the actions
// and their keys.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "editor/TableEditorSession.h"

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

    const std::string& RomPath() const { return m_session->RomPath(); }
    bool HasPendingEdits() const { return m_session->HasPendingEdits(); }
    bool ReadOnly() const { return m_session->ReadOnly(); }
    TableEditorSession* Session() const { return m_session.get(); }

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

private:
    TableEditor(std::unique_ptr<TableEditorSession> session, QWidget* parent);

    void BuildActions();
    QWidget* BuildMachinesPage();
    QWidget* BuildCompatibilityPage();
    QWidget* BuildNotice();

    // Runs a command of the session's list.
    void Run(TableCommand command);
    void CommitOpenEditor();
    void ShowCompatibilityMenu(const QPoint& at);

    // The compatibility grid's rows, current cell and selection, as the session takes them.
    GridSelection Selection() const;
    // After any change of the edits: the grids, the title, the status bar and the actions.
    void EditsChanged();
    void ShowNotice();

    std::unique_ptr<TableEditorSession> m_session;

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
    std::vector<QAction*> m_actions;  // by TableCommand
};

}  // namespace brindlewick
