#include "ScratchFiles.h"

#include <stdlib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <utility>

#include "platform/FileAccess.h"

namespace brindlewick::fuzz {
namespace fs = std::filesystem;

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "brindlewick-fuzz-XXXXXX").string();
        // mkdtemp makes a folder with a unique name atomically; fuzzing runs on POSIX only.
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("brindlewick fuzz: cannot make a scratch folder");
            std::abort();
        }
        m_path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

const fs::path& Scratch() {
    static const ScratchFolder folder;
    return folder.Path();
}

std::string Utf8(const fs::path& path) {
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}

Bytes PatternBytes(std::size_t size, std::uint32_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed | 1;  // xorshift never leaves zero
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::perror("brindlewick fuzz: cannot write a scratch file");
        std::abort();
    }
}

}  // namespace

ScratchTarget PrepareTarget(FuzzedDataProvider& input) {
    const fs::path& folder = Scratch();
    // A name outside ASCII checks that paths travel as UTF-8 all the way to the system.
    constexpr std::array<const char*, 2> kFileNames{"rom.gbc", "Pok\xC3\xA9mon Gold.gbc"};
    const fs::path file = folder / PathFromUtf8(kFileNames[input.ConsumeBool() ? 1 : 0]);
    const fs::path missing = folder / "missing.gbc";
    std::error_code ignored;
    fs::remove(missing, ignored);

    // Most inputs get a real file, since that is where the byte-level properties lie.
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 5:
            return {PathKind::MissingFile, Utf8(missing), {}};
        case 6:
            return {PathKind::MissingFolder, Utf8(folder / "no-such-folder" / "rom.gbc"), {}};
        case 7:
            return input.ConsumeBool() ? ScratchTarget{PathKind::EmptyPath, "", {}}
                                       : ScratchTarget{PathKind::Folder, Utf8(folder), {}};
        default:
            break;
    }
    const auto size = input.ConsumeIntegralInRange<std::size_t>(0, kMaxFileSize);
    Bytes contents = PatternBytes(size, input.ConsumeIntegral<std::uint32_t>());
    WriteFile(file, contents);
    return {PathKind::ExistingFile, Utf8(file), std::move(contents)};
}

std::int32_t PickPosition(FuzzedDataProvider& input, std::size_t fileSize) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 5:
            return input.ConsumeIntegral<std::int32_t>();
        case 6:
            return kMax - input.ConsumeIntegralInRange<std::int32_t>(0, 8);
        case 7:
            return input.ConsumeBool() ? kMin + input.ConsumeIntegralInRange<std::int32_t>(0, 8)
                                       : -input.ConsumeIntegralInRange<std::int32_t>(1, 8);
        default:
            return input.ConsumeIntegralInRange<std::int32_t>(
                -2, static_cast<std::int32_t>(fileSize) + 2);
    }
}

std::optional<Bytes> FileContents(const std::string& path) {
    std::error_code error;
    const fs::path native = PathFromUtf8(path);
    if (path.empty() || !fs::is_regular_file(native, error)) {
        return std::nullopt;
    }
    std::ifstream file(native, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return bytes;
}

bool NothingCreated(const ScratchTarget& target) {
    std::error_code error;
    switch (target.kind) {
        case PathKind::MissingFile:
            return !fs::exists(PathFromUtf8(target.path), error) && !error;
        case PathKind::MissingFolder:
            return !fs::exists(Scratch() / "no-such-folder", error) && !error;
        case PathKind::Folder:
            return fs::is_directory(Scratch(), error);
        case PathKind::EmptyPath:
        case PathKind::ExistingFile:
            break;
    }
    return true;
}

}  // namespace brindlewick::fuzz
