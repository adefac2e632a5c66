#include "rom/RomNames.h"

#include <algorithm>
#include <cstring>

#include "convert/HexDigits.h"
#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/GameCodeSearch.h"
#include "rom/NameCode.h"
#include "rom/Names.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"

namespace brindlewick {
namespace {

constexpr std::int32_t kBaseStatsLength = kSpeciesCount * kSpeciesRecordSize;
// The move names and the type names are read ahead by this much first (they take about 2.3 KB
// and 200 bytes in the releases), then, where that does not hold them, up to the end of their
// bank, past which the game cannot read them either.
constexpr std::int32_t kMoveNamesReadAhead = 4096;
constexpr std::int32_t kTypeNamesReadAhead = 1024;
constexpr int kNamedMoves = kMoveCount - 1;  // moves 1..251; 0 is no move and has no name

enum class Script : std::uint8_t { None, Hiragana, Katakana, Shared };

// The script of the first letter of a UTF-8 text: U+3041..U+3096 hiragana, U+30A1..U+30FA
// katakana (the long-vowel mark and the voicing marks are used with both, and are neither).
Script ScriptOf(std::string_view text) {
    if (text.size() < 3 || static_cast<unsigned char>(text[0]) != 0xE3) {
        return Script::None;
    }
    const unsigned codePoint = ((static_cast<unsigned char>(text[0]) & 0x0Fu) << 12) |
                               ((static_cast<unsigned char>(text[1]) & 0x3Fu) << 6) |
                               (static_cast<unsigned char>(text[2]) & 0x3Fu);
    if (codePoint >= 0x3041 && codePoint <= 0x3096) {
        return Script::Hiragana;
    }
    if (codePoint >= 0x30A1 && codePoint <= 0x30FA) {
        return Script::Katakana;
    }
    return Script::None;
}

struct JapaneseScripts {
    std::array<Script, 256> script{};
    std::array<std::string_view, 256> katakana{};  // of the shared bytes
};

const JapaneseScripts& Japanese() {
    static const JapaneseScripts scripts = [] {
        JapaneseScripts made;
        const auto& charmap = Charmap(NameLanguage::Japanese);
        for (std::size_t b = 0; b < charmap.size(); ++b) {
            made.script[b] = ScriptOf(charmap[b]);
        }
        for (const SharedKana& shared : SharedKanaBytes()) {
            made.script[shared.byte] = Script::Shared;
            made.katakana[shared.byte] = shared.katakana;
        }
        return made;
    }();
    return scripts;
}

std::string Hex(std::int64_t offset) {
    return OffsetText(offset);
}

std::string ByteText(std::uint8_t byte) {
    return "0x" + HexText(byte, 2);
}

// The length of the name at the start of `bytes`: up to its 0x50, or nothing when there is none.
std::optional<std::size_t> EndedNameLength(std::span<const std::uint8_t> bytes) {
    const void* end = std::memchr(bytes.data(), kEndOfName, bytes.size());
    if (end == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - bytes.data());
}

// The first byte of `bytes` (up to a 0x50) that `language` does not define, or nothing.
std::optional<std::uint8_t> UndefinedByte(std::span<const std::uint8_t> bytes,
                                          NameLanguage language) {
    const auto& charmap = Charmap(language);
    for (const std::uint8_t byte : bytes) {
        if (byte == kEndOfName) {
            break;
        }
        if (charmap[byte].empty()) {
            return byte;
        }
    }
    return std::nullopt;
}

// The whole file's bytes, or the operation's handle: what the names are read through.
class Reader {
public:
    virtual ~Reader() = default;
    virtual std::uint64_t Size() const = 0;
    [[nodiscard]] virtual std::error_code Read(std::span<const FileBlock> blocks) const = 0;
};

class FileReader final : public Reader {
public:
    explicit FileReader(const OpenFile& rom) : m_rom(rom) {}
    std::uint64_t Size() const override { return m_rom.Facts().size; }
    std::error_code Read(std::span<const FileBlock> blocks) const override {
        return m_rom.ReadBlocks(blocks);
    }

private:
    const OpenFile& m_rom;
};

class MemoryReader final : public Reader {
public:
    explicit MemoryReader(std::span<const std::uint8_t> image) : m_image(image) {}
    std::uint64_t Size() const override { return m_image.size(); }
    std::error_code Read(std::span<const FileBlock> blocks) const override {
        for (const FileBlock& block : blocks) {
            if (block.offset < 0 ||
                static_cast<std::uint64_t>(block.offset) + block.bytes.size() > m_image.size()) {
                return MakeErrorCode(FileFailure::ReadPastEnd);
            }
        }
        for (const FileBlock& block : blocks) {
            std::copy_n(m_image.begin() + block.offset, block.bytes.size(), block.bytes.begin());
        }
        return {};
    }

private:
    std::span<const std::uint8_t> m_image;
};

// One past the last byte of the bank that holds `offset`, inside a file of `size` bytes.
std::int64_t BankEnd(std::int64_t offset, std::uint64_t size) {
    return std::min<std::int64_t>((offset / kBankSize + 1) * kBankSize,
                                  static_cast<std::int64_t>(size));
}

// A 3-byte entry of the name pointer table (bank, address low, high) as a file offset.
std::optional<std::int32_t> NamePointer(std::span<const std::uint8_t, 3> entry,
                                        std::uint64_t size) {
    return BankedOffset(entry[0], entry[1] | (entry[2] << 8), 1, size);
}

// Names one after the other, each ended by 0x50, from the start of `bytes`: `count` of them,
// or why they cannot be read there ("" with `more` set when `bytes` ends before the last one
// and the bank goes on).
bool ReadEndedNames(std::span<const std::uint8_t> bytes, int count, NameLanguage language,
                    std::vector<std::string>& names, std::string& problem, bool& more) {
    names.clear();
    names.reserve(static_cast<std::size_t>(count) + 1);
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) {
        const auto length = EndedNameLength(bytes.subspan(at));
        if (!length) {
            more = true;
            return false;
        }
        auto name = DecodeName(bytes.subspan(at, *length), language);
        if (!name) {
            const auto bad = UndefinedByte(bytes.subspan(at, *length), language);
            problem = "name " + std::to_string(i + 1) + " holds the byte " +
                      ByteText(bad.value_or(0)) + ", which " + std::string(LanguageName(language)) +
                      " does not define";
            return false;
        }
        names.push_back(std::move(*name));
        at += *length + 1;
    }
    return true;
}

void ReadMoveNames(const Reader& reader, std::int32_t start, RomNames& names) {
    const std::int64_t end = BankEnd(start, reader.Size());
    std::int64_t length = std::min<std::int64_t>(kMoveNamesReadAhead, end - start);
    for (;;) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        const FileBlock block{start, bytes};
        if (reader.Read({&block, 1})) {
            names.movesProblem = "the move names could not be read";
            return;
        }
        std::vector<std::string> moves;
        std::string problem;
        bool more = false;
        if (ReadEndedNames(bytes, kNamedMoves, names.language, moves, problem, more)) {
            moves.insert(moves.begin(), std::string());
            names.moves = std::move(moves);
            names.movesAt = start;
            return;
        }
        if (!more || start + length >= end) {
            names.movesProblem =
                more ? "the move names at " + Hex(start) + " run past the end of their bank"
                     : "the move names at " + Hex(start) + ": " + problem;
            return;
        }
        length = end - start;
    }
}

// The type names from `bytes`, which begin at the pointer table (`table`, in bank `bank`):
// false with `more` set when they reach past `bytes`.
bool ParseTypeNames(std::span<const std::uint8_t> bytes, std::int32_t table, int bank,
                    std::uint64_t size, RomNames& names, bool& more) {
    const std::int64_t end = BankEnd(table, size);
    auto pointerAt = [&](std::int64_t i) -> std::optional<std::int32_t> {
        const std::size_t at = static_cast<std::size_t>(2 * i);
        const int address = bytes[at] | (bytes[at + 1] << 8);
        const auto offset = BankedOffset(bank, address, 1, size);
        // Bank 0 aside, the table and its names share their bank.
        if (!offset || (bank != 0 && *offset / kBankSize != bank)) {
            return std::nullopt;
        }
        return offset;
    };
    std::int64_t lowest = end;
    std::vector<std::int32_t> pointers;
    for (std::int64_t i = 0; table + 2 * i + 2 <= lowest; ++i) {
        if (static_cast<std::size_t>(2 * i + 2) > bytes.size()) {
            more = true;
            return false;
        }
        const auto pointer = pointerAt(i);
        if (!pointer || *pointer < table) {
            names.typesProblem =
                "type-name pointer " + std::to_string(i) + " leads outside its table's bank";
            return false;
        }
        pointers.push_back(*pointer);
        lowest = std::min<std::int64_t>(lowest, *pointer);
    }
    if (pointers.empty()) {
        names.typesProblem = "the type-name table at " + Hex(table) + " holds no pointer";
        return false;
    }
    std::vector<std::string> types;
    types.reserve(pointers.size());
    for (std::size_t type = 0; type < pointers.size(); ++type) {
        const auto at = static_cast<std::size_t>(pointers[type] - table);
        if (at >= bytes.size()) {
            more = true;
            return false;
        }
        const auto length = EndedNameLength(std::span(bytes).subspan(at));
        if (!length) {
            more = true;
            return false;
        }
        auto name = DecodeName(std::span(bytes).subspan(at, *length), names.language);
        if (!name) {
            names.typesProblem = "the name of type " + std::to_string(type) + " at " +
                                 Hex(pointers[type]) + " holds a byte " +
                                 std::string(LanguageName(names.language)) + " does not define";
            return false;
        }
        types.push_back(std::move(*name));
    }
    names.types = std::move(types);
    names.typesAt = table;
    return true;
}

void ReadTypeNames(const Reader& reader, std::span<const std::uint8_t> readAhead,
                   std::int32_t table, int bank, RomNames& names) {
    bool more = false;
    if (ParseTypeNames(readAhead, table, bank, reader.Size(), names, more) || !more) {
        return;
    }
    const std::int64_t end = BankEnd(table, reader.Size());
    if (table + static_cast<std::int64_t>(readAhead.size()) < end) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end - table));
        const FileBlock block{table, bytes};
        if (reader.Read({&block, 1})) {
            names.typesProblem = "the type names could not be read";
            return;
        }
        more = false;
        if (ParseTypeNames(bytes, table, bank, reader.Size(), names, more) || !more) {
            return;
        }
    }
    names.typesProblem = "the type names at " + Hex(table) + " run past the end of their bank";
}

// Reads everything through `reader`; false only when a read failed.
[[nodiscard]] std::error_code ReadThrough(const Reader& reader, const LocatedTables& located,
                                          RomNames& names) {
    names.language = LanguageOf(*located.places.release);
    names.looked = located.nameCode.looked;
    const NameRoutes routes = FollowNameCode(located.nameCode, reader.Size());
    names.speciesProblem = routes.speciesProblem;
    names.movesProblem = routes.movesProblem;
    names.typesProblem = routes.typesProblem;

    // What can be read at once, in one go: the species names, the name pointer table's two
    // entries, the type-name table with its names ahead, and the base-stats table.
    std::vector<FileBlock> blocks;
    std::vector<std::uint8_t> species;
    if (routes.species >= 0) {
        species.resize(static_cast<std::size_t>(kSpeciesCount * routes.speciesWidth));
        blocks.push_back({routes.species, species});
    }
    std::vector<std::uint8_t> pointers;
    if (routes.movePointer >= 0) {
        pointers.resize(static_cast<std::size_t>(routes.movePointer - routes.speciesPointer + 3));
        blocks.push_back({routes.speciesPointer, pointers});
    }
    std::vector<std::uint8_t> types;
    if (routes.typePointers >= 0) {
        types.resize(static_cast<std::size_t>(std::min<std::int64_t>(
            kTypeNamesReadAhead,
            BankEnd(routes.typePointers, reader.Size()) - routes.typePointers)));
        blocks.push_back({routes.typePointers, types});
    }
    std::vector<std::uint8_t> baseStats;
    const std::int32_t baseStatsAt = located.places.baseStats;
    if (static_cast<std::uint64_t>(baseStatsAt) + kBaseStatsLength <= reader.Size()) {
        baseStats.resize(kBaseStatsLength);
        blocks.push_back({baseStatsAt, baseStats});
    }
    if (auto error = reader.Read(blocks)) {
        return error;
    }

    if (!species.empty()) {
        const auto width = static_cast<std::size_t>(routes.speciesWidth);
        std::vector<std::string> decoded;
        decoded.reserve(kSpeciesCount);
        for (int s = 0; s < kSpeciesCount && names.speciesProblem.empty(); ++s) {
            const auto entry =
                std::span(species).subspan(static_cast<std::size_t>(s) * width, width);
            if (auto name = DecodeName(entry, names.language)) {
                decoded.push_back(std::move(*name));
            } else {
                names.speciesProblem = "the name of species " + std::to_string(s + 1) + " at " +
                                       Hex(routes.species + static_cast<std::int64_t>(s * width)) +
                                       " holds the byte " +
                                       ByteText(UndefinedByte(entry, names.language).value_or(0)) +
                                       ", which " + std::string(LanguageName(names.language)) +
                                       " does not define";
            }
        }
        if (names.speciesProblem.empty()) {
            names.species = std::move(decoded);
            names.speciesAt = routes.species;
            names.speciesWidth = routes.speciesWidth;
        }
    }
    if (!pointers.empty()) {
        const auto first = NamePointer(std::span(pointers).first<3>(), reader.Size());
        const auto moves = NamePointer(std::span(pointers).last<3>(), reader.Size());
        if (first != routes.species || routes.species < 0) {
            names.movesProblem = "the name pointer table at " + Hex(routes.speciesPointer) +
                                 " does not lead to the species names GetPokemonName reads";
        } else if (!moves) {
            names.movesProblem = "the name pointer table's entry of the moves at " +
                                 Hex(routes.movePointer) + " leads outside the file or its bank";
        } else {
            ReadMoveNames(reader, *moves, names);
        }
    }
    if (!types.empty()) {
        ReadTypeNames(reader, types, routes.typePointers, routes.typeBank, names);
    }
    if (!baseStats.empty()) {
        names.speciesTypes.resize(kSpeciesCount);
        for (int s = 0; s < kSpeciesCount; ++s) {
            const auto record = static_cast<std::size_t>(s * kSpeciesRecordSize);
            names.speciesTypes[static_cast<std::size_t>(s)] = {baseStats[record + kFirstTypeByte],
                                                               baseStats[record + kSecondTypeByte]};
        }
    }
    return {};
}

std::string TrimmedEntry(std::string_view entry) {
    while (!entry.empty() && entry.back() == ' ') {
        entry.remove_suffix(1);
    }
    return std::string(entry);
}

}  // namespace

NameLanguage LanguageOf(const RomProfile& release) {
    switch (release.gameCode.size() == 4 ? release.gameCode[3] : 'E') {
        case 'D':
            return NameLanguage::German;
        case 'F':
            return NameLanguage::French;
        case 'S':
            return NameLanguage::Spanish;
        case 'I':
            return NameLanguage::Italian;
        case 'J':
            return NameLanguage::Japanese;
        default:
            return NameLanguage::English;
    }
}

std::string_view LanguageName(NameLanguage language) {
    switch (language) {
        case NameLanguage::English:
            return "English";
        case NameLanguage::German:
            return "German";
        case NameLanguage::French:
            return "French";
        case NameLanguage::Spanish:
            return "Spanish";
        case NameLanguage::Italian:
            return "Italian";
        case NameLanguage::Japanese:
            return "Japanese";
    }
    return {};
}

std::optional<std::string> DecodeName(std::span<const std::uint8_t> bytes, NameLanguage language) {
    const auto& charmap = Charmap(language);
    std::size_t length = 0;
    while (length < bytes.size() && bytes[length] != kEndOfName) {
        ++length;
    }
    bytes = bytes.first(length);
    std::string name;
    name.reserve(length * (language == NameLanguage::Japanese ? 3 : 1));
    if (language != NameLanguage::Japanese) {
        for (const std::uint8_t byte : bytes) {
            const std::string_view text = charmap[byte];
            if (text.empty()) {
                return std::nullopt;
            }
            name += text;
        }
        return name;
    }
    // Japanese: the script of each letter, a shared byte taking that of the nearest letter of
    // one script before it (decided already), else after it.
    const JapaneseScripts& japanese = Japanese();
    std::vector<Script> scripts(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (charmap[bytes[i]].empty()) {
            return std::nullopt;
        }
        Script script = japanese.script[bytes[i]];
        if (script == Script::Shared) {
            script = Script::None;
            for (std::size_t j = i; j-- > 0 && script == Script::None;) {
                script = scripts[j];
            }
            for (std::size_t j = i + 1; j < bytes.size() && script == Script::None; ++j) {
                const Script after = japanese.script[bytes[j]];
                script = after == Script::Shared ? Script::None : after;
            }
            script = script == Script::Katakana ? Script::Katakana : Script::Hiragana;
            name += script == Script::Katakana ? japanese.katakana[bytes[i]] : charmap[bytes[i]];
        } else {
            name += charmap[bytes[i]];
        }
        scripts[i] = script;
    }
    return name;
}

std::optional<RomNames> ReadRomNames(const OpenFile& rom, const LocatedTables& located) {
    RomNames names;
    if (const auto error = ReadThrough(FileReader(rom), located, names)) {
        ReportFileFailure(FileAction::Read, rom.FileName(), error);
        return std::nullopt;
    }
    return names;
}

RomNames ReadRomNames(std::span<const std::uint8_t> image, const LocatedTables& located) {
    RomNames names;
    if (ReadThrough(MemoryReader(image), located, names)) {
        names.species.clear();
        names.moves.clear();
        names.types.clear();
        names.speciesTypes.clear();
        names.speciesProblem = names.movesProblem = names.typesProblem =
            "the file is too short for its tables";
    }
    return names;
}

std::string SpeciesNameOf(const RomNames& names, int species) {
    if (species < 0 || species >= kSpeciesCount) {
        return {};
    }
    const auto s = static_cast<std::size_t>(species);
    if (names.SpeciesRead() && !names.species[s].empty()) {
        return names.species[s];
    }
    return TrimmedEntry(SpeciesEntries()[s]);
}

std::string MoveNameOf(const RomNames& names, int move) {
    if (move < 0 || move >= kMoveCount) {
        return "byte " + HexText(static_cast<unsigned>(move), 2);
    }
    const auto m = static_cast<std::size_t>(move);
    if (move > 0 && names.MovesRead() && !names.moves[m].empty()) {
        return names.moves[m];
    }
    return TrimmedEntry(MoveEntries()[m]);
}

std::string TypeNameOf(const RomNames& names, int type) {
    if (type >= 0 && static_cast<std::size_t>(type) < names.types.size()) {
        return names.types[static_cast<std::size_t>(type)];
    }
    return "type " + std::to_string(type);
}

std::string SpeciesTypesText(const RomNames& names, int species) {
    if (species < 0 || static_cast<std::size_t>(species) >= names.speciesTypes.size()) {
        return {};
    }
    const SpeciesTypes& types = names.speciesTypes[static_cast<std::size_t>(species)];
    // A species of one type holds it twice; its blanks (the Japanese names pad with one) are
    // no part of the name shown.
    auto shown = [&](int type) {
        std::string text = TypeNameOf(names, type);
        while (text.ends_with(' ')) {
            text.pop_back();
        }
        while (text.ends_with("\u3000")) {
            text.resize(text.size() - 3);
        }
        return text;
    };
    std::string text = shown(types[0]);
    if (types[1] != types[0]) {
        text += "/" + shown(types[1]);
    }
    return text;
}

std::string DescribeNames(const RomNames& names) {
    if (!names.looked) {
        return {};
    }
    const std::string language(LanguageName(names.language));
    std::string text;
    if (names.SpeciesRead()) {
        text += "The species names were read from the game in " + language + " at " +
                Hex(names.speciesAt) + " (" + std::to_string(names.speciesWidth) + " bytes each).";
    } else {
        text += "The species names could not be read (" + names.speciesProblem +
                "): the list's names stand for them.";
    }
    if (names.MovesRead()) {
        text += " The move names were read at " + Hex(names.movesAt) + ".";
    } else {
        text += " The move names could not be read (" + names.movesProblem +
                "): the list's names stand for them.";
    }
    if (names.TypesRead()) {
        text += " The " + std::to_string(names.types.size()) + " type names were read at " +
                Hex(names.typesAt) + ".";
    } else {
        text += " The type names could not be read (" + names.typesProblem +
                "): types are shown by number.";
    }
    return text;
}

std::string DescribeNamesFallback(const RomNames& names) {
    if (!names.looked || names.AllRead()) {
        return {};
    }
    std::string text;
    if (!names.SpeciesRead()) {
        text += "The ROM's species names could not be read (" + names.speciesProblem +
                "); the list's names are shown.";
    }
    if (!names.MovesRead()) {
        text += std::string(text.empty() ? "" : " ") + "The ROM's move names could not be read (" +
                names.movesProblem + "); the list's names are shown.";
    }
    if (!names.TypesRead()) {
        text += std::string(text.empty() ? "" : " ") + "The ROM's type names could not be read (" +
                names.typesProblem + "); types are shown by number.";
    }
    return text;
}

}  // namespace brindlewick
