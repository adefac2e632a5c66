#include "editor/MachineListText.h"

#include <algorithm>
#include <cctype>
#include <string_view>

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

}  // namespace brindlewick
