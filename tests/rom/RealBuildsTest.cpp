// The extracts of real builds: following each one's code gives the places its facts list, the
// proof passes there, and the bytes at those places are its machines' moves and prices and its
// species' compatibility fields; decoded with its language's charmap, its names are letter for
// letter those its facts list, and so are the two types of every species.
#include <gtest/gtest.h>

#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"
#include "support/Fixtures.h"

namespace brindlewick {
namespace {

int PriceIn(const test::Bytes& image, std::int32_t at) {
    return image[static_cast<std::size_t>(at)] | (image[static_cast<std::size_t>(at) + 1] << 8);
}

std::string FieldHex(const test::Bytes& image, const TablePlaces& places, int species) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (int j = 0; j < kCompatibilityFieldLength; ++j) {
        const std::uint8_t byte =
            image[static_cast<std::size_t>(CompatibilityByteOffset(places, species, j))];
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

// The names and types of an extract, read where its code leads, against its facts.
void ExpectNamesOf(const test::Fixture& fixture, const LocatedTables& located) {
    const nlohmann::json& facts = fixture.facts;
    const RomNames names = ReadRomNames(fixture.image, located);
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
        EXPECT_EQ(names.types[static_cast<std::size_t>(std::stoi(number))], text.get<std::string>())
            << "type " << number;
    }
    const auto pairs = facts["species_types"].get<std::vector<std::vector<int>>>();
    ASSERT_EQ(names.speciesTypes.size(), pairs.size());
    for (std::size_t s = 0; s < pairs.size(); ++s) {
        EXPECT_EQ(names.speciesTypes[s][0], pairs[s][0]) << "species " << s + 1;
        EXPECT_EQ(names.speciesTypes[s][1], pairs[s][1]) << "species " << s + 1;
    }
}

// And the names and types it holds, letter for letter, where its code leads to them.
TEST(RealBuilds, TheGamesCodeLeadsToEveryTableOfEveryExtract) {
    for (const std::string_view name : test::kFixtureNames) {
        SCOPED_TRACE(std::string(name));
        BRINDLEWICK_LOAD_FIXTURE_OR_SKIP(fixture, name);
        const nlohmann::json& facts = fixture->facts;
        const RomProfile* release = Identify(facts["game_code"].get<std::string>());
        ASSERT_NE(release, nullptr);
        const LocatedTables located = LocateTables(fixture->image, *release);
        ASSERT_EQ(located.code, CodeFollowed::Followed) << located.notFollowed;
        ASSERT_TRUE(located.SafeToWrite()) << DescribeRefusal(located);
        const nlohmann::json& places = facts["places"];
        EXPECT_EQ(located.places.moves, places["move_list"].get<int>());
        EXPECT_EQ(located.places.baseStats, places["base_stats"].get<int>());
        EXPECT_EQ(located.places.tm01Record, places["tm01_record"].get<int>());
        EXPECT_EQ(located.places.tm01Item, places["tm01_item"].get<int>());
        const auto dummies = places["dummy_items"].get<std::vector<int>>();
        ASSERT_EQ(located.places.dummyCount, static_cast<int>(dummies.size()));
        for (std::size_t i = 0; i < dummies.size(); ++i) {
            EXPECT_EQ(located.places.dummyItems[i], dummies[i]);
        }
        // Only the moved build keeps them elsewhere; its release's places hold zeros, no copy.
        EXPECT_EQ(located.Elsewhere(), name == "crystal-en-moved");
        EXPECT_TRUE(located.staleCopies.empty());

        const auto moves = facts["machine_moves"].get<std::vector<int>>();
        const auto prices = facts["machine_prices"].get<std::vector<int>>();
        const auto fields = facts["compatibility_fields_hex"].get<std::vector<std::string>>();
        for (int k = 0; k < kMachineCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            EXPECT_EQ(fixture->image[static_cast<std::size_t>(MoveByteOffset(located.places, k))],
                      moves[i])
                << MachineName(k);
            EXPECT_EQ(PriceIn(fixture->image, PriceOffset(located.places, k)), prices[i])
                << MachineName(k);
        }
        for (int s = 0; s < kSpeciesCount; ++s) {
            EXPECT_EQ(FieldHex(fixture->image, located.places, s),
                      fields[static_cast<std::size_t>(s)])
                << "species " << s + 1;
        }
        ExpectNamesOf(*fixture, located);
    }
}

}  // namespace
}  // namespace brindlewick
