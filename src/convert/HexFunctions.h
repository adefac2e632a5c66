// HexFunctions: byte access to a file through hexadecimal text, two uppercase digits per
// byte in file order. Every call opens the file by path, moves its bytes and closes it;
// nothing survives a call. Failures are shown as "Error: N" and never thrown.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

#include "platform/NativeFile.h"

namespace brindlewick {

// The `length` bytes at 0-based `offset` as hex text, or "" after a reported failure
// (no such file, a folder, an offset out of range, a read past the end of the file).
std::string ReadHexBytes(const std::string& fileName, std::int32_t offset, std::int32_t length);

// Writes the bytes that `hexText` spells (an odd length gets a leading "0") from 0-based
// `offset` on. Never creates or extends a file: a write that does not lie wholly inside
// the existing file is reported and writes nothing.
void WriteHexBytes(const std::string& fileName, std::int32_t offset, const std::string& hexText);

// WriteHexBytes that also tells its caller whether every byte was written.
[[nodiscard]] bool TryWriteHexBytes(const std::string& fileName, std::int32_t offset,
                                    const std::string& hexText);

// WriteHexBytes for a caller that reports the failure itself, with further checks made on the
// open handle before anything is written (the file's identity) and an optional flush after.
// Nothing is shown; the result is the failure, or none when every byte was written.
[[nodiscard]] std::error_code WriteHexBytesChecked(const std::string& fileName, std::int32_t offset,
                                                   const std::string& hexText, WriteChecks checks);

// The digit pairs of `hexText` in reverse order (an odd length gets a leading "0" first):
// turns a little-endian number read from the file into high-byte-first digits and back.
std::string ReverseHexBytes(const std::string& hexText);

}  // namespace brindlewick
