#include "rom/GameCode.h"

#include "convert/HexFunctions.h"
#include "platform/FileAccess.h"
#include "rom/RomTables.h"

namespace brindlewick {

GameCodeRead ReadGameCode(const std::string& fileName, std::string& gameCode) {
    std::uintmax_t size = 0;
    if (const auto error = RegularFileSize(fileName, size)) {
        ReportFileFailure(error);
        return GameCodeRead::Failed;
    }
    if (size < static_cast<std::uintmax_t>(kGameCodeOffset + kGameCodeLength)) {
        return GameCodeRead::TooShort;
    }
    const std::string hexText = ReadHexBytes(fileName, kGameCodeOffset, kGameCodeLength);
    if (hexText.size() != 2 * kGameCodeLength) {
        return GameCodeRead::Failed;
    }
    gameCode.clear();
    for (std::size_t i = 0; i < hexText.size(); i += 2) {
        gameCode += static_cast<char>(std::stoi(hexText.substr(i, 2), nullptr, 16));
    }
    return GameCodeRead::Read;
}

}  // namespace brindlewick
