// The Windows side of the file layer: OpenFile, StatPath, AddOwnerWrite and ReplaceFileContents
// over CreateFileW, GetFileType, GetFileInformationByHandle, ReadFile and WriteFile at OVERLAPPED
// offsets, FlushFileBuffers, LockFileEx, MoveFileExW and SetFileAttributesW. Paths arrive as
// UTF-8 and reach the system as UTF-16; an absolute path gets the \\?\ prefix, so a folder
// deeper than MAX_PATH characters works too. Failures carry the system's own error number and
// text (std::system_category, whose message is FormatMessage's).
#include <windows.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"

namespace brindlewick {
namespace {

std::error_code SystemError(DWORD code = ::GetLastError()) {
    return {static_cast<int>(code), std::system_category()};
}

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// UTF-8 to UTF-16; false when the text is not valid UTF-8.
bool Widen(const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) {
        return true;
    }
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(length));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                 static_cast<int>(text.size()), wide.data(), length) == length;
}

// The path as the system's wide calls take it: made absolute (which also resolves "." and
// "..", something the \\?\ form no longer does) and prefixed with \\?\ so that its length is
// not limited to MAX_PATH. A device path (\\.\, "NUL", "COM1") is left as the system names it.
std::error_code NativePath(const std::string& fileName, std::wstring& native) {
    std::wstring wide;
    if (!Widen(fileName, wide)) {
        return SystemError(ERROR_NO_UNICODE_TRANSLATION);
    }
    if (wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0) {
        native = wide;
        return {};
    }
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return SystemError();
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return SystemError(length == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE);
    }
    full.resize(length);
    if (full.rfind(L"\\\\.\\", 0) == 0) {
        native = full;
    } else if (full.rfind(L"\\\\", 0) == 0) {
        native = L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share\...
    } else {
        native = L"\\\\?\\" + full;
    }
    return {};
}

FileFacts FactsOf(const BY_HANDLE_FILE_INFORMATION& information, DWORD type) {
    FileFacts facts;
    facts.regular =
        type == FILE_TYPE_DISK && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    facts.ownerWritable = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    // Windows has one read-only attribute where POSIX has permission bits; they are told in
    // the bits' terms so that the core reads them alike.
    facts.permissions = facts.ownerWritable ? 0666 : 0444;
    facts.size =
        (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    facts.identity = {
        information.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    return facts;
}

std::error_code InspectHandle(HANDLE handle, FileFacts& facts) {
    ::SetLastError(NO_ERROR);
    const DWORD type = ::GetFileType(handle);
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR) {
        return SystemError();
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (type != FILE_TYPE_DISK) {
        // A console, a printer port or a pipe has no file information worth the name.
        facts = {};
        return {};
    }
    if (!::GetFileInformationByHandle(handle, &information)) {
        return SystemError();
    }
    facts = FactsOf(information, type);
    return {};
}

OVERLAPPED At(std::int64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return position;
}

// The most one ReadFile or WriteFile call moves here.
constexpr std::size_t kMaxTransfer = 1u << 30;

std::error_code WriteAll(HANDLE handle, std::int64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED position = At(offset + static_cast<std::int64_t>(done));
        const auto count = static_cast<DWORD>(std::min(bytes.size() - done, kMaxTransfer));
        DWORD put = 0;
        if (!::WriteFile(handle, bytes.data() + done, count, &put, &position)) {
            return SystemError();
        }
        if (put == 0) {
            return MakeErrorCode(FileFailure::TransferFailed);
        }
        done += put;
    }
    return {};
}

std::error_code FlushHandle(HANDLE handle) {
    if (FileLayerHooks().flushFailure) {
        return FileLayerHooks().flushFailure;
    }
    return ::FlushFileBuffers(handle) ? std::error_code() : SystemError();
}

std::error_code CloseHandleOnce(HANDLE handle) {
    return ::CloseHandle(handle) ? std::error_code() : SystemError();
}

// Where the folder part of a path ends: after its last '/' or '\', or 0.
std::size_t NameStart(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

// The name the new file gets beside the target, so that the rename stays on one volume. It is
// short and of a fixed length, so that a target whose name is as long as the system allows
// still gets a new file beside it.
std::string NewFileBeside(const std::string& target) {
    return target.substr(0, NameStart(target)) + NewFileName();
}

// Refuses a target that exists and is not a regular file, or that is a protected file.
std::error_code CheckTarget(const std::string& target, std::span<const FileIdentity> protectedFiles,
                            bool& exists) {
    exists = false;
    FileFacts facts;
    if (auto error = StatPath(target, facts)) {
        return error == SystemError(ERROR_FILE_NOT_FOUND) ? std::error_code() : error;
    }
    exists = true;
    if (std::find(protectedFiles.begin(), protectedFiles.end(), facts.identity) !=
        protectedFiles.end()) {
        return MakeErrorCode(FileFailure::TargetIsRom);
    }
    return facts.regular ? std::error_code() : MakeErrorCode(FileFailure::NotAFile);
}

bool IsFolder(const std::wstring& native) {
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool OpenFile::IsOpen() const {
    return m_handle != -1;
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
    std::wstring native;
    if (auto error = NativePath(fileName, native)) {
        return error;
    }
    // Other programs may go on reading, writing, renaming and deleting the file while it is
    // open, as they can on POSIX; only the lock keeps another writer of ours out.
    const HANDLE handle =
        ::CreateFileW(native.c_str(), GENERIC_READ | (forWriting ? GENERIC_WRITE : 0),
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        // A folder is refused with "access denied", as is a read-only file opened for writing;
        // only the folder is simply not a file to the user.
        if (code == ERROR_ACCESS_DENIED && IsFolder(native)) {
            return MakeErrorCode(FileFailure::NotAFile);
        }
        // A named pipe with no free instance.
        if (code == ERROR_PIPE_BUSY) {
            return MakeErrorCode(FileFailure::NotAFile);
        }
        return SystemError(code);
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    if (auto error = InspectHandle(handle, m_facts)) {
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
        return SystemError(ERROR_INVALID_HANDLE);
    }
    return InspectHandle(Handle(m_handle), facts);
}

std::error_code OpenFile::SizeNow(std::uint64_t& size) const {
    if (!IsOpen()) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    LARGE_INTEGER now{};
    if (!::GetFileSizeEx(Handle(m_handle), &now)) {
        return SystemError();
    }
    size = static_cast<std::uint64_t>(now.QuadPart);
    return {};
}

std::error_code OpenFile::ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const {
    if (!IsOpen()) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    if (offset < 0) {
        return MakeErrorCode(FileFailure::OffsetOutOfRange);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED position = At(offset + static_cast<std::int64_t>(done));
        const auto count = static_cast<DWORD>(std::min(bytes.size() - done, kMaxTransfer));
        DWORD got = 0;
        if (!::ReadFile(Handle(m_handle), bytes.data() + done, count, &got, &position)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_HANDLE_EOF) {
                return MakeErrorCode(FileFailure::ReadPastEnd);
            }
            return SystemError(code);
        }
        if (got == 0) {
            // The file ends before the bytes: it was never that long, or it shrank.
            return MakeErrorCode(FileFailure::ReadPastEnd);
        }
        done += got;
    }
    return {};
}

std::error_code OpenFile::WriteWhole(std::int64_t offset,
                                     std::span<const std::uint8_t> bytes) const {
    if (!IsOpen()) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    return WriteAll(Handle(m_handle), offset, bytes);
}

std::error_code OpenFile::Lock(std::chrono::milliseconds wait) {
    if (!IsOpen()) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    // The lock belongs to this handle: a second handle of the same program conflicts with it
    // like another program does. Windows locks are mandatory: while it is held, reads and
    // writes of the range through other handles fail as well.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        OVERLAPPED whole{};
        if (::LockFileEx(Handle(m_handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                         MAXDWORD, MAXDWORD, &whole)) {
            return {};
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
            return SystemError(code);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return MakeErrorCode(FileFailure::Busy);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

std::error_code OpenFile::Flush() const {
    if (!IsOpen()) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    return FlushHandle(Handle(m_handle));
}

std::error_code OpenFile::Close() {
    if (!IsOpen()) {
        return {};
    }
    // Closing the handle releases its lock as well.
    return CloseHandleOnce(Handle(std::exchange(m_handle, -1)));
}

std::error_code StatPath(const std::string& fileName, FileFacts& facts) {
    if (auto error = CheckFileName(fileName)) {
        return error;
    }
    std::wstring native;
    if (auto error = NativePath(fileName, native)) {
        return error;
    }
    // Opened for no access at all: only to ask what it is. The backup flag lets a folder be
    // opened, so that it is told apart from a file rather than refused.
    const HANDLE handle =
        ::CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return SystemError();
    }
    const std::error_code error = InspectHandle(handle, facts);
    ::CloseHandle(handle);
    return error;
}

std::error_code AddOwnerWrite(const std::string& fileName, const FileFacts& /*facts*/) {
    std::wstring native;
    if (auto error = NativePath(fileName, native)) {
        return error;
    }
    // Only the read-only attribute is cleared; hidden, system and archive stay as they are.
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return SystemError();
    }
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (!::SetFileAttributesW(native.c_str(), writable == 0 ? FILE_ATTRIBUTE_NORMAL : writable)) {
        return SystemError();
    }
    return {};
}

void GuardStandardStreams() {
    // A Windows program started without a standard handle has none to lose: files it opens
    // get handles of their own, never the standard ones.
}

std::error_code InspectStandardOutput(FileFacts& facts) {
    facts = {};
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    if (InspectHandle(output, facts)) {
        // Some hosts (Wine, for a redirection to a file of its own system) hand out a standard
        // handle that writes but tells nothing about its file. Such an output cannot be told
        // from any other, so it is written as a stream is: the handle itself still works.
        facts = {};
    }
    return {};
}

std::error_code WriteStandardOutput(std::span<const std::uint8_t> bytes) {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        return SystemError(ERROR_INVALID_HANDLE);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto count = static_cast<DWORD>(std::min(bytes.size() - done, kMaxTransfer));
        DWORD put = 0;
        // Standard output may be a file opened for appending or at any position: it is
        // written where it stands, not at an offset of ours.
        if (!::WriteFile(output, bytes.data() + done, count, &put, nullptr)) {
            return SystemError();
        }
        if (put == 0) {
            return MakeErrorCode(FileFailure::TransferFailed);
        }
        done += put;
    }
    return {};
}

std::error_code ReplaceFileContents(const std::string& target, std::span<const std::uint8_t> bytes,
                                    std::span<const FileIdentity> protectedFiles) {
    if (auto error = CheckFileName(target)) {
        return error;
    }
    bool exists = false;
    if (auto error = CheckTarget(target, protectedFiles, exists)) {
        return error;
    }
    std::wstring nativeTarget;
    if (auto error = NativePath(target, nativeTarget)) {
        return error;
    }
    // A new file of our own, created only where no file of that name exists.
    std::string newFile;
    std::wstring nativeNew;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 16; ++attempt) {
        newFile = NewFileBeside(target);
        if (FileLayerHooks().beforeOpen) {
            FileLayerHooks().beforeOpen(newFile, true);
        }
        if (auto error = NativePath(newFile, nativeNew)) {
            return error;
        }
        handle = ::CreateFileW(nativeNew.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            return SystemError();
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return SystemError();
    }
    auto abandon = [&](std::error_code error) {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
        ::DeleteFileW(nativeNew.c_str());
        return error;
    };
    if (FileLayerHooks().beforeWrite) {
        FileLayerHooks().beforeWrite(newFile, 0);
    }
    if (auto error = WriteAll(handle, 0, bytes)) {
        return abandon(error);
    }
    if (auto error = FlushHandle(handle)) {
        return abandon(error);
    }
    const std::error_code closed = CloseHandleOnce(std::exchange(handle, INVALID_HANDLE_VALUE));
    if (closed) {
        return abandon(closed);
    }
    if (FileLayerHooks().beforeRename) {
        FileLayerHooks().beforeRename(newFile, target);
    }
    // Checked once more right before the rename: a ROM swapped in since the first check is
    // not replaced.
    if (auto error = CheckTarget(target, protectedFiles, exists)) {
        return abandon(error);
    }
    // Write-through: the call returns once the rename has reached the disk.
    if (!::MoveFileExW(nativeNew.c_str(), nativeTarget.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return abandon(SystemError());
    }
    return {};
}

}  // namespace brindlewick
