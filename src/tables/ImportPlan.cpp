#include "tables/ImportPlan.h"

#include <algorithm>
#include <utility>

#include "rom/Names.h"
#include "rom/TablePlaces.h"

namespace brindlewick {
namespace {

std::string MoveText(std::uint8_t move) {
    if (move < kMoveCount) {
        const std::string_view name = MoveEntries()[move];
        const auto last = name.find_last_not_of(' ');
        return std::string(name.substr(0, last == std::string_view::npos ? 0 : last + 1));
    }
    return "move " + std::to_string(move);
}

std::string SpeciesText(int species) {
    std::string_view name = SpeciesEntries()[static_cast<std::size_t>(species)];
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    return std::string(name);
}

void AddChange(std::vector<ByteChange>& changes, std::int32_t offset, std::uint8_t before,
               std::uint8_t after) {
    if (before != after) {
        changes.push_back({offset, before, after});
    }
}

std::string MachineList(const std::vector<int>& machines) {
    std::string text;
    text.reserve(machines.size() * 5);
    for (const int machine : machines) {
        if (!text.empty()) {
            text += ' ';
        }
        text += MachineName(machine);
    }
    return text;
}

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

ImportPlan PlanImport(const TablePlaces& places, const TableValues& current,
                      const TableValues& target, PlanDetails listed) {
    const bool lines = listed == PlanDetails::Listed;
    ImportPlan plan;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const auto k = static_cast<std::size_t>(machine);
        std::string detail;
        AddChange(plan.changes, MoveByteOffset(places, machine), current.moves[k], target.moves[k]);
        if (current.moves[k] != target.moves[k]) {
            detail = "move " + MoveText(current.moves[k]) + " -> " + MoveText(target.moves[k]);
        }
        // The price is stored low byte first.
        const std::int32_t priceOffset = PriceOffset(places, machine);
        AddChange(plan.changes, priceOffset, static_cast<std::uint8_t>(current.prices[k] & 0xFF),
                  static_cast<std::uint8_t>(target.prices[k] & 0xFF));
        AddChange(plan.changes, priceOffset + 1, static_cast<std::uint8_t>(current.prices[k] >> 8),
                  static_cast<std::uint8_t>(target.prices[k] >> 8));
        if (current.prices[k] != target.prices[k]) {
            detail += (detail.empty() ? "price " : ", price ") + std::to_string(current.prices[k]) +
                      " -> " + std::to_string(target.prices[k]);
        }
        if (!detail.empty()) {
            ++plan.machinesChanged;
            if (lines) {
                plan.details.push_back(MachineName(machine) + ": " + detail);
            }
        }
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        const CompatibilityField& before = current.fields[static_cast<std::size_t>(species)];
        const CompatibilityField& after = target.fields[static_cast<std::size_t>(species)];
        // Most species keep their field: nothing to write and no machine to list.
        if (before == after) {
            continue;
        }
        for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
            AddChange(plan.changes, CompatibilityByteOffset(places, species, fieldByte),
                      before[static_cast<std::size_t>(fieldByte)],
                      after[static_cast<std::size_t>(fieldByte)]);
        }
        // Bit 0 of the last byte is HM07's; the others stand for no machine.
        bool machinesDiffer = ((before[kLastFieldByte] ^ after[kLastFieldByte]) & 0x01) != 0;
        for (int fieldByte = 0; fieldByte < kLastFieldByte && !machinesDiffer; ++fieldByte) {
            machinesDiffer = before[static_cast<std::size_t>(fieldByte)] !=
                             after[static_cast<std::size_t>(fieldByte)];
        }
        if (!machinesDiffer) {
            continue;
        }
        ++plan.speciesChanged;
        if (!lines) {
            continue;
        }
        std::vector<int> gained;
        std::vector<int> lost;
        for (int machine = 0; machine < kMachineCount; ++machine) {
            if (Learns(before, machine) != Learns(after, machine)) {
                (Learns(after, machine) ? gained : lost).push_back(machine);
            }
        }
        {
            std::string detail = SpeciesText(species) + ":";
            if (!gained.empty()) {
                detail += " now learns " + MachineList(gained);
            }
            if (!lost.empty()) {
                detail +=
                    std::string(gained.empty() ? "" : ";") + " no longer " + MachineList(lost);
            }
            plan.details.push_back(std::move(detail));
        }
    }
    std::sort(plan.changes.begin(), plan.changes.end(),
              [](const ByteChange& a, const ByteChange& b) { return a.offset < b.offset; });
    return plan;
}

std::string SummarizePlan(const ImportPlan& plan) {
    return Plural(plan.machinesChanged, "machine", "machines") + " and " +
           Plural(plan.speciesChanged, "species", "species") + ": " +
           Plural(static_cast<int>(plan.changes.size()), "byte", "bytes");
}

}  // namespace brindlewick
