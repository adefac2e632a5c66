// FileFaults: what can happen to a ROM file behind the editor's back, made to happen on
// purpose: the immutable attribute (a write refused even to an administrator), a read-only
// mount, changed bytes, and a listing of a folder to prove that nothing was created.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace brindlewick::test {

// Sets or clears the file system's immutable attribute. Fails where the file system or the
// process's privileges do not allow it.
std::error_code SetImmutable(const std::filesystem::path& path, bool immutable);
// Clears the immutable attribute of everything below `folder`, so that it can be removed.
void ClearImmutableBelow(const std::filesystem::path& folder);
// Whether this process may set the immutable attribute on files in `folder`; `why` says why
// not.
bool ImmutableFilesWork(const std::filesystem::path& folder, std::string& why);

// Overwrites one byte of an existing file in place, as another program would.
bool PokeByte(const std::filesystem::path& path, std::size_t offset, std::uint8_t value);

// Every entry below `folder` with its kind and size ("file a/b.gbc 2097152",
// "dir a", "link c -> a/b.gbc"), sorted.
std::vector<std::string> FolderListing(const std::filesystem::path& folder);

// Whether the permission bits of `folder` actually keep this process out (they do not for an
// administrator).
bool PermissionsKeepUsOut(const std::filesystem::path& folder);

// A tmpfs file system mounted on a folder for the life of the object.
class TmpfsMount {
public:
    explicit TmpfsMount(std::filesystem::path folder);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    // Empty when mounted; otherwise why it could not be.
    const std::string& Failure() const { return m_failure; }
    std::error_code SetReadOnly(bool readOnly);

private:
    std::filesystem::path m_folder;
    bool m_mounted = false;
    std::string m_failure;
};

}  // namespace brindlewick::test
