// GameCode: reading the four-character game code from a cartridge image's header.
#pragma once

#include <cstdint>
#include <string>

namespace brindlewick {

class OpenFile;

enum class GameCodeRead {
    Read,      // the four bytes were read
    TooShort,  // the file ends before the code field; such a file is not supported
    Failed,    // the file could not be read; the failure has been reported
};

// Reads the four code bytes of `fileName` into `gameCode`, one character per byte, through
// one open handle; `fileSize`, when given, receives the size of the file read. A failure is
// reported as one of opening the file.
[[nodiscard]] GameCodeRead ReadGameCode(const std::string& fileName, std::string& gameCode,
                                        std::uint64_t* fileSize = nullptr);

// The same through `rom`, a handle the caller holds for a whole operation; a failing read is
// reported as one of opening the file.
[[nodiscard]] GameCodeRead ReadGameCode(const OpenFile& rom, std::string& gameCode);

}  // namespace brindlewick
