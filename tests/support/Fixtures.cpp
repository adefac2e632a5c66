#include "support/Fixtures.h"

#include <fstream>
#include <stdexcept>

#include <zlib.h>

namespace brindlewick::test {
namespace {

Bytes ReadGzip(const std::filesystem::path& path) {
    gzFile file = gzopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        throw std::runtime_error("cannot open " + path.string());
    }
    Bytes bytes;
    std::array<std::uint8_t, 64 * 1024> block{};
    for (;;) {
        const int count = gzread(file, block.data(), static_cast<unsigned>(block.size()));
        if (count < 0) {
            gzclose(file);
            throw std::runtime_error("cannot decompress " + path.string());
        }
        if (count == 0) {
            break;
        }
        bytes.insert(bytes.end(), block.begin(), block.begin() + count);
    }
    gzclose(file);
    return bytes;
}

}  // namespace

std::filesystem::path FixturesDir() {
    const std::filesystem::path dir(BRINDLEWICK_FIXTURES_DIR);
    std::error_code error;
    return std::filesystem::is_directory(dir, error) ? dir : std::filesystem::path();
}

std::optional<Fixture> LoadFixture(std::string_view name) {
    const std::filesystem::path dir = FixturesDir();
    if (dir.empty()) {
        return std::nullopt;
    }
    const auto image = dir / (std::string(name) + ".gbc.gz");
    const auto facts = dir / (std::string(name) + ".json");
    std::error_code error;
    if (!std::filesystem::is_regular_file(image, error) ||
        !std::filesystem::is_regular_file(facts, error)) {
        return std::nullopt;
    }
    Fixture fixture;
    fixture.name = std::string(name);
    fixture.image = ReadGzip(image);
    std::ifstream in(facts);
    fixture.facts = nlohmann::json::parse(in);
    return fixture;
}

}  // namespace brindlewick::test
