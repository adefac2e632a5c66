#include "tables/RomFiles.h"

#include <algorithm>
#include <array>

#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/OpenFile.h"
#include "rom/WholeImage.h"
#include "tables/ImportPlan.h"
#include "tables/TablesFile.h"

namespace brindlewick {
namespace {

// The sum is read in blocks, so that no copy of the ROM is held.
constexpr std::size_t kSumBlock = 64 * 1024;

constexpr std::uint64_t kHeaderEnd = kGlobalChecksumOffset + kGlobalChecksumLength;

void ReportAbout(const std::string& fileName, const std::string& text) {
    ShowMessage(fileName + ": " + text, MessageIcon::Error);
}

// A file another program changed while it was read is not taken: its bytes belong to no
// single moment.
bool SameSizeAsAtOpen(const OpenFile& rom) {
    FileFacts now;
    if (auto error = rom.Inspect(now)) {
        ReportFileFailure(FileAction::Read, rom.FileName(), error);
        return false;
    }
    if (now.size != rom.Facts().size) {
        ReportAbout(rom.FileName(), "another program changed its size while it was read (from " +
                                        std::to_string(rom.Facts().size) + " to " +
                                        std::to_string(now.size) + " bytes); try again.");
        return false;
    }
    return true;
}

}  // namespace

std::optional<WholeRom> ReadWholeRom(const std::string& romPath) {
    OpenFile rom;
    const RomProfile* release = OpenSupportedRom(romPath, OpenFile::Access::Read, rom);
    if (release == nullptr) {
        return std::nullopt;
    }
    const std::uint64_t size = rom.Facts().size;
    if (size > kMaxImageSize) {
        ReportAbout(romPath, "the file holds " + std::to_string(size) +
                                 " bytes, more than any Game Boy Color cartridge (8 MiB): it is "
                                 "no cartridge image");
        return std::nullopt;
    }
    WholeRom whole{release, std::vector<std::uint8_t>(static_cast<std::size_t>(size)),
                   rom.Facts().identity};
    if (auto error = rom.ReadAt(0, whole.bytes)) {
        ReportFileFailure(FileAction::Read, romPath, error);
        return std::nullopt;
    }
    if (!SameSizeAsAtOpen(rom)) {
        return std::nullopt;
    }
    return whole;
}

bool WritePatchFile(const std::string& patchPath, std::span<const std::uint8_t> patch,
                    std::span<const FileIdentity> roms) {
    return ReplaceFileBesideRoms(
        patchPath, patch, roms,
        "this is one of the two ROMs; the patch is written to a file of its own. Nothing was "
        "written.");
}

ChecksumFix FixGlobalChecksum(const std::string& romPath) {
    ChecksumFix fix;
    OpenFile rom;
    if (OpenSupportedRom(romPath, OpenFile::Access::ReadWrite, rom) == nullptr) {
        fix.status = ChecksumFixStatus::Refused;
        return fix;
    }
    const std::uint64_t size = rom.Facts().size;
    if (size < kHeaderEnd) {
        ReportAbout(romPath, "Unsupported ROM: the file is too short for a cartridge header");
        fix.status = ChecksumFixStatus::Refused;
        return fix;
    }
    std::array<std::uint8_t, kHeaderEnd> header{};
    std::vector<std::uint8_t> block(
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kSumBlock)));
    std::uint16_t sum = 0;
    for (std::uint64_t offset = 0; offset < size; offset += block.size()) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - offset, block.size()));
        const std::span<std::uint8_t> bytes(block.data(), length);
        if (auto error = rom.ReadAt(static_cast<std::int64_t>(offset), bytes)) {
            ReportFileFailure(FileAction::Read, romPath, error);
            return fix;
        }
        if (offset == 0) {
            std::copy_n(bytes.begin(), header.size(), header.begin());
        }
        sum = AddToGlobalChecksum(sum, offset, bytes);
    }
    if (!SameSizeAsAtOpen(rom)) {
        fix.status = ChecksumFixStatus::Refused;
        return fix;
    }
    fix.stored = StoredGlobalChecksum(header);
    fix.computed = sum;
    if (fix.stored == fix.computed) {
        fix.status = ChecksumFixStatus::AlreadyRight;
        return fix;
    }
    // High byte first.
    const std::array<std::uint8_t, kGlobalChecksumLength> before{header[kGlobalChecksumOffset],
                                                                 header[kGlobalChecksumOffset + 1]};
    const std::array<std::uint8_t, kGlobalChecksumLength> after{
        static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum & 0xFF)};
    std::vector<ByteChange> changes;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            changes.push_back(
                {kGlobalChecksumOffset + static_cast<std::int32_t>(i), before[i], after[i]});
        }
    }
    const std::string summary = "the global checksum: " + std::to_string(changes.size()) +
                                (changes.size() == 1 ? " byte" : " bytes");
    fix.status =
        WriteChangesThrough(rom, changes, summary, "Fixing the checksum again writes the rest.")
            ? ChecksumFixStatus::Written
            : ChecksumFixStatus::Failed;
    return fix;
}

}  // namespace brindlewick
