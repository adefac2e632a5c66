// brindlewick-tables: the three tables of a ROM as CSV, for scripts and version control.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#endif

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/LineSink.h"
#include "platform/NativeFile.h"

#ifdef _WIN32
namespace {

// Windows hands main its arguments in the ANSI code page, which cannot name every file; the
// wide command line, turned into UTF-8, can. The strings live as long as the program.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        const int length =
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), length, nullptr, nullptr);
        text.resize(text.size() - 1);
        arguments.push_back(std::move(text));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace
#endif

int main(int argc, char** argv) {
    using namespace brindlewick;
    GuardStandardStreams();
#ifdef _WIN32
    // The CSV goes to standard output byte for byte, with the line ends it has on every
    // system; and the messages are UTF-8, which the console is told.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
    static std::vector<std::string> utf8Arguments = Utf8Arguments();
    static std::vector<char*> utf8Argv;
    for (std::string& argument : utf8Arguments) {
        utf8Argv.push_back(argument.data());
    }
    if (!utf8Argv.empty()) {
        argc = static_cast<int>(utf8Argv.size());
        argv = utf8Argv.data();
    }
#endif
    CLI::App app{
        "Check a Pokémon Gold, Silver or Crystal ROM, export or import its TM and HM tables as "
        "CSV, make a patch against the clean ROM, compare two ROMs' tables and put the global "
        "checksum right.",
        "brindlewick-tables"};
    app.set_version_flag("--version", "brindlewick-tables " BRINDLEWICK_VERSION);
    app.require_subcommand(1);

    std::string romPath;
    std::string csvPath;
    std::string cleanPath;
    std::string patchPath;
    std::string otherPath;
    std::string format;
    bool dryRun = false;
    bool force = false;

    CLI::App* check = app.add_subcommand(
        "check", "Show the release and whether its tables lie where the release keeps them.");
    check->add_option("ROM", romPath, "the cartridge image")->required();

    CLI::App* exportCommand = app.add_subcommand(
        "export", "Write the tables as CSV to standard output, or to the file CSV.");
    exportCommand->add_option("ROM", romPath, "the cartridge image")->required();
    CLI::Option* exportTarget =
        exportCommand->add_option("CSV", csvPath, "the file to write (created or replaced)");
    exportCommand->add_flag("--force", force,
                            "export a modified game whose tables are not where its release "
                            "keeps them (otherwise refused)");
    std::string names = "list";
    exportCommand
        ->add_option("--names", names,
                     "how moves and species are named: list (as the editor's lists spell "
                     "them, the default) or rom (as the ROM holds them)")
        ->check(CLI::IsMember({"list", "rom"}));

    CLI::App* importCommand = app.add_subcommand(
        "import", "Write the tables of a CSV into the ROM, only the bytes that change.");
    importCommand->add_option("ROM", romPath, "the cartridge image to change in place")->required();
    importCommand->add_option("CSV", csvPath, "the tables to write")->required();
    importCommand->add_flag("--dry-run", dryRun, "say what would change and write nothing");
    importCommand->add_flag("--force", force,
                            "write a change the game cannot use (otherwise refused)");

    CLI::App* patch = app.add_subcommand(
        "patch", "Write the patch that turns the clean ROM CLEAN into MODIFIED (BPS or IPS).");
    patch->add_option("CLEAN", cleanPath, "the clean cartridge image, of the same release")
        ->required();
    patch->add_option("MODIFIED", romPath, "the changed cartridge image")->required();
    patch
        ->add_option("OUT", patchPath,
                     "the patch to write (created or replaced); a name ending in .ips is IPS")
        ->required();
    patch->add_option("--format", format, "bps or ips (otherwise by the name of OUT)")
        ->check(CLI::IsMember({"bps", "ips"}));

    CLI::App* diff = app.add_subcommand(
        "diff",
        "List the differences between the tables of A and B, machine by machine and "
        "species by species.");
    diff->add_option("A", romPath, "the cartridge image compared from")->required();
    diff->add_option("B", otherPath, "the cartridge image compared to")->required();

    CLI::App* fixChecksum = app.add_subcommand(
        "fix-checksum", "Write the header's global checksum (0x14E-0x14F) as the ROM's bytes sum.");
    fixChecksum->add_option("ROM", romPath, "the cartridge image to change in place")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version end the program successfully; every other parse error is bad usage.
        return app.exit(error) == 0 ? kExitSuccess : kExitUsage;
    }
    // An empty name (an unset variable in a script) is refused, also where no name at all
    // would mean standard output.
    const bool emptyTarget =
        exportCommand->parsed() && exportTarget->count() > 0 && csvPath.empty();
    if (romPath.empty() || (importCommand->parsed() && csvPath.empty()) || emptyTarget ||
        (patch->parsed() && (cleanPath.empty() || patchPath.empty())) ||
        (diff->parsed() && otherPath.empty())) {
        std::cerr << "brindlewick-tables: a file name may not be empty\n";
        return kExitUsage;
    }

    if (patch->parsed()) {
        LineSink sink(std::cerr, {romPath, cleanPath, patchPath});
        return PatchCommand(cleanPath, romPath, patchPath, format);
    }
    if (diff->parsed()) {
        LineSink sink(std::cerr, {romPath, otherPath});
        return DiffCommand(romPath, otherPath, std::cout);
    }
    LineSink sink(std::cerr, {romPath, csvPath});
    if (fixChecksum->parsed()) {
        return FixChecksumCommand(romPath);
    }
    if (check->parsed()) {
        return CheckCommand(romPath, std::cout);
    }
    if (exportCommand->parsed()) {
        return ExportCommand(romPath, csvPath, force, names == "rom");
    }
    return ImportCommand(romPath, csvPath, dryRun, force);
}
