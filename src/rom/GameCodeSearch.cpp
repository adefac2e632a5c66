#include "rom/GameCodeSearch.h"

#include <array>

#include "convert/HexDigits.h"
#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/CodePattern.h"
#include "rom/RomProfile.h"

namespace brindlewick {
namespace {

// The routines' bytes, as the facts about the games' code give them. `bb` is a bank, `ll hh`
// a little-endian address, `tm`, `c3` and `dc` item numbers; ".." differs between builds (the
// current bank's place in high RAM, RAM addresses that modified games move, call targets in
// bank 0, a relative jump).
const CodePattern& GetBaseData() {
    // `01 20 00` is the record size, 0x0020.
    static const CodePattern pattern(
        "GetBaseData",
        "C5 D5 E5 F0 .. F5 3E bb D7 FA .. .. FE FD 28 .. 3D 01 20 00 21 ll hh CD .. ..");
    return pattern;
}
const CodePattern& GetTmHmMove() {
    // Names no bank: it runs in the bank that holds the list.
    static const CodePattern pattern("GetTMHMMove",
                                     "FA .. .. 3D 21 ll hh 06 00 4F 09 7E EA .. .. C9");
    return pattern;
}
const CodePattern& EggMoveMachineLoop() {
    static const CodePattern pattern("GetEggMove's machine loop",
                                     "21 ll hh 3E bb CD .. .. 23 A7 28 ..");
    return pattern;
}
const CodePattern& GetItemAttr() {
    // `3E 07` is the record size.
    static const CodePattern pattern(
        "GetItemAttr",
        "E5 C5 21 ll hh 4F 06 00 09 AF EA .. .. FA .. .. 3D 4F 3E 07 CD .. .. 3E bb CD .. .. C1 "
        "E1 C9");
    return pattern;
}
const CodePattern& GetTmHmNumber() {
    static const CodePattern pattern("GetTMHMNumber",
                                     "79 FE c3 38 .. FE dc 38 .. 3D 3D D6 tm 3C 4F C9");
    return pattern;
}
const CodePattern& GetTmHmNumberWithoutDummies() {
    static const CodePattern pattern("GetTMHMNumber", "79 D6 tm 3C 4F C9");
    return pattern;
}

enum Routine : std::size_t {
    kGetBaseData,
    kGetTmHmMove,
    kEggMoveLoop,
    kGetItemAttr,
    kGetTmHmNumber,
    kGetTmHmNumberWithoutDummies,
    kRoutineCount,
};

const std::array<const CodePattern*, kRoutineCount>& Patterns() {
    static const std::array<const CodePattern*, kRoutineCount> patterns{
        &GetBaseData(), &GetTmHmMove(),   &EggMoveMachineLoop(),
        &GetItemAttr(), &GetTmHmNumber(), &GetTmHmNumberWithoutDummies(),
    };
    return patterns;
}

std::string Times(int count) {
    return count == 0 ? "was not found" : "was found " + std::to_string(count) + " times";
}

std::string BankAddress(int bank, int address) {
    return HexText(static_cast<unsigned>(bank), 2) + ":" +
           HexText(static_cast<unsigned>(address), 4);
}

CodeSite SiteOf(const PatternHits& hits) {
    return {static_cast<std::int32_t>(hits.offset), hits.bytes};
}

FollowedCode Follow(const std::vector<PatternHits>& hits, const RomProfile& release,
                    std::uint64_t fileSize) {
    FollowedCode result;
    // GetTMHMNumber has two forms; together they must occur once.
    const PatternHits& numberLong = hits[kGetTmHmNumber];
    const PatternHits& numberShort = hits[kGetTmHmNumberWithoutDummies];
    const int numberCount = numberLong.count + numberShort.count;
    for (const Routine routine : {kGetBaseData, kGetTmHmMove, kEggMoveLoop, kGetItemAttr}) {
        if (hits[routine].count != 1) {
            result.reason = Patterns()[routine]->Routine() + " " + Times(hits[routine].count);
            return result;
        }
    }
    if (numberCount != 1) {
        result.reason = "GetTMHMNumber " + Times(numberCount);
        return result;
    }
    const bool withDummies = numberLong.count == 1;
    const PatternHits& number = withDummies ? numberLong : numberShort;
    const CodePattern& numberPattern =
        withDummies ? GetTmHmNumber() : GetTmHmNumberWithoutDummies();

    // A pointer that leads nowhere leaves its table at the release's place, so that nothing
    // outside the file is ever addressed; such a file is refused all the same.
    TablePlaces& places = result.places;
    places = RowPlaces(release);
    places.source = PlacesSource::GameCode;
    places.tm01Item = number.Byte(numberPattern, "tm");
    if (withDummies) {
        std::uint8_t first = number.Byte(numberPattern, "c3");
        std::uint8_t second = number.Byte(numberPattern, "dc");
        if (second < first) {
            std::swap(first, second);
        }
        places.dummyItems = {first, second};
        places.dummyCount = 2;
    } else {
        places.dummyItems = {};
        places.dummyCount = 0;
    }
    for (const PatternHits* each : {&hits[kGetBaseData], &hits[kGetTmHmMove], &hits[kEggMoveLoop],
                                    &hits[kGetItemAttr], &number}) {
        places.code.push_back(SiteOf(*each));
    }

    auto noTable = [&](CheckedTable table, const PatternHits& site, const std::string& expected,
                       const std::string& found) {
        result.findings.push_back({table, static_cast<std::int32_t>(site.offset), expected, found});
    };

    // The base stats: 251 records of 32 bytes.
    const PatternHits& baseData = hits[kGetBaseData];
    const int baseBank = baseData.Byte(GetBaseData(), "bb");
    const int baseAddress = baseData.Word(GetBaseData(), "ll", "hh");
    constexpr std::int32_t kBaseStatsLength = kSpeciesCount * kSpeciesRecordSize;
    if (const auto offset = BankedOffset(baseBank, baseAddress, kBaseStatsLength, fileSize)) {
        places.baseStats = *offset;
    } else {
        noTable(CheckedTable::BaseStats, baseData,
                "a pointer to " + std::to_string(kBaseStatsLength) +
                    " bytes inside one bank of the file (GetBaseData)",
                BankAddress(baseBank, baseAddress));
    }

    // The move list, in the bank of the routine that reads it; GetEggMove names the bank and
    // must lead to the same place.
    const PatternHits& tmHmMove = hits[kGetTmHmMove];
    const auto moveBank = static_cast<int>(tmHmMove.offset / kBankSize);
    const int moveAddress = tmHmMove.Word(GetTmHmMove(), "ll", "hh");
    const std::int32_t moveLength = MoveListLength(places);
    const auto moves = BankedOffset(moveBank, moveAddress, moveLength, fileSize);
    const PatternHits& eggLoop = hits[kEggMoveLoop];
    const int eggBank = eggLoop.Byte(EggMoveMachineLoop(), "bb");
    const int eggAddress = eggLoop.Word(EggMoveMachineLoop(), "ll", "hh");
    const auto eggMoves = BankedOffset(eggBank, eggAddress, moveLength, fileSize);
    if (moves && eggMoves && *moves != *eggMoves) {
        result = {};
        result.reason = "GetEggMove's machine loop leads to the move list at " +
                        BankAddress(eggBank, eggAddress) + ", GetTMHMMove to " +
                        BankAddress(moveBank, moveAddress);
        return result;
    }
    if (moves) {
        places.moves = *moves;
    } else {
        noTable(CheckedTable::MoveList, tmHmMove,
                "a pointer to " + std::to_string(moveLength) +
                    " bytes inside the routine's own bank (GetTMHMMove)",
                BankAddress(moveBank, moveAddress));
    }

    // The item records: item i at 7 × (i − 1) from item 1's; the machines' must exist.
    const PatternHits& itemAttr = hits[kGetItemAttr];
    const int itemBank = itemAttr.Byte(GetItemAttr(), "bb");
    const int itemAddress = itemAttr.Word(GetItemAttr(), "ll", "hh");
    constexpr int kHighestItem = 0xFF;
    const int lastItem = MachineItem(places, kMachineCount - 1);
    if (places.tm01Item == 0 || lastItem > kHighestItem) {
        noTable(CheckedTable::ItemRecords, number,
                "machine items from 1 to " + std::to_string(kHighestItem) + " (GetTMHMNumber)",
                "TM01 as item " + std::to_string(places.tm01Item) + ", HM07 as item " +
                    std::to_string(lastItem));
    } else if (const auto first =
                   BankedOffset(itemBank, itemAddress, kPriceRecordSize * lastItem, fileSize)) {
        places.tm01Record = *first + kPriceRecordSize * (places.tm01Item - 1);
    } else {
        noTable(CheckedTable::ItemRecords, itemAttr,
                "a pointer to the records of items 1 to " + std::to_string(lastItem) +
                    " inside one bank of the file (GetItemAttr)",
                BankAddress(itemBank, itemAddress));
    }
    result.outcome =
        result.findings.empty() ? FollowedCode::Outcome::Followed : FollowedCode::Outcome::NoTable;
    return result;
}

// The tables' routines, then those that lead to the names: one pass over the file finds both.
std::span<const CodePattern* const> AllPatterns() {
    static const std::vector<const CodePattern*> patterns = [] {
        std::vector<const CodePattern*> all(Patterns().begin(), Patterns().end());
        const auto names = NameCodePatterns();
        all.insert(all.end(), names.begin(), names.end());
        return all;
    }();
    return patterns;
}

FollowedCode FollowBoth(std::vector<PatternHits> hits, const RomProfile& release,
                        std::uint64_t fileSize) {
    FollowedCode followed = Follow(hits, release, fileSize);
    followed.names.looked = true;
    followed.names.hits.assign(std::make_move_iterator(hits.begin() + kRoutineCount),
                               std::make_move_iterator(hits.end()));
    return followed;
}

}  // namespace

std::optional<std::int32_t> BankedOffset(int bank, int address, std::int32_t length,
                                         std::uint64_t fileSize) {
    constexpr int kSwitchedBankEnd = 2 * kBankSize;
    std::int64_t offset = 0;
    std::int64_t bankEnd = 0;
    if (address < kBankSize) {
        offset = address;
        bankEnd = kBankSize;
    } else if (bank >= 1 && address < kSwitchedBankEnd) {
        offset = static_cast<std::int64_t>(bank) * kBankSize + (address - kBankSize);
        bankEnd = static_cast<std::int64_t>(bank) * kBankSize + kBankSize;
    } else {
        return std::nullopt;
    }
    if (offset + length > bankEnd || static_cast<std::uint64_t>(offset + length) > fileSize) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(offset);
}

std::optional<FollowedCode> FollowGameCode(const OpenFile& rom, const RomProfile& release) {
    std::vector<PatternHits> hits;
    if (const auto error = ScanFile(rom, AllPatterns(), hits)) {
        ReportFileFailure(FileAction::Read, rom.FileName(), error);
        return std::nullopt;
    }
    return FollowBoth(std::move(hits), release, rom.Facts().size);
}

FollowedCode FollowGameCode(std::span<const std::uint8_t> image, const RomProfile& release) {
    return FollowBoth(ScanImage(image, AllPatterns()), release, image.size());
}

}  // namespace brindlewick
