// Real-looking cartridge images in the real window: a modified game whose tables lie elsewhere
// is opened with one message and shown, but every save is refused; and a save that would give
// the game a move list it cannot use asks first, in a box whose default is to go back.
#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/Messages.h"
#include "support/CartridgeImage.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "support/WindowDriver.h"
#include "ui/Form1.h"
#include "ui/QtMessageSink.h"

namespace brindlewick::test {
namespace {

// The boxes the Qt sink shows while it is installed, each answered as a person would: a
// question by Enter (its default) or a click on Save, a message by its OK button.
class BoxAnswerer {
public:
    struct Seen {
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    explicit BoxAnswerer(bool clickSave)
        : m_clickSave(clickSave), m_previous(SetMessageSink(&m_sink)) {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
        m_poll.start();
    }
    ~BoxAnswerer() { SetMessageSink(m_previous); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    QList<Seen> seen;

private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // An answered box is hidden at once, so it is never met twice.
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        Seen what{box->text(), box->standardButtons(), QMessageBox::NoButton};
        if (QPushButton* button = box->defaultButton()) {
            what.defaultButton = box->standardButton(button);
        }
        seen.append(what);
        if (box->standardButtons().testFlag(QMessageBox::Save)) {
            if (m_clickSave) {
                QTest::mouseClick(box->button(QMessageBox::Save), Qt::LeftButton);
            } else {
                QTest::keyClick(box, Qt::Key_Return);
            }
        } else {
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
    }

    bool m_clickSave;
    QtMessageSink m_sink;
    MessageSink* m_previous;
    QTimer m_poll;
};

}  // namespace

class ModifiedGameTest : public QObject {
    Q_OBJECT

private slots:
    // The base-stats table moved by 12 bytes, as one well-known Crystal variant has it.
    void modifiedGameOpensWithOneMessageAndRefusesEverySave() {
        const Release& release = ReleaseOf("BYTE");
        TestWindow s;
        CartridgeOptions options;
        options.baseStatsShift = 12;
        const std::string rom = MakeCartridgeImage(s.dir, LayoutOf(release), options);
        const Bytes before = ReadFileBytes(rom);

        QVERIFY(s.Open(rom));
        QCOMPARE(s.sink.messages.size(), std::size_t{1});
        const Message& message = s.sink.messages[0];
        QCOMPARE(message.icon, MessageIcon::Information);
        QVERIFY2(message.text.find("base-stats table") != std::string::npos, message.text.c_str());
        QVERIFY2(message.text.find("modified game") != std::string::npos, message.text.c_str());

        const WindowReading reading = s.Read();
        QCOMPARE(reading.caption, QStringLiteral("BYTE - Brindlewick"));
        QCOMPARE(reading.gameCode, QStringLiteral("BYTE"));
        QCOMPARE(reading.machine, 0);
        QCOMPARE(reading.species, 0);
        QVERIFY(reading.saveEnabled);

        // An edit, saved by the shortcut and by the menu: refused each time, file untouched.
        s.ClickRow("lstTM", 30);
        s.ClickRow("lstAttack", 7);
        s.ClickAndTypePrice(QStringLiteral("1234"));
        for (const bool byShortcut : {true, false}) {
            s.sink.Clear();
            s.Save(byShortcut);
            QCOMPARE(s.sink.messages.size(), std::size_t{1});
            QVERIFY2(s.sink.messages[0].text.rfind("Nothing was saved. ", 0) == 0,
                     s.sink.messages[0].text.c_str());
            QVERIFY(s.sink.questions.empty());
        }
        QCOMPARE(ReadFileBytes(rom), before);
    }

    // Crystal whose move list and item records lie in other banks, the game's code pointing
    // there: one message says where at the open, the window shows and saves what lies there.
    void modifiedGameWhoseCodeIsFollowedIsSavedWhereTheGameReads() {
        const Release& release = ReleaseOf("BYTE");
        Release moved = release;
        moved.moves = 0x20 * 0x4000 + 0x10;
        moved.prices = 0x21 * 0x4000 + 0x600;
        TestWindow s;
        CartridgeOptions options;
        options.code = GameCodeLayout{};
        const std::string rom = MakeCartridgeImage(s.dir, LayoutOf(moved), options);
        const Bytes before = ReadFileBytes(rom);
        QVERIFY(s.Open(rom));
        QCOMPARE(s.sink.messages.size(), std::size_t{1});
        QCOMPARE(s.sink.messages[0].icon, MessageIcon::Information);
        QVERIFY2(s.sink.messages[0].text.find("The game's code keeps its tables elsewhere") !=
                     std::string::npos,
                 s.sink.messages[0].text.c_str());
        QCOMPARE(s.Read().move, static_cast<int>(before[MoveAt(moved, 0)]));

        const int move = CartridgeFreeMoves().front();
        s.ClickRow("lstTM", 30);
        s.ClickRow("lstAttack", move);
        s.ClickAndTypePrice(QStringLiteral("1234"));
        s.sink.Clear();
        s.Save(true);
        QCOMPARE(s.sink.messages.size(), std::size_t{1});
        QCOMPARE(s.sink.messages[0].text, std::string("TM Information Successfully Changed!"));
        Bytes expected = before;
        expected[MoveAt(moved, 30)] = static_cast<std::uint8_t>(move);
        PutPrice(expected, PriceAt(moved, 30), 1234);
        const Bytes after = ReadFileBytes(rom);
        // Besides the move and the price only Bulbasaur's field may change (as the boxes show
        // it); nothing at the release's places.
        for (const std::size_t offset : DifferingOffsets(expected, after)) {
            QVERIFY2(
                offset >= FieldAt(moved, 0, 0) && offset <= FieldAt(moved, 0, kFieldLength - 1),
                qPrintable(QString::number(offset, 16)));
        }
        QCOMPARE(after[MoveAt(moved, 30)], static_cast<std::uint8_t>(move));
    }

    // TM31 given Thunderbolt, one of Crystal's tutor moves: the Qt sink asks with Save and
    // Cancel; Enter takes the default, Cancel, and nothing is written; Save writes the move.
    void tutorMoveIsAskedAboutInASaveOrCancelBox() {
        const Release& release = ReleaseOf("BYTE");
        TestWindow s;
        const std::string rom = MakeCartridgeImage(s.dir, LayoutOf(release));
        const Bytes before = ReadFileBytes(rom);
        QVERIFY(s.Open(rom));
        QVERIFY(s.sink.messages.empty());
        s.ClickRow("lstTM", 30);
        s.ClickRow("lstAttack", 0x55);
        QCOMPARE(s.Read().move, 0x55);

        {
            BoxAnswerer answerer(false);
            s.PressSave();
            QCOMPARE(answerer.seen.size(), 1);
            const BoxAnswerer::Seen& question = answerer.seen[0];
            QCOMPARE(question.buttons, QMessageBox::Save | QMessageBox::Cancel);
            QCOMPARE(question.defaultButton, QMessageBox::Cancel);
            QVERIFY2(question.text.contains(QStringLiteral("TM31")), qPrintable(question.text));
        }
        QCOMPARE(ReadFileBytes(rom), before);

        {
            BoxAnswerer answerer(true);
            s.Save(true);
            QCOMPARE(answerer.seen.size(), 2);
            QCOMPARE(answerer.seen[1].text, QStringLiteral("TM Information Successfully Changed!"));
        }
        const Bytes after = ReadFileBytes(rom);
        QCOMPARE(after[MoveAt(release, 30)], std::uint8_t{0x55});
        for (const std::size_t offset : DifferingOffsets(before, after)) {
            const bool fromTheSave = offset == MoveAt(release, 30) ||
                                     offset == PriceAt(release, 30) ||
                                     offset == PriceAt(release, 30) + 1 ||
                                     (offset >= FieldAt(release, 0, 0) &&
                                      offset <= FieldAt(release, 0, kFieldLength - 1));
            QVERIFY2(fromTheSave, qPrintable(QString::number(offset, 16)));
        }
    }
};

}  // namespace brindlewick::test

#include "ModifiedGameTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ModifiedGameTest)
