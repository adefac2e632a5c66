#include "robust/FileFaults.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace brindlewick::test {
namespace fs = std::filesystem;

std::error_code SetImmutable(const fs::path& path, bool immutable) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        return {errno, std::generic_category()};
    }
    int flags = 0;
    std::error_code error;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        error = {errno, std::generic_category()};
    } else {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
            error = {errno, std::generic_category()};
        }
    }
    ::close(fd);
    return error;
}

void ClearImmutableBelow(const fs::path& folder) {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(
             folder, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_regular_file(ignored) && !it->is_symlink(ignored)) {
            static_cast<void>(SetImmutable(it->path(), false));
        }
    }
}

bool ImmutableFilesWork(const fs::path& folder, std::string& why) {
    const fs::path probe = folder / "immutable-probe";
    std::ofstream(probe) << "probe";
    const std::error_code set = SetImmutable(probe, true);
    bool refused = false;
    if (!set) {
        // The point of the attribute: even an administrator's write is refused.
        refused = ::open(probe.c_str(), O_WRONLY) < 0 && errno == EPERM;
        static_cast<void>(SetImmutable(probe, false));
    }
    std::error_code ignored;
    fs::remove(probe, ignored);
    if (set) {
        why = "cannot set the immutable attribute here: " + set.message();
        return false;
    }
    if (!refused) {
        why = "the immutable attribute does not refuse writes here";
        return false;
    }
    return true;
}

bool PokeByte(const fs::path& path, std::size_t offset, std::uint8_t value) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file.put(static_cast<char>(value));
    file.close();
    return static_cast<bool>(file);
}

std::vector<std::string> FolderListing(const fs::path& folder) {
    std::vector<std::string> entries;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string name = fs::relative(it->path(), folder).generic_string();
        const auto status = it->symlink_status();
        if (fs::is_symlink(status)) {
            entries.push_back("link " + name + " -> " + fs::read_symlink(it->path()).string());
        } else if (fs::is_directory(status)) {
            entries.push_back("dir " + name);
        } else {
            entries.push_back("file " + name + " " + std::to_string(fs::file_size(it->path())));
        }
    }
    if (error) {
        entries.push_back("unlistable: " + error.message());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool PermissionsKeepUsOut(const fs::path& folder) {
    return ::access(folder.c_str(), R_OK | X_OK) != 0;
}

TmpfsMount::TmpfsMount(fs::path folder) : m_folder(std::move(folder)) {
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (error) {
        m_failure = "cannot make the mount point: " + error.message();
        return;
    }
    if (::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=16m,mode=0755") != 0) {
        m_failure = std::string("cannot mount a tmpfs file system here: ") + std::strerror(errno);
        return;
    }
    m_mounted = true;
}

TmpfsMount::~TmpfsMount() {
    if (m_mounted) {
        // Detached, so that a file the window still names cannot keep the mount alive.
        ::umount2(m_folder.c_str(), MNT_DETACH);
    }
}

std::error_code TmpfsMount::SetReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    if (::mount(nullptr, m_folder.c_str(), nullptr, flags, nullptr) != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

}  // namespace brindlewick::test
