#include "tables/TableValues.h"

namespace brindlewick {

bool Learns(const CompatibilityField& field, int machine) {
    const MachineBit position = BitOfMachine(machine);
    return ((field[static_cast<std::size_t>(position.fieldByte)] >> position.bit) & 1U) != 0;
}

void SetLearns(CompatibilityField& field, int machine, bool learns) {
    const MachineBit position = BitOfMachine(machine);
    auto& byte = field[static_cast<std::size_t>(position.fieldByte)];
    const auto mask = static_cast<std::uint8_t>(1U << position.bit);
    byte = static_cast<std::uint8_t>(learns ? (byte | mask) : (byte & ~mask));
}

}  // namespace brindlewick
