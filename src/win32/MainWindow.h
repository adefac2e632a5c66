// MainWindow: the program's main window on Windows, with the controls, menus and shortcuts of
// the Qt window Form1 and the same names. It is wiring: every command runs the editor's
// workflows or the shared commands of editor/WindowCommands.h.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/Editor.h"
#include "editor/EditorView.h"
#include "rom/RomTables.h"

namespace brindlewick::win32 {

class AboutWindow;
class ComparisonWindow;
class LearnersWindow;
class TableEditorWindow;
class Picture;

// Command numbers of the menus and shortcuts.
enum MenuCommand : WORD {
    kMenuOpen = 1001,
    kMenuSave,
    kMenuExit,
    kMenuCopyCompatibility,
    kMenuPasteCompatibility,
    kMenuExport,
    kMenuImport,
    kMenuCheck,
    kMenuLearners,
    kMenuTableEditor,
    kMenuAbout,
    kMenuExportPatch,
    kMenuCompare,
    kMenuFixChecksum,
};

class MainWindow final : public EditorView {
public:
    // What the window asks the open or save dialog for.
    struct FileRequest {
        bool save = false;
        std::string title;
        std::string fileName;  // proposed (save only)
        std::string initDir;
        std::string filter;
        std::uint32_t flags = 0;
        std::string defaultExtension;  // save only
    };
    // Answers a FileRequest with a path, or "" for a cancel. The program shows the Windows
    // dialogs; tests answer themselves.
    using FileChooser = std::function<std::string(const FileRequest&)>;

    // Creates the window, hidden. `endsProgram`: closing it ends the message loop.
    explicit MainWindow(bool endsProgram = true);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return m_window; }
    // A control by its name ("lstTM", "txtPrice", "chkHM07", "tab1" ...); nullptr if none.
    HWND Control(std::string_view name) const;
    HMENU Menu() const { return m_menu; }
    // The About, learners and comparison windows while they are open; nullptr otherwise.
    HWND AboutHandle() const;
    HWND LearnersHandle() const;
    // The table editor while it is open; nullptr otherwise.
    TableEditorWindow* TableEditor() const;
    HWND ComparisonHandle() const;
    // The comparison window while it is open; nullptr otherwise.
    const ComparisonWindow* Comparison() const;
    const Editor& GetEditor() const { return m_editor; }

    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Opens `path` (UTF-8) as "Open ROM..." does once its dialog has closed: for a file named
    // on the command line.
    void OpenRomPath(const std::string& path);
    // Files dropped on the window (UTF-8): one is opened as the command line's is; anything
    // else is refused as the command line refuses it.
    void OpenDroppedFiles(const std::vector<std::string>& paths);

    // The keyboard before the message is dispatched: the shortcuts, and moving between
    // controls with Tab in all of the program's windows. True: handled.
    bool PreTranslate(MSG& message);

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

    // The learners window asks for a species to be shown, as if chosen in the list.
    void ShowSpecies(int species);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND Add(const char* name, const wchar_t* windowClass, const wchar_t* text, DWORD style,
             HWND parent, int id = 0, DWORD exStyle = 0);
    void BuildControls();
    void BuildMenus();
    void BuildToolTips();
    int EntryUnderMouse() const;  // the machine list's entry under the mouse, or -1
    void ToolTipText(NMTTDISPINFOW& request);
    void Layout();
    void LayoutRomInformation();
    void ApplyDpi(UINT dpi);
    void ShowPage(int page);
    void Paint();

    void Command(WORD id, WORD code, HWND control);
    void PriceTextChanged();
    void SaveRom();
    void Exit();
    void ShowAbout();
    void CopyCompatibility();
    void PasteCompatibility();
    void ShowLearners();
    void ShowTableEditor();
    void TablesSaved();
    // Before another ROM is taken or the program ends: the table editor's pending edits are
    // asked about (Cancel: false, nothing happens).
    bool SettleTableEditorBefore(const std::string& path);
    bool CloseTableEditor();
    void AfterOpen();
    void DropFiles(HDROP drop);
    void RefreshLearners();
    void ExportTables();
    void ImportTables();
    void CheckOpenRom();
    // The open dialog of a second ROM, beside the open one: the clean image, the one compared.
    // A file to save in the ROM's folder, `fileName` proposed; an overwrite is asked about.
    static FileRequest BesideRomRequest(const char* title, const std::string& fileName,
                                        const std::string& romPath, const char* filter,
                                        const char* extension);
    static FileRequest OtherRomRequest(const char* title, const std::string& romPath);
    void ExportPatchOfRom();
    void CompareWithRom();
    void FixChecksumOfRom();
    std::string ChooseFile(const FileRequest& request);

    HWND m_window = nullptr;
    HMENU m_menu = nullptr;
    HACCEL m_accelerators = nullptr;
    HFONT m_font = nullptr;
    HWND m_toolTips = nullptr;
    int m_toolTipEntry = -1;
    std::wstring m_toolTipText;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    bool m_endsProgram;
    bool m_applyingPriceRule = false;
    std::unordered_map<std::string, HWND> m_controls;
    std::array<HWND, 2> m_pages{};
    std::array<HWND, kMachineCount> m_checks{};
    std::unique_ptr<Picture> m_banner;
    std::unique_ptr<Picture> m_banner2x;
    HBRUSH m_bannerEdge = nullptr;
    std::unique_ptr<AboutWindow> m_about;
    std::unique_ptr<LearnersWindow> m_learners;
    std::unique_ptr<TableEditorWindow> m_tableEditor;
    std::unique_ptr<ComparisonWindow> m_comparison;
    FileChooser m_chooseFile;
    Editor m_editor;
};

}  // namespace brindlewick::win32
