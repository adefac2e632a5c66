// ModelActions: the actions of the random session, what the user (or another program) does,
// each complete in itself so that any subsequence can be replayed; their random choice, a
// text form to replay them from, and a description a developer can follow.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "robust/RomModel.h"

namespace brindlewick::test {

// Random numbers that come out the same with every standard library (splitmix64).
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next();
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint64_t m_state;
};

enum class Kind {
    Open,          // a: image, b: 1 = by Ctrl+O
    CancelOpen,    // b: 1 = by Ctrl+O
    ClickMachine,  // a: row
    KeyMachine,    // a: ListKey (Up, Down, Home, End)
    ClickMove,     // a: row
    KeyMove,       // a: ListKey
    TypePrice,     // text: keys ('\b' = Backspace), b: 1 = select all first
    PastePrice,    // text: clipboard (UTF-8), b: 1 = select all first
    Spin,          // a: 1 = up, b: 1 = by click
    ClickSpecies,  // a: row
    KeySpecies,    // a: ListKey
    ToggleCheck,   // a: machine, b: 1 = by click
    SwitchPage,    // a: page
    Save,          // b: 1 = by Ctrl+S
    About,         // b: 1 = closed by its OK button
    ExternalEdit,  // a: release image, b: address in the tables (see TableAddress), c: value
    ReadOnly,      // a: image, b: 1 = read-only
    Immutable,     // a: image, b: 1 = immutable
};

// In place of an image: the one the window has open (nothing happens while none is).
inline constexpr int kOpenImage = -1;

// What one action does; the meaning of a, b, c and text depends on its kind (see above).
struct Action {
    Kind kind = Kind::Save;
    int a = 0;
    int b = 0;
    int c = 0;
    std::string text;
};

// Addresses another program may change: 57 move bytes, 57 × 2 price bytes, 251 × 8 field
// bytes, numbered in that order.
inline constexpr int kTableAddresses = kMachines * 3 + kSpecies * 8;
std::size_t TableAddress(const Release& release, int number);

// "kind:a:b:c:text", the form BRINDLEWICK_REPLAY takes, one action per blank-separated word.
std::string Serialize(const Action& action);
std::optional<Action> Parse(const std::string& word);
// In words, naming images by `images`.
std::string Describe(const Action& action, const std::vector<std::string>& images);

// What the actions may pick from: images 0 .. releases - 1 are the releases, the rest are
// refused or cut short; `immutable` when write failures can be made.
struct ActionRange {
    int images = 0;
    int releases = 0;
    bool immutable = false;
};
std::vector<Action> RandomActions(std::uint64_t seed, int count, const ActionRange& range);

}  // namespace brindlewick::test
