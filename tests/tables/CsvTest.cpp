#include <gtest/gtest.h>

#include <string>

#include "tables/Csv.h"

namespace brindlewick {
namespace {

std::vector<CsvRecord> Parse(std::string_view text, CsvProblems& problems,
                             std::size_t maxFields = 10) {
    return ParseCsv(text, maxFields, problems);
}

std::vector<std::string> Texts(const CsvRecord& record) {
    std::vector<std::string> texts;
    for (const CsvField& field : record.fields) {
        texts.push_back(field.text);
    }
    return texts;
}

TEST(Csv, QuotedFieldsHoldSeparatorsQuotesAndLineEnds) {
    CsvProblems problems;
    const auto records = Parse("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",x\nlast,", problems);
    ASSERT_TRUE(problems.Empty()) << problems.Describe();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(Texts(records[0]), (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(Texts(records[1]), (std::vector<std::string>{"two\nlines", "x"}));
    // A record begins where its first field does; the one after a quoted line end is on line 4.
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[2].line, 4);
    EXPECT_EQ(Texts(records[2]), (std::vector<std::string>{"last", ""}));
    EXPECT_EQ(records[2].fields[1].column, 2);
}

TEST(Csv, ByteOrderMarkAndEmptyLinesAreSkipped) {
    CsvProblems problems;
    const auto records = Parse("\xEF\xBB\xBFh\r\n\r\n\nrow\r\n", problems);
    ASSERT_TRUE(problems.Empty());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields[0].text, "h");
    EXPECT_EQ(records[1].fields[0].text, "row");
    EXPECT_EQ(records[1].line, 4);
}

TEST(Csv, MalformedQuotingIsPointedAt) {
    CsvProblems problems;
    Parse("ok\nab\"c,d\n\"x\"y,z\n", problems);
    ASSERT_EQ(problems.Total(), 2u);
    EXPECT_EQ(problems.Reported()[0].line, 2);
    EXPECT_EQ(problems.Reported()[0].column, 1);
    EXPECT_EQ(problems.Reported()[1].line, 3);
    EXPECT_EQ(problems.Reported()[1].column, 1);

    CsvProblems unclosed;
    Parse("a,b\nc,\"never closed\nmore", unclosed);
    ASSERT_EQ(unclosed.Total(), 1u);
    EXPECT_EQ(unclosed.Reported()[0].line, 2);
    EXPECT_EQ(unclosed.Reported()[0].column, 2);
}

TEST(Csv, BinaryAndNonUtf8TextIsRefusedWithOneProblem) {
    for (const std::string& text : {std::string("a,b\nc\0d\n", 8), std::string("a\n\xFF\xFE,b"),
                                    std::string("ab\n\xC0\x80"), std::string("x\xED\xA0\x80")}) {
        CsvProblems problems;
        EXPECT_TRUE(Parse(text, problems).empty());
        EXPECT_EQ(problems.Total(), 1u) << text;
    }
    CsvProblems problems;
    Parse(std::string("a,b\nc\0d\n", 8), problems);
    EXPECT_EQ(problems.Reported()[0].line, 2);
    CsvProblems accented;
    EXPECT_EQ(Parse("Pok\xC3\xA9mon", accented).size(), 1u);
    EXPECT_TRUE(accented.Empty());
}

TEST(Csv, FieldsPastTheLimitAreCountedNotKept) {
    CsvProblems problems;
    const std::string commas(1'000'000, ',');
    const auto records = Parse(commas, problems, 58);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fieldCount, 1'000'001u);
    EXPECT_EQ(records[0].fields.size(), 58u);
}

TEST(Csv, ProblemsBeyondTheFirstTwentyAreCounted) {
    CsvProblems problems;
    for (int i = 1; i <= 25; ++i) {
        problems.Add(i, 2, "bad");
    }
    EXPECT_EQ(problems.Total(), 25u);
    EXPECT_EQ(problems.Reported().size(), kMaxReportedProblems);
    const std::string text = problems.Describe();
    EXPECT_EQ(text.find("line 1, column 2: bad\nline 2, column 2: bad"), 0u);
    EXPECT_NE(text.find("line 20, column 2: bad\n... and 5 more problems"), std::string::npos);
    EXPECT_EQ(text.find("line 21,"), std::string::npos);
}

TEST(Csv, QuoteOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvQuote("Mr. Mime"), "Mr. Mime");
    EXPECT_EQ(CsvQuote("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvQuote("say \"x\""), "\"say \"\"x\"\"\"");
    CsvProblems problems;
    const auto records = ParseCsv(CsvQuote("a,\"b\"\nc") + "," + CsvQuote("d"), 5, problems);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Texts(records[0]), (std::vector<std::string>{"a,\"b\"\nc", "d"}));
}

}  // namespace
}  // namespace brindlewick
