#include "rom/TableLocation.h"

#include <array>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/GameCodeSearch.h"
#include "rom/RomProfile.h"

namespace brindlewick {
namespace {

constexpr std::int32_t kHeaderLength = kHeaderChecksumLength + 1;  // 0x134..0x14D

// Which of the three tables lie at other places in `found` than in `row`.
std::vector<CheckedTable> MovedTables(const TablePlaces& found, const TablePlaces& row) {
    std::vector<CheckedTable> moved;
    if (found.baseStats != row.baseStats) {
        moved.push_back(CheckedTable::BaseStats);
    }
    if (found.tm01Record != row.tm01Record || found.tm01Item != row.tm01Item ||
        found.dummyCount != row.dummyCount || found.dummyItems != row.dummyItems) {
        moved.push_back(CheckedTable::ItemRecords);
    }
    if (found.moves != row.moves) {
        moved.push_back(CheckedTable::MoveList);
    }
    return moved;
}

// The decision, once the header is known to be valid and the code has been followed; `check`
// proves places through the operation's handle or over the bytes in memory.
template <typename Check>
LocatedTables Decide(const FollowedCode& followed, const RomProfile& release, Check check) {
    LocatedTables located;
    located.nameCode = followed.names;
    const TablePlaces row = RowPlaces(release);
    switch (followed.outcome) {
        case FollowedCode::Outcome::NotFollowed:
            located.code = CodeFollowed::NotFollowed;
            located.notFollowed = followed.reason;
            located.places = row;
            located.proof = check(row);
            return located;
        case FollowedCode::Outcome::NoTable:
            // A pointer that leads where no table can lie: nothing there is read as a table.
            located.code = CodeFollowed::Followed;
            located.places = followed.places;
            located.proof.realCartridge = true;
            for (const SelfCheckFinding& finding : followed.findings) {
                located.proof.findings.push_back(finding);
                ++located.proof.mismatches[static_cast<int>(finding.table)];
            }
            return located;
        case FollowedCode::Outcome::Followed:
            break;
    }
    located.code = CodeFollowed::Followed;
    located.places = followed.places;
    located.proof = check(followed.places);
    if (!located.proof.SafeToWrite() || located.proof.readFailed) {
        return located;
    }
    // What the release's places hold where the game's code keeps a table elsewhere: a table
    // there is a copy the game does not read.
    const std::vector<CheckedTable> moved = MovedTables(followed.places, row);
    if (moved.empty()) {
        return located;
    }
    const SelfCheckResult atRow = check(row);
    if (atRow.readFailed) {
        located.proof.readFailed = true;
        return located;
    }
    for (const CheckedTable table : moved) {
        if (atRow.Mismatches(table) == 0) {
            located.staleCopies.push_back(table);
        }
    }
    return located;
}

// Too short for a header, or no valid checksum: no cartridge image, and not checked.
LocatedTables WithoutCode(const RomProfile& release) {
    LocatedTables located;
    located.places = RowPlaces(release);
    return located;
}

std::string PlacesText(const TablePlaces& places) {
    return OffsetText(places.moves) + ", " + OffsetText(places.baseStats) + ", " +
           OffsetText(places.tm01Record);
}

std::string TableList(const std::vector<CheckedTable>& tables) {
    std::string text;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == tables.size() ? " and " : ", ") + TableName(tables[i]);
    }
    return text;
}

}  // namespace

bool LocatedTables::Elsewhere() const {
    return code == CodeFollowed::Followed && places.release != nullptr &&
           !places.SamePlaces(RowPlaces(*places.release));
}

std::optional<LocatedTables> LocateTables(const OpenFile& rom, const RomProfile& release) {
    FileFacts facts;
    if (const auto error = rom.Inspect(facts)) {
        ReportFileFailure(FileAction::Read, rom.FileName(), error);
        return std::nullopt;
    }
    if (facts.size < static_cast<std::uint64_t>(kHeaderChecksumStart + kHeaderLength)) {
        return WithoutCode(release);
    }
    std::array<std::uint8_t, kHeaderLength> header{};
    if (const auto error = rom.ReadAt(kHeaderChecksumStart, header)) {
        ReportFileFailure(FileAction::Read, rom.FileName(), error);
        return std::nullopt;
    }
    if (!HasValidHeaderChecksum(header)) {
        return WithoutCode(release);
    }
    const std::optional<FollowedCode> followed = FollowGameCode(rom, release);
    if (!followed) {
        return std::nullopt;
    }
    LocatedTables located = Decide(*followed, release, [&rom](const TablePlaces& places) {
        return CheckRomTables(rom, places);
    });
    if (located.proof.readFailed) {
        return std::nullopt;
    }
    return located;
}

LocatedTables LocateTables(std::span<const std::uint8_t> image, const RomProfile& release) {
    if (image.size() < static_cast<std::size_t>(kHeaderChecksumStart + kHeaderLength) ||
        !HasValidHeaderChecksum(image.subspan(kHeaderChecksumStart, kHeaderLength))) {
        return WithoutCode(release);
    }
    return Decide(FollowGameCode(image, release), release,
                  [image](const TablePlaces& places) { return CheckRomTables(image, places); });
}

std::string DescribeElsewhere(const LocatedTables& located) {
    if (!located.Elsewhere()) {
        return {};
    }
    const TablePlaces& places = located.places;
    std::string text = "The game's code keeps its tables elsewhere: moves at " +
                       OffsetText(places.moves) + ", base stats at " +
                       OffsetText(places.baseStats) + ", TM01's record at " +
                       OffsetText(places.tm01Record) + " (this release keeps them at " +
                       PlacesText(RowPlaces(*places.release)) + ").";
    if (places.dummyCount == 0) {
        text +=
            " Its machines' item records follow one another: the game has no dummy items "
            "among them.";
    }
    if (!located.staleCopies.empty()) {
        const bool one = located.staleCopies.size() == 1 &&
                         located.staleCopies.front() != CheckedTable::ItemRecords;
        text += " Where this release keeps them, the file holds a copy of its " +
                TableList(located.staleCopies) + " that the game does not read; Brindlewick " +
                "never writes " + (one ? "into it." : "into them.");
    }
    return text;
}

std::string DescribeRefusal(const TablePlaces& places, const SelfCheckResult& proof) {
    const RomProfile& release = *places.release;
    if (proof.codeChanged) {
        return "The file is no longer the game that was opened: the game's code that leads to "
               "its tables has changed.";
    }
    if (places.source != PlacesSource::GameCode || proof.readFailed) {
        return DescribeFailedCheck(proof, release);
    }
    const FailedTables failed = DescribeFailedTables(proof);
    return "This file carries the game code of " + ReleaseText(release) +
           ". The game's code points to its tables (moves at " + OffsetText(places.moves) +
           ", base stats at " + OffsetText(places.baseStats) + ", TM01's record at " +
           OffsetText(places.tm01Record) + "), but its " + failed.names + " there " +
           (failed.plural ? "do" : "does") + " not hold what such a table holds. It is a " +
           "modified game whose tables Brindlewick cannot be sure of. " + kShownNotSaved + "\n" +
           failed.details;
}

std::string DescribeRefusal(const LocatedTables& located) {
    return DescribeRefusal(located.places, located.proof);
}

std::string DescribeHowFound(const LocatedTables& located) {
    switch (located.code) {
        case CodeFollowed::NotLooked:
            return {};
        case CodeFollowed::Followed:
            return located.Elsewhere() ? DescribeElsewhere(located)
                                       : "The game's code leads to the places where this "
                                         "release keeps its tables.";
        case CodeFollowed::NotFollowed:
            return "The game's code could not be followed (" + located.notFollowed +
                   "): its tables were looked for where this release keeps them.";
    }
    return {};
}

}  // namespace brindlewick
