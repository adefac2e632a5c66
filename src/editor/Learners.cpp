#include "editor/Learners.h"

#include "convert/HexDigits.h"
#include "convert/HexFunctions.h"
#include "rom/RomTables.h"

namespace brindlewick {

std::optional<std::vector<int>> ReadLearners(const std::string& romPath,
                                             std::int32_t baseStatsOffset, int machine) {
    if (machine < 0 || machine >= kMachineCount) {
        return std::nullopt;
    }
    // One read of the whole table rather than 251 reads of one byte: the window follows every
    // change of the machine selection.
    constexpr std::int32_t kTableLength = kSpeciesRecordSize * kSpeciesCount;
    const std::string hexText = ReadHexBytes(romPath, baseStatsOffset, kTableLength);
    if (hexText.size() != 2 * static_cast<std::size_t>(kTableLength)) {
        return std::nullopt;
    }
    const MachineBit position = BitOfMachine(machine);
    std::vector<int> learners;
    for (int species = 0; species < kSpeciesCount; ++species) {
        const std::int32_t byte =
            CompatibilityByteOffset(0, species, position.fieldByte);  // within the table
        const auto index = static_cast<std::size_t>(2 * byte);
        const int value = HexDigitValue(hexText[index]) * 16 + HexDigitValue(hexText[index + 1]);
        if ((value >> position.bit) & 1) {
            learners.push_back(species);
        }
    }
    return learners;
}

}  // namespace brindlewick
