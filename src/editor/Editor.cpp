#include "editor/Editor.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "convert/HexDigits.h"
#include "convert/HexFunctions.h"
#include "convert/ReverseString.h"
#include "convert/modConv.h"
#include "editor/PriceField.h"
#include "editor/SaveCheck.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/OpenFile.h"
#include "rom/GameCode.h"
#include "rom/GameRules.h"
#include "rom/Names.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "tables/TablesFile.h"

namespace brindlewick {
namespace {

constexpr const char* kBadPriceMessage = "The price must be a whole number from 0 to 65535.";
constexpr std::size_t kBitsPerByte = 8;
constexpr std::size_t kDigitsPerByte = 2;
// How often a save asks again about a file that keeps changing while it asks.
constexpr int kMaxQuestionRounds = 3;

bool IsMachine(int machine) {
    return machine >= 0 && machine < kMachineCount;
}
bool IsSpecies(int species) {
    return species >= 0 && species < kSpeciesCount;
}
bool IsMove(int move) {
    return move >= 0 && move < kMoveCount;
}

// The byte that two hex digits at `at` spell, or nothing when they do not (a failed read).
std::optional<std::uint8_t> ByteAt(const std::string& hexText, std::size_t at) {
    if (hexText.size() < at + kDigitsPerByte) {
        return std::nullopt;
    }
    const int high = HexDigitValue(hexText[at]);
    const int low = HexDigitValue(hexText[at + 1]);
    if (high < 0 || low < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(high * 16 + low);
}

std::string PartName(SavePart part) {
    switch (part) {
        case SavePart::Move:
            return "the move";
        case SavePart::SpeciesField:
            return "the species' field";
        case SavePart::Price:
            return "the price";
    }
    return {};
}

// What a save that stopped after `written` of its writes has left in the file, part by part,
// in the order they are written.
std::string DescribePartialSave(const std::vector<PlannedWrite>& plan, std::size_t written) {
    if (written == 0) {
        return "Nothing was written.";
    }
    std::string text = "Of this save, ";
    std::size_t i = 0;
    bool first = true;
    while (i < plan.size()) {
        const SavePart part = plan[i].part;
        std::size_t total = 0;
        std::size_t done = 0;
        for (; i < plan.size() && plan[i].part == part; ++i) {
            ++total;
            done += i < written ? 1 : 0;
        }
        text += first ? "" : (i == plan.size() ? ", and " : ", ");
        first = false;
        text += PartName(part);
        if (done == total) {
            text += " was written";
        } else if (done == 0) {
            text += " was not";
        } else {
            text += " only in part (" + std::to_string(done) + " of its " + std::to_string(total) +
                    " bytes)";
        }
    }
    return text + ". Saving again writes all of it.";
}

// What another program did to the file's size while a save wrote into it.
std::string DescribeSizeChange(std::uint64_t before, std::uint64_t after) {
    return std::string("While it was being written, another program ") +
           (after < before ? "cut the file short" : "made the file longer") + ": it held " +
           std::to_string(before) + " bytes before and holds " + std::to_string(after) +
           " bytes now.";
}

std::string SpeciesName(int species) {
    std::string name(SpeciesEntries()[static_cast<std::size_t>(species)]);
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

std::string MoveName(std::uint8_t move) {
    return move < kMoveCount ? std::string(MoveEntries()[move]) : "byte " + HexText(move, 2);
}

}  // namespace

Editor::Editor(EditorView& view) : m_view(view) {}

void Editor::OpenRom() {
    const std::string path = m_view.AskForRomPath();
    if (path.empty()) {
        return;
    }
    OpenRomPath(path);
}

void Editor::OpenRomPath(const std::string& path) {
    // An open changes nothing of the file, its attributes included: a ROM its owner marked
    // read-only stays so, and a save asks before making it writable. Nothing of the editor
    // state changes until the file is identified, so a failure leaves the ROM opened before
    // in force. One handle serves everything the open reads: the game code, the game's code
    // that leads to the tables, and the proof that they are there.
    OpenFile rom;
    if (const auto error = rom.Open(path, OpenFile::Access::Read)) {
        ReportFileFailure(FileAction::Open, path, error);
        return;
    }
    const RomProfile* profile = nullptr;
    std::string gameCode;
    switch (ReadGameCode(rom, gameCode)) {
        case GameCodeRead::Failed:
            return;
        case GameCodeRead::TooShort:
            // A file that ends before the code field cannot be any supported release.
            break;
        case GameCodeRead::Read:
            m_state.GameCode = gameCode;
            profile = Identify(gameCode);
            break;
    }
    if (profile == nullptr) {
        ShowMessage(kUnsupportedRomMessage, MessageIcon::Information);
        return;
    }
    // A read that fails here has been reported; the open stops as for any other failing read,
    // leaving the ROM opened before in force.
    std::optional<LocatedTables> located = LocateTables(rom, *profile);
    if (!located) {
        return;
    }
    // An image cut short before the end of its tables is refused as a whole, with one
    // message, rather than opened to a burst of failing reads.
    if (rom.Facts().size < static_cast<std::uint64_t>(TablesEnd(located->places))) {
        ReportFileFailure(FileAction::Open, path, MakeErrorCode(FileFailure::FileTooShort));
        return;
    }
    // The names where the code found in the same pass leads; only their tables are read.
    std::optional<RomNames> names = ReadRomNames(rom, *located);
    if (!names) {
        return;
    }
    static_cast<void>(rom.Close());

    // A real cartridge image whose tables cannot be proved where they were looked for is
    // probably a modified game: it is shown, but a save there would corrupt it. One whose
    // game's code keeps them elsewhere is told so once, and edited there.
    std::string saveRefusal;
    if (!located->SafeToWrite()) {
        saveRefusal = DescribeRefusal(*located);
        ShowMessage(saveRefusal, MessageIcon::Information);
    } else if (located->Elsewhere()) {
        ShowMessage(DescribeElsewhere(*located), MessageIcon::Information);
    }

    m_view.ShowRomInformation(profile->gameName, profile->gameCode, profile->language);
    m_view.SetCaption(profile->windowTitle);
    // The path is taken only together with its own release: a cancelled or refused open must
    // never leave one file addressed with another release's offsets.
    m_state.Profile = profile;
    m_state.RomPath = path;
    m_state.RealCartridge = located->proof.realCartridge;
    m_state.Tables = std::move(*located);
    m_state.SaveRefusal = std::move(saveRefusal);
    m_state.Names = std::move(*names);

    // Both displays are reloaded even when entry 0 was selected already: they still show
    // the file opened before.
    m_view.SetMachineIndex(0);
    MachineSelected();
    m_view.SetSpeciesIndex(0);
    SpeciesSelected();
    m_view.EnableEditing();
}

void Editor::MachineSelected() {
    const int machine = m_view.MachineIndex();
    if (!RomOpen() || !IsMachine(machine)) {
        return;
    }
    const TablePlaces& places = m_state.Tables.places;

    // The move digits are held at a fixed width of two: a failed read leaves two blanks,
    // which HexToDecimal reports as not hexadecimal and answers with 0, "N/A".
    std::string moveDigits = ReadHexBytes(m_state.RomPath, MoveByteOffset(places, machine), 1);
    m_asRead.machine = machine;
    m_asRead.move = ByteAt(moveDigits, 0);
    moveDigits.resize(kDigitsPerByte, ' ');
    const auto move = static_cast<int>(HexToDecimal(moveDigits));
    // A stored byte of 252..255 names no move of the list; no selection is shown for it, and
    // a save then leaves that byte as it is.
    m_view.SetMoveIndex(IsMove(move) ? move : -1);

    // The price is little-endian in the file; HexToDecimal wants the high byte first. A
    // failed read yields no digits, which convert to 0.
    const std::string priceDigits =
        ReadHexBytes(m_state.RomPath, PriceOffset(places, machine), kPriceLength);
    for (std::size_t i = 0; i < m_asRead.price.size(); ++i) {
        m_asRead.price[i] = ByteAt(priceDigits, i * kDigitsPerByte);
    }
    const auto price = static_cast<long>(HexToDecimal(ReverseHexBytes(priceDigits)));
    m_view.SetPriceText(std::to_string(price));
}

void Editor::PriceTextChanged() {
    const std::string text = m_view.PriceText();
    const std::string ruled = ApplyPriceRule(text);
    // Setting the text raises another change; the ruled text passes unchanged, so it ends.
    if (ruled != text) {
        m_view.SetPriceText(ruled);
    }
}

void Editor::SpeciesSelected() {
    const int species = m_view.SpeciesIndex();
    if (!RomOpen() || !IsSpecies(species)) {
        return;
    }
    m_state.SelectedSpecies = static_cast<std::int16_t>(species);
    m_asRead.species = species;

    // Every selection reads the field anew, one byte per read; an unsaved tick of another
    // species is dropped. Each byte's digits are ordered bit 0 first, like the check boxes.
    std::array<std::string, kCompatibilityFieldLength> digits;
    for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
        const std::string hexText = ReadHexBytes(
            m_state.RomPath, CompatibilityByteOffset(m_state.Tables.places, species, fieldByte), 1);
        m_asRead.field[fieldByte] = ByteAt(hexText, 0);
        digits[fieldByte] = ReverseString(HexToBinary(hexText));
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const MachineBit position = BitOfMachine(machine);
        const std::string& byteDigits = digits[position.fieldByte];
        // A byte whose read failed has no digits: its boxes show clear.
        const bool learnable = byteDigits.size() == kBitsPerByte && byteDigits[position.bit] == '1';
        m_view.SetMachineChecked(machine, learnable);
    }
}

void Editor::ReloadSelection() {
    MachineSelected();
    SpeciesSelected();
}

void Editor::SaveRom() {
    if (!RomOpen()) {
        return;
    }
    const int machine = m_view.MachineIndex();
    const int species = m_view.SpeciesIndex();
    if (!IsMachine(machine) || !IsSpecies(species)) {
        return;
    }
    const TablePlaces& places = m_state.Tables.places;

    // Everything is checked before the first byte is written, so a refused save leaves the
    // file exactly as it was.
    if (!m_state.SaveRefusal.empty()) {
        ShowMessage(kSaveRefusedPrefix + m_state.SaveRefusal, MessageIcon::Error);
        return;
    }
    const std::optional<int> price = ParsePrice(m_view.PriceText());
    if (!price) {
        ShowMessage(kBadPriceMessage, MessageIcon::Error);
        return;
    }
    // One handle for the whole save: the check, the lock, the questions' second look and
    // every write reach the same file, and another writer waits for this one.
    OpenFile rom;
    const auto error = OpenRomForWriting(
        m_state.RomPath, rom, [](const std::string& question) { return ConfirmMessage(question); });
    if (error == MakeErrorCode(FileFailure::DeclinedMakeWritable)) {
        return;
    }
    if (error) {
        ReportFileFailure(FileAction::Save, m_state.RomPath, error);
        return;
    }
    std::optional<SaveCheckResult> check = CheckOpenFileForSave(rom, places, machine, species);
    if (!check || !StillSafeToWrite(*check)) {
        return;
    }

    SaveRequest request;
    request.machine = machine;
    request.species = species;
    request.move = m_view.MoveIndex();
    request.price = *price;
    for (int box = 0; box < kMachineCount; ++box) {
        request.checked[box] = m_view.MachineChecked(box);
    }
    std::vector<PlannedWrite> plan;
    // Nothing is written over a change made while a question was open: after the questions
    // the file is read again through the handle, and a change is asked about anew.
    for (int round = 0;; ++round) {
        request.storedLastFieldByte = check->field[kLastFieldByte];
        plan = PlanSave(places, request);
        if (!ConfirmBeforeWriting(*check, plan)) {
            return;
        }
        std::optional<SaveCheckResult> now = CheckOpenFileForSave(rom, places, machine, species);
        if (!now || !StillSafeToWrite(*now)) {
            return;
        }
        if (now->SameAs(*check)) {
            break;
        }
        check = std::move(now);
        if (round + 1 >= kMaxQuestionRounds) {
            ShowMessage(std::string(kSaveRefusedPrefix) + "\u201C" + DisplayName(m_state.RomPath) +
                            "\u201D kept changing while the questions were open. Save again "
                            "once the other program is done.",
                        MessageIcon::Error);
            return;
        }
    }
    // From here on the remembered bytes are those of this machine and species: what the
    // writes put there, or not known.
    if (m_asRead.machine != machine) {
        m_asRead.machine = machine;
        m_asRead.move.reset();
        m_asRead.price = {};
    }
    if (m_asRead.species != species) {
        m_asRead.species = species;
        m_asRead.field = {};
    }
    if (!WritePlan(rom, plan)) {
        return;
    }
    // The lock is let go, and the close heard, before success is told: some file systems
    // report a failed write only at the close, and the file must not stay locked while the
    // message is open.
    if (const auto error = rom.Close()) {
        ReportFileFailure(FileAction::Save, m_state.RomPath, error,
                          "Every byte of this save was written, but it may not have reached the "
                          "disk. Saving again writes all of it.");
        return;
    }
    ShowMessage(kSaveSucceededMessage, MessageIcon::Information);
}

bool Editor::StillSafeToWrite(const SaveCheckResult& check) {
    // A real cartridge image that has become a modified game since it was opened (written
    // over, or replaced by one) gets no byte; later saves are refused as at the open.
    if (check.selfCheck.SafeToWrite()) {
        return true;
    }
    LocatedTables now = m_state.Tables;
    now.proof = check.selfCheck;
    m_state.SaveRefusal = DescribeRefusal(now);
    ShowMessage(std::string(kSaveRefusedPrefix) + "\u201C" + DisplayName(m_state.RomPath) +
                    "\u201D has changed since it was opened. " + m_state.SaveRefusal,
                MessageIcon::Error);
    return false;
}

bool Editor::ConfirmBeforeWriting(const SaveCheckResult& check,
                                  const std::vector<PlannedWrite>& plan) const {
    // Two questions at most, each only when it applies: first whether to undo a change made
    // elsewhere at all, then whether to write a move list the game cannot use.
    return ConfirmOverwrite(check, plan) && ConfirmGameRules(check, plan);
}

bool Editor::ConfirmGameRules(const SaveCheckResult& check,
                              const std::vector<PlannedWrite>& plan) const {
    // The game's rules hold for images that boot; a synthetic file is written as it is asked.
    if (!m_state.RealCartridge) {
        return true;
    }
    std::array<std::uint8_t, kMachineCount> before{};
    std::copy_n(check.moveList.begin(), kMachineCount, before.begin());
    std::array<std::uint8_t, kMachineCount> after = before;
    const int machine = m_view.MachineIndex();
    for (const PlannedWrite& write : plan) {
        if (write.part == SavePart::Move) {
            after[static_cast<std::size_t>(machine)] = write.value;
        }
    }
    // Only what this save brings about is asked: a list that already breaks a rule was made
    // so elsewhere, and asking at every save would teach the user to click past the question.
    const std::vector<GameRuleBreach> breaches = NewBreaches(*m_state.Profile, before, after);
    return breaches.empty() || ConfirmMessage(DescribeBreaches(breaches));
}

bool Editor::ConfirmOverwrite(const SaveCheckResult& check,
                              const std::vector<PlannedWrite>& plan) const {
    // What the file holds now where the save writes, against what the window read there: a
    // difference is a change made elsewhere (another program or window saved in between) that
    // the save would undo. The spare bits of the last field byte are written back as the file
    // holds them, so they undo nothing.
    const int machine = m_view.MachineIndex();
    const int species = m_view.SpeciesIndex();
    const bool sameMachine = m_asRead.machine == machine;
    const bool sameSpecies = m_asRead.species == species;
    bool moveChanged = false;
    bool priceChanged = false;
    bool fieldChanged = false;
    for (const PlannedWrite& write : plan) {
        if (write.part == SavePart::Move) {
            const std::uint8_t now = check.moveList[static_cast<std::size_t>(machine)];
            moveChanged = !sameMachine || m_asRead.move != now;
        }
    }
    for (std::size_t i = 0; i < check.price.size(); ++i) {
        priceChanged = priceChanged || !sameMachine || m_asRead.price[i] != check.price[i];
    }
    for (int i = 0; i < kCompatibilityFieldLength; ++i) {
        const std::uint8_t mask = i == kLastFieldByte ? 0x01 : 0xFF;
        const auto& read = m_asRead.field[static_cast<std::size_t>(i)];
        const std::uint8_t now = check.field[static_cast<std::size_t>(i)];
        fieldChanged = fieldChanged || !sameSpecies || !read || ((*read ^ now) & mask) != 0;
    }
    if (!moveChanged && !priceChanged && !fieldChanged) {
        return true;
    }

    std::vector<std::string> changes;
    const std::string machineName = MachineName(machine);
    if (moveChanged) {
        changes.push_back("the move of " + machineName + " (the file now holds " +
                          MoveName(check.moveList[static_cast<std::size_t>(machine)]) + ")");
    }
    if (priceChanged) {
        changes.push_back("the price of " + machineName + " (now " +
                          std::to_string(check.price[0] | (check.price[1] << 8)) + ")");
    }
    if (fieldChanged) {
        changes.push_back("the machines " + SpeciesName(species) + " can learn");
    }
    std::string list;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == changes.size() ? " and " : ", ") + changes[i];
    }
    return ConfirmMessage("“" + DisplayName(m_state.RomPath) +
                          "” has been changed since this window read it, by another "
                          "program or window: " +
                          list +
                          ". Saving replaces that with what this window shows. Save all the "
                          "same?");
}

bool Editor::WritePlan(const OpenFile& rom, const std::vector<PlannedWrite>& plan) {
    const std::string& romPath = m_state.RomPath;
    // The path must reach the handle before the first write and after each one: a file
    // renamed or copied over the ROM is not the one the user saves into, and the writes stop.
    auto stillAtPath = [&]() -> std::error_code {
        FileFacts atPath;
        if (auto error = StatPath(romPath, atPath)) {
            return error;
        }
        return atPath.identity == rom.Facts().identity
                   ? std::error_code()
                   : MakeErrorCode(FileFailure::OtherFileInPlace);
    };
    FileFacts before;
    const std::uint64_t sizeBefore = rom.Inspect(before) ? rom.Facts().size : before.size;
    auto fail = [&](const std::error_code& error, std::string more) {
        FileFacts after;
        if (!rom.Inspect(after) && after.size != sizeBefore) {
            more += " " + DescribeSizeChange(sizeBefore, after.size);
        }
        ReportFileFailure(FileAction::Save, romPath, error, more);
        return false;
    };
    if (auto error = stillAtPath()) {
        return fail(error, DescribePartialSave(plan, 0));
    }
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const std::uint8_t value = plan[i].value;
        if (auto error = rom.WriteAt(plan[i].offset, {&value, 1})) {
            if (error == MakeErrorCode(FileFailure::CutWhileWriting)) {
                Remember(plan[i]);
                ReportFileFailure(FileAction::Save, romPath, error,
                                  DescribeCutWhileWriting(rom, plan[i].offset, 1, sizeBefore));
                return false;
            }
            return fail(error, DescribePartialSave(plan, i));
        }
        Remember(plan[i]);
        if (auto error = stillAtPath()) {
            return fail(error, i + 1 == plan.size()
                                   ? "Every byte of this save went into the file that was "
                                     "opened, which that name no longer reaches."
                                   : DescribePartialSave(plan, i + 1) +
                                         " (This is in the file that was opened, which that "
                                         "name no longer reaches; the file now there was not "
                                         "written.)");
        }
    }
    // Success is claimed only for bytes that are on the disk.
    if (auto error = rom.Flush()) {
        return fail(error,
                    "Every byte of this save was written, but it may not have reached the disk. "
                    "Saving again writes all of it.");
    }
    FileFacts after;
    if (!rom.Inspect(after) && after.size != sizeBefore) {
        ShowMessage("Every byte of this save was written into \u201C" + DisplayName(romPath) +
                        "\u201D, but the file was not left alone: " +
                        DescribeSizeChange(sizeBefore, after.size) + " Check it before using it.",
                    MessageIcon::Error);
        return false;
    }
    return true;
}

void Editor::Remember(const PlannedWrite& write) {
    const TablePlaces& places = m_state.Tables.places;
    switch (write.part) {
        case SavePart::Move:
            m_asRead.move = write.value;
            break;
        case SavePart::Price:
            m_asRead.price[static_cast<std::size_t>(
                write.offset - PriceOffset(places, m_asRead.machine))] = write.value;
            break;
        case SavePart::SpeciesField:
            m_asRead.field[static_cast<std::size_t>(
                write.offset - CompatibilityByteOffset(places, m_asRead.species, 0))] = write.value;
            break;
    }
}

int Editor::MachineMove(int machine) const {
    if (!RomOpen() || !IsMachine(machine)) {
        return -1;
    }
    const SilentMessages silent;
    const std::string digits =
        ReadHexBytes(m_state.RomPath, MoveByteOffset(m_state.Tables.places, machine), 1);
    if (digits.size() != kDigitsPerByte) {
        return -1;
    }
    const auto move = static_cast<int>(HexToDecimal(digits));
    return IsMove(move) ? move : -1;
}

}  // namespace brindlewick
