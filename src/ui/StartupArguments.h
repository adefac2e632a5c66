// StartupArguments: what the brindlewick program's arguments ask for. It takes one optional
// file, as a file manager's "Open With" passes it, and opens that file once the window shows,
// as "Open ROM..." does after its dialog.
#pragma once

#include <QString>
#include <QStringList>

namespace brindlewick {

class Form1;

struct StartupArguments {
    bool refused = false;  // more than one file, an option, or an empty name
    QString file;          // the file to open, absolute; empty: none
};

// `arguments` as QCoreApplication::arguments() gives them, the program first; Qt's own options
// have been taken out by then. "--" ends the options, so that a file whose name begins with
// "-" can be named.
[[nodiscard]] StartupArguments ParseStartupArguments(const QStringList& arguments);

// The line a refused command line is answered with.
inline constexpr const char* kStartupUsage = "usage: brindlewick [FILE]";
// The exit status after that answer.
inline constexpr int kStartupUsageStatus = 2;

// Shows `window` and, when `file` is not empty, opens it once the event loop runs, so that any
// message of the open appears over the window that shows it.
void ShowAndOpen(Form1& window, const QString& file);

}  // namespace brindlewick
