#include "cli/Commands.h"

#include "editor/ShareCommands.h"
#include "platform/Messages.h"
#include "platform/NativeFile.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "rom/TableLocation.h"
#include "tables/TablesFile.h"

namespace brindlewick {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Hex(std::int32_t offset) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 20; shift >= 0; shift -= 4) {
        text += kDigits[(offset >> shift) & 0xF];
    }
    return "0x" + text;
}

// The question's closing line asks the window's user; here --force is the answer.
std::string WithoutClosingQuestion(const std::string& question) {
    const auto end = question.rfind("\n\n");
    return end == std::string::npos ? question : question.substr(0, end);
}

}  // namespace

int CheckCommand(const std::string& romPath, std::ostream& out) {
    const std::optional<LocatedNames> found = LocateRomTablesAndNames(romPath);
    if (!found) {
        return kExitRefused;
    }
    const LocatedTables* located = &found->tables;
    const RomNames& names = found->names;
    // Where the names were found, or why not: a line each, after the tables' account.
    auto tellNames = [&] {
        if (!names.looked) {
            return;
        }
        if (names.SpeciesRead()) {
            out << romPath << ": species names (" << LanguageName(names.language) << ") at "
                << Hex(names.speciesAt) << ", " << names.speciesWidth << " bytes each\n";
        } else {
            out << romPath << ": species names not read (" << names.speciesProblem
                << "); the list's names stand for them\n";
        }
        if (names.MovesRead()) {
            out << romPath << ": move names at " << Hex(names.movesAt) << '\n';
        } else {
            out << romPath << ": move names not read (" << names.movesProblem
                << "); the list's names stand for them\n";
        }
        if (names.TypesRead()) {
            out << romPath << ": " << names.types.size() << " type names at " << Hex(names.typesAt)
                << '\n';
        } else {
            out << romPath << ": type names not read (" << names.typesProblem << ")\n";
        }
    };
    const RomProfile& profile = *located->places.release;
    out << romPath << ": " << Trimmed(profile.gameName) << ", " << profile.language << " ("
        << profile.gameCode << ")\n";
    const SelfCheckResult& check = located->proof;
    if (!check.realCartridge) {
        out << romPath
            << ": no valid header checksum, so no cartridge image that boots: identified by its "
               "game code alone, tables not checked\n";
        return kExitSuccess;
    }
    if (const std::string howFound = DescribeHowFound(*located); !howFound.empty()) {
        out << romPath << ": " << howFound << '\n';
    }
    if (located->SafeToWrite()) {
        if (!located->Elsewhere()) {
            out << romPath << ": the tables lie where this release keeps them\n";
        }
        tellNames();
        return kExitSuccess;
    }
    const bool followed = located->places.source == PlacesSource::GameCode;
    for (const SelfCheckFinding& finding : check.findings) {
        out << romPath << ": " << TableName(finding.table) << " at " << Hex(finding.offset)
            << ": expected " << finding.expected << ", found " << finding.found << '\n';
    }
    for (const CheckedTable table :
         {CheckedTable::BaseStats, CheckedTable::ItemRecords, CheckedTable::MoveList}) {
        if (check.Mismatches(table) > 0) {
            const int count = check.Mismatches(table);
            out << romPath << ": " << TableName(table) << ": " << count
                << (count == 1 ? " place differs" : " places differ")
                << (followed ? " from what such a table holds, where the game's code points\n"
                             : " from what this release keeps there\n");
        }
    }
    out << romPath << ": probably a modified game; it is not imported into\n";
    tellNames();
    return kExitRefused;
}

int ExportCommand(const std::string& romPath, const std::string& csvPath, bool force,
                  bool romNames) {
    ExportOptions options;
    options.force = force;
    options.romNames = romNames;
    options.romNames = romNames;
    if (!csvPath.empty()) {
        return ExportTablesToFile(romPath, csvPath, options) ? kExitSuccess : kExitRefused;
    }
    // Standard output is a target like a named file: the ROM itself (`>> rom.gbc`) is refused
    // before a byte is written, and a failed write is told.
    const auto failedOutput = [&romPath](const std::error_code& error) {
        ShowMessage(
            romPath + ": could not write the CSV to standard output: " + error.message() + ".",
            MessageIcon::Error);
        return kExitRefused;
    };
    FileFacts output;
    if (const auto error = InspectStandardOutput(output)) {
        return failedOutput(error);
    }
    if (output.regular) {
        options.output = &output.identity;
    }
    const auto csv = ExportTables(romPath, options);
    if (!csv) {
        return kExitRefused;
    }
    if (const auto error = WriteStandardOutput(
            {reinterpret_cast<const std::uint8_t*>(csv->data()), csv->size()})) {
        return failedOutput(error);
    }
    return kExitSuccess;
}

int ImportCommand(const std::string& romPath, const std::string& csvPath, bool dryRun, bool force) {
    ImportOptions options;
    options.dryRun = dryRun;
    options.confirm = [&](const std::string& question) {
        ShowMessage(romPath + ": " + WithoutClosingQuestion(question), MessageIcon::Error);
        ShowMessage(romPath + ": " +
                        (force ? "written all the same (--force)"
                               : "nothing written; --force writes it all the same"),
                    MessageIcon::Error);
        return force;
    };
    const ImportResult result = ImportTables(romPath, csvPath, options);
    switch (result.status) {
        case ImportStatus::Written:
        case ImportStatus::Unchanged:
            return kExitSuccess;
        case ImportStatus::DryRun:
            // A dry run ends as the import would: one that would be refused for a change the
            // game cannot use exits 1 unless --force would write it.
            return result.breaches.empty() || force ? kExitSuccess : kExitRefused;
        case ImportStatus::Refused:
        case ImportStatus::Failed:
            break;
    }
    return kExitRefused;
}

int PatchCommand(const std::string& cleanPath, const std::string& romPath,
                 const std::string& patchPath, const std::string& format) {
    std::optional<PatchFormat> chosen;
    if (format == "bps") {
        chosen = PatchFormat::Bps;
    } else if (format == "ips") {
        chosen = PatchFormat::Ips;
    }
    return ExportPatch(cleanPath, romPath, patchPath, chosen) ? kExitSuccess : kExitRefused;
}

int DiffCommand(const std::string& fromPath, const std::string& toPath, std::ostream& out) {
    const std::optional<RomComparison> comparison = CompareRoms(fromPath, toPath);
    if (!comparison) {
        return kExitRefused;
    }
    for (const std::string& line : comparison->heading) {
        ShowMessage(line, MessageIcon::Information);
    }
    for (const std::string& line : comparison->lines) {
        out << line << '\n';
    }
    out.flush();
    if (!out) {
        ShowMessage("the differences could not be written to standard output", MessageIcon::Error);
        return kExitRefused;
    }
    return kExitSuccess;
}

int FixChecksumCommand(const std::string& romPath) {
    return FixChecksum(romPath) ? kExitSuccess : kExitRefused;
}

}  // namespace brindlewick
