// CartridgeImage: real-looking test images. Like the synthetic images they carry an
// irregular background pattern, but they also hold what the original games hold in the places
// the self-check looks at: a header with a valid checksum, the species numbers of the
// base-stats records, the item records of the machines and the two dummy items, and the move
// list with its end. Moves, prices and compatibility are made up. Options move a table away
// from where its release keeps it, as modified games do.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rom/RomTables.h"
#include "support/TestSupport.h"

namespace brindlewick::test {

// Where a release keeps its tables. Given explicitly, so that the tests' own model of the
// releases decides it, not the program's table.
struct CartridgeLayout {
    std::string gameCode;
    std::int32_t TmMovesOffset = 0;
    std::int32_t BaseStatsOffset = 0;
    std::int32_t TmPricesOffset = 0;  // TM01's item record
    bool crystal = false;  // the three tutor moves follow HM07; tutor bits in the species
    // The two dummy items among the machines' item records, as in every release; without them
    // the 57 machine records follow one another (TM01 is then item 0xC3).
    bool dummyItems = true;
};

// The game's own code in a test image: the five routines that lead to the tables, each at a
// chosen file offset, pointing where the test says (by default where the layout puts the
// tables). GetBaseData lies in bank 0 in every build; GetTMHMMove names no bank and must lie
// in the move list's bank.
struct GameCodeLayout {
    std::size_t baseData = 0x3C00;
    std::size_t eggMoveLoop = 0x3C40;
    std::size_t itemAttr = 0x3C80;
    std::size_t tmHmNumber = 0x3CC0;
    std::size_t tmHmMove = 0;  // 0: 0x3F00 into the move list's bank
    std::optional<std::int32_t> moves, baseStats, tm01Record;
};

// The routines' lengths, for a test that copies or breaks one.
inline constexpr std::size_t kGetBaseDataLength = 26;
inline constexpr std::size_t kGetTmHmMoveLength = 16;
inline constexpr std::size_t kEggMoveLoopLength = 12;
inline constexpr std::size_t kGetItemAttrLength = 31;

// The item number of TM01 in an image of `layout`.
std::uint8_t Tm01ItemOf(const CartridgeLayout& layout);

// Writes the routines of `code` into `image`, pointing at the tables of `layout`.
void WriteGameCode(Bytes& image, const CartridgeLayout& layout, const GameCodeLayout& code = {});

// A modified game that repointed its three tables: the release's places keep the tables of
// CartridgeImageBytes(LayoutOf(release)), a stale copy; the places of `moved` hold the same
// made-up tables (the move list with its end), and the game's code points there, its
// GetTMHMMove at `tmHmMove` (which must lie in the moved list's bank).
Bytes RepointedImage(const Release& release, const Release& moved, std::size_t tmHmMove);

// The file offset GetTMHMMove is written at for `code` and `layout`.
std::size_t TmHmMoveAt(const CartridgeLayout& layout, const GameCodeLayout& code);

// The layout of a release of the tests' model (support/Cartridge.h).
CartridgeLayout LayoutOf(const Release& release);

// The names of a test image and the routines of the game's code that lead to them: names as
// the game encodes them (without their 0x50), and where the routines and tables lie. The
// species names have a fixed width (10, or 5 in Japanese); GetPokemonName takes Crystal's
// form for Crystal at width 10 and Gold and Silver's otherwise. The type names lie in the bank
// of GetTypeName, behind their pointer table.
struct NameTablesLayout {
    int speciesWidth = 10;
    std::vector<Bytes> species;  // 251
    std::vector<Bytes> moves;    // 251: moves 1..251
    std::vector<Bytes> types;    // by type number
    // Bytes 7 and 8 of each species' base-stats record, where given (251 pairs).
    std::vector<std::array<std::uint8_t, 2>> speciesTypes;
    std::size_t speciesAt = 0x1C0000;
    std::size_t movesAt = 0x1C4000;
    std::size_t typeBank = 0x72;
    std::size_t getPokemonName = 0x3A00;
    std::size_t getName = 0x3A40;
    std::size_t lookUpGap = 0x10;  // bytes from the end of GetName's start to its look-up
    std::size_t getMoveName = 0x3AC0;
    std::size_t nameSkipper = 0x3B00;
    std::size_t namePointers = 0x3B40;
    std::size_t getTypeName = 0x100;   // into the type bank
    std::size_t typePointers = 0x200;  // into the type bank
};

// The tests' own encoding of a name of capitals, digits, blanks and - ' . (the bytes every
// language but Japanese shares), without its end.
Bytes GameText(std::string_view text);

// Names for a test image: "SPECIES1" .. "SPECIES251" (cut to `width`), "MOVE1" .. "MOVE251",
// and the 28 types of the releases, NORMAL to DARK, with "UNUSED" for 10..18.
NameTablesLayout MadeUpNames(int width = 10);

// Writes the name tables and the routines that lead to them into `image`.
void WriteNameCode(Bytes& image, const CartridgeLayout& layout, const NameTablesLayout& names);

struct CartridgeOptions {
    std::int32_t baseStatsShift = 0;   // bytes the base-stats table is moved by
    bool itemRecordsShifted = false;   // the item records begin one record later
    std::int32_t moveListShift = 0;    // bytes the move list is moved by
    bool breakHeaderChecksum = false;  // byte 0x14D no longer matches the header
    std::optional<GameCodeLayout> code =
        std::nullopt;             // the game's routines, leading to the tables
    bool zeroBackground = false;  // zeros instead of the irregular pattern
    std::optional<NameTablesLayout> names = std::nullopt;  // the name tables and their routines
};

// The made-up move of each machine: distinct, nonzero, none of Crystal's tutor moves.
const std::array<std::uint8_t, kMachineCount>& CartridgeMoves();

// Moves that no machine of that list teaches and that are no tutor moves: giving one to a
// machine breaks none of the game's rules.
std::vector<int> CartridgeFreeMoves();

// The made-up price of machine k: a TM's is a multiple of 100 from 1000 up, an HM's 0.
int CartridgePrice(int machine);

// The made-up compatibility field (bytes 24..31) of species s, with HM07 and, in Crystal,
// some tutor bits (bits 1..3 of the last byte) set; bits 4..7 of the last byte are clear.
std::array<std::uint8_t, kCompatibilityFieldLength> CartridgeCompatibility(int species,
                                                                           bool crystal);

// A 2 MiB image of `layout`.
Bytes CartridgeImageBytes(const CartridgeLayout& layout, const CartridgeOptions& options = {});

// Writes such an image into `dir` and returns its UTF-8 path.
std::string MakeCartridgeImage(const TempDir& dir, const CartridgeLayout& layout,
                               const CartridgeOptions& options = {},
                               std::string_view name = "cartridge.gbc");

}  // namespace brindlewick::test
