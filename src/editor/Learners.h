// Learners: which species can learn one machine, read from the base-stats table of the open
// ROM in one block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brindlewick {

// The species indexes (0..250, in species order) whose compatibility field has the bit of
// machine index `machine`, or nothing when the read failed (it has been reported).
std::optional<std::vector<int>> ReadLearners(const std::string& romPath,
                                             std::int32_t baseStatsOffset, int machine);

}  // namespace brindlewick
