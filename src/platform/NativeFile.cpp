#include "platform/NativeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/FileAccess.h"

namespace brindlewick {
namespace {

FileLayerTestHooks g_hooks;

std::error_code SystemError() {
    return {errno, std::generic_category()};
}

FileFacts FactsOf(const struct stat& status) {
    FileFacts facts;
    facts.regular = S_ISREG(status.st_mode);
    facts.ownerWritable = (status.st_mode & S_IWUSR) != 0;
    facts.permissions = static_cast<std::uint32_t>(status.st_mode & 07777);
    facts.size = status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    facts.identity = {static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)};
    return facts;
}

// An open descriptor that is closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    ~Descriptor() { static_cast<void>(Close()); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    std::error_code Open(const std::string& fileName, bool forWriting) {
        if (fileName.empty()) {
            return MakeErrorCode(FileFailure::NoFileName);
        }
        if (g_hooks.beforeOpen) {
            g_hooks.beforeOpen(fileName, forWriting);
        }
        // Without O_NONBLOCK an open of a FIFO waits for the other end forever; O_NOCTTY keeps
        // a terminal from becoming ours. Paths are UTF-8, which is what the system takes.
        const int flags = (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        do {
            m_fd = ::open(fileName.c_str(), flags);
        } while (m_fd < 0 && errno == EINTR);
        if (m_fd >= 0) {
            return {};
        }
        // A folder cannot be opened for writing, and a socket cannot be opened at all: both are
        // simply not files to the user.
        if (errno == EISDIR || errno == ENXIO) {
            return MakeErrorCode(FileFailure::NotAFile);
        }
        return SystemError();
    }

    std::error_code Stat(FileFacts& facts) const {
        struct stat status {};
        if (::fstat(m_fd, &status) != 0) {
            return SystemError();
        }
        facts = FactsOf(status);
        return {};
    }

    std::error_code ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got =
                ::pread(m_fd, bytes.data() + done, bytes.size() - done,
                        static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return SystemError();
            }
            if (got == 0) {
                // The file shrank between the fstat and the read.
                return MakeErrorCode(FileFailure::ReadPastEnd);
            }
            done += static_cast<std::size_t>(got);
        }
        return {};
    }

    std::error_code WriteAt(std::int64_t offset, std::span<const std::uint8_t> bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put =
                ::pwrite(m_fd, bytes.data() + done, bytes.size() - done,
                         static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put < 0) {
                return SystemError();
            }
            if (put == 0) {
                return MakeErrorCode(FileFailure::TransferFailed);
            }
            done += static_cast<std::size_t>(put);
        }
        return {};
    }

    std::error_code Flush() const {
        if (g_hooks.flushFailure) {
            return g_hooks.flushFailure;
        }
        int result = 0;
        do {
            result = ::fdatasync(m_fd);
        } while (result != 0 && errno == EINTR);
        return result == 0 ? std::error_code() : SystemError();
    }

    std::error_code Close() {
        if (m_fd < 0) {
            return {};
        }
        // The descriptor is gone after close whatever it answers, so it is never retried.
        const int result = ::close(std::exchange(m_fd, -1));
        return result == 0 || errno == EINTR ? std::error_code() : SystemError();
    }

private:
    int m_fd = -1;
};

bool Holds(const FileFacts& facts, std::int64_t offset, std::size_t count) {
    return offset >= 0 && static_cast<std::uint64_t>(offset) + count <= facts.size;
}

// Opens `fileName` for reading and inspects the handle once: `facts` takes what the fstat
// said, and only a regular file is accepted.
std::error_code OpenRegularForReading(const std::string& fileName, Descriptor& file,
                                      FileFacts& facts) {
    if (auto error = file.Open(fileName, false)) {
        return error;
    }
    if (auto error = file.Stat(facts)) {
        return error;
    }
    return facts.regular ? std::error_code{} : MakeErrorCode(FileFailure::NotAFile);
}

}  // namespace

std::error_code ReadFileBlocks(const std::string& fileName, std::span<const FileBlock> blocks,
                               FileFacts& facts) {
    Descriptor file;
    if (auto error = OpenRegularForReading(fileName, file, facts)) {
        return error;
    }
    for (const FileBlock& block : blocks) {
        if (!Holds(facts, block.offset, block.bytes.size())) {
            return MakeErrorCode(FileFailure::ReadPastEnd);
        }
    }
    for (const FileBlock& block : blocks) {
        if (auto error = file.ReadAt(block.offset, block.bytes)) {
            return error;
        }
    }
    return file.Close();
}

std::error_code ReadFileRange(const std::string& fileName, std::int64_t offset, std::size_t count,
                              std::vector<std::uint8_t>& bytes, FileFacts& facts) {
    Descriptor file;
    if (auto error = OpenRegularForReading(fileName, file, facts)) {
        return error;
    }
    if (!Holds(facts, offset, count)) {
        return MakeErrorCode(FileFailure::ReadPastEnd);
    }
    bytes.resize(count);
    if (auto error = file.ReadAt(offset, bytes)) {
        return error;
    }
    return file.Close();
}

std::error_code WriteFileBytesAt(const std::string& fileName, std::int64_t offset,
                                 std::span<const std::uint8_t> bytes, const WriteChecks& checks) {
    if (offset < 0) {
        return MakeErrorCode(FileFailure::OffsetOutOfRange);
    }
    if (checks.written != nullptr) {
        *checks.written = false;
    }
    Descriptor file;
    if (auto error = file.Open(fileName, true)) {
        return error;
    }
    FileFacts facts;
    if (auto error = file.Stat(facts)) {
        return error;
    }
    // Every check is made on the handle that is written through, so no rename, link or
    // truncation by path can slip in between the check and the write.
    if (checks.sameFileAs != nullptr && facts.identity != *checks.sameFileAs) {
        return MakeErrorCode(FileFailure::OtherFileInPlace);
    }
    if (!facts.regular) {
        return MakeErrorCode(FileFailure::NotAFile);
    }
    if (!Holds(facts, offset, bytes.size()) || facts.size < checks.mustHold) {
        return MakeErrorCode(FileFailure::WritePastEnd);
    }
    if (auto error = file.WriteAt(offset, bytes)) {
        return error;
    }
    if (checks.written != nullptr) {
        *checks.written = true;
    }
    if (checks.flush) {
        if (auto error = file.Flush()) {
            return error;
        }
    }
    // Some file systems (network ones) report a failed write only at the close.
    return file.Close();
}

std::error_code StatPath(const std::string& fileName, FileFacts& facts) {
    if (fileName.empty()) {
        return MakeErrorCode(FileFailure::NoFileName);
    }
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0) {
        return SystemError();
    }
    facts = FactsOf(status);
    return {};
}

std::error_code AddOwnerWrite(const std::string& fileName, const FileFacts& facts) {
    if (::chmod(fileName.c_str(), static_cast<mode_t>(facts.permissions | S_IWUSR)) != 0) {
        return SystemError();
    }
    return {};
}

FileLayerTestHooks SetFileLayerTestHooks(FileLayerTestHooks hooks) {
    return std::exchange(g_hooks, std::move(hooks));
}

}  // namespace brindlewick
