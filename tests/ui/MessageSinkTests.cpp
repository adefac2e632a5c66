// The Qt message sink: every message becomes a modal box with one OK button.
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/Messages.h"
#include "support/QtTestMain.h"
#include "support/UiTestSupport.h"
#include "ui/QtMessageSink.h"

namespace brindlewick::test {
namespace {

struct BoxSeen {
    bool shown = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
    QWidget* parent = nullptr;
    int width = 0;
};

// Shows one message through the Qt sink, records the box and presses its OK button.
BoxSeen ShowThroughSink(const std::string& text, MessageIcon icon, const std::string& title) {
    QtMessageSink sink;
    MessageSink* previous = SetMessageSink(&sink);
    BoxSeen seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        seen = {true,
                box->text(),
                box->windowTitle(),
                box->icon(),
                box->standardButtons(),
                box->isModal(),
                box->parentWidget(),
                box->width()};
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    poll.start();
    ShowMessage(text, icon, title);
    SetMessageSink(previous);
    return seen;
}

// Asks about pending edits through the Qt sink and answers with `key` pressed on the box, or a
// click on `button` when no key is given.
PendingEditsAnswer AskThroughSink(QMessageBox::StandardButtons* buttons, Qt::Key key,
                                  QMessageBox::StandardButton button = QMessageBox::NoButton) {
    QtMessageSink sink;
    MessageSink* previous = SetMessageSink(&sink);
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        *buttons = box->standardButtons();
        if (button != QMessageBox::NoButton) {
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        } else {
            QTest::keyClick(box, key);
        }
    });
    poll.start();
    const PendingEditsAnswer answer = AskAboutPendingEdits("3 edits are not saved.");
    SetMessageSink(previous);
    return answer;
}

}  // namespace

class MessageSinkTest : public QObject {
    Q_OBJECT

private slots:
    void everyMessageIsAModalBoxWithOnlyOk_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("expectedIcon");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("no icon, failure title")
            << static_cast<int>(MessageIcon::None) << QStringLiteral("Error: 2")
            << static_cast<int>(QMessageBox::NoIcon) << QStringLiteral("Error: 2");
        QTest::newRow("information, no title")
            << static_cast<int>(MessageIcon::Information) << QString()
            << static_cast<int>(QMessageBox::Information) << QStringLiteral("Brindlewick");
        QTest::newRow("error") << static_cast<int>(MessageIcon::Error) << QString()
                               << static_cast<int>(QMessageBox::Critical)
                               << QStringLiteral("Brindlewick");
    }

    void everyMessageIsAModalBoxWithOnlyOk() {
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(int, expectedIcon);
        QFETCH(QString, expectedTitle);

        QWidget window;
        QVERIFY(ShowAndActivate(window));
        const BoxSeen seen = ShowThroughSink("Unsupported Pok\u00E9mon ROM",
                                             static_cast<MessageIcon>(icon), title.toStdString());
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, QStringLiteral("Unsupported Pok\u00E9mon ROM"));
        QCOMPARE(seen.title, expectedTitle);
        QCOMPARE(static_cast<int>(seen.icon), expectedIcon);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(seen.modal);
        QCOMPARE(seen.parent, &window);
    }

    void pendingEditsAreKeptUnlessDiscardIsChosen() {
        QWidget window;
        QVERIFY(ShowAndActivate(window));
        QMessageBox::StandardButtons buttons;
        QCOMPARE(AskThroughSink(&buttons, Qt::Key_Return), PendingEditsAnswer::Cancel);
        QCOMPARE(buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(AskThroughSink(&buttons, Qt::Key_Escape), PendingEditsAnswer::Cancel);
        QCOMPARE(AskThroughSink(&buttons, Qt::Key_unknown, QMessageBox::Discard),
                 PendingEditsAnswer::Discard);
        QCOMPARE(AskThroughSink(&buttons, Qt::Key_unknown, QMessageBox::Save),
                 PendingEditsAnswer::Save);
    }

    void aShortTextLeavesRoomForTheTitle() {
        // The title bar needs room for the title and its buttons, however short the text.
        QWidget window;
        QVERIFY(ShowAndActivate(window));
        const QString title = QStringLiteral("Error: 1008");
        const BoxSeen seen = ShowThroughSink("Read-only.", MessageIcon::None, title.toStdString());
        QVERIFY(seen.shown);
        QVERIFY2(seen.width >= QFontMetrics(QApplication::font()).horizontalAdvance(title) + 150,
                 qPrintable(QString::number(seen.width)));
    }
};

}  // namespace brindlewick::test

#include "MessageSinkTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::MessageSinkTest)
