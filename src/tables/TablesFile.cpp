#include "tables/TablesFile.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

#include "convert/HexDigits.h"
#include "convert/HexFunctions.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/GameCode.h"
#include "rom/GameRules.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "tables/TablesCsv.h"

namespace brindlewick {
namespace {

constexpr std::int32_t kPriceBlockLength = kPriceRecordSize * (kMachineCount + 2);
constexpr std::int32_t kBaseStatsBlockLength = kSpeciesRecordSize * kSpeciesCount;

void ReportAbout(const std::string& fileName, const std::string& text,
                 MessageIcon icon = MessageIcon::Error) {
    ShowMessage(fileName + ": " + text, icon);
}

// The bytes of one block read through ReadHexBytes; nothing when the read failed (reported).
std::optional<std::vector<std::uint8_t>> ReadBlock(const std::string& fileName, std::int32_t offset,
                                                   std::int32_t length) {
    const std::string hexText = ReadHexBytes(fileName, offset, length);
    if (hexText.size() != 2 * static_cast<std::size_t>(length)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(HexDigitValue(hexText[2 * i]) * 16 +
                                             HexDigitValue(hexText[2 * i + 1]));
    }
    return bytes;
}

void ReportFailedCheck(const std::string& romPath, const SelfCheckResult& check,
                       const RomProfile& profile) {
    ReportAbout(romPath, DescribeFailedCheck(check, profile));
}

// The three tables from their blocks: the move list, the price records and the base-stats
// records, each beginning at its table's first byte.
TableValues DecodeTables(std::span<const std::uint8_t> moves, std::span<const std::uint8_t> prices,
                         std::span<const std::uint8_t> baseStats) {
    TableValues values;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const auto k = static_cast<std::size_t>(machine);
        values.moves[k] = moves[k];
        const auto at = static_cast<std::size_t>(PriceOffset(0, machine));
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

// The self-check looks a few bytes past the last machine of each table (the records after
// HM07's price, the move list's end); the snapshot holds them where the file does.
constexpr std::uint64_t kSnapshotMargin = 64;

// What an import reads of the ROM, all through one open handle, so that the tables, the
// self-check and the identity that every write checks describe the same file.
struct RomSnapshot {
    TableValues values;
    SelfCheckResult check;
    FileIdentity identity;
};

std::optional<RomSnapshot> ReadRomSnapshot(const std::string& romPath, const RomProfile& profile) {
    std::uintmax_t size = 0;
    if (const auto error = RegularFileSize(romPath, size)) {
        ReportFileFailure(FileAction::Read, romPath, error);
        return std::nullopt;
    }
    const auto tablesEnd = static_cast<std::uint64_t>(TablesEnd(profile));
    std::vector<std::uint8_t> image(
        static_cast<std::size_t>(std::min<std::uint64_t>(size, tablesEnd + kSnapshotMargin)));
    const FileBlock block{0, image};
    FileFacts facts;
    if (const auto error = ReadFileBlocks(romPath, {&block, 1}, facts)) {
        ReportFileFailure(FileAction::Read, romPath, error);
        return std::nullopt;
    }
    // Another program may have put a different file in the ROM's place since it was identified.
    const std::string gameCode(image.begin() + kGameCodeOffset,
                               image.begin() + kGameCodeOffset + kGameCodeLength);
    if (image.size() < tablesEnd || Identify(gameCode) != &profile) {
        ReportFileFailure(FileAction::Read, romPath, MakeErrorCode(FileFailure::RomReplaced));
        return std::nullopt;
    }
    const std::span<const std::uint8_t> bytes(image);
    RomSnapshot snapshot;
    snapshot.values = DecodeTables(
        bytes.subspan(static_cast<std::size_t>(profile.TmMovesOffset), kMachineCount),
        bytes.subspan(static_cast<std::size_t>(profile.TmPricesOffset), kPriceBlockLength),
        bytes.subspan(static_cast<std::size_t>(profile.BaseStatsOffset), kBaseStatsBlockLength));
    snapshot.check = CheckRomTables(bytes, profile);
    snapshot.identity = facts.identity;
    return snapshot;
}

std::string HexOffset(std::int32_t offset) {
    return "0x" + HexText(static_cast<std::uint32_t>(offset), 6);
}

// What the file holds after a write of the plan failed: `written` of its changed bytes, the
// first ones in file order, hold their new values.
std::string DescribePartialImport(const ImportPlan& plan, std::size_t written, bool flushFailed) {
    const std::size_t total = plan.changes.size();
    if (flushFailed) {
        return "Every changed byte was written, but they may not all have reached the disk.";
    }
    if (written == 0) {
        return "Nothing was written; the file is as it was.";
    }
    return "Only " + std::to_string(written) + " of the " + std::to_string(total) +
           " changed bytes were written: the file holds the new values up to offset " +
           HexOffset(plan.changes[written - 1].offset) + " and the old ones from " +
           HexOffset(plan.changes[written].offset) +
           " on. Importing the same CSV again writes the rest.";
}

// The changes made elsewhere, from `expected` (what the caller read) to `current` (what the
// file holds now), that writing `target` would undo: those where the plan writes. Bytes the
// plan leaves alone keep the other program's change and are not listed.
ImportPlan ChangesOverwritten(const RomProfile& profile, const TableValues& expected,
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
    for (std::size_t s = 0; s < undone.fields.size(); ++s) {
        for (std::size_t j = 0; j < undone.fields[s].size(); ++j) {
            if (target.fields[s][j] != current.fields[s][j]) {
                undone.fields[s][j] = expected.fields[s][j];
            }
        }
    }
    return PlanImport(profile, undone, current);
}

}  // namespace

const RomProfile* IdentifyRomFile(const std::string& romPath) {
    std::string gameCode;
    switch (ReadGameCode(romPath, gameCode)) {
        case GameCodeRead::Failed:
            return nullptr;
        case GameCodeRead::TooShort:
            ReportAbout(romPath, "Unsupported ROM: the file is too short for a cartridge header");
            return nullptr;
        case GameCodeRead::Read:
            break;
    }
    const RomProfile* profile = Identify(gameCode);
    if (profile == nullptr) {
        ReportAbout(romPath, "Unsupported ROM: no supported release has this game code");
        return nullptr;
    }
    std::uintmax_t size = 0;
    if (const auto error = RegularFileSize(romPath, size)) {
        ReportFileFailure(FileAction::Open, romPath, error);
        return nullptr;
    }
    if (size < static_cast<std::uintmax_t>(TablesEnd(*profile))) {
        ReportAbout(romPath, MakeErrorCode(FileFailure::FileTooShort).message());
        return nullptr;
    }
    return profile;
}

std::optional<TableValues> ReadTables(const std::string& romPath, const RomProfile& profile) {
    const auto moves = ReadBlock(romPath, profile.TmMovesOffset, kMachineCount);
    if (!moves) {
        return std::nullopt;
    }
    const auto prices = ReadBlock(romPath, profile.TmPricesOffset, kPriceBlockLength);
    if (!prices) {
        return std::nullopt;
    }
    const auto baseStats = ReadBlock(romPath, profile.BaseStatsOffset, kBaseStatsBlockLength);
    if (!baseStats) {
        return std::nullopt;
    }
    return DecodeTables(*moves, *prices, *baseStats);
}

std::optional<CheckedTables> ReadCheckedTables(const std::string& romPath,
                                               const RomProfile& profile) {
    auto snapshot = ReadRomSnapshot(romPath, profile);
    if (!snapshot) {
        return std::nullopt;
    }
    return CheckedTables{snapshot->values, std::move(snapshot->check)};
}

std::optional<std::string> ExportTables(const std::string& romPath) {
    const RomProfile* profile = IdentifyRomFile(romPath);
    if (profile == nullptr) {
        return std::nullopt;
    }
    const auto values = ReadTables(romPath, *profile);
    if (!values) {
        return std::nullopt;
    }
    return ExportCsv(*values);
}

bool WriteCsvFile(const std::string& csvPath, const std::string& csv, const std::string& romPath) {
    std::error_code error;
    if (std::filesystem::equivalent(PathFromUtf8(csvPath), PathFromUtf8(romPath), error)) {
        ReportAbout(csvPath, "this is the ROM itself; the tables are written to another file");
        return false;
    }
    errno = 0;
    std::ofstream file(PathFromUtf8(csvPath), std::ios::binary | std::ios::trunc);
    if (file) {
        file.write(csv.data(), static_cast<std::streamsize>(csv.size()));
    }
    if (file) {
        file.close();
    }
    if (!file) {
        ReportAbout(csvPath, LastSystemError(FileFailure::TransferFailed).message());
        return false;
    }
    return true;
}

std::optional<std::string> ReadCsvFile(const std::string& csvPath) {
    std::error_code error;
    const auto path = PathFromUtf8(csvPath);
    const auto status = std::filesystem::status(path, error);
    if (error) {
        ReportAbout(csvPath, error.message());
        return std::nullopt;
    }
    if (std::filesystem::is_directory(status)) {
        ReportAbout(csvPath, MakeErrorCode(FileFailure::NotAFile).message());
        return std::nullopt;
    }
    const std::string tooLarge = "the file is larger than " + std::to_string(kMaxCsvBytes / 1024) +
                                 " KB: it is no CSV of the tables (one is about 35 KB)";
    if (std::filesystem::is_regular_file(status)) {
        const auto size = std::filesystem::file_size(path, error);
        if (!error && size > kMaxCsvBytes) {
            ReportAbout(csvPath, tooLarge);
            return std::nullopt;
        }
    }
    // A pipe or another special file has no size to look at: at most one byte past the limit
    // is read from it.
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    std::string text(kMaxCsvBytes + 1, '\0');
    if (file) {
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
    }
    if (file.bad() || (!file && !file.eof())) {
        ReportAbout(csvPath, LastSystemError(FileFailure::TransferFailed).message());
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > kMaxCsvBytes) {
        ReportAbout(csvPath, tooLarge);
        return std::nullopt;
    }
    if (text.empty()) {
        ReportAbout(csvPath, "the file is empty");
        return std::nullopt;
    }
    return text;
}

bool ApplyImportPlan(const ImportTarget& target, const ImportPlan& plan) {
    // Neighbouring changed bytes go in one write; bytes that keep their value are not written.
    struct Run {
        std::int32_t offset;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Run> runs;
    for (const ByteChange& change : plan.changes) {
        if (runs.empty() || change.offset != runs.back().offset + static_cast<std::int32_t>(
                                                                      runs.back().bytes.size())) {
            runs.push_back({change.offset, {}});
        }
        runs.back().bytes.push_back(change.after);
    }
    std::size_t written = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        WriteChecks checks;
        checks.sameFileAs = &target.identity;
        checks.mustHold = target.mustHold;
        // One flush, after the last bytes: success is claimed only for bytes on the disk.
        checks.flush = i + 1 == runs.size();
        bool runWritten = false;
        checks.written = &runWritten;
        const std::error_code error =
            WriteFileBytesAt(target.romPath, runs[i].offset, runs[i].bytes, checks);
        if (runWritten) {
            written += runs[i].bytes.size();
        }
        if (error) {
            ReportFileFailure(FileAction::Write, target.romPath, error,
                              DescribePartialImport(plan, written, runWritten && checks.flush));
            return false;
        }
    }
    return true;
}

ImportResult ImportTables(const std::string& romPath, const std::string& csvPath,
                          const ImportOptions& options) {
    ImportResult result;
    const RomProfile* profile = IdentifyRomFile(romPath);
    if (profile == nullptr) {
        result.status = ImportStatus::Refused;
        return result;
    }
    const auto csv = ReadCsvFile(csvPath);
    if (!csv) {
        result.status = ImportStatus::Refused;
        return result;
    }
    CsvProblems problems;
    const TablesTarget fromCsv = [&](const TableValues& current) {
        auto target = ParseTablesCsv(*csv, current, problems);
        if (!target) {
            const std::size_t total = problems.Total();
            ReportAbout(csvPath, std::to_string(total) + (total == 1 ? " problem" : " problems") +
                                     ", nothing imported:\n" + problems.Describe());
        }
        return target;
    };
    result = WriteTablesPlan(romPath, *profile, fromCsv, options);
    result.problems = std::move(problems);
    return result;
}

ImportResult WriteTablesPlan(const std::string& romPath, const RomProfile& profile,
                             const TablesTarget& makeTarget, const ImportOptions& options) {
    ImportResult result;
    const auto snapshot = ReadRomSnapshot(romPath, profile);
    if (!snapshot) {
        return result;
    }
    const TableValues* current = &snapshot->values;
    const auto target = makeTarget(*current);
    if (!target) {
        result.status = ImportStatus::Refused;
        return result;
    }

    // A real cartridge image whose tables lie elsewhere would be corrupted by any write.
    const SelfCheckResult& check = snapshot->check;
    if (!check.SafeToWrite()) {
        ReportFailedCheck(romPath, check, profile);
        result.status = ImportStatus::Refused;
        return result;
    }

    result.plan = PlanImport(profile, *current, *target);
    if (result.plan.Empty()) {
        ReportAbout(romPath, "already holds these tables; nothing to change",
                    MessageIcon::Information);
        result.status = ImportStatus::Unchanged;
        return result;
    }

    // Only conditions the import brings about are asked about, and only for real cartridge
    // images: a synthetic image is written as the tables say.
    std::vector<GameRuleBreach> breaches;
    if (check.realCartridge) {
        breaches = NewBreaches(profile, current->moves, target->moves);
    }
    if (options.dryRun) {
        std::string text = "would change " + SummarizePlan(result.plan) + "; nothing written";
        for (const std::string& detail : result.plan.details) {
            text += '\n' + detail;
        }
        if (!breaches.empty()) {
            // The description closes with the question an import would ask; a dry run asks
            // nothing.
            const std::string description = DescribeBreaches(breaches);
            text += '\n' + description.substr(0, description.rfind("\n\n")) +
                    "\nAn import asks before writing this.";
        }
        ReportAbout(romPath, text, MessageIcon::Information);
        result.status = ImportStatus::DryRun;
        return result;
    }
    if (options.expectedCurrent != nullptr) {
        const ImportPlan overwritten =
            ChangesOverwritten(profile, *options.expectedCurrent, *current, *target);
        if (!overwritten.Empty() &&
            !(options.confirmOverwrite && options.confirmOverwrite(overwritten))) {
            result.status = ImportStatus::Refused;
            return result;
        }
    }
    if (options.confirmChanges && !options.confirmChanges(result.plan)) {
        result.status = ImportStatus::Refused;
        return result;
    }
    if (!breaches.empty() && !(options.confirm && options.confirm(DescribeBreaches(breaches)))) {
        result.status = ImportStatus::Refused;
        return result;
    }

    if (const auto error =
            CheckWritableFile(romPath, static_cast<std::uintmax_t>(TablesEnd(profile)))) {
        ReportAbout(romPath, error.message());
        result.status = ImportStatus::Refused;
        return result;
    }
    const ImportTarget file{romPath, snapshot->identity,
                            static_cast<std::uint64_t>(TablesEnd(profile))};
    if (!ApplyImportPlan(file, result.plan)) {
        return result;
    }
    ReportAbout(romPath, "changed " + SummarizePlan(result.plan), MessageIcon::Information);
    result.status = ImportStatus::Written;
    return result;
}

}  // namespace brindlewick
