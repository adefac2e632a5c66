// The Tools menu's commands on the whole tables, worked through the real window: export to a
// CSV, import from one, and the check of the open ROM.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include "rom/RomTables.h"
#include "support/CartridgeImage.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "tables/TablesFile.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

const Release& Gold() {
    return ReleaseOf("AAUE");
}

std::size_t Field(int species, int fieldByte) {
    return FieldAt(Gold(), species, fieldByte);
}

// A synthetic image in which TM01 teaches Mega Punch (5), Bulbasaur learns TM01 and Ivysaur
// no machine.
Bytes KnownRom() {
    Bytes image = SyntheticRomBytes("AAUE");
    for (int species = 0; species < 2; ++species) {
        for (int j = 0; j < 8; ++j) {
            image[Field(species, j)] = 0;
        }
    }
    image[Field(0, 0)] = 0x01;
    image[MoveAt(Gold(), 0)] = 5;
    return image;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

// `csv` with the first occurrence of `from` replaced by `to`.
std::string Replaced(std::string csv, const std::string& from, const std::string& to) {
    const auto at = csv.find(from);
    if (at == std::string::npos) {
        qFatal("no \"%s\" in the CSV", from.c_str());
    }
    return csv.replace(at, from.size(), to);
}

QString Texts(const std::vector<Message>& messages) {
    QString text;
    for (const Message& message : messages) {
        text += QString::fromStdString(message.text) + QLatin1Char('\n');
    }
    return text;
}

}  // namespace

class TablesMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_rom = m_dir.File("tools.gbc");
        m_csv = m_dir.File("tables.csv");
        WriteFileBytes(m_rom, KnownRom());
        m_window = std::make_unique<Form1>();
        QVERIFY(ShowAndActivate(*m_window));
    }
    void cleanup() {
        m_window.reset();
        m_sink.Clear();
        m_sink.answer = false;
        std::filesystem::remove(m_csv);
    }

    void commandsWaitForARom() {
        for (const char* name : {"mnuExport", "mnuImport", "mnuCheck"}) {
            QVERIFY2(!FindAction(*m_window, QString::fromLatin1(name))->isEnabled(), name);
        }
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        for (const char* name : {"mnuExport", "mnuImport", "mnuCheck"}) {
            QVERIFY2(FindAction(*m_window, QString::fromLatin1(name))->isEnabled(), name);
        }
    }

    void exportWritesTheCoresCsvAndNeverTheRom() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        m_sink.Clear();
        const Bytes before = ReadFileBytes(m_rom);
        QString proposed;
        QString folder;
        const FileDialogAnswerer answerer([&](QFileDialog& dialog) {
            proposed = dialog.selectedFiles().value(0);
            folder = dialog.directory().absolutePath();
            QVERIFY(dialog.acceptMode() == QFileDialog::AcceptSave);
            // A name typed without an extension becomes a .csv file.
            QCOMPARE(dialog.defaultSuffix(), QStringLiteral("csv"));
            ChooseFile(m_csv)(dialog);
        });
        FindAction(*m_window, QStringLiteral("mnuExport"))->trigger();
        QVERIFY(answerer.Answered());
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("tools.csv"));
        QCOMPARE(folder, QString::fromStdString(m_dir.Path().string()));

        const auto expected = ExportTables(m_rom);
        QVERIFY(expected);
        QCOMPARE(ReadText(m_csv), *expected);
        QCOMPARE(ReadFileBytes(m_rom), before);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].icon, MessageIcon::Information);
        QVERIFY2(m_sink.messages[0].text.find("\u201Ctables.csv\u201D") != std::string::npos,
                 m_sink.messages[0].text.c_str());
    }

    void acceptedImportWritesAndTheWindowReadsTheFileAgain() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        FindAction(*m_window, QStringLiteral("mnuLearners"))->trigger();
        auto* learners = m_window->findChild<QWidget*>(QStringLiteral("Learners"));
        QVERIFY(learners != nullptr);
        // Ivysaur on the species page, TM01 on the machine page.
        auto* species = Child<QListWidget>(*m_window, QStringLiteral("List1"));
        Child<QTabWidget>(*m_window, QStringLiteral("tab1"))->setCurrentIndex(1);
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(1)).center());
        QVERIFY(!Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"))->isChecked());
        m_sink.Clear();

        // TM01 teaches Surf (57) and Ivysaur learns it.
        const Bytes before = ReadFileBytes(m_rom);
        std::string csv = Replaced(*ExportTables(m_rom), "move,Mega Punch,", "move,Surf,");
        csv = Replaced(csv, "\nIvysaur,0,", "\nIvysaur,1,");
        WriteText(m_csv, csv);
        m_sink.answer = true;
        const FileDialogAnswerer answerer(ChooseFile(m_csv));
        FindAction(*m_window, QStringLiteral("mnuImport"))->trigger();
        QVERIFY(answerer.Answered());

        QCOMPARE(m_sink.questions.size(), std::size_t{1});
        const std::string& question = m_sink.questions[0].text;
        QVERIFY2(question.find("1 machine and 1 species: 2 bytes") != std::string::npos,
                 question.c_str());
        QVERIFY2(question.find("Ivysaur: now learns TM01") != std::string::npos, question.c_str());
        Bytes expected = before;
        expected[MoveAt(Gold(), 0)] = 57;
        expected[Field(1, 0)] = 0x01;
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});

        // The machine, the species and the learners as the file holds them now.
        QCOMPARE(Child<QListWidget>(*m_window, QStringLiteral("lstAttack"))->currentRow(), 57);
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"))->isChecked());
        QVERIFY(Entries(*Child<QListWidget>(*learners, QStringLiteral("lstLearners")))
                    .contains(QStringLiteral("Ivysaur")));
        QVERIFY(learners->windowTitle().startsWith(QStringLiteral("TM01 Surf")));
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].icon, MessageIcon::Information);
    }

    void declinedImportLeavesTheRomByteForByte() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        m_sink.Clear();
        const Bytes before = ReadFileBytes(m_rom);
        WriteText(m_csv, Replaced(*ExportTables(m_rom), "move,Mega Punch,", "move,Surf,"));
        const FileDialogAnswerer answerer(ChooseFile(m_csv));
        FindAction(*m_window, QStringLiteral("mnuImport"))->trigger();
        QVERIFY(answerer.Answered());
        QCOMPARE(m_sink.questions.size(), std::size_t{1});
        QCOMPARE(ReadFileBytes(m_rom), before);
        QVERIFY2(m_sink.messages.empty(), qPrintable(Texts(m_sink.messages)));
        QCOMPARE(Child<QListWidget>(*m_window, QStringLiteral("lstAttack"))->currentRow(), 5);
    }

    // A CSV built to hurt (a field of half a million line ends, a name of half a megabyte): the
    // answer comes within a second, in a box that fits the screen.
    void hostileCsvIsAnsweredQuicklyInABoxThatFitsTheScreen() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        m_sink.Clear();
        const Bytes before = ReadFileBytes(m_rom);
        const std::string exported = *ExportTables(m_rom);
        const std::string header = exported.substr(0, exported.find("\nBulbasaur,") + 1);
        std::string cells;
        for (int k = 0; k < kMachineCount; ++k) {
            cells += ",0";
        }
        WriteText(m_csv, header + "\"" + std::string(500'000, '\n') + "\"" + cells + "\n" +
                             std::string(500'000, 'N') + cells + "\n");
        QElapsedTimer timer;
        timer.start();
        const FileDialogAnswerer answerer(ChooseFile(m_csv));
        FindAction(*m_window, QStringLiteral("mnuImport"))->trigger();
        QVERIFY(answerer.Answered());
        // Bounded work, not speed (the bench measures that): a quadratic answer to 1 MB takes
        // minutes; this bound holds under the sanitizers on a loaded machine too.
        QVERIFY2(timer.elapsed() < 10000, std::to_string(timer.elapsed()).c_str());
        QVERIFY(m_sink.questions.empty());
        QCOMPARE(ReadFileBytes(m_rom), before);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        const QString text = QString::fromStdString(m_sink.messages[0].text);
        QVERIFY2(text.count(QLatin1Char('\n')) <= 22, qPrintable(text.left(2000)));
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Brindlewick"), text);
        const QSize size = box.sizeHint();
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY2(size.width() <= screen.width() && size.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
    }

    void malformedImportShowsItsProblemsAndWritesNothing() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        m_sink.Clear();
        m_sink.answer = true;
        const Bytes before = ReadFileBytes(m_rom);
        std::string csv = Replaced(*ExportTables(m_rom), "move,Mega Punch,", "move,Nothing,");
        csv = Replaced(csv, "\nIvysaur,0,", "\nIvysaur,2,");
        WriteText(m_csv, csv);
        const FileDialogAnswerer answerer(ChooseFile(m_csv));
        FindAction(*m_window, QStringLiteral("mnuImport"))->trigger();
        QVERIFY(answerer.Answered());
        QVERIFY(m_sink.questions.empty());
        QCOMPARE(ReadFileBytes(m_rom), before);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        const std::string& text = m_sink.messages[0].text;
        QVERIFY2(text.find("2 problems") != std::string::npos, text.c_str());
        QVERIFY2(text.find("line 2, column 2") != std::string::npos, text.c_str());
        QVERIFY2(text.find("line 5, column 2") != std::string::npos, text.c_str());
    }

    void changeTheGameCannotUseIsAskedAboutAfterThePlan() {
        const std::string real = MakeCartridgeImage(m_dir, LayoutOf(Gold()));
        QVERIFY(OpenRomThroughWindow(*m_window, real));
        m_sink.Clear();
        // TM02 given TM01's move: the game would use TM01's bit for both.
        const auto& moves = CartridgeMoves();
        std::string moveRow = "move";
        for (int k = 0; k < kMachineCount; ++k) {
            moveRow += "," + std::to_string(moves[static_cast<std::size_t>(k == 1 ? 0 : k)]);
        }
        std::string csv = *ExportTables(real);
        const auto start = csv.find("\nmove,") + 1;
        csv.replace(start, csv.find('\n', start) - start, moveRow);
        WriteText(m_csv, csv);
        const Bytes before = ReadFileBytes(real);

        for (const bool answer : {false, true}) {
            m_sink.Clear();
            m_sink.answer = answer;
            const FileDialogAnswerer answerer(ChooseFile(m_csv));
            FindAction(*m_window, QStringLiteral("mnuImport"))->trigger();
            QVERIFY(answerer.Answered());
            // Declining the first question asks nothing more.
            QCOMPARE(m_sink.questions.size(), std::size_t{answer ? 2u : 1u});
            if (answer) {
                const std::string& question = m_sink.questions[1].text;
                QVERIFY2(question.find("The game could not use") != std::string::npos,
                         question.c_str());
                QVERIFY2(question.ends_with("Import all the same?"), question.c_str());
            }
            Bytes expected = before;
            if (answer) {
                expected[MoveAt(Gold(), 1)] = moves[0];
            }
            QCOMPARE(DifferingOffsets(expected, ReadFileBytes(real)), std::vector<std::size_t>{});
        }
    }

    void checkNamesTheShiftedTable() {
        const std::string real =
            MakeCartridgeImage(m_dir, LayoutOf(Gold()), CartridgeOptions{.baseStatsShift = 32});
        QVERIFY(OpenRomThroughWindow(*m_window, real));
        m_sink.Clear();
        FindAction(*m_window, QStringLiteral("mnuCheck"))->trigger();
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        const std::string& text = m_sink.messages[0].text;
        QVERIFY2(text.find("AAUE") != std::string::npos, text.c_str());
        QVERIFY2(text.find("A real cartridge image whose tables do not lie") != std::string::npos,
                 text.c_str());
        QVERIFY2(text.find("base-stats table at 0x") != std::string::npos, text.c_str());
        QVERIFY2(text.find("item records") == std::string::npos, text.c_str());

        // The same cartridge where its release keeps the tables.
        const std::string sound = MakeCartridgeImage(m_dir, LayoutOf(Gold()), {}, "sound.gbc");
        QVERIFY(OpenRomThroughWindow(*m_window, sound));
        m_sink.Clear();
        FindAction(*m_window, QStringLiteral("mnuCheck"))->trigger();
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QVERIFY2(m_sink.messages[0].text.find("its tables lie where this release keeps them") !=
                     std::string::npos,
                 m_sink.messages[0].text.c_str());
    }

private:
    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom;
    std::string m_csv;
    std::unique_ptr<Form1> m_window;
};

}  // namespace brindlewick::test

#include "TablesMenuTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::TablesMenuTest)
