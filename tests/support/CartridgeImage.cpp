#include "support/CartridgeImage.h"

#include <algorithm>
#include <stdexcept>

namespace brindlewick::test {
namespace {

constexpr std::size_t kTitleOffset = 0x134;
constexpr std::size_t kChecksumOffset = 0x14D;
constexpr std::size_t kRecordSize = 7;
constexpr std::array<std::uint8_t, 3> kTutorMoves{0x35, 0x55, 0x3A};

void Put(Bytes& bytes, std::size_t offset, std::initializer_list<std::uint8_t> values) {
    if (offset + values.size() > bytes.size()) {
        throw std::out_of_range("cartridge image: a table lies beyond the image");
    }
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::size_t At(std::int64_t offset) {
    if (offset < 0) {
        throw std::out_of_range("cartridge image: a table lies before the image");
    }
    return static_cast<std::size_t>(offset);
}

// Title, game code, flags and version, then the checksum of them.
void WriteHeader(Bytes& bytes, const CartridgeLayout& layout, bool breakChecksum) {
    constexpr std::string_view kTitle = "BRINDLETEST";  // 11 characters up to the game code
    for (std::size_t i = 0; i < kTitle.size(); ++i) {
        bytes[kTitleOffset + i] = static_cast<std::uint8_t>(kTitle[i]);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[0x13F + i] = i < layout.gameCode.size()
                               ? static_cast<std::uint8_t>(layout.gameCode[i])
                               : std::uint8_t{0};
    }
    const bool japanese = layout.gameCode.size() == 4 && layout.gameCode[3] == 'J';
    Put(bytes, 0x143,
        {
            static_cast<std::uint8_t>(layout.crystal ? 0xC0 : 0x80),  // colour only / colour
            '0', '1',                                                 // new licensee
            0x03,                                                     // super functions
            0x10,                                                     // MBC3, timer, RAM, battery
            0x06,                                                     // 2 MiB of ROM
            0x03,                                                     // 32 KiB of RAM
            static_cast<std::uint8_t>(japanese ? 0x00 : 0x01),        // destination
            0x33,                                                     // use the new licensee
            0x00,                                                     // version
        });
    std::uint8_t x = 0;
    for (std::size_t i = kTitleOffset; i < kChecksumOffset; ++i) {
        x = static_cast<std::uint8_t>(x - bytes[i] - 1);
    }
    bytes[kChecksumOffset] = breakChecksum ? static_cast<std::uint8_t>(x + 1) : x;
}

void WriteBaseStats(Bytes& bytes, const CartridgeLayout& layout, std::int32_t shift) {
    const std::size_t start = At(static_cast<std::int64_t>(layout.BaseStatsOffset) + shift);
    for (int s = 0; s < kSpeciesCount; ++s) {
        const std::size_t record = start + static_cast<std::size_t>(s) * kSpeciesRecordSize;
        Put(bytes, record, {static_cast<std::uint8_t>(s + 1)});
        // Bytes 14 and 16 hold 100 and 5 in every original record.
        Put(bytes, record + 14, {100});
        Put(bytes, record + 16, {5});
        const auto field = CartridgeCompatibility(s, layout.crystal);
        std::copy(field.begin(), field.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(record + kCompatibilityFieldStart));
    }
}

void WriteItemRecords(Bytes& bytes, const CartridgeLayout& layout, bool shifted) {
    const std::size_t start = At(layout.TmPricesOffset) + (shifted ? kRecordSize : 0);
    const int records = kMachineCount + (layout.dummyItems ? 2 : 0);
    int machine = 0;
    for (int r = 0; r < records; ++r) {
        const std::size_t record = start + static_cast<std::size_t>(r) * kRecordSize;
        if (layout.dummyItems && (r == 4 || r == 29)) {
            Put(bytes, record, {0x99, 0x99, 0x00, 0x00, 0x00, 0x01, 0x00});
            continue;
        }
        const int price = CartridgePrice(machine);
        const bool hidden = machine >= kTmCount;
        Put(bytes, record,
            {static_cast<std::uint8_t>(price & 0xFF), static_cast<std::uint8_t>(price >> 8), 0x00,
             0x00, static_cast<std::uint8_t>(hidden ? 0xC0 : 0x40), 0x04, 0x50});
        ++machine;
    }
}

void WriteMoveList(Bytes& bytes, const CartridgeLayout& layout, std::int32_t shift) {
    std::size_t at = At(static_cast<std::int64_t>(layout.TmMovesOffset) + shift);
    for (const std::uint8_t move : CartridgeMoves()) {
        Put(bytes, at++, {move});
    }
    if (layout.crystal) {
        for (const std::uint8_t move : kTutorMoves) {
            Put(bytes, at++, {move});
        }
    }
    Put(bytes, at, {0x00});
}

// A file offset as the game's code names it: a bank and an address in 0x4000..0x7FFF (or below
// 0x4000 in bank 0).
struct BankAddress {
    std::uint8_t bank;
    std::uint8_t low;
    std::uint8_t high;
};
BankAddress AddressOf(std::int64_t offset) {
    constexpr std::int64_t kBank = 0x4000;
    const auto bank = static_cast<std::uint8_t>(offset / kBank);
    const auto address = static_cast<unsigned>(offset < kBank ? offset : kBank + offset % kBank);
    return {bank, static_cast<std::uint8_t>(address & 0xFF),
            static_cast<std::uint8_t>(address >> 8)};
}

void PutBytes(Bytes& image, std::size_t offset, const Bytes& bytes) {
    if (offset + bytes.size() > image.size()) {
        throw std::out_of_range("cartridge image: a name lies beyond the image");
    }
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

Bytes GameText(std::string_view text) {
    Bytes bytes;
    for (const char c : text) {
        if (c >= 'A' && c <= 'Z') {
            bytes.push_back(static_cast<std::uint8_t>(0x80 + (c - 'A')));
        } else if (c >= '0' && c <= '9') {
            bytes.push_back(static_cast<std::uint8_t>(0xF6 + (c - '0')));
        } else if (c == ' ') {
            bytes.push_back(0x7F);
        } else if (c == '-') {
            bytes.push_back(0xE3);
        } else if (c == '\'') {
            bytes.push_back(0xE0);
        } else if (c == '.') {
            bytes.push_back(0xE8);
        } else {
            throw std::invalid_argument("GameText: no byte for " + std::string(1, c));
        }
    }
    return bytes;
}

NameTablesLayout MadeUpNames(int width) {
    NameTablesLayout names;
    names.speciesWidth = width;
    for (int s = 1; s <= kSpeciesCount; ++s) {
        Bytes name = GameText("SPECIES" + std::to_string(s));
        name.resize(std::min<std::size_t>(name.size(), static_cast<std::size_t>(width)));
        names.species.push_back(name);
    }
    for (int m = 1; m < kMoveCount; ++m) {
        names.moves.push_back(GameText("MOVE" + std::to_string(m)));
    }
    const char* types[] = {"NORMAL",  "FIGHTING", "FLYING", "POISON", "GROUND", "ROCK",
                           "BIRD",    "BUG",      "GHOST",  "STEEL",  "UNUSED", "UNUSED",
                           "UNUSED",  "UNUSED",   "UNUSED", "UNUSED", "UNUSED", "UNUSED",
                           "UNUSED",  "???",      "FIRE",   "WATER",  "GRASS",  "ELECTRIC",
                           "PSYCHIC", "ICE",      "DRAGON", "DARK"};
    for (const char* type : types) {
        names.types.push_back(std::string_view(type) == "???" ? Bytes{0xE6, 0xE6, 0xE6}
                                                              : GameText(type));
    }
    return names;
}

void WriteNameCode(Bytes& image, const CartridgeLayout& layout, const NameTablesLayout& names) {
    const auto width = static_cast<std::size_t>(names.speciesWidth);
    // The species names, each padded with 0x50 to its width.
    for (std::size_t s = 0; s < names.species.size(); ++s) {
        Bytes entry = names.species[s];
        entry.resize(width, 0x50);
        PutBytes(image, names.speciesAt + s * width, entry);
    }
    // The move names, each ended by 0x50.
    std::size_t at = names.movesAt;
    for (const Bytes& move : names.moves) {
        PutBytes(image, at, move);
        at += move.size();
        Put(image, at++, {0x50});
    }
    // The type-name pointers in their bank, the names right behind them.
    const std::size_t typeBankStart = names.typeBank * 0x4000;
    const std::size_t pointers = typeBankStart + names.typePointers;
    std::size_t name = pointers + 2 * names.types.size();
    for (std::size_t t = 0; t < names.types.size(); ++t) {
        const BankAddress address = AddressOf(static_cast<std::int64_t>(name));
        Put(image, pointers + 2 * t, {address.low, address.high});
        PutBytes(image, name, names.types[t]);
        name += names.types[t].size();
        Put(image, name++, {0x50});
    }
    if (!names.speciesTypes.empty()) {
        for (std::size_t s = 0; s < names.speciesTypes.size(); ++s) {
            const std::size_t record =
                static_cast<std::size_t>(layout.BaseStatsOffset) + s * kSpeciesRecordSize;
            Put(image, record + 7, {names.speciesTypes[s][0], names.speciesTypes[s][1]});
        }
    }

    const std::uint8_t hram = layout.crystal ? 0x9D : 0x9F;
    const BankAddress species = AddressOf(static_cast<std::int64_t>(names.speciesAt));
    const auto getPokemonName = static_cast<std::uint16_t>(names.getPokemonName);
    if (layout.crystal && width == 10) {
        Put(image, names.getPokemonName,
            {0xF0, hram, 0xF5, 0xE5, 0x3E,        species.bank, 0xD7, 0xFA, 0x2C,
             0xCF, 0x3D, 0x16, 0x00, 0x5F,        0x26,         0x00, 0x6F, 0x29,
             0x29, 0x19, 0x29, 0x11, species.low, species.high, 0x19, 0x11, 0x3B,
             0xD0, 0xD5, 0x01, 0x0A, 0x00,        0xCD,         0x23, 0x30, 0x21,
             0x45, 0xD0, 0x36, 0x50, 0xD1,        0xE1,         0xF1, 0xD7, 0xC9});
    } else {
        Bytes routine{0xF0, hram, 0xF5, 0xE5,        0x3E,         species.bank, 0xD7, 0xFA, 0x2C,
                      0xCF, 0x3D, 0x21, species.low, species.high, 0x5F,         0x16, 0x00};
        routine.insert(routine.end(), width, 0x19);
        const Bytes tail{0x11, 0x3B, 0xD0, 0xD5, 0x01, static_cast<std::uint8_t>(width),
                         0x00, 0xCD, 0x23, 0x30, 0x21, 0x45,
                         0xD0, 0x36, 0x50, 0xD1, 0xE1, 0xF1,
                         0xD7, 0xC9};
        routine.insert(routine.end(), tail.begin(), tail.end());
        PutBytes(image, names.getPokemonName, routine);
    }
    // GetName's start calls GetPokemonName; its look-up reads the name pointer table and
    // calls the name skipper; GetMoveName calls GetName with list 2, the moves.
    const auto low = [](std::size_t address) { return static_cast<std::uint8_t>(address & 0xFF); };
    const auto high = [](std::size_t address) { return static_cast<std::uint8_t>(address >> 8); };
    constexpr std::size_t kGetNameStartLength = 30;
    Put(image, names.getName,
        {0xF0,
         hram,
         0xF5,
         0xE5,
         0xC5,
         0xD5,
         0xFA,
         0x2F,
         0xCF,
         0xFE,
         0x01,
         0x20,
         0x0A,
         0xFA,
         0x2E,
         0xCF,
         0xEA,
         0x2C,
         0xCF,
         0xCD,
         low(getPokemonName),
         high(getPokemonName),
         0x21,
         0x0B,
         0x00,
         0x19,
         0x5D,
         0x54,
         0x18,
         0x1E});
    Put(image, names.getName + kGetNameStartLength + names.lookUpGap,
        {0x3D,
         0x5F,
         0x16,
         0x00,
         0x21,
         low(names.namePointers),
         high(names.namePointers),
         0x19,
         0x19,
         0x19,
         0x2A,
         0xD7,
         0x2A,
         0x66,
         0x6F,
         0xFA,
         0x2E,
         0xCF,
         0x3D,
         0xCD,
         low(names.nameSkipper),
         high(names.nameSkipper)});
    Put(image, names.getMoveName,
        {0x3E, 0x02, 0xEA, 0x2F, 0xCF, 0xFA, 0x2E, 0xCF, 0xEA, 0x2E, 0xCF, 0xCD, low(names.getName),
         high(names.getName), 0x11, 0x3B, 0xD0, 0xE1, 0xC9});
    Put(image, names.nameSkipper,
        {0xA7, 0xC8, 0xC5, 0x47, 0x0E, 0x50, 0x2A, 0xB9, 0x20, 0xFC, 0x05, 0x20, 0xF9, 0xC1, 0xC9});
    // The name pointer table: species, moves, an empty entry, the items (at the moves' place:
    // never read here), and four more.
    const BankAddress moves = AddressOf(static_cast<std::int64_t>(names.movesAt));
    Put(image, names.namePointers,
        {species.bank, species.low, species.high, moves.bank, moves.low, moves.high, 0, 0, 0,
         moves.bank, moves.low, moves.high});
    const BankAddress table = AddressOf(static_cast<std::int64_t>(pointers));
    Put(image, typeBankStart + names.getTypeName,
        {0xFA, 0x5F, 0xD2, 0x21, table.low, table.high, 0x5F, 0x16, 0x00, 0x19, 0x19, 0x2A,
         0x66, 0x6F, 0x11, 0x3B, 0xD0,      0x01,       0x0D, 0x00, 0xC3, 0x23, 0x30});
}

std::uint8_t Tm01ItemOf(const CartridgeLayout& layout) {
    return layout.dummyItems ? 0xBF : 0xC3;
}

std::size_t TmHmMoveAt(const CartridgeLayout& layout, const GameCodeLayout& code) {
    const auto moves = static_cast<std::size_t>(code.moves.value_or(layout.TmMovesOffset));
    return code.tmHmMove != 0 ? code.tmHmMove : moves / 0x4000 * 0x4000 + 0x3F00;
}

void WriteGameCode(Bytes& image, const CartridgeLayout& layout, const GameCodeLayout& code) {
    // The wildcards hold what the builds hold there: the current bank's place in high RAM,
    // RAM addresses and call targets in bank 0.
    const std::uint8_t hram = layout.crystal ? 0x9D : 0x9F;
    const BankAddress base = AddressOf(code.baseStats.value_or(layout.BaseStatsOffset));
    Put(image, code.baseData, {0xC5, 0xD5, 0xE5, 0xF0,     hram,      0xF5, 0x3E, base.bank, 0xD7,
                               0xFA, 0x88, 0xCF, 0xFE,     0xFD,      0x28, 0x09, 0x3D,      0x01,
                               0x20, 0x00, 0x21, base.low, base.high, 0xCD, 0x2B, 0x30});
    const BankAddress moves = AddressOf(code.moves.value_or(layout.TmMovesOffset));
    Put(image, TmHmMoveAt(layout, code),
        {0xFA, 0x88, 0xD2, 0x3D, 0x21, moves.low, moves.high, 0x06, 0x00, 0x4F, 0x09, 0x7E, 0xEA,
         0x89, 0xD2, 0xC9});
    Put(image, code.eggMoveLoop,
        {0x21, moves.low, moves.high, 0x3E, moves.bank, 0xCD, 0x4D, 0x30, 0x23, 0xA7, 0x28, 0x05});
    // GetItemAttr points at item 1's record.
    const std::uint8_t tm01 = Tm01ItemOf(layout);
    const BankAddress items = AddressOf(code.tm01Record.value_or(layout.TmPricesOffset) -
                                        static_cast<std::int64_t>(kRecordSize) * (tm01 - 1));
    Put(image, code.itemAttr,
        {0xE5, 0xC5, 0x21,       items.low, items.high, 0x4F, 0x06, 0x00, 0x09, 0xAF, 0xEA,
         0x3F, 0xD1, 0xFA,       0x65,      0xD2,       0x3D, 0x4F, 0x3E, 0x07, 0xCD, 0x58,
         0x30, 0x3E, items.bank, 0xCD,      0x4D,       0x30, 0xC1, 0xE1, 0xC9});
    if (layout.dummyItems) {
        Put(image, code.tmHmNumber,
            {0x79, 0xFE, 0xC3, 0x38, 0x06, 0xFE, 0xDC, 0x38, 0x01, 0x3D, 0x3D, 0xD6, tm01, 0x3C,
             0x4F, 0xC9});
    } else {
        Put(image, code.tmHmNumber, {0x79, 0xD6, tm01, 0x3C, 0x4F, 0xC9});
    }
}

Bytes RepointedImage(const Release& release, const Release& moved, std::size_t tmHmMove) {
    Bytes image = CartridgeImageBytes(LayoutOf(release));
    const Bytes live = CartridgeImageBytes(LayoutOf(moved));
    const std::size_t moveList = kMachineCount + (release.IsCrystal() ? 4 : 1);
    for (const auto& [start, length] : {std::pair<std::size_t, std::size_t>{moved.moves, moveList},
                                        {moved.prices, (kMachineCount + 2) * kRecordSize},
                                        {moved.baseStats, kSpeciesCount * kSpeciesRecordSize}}) {
        std::copy_n(live.begin() + static_cast<std::ptrdiff_t>(start), length,
                    image.begin() + static_cast<std::ptrdiff_t>(start));
    }
    GameCodeLayout code;
    code.moves = static_cast<std::int32_t>(moved.moves);
    code.baseStats = static_cast<std::int32_t>(moved.baseStats);
    code.tm01Record = static_cast<std::int32_t>(moved.prices);
    code.tmHmMove = tmHmMove;
    WriteGameCode(image, LayoutOf(release), code);
    return image;
}

const std::array<std::uint8_t, kMachineCount>& CartridgeMoves() {
    static const auto moves = [] {
        // Steps of 37 through 1..251 visit every move once (251 is prime).
        std::array<std::uint8_t, kMachineCount> list{};
        std::size_t count = 0;
        for (int i = 0; count < list.size(); ++i) {
            const auto move = static_cast<std::uint8_t>(1 + (i * 37) % 251);
            if (std::find(kTutorMoves.begin(), kTutorMoves.end(), move) == kTutorMoves.end()) {
                list[count++] = move;
            }
        }
        return list;
    }();
    return moves;
}

std::vector<int> CartridgeFreeMoves() {
    std::vector<int> free;
    const auto& moves = CartridgeMoves();
    for (int move = 1; move < kMoveCount; ++move) {
        if (std::find(moves.begin(), moves.end(), move) == moves.end() &&
            std::find(kTutorMoves.begin(), kTutorMoves.end(), move) == kTutorMoves.end()) {
            free.push_back(move);
        }
    }
    return free;
}

int CartridgePrice(int machine) {
    return machine >= kTmCount ? 0 : 1000 + 100 * ((machine * 7) % 31);
}

std::array<std::uint8_t, kCompatibilityFieldLength> CartridgeCompatibility(int species,
                                                                           bool crystal) {
    std::array<std::uint8_t, kCompatibilityFieldLength> field{};
    for (std::size_t j = 0; j < field.size(); ++j) {
        field[j] = static_cast<std::uint8_t>((species * 53 + static_cast<int>(j) * 29 + 7) % 256);
    }
    // The last byte: HM07 in bit 0, in Crystal the tutor flags in bits 1..3; bits 4..7 clear.
    const auto hm07 = static_cast<std::uint8_t>(species % 3 == 0 ? 1 : 0);
    const auto tutor = static_cast<std::uint8_t>(crystal ? ((species % 8) << 1) : 0);
    field.back() = static_cast<std::uint8_t>(hm07 | tutor);
    return field;
}

Bytes CartridgeImageBytes(const CartridgeLayout& layout, const CartridgeOptions& options) {
    Bytes bytes =
        options.zeroBackground ? Bytes(kRomSize) : SyntheticRomBytes(layout.gameCode, kRomSize);
    WriteHeader(bytes, layout, options.breakHeaderChecksum);
    WriteBaseStats(bytes, layout, options.baseStatsShift);
    WriteItemRecords(bytes, layout, options.itemRecordsShifted);
    WriteMoveList(bytes, layout, options.moveListShift);
    if (options.code) {
        WriteGameCode(bytes, layout, *options.code);
    }
    if (options.names) {
        WriteNameCode(bytes, layout, *options.names);
    }
    return bytes;
}

std::string MakeCartridgeImage(const TempDir& dir, const CartridgeLayout& layout,
                               const CartridgeOptions& options, std::string_view name) {
    const auto path = dir.File(name);
    WriteFileBytes(path, CartridgeImageBytes(layout, options));
    return path;
}

CartridgeLayout LayoutOf(const Release& release) {
    return {std::string(release.code), static_cast<std::int32_t>(release.moves),
            static_cast<std::int32_t>(release.baseStats), static_cast<std::int32_t>(release.prices),
            release.IsCrystal()};
}

}  // namespace brindlewick::test
