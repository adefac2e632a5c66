#include "robust/RomModel.h"

#include <algorithm>

namespace brindlewick::test {
namespace {

constexpr std::size_t kRecordLength = 7;
constexpr std::size_t kSpeciesLength = 32;
constexpr std::size_t kFieldStart = 24;

}  // namespace

const std::array<ModelRelease, 18>& ModelReleases() {
    static const std::array<ModelRelease, 18> releases{{
        {"AAUE", 0x11A66, 0x51B0B, 0x6DD2, " Pok\u00E9mon Gold", "English"},
        {"AAXE", 0x11A66, 0x51B0B, 0x6D98, " Pok\u00E9mon Silver", "English"},
        {"BYTE", 0x1167A, 0x51424, 0x6CF3, " Pok\u00E9mon Crystal", "English"},
        {"AAUS", 0x11A79, 0x51B19, 0x6E1A, " Pok\u00E9mon Gold", "Spanish"},
        {"AAXS", 0x11A79, 0x51B19, 0x6DE2, " Pok\u00E9mon Silver", "Spanish"},
        {"BYTS", 0x1168D, 0x5142D, 0x6D12, " Pok\u00E9mon Crystal", "Spanish"},
        {"AAUJ", 0x11A00, 0x51AA9, 0x70C5, " Pok\u00E9mon Gold", "Japanese"},
        {"AAXJ", 0x11A00, 0x51AA9, 0x708A, " Pok\u00E9mon Silver", "Japanese"},
        {"BXTJ", 0x11614, 0x514BA, 0x6F2C, " Pok\u00E9mon Crystal", "Japanese"},
        {"AAUD", 0x11A5D, 0x51B00, 0x6E09, " Pok\u00E9mon Gold", "German"},
        {"AAXD", 0x11A5D, 0x51B00, 0x6DD0, " Pok\u00E9mon Silver", "German"},
        {"BYTD", 0x11671, 0x5140E, 0x6D14, " Pok\u00E9mon Crystal", "German"},
        {"AAUF", 0x11A65, 0x51B10, 0x6E07, " Pok\u00E9mon Gold", "French"},
        {"AAXF", 0x11A65, 0x51B10, 0x6DCD, " Pok\u00E9mon Silver", "French"},
        {"BYTF", 0x11679, 0x51417, 0x6D0D, " Pok\u00E9mon Crystal", "French"},
        {"AAUI", 0x11A65, 0x51B19, 0x6E04, " Pok\u00E9mon Gold", "Italian"},
        {"AAXI", 0x11A65, 0x51B19, 0x6DCA, " Pok\u00E9mon Silver", "Italian"},
        {"BYTI", 0x11679, 0x51433, 0x6D0C, " Pok\u00E9mon Crystal", "Italian"},
    }};
    return releases;
}

const ModelRelease* FindModelRelease(std::string_view code) {
    for (const ModelRelease& release : ModelReleases()) {
        if (code == release.code) {
            return &release;
        }
    }
    return nullptr;
}

std::size_t ModelMoveAddress(const ModelRelease& release, int machine) {
    return release.moves + static_cast<std::size_t>(machine);
}

std::size_t ModelPriceAddress(const ModelRelease& release, int machine) {
    // TM01..TM04 use records 0..3, TM05..TM28 records 5..28, TM29..HM07 records 30..58.
    std::size_t record = static_cast<std::size_t>(machine);
    if (machine >= 4) {
        ++record;
    }
    if (machine >= 28) {
        ++record;
    }
    return release.prices + kRecordLength * record;
}

std::size_t ModelFieldAddress(const ModelRelease& release, int species, int fieldByte) {
    return release.baseStats + kSpeciesLength * static_cast<std::size_t>(species) + kFieldStart +
           static_cast<std::size_t>(fieldByte);
}

std::size_t ModelHighestSavedAddress(const ModelRelease& release, int machine, int species,
                                     bool withMove) {
    std::size_t highest =
        std::max(ModelPriceAddress(release, machine) + 1, ModelFieldAddress(release, species, 7));
    if (withMove) {
        highest = std::max(highest, ModelMoveAddress(release, machine));
    }
    return highest;
}

std::optional<std::string> ModelGameCode(const Bytes& bytes) {
    if (bytes.size() < kCodeAt + 4) {
        return std::nullopt;
    }
    return std::string(bytes.begin() + kCodeAt, bytes.begin() + kCodeAt + 4);
}

void ModelApplySave(Bytes& bytes, const ModelRelease& release, int machine, int species,
                    const ModelShown& shown) {
    if (shown.move >= 0) {
        bytes.at(ModelMoveAddress(release, machine)) = static_cast<std::uint8_t>(shown.move);
    }
    for (int fieldByte = 0; fieldByte < 8; ++fieldByte) {
        std::uint8_t value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int box = fieldByte * 8 + bit;
            if (box < kModelMachines && shown.checks[static_cast<std::size_t>(box)]) {
                value = static_cast<std::uint8_t>(value | (1u << bit));
            }
        }
        std::uint8_t& stored = bytes.at(ModelFieldAddress(release, species, fieldByte));
        // The last byte carries HM07 in bit 0; its other bits stay as the file holds them.
        stored = fieldByte == 7 ? static_cast<std::uint8_t>((stored & 0xFE) | value) : value;
    }
    const std::size_t price = ModelPriceAddress(release, machine);
    bytes.at(price) = static_cast<std::uint8_t>(shown.price & 0xFF);
    bytes.at(price + 1) = static_cast<std::uint8_t>(shown.price >> 8);
}

std::string ModelPriceRule(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    if (digits.empty()) {
        return "0";
    }
    const auto significant = digits.find_first_not_of('0');
    if (significant != std::string::npos) {
        const std::string value = digits.substr(significant);
        if (value.size() > 5 || (value.size() == 5 && value > "65535")) {
            return "65535";
        }
    }
    return digits;
}

}  // namespace brindlewick::test
