// RomNames: the names of the species, moves and types as the ROM holds them, in its own
// language and script, and the two types of every species. They are read through the game's
// own code (NameCode.h) and decoded with the charmap of the release's language. Reading is
// bounded: a name longer than its table allows, a byte the language does not define, or a
// pointer outside the file or its bank makes that table unreadable, and nothing is guessed.
// What cannot be read is named by the lists (Names.h) instead, and said so.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rom/Charmaps.h"
#include "rom/RomTables.h"

namespace brindlewick {

class OpenFile;
struct LocatedTables;

// The types of a species: bytes 7 and 8 of its base-stats record, type numbers as the game's
// own type-name table numbers them (modified games renumber them).
inline constexpr std::int32_t kFirstTypeByte = 7;
inline constexpr std::int32_t kSecondTypeByte = 8;
using SpeciesTypes = std::array<std::uint8_t, 2>;

struct RomNames {
    NameLanguage language = NameLanguage::English;
    bool looked = false;  // the game's code was followed (a real cartridge image)

    // Each table: its names when it could be read (empty otherwise), where it lies, and why it
    // could not be read.
    std::vector<std::string> species;  // 251, species index s
    std::int32_t speciesAt = -1;
    int speciesWidth = 0;
    std::string speciesProblem;

    std::vector<std::string> moves;  // 252, move number m; entry 0 (no move) is empty
    std::int32_t movesAt = -1;
    std::string movesProblem;

    std::vector<std::string> types;  // by type number
    std::int32_t typesAt = -1;
    std::string typesProblem;

    // Where the species' types were read (the base-stats table); empty after a failed read.
    std::vector<SpeciesTypes> speciesTypes;  // 251

    bool SpeciesRead() const { return !species.empty(); }
    bool MovesRead() const { return !moves.empty(); }
    bool TypesRead() const { return !types.empty(); }
    bool AllRead() const { return SpeciesRead() && MovesRead() && TypesRead(); }
};

// Reads the names through `rom`, the operation's handle, where `located` (found in the same
// pass) leads, and the species' types from the base-stats table it names. Only the bytes of
// the name tables and the base-stats table are read. A failing read is reported and gives
// nothing; a table that cannot be read is only recorded with its reason.
std::optional<RomNames> ReadRomNames(const OpenFile& rom, const LocatedTables& located);
// The same over bytes in memory (the whole file).
RomNames ReadRomNames(std::span<const std::uint8_t> image, const LocatedTables& located);

// A name of `language` as the game shows it: the bytes up to the first 0x50 (or all of them),
// or nothing when one of them is a byte the language does not define. The Japanese bytes that
// are a hiragana and a katakana letter at once take the script of the letter before them (or
// after them, at the start of a name).
std::optional<std::string> DecodeName(std::span<const std::uint8_t> bytes, NameLanguage language);

// The name of species s and of move m as the ROM holds them, or, where it could not be read
// (or holds no letter), the list's: the games' English name where the list spells it otherwise,
// else the list's entry without its blank. Move 0 is the list's "N/A"; a byte above 251 "byte FC".
std::string SpeciesNameOf(const RomNames& names, int species);
std::string MoveNameOf(const RomNames& names, int move);
// The name of type t as the ROM holds it, or "type 20" where it could not be read.
std::string TypeNameOf(const RomNames& names, int type);
// "FIRE" or "GRASS/POISON": the types of species s, or "" when they are not known.
std::string SpeciesTypesText(const RomNames& names, int species);

// Check ROM's and `check`'s account of the names, one sentence a table: where each was read,
// or why it could not be and that the lists' names stand for it. Empty where the code was not
// looked at.
std::string DescribeNames(const RomNames& names);
// The notice for a window that shows names: which tables could not be read, or "".
std::string DescribeNamesFallback(const RomNames& names);

}  // namespace brindlewick
