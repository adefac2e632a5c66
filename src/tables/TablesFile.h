// TablesFile: export and import of the three tables of a ROM file as CSV. Each operation
// opens the ROM once (an OpenFile): the identification, the reads, the self-check, the lock and
// every write go through that one handle. The CSV is written beside its target and renamed over
// it, so the old file survives any failure. Failures are reported through the message seam
// where they happen, each naming its file.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/NativeFile.h"
#include "platform/OpenFile.h"
#include "rom/GameRules.h"
#include "rom/RomNames.h"
#include "rom/SelfCheck.h"
#include "rom/TableLocation.h"
#include "tables/Csv.h"
#include "tables/ImportPlan.h"
#include "tables/TableValues.h"

namespace brindlewick {

struct RomProfile;

// The release of `romPath` when it is a supported one; otherwise reports why (naming the file)
// and returns nullptr.
const RomProfile* IdentifyRomFile(const std::string& romPath);

// Where the tables of `romPath` lie (TableLocation.h), for a supported release whose file is
// long enough for them, found through one open handle; otherwise reports why, naming the file,
// and gives nothing.
std::optional<LocatedTables> LocateRomTables(const std::string& romPath);

// LocateRomTables, and the names the ROM holds (RomNames.h), read through the same handle.
struct LocatedNames {
    LocatedTables tables;
    RomNames names;
};
std::optional<LocatedNames> LocateRomTablesAndNames(const std::string& romPath);

// The three tables of `romPath` at `places`, read through one open handle; nothing after a
// reported failure.
std::optional<TableValues> ReadTables(const std::string& romPath, const TablePlaces& places);

// The three tables of `romPath` at `places` and their proof, read through one open handle;
// nothing after a reported failure, or when the file no longer holds the release of `places`.
struct CheckedTables {
    TableValues values;
    SelfCheckResult check;
};
std::optional<CheckedTables> ReadCheckedTables(const std::string& romPath,
                                               const TablePlaces& places);

struct ExportOptions {
    // Export a real cartridge image whose tables do not lie where its release keeps them (its
    // CSV would hold whatever lies at those places), with a warning.
    bool force = false;
    // Asked with the self-check's findings about such an image when `force` is not set; true
    // exports it all the same. No function: it is refused.
    std::function<bool(const std::string& question)> confirmModified;
    // Where the CSV goes when that is no named file (standard output that is a file): refused,
    // nothing exported, when it is the ROM itself.
    const FileIdentity* output = nullptr;
    // Name the moves and species as the ROM holds them rather than as the lists spell them.
    bool romNames = false;
};

// The CSV of `romPath`, or nothing after a reported failure or refusal. A real cartridge image
// that fails the self-check is refused with the findings unless `options` say otherwise.
std::optional<std::string> ExportTables(const std::string& romPath,
                                        const ExportOptions& options = {});

// Writes `csv` to `csvPath`, creating or replacing that one file and nothing else: the text
// goes to a new file beside it that is then renamed over it, so a failure leaves the old file
// as it was. Refuses a path that reaches the ROM itself by any route, and one that names a
// folder, FIFO or device. False after a reported failure.
[[nodiscard]] bool WriteCsvFile(const std::string& csvPath, const std::string& csv,
                                const std::string& romPath);

// Writes `bytes` to `path` through ReplaceFileContents (a new file beside it renamed over it),
// refusing a path that reaches any of `roms`, and reports a refusal (`isRomText` for a ROM)
// or failure, naming the file. False after a report; the file of that name is then as it was.
[[nodiscard]] bool ReplaceFileBesideRoms(const std::string& path,
                                         std::span<const std::uint8_t> bytes,
                                         std::span<const FileIdentity> roms,
                                         const std::string& isRomText);

// ExportTables and WriteCsvFile in one, the ROM protected by the identity of the very handle
// the tables were read through. False after a reported failure or refusal.
[[nodiscard]] bool ExportTablesToFile(const std::string& romPath, const std::string& csvPath,
                                      const ExportOptions& options = {});

// At most kMaxCsvBytes of `csvPath`, read through one handle opened without waiting: a FIFO,
// device or folder is refused at once, a larger file before it is read, an empty one as well.
// Nothing after a reported failure.
std::optional<std::string> ReadCsvFile(const std::string& csvPath);

// Asked before writing a change the game cannot use; true writes it all the same.
using ImportQuestion = std::function<bool(const std::string& question)>;

struct ImportOptions {
    bool dryRun = false;     // work everything out and report it, write nothing
    ImportQuestion confirm;  // no function: such a change is refused
    // Asked with the plan once the CSV and the ROM have passed every check, before anything is
    // written; false writes nothing. No function: the plan is written without asking.
    std::function<bool(const ImportPlan& plan)> confirmChanges;
    // Asked when the ROM's tables changed while a question was open: what changed, then the
    // plan worked out anew from what the file holds now; true goes on (and the game's rules
    // are asked about again where they apply). No function: such an import is refused.
    std::function<bool(const std::string& whatChanged, const ImportPlan& plan)> confirmAgain;
    // The tables as the caller read them earlier and built its values on (the table editor's
    // values as read). Where the file now holds something else and the plan would write over
    // it, `confirmOverwrite` is asked with the changes made elsewhere that the write undoes
    // and with every change made elsewhere (both from `expectedCurrent` to what the file
    // holds); false or no function writes nothing. Null: nothing is compared.
    const TableValues* expectedCurrent = nullptr;
    std::function<bool(const ImportPlan& overwritten, const ImportPlan& changedElsewhere)>
        confirmOverwrite;
    // Asked first when the ROM is marked read-only; true makes it writable. No function: such
    // a ROM is refused (the command line).
    std::function<bool(const std::string& question)> confirmMakeWritable;
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
    // What the plan brings about that the game cannot use (real cartridge images only): an
    // import asks about it, a dry run only reports it.
    std::vector<GameRuleBreach> breaches;
};

// Reads and checks the whole CSV against the ROM, then writes only the bytes whose value
// changes. A real cartridge image whose tables do not lie where its release keeps them is
// refused, and a change the game cannot use is asked about first. The ROM is opened once and
// locked (not for a dry run) from the first check to the last write; after the questions the
// tables and the self-check are read again through that handle, and a change made meanwhile
// is asked about again (confirmAgain) or refused. Reports the outcome once.
ImportResult ImportTables(const std::string& romPath, const std::string& csvPath,
                          const ImportOptions& options);

// What a write of the tables makes of the values the file holds now: the values to write, or
// nothing (after reporting why) to write nothing.
using TablesTarget = std::function<std::optional<TableValues>(const TableValues& current)>;

// The one way the three tables are written, shared by the import and the table editor: opens
// `romPath` once and takes its lock, checks it is still the release of `places`, reads the
// tables and their proof through that handle (the game's code must still lead to `places`),
// refuses a real cartridge image whose tables fail it, plans the bytes from what the file holds to
// what `makeTarget` asks for, asks the questions of `options` and the game's rules, reads
// everything again after them, and writes only the bytes whose value changes. Reports the outcome
// once.
ImportResult WriteTablesPlan(const std::string& romPath, const TablePlaces& places,
                             const TablesTarget& makeTarget, const ImportOptions& options);

// Opens `romPath` into `rom` (for writing through OpenRomForWriting, with its lock) and
// identifies it through that handle: a supported game code in its header. Reports why not,
// naming the file, and gives nullptr.
const RomProfile* OpenSupportedRom(const std::string& romPath, OpenFile::Access access,
                                   OpenFile& rom);

// Where the tables of `romPath` lie and what they hold, read through `rom`, which stays open
// for whatever else the caller reads of the same file. Nothing after a reported failure.
struct LocatedValues {
    LocatedTables located;
    TableValues values;
};
std::optional<LocatedValues> ReadLocatedTables(const std::string& romPath, OpenFile& rom);

// Asked before a write into a ROM that is marked read-only, with the question; true makes it
// writable and goes on. The windows ask the user; the command line asks no one.
using MakeWritableQuestion = std::function<bool(const std::string& question)>;

// "“x.gbc” is marked read-only. Make it writable and save?"
std::string MakeWritableText(const std::string& romPath);

// Opens `romPath` for reading and writing and takes its lock, waiting RomLockWait() for
// another program's: the first step of every write into a ROM. A file its owner marked
// read-only answers ReadOnly, whoever runs the program, unless `makeWritable` is given and
// says yes: then the owner's write bit (on Windows the read-only attribute) is set and the file
// opened; a no answers DeclinedMakeWritable, which needs no message. Another holder of the
// lock answers Busy.
[[nodiscard]] std::error_code OpenRomForWriting(const std::string& romPath, OpenFile& rom,
                                                const MakeWritableQuestion& makeWritable = {});

// What the file holds after another program cut it short while this program wrote `length`
// bytes at `offset` through `rom` (OpenFile::WriteAt's CutWhileWriting): the size before and
// after, where the cut fell as far as the file's bytes show, and which bytes hold what.
std::string DescribeCutWhileWriting(const OpenFile& rom, std::int64_t offset, std::size_t length,
                                    std::uint64_t sizeBefore);

// How long a writer waits for another program's lock on the ROM before it gives up; tests
// shorten it.
std::chrono::milliseconds RomLockWait();
void SetRomLockWait(std::chrono::milliseconds wait);

// The one place that puts planned bytes into a ROM, for the import and for any window that
// edits the tables: opens `romPath` once for writing, takes its lock (waiting a bounded time
// for another program's), checks through that handle that it is still the release of `places`,
// that a real cartridge image passes the self-check, and that every changed byte still holds
// its `before` value; then writes the runs of changed bytes (each only while the ROM's path
// still reaches the handle, never past the file's end), flushes once, and checks the size
// after. Anything else is reported, saying what the file now holds, and is no success.
[[nodiscard]] ImportStatus ApplyImportPlan(const std::string& romPath, const TablePlaces& places,
                                           const ImportPlan& plan);

// Writes `changes` (in ascending offset order) through `rom`, opened by OpenRomForWriting and
// checked by the caller, as ApplyImportPlan writes a plan: each run only while the ROM's path
// still reaches the handle, one flush, the size checked, the handle closed. `summary` names
// what is written in the message about a file changed meanwhile, `writeAgain` what writes the
// rest after a failure part of the way. False after a reported failure, with what the file now
// holds.
[[nodiscard]] bool WriteChangesThrough(OpenFile& rom, std::span<const ByteChange> changes,
                                       const std::string& summary, const std::string& writeAgain);

}  // namespace brindlewick
