// TableEditorBench: the table editor's figures. Its first paint of the compatibility grid
// against a plain QTableView of check cells at the same window size, and a save of edits that
// flip every compatibility bit against its floor: one open, one pwrite per run of changed
// bytes, one fdatasync and one close.
#pragma once

namespace brindlewick::bench {

// Prints one line per figure; returns false when a figure or its baseline failed.
bool RunTableEditor(int runs);

}  // namespace brindlewick::bench
