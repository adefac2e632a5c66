// EditorView: what the editor workflows read from and set in the main window. The window
// implements it with real widgets; editor tests use a plain fake. Setting a selection from
// here raises no selection event: the workflows load what they select themselves.
#pragma once

#include <string>

namespace brindlewick {

class EditorView {
public:
    virtual ~EditorView() = default;

    // Selection indexes; -1 means no entry is selected.
    virtual int MachineIndex() const = 0;  // lstTM: machine index k
    virtual void SetMachineIndex(int machine) = 0;
    virtual int MoveIndex() const = 0;  // lstAttack: move number m
    virtual void SetMoveIndex(int move) = 0;
    virtual int SpeciesIndex() const = 0;  // List1: species index s
    virtual void SetSpeciesIndex(int species) = 0;

    virtual std::string PriceText() const = 0;  // txtPrice
    virtual void SetPriceText(const std::string& text) = 0;

    // The check box of machine index k (chkTM01 .. chkHM07).
    virtual bool MachineChecked(int machine) const = 0;
    virtual void SetMachineChecked(int machine, bool checked) = 0;

    // The three value fields of the ROM information (headr, code, lang) and the caption.
    virtual void ShowRomInformation(const std::string& gameName, const std::string& gameCode,
                                    const std::string& language) = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    // Enables the lists, the tabs, the price field, "Save ROM" and the information labels.
    virtual void EnableEditing() = 0;

    // Asks the user for the ROM file to open; returns its path, or "" when the user cancels.
    virtual std::string AskForRomPath() = 0;
};

}  // namespace brindlewick
