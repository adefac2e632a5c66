// clsCommonDialog: filter lists, the options, and what an object remembers between dialogs.
#include <QTest>
#include <QWidget>
#include <filesystem>

#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/clsCommonDialog.h"

namespace brindlewick::test {
namespace {

// What a dialog looked like when it was answered.
struct DialogSeen {
    QString title;
    QStringList nameFilters;
    QString selectedNameFilter;
    QString directory;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    bool confirmsOverwrite = false;
    bool modal = false;
    QStringList proposed;
};

// Records the dialog, picks filter `filterIndex` (1-based; 0 keeps the preselected one), then
// chooses `path` or, when it is empty, cancels.
FileDialogAnswerer::Answer RecordAndAnswer(DialogSeen& seen, const std::string& path,
                                           int filterIndex = 0) {
    return [&seen, path, filterIndex](QFileDialog& dialog) {
        seen.title = dialog.windowTitle();
        seen.nameFilters = dialog.nameFilters();
        seen.selectedNameFilter = dialog.selectedNameFilter();
        seen.directory = dialog.directory().absolutePath();
        seen.fileMode = dialog.fileMode();
        seen.acceptMode = dialog.acceptMode();
        seen.confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        seen.modal = dialog.isModal();
        seen.proposed = dialog.selectedFiles();
        if (filterIndex > 0) {
            dialog.selectNameFilter(dialog.nameFilters().at(filterIndex - 1));
        }
        (path.empty() ? CancelDialog() : ChooseFile(path))(dialog);
    };
}

QString Folder(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

const char* const kTwoFilters = "GBC ROMs (*.gbc)|*.gb;*.gbc|All Files (*.*)|*.*|";

}  // namespace

class CommonDialogTest : public QObject {
    Q_OBJECT

private slots:
    void filterListsBecomeNameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one pair, no final bar")
            << QStringLiteral("GBC ROMs (*.gbc)|*.gb;*.gbc")
            << QStringList{QStringLiteral("GBC ROMs (*.gbc) (*.gb *.gbc)")};
        QTest::newRow("every file, final bar")
            << QStringLiteral("All Files (*.*)|*.*|")
            << QStringList{QStringLiteral("All Files (*.*) (*)")};
        QTest::newRow("two pairs") << QString::fromLatin1(kTwoFilters)
                                   << QStringList{QStringLiteral("GBC ROMs (*.gbc) (*.gb *.gbc)"),
                                                  QStringLiteral("All Files (*.*) (*)")};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("description without patterns")
            << QStringLiteral("Palettes|*.gpl|Orphan")
            << QStringList{QStringLiteral("Palettes (*.gpl)")};
    }

    void filterListsBecomeNameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(NameFiltersFromFilterList(filter.toStdString()), expected);
    }

    void openDialogFollowsItsArgumentsAndOwner() {
        TempDir dir;
        const std::string rom = MakeSyntheticRom(dir, "AAUE", "r\u00F6m.gb");
        QWidget owner;
        clsCommonDialog dialog;
        QCOMPARE(dialog.FilterIndex(), 0);
        DialogSeen seen;
        std::string chosen;
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, rom));
            chosen = dialog.ShowOpen(&owner, "Open \u00E9 ROM", Folder(dir.Path()).toStdString(),
                                     "GBC ROMs (*.gbc)|*.gb;*.gbc", 0x1804);
            QVERIFY(answerer.Answered());
            QCOMPARE(answerer.Owner(), &owner);
        }
        QCOMPARE(chosen, rom);
        QCOMPARE(dialog.FilterIndex(), 1);
        QCOMPARE(seen.title, QStringLiteral("Open \u00E9 ROM"));
        QCOMPARE(seen.nameFilters, QStringList{QStringLiteral("GBC ROMs (*.gbc) (*.gb *.gbc)")});
        QCOMPARE(seen.directory, Folder(dir.Path()));
        QCOMPARE(seen.fileMode, QFileDialog::ExistingFile);
        QCOMPARE(seen.acceptMode, QFileDialog::AcceptOpen);
        QVERIFY(seen.modal);
    }

    void objectRemembersFolderAndFilterButNotACancel() {
        TempDir first;
        TempDir second;
        const std::string rom = MakeSyntheticRom(second, "AAUE", "rom.dat");
        clsCommonDialog dialog;
        DialogSeen seen;
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, rom, 2));
            QCOMPARE(
                dialog.ShowOpen(nullptr, "Open", Folder(first.Path()).toStdString(), kTwoFilters),
                rom);
        }
        QCOMPARE(seen.directory, Folder(first.Path()));
        QCOMPARE(dialog.FilterIndex(), 2);

        // Cancelled: nothing is returned and nothing remembered changes.
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, std::string()));
            QCOMPARE(dialog.ShowOpen(nullptr, "Open", std::string(), kTwoFilters), std::string());
            QVERIFY(answerer.Answered());
        }
        QCOMPARE(dialog.FilterIndex(), 2);
        QCOMPARE(seen.directory, Folder(second.Path()));
        QCOMPARE(seen.selectedNameFilter, QStringLiteral("All Files (*.*)"));

        // The remembered file still gives the folder; an explicit folder wins over it.
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, std::string()));
            static_cast<void>(dialog.ShowOpen(nullptr, "Open", std::string(), kTwoFilters));
        }
        QCOMPARE(seen.directory, Folder(second.Path()));
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, std::string()));
            static_cast<void>(
                dialog.ShowOpen(nullptr, "Open", Folder(first.Path()).toStdString(), kTwoFilters));
        }
        QCOMPARE(seen.directory, Folder(first.Path()));

        // A new object remembers no filter.
        clsCommonDialog fresh;
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, std::string()));
            static_cast<void>(fresh.ShowOpen(nullptr, "Open", std::string(), kTwoFilters));
        }
        QCOMPARE(seen.selectedNameFilter, QStringLiteral("GBC ROMs (*.gbc)"));
        QCOMPARE(fresh.FilterIndex(), 0);
    }

    void aChoiceInAMissingFolderIsRefusedWhenThePathMustExist() {
        TempDir dir;
        const std::string missing = dir.File("gone/rom.gbc");
        clsCommonDialog dialog;
        DialogSeen seen;
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, missing));
            QCOMPARE(dialog.ShowOpen(nullptr, "Open", Folder(dir.Path()).toStdString(),
                                     "All Files (*.*)|*.*|", 0x800),
                     std::string());
        }
        QCOMPARE(seen.fileMode, QFileDialog::AnyFile);
        QCOMPARE(dialog.FilterIndex(), 0);
    }

    void saveDialogProposesTheNameAndAsksBeforeOverwriting_data() {
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<bool>("confirmsOverwrite");
        QTest::addColumn<bool>("mustExist");
        QTest::newRow("0x1802") << 0x1802u << true << true;
        QTest::newRow("0x0800") << 0x0800u << false << false;
    }

    void saveDialogProposesTheNameAndAsksBeforeOverwriting() {
        QFETCH(unsigned, flags);
        QFETCH(bool, confirmsOverwrite);
        QFETCH(bool, mustExist);
        TempDir dir;
        const std::string target = MakeSyntheticRom(dir, "AAUE", "palette.gpl");
        const std::string name(127, 'p');
        clsCommonDialog dialog;
        DialogSeen seen;
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, target));
            QCOMPARE(dialog.ShowSave(nullptr, "Save", name, Folder(dir.Path()).toStdString(),
                                     "Palettes (*.gpl)|*.gpl", flags),
                     target);
        }
        QCOMPARE(seen.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(seen.confirmsOverwrite, confirmsOverwrite);
        QCOMPARE(seen.fileMode, mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        QCOMPARE(seen.proposed.size(), 1);
        // The proposed name, with the default extension the dialog adds to a bare name.
        QVERIFY(seen.proposed.first().endsWith(QString::fromStdString(name + ".gpl")));
        QCOMPARE(dialog.FilterIndex(), 1);
    }

    void savingLeavesTheRememberedFileAlone() {
        TempDir opened;
        TempDir saved;
        const std::string rom = MakeSyntheticRom(opened, "AAUE");
        clsCommonDialog dialog;
        DialogSeen seen;
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, rom));
            QCOMPARE(dialog.ShowOpen(nullptr, "Open", std::string()), rom);
        }
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, saved.File("a.gpl")));
            QCOMPARE(dialog.ShowSave(nullptr, "Save", "a", Folder(saved.Path()).toStdString(),
                                     std::string(), 0x800),
                     saved.File("a.gpl"));
        }
        QCOMPARE(dialog.FilterIndex(), 0);  // a dialog without filters
        {
            FileDialogAnswerer answerer(RecordAndAnswer(seen, std::string()));
            static_cast<void>(dialog.ShowOpen(nullptr, "Open", std::string()));
        }
        QCOMPARE(seen.directory, Folder(opened.Path()));
    }
};

}  // namespace brindlewick::test

#include "CommonDialogTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::CommonDialogTest)
