// TableLocation: the one decision, per file, of where its tables are read and written, and
// what the program tells about it.
//
// - An image whose header checksum does not match (no cartridge that boots: a synthetic test
//   image) is identified by its game code alone and uses its release's places.
// - A real cartridge image: the game's code is followed (GameCodeSearch.h). Where it leads,
//   and the places there pass the proof (SelfCheck.h), those are the places, whether or not
//   they are the release's; the release's places may then hold a stale copy the game does not
//   read, which is never written. Where the code cannot be followed, the release's places are
//   used, proved the same way. Where it leads to places that fail the proof, the file is
//   refused for writing even when the release's places would pass.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rom/NameCode.h"
#include "rom/SelfCheck.h"
#include "rom/TablePlaces.h"

namespace brindlewick {

class OpenFile;
struct RomProfile;

enum class CodeFollowed {
    NotLooked,    // no real cartridge image: the code is not looked for
    Followed,     // the code was followed to `places`
    NotFollowed,  // a routine missing or found twice: the release's places are used
};

struct LocatedTables {
    TablePlaces places;     // where every read and write of the tables goes
    SelfCheckResult proof;  // of `places`; a file that fails it is never written
    CodeFollowed code = CodeFollowed::NotLooked;
    std::string notFollowed;  // NotFollowed: why ("GetTMHMMove was found 2 times")
    // The tables that lie elsewhere and of which the release's places hold a copy as well.
    std::vector<CheckedTable> staleCopies;
    // The routines that lead to the names, from the same pass over the file as the tables'
    // (not looked for where the code is not: an image that does not boot).
    NameCodeHits nameCode;

    bool SafeToWrite() const { return proof.SafeToWrite(); }
    // The game's code keeps its tables somewhere other than the release's places.
    bool Elsewhere() const;
};

// Locates the tables of a file identified as `release`, through the operation's handle (the
// code is searched for by reading the whole file in blocks). A failing read is reported and
// gives nothing.
std::optional<LocatedTables> LocateTables(const OpenFile& rom, const RomProfile& release);
// The same over bytes in memory (the whole file).
LocatedTables LocateTables(std::span<const std::uint8_t> image, const RomProfile& release);

// "The game's code keeps its tables elsewhere: moves at …, base stats at …, TM01's record at …
// (this release keeps them at …).", with what the release's places hold when that is a stale
// copy. Empty where the tables lie where the release keeps them.
std::string DescribeElsewhere(const LocatedTables& located);

// Why the file is not written into (when !SafeToWrite()): the tables that fail the proof and
// where, for places found through the game's code or the release's, or that the code that led
// to them has changed since.
std::string DescribeRefusal(const LocatedTables& located);
// The same for `places` and what their proof found as a write was about to begin.
std::string DescribeRefusal(const TablePlaces& places, const SelfCheckResult& proof);

// Check ROM's and `check`'s account of how the places were learned, in one sentence: the
// game's code followed, or why it could not be, or that the image is no cartridge that boots.
std::string DescribeHowFound(const LocatedTables& located);

}  // namespace brindlewick
