// FakeView: a plain stand-in for the main window, so the editor workflows run without Qt.
// Everything it shows is kept in one comparable value, so a test can tell whether a
// workflow left the window alone.
#pragma once

#include <array>
#include <deque>
#include <ostream>
#include <string>

#include "editor/EditorView.h"
#include "rom/RomTables.h"

namespace brindlewick::test {

struct Shown {
    int machine = -1;
    int move = -1;
    int species = -1;
    std::string price;
    std::array<bool, kMachineCount> checked{};
    std::string gameName, gameCode, language;
    std::string caption = "Brindlewick";
    bool editingEnabled = false;

    bool operator==(const Shown&) const = default;
};

// Lets a failed comparison say what differs.
inline void PrintTo(const Shown& shown, std::ostream* out) {
    *out << "{machine " << shown.machine << ", move " << shown.move << ", species " << shown.species
         << ", price \"" << shown.price << "\", ticked";
    for (int machine = 0; machine < kMachineCount; ++machine) {
        if (shown.checked[machine]) {
            *out << ' ' << MachineName(machine);
        }
    }
    *out << ", \"" << shown.gameName << "\" \"" << shown.gameCode << "\" \"" << shown.language
         << "\", caption \"" << shown.caption << "\", enabled " << shown.editingEnabled << '}';
}

class FakeView final : public EditorView {
public:
    int MachineIndex() const override { return shown.machine; }
    void SetMachineIndex(int machine) override { shown.machine = machine; }
    int MoveIndex() const override { return shown.move; }
    void SetMoveIndex(int move) override { shown.move = move; }
    int SpeciesIndex() const override { return shown.species; }
    void SetSpeciesIndex(int species) override { shown.species = species; }

    std::string PriceText() const override { return shown.price; }
    void SetPriceText(const std::string& text) override {
        shown.price = text;
        ++priceTextSets;
    }

    bool MachineChecked(int machine) const override { return shown.checked.at(machine); }
    void SetMachineChecked(int machine, bool checked) override {
        shown.checked.at(machine) = checked;
    }

    void ShowRomInformation(const std::string& gameName, const std::string& gameCode,
                            const std::string& language) override {
        shown.gameName = gameName;
        shown.gameCode = gameCode;
        shown.language = language;
    }
    void SetCaption(const std::string& caption) override { shown.caption = caption; }
    void EnableEditing() override { shown.editingEnabled = true; }

    // Answers with the next queued path; an empty queue answers as a cancelled dialog.
    std::string AskForRomPath() override {
        ++dialogsShown;
        if (answers.empty()) {
            return {};
        }
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void CheckOnly(int machine) {
        shown.checked.fill(false);
        shown.checked.at(machine) = true;
    }

    Shown shown;
    std::deque<std::string> answers;
    int priceTextSets = 0;
    int dialogsShown = 0;
};

}  // namespace brindlewick::test
