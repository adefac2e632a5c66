// ScratchFiles: the small files that the file fuzz targets read and write, kept in one
// temporary folder made once per process and removed when the process ends, and the way an
// input chooses a path, a file's bytes and a position.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brindlewick::fuzz {

using Bytes = std::vector<std::uint8_t>;

// Small files keep a run fast; the core treats every size alike.
inline constexpr std::size_t kMaxFileSize = 4096;

enum class PathKind {
    ExistingFile,   // a regular file with `contents`
    MissingFile,    // no such file in an existing folder: must not be created
    MissingFolder,  // a file in a folder that does not exist
    EmptyPath,
    Folder,  // a path that names a folder, not a file
};

struct ScratchTarget {
    PathKind kind;
    std::string path;  // UTF-8
    Bytes contents;    // the file's bytes before the call; empty unless ExistingFile
};

// Chooses a kind of path and, for an existing file, its size and bytes, and prepares it.
ScratchTarget PrepareTarget(FuzzedDataProvider& input);

// A file position or length: mostly within a few bytes of the file, sometimes anywhere in the
// 32-bit range, at its top (where offset + length overflows) or below zero.
std::int32_t PickPosition(FuzzedDataProvider& input, std::size_t fileSize);

// The bytes of the regular file `path`, or nothing when it names no regular file.
std::optional<Bytes> FileContents(const std::string& path);

// The call left a path that named no file as it was: nothing was created in its place.
bool NothingCreated(const ScratchTarget& target);

}  // namespace brindlewick::fuzz
