// TableEditorBench: the Windows table editor's figures, in the benchmark's own process. Its
// first paint of the compatibility page against a bare window that paints as many check cells
// with the same system calls, and a save of edits that flip every compatibility bit against
// its floor: one CreateFileW, one WriteFile per run of changed bytes, one FlushFileBuffers and
// one CloseHandle.
#pragma once

namespace brindlewick::bench {

// Prints one line per figure; false when a figure or its baseline failed.
bool RunWin32TableEditor(int runs);

}  // namespace brindlewick::bench
