#include "win32/Accelerators.h"

#include <string>

namespace brindlewick::win32 {
namespace {

WORD KeyOf(std::string_view name) {
    if (name == "Space") {
        return VK_SPACE;
    }
    if (name == "Del") {
        return VK_DELETE;
    }
    if (name.size() >= 2 && name.front() == 'F') {
        const int number = std::stoi(std::string(name.substr(1)));
        return static_cast<WORD>(VK_F1 + number - 1);
    }
    return name.empty() ? 0 : static_cast<WORD>(name.front());
}

}  // namespace

ACCEL Accelerator(std::string_view shortcut, WORD command) {
    ACCEL key{FVIRTKEY, 0, command};
    while (true) {
        const auto plus = shortcut.find('+');
        if (plus == std::string_view::npos || plus + 1 == shortcut.size()) {
            break;
        }
        const std::string_view modifier = shortcut.substr(0, plus);
        key.fVirt |= modifier == "Ctrl" ? FCONTROL : modifier == "Shift" ? FSHIFT : FALT;
        shortcut.remove_prefix(plus + 1);
    }
    key.key = KeyOf(shortcut);
    return key;
}

}  // namespace brindlewick::win32
