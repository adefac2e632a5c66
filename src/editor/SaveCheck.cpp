#include "editor/SaveCheck.h"

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/RomProfile.h"
#include "rom/TablePlaces.h"

namespace brindlewick {

std::optional<SaveCheckResult> CheckOpenFileForSave(const OpenFile& rom, const TablePlaces& places,
                                                    int machine, int species) {
    const std::string& romPath = rom.FileName();
    SaveCheckResult result;
    std::array<std::uint8_t, kGameCodeLength> code{};
    const FileBlock blocks[] = {
        {kGameCodeOffset, code},
        {MoveByteOffset(places, 0),
         std::span(result.moveList).first(static_cast<std::size_t>(MoveListLength(places)))},
        {PriceOffset(places, machine), result.price},
        {CompatibilityByteOffset(places, species, 0), result.field},
    };
    std::error_code error = rom.ReadBlocks(blocks);
    if (error == MakeErrorCode(FileFailure::ReadPastEnd)) {
        error = MakeErrorCode(FileFailure::FileTooShort);
    }
    if (error) {
        ReportFileFailure(FileAction::Save, romPath, error);
        return std::nullopt;
    }
    result.identity = rom.Facts().identity;
    result.gameCode.assign(code.begin(), code.end());
    // Another program may have written a different image into the file since it was opened.
    // The offsets belong to the release identified at the open, so the file must still hold
    // that release.
    if (Identify(result.gameCode) != places.release) {
        ReportFileFailure(FileAction::Save, romPath, MakeErrorCode(FileFailure::RomReplaced));
        return std::nullopt;
    }
    result.selfCheck = CheckRomTables(rom, places);
    if (result.selfCheck.readFailed) {
        return std::nullopt;
    }
    return result;
}

}  // namespace brindlewick
