#include "editor/SaveCheck.h"

#include "platform/FileAccess.h"
#include "rom/RomProfile.h"

namespace brindlewick {

std::optional<SaveCheckResult> CheckFileForSave(const std::string& romPath,
                                                const RomProfile& profile, int machine,
                                                int species) {
    SaveCheckResult result;
    std::array<std::uint8_t, kGameCodeLength> code{};
    const FileBlock blocks[] = {
        {kGameCodeOffset, code},
        {MoveByteOffset(profile.TmMovesOffset, 0), result.moveList},
        {PriceOffset(profile.TmPricesOffset, machine), result.price},
        {CompatibilityByteOffset(profile.BaseStatsOffset, species, 0), result.field},
    };
    FileFacts facts;
    std::error_code error = ReadFileBlocks(romPath, blocks, facts);
    const bool tooShort = error == MakeErrorCode(FileFailure::ReadPastEnd);
    if (!error || tooShort) {
        // The permission bits are checked rather than trusting the writes' open: an
        // administrator's open would succeed on a file its owner marked read-only.
        if (!facts.ownerWritable) {
            error = MakeErrorCode(FileFailure::ReadOnly);
        } else if (tooShort) {
            error = MakeErrorCode(FileFailure::FileTooShort);
        }
    }
    if (error) {
        ReportFileFailure(FileAction::Save, romPath, error);
        return std::nullopt;
    }
    result.identity = facts.identity;
    result.gameCode.assign(code.begin(), code.end());
    // Another program may have put a different image in the ROM's place since it was opened:
    // a copy over it, or a link to another file. The offsets belong to the release identified
    // at the open, so the file must still hold that release.
    if (Identify(result.gameCode) != &profile) {
        ReportFileFailure(FileAction::Save, romPath, MakeErrorCode(FileFailure::RomReplaced));
        return std::nullopt;
    }
    return result;
}

}  // namespace brindlewick
