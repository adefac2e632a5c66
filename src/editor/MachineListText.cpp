#include "editor/MachineListText.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "rom/NameMatching.h"
#include "rom/RomNameMatching.h"
#include "tables/TypedInput.h"

namespace brindlewick {
namespace {

bool IsSeparator(char character) {
    return character == ' ' || character == '\t' || character == '\r' || character == '\n' ||
           character == ',' || character == ';';
}

// The machine index a word names ("tm05" and "TM05" are TM05), or -1.
int MachineOfWord(std::string_view word) {
    std::string upper(word);
    for (char& character : upper) {
        character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        if (upper == MachineName(machine)) {
            return machine;
        }
    }
    return -1;
}

bool IsPartSeparator(char character) {
    return character != ' ' && IsSeparator(character);
}

std::string Quoted(std::string_view text) {
    return "\u201C" + InputExcerpt(text) + "\u201D";
}

// The part without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view part) {
    const auto first = part.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return part.substr(first, part.find_last_not_of(' ') - first + 1);
}

// The machines one part names, or the problem with it.
bool ReadPart(std::string_view part, const MachineMoves& moves, const GameNameMatcher& matcher,
              MachineSet& machines, std::string& problem) {
    if (const auto named = ParseMachineList(std::string(part))) {
        for (std::size_t machine = 0; machine < named->size(); ++machine) {
            machines[machine] = machines[machine] || (*named)[machine];
        }
        return true;
    }
    const std::optional<int> move = matcher.MatchMove(part).index;
    if (!move) {
        std::vector<std::string_view> nearest;
        for (const int candidate : NearestMoves(part)) {
            nearest.push_back(MoveDisplayName(candidate));
        }
        problem = Quoted(part) + " is neither a machine nor a move";
        if (!nearest.empty()) {
            problem += "; " + DidYouMean(nearest);
        }
        return false;
    }
    bool taught = false;
    for (std::size_t machine = 0; machine < moves.size(); ++machine) {
        if (moves[machine] == *move) {
            machines[machine] = true;
            taught = true;
        }
    }
    if (!taught) {
        problem = "No machine teaches " + std::string(MoveDisplayName(*move)) + " in this ROM.";
    }
    return taught;
}

bool IsNoMachines(std::string_view word) {
    const std::string_view none = kNoMachinesText;
    return word.size() == none.size() &&
           std::equal(word.begin(), word.end(), none.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

}  // namespace

std::string FormatMachineList(const MachineSet& machines) {
    std::string text;
    if (std::none_of(machines.begin(), machines.end(), [](bool learns) { return learns; })) {
        return kNoMachinesText;
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        if (machines[static_cast<std::size_t>(machine)]) {
            if (!text.empty()) {
                text += ' ';
            }
            text += MachineName(machine);
        }
    }
    return text;
}

std::optional<MachineSet> ParseMachineList(const std::string& text) {
    if (text.size() > kMaxMachineListText) {
        return std::nullopt;
    }
    MachineSet machines{};
    std::size_t position = 0;
    int words = 0;
    bool none = false;
    while (position < text.size()) {
        if (IsSeparator(text[position])) {
            ++position;
            continue;
        }
        std::size_t end = position;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const std::string_view word = std::string_view(text).substr(position, end - position);
        ++words;
        position = end;
        if (IsNoMachines(word)) {
            none = true;
            continue;
        }
        const int machine = MachineOfWord(word);
        if (machine < 0) {
            return std::nullopt;
        }
        machines[static_cast<std::size_t>(machine)] = true;
    }
    // No word is nothing to paste; "none" is a list only on its own.
    if (words == 0 || (none && words > 1)) {
        return std::nullopt;
    }
    return machines;
}

MachineListReading ReadMachineList(const std::string& text, const MachineMoves& moves) {
    return ReadMachineList(text, moves, GameNameMatcher());
}

MachineListReading ReadMachineList(const std::string& text, const MachineMoves& moves,
                                   const GameNameMatcher& matcher) {
    MachineListReading reading;
    if (text.size() > kMaxMachineListText) {
        return reading;
    }
    MachineSet machines{};
    std::size_t position = 0;
    int parts = 0;
    while (position <= text.size()) {
        std::size_t end = position;
        while (end < text.size() && !IsPartSeparator(text[end])) {
            ++end;
        }
        const std::string_view part =
            TrimBlanks(std::string_view(text).substr(position, end - position));
        if (!part.empty() && !ReadPart(part, moves, matcher, machines, reading.problem)) {
            return reading;
        }
        parts += part.empty() ? 0 : 1;
        position = end + 1;
    }
    // Text with no part at all (empty, or blanks alone) is nothing to paste.
    if (parts > 0) {
        reading.machines = machines;
    }
    return reading;
}

}  // namespace brindlewick
