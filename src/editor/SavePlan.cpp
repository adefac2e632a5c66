#include "editor/SavePlan.h"

#include "rom/RomProfile.h"
#include "rom/TablePlaces.h"

namespace brindlewick {

std::vector<PlannedWrite> PlanSave(const TablePlaces& places, const SaveRequest& request) {
    std::vector<PlannedWrite> writes;
    writes.reserve(1 + kCompatibilityFieldLength + kPriceLength);
    // No move is shown when the stored byte names none; that byte is then left alone.
    if (request.move >= 0 && request.move < kMoveCount) {
        writes.push_back({SavePart::Move, MoveByteOffset(places, request.machine),
                          static_cast<std::uint8_t>(request.move)});
    }

    std::array<std::uint8_t, kCompatibilityFieldLength> field{};
    // Only bit 0 of the last byte is a machine's (HM07); the spare bits are kept.
    constexpr std::uint8_t kMachineBitsOfLastByte = 0x01;
    field[kLastFieldByte] =
        static_cast<std::uint8_t>(request.storedLastFieldByte & ~kMachineBitsOfLastByte);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        if (request.checked[machine]) {
            const MachineBit position = BitOfMachine(machine);
            field[position.fieldByte] |= static_cast<std::uint8_t>(1u << position.bit);
        }
    }
    for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
        writes.push_back({SavePart::SpeciesField,
                          CompatibilityByteOffset(places, request.species, fieldByte),
                          field[fieldByte]});
    }

    // The price is little-endian in the file: low byte first.
    const std::int32_t price = PriceOffset(places, request.machine);
    const auto value = static_cast<unsigned>(request.price);
    writes.push_back({SavePart::Price, price, static_cast<std::uint8_t>(value & 0xFF)});
    writes.push_back({SavePart::Price, price + 1, static_cast<std::uint8_t>((value >> 8) & 0xFF)});
    return writes;
}

}  // namespace brindlewick
