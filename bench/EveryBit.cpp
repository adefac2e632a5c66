#include "EveryBit.h"

#include "rom/RomTables.h"
#include "tables/TablesFile.h"

namespace brindlewick::bench {

std::optional<TableEdits> FlipEveryBit(const std::string& romPath, const TablePlaces& places) {
    const auto asRead = ReadTables(romPath, places);
    if (!asRead) {
        return std::nullopt;
    }
    TableEdits edits(*asRead);
    std::vector<LearnsCell> learned;
    std::vector<LearnsCell> notLearned;
    for (int species = 0; species < kSpeciesCount; ++species) {
        for (int machine = 0; machine < kMachineCount; ++machine) {
            (edits.Learns(species, machine) ? learned : notLearned).push_back({species, machine});
        }
    }
    static_cast<void>(edits.SetLearns(learned, false));
    static_cast<void>(edits.SetLearns(notLearned, true));
    return edits;
}

std::vector<FileRun> ChangedRuns(const ImportPlan& plan) {
    std::vector<FileRun> runs;
    for (const ByteChange& change : plan.changes) {
        if (runs.empty() ||
            change.offset != runs.back().offset + static_cast<long>(runs.back().bytes.size())) {
            runs.push_back({change.offset, {}});
        }
        runs.back().bytes.push_back(change.after);
    }
    return runs;
}

}  // namespace brindlewick::bench
