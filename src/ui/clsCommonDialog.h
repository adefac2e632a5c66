// clsCommonDialog: the open-file and save-file dialogs behind two calls that take and return
// plain UTF-8 strings. An object remembers the file its last successful open dialog returned
// and the filter the user chose in its last successful dialog.
#pragma once

#include <cstdint>
#include <string>

#include <QStringList>

#include "editor/WindowCommands.h"  // the option bits of ShowOpen and ShowSave

class QWidget;

namespace brindlewick {

// Turns a filter list into Qt name filters. The list is a run of description and pattern-list
// pairs, each item ended by "|" (the last "|" may be left out); patterns are separated by ";".
// "GBC ROMs (*.gbc)|*.gb;*.gbc" becomes "GBC ROMs (*.gbc) (*.gb *.gbc)". The pattern "*.*"
// means every file, as it does where these lists come from, so it becomes "*".
QStringList NameFiltersFromFilterList(const std::string& filter);

class clsCommonDialog {
public:
    // A modal dialog owned by `owner` that chooses a file to open. Returns the file's full
    // path, or "" when the user cancels (the remembered values then stay as they were). An
    // empty `InitDir` starts in the folder of the file this object last returned.
    std::string ShowOpen(QWidget* owner, const std::string& Title, const std::string& InitDir,
                         const std::string& Filter = "All Files (*.*)|*.*|",
                         std::uint32_t flags = 0x1804);

    // A modal dialog owned by `owner` that chooses a name to save under, proposing
    // `FileName`. A name typed without an extension gets `DefaultExtension`. Returns the
    // chosen path, or "" when the user cancels.
    std::string ShowSave(QWidget* owner, const std::string& Title, const std::string& FileName,
                         const std::string& InitDir, const std::string& Filter = "",
                         std::uint32_t flags = 0x1802, const std::string& DefaultExtension = "gpl");

    // The 1-based position of the filter chosen in the last successful dialog; 0 before any.
    std::int32_t FilterIndex() const { return m_lastFilterIndex; }

private:
    std::string m_lastFileName;
    std::int32_t m_lastFilterIndex = 0;
};

}  // namespace brindlewick
