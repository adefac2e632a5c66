#include "rom/NameMatching.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "rom/Names.h"

namespace brindlewick {
namespace {

// The moves and species as Gold, Silver and Crystal name them in English, by number, written
// out here apart from the program's lists: every one must find its own entry.
constexpr std::array<std::string_view, 252> kGameMoves = {
    "N/A",          "Pound",        "Karate Chop",  "DoubleSlap",   "Comet Punch",  "Mega Punch",
    "Pay Day",      "Fire Punch",   "Ice Punch",    "ThunderPunch", "Scratch",      "ViceGrip",
    "Guillotine",   "Razor Wind",   "Swords Dance", "Cut",          "Gust",         "Wing Attack",
    "Whirlwind",    "Fly",          "Bind",         "Slam",         "Vine Whip",    "Stomp",
    "Double Kick",  "Mega Kick",    "Jump Kick",    "Rolling Kick", "Sand-Attack",  "Headbutt",
    "Horn Attack",  "Fury Attack",  "Horn Drill",   "Tackle",       "Body Slam",    "Wrap",
    "Take Down",    "Thrash",       "Double-Edge",  "Tail Whip",    "Poison Sting", "Twineedle",
    "Pin Missile",  "Leer",         "Bite",         "Growl",        "Roar",         "Sing",
    "Supersonic",   "SonicBoom",    "Disable",      "Acid",         "Ember",        "Flamethrower",
    "Mist",         "Water Gun",    "Hydro Pump",   "Surf",         "Ice Beam",     "Blizzard",
    "Psybeam",      "BubbleBeam",   "Aurora Beam",  "Hyper Beam",   "Peck",         "Drill Peck",
    "Submission",   "Low Kick",     "Counter",      "Seismic Toss", "Strength",     "Absorb",
    "Mega Drain",   "Leech Seed",   "Growth",       "Razor Leaf",   "SolarBeam",    "PoisonPowder",
    "Stun Spore",   "Sleep Powder", "Petal Dance",  "String Shot",  "Dragon Rage",  "Fire Spin",
    "ThunderShock", "Thunderbolt",  "Thunder Wave", "Thunder",      "Rock Throw",   "Earthquake",
    "Fissure",      "Dig",          "Toxic",        "Confusion",    "Psychic",      "Hypnosis",
    "Meditate",     "Agility",      "Quick Attack", "Rage",         "Teleport",     "Night Shade",
    "Mimic",        "Screech",      "Double Team",  "Recover",      "Harden",       "Minimize",
    "SmokeScreen",  "Confuse Ray",  "Withdraw",     "Defense Curl", "Barrier",      "Light Screen",
    "Haze",         "Reflect",      "Focus Energy", "Bide",         "Metronome",    "Mirror Move",
    "Selfdestruct", "Egg Bomb",     "Lick",         "Smog",         "Sludge",       "Bone Club",
    "Fire Blast",   "Waterfall",    "Clamp",        "Swift",        "Skull Bash",   "Spike Cannon",
    "Constrict",    "Amnesia",      "Kinesis",      "Softboiled",   "Hi Jump Kick", "Glare",
    "Dream Eater",  "Poison Gas",   "Barrage",      "Leech Life",   "Lovely Kiss",  "Sky Attack",
    "Transform",    "Bubble",       "Dizzy Punch",  "Spore",        "Flash",        "Psywave",
    "Splash",       "Acid Armor",   "Crabhammer",   "Explosion",    "Fury Swipes",  "Bonemerang",
    "Rest",         "Rock Slide",   "Hyper Fang",   "Sharpen",      "Conversion",   "Tri Attack",
    "Super Fang",   "Slash",        "Substitute",   "Struggle",     "Sketch",       "Triple Kick",
    "Thief",        "Spider Web",   "Mind Reader",  "Nightmare",    "Flame Wheel",  "Snore",
    "Curse",        "Flail",        "Conversion 2", "Aeroblast",    "Cotton Spore", "Reversal",
    "Spite",        "Powder Snow",  "Protect",      "Mach Punch",   "Scary Face",   "Faint Attack",
    "Sweet Kiss",   "Belly Drum",   "Sludge Bomb",  "Mud-Slap",     "Octazooka",    "Spikes",
    "Zap Cannon",   "Foresight",    "Destiny Bond", "Perish Song",  "Icy Wind",     "Detect",
    "Bone Rush",    "Lock-On",      "Outrage",      "Sandstorm",    "Giga Drain",   "Endure",
    "Charm",        "Rollout",      "False Swipe",  "Swagger",      "Milk Drink",   "Spark",
    "Fury Cutter",  "Steel Wing",   "Mean Look",    "Attract",      "Sleep Talk",   "Heal Bell",
    "Return",       "Present",      "Frustration",  "Safeguard",    "Pain Split",   "Sacred Fire",
    "Magnitude",    "DynamicPunch", "Megahorn",     "DragonBreath", "Baton Pass",   "Encore",
    "Pursuit",      "Rapid Spin",   "Sweet Scent",  "Iron Tail",    "Metal Claw",   "Vital Throw",
    "Morning Sun",  "Synthesis",    "Moonlight",    "Hidden Power", "Cross Chop",   "Twister",
    "Rain Dance",   "Sunny Day",    "Crunch",       "Mirror Coat",  "Psych Up",     "ExtremeSpeed",
    "AncientPower", "Shadow Ball",  "Future Sight", "Rock Smash",   "Whirlpool",    "Beat Up",
};

constexpr std::array<std::string_view, 251> kGameSpecies = {
    "Bulbasaur",  "Ivysaur",       "Venusaur",   "Charmander", "Charmeleon",    "Charizard",
    "Squirtle",   "Wartortle",     "Blastoise",  "Caterpie",   "Metapod",       "Butterfree",
    "Weedle",     "Kakuna",        "Beedrill",   "Pidgey",     "Pidgeotto",     "Pidgeot",
    "Rattata",    "Raticate",      "Spearow",    "Fearow",     "Ekans",         "Arbok",
    "Pikachu",    "Raichu",        "Sandshrew",  "Sandslash",  "Nidoran\u2640", "Nidorina",
    "Nidoqueen",  "Nidoran\u2642", "Nidorino",   "Nidoking",   "Clefairy",      "Clefable",
    "Vulpix",     "Ninetales",     "Jigglypuff", "Wigglytuff", "Zubat",         "Golbat",
    "Oddish",     "Gloom",         "Vileplume",  "Paras",      "Parasect",      "Venonat",
    "Venomoth",   "Diglett",       "Dugtrio",    "Meowth",     "Persian",       "Psyduck",
    "Golduck",    "Mankey",        "Primeape",   "Growlithe",  "Arcanine",      "Poliwag",
    "Poliwhirl",  "Poliwrath",     "Abra",       "Kadabra",    "Alakazam",      "Machop",
    "Machoke",    "Machamp",       "Bellsprout", "Weepinbell", "Victreebel",    "Tentacool",
    "Tentacruel", "Geodude",       "Graveler",   "Golem",      "Ponyta",        "Rapidash",
    "Slowpoke",   "Slowbro",       "Magnemite",  "Magneton",   "Farfetch'd",    "Doduo",
    "Dodrio",     "Seel",          "Dewgong",    "Grimer",     "Muk",           "Shellder",
    "Cloyster",   "Gastly",        "Haunter",    "Gengar",     "Onix",          "Drowzee",
    "Hypno",      "Krabby",        "Kingler",    "Voltorb",    "Electrode",     "Exeggcute",
    "Exeggutor",  "Cubone",        "Marowak",    "Hitmonlee",  "Hitmonchan",    "Lickitung",
    "Koffing",    "Weezing",       "Rhyhorn",    "Rhydon",     "Chansey",       "Tangela",
    "Kangaskhan", "Horsea",        "Seadra",     "Goldeen",    "Seaking",       "Staryu",
    "Starmie",    "Mr. Mime",      "Scyther",    "Jynx",       "Electabuzz",    "Magmar",
    "Pinsir",     "Tauros",        "Magikarp",   "Gyarados",   "Lapras",        "Ditto",
    "Eevee",      "Vaporeon",      "Jolteon",    "Flareon",    "Porygon",       "Omanyte",
    "Omastar",    "Kabuto",        "Kabutops",   "Aerodactyl", "Snorlax",       "Articuno",
    "Zapdos",     "Moltres",       "Dratini",    "Dragonair",  "Dragonite",     "Mewtwo",
    "Mew",        "Chikorita",     "Bayleef",    "Meganium",   "Cyndaquil",     "Quilava",
    "Typhlosion", "Totodile",      "Croconaw",   "Feraligatr", "Sentret",       "Furret",
    "Hoothoot",   "Noctowl",       "Ledyba",     "Ledian",     "Spinarak",      "Ariados",
    "Crobat",     "Chinchou",      "Lanturn",    "Pichu",      "Cleffa",        "Igglybuff",
    "Togepi",     "Togetic",       "Natu",       "Xatu",       "Mareep",        "Flaaffy",
    "Ampharos",   "Bellossom",     "Marill",     "Azumarill",  "Sudowoodo",     "Politoed",
    "Hoppip",     "Skiploom",      "Jumpluff",   "Aipom",      "Sunkern",       "Sunflora",
    "Yanma",      "Wooper",        "Quagsire",   "Espeon",     "Umbreon",       "Murkrow",
    "Slowking",   "Misdreavus",    "Unown",      "Wobbuffet",  "Girafarig",     "Pineco",
    "Forretress", "Dunsparce",     "Gligar",     "Steelix",    "Snubbull",      "Granbull",
    "Qwilfish",   "Scizor",        "Shuckle",    "Heracross",  "Sneasel",       "Teddiursa",
    "Ursaring",   "Slugma",        "Magcargo",   "Swinub",     "Piloswine",     "Corsola",
    "Remoraid",   "Octillery",     "Delibird",   "Mantine",    "Skarmory",      "Houndour",
    "Houndoom",   "Kingdra",       "Phanpy",     "Donphan",    "Porygon2",      "Stantler",
    "Smeargle",   "Tyrogue",       "Hitmontop",  "Smoochum",   "Elekid",        "Magby",
    "Miltank",    "Blissey",       "Raikou",     "Entei",      "Suicune",       "Larvitar",
    "Pupitar",    "Tyranitar",     "Lugia",      "Ho-Oh",      "Celebi",
};

TEST(NameMatching, EveryNameOfTheGamesFindsItsEntry) {
    for (std::size_t move = 0; move < kGameMoves.size(); ++move) {
        EXPECT_EQ(MatchMove(kGameMoves[move]), static_cast<int>(move)) << kGameMoves[move];
    }
    for (std::size_t species = 0; species < kGameSpecies.size(); ++species) {
        EXPECT_EQ(MatchSpecies(kGameSpecies[species]), static_cast<int>(species))
            << kGameSpecies[species];
    }
}

TEST(NameMatching, EveryListEntryStillFindsItselfAndNoneIsShared) {
    for (std::size_t move = 0; move < MoveEntries().size(); ++move) {
        EXPECT_EQ(MatchMove(MoveEntries()[move]), static_cast<int>(move)) << MoveEntries()[move];
        EXPECT_FALSE(MoveEntryShared(static_cast<int>(move)));
    }
    for (std::size_t species = 0; species < SpeciesEntries().size(); ++species) {
        EXPECT_EQ(MatchSpecies(SpeciesEntries()[species]), static_cast<int>(species))
            << SpeciesEntries()[species];
        EXPECT_FALSE(SpeciesEntryShared(static_cast<int>(species)));
    }
}

TEST(NameMatching, CaseBlanksAndPunctuationAreIgnored) {
    for (const char* name : {"swords dance", "SWORDS-DANCE", " Swords  Dance ", "swordsdance",
                             "words dance", "Swords_Dance!"}) {
        EXPECT_EQ(MatchMove(name), 14) << name;
    }
    for (const char* name : {"Mud - Slap", "mud-slap", "MUD SLAP", "MudSlap"}) {
        EXPECT_EQ(MatchMove(name), 189) << name;
    }
    EXPECT_EQ(MatchMove("n/a"), 0);
    EXPECT_EQ(MatchMove("conversion 2"), 176);
    EXPECT_EQ(MatchMove("Conversion"), 160);
    EXPECT_EQ(MatchSpecies("mr mime"), 121);
    EXPECT_EQ(MatchSpecies("FARFETCHD"), 82);
    EXPECT_EQ(MatchSpecies("Nidoran (F)"), 28);
    EXPECT_EQ(MatchSpecies("nidoran m"), 31);
    EXPECT_EQ(MatchSpecies("Nidoran \u2642"), 31);
    EXPECT_EQ(MatchSpecies("porygon 2"), 232);
    EXPECT_EQ(MatchSpecies("Porygon"), 136);
    // Neither sign nor letter: "Nidoran" alone is neither of the two.
    EXPECT_EQ(MatchSpecies("Nidoran"), std::nullopt);
    for (const char* name : {"", "  ", "-", "Pokemon", "Surfing", "14", "Bide Hide"}) {
        EXPECT_EQ(MatchMove(name), std::nullopt) << name;
    }
}

// Characters that only look like the names' ASCII count as that ASCII, as a Japanese input
// method or a word processor writes them; any other character is never dropped, so the name
// matches nothing rather than the entry without it.
TEST(NameMatching, NamesAreComparedAfterCompatibilityNormalisation) {
    for (const char* name : {"Porygon\uFF12", "Porygon\u00B2", "Porygon\u2082", "Porygon\u2461",
                             "\uFF30\uFF4F\uFF52\uFF59\uFF47\uFF4F\uFF4E\uFF12", "Porygon\u00A02",
                             "Porygon\u200B2\uFEFF"}) {
        EXPECT_EQ(MatchSpecies(name), 232) << name;
    }
    EXPECT_EQ(MatchMove("Conversion\uFF12"), 176);
    EXPECT_EQ(MatchMove("Conversion\u00B2"), 176);
    // Punctuation beyond ASCII is left out like ASCII's.
    EXPECT_EQ(MatchSpecies("Farfetch\u2019d"), 82);
    EXPECT_EQ(MatchSpecies("Mr\u30FBMime"), 121);
    EXPECT_EQ(MatchMove("Mud\u2013Slap"), 189);
    EXPECT_EQ(MatchMove("\u300CSurf\u300D"), 57);
    EXPECT_EQ(MatchMove("\uFB01re Punch"), 7);  // the "fi" ligature
    EXPECT_EQ(NormalizedName("Nidoran\u2640"), "nidoranf");
    for (const char* name : {"Porygon\u00E9", "Pory\u00F6gon", "Porygon\u00D7", "Porygon\u2605",
                             "Pikach\u00FC", "\u30DD\u30EA\u30B4\u30F3", "Porygon\xFF"}) {
        EXPECT_EQ(MatchSpecies(name), std::nullopt) << name;
    }
    // Such a name is refused with the nearest names.
    EXPECT_EQ(NearestSpecies("Pikach\u00FC").front(), 24);
}

TEST(NameMatching, DisplayNamesAreTheGamesSpellingsWhereTheListDiffers) {
    EXPECT_EQ(MoveDisplayName(14), "Swords Dance");
    EXPECT_EQ(MoveDisplayName(117), "Bide");
    EXPECT_EQ(MoveDisplayName(57), "Surf");
    EXPECT_EQ(SpeciesDisplayName(0), "Bulbasaur");  // without the list's trailing blank
    EXPECT_EQ(SpeciesDisplayName(133), "Vaporeon");
    EXPECT_EQ(SpeciesDisplayName(28), "Nidoran\u2640");
    EXPECT_EQ(MoveDisplayName(252), "");
    EXPECT_EQ(SpeciesDisplayName(-1), "");
}

TEST(NameMatching, NearestNamesForAMisspelling) {
    EXPECT_EQ(NearestMoves("Sword Dance"), std::vector<int>{14});
    EXPECT_EQ(NearestMoves("Thunderbolts"), std::vector<int>{85});
    EXPECT_EQ(NearestMoves("hydro"), std::vector<int>{56});  // the start of Hydro Pump
    EXPECT_EQ(NearestSpecies("Bulbasaurus"), std::vector<int>{0});
    EXPECT_EQ(NearestSpecies("Aridos"), std::vector<int>{167});
    EXPECT_EQ(NearestSpecies("Pidgeoto").front(), 16);  // Pidgeotto, then Pidgeot
    // The start of a name counts as one slip, as near as one letter too many.
    EXPECT_EQ(NearestMoves("thunder p"), (std::vector<int>{9, 87}));
    const std::vector<int> ice = NearestMoves("Ice");
    ASSERT_EQ(ice.size(), 3u);
    EXPECT_EQ(ice[0], 8);  // Ice Punch and Ice Beam first, in list order
    EXPECT_EQ(ice[1], 58);
    const std::vector<int> far = NearestSpecies("Qqqqqq");
    EXPECT_GE(far.size(), 1u);
    EXPECT_LE(far.size(), kMostSuggestions);
    EXPECT_EQ(NearestMoves("Ice", 1), std::vector<int>{8});
    EXPECT_TRUE(NearestMoves("").empty());
    EXPECT_TRUE(NearestMoves("--").empty());
    EXPECT_TRUE(NearestSpecies(std::string(100000, 'a')).empty());
}

TEST(NameMatching, DidYouMeanListsTheNames) {
    EXPECT_EQ(DidYouMean({}), "");
    EXPECT_EQ(DidYouMean({"Surf"}), "did you mean \"Surf\"?");
    EXPECT_EQ(DidYouMean({"Surf", "Fly"}), "did you mean \"Surf\" or \"Fly\"?");
    EXPECT_EQ(DidYouMean({"Surf", "Fly", "Cut"}), "did you mean \"Surf\", \"Fly\" or \"Cut\"?");
}

}  // namespace
}  // namespace brindlewick
