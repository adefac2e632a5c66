#include <gtest/gtest.h>

#include "editor/TableCommands.h"
#include "rom/RomProfile.h"
#include "support/TestSupport.h"

namespace brindlewick::test {
namespace {

TEST(TableCommands, ExportProposesTheRomsNameBesideIt) {
    EXPECT_EQ(ProposedCsvName("/home/ash/roms/Gold copy.gbc"), "Gold copy.csv");
    EXPECT_EQ(ProposedCsvName("/roms/crystal.v1.1.gbc"), "crystal.v1.1.csv");
    EXPECT_EQ(ProposedCsvName("/roms/silver"), "silver.csv");
    EXPECT_EQ(ProposedCsvName("/roms/.gbc"), ".gbc.csv");
    EXPECT_EQ(FolderOf("/home/ash/roms/Gold copy.gbc"), "/home/ash/roms");
    EXPECT_EQ(FolderOf("/gold.gbc"), "/");
    EXPECT_EQ(FolderOf("gold.gbc"), "");
}

TEST(TableCommands, ImportQuestionListsTheFirstChangesAndCountsTheRest) {
    ImportPlan plan;
    plan.changes.resize(30, ByteChange{0, 0, 1});
    plan.speciesChanged = 25;
    for (int i = 0; i < 25; ++i) {
        plan.details.push_back("species " + std::to_string(i) + ": now learns TM01");
    }
    const std::string question = DescribeImportQuestion("/r/gold.gbc", "/c/t.csv", plan);
    EXPECT_NE(question.find("\u201Ct.csv\u201D into \u201Cgold.gbc\u201D changes 0 machines and "
                            "25 species: 30 bytes"),
              std::string::npos)
        << question;
    EXPECT_NE(question.find("species 19: now learns TM01"), std::string::npos);
    EXPECT_EQ(question.find("species 20:"), std::string::npos);
    EXPECT_NE(question.find("and 5 more"), std::string::npos);
    EXPECT_TRUE(question.ends_with("Write these changes into the ROM?"));
}

// The check reads the file: a synthetic image is said to be no cartridge, a missing file is
// reported once and gives no text.
TEST(TableCommands, CheckOfAFileWithoutAValidHeaderAndOfAMissingFile) {
    TempDir dir;
    RecordingSink sink;
    const std::string rom = MakeSyntheticRom(dir, "AAXE", "silver.gbc");
    const std::string text = DescribeRomCheck(rom);
    EXPECT_EQ(text.rfind("\u201Csilver.gbc\u201D: English Pok\u00E9mon Silver (AAXE).", 0), 0u)
        << text;
    EXPECT_NE(text.find("tables are not checked"), std::string::npos);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(DescribeRomCheck(dir.File("none.gbc")), "");
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].text.find("\u201Cnone.gbc\u201D"), std::string::npos);
}

}  // namespace
}  // namespace brindlewick::test
