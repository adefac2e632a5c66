#include "tables/Csv.h"

#include <cstdint>

namespace brindlewick {
namespace {

// The length of the UTF-8 sequence that starts at `pos`, or 0 when the bytes there are not
// well-formed UTF-8 (overlong forms and surrogates included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[pos + i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Checks the whole text before any of it is split: a binary file is refused with one problem
// rather than one per line. Returns false when the text is no CSV.
bool CheckText(std::string_view text, CsvProblems& problems) {
    int line = 1;
    int character = 1;
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '\0') {
            problems.Add(
                line, 1,
                "a zero byte at character " + std::to_string(character) + ": this is no text file");
            return false;
        }
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            problems.Add(line, 1,
                         "a byte that is not UTF-8 text at character " + std::to_string(character));
            return false;
        }
        if (text[pos] == '\n') {
            ++line;
            character = 1;
        } else {
            ++character;
        }
        pos += length;
    }
    return true;
}

}  // namespace

void CsvProblems::Add(int line, int column, std::string text) {
    ++m_total;
    if (m_reported.size() < kMaxReportedProblems) {
        m_reported.push_back({line, column, std::move(text)});
    }
}

std::string CsvProblems::Describe() const {
    std::string text;
    for (const CsvProblem& problem : m_reported) {
        if (!text.empty()) {
            text += '\n';
        }
        text += "line " + std::to_string(problem.line) + ", column " +
                std::to_string(problem.column) + ": " + problem.text;
    }
    if (m_total > m_reported.size()) {
        const std::size_t more = m_total - m_reported.size();
        text +=
            "\n... and " + std::to_string(more) + (more == 1 ? " more problem" : " more problems");
    }
    return text;
}

std::vector<CsvRecord> ParseCsv(std::string_view text, std::size_t maxFields, CsvProblems& problems,
                                char separator) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<CsvRecord> records;
    if (!CheckText(text, problems)) {
        return records;
    }

    int line = 1;
    std::size_t pos = 0;
    const auto atLineEnd = [&](std::size_t at) {
        return at < text.size() && (text[at] == '\n' || text[at] == '\r');
    };
    // Moves past one line end (LF, CRLF, or a lone CR).
    const auto skipLineEnd = [&] {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
            ++pos;
        }
        ++pos;
        ++line;
    };

    while (pos < text.size()) {
        if (atLineEnd(pos)) {
            skipLineEnd();
            continue;
        }
        CsvRecord record;
        record.line = line;
        bool recordDone = false;
        while (!recordDone) {
            CsvField field{{}, line, static_cast<int>(record.fieldCount) + 1};
            const bool keep = record.fieldCount < maxFields;
            if (pos < text.size() && text[pos] == '"') {
                ++pos;
                bool closed = false;
                while (pos < text.size()) {
                    if (text[pos] == '"') {
                        if (pos + 1 < text.size() && text[pos + 1] == '"') {
                            if (keep) {
                                field.text += '"';
                            }
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        closed = true;
                        break;
                    }
                    if (text[pos] == '\n') {
                        ++line;
                    }
                    if (keep) {
                        field.text += text[pos];
                    }
                    ++pos;
                }
                if (!closed) {
                    problems.Add(field.line, field.column, "a quoted field that is never closed");
                    ++record.fieldCount;
                    records.push_back(std::move(record));
                    return records;
                }
                // Blanks between the closing quote and the separator are tolerated.
                bool strayText = false;
                while (pos < text.size() && text[pos] != separator && !atLineEnd(pos)) {
                    strayText = strayText || (text[pos] != ' ' && text[pos] != '\t');
                    ++pos;
                }
                if (strayText) {
                    problems.Add(field.line, field.column, "text after the closing quote");
                }
            } else {
                bool strayQuote = false;
                while (pos < text.size() && text[pos] != separator && !atLineEnd(pos)) {
                    strayQuote = strayQuote || text[pos] == '"';
                    if (keep) {
                        field.text += text[pos];
                    }
                    ++pos;
                }
                if (strayQuote) {
                    problems.Add(field.line, field.column,
                                 "a quote inside a field that does not start with one");
                }
            }
            ++record.fieldCount;
            if (keep) {
                record.fields.push_back(std::move(field));
            }
            if (pos < text.size() && text[pos] == separator) {
                ++pos;
            } else {
                recordDone = true;
                if (pos < text.size()) {
                    skipLineEnd();
                }
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

char SeparatorOfFirstLine(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '"') {
        const std::size_t close = text.find('"', 1);
        pos = close == std::string_view::npos ? text.size() : close + 1;
    }
    const std::size_t end = text.find_first_of(",;\t\r\n", pos);
    if (end != std::string_view::npos && (text[end] == ';' || text[end] == '\t')) {
        return text[end];
    }
    return ',';
}

std::string SeparatorName(char separator) {
    switch (separator) {
        case ';':
            return "semicolons";
        case '\t':
            return "tabs";
        default:
            return "commas";
    }
}

std::string CsvQuote(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

}  // namespace brindlewick
