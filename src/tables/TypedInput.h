// TypedInput: the rules for what a person types or pastes into the tables, the same for every
// window: a typed price, a typed move, the most a pasted block may hold, and the short excerpt
// of any input that a refusal quotes.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brindlewick {

class GameNameMatcher;

// A refusal quotes at most this many characters of what was typed, pasted or read, so that a
// hostile input (a cell of megabytes, a million line ends) gives a message of a line or two.
inline constexpr std::size_t kMaxQuotedCharacters = 40;

// `text` without its leading and trailing blanks, cut after kMaxQuotedCharacters characters
// (whole UTF-8 sequences) with an ellipsis; a line end shows as ↵ and any other control
// character as a blank, so that the excerpt is one line. No quotes of its own.
std::string InputExcerpt(std::string_view text);

// What a typed value comes to: the value, or why it was refused (a whole sentence).
struct TypedValue {
    std::optional<int> value;
    std::string refusal;
};

// A price as typed: a whole number from 0 to 65535 in decimal digits, blanks around it
// allowed; anything else (a sign, a fraction, an exponent, a digit too many) is refused.
[[nodiscard]] TypedValue ParseTypedPrice(std::string_view text);

// A move as typed: its name as the move list or the games spell it, or as the ROM holds it
// (`names`, matched as a CSV import matches them), or its number, 0 to 251. A name that names no
// move is refused with the nearest names, one that names more than one is refused too; it is
// never taken for another move. Where a window shows the moves by the names `shown` (by move
// number), a text that is exactly one of them (case ignored, hiragana as katakana) is that
// move, so that a name picked from its list is always taken.
[[nodiscard]] TypedValue ParseTypedMove(std::string_view text);
[[nodiscard]] TypedValue ParseTypedMove(std::string_view text, const GameNameMatcher& names,
                                        std::span<const std::string> shown = {});

// A pasted block of the compatibility grid is at most this large: every cell of the grid as
// TRUE or FALSE with CRLF line ends takes about 86 KB.
inline constexpr std::size_t kMaxPastedBlockBytes = 256 * 1024;

// The refusal of a clipboard of `bytes` bytes when that is more than kMaxPastedBlockBytes;
// empty otherwise. A window asks this before it reads the clipboard's text.
[[nodiscard]] std::string PastedBlockSizeRefusal(std::size_t bytes);

}  // namespace brindlewick
