#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "editor/EditorFixture.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

class SaveRomTest : public EditorTest {
protected:
    // TM05 and Celebi, with edits, so that a save has something to write.
    void EditSomething() {
        SelectMachine(4);
        SelectSpecies(250);
        m_view.shown.move = 0x42;
        m_view.shown.price = "4242";
        m_view.shown.checked.fill(true);
    }
};

// A save that cannot write every byte writes none: one "Error: N" message, no success.
TEST_F(SaveRomTest, FileUnfitForWritingIsLeftAlone) {
    OpenRom();
    const Bytes original = ReadFileBytes(m_rom);
    const auto path = PathFromUtf8(m_rom);
    // The highest byte this save writes is Celebi's last field byte.
    const std::size_t needed = FieldAt(kGoldEnglish, 250, 7) + 1;
    const struct {
        const char* what;
        std::function<void()> spoil;
        std::function<void()> expectUntouched;
    } rows[] = {
        {"deleted", [&] { fs::remove(path); }, [&] { EXPECT_FALSE(fs::exists(path)); }},
        {"replaced by a folder",
         [&] {
             fs::remove(path);
             fs::create_directory(path);
         },
         [&] { EXPECT_TRUE(fs::is_directory(path) && fs::is_empty(path)); }},
        {"truncated before the tables", [&] { fs::resize_file(path, 0x200); },
         [&] {
             EXPECT_EQ(ReadFileBytes(m_rom), Bytes(original.begin(), original.begin() + 0x200));
         }},
        {"truncated just before the last byte", [&] { fs::resize_file(path, needed - 1); },
         [&] {
             EXPECT_EQ(ReadFileBytes(m_rom),
                       Bytes(original.begin(), original.begin() + (needed - 1)));
         }},
        {"read-only", [&] { fs::permissions(path, fs::perms::owner_read | fs::perms::group_read); },
         [&] { EXPECT_EQ(ReadFileBytes(m_rom), original); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EditSomething();
        row.spoil();
        m_sink.Clear();
        m_editor.SaveRom();
        if (std::string_view(row.what) == "read-only") {
            // Asked whether to make it writable; No (the default) writes nothing and says no
            // more.
            ASSERT_EQ(m_sink.questions.size(), 1u);
            EXPECT_TRUE(m_sink.messages.empty());
        } else {
            ExpectOneFileFailure();
        }
        row.expectUntouched();

        // Windows removes no read-only file.
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(path);
        WriteFileBytes(m_rom, original);
    }
}

// After an open that was cancelled or refused, a save still goes to the ROM that was
// identified, never into the refused file at the offsets of another release.
TEST_F(SaveRomTest, GoesToTheIdentifiedRomAfterAFailedOpen) {
    OpenRom();
    const std::string refused = MakeSyntheticRom(m_dir, "AAUX", "refused.gbc");
    const Bytes refusedBefore = ReadFileBytes(refused);
    Open(refused);
    Open("");
    EditSomething();
    m_sink.Clear();
    m_editor.SaveRom();
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(refused), refusedBefore);
    EXPECT_EQ(Peek(MoveAt(kGoldEnglish, 4), 1), Bytes{0x42});
}

class EveryRelease : public ::testing::TestWithParam<Release> {
protected:
    TempDir m_dir;
    RecordingSink m_sink;
    FakeView m_view;
    Editor m_editor{m_view};
};

// Opens a synthetic image of the release, edits one machine and one species and saves: the
// file must equal the image with exactly the addressed bytes changed.
TEST_P(EveryRelease, SaveChangesExactlyTheAddressedBytes) {
    const Release& release = GetParam();
    const auto index = static_cast<int>(
        std::find_if(std::begin(kReleases), std::end(kReleases),
                     [&](const Release& row) { return row.code == release.code; }) -
        std::begin(kReleases));
    const std::string rom = MakeSyntheticRom(m_dir, release.code);
    Bytes expected = ReadFileBytes(rom);

    m_view.answers.push_back(rom);
    m_editor.OpenRom();
    ASSERT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(m_view.shown.caption, std::string(release.code) + " - Brindlewick");

    const int machines[] = {3, 4, 27, 28, 49, 50, 56, 0, 17};
    const int machine = machines[index % std::size(machines)];
    // The last release edits Celebi, the last record of the table.
    const int species = index + 1 == static_cast<int>(kReleases.size()) ? 250 : index * 13;
    const int move = (index * 37 + 1) % 252;
    const int price = index * 3001 + 7;
    m_view.shown.machine = machine;
    m_editor.MachineSelected();
    m_view.shown.species = species;
    m_editor.SpeciesSelected();
    m_view.shown.move = move;
    m_view.shown.price = std::to_string(price);
    std::uint64_t bits = 0;
    for (int box = 0; box < kMachineCount; ++box) {
        m_view.shown.checked[box] = (box * (index + 3)) % 5 < 2;
        bits |= std::uint64_t{m_view.shown.checked[box]} << box;
    }
    m_editor.SaveRom();

    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].text, "TM Information Successfully Changed!");
    expected[MoveAt(release, machine)] = static_cast<std::uint8_t>(move);
    expected[PriceAt(release, machine)] = static_cast<std::uint8_t>(price & 0xFF);
    expected[PriceAt(release, machine) + 1] = static_cast<std::uint8_t>(price >> 8);
    for (int fieldByte = 0; fieldByte < 8; ++fieldByte) {
        const auto value = static_cast<std::uint8_t>(bits >> (8 * fieldByte));
        std::uint8_t& stored = expected[FieldAt(release, species, fieldByte)];
        stored = fieldByte < 7 ? value : static_cast<std::uint8_t>((stored & 0xFE) | value);
    }
    EXPECT_EQ(ReadFileBytes(rom), expected);
}

// Saving every machine and every species as shown, without edits, changes nothing: the
// reader and the writer agree on every address and encoding, stray move bytes and the
// spare bits of the last field byte included.
TEST_P(EveryRelease, SavingWithoutEditsKeepsTheFileByteForByte) {
    const std::string rom = MakeSyntheticRom(m_dir, GetParam().code);
    const Bytes before = ReadFileBytes(rom);
    m_view.answers.push_back(rom);
    m_editor.OpenRom();
    for (int machine = 0; machine < kMachineCount; ++machine) {
        m_view.shown.machine = machine;
        m_editor.MachineSelected();
        m_editor.SaveRom();
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        m_view.shown.species = species;
        m_editor.SpeciesSelected();
        m_editor.SaveRom();
    }
    EXPECT_EQ(m_sink.messages.size(), std::size_t{kMachineCount + kSpeciesCount});
    for (const Message& message : m_sink.messages) {
        ASSERT_EQ(message.text, "TM Information Successfully Changed!");
    }
    EXPECT_EQ(ReadFileBytes(rom), before);
}

INSTANTIATE_TEST_SUITE_P(Releases, EveryRelease, ::testing::ValuesIn(kReleases),
                         [](const auto& info) { return std::string(info.param.code); });

}  // namespace
}  // namespace brindlewick::test
