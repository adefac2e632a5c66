// Export Patch, Compare with and Fix Checksum as both windows and the command line run them:
// every patch written, applied by the tests' own readers to the clean image, gives the modified
// file byte for byte; what cannot be a clean image or a patch's place is refused with nothing
// left behind; the comparison lists exactly the tables' differences; and the fixed checksum is
// the one summed here, written into 0x14E-0x14F alone.
#include "editor/ShareCommands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"
#include "support/PatchReaders.h"
#include "support/TestSupport.h"
#include "tables/TablesFile.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

const Release& Crystal() {
    return ReleaseOf("BYTE");
}

void SetLearns(Bytes& image, int species, int machine, bool learns) {
    std::uint8_t& byte = image[MachineBitAt(Crystal(), species, machine)];
    byte = static_cast<std::uint8_t>(learns ? byte | MaskOf(machine) : byte & ~MaskOf(machine));
}

// Summed here byte by byte: every byte but the checksum's own two.
std::uint16_t SumOfOtherBytes(const Bytes& image) {
    unsigned long sum = 0;
    for (std::size_t at = 0; at < image.size(); ++at) {
        sum += at == 0x14E || at == 0x14F ? 0 : image[at];
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::string Texts(const RecordingSink& sink) {
    std::string text;
    for (const Message& message : sink.messages) {
        text += message.text + "\n";
    }
    return text;
}

class ShareCommands : public ::testing::Test {
protected:
    ShareCommands() { WriteFileBytes(m_cleanPath, m_clean); }

    // Writes `modified` as the open ROM, exports the patch to `name` and applies it.
    std::optional<Bytes> PatchAndApply(const Bytes& modified, const std::string& name,
                                       std::optional<PatchFormat> format = std::nullopt) {
        WriteFileBytes(m_romPath, modified);
        m_sink.Clear();
        const std::string patchPath = m_dir.File(name);
        if (!ExportPatch(m_cleanPath, m_romPath, patchPath, format)) {
            ADD_FAILURE() << Texts(m_sink);
            return std::nullopt;
        }
        const Bytes patch = ReadFileBytes(patchPath);
        const bool ips = patch.size() >= 5 && std::equal(patch.begin(), patch.begin() + 5,
                                                         std::string_view("PATCH").begin());
        return ips ? ApplyIps(m_clean, patch) : ApplyBps(m_clean, patch);
    }

    // Expects the export refused: false, a message, both ROMs as they were and no file but
    // those that were there.
    void ExpectRefused(const std::string& patchPath, const std::string& said) {
        const Bytes rom = ReadFileBytes(m_romPath);
        const auto entries = FolderEntries(m_dir);
        m_sink.Clear();
        EXPECT_FALSE(ExportPatch(m_cleanPath, m_romPath, patchPath));
        EXPECT_NE(Texts(m_sink).find(said), std::string::npos) << Texts(m_sink);
        EXPECT_EQ(ReadFileBytes(m_cleanPath), m_clean);
        EXPECT_EQ(ReadFileBytes(m_romPath), rom);
        EXPECT_EQ(FolderEntries(m_dir), entries);
    }

    TempDir m_dir;
    RecordingSink m_sink;
    Bytes m_clean = CartridgeImageBytes(LayoutOf(Crystal()));
    std::string m_cleanPath = m_dir.File("clean.gbc");
    std::string m_romPath = m_dir.File("mine.gbc");
};

class SharePatches : public ShareCommands, public ::testing::WithParamInterface<const char*> {};

TEST_P(SharePatches, AppliedToTheCleanImageGiveTheModifiedFileByteForByte) {
    const std::string name = std::string("mine.") + GetParam();
    // One byte: the move of TM24.
    Bytes one = m_clean;
    one[MoveAt(Crystal(), 23)] = 53;
    EXPECT_EQ(PatchAndApply(one, name), one);
    EXPECT_NE(Texts(m_sink).find("It changes 1 byte: 1 in the machines' moves."), std::string::npos)
        << Texts(m_sink);

    // Every byte of every table, and the global checksum put right.
    Bytes every = m_clean;
    for (int machine = 0; machine < kMachines; ++machine) {
        every[MoveAt(Crystal(), machine)] ^= 0x40;
        every[PriceAt(Crystal(), machine)] ^= 1;
        every[PriceAt(Crystal(), machine) + 1] ^= 1;
    }
    for (int species = 0; species < kSpecies; ++species) {
        for (int j = 0; j < kFieldLength; ++j) {
            every[FieldAt(Crystal(), species, j)] ^= 0x80;
        }
    }
    const std::uint16_t sum = SumOfOtherBytes(every);
    every[0x14E] = static_cast<std::uint8_t>(sum >> 8);
    every[0x14F] = static_cast<std::uint8_t>(sum & 0xFF);
    ASSERT_NE(every[0x14F], m_clean[0x14F]);
    const bool bothChecksumBytes = every[0x14E] != m_clean[0x14E];
    EXPECT_EQ(PatchAndApply(every, name), every);
    EXPECT_NE(Texts(m_sink).find(
                  "57 in the machines' moves, 114 in the machines' prices, 2008 in the species' "
                  "compatibility and " +
                  std::string(bothChecksumBytes ? "2 outside the three tables (0x14E\u20130x14F)"
                                                : "1 outside the three tables (0x14F)")),
              std::string::npos)
        << Texts(m_sink);

    // Runs longer than an IPS record holds, one of them the file's last bytes.
    Bytes runs = m_clean;
    for (std::size_t at = 0x100000; at < 0x100000 + 0x30000; ++at) {
        runs[at] = static_cast<std::uint8_t>(~runs[at]);
    }
    for (std::size_t at = kRomSize - 0x10001; at < kRomSize; ++at) {
        runs[at] = static_cast<std::uint8_t>(~runs[at]);
    }
    EXPECT_EQ(PatchAndApply(runs, name), runs);
    EXPECT_NE(Texts(m_sink).find("(0x100000\u20130x12FFFF, 0x1EFFFF\u20130x1FFFFF)"),
              std::string::npos)
        << Texts(m_sink);
}

INSTANTIATE_TEST_SUITE_P(BpsAndIps, SharePatches, ::testing::Values("bps", "ips"));

TEST_F(ShareCommands, TheFormatFollowsTheNameUnlessOneIsGiven) {
    EXPECT_EQ(PatchFormatOfName("/x/Gold.IPS"), PatchFormat::Ips);
    EXPECT_EQ(PatchFormatOfName("/x/Gold.bps"), PatchFormat::Bps);
    EXPECT_EQ(PatchFormatOfName("/x/ips"), PatchFormat::Bps);
    EXPECT_EQ(ProposedPatchName("/x/Pokemon Gold.gbc"), "Pokemon Gold.bps");

    Bytes modified = m_clean;
    modified[0x4000] ^= 1;
    WriteFileBytes(m_romPath, modified);
    const std::string asIps = m_dir.File("named.bps");
    ASSERT_TRUE(ExportPatch(m_cleanPath, m_romPath, asIps, PatchFormat::Ips));
    EXPECT_EQ(ApplyIps(m_clean, ReadFileBytes(asIps)), modified);
    const std::string byName = m_dir.File("named.IPS");
    ASSERT_TRUE(ExportPatch(m_cleanPath, m_romPath, byName));
    EXPECT_EQ(ApplyIps(m_clean, ReadFileBytes(byName)), modified);
}

// A byte is counted in the table the modified game's own code leads to, not where its release
// keeps that table.
TEST_F(ShareCommands, ChangedBytesAreCountedWhereTheGameKeepsItsTables) {
    const CartridgeLayout layout = LayoutOf(Crystal());
    CartridgeOptions options;
    options.baseStatsShift = 0x10;
    GameCodeLayout code;
    code.baseStats = layout.BaseStatsOffset + 0x10;
    options.code = code;
    m_clean = CartridgeImageBytes(layout, options);
    WriteFileBytes(m_cleanPath, m_clean);
    Bytes modified = m_clean;
    modified[FieldAt(Crystal(), 10, 0) + 0x10] ^= 1;  // where the game reads the field
    modified[FieldAt(Crystal(), 20, 0)] ^= 1;         // where the release would keep it
    EXPECT_EQ(PatchAndApply(modified, "moved.bps"), modified);
    EXPECT_NE(
        Texts(m_sink).find("1 in the species' compatibility and 1 outside the three tables (" +
                           OffsetText(static_cast<std::int64_t>(FieldAt(Crystal(), 20, 0))) + ")"),
        std::string::npos)
        << Texts(m_sink);
}

TEST_F(ShareCommands, AnotherReleaseOrSizeOrNoDifferenceIsRefused) {
    const std::string patch = m_dir.File("mine.bps");
    WriteFileBytes(m_romPath, CartridgeImageBytes(LayoutOf(ReleaseOf("AAUE"))));
    ExpectRefused(patch,
                  "is English Pok\u00E9mon Crystal (BYTE), but \u201Cmine.gbc\u201D is "
                  "English Pok\u00E9mon Gold (AAUE)");
    m_sink.Clear();
    EXPECT_FALSE(CheckCleanRom(m_cleanPath, m_romPath));
    EXPECT_EQ(m_sink.messages.size(), 1u);

    Bytes longer = m_clean;
    longer.resize(2 * kRomSize);
    WriteFileBytes(m_romPath, longer);
    ExpectRefused(patch, "holds 2097152 bytes and \u201Cmine.gbc\u201D 4194304");

    WriteFileBytes(m_romPath, m_clean);
    ExpectRefused(patch, "hold the same bytes");
    m_sink.Clear();
    EXPECT_TRUE(CheckCleanRom(m_cleanPath, m_romPath));
    EXPECT_TRUE(m_sink.messages.empty());

    // A file with no supported game code, as either of the two.
    Bytes unsupported = m_clean;
    unsupported[0x13F] = 'Z';
    WriteFileBytes(m_romPath, unsupported);
    ExpectRefused(patch, "Unsupported ROM");
}

TEST_F(ShareCommands, APatchIsNeverWrittenOntoEitherRom) {
    Bytes modified = m_clean;
    modified[0x6000] ^= 1;
    WriteFileBytes(m_romPath, modified);
    fs::create_directory(m_dir.Path() / "sub");
    // The same path, a path through "..", and a hard link to each ROM.
    ExpectRefused(m_romPath, "this is one of the two ROMs");
    ExpectRefused(m_dir.File("sub/../clean.gbc"), "this is one of the two ROMs");
    fs::create_hard_link(PathFromUtf8(m_cleanPath), m_dir.Path() / "sub" / "hard.bps");
    ExpectRefused(m_dir.File("sub/hard.bps"), "this is one of the two ROMs");
#ifndef _WIN32
    // Symbolic links need a privilege on Windows that its tests do not have.
    fs::create_symlink(PathFromUtf8(m_romPath), m_dir.Path() / "sub" / "link.ips");
    ExpectRefused(m_dir.File("sub/link.ips"), "this is one of the two ROMs");
#endif
    // A folder is no patch file either.
    ExpectRefused(m_dir.File("sub"), "sub");
}

TEST_F(ShareCommands, AFailedWriteLeavesNoFileBehind) {
    Bytes modified = m_clean;
    modified[0x6000] ^= 1;
    WriteFileBytes(m_romPath, modified);
    const std::string patch = m_dir.File("mine.bps");
    const Bytes older = {'o', 'l', 'd'};
    WriteFileBytes(patch, older);
    FileLayerTestHooks failing;
    failing.flushFailure = std::make_error_code(std::errc::no_space_on_device);
    const ScopedFileHooks hooks(std::move(failing));
    ExpectRefused(patch, "Nothing was written; a file of that name is as it was.");
    EXPECT_EQ(ReadFileBytes(patch), older);
}

TEST_F(ShareCommands, ComparisonListsExactlyTheTablesDifferences) {
    Bytes from = m_clean;
    Bytes to = m_clean;
    from[MoveAt(Crystal(), 23)] = 225;          // TM24 Dragonbreath
    to[MoveAt(Crystal(), 23)] = 53;             // Flamethrower
    PutPrice(from, PriceAt(Crystal(), 54), 0);  // HM05
    PutPrice(to, PriceAt(Crystal(), 54), 500);
    SetLearns(from, 3, 23, false);  // Charmander
    SetLearns(to, 3, 23, true);
    for (const int machine : {0, 54}) {  // Bulbasaur
        SetLearns(from, 0, machine, true);
        SetLearns(to, 0, machine, false);
    }
    from[FieldAt(Crystal(), 151, 7)] = 0x02;  // Chikorita's tutor bits, HM07 not learnt
    to[FieldAt(Crystal(), 151, 7)] = 0x06;
    // A byte outside the tables is no difference of theirs.
    to[0x7000] ^= 1;
    WriteFileBytes(m_cleanPath, from);
    WriteFileBytes(m_romPath, to);

    const auto comparison = CompareRoms(m_cleanPath, m_romPath);
    ASSERT_TRUE(comparison.has_value()) << Texts(m_sink);
    EXPECT_EQ(comparison->lines, (std::vector<std::string>{
                                     "TM24: Dragonbreath \u2192 Flamethrower",
                                     "HM05 price 0 \u2192 500",
                                     "Bulbasaur no longer learns TM01 and HM05",
                                     "Charmander learns TM24 now",
                                     "Chikorita's move tutor bits 0x02 \u2192 0x06",
                                 }));
    EXPECT_EQ(comparison->heading,
              (std::vector<std::string>{"From \u201Cclean.gbc\u201D to \u201Cmine.gbc\u201D: 2 "
                                        "machines and 3 species differ."}));
    EXPECT_EQ(comparison->caption, "clean.gbc \u2192 mine.gbc");
    EXPECT_EQ(ComparisonText(*comparison),
              comparison->heading[0] +
                  "\n\nTM24: Dragonbreath \u2192 Flamethrower\nHM05 price 0 "
                  "\u2192 500\nBulbasaur no longer learns TM01 and HM05\n"
                  "Charmander learns TM24 now\nChikorita's move tutor bits "
                  "0x02 \u2192 0x06\n");
    // The other way round, every difference turns round.
    const auto back = CompareRoms(m_romPath, m_cleanPath);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->lines[0], "TM24: Flamethrower \u2192 Dragonbreath");
    EXPECT_EQ(back->lines[2], "Bulbasaur learns TM01 and HM05 now");
    EXPECT_TRUE(m_sink.messages.empty()) << Texts(m_sink);

    const auto same = CompareRoms(m_romPath, m_romPath);
    ASSERT_TRUE(same.has_value());
    EXPECT_TRUE(same->lines.empty());
    EXPECT_NE(same->heading[0].find("the tables are the same"), std::string::npos);
}

// Where the ROM's own names could be read, they name its moves and species; the other file's
// moves keep the lists' names.
TEST_F(ShareCommands, ComparisonNamesWhatEachRomNamesByItsOwnNames) {
    CartridgeOptions options;
    options.code = GameCodeLayout{};
    options.names = MadeUpNames();
    // The same tables as the plain image; only the names and the code that leads to them more.
    Bytes named = CartridgeImageBytes(LayoutOf(Crystal()), options);
    Bytes plain = m_clean;
    plain[MoveAt(Crystal(), 23)] = 225;  // Dragonbreath
    named[MoveAt(Crystal(), 23)] = 53;
    SetLearns(plain, 3, 23, false);
    SetLearns(named, 3, 23, true);
    WriteFileBytes(m_cleanPath, plain);
    WriteFileBytes(m_romPath, named);
    const auto comparison = CompareRoms(m_cleanPath, m_romPath);
    ASSERT_TRUE(comparison.has_value()) << Texts(m_sink);
    EXPECT_EQ(comparison->lines, (std::vector<std::string>{"TM24: Dragonbreath \u2192 MOVE53",
                                                           "SPECIES4 learns TM24 now"}));
}

TEST_F(ShareCommands, TwoReleasesAreComparedTableByTableWithAWarning) {
    WriteFileBytes(m_romPath, CartridgeImageBytes(LayoutOf(ReleaseOf("AAUE"))));
    const auto comparison = CompareRoms(m_cleanPath, m_romPath);
    ASSERT_TRUE(comparison.has_value());
    ASSERT_EQ(comparison->heading.size(), 2u);
    EXPECT_NE(comparison->heading[1].find("Two different releases: \u201Cclean.gbc\u201D is "
                                          "English Pok\u00E9mon Crystal (BYTE)"),
              std::string::npos);
    // The same made-up values in both but Crystal's tutor bits: no machine differs, and only
    // the species whose tutor bits are set differ, by the bits after HM07.
    for (const std::string& line : comparison->lines) {
        EXPECT_NE(line.find("'s bits after HM07 "), std::string::npos) << line;
    }
    EXPECT_FALSE(comparison->lines.empty());

    m_sink.Clear();
    EXPECT_FALSE(CompareRoms(m_cleanPath, m_dir.File("missing.gbc")).has_value());
    EXPECT_EQ(m_sink.messages.size(), 1u);
}

class FixChecksumTest : public ::testing::Test {
protected:
    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom = m_dir.File("rom.gbc");
};

TEST_F(FixChecksumTest, WritesTheSumOfTheOtherBytesIntoItsTwoBytesAlone) {
    Bytes image = CartridgeImageBytes(LayoutOf(Crystal()));
    image[0x51424 + 24] ^= 0x10;  // an edit after which the stored checksum is wrong
    image[0x14E] = 0x00;
    image[0x14F] = 0x00;
    WriteFileBytes(m_rom, image);
    const std::uint16_t expected = SumOfOtherBytes(image);

    ASSERT_TRUE(FixChecksum(m_rom)) << Texts(m_sink);
    const Bytes fixed = ReadFileBytes(m_rom);
    Bytes wanted = image;
    wanted[0x14E] = static_cast<std::uint8_t>(expected >> 8);
    wanted[0x14F] = static_cast<std::uint8_t>(expected & 0xFF);
    EXPECT_EQ(DifferingOffsets(wanted, fixed), std::vector<std::size_t>{});
    for (const std::size_t at : DifferingOffsets(image, fixed)) {
        EXPECT_TRUE(at == 0x14E || at == 0x14F) << at;
    }
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::Information);
    char now[7];
    std::snprintf(now, sizeof now, "0x%04X", static_cast<unsigned>(expected));
    EXPECT_NE(m_sink.messages[0].text.find("was 0x0000 and is now " + std::string(now) + "."),
              std::string::npos)
        << m_sink.messages[0].text;

    // Again: already right, nothing written.
    m_sink.Clear();
    const auto written = fs::last_write_time(PathFromUtf8(m_rom));
    ASSERT_TRUE(FixChecksum(m_rom));
    EXPECT_NE(Texts(m_sink).find("is already right"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(m_rom), fixed);
    EXPECT_EQ(fs::last_write_time(PathFromUtf8(m_rom)), written);
}

TEST_F(FixChecksumTest, RefusesWhatIsNoSupportedWritableRom) {
    Bytes unsupported = SyntheticRomBytes("ZZZZ");
    WriteFileBytes(m_rom, unsupported);
    EXPECT_FALSE(FixChecksum(m_rom));
    EXPECT_EQ(ReadFileBytes(m_rom), unsupported);

    const Bytes shortRom = SyntheticRomBytes("AAUE", 0x14F);
    WriteFileBytes(m_rom, shortRom);
    EXPECT_FALSE(FixChecksum(m_rom));
    EXPECT_EQ(ReadFileBytes(m_rom), shortRom);

    // Read-only: refused as a failure to write, whoever runs the tests.
    const Bytes image = SyntheticRomBytes("AAUE");
    WriteFileBytes(m_rom, image);
    fs::permissions(PathFromUtf8(m_rom), fs::perms::owner_read | fs::perms::group_read);
    m_sink.Clear();
    EXPECT_FALSE(FixChecksum(m_rom));
    EXPECT_NE(Texts(m_sink).find("Could not write to \u201Crom.gbc\u201D"), std::string::npos)
        << Texts(m_sink);
    fs::permissions(PathFromUtf8(m_rom), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadFileBytes(m_rom), image);
}

TEST_F(FixChecksumTest, WaitsForAnotherWritersLockThenRefuses) {
    const Bytes image = SyntheticRomBytes("AAUE");
    WriteFileBytes(m_rom, image);
    const auto previousWait = RomLockWait();
    SetRomLockWait(std::chrono::milliseconds(50));
    OpenFile other;
    ASSERT_FALSE(OpenRomForWriting(m_rom, other));
    EXPECT_FALSE(FixChecksum(m_rom));
    EXPECT_NE(Texts(m_sink).find("being written by another program"), std::string::npos)
        << Texts(m_sink);
    static_cast<void>(other.Close());
    SetRomLockWait(previousWait);
    EXPECT_EQ(ReadFileBytes(m_rom), image);
    EXPECT_TRUE(FixChecksum(m_rom));
}

}  // namespace
}  // namespace brindlewick::test
