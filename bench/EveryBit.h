// EveryBit: the edits both table editors' save figures time, on Linux and on Windows: every
// compatibility bit of every species flipped and nothing else, and the runs of neighbouring
// bytes a save of them writes (what the floor writes too).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rom/TablePlaces.h"
#include "tables/ImportPlan.h"
#include "tables/TableEdits.h"

namespace brindlewick::bench {

// Bytes that lie next to each other in the file, written in one call.
struct FileRun {
    long offset = 0;
    std::vector<unsigned char> bytes;
};

// Edits of what `romPath` holds now that flip every compatibility bit of every species and
// change nothing else; nothing after a failed read.
std::optional<TableEdits> FlipEveryBit(const std::string& romPath, const TablePlaces& places);

// The runs of neighbouring changed bytes a save of `plan` writes, each with its new bytes.
std::vector<FileRun> ChangedRuns(const ImportPlan& plan);

}  // namespace brindlewick::bench
