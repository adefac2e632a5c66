// The POSIX side of the file layer: OpenFile, StatPath, AddOwnerWrite and ReplaceFileContents
// over open (O_NONBLOCK | O_CLOEXEC | O_NOCTTY), fstat, pread, pwrite, fdatasync, fcntl
// (F_OFD_SETLK), rename, unlink, stat and chmod.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"

namespace brindlewick {
namespace {

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

int Fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}

std::error_code InspectFd(int fd, FileFacts& facts) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return SystemError();
    }
    facts = FactsOf(status);
    return {};
}

std::error_code WriteAll(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
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

std::error_code FlushFd(int fd) {
    if (FileLayerHooks().flushFailure) {
        return FileLayerHooks().flushFailure;
    }
    int result = 0;
    do {
        result = ::fdatasync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? std::error_code() : SystemError();
}

std::error_code CloseFd(int fd) {
    // The descriptor is gone after close whatever it answers, so it is never retried.
    const int result = ::close(fd);
    return result == 0 || errno == EINTR ? std::error_code() : SystemError();
}

// The folder that holds `target` and the name the new file gets there: hidden, beside the
// target, so that the rename stays on one file system. The name is short and of a fixed
// length, whatever the target's: a target whose name is as long as the system allows must
// still get a new file beside it.
std::string NewFileBeside(const std::string& target) {
    const auto slash = target.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    return folder + NewFileName();
}

std::string FolderOf(const std::string& target) {
    const auto slash = target.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : target.substr(0, slash);
}

// Refuses a target that exists and is not a regular file, or that is a protected file.
std::error_code CheckTarget(const std::string& target, std::span<const FileIdentity> protectedFiles,
                            FileFacts& facts, bool& exists) {
    facts = {};
    exists = false;
    if (auto error = StatPath(target, facts)) {
        return error == std::errc::no_such_file_or_directory ? std::error_code() : error;
    }
    exists = true;
    if (std::find(protectedFiles.begin(), protectedFiles.end(), facts.identity) !=
        protectedFiles.end()) {
        return MakeErrorCode(FileFailure::TargetIsRom);
    }
    return facts.regular ? std::error_code() : MakeErrorCode(FileFailure::NotAFile);
}

}  // namespace

bool OpenFile::IsOpen() const {
    return m_handle >= 0;
}

std::error_code OpenFile::Open(const std::string& fileName, Access access) {
    static_cast<void>(Close());
    m_fileName = fileName;
    m_facts = {};
    if (auto error = CheckFileName(fileName)) {
        return error;
    }
    const bool forWriting = access == Access::ReadWrite;
    if (FileLayerHooks().beforeOpen) {
        FileLayerHooks().beforeOpen(fileName, forWriting);
    }
    // Without O_NONBLOCK an open of a FIFO waits for the other end forever; O_NOCTTY keeps a
    // terminal from becoming ours. Paths are UTF-8, which is what the system takes.
    const int flags = (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = -1;
    do {
        fd = ::open(fileName.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A folder cannot be opened for writing, and a socket cannot be opened at all: both are
        // simply not files to the user.
        if (errno == EISDIR || errno == ENXIO) {
            return MakeErrorCode(FileFailure::NotAFile);
        }
        return SystemError();
    }
    m_handle = fd;
    if (auto error = InspectFd(fd, m_facts)) {
        static_cast<void>(Close());
        return error;
    }
    if (!m_facts.regular) {
        static_cast<void>(Close());
        return MakeErrorCode(FileFailure::NotAFile);
    }
    return {};
}

std::error_code OpenFile::Inspect(FileFacts& facts) const {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    return InspectFd(Fd(m_handle), facts);
}

std::error_code OpenFile::SizeNow(std::uint64_t& size) const {
    struct stat status {};
    if (!IsOpen() || ::fstat(Fd(m_handle), &status) != 0) {
        return IsOpen() ? std::error_code(errno, std::generic_category())
                        : std::make_error_code(std::errc::bad_file_descriptor);
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return {};
}

std::error_code OpenFile::ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    if (offset < 0) {
        return MakeErrorCode(FileFailure::OffsetOutOfRange);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(Fd(m_handle), bytes.data() + done, bytes.size() - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return SystemError();
        }
        if (got == 0) {
            // The file ends before the bytes: it was never that long, or it shrank.
            return MakeErrorCode(FileFailure::ReadPastEnd);
        }
        done += static_cast<std::size_t>(got);
    }
    return {};
}

std::error_code OpenFile::WriteWhole(std::int64_t offset,
                                     std::span<const std::uint8_t> bytes) const {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    return WriteAll(Fd(m_handle), offset, bytes);
}

std::error_code OpenFile::Lock(std::chrono::milliseconds wait) {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    // An open-file-description lock belongs to this handle, not to the process: a second
    // handle of the same program conflicts with it like another program does, and closing an
    // unrelated descriptor of the same file does not drop it.
    struct flock request {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0;  // the whole file, however long
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        if (::fcntl(Fd(m_handle), F_OFD_SETLK, &request) == 0) {
            return {};
        }
        if (errno == EINTR) {
            continue;
        }
        // A handle opened only for reading cannot take a write lock: take a shared one.
        if (errno == EBADF && request.l_type == F_WRLCK) {
            request.l_type = F_RDLCK;
            continue;
        }
        if (errno != EAGAIN && errno != EACCES) {
            return SystemError();
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return MakeErrorCode(FileFailure::Busy);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

std::error_code OpenFile::Flush() const {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    return FlushFd(Fd(m_handle));
}

std::error_code OpenFile::Close() {
    if (!IsOpen()) {
        return {};
    }
    return CloseFd(Fd(std::exchange(m_handle, -1)));
}

std::error_code StatPath(const std::string& fileName, FileFacts& facts) {
    if (auto error = CheckFileName(fileName)) {
        return error;
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

namespace {
// Whether the program was started with standard output closed (GuardStandardStreams).
bool g_outputClosed = false;
}  // namespace

void GuardStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        g_outputClosed = g_outputClosed || fd == STDOUT_FILENO;
        // The lowest free descriptor is this one.
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            static_cast<void>(::close(null));
        }
    }
}

std::error_code InspectStandardOutput(FileFacts& facts) {
    facts = {};
    if (g_outputClosed) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    return InspectFd(STDOUT_FILENO, facts);
}

std::error_code WriteStandardOutput(std::span<const std::uint8_t> bytes) {
    if (g_outputClosed) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0) {
            return SystemError();
        }
        done += static_cast<std::size_t>(put);
    }
    return {};
}

std::error_code ReplaceFileContents(const std::string& target, std::span<const std::uint8_t> bytes,
                                    std::span<const FileIdentity> protectedFiles) {
    if (auto error = CheckFileName(target)) {
        return error;
    }
    FileFacts old;
    bool exists = false;
    if (auto error = CheckTarget(target, protectedFiles, old, exists)) {
        return error;
    }
    // A new file of our own, created exclusively so that nothing already there is opened.
    std::string newFile;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        newFile = NewFileBeside(target);
        if (FileLayerHooks().beforeOpen) {
            FileLayerHooks().beforeOpen(newFile, true);
        }
        fd = ::open(newFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR) {
            return SystemError();
        }
    }
    if (fd < 0) {
        return SystemError();
    }
    auto abandon = [&](std::error_code error) {
        static_cast<void>(::close(fd));
        ::unlink(newFile.c_str());
        return error;
    };
    // The replacement keeps the permissions of the file it replaces.
    if (exists && ::fchmod(fd, static_cast<mode_t>(old.permissions)) != 0) {
        return abandon(SystemError());
    }
    if (FileLayerHooks().beforeWrite) {
        FileLayerHooks().beforeWrite(newFile, 0);
    }
    if (auto error = WriteAll(fd, 0, bytes)) {
        return abandon(error);
    }
    if (auto error = FlushFd(fd)) {
        return abandon(error);
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 && errno != EINTR) {
        const std::error_code error = SystemError();
        ::unlink(newFile.c_str());
        return error;
    }
    if (FileLayerHooks().beforeRename) {
        FileLayerHooks().beforeRename(newFile, target);
    }
    // Checked once more right before the rename: a ROM swapped in since the first check is
    // not replaced.
    if (auto error = CheckTarget(target, protectedFiles, old, exists)) {
        ::unlink(newFile.c_str());
        return error;
    }
    if (::rename(newFile.c_str(), target.c_str()) != 0) {
        const std::error_code error = SystemError();
        ::unlink(newFile.c_str());
        return error;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        static_cast<void>(::fsync(folder));
        static_cast<void>(::close(folder));
    }
    return {};
}

}  // namespace brindlewick
