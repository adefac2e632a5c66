#include "rom/TablePlaces.h"

#include <algorithm>

#include "convert/HexDigits.h"
#include "rom/GameRules.h"
#include "rom/RomProfile.h"

namespace brindlewick {

TablePlaces RowPlaces(const RomProfile& release) {
    TablePlaces places;
    places.release = &release;
    places.moves = release.TmMovesOffset;
    places.baseStats = release.BaseStatsOffset;
    places.tm01Record = release.TmPricesOffset;
    return places;
}

int MachineItem(const TablePlaces& places, int machine) {
    return MachineItem(
        places.tm01Item,
        std::span(places.dummyItems).first(static_cast<std::size_t>(places.dummyCount)), machine);
}

int MachineRecordSpan(const TablePlaces& places) {
    return MachineItem(places, kMachineCount - 1) - places.tm01Item + 1;
}

std::int32_t MoveByteOffset(const TablePlaces& places, int machine) {
    return MoveByteOffset(places.moves, machine);
}

std::int32_t PriceOffset(const TablePlaces& places, int machine) {
    return places.tm01Record + kPriceRecordSize * (MachineItem(places, machine) - places.tm01Item);
}

std::int32_t CompatibilityByteOffset(const TablePlaces& places, int species, int fieldByte) {
    return CompatibilityByteOffset(places.baseStats, species, fieldByte);
}

bool IsCrystal(const TablePlaces& places) {
    return places.release != nullptr && IsCrystal(*places.release);
}

std::int32_t MoveListLength(const TablePlaces& places) {
    return places.release != nullptr ? MoveListLength(*places.release) : kMachineCount + 1;
}

std::int64_t TablesEnd(const TablePlaces& places) {
    constexpr int kLastMachine = kMachineCount - 1;
    constexpr int kLastSpecies = kSpeciesCount - 1;
    return 1 + std::max({
                   static_cast<std::int64_t>(MoveByteOffset(places, kLastMachine)),
                   static_cast<std::int64_t>(PriceOffset(places, kLastMachine)) + kPriceLength - 1,
                   static_cast<std::int64_t>(CompatibilityByteOffset(
                       places, kLastSpecies, kCompatibilityFieldLength - 1)),
               });
}

std::string OffsetText(std::int64_t offset) {
    return "0x" + HexText(static_cast<unsigned>(offset), 1);
}

}  // namespace brindlewick
