// Name matching over arbitrary text: a move or species is found only when the text's compared
// form is that of one of its names, the nearest names are one to three entries of the list
// for any text with a letter or a digit that is not too long, and nothing is shown.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "rom/NameMatching.h"
#include "rom/Names.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// Of ASCII, only lower-case letters and digits are compared; other characters stay as they are.
bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           static_cast<unsigned char>(c) >= 0x80;
}

// The properties of one list's lookups; `entries` is the list, `display` its display names.
template <typename Entries, typename Match, typename Nearest, typename Display>
void CheckList(const std::string& text, const Entries& entries, Match match, Nearest nearest,
               Display display) {
    const std::string normalized = NormalizedName(text);
    for (const char c : normalized) {
        FUZZ_REQUIRE(IsLetterOrDigit(c));
    }
    FUZZ_REQUIRE(NormalizedName(normalized) == normalized);

    if (const std::optional<int> found = match(text)) {
        FUZZ_REQUIRE(*found >= 0 && static_cast<std::size_t>(*found) < entries.size());
        const auto index = static_cast<std::size_t>(*found);
        FUZZ_REQUIRE(normalized == NormalizedName(entries[index]) ||
                     normalized == NormalizedName(display(*found)));
        // The name of the entry found finds the same entry.
        FUZZ_REQUIRE(match(entries[index]) == found);
    }

    const std::vector<int> near = nearest(text, kMostSuggestions);
    FUZZ_REQUIRE(near.size() <= kMostSuggestions);
    FUZZ_REQUIRE(near.empty() == (normalized.empty() || normalized.size() > 40));
    for (std::size_t i = 0; i < near.size(); ++i) {
        FUZZ_REQUIRE(near[i] >= 0 && static_cast<std::size_t>(near[i]) < entries.size());
        for (std::size_t j = 0; j < i; ++j) {
            FUZZ_REQUIRE(near[i] != near[j]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = AsText(data, size);
    auto& sink = FreshMessages();

    CheckList(
        text, MoveEntries(), [](std::string_view name) { return MatchMove(name); },
        [](std::string_view name, std::size_t most) { return NearestMoves(name, most); },
        [](int move) { return MoveDisplayName(move); });
    CheckList(
        text, SpeciesEntries(), [](std::string_view name) { return MatchSpecies(name); },
        [](std::string_view name, std::size_t most) { return NearestSpecies(name, most); },
        [](int species) { return SpeciesDisplayName(species); });

    FUZZ_REQUIRE(sink.messages.empty());
    return 0;
}
