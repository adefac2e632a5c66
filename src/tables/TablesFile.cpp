#include "tables/TablesFile.h"

#include <algorithm>
#include <array>
#include <span>
#include <system_error>
#include <vector>

#include "convert/HexDigits.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/OpenFile.h"
#include "rom/GameRules.h"
#include "rom/RomNameMatching.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "rom/TableLocation.h"
#include "tables/TablesCsv.h"

namespace brindlewick {
namespace {

constexpr std::int32_t kBaseStatsBlockLength = kSpeciesRecordSize * kSpeciesCount;

// The item records from TM01's to HM07's, the dummies' among them.
std::int32_t PriceBlockLength(const TablePlaces& places) {
    return kPriceRecordSize * MachineRecordSpan(places);
}

// How often an import asks again about a file that keeps changing while it asks.
constexpr int kMaxQuestionRounds = 3;

// How many runs of changed bytes are written between two looks at whether the ROM's path
// still reaches the handle being written.
constexpr std::size_t kRunsPerPathCheck = 32;

std::chrono::milliseconds g_lockWait = kLockWait;

void ReportAbout(const std::string& fileName, const std::string& text,
                 MessageIcon icon = MessageIcon::Error) {
    ShowMessage(fileName + ": " + text, icon);
}

// The three tables from their blocks: the move list, the price records from TM01's and the
// base-stats records, each beginning at its table's first byte.
TableValues DecodeTables(const TablePlaces& places, std::span<const std::uint8_t> moves,
                         std::span<const std::uint8_t> prices,
                         std::span<const std::uint8_t> baseStats) {
    TableValues values;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const auto k = static_cast<std::size_t>(machine);
        values.moves[k] = moves[k];
        const auto at = static_cast<std::size_t>(PriceOffset(places, machine) - places.tm01Record);
        // Low byte first.
        values.prices[k] = static_cast<std::uint16_t>(prices[at] | (prices[at + 1] << 8));
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
            values.fields[static_cast<std::size_t>(species)][static_cast<std::size_t>(fieldByte)] =
                baseStats[static_cast<std::size_t>(CompatibilityByteOffset(0, species, fieldByte))];
        }
    }
    return values;
}

// What an operation reads of the ROM through its one handle: the tables and the self-check,
// both of the same bytes.
struct RomSnapshot {
    TableValues values;
    SelfCheckResult check;
};

// Opens `romPath` for reading and writing, refusing a file its owner marked read-only.
std::error_code OpenWritableRom(const std::string& romPath, OpenFile& rom) {
    if (auto error = rom.Open(romPath, OpenFile::Access::ReadWrite)) {
        // A file its owner marked read-only is named so.
        FileFacts facts;
        if (error == std::errc::permission_denied && !StatPath(romPath, facts) && facts.regular &&
            !facts.ownerWritable) {
            return MakeErrorCode(FileFailure::ReadOnly);
        }
        return error;
    }
    // The permission bits are checked rather than trusting the open: an administrator's open
    // succeeds on a file its owner marked read-only.
    if (!rom.Facts().ownerWritable) {
        static_cast<void>(rom.Close());
        return MakeErrorCode(FileFailure::ReadOnly);
    }
    return {};
}

// Opens `romPath` and identifies it through the handle: a supported game code in its header
// and a file long enough for that release's tables. Reports why not, naming the file, and
// gives nullptr.
const RomProfile* OpenAndIdentify(const std::string& romPath, OpenFile::Access access,
                                  OpenFile& rom, const MakeWritableQuestion& makeWritable = {}) {
    const auto error = access == OpenFile::Access::ReadWrite
                           ? OpenRomForWriting(romPath, rom, makeWritable)
                           : rom.Open(romPath, access);
    if (error == MakeErrorCode(FileFailure::DeclinedMakeWritable)) {
        return nullptr;  // the user said no: nothing to tell
    }
    if (error) {
        // What stands in the way of writing is told as a failure to write, with its way out.
        const bool writing = error == MakeErrorCode(FileFailure::Busy) ||
                             error == MakeErrorCode(FileFailure::ReadOnly) ||
                             error == std::errc::permission_denied;
        ReportFileFailure(
            writing && access == OpenFile::Access::ReadWrite ? FileAction::Write : FileAction::Open,
            romPath, error);
        return nullptr;
    }
    if (rom.Facts().size < static_cast<std::uint64_t>(kGameCodeOffset + kGameCodeLength)) {
        ReportAbout(romPath, "Unsupported ROM: the file is too short for a cartridge header");
        return nullptr;
    }
    std::array<std::uint8_t, kGameCodeLength> code{};
    if (const auto error = rom.ReadAt(kGameCodeOffset, code)) {
        ReportFileFailure(FileAction::Read, romPath, error);
        return nullptr;
    }
    const RomProfile* profile = Identify(std::string(code.begin(), code.end()));
    if (profile == nullptr) {
        ReportAbout(romPath, "Unsupported ROM: no supported release has this game code");
        return nullptr;
    }
    return profile;
}

// OpenAndIdentify, then where the file keeps its tables (reported on failure): the release's
// places or those the game's code leads to, for a file long enough for them.
std::optional<LocatedTables> OpenAndLocate(const std::string& romPath, OpenFile::Access access,
                                           OpenFile& rom,
                                           const MakeWritableQuestion& makeWritable = {}) {
    const RomProfile* profile = OpenAndIdentify(romPath, access, rom, makeWritable);
    if (profile == nullptr) {
        return std::nullopt;
    }
    auto located = LocateTables(rom, *profile);
    if (located && rom.Facts().size < static_cast<std::uint64_t>(TablesEnd(located->places))) {
        ReportAbout(romPath, MakeErrorCode(FileFailure::FileTooShort).message());
        return std::nullopt;
    }
    return located;
}

// Reads the tables and their proof through `rom`, as the file is now. A failure, or a file
// that no longer holds the release of `places`, is reported and gives nothing.
std::optional<RomSnapshot> ReadRomSnapshot(const OpenFile& rom, const TablePlaces& places) {
    const std::string& romPath = rom.FileName();
    std::array<std::uint8_t, kGameCodeLength> code{};
    std::vector<std::uint8_t> moves(kMachineCount);
    std::vector<std::uint8_t> prices(static_cast<std::size_t>(PriceBlockLength(places)));
    std::vector<std::uint8_t> baseStats(kBaseStatsBlockLength);
    const FileBlock blocks[] = {{kGameCodeOffset, code},
                                {places.moves, moves},
                                {places.tm01Record, prices},
                                {places.baseStats, baseStats}};
    if (auto error = rom.ReadBlocks(blocks)) {
        if (error == MakeErrorCode(FileFailure::ReadPastEnd)) {
            error = MakeErrorCode(FileFailure::FileTooShort);
        }
        ReportFileFailure(FileAction::Read, romPath, error);
        return std::nullopt;
    }
    // Another program may have written a different image into the file since it was
    // identified.
    if (Identify(std::string(code.begin(), code.end())) != places.release) {
        ReportFileFailure(FileAction::Read, romPath, MakeErrorCode(FileFailure::RomReplaced));
        return std::nullopt;
    }
    RomSnapshot snapshot;
    snapshot.values = DecodeTables(places, moves, prices, baseStats);
    snapshot.check = CheckRomTables(rom, places);
    if (snapshot.check.readFailed) {
        return std::nullopt;
    }
    return snapshot;
}

std::string HexOffset(std::int32_t offset) {
    return "0x" + HexText(static_cast<std::uint32_t>(offset), 6);
}

std::string Bytes(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

// What the file holds after a write of `changes` failed: `written` of them, the first ones in
// file order, hold their new values; `writeAgain` says what writes the rest.
std::string DescribePartialImport(std::span<const ByteChange> changes, std::size_t written,
                                  bool flushFailed, const std::string& writeAgain) {
    const std::size_t total = changes.size();
    if (flushFailed) {
        return "Every changed byte was written, but they may not all have reached the disk.";
    }
    if (written == 0) {
        return "Nothing was written; the file is as it was.";
    }
    if (written == total) {
        return "Every changed byte was written.";
    }
    return "Only " + std::to_string(written) + " of the " + std::to_string(total) +
           " changed bytes were written: the file holds the new values up to offset " +
           HexOffset(changes[written - 1].offset) + " and the old ones from " +
           HexOffset(changes[written].offset) + " on." +
           (writeAgain.empty() ? std::string() : " " + writeAgain);
}

// The size of the file now, as told after the writes; `fallback` when it cannot be asked.
std::uint64_t SizeNow(const OpenFile& rom, std::uint64_t fallback) {
    FileFacts facts;
    return rom.Inspect(facts) ? fallback : facts.size;
}

// What another program did to the file's size while the writes went on, or "" when nothing.
std::string DescribeSizeChange(std::uint64_t before, std::uint64_t after) {
    if (before == after) {
        return {};
    }
    return std::string("While it was being written, another program ") +
           (after < before ? "cut the file short" : "made the file longer") + ": it held " +
           Bytes(before) + " before and holds " + Bytes(after) + " now.";
}

// Puts `changes` into the file through `rom`, which the caller has locked and checked; `summary`
// says what they are ("2 machines and 1 species: 5 bytes"), `writeAgain` what writes the rest
// after a failure part of the way ("Importing the same CSV again writes the rest."; empty for
// none). Neighbouring changed bytes go in one write; each write happens only while the ROM's
// path still reaches the handle. One flush after the last write; then the size is checked on
// the handle, and the handle closed. Stops at the first failure and reports it with what the
// file now holds.
bool WriteChanges(OpenFile& rom, std::span<const ByteChange> changes, const std::string& summary,
                  const std::string& writeAgain) {
    const std::string& romPath = rom.FileName();
    struct Run {
        std::int32_t offset;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Run> runs;
    for (const ByteChange& change : changes) {
        if (runs.empty() || change.offset != runs.back().offset + static_cast<std::int32_t>(
                                                                      runs.back().bytes.size())) {
            runs.push_back({change.offset, {}});
        }
        runs.back().bytes.push_back(change.after);
    }
    const std::uint64_t sizeBefore = SizeNow(rom, rom.Facts().size);
    std::size_t written = 0;
    auto fail = [&](const std::error_code& error, bool flushFailed) {
        // A file cut short holds no rest to write: writing again would be refused.
        const std::uint64_t sizeAfter = SizeNow(rom, sizeBefore);
        std::string more = DescribePartialImport(changes, written, flushFailed,
                                                 sizeAfter < sizeBefore ? "" : writeAgain);
        if (const std::string sized = DescribeSizeChange(sizeBefore, sizeAfter); !sized.empty()) {
            more += ' ' + sized;
        }
        if (error == MakeErrorCode(FileFailure::OtherFileInPlace) && written > 0) {
            more +=
                " (This is in the file the import opened, which that name no longer reaches; "
                "the file now there was not written.)";
        }
        ReportFileFailure(FileAction::Write, romPath, error, more);
        return false;
    };
    // A file renamed or copied over the ROM's path is not the one the user asked to change:
    // the path must reach the handle before the first write, after every group of
    // kRunsPerPathCheck runs and after the last, and the writes stop as soon as it does not.
    // What was written went into the file the import opened (locked, and never extended: each
    // write checks the size on the handle), and is told as such. One look at the path per
    // group rather than per run keeps a save of thousands of scattered bits near the cost of
    // its writes.
    auto stillAtPath = [&]() -> std::error_code {
        FileFacts atPath;
        if (auto error = StatPath(romPath, atPath)) {
            return error;
        }
        return atPath.identity == rom.Facts().identity
                   ? std::error_code()
                   : MakeErrorCode(FileFailure::OtherFileInPlace);
    };
    if (auto error = stillAtPath()) {
        return fail(error, false);
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& run = runs[i];
        if (auto error = rom.WriteAt(run.offset, run.bytes)) {
            if (error == MakeErrorCode(FileFailure::CutWhileWriting)) {
                ReportFileFailure(
                    FileAction::Write, romPath, error,
                    DescribeCutWhileWriting(rom, run.offset, run.bytes.size(), sizeBefore));
                return false;
            }
            return fail(error, false);
        }
        written += run.bytes.size();
        const bool groupDone = (i + 1) % kRunsPerPathCheck == 0 || i + 1 == runs.size();
        if (groupDone) {
            if (auto error = stillAtPath()) {
                return fail(error, false);
            }
        }
    }
    // Success is claimed only for bytes on the disk.
    if (auto error = rom.Flush()) {
        return fail(error, true);
    }
    const std::uint64_t sizeAfter = SizeNow(rom, sizeBefore);
    if (const std::string sized = DescribeSizeChange(sizeBefore, sizeAfter); !sized.empty()) {
        ReportAbout(romPath, "changed " + summary + ", but the file was not left alone: " + sized +
                                 " Check it before using it.");
        return false;
    }
    // The lock is let go, and the close heard, before success is told: some file systems
    // report a failed write only at the close, and the file must not stay locked while the
    // window's message is open.
    if (auto error = rom.Close()) {
        return fail(error, true);
    }
    return true;
}

bool WritePlanThrough(OpenFile& rom, const ImportPlan& plan, const std::string& writeAgain) {
    return WriteChanges(rom, plan.changes, SummarizePlan(plan), writeAgain);
}

// The tables changed by another program while a question was open, in the plan's words.
std::string DescribeChangeWhileAsking(const std::string& romPath, const TablePlaces& places,
                                      const TableValues& before, const TableValues& now) {
    const ImportPlan changed = PlanImport(places, before, now);
    std::string text = "\u201C" + DisplayName(romPath) +
                       "\u201D was changed by another program while the question was open: " +
                       SummarizePlan(changed) + ".";
    constexpr std::size_t kListed = 10;
    for (std::size_t i = 0; i < changed.details.size() && i < kListed; ++i) {
        text += '\n' + changed.details[i];
    }
    if (changed.details.size() > kListed) {
        text += "\n\u2026 and " + std::to_string(changed.details.size() - kListed) + " more";
    }
    return text;
}

// The CSV and the release of an export, with the handle the tables were read through.
std::optional<std::string> ExportThrough(OpenFile& rom, const std::string& romPath,
                                         const ExportOptions& options) {
    const auto located = OpenAndLocate(romPath, OpenFile::Access::Read, rom);
    if (!located) {
        return std::nullopt;
    }
    if (options.output != nullptr && *options.output == rom.Facts().identity) {
        ReportAbout(romPath,
                    "standard output is the ROM itself; nothing was written. Send the "
                    "CSV to another file.");
        return std::nullopt;
    }
    const auto snapshot = ReadRomSnapshot(rom, located->places);
    if (!snapshot) {
        return std::nullopt;
    }
    // The CSV of a modified game whose tables cannot be proved would hold whatever lies where
    // they were looked for, and importing it anywhere would spread that.
    if (!snapshot->check.SafeToWrite()) {
        const std::string findings = DescribeRefusal(located->places, snapshot->check);
        if (options.force) {
            ReportAbout(romPath,
                        findings +
                            "\nExported all the same (--force): the CSV holds what lies "
                            "at those places, which may not be the game's tables.",
                        MessageIcon::Error);
        } else if (!(options.confirmModified &&
                     options.confirmModified(findings +
                                             "\n\nIts CSV would hold what lies at those "
                                             "places, which may not be the game's tables. Export "
                                             "all the same?"))) {
            if (!options.confirmModified) {
                ReportAbout(romPath,
                            findings + "\nNothing exported; --force exports it all the same.");
            }
            return std::nullopt;
        }
    }
    if (options.romNames) {
        const auto names = ReadRomNames(rom, *located);
        if (!names) {
            return std::nullopt;
        }
        if (const std::string fallback = DescribeNamesFallback(*names); !fallback.empty()) {
            ReportAbout(romPath, fallback, MessageIcon::Information);
        }
        return ExportCsv(snapshot->values, *names);
    }
    return ExportCsv(snapshot->values);
}

// Writes the CSV through ReplaceFileContents and reports a refusal or failure.
bool ReplaceCsv(const std::string& csvPath, const std::string& csv, const FileIdentity* rom) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(csv.data());
    return ReplaceFileBesideRoms(
        csvPath, {bytes, csv.size()},
        rom == nullptr ? std::span<const FileIdentity>() : std::span<const FileIdentity>(rom, 1),
        "this is the ROM itself; the tables are written to another file");
}

// The changes made elsewhere, from `expected` (what the caller read) to `current` (what the
// file holds now), that writing `target` would undo: those where the plan writes. Bytes the
// plan leaves alone keep the other program's change and are not listed.
ImportPlan ChangesOverwritten(const TablePlaces& places, const TableValues& expected,
                              const TableValues& current, const TableValues& target) {
    TableValues undone = current;
    for (std::size_t k = 0; k < undone.moves.size(); ++k) {
        if (target.moves[k] != current.moves[k]) {
            undone.moves[k] = expected.moves[k];
        }
        if (target.prices[k] != current.prices[k]) {
            undone.prices[k] = expected.prices[k];
        }
    }
    // Bit by bit: a write of a machine's bit undoes nothing in the bits beside it (the move
    // tutor's among them) that it leaves as the file holds them.
    for (std::size_t s = 0; s < undone.fields.size(); ++s) {
        for (std::size_t j = 0; j < undone.fields[s].size(); ++j) {
            const auto written =
                static_cast<std::uint8_t>(target.fields[s][j] ^ current.fields[s][j]);
            undone.fields[s][j] = static_cast<std::uint8_t>((current.fields[s][j] & ~written) |
                                                            (expected.fields[s][j] & written));
        }
    }
    return PlanImport(places, undone, current);
}

// The steps every write of the tables shares, through `rom` (open, identified as the release of
// `places`, locked when it is to be written): reads the tables and their proof, asks
// `makeTarget` for the values to write, refuses a real cartridge image whose tables fail it,
// plans, asks the questions, reads everything again after them, and writes only the bytes whose
// value changes. Reports the outcome once. `writeAgain` is what writes the rest after a failure
// part of the way.
ImportResult WriteTablesThrough(OpenFile& rom, const TablePlaces& places,
                                const TablesTarget& makeTarget, const ImportOptions& options,
                                const std::string& writeAgain) {
    ImportResult result;
    const std::string& romPath = rom.FileName();
    const RomProfile& profile = *places.release;
    auto snapshot = ReadRomSnapshot(rom, places);
    if (!snapshot) {
        return result;
    }
    const auto target = makeTarget(snapshot->values);
    if (!target) {
        result.status = ImportStatus::Refused;
        return result;
    }

    // A real cartridge image whose tables cannot be proved would be corrupted by any write.
    if (!snapshot->check.SafeToWrite()) {
        ReportAbout(romPath, DescribeRefusal(places, snapshot->check));
        result.status = ImportStatus::Refused;
        return result;
    }

    // A plan's lines are made only for a dry run or a question that shows them: a save of
    // every bit would otherwise name thousands of machines that no one reads.
    const PlanDetails listed = options.dryRun || options.confirmChanges || options.confirmAgain
                                   ? PlanDetails::Listed
                                   : PlanDetails::Counted;
    // Only conditions the import brings about are asked about, and only for real cartridge
    // images: a synthetic image is written as the tables say.
    auto plan = [&](const RomSnapshot& now) {
        result.plan = PlanImport(places, now.values, *target, listed);
        result.breaches.clear();
        if (now.check.realCartridge) {
            result.breaches = NewBreaches(profile, now.values.moves, target->moves);
        }
    };
    plan(*snapshot);
    if (result.plan.Empty()) {
        ReportAbout(romPath, "already holds these tables; nothing to change",
                    MessageIcon::Information);
        result.status = ImportStatus::Unchanged;
        return result;
    }
    if (options.dryRun) {
        std::string text = "would change " + SummarizePlan(result.plan) + "; nothing written";
        for (const std::string& detail : result.plan.details) {
            text += '\n' + detail;
        }
        if (!result.breaches.empty()) {
            // The description closes with the question an import would ask; a dry run asks
            // nothing.
            const std::string description = DescribeBreaches(result.breaches);
            text += '\n' + description.substr(0, description.rfind("\n\n")) +
                    "\nAn import asks before writing this.";
        }
        ReportAbout(romPath, text, MessageIcon::Information);
        result.status = ImportStatus::DryRun;
        return result;
    }

    // A caller that read the tables earlier (the table editor) is asked before a change made
    // since then by another program is written over.
    bool asked = false;
    if (options.expectedCurrent != nullptr) {
        const ImportPlan overwritten =
            ChangesOverwritten(places, *options.expectedCurrent, snapshot->values, *target);
        if (!overwritten.Empty()) {
            asked = true;
            if (!(options.confirmOverwrite &&
                  options.confirmOverwrite(overwritten, PlanImport(places, *options.expectedCurrent,
                                                                   snapshot->values)))) {
                result.status = ImportStatus::Refused;
                return result;
            }
        }
    }
    // Nothing is written over a change made while a question was open: after the questions
    // the tables and their proof are read again through the handle that writes, and a change
    // is asked about anew (or refused where no one can be asked). Where nothing was asked, the
    // tables were read right before, under the lock: there is nothing to read again.
    std::string whatChanged;
    for (int round = 0;; ++round) {
        asked = asked || !whatChanged.empty() || options.confirmChanges;
        const bool goOn = whatChanged.empty()
                              ? !options.confirmChanges || options.confirmChanges(result.plan)
                              : options.confirmAgain(whatChanged, result.plan);
        if (!goOn) {
            result.status = ImportStatus::Refused;
            return result;
        }
        if (!result.breaches.empty()) {
            asked = true;
            if (!(options.confirm && options.confirm(DescribeBreaches(result.breaches)))) {
                result.status = ImportStatus::Refused;
                return result;
            }
        }
        if (!asked) {
            break;
        }
        auto now = ReadRomSnapshot(rom, places);
        if (!now) {
            return result;
        }
        if (!now->check.SafeToWrite()) {
            ReportAbout(romPath, "changed while the question was open.\n" +
                                     DescribeRefusal(places, now->check));
            result.status = ImportStatus::Refused;
            return result;
        }
        if (now->values == snapshot->values) {
            break;
        }
        whatChanged = DescribeChangeWhileAsking(romPath, places, snapshot->values, now->values);
        snapshot = std::move(now);
        plan(*snapshot);
        if (!options.confirmAgain || round + 1 >= kMaxQuestionRounds) {
            ReportAbout(romPath, whatChanged +
                                     "\nNothing was written; import again to go by what it "
                                     "holds now.");
            result.status = ImportStatus::Refused;
            return result;
        }
        if (result.plan.Empty()) {
            ReportAbout(romPath, whatChanged + "\nIt now holds these tables; nothing to change.",
                        MessageIcon::Information);
            result.status = ImportStatus::Unchanged;
            return result;
        }
    }

    if (!WritePlanThrough(rom, result.plan, writeAgain)) {
        return result;
    }
    ReportAbout(romPath, "changed " + SummarizePlan(result.plan), MessageIcon::Information);
    result.status = ImportStatus::Written;
    return result;
}

}  // namespace

bool ReplaceFileBesideRoms(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::span<const FileIdentity> roms, const std::string& isRomText) {
    const std::error_code error = ReplaceFileContents(path, bytes, roms);
    if (!error) {
        return true;
    }
    if (error == MakeErrorCode(FileFailure::TargetIsRom)) {
        ReportAbout(path, isRomText);
    } else {
        ReportFileFailure(FileAction::Write, path, error,
                          "Nothing was written; a file of that name is as it was.");
    }
    return false;
}

const RomProfile* OpenSupportedRom(const std::string& romPath, OpenFile::Access access,
                                   OpenFile& rom) {
    return OpenAndIdentify(romPath, access, rom);
}

bool WriteChangesThrough(OpenFile& rom, std::span<const ByteChange> changes,
                         const std::string& summary, const std::string& writeAgain) {
    return WriteChanges(rom, changes, summary, writeAgain);
}

std::optional<LocatedValues> ReadLocatedTables(const std::string& romPath, OpenFile& rom) {
    auto located = OpenAndLocate(romPath, OpenFile::Access::Read, rom);
    if (!located) {
        return std::nullopt;
    }
    auto snapshot = ReadRomSnapshot(rom, located->places);
    if (!snapshot) {
        return std::nullopt;
    }
    return LocatedValues{std::move(*located), std::move(snapshot->values)};
}

std::string MakeWritableText(const std::string& romPath) {
    return "\u201C" + DisplayName(romPath) +
           "\u201D is marked read-only. Make it writable and save?";
}

std::error_code OpenRomForWriting(const std::string& romPath, OpenFile& rom,
                                  const MakeWritableQuestion& makeWritable) {
    std::error_code error = OpenWritableRom(romPath, rom);
    // Only the user's yes clears the mark, and only the owner's write bit (on Windows the
    // read-only attribute): the other attributes stay as they are.
    if (error == MakeErrorCode(FileFailure::ReadOnly) && makeWritable) {
        if (!makeWritable(MakeWritableText(romPath))) {
            return MakeErrorCode(FileFailure::DeclinedMakeWritable);
        }
        if (auto madeWritable = MakeWritable(romPath)) {
            return madeWritable;
        }
        error = OpenWritableRom(romPath, rom);
    }
    if (error) {
        return error;
    }
    // Held from the check to the last write: a second writer waits, then refuses.
    if (auto lockError = rom.Lock(g_lockWait)) {
        static_cast<void>(rom.Close());
        return lockError;
    }
    return {};
}

std::string DescribeCutWhileWriting(const OpenFile& rom, std::int64_t offset, std::size_t length,
                                    std::uint64_t sizeBefore) {
    const std::uint64_t sizeNow = SizeNow(rom, sizeBefore);
    const auto end = static_cast<std::uint64_t>(offset) + length;
    const std::string wrote =
        Bytes(length) + " at offset " + HexOffset(static_cast<std::int32_t>(offset));
    std::string text = "While this program wrote " + wrote +
                       ", another program cut the file short: it held " + Bytes(sizeBefore) +
                       " before";
    if (sizeNow != end) {
        // Cut to a length past this write: nothing was extended.
        return text + " and holds " + Bytes(sizeNow) +
               " now, this program's bytes among them; the ROM's last " +
               Bytes(sizeBefore - sizeNow) + " are gone. Restore it from a backup.";
    }
    // The write ended the file, so the cut fell before its end, and where it fell before the
    // write, the write extended the file with zeros up to its offset: the zeros right before
    // the offset show where the cut fell, as far as the bytes can tell.
    std::vector<std::uint8_t> before(static_cast<std::size_t>(offset));
    std::uint64_t cut = static_cast<std::uint64_t>(offset);
    if (!rom.ReadAt(0, before)) {
        while (cut > 0 && before[static_cast<std::size_t>(cut - 1)] == 0) {
            --cut;
        }
    }
    text += "; ";
    if (cut < static_cast<std::uint64_t>(offset)) {
        text += "it was cut to " + Bytes(cut) + " (as far as its bytes show), and ";
    }
    text += "this program's write then made it " + Bytes(sizeNow) +
            " long. It now holds the ROM's bytes before offset " +
            HexOffset(static_cast<std::int32_t>(cut));
    if (cut < static_cast<std::uint64_t>(offset)) {
        text +=
            ", zeros from there up to the write, which the system put where the file had "
            "been cut";
    }
    return text + ", the " + wrote +
           " this program wrote, and nothing after them: the ROM's last " +
           Bytes(sizeBefore - sizeNow) + " are gone. Restore it from a backup.";
}

std::chrono::milliseconds RomLockWait() {
    return g_lockWait;
}

void SetRomLockWait(std::chrono::milliseconds wait) {
    g_lockWait = wait;
}

const RomProfile* IdentifyRomFile(const std::string& romPath) {
    OpenFile rom;
    return OpenAndIdentify(romPath, OpenFile::Access::Read, rom);
}

std::optional<LocatedTables> LocateRomTables(const std::string& romPath) {
    OpenFile rom;
    return OpenAndLocate(romPath, OpenFile::Access::Read, rom);
}

std::optional<LocatedNames> LocateRomTablesAndNames(const std::string& romPath) {
    OpenFile rom;
    auto located = OpenAndLocate(romPath, OpenFile::Access::Read, rom);
    if (!located) {
        return std::nullopt;
    }
    auto names = ReadRomNames(rom, *located);
    if (!names) {
        return std::nullopt;
    }
    return LocatedNames{std::move(*located), std::move(*names)};
}

std::optional<TableValues> ReadTables(const std::string& romPath, const TablePlaces& places) {
    OpenFile rom;
    if (const auto error = rom.Open(romPath, OpenFile::Access::Read)) {
        ReportFileFailure(FileAction::Read, romPath, error);
        return std::nullopt;
    }
    std::vector<std::uint8_t> moves(kMachineCount);
    std::vector<std::uint8_t> prices(static_cast<std::size_t>(PriceBlockLength(places)));
    std::vector<std::uint8_t> baseStats(kBaseStatsBlockLength);
    const FileBlock blocks[] = {
        {places.moves, moves}, {places.tm01Record, prices}, {places.baseStats, baseStats}};
    if (const auto error = rom.ReadBlocks(blocks)) {
        ReportFileFailure(FileAction::Read, romPath, error);
        return std::nullopt;
    }
    return DecodeTables(places, moves, prices, baseStats);
}

std::optional<std::string> ExportTables(const std::string& romPath, const ExportOptions& options) {
    OpenFile rom;
    return ExportThrough(rom, romPath, options);
}

bool WriteCsvFile(const std::string& csvPath, const std::string& csv, const std::string& romPath) {
    FileFacts rom;
    const bool romFound = !StatPath(romPath, rom);
    return ReplaceCsv(csvPath, csv, romFound ? &rom.identity : nullptr);
}

bool ExportTablesToFile(const std::string& romPath, const std::string& csvPath,
                        const ExportOptions& options) {
    OpenFile rom;
    const auto csv = ExportThrough(rom, romPath, options);
    // The ROM's identity is the handle's: a path that reaches it by any route is refused.
    return csv && ReplaceCsv(csvPath, *csv, &rom.Facts().identity);
}

std::optional<std::string> ReadCsvFile(const std::string& csvPath) {
    OpenFile file;
    if (const auto error = file.Open(csvPath, OpenFile::Access::Read)) {
        ReportAbout(csvPath, error.message());
        return std::nullopt;
    }
    if (file.Facts().size > kMaxCsvBytes) {
        ReportAbout(csvPath, "the file is larger than " + std::to_string(kMaxCsvBytes / 1024) +
                                 " KB: it is no CSV of the tables (one is about 35 KB)");
        return std::nullopt;
    }
    if (file.Facts().size == 0) {
        ReportAbout(csvPath, "the file is empty");
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(file.Facts().size), '\0');
    if (const auto error =
            file.ReadAt(0, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()})) {
        ReportAbout(csvPath, error.message());
        return std::nullopt;
    }
    return text;
}

// Changes at most kVerifyGap bytes apart are checked with one read of the stretch between
// them, a stretch of at most kVerifyStretch bytes.
constexpr std::int32_t kVerifyGap = 4096;
constexpr std::int32_t kVerifyStretch = 64 * 1024;

ImportStatus ApplyImportPlan(const std::string& romPath, const TablePlaces& places,
                             const ImportPlan& plan) {
    OpenFile rom;
    const RomProfile* found = OpenAndIdentify(romPath, OpenFile::Access::ReadWrite, rom);
    if (found == nullptr) {
        return ImportStatus::Refused;
    }
    if (found != places.release) {
        ReportFileFailure(FileAction::Write, romPath, MakeErrorCode(FileFailure::RomReplaced));
        return ImportStatus::Refused;
    }
    const auto snapshot = ReadRomSnapshot(rom, places);
    if (!snapshot) {
        return ImportStatus::Failed;
    }
    if (!snapshot->check.SafeToWrite()) {
        ReportAbout(romPath, DescribeRefusal(places, snapshot->check));
        return ImportStatus::Refused;
    }
    // Every byte must still hold what the plan was worked out from: a change made since then
    // by another program is not written over.
    // The bytes are read in stretches that cover neighbouring changes (a few reads for a
    // save of every species, not one per byte).
    std::size_t differing = 0;
    std::vector<std::uint8_t> stretch;
    for (std::size_t first = 0; first < plan.changes.size();) {
        std::size_t last = first;
        while (last + 1 < plan.changes.size() &&
               plan.changes[last + 1].offset - plan.changes[last].offset <= kVerifyGap &&
               plan.changes[last + 1].offset - plan.changes[first].offset < kVerifyStretch) {
            ++last;
        }
        const std::int32_t start = plan.changes[first].offset;
        stretch.resize(static_cast<std::size_t>(plan.changes[last].offset - start + 1));
        if (const auto error = rom.ReadAt(start, stretch)) {
            ReportFileFailure(FileAction::Read, romPath, error);
            return ImportStatus::Failed;
        }
        for (std::size_t i = first; i <= last; ++i) {
            const ByteChange& change = plan.changes[i];
            differing += stretch[static_cast<std::size_t>(change.offset - start)] != change.before;
        }
        first = last + 1;
    }
    if (differing > 0) {
        ReportAbout(romPath, "changed since it was read: " + Bytes(differing) +
                                 " about to be written no longer hold what was read there. "
                                 "Nothing was written; read the file again.");
        return ImportStatus::Refused;
    }
    if (plan.Empty()) {
        return ImportStatus::Unchanged;
    }
    return WritePlanThrough(rom, plan, "Writing the same changes again writes the rest.")
               ? ImportStatus::Written
               : ImportStatus::Failed;
}

ImportResult ImportTables(const std::string& romPath, const std::string& csvPath,
                          const ImportOptions& options) {
    ImportResult result;
    OpenFile rom;
    const auto access = options.dryRun ? OpenFile::Access::Read : OpenFile::Access::ReadWrite;
    const auto located = OpenAndLocate(romPath, access, rom, options.confirmMakeWritable);
    if (!located) {
        result.status = ImportStatus::Refused;
        return result;
    }
    const auto csv = ReadCsvFile(csvPath);
    if (!csv) {
        result.status = ImportStatus::Refused;
        return result;
    }
    // The CSV may name moves and species as the ROM holds them.
    const auto names = ReadRomNames(rom, *located);
    if (!names) {
        result.status = ImportStatus::Failed;
        return result;
    }
    const GameNameMatcher matcher(*names);
    CsvProblems problems;
    const TablesTarget fromCsv = [&](const TableValues& current) -> std::optional<TableValues> {
        auto target = ParseTablesCsv(*csv, current, matcher, problems);
        if (!target) {
            const std::size_t total = problems.Total();
            ReportAbout(csvPath, std::to_string(total) + (total == 1 ? " problem" : " problems") +
                                     ", nothing imported:\n" + problems.Describe());
        }
        return target;
    };
    result = WriteTablesThrough(rom, located->places, fromCsv, options,
                                "Importing the same CSV again writes the rest.");
    result.problems = std::move(problems);
    return result;
}

ImportResult WriteTablesPlan(const std::string& romPath, const TablePlaces& places,
                             const TablesTarget& makeTarget, const ImportOptions& options) {
    ImportResult result;
    OpenFile rom;
    const auto access = options.dryRun ? OpenFile::Access::Read : OpenFile::Access::ReadWrite;
    const RomProfile* found = OpenAndIdentify(romPath, access, rom, options.confirmMakeWritable);
    if (found == nullptr) {
        result.status = ImportStatus::Refused;
        return result;
    }
    if (found != places.release) {
        ReportFileFailure(FileAction::Write, romPath, MakeErrorCode(FileFailure::RomReplaced));
        result.status = ImportStatus::Refused;
        return result;
    }
    return WriteTablesThrough(rom, places, makeTarget, options,
                              "Saving the tables again writes the rest.");
}

std::optional<CheckedTables> ReadCheckedTables(const std::string& romPath,
                                               const TablePlaces& places) {
    OpenFile rom;
    const RomProfile* found = OpenAndIdentify(romPath, OpenFile::Access::Read, rom);
    if (found == nullptr) {
        return std::nullopt;
    }
    if (found != places.release) {
        ReportFileFailure(FileAction::Read, romPath, MakeErrorCode(FileFailure::RomReplaced));
        return std::nullopt;
    }
    auto snapshot = ReadRomSnapshot(rom, places);
    if (!snapshot) {
        return std::nullopt;
    }
    return CheckedTables{snapshot->values, std::move(snapshot->check)};
}

}  // namespace brindlewick
