#include "rom/RomTables.h"

#include <algorithm>

#include "rom/RomProfile.h"

namespace brindlewick {

std::int32_t MoveByteOffset(std::int32_t tmMovesOffset, int machine) {
    return tmMovesOffset + machine;
}

int PriceRecord(int machine) {
    // Records 4 and 29 are skipped: TM05 uses record 5 and TM29 record 30.
    constexpr int kFirstShiftedOnce = 4;    // TM05
    constexpr int kFirstShiftedTwice = 28;  // TM29
    if (machine >= kFirstShiftedTwice) {
        return machine + 2;
    }
    if (machine >= kFirstShiftedOnce) {
        return machine + 1;
    }
    return machine;
}

std::int32_t PriceOffset(std::int32_t tmPricesOffset, int machine) {
    return tmPricesOffset + kPriceRecordSize * PriceRecord(machine);
}

std::int32_t CompatibilityByteOffset(std::int32_t baseStatsOffset, int species, int fieldByte) {
    return baseStatsOffset + kSpeciesRecordSize * species + kCompatibilityFieldStart + fieldByte;
}

MachineBit BitOfMachine(int machine) {
    return {machine / 8, machine % 8};
}

std::int64_t TablesEnd(const RomProfile& profile) {
    constexpr int kLastMachine = kMachineCount - 1;
    constexpr int kLastSpecies = kSpeciesCount - 1;
    return 1 + std::max({
                   static_cast<std::int64_t>(MoveByteOffset(profile.TmMovesOffset, kLastMachine)),
                   static_cast<std::int64_t>(PriceOffset(profile.TmPricesOffset, kLastMachine)) +
                       kPriceLength - 1,
                   static_cast<std::int64_t>(CompatibilityByteOffset(
                       profile.BaseStatsOffset, kLastSpecies, kCompatibilityFieldLength - 1)),
               });
}

std::string MachineName(int machine) {
    const bool hidden = machine >= kTmCount;
    const int number = hidden ? machine - kTmCount + 1 : machine + 1;
    // Built in one go: a plan names a machine for each bit it changes, thousands at a time.
    return {hidden ? 'H' : 'T', 'M', static_cast<char>('0' + number / 10),
            static_cast<char>('0' + number % 10)};
}

}  // namespace brindlewick
