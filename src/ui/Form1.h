// Form1: the main window. It shows the open ROM's identity, the machine page and the species
// page, and the File and Help menus; a ROM file dropped on it is opened. It owns the editor and is
// the editor's view: the menu commands and the users' selections and price edits call the editor's
// workflows, and the workflows read and set the controls through the EditorView interface.
#pragma once

#include <array>

#include <QMainWindow>
#include <QPointer>

#include "editor/Editor.h"
#include "editor/EditorView.h"
#include "rom/RomTables.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace brindlewick {

class ComparisonWindow;
class Form2;
class LearnersWindow;
class TableEditor;
class ListBox;
class UpDownSpinner;

class Form1 final : public QMainWindow, public EditorView {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Opens `path` as "Open ROM..." does once its dialog has closed: for a file named on the
    // command line or dropped on the window. The name goes to the file layer byte for byte.
    void OpenRomPath(const std::string& path);

protected:
    void changeEvent(QEvent* event) override;
    // One local file dropped on the window is opened; anything else is not taken.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // False when the user cancelled at the question about the table editor's pending edits,
    // asked before a file other than its own is opened.
    bool SettleTableEditorBefore(const std::string& path);
    // What follows every open: the table editor of another file closes, the learners follow.
    void AfterOpen();

    // EditorView
    int MachineIndex() const override;
    void SetMachineIndex(int machine) override;
    int MoveIndex() const override;
    void SetMoveIndex(int move) override;
    int SpeciesIndex() const override;
    void SetSpeciesIndex(int species) override;
    std::string PriceText() const override;
    void SetPriceText(const std::string& text) override;
    bool MachineChecked(int machine) const override;
    void SetMachineChecked(int machine, bool checked) override;
    void ShowRomInformation(const std::string& gameName, const std::string& gameCode,
                            const std::string& language) override;
    void SetCaption(const std::string& caption) override;
    void EnableEditing() override;
    std::string AskForRomPath() override;

    QWidget* BuildBanner();
    QGroupBox* BuildRomInformation();
    QWidget* BuildTechniquesPage();
    QWidget* BuildCompatibilityPage();
    QGroupBox* BuildNotice();
    void BuildMenus();
    void BuildEditMenu();
    void BuildToolsMenu();
    void SetTabOrder();
    void BuildMachineToolTips();

    void PriceTextChanged();
    void ShowAbout();
    void SaveRom();

    // Edit and Tools menus.
    void CopyCompatibility();
    void PasteCompatibility();
    void ShowLearners();
    void RefreshLearners();
    void ExportTablesToCsv();
    void ImportTablesFromCsv();
    void CheckOpenRom();
    void ExportPatchOfRom();
    void CompareWithRom();
    void FixChecksumOfRom();
    void ShowSpecies(int species);
    void ShowTableEditor();
    void TablesSaved();

    Editor m_editor;
    bool m_applyingPriceRule = false;
    QPointer<Form2> m_about;
    QPointer<LearnersWindow> m_learners;
    QPointer<TableEditor> m_tableEditor;
    QPointer<ComparisonWindow> m_comparison;

    QLabel* m_Label2 = nullptr;
    QLabel* m_headr = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_code = nullptr;
    QLabel* m_Label5 = nullptr;
    QLabel* m_lang = nullptr;
    QGroupBox* m_frmROM = nullptr;
    QTabWidget* m_tab1 = nullptr;
    QGroupBox* m_Frame2 = nullptr;
    ListBox* m_lstTM = nullptr;
    QGroupBox* m_Frame3 = nullptr;
    ListBox* m_lstAttack = nullptr;
    QGroupBox* m_Frame5 = nullptr;
    QLineEdit* m_txtPrice = nullptr;
    UpDownSpinner* m_UpDown1 = nullptr;
    QLabel* m_Label4 = nullptr;
    ListBox* m_List1 = nullptr;
    std::array<QCheckBox*, kMachineCount> m_machineChecks{};
    QAction* m_mnuSave = nullptr;
    // The Edit and Tools commands, enabled once a ROM is open.
    QList<QAction*> m_romCommands;
};

}  // namespace brindlewick
