#include "rom/RomTables.h"

namespace brindlewick {

std::int32_t MoveByteOffset(std::int32_t tmMovesOffset, int machine) {
    return tmMovesOffset + machine;
}

int MachineItem(int tm01Item, std::span<const std::uint8_t> dummyItems, int machine) {
    int item = tm01Item + machine;
    // Rising order matters: one shift can carry the item past the next dummy.
    for (const std::uint8_t dummy : dummyItems) {
        if (dummy <= item) {
            ++item;
        }
    }
    return item;
}

int PriceRecord(int machine) {
    // TM05 uses record 5 and TM29 record 30: records 4 and 29 are the dummies'.
    return MachineItem(kReleaseTm01Item, kReleaseDummyItems, machine) - kReleaseTm01Item;
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

std::string MachineName(int machine) {
    const bool hidden = machine >= kTmCount;
    const int number = hidden ? machine - kTmCount + 1 : machine + 1;
    // Built in one go: a plan names a machine for each bit it changes, thousands at a time.
    return {hidden ? 'H' : 'T', 'M', static_cast<char>('0' + number / 10),
            static_cast<char>('0' + number % 10)};
}

}  // namespace brindlewick
