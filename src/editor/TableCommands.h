// TableCommands: the window's Tools commands on the three tables of the open ROM, export to a
// CSV, import from one and the self-check, each a function over the core that tells the user
// the outcome through the message seam. The window only chooses the files.
#pragma once

#include <string>

#include "tables/TablesFile.h"

namespace brindlewick {

inline constexpr const char* kCsvFilter = "CSV files (*.csv)|*.csv";

// The ROM's name with `extension` for its extension ("Gold" and "csv": "Gold.csv").
std::string ProposedFileName(const std::string& romPath, const std::string& extension);

// The name an export proposes: the ROM's name with ".csv" for its extension ("Gold.csv").
std::string ProposedCsvName(const std::string& romPath);

// The folder that holds `path`, where the dialogs of these commands start.
std::string FolderOf(const std::string& path);

// Writes the tables of `romPath` as CSV to `csvPath` (replacing that one file atomically) and
// says so, naming the file. The ROM is only read. A modified game whose tables are not where
// its release keeps them is asked about first. False after a reported failure or a refusal.
bool ExportRomTables(const std::string& romPath, const std::string& csvPath);

// The question asked before an import writes: what it changes (machines, species, bytes,
// then one line per machine and species, the first kMaxListedChanges of them).
inline constexpr std::size_t kMaxListedChanges = 20;
std::string DescribeImportQuestion(const std::string& romPath, const std::string& csvPath,
                                   const ImportPlan& plan);

// Imports `csvPath` into `romPath`: the whole CSV is checked first (its problems are told with
// line and column and nothing is written), then the user is asked through ConfirmMessage
// before anything is written, and about any change the game cannot use; a change made to the
// file while a question was open is told and asked about again.
ImportStatus ImportRomTables(const std::string& romPath, const std::string& csvPath);

// Whether the window must read the file again after an import that ended so: the file may
// have changed.
bool ImportMayHaveChangedFile(ImportStatus status);

// Where `romPath` keeps its tables, in one text: the release, whether it is a real cartridge
// image, how its tables were found (the game's code followed, or why it could not be) and
// where, and each finding of their proof. Empty when the file could not be read (that has
// been reported).
std::string DescribeRomCheck(const std::string& romPath);

// "Check ROM": DescribeRomCheck shown as one message.
void CheckRom(const std::string& romPath);

}  // namespace brindlewick
