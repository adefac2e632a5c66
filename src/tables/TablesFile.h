// TablesFile: export and import of the three tables of a ROM file as CSV. Every byte of the
// ROM is read and written through the hex byte I/O; failures are reported through the message
// seam where they happen, each naming its file.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/NativeFile.h"
#include "rom/SelfCheck.h"
#include "tables/Csv.h"
#include "tables/ImportPlan.h"
#include "tables/TableValues.h"

namespace brindlewick {

struct RomProfile;

// The release of `romPath` when it is a supported one whose file holds all three tables;
// otherwise reports why (naming the file) and returns nullptr.
const RomProfile* IdentifyRomFile(const std::string& romPath);

// The three tables of `romPath`, one block read per table; nothing after a reported failure.
std::optional<TableValues> ReadTables(const std::string& romPath, const RomProfile& profile);

// The three tables of `romPath` and the self-check of the same bytes, read through one open
// handle; nothing after a reported failure, or when the file is no longer a `profile` release.
struct CheckedTables {
    TableValues values;
    SelfCheckResult check;
};
std::optional<CheckedTables> ReadCheckedTables(const std::string& romPath,
                                               const RomProfile& profile);

// The CSV of `romPath`, or nothing after a reported failure.
std::optional<std::string> ExportTables(const std::string& romPath);

// Writes `csv` to `csvPath`, creating or replacing that one file and nothing else; refuses a
// path that names the ROM itself. False after a reported failure.
[[nodiscard]] bool WriteCsvFile(const std::string& csvPath, const std::string& csv,
                                const std::string& romPath);

// At most kMaxCsvBytes of `csvPath`: a larger file is refused before it is read, an empty one
// as well. Nothing after a reported failure.
std::optional<std::string> ReadCsvFile(const std::string& csvPath);

// Asked before writing a change the game cannot use; true writes it all the same.
using ImportQuestion = std::function<bool(const std::string& question)>;

struct ImportOptions {
    bool dryRun = false;     // work everything out and report it, write nothing
    ImportQuestion confirm;  // no function: such a change is refused
    // Asked with the plan once the CSV and the ROM have passed every check, before anything is
    // written; false writes nothing. No function: the plan is written without asking.
    std::function<bool(const ImportPlan& plan)> confirmChanges;
    // The tables as the caller read them earlier and built its values on (the table editor's
    // values as read). Where the file now holds something else and the plan would write over
    // it, `confirmOverwrite` is asked with what changed elsewhere (from `expectedCurrent` to
    // what the file holds); false or no function writes nothing. Null: nothing is compared.
    const TableValues* expectedCurrent = nullptr;
    std::function<bool(const ImportPlan& changedElsewhere)> confirmOverwrite;
};

enum class ImportStatus {
    Written,    // the changes were written
    Unchanged,  // the file already holds what the CSV asks for
    DryRun,     // the changes were worked out and reported, nothing written
    Refused,    // the CSV, the ROM or the answer to a question refused it; nothing written
    Failed,     // a file access failed (reported)
};

struct ImportResult {
    ImportStatus status = ImportStatus::Failed;
    ImportPlan plan;
    CsvProblems problems;
};

// Reads and checks the whole CSV against the ROM, then writes only the bytes whose value
// changes. A real cartridge image whose tables do not lie where its release keeps them is
// refused, and a change the game cannot use is asked about first. Reports the outcome once.
ImportResult ImportTables(const std::string& romPath, const std::string& csvPath,
                          const ImportOptions& options);

// What a write of the tables makes of the values the file holds now: the values to write, or
// nothing (after reporting why) to write nothing.
using TablesTarget = std::function<std::optional<TableValues>(const TableValues& current)>;

// The one way the three tables are written, shared by the import and the table editor: reads
// the tables of `romPath` (still a `profile` release), refuses a real cartridge image whose
// tables lie elsewhere, plans the bytes from what the file holds to what `makeTarget` asks
// for, asks the questions of `options` and the game's rules, and writes only the bytes whose
// value changes. Reports the outcome once.
ImportResult WriteTablesPlan(const std::string& romPath, const RomProfile& profile,
                             const TablesTarget& makeTarget, const ImportOptions& options);

// The file an import writes into, as the import found it when it read and checked the ROM.
struct ImportTarget {
    std::string romPath;
    FileIdentity identity;       // every write must reach this file
    std::uint64_t mustHold = 0;  // the file must still hold its tables: at least this many bytes
};

// The one place that puts the planned bytes into the file. Every write checks on its handle
// that it reaches the file the import read, and the last one flushes the file's data to the
// disk. Stops at the first failure, reports it with what the file now holds, and returns false.
[[nodiscard]] bool ApplyImportPlan(const ImportTarget& target, const ImportPlan& plan);

}  // namespace brindlewick
