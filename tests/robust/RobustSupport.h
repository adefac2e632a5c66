// RobustSupport: what the robustness tests share: the messages the user may see, written out
// in full, a comparison of what was shown with what was expected, and a filter for the
// platform warnings that long runs of dialogs produce.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <QList>
#include <QtGlobal>

#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "robust/RomModel.h"

class QWidget;

namespace brindlewick::test {

struct WindowReading;

// A failing file access: its description as the text, "Error: N" as the title, no icon.
Message OwnFailure(FileFailure failure);
Message SystemFailure(int error);
Message Unsupported();
Message NotHex();
Message Saved();

// "" when `seen` is exactly `expected` (text, title and icon, in order); otherwise both lists.
std::string CompareMessages(const std::vector<Message>& expected, const std::vector<Message>& seen);

// The values a save writes, as the window shows them.
ModelShown ShownValues(const WindowReading& reading);

// Every regular file below a folder by its relative path (links are not followed).
using Contents = std::map<std::string, Bytes>;
Contents FilesBelow(const std::filesystem::path& folder);
// "" when `actual` holds exactly the files and bytes of `expected`; otherwise the differences.
std::string CompareContents(const Contents& expected, const Contents& actual);
// `contents` after a save of what `shown` shows into the file `name`, an image of `release`.
Contents AfterSave(Contents contents, const std::string& name, const char* release,
                   const WindowReading& shown);

std::string Utf8(const std::filesystem::path& path);

class WindowDriver;
// Edits on both pages through the controls: TM29's move and price, four boxes of Mew.
void MakeEdits(WindowDriver& driver);

// The offscreen platform warns once for every dialog it shows, and Qt Test for every key that
// a disabled control or the price filter turns away; a long run makes hundreds of both. Those
// two warnings are dropped while the object lives, everything else still reaches the log.
class QuietDialogWarnings {
public:
    QuietDialogWarnings();
    ~QuietDialogWarnings();
    QuietDialogWarnings(const QuietDialogWarnings&) = delete;
    QuietDialogWarnings& operator=(const QuietDialogWarnings&) = delete;

private:
    QtMessageHandler m_previous;
};

}  // namespace brindlewick::test
