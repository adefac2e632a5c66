#include "support/FixtureImages.h"

#include <array>
#include <stdexcept>
#include <string>

#include <zlib.h>

namespace brindlewick::test {

std::filesystem::path FixturesDir() {
    const std::filesystem::path dir(BRINDLEWICK_FIXTURES_DIR);
    std::error_code error;
    return std::filesystem::is_directory(dir, error) ? dir : std::filesystem::path();
}

std::optional<Bytes> LoadFixtureImage(std::string_view name) {
    const std::filesystem::path dir = FixturesDir();
    if (dir.empty()) {
        return std::nullopt;
    }
    const std::filesystem::path path = dir / (std::string(name) + ".gbc.gz");
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    gzFile file = gzopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        throw std::runtime_error("cannot open " + path.string());
    }
    Bytes bytes;
    std::array<std::uint8_t, 64 * 1024> block{};
    int count = 0;
    while ((count = gzread(file, block.data(), static_cast<unsigned>(block.size()))) > 0) {
        bytes.insert(bytes.end(), block.begin(), block.begin() + count);
    }
    gzclose(file);
    if (count < 0) {
        throw std::runtime_error("cannot decompress " + path.string());
    }
    return bytes;
}

}  // namespace brindlewick::test
