#include "editor/WindowCommands.h"

#include "editor/Editor.h"
#include "editor/Learners.h"
#include "editor/MachineListText.h"
#include "editor/TableCommands.h"
#include "platform/Messages.h"
#include "rom/Names.h"
#include "rom/RomNameMatching.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"

namespace brindlewick {

std::string ProductLine(const std::string& version) {
    return "Brindlewick v" + version;
}

GridCell CheckBoxCell(int machine) {
    if (machine < kTmCount) {
        return {machine % kCheckRows, machine / kCheckRows};
    }
    return {machine - kTmCount, (kTmCount + kCheckRows - 1) / kCheckRows};
}

MachineSet CheckedMachines(const EditorView& view) {
    MachineSet machines{};
    for (int machine = 0; machine < kMachineCount; ++machine) {
        machines[static_cast<std::size_t>(machine)] = view.MachineChecked(machine);
    }
    return machines;
}

bool PasteMachineList(const Editor& editor, EditorView& view, const std::string& clipboardText) {
    if (clipboardText.size() > kMaxMachineListText) {
        ShowMessage("The clipboard holds more than " + std::to_string(kMaxMachineListText / 1024) +
                        " KB of text; no list of machines is that long.",
                    MessageIcon::Information);
        return false;
    }
    MachineListReading reading{ParseMachineList(clipboardText), {}};
    if (!reading.machines) {
        // Machines may be named by the moves they teach in the open ROM, as it holds them now;
        // the file is read only for such a list.
        MachineMoves moves{};
        for (int machine = 0; machine < kMachineCount; ++machine) {
            moves[static_cast<std::size_t>(machine)] = editor.MachineMove(machine);
        }
        reading = ReadMachineList(clipboardText, moves, GameNameMatcher(editor.State().Names));
    }
    if (!reading.machines) {
        std::string text = kNoMachineListMessage;
        if (!reading.problem.empty()) {
            text += "\n" + reading.problem;
        }
        ShowMessage(text, MessageIcon::Information);
        return false;
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        view.SetMachineChecked(machine, (*reading.machines)[static_cast<std::size_t>(machine)]);
    }
    return true;
}

std::optional<LearnersList> DescribeLearners(const Editor& editor, const EditorView& view) {
    const int machine = view.MachineIndex();
    if (!editor.RomOpen() || machine < 0 || machine >= kMachineCount) {
        return std::nullopt;
    }
    const std::string machineName = MachineName(machine);
    const EditorState& state = editor.State();
    std::optional<std::vector<int>> learners =
        ReadLearners(state.RomPath, state.Tables.places.baseStats, machine);
    if (!learners) {
        return LearnersList{machineName + ": could not be read", {}, {}};
    }
    // The move as the file holds it; a byte that names no move shows as no move.
    const int move = editor.MachineMove(machine);
    const std::string moveName = RomMoveName(editor, move >= 0 ? move : 0);
    const std::string count = std::to_string(learners->size()) + " species";
    std::vector<std::string> names;
    names.reserve(learners->size());
    for (const int species : *learners) {
        names.push_back(RomSpeciesName(editor, species));
    }
    return LearnersList{machineName + " " + moveName + ": " + count, std::move(*learners),
                        std::move(names)};
}

std::string MachineToolTip(const Editor& editor, int machine) {
    const int move = editor.MachineMove(machine);
    return move >= 0 ? RomMoveName(editor, move) : std::string();
}

std::string RomSpeciesName(const Editor& editor, int species) {
    return SpeciesNameOf(editor.State().Names, species);
}

std::string RomMoveName(const Editor& editor, int move) {
    return MoveNameOf(editor.State().Names, move);
}

std::string SpeciesName(int species) {
    std::string_view name = SpeciesEntries()[static_cast<std::size_t>(species)];
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    return std::string(name);
}

bool ImportTablesIntoWindow(Editor& editor, const std::string& csvPath) {
    if (!editor.RomOpen()) {
        return false;
    }
    const std::string romPath = editor.State().RomPath;
    if (!ImportMayHaveChangedFile(ImportRomTables(romPath, csvPath))) {
        return false;
    }
    editor.MachineSelected();
    editor.SpeciesSelected();
    return true;
}

}  // namespace brindlewick
