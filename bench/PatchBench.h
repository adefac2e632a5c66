// PatchBench: Export Patch of a 2 MiB image against its clean image, against the floor of
// reading both files once and writing the patch once.
#pragma once

namespace brindlewick::bench {

// Prints one line; returns false when the patch or its floor failed.
bool RunPatch(int runs);

}  // namespace brindlewick::bench
