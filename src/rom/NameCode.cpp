#include "rom/NameCode.h"

#include <array>
#include <optional>

#include "convert/HexDigits.h"
#include "rom/GameCodeSearch.h"

namespace brindlewick {
namespace {

// GetPokemonName: the bank and address of the species names, and in Gold and Silver their
// width as a row of `19` (add hl, de) and as the length copied (`01 WW 00`).
const CodePattern& CrystalPokemonName() {
    static const CodePattern pattern(
        "GetPokemonName",
        "F0 .. F5 E5 3E bb D7 FA .. .. 3D 16 00 5F 26 00 6F 29 29 19 29 11 ll hh 19 11 .. .. D5 "
        "01 0A 00 CD .. .. 21 .. .. 36 50 D1 E1 F1 D7 C9");
    return pattern;
}
std::string GoldSilverPokemonName(int width) {
    std::string text = "F0 .. F5 E5 3E bb D7 FA .. .. 3D 21 ll hh 5F 16 00";
    for (int i = 0; i < width; ++i) {
        text += " 19";
    }
    return text + " 11 .. .. D5 01 " + HexText(static_cast<unsigned>(width), 2) +
           " 00 CD .. .. 21 .. .. 36 50 D1 E1 F1 D7 C9";
}
const CodePattern& GoldSilverPokemonName10() {
    static const CodePattern pattern("GetPokemonName", GoldSilverPokemonName(10));
    return pattern;
}
const CodePattern& GoldSilverPokemonName5() {
    static const CodePattern pattern("GetPokemonName", GoldSilverPokemonName(5));
    return pattern;
}
// GetName's start calls GetPokemonName; its list look-up, a little further on, reads the name
// pointer table (3 bytes an entry) and calls the name skipper.
const CodePattern& GetNameStart() {
    static const CodePattern pattern(
        "GetName",
        "F0 .. F5 E5 C5 D5 FA .. .. FE 01 20 .. FA .. .. EA .. .. CD ll hh 21 .. 00 19 "
        "5D 54 18 ..");
    return pattern;
}
const CodePattern& GetNameLookUp() {
    static const CodePattern pattern(
        "GetName's list look-up",
        "3D 5F 16 00 21 LL HH 19 19 19 2A D7 2A 66 6F FA .. .. 3D CD ll hh");
    return pattern;
}
// `tt` is the name list of moves, counted from 1.
const CodePattern& GetMoveName() {
    static const CodePattern pattern("GetMoveName",
                                     "3E tt EA .. .. FA .. .. EA .. .. CD ll hh 11 .. .. E1 C9");
    return pattern;
}
const CodePattern& NameSkipper() {
    static const CodePattern pattern("the name skipper",
                                     "A7 C8 C5 47 0E 50 2A B9 20 FC 05 20 F9 C1 C9");
    return pattern;
}
const CodePattern& GetTypeName() {
    static const CodePattern pattern(
        "GetTypeName", "FA .. .. 21 ll hh 5F 16 00 19 19 2A 66 6F 11 .. .. 01 .. 00 C3 .. ..");
    return pattern;
}

enum Routine : std::size_t {
    kCrystalPokemonName,
    kGoldSilverPokemonName10,
    kGoldSilverPokemonName5,
    kGetNameStart,
    kGetNameLookUp,
    kGetMoveName,
    kNameSkipper,
    kGetTypeName,
    kRoutineCount,
};

const std::array<const CodePattern*, kRoutineCount>& Patterns() {
    static const std::array<const CodePattern*, kRoutineCount> patterns{
        &CrystalPokemonName(),
        &GoldSilverPokemonName10(),
        &GoldSilverPokemonName5(),
        &GetNameStart(),
        &GetNameLookUp(),
        &GetMoveName(),
        &NameSkipper(),
        &GetTypeName(),
    };
    return patterns;
}

// GetName's look-up lies at most this far after the end of its start: modified games insert
// code between the two.
constexpr std::int64_t kLookUpDistance = 0x60;
constexpr int kSpeciesNameCount = 251;
// An entry of the name pointer table: bank, then the address, low byte first.
constexpr std::int32_t kNamePointerSize = 3;

std::string Times(const std::string& routine, int count) {
    return routine +
           (count == 0 ? " was not found" : " was found " + std::to_string(count) + " times");
}

// The file offset a call from the routine at `from` to `address` reaches: bank 0 below 0x4000,
// otherwise the caller's own bank.
std::int64_t CallTarget(std::int64_t from, int address) {
    if (address < kBankSize) {
        return address;
    }
    return from / kBankSize * kBankSize + (address - kBankSize);
}

}  // namespace

std::span<const CodePattern* const> NameCodePatterns() {
    return Patterns();
}

NameRoutes FollowNameCode(const NameCodeHits& code, std::uint64_t fileSize) {
    NameRoutes routes;
    const std::vector<PatternHits>& hits = code.hits;
    if (!code.looked || hits.size() != kRoutineCount) {
        const std::string why = "the game's code was not looked at";
        routes.speciesProblem = routes.movesProblem = routes.typesProblem = why;
        return routes;
    }
    // GetPokemonName has three forms; together they must occur once.
    const PatternHits* pokemonName = nullptr;
    const CodePattern* pokemonPattern = nullptr;
    int pokemonCount = 0;
    int width = 0;
    for (const auto& [routine, each] :
         {std::pair{kCrystalPokemonName, 10}, std::pair{kGoldSilverPokemonName10, 10},
          std::pair{kGoldSilverPokemonName5, 5}}) {
        pokemonCount += hits[routine].count;
        if (hits[routine].count > 0) {
            pokemonName = &hits[routine];
            pokemonPattern = Patterns()[routine];
            width = each;
        }
    }
    if (pokemonCount != 1) {
        routes.speciesProblem = Times("GetPokemonName", pokemonCount);
    } else {
        const int bank = pokemonName->Byte(*pokemonPattern, "bb");
        const int address = pokemonName->Word(*pokemonPattern, "ll", "hh");
        if (const auto offset = BankedOffset(bank, address, kSpeciesNameCount * width, fileSize)) {
            routes.species = *offset;
            routes.speciesWidth = width;
        } else {
            routes.speciesProblem = "GetPokemonName points to " +
                                    HexText(static_cast<unsigned>(bank), 2) + ":" +
                                    HexText(static_cast<unsigned>(address), 4) +
                                    ", where 251 names do not fit in one bank of the file";
        }
    }

    // The move names: GetName's start must call GetPokemonName, its look-up must follow it and
    // call the name skipper, and GetMoveName must call GetName.
    auto once = [&](Routine routine) {
        if (hits[routine].count != 1) {
            routes.movesProblem = Times(Patterns()[routine]->Routine(), hits[routine].count);
            return false;
        }
        return true;
    };
    if (pokemonCount == 1 && once(kGetNameStart) && once(kGetNameLookUp) && once(kGetMoveName) &&
        once(kNameSkipper)) {
        const PatternHits& start = hits[kGetNameStart];
        const PatternHits& lookUp = hits[kGetNameLookUp];
        const PatternHits& moveName = hits[kGetMoveName];
        const PatternHits& skipper = hits[kNameSkipper];
        const std::int64_t startEnd =
            start.offset + static_cast<std::int64_t>(GetNameStart().Length());
        const int table = lookUp.Word(GetNameLookUp(), "LL", "HH");
        const int list = moveName.Byte(GetMoveName(), "tt");
        if (CallTarget(start.offset, start.Word(GetNameStart(), "ll", "hh")) !=
            pokemonName->offset) {
            routes.movesProblem = "GetName does not call GetPokemonName";
        } else if (lookUp.offset < startEnd || lookUp.offset > startEnd + kLookUpDistance) {
            routes.movesProblem = "GetName's list look-up does not follow GetName";
        } else if (CallTarget(lookUp.offset, lookUp.Word(GetNameLookUp(), "ll", "hh")) !=
                   skipper.offset) {
            routes.movesProblem = "GetName's list look-up does not call the name skipper";
        } else if (CallTarget(moveName.offset, moveName.Word(GetMoveName(), "ll", "hh")) !=
                   start.offset) {
            routes.movesProblem = "GetMoveName does not call GetName";
        } else if (list < 1 || table >= kBankSize ||
                   static_cast<std::uint64_t>(table + kNamePointerSize * list) > fileSize) {
            routes.movesProblem = "the name pointer table lies outside bank 0";
        } else {
            routes.speciesPointer = table;
            routes.movePointer = table + kNamePointerSize * (list - 1);
        }
    } else if (pokemonCount != 1 && routes.movesProblem.empty()) {
        routes.movesProblem = routes.speciesProblem;
    }

    // The type names: a table of pointers in GetTypeName's own bank.
    const PatternHits& typeName = hits[kGetTypeName];
    if (typeName.count != 1) {
        routes.typesProblem = Times("GetTypeName", typeName.count);
    } else {
        const auto bank = static_cast<int>(typeName.offset / kBankSize);
        const int address = typeName.Word(GetTypeName(), "ll", "hh");
        if (const auto offset = BankedOffset(bank, address, 2, fileSize)) {
            routes.typePointers = *offset;
            routes.typeBank = bank;
        } else {
            routes.typesProblem = "GetTypeName points outside its own bank";
        }
    }
    return routes;
}

}  // namespace brindlewick
