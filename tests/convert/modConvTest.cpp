#include "convert/modConv.h"

#include <gtest/gtest.h>

#include "convert/HexFunctions.h"
#include "convert/ReverseString.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

using test::RecordingSink;

void ExpectOneErrorMessage(const RecordingSink& sink, const std::string& text) {
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, text);
    EXPECT_EQ(sink.messages[0].title, "Brindlewick");
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Error);
}

TEST(ReverseHexBytes, SwapsDigitPairsAndPadsOddText) {
    EXPECT_EQ(ReverseHexBytes("1234"), "3412");
    EXPECT_EQ(ReverseHexBytes("D206"), "06D2");
    EXPECT_EQ(ReverseHexBytes("ABC"), "BC0A");
    EXPECT_EQ(ReverseHexBytes("7"), "07");
    EXPECT_EQ(ReverseHexBytes(""), "");
    EXPECT_EQ(ReverseHexBytes("a1b2c3"), "c3b2a1");  // characters are not checked or changed
}

TEST(ReverseString, ReversesCharacters) {
    EXPECT_EQ(ReverseString("00000101"), "10100000");
    EXPECT_EQ(ReverseString("1"), "1");
    EXPECT_EQ(ReverseString(""), "");
}

TEST(BinaryToHex, ConvertsGroupsOfFourAfterLeftPadding) {
    RecordingSink sink;
    const std::pair<const char*, const char*> cases[] = {
        {"00000000", "00"}, {"11111111", "FF"}, {"00000001", "01"}, {"10100101", "A5"},
        {"101", "5"},       {"1", "1"},         {"10000", "10"},    {"0000000000001", "0001"},
    };
    for (const auto& [binary, hex] : cases) {
        EXPECT_EQ(BinaryToHex(binary), hex) << binary;
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST(BinaryToHex, RejectsBadDigitsAndEmptyTextWithOneMessage) {
    {
        RecordingSink sink;
        EXPECT_EQ(BinaryToHex("1012"), "");
        ExpectOneErrorMessage(sink, "NOT A BINARY NUMBER");
    }
    {
        RecordingSink sink;
        EXPECT_EQ(BinaryToHex("2x"), "");  // two bad characters, still one message
        ExpectOneErrorMessage(sink, "NOT A BINARY NUMBER");
    }
    {
        RecordingSink sink;
        EXPECT_EQ(BinaryToHex(""), "");
        ExpectOneErrorMessage(sink, "Nothing Given..");
    }
}

TEST(HexToBinary, FourDigitsPerHexDigitInEitherCase) {
    RecordingSink sink;
    EXPECT_EQ(HexToBinary("00"), "00000000");
    EXPECT_EQ(HexToBinary("ff"), "11111111");
    EXPECT_EQ(HexToBinary("A5"), "10100101");
    EXPECT_EQ(HexToBinary("0f"), "00001111");
    EXPECT_EQ(HexToBinary(""), "");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(HexToBinary, RejectsNonHexText) {
    for (const char* bad : {"G1", "  ", "1-", "\xC3\xA9"}) {
        RecordingSink sink;
        EXPECT_EQ(HexToBinary(bad), "") << bad;
        ExpectOneErrorMessage(sink, "Number given is not in Hex format");
    }
}

TEST(HexToDecimal, ValuesOfHexText) {
    RecordingSink sink;
    EXPECT_EQ(HexToDecimal("00"), 0);
    EXPECT_EQ(HexToDecimal("1F"), 31);
    EXPECT_EQ(HexToDecimal("0BB8"), 3000);
    EXPECT_EQ(HexToDecimal("ffff"), 65535);
    EXPECT_EQ(HexToDecimal("6DD2"), 28114);
    EXPECT_EQ(HexToDecimal("FB"), 251);
    EXPECT_EQ(HexToDecimal(""), 0);
    EXPECT_EQ(HexToDecimal("FFFFFFFF"), 4294967295.0);
    // Long zero-padded text keeps its value (a weight of 16^256 overflows a double).
    EXPECT_EQ(HexToDecimal(std::string(300, '0') + "6DD2"), 28114);
    EXPECT_EQ(HexToDecimal(std::string(257, '0')), 0);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(HexToDecimal, RejectsNonHexTextWithZero) {
    RecordingSink sink;
    EXPECT_EQ(HexToDecimal("  "), 0);
    ExpectOneErrorMessage(sink, "Number given is not in Hex format");
}

TEST(Conversions, ByteRoundTripsThroughTheCheckBoxOrder) {
    // The path a compatibility byte takes from the file to the boxes and back.
    RecordingSink sink;
    for (int value = 0; value < 256; ++value) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", value);
        const std::string bitZeroFirst = ReverseString(HexToBinary(hex));
        for (int bit = 0; bit < 8; ++bit) {
            EXPECT_EQ(bitZeroFirst[static_cast<std::size_t>(bit)] == '1',
                      ((value >> bit) & 1) != 0);
        }
        EXPECT_EQ(BinaryToHex(ReverseString(bitZeroFirst)), hex);
    }
    EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace brindlewick
