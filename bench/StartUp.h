// StartUp: the time from starting a process to the first paint of its window, and the
// process's peak memory, for the program's main window against a bare Qt window.
#pragma once

#include <string>

namespace brindlewick::bench {

// The flag that makes the benchmark executable a child showing one window.
inline constexpr const char* kChildFlag = "--show-window";
inline constexpr const char* kMainWindow = "form1";
inline constexpr const char* kBareWindow = "bare";

// Runs the child: shows `window` and, once it has been painted for the first time, writes the
// monotonic clock in nanoseconds to standard output and ends. Returns the exit status.
int ShowWindowChild(int argc, char* argv[], const std::string& window);

// Starts `runs` children of each kind, alternating, and prints the start-up and peak-memory
// lines; returns false when a child failed.
bool RunStartUp(int runs);

}  // namespace brindlewick::bench
