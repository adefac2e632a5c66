// Modified games in the editor whose code the editor follows to their tables: they open with
// one message saying where the game keeps them, show what lies there, and save exactly the 11
// bytes there, never into a stale copy at the release's places; a file whose code changed
// after the open gets no byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/EditorFixture.h"
#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"

namespace brindlewick::test {
namespace {

// A release whose tables lie elsewhere: the model's addresses of the moved tables.
Release MovedRelease(const Release& release, std::size_t moves, std::size_t baseStats,
                     std::size_t prices) {
    Release moved = release;
    moved.moves = moves;
    moved.baseStats = baseStats;
    moved.prices = prices;
    return moved;
}

class GameCodeEditing : public EditorTest {
protected:
    void OpenImage(const Bytes& image) {
        m_rom = m_dir.File("hack.gbc");
        WriteFileBytes(m_rom, image);
        m_sink.Clear();
        Open(m_rom);
        ASSERT_EQ(m_editor.State().RomPath, m_rom);
    }
    // Shows an edit of machine k and species s, and saves it.
    void SaveEdit(int machine, int species, int move, int price) {
        SelectMachine(machine);
        SelectSpecies(species);
        m_view.shown.move = move;
        m_view.shown.price = std::to_string(price);
        for (int box = 0; box < kMachineCount; ++box) {
            m_view.shown.checked[box] = box % 3 == 0;
        }
        Save();
    }
};

// `image` with the save's 11 bytes written at `at`'s addresses; `priceAt` is the low byte of
// the machine's price.
Bytes Saved(Bytes image, const Release& at, int machine, int species, int move, int price,
            std::size_t priceAt) {
    image[MoveAt(at, machine)] = static_cast<std::uint8_t>(move);
    image[priceAt] = static_cast<std::uint8_t>(price & 0xFF);
    image[priceAt + 1] = static_cast<std::uint8_t>(price >> 8);
    for (int j = 0; j < kFieldLength; ++j) {
        std::uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int box = 8 * j + bit;
            bits |= static_cast<std::uint8_t>(box < kMachines && box % 3 == 0 ? 1u << bit : 0u);
        }
        std::uint8_t& stored = image[FieldAt(at, species, j)];
        stored = j < kFieldLength - 1 ? bits : static_cast<std::uint8_t>((stored & 0xFE) | bits);
    }
    return image;
}

// Tables repointed to new copies in other banks, the old ones left at the release's places
// with other values: the window shows the new ones and saves there alone.
TEST_F(GameCodeEditing, RepointedTablesAreShownAndSavedWhereTheGameReadsThem) {
    for (const char* code : {"BYTE", "AAXE", "BXTJ"}) {
        SCOPED_TRACE(code);
        const Release& release = ReleaseOf(code);
        const Release moved = MovedRelease(release, 0x12 * 0x4000 + 0x321, 0x7C * 0x4000 + 0x10,
                                           0x11 * 0x4000 + 0x600);
        Bytes image = RepointedImage(release, moved, 0x12 * 0x4000 + 0x3000);
        image[MoveAt(moved, 7)] = 0x0F;  // TM08 teaches another move in the live list
        OpenImage(image);

        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::Information);
        EXPECT_NE(m_sink.messages[0].text.find("The game's code keeps its tables elsewhere"),
                  std::string::npos)
            << m_sink.messages[0].text;
        EXPECT_NE(m_sink.messages[0].text.find("that the game does not read"), std::string::npos)
            << m_sink.messages[0].text;
        EXPECT_EQ(m_view.shown.caption, release.windowTitle);

        SelectMachine(7);
        EXPECT_EQ(m_view.shown.move, 0x0F);
        const int move = CartridgeFreeMoves()[0];
        SaveEdit(30, 200, move, 4321);
        ExpectOnlySuccessMessage();
        EXPECT_EQ(ReadFileBytes(m_rom),
                  Saved(image, moved, 30, 200, move, 4321, PriceAt(moved, 30)));
    }
}

// Without the dummy items the machines' price records follow one another: TM05 and TM29 use
// the records right after TM04's and TM28's.
TEST_F(GameCodeEditing, AGameWithoutDummyItemsSavesPricesInItsContiguousRecords) {
    CartridgeLayout layout = LayoutOf(ReleaseOf("BYTE"));
    layout.dummyItems = false;
    CartridgeOptions options;
    options.code = GameCodeLayout{};
    const Bytes image = CartridgeImageBytes(layout, options);
    OpenImage(image);
    EXPECT_EQ(m_sink.messages.size(), 1u);  // where the numbering differs is told once
    for (const int machine : {4, 28, 56}) {
        SCOPED_TRACE(machine);
        const Bytes before = ReadFileBytes(m_rom);
        const int move = CartridgeFreeMoves()[static_cast<std::size_t>(machine)];
        SaveEdit(machine, 0, move, 1000 + machine);
        ExpectOnlySuccessMessage();
        const std::size_t priceAt = static_cast<std::size_t>(layout.TmPricesOffset) + 7 * machine;
        EXPECT_EQ(ReadFileBytes(m_rom),
                  Saved(before, ReleaseOf("BYTE"), machine, 0, move, 1000 + machine, priceAt));
    }
}

// Another program changes the game's code after the open, so that it points elsewhere: the
// file is no longer the game whose tables were found, and the save writes nothing.
TEST_F(GameCodeEditing, ASaveIntoAFileWhoseCodeChangedWritesNothing) {
    const Release& release = ReleaseOf("AAUE");
    CartridgeOptions options;
    options.code = GameCodeLayout{};
    const Bytes image = CartridgeImageBytes(LayoutOf(release), options);
    OpenImage(image);
    EXPECT_TRUE(m_sink.messages.empty());

    const GameCodeLayout code;
    Bytes changed = image;
    changed[code.baseData + 21] = 0x44;  // GetBaseData's pointer, one page on
    WriteFileBytes(m_rom, changed);
    SaveEdit(3, 3, CartridgeFreeMoves()[0], 100);
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("is no longer the game that was opened"),
              std::string::npos)
        << m_sink.messages[0].text;
    EXPECT_EQ(m_sink.messages[0].text.rfind(kSaveRefusedPrefix, 0), 0u);
    EXPECT_EQ(ReadFileBytes(m_rom), changed);
}

}  // namespace
}  // namespace brindlewick::test
