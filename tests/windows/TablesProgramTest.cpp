// brindlewick-tables.exe as a Windows script runs it: arguments from the wide command line,
// whatever their characters, and the CSV on standard output byte for byte, with the same line
// ends as everywhere.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "tables/TablesFile.h"
#include "win32/Text.h"

namespace brindlewick {
namespace {

using test::Bytes;

// Runs the program with `arguments` (already quoted), standard output into `output`; returns
// its exit code, or -1 when it could not be started.
int RunTables(const std::wstring& arguments, const std::string& output) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = ::CreateFileW(win32::Wide(output).c_str(), GENERIC_WRITE, 0, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process{};
    const std::wstring program = win32::Wide(BRINDLEWICK_TABLES_PROGRAM);
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    const BOOL started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                                          TRUE, 0, nullptr, nullptr, &startup, &process);
    ::CloseHandle(file);
    if (!started) {
        return -1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return static_cast<int>(code);
}

std::wstring Quoted(const std::string& path) {
    return L"\"" + win32::Wide(path) + L"\"";
}

TEST(TablesProgramTest, UnicodeNamesAndTheCsvByteForByte) {
    test::TempDir dir;
    const test::SyntheticRom rom(test::ReleaseOf("BYTE"));
    const std::string romPath = rom.WriteTo(dir, "Crystal \u2606 \u041A\u0440\u0438\u0441.gbc");
    const std::optional<std::string> csv = ExportTables(romPath);
    ASSERT_TRUE(csv.has_value());
    ASSERT_EQ(csv->find('\r'), std::string::npos);
    const Bytes expected(csv->begin(), csv->end());

    const std::string standardOutput = dir.File("stdout.csv");
    ASSERT_EQ(RunTables(L"export " + Quoted(romPath), standardOutput), 0);
    EXPECT_EQ(test::ReadFileBytes(standardOutput), expected);

    const std::string csvPath = dir.File("\u0442\u0430\u0431\u043B\u0438\u0446\u044B.csv");
    ASSERT_EQ(
        RunTables(L"export " + Quoted(romPath) + L" " + Quoted(csvPath), dir.File("messages.txt")),
        0);
    EXPECT_EQ(test::ReadFileBytes(csvPath), expected);

    // The same CSV imported again changes no byte.
    const Bytes before = test::ReadFileBytes(romPath);
    ASSERT_EQ(
        RunTables(L"import " + Quoted(romPath) + L" " + Quoted(csvPath), dir.File("messages.txt")),
        0);
    EXPECT_EQ(test::ReadFileBytes(romPath), before);
}

}  // namespace
}  // namespace brindlewick
