// The rules for what is typed or pasted into the tables, as every window applies them: a price
// is taken whole or refused, a move by a name or number that names it, and every refusal quotes
// a short excerpt of the input however long it is.
#include <gtest/gtest.h>

#include <string>

#include "editor/MachineListText.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"
#include "tables/TableEdits.h"
#include "tables/TablesCsv.h"
#include "tables/TypedInput.h"

namespace brindlewick::test {
namespace {

TEST(TypedInput, PriceIsAWholeNumberFrom0To65535OrRefused) {
    for (const auto& [typed, price] : std::vector<std::pair<std::string, int>>{
             {"0", 0}, {"65535", 65535}, {" 3000 ", 3000}, {"007", 7}, {"\t12", 12}}) {
        EXPECT_EQ(ParseTypedPrice(typed).value, price) << typed;
    }
    for (const std::string& typed :
         std::vector<std::string>{"70000", "65536", "1e3", "-1", "+5", "12.5", "1 000", "", "  ",
                                  "3000x", std::string(400, '9')}) {
        const TypedValue refused = ParseTypedPrice(typed);
        EXPECT_FALSE(refused.value) << typed;
        EXPECT_EQ(refused.refusal.rfind("The price must be a whole number from 0 to 65535; ", 0),
                  0u)
            << refused.refusal;
    }
}

TEST(TypedInput, MoveIsANameOrNumberThatNamesItNeverANeighbour) {
    EXPECT_EQ(ParseTypedMove("tackle").value, 33);
    EXPECT_EQ(ParseTypedMove(" SWORDS-DANCE ").value, 14);
    EXPECT_EQ(ParseTypedMove("57").value, 57);
    EXPECT_EQ(ParseTypedMove("0").value, 0);
    for (const char* typed : {"tackl", "252", "Tackle Body Slam", "", "Surfing"}) {
        EXPECT_FALSE(ParseTypedMove(typed).value) << typed;
    }
    EXPECT_EQ(ParseTypedMove("Sword Dance").refusal,
              "No move is called \"Sword Dance\"; did you mean \"Swords Dance\"? The move was not "
              "changed.");
    EXPECT_EQ(ParseTypedMove("???").refusal,
              "No move is called \"???\". The move was not changed.");
}

// A field of 100,000 characters (60,000 in a machine list, which is bounded at 64 KB), or of
// line ends, in any refusal: a message of a line or two
// that quotes the first characters, whole UTF-8 sequences, with an ellipsis.
TEST(TypedInput, EveryRefusalQuotesAShortExcerpt) {
    const std::string huge = std::string(100000, 'x');
    EXPECT_EQ(InputExcerpt(huge), std::string(kMaxQuotedCharacters, 'x') + "\u2026");
    EXPECT_EQ(InputExcerpt(std::string(50, '\n')), [] {
        std::string arrows;
        for (std::size_t i = 0; i < kMaxQuotedCharacters; ++i) {
            arrows += "\u21B5";
        }
        return arrows + "\u2026";
    }());
    EXPECT_EQ(InputExcerpt("  \u00E9t\u00E9\t"), "\u00E9t\u00E9");

    RecordingSink sink;
    std::vector<std::string> refusals = {ParseTypedPrice(huge).refusal,
                                         ParseTypedMove(huge).refusal};
    TableEdits edits;
    EXPECT_FALSE(edits.PasteBlock("1\t" + huge, {0}, 0));
    MachineMoves moves{};
    const MachineListReading reading = ReadMachineList("TM01, " + huge.substr(0, 60000), moves);
    refusals.push_back(reading.problem);
    CsvProblems problems;
    EXPECT_FALSE(ParseTablesCsv(huge + ",1\n", TableValues{}, problems));
    refusals.push_back(problems.Describe());
    for (const Message& message : sink.messages) {
        refusals.push_back(message.text);
    }
    EXPECT_EQ(refusals.size(), 5u);
    for (const std::string& refusal : refusals) {
        EXPECT_LT(refusal.size(), 400u) << refusal.substr(0, 400);
        EXPECT_NE(refusal.find(std::string(kMaxQuotedCharacters, 'x') + "\u2026"),
                  std::string::npos)
            << refusal.substr(0, 400);
    }
}

// The table editor's paste is bounded before its text is split into cells.
TEST(TypedInput, PastedBlockOverTheBoundIsRefusedBySize) {
    EXPECT_TRUE(PastedBlockSizeRefusal(kMaxPastedBlockBytes).empty());
    EXPECT_EQ(PastedBlockSizeRefusal(20 * 1024 * 1024),
              "Nothing was pasted: the clipboard holds 20480 KB, more than any block of the grid "
              "(at most 256 KB).");
    RecordingSink sink;
    TableEdits edits;
    EXPECT_FALSE(edits.PasteBlock(std::string(kMaxPastedBlockBytes + 1, '1'), {0}, 0));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text.rfind("Nothing was pasted: the clipboard holds 256 KB", 0), 0u);
}

}  // namespace
}  // namespace brindlewick::test
