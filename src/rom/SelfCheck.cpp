#include "rom/SelfCheck.h"

#include "platform/OpenFile.h"

#include <algorithm>
#include <optional>

#include "convert/HexFunctions.h"
#include "platform/FileAccess.h"
#include "rom/GameRules.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"
#include "rom/TablePlaces.h"

namespace brindlewick {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kHeaderLength = kHeaderChecksumLength + 1;  // 0x134..0x14D
constexpr std::uint8_t kHighestMove = kMoveCount - 1;

struct TableBlock {
    CheckedTable table;
    std::int32_t offset;
    std::int32_t length;
};

// The one block read of each table: the base-stats records, the item records from TM01's to
// HM07's, and the move list with its end.
std::array<TableBlock, kCheckedTableCount> Blocks(const TablePlaces& places) {
    return {{
        {CheckedTable::BaseStats, places.baseStats, kSpeciesCount * kSpeciesRecordSize},
        {CheckedTable::ItemRecords, places.tm01Record,
         MachineRecordSpan(places) * kPriceRecordSize},
        {CheckedTable::MoveList, places.moves, MoveListLength(places)},
    }};
}

std::string HexNumber(std::uint32_t value, bool wholeBytes = true) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    if (wholeBytes && digits.size() % 2 != 0) {
        digits.insert(digits.begin(), '0');
    }
    return "0x" + digits;
}

// Turns ReadHexBytes' text back into bytes; nullopt for text that does not spell `length`
// bytes (a failed read, already reported).
std::optional<Bytes> DecodeHex(const std::string& hexText, std::int32_t length) {
    if (hexText.size() != 2 * static_cast<std::size_t>(length)) {
        return std::nullopt;
    }
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        return -1;
    };
    Bytes bytes(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = digit(hexText[2 * i]);
        const int low = digit(hexText[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

// Counts every place that differs and keeps the first few of each table.
class Findings {
public:
    explicit Findings(SelfCheckResult& result) : m_result(result) {}

    void Add(CheckedTable table, std::int64_t offset, const std::string& expected,
             const std::string& found) {
        int& count = m_result.mismatches[static_cast<int>(table)];
        if (++count <= kMaxFindingsPerTable) {
            m_result.findings.push_back(
                {table, static_cast<std::int32_t>(offset), expected, found});
        }
    }

private:
    SelfCheckResult& m_result;
};

void CheckBaseStats(std::span<const std::uint8_t> block, std::int32_t offset, Findings& findings) {
    for (int species = 0; species < kSpeciesCount; ++species) {
        const std::size_t at =
            static_cast<std::size_t>(species) * kSpeciesRecordSize + kSpeciesNumberByte;
        const int number = species + 1;
        if (block[at] != number) {
            findings.Add(CheckedTable::BaseStats, offset + static_cast<std::int64_t>(at),
                         "species number " + std::to_string(number), HexNumber(block[at]));
        }
    }
}

void CheckItemRecords(std::span<const std::uint8_t> block, const TablePlaces& places,
                      Findings& findings) {
    const auto records = static_cast<int>(block.size() / kPriceRecordSize);
    const auto dummies =
        std::span(places.dummyItems).first(static_cast<std::size_t>(places.dummyCount));
    for (int record = 0; record < records; ++record) {
        const std::size_t at = static_cast<std::size_t>(record) * kPriceRecordSize + kItemTypeByte;
        const int item = places.tm01Item + record;
        const bool dummy = std::find(dummies.begin(), dummies.end(), item) != dummies.end();
        const bool machineType = block[at] == kMachineItemType;
        if (dummy == machineType) {
            findings.Add(CheckedTable::ItemRecords,
                         places.tm01Record + static_cast<std::int64_t>(at),
                         dummy ? "item type other than 4 (record " + std::to_string(record) +
                                     ", between the machines)"
                               : "item type 4, a machine (record " + std::to_string(record) + ")",
                         "item type " + std::to_string(block[at]));
        }
    }
}

void CheckMoveList(std::span<const std::uint8_t> block, std::int32_t offset, bool crystal,
                   Findings& findings) {
    // A machine may be given no move (0), the editor writes such lists; but every byte must be
    // 0 or a move, and a list of nothing but 0 is no list.
    bool anyMove = false;
    for (std::size_t at = 0; at < kMachineCount; ++at) {
        anyMove = anyMove || block[at] != 0;
        if (block[at] > kHighestMove) {
            findings.Add(CheckedTable::MoveList, offset + static_cast<std::int64_t>(at),
                         "no move (0) or a move (1 to 251)", HexNumber(block[at]));
        }
    }
    if (!anyMove) {
        findings.Add(CheckedTable::MoveList, offset, "a move for at least one machine",
                     "57 bytes 0");
    }
    // After HM07 the list ends as the game keeps it: in Crystal the move tutor's three moves
    // and a 0, in Gold and Silver a 0. The editor never writes these bytes.
    for (std::size_t at = kMachineCount; at + 1 < block.size(); ++at) {
        if (block[at] == 0 || block[at] > kHighestMove) {
            findings.Add(CheckedTable::MoveList, offset + static_cast<std::int64_t>(at),
                         "a move tutor's move (1 to 251)", HexNumber(block[at]));
        }
    }
    const std::size_t end = block.size() - 1;
    if (block[end] != 0) {
        findings.Add(CheckedTable::MoveList, offset + static_cast<std::int64_t>(end),
                     crystal ? "the list's end (0) after the three tutor moves"
                             : "the list's end (0) after HM07",
                     HexNumber(block[end]));
    }
}

void CheckBlock(const TableBlock& block, std::span<const std::uint8_t> bytes,
                const TablePlaces& places, Findings& findings) {
    switch (block.table) {
        case CheckedTable::BaseStats:
            CheckBaseStats(bytes, block.offset, findings);
            break;
        case CheckedTable::ItemRecords:
            CheckItemRecords(bytes, places, findings);
            break;
        case CheckedTable::MoveList:
            CheckMoveList(bytes, block.offset, IsCrystal(places), findings);
            break;
    }
}

// The check over a file of `size` bytes whose blocks come from `read` (nullopt: a read failed
// and has been reported).
template <typename Read>
SelfCheckResult Check(const TablePlaces& places, std::uint64_t size, Read read) {
    SelfCheckResult result;
    if (size < static_cast<std::uint64_t>(kHeaderChecksumStart + kHeaderLength)) {
        return result;  // too short to hold a cartridge header: no cartridge image
    }
    const std::optional<Bytes> header = read(kHeaderChecksumStart, kHeaderLength);
    if (!header) {
        result.readFailed = true;
        return result;
    }
    if (!HasValidHeaderChecksum(*header)) {
        return result;
    }
    result.realCartridge = true;
    // Places found through the game's code hold only while that code still leads to them.
    for (const CodeSite& site : places.code) {
        const auto length = static_cast<std::int32_t>(site.bytes.size());
        const std::int64_t end = static_cast<std::int64_t>(site.offset) + length;
        if (site.offset < 0 || static_cast<std::uint64_t>(end) > size) {
            result.codeChanged = true;
            continue;
        }
        const std::optional<Bytes> bytes = read(site.offset, length);
        if (!bytes) {
            result.readFailed = true;
            return result;
        }
        result.codeChanged = result.codeChanged || *bytes != site.bytes;
    }
    Findings findings(result);
    for (const TableBlock& block : Blocks(places)) {
        const std::int64_t end = static_cast<std::int64_t>(block.offset) + block.length;
        if (block.offset < 0 || static_cast<std::uint64_t>(end) > size) {
            findings.Add(block.table, block.offset,
                         std::to_string(block.length) + " bytes from " + OffsetText(block.offset),
                         "the file ends at " + OffsetText(static_cast<std::int64_t>(size)));
            continue;
        }
        const std::optional<Bytes> bytes = read(block.offset, block.length);
        if (!bytes) {
            result.readFailed = true;
            return result;
        }
        CheckBlock(block, *bytes, places, findings);
    }
    return result;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::uint8_t HeaderChecksum(std::span<const std::uint8_t> headerBytes) {
    std::uint8_t x = 0;
    for (const std::uint8_t b : headerBytes) {
        x = static_cast<std::uint8_t>(x - b - 1);
    }
    return x;
}

bool HasValidHeaderChecksum(std::span<const std::uint8_t> header) {
    if (header.size() != static_cast<std::size_t>(kHeaderChecksumLength + 1)) {
        return false;
    }
    return HeaderChecksum(header.first(kHeaderChecksumLength)) == header[kHeaderChecksumLength];
}

SelfCheckResult CheckRomTables(const std::string& fileName, const TablePlaces& places) {
    std::uintmax_t size = 0;
    if (const auto error = RegularFileSize(fileName, size)) {
        ReportFileFailure(FileAction::Read, fileName, error);
        SelfCheckResult result;
        result.readFailed = true;
        return result;
    }
    return Check(places, size,
                 [&fileName](std::int32_t offset, std::int32_t length) -> std::optional<Bytes> {
                     return DecodeHex(ReadHexBytes(fileName, offset, length), length);
                 });
}

SelfCheckResult CheckRomTables(const OpenFile& rom, const TablePlaces& places) {
    FileFacts facts;
    if (const auto error = rom.Inspect(facts)) {
        ReportFileFailure(FileAction::Read, rom.FileName(), error);
        SelfCheckResult result;
        result.readFailed = true;
        return result;
    }
    return Check(places, facts.size,
                 [&rom](std::int32_t offset, std::int32_t length) -> std::optional<Bytes> {
                     Bytes bytes(static_cast<std::size_t>(length));
                     if (const auto error = rom.ReadAt(offset, bytes)) {
                         ReportFileFailure(FileAction::Read, rom.FileName(), error);
                         return std::nullopt;
                     }
                     return bytes;
                 });
}

SelfCheckResult CheckRomTables(std::span<const std::uint8_t> image, const TablePlaces& places) {
    return Check(places, image.size(),
                 [image](std::int32_t offset, std::int32_t length) -> std::optional<Bytes> {
                     const auto block = image.subspan(static_cast<std::size_t>(offset),
                                                      static_cast<std::size_t>(length));
                     return Bytes(block.begin(), block.end());
                 });
}

SelfCheckResult CheckRomTables(const std::string& fileName, const RomProfile& release) {
    return CheckRomTables(fileName, RowPlaces(release));
}

SelfCheckResult CheckRomTables(std::span<const std::uint8_t> image, const RomProfile& release) {
    return CheckRomTables(image, RowPlaces(release));
}

std::string TableName(CheckedTable table) {
    switch (table) {
        case CheckedTable::BaseStats:
            return "base-stats table";
        case CheckedTable::ItemRecords:
            return "item records";
        case CheckedTable::MoveList:
            return "move list";
    }
    return {};
}

FailedTables DescribeFailedTables(const SelfCheckResult& result) {
    FailedTables failed;
    std::vector<CheckedTable> tables;
    for (const CheckedTable table :
         {CheckedTable::BaseStats, CheckedTable::ItemRecords, CheckedTable::MoveList}) {
        if (result.Mismatches(table) > 0) {
            tables.push_back(table);
        }
    }
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (i > 0) {
            failed.names += i + 1 == tables.size() ? " and its " : ", its ";
        }
        failed.names += TableName(tables[i]);
    }
    failed.plural =
        tables.size() > 1 || (tables.size() == 1 && tables[0] == CheckedTable::ItemRecords);
    // The first finding of each table, with how many places differ in all.
    for (const CheckedTable table : tables) {
        for (const SelfCheckFinding& finding : result.findings) {
            if (finding.table != table) {
                continue;
            }
            const int count = result.Mismatches(table);
            failed.details += "\n" + TableName(table) + " at " + OffsetText(finding.offset) +
                              ": expected " + finding.expected + ", found " + finding.found;
            if (count > 1) {
                failed.details += " (" + std::to_string(count) + " places differ)";
            }
            break;
        }
    }
    return failed;
}

std::string ReleaseText(const RomProfile& release) {
    return release.language + " " + Trimmed(release.gameName) + " (" + release.gameCode + ")";
}

std::string DescribeFailedCheck(const SelfCheckResult& result, const RomProfile& profile) {
    const std::string release = ReleaseText(profile);
    if (result.readFailed) {
        return "The tables of this file could not be read to check that they lie where " + release +
               " keeps them. " + kShownNotSaved;
    }
    const FailedTables failed = DescribeFailedTables(result);
    return "This file carries the game code of " + release + ", but its " + failed.names +
           (failed.plural ? " do" : " does") + " not lie where this release keeps " +
           (failed.plural ? "them" : "it") + ". It is probably a modified game. " + kShownNotSaved +
           "\n" + failed.details;
}

}  // namespace brindlewick
