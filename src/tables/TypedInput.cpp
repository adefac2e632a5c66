#include "tables/TypedInput.h"

#include <algorithm>
#include <vector>

#include "rom/NameMatching.h"
#include "rom/RomNameMatching.h"
#include "rom/RomTables.h"

namespace brindlewick {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Decimal digits only, at most `most` in value; nothing otherwise. Leading zeros are fine, and
// however many digits there are, the value never overflows.
std::optional<int> WholeNumber(std::string_view text, int most) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
        if (value > most) {
            return std::nullopt;
        }
    }
    return static_cast<int>(value);
}

std::string Quoted(std::string_view text) {
    return "\"" + InputExcerpt(text) + "\"";
}

// ASCII letters in lower case, hiragana as katakana: how a typed name is compared with a shown
// one.
std::string ShownForm(std::string_view text) {
    std::string form = FoldKana(text);
    std::transform(form.begin(), form.end(), form.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return form;
}

// The one move whose shown name is `typed`; nothing for none or for more than one.
std::optional<int> ShownMove(std::string_view typed, std::span<const std::string> shown) {
    if (shown.empty()) {
        return std::nullopt;
    }
    const std::string wanted = ShownForm(typed);
    std::optional<int> found;
    for (std::size_t move = 0; move < shown.size(); ++move) {
        if (ShownForm(shown[move]) == wanted) {
            if (found) {
                return std::nullopt;
            }
            found = static_cast<int>(move);
        }
    }
    return found;
}

}  // namespace

std::string InputExcerpt(std::string_view text) {
    const std::string_view field = TrimBlanks(text);
    std::string excerpt;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < field.size(); ++characters) {
        if (characters == kMaxQuotedCharacters) {
            excerpt += "\u2026";
            break;
        }
        const auto lead = static_cast<unsigned char>(field[i]);
        if (lead == '\r' || lead == '\n') {
            excerpt += "\u21B5";
            // A CR LF pair is one line end.
            i += lead == '\r' && i + 1 < field.size() && field[i + 1] == '\n' ? 2 : 1;
            continue;
        }
        if (lead < 0x20 || lead == 0x7F) {
            excerpt += ' ';
            ++i;
            continue;
        }
        std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
        length = std::min(length, field.size() - i);
        excerpt.append(field.substr(i, length));
        i += length;
    }
    return excerpt;
}

TypedValue ParseTypedPrice(std::string_view text) {
    if (const auto price = WholeNumber(TrimBlanks(text), kMaxPrice)) {
        return {price, {}};
    }
    return {std::nullopt, "The price must be a whole number from 0 to 65535; " + Quoted(text) +
                              " is not. The price was not changed."};
}

TypedValue ParseTypedMove(std::string_view text) {
    return ParseTypedMove(text, GameNameMatcher());
}

TypedValue ParseTypedMove(std::string_view text, const GameNameMatcher& names,
                          std::span<const std::string> shown) {
    const std::string_view typed = TrimBlanks(text);
    if (const auto number = WholeNumber(typed, kMoveCount - 1)) {
        return {number, {}};
    }
    if (const auto move = ShownMove(typed, shown)) {
        return {move, {}};
    }
    const GameNameMatcher::Match match = names.MatchMove(typed);
    if (match.index) {
        return {match.index, {}};
    }
    if (match.ambiguous) {
        return {std::nullopt, Quoted(typed) +
                                  " names more than one move; type the move's number. The move "
                                  "was not changed."};
    }
    std::vector<std::string_view> nearest;
    for (const int move : NearestMoves(typed)) {
        nearest.push_back(MoveDisplayName(move));
    }
    std::string refusal = "No move is called " + Quoted(typed);
    const std::string suggestion = DidYouMean(nearest);
    refusal += suggestion.empty() ? "." : "; " + suggestion;
    return {std::nullopt, refusal + " The move was not changed."};
}

std::string PastedBlockSizeRefusal(std::size_t bytes) {
    if (bytes <= kMaxPastedBlockBytes) {
        return {};
    }
    return "Nothing was pasted: the clipboard holds " + std::to_string(bytes / 1024) +
           " KB, more than any block of the grid (at most " +
           std::to_string(kMaxPastedBlockBytes / 1024) + " KB).";
}

}  // namespace brindlewick
