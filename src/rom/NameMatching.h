// NameMatching: finds a move or a species by a name as a person writes it. A name matches
// a list entry (Names.h) or, where the entry spells it otherwise, the games' own English name
// ("Swords Dance" beside "words Dance"), ignoring case, blanks and punctuation. A name no entry
// holds gets the nearest names, for a "did you mean" answer. The lists themselves stay as the
// window shows them; this only reads them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindlewick {

// The form names are compared in, after a compatibility normalisation of the characters that
// can stand for the names' ASCII (fullwidth letters and digits, superscript and other digits:
// "Porygon２" and "Porygon²" are "porygon2"): ASCII letters in lower case and digits; blanks
// and punctuation are left out, the signs ♀ and ♂ become "f" and "m" as in the list's
// "Nidoran (f)", and every other character stays, so that it matches no entry.
std::string NormalizedName(std::string_view name);

// The move number (0 to 251) or the species index (0 to 250) a name stands for. Nothing when
// no entry has that name, or when it names more than one entry (see NamesMoreThanOne...).
[[nodiscard]] std::optional<int> MatchMove(std::string_view name);
[[nodiscard]] std::optional<int> MatchSpecies(std::string_view name);

// Whether `name` names more than one entry of its list: such an entry is taken only by its
// number, and written as its number.
[[nodiscard]] bool NamesMoreThanOneMove(std::string_view name);
[[nodiscard]] bool NamesMoreThanOneSpecies(std::string_view name);

// Whether the text of an entry is shared with another entry, so that only its number tells
// it apart.
[[nodiscard]] bool MoveEntryShared(int move);
[[nodiscard]] bool SpeciesEntryShared(int species);

// The name a person knows an entry by: the games' English spelling where the list spells it
// otherwise, else the list entry without its trailing blank.
[[nodiscard]] std::string_view MoveDisplayName(int move);
[[nodiscard]] std::string_view SpeciesDisplayName(int species);

// The entries nearest to a name that matches none, nearest first: the closest one, and up to
// `most` in all of those no more than one edit further. Empty for a name without a letter or
// a digit, or one far longer than any entry.
inline constexpr std::size_t kMostSuggestions = 3;
[[nodiscard]] std::vector<int> NearestMoves(std::string_view name,
                                            std::size_t most = kMostSuggestions);
[[nodiscard]] std::vector<int> NearestSpecies(std::string_view name,
                                              std::size_t most = kMostSuggestions);

// "did you mean "A"?", "did you mean "A" or "B"?", "did you mean "A", "B" or "C"?"; empty
// for no names.
std::string DidYouMean(const std::vector<std::string_view>& names);

}  // namespace brindlewick
