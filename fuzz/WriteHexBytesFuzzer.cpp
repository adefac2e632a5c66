// WriteHexBytes (and TryWriteHexBytes, which also answers whether it wrote everything) over
// arbitrary paths, file sizes, offsets and texts. A write never changes the file's size, never
// creates a file and never touches a byte outside [offset, offset + bytes). When all its bytes
// lie inside the file it writes the digit pairs up to the first that is not hexadecimal;
// otherwise it writes nothing. Every failure is exactly one "Error: N" message.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "ScratchFiles.h"
#include "convert/HexFunctions.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// Text of up to a little more than the file holds, so that writes often fit and often do not:
// all hex digits of either case, hex digits with one raw byte somewhere, or raw bytes.
std::string PickText(FuzzedDataProvider& input, std::size_t fileSize) {
    constexpr char kDigits[] = "0123456789abcdefABCDEF";
    const int mode = input.ConsumeIntegralInRange(0, 2);
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 2 * fileSize + 3);
    const std::string raw = input.ConsumeBytesAsString(length);
    if (mode == 2) {
        return raw;
    }
    std::string text = raw;
    for (char& c : text) {
        c = kDigits[static_cast<unsigned char>(c) % (sizeof kDigits - 1)];
    }
    if (mode == 1 && !text.empty()) {
        const auto keep = input.ConsumeIntegralInRange<std::size_t>(0, text.size() - 1);
        text[keep] = raw[keep];
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const ScratchTarget target = PrepareTarget(input);
    const std::int32_t offset = PickPosition(input, target.contents.size());
    const bool askWhetherWritten = input.ConsumeBool();
    const std::string text = PickText(input, target.contents.size());

    const std::string digits = text.size() % 2 == 0 ? text : "0" + text;
    const std::size_t count = digits.size() / 2;
    std::size_t hexPairs = 0;
    while (hexPairs < count && IsHexDigit(digits[2 * hexPairs]) &&
           IsHexDigit(digits[2 * hexPairs + 1])) {
        ++hexPairs;
    }

    auto& sink = FreshMessages();
    bool written = true;
    if (askWhetherWritten) {
        written = TryWriteHexBytes(target.path, offset, text);
    } else {
        WriteHexBytes(target.path, offset, text);
    }

    if (askWhetherWritten) {
        FUZZ_REQUIRE(written == sink.messages.empty());
    }
    if (target.kind != PathKind::ExistingFile) {
        FUZZ_REQUIRE(NothingCreated(target));
        if (count > 0 || offset < 0) {
            FUZZ_REQUIRE(IsOneFileFailure(sink.messages));
        } else {
            FUZZ_REQUIRE(sink.messages.empty() || IsOneFileFailure(sink.messages));
        }
        return 0;
    }

    const auto after = FileContents(target.path);
    FUZZ_REQUIRE(after.has_value());
    FUZZ_REQUIRE(after->size() == target.contents.size());
    const std::int64_t end = static_cast<std::int64_t>(offset) + static_cast<std::int64_t>(count);
    const bool inside = offset >= 0 && end <= static_cast<std::int64_t>(target.contents.size());
    Bytes expected = target.contents;
    if (inside) {
        for (std::size_t i = 0; i < hexPairs; ++i) {
            expected[static_cast<std::size_t>(offset) + i] = static_cast<std::uint8_t>(
                16 * HexDigitValue(digits[2 * i]) + HexDigitValue(digits[2 * i + 1]));
        }
    }
    FUZZ_REQUIRE(*after == expected);

    if (inside && hexPairs == count) {
        FUZZ_REQUIRE(sink.messages.empty());
    } else if (inside || count > 0 || offset < 0) {
        FUZZ_REQUIRE(IsOneFileFailure(sink.messages));
    } else {
        // Nothing to write, at a position past the end of the file: reporting that is allowed.
        FUZZ_REQUIRE(sink.messages.empty() || IsOneFileFailure(sink.messages));
    }
    return 0;
}
