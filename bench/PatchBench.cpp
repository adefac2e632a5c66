#include "PatchBench.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "Measure.h"
#include "Support.h"
#include "editor/ShareCommands.h"
#include "platform/Messages.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"
#include "rom/SelfCheck.h"

namespace brindlewick::bench {
namespace {

void WriteImage(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> ReadImage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

bool RunPatch(int runs) {
    const RomProfile* profile = Identify(kGameCode);
    if (profile == nullptr) {
        return false;
    }
    // A clean image as a real one looks to the program: bytes throughout and a valid header
    // checksum, so that the game's code is looked for, as in every cartridge that boots.
    ScratchImage scratch;
    const std::string folder = std::filesystem::path(scratch.Path()).parent_path().string();
    std::vector<std::uint8_t> clean(kImageSize);
    std::uint32_t state = 0x2545F491u;
    for (std::uint8_t& byte : clean) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    std::copy_n(kGameCode, 4, clean.begin() + kGameCodeOffset);
    clean[kHeaderChecksumOffset] =
        HeaderChecksum(std::span(clean).subspan(kHeaderChecksumStart, kHeaderChecksumLength));
    // A modified game: every machine's move and price, and a byte of every species' field.
    std::vector<std::uint8_t> modified = clean;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        modified[static_cast<std::size_t>(MoveByteOffset(profile->TmMovesOffset, machine))] ^= 1;
        modified[static_cast<std::size_t>(PriceOffset(profile->TmPricesOffset, machine))] ^= 1;
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        modified[static_cast<std::size_t>(
            CompatibilityByteOffset(profile->BaseStatsOffset, species, 3))] ^= 0x10;
    }
    const std::string cleanPath = folder + "/clean.gbc";
    const std::string romPath = scratch.Path();
    const std::string patchPath = folder + "/bench.bps";
    WriteImage(cleanPath, clean);
    WriteImage(romPath, modified);

    CountingSink sink;
    MessageSink* const previousSink = SetMessageSink(&sink);
    bool patched = true;
    const std::function<void()> once = [&] {
        const int before = sink.count;
        patched = ExportPatch(cleanPath, romPath, patchPath) && sink.count == before + 1 &&
                  sink.last.icon == MessageIcon::Information && patched;
    };
    StartCounting();
    once();
    const FileCallCounts counts = StopCounting();
    SetMessageSink(previousSink);
    if (!patched) {
        std::fprintf(stderr, "brindlewick_bench: the patch failed: %s\n", sink.last.text.c_str());
        return false;
    }
    const std::vector<unsigned char> patch = ReadImage(patchPath);
    bool floorOk = true;
    const std::function<void()> floor = [&] {
        floorOk = ReadWholeThenReplaceFloor({cleanPath, romPath}, patchPath, patch) && floorOk;
    };

    SetMessageSink(&sink);
    const int oursBatch = BatchSize(once);
    const int floorBatch = BatchSize(floor);
    std::vector<double> ours;
    std::vector<double> floors;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(TimeBatch(once, oursBatch));
        floors.push_back(TimeBatch(floor, floorBatch));
    }
    SetMessageSink(previousSink);
    if (!patched || !floorOk) {
        std::fprintf(stderr, "brindlewick_bench: the patch or its floor failed while timed\n");
        return false;
    }
    Report("patch of a 2 MiB image", Median(ours), "floor", Median(floors), "us", Describe(counts));
    return true;
}

}  // namespace brindlewick::bench
