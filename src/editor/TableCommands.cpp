#include "editor/TableCommands.h"

#include <algorithm>

#include "convert/HexDigits.h"
#include "editor/WindowCommands.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "rom/TableLocation.h"

namespace brindlewick {
namespace {

std::string Quoted(const std::string& path) {
    return "\u201C" + DisplayName(path) + "\u201D";
}

}  // namespace

std::string ProposedFileName(const std::string& romPath, const std::string& extension) {
    const std::string name = DisplayName(romPath);
    const auto dot = name.rfind('.');
    // A name that is all extension (".gbc") keeps it, so that something is left to propose.
    return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + "." + extension;
}

std::string ProposedCsvName(const std::string& romPath) {
    return ProposedFileName(romPath, kCsvExtension);
}

std::string FolderOf(const std::string& path) {
#ifdef _WIN32
    // Either separator; a drive's root keeps its separator ("C:\"), "C:" alone would name
    // the drive's current folder.
    const auto slash = path.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0 && path[slash - 1] == ':') {
        return path.substr(0, slash + 1);
    }
#else
    const auto slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

bool ExportRomTables(const std::string& romPath, const std::string& csvPath) {
    ExportOptions options;
    // A modified game is exported only when the user says so; Cancel is the default.
    options.confirmModified = [](const std::string& question) { return ConfirmMessage(question); };
    if (!ExportTablesToFile(romPath, csvPath, options)) {
        return false;
    }
    ShowMessage("The tables of " + Quoted(romPath) + " were exported to " + Quoted(csvPath) + ".",
                MessageIcon::Information);
    return true;
}

std::string DescribeImportQuestion(const std::string& romPath, const std::string& csvPath,
                                   const ImportPlan& plan) {
    std::string text = "Importing " + Quoted(csvPath) + " into " + Quoted(romPath) + " changes " +
                       SummarizePlan(plan) + ".\n";
    const std::size_t listed = std::min(plan.details.size(), kMaxListedChanges);
    for (std::size_t i = 0; i < listed; ++i) {
        text += '\n' + plan.details[i];
    }
    if (plan.details.size() > listed) {
        text += "\n\u2026 and " + std::to_string(plan.details.size() - listed) + " more";
    }
    return text + "\n\nWrite these changes into the ROM?";
}

ImportStatus ImportRomTables(const std::string& romPath, const std::string& csvPath) {
    ImportOptions options;
    options.confirmMakeWritable = [](const std::string& question) {
        return ConfirmMessage(question);
    };
    options.confirmChanges = [&](const ImportPlan& plan) {
        return ConfirmMessage(DescribeImportQuestion(romPath, csvPath, plan));
    };
    // The question closes by asking about a save; here the import is what goes on.
    options.confirm = [](const std::string& question) {
        const auto end = question.rfind("\n\n");
        return ConfirmMessage((end == std::string::npos ? question : question.substr(0, end)) +
                              "\n\nImport all the same?");
    };
    // A change made by another program while a question was open is told, and the plan
    // worked out anew is asked about again.
    options.confirmAgain = [&](const std::string& whatChanged, const ImportPlan& plan) {
        return ConfirmMessage(whatChanged + "\n\n" +
                              DescribeImportQuestion(romPath, csvPath, plan));
    };
    return ImportTables(romPath, csvPath, options).status;
}

bool ImportMayHaveChangedFile(ImportStatus status) {
    // A failure may come after some of the writes.
    return status == ImportStatus::Written || status == ImportStatus::Failed;
}

std::string DescribeRomCheck(const std::string& romPath) {
    const std::optional<LocatedNames> found = LocateRomTablesAndNames(romPath);
    if (!found) {
        return {};
    }
    const LocatedTables* located = &found->tables;
    // Where the names were read, or why not, closes every account of a real cartridge image.
    const std::string names = DescribeNames(found->names);
    const std::string namesText = names.empty() ? std::string() : "\n\n" + names;
    const SelfCheckResult& check = located->proof;
    std::string text = Quoted(romPath) + ": " + ReleaseText(*located->places.release) + ".\n\n";
    if (!check.realCartridge) {
        return text +
               "Its header checksum does not match, so it is no cartridge image that boots: it "
               "is identified by its game code alone and its tables are not checked.";
    }
    const std::string howFound = DescribeHowFound(*located);
    if (located->SafeToWrite()) {
        if (located->Elsewhere()) {
            return text + "A real cartridge image. " + howFound +
                   " It can be saved and imported into." + namesText;
        }
        return text +
               "A real cartridge image: its tables lie where this release keeps them, and it "
               "can be saved and imported into.\n\n" +
               howFound + namesText;
    }
    if (located->code == CodeFollowed::NotFollowed) {
        text += howFound + "\n\n";
    }
    text += located->places.source == PlacesSource::GameCode
                ? "A real cartridge image whose game's code points to tables that do not hold "
                  "what such tables hold:\n"
                : "A real cartridge image whose tables do not lie where this release keeps "
                  "them:\n";
    for (const SelfCheckFinding& finding : check.findings) {
        text += "\n" + TableName(finding.table) + " at 0x" +
                HexText(static_cast<unsigned>(finding.offset), 6) + ": expected " +
                finding.expected + ", found " + finding.found;
    }
    text += '\n';
    for (const CheckedTable table :
         {CheckedTable::BaseStats, CheckedTable::ItemRecords, CheckedTable::MoveList}) {
        if (const int count = check.Mismatches(table); count > 0) {
            text += "\n" + TableName(table) + ": " + std::to_string(count) +
                    (count == 1 ? " place differs" : " places differ");
        }
    }
    return text +
           "\n\nProbably a modified game: Brindlewick shows it, but does not save or import into "
           "it." +
           namesText;
}

void CheckRom(const std::string& romPath) {
    const std::string text = DescribeRomCheck(romPath);
    if (text.empty()) {
        return;
    }
    ShowMessage(text, MessageIcon::Information, "Check ROM");
}

}  // namespace brindlewick
