// StartupArguments: what the brindlewick program's arguments ask for, the same for every
// window. It takes one optional file, as a file manager's "Open With" passes it, and the window
// opens that file once it shows, as "Open ROM..." does after its dialog.
#pragma once

#include <string>
#include <vector>

namespace brindlewick {

struct StartupArguments {
    bool refused = false;  // more than one file, an option, or an empty name
    std::string file;      // the file to open, absolute, its name as given; empty: none
};

// `arguments` as the system gives them (UTF-8 on Windows; bytes on Linux, which are kept as they
// are), the program first, the toolkit's own options already taken out. "--" ends the options,
// so that a file whose name begins with "-" can be named.
[[nodiscard]] StartupArguments ParseStartupArguments(const std::vector<std::string>& arguments);

// Files dropped on the main window (UTF-8 paths), read by the same rule as the command line:
// one file is taken, made absolute; two or more, or an empty name, are refused. The open that
// follows refuses a folder or a file it cannot read with its own messages.
[[nodiscard]] StartupArguments ParseDroppedFiles(const std::vector<std::string>& paths);

// The line a refused command line is answered with.
inline constexpr const char* kStartupUsage = "usage: brindlewick [FILE]";
// The exit status after that answer.
inline constexpr int kStartupUsageStatus = 2;

}  // namespace brindlewick
