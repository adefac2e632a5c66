// Names read from test images whose game's code leads to name tables, in each language's
// encoding: exactly what the tables hold, renamed species and moves and renumbered types
// included; a table that cannot be read falls back to the lists' names, and is said to.
#include <gtest/gtest.h>

#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"
#include "support/Cartridge.h"
#include "support/CartridgeImage.h"

namespace brindlewick {
namespace {

using test::Bytes;

struct NamedImage {
    Bytes image;
    RomNames names;
};

NamedImage Read(std::string_view code, const test::NameTablesLayout& names,
                const std::function<void(Bytes&)>& change = {}) {
    const test::CartridgeLayout layout = test::LayoutOf(test::ReleaseOf(code));
    test::CartridgeOptions options;
    options.code = test::GameCodeLayout{};
    options.names = names;
    NamedImage made{test::CartridgeImageBytes(layout, options), {}};
    if (change) {
        change(made.image);
    }
    const LocatedTables located = LocateTables(made.image, *Identify(code));
    made.names = ReadRomNames(made.image, located);
    return made;
}

// One release of each language: its names written in that language's bytes read back as the
// language shows them, the species names of the Japanese releases five bytes wide.
TEST(RomNames, EachLanguageReadsItsOwnBytes) {
    struct Row {
        std::string_view code;
        Bytes species;  // Bulbasaur's name in the image
        std::string shown;
        Bytes move;  // Pound's
        std::string moveShown;
    };
    const Row rows[] = {
        {"AAUE", {0x81, 0xB4, 0xAB, 0xA1, 0xA0}, "Bulba", {0x8F, 0xE8, 0x7F, 0xF7}, "P. 1"},
        {"BYTD", {0x81, 0xC5, 0xB2, 0xB2}, "Büss", {0xC0, 0xE3, 0xC1}, "Ä-Ö"},
        {"BYTF", {0x81, 0xBC, 0xBB, 0xBA, 0xBD}, "Béèàù", {0xD4, 0xE0}, "c''"},
        {"AAUS", {0x81, 0xE4, 0xE5}, "B¿¡", {0xBF, 0xD2}, "Áñ"},
        {"AAXI", {0x81, 0xD6}, "Bº", {0xC7}, "É"},
        // ヒトカゲ, and the katakana ベ of a byte that is ベ or べ: the letter after it decides.
        {"AAUJ", {0x9A, 0x93, 0x85, 0x08}, "ヒトカゲ", {0x3D, 0x93, 0x3D, 0x93}, "ベトベト"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.code));
        const bool japanese = row.code.back() == 'J';
        test::NameTablesLayout names = test::MadeUpNames(japanese ? 5 : 10);
        names.species[0] = row.species;
        names.moves[0] = row.move;
        if (japanese) {
            // Every other name in kana too: ア, then one letter a species.
            for (std::size_t s = 1; s < names.species.size(); ++s) {
                names.species[s] = {0x80, static_cast<std::uint8_t>(0x80 + s % 40)};
            }
            for (std::size_t m = 1; m < names.moves.size(); ++m) {
                names.moves[m] = {0xB1, static_cast<std::uint8_t>(0xB1 + m % 40)};
            }
        }
        const NamedImage made = Read(row.code, names);
        ASSERT_TRUE(made.names.AllRead()) << DescribeNames(made.names);
        EXPECT_EQ(made.names.speciesWidth, japanese ? 5 : 10);
        EXPECT_EQ(made.names.species[0], row.shown);
        EXPECT_EQ(made.names.moves[1], row.moveShown);
        EXPECT_EQ(made.names.moves[0], "");
        if (!japanese) {
            // A name of the full width has no 0x50 after it.
            EXPECT_EQ(made.names.species[250], "SPECIES251");
            EXPECT_EQ(made.names.moves[251], "MOVE251");
            EXPECT_EQ(made.names.types[20], "FIRE");
            EXPECT_EQ(made.names.types[19], "???");
        } else {
            EXPECT_EQ(made.names.species[1], "アイ");
        }
    }
}

TEST(RomNames, SharedKanaTakeTheScriptOfTheLetterBeside) {
    const auto decode = [](Bytes bytes) {
        return DecodeName(bytes, NameLanguage::Japanese).value_or("(none)");
    };
    EXPECT_EQ(decode({0xB1, 0x3D}), "あべ");          // after a hiragana
    EXPECT_EQ(decode({0x80, 0x3D}), "アベ");          // after a katakana
    EXPECT_EQ(decode({0x3D, 0xB1}), "べあ");          // at the start: the letter after it
    EXPECT_EQ(decode({0xD8, 0xE3, 0xCD}), "りーへ");  // the long vowel is neither script
    EXPECT_EQ(decode({0x80, 0xE3, 0xD8}), "アーリ");
    EXPECT_EQ(decode({0x47, 0x47, 0x80}), "ペペア");  // a run of them, decided by the first after
    EXPECT_EQ(decode({0x3D}), "べ");                  // nothing to go by: as the table shows it
    EXPECT_EQ(decode({0x80, 0x00}), "(none)");        // a byte Japanese does not define
    EXPECT_EQ(decode({0x80, 0x50, 0x00}), "ア");      // nothing after the end counts
}

// A modified game: every species and move renamed, the types renumbered (GHOST and DARK
// swapped, a 29th type FAIRY), and the species' types given in those numbers.
TEST(RomNames, ARenamedGameIsReadAsItsCodeLeads) {
    test::NameTablesLayout names = test::MadeUpNames();
    for (std::size_t s = 0; s < names.species.size(); ++s) {
        names.species[s] = test::GameText("MON " + std::to_string(251 - s));
    }
    for (std::size_t m = 0; m < names.moves.size(); ++m) {
        names.moves[m] = test::GameText("ATTACK-" + std::to_string(m + 1));
    }
    std::swap(names.types[8], names.types[27]);
    names.types.push_back(test::GameText("FAIRY"));
    names.speciesTypes.assign(251, {22, 3});
    names.speciesTypes[34] = {28, 28};  // Clefairy
    names.speciesTypes[91] = {27, 3};   // Gastly: this game's number of GHOST
    // Placed elsewhere, with code inserted between GetName's start and its look-up.
    names.speciesAt = 0x180123;
    names.movesAt = 0x1F0000;
    names.typeBank = 0x40;
    names.lookUpGap = 0x2D;
    const NamedImage made = Read("BYTE", names);
    ASSERT_TRUE(made.names.AllRead()) << DescribeNames(made.names);
    EXPECT_EQ(made.names.speciesAt, 0x180123);
    EXPECT_EQ(made.names.movesAt, 0x1F0000);
    EXPECT_EQ(SpeciesNameOf(made.names, 0), "MON 251");
    EXPECT_EQ(SpeciesNameOf(made.names, 250), "MON 1");
    EXPECT_EQ(MoveNameOf(made.names, 1), "ATTACK-1");
    EXPECT_EQ(MoveNameOf(made.names, 251), "ATTACK-251");
    EXPECT_EQ(MoveNameOf(made.names, 0), "N/A");
    ASSERT_EQ(made.names.types.size(), 29u);
    EXPECT_EQ(made.names.types[8], "DARK");
    EXPECT_EQ(made.names.types[27], "GHOST");
    EXPECT_EQ(SpeciesTypesText(made.names, 34), "FAIRY");
    EXPECT_EQ(SpeciesTypesText(made.names, 91), "GHOST/POISON");
    EXPECT_EQ(SpeciesTypesText(made.names, 0), "GRASS/POISON");
    EXPECT_EQ(DescribeNamesFallback(made.names), "");
}

// Whatever cannot be read is not guessed: that table falls back to the lists' names, the
// others are read, and what the program tells about the file says why.
TEST(RomNames, AnUnreadableTableFallsBackToTheListsAndSaysWhy) {
    struct Row {
        std::string name;
        std::function<void(test::NameTablesLayout&)> names;
        std::function<void(Bytes&)> image;
        bool species, moves, types;
        std::string why;
    };
    const Row rows[] = {
        {"a species name with a byte English does not define",
         [](auto& names) { names.species[24][2] = 0x01; },
         {},
         false,
         true,
         true,
         "the name of species 25 at 0x1C00F0 holds the byte 0x01"},
        {"the move names running off their bank",
         [](auto& names) { names.movesAt = 0x1C7E00; },
         {},
         true,
         false,
         true,
         "run past the end of their bank"},
        {"a type-name pointer outside its bank",
         {},
         [](Bytes& image) { image[0x72 * 0x4000 + 0x200 + 2 * 5 + 1] = 0x90; },
         true,
         true,
         false,
         "type-name pointer 5 leads outside"},
        {"the name pointer table not leading to the species names",
         {},
         [](Bytes& image) { image[0x3B40 + 1] ^= 0x10; },
         true,
         false,
         true,
         "does not lead to the species names"},
        {"GetPokemonName twice",
         {},
         [](Bytes& image) { std::copy_n(image.begin() + 0x3A00, 64, image.begin() + 0x3900); },
         false,
         false,
         true,
         "GetPokemonName was found 2 times"},
        {"GetTypeName missing",
         {},
         [](Bytes& image) { image[0x72 * 0x4000 + 0x100] = 0x00; },
         true,
         true,
         false,
         "GetTypeName was not found"},
        {"GetMoveName calling something else",
         {},
         [](Bytes& image) { image[0x3AC0 + 12] ^= 0x01; },
         true,
         false,
         true,
         "GetMoveName does not call GetName"},
        {"GetName's look-up too far on",
         [](auto& names) {
             names.lookUpGap = 0x61;
             names.getMoveName = 0x3BA0;
         },
         {},
         true,
         false,
         true,
         "does not follow GetName"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::NameTablesLayout names = test::MadeUpNames();
        if (row.names) {
            row.names(names);
        }
        const NamedImage made = Read("AAUE", names, row.image);
        EXPECT_EQ(made.names.SpeciesRead(), row.species);
        EXPECT_EQ(made.names.MovesRead(), row.moves);
        EXPECT_EQ(made.names.TypesRead(), row.types);
        const std::string told = DescribeNamesFallback(made.names);
        EXPECT_NE(told.find(row.why), std::string::npos) << told;
        EXPECT_NE(DescribeNames(made.names).find(row.why), std::string::npos);
        // The lists' names stand for what could not be read.
        EXPECT_EQ(SpeciesNameOf(made.names, 24), row.species ? "SPECIES25" : "Pikachu");
        EXPECT_EQ(MoveNameOf(made.names, 14), row.moves ? "MOVE14" : "words Dance");
        EXPECT_EQ(TypeNameOf(made.names, 20), row.types ? "FIRE" : "type 20");
    }
}

TEST(RomNames, AnImageThatDoesNotBootIsNotLookedAt) {
    const test::CartridgeLayout layout = test::LayoutOf(test::ReleaseOf("AAUE"));
    test::CartridgeOptions options;
    options.code = test::GameCodeLayout{};
    options.names = test::MadeUpNames();
    options.breakHeaderChecksum = true;
    const Bytes image = test::CartridgeImageBytes(layout, options);
    const RomNames names = ReadRomNames(image, LocateTables(image, *Identify("AAUE")));
    EXPECT_FALSE(names.looked);
    EXPECT_FALSE(names.SpeciesRead());
    EXPECT_EQ(DescribeNames(names), "");
    EXPECT_EQ(DescribeNamesFallback(names), "");
    EXPECT_EQ(SpeciesNameOf(names, 133), "Vapereon");
    // The species' types are read all the same: they are the base-stats records' bytes.
    EXPECT_EQ(names.speciesTypes.size(), 251u);
}

}  // namespace
}  // namespace brindlewick
