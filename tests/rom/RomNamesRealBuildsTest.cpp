// The names of the extracts of real builds: followed through each one's code and decoded with
// its language's charmap, they are letter for letter those its facts list, and so are the two
// types of every species.
#include <gtest/gtest.h>

#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"
#include "support/Fixtures.h"

namespace brindlewick {
namespace {

TEST(RealBuildNames, EveryExtractGivesTheNamesAndTypesItsFactsList) {
    for (const std::string_view name : test::kFixtureNames) {
        SCOPED_TRACE(std::string(name));
        BRINDLEWICK_LOAD_FIXTURE_OR_SKIP(fixture, name);
        const nlohmann::json& facts = fixture->facts;
        const RomProfile* release = Identify(facts["game_code"].get<std::string>());
        ASSERT_NE(release, nullptr);
        const LocatedTables located = LocateTables(fixture->image, *release);
        const RomNames names = ReadRomNames(fixture->image, located);
        ASSERT_TRUE(names.AllRead()) << DescribeNames(names);

        const nlohmann::json& places = facts["places"];
        EXPECT_EQ(names.speciesAt, places["species_names"].get<int>());
        EXPECT_EQ(names.movesAt, places["move_names"].get<int>());
        EXPECT_EQ(names.typesAt, places["type_names"].get<int>());
        EXPECT_EQ(names.speciesWidth, facts["language"] == "JA" ? 5 : 10);

        const auto species = facts["species_names"].get<std::vector<std::string>>();
        ASSERT_EQ(names.species.size(), species.size());
        for (std::size_t s = 0; s < species.size(); ++s) {
            EXPECT_EQ(names.species[s], species[s]) << "species " << s + 1;
        }
        const auto moves = facts["move_names"].get<std::vector<std::string>>();
        ASSERT_EQ(names.moves.size(), moves.size() + 1);
        for (std::size_t m = 0; m < moves.size(); ++m) {
            EXPECT_EQ(names.moves[m + 1], moves[m]) << "move " << m + 1;
        }
        const nlohmann::json& types = facts["type_names"];
        ASSERT_EQ(names.types.size(), types.size());
        for (const auto& [number, text] : types.items()) {
            EXPECT_EQ(names.types[static_cast<std::size_t>(std::stoi(number))],
                      text.get<std::string>())
                << "type " << number;
        }
        const auto pairs = facts["species_types"].get<std::vector<std::vector<int>>>();
        ASSERT_EQ(names.speciesTypes.size(), pairs.size());
        for (std::size_t s = 0; s < pairs.size(); ++s) {
            EXPECT_EQ(names.speciesTypes[s][0], pairs[s][0]) << "species " << s + 1;
            EXPECT_EQ(names.speciesTypes[s][1], pairs[s][1]) << "species " << s + 1;
        }
    }
}

}  // namespace
}  // namespace brindlewick
