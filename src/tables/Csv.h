// Csv: reading and writing RFC 4180 text (comma-separated, fields with a comma, a quote or a
// line end in double quotes, a quote inside them doubled); reading also takes the semicolons or
// tabs that spreadsheets of some countries separate fields with. Every field keeps the line and
// column where it begins, so that a problem can be pointed at in a spreadsheet.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brindlewick {

// A complete CSV of the three tables is about 35 KB. Anything far larger is no such file and
// is refused before it is read.
inline constexpr std::size_t kMaxCsvBytes = 1024 * 1024;
// Only the first problems are told one by one; the rest are counted.
inline constexpr std::size_t kMaxReportedProblems = 20;

struct CsvProblem {
    int line;    // 1-based line of the file
    int column;  // 1-based field of the record (as a spreadsheet counts columns)
    std::string text;
};

// The problems of one file: the first kMaxReportedProblems, and how many there were in all.
class CsvProblems {
public:
    void Add(int line, int column, std::string text);
    bool Empty() const { return m_total == 0; }
    std::size_t Total() const { return m_total; }
    const std::vector<CsvProblem>& Reported() const { return m_reported; }
    // One line per reported problem ("line 4, column 2: ..."), then "... and N more problems".
    std::string Describe() const;

private:
    std::vector<CsvProblem> m_reported;
    std::size_t m_total = 0;
};

struct CsvField {
    std::string text;
    int line;
    int column;
};

struct CsvRecord {
    std::vector<CsvField> fields;  // at most `maxFields` are kept
    std::size_t fieldCount = 0;    // every field the record had
    int line = 0;                  // where the record begins
};

// Splits `text` into records whose fields are separated by `separator`. A UTF-8 byte-order
// mark at the start is skipped; lines end in LF or CRLF; empty lines are skipped. Text that is
// not UTF-8, or that holds a zero byte, is no CSV: one problem says so and no records are
// returned. Fields past `maxFields` in a record are counted but not kept, so a line of a
// million commas costs no memory.
std::vector<CsvRecord> ParseCsv(std::string_view text, std::size_t maxFields, CsvProblems& problems,
                                char separator = ',');

// The separator the first line shows: what ends its first field, a semicolon or a tab as
// spreadsheets in some countries (German, French, Spanish, Italian settings) save a CSV, or
// else the comma.
char SeparatorOfFirstLine(std::string_view text);
// "commas", "semicolons", "tabs".
std::string SeparatorName(char separator);

// One field as RFC 4180 writes it: quoted when it holds a comma, a quote or a line end.
std::string CsvQuote(std::string_view field);

}  // namespace brindlewick
