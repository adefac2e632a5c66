// Workflows: the editor's machine selection, species selection and save, each timed against
// its floor: the same number of plain open, pread / pwrite, fdatasync and close calls on the
// same file.
#pragma once

namespace brindlewick::bench {

// Prints one line per workflow; returns false when a workflow or its floor failed.
bool RunWorkflows(int runs);

}  // namespace brindlewick::bench
