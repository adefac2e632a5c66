#include "rom/Names.h"

namespace brindlewick {
namespace {

// Move number m is the byte stored in the machine move table; entry 0 stands for no move.
// The texts are kept exactly as the window has always shown them.
constexpr std::array<std::string_view, kMoveCount> kMoves = {
    "N/A",            // 0
    "Pound",          // 1
    "Karate Chop",    // 2
    "Double Slap",    // 3
    "Comet Punch",    // 4
    "Mega Punch",     // 5
    "Pay Day",        // 6
    "Fire Punch",     // 7
    "Ice Punch",      // 8
    "Thunder Punch",  // 9
    "Scratch",        // 10
    "Vice Grip",      // 11
    "Guillotine",     // 12
    "Razor Wind",     // 13
    "words Dance",    // 14
    "Cut",            // 15
    "Gust",           // 16
    "Wing Attack",    // 17
    "Whirl Wind",     // 18
    "Fly",            // 19
    "Bind",           // 20
    "Slam",           // 21
    "Vine Whip",      // 22
    "Stomp",          // 23
    "Double Kick",    // 24
    "Mega Kick",      // 25
    "Jump Kick",      // 26
    "Rolling Kick",   // 27
    "Sand Attack",    // 28
    "Head Butt",      // 29
    "Horn Attack",    // 30
    "Fury Attack",    // 31
    "Horn Drill",     // 32
    "Tackle",         // 33
    "Body Slam",      // 34
    "Wrap",           // 35
    "Take Down",      // 36
    "Thrash",         // 37
    "Double Edge",    // 38
    "Tail Whip",      // 39
    "Poison Sting",   // 40
    "Twin Edle",      // 41
    "Pin Missile",    // 42
    "Leer",           // 43
    "Bite",           // 44
    "Growl",          // 45
    "Roar",           // 46
    "Sing",           // 47
    "Supersonic",     // 48
    "Sonicboom",      // 49
    "Disable",        // 50
    "Acid",           // 51
    "Ember",          // 52
    "Flamethrower",   // 53
    "Mist",           // 54
    "Water Gun",      // 55
    "Hydro Pump",     // 56
    "Surf",           // 57
    "Ice Beam",       // 58
    "Blizzard",       // 59
    "Psybeam",        // 60
    "Bubblebeam",     // 61
    "Aurora Beam",    // 62
    "Hyper Beam",     // 63
    "Peck",           // 64
    "Drill Peck",     // 65
    "Submission",     // 66
    "Low Kick",       // 67
    "Counter",        // 68
    "Seismic Toss",   // 69
    "Strength",       // 70
    "Absorb",         // 71
    "Mega Drain",     // 72
    "Leech Seed",     // 73
    "Growth",         // 74
    "Razor Leaf",     // 75
    "Solar Beam",     // 76
    "Poisonpowder",   // 77
    "Stun Spore",     // 78
    "Sleep Powder",   // 79
    "Petal Dance",    // 80
    "String Shot",    // 81
    "Dragon Rage",    // 82
    "Fire Spin",      // 83
    "Thundershock",   // 84
    "Thunderbolt",    // 85
    "Thunder Wave",   // 86
    "Thunder",        // 87
    "Rock Throw",     // 88
    "Earthquake",     // 89
    "Fissure",        // 90
    "Dig",            // 91
    "Toxic",          // 92
    "Confusion",      // 93
    "Psychic",        // 94
    "Hypnosis",       // 95
    "Meditate",       // 96
    "Agility",        // 97
    "Quick Attack",   // 98
    "Rage",           // 99
    "Teleport",       // 100
    "Night Shade",    // 101
    "Mimic",          // 102
    "Screech",        // 103
    "Double Team",    // 104
    "Recover",        // 105
    "Harden",         // 106
    "Minimize",       // 107
    "Smoke Screen",   // 108
    "Confuse Ray",    // 109
    "Withdraw",       // 110
    "Defense Curl",   // 111
    "Barrier",        // 112
    "Light Screen",   // 113
    "Haze",           // 114
    "Reflect",        // 115
    "Focus Energy",   // 116
    "Hide",           // 117
    "Metronome",      // 118
    "Mirror Move",    // 119
    "Selfdestruct",   // 120
    "Egg Bomb",       // 121
    "Lick",           // 122
    "Smog",           // 123
    "Sludge",         // 124
    "Bone Club",      // 125
    "Fire Blast",     // 126
    "Waterfall",      // 127
    "Clamp",          // 128
    "Swift",          // 129
    "Skull Bash",     // 130
    "Spike Cannon",   // 131
    "Constrict",      // 132
    "Amnesia",        // 133
    "Kinesis",        // 134
    "Softboiled",     // 135
    "Hi Jump Kick",   // 136
    "Glare",          // 137
    "Dream Eater",    // 138
    "Poison Gas",     // 139
    "Barrage",        // 140
    "Leech Life",     // 141
    "Lovely Kiss",    // 142
    "Sky Attack",     // 143
    "Transform",      // 144
    "Bubble",         // 145
    "Dizzy Punch",    // 146
    "Spore",          // 147
    "Flash",          // 148
    "Psywave",        // 149
    "Splash",         // 150
    "Acid Armor",     // 151
    "Crabhammer",     // 152
    "Exposion",       // 153
    "Fury Swipes",    // 154
    "Bonemerang",     // 155
    "Rest",           // 156
    "Rock Slide",     // 157
    "Hyper Fang",     // 158
    "Sharpen",        // 159
    "Conversion",     // 160
    "Tri Attack",     // 161
    "Super Fang",     // 162
    "Slash",          // 163
    "Substitute",     // 164
    "Struggle",       // 165
    "Sketch",         // 166
    "Triple Kick",    // 167
    "Thief",          // 168
    "Spider Web",     // 169
    "Mind Reader",    // 170
    "Nightmare",      // 171
    "Flame Wheel",    // 172
    "Snore",          // 173
    "Curse",          // 174
    "Flail",          // 175
    "Conversion2",    // 176
    "Aeroblast",      // 177
    "Cotton Spore",   // 178
    "Reversal",       // 179
    "Spite",          // 180
    "Powder Snow",    // 181
    "Protect",        // 182
    "Mach Punch",     // 183
    "Scary Face",     // 184
    "Faint Attack",   // 185
    "Sweet Kiss",     // 186
    "Belly Drum",     // 187
    "Sludge Bomb",    // 188
    "Mud - Slap",     // 189
    "Octazooka",      // 190
    "Spikes",         // 191
    "Zap Cannon",     // 192
    "Foresight",      // 193
    "Destiny Bond",   // 194
    "Perish Song",    // 195
    "Icy Wind",       // 196
    "Detect",         // 197
    "Bone Rush",      // 198
    "Lock-On",        // 199
    "Outrage",        // 200
    "Sandstorm",      // 201
    "Giga Drain",     // 202
    "Endure",         // 203
    "Charm",          // 204
    "Rollout",        // 205
    "False Swipe",    // 206
    "Swagger",        // 207
    "Milk Drink",     // 208
    "Spark",          // 209
    "Fury Cutter",    // 210
    "Steel Wing",     // 211
    "Mean Look",      // 212
    "Attract",        // 213
    "Sleep Talk",     // 214
    "Heal Bell",      // 215
    "Return",         // 216
    "Present",        // 217
    "Frustration",    // 218
    "Safeguard",      // 219
    "Pain Split",     // 220
    "Sacred Fire",    // 221
    "Magnitude",      // 222
    "Dynamicpunch",   // 223
    "Megahorn",       // 224
    "Dragonbreath",   // 225
    "Baton Pass",     // 226
    "Encore",         // 227
    "Pursuit",        // 228
    "Rapid Spin",     // 229
    "Sweet Scent",    // 230
    "Iron Tail",      // 231
    "Metal Claw",     // 232
    "Vital Throw",    // 233
    "Morning Sun",    // 234
    "Synthesis",      // 235
    "Moonlight",      // 236
    "Hidden Power",   // 237
    "Cross Chop",     // 238
    "Twister",        // 239
    "Rain Dance",     // 240
    "Sunny Day",      // 241
    "Crunch",         // 242
    "Mirror Coat",    // 243
    "Psych Up",       // 244
    "Extremespeed",   // 245
    "Ancientpower",   // 246
    "Shadow Ball",    // 247
    "Future Sight",   // 248
    "Rock Smash",     // 249
    "Whirlpool",      // 250
    "Beat Up",        // 251
};

// Species index s is species number s + 1. Most entries end with one blank; five do not.
constexpr std::array<std::string_view, kSpeciesCount> kSpecies = {
    "Bulbasaur ",   // 0
    "Ivysaur ",     // 1
    "Venusaur ",    // 2
    "Charmander ",  // 3
    "Charmeleon ",  // 4
    "Charizard ",   // 5
    "Squirtle ",    // 6
    "Wartortle ",   // 7
    "Blastoise ",   // 8
    "Caterpie ",    // 9
    "Metapod ",     // 10
    "Butterfree ",  // 11
    "Weedle ",      // 12
    "Kakuna ",      // 13
    "Beedrill ",    // 14
    "Pidgey ",      // 15
    "Pidgeotto ",   // 16
    "Pidgeot ",     // 17
    "Rattata ",     // 18
    "Raticate ",    // 19
    "Spearow ",     // 20
    "Fearow ",      // 21
    "Ekans ",       // 22
    "Arbok ",       // 23
    "Pikachu ",     // 24
    "Raichu ",      // 25
    "Sandshrew ",   // 26
    "Sandslash ",   // 27
    "Nidoran (f)",  // 28
    "Nidorina ",    // 29
    "Nidoqueen ",   // 30
    "Nidoran (m)",  // 31
    "Nidorino ",    // 32
    "Nidoking ",    // 33
    "Clefairy ",    // 34
    "Clefable ",    // 35
    "Vulpix ",      // 36
    "Ninetails ",   // 37
    "Jigglypuff ",  // 38
    "Wigglytuff ",  // 39
    "Zubat ",       // 40
    "Golbat ",      // 41
    "Oddish ",      // 42
    "Gloom ",       // 43
    "Vileplume ",   // 44
    "Paras ",       // 45
    "Parasect ",    // 46
    "Venonat ",     // 47
    "Venomoth ",    // 48
    "Diglett ",     // 49
    "Dugtrio ",     // 50
    "Meowth ",      // 51
    "Persian ",     // 52
    "Psyduck ",     // 53
    "Golduck ",     // 54
    "Mankey ",      // 55
    "Primeape ",    // 56
    "Growlithe ",   // 57
    "Arcanine ",    // 58
    "Poliwag ",     // 59
    "Poliwhirl ",   // 60
    "Poliwrath ",   // 61
    "Abra ",        // 62
    "Kadabra ",     // 63
    "Alakazam ",    // 64
    "Machop ",      // 65
    "Machoke ",     // 66
    "Machamp ",     // 67
    "Bellsprout ",  // 68
    "Weepinbell ",  // 69
    "Victreebel ",  // 70
    "Tentacool ",   // 71
    "Tentacruel ",  // 72
    "Geodude ",     // 73
    "Graveler ",    // 74
    "Golem ",       // 75
    "Ponyta ",      // 76
    "Rapidash ",    // 77
    "Slowpoke ",    // 78
    "Slowbro ",     // 79
    "Magnemite ",   // 80
    "Magneton ",    // 81
    "Farfetch'd ",  // 82
    "Doduo ",       // 83
    "Dodrio ",      // 84
    "Seel ",        // 85
    "Dewgong ",     // 86
    "Grimer ",      // 87
    "Muk ",         // 88
    "Shellder ",    // 89
    "Cloyster ",    // 90
    "Gastly ",      // 91
    "Haunter ",     // 92
    "Gengar ",      // 93
    "Onix ",        // 94
    "Drowzee ",     // 95
    "Hypno ",       // 96
    "Krabby ",      // 97
    "Kingler ",     // 98
    "Voltorb ",     // 99
    "Electrode ",   // 100
    "Exeggcute ",   // 101
    "Exeggutor ",   // 102
    "Cubone ",      // 103
    "Marowak ",     // 104
    "Hitmonlee ",   // 105
    "Hitmonchan ",  // 106
    "Lickitung ",   // 107
    "Koffing ",     // 108
    "Weezing ",     // 109
    "Rhyhorn ",     // 110
    "Rhydon ",      // 111
    "Chansey ",     // 112
    "Tangela ",     // 113
    "Kangaskhan ",  // 114
    "Horsea ",      // 115
    "Seadra ",      // 116
    "Goldeen ",     // 117
    "Seaking ",     // 118
    "Staryu ",      // 119
    "Starmie ",     // 120
    "Mr. Mime ",    // 121
    "Scyther ",     // 122
    "Jynx ",        // 123
    "Electabuzz ",  // 124
    "Magmar ",      // 125
    "Pinsir ",      // 126
    "Tauros ",      // 127
    "Magikarp ",    // 128
    "Gyarados ",    // 129
    "Lapras ",      // 130
    "Ditto ",       // 131
    "Eevee ",       // 132
    "Vapereon ",    // 133
    "Jolteon ",     // 134
    "Flareon ",     // 135
    "Porygon ",     // 136
    "Omanyte ",     // 137
    "Omastar ",     // 138
    "Kabuto ",      // 139
    "Kabutops ",    // 140
    "Aerodactyl ",  // 141
    "Snorlax ",     // 142
    "Articuno ",    // 143
    "Zapdos ",      // 144
    "Moltres ",     // 145
    "Dratini ",     // 146
    "Dragonair ",   // 147
    "Dragonite ",   // 148
    "Mewtwo ",      // 149
    "Mew",          // 150
    "Chikorita ",   // 151
    "Bayleef ",     // 152
    "Meganium ",    // 153
    "Cyndaquil ",   // 154
    "Quilava ",     // 155
    "Typhlosion ",  // 156
    "Totodile ",    // 157
    "Croconaw ",    // 158
    "Feraligatr ",  // 159
    "Sentret ",     // 160
    "Furret ",      // 161
    "Hoothoot ",    // 162
    "Noctowl ",     // 163
    "Ledyba ",      // 164
    "Ledian ",      // 165
    "Spinarak ",    // 166
    "Araidos ",     // 167
    "Crobat ",      // 168
    "Chinchou ",    // 169
    "Lanturn ",     // 170
    "Pichu ",       // 171
    "Cleffa ",      // 172
    "Igglybuff ",   // 173
    "Togepi ",      // 174
    "Togetic ",     // 175
    "Natu ",        // 176
    "Xatu ",        // 177
    "Mareep ",      // 178
    "Flaaffy ",     // 179
    "Ampharos ",    // 180
    "Bellossom ",   // 181
    "Marill ",      // 182
    "Azumarill ",   // 183
    "Sudowoodo ",   // 184
    "Politoed ",    // 185
    "Hoppip ",      // 186
    "Skiploom ",    // 187
    "Jumpluff ",    // 188
    "Aipom ",       // 189
    "Sunkern ",     // 190
    "Sunflora ",    // 191
    "Yanma ",       // 192
    "Wooper ",      // 193
    "Quagsire ",    // 194
    "Espeon ",      // 195
    "Umbreon ",     // 196
    "Murkrow ",     // 197
    "Slowking ",    // 198
    "Misdreavus ",  // 199
    "Unown",        // 200
    "Wobbuffet ",   // 201
    "Girafarig ",   // 202
    "Pineco ",      // 203
    "Forretress ",  // 204
    "Dunsparce ",   // 205
    "Gligar ",      // 206
    "Steelix ",     // 207
    "Snubbull ",    // 208
    "Granbull ",    // 209
    "Qwilfish ",    // 210
    "Scizor ",      // 211
    "Shuckle ",     // 212
    "Heracross ",   // 213
    "Sneasel ",     // 214
    "Teddiursa ",   // 215
    "Ursaring ",    // 216
    "Slugma ",      // 217
    "Magcargo ",    // 218
    "Sniwub ",      // 219
    "Piloswine ",   // 220
    "Corsola ",     // 221
    "Remoraid ",    // 222
    "Octillery ",   // 223
    "Delibird ",    // 224
    "Mantine ",     // 225
    "Skarmory ",    // 226
    "Houndour ",    // 227
    "Houndoom ",    // 228
    "Kingdra ",     // 229
    "Phanpy ",      // 230
    "Donphan ",     // 231
    "Porygon2 ",    // 232
    "Stantler ",    // 233
    "Smeargle ",    // 234
    "Tyrogue ",     // 235
    "Hitmontop ",   // 236
    "Smoochum ",    // 237
    "Elekid ",      // 238
    "Magby ",       // 239
    "Miltank ",     // 240
    "Blissey ",     // 241
    "Raikou ",      // 242
    "Entei ",       // 243
    "Suicune ",     // 244
    "Larvitar ",    // 245
    "Pupitar ",     // 246
    "Tyranitar ",   // 247
    "Lugia ",       // 248
    "Ho-oh ",       // 249
    "Celebi",       // 250
};

}  // namespace

const std::array<std::string_view, kMoveCount>& MoveEntries() {
    return kMoves;
}

const std::array<std::string_view, kSpeciesCount>& SpeciesEntries() {
    return kSpecies;
}

}  // namespace brindlewick
