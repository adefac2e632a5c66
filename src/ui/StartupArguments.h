// StartupArguments for the Qt window: the command line as Qt gives it, read by the one rule
// every window shares, and the file it names opened once the window shows.
#pragma once

#include <QString>
#include <QStringList>

#include "editor/StartupArguments.h"

namespace brindlewick {

class Form1;

// `arguments` as QCoreApplication::arguments() gives them, the program first; Qt's own options
// have been taken out by then.
[[nodiscard]] StartupArguments ParseStartupArguments(const QStringList& arguments);

// Shows `window` and, when `file` is not empty, opens it once the event loop runs, so that any
// message of the open appears over the window that shows it.
void ShowAndOpen(Form1& window, const std::string& file);

}  // namespace brindlewick
