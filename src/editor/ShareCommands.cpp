#include "editor/ShareCommands.h"

#include <algorithm>
#include <array>
#include <utility>

#include "convert/HexDigits.h"
#include "editor/TableCommands.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/OpenFile.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "rom/TableLocation.h"
#include "rom/WholeImage.h"
#include "tables/RomFiles.h"
#include "tables/TablesComparison.h"
#include "tables/TablesFile.h"

namespace brindlewick {
namespace {

// How many of the places outside the three tables a patch's summary names one by one.
constexpr std::size_t kListedOutsideRuns = 5;

std::string Quoted(const std::string& path) {
    return "\u201C" + DisplayName(path) + "\u201D";
}

std::string Counted(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string ChecksumText(std::uint16_t checksum) {
    return "0x" + HexText(checksum, 4);
}

// Why `clean` cannot be the clean image of `modified`, or "" when it can: a patch applies to
// the release it was made from, byte for byte.
std::string SameReleaseProblem(const std::string& cleanPath, const WholeRom& clean,
                               const std::string& romPath, const WholeRom& modified) {
    if (clean.release != modified.release) {
        return Quoted(cleanPath) + " is " + ReleaseText(*clean.release) + ", but " +
               Quoted(romPath) + " is " + ReleaseText(*modified.release) +
               ": a patch is made against a clean image of the same release. Nothing was "
               "written.";
    }
    if (clean.bytes.size() != modified.bytes.size()) {
        return Quoted(cleanPath) + " holds " + Counted(clean.bytes.size(), "byte", "bytes") +
               " and " + Quoted(romPath) + " " + std::to_string(modified.bytes.size()) +
               ": a clean image of the same release is as long. Nothing was written.";
    }
    return {};
}

// Both images read whole, when `clean` can be the clean image of `modified`; otherwise (said
// why) nothing.
std::optional<std::pair<WholeRom, WholeRom>> ReadCleanAndModified(const std::string& cleanPath,
                                                                  const std::string& romPath) {
    auto clean = ReadWholeRom(cleanPath);
    if (!clean) {
        return std::nullopt;
    }
    auto modified = ReadWholeRom(romPath);
    if (!modified) {
        return std::nullopt;
    }
    if (const std::string problem = SameReleaseProblem(cleanPath, *clean, romPath, *modified);
        !problem.empty()) {
        ShowMessage(problem, MessageIcon::Error);
        return std::nullopt;
    }
    return std::pair{std::move(*clean), std::move(*modified)};
}

// "0x14E-0x14F", or "0x150" for one byte.
std::string RunText(const ByteRun& run) {
    const auto first = static_cast<std::int64_t>(run.offset);
    return run.length == 1 ? OffsetText(first)
                           : OffsetText(first) + "\u2013" +
                                 OffsetText(first + static_cast<std::int64_t>(run.length) - 1);
}

// "1 in the machine moves, 2 in the machine prices and 2 outside the three tables (0x14E-0x14F)".
std::string DescribeChangedBytes(const ChangedBytes& changed) {
    std::vector<std::string> parts;
    if (changed.moves > 0) {
        parts.push_back(std::to_string(changed.moves) + " in the machines' moves");
    }
    if (changed.prices > 0) {
        parts.push_back(std::to_string(changed.prices) + " in the machines' prices");
    }
    if (changed.compatibility > 0) {
        parts.push_back(std::to_string(changed.compatibility) + " in the species' compatibility");
    }
    if (changed.outside > 0) {
        std::string places;
        const std::size_t listed = std::min(changed.outsideRuns.size(), kListedOutsideRuns);
        for (std::size_t i = 0; i < listed; ++i) {
            places += (i == 0 ? "" : ", ") + RunText(changed.outsideRuns[i]);
        }
        if (changed.outsideRuns.size() > listed) {
            places +=
                " and " + Counted(changed.outsideRuns.size() - listed, "more place", "more places");
        }
        parts.push_back(std::to_string(changed.outside) + " outside the three tables (" + places +
                        ")");
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return text;
}

// One file of a comparison, read through one handle.
struct ComparedFile {
    LocatedValues tables;
    ComparisonNames names;
};

std::optional<ComparedFile> ReadComparedFile(const std::string& romPath) {
    OpenFile rom;
    auto tables = ReadLocatedTables(romPath, rom);
    if (!tables) {
        return std::nullopt;
    }
    ComparisonNames names = NamesForComparison(rom, tables->located);
    return ComparedFile{std::move(*tables), std::move(names)};
}

}  // namespace

std::string ProposedPatchName(const std::string& romPath) {
    return ProposedFileName(romPath, kPatchExtension);
}

PatchFormat PatchFormatOfName(const std::string& patchPath) {
    const std::string name = DisplayName(patchPath);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) {
        return PatchFormat::Bps;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension == "ips" ? PatchFormat::Ips : PatchFormat::Bps;
}

bool CheckCleanRom(const std::string& cleanPath, const std::string& romPath) {
    return ReadCleanAndModified(cleanPath, romPath).has_value();
}

bool ExportPatch(const std::string& cleanPath, const std::string& romPath,
                 const std::string& patchPath, std::optional<PatchFormat> format) {
    const auto images = ReadCleanAndModified(cleanPath, romPath);
    if (!images) {
        return false;
    }
    const WholeRom* clean = &images->first;
    const WholeRom* modified = &images->second;
    const std::vector<ByteRun> runs = DifferingRuns(clean->bytes, modified->bytes);
    if (runs.empty()) {
        ShowMessage(Quoted(cleanPath) + " and " + Quoted(romPath) +
                        " hold the same bytes: a patch would change nothing. Nothing was written.",
                    MessageIcon::Error);
        return false;
    }
    const PatchFormat written = format.value_or(PatchFormatOfName(patchPath));
    std::vector<std::uint8_t> patch;
    if (written == PatchFormat::Ips) {
        auto ips = MakeIpsPatch(clean->bytes, modified->bytes, runs);
        if (!ips) {
            ShowMessage("An IPS patch cannot reach past 16 MiB, where " + Quoted(romPath) +
                            " differs; write a BPS patch instead. Nothing was written.",
                        MessageIcon::Error);
            return false;
        }
        patch = std::move(*ips);
    } else {
        patch = MakeBpsPatch(clean->bytes, modified->bytes, runs);
    }
    const std::array<FileIdentity, 2> roms{clean->identity, modified->identity};
    if (!WritePatchFile(patchPath, patch, roms)) {
        return false;
    }
    // Where the modified game keeps its tables, as the game's code gives them.
    const LocatedTables located = LocateTables(modified->bytes, *modified->release);
    const ChangedBytes changed = ChangedBytesByTable(located.places, runs);
    std::string text = Quoted(patchPath) + " turns " + Quoted(cleanPath) + " into " +
                       Quoted(romPath) + " (" + (written == PatchFormat::Ips ? "IPS" : "BPS") +
                       ", " + Counted(patch.size(), "byte", "bytes") + "). It changes " +
                       Counted(changed.Total(), "byte", "bytes") + ": " +
                       DescribeChangedBytes(changed) + ".";
    if (!located.SafeToWrite()) {
        text +=
            "\nThe tables of " + Quoted(romPath) +
            " do not hold what such tables hold where they were looked for, so a byte counted in "
            "one of them may lie elsewhere.";
    }
    ShowMessage(text, MessageIcon::Information);
    return true;
}

std::optional<RomComparison> CompareRoms(const std::string& fromPath, const std::string& toPath) {
    const auto from = ReadComparedFile(fromPath);
    if (!from) {
        return std::nullopt;
    }
    const auto to = ReadComparedFile(toPath);
    if (!to) {
        return std::nullopt;
    }
    const TablePlaces& fromPlaces = from->tables.located.places;
    const TablePlaces& toPlaces = to->tables.located.places;
    const TablesDifferences differences =
        CompareTables(from->tables.values, to->tables.values, from->names, to->names,
                      IsCrystal(fromPlaces) && IsCrystal(toPlaces));
    RomComparison comparison;
    comparison.caption = DisplayName(fromPath) + " \u2192 " + DisplayName(toPath);
    const std::string files = "From " + Quoted(fromPath) + " to " + Quoted(toPath) + ": ";
    comparison.heading.push_back(
        differences.lines.empty()
            ? files + "the tables are the same."
            : files +
                  Counted(static_cast<std::uint64_t>(differences.machines), "machine", "machines") +
                  " and " +
                  Counted(static_cast<std::uint64_t>(differences.species), "species", "species") +
                  " differ.");
    if (fromPlaces.release != toPlaces.release) {
        comparison.heading.push_back("Two different releases: " + Quoted(fromPath) + " is " +
                                     ReleaseText(*fromPlaces.release) + " and " + Quoted(toPath) +
                                     " " + ReleaseText(*toPlaces.release) +
                                     "; their tables are compared machine by machine and "
                                     "species by species.");
    }
    for (const auto& [path, file] : {std::pair{&fromPath, &*from}, std::pair{&toPath, &*to}}) {
        if (!file->tables.located.SafeToWrite()) {
            comparison.heading.push_back(
                "The tables of " + Quoted(*path) +
                " do not hold what such tables hold where they were looked for (Check ROM tells "
                "more): what lies there is compared.");
        }
    }
    comparison.lines = std::move(differences.lines);
    return comparison;
}

std::string ComparisonText(const RomComparison& comparison) {
    std::string text;
    for (const std::string& line : comparison.heading) {
        text += line + '\n';
    }
    if (!comparison.lines.empty()) {
        text += '\n';
    }
    for (const std::string& line : comparison.lines) {
        text += line + '\n';
    }
    return text;
}

bool FixChecksum(const std::string& romPath) {
    const ChecksumFix fix = FixGlobalChecksum(romPath);
    switch (fix.status) {
        case ChecksumFixStatus::Written:
            ShowMessage("The global checksum of " + Quoted(romPath) + " was " +
                            ChecksumText(fix.stored) + " and is now " + ChecksumText(fix.computed) +
                            ".",
                        MessageIcon::Information);
            return true;
        case ChecksumFixStatus::AlreadyRight:
            ShowMessage("The global checksum of " + Quoted(romPath) + " is already right (" +
                            ChecksumText(fix.computed) + "); nothing was written.",
                        MessageIcon::Information);
            return true;
        case ChecksumFixStatus::Refused:
        case ChecksumFixStatus::Failed:
            break;
    }
    return false;
}

}  // namespace brindlewick
