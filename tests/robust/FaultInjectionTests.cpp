// Faults injected through the real window at every step that touches the ROM file: after the
// open dialog has closed but before the file is identified, between the open and a selection
// that reads the file again, and between the open and the save. Each case checks what the
// user is told, that no success is claimed after a failure, that no file is created or
// extended, that no byte changes beyond the addressed ones of an identified file, and that
// the window still works afterwards.
//
// A symbolic link is followed, as every editor follows it: the file it reaches is the one
// that is opened or saved. What must hold is that a save writes only into a file that still
// holds the release whose tables it addresses; a link (or a copy) that puts another release
// in place of the opened file between the open and the save makes the save refuse.
//
// An administrator passes a folder's permission bits, so a locked folder changes nothing for
// one; the test then holds the open and the save to being exact ordinary ones. The immutable
// attribute is the one refusal that holds for an administrator too: it makes writes fail.
#include <QAction>
#include <QFileDialog>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "robust/FileFaults.h"
#include "robust/RobustSupport.h"
#include "robust/RomModel.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "support/WindowDriver.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

enum class Fault {
    Deleted,
    Renamed,
    ReadOnly,
    TruncatedBeforeTables,  // still holds its code and the price records, not the other tables
    TruncatedBeforeCode,
    Emptied,
    ReplacedByFolder,
    ReplacedByOtherRelease,  // the bytes of a Crystal image copied over it
    SymlinkToOtherRelease,
    SymlinkToSameRelease,  // another Gold image, with other contents
    FolderLocked,          // chmod 000 on its folder
    Immutable,
};

constexpr std::size_t kShortOfTables = 0x8000;
constexpr std::size_t kShortOfCode = 0x100;

// A Gold image that differs from the one the window opens in every byte but the code.
Bytes OtherGoldBytes() {
    Bytes bytes = SyntheticRomBytes("AAUE");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i < kGameCodeAt || i >= kGameCodeAt + 4) {
            bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ 0x5A);
        }
    }
    return bytes;
}

// A window over a folder of ROMs: the one the faults hit, the files links point at, and a
// good image in another folder to prove the window still works afterwards.
class Scene {
public:
    Scene()
        : m_roms(m_dir.Path() / "roms"),
          m_rom(m_roms / "rom.gbc"),
          m_good(m_dir.Path() / "elsewhere" / "good.gbc"),
          m_window(std::make_unique<Form1>()),
          m_driver(*m_window) {
        fs::create_directories(m_roms);
        fs::create_directories(m_good.parent_path());
        WriteFileBytes(Utf8(m_rom), SyntheticRomBytes("AAUE"));
        WriteFileBytes(Utf8(m_roms / "other-release.gbc"), SyntheticRomBytes("BYTE"));
        WriteFileBytes(Utf8(m_roms / "same-release.gbc"), OtherGoldBytes());
        WriteFileBytes(Utf8(m_good), SyntheticRomBytes("AAXE"));
        ShowAndActivate(*m_window);
    }
    ~Scene() {
        std::error_code ignored;
        fs::permissions(m_roms, fs::perms(0755), ignored);
        ClearImmutableBelow(m_dir.Path());
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    Form1& Window() { return *m_window; }
    WindowDriver& Driver() { return m_driver; }
    RecordingSink& Sink() { return m_sink; }
    const fs::path& Folder() const { return m_dir.Path(); }
    const fs::path& Roms() const { return m_roms; }
    std::string Rom() const { return Utf8(m_rom); }
    std::string Good() const { return Utf8(m_good); }

    bool Apply(Fault fault, std::string& why) {
        std::error_code error;
        switch (fault) {
            case Fault::Deleted:
                fs::remove(m_rom, error);
                break;
            case Fault::Renamed:
                fs::rename(m_rom, m_roms / "renamed.gbc", error);
                break;
            case Fault::ReadOnly:
                fs::permissions(m_rom, fs::perms(0444), error);
                break;
            case Fault::TruncatedBeforeTables:
                fs::resize_file(m_rom, kShortOfTables, error);
                break;
            case Fault::TruncatedBeforeCode:
                fs::resize_file(m_rom, kShortOfCode, error);
                break;
            case Fault::Emptied:
                fs::resize_file(m_rom, 0, error);
                break;
            case Fault::ReplacedByFolder:
                fs::remove(m_rom, error);
                fs::create_directory(m_rom, error);
                break;
            case Fault::ReplacedByOtherRelease:
                WriteFileBytes(Utf8(m_rom), ReadFileBytes(Utf8(m_roms / "other-release.gbc")));
                break;
            case Fault::SymlinkToOtherRelease:
            case Fault::SymlinkToSameRelease:
                fs::remove(m_rom, error);
                fs::create_symlink(fault == Fault::SymlinkToOtherRelease ? "other-release.gbc"
                                                                         : "same-release.gbc",
                                   m_rom, error);
                break;
            case Fault::FolderLocked:
                fs::permissions(m_roms, fs::perms::none, error);
                break;
            case Fault::Immutable:
                error = SetImmutable(m_rom, true);
                break;
        }
        why = error.message();
        return !error;
    }

    // Gives back what the test needs to look at the files again.
    void Undo(Fault fault) {
        if (fault == Fault::FolderLocked) {
            fs::permissions(m_roms, fs::perms(0755));
        }
        if (fault == Fault::Immutable) {
            static_cast<void>(SetImmutable(m_rom, false));
        }
    }

    Contents Files() const { return FilesBelow(m_dir.Path()); }

private:
    TempDir m_dir;
    RecordingSink m_sink;
    fs::path m_roms;
    fs::path m_rom;
    fs::path m_good;
    std::unique_ptr<Form1> m_window;
    WindowDriver m_driver;
};

bool NeedsImmutable(Fault fault, std::string& why) {
    if (fault != Fault::Immutable) {
        return true;
    }
    const TempDir probe;
    return ImmutableFilesWork(probe.Path(), why);
}

void AddFaultRows() {
    QTest::addColumn<int>("row");
    const std::pair<const char*, Fault> rows[] = {
        {"deleted", Fault::Deleted},
        {"renamed", Fault::Renamed},
        {"read-only", Fault::ReadOnly},
        {"truncated before the tables", Fault::TruncatedBeforeTables},
        {"truncated before the code", Fault::TruncatedBeforeCode},
        {"emptied", Fault::Emptied},
        {"replaced by a folder", Fault::ReplacedByFolder},
        {"overwritten by another release", Fault::ReplacedByOtherRelease},
        {"link to another release", Fault::SymlinkToOtherRelease},
        {"link to the same release", Fault::SymlinkToSameRelease},
        {"folder locked", Fault::FolderLocked},
        {"immutable", Fault::Immutable},
    };
    for (const auto& [name, fault] : rows) {
        QTest::newRow(name) << static_cast<int>(fault);
    }
}

// Faults that leave every byte as it was.
bool KeepsContents(Fault fault) {
    return fault == Fault::ReadOnly || fault == Fault::FolderLocked || fault == Fault::Immutable;
}

}  // namespace

class FaultInjectionTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_quiet = std::make_unique<QuietDialogWarnings>(); }
    void cleanup() { m_quiet.reset(); }

    void faultBetweenOpenAndSave_data() { AddFaultRows(); }

    void faultBetweenOpenAndSave() {
        QFETCH(int, row);
        const auto fault = static_cast<Fault>(row);
        std::string why;
        if (!NeedsImmutable(fault, why)) {
            QSKIP(("no write can be made to fail here: " + why).c_str());
        }
        Scene scene;
        QVERIFY(OpenRomThroughWindow(scene.Window(), scene.Rom()));
        QCOMPARE(scene.Window().windowTitle(), QStringLiteral("AAUE - Brindlewick"));
        MakeEdits(scene.Driver());
        const WindowReading shown = scene.Driver().Read();
        QCOMPARE(shown.machine, 28);
        QCOMPARE(shown.species, 150);

        const auto listingBeforeFault = FolderListing(scene.Folder());
        const Contents contentsBeforeFault = scene.Files();
        QVERIFY2(scene.Apply(fault, why), why.c_str());
        const auto listing = FolderListing(scene.Folder());
        const Contents contents = KeepsContents(fault) ? contentsBeforeFault : scene.Files();
        scene.Sink().Clear();
        // The link reaches an image that holds other values than the window read: the save
        // asks before overwriting them, and the user goes on.
        const bool asks = fault == Fault::SymlinkToSameRelease;
        scene.Sink().answer = asks;
        scene.Driver().Save(true);
        // A read-only file: the save asks before making it writable, and is answered no.
        const bool asksToMakeWritable = fault == Fault::ReadOnly;
        QCOMPARE(scene.Sink().questions.size(), std::size_t{asks || asksToMakeWritable ? 1u : 0u});
        scene.Sink().answer = false;

        std::vector<Message> expected;
        Contents expectedContents = contents;
        switch (fault) {
            case Fault::Deleted:
            case Fault::Renamed:
                expected = {SystemFailure(ENOENT)};
                break;
            case Fault::ReadOnly:
                // The save asks before making it writable, and the answer is no: nothing is
                // written and nothing more is said.
                break;
            case Fault::TruncatedBeforeTables:
            case Fault::TruncatedBeforeCode:
            case Fault::Emptied:
                expected = {OwnFailure(FileFailure::FileTooShort)};
                break;
            case Fault::ReplacedByFolder:
                expected = {OwnFailure(FileFailure::NotAFile)};
                break;
            case Fault::ReplacedByOtherRelease:
            case Fault::SymlinkToOtherRelease:
                expected = {OwnFailure(FileFailure::RomReplaced)};
                break;
            case Fault::SymlinkToSameRelease:
                expected = {Saved()};
                expectedContents = AfterSave(contents, "roms/same-release.gbc", "AAUE", shown);
                break;
            case Fault::FolderLocked:
                if (PermissionsKeepUsOut(scene.Roms())) {
                    expected = {SystemFailure(EACCES)};
                } else {
                    // An administrator passes the folder's permissions; the save is then an
                    // ordinary one and must stay exactly that.
                    expected = {Saved()};
                    expectedContents = AfterSave(contents, "roms/rom.gbc", "AAUE", shown);
                }
                break;
            case Fault::Immutable:
                expected = {SystemFailure(EPERM)};
                break;
        }
        const std::string messages = CompareMessages(expected, scene.Sink().messages);
        QVERIFY2(messages.empty(), messages.c_str());
        QCOMPARE(FolderListing(scene.Folder()), listing);
        scene.Undo(fault);
        if (KeepsContents(fault)) {
            QCOMPARE(FolderListing(scene.Folder()), listingBeforeFault);
        }
        const std::string files = CompareContents(expectedContents, scene.Files());
        QVERIFY2(files.empty(), files.c_str());
        // The window goes on showing what the user had.
        QCOMPARE(scene.Driver().Read().price, shown.price);
        QCOMPARE(scene.Window().windowTitle(), QStringLiteral("AAUE - Brindlewick"));

        StillUsable(scene);
    }

    void faultBeforeASelection_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("deleted") << static_cast<int>(Fault::Deleted);
        QTest::newRow("replaced by a folder") << static_cast<int>(Fault::ReplacedByFolder);
        QTest::newRow("truncated before the tables")
            << static_cast<int>(Fault::TruncatedBeforeTables);
    }

    // A selection reads the file again; every read that fails says why, the window shows no
    // stale values as if they had been read, and the save that follows writes nothing.
    void faultBeforeASelection() {
        QFETCH(int, row);
        const auto fault = static_cast<Fault>(row);
        Scene scene;
        QVERIFY(OpenRomThroughWindow(scene.Window(), scene.Rom()));
        std::string why;
        QVERIFY2(scene.Apply(fault, why), why.c_str());
        const auto listing = FolderListing(scene.Folder());
        const Contents contents = scene.Files();
        scene.Sink().Clear();

        WindowDriver& driver = scene.Driver();
        driver.ShowPage(0);
        driver.ClickRow(driver.Machines(), 28);
        driver.ShowPage(1);
        driver.ClickRow(driver.Species(), 150);

        Message failure = SystemFailure(ENOENT);
        Message refused = failure;
        if (fault == Fault::ReplacedByFolder) {
            failure = refused = OwnFailure(FileFailure::NotAFile);
        } else if (fault == Fault::TruncatedBeforeTables) {
            failure = OwnFailure(FileFailure::ReadPastEnd);
            refused = OwnFailure(FileFailure::FileTooShort);
        }
        // TM29's move, then its price (which a file cut short still holds), then Mew's field.
        std::vector<Message> expected{failure, NotHex()};
        if (fault != Fault::TruncatedBeforeTables) {
            expected.push_back(failure);
        }
        expected.insert(expected.end(), 8, failure);
        std::string messages = CompareMessages(expected, scene.Sink().messages);
        QVERIFY2(messages.empty(), messages.c_str());
        const WindowReading shown = driver.Read();
        QCOMPARE(shown.move, 0);
        if (fault != Fault::TruncatedBeforeTables) {
            QCOMPARE(shown.price, QStringLiteral("0"));
        } else {
            const Bytes& bytes = contents.at("roms/rom.gbc");
            const std::size_t price = PriceAt(*FindRelease("AAUE"), 28);
            QCOMPARE(shown.price.toInt(), bytes[price] | (bytes[price + 1] << 8));
        }
        QCOMPARE(shown.checks, (std::array<bool, kMachines>{}));

        scene.Sink().Clear();
        driver.Save(true);
        messages = CompareMessages({refused}, scene.Sink().messages);
        QVERIFY2(messages.empty(), messages.c_str());
        QCOMPARE(FolderListing(scene.Folder()), listing);
        const std::string files = CompareContents(contents, scene.Files());
        QVERIFY2(files.empty(), files.c_str());
        StillUsable(scene);
    }

    void faultBetweenDialogAndIdentification_data() { AddFaultRows(); }

    void faultBetweenDialogAndIdentification() {
        QFETCH(int, row);
        const auto fault = static_cast<Fault>(row);
        std::string why;
        if (!NeedsImmutable(fault, why)) {
            QSKIP(("cannot make a file immutable here: " + why).c_str());
        }
        Scene scene;
        // An earlier ROM with an unsaved price, which a failed open must leave in force.
        QVERIFY(OpenRomThroughWindow(scene.Window(), scene.Good()));
        scene.Driver().TypePrice("1234", true);
        const auto listingBeforeFault = FolderListing(scene.Folder());
        const Contents contentsBeforeFault = scene.Files();
        scene.Sink().Clear();

        // The fault strikes once the dialog has accepted the file, before the open reads it.
        bool applied = false;
        FileDialogAnswerer answerer([&](QFileDialog& dialog) {
            ChooseFile(scene.Rom())(dialog);
            applied = scene.Apply(fault, why);
        });
        FindAction(scene.Window(), QStringLiteral("mnuOpen"))->trigger();
        QVERIFY(answerer.Answered());
        QVERIFY2(applied, why.c_str());
        const auto listing = FolderListing(scene.Folder());
        const Contents contents = KeepsContents(fault) ? contentsBeforeFault : scene.Files();

        // Where the open ends: refused with these messages, or identified as a release whose
        // tables lie in `target`.
        std::vector<Message> expected;
        const char* release = nullptr;
        std::string target;
        switch (fault) {
            case Fault::Deleted:
            case Fault::Renamed:
                expected = {SystemFailure(ENOENT)};
                break;
            case Fault::ReplacedByFolder:
                expected = {OwnFailure(FileFailure::NotAFile)};
                break;
            case Fault::TruncatedBeforeCode:
            case Fault::Emptied:
                expected = {Unsupported()};
                break;
            case Fault::Immutable:
                // Its owner may write it already, so the open leaves its mode alone and
                // identifies it; the save is then refused by the system.
                release = "AAUE";
                target = "roms/rom.gbc";
                break;
            case Fault::ReadOnly:
                release = "AAUE";
                target = "roms/rom.gbc";
                break;
            case Fault::TruncatedBeforeTables:
                // The code is there but the tables are not: refused with one message.
                expected = {OwnFailure(FileFailure::FileTooShort)};
                break;
            case Fault::ReplacedByOtherRelease:
                release = "BYTE";
                target = "roms/rom.gbc";
                break;
            case Fault::SymlinkToOtherRelease:
                release = "BYTE";
                target = "roms/other-release.gbc";
                break;
            case Fault::SymlinkToSameRelease:
                release = "AAUE";
                target = "roms/same-release.gbc";
                break;
            case Fault::FolderLocked:
                if (PermissionsKeepUsOut(scene.Roms())) {
                    expected = {SystemFailure(EACCES)};
                } else {
                    release = "AAUE";
                    target = "roms/rom.gbc";
                }
                break;
        }
        std::string messages = CompareMessages(expected, scene.Sink().messages);
        QVERIFY2(messages.empty(), messages.c_str());
        QCOMPARE(FolderListing(scene.Folder()), listing);
        scene.Sink().Clear();

        if (release == nullptr) {
            // The earlier ROM is fully in force: its caption, its unsaved price, its file.
            QCOMPARE(scene.Window().windowTitle(), QStringLiteral("AAXE - Brindlewick"));
            const WindowReading shown = scene.Driver().Read();
            QCOMPARE(shown.price, QStringLiteral("1234"));
            scene.Driver().Save(true);
            messages = CompareMessages({Saved()}, scene.Sink().messages);
            QVERIFY2(messages.empty(), messages.c_str());
            scene.Undo(fault);
            const std::string files = CompareContents(
                AfterSave(contents, "elsewhere/good.gbc", "AAXE", shown), scene.Files());
            QVERIFY2(files.empty(), files.c_str());
        } else {
            QCOMPARE(scene.Window().windowTitle(),
                     QString::fromLatin1(release) + QStringLiteral(" - Brindlewick"));
            if (fault == Fault::ReadOnly) {
                // The open left it read-only; the save asks, and Save makes it writable.
                QVERIFY((fs::status(scene.Rom()).permissions() & fs::perms::owner_write) ==
                        fs::perms::none);
                scene.Sink().answer = true;
            }
            MakeEdits(scene.Driver());
            const WindowReading shown = scene.Driver().Read();
            scene.Sink().Clear();
            scene.Driver().Save(true);
            const bool refused = fault == Fault::Immutable;
            messages =
                CompareMessages({refused ? SystemFailure(EPERM) : Saved()}, scene.Sink().messages);
            QVERIFY2(messages.empty(), messages.c_str());
            QCOMPARE(FolderListing(scene.Folder()), listing);
            scene.Undo(fault);
            const std::string files = CompareContents(
                refused ? contents : AfterSave(contents, target, release, shown), scene.Files());
            QVERIFY2(files.empty(), files.c_str());
        }
        if (KeepsContents(fault)) {
            QCOMPARE(FolderListing(scene.Folder()), listingBeforeFault);
        }
        StillUsable(scene);
    }

private:
    // A good ROM opens, takes edits and saves exactly them.
    static void StillUsable(Scene& scene) {
        scene.Sink().Clear();
        const Contents before = scene.Files();
        QVERIFY(OpenRomThroughWindow(scene.Window(), scene.Good(), OpenBy::Shortcut));
        QCOMPARE(scene.Window().windowTitle(), QStringLiteral("AAXE - Brindlewick"));
        WindowDriver& driver = scene.Driver();
        driver.ShowPage(0);
        driver.ClickRow(driver.Machines(), 56);
        driver.ClickRow(driver.Moves(), 251);
        driver.TypePrice("65535", true);
        driver.ShowPage(1);
        driver.ClickRow(driver.Species(), 250);
        driver.ToggleCheck(56, false);
        const WindowReading shown = driver.Read();
        driver.Save(false);
        const std::string messages = CompareMessages({Saved()}, scene.Sink().messages);
        QVERIFY2(messages.empty(), messages.c_str());
        const std::string files =
            CompareContents(AfterSave(before, "elsewhere/good.gbc", "AAXE", shown), scene.Files());
        QVERIFY2(files.empty(), files.c_str());
    }

    std::unique_ptr<QuietDialogWarnings> m_quiet;
};

}  // namespace brindlewick::test

#include "FaultInjectionTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::FaultInjectionTest)
