// StartupArguments for the Qt window: the command line as the system gives it, read by the one
// rule every window shares, and the file it names opened once the window shows.
#pragma once

#include <string>

#include "editor/StartupArguments.h"

namespace brindlewick {

class Form1;

// `argc` and `argv` as main has them once QApplication has taken its own options out, the
// program first. They are taken as the bytes they are: on Linux a file name is bytes, and one
// that is no UTF-8 (Latin-1 from an old archive) must reach the file layer unchanged, which
// QCoreApplication::arguments(), decoded to text, cannot promise.
[[nodiscard]] StartupArguments ParseStartupArguments(int argc, char** argv);

// Shows `window` and, when `file` is not empty, opens it once the event loop runs, so that any
// message of the open appears over the window that shows it.
void ShowAndOpen(Form1& window, const std::string& file);

}  // namespace brindlewick
