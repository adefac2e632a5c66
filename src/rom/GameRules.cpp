#include "rom/GameRules.h"

#include <algorithm>

#include "rom/Names.h"
#include "rom/RomProfile.h"

namespace brindlewick {
namespace {

// A question names at most this many machines of one kind and counts the rest.
constexpr std::size_t kMaxNamedPerKind = 4;

std::string MoveName(int move) {
    if (move < 0 || move >= kMoveCount) {
        return "move number " + std::to_string(move);
    }
    const std::string_view entry = MoveEntries()[static_cast<std::size_t>(move)];
    const auto first = entry.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(entry.substr(first, entry.find_last_not_of(' ') - first + 1));
}

std::vector<GameRuleBreach> OfKind(const std::vector<GameRuleBreach>& breaches, BreachKind kind) {
    std::vector<GameRuleBreach> found;
    std::copy_if(breaches.begin(), breaches.end(), std::back_inserter(found),
                 [kind](const GameRuleBreach& b) { return b.kind == kind; });
    return found;
}

std::string AndMore(std::size_t count) {
    if (count <= kMaxNamedPerKind) {
        return {};
    }
    const std::size_t more = count - kMaxNamedPerKind;
    return "\n- and " + std::to_string(more) + (more == 1 ? " more machine" : " more machines") +
           " like these.";
}

std::string DescribeCutOff(const std::vector<GameRuleBreach>& cutOffs) {
    // The game stops at the first 0: the earliest such machine decides what is lost.
    const GameRuleBreach& first = *std::min_element(
        cutOffs.begin(), cutOffs.end(),
        [](const GameRuleBreach& a, const GameRuleBreach& b) { return a.machine < b.machine; });
    return "\n- " + MachineName(first.machine) +
           " would teach nothing (N/A), and so would every machine after it: the game reads the "
           "machine list only up to the first machine without a move.";
}

std::string DescribeTutorCutOff(const GameRuleBreach& cut, bool machinesCutOff) {
    if (machinesCutOff) {
        return "\n- The move tutor would teach none of its three moves either: they follow HM07 "
               "in the same list.";
    }
    const bool last = cut.machine == kMachineCount - 1;
    return "\n- " + MachineName(cut.machine) + " would teach nothing (N/A)" +
           (last ? "" : ", nor would the machines after it") +
           ", and the move tutor would teach none of its three moves: they follow HM07 in the "
           "list, which the game reads only up to the first machine without a move.";
}

std::string DescribeShared(const std::vector<GameRuleBreach>& shared) {
    std::string text;
    for (std::size_t i = 0; i < shared.size() && i < kMaxNamedPerKind; ++i) {
        const GameRuleBreach& b = shared[i];
        const std::string name = MachineName(b.machine);
        const std::string other = MachineName(b.other);
        text += "\n- " + name + " would teach " + MoveName(b.move) + ", as " + other +
                " does: the game takes the first machine with that move, so " + name +
                " would go by " + other + "'s compatibility instead of its own.";
    }
    return text + AndMore(shared.size());
}

std::string DescribeTutor(const std::vector<GameRuleBreach>& tutor) {
    std::string text;
    for (std::size_t i = 0; i < tutor.size() && i < kMaxNamedPerKind; ++i) {
        const GameRuleBreach& b = tutor[i];
        const std::string name = MachineName(b.machine);
        const std::string move = MoveName(b.move);
        text += "\n- " + name + " would teach " + move +
                ", one of the move tutor's moves: the tutor would then teach " + move +
                " to the species that can learn " + name +
                " instead of those marked for the tutor.";
    }
    return text + AndMore(tutor.size());
}

}  // namespace

bool IsCrystal(const RomProfile& profile) {
    // Crystal's codes begin with B (BYT… and, in Japan, BXTJ); Gold's and Silver's with A.
    return !profile.gameCode.empty() && profile.gameCode.front() == 'B';
}

std::int32_t MoveListLength(const RomProfile& profile) {
    const auto tutorMoves = IsCrystal(profile) ? kCrystalTutorMoves.size() : 0;
    return static_cast<std::int32_t>(kMachineCount + tutorMoves + 1);
}

std::vector<GameRuleBreach> FindBreaches(const RomProfile& profile,
                                         std::span<const std::uint8_t, kMachineCount> moves) {
    std::vector<GameRuleBreach> breaches;
    int lastTeaching = -1;
    for (int k = 0; k < kMachineCount; ++k) {
        if (moves[static_cast<std::size_t>(k)] != 0) {
            lastTeaching = k;
        }
    }
    const bool crystal = IsCrystal(profile);
    bool tutorCutOff = false;
    for (int k = 0; k < kMachineCount; ++k) {
        const int move = moves[static_cast<std::size_t>(k)];
        if (move == 0) {
            if (k < lastTeaching) {
                breaches.push_back({BreachKind::CutOff, k});
            }
            if (crystal && !tutorCutOff) {
                breaches.push_back({BreachKind::TutorCutOff, k});
                tutorCutOff = true;
            }
            continue;
        }
        const auto earlier = std::find(moves.begin(), moves.begin() + k, move);
        if (earlier != moves.begin() + k) {
            breaches.push_back(
                {BreachKind::SharedMove, k, static_cast<int>(earlier - moves.begin()), move});
        }
        if (crystal && std::find(kCrystalTutorMoves.begin(), kCrystalTutorMoves.end(), move) !=
                           kCrystalTutorMoves.end()) {
            breaches.push_back({BreachKind::TutorMove, k, -1, move});
        }
    }
    return breaches;
}

std::vector<GameRuleBreach> NewBreaches(const RomProfile& profile,
                                        std::span<const std::uint8_t, kMachineCount> before,
                                        std::span<const std::uint8_t, kMachineCount> after) {
    const std::vector<GameRuleBreach> had = FindBreaches(profile, before);
    std::vector<GameRuleBreach> brought = FindBreaches(profile, after);
    const bool tutorCutAlready = std::any_of(had.begin(), had.end(), [](const GameRuleBreach& b) {
        return b.kind == BreachKind::TutorCutOff;
    });
    std::erase_if(brought, [&](const GameRuleBreach& b) {
        return std::find(had.begin(), had.end(), b) != had.end() ||
               (b.kind == BreachKind::TutorCutOff && tutorCutAlready);
    });
    return brought;
}

std::string DescribeBreaches(const std::vector<GameRuleBreach>& breaches) {
    std::string text = "The game could not use the machines as saved:";
    const auto cutOffs = OfKind(breaches, BreachKind::CutOff);
    if (!cutOffs.empty()) {
        text += DescribeCutOff(cutOffs);
    }
    if (const auto tutor = OfKind(breaches, BreachKind::TutorCutOff); !tutor.empty()) {
        text += DescribeTutorCutOff(tutor.front(), !cutOffs.empty());
    }
    if (const auto shared = OfKind(breaches, BreachKind::SharedMove); !shared.empty()) {
        text += DescribeShared(shared);
    }
    if (const auto tutor = OfKind(breaches, BreachKind::TutorMove); !tutor.empty()) {
        text += DescribeTutor(tutor);
    }
    return text + "\n\nSave all the same?";
}

}  // namespace brindlewick
