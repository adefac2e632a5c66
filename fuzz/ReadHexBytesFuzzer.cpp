// ReadHexBytes over arbitrary paths, file sizes, offsets and lengths. A read that lies inside
// an existing file returns exactly two uppercase digits per byte, equal to the file's bytes,
// silently; any other read of one byte or more returns "" with exactly one "Error: N" message.
// A read never changes the file and never creates one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "ScratchFiles.h"
#include "convert/HexFunctions.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

std::string HexOf(const Bytes& bytes, std::size_t offset, std::size_t length) {
    std::string hex;
    char pair[3];
    for (std::size_t i = offset; i < offset + length; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        hex += pair;
    }
    return hex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const ScratchTarget target = PrepareTarget(input);
    const std::int32_t offset = PickPosition(input, target.contents.size());
    const std::int32_t length = PickPosition(input, target.contents.size());
    auto& sink = FreshMessages();

    const std::string hex = ReadHexBytes(target.path, offset, length);

    const bool isFile = target.kind == PathKind::ExistingFile;
    if (isFile) {
        FUZZ_REQUIRE(FileContents(target.path) == target.contents);
    } else {
        FUZZ_REQUIRE(NothingCreated(target));
    }
    const std::int64_t end = static_cast<std::int64_t>(offset) + length;
    if (isFile && length > 0 && offset >= 0 &&
        end <= static_cast<std::int64_t>(target.contents.size())) {
        FUZZ_REQUIRE(sink.messages.empty());
        FUZZ_REQUIRE(hex == HexOf(target.contents, static_cast<std::size_t>(offset),
                                  static_cast<std::size_t>(length)));
        return 0;
    }
    FUZZ_REQUIRE(hex.empty());
    if (length > 0 || offset < 0) {
        FUZZ_REQUIRE(IsOneFileFailure(sink.messages));
    } else if (isFile && offset <= static_cast<std::int64_t>(target.contents.size())) {
        // Nothing to read at a position the file has.
        FUZZ_REQUIRE(sink.messages.empty());
    } else {
        // Nothing to read, from a missing file or past its end: reporting that is allowed.
        FUZZ_REQUIRE(sink.messages.empty() || IsOneFileFailure(sink.messages));
    }
    return 0;
}
