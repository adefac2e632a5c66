#include "editor/PriceField.h"

#include <gtest/gtest.h>

#include "editor/EditorFixture.h"

namespace brindlewick {
namespace {

TEST(PriceField, AcceptsOnlyDigitsAndBackspace) {
    for (char32_t key = U'0'; key <= U'9'; ++key) {
        EXPECT_TRUE(PriceKeyAccepted(key)) << static_cast<int>(key);
    }
    EXPECT_TRUE(PriceKeyAccepted(8));
    for (const char32_t key : {U'a', U'F', U'-', U'+', U'.', U',', U' ', U'/', U':', U'\t', U'\r',
                               char32_t{127}, U'\u0661' /* Arabic-Indic one */}) {
        EXPECT_FALSE(PriceKeyAccepted(key)) << static_cast<int>(key);
    }
}

TEST(PriceField, RuleKeepsTheTextAWholeNumberUpTo65535) {
    const struct {
        const char* text;
        const char* ruled;
    } rows[] = {
        {"", "0"},
        {"0", "0"},
        {"007", "007"},  // within range the text stays exactly as typed
        {"65535", "65535"},
        {"65536", "65535"},
        {"99999", "65535"},
        {"100000", "65535"},
        {"0065536", "65535"},
        {"0000065535", "0000065535"},
        {"99999999999999999999", "65535"},  // far beyond any integer type
        {"1a2b", "12"},                     // pasted text keeps its digits
        {" 3 000 ", "3000"},
        {"-5", "5"},
        {"1.5", "15"},
        {"abc", "0"},
        {"Pok\xC3\xA9mon 42", "42"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ApplyPriceRule(row.text), row.ruled) << '"' << row.text << '"';
    }
}

TEST(PriceField, ParsesOnlyWholeNumbersInRange) {
    EXPECT_EQ(ParsePrice("0"), 0);
    EXPECT_EQ(ParsePrice("007"), 7);
    EXPECT_EQ(ParsePrice("3000"), 3000);
    EXPECT_EQ(ParsePrice("65535"), 65535);
    EXPECT_EQ(ParsePrice("000000000000000065535"), 65535);
    for (const char* text : {"", "65536", "99999999999999999999", "-1", "1 2", "12a", " 7"}) {
        EXPECT_EQ(ParsePrice(text), std::nullopt) << '"' << text << '"';
    }
}

// The window runs the rule after every change, the ones it makes itself included.
TEST(PriceField, EditorAppliesTheRuleToWhatTheFieldShows) {
    test::FakeView view;
    Editor editor(view);
    view.shown.price.clear();  // the whole text was selected, so the first key replaces it
    for (const char* expected : {"7", "70", "700", "7000", "65535"}) {
        view.shown.price += view.shown.price.empty() ? '7' : '0';
        editor.PriceTextChanged();
        EXPECT_EQ(view.shown.price, expected);
    }

    view.priceTextSets = 0;
    view.shown.price = "";  // every character deleted
    editor.PriceTextChanged();
    EXPECT_EQ(view.shown.price, "0");
    EXPECT_EQ(view.priceTextSets, 1);

    view.shown.price = "007";  // a text the rule keeps is not set again
    editor.PriceTextChanged();
    EXPECT_EQ(view.shown.price, "007");
    EXPECT_EQ(view.priceTextSets, 1);
}

}  // namespace
}  // namespace brindlewick
