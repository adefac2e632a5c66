// What a new user meets in the window: the About window staying in front, the keyboard focus
// after an open, the price field's replaced text, and the machines' move tooltips.
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/QtMessageSink.h"

namespace brindlewick::test {
namespace {

// English Gold: the machine move table.
constexpr std::size_t kGoldMoves = 0x11A66;

// The tooltip `widget` shows when the mouse rests at `pos`, or "" for none.
QString ToolTipAt(QWidget* widget, QPoint pos) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &help);
    // A tooltip that is not there leaves the event ignored (the one shown before fades late).
    return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace

class WindowUseTest : public QObject {
    Q_OBJECT

private slots:
    void aboutStaysInFrontOfTheDisabledMainWindow() {
        Form1 window;
        QVERIFY(ShowAndActivate(window));
        FindAction(window, QStringLiteral("mnuAbout"))->trigger();
        QCOMPARE(AboutWindows().size(), 1);
        QWidget* about = AboutWindows().first();
        QVERIFY(QTest::qWaitFor([about] { return QApplication::activeWindow() == about; }));
        QVERIFY(about->windowHandle() != nullptr);
        QCOMPARE(about->windowHandle()->transientParent(), window.windowHandle());

        // The user clicks the disabled main window and the window system activates it.
        QTest::mouseClick(window.centralWidget(), Qt::LeftButton);
        window.activateWindow();
        QVERIFY(QTest::qWaitFor([about] { return QApplication::activeWindow() == about; }));
        QVERIFY(about->isVisible());
        QVERIFY(!window.isEnabled());

        about->close();
        QVERIFY(QTest::qWaitFor([] { return AboutWindows().isEmpty(); }));
        QVERIFY(window.isEnabled());
    }

    void afterAnOpenTheArrowKeysMoveTheMachineList() {
        RecordingSink sink;
        TempDir dir;
        const std::string rom = MakeSyntheticRom(dir, "AAUE");
        Form1 window;
        QVERIFY(OpenRomThroughWindow(window, rom, OpenBy::Shortcut));
        QVERIFY(ShowAndActivate(window));
        auto* machines = Child<QListWidget>(window, QStringLiteral("lstTM"));
        QCOMPARE(QApplication::focusWidget(), machines);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(machines->currentRow(), 1);

        // A reopen brings the focus back from the price field.
        auto* price = Child<QLineEdit>(window, QStringLiteral("txtPrice"));
        price->setFocus();
        QVERIFY(OpenRomThroughWindow(window, rom, OpenBy::Shortcut));
        QVERIFY(ShowAndActivate(window));
        QCOMPARE(QApplication::focusWidget(), machines);
        QCOMPARE(machines->currentRow(), 0);
        QVERIFY(sink.messages.empty());
    }

    void theRulesReplacementIsSelectedSoTheNextDigitReplacesIt() {
        RecordingSink sink;
        TempDir dir;
        const std::string rom = MakeSyntheticRom(dir, "AAUE");
        Form1 window;
        QVERIFY(OpenRomThroughWindow(window, rom));
        QVERIFY(ShowAndActivate(window));
        auto* price = Child<QLineEdit>(window, QStringLiteral("txtPrice"));
        price->setFocus();
        QTest::keyClick(price, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(price, Qt::Key_Backspace);
        QCOMPARE(price->text(), QStringLiteral("0"));
        QCOMPARE(price->selectedText(), QStringLiteral("0"));
        QTest::keyClicks(price, QStringLiteral("12345"));
        QCOMPARE(price->text(), QStringLiteral("12345"));

        QTest::keyClick(price, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(price, QStringLiteral("70000"));
        QCOMPARE(price->text(), QStringLiteral("65535"));
        QTest::keyClicks(price, QStringLiteral("9"));
        QCOMPARE(price->text(), QStringLiteral("9"));
        // A text within range is left as typed, with the cursor where it was.
        QTest::keyClicks(price, QStringLiteral("8"));
        QCOMPARE(price->text(), QStringLiteral("98"));
        QVERIFY(!price->hasSelectedText());

        // Saved as shown.
        QTest::keyClick(price, Qt::Key_S, Qt::ControlModifier);
        const Bytes bytes = ReadFileBytes(rom);
        QCOMPARE(int(bytes[0x6DD2]) | (int(bytes[0x6DD3]) << 8), 98);
    }

    void tooltipsNameTheMoveTheFileHoldsNow() {
        RecordingSink sink;
        TempDir dir;
        const std::string rom = MakeSyntheticRom(dir, "AAUE");
        Form1 window;
        QVERIFY(ShowAndActivate(window));
        auto* machines = Child<QListWidget>(window, QStringLiteral("lstTM"));
        auto* box = Child<QCheckBox>(window, QStringLiteral("chkTM24"));
        const QPoint tm24 = machines->visualItemRect(machines->item(23)).center();
        // Nothing before a ROM is open.
        QCOMPARE(ToolTipAt(machines->viewport(), tm24), QString());
        QCOMPARE(ToolTipAt(box, box->rect().center()), QString());

        Bytes bytes = ReadFileBytes(rom);
        bytes[kGoldMoves + 23] = 85;  // Thunderbolt
        bytes[kGoldMoves + 50] = 0;   // HM01: N/A
        WriteFileBytes(rom, bytes);
        QVERIFY(OpenRomThroughWindow(window, rom));
        QCOMPARE(ToolTipAt(machines->viewport(), tm24), QStringLiteral("Thunderbolt"));
        QCOMPARE(ToolTipAt(box, box->rect().center()), QStringLiteral("Thunderbolt"));
        auto* hm01 = Child<QCheckBox>(window, QStringLiteral("chkHM01"));
        QCOMPARE(ToolTipAt(hm01, hm01->rect().center()), QStringLiteral("N/A"));

        // Read when asked for: another program's change shows at once.
        bytes[kGoldMoves + 23] = 251;
        WriteFileBytes(rom, bytes);
        QCOMPARE(ToolTipAt(box, box->rect().center()), QStringLiteral("Beat Up"));
        // A byte that names no move, and a failed read, give none, and no message box.
        bytes[kGoldMoves + 23] = 252;
        WriteFileBytes(rom, bytes);
        QCOMPARE(ToolTipAt(box, box->rect().center()), QString());
        std::filesystem::remove(rom);
        QCOMPARE(ToolTipAt(machines->viewport(), tm24), QString());
        QVERIFY(sink.messages.empty());
    }

    void messageIconsHaveThePixelsOfTheScreen() {
        // Run also at QT_SCALE_FACTOR 1.5 and 2 (see CMakeLists.txt): the style's icons exist
        // at 32 pixels only and came out blurred when blown up.
        QWidget owner;
        QVERIFY(ShowAndActivate(owner));
        QtMessageSink sink;
        MessageSink* previous = SetMessageSink(&sink);
        QPixmap seen;
        qreal ratio = 0;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            poll.stop();
            seen = box->findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))->pixmap();
            ratio = box->devicePixelRatioF();
            box->accept();
        });
        poll.start();
        ShowMessage("Unsupported ROM", MessageIcon::Information);
        SetMessageSink(previous);
        QVERIFY(!seen.isNull());
        QCOMPARE(seen.devicePixelRatio(), ratio);
        QCOMPARE(seen.width(), qRound(seen.deviceIndependentSize().width() * ratio));
        QVERIFY(seen.deviceIndependentSize().width() >= 32);
    }
};

}  // namespace brindlewick::test

#include "WindowUseTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::WindowUseTest)
