#include "support/PatchReaders.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace brindlewick::test {
namespace {

std::uint32_t ZlibCrc(const std::uint8_t* bytes, std::size_t length) {
    return static_cast<std::uint32_t>(crc32_z(0, bytes, length));
}

// Reads a patch front to back; any read past its end makes it malformed.
class Reader {
public:
    Reader(const Bytes& bytes, std::size_t end) : m_bytes(bytes), m_end(end) {}

    bool Ok() const { return m_ok; }
    std::size_t At() const { return m_at; }

    std::uint8_t Byte() {
        if (m_at >= m_end) {
            m_ok = false;
            return 0;
        }
        return m_bytes[m_at++];
    }

    // A BPS number: seven bits a group, lowest first, bit 7 marking the last group; each group
    // that is not the last stands for one more than its bits say.
    std::uint64_t Number() {
        std::uint64_t value = 0;
        std::uint64_t shift = 1;
        for (int groups = 0; groups < 10 && m_ok; ++groups) {
            const std::uint8_t x = Byte();
            value += (x & 0x7F) * shift;
            if ((x & 0x80) != 0) {
                return value;
            }
            shift <<= 7;
            value += shift;
        }
        m_ok = false;
        return 0;
    }

    std::uint64_t BigEndian(int bytes) {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = value << 8 | Byte();
        }
        return value;
    }

    std::uint32_t LittleEndian32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        return value;
    }

    bool Text(const char* text) {
        for (const char* c = text; *c != '\0'; ++c) {
            if (Byte() != static_cast<std::uint8_t>(*c)) {
                m_ok = false;
            }
        }
        return m_ok;
    }

private:
    const Bytes& m_bytes;
    std::size_t m_end;
    std::size_t m_at = 0;
    bool m_ok = true;
};

constexpr std::size_t kBpsFooter = 12;

}  // namespace

std::optional<Bytes> ApplyBps(const Bytes& source, const Bytes& patch) {
    if (patch.size() < 4 + kBpsFooter) {
        return std::nullopt;
    }
    const std::size_t actionsEnd = patch.size() - kBpsFooter;
    Reader in(patch, actionsEnd);
    if (!in.Text("BPS1")) {
        return std::nullopt;
    }
    const std::uint64_t sourceSize = in.Number();
    const std::uint64_t targetSize = in.Number();
    const std::uint64_t metadataSize = in.Number();
    for (std::uint64_t i = 0; i < metadataSize && in.Ok(); ++i) {
        in.Byte();
    }
    if (!in.Ok() || sourceSize != source.size() || targetSize > (64u << 20)) {
        return std::nullopt;
    }
    Bytes target(static_cast<std::size_t>(targetSize));
    std::uint64_t out = 0;
    std::int64_t sourceRelative = 0;
    std::int64_t targetRelative = 0;
    while (in.Ok() && in.At() < actionsEnd) {
        const std::uint64_t action = in.Number();
        const std::uint64_t kind = action & 3;
        const std::uint64_t length = (action >> 2) + 1;
        if (!in.Ok() || out + length > targetSize) {
            return std::nullopt;
        }
        switch (kind) {
            case 0:  // SourceRead: the source's bytes where the target stands
                if (out + length > source.size()) {
                    return std::nullopt;
                }
                std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(out), length,
                            target.begin() + static_cast<std::ptrdiff_t>(out));
                out += length;
                break;
            case 1:  // TargetRead: the patch's own bytes
                for (std::uint64_t i = 0; i < length; ++i) {
                    target[out++] = in.Byte();
                }
                break;
            case 2:    // SourceCopy: from anywhere in the source, moved by a signed offset
            case 3: {  // TargetCopy: from what the target already holds
                const std::uint64_t data = in.Number();
                const auto offset = static_cast<std::int64_t>(data >> 1);
                std::int64_t& relative = kind == 2 ? sourceRelative : targetRelative;
                relative += (data & 1) != 0 ? -offset : offset;
                for (std::uint64_t i = 0; i < length; ++i) {
                    if (relative < 0 ||
                        (kind == 2 ? static_cast<std::uint64_t>(relative) >= source.size()
                                   : static_cast<std::uint64_t>(relative) >= out)) {
                        return std::nullopt;
                    }
                    target[out++] = kind == 2 ? source[static_cast<std::size_t>(relative)]
                                              : target[static_cast<std::size_t>(relative)];
                    ++relative;
                }
                break;
            }
            default:
                return std::nullopt;
        }
    }
    if (!in.Ok() || in.At() != actionsEnd || out != targetSize) {
        return std::nullopt;
    }
    Reader footer(patch, patch.size());
    for (std::size_t i = 0; i < actionsEnd; ++i) {
        footer.Byte();
    }
    const std::uint32_t sourceCrc = footer.LittleEndian32();
    const std::uint32_t targetCrc = footer.LittleEndian32();
    const std::uint32_t patchCrc = footer.LittleEndian32();
    if (sourceCrc != ZlibCrc(source.data(), source.size()) ||
        targetCrc != ZlibCrc(target.data(), target.size()) ||
        patchCrc != ZlibCrc(patch.data(), patch.size() - 4)) {
        return std::nullopt;
    }
    return target;
}

std::optional<Bytes> ApplyIps(const Bytes& source, const Bytes& patch) {
    Reader in(patch, patch.size());
    if (!in.Text("PATCH")) {
        return std::nullopt;
    }
    Bytes target = source;
    for (;;) {
        const std::uint64_t offset = in.BigEndian(3);
        if (!in.Ok()) {
            return std::nullopt;  // no end marker
        }
        if (offset == 0x454F46) {  // "EOF"
            break;
        }
        std::uint64_t length = in.BigEndian(2);
        std::optional<std::uint8_t> runValue;
        if (length == 0) {  // a run of one value
            length = in.BigEndian(2);
            runValue = in.Byte();
        }
        if (!in.Ok()) {
            return std::nullopt;
        }
        if (offset + length > target.size()) {
            target.resize(static_cast<std::size_t>(offset + length));
        }
        for (std::uint64_t i = 0; i < length; ++i) {
            target[static_cast<std::size_t>(offset + i)] = runValue ? *runValue : in.Byte();
        }
        if (!in.Ok()) {
            return std::nullopt;
        }
    }
    // An extension: the target's length after the end marker.
    if (patch.size() - in.At() == 3) {
        target.resize(static_cast<std::size_t>(in.BigEndian(3)));
    } else if (in.At() != patch.size()) {
        return std::nullopt;
    }
    return target;
}

}  // namespace brindlewick::test
