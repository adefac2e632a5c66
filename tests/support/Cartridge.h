// The tests' own model of the cartridge: the 19 supported releases as they are published, and
// every address of the three tables worked out from them. It is written apart from the
// program's tables and address functions, so that a wrong offset or record rule there shows
// as a wrong byte in a test instead of agreeing with itself. Plain C++ without Qt or a test
// framework, so that the fuzz targets can use it too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brindlewick::test {

// One release: what the window shows for it and where its three tables lie.
struct Release {
    std::string_view code;
    std::string_view gameName;
    std::string_view language;
    std::string_view windowTitle;
    std::size_t moves;      // machine move table: one byte per machine, TM01 first
    std::size_t baseStats;  // 32-byte species records, compatibility field at +24
    std::size_t prices;     // 7-byte item records, little-endian price in the first two bytes

    bool IsCrystal() const { return gameName == " Pok\u00E9mon Crystal"; }
};

// In the order in which the program tests the codes.
inline constexpr std::array<Release, 19> kReleases{{
    {"AAUE", " Pok\u00E9mon Gold", "English", "AAUE - Brindlewick", 0x11A66, 0x51B0B, 0x6DD2},
    {"AAXE", " Pok\u00E9mon Silver", "English", "AAXE - Brindlewick", 0x11A66, 0x51B0B, 0x6D98},
    {"BYTE", " Pok\u00E9mon Crystal", "English", "BYTE - Brindlewick", 0x1167A, 0x51424, 0x6CF3},
    {"AAUS", " Pok\u00E9mon Gold", "Spanish", "AAUS - Brindlewick", 0x11A79, 0x51B19, 0x6E1A},
    {"AAXS", " Pok\u00E9mon Silver", "Spanish", "AAXS - Brindlewick", 0x11A79, 0x51B19, 0x6DE2},
    {"BYTS", " Pok\u00E9mon Crystal", "Spanish", "BYTS - Brindlewick", 0x1168D, 0x5142D, 0x6D12},
    {"AAUJ", " Pok\u00E9mon Gold", "Japanese", "AAUJ - Brindlewick", 0x11A00, 0x51AA9, 0x70C5},
    {"AAXJ", " Pok\u00E9mon Silver", "Japanese", "AAXJ - Brindlewick", 0x11A00, 0x51AA9, 0x708A},
    {"BXTJ", " Pok\u00E9mon Crystal", "Japanese", "BXTJ - Brindlewick", 0x11614, 0x514BA, 0x6F2C},
    {"AAUD", " Pok\u00E9mon Gold", "German", "AAUD - Brindlewick", 0x11A5D, 0x51B00, 0x6E09},
    {"AAXD", " Pok\u00E9mon Silver", "German", "AAXD - Brindlewick", 0x11A5D, 0x51B00, 0x6DD0},
    {"BYTD", " Pok\u00E9mon Crystal", "German", "BYTD - Brindlewick", 0x11671, 0x5140E, 0x6D14},
    {"AAUF", " Pok\u00E9mon Gold", "French", "AAUF - Brindlewick", 0x11A65, 0x51B10, 0x6E07},
    {"AAXF", " Pok\u00E9mon Silver", "French", "AAXF - Brindlewick", 0x11A65, 0x51B10, 0x6DCD},
    {"BYTF", " Pok\u00E9mon Crystal", "French", "BYTF - Brindlewick", 0x11679, 0x51417, 0x6D0D},
    {"AAUI", " Pok\u00E9mon Gold", "Italian", "AAUI - Brindlewick", 0x11A65, 0x51B19, 0x6E04},
    {"AAXI", " Pok\u00E9mon Silver", "Italian", "AAXI - Brindlewick", 0x11A65, 0x51B19, 0x6DCA},
    {"BYTI", " Pok\u00E9mon Crystal", "Italian", "BYTI - Brindlewick", 0x11679, 0x51433, 0x6D0C},
    {"BYTU", " Pok\u00E9mon Crystal", "English (Australia)", "BYTU - Brindlewick", 0x1167A, 0x51424,
     0x6CF3},
}};

// The release of `code`, or nullptr for a code that is not supported.
inline const Release* FindRelease(std::string_view code) {
    for (const Release& release : kReleases) {
        if (release.code == code) {
            return &release;
        }
    }
    return nullptr;
}

// The release of a code the test knows to be supported.
inline const Release& ReleaseOf(std::string_view code) {
    if (const Release* release = FindRelease(code)) {
        return *release;
    }
    throw std::invalid_argument("no release has the code " + std::string(code));
}

// ---------------------------------------------------------------------------------------
// Addresses. Machine index k: 0..49 are TM01..TM50, 50..56 HM01..HM07 (machine n = k + 1).
// Species index s: 0 Bulbasaur .. 250 Celebi.

inline constexpr std::size_t kGameCodeAt = 0x13F;
inline constexpr int kMachines = 57;
inline constexpr int kSpecies = 251;
inline constexpr int kMoves = 252;
inline constexpr int kPriceRecords = 59;  // records 4 and 29 belong to no machine
inline constexpr std::size_t kPriceRecordLength = 7;
inline constexpr std::size_t kSpeciesRecordLength = 32;
inline constexpr std::size_t kFieldStart = 24;
inline constexpr int kFieldLength = 8;

// The move byte of machine k.
constexpr std::size_t MoveAt(const Release& release, int machine) {
    return release.moves + static_cast<std::size_t>(machine);
}

// The price record of machine k: TM01..TM04 use records 0..3, TM05..TM28 records 5..28,
// TM29..HM07 records 30..58.
constexpr int PriceRecordOf(int machine) {
    return machine < 4 ? machine : machine < 28 ? machine + 1 : machine + 2;
}

// The low byte of a price record; the high byte follows it.
constexpr std::size_t PriceRecordAt(const Release& release, int record) {
    return release.prices + kPriceRecordLength * static_cast<std::size_t>(record);
}

// The low byte of machine k's price; the high byte follows it.
constexpr std::size_t PriceAt(const Release& release, int machine) {
    return PriceRecordAt(release, PriceRecordOf(machine));
}

// Byte j (0..7) of the compatibility field of species s.
constexpr std::size_t FieldAt(const Release& release, int species, int fieldByte) {
    return release.baseStats + kSpeciesRecordLength * static_cast<std::size_t>(species) +
           kFieldStart + static_cast<std::size_t>(fieldByte);
}

// Machine n = k + 1 is bit (n - 1) mod 8 of field byte (n - 1) div 8, bit 0 being the value 1.
constexpr int FieldByteOf(int machine) {
    return machine / 8;
}
constexpr std::uint8_t MaskOf(int machine) {
    return static_cast<std::uint8_t>(1u << (machine % 8));
}

// The byte of machine k's bit in the field of species s.
constexpr std::size_t MachineBitAt(const Release& release, int species, int machine) {
    return FieldAt(release, species, FieldByteOf(machine));
}

// One past the last byte any table of the release holds: Celebi's last field byte.
constexpr std::size_t TablesEndOf(const Release& release) {
    return FieldAt(release, kSpecies - 1, kFieldLength - 1) + 1;
}

}  // namespace brindlewick::test
