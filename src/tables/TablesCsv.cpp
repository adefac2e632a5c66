#include "tables/TablesCsv.h"

#include <algorithm>
#include <array>
#include <vector>

#include "rom/NameMatching.h"
#include "rom/Names.h"
#include "rom/RomNameMatching.h"
#include "rom/RomNames.h"
#include "tables/TypedInput.h"

namespace brindlewick {
namespace {

constexpr std::string_view kSpeciesHeader = "species";
constexpr std::string_view kMoveHeader = "move";
constexpr std::string_view kPriceHeader = "price";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The names are plain ASCII; folding ASCII letters is all that matching needs.
std::string Folded(std::string_view text) {
    std::string folded(Trim(text));
    std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return folded;
}

bool SameName(std::string_view a, std::string_view b) {
    return Folded(a) == Folded(b);
}

// A whole number of at most a few digits, or nothing.
std::optional<int> ParseNumber(std::string_view text) {
    text = Trim(text);
    constexpr std::size_t kMaxDigits = 6;
    if (text.empty() || text.size() > kMaxDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// "; did you mean ..." for a name that matches none, while the problem will be told one by one:
// the rest are only counted, and a file of a quarter of a million misspelt names must not
// take minutes to refuse.
std::string Suggestion(const std::vector<int>& nearest, std::string_view (*displayName)(int)) {
    std::vector<std::string_view> names;
    for (const int index : nearest) {
        names.push_back(displayName(index));
    }
    const std::string text = DidYouMean(names);
    return text.empty() ? text : "; " + text;
}

bool WillBeTold(const CsvProblems& problems) {
    return problems.Reported().size() < kMaxReportedProblems;
}

// The field in double quotes, cut short as every refusal cuts what it quotes: a hostile file (a
// field of a million line ends, a name of a megabyte) gives a message of a few lines.
std::string Quoted(std::string_view text) {
    return "\"" + InputExcerpt(text) + "\"";
}

// Checks the number of fields. A row of the wrong width is told as that one problem: its
// cells are probably shifted, and a line of a million commas gives one problem, not a million.
bool CheckFieldCount(const CsvRecord& record, CsvProblems& problems) {
    if (record.fieldCount == static_cast<std::size_t>(kCsvColumns)) {
        return true;
    }
    const bool tooMany = record.fieldCount > static_cast<std::size_t>(kCsvColumns);
    problems.Add(record.line, tooMany ? kCsvColumns + 1 : static_cast<int>(record.fieldCount) + 1,
                 std::to_string(record.fieldCount) + " columns, expected " +
                     std::to_string(kCsvColumns) + (tooMany ? "" : ": the line ends early"));
    return false;
}

void CheckHeaderRow(const CsvRecord& record, char separator, CsvProblems& problems) {
    // A file that does not begin with the header is probably another file altogether: one
    // problem says so rather than one for each of its cells, and names the separators read.
    const CsvField& first = record.fields.front();
    if (!SameName(first.text, kSpeciesHeader)) {
        problems.Add(first.line, first.column,
                     "expected the header row (species, TM01 ... HM07) with its fields "
                     "separated by commas, semicolons or tabs, found " +
                         Quoted(first.text));
        return;
    }
    if (record.fieldCount != static_cast<std::size_t>(kCsvColumns)) {
        problems.Add(record.line, 1,
                     std::to_string(record.fieldCount) + " columns separated by " +
                         SeparatorName(separator) + ", as the first line shows; expected " +
                         std::to_string(kCsvColumns) +
                         " (species, TM01 ... HM07), each row separated the same way");
        return;
    }
    for (const CsvField& field : record.fields) {
        const std::string expected =
            field.column == 1 ? std::string(kSpeciesHeader) : MachineName(field.column - 2);
        if (!SameName(field.text, expected)) {
            problems.Add(field.line, field.column,
                         "expected " + expected + ", found " + Quoted(field.text));
        }
    }
}

// Checks that `record` begins with `title` and has every column; false when not (its cells are then
// not read, since the row is probably another one).
bool CheckTitle(const CsvRecord& record, std::string_view title, CsvProblems& problems) {
    const CsvField& first = record.fields.front();
    if (!SameName(first.text, title)) {
        problems.Add(first.line, first.column,
                     "expected " + std::string(title) + " as row " +
                         (title == kMoveHeader ? "2" : "3") + ", found " + Quoted(first.text));
        return false;
    }
    return CheckFieldCount(record, problems);
}

void ReadMoveRow(const CsvRecord& record, const TableValues& current, TableValues& target,
                 const GameNameMatcher& matcher, CsvProblems& problems) {
    for (std::size_t i = 1; i < record.fields.size(); ++i) {
        const CsvField& field = record.fields[i];
        const int machine = field.column - 2;
        const std::optional<int> number = ParseNumber(field.text);
        if (number) {
            const bool kept = *number == current.moves[static_cast<std::size_t>(machine)];
            if (*number < kMoveCount || (kept && *number <= 0xFF)) {
                target.moves[static_cast<std::size_t>(machine)] =
                    static_cast<std::uint8_t>(*number);
            } else {
                problems.Add(field.line, field.column,
                             MachineName(machine) + ": no move has the number " +
                                 std::string(Trim(field.text)) + " (0 to 251)");
            }
        } else if (const auto match = matcher.MatchMove(field.text); match.index) {
            target.moves[static_cast<std::size_t>(machine)] =
                static_cast<std::uint8_t>(*match.index);
        } else if (match.ambiguous) {
            problems.Add(field.line, field.column,
                         MachineName(machine) + ": " + Quoted(field.text) +
                             " names more than one move; give the move's number");
        } else {
            const std::string suggestion =
                WillBeTold(problems) ? Suggestion(NearestMoves(field.text), MoveDisplayName) : "";
            problems.Add(
                field.line, field.column,
                MachineName(machine) + ": no move is called " + Quoted(field.text) + suggestion);
        }
    }
}

void ReadPriceRow(const CsvRecord& record, TableValues& target, CsvProblems& problems) {
    for (std::size_t i = 1; i < record.fields.size(); ++i) {
        const CsvField& field = record.fields[i];
        const int machine = field.column - 2;
        const std::optional<int> price = ParseNumber(field.text);
        if (price && *price <= kMaxPrice) {
            target.prices[static_cast<std::size_t>(machine)] = static_cast<std::uint16_t>(*price);
        } else {
            problems.Add(field.line, field.column,
                         MachineName(machine) + ": the price " + Quoted(field.text) +
                             " is not a whole number from 0 to 65535");
        }
    }
}

std::optional<int> FindSpecies(const CsvField& field, const GameNameMatcher& matcher,
                               CsvProblems& problems) {
    if (const std::optional<int> number = ParseNumber(field.text)) {
        if (*number >= 1 && *number <= kSpeciesCount) {
            return *number - 1;
        }
        problems.Add(field.line, field.column,
                     "no species has the number " + std::string(Trim(field.text)) + " (1 to 251)");
        return std::nullopt;
    }
    const auto match = matcher.MatchSpecies(field.text);
    if (match.index) {
        return *match.index;
    }
    if (match.ambiguous) {
        problems.Add(field.line, field.column,
                     Quoted(field.text) + " names more than one species; give its number");
    } else {
        const std::string suggestion =
            WillBeTold(problems) ? Suggestion(NearestSpecies(field.text), SpeciesDisplayName) : "";
        problems.Add(field.line, field.column,
                     "no species is called " + Quoted(field.text) + suggestion);
    }
    return std::nullopt;
}

void ReadSpeciesRow(const CsvRecord& record, std::array<int, kSpeciesCount>& seenOnLine,
                    TableValues& target, const GameNameMatcher& matcher, CsvProblems& problems) {
    const std::optional<int> species = FindSpecies(record.fields.front(), matcher, problems);
    if (species) {
        int& seen = seenOnLine[static_cast<std::size_t>(*species)];
        if (seen != 0) {
            problems.Add(record.line, 1,
                         std::string(Trim(SpeciesEntries()[static_cast<std::size_t>(*species)])) +
                             " has a row already, on line " + std::to_string(seen));
        } else {
            seen = record.line;
        }
    }
    if (!CheckFieldCount(record, problems)) {
        return;
    }
    CompatibilityField field =
        species ? target.fields[static_cast<std::size_t>(*species)] : CompatibilityField{};
    for (std::size_t i = 1; i < record.fields.size(); ++i) {
        const CsvField& cell = record.fields[i];
        const std::string_view value = Trim(cell.text);
        const int machine = cell.column - 2;
        if (value == "1" || value == "0") {
            SetLearns(field, machine, value == "1");
        } else {
            problems.Add(cell.line, cell.column,
                         MachineName(machine) + ": expected 1 or 0, found " + Quoted(cell.text));
        }
    }
    if (species) {
        target.fields[static_cast<std::size_t>(*species)] = field;
    }
}

}  // namespace

std::string MoveExportName(std::size_t move) {
    const auto index = static_cast<int>(move);
    return MoveEntryShared(index) ? std::to_string(index) : std::string(Trim(MoveEntries()[move]));
}

std::string SpeciesExportName(std::size_t species) {
    const auto index = static_cast<int>(species);
    return SpeciesEntryShared(index) ? std::to_string(index + 1)
                                     : std::string(Trim(SpeciesEntries()[species]));
}

namespace {

// The CSV with each move and species written as `moveName` and `speciesName` give them.
template <typename MoveName, typename SpeciesName>
std::string WriteCsv(const TableValues& values, MoveName moveName, SpeciesName speciesName) {
    std::string csv(kSpeciesHeader);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        csv += ',' + MachineName(machine);
    }
    csv += '\n';
    csv += kMoveHeader;
    for (const std::uint8_t move : values.moves) {
        csv += ',';
        csv += move < kMoveCount ? CsvQuote(moveName(move)) : std::to_string(move);
    }
    csv += '\n';
    csv += kPriceHeader;
    for (const std::uint16_t price : values.prices) {
        csv += ',' + std::to_string(price);
    }
    csv += '\n';
    for (std::size_t species = 0; species < kSpeciesCount; ++species) {
        csv += CsvQuote(speciesName(species));
        for (int machine = 0; machine < kMachineCount; ++machine) {
            csv += Learns(values.fields[species], machine) ? ",1" : ",0";
        }
        csv += '\n';
    }
    return csv;
}

}  // namespace

std::string ExportCsv(const TableValues& values) {
    return WriteCsv(values, MoveExportName, SpeciesExportName);
}

std::string ExportCsv(const TableValues& values, const RomNames& names) {
    // A ROM's name that would not read back as its own entry (two moves of one name, or a
    // name the lists give to another entry) is written as its number.
    const GameNameMatcher matcher(names);
    auto moveName = [&](std::size_t move) {
        const int index = static_cast<int>(move);
        const std::string name = MoveNameOf(names, index);
        return matcher.ReadsBackAsMove(name, index) ? name : std::to_string(index);
    };
    auto speciesName = [&](std::size_t species) {
        const int index = static_cast<int>(species);
        const std::string name = SpeciesNameOf(names, index);
        return matcher.ReadsBackAsSpecies(name, index) ? name : std::to_string(index + 1);
    };
    return WriteCsv(values, moveName, speciesName);
}

std::optional<TableValues> ParseTablesCsv(std::string_view text, const TableValues& current,
                                          CsvProblems& problems) {
    return ParseTablesCsv(text, current, GameNameMatcher(), problems);
}

std::optional<TableValues> ParseTablesCsv(std::string_view text, const TableValues& current,
                                          const GameNameMatcher& matcher, CsvProblems& problems) {
    const char separator = SeparatorOfFirstLine(text);
    const std::vector<CsvRecord> records =
        ParseCsv(text, static_cast<std::size_t>(kCsvColumns), problems, separator);
    if (!problems.Empty()) {
        return std::nullopt;
    }
    if (records.empty()) {
        problems.Add(1, 1, "the file holds no rows: expected the species, move and price rows");
        return std::nullopt;
    }
    TableValues target = current;
    CheckHeaderRow(records[0], separator, problems);
    const int lastLine = records.back().line;
    if (records.size() < 2 || !CheckTitle(records[1], kMoveHeader, problems)) {
        if (records.size() < 2) {
            problems.Add(lastLine + 1, 1, "the move row is missing");
        }
    } else {
        ReadMoveRow(records[1], current, target, matcher, problems);
    }
    if (records.size() < 3) {
        problems.Add(lastLine + 1, 1, "the price row is missing");
    } else if (CheckTitle(records[2], kPriceHeader, problems)) {
        ReadPriceRow(records[2], target, problems);
    }
    std::array<int, kSpeciesCount> seenOnLine{};
    for (std::size_t i = 3; i < records.size(); ++i) {
        ReadSpeciesRow(records[i], seenOnLine, target, matcher, problems);
    }
    if (!problems.Empty()) {
        return std::nullopt;
    }
    return target;
}

}  // namespace brindlewick
