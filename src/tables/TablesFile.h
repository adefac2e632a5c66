// TablesFile: export and import of the three tables of a ROM file as CSV. Every byte of the
// ROM is read and written through the hex byte I/O; failures are reported through the message
// seam where they happen, each naming its file.
#pragma once

#include <functional>
#include <optional>
#include <string>

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

// The one place that puts the planned bytes into the file: stops at the first failure
// (reported) and returns false.
[[nodiscard]] bool ApplyImportPlan(const std::string& romPath, const ImportPlan& plan);

}  // namespace brindlewick
