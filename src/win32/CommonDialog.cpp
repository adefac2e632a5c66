#include "win32/CommonDialog.h"

#include <windows.h>

#include <commdlg.h>

#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

// Room for the longest path the wide calls accept, and its NUL.
constexpr DWORD kPathBuffer = 32768;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string BufferText(const std::wstring& buffer) {
    return Utf8(buffer.substr(0, buffer.find(L'\0')));
}

}  // namespace

std::wstring DialogFilter(const std::string& filter) {
    std::wstring list = Wide(filter);
    for (wchar_t& character : list) {
        if (character == L'|') {
            character = L'\0';
        }
    }
    if (list.empty() || list.back() != L'\0') {
        list.push_back(L'\0');
    }
    return list;
}

std::string CommonDialog::ShowOpen(HWND__* owner, const std::string& title,
                                   const std::string& initDir, const std::string& filter,
                                   std::uint32_t flags) {
    const std::wstring filterList = DialogFilter(filter);
    const std::wstring wideTitle = Wide(title);
    const std::wstring folder = Wide(initDir.empty() ? m_lastFileName : initDir);
    std::wstring file(kPathBuffer, L'\0');
    OPENFILENAMEW record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.hInstance = ::GetModuleHandleW(nullptr);
    record.lpstrFilter = filterList.c_str();
    record.lpstrFile = file.data();
    record.nMaxFile = kPathBuffer;
    record.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    record.lpstrTitle = wideTitle.c_str();
    record.Flags = flags;
    record.nFilterIndex = static_cast<DWORD>(m_filterIndex);
    if (!::GetOpenFileNameW(&record)) {
        return {};
    }
    const std::string result = Trimmed(BufferText(file));
    if (!result.empty()) {
        m_lastFileName = result;
        m_filterIndex = static_cast<std::int32_t>(record.nFilterIndex);
    }
    return result;
}

std::string CommonDialog::ShowSave(HWND__* owner, const std::string& title,
                                   const std::string& fileName, const std::string& initDir,
                                   const std::string& filter, std::uint32_t flags,
                                   const std::string& defaultExtension) {
    const std::wstring filterList = DialogFilter(filter);
    const std::wstring wideTitle = Wide(title);
    const std::wstring folder = Wide(initDir);
    const std::wstring extension = Wide(defaultExtension);
    std::wstring file = Wide(fileName);
    file.resize(kPathBuffer, L'\0');
    OPENFILENAMEW record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.hInstance = ::GetModuleHandleW(nullptr);
    record.lpstrFilter = filterList.size() > 1 ? filterList.c_str() : nullptr;
    record.lpstrFile = file.data();
    record.nMaxFile = kPathBuffer;
    record.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    record.lpstrTitle = wideTitle.c_str();
    record.Flags = flags;
    record.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    record.nFilterIndex = static_cast<DWORD>(m_filterIndex);
    if (!::GetSaveFileNameW(&record)) {
        return {};
    }
    m_filterIndex = static_cast<std::int32_t>(record.nFilterIndex);
    return BufferText(file);
}

}  // namespace brindlewick::win32
