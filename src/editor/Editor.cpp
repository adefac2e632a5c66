#include "editor/Editor.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "convert/HexDigits.h"
#include "convert/HexFunctions.h"
#include "convert/ReverseString.h"
#include "convert/modConv.h"
#include "editor/PriceField.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/GameCode.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"

namespace brindlewick {
namespace {

constexpr const char* kBadPriceMessage = "The price must be a whole number from 0 to 65535.";
constexpr std::size_t kBitsPerByte = 8;
constexpr std::size_t kDigitsPerByte = 2;

// The compatibility field as eight strings of binary digits, each ordered bit 0 first like
// the check boxes.
using FieldDigits = std::array<std::string, kCompatibilityFieldLength>;

bool IsMachine(int machine) {
    return machine >= 0 && machine < kMachineCount;
}
bool IsSpecies(int species) {
    return species >= 0 && species < kSpeciesCount;
}
bool IsMove(int move) {
    return move >= 0 && move < kMoveCount;
}

std::string PadLeft(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

// One byte of the file as binary digits, bit 0 first; "" when the read failed (reported).
std::string ReadBitsBitZeroFirst(const std::string& romPath, std::int32_t offset) {
    return ReverseString(HexToBinary(ReadHexBytes(romPath, offset, 1)));
}

// One byte to write, from its binary digits in bit-0-first order.
std::string ByteFromBitZeroFirst(const std::string& digits) {
    return PadLeft(BinaryToHex(ReverseString(digits)), kDigitsPerByte);
}

struct ByteWrite {
    std::int32_t offset;
    std::string hexText;
};

}  // namespace

Editor::Editor(EditorView& view) : m_view(view) {}

void Editor::OpenRom() {
    const std::string path =
        m_view.AskForFileToOpen(kOpenDialogTitle, kOpenDialogFilter, kOpenDialogFlags);
    if (path.empty()) {
        return;
    }

    // The attributes are reset before identification, so a refused file is left writable
    // too. Nothing of the editor state has changed yet, so a failure here leaves the ROM
    // opened before in force.
    if (const auto error = MakeWritable(path)) {
        ReportFileFailure(error);
        return;
    }

    const RomProfile* profile = nullptr;
    std::string gameCode;
    switch (ReadGameCode(path, gameCode)) {
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
    // An image cut short before the end of its tables is refused as a whole, with one
    // message, rather than opened to a burst of failing reads.
    std::uintmax_t size = 0;
    if (const auto error = RegularFileSize(path, size)) {
        ReportFileFailure(error);
        return;
    }
    if (size < static_cast<std::uintmax_t>(TablesEnd(*profile))) {
        ReportFileFailure(MakeErrorCode(FileFailure::FileTooShort));
        return;
    }

    m_view.ShowRomInformation(profile->gameName, profile->gameCode, profile->language);
    m_view.SetCaption(profile->windowTitle);
    m_state.TmMovesOffset = profile->TmMovesOffset;
    m_state.BaseStatsOffset = profile->BaseStatsOffset;
    m_state.TmPricesOffset = profile->TmPricesOffset;
    // The path is taken only together with the offsets of its own release: a cancelled or
    // refused open must never leave one file addressed with another release's offsets.
    m_state.RomPath = path;

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

    // The move digits are held at a fixed width of two: a failed read leaves two blanks,
    // which HexToDecimal reports as not hexadecimal and answers with 0, "N/A".
    std::string moveDigits =
        ReadHexBytes(m_state.RomPath, MoveByteOffset(m_state.TmMovesOffset, machine), 1);
    moveDigits.resize(kDigitsPerByte, ' ');
    const auto move = static_cast<int>(HexToDecimal(moveDigits));
    // A stored byte of 252..255 names no move of the list; no selection is shown for it, and
    // a save then leaves that byte as it is.
    m_view.SetMoveIndex(IsMove(move) ? move : -1);

    // The price is little-endian in the file; HexToDecimal wants the high byte first. A
    // failed read yields no digits, which convert to 0.
    const std::string priceDigits =
        ReadHexBytes(m_state.RomPath, PriceOffset(m_state.TmPricesOffset, machine), kPriceLength);
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

    // Every selection reads the field anew; an unsaved tick of another species is dropped.
    FieldDigits digits;
    for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
        digits[fieldByte] = ReadBitsBitZeroFirst(
            m_state.RomPath,
            CompatibilityByteOffset(m_state.BaseStatsOffset, m_state.SelectedSpecies, fieldByte));
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const MachineBit position = BitOfMachine(machine);
        const std::string& byteDigits = digits[position.fieldByte];
        // A byte whose read failed has no digits: its boxes show clear.
        const bool learnable = byteDigits.size() == kBitsPerByte && byteDigits[position.bit] == '1';
        m_view.SetMachineChecked(machine, learnable);
    }
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

    // Everything is checked before the first byte is written, so a refused save leaves the
    // file exactly as it was.
    const std::optional<int> price = ParsePrice(m_view.PriceText());
    if (!price) {
        ShowMessage(kBadPriceMessage, MessageIcon::Error);
        return;
    }
    const int move = m_view.MoveIndex();
    const std::int32_t moveOffset = MoveByteOffset(m_state.TmMovesOffset, machine);
    const std::int32_t priceOffset = PriceOffset(m_state.TmPricesOffset, machine);
    std::array<std::int32_t, kCompatibilityFieldLength> fieldOffsets{};
    for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
        fieldOffsets[fieldByte] =
            CompatibilityByteOffset(m_state.BaseStatsOffset, species, fieldByte);
    }

    std::int32_t highestOffset =
        std::max(priceOffset + kPriceLength - 1,
                 *std::max_element(fieldOffsets.begin(), fieldOffsets.end()));
    if (IsMove(move)) {
        highestOffset = std::max(highestOffset, moveOffset);
    }
    if (const auto error =
            CheckWritableFile(m_state.RomPath, static_cast<std::uintmax_t>(highestOffset) + 1)) {
        ReportFileFailure(error);
        return;
    }
    // Another program may have put a different image in the ROM's place since it was opened:
    // a copy over it, or a link to another file. The offsets belong to the release identified
    // at the open, so the file must still hold a release whose tables lie there.
    std::string gameCode;
    const GameCodeRead codeRead = ReadGameCode(m_state.RomPath, gameCode);
    if (codeRead == GameCodeRead::Failed) {
        return;
    }
    const RomProfile* profile = codeRead == GameCodeRead::Read ? Identify(gameCode) : nullptr;
    if (profile == nullptr || profile->TmMovesOffset != m_state.TmMovesOffset ||
        profile->BaseStatsOffset != m_state.BaseStatsOffset ||
        profile->TmPricesOffset != m_state.TmPricesOffset) {
        ReportFileFailure(MakeErrorCode(FileFailure::RomReplaced));
        return;
    }

    // Bits 1..7 of the last field byte stand for no machine but carry data of their own (the
    // move tutor in Crystal), so they are kept as the file holds them; the boxes set only the
    // machine bits.
    FieldDigits digits;
    digits.fill(std::string(kBitsPerByte, '0'));
    digits[kLastFieldByte] = ReadBitsBitZeroFirst(m_state.RomPath, fieldOffsets[kLastFieldByte]);
    if (digits[kLastFieldByte].size() != kBitsPerByte) {
        return;
    }
    for (int box = 0; box < kMachineCount; ++box) {
        const MachineBit position = BitOfMachine(box);
        digits[position.fieldByte][position.bit] = m_view.MachineChecked(box) ? '1' : '0';
    }

    std::vector<ByteWrite> writes;
    // No move is shown when the stored byte names none; that byte is then left alone.
    if (IsMove(move)) {
        writes.push_back({moveOffset, HexText(static_cast<unsigned>(move), kDigitsPerByte)});
    }
    for (int fieldByte = 0; fieldByte < kCompatibilityFieldLength; ++fieldByte) {
        writes.push_back({fieldOffsets[fieldByte], ByteFromBitZeroFirst(digits[fieldByte])});
    }
    // File order is low byte first.
    const std::string priceBytes =
        ReverseHexBytes(HexText(static_cast<unsigned>(*price), kPriceLength * kDigitsPerByte));
    writes.push_back({priceOffset, priceBytes.substr(0, kDigitsPerByte)});
    writes.push_back({priceOffset + 1, priceBytes.substr(kDigitsPerByte, kDigitsPerByte)});

    for (const ByteWrite& write : writes) {
        // The failed write has shown its own message; that stays the last word.
        if (!TryWriteHexBytes(m_state.RomPath, write.offset, write.hexText)) {
            return;
        }
    }
    ShowMessage(kSaveSucceededMessage, MessageIcon::Information);
}

namespace {

// Holds every message back while it lives.
class SilentMessages final : public MessageSink {
public:
    SilentMessages() : m_previous(SetMessageSink(this)) {}
    ~SilentMessages() override { SetMessageSink(m_previous); }
    SilentMessages(const SilentMessages&) = delete;
    SilentMessages& operator=(const SilentMessages&) = delete;
    void Show(const Message& /*message*/) override {}

private:
    MessageSink* m_previous;
};

}  // namespace

int Editor::MachineMove(int machine) const {
    if (!RomOpen() || !IsMachine(machine)) {
        return -1;
    }
    const SilentMessages silent;
    const std::string digits =
        ReadHexBytes(m_state.RomPath, MoveByteOffset(m_state.TmMovesOffset, machine), 1);
    if (digits.size() != kDigitsPerByte) {
        return -1;
    }
    const auto move = static_cast<int>(HexToDecimal(digits));
    return IsMove(move) ? move : -1;
}

}  // namespace brindlewick
