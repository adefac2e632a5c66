// The extracts of real builds: following each one's code gives the places its facts list, the
// proof passes there, and the bytes at those places are its machines' moves and prices and its
// species' compatibility fields.
#include <gtest/gtest.h>

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
    }
}

}  // namespace
}  // namespace brindlewick
