// CommonDialog: the Windows open-file and save-file dialogs (GetOpenFileNameW and
// GetSaveFileNameW) behind two calls that take and return UTF-8 strings. The wide calls name
// every file, whatever the system's ANSI code page, and the buffer holds the longest path
// Windows has (32767 characters). An object remembers the file its last successful open
// dialog returned and the filter chosen in its last successful dialog.
#pragma once

#include <cstdint>
#include <string>

#include "editor/WindowCommands.h"

struct HWND__;

namespace brindlewick::win32 {

// A filter list ("GBC ROMs (*.gbc)|*.gb;*.gbc") as the dialogs take it: every "|" a NUL, and a
// NUL after the last item, so that the list ends with two NULs once its own one is counted.
std::wstring DialogFilter(const std::string& filter);

class CommonDialog {
public:
    // A modal dialog owned by `owner` that chooses a file to open. Returns its full path with
    // leading and trailing blanks removed, or "" when the user cancels or the dialog fails (the
    // remembered values then stay). An empty `initDir` starts where this object's last
    // successful open dialog's file is.
    std::string ShowOpen(HWND__* owner, const std::string& title, const std::string& initDir,
                         const std::string& filter = "All Files (*.*)|*.*|",
                         std::uint32_t flags = kOpenRomDialogFlags);

    // A modal dialog owned by `owner` that chooses a name to save under, proposing `fileName`.
    // A name typed without an extension gets `defaultExtension`. Returns the chosen path, or ""
    // when the user cancels.
    std::string ShowSave(HWND__* owner, const std::string& title, const std::string& fileName,
                         const std::string& initDir, const std::string& filter = "",
                         std::uint32_t flags = 0x1802, const std::string& defaultExtension = "gpl");

    // The 1-based position of the filter chosen in the last successful dialog; 0 before any.
    std::int32_t FilterIndex() const { return m_filterIndex; }

private:
    std::string m_lastFileName;
    std::int32_t m_filterIndex = 0;
};

}  // namespace brindlewick::win32
