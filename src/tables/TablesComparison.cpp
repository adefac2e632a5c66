#include "tables/TablesComparison.h"

#include "convert/HexDigits.h"
#include "rom/RomNames.h"
#include "rom/TablePlaces.h"
#include "tables/TablesCsv.h"

namespace brindlewick {
namespace {

constexpr const char* kArrow = " \u2192 ";

// The bits of the last field byte after HM07's, which stand for no machine.
constexpr std::uint8_t kBitsAfterLastMachine = static_cast<std::uint8_t>(0xFE);

// "TM24", "TM01 and TM24", "TM01, TM24 and HM05".
std::string Listed(const std::vector<int>& machines) {
    std::string text;
    for (std::size_t i = 0; i < machines.size(); ++i) {
        text += i == 0 ? "" : i + 1 == machines.size() ? " and " : ", ";
        text += MachineName(machines[i]);
    }
    return text;
}

std::string ByteText(std::uint8_t value) {
    return "0x" + HexText(value, 2);
}

enum class Table : std::uint8_t { None, Moves, Prices, Compatibility };

}  // namespace

ComparisonNames NamesForComparison(const OpenFile& rom, const LocatedTables& located) {
    // A failed read has been told; the lists' names then stand for the ROM's.
    const RomNames own = ReadRomNames(rom, located).value_or(RomNames{});
    ComparisonNames names;
    for (std::size_t move = 0; move < names.moves.size(); ++move) {
        if (move >= kMoveCount) {
            names.moves[move] = "move " + std::to_string(move);
        } else if (move > 0 && own.MovesRead() && !own.moves[move].empty()) {
            names.moves[move] = own.moves[move];
        } else {
            names.moves[move] = MoveExportName(move);
        }
    }
    for (std::size_t species = 0; species < names.species.size(); ++species) {
        names.species[species] = own.SpeciesRead() && !own.species[species].empty()
                                     ? own.species[species]
                                     : SpeciesExportName(species);
    }
    return names;
}

TablesDifferences CompareTables(const TableValues& from, const TableValues& to,
                                const ComparisonNames& fromNames, const ComparisonNames& toNames,
                                bool tutorBits) {
    TablesDifferences differences;
    std::vector<std::string>& lines = differences.lines;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const auto k = static_cast<std::size_t>(machine);
        const bool moveDiffers = from.moves[k] != to.moves[k];
        const bool priceDiffers = from.prices[k] != to.prices[k];
        if (moveDiffers) {
            lines.push_back(MachineName(machine) + ": " + fromNames.moves[from.moves[k]] + kArrow +
                            toNames.moves[to.moves[k]]);
        }
        if (priceDiffers) {
            lines.push_back(MachineName(machine) + " price " + std::to_string(from.prices[k]) +
                            kArrow + std::to_string(to.prices[k]));
        }
        differences.machines += moveDiffers || priceDiffers ? 1 : 0;
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        const auto s = static_cast<std::size_t>(species);
        const CompatibilityField& before = from.fields[s];
        const CompatibilityField& after = to.fields[s];
        if (before == after) {
            continue;
        }
        ++differences.species;
        std::vector<int> gained;
        std::vector<int> lost;
        for (int machine = 0; machine < kMachineCount; ++machine) {
            if (Learns(before, machine) != Learns(after, machine)) {
                (Learns(after, machine) ? gained : lost).push_back(machine);
            }
        }
        const std::string& name = toNames.species[s];
        if (!gained.empty()) {
            lines.push_back(name + " learns " + Listed(gained) + " now");
        }
        if (!lost.empty()) {
            lines.push_back(name + " no longer learns " + Listed(lost));
        }
        const auto extraBefore =
            static_cast<std::uint8_t>(before[kLastFieldByte] & kBitsAfterLastMachine);
        const auto extraAfter =
            static_cast<std::uint8_t>(after[kLastFieldByte] & kBitsAfterLastMachine);
        if (extraBefore != extraAfter) {
            lines.push_back(name + (tutorBits ? "'s move tutor bits " : "'s bits after HM07 ") +
                            ByteText(extraBefore) + kArrow + ByteText(extraAfter));
        }
    }
    return differences;
}

ChangedBytes ChangedBytesByTable(const TablePlaces& places, std::span<const ByteRun> runs) {
    // Which table each byte up to the tables' end belongs to, from the places' own addressing.
    std::vector<Table> tables(static_cast<std::size_t>(TablesEnd(places)), Table::None);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        tables[static_cast<std::size_t>(MoveByteOffset(places, machine))] = Table::Moves;
        const auto price = static_cast<std::size_t>(PriceOffset(places, machine));
        tables[price] = Table::Prices;
        tables[price + 1] = Table::Prices;
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
            tables[static_cast<std::size_t>(CompatibilityByteOffset(places, species, fieldByte))] =
                Table::Compatibility;
        }
    }
    ChangedBytes changed;
    auto outside = [&](std::uint64_t offset, std::uint64_t length) {
        changed.outside += length;
        ByteRun* last = changed.outsideRuns.empty() ? nullptr : &changed.outsideRuns.back();
        if (last != nullptr && last->offset + last->length == offset) {
            last->length += length;
        } else {
            changed.outsideRuns.push_back({offset, length});
        }
    };
    for (const ByteRun& run : runs) {
        const std::uint64_t end = run.offset + run.length;
        std::uint64_t at = run.offset;
        for (; at < end && at < tables.size(); ++at) {
            switch (tables[static_cast<std::size_t>(at)]) {
                case Table::Moves:
                    ++changed.moves;
                    break;
                case Table::Prices:
                    ++changed.prices;
                    break;
                case Table::Compatibility:
                    ++changed.compatibility;
                    break;
                case Table::None:
                    outside(at, 1);
                    break;
            }
        }
        if (at < end) {
            outside(at, end - at);
        }
    }
    return changed;
}

}  // namespace brindlewick
