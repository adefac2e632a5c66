#include "rom/GameCode.h"

#include <array>
#include <cstdint>

#include "platform/FileAccess.h"
#include "platform/NativeFile.h"
#include "platform/OpenFile.h"
#include "rom/RomTables.h"

namespace brindlewick {

GameCodeRead ReadGameCode(const std::string& fileName, std::string& gameCode,
                          std::uint64_t* fileSize) {
    // One open, one fstat, one read: the file's type and size are checked on the handle the
    // code is read through.
    std::array<std::uint8_t, kGameCodeLength> code{};
    const FileBlock block{kGameCodeOffset, code};
    FileFacts facts;
    const std::error_code error = ReadFileBlocks(fileName, {&block, 1}, facts);
    if (error == MakeErrorCode(FileFailure::ReadPastEnd)) {
        return GameCodeRead::TooShort;
    }
    if (error) {
        ReportFileFailure(FileAction::Open, fileName, error);
        return GameCodeRead::Failed;
    }
    gameCode.assign(code.begin(), code.end());
    if (fileSize != nullptr) {
        *fileSize = facts.size;
    }
    return GameCodeRead::Read;
}

GameCodeRead ReadGameCode(const OpenFile& rom, std::string& gameCode) {
    std::array<std::uint8_t, kGameCodeLength> code{};
    const FileBlock block{kGameCodeOffset, code};
    const std::error_code error = rom.ReadBlocks({&block, 1});
    if (error == MakeErrorCode(FileFailure::ReadPastEnd)) {
        return GameCodeRead::TooShort;
    }
    if (error) {
        ReportFileFailure(FileAction::Open, rom.FileName(), error);
        return GameCodeRead::Failed;
    }
    gameCode.assign(code.begin(), code.end());
    return GameCodeRead::Read;
}

}  // namespace brindlewick
