// ImportPlan: the bytes an import writes, worked out from what the file holds and what the
// CSV asks for, before anything is written. Only bytes whose value changes are written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tables/TableValues.h"

namespace brindlewick {

struct TablePlaces;

struct ByteChange {
    std::int32_t offset;  // 0-based file offset
    std::uint8_t before;
    std::uint8_t after;

    bool operator==(const ByteChange&) const = default;
};

struct ImportPlan {
    std::vector<ByteChange> changes;  // in ascending offset order
    int machinesChanged = 0;          // machines whose move or price changes
    int speciesChanged = 0;           // species whose machine bits change
    // One line per changed machine and species: "TM05: move Cut -> Surf, price 3000 -> 2000",
    // "Bulbasaur: now learns TM02; no longer HM07".
    std::vector<std::string> details;

    bool Empty() const { return changes.empty(); }
};

// Whether a plan carries its lines of details (for a question or a dry run), or only the
// counts and the bytes (a write that asks nothing).
enum class PlanDetails { Listed, Counted };

ImportPlan PlanImport(const TablePlaces& places, const TableValues& current,
                      const TableValues& target, PlanDetails listed = PlanDetails::Listed);

// "2 machines and 1 species: 5 bytes".
std::string SummarizePlan(const ImportPlan& plan);

}  // namespace brindlewick
