#include "editor/MachineListText.h"

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

}  // namespace

std::string FormatMachineList(const MachineSet& machines) {
    std::string text;
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
    MachineSet machines{};
    std::size_t position = 0;
    while (position < text.size()) {
        if (IsSeparator(text[position])) {
            ++position;
            continue;
        }
        std::size_t end = position;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const int machine = MachineOfWord(std::string_view(text).substr(position, end - position));
        if (machine < 0) {
            return std::nullopt;
        }
        machines[static_cast<std::size_t>(machine)] = true;
        position = end;
    }
    return machines;
}

}  // namespace brindlewick
