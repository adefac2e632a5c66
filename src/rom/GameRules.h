// GameRules: what the game can and cannot use in the machine move list. The game scans the
// list up to its first 0 and takes the first match: a 0 cuts off every machine after it, a
// move used by two machines makes the later one use the earlier one's compatibility bit, and
// in Crystal, where the three tutor moves follow HM07 in the same list, a machine given a
// tutor move makes the tutor use that machine's bit, and a 0 anywhere, HM07's included, cuts
// off the tutor's moves.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rom/RomTables.h"

namespace brindlewick {

struct RomProfile;

// Crystal keeps Flamethrower (0x35), Thunderbolt (0x55) and Ice Beam (0x3A) after HM07 for the
// move tutor; Gold and Silver end the list with a 0 right after HM07.
inline constexpr std::array<std::uint8_t, 3> kCrystalTutorMoves{0x35, 0x55, 0x3A};
bool IsCrystal(const RomProfile& profile);
// Bytes from TmMovesOffset up to and including the terminating 0: 58, or 61 in Crystal.
std::int32_t MoveListLength(const RomProfile& profile);

enum class BreachKind {
    CutOff,      // `machine` teaches no move (0) while a later machine teaches one
    SharedMove,  // `machine` teaches the same move as the earlier machine `other`
    TutorMove,   // (Crystal) `machine` teaches one of the tutor moves
    // (Crystal) `machine` is the first that teaches no move (0): the tutor's three moves
    // follow HM07 in the same list, so the game never reaches them. At most one per list.
    TutorCutOff,
};

struct GameRuleBreach {
    BreachKind kind;
    int machine;     // machine index k
    int other = -1;  // SharedMove: the earlier machine with the same move
    int move = 0;    // the move number concerned

    bool operator==(const GameRuleBreach&) const = default;
};

// The breaches in a list of the 57 machine moves.
std::vector<GameRuleBreach> FindBreaches(const RomProfile& profile,
                                         std::span<const std::uint8_t, kMachineCount> moves);

// The breaches `after` has that `before` has not: what writing `after` would bring about. A
// tutor cut off already in `before` is not brought about again by a 0 further up.
std::vector<GameRuleBreach> NewBreaches(const RomProfile& profile,
                                        std::span<const std::uint8_t, kMachineCount> before,
                                        std::span<const std::uint8_t, kMachineCount> after);

// One question naming the machines and the consequence in the game's terms, ending by asking
// whether to save all the same. `breaches` must not be empty.
std::string DescribeBreaches(const std::vector<GameRuleBreach>& breaches);

}  // namespace brindlewick
