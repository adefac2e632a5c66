// Accelerators: the Windows keys of the shortcuts the core writes in the portable text form
// ("Ctrl+Shift+C", "F5", "Space"), so that every window's accelerators come from the same texts
// as its menus.
#pragma once

#include <windows.h>

#include <string_view>

namespace brindlewick::win32 {

// The accelerator of `shortcut` for `command`: "Ctrl+Shift+C" is C with Ctrl and Shift held.
ACCEL Accelerator(std::string_view shortcut, WORD command);

}  // namespace brindlewick::win32
