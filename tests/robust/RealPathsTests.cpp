// The paths people really have: blanks, accents and Japanese in folder and file names, a file
// name near the system's limit, a folder more than a thousand characters deep, and a ROM on a
// medium that is or becomes read-only. Opening and saving either work exactly or fail with a
// clear message and nothing written.
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

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Eleven folders of a hundred characters each.
std::string DeepFolder() {
    std::string folder;
    for (int level = 0; level < 11; ++level) {
        folder += (level == 0 ? "" : "/") + std::to_string(level) + Repeated("d", 99);
    }
    return folder;
}

}  // namespace

class RealPathsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_quiet = std::make_unique<QuietDialogWarnings>(); }
    void cleanup() { m_quiet.reset(); }

    void openAndSaveWhereverTheFileLies_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        const auto row = [](const char* title, const std::string& folder, const std::string& name,
                            const char* code) {
            QTest::newRow(title) << QString::fromStdString(folder) << QString::fromStdString(name)
                                 << QString::fromLatin1(code);
        };
        row("blanks", "My ROM files", "Gold backup 1.gbc", "AAUE");
        row("accents", "Spielst\u00E4nde", "Pok\u00E9mon Silber f\u00FCr J\u00FCrgen.gbc", "AAXD");
        row("japanese", "\u30DD\u30B1\u30E2\u30F3", "\u30DD\u30B1\u30E2\u30F3 \u91D1.gbc", "AAUJ");
        row("name of 250 bytes", "long", Repeated("x", 246) + ".gbc", "BYTE");
        // 82 letters of three bytes each.
        row("non-ASCII name of 250 bytes", "long", Repeated("\u30DD", 82) + ".gbc", "BXTJ");
        row("folder over 1000 characters deep", DeepFolder(), "rom.gbc", "BYTI");
    }

    void openAndSaveWhereverTheFileLies() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, code);
        RecordingSink sink;
        TempDir dir;
        const fs::path where = dir.Path() / PathFromUtf8(folder.toStdString());
        fs::create_directories(where);
        const std::string rom = Utf8(where / PathFromUtf8(name.toStdString()));
        WriteFileBytes(rom, SyntheticRomBytes(code.toStdString()));
        WriteFileBytes(Utf8(where / "neighbour.gbc"), SyntheticRomBytes("AAXE"));
        const std::string relative = Utf8(fs::relative(PathFromUtf8(rom), dir.Path()));

        Form1 window;
        QVERIFY(ShowAndActivate(window));
        QVERIFY(OpenRomThroughWindow(window, rom));
        QCOMPARE(CompareMessages({}, sink.messages), std::string());
        QCOMPARE(window.windowTitle(), code + QStringLiteral(" - Brindlewick"));

        WindowDriver driver(window);
        MakeEdits(driver);
        const WindowReading shown = driver.Read();
        const auto listing = FolderListing(dir.Path());
        const Contents before = FilesBelow(dir.Path());
        driver.Save(true);
        QCOMPARE(CompareMessages({Saved()}, sink.messages), std::string());
        QCOMPARE(FolderListing(dir.Path()), listing);
        QCOMPARE(CompareContents(AfterSave(before, relative, qPrintable(code), shown),
                                 FilesBelow(dir.Path())),
                 std::string());

        // Opened again by the same path, the window shows what was saved.
        sink.Clear();
        QVERIFY(OpenRomThroughWindow(window, rom, OpenBy::Shortcut));
        driver.ClickRow(driver.Machines(), 28);
        QCOMPARE(driver.Read().price, QStringLiteral("4321"));
        QCOMPARE(driver.Read().move, 100);
        QVERIFY(sink.messages.empty());
    }

    void romOnAMediumThatTurnsReadOnly() {
        RecordingSink sink;
        TempDir dir;
        TmpfsMount medium(dir.Path() / "medium");
        if (!medium.Failure().empty()) {
            QSKIP(medium.Failure().c_str());
        }
        const std::string rom = Utf8(dir.Path() / "medium" / "rom.gbc");
        WriteFileBytes(rom, SyntheticRomBytes("BYTS"));

        Form1 window;
        QVERIFY(ShowAndActivate(window));
        WindowDriver driver(window);
        QVERIFY(OpenRomThroughWindow(window, rom));
        QVERIFY(sink.messages.empty());
        MakeEdits(driver);
        const WindowReading shown = driver.Read();
        const Contents before = FilesBelow(dir.Path());
        const auto listing = FolderListing(dir.Path());

        // The medium turns read-only under the open ROM, as a failing disk does: the check of
        // the file's own permissions passes, and the first write is refused by the system.
        if (const std::error_code error = medium.SetReadOnly(true)) {
            QSKIP(("cannot make the medium read-only here: " + error.message()).c_str());
        }
        driver.Save(true);
        QCOMPARE(CompareMessages({SystemFailure(EROFS)}, sink.messages), std::string());
        QCOMPARE(FolderListing(dir.Path()), listing);
        QCOMPARE(CompareContents(before, FilesBelow(dir.Path())), std::string());

        // A ROM on the read-only medium can still be opened and viewed (its mode already
        // lets its owner write it, so nothing is changed); saving it is refused by the system.
        sink.Clear();
        QVERIFY(OpenRomThroughWindow(window, rom, OpenBy::Shortcut));
        QVERIFY(sink.messages.empty());
        QCOMPARE(window.windowTitle(), QStringLiteral("BYTS - Brindlewick"));
        driver.Save(true);
        QCOMPARE(CompareMessages({SystemFailure(EROFS)}, sink.messages), std::string());
        QCOMPARE(CompareContents(before, FilesBelow(dir.Path())), std::string());
        MakeEdits(driver);
        QCOMPARE(driver.Read().price, shown.price);

        // Writable again, the same save goes through.
        QVERIFY(!medium.SetReadOnly(false));
        sink.Clear();
        driver.Save(false);
        QCOMPARE(CompareMessages({Saved()}, sink.messages), std::string());
        QCOMPARE(CompareContents(AfterSave(before, "medium/rom.gbc", "BYTS", shown),
                                 FilesBelow(dir.Path())),
                 std::string());
    }

private:
    std::unique_ptr<QuietDialogWarnings> m_quiet;
};

}  // namespace brindlewick::test

#include "RealPathsTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::RealPathsTest)
