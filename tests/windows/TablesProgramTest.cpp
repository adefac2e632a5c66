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

// Runs the program with `arguments` (already quoted), standard output on the inherited handle
// `output` (none at all when null) and standard error on `errors`; returns its exit code, or
// -1 when it could not be started.
int RunTablesOn(const std::wstring& arguments, HANDLE output, HANDLE errors) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION process{};
    const std::wstring program = win32::Wide(BRINDLEWICK_TABLES_PROGRAM);
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    const BOOL started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                                          TRUE, 0, nullptr, nullptr, &startup, &process);
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

// A handle of `path` that a started program inherits.
HANDLE Inherited(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(win32::Wide(path).c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = test::ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Runs the program with `arguments` (already quoted), standard output and error into the file
// `output`; returns its exit code, or -1 when it could not be started.
int RunTables(const std::wstring& arguments, const std::string& output) {
    const HANDLE file = Inherited(output, GENERIC_WRITE, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    const int code = RunTablesOn(arguments, file, file);
    ::CloseHandle(file);
    return code;
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

// Standard output is a target like a named one: the ROM itself (the handle a script's
// `>> rom.gbc` gives) is refused before a byte is written; a write that fails, or no standard
// output at all, is told; an empty name is bad usage.
TEST(TablesProgramTest, StandardOutputThatIsTheRomOrFailsIsTold) {
    test::TempDir dir;
    const std::string romPath = test::SyntheticRom(test::ReleaseOf("AAUE")).WriteTo(dir);
    const Bytes original = test::ReadFileBytes(romPath);
    const std::string errorsPath = dir.File("errors.txt");
    const auto run = [&](HANDLE output, const std::wstring& arguments) {
        const HANDLE errors = Inherited(errorsPath, GENERIC_WRITE, CREATE_ALWAYS);
        const int code = RunTablesOn(arguments, output, errors);
        ::CloseHandle(errors);
        return code;
    };
    const HANDLE rom = Inherited(romPath, FILE_APPEND_DATA, OPEN_EXISTING);
    ASSERT_NE(rom, INVALID_HANDLE_VALUE);
    EXPECT_EQ(run(rom, L"export " + Quoted(romPath)), 1);
    ::CloseHandle(rom);
    EXPECT_NE(ReadText(errorsPath).find("standard output is the ROM itself; nothing was written"),
              std::string::npos)
        << ReadText(errorsPath);
    EXPECT_EQ(test::ReadFileBytes(romPath), original);

    const std::string other = dir.File("other.csv");
    test::WriteFileBytes(other, {});
    const HANDLE readOnly = Inherited(other, GENERIC_READ, OPEN_EXISTING);
    EXPECT_EQ(run(readOnly, L"export " + Quoted(romPath)), 1);
    ::CloseHandle(readOnly);
    EXPECT_NE(ReadText(errorsPath).find("could not write the CSV to standard output: "),
              std::string::npos)
        << ReadText(errorsPath);
    EXPECT_EQ(run(nullptr, L"export " + Quoted(romPath)), 1);
    EXPECT_NE(ReadText(errorsPath).find("could not write the CSV to standard output: "),
              std::string::npos)
        << ReadText(errorsPath);

    EXPECT_EQ(run(nullptr, L"export " + Quoted(romPath) + L" \"\""), 2);
    EXPECT_NE(ReadText(errorsPath).find("a file name may not be empty"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(romPath), original);
}

}  // namespace
}  // namespace brindlewick
