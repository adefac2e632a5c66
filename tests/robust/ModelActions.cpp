#include "robust/ModelActions.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <sstream>

namespace brindlewick::test {
namespace {

const char* const kKindNames[] = {
    "open", "cancel-open", "click-machine", "key-machine",   "click-move",  "key-move",
    "type", "paste",       "spin",          "click-species", "key-species", "toggle",
    "page", "save",        "about",         "external-edit", "read-only",   "immutable",
};

std::string Escape(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        }
    }
    return escaped;
}

std::string Unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            plain += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

std::string ImageName(int image, const std::vector<std::string>& images) {
    return image == kOpenImage ? std::string("the open image")
                               : images[static_cast<std::size_t>(image)];
}

std::string RandomKeys(Random& random) {
    static const char kOthers[] = "ax-. ,+";
    std::string keys;
    const int length = 1 + random.Below(6);
    for (int i = 0; i < length; ++i) {
        const int roll = random.Below(100);
        if (roll < 70) {
            keys += static_cast<char>('0' + random.Below(10));
        } else if (roll < 85) {
            keys += kOthers[random.Below(static_cast<int>(sizeof kOthers) - 1)];
        } else {
            keys += '\b';
        }
    }
    return keys;
}

std::string RandomClipboard(Random& random) {
    static const char* const kTexts[] = {"12a3",  "  42 ",        "-5",
                                         "1e3",   "\uFF19\uFF19", "\u30DD\u30B1\u30E2\u30F37",
                                         "",      "3.14",         "99999",
                                         "0000",  "65536",        "1,234",
                                         "65535", "007",          "\u00E9t\u00E9 8",
                                         "\t9\t", "123456789",    "x"};
    if (random.Chance(40)) {
        std::string digits;
        const int length = 1 + random.Below(8);
        for (int i = 0; i < length; ++i) {
            digits += static_cast<char>('0' + random.Below(10));
        }
        return digits;
    }
    return kTexts[random.Below(static_cast<int>(std::size(kTexts)))];
}

}  // namespace

std::uint64_t Random::Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::size_t TableAddress(const Release& release, int number) {
    if (number < kMachines) {
        return MoveAt(release, number);
    }
    number -= kMachines;
    if (number < 2 * kMachines) {
        return PriceAt(release, number / 2) + static_cast<std::size_t>(number % 2);
    }
    number -= 2 * kMachines;
    return FieldAt(release, number / 8, number % 8);
}

std::string Serialize(const Action& action) {
    std::ostringstream out;
    out << kKindNames[static_cast<int>(action.kind)] << ':' << action.a << ':' << action.b << ':'
        << action.c << ':' << Escape(action.text);
    return out.str();
}

std::optional<Action> Parse(const std::string& word) {
    std::vector<std::string> parts;
    std::stringstream in(word);
    std::string part;
    while (std::getline(in, part, ':')) {
        parts.push_back(part);
    }
    if (parts.size() < 4) {
        return std::nullopt;
    }
    Action action;
    const auto name = std::find(std::begin(kKindNames), std::end(kKindNames), parts[0]);
    if (name == std::end(kKindNames)) {
        return std::nullopt;
    }
    action.kind = static_cast<Kind>(name - std::begin(kKindNames));
    action.a = std::stoi(parts[1]);
    action.b = std::stoi(parts[2]);
    action.c = std::stoi(parts[3]);
    action.text = parts.size() > 4 ? Unescape(parts[4]) : std::string();
    return action;
}

std::string Describe(const Action& action, const std::vector<std::string>& images) {
    static const char* const kKeys[] = {"Up", "Down", "Home", "End"};
    std::ostringstream out;
    auto how = [&](const char* yes, const char* no) { return action.b != 0 ? yes : no; };
    switch (action.kind) {
        case Kind::Open:
            out << "open " << ImageName(action.a, images) << " by "
                << how("Ctrl+O", "the File menu");
            break;
        case Kind::CancelOpen:
            out << "cancel the open dialog (" << how("Ctrl+O", "File menu") << ")";
            break;
        case Kind::ClickMachine:
            out << "click machine row " << action.a;
            break;
        case Kind::KeyMachine:
            out << "press " << kKeys[action.a] << " in the machine list";
            break;
        case Kind::ClickMove:
            out << "click move row " << action.a;
            break;
        case Kind::KeyMove:
            out << "press " << kKeys[action.a] << " in the move list";
            break;
        case Kind::TypePrice:
            out << how("select all in", "go to the end of") << " the price and type \""
                << Escape(action.text) << "\" (%08 = Backspace)";
            break;
        case Kind::PastePrice:
            out << how("select all in", "go to the end of") << " the price and paste \""
                << action.text << "\"";
            break;
        case Kind::Spin:
            out << "spinner " << (action.a != 0 ? "up" : "down") << " by "
                << how("a click", "the arrow key");
            break;
        case Kind::ClickSpecies:
            out << "click species row " << action.a;
            break;
        case Kind::KeySpecies:
            out << "press " << kKeys[action.a] << " in the species list";
            break;
        case Kind::ToggleCheck:
            out << "toggle the box of machine " << action.a << " by "
                << how("a click", "the space bar");
            break;
        case Kind::SwitchPage:
            out << "click tab " << action.a;
            break;
        case Kind::Save:
            out << "save by " << how("Ctrl+S", "the File menu");
            break;
        case Kind::About:
            out << "open About, try Ctrl+S, close it by " << how("OK", "its close command");
            break;
        case Kind::ExternalEdit:
            out << "another program writes " << action.c << " into table byte " << action.b
                << " of " << ImageName(action.a, images);
            break;
        case Kind::ReadOnly:
            out << "chmod " << how("0444 ", "0644 ") << ImageName(action.a, images);
            break;
        case Kind::Immutable:
            out << how("set", "clear") << " the immutable attribute of "
                << ImageName(action.a, images);
            break;
    }
    return out.str();
}

std::vector<Action> RandomActions(std::uint64_t seed, int count, const ActionRange& range) {
    Random random(seed);
    const int imageCount = range.images;
    const int releaseCount = range.releases;
    // Weights in per mille, in the order of Kind.
    const int weights[] = {55, 10, 100, 50, 70, 40, 80, 50, 60,
                           80, 40, 140, 25, 90, 10, 25, 15, range.immutable ? 10 : 0};
    int total = 0;
    for (const int weight : weights) {
        total += weight;
    }
    std::vector<Action> actions;
    for (int i = 0; i < count; ++i) {
        int roll = random.Below(total);
        int kind = 0;
        while (roll >= weights[kind]) {
            roll -= weights[kind++];
        }
        Action action;
        action.kind = static_cast<Kind>(kind);
        action.b = random.Below(2);
        switch (action.kind) {
            case Kind::Open:
                // Mostly releases, so that the session spends its time editing.
                action.a = random.Chance(75)
                               ? random.Below(releaseCount)
                               : releaseCount + random.Below(imageCount - releaseCount);
                break;
            case Kind::ClickMachine:
                action.a = random.Below(kMachines);
                break;
            case Kind::ClickMove:
                action.a = random.Below(kMoves);
                break;
            case Kind::ClickSpecies:
                action.a = random.Below(kSpecies);
                break;
            case Kind::KeyMachine:
            case Kind::KeyMove:
            case Kind::KeySpecies:
                action.a = random.Below(4);
                break;
            case Kind::TypePrice:
                action.text = RandomKeys(random);
                break;
            case Kind::PastePrice:
                action.text = RandomClipboard(random);
                break;
            case Kind::Spin:
                action.a = random.Below(2);
                break;
            case Kind::ToggleCheck:
                action.a = random.Below(kMachines);
                break;
            case Kind::SwitchPage:
                action.a = random.Below(2);
                break;
            case Kind::ExternalEdit:
                action.a = random.Chance(70) ? kOpenImage : random.Below(releaseCount);
                action.b = random.Below(kTableAddresses);
                action.c = random.Below(256);
                break;
            case Kind::ReadOnly:
            case Kind::Immutable:
                action.a = random.Chance(70) ? kOpenImage : random.Below(releaseCount);
                break;
            default:
                break;
        }
        actions.push_back(std::move(action));
    }
    return actions;
}

}  // namespace brindlewick::test
