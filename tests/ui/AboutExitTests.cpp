// The About window and Exit, driven from the main window's menus.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

QWidget* OpenAbout(Form1& window) {
    FindAction(window, QStringLiteral("mnuAbout"))->trigger();
    const QList<QWidget*> about = AboutWindows();
    return about.size() == 1 ? about.first() : nullptr;
}

// Waits until the About window that was open has gone (it deletes itself when closed).
bool AboutGone() {
    return QTest::qWaitFor([] { return AboutWindows().isEmpty(); });
}

}  // namespace

class AboutExitTest : public QObject {
    Q_OBJECT

private slots:
    void aboutDisablesTheMainWindowUntilOkKeepingItsState() {
        RecordingSink sink;
        TempDir dir;
        Form1 window;
        QVERIFY(OpenRomThroughWindow(window, MakeSyntheticRom(dir, "AAUE")));
        QVERIFY(ShowAndActivate(window));
        auto* price = Child<QLineEdit>(window, QStringLiteral("txtPrice"));
        price->setText(QStringLiteral("1234"));
        Child<QCheckBox>(window, QStringLiteral("chkTM05"))->setChecked(true);

        QWidget* about = OpenAbout(window);
        QVERIFY(about != nullptr);
        QVERIFY(!window.isEnabled());
        QVERIFY(about->isEnabled());
        // It cannot be opened twice, and the main window's shortcuts are dead meanwhile.
        FindAction(window, QStringLiteral("mnuAbout"))->trigger();
        QCOMPARE(AboutWindows().size(), 1);
        {
            FileDialogAnswerer answerer(CancelDialog(), 300);
            QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
            QTest::qWait(350);
            QVERIFY(!answerer.Answered());
        }

        QTest::mouseClick(Child<QPushButton>(*about, QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY(AboutGone());
        QVERIFY(window.isEnabled());
        QCOMPARE(price->text(), QStringLiteral("1234"));
        QVERIFY(Child<QCheckBox>(window, QStringLiteral("chkTM05"))->isChecked());
        QCOMPARE(window.windowTitle(), QStringLiteral("AAUE - Brindlewick"));
        QVERIFY(sink.messages.empty());
    }

    void closingTheAboutWindowEnablesTheMainWindow() {
        Form1 window;
        QVERIFY(ShowAndActivate(window));
        QWidget* about = OpenAbout(window);
        QVERIFY(about != nullptr);
        QVERIFY(!window.isEnabled());
        about->close();
        QVERIFY(AboutGone());
        QVERIFY(window.isEnabled());

        // The default button answers Return as well.
        about = OpenAbout(window);
        QVERIFY(about != nullptr);
        // Transient for the active main window, it counts as active before it is activated
        // itself; the keys reach it only once it is.
        QVERIFY(QTest::qWaitFor([about] { return QApplication::activeWindow() == about; }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(AboutGone());
        QVERIFY(window.isEnabled());
    }

    void aboutWindowShowsItsTexts() {
        Form1 window;
        QVERIFY(ShowAndActivate(window));
        QWidget* about = OpenAbout(window);
        QVERIFY(about != nullptr);
        QCOMPARE(about->windowTitle(), QStringLiteral("About Brindlewick"));
        QVERIFY(!about->windowIcon().isNull());
        QCOMPARE(Child<QLabel>(*about, QStringLiteral("Label1"))->text(),
                 QStringLiteral("Brindlewick v1.0.1"));
        QVERIFY(Child<QLabel>(*about, QStringLiteral("Label2"))
                    ->text()
                    .startsWith(QStringLiteral("Copyright \u00A9")));
        QCOMPARE(Child<QLabel>(*about, QStringLiteral("Label3"))->text(),
                 QStringLiteral("A tool to edit the attacks contained within all 50 TMs and which "
                                "Pok\u00E9mon the TMs are compatible with in Gold, Silver and "
                                "Crystal ROMs of all languages."));
        QVERIFY(!Child<QLabel>(*about, QStringLiteral("Label4"))->text().isEmpty());
        for (QLabel* label : about->findChildren<QLabel*>()) {
            QVERIFY2(label->height() >= label->heightForWidth(label->width()) &&
                         label->width() >= label->minimumSizeHint().width(),
                     qPrintable(label->objectName()));  // no text is cut short
        }
        const QPixmap picture = Child<QLabel>(*about, QStringLiteral("Image1"))->pixmap();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(62, 121));
        auto* ok = Child<QPushButton>(*about, QStringLiteral("Command1"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());

        QStringList focusable;
        for (QWidget* child : about->findChildren<QWidget*>()) {
            if (child->focusPolicy() != Qt::NoFocus) {
                focusable.append(child->objectName());
            }
        }
        QCOMPARE(focusable, QStringList{QStringLiteral("Command1")});
        QVERIFY(about->width() >= 377 && about->width() <= 440);
        QVERIFY(about->height() >= 203 && about->height() <= 260);
        QCOMPARE(about->minimumSize(), about->maximumSize());
        QVERIFY(!about->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(about->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        about->close();
        QVERIFY(AboutGone());
    }

    void exitClosesEveryWindowWithoutAMessage_data() {
        QTest::addColumn<bool>("romOpen");
        QTest::addColumn<bool>("byShortcut");
        QTest::newRow("at start, by menu") << false << false;
        QTest::newRow("after unsaved edits, by Ctrl+Q") << true << true;
    }

    void exitClosesEveryWindowWithoutAMessage() {
        QFETCH(bool, romOpen);
        QFETCH(bool, byShortcut);
        RecordingSink sink;
        TempDir dir;
        const std::string rom = MakeSyntheticRom(dir, "BYTS");
        const Bytes before = ReadFileBytes(rom);
        Form1 window;
        if (romOpen) {
            QVERIFY(OpenRomThroughWindow(window, rom));
            Child<QLineEdit>(window, QStringLiteral("txtPrice"))->setText(QStringLiteral("9"));
            Child<QCheckBox>(window, QStringLiteral("chkHM03"))->toggle();
        }
        QVERIFY(ShowAndActivate(window));

        // The command runs inside the application's event loop, which must then end by itself.
        QTimer::singleShot(0, &window, [&window, byShortcut] {
            if (byShortcut) {
                QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
            } else {
                FindAction(window, QStringLiteral("mnuExit"))->trigger();
            }
        });
        bool timedOut = false;
        // Tied to the window, so the watchdog dies with this test: left on the application it
        // would fire in a later test, into this finished frame, and end that test's event loop.
        QTimer::singleShot(5000, &window, [&timedOut] {
            timedOut = true;
            QApplication::exit(1);
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!timedOut);
        QVERIFY(!window.isVisible());
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
        }
        QVERIFY(sink.messages.empty());
        QVERIFY(ReadFileBytes(rom) == before);
    }
};

}  // namespace brindlewick::test

#include "AboutExitTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::AboutExitTest)
