// Opening a file the desktop way: named on the command line (the function main uses, and the
// built program for what it refuses) and dropped on the window. Each runs the open workflow of
// "Open ROM..." after its dialog, with the same messages and the same refusals.
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <memory>
#include <vector>

#include "support/CartridgeImage.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "support/WindowDriver.h"
#include "ui/Form1.h"
#include "ui/StartupArguments.h"

namespace brindlewick::test {
namespace {

// A command line as main gets it: the program, then `given`, as bytes.
class Arguments {
public:
    Arguments(std::initializer_list<std::string> given) : m_text{"brindlewick"} {
        m_text.insert(m_text.end(), given.begin(), given.end());
        for (std::string& argument : m_text) {
            m_argv.push_back(argument.data());
        }
        m_argv.push_back(nullptr);
    }
    int Count() const { return static_cast<int>(m_text.size()); }
    char** Values() { return m_argv.data(); }
    std::string Joined() const {
        std::string joined;
        for (const std::string& argument : m_text) {
            joined += argument + " ";
        }
        return joined;
    }

private:
    std::vector<std::string> m_text;
    std::vector<char*> m_argv;
};

StartupArguments Parse(Arguments arguments) {
    return ParseStartupArguments(arguments.Count(), arguments.Values());
}

QString Path(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QMimeData* Urls(const QList<QUrl>& urls) {
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

// A drag over the window and its drop, as the window system delivers them: whether the
// window took each.
struct DropOutcome {
    bool enterAccepted;
    bool dropAccepted;
};

DropOutcome Drop(Form1& window, const QMimeData& data) {
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}

}  // namespace

class OpenFileTest : public QObject {
    Q_OBJECT

private slots:
    void commandLineTakesOneFileAndNothingElse() {
        const StartupArguments none = Parse(Arguments({}));
        QVERIFY(!none.refused);
        QVERIFY(none.file.empty());

        // A relative name is taken in the current folder, and kept absolute.
        const StartupArguments relative = Parse(Arguments({"game.gbc"}));
        QVERIFY(!relative.refused);
        QCOMPARE(QString::fromStdString(relative.file),
                 QDir::current().absoluteFilePath(QStringLiteral("game.gbc")));
        const StartupArguments dashed = Parse(Arguments({"--", "-odd.gb"}));
        QVERIFY(!dashed.refused);
        QCOMPARE(QString::fromStdString(dashed.file),
                 QDir::current().absoluteFilePath(QStringLiteral("-odd.gb")));

        for (const auto& refused :
             {Arguments({"one.gbc", "two.gbc"}), Arguments({"--help"}), Arguments({"-v"}),
              Arguments({"game.gbc", "--open"}), Arguments({""}), Arguments({"--", "a", "b"})}) {
            const StartupArguments parsed = Parse(refused);
            QVERIFY2(parsed.refused, refused.Joined().c_str());
            QVERIFY(parsed.file.empty());
        }
    }

    // The Australian Crystal named on the command line: shown once the window is, with no
    // message, as after the dialog.
    void fileOnTheCommandLineOpensOnceTheWindowShows() {
        TestWindow s;
        const std::string rom = MakeCartridgeImage(s.dir, LayoutOf(ReleaseOf("BYTU")));
        const StartupArguments arguments = Parse(Arguments({rom}));
        QVERIFY(!arguments.refused);

        ShowAndOpen(s.window, arguments.file);
        QVERIFY(s.window.isVisible());
        QTRY_COMPARE(s.Read().caption, QStringLiteral("BYTU - Brindlewick"));
        const WindowReading reading = s.Read();
        QCOMPARE(reading.gameName, QStringLiteral(" Pok\u00E9mon Crystal"));
        QCOMPARE(reading.gameCode, QStringLiteral("BYTU"));
        QCOMPARE(reading.language, QStringLiteral("English (Australia)"));
        QCOMPARE(reading.machine, 0);
        QCOMPARE(reading.species, 0);
        QVERIFY(reading.saveEnabled);
        QCOMPARE(s.sink.messages.size(), std::size_t{0});

        // An unchanged save writes the file back as it was.
        const Bytes before = ReadFileBytes(rom);
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        QCOMPARE(ReadFileBytes(rom), before);
    }

    // The same refusals as after the dialog: an unsupported file, and one that is missing.
    void refusedFilesGiveTheDialogsMessages() {
        TestWindow s;
        const std::string unsupported = MakeSyntheticRom(s.dir, "ZZZZ", "other.gbc");
        ShowAndOpen(s.window, unsupported);
        QTRY_COMPARE(s.sink.messages.size(), std::size_t{1});
        QCOMPARE(s.sink.messages[0].text, std::string("Unsupported ROM"));
        QCOMPARE(s.Read().caption, QStringLiteral("Brindlewick"));
        QVERIFY(!s.Read().saveEnabled);
        s.sink.Clear();

        s.window.OpenRomPath(s.dir.File("missing.gbc"));
        QCOMPARE(s.sink.messages.size(), std::size_t{1});
        QCOMPARE(s.sink.messages[0].title.rfind("Error: ", 0), 0u);
        QVERIFY(!s.Read().saveEnabled);
    }

    void droppedFileIsOpened() {
        TestWindow s;
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        const std::string gold = MakeCartridgeImage(s.dir, LayoutOf(ReleaseOf("AAUE")));
        const std::unique_ptr<QMimeData> data(Urls({QUrl::fromLocalFile(Path(gold))}));
        const DropOutcome outcome = Drop(s.window, *data);
        QVERIFY(outcome.enterAccepted);
        QVERIFY(outcome.dropAccepted);
        QTRY_COMPARE(s.Read().caption, QStringLiteral("AAUE - Brindlewick"));
        QCOMPARE(s.Read().language, QStringLiteral("English"));
        QVERIFY(s.sink.messages.empty());

        // A second drop replaces it, as a second Open ROM does.
        const std::string crystal =
            MakeCartridgeImage(s.dir, LayoutOf(ReleaseOf("BYTU")), {}, "australia.gbc");
        const std::unique_ptr<QMimeData> next(Urls({QUrl::fromLocalFile(Path(crystal))}));
        QVERIFY(Drop(s.window, *next).dropAccepted);
        QTRY_COMPARE(s.Read().caption, QStringLiteral("BYTU - Brindlewick"));
    }

    // A name that is no UTF-8 (Latin-1 bytes, as old archives leave them) reaches the file
    // layer byte for byte, from the command line and from a drop; the file whose name is its
    // decoding to text is never opened or written. A dropped name with a zero byte in it is
    // refused with a message, never cut at that byte.
    void namesReachTheFileByteForByte() {
        TestWindow s;
        const std::string latin1 = s.dir.File("Pok\xE9mon Gold.gbc");
        const std::string twin = s.dir.File("Pok\xEF\xBF\xBDmon Gold.gbc");
        WriteFileBytes(latin1, CartridgeImageBytes(LayoutOf(ReleaseOf("AAUE"))));
        WriteFileBytes(twin, CartridgeImageBytes(LayoutOf(ReleaseOf("AAXE"))));
        const Bytes latin1Before = ReadFileBytes(latin1);
        const Bytes twinBefore = ReadFileBytes(twin);

        const StartupArguments arguments = Parse(Arguments({latin1}));
        QVERIFY(!arguments.refused);
        QCOMPARE(arguments.file, latin1);
        ShowAndOpen(s.window, arguments.file);
        QTRY_COMPARE(s.Read().caption, QStringLiteral("AAUE - Brindlewick"));
        s.ClickAndTypePrice(QStringLiteral("1234"));
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        Bytes expected = latin1Before;
        PutPrice(expected, PriceAt(ReleaseOf("AAUE"), 0), 1234);
        QCOMPARE(ReadFileBytes(latin1), expected);
        QCOMPARE(ReadFileBytes(twin), twinBefore);

        // Dropped: the file manager writes the byte as %E9.
        s.Open(twin);
        QTRY_COMPARE(s.Read().caption, QStringLiteral("AAXE - Brindlewick"));
        const QString folder = QString::fromStdString(s.dir.Path().string());
        const std::unique_ptr<QMimeData> dropped(Urls(
            {QUrl(QStringLiteral("file://") + folder + QStringLiteral("/Pok%E9mon%20Gold.gbc"))}));
        QVERIFY(Drop(s.window, *dropped).dropAccepted);
        QTRY_COMPARE(s.Read().caption, QStringLiteral("AAUE - Brindlewick"));

        // "crys.gbc%00.txt" is no name of "crys.gbc".
        const std::string crystal =
            MakeCartridgeImage(s.dir, LayoutOf(ReleaseOf("BYTE")), {}, "crys.gbc");
        s.sink.Clear();
        const std::unique_ptr<QMimeData> zero(
            Urls({QUrl(QStringLiteral("file://") + folder + QStringLiteral("/crys.gbc%00.txt"))}));
        QVERIFY(Drop(s.window, *zero).dropAccepted);
        QTRY_COMPARE(s.sink.messages.size(), std::size_t{1});
        QCOMPARE(s.sink.messages[0].title, std::string("Error: 1015"));
        QCOMPARE(s.sink.messages[0].text,
                 std::string("Could not open \u201Ccrys.gbc\u2400.txt\u201D: The file name holds "
                             "a zero byte, which no file's name can."));
        QCOMPARE(s.Read().caption, QStringLiteral("AAUE - Brindlewick"));
    }

    void onlyOneLocalFileIsTaken() {
        TestWindow s;
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        const std::string a = MakeCartridgeImage(s.dir, LayoutOf(ReleaseOf("AAUE")), {}, "a.gbc");
        const std::string b = MakeCartridgeImage(s.dir, LayoutOf(ReleaseOf("AAXE")), {}, "b.gbc");
        std::vector<std::unique_ptr<QMimeData>> refused;
        refused.emplace_back(Urls({QUrl::fromLocalFile(Path(a)), QUrl::fromLocalFile(Path(b))}));
        refused.emplace_back(Urls({QUrl(QStringLiteral("https://example.org/game.gbc"))}));
        refused.emplace_back(new QMimeData);
        refused.back()->setText(Path(a));
        for (const auto& data : refused) {
            const DropOutcome outcome = Drop(s.window, *data);
            QVERIFY(!outcome.enterAccepted);
            QVERIFY(!outcome.dropAccepted);
        }
        QTest::qWait(50);
        QCOMPARE(s.Read().caption, QStringLiteral("Brindlewick"));
        QVERIFY(s.sink.messages.empty());
    }

    // The built program answers a command line it cannot take with its usage line and
    // status 2, before any window shows.
    void programRefusesASecondArgumentOrAnOption() {
        for (const QStringList& arguments :
             {QStringList{QStringLiteral("one.gbc"), QStringLiteral("two.gbc")},
              QStringList{QStringLiteral("--help")}}) {
            QProcess program;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(BRINDLEWICK_PROGRAM), arguments);
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), kStartupUsageStatus);
            // The platform may say a word of its own first.
            const QByteArray said = program.readAllStandardError();
            QVERIFY2(said.endsWith(QByteArray(kStartupUsage) + '\n'), said.constData());
            QVERIFY(program.readAllStandardOutput().isEmpty());
        }
    }
};

}  // namespace brindlewick::test

#include "OpenFileTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::OpenFileTest)
