#include "support/TestSupport.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>

#include "platform/FileAccess.h"

namespace brindlewick::test {

TempDir::TempDir() {
    static std::mt19937_64 generator{std::random_device{}()};
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("brindlewick-test-" + std::to_string(generator()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests may leave folders without permissions behind; give them back before removal.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_path, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(
            it->path(), std::filesystem::perms::owner_all,
            std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow, ignored);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::File(std::string_view name) const {
    const auto path = m_path / PathFromUtf8(std::string(name));
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}

std::vector<std::string> FolderEntries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        const auto name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Bytes SyntheticRomBytes(std::string_view gameCode, std::size_t size) {
    Bytes bytes(size);
    std::uint32_t state = 0x9E3779B9u;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    for (std::size_t i = 0; i < gameCode.size() && kGameCodeAt + i < size; ++i) {
        bytes[kGameCodeAt + i] = static_cast<std::uint8_t>(gameCode[i]);
    }
    return bytes;
}

std::string MakeSyntheticRom(const TempDir& dir, std::string_view gameCode, std::string_view name,
                             std::size_t size) {
    const auto path = dir.File(name);
    WriteFileBytes(path, SyntheticRomBytes(gameCode, size));
    return path;
}

SyntheticRom::SyntheticRom(const Release& release, std::size_t size)
    : m_release(&release), m_bytes(SyntheticRomBytes(release.code, size)) {}

SyntheticRom& SyntheticRom::Move(int machine, int move) {
    m_bytes.at(MoveAt(*m_release, machine)) = static_cast<std::uint8_t>(move);
    return *this;
}

SyntheticRom& SyntheticRom::Price(int machine, int price) {
    PutPrice(m_bytes, PriceAt(*m_release, machine), price);
    return *this;
}

SyntheticRom& SyntheticRom::RecordPrice(int record, int price) {
    PutPrice(m_bytes, PriceRecordAt(*m_release, record), price);
    return *this;
}

SyntheticRom& SyntheticRom::Field(int species, const Bytes& field) {
    for (int j = 0; j < kFieldLength; ++j) {
        m_bytes.at(FieldAt(*m_release, species, j)) = field.at(static_cast<std::size_t>(j));
    }
    return *this;
}

SyntheticRom& SyntheticRom::Compatible(int species, std::initializer_list<int> machines) {
    Bytes field(kFieldLength, 0);
    for (const int machine : machines) {
        field.at(static_cast<std::size_t>(FieldByteOf(machine))) |= MaskOf(machine);
    }
    return Field(species, field);
}

int SyntheticRom::RecordPriceIn(int record) const {
    return PriceIn(m_bytes, PriceRecordAt(*m_release, record));
}

std::string SyntheticRom::WriteTo(const TempDir& dir, std::string_view name) const {
    const auto path = dir.File(name);
    WriteFileBytes(path, m_bytes);
    return path;
}

int PriceIn(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | (bytes.at(at + 1) << 8);
}

void PutPrice(Bytes& bytes, std::size_t at, int price) {
    bytes.at(at) = static_cast<std::uint8_t>(price & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(price >> 8);
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    in.seekg(0, std::ios::end);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return bytes;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::size_t> DifferingOffsets(const Bytes& before, const Bytes& after) {
    std::vector<std::size_t> offsets;
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (before[i] != after[i]) {
            offsets.push_back(i);
        }
    }
    return offsets;
}

RecordingSink::RecordingSink() : m_previous(SetMessageSink(this)) {}

RecordingSink::~RecordingSink() {
    SetMessageSink(m_previous);
}

FileLayerTestHooks BeforeWrite(int n, std::function<void()> step) {
    FileLayerTestHooks hooks;
    auto count = std::make_shared<int>(0);
    hooks.beforeWrite = [=](const std::string&, std::int64_t) {
        if (++*count == n) {
            step();
        }
    };
    return hooks;
}

}  // namespace brindlewick::test
