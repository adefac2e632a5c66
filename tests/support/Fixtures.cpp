#include "support/Fixtures.h"

#include <fstream>

namespace brindlewick::test {

std::optional<Fixture> LoadFixture(std::string_view name) {
    const std::filesystem::path dir = FixturesDir();
    if (dir.empty()) {
        return std::nullopt;
    }
    const auto facts = dir / (std::string(name) + ".json");
    std::error_code error;
    if (!std::filesystem::is_regular_file(facts, error)) {
        return std::nullopt;
    }
    auto image = LoadFixtureImage(name);
    if (!image) {
        return std::nullopt;
    }
    Fixture fixture;
    fixture.name = std::string(name);
    fixture.image = std::move(*image);
    std::ifstream in(facts);
    fixture.facts = nlohmann::json::parse(in);
    return fixture;
}

}  // namespace brindlewick::test
