// RomTables: where the three edited tables lie in a cartridge image and how their values
// are laid out. Every reader and writer of the editor addresses the file through these.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace brindlewick {

// The cartridge header holds the four-character game code at 0x13F..0x142.
inline constexpr std::int32_t kGameCodeOffset = 0x13F;
inline constexpr std::int32_t kGameCodeLength = 4;

// 50 technical machines then 7 hidden machines: machine index k 0..56, number n = k + 1.
inline constexpr int kTmCount = 50;
inline constexpr int kHmCount = 7;
inline constexpr int kMachineCount = kTmCount + kHmCount;
inline constexpr int kSpeciesCount = 251;
// Move numbers 0 ("N/A") to 251 ("Beat Up"); a stored byte above that names no move.
inline constexpr int kMoveCount = 252;

// Machine move table: one byte per machine, in machine order.
std::int32_t MoveByteOffset(std::int32_t tmMovesOffset, int machine);

// Price records are 7 bytes long, one per item; the price is a little-endian 16-bit number in
// the first two. In every release TM01 is item 0xBF and two dummy items (0xC3 and 0xDC) lie
// among the machines: records 4 and 29 from TM01's belong to no machine, so machines from TM05
// on are shifted by one record and machines from TM29 on by two. A modified game may remove
// the dummies; its machines' items then follow one another.
inline constexpr std::int32_t kPriceRecordSize = 7;
inline constexpr std::int32_t kPriceLength = 2;
inline constexpr int kMaxPrice = 65535;
inline constexpr std::uint8_t kReleaseTm01Item = 0xBF;
inline constexpr std::array<std::uint8_t, 2> kReleaseDummyItems{0xC3, 0xDC};

// The item number of machine k: TM01's item plus k, then one more for every dummy item (in
// rising order) at or below it. GetTMHMNumber counts the other way: an item's machine is one
// less for every dummy item below it.
int MachineItem(int tm01Item, std::span<const std::uint8_t> dummyItems, int machine);

// The record of machine k counted from TM01's, in a release's numbering.
int PriceRecord(int machine);
std::int32_t PriceOffset(std::int32_t tmPricesOffset, int machine);

// Species base-stats records are 32 bytes long; bytes 24..31 are the compatibility field,
// a 64-bit little-endian bit set in which bit n - 1 stands for machine n.
inline constexpr std::int32_t kSpeciesRecordSize = 32;
inline constexpr std::int32_t kCompatibilityFieldStart = 24;
inline constexpr int kCompatibilityFieldLength = 8;
std::int32_t CompatibilityByteOffset(std::int32_t baseStatsOffset, int species, int fieldByte);

struct MachineBit {
    int fieldByte;  // 0..7
    int bit;        // 0 = least significant
};
// The bit of machine index k (machine number n = k + 1 is bit n - 1 of the field).
MachineBit BitOfMachine(int machine);

// Bits 1..7 of field byte 7 stand for no machine. In Crystal they mark the move-tutor
// moves, so a writer keeps them as the file holds them.
inline constexpr int kLastFieldByte = kCompatibilityFieldLength - 1;

// "TM01".."TM50", "HM01".."HM07": the name of machine index k, as the lists and check
// boxes show it.
std::string MachineName(int machine);

}  // namespace brindlewick
