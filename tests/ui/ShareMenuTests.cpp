// The Tools menu's Export Patch..., Compare with... and Fix Checksum, worked through the real
// window and its dialogs; what counts is what the files hold and what the window shows.
#include <filesystem>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/CartridgeImage.h"
#include "support/PatchReaders.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

const Release& Crystal() {
    return ReleaseOf("BYTE");
}

}  // namespace

class ShareMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_clean = CartridgeImageBytes(LayoutOf(Crystal()));
        // Charmander does not learn TM24 in the clean image and does in the modified one,
        // where TM24 teaches Flamethrower.
        const std::size_t charmander = MachineBitAt(Crystal(), 3, 23);
        m_clean[charmander] = static_cast<std::uint8_t>(m_clean[charmander] & ~MaskOf(23));
        m_modified = m_clean;
        m_modified[MoveAt(Crystal(), 23)] = 53;
        m_modified[charmander] |= MaskOf(23);
        WriteFileBytes(m_cleanPath, m_clean);
        WriteFileBytes(m_romPath, m_modified);
        m_window = std::make_unique<Form1>();
        QVERIFY(ShowAndActivate(*m_window));
    }
    void cleanup() {
        m_window.reset();
        m_sink.Clear();
        std::filesystem::remove(m_patchPath);
    }

    void commandsWaitForARom() {
        const char* names[] = {"mnuExportPatch", "mnuCompare", "mnuFixChecksum"};
        for (const char* name : names) {
            QVERIFY2(!FindAction(*m_window, QString::fromLatin1(name))->isEnabled(), name);
        }
        QVERIFY(OpenRomThroughWindow(*m_window, m_romPath));
        for (const char* name : names) {
            QVERIFY2(FindAction(*m_window, QString::fromLatin1(name))->isEnabled(), name);
        }
        QCOMPARE(FindAction(*m_window, QStringLiteral("mnuExportPatch"))->text(),
                 QStringLiteral("Export Patch..."));
        QCOMPARE(FindAction(*m_window, QStringLiteral("mnuCompare"))->text(),
                 QStringLiteral("Compare with..."));
        QCOMPARE(FindAction(*m_window, QStringLiteral("mnuFixChecksum"))->text(),
                 QStringLiteral("Fix Checksum"));
    }

    // The clean ROM is asked for, then where the patch goes, proposing the ROM's name.
    void exportPatchWritesTheOpenRomsDifferenceFromTheCleanOne() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_romPath));
        m_sink.Clear();
        std::unique_ptr<FileDialogAnswerer> saveAnswerer;
        QString proposed;
        QString cleanTitle;
        const FileDialogAnswerer cleanAnswerer([&](QFileDialog& dialog) {
            cleanTitle = dialog.windowTitle();
            saveAnswerer = std::make_unique<FileDialogAnswerer>([&](QFileDialog& save) {
                QVERIFY(save.acceptMode() == QFileDialog::AcceptSave);
                QCOMPARE(save.defaultSuffix(), QStringLiteral("bps"));
                QCOMPARE(save.nameFilters().size(), 2);
                proposed = save.selectedFiles().value(0);
                ChooseFile(m_patchPath)(save);
            });
            ChooseFile(m_cleanPath)(dialog);
        });
        FindAction(*m_window, QStringLiteral("mnuExportPatch"))->trigger();
        QVERIFY(cleanAnswerer.Answered());
        QVERIFY(saveAnswerer != nullptr && saveAnswerer->Answered());
        QCOMPARE(cleanTitle, QStringLiteral("Export Patch: the Clean ROM"));
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("mine.bps"));

        QCOMPARE(ApplyBps(m_clean, ReadFileBytes(m_patchPath)), m_modified);
        QCOMPARE(ReadFileBytes(m_cleanPath), m_clean);
        QCOMPARE(ReadFileBytes(m_romPath), m_modified);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].icon, MessageIcon::Information);
        const std::string& said = m_sink.messages[0].text;
        QVERIFY2(said.find("It changes 2 bytes: 1 in the machines' moves and 1 in the species' "
                           "compatibility.") != std::string::npos,
                 said.c_str());
    }

    // Another release is refused before the patch's name is asked for.
    void exportPatchRefusesAnotherReleaseAtOnce() {
        const std::string goldPath = m_dir.File("gold.gbc");
        WriteFileBytes(goldPath, CartridgeImageBytes(LayoutOf(ReleaseOf("AAUE"))));
        QVERIFY(OpenRomThroughWindow(*m_window, m_romPath));
        m_sink.Clear();
        std::unique_ptr<FileDialogAnswerer> saveAnswerer;
        const FileDialogAnswerer cleanAnswerer([&](QFileDialog& dialog) {
            saveAnswerer = std::make_unique<FileDialogAnswerer>(CancelDialog(), 300);
            ChooseFile(goldPath)(dialog);
        });
        FindAction(*m_window, QStringLiteral("mnuExportPatch"))->trigger();
        QVERIFY(cleanAnswerer.Answered());
        QTest::qWait(350);
        QVERIFY(saveAnswerer != nullptr && !saveAnswerer->Answered());
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QVERIFY(m_sink.messages[0].text.find("a patch is made against a clean image of the same "
                                             "release") != std::string::npos);
        QCOMPARE(FolderEntries(m_dir),
                 (std::vector<std::string>{"clean.gbc", "gold.gbc", "mine.gbc"}));
    }

    void compareShowsTheDifferencesThatCopyAsText() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_romPath));
        m_sink.Clear();
        const FileDialogAnswerer answerer(ChooseFile(m_cleanPath));
        FindAction(*m_window, QStringLiteral("mnuCompare"))->trigger();
        QVERIFY(answerer.Answered());
        QVERIFY2(m_sink.messages.empty(),
                 m_sink.messages.empty() ? "" : m_sink.messages[0].text.c_str());

        auto* comparison = m_window->findChild<QWidget*>(QStringLiteral("Comparison"));
        QVERIFY(comparison != nullptr && comparison->isVisible());
        QCOMPARE(comparison->windowTitle(),
                 QString::fromUtf8("Comparison: clean.gbc \u2192 mine.gbc"));
        auto* list = Child<QListWidget>(*comparison, QStringLiteral("lstDifferences"));
        QCOMPARE(Entries(*list).size(), 2);
        QVERIFY(Entries(*list)[0].startsWith(QStringLiteral("TM24: ")));
        QVERIFY(Entries(*list)[0].endsWith(QString::fromUtf8(" \u2192 Flamethrower")));
        QCOMPARE(Entries(*list)[1], QStringLiteral("Charmander learns TM24 now"));
        QVERIFY(Child<QLabel>(*comparison, QStringLiteral("lblComparison"))
                    ->text()
                    .contains(QStringLiteral("1 machine and 1 species differ")));

        // Copy All: the heading, a blank line and every difference.
        QTest::mouseClick(Child<QPushButton>(*comparison, QStringLiteral("cmdCopy")),
                          Qt::LeftButton);
        const QString all = QApplication::clipboard()->text();
        QVERIFY2(
            all.startsWith(QString::fromUtf8("From \u201Cclean.gbc\u201D to \u201Cmine.gbc\u201D")),
            qPrintable(all));
        QVERIFY(all.endsWith(QStringLiteral("\n\n") + Entries(*list).join(QLatin1Char('\n')) +
                             QLatin1Char('\n')));
        // Ctrl+C in the list: the selected line alone.
        QVERIFY(ShowAndActivate(*comparison));
        list->setFocus();
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Charmander learns TM24 now\n"));

        // A second comparison shows in the same window.
        FileDialogAnswerer again(ChooseFile(m_romPath));
        FindAction(*m_window, QStringLiteral("mnuCompare"))->trigger();
        QVERIFY(again.Answered());
        QCOMPARE(m_window->findChildren<QWidget*>(QStringLiteral("Comparison")).size(), 1);
        QCOMPARE(list->count(), 0);
    }

    void fixChecksumWritesTheSumIntoTheRom() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_romPath));
        m_sink.Clear();
        FindAction(*m_window, QStringLiteral("mnuFixChecksum"))->trigger();
        const Bytes fixed = ReadFileBytes(m_romPath);
        unsigned long sum = 0;
        for (std::size_t at = 0; at < fixed.size(); ++at) {
            sum += at == 0x14E || at == 0x14F ? 0 : fixed[at];
        }
        QCOMPARE(static_cast<unsigned>(fixed[0x14E] << 8 | fixed[0x14F]),
                 static_cast<unsigned>(sum & 0xFFFF));
        for (const std::size_t at : DifferingOffsets(m_modified, fixed)) {
            QVERIFY(at == 0x14E || at == 0x14F);
        }
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].icon, MessageIcon::Information);
        // The window's machine still shows what the file holds.
        QCOMPARE(Child<QListWidget>(*m_window, QStringLiteral("lstTM"))->currentRow(), 0);
    }

private:
    TempDir m_dir;
    RecordingSink m_sink;
    Bytes m_clean;
    Bytes m_modified;
    std::string m_cleanPath = m_dir.File("clean.gbc");
    std::string m_romPath = m_dir.File("mine.gbc");
    std::string m_patchPath = m_dir.File("mine.bps");
    std::unique_ptr<Form1> m_window;
};

}  // namespace brindlewick::test

#include "ShareMenuTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ShareMenuTest)
