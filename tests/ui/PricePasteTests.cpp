// Every way of pasting into the price field gives it the pasted text's digits before its
// 5-character limit, then the change rule; a disabled field takes no paste at all.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

enum class Route { CtrlV, ShiftInsert, ContextMenu, MiddleClick, Drop };

// Pastes `text` into `field` by `route`; false when the route is not there to take.
bool PasteBy(QLineEdit* field, Route route, const QString& text) {
    switch (route) {
        case Route::CtrlV:
            QApplication::clipboard()->setText(text);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            return true;
        case Route::ShiftInsert:
            QApplication::clipboard()->setText(text);
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
            return true;
        case Route::ContextMenu: {
            QApplication::clipboard()->setText(text);
            QContextMenuEvent event(QContextMenuEvent::Mouse, field->rect().center(),
                                    field->mapToGlobal(field->rect().center()));
            QApplication::sendEvent(field, &event);
            if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; },
                                 500)) {
                return !field->isEnabled();  // a disabled field shows no menu
            }
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* action : menu->actions()) {
                if (action->text().startsWith(QLatin1String("&Paste"))) {
                    action->trigger();
                }
            }
            menu->close();
            return true;
        }
        case Route::MiddleClick: {
            if (!QApplication::clipboard()->supportsSelection()) {
                return false;
            }
            QApplication::clipboard()->setText(text, QClipboard::Selection);
            // A middle click pastes where it puts the cursor: at the end here.
            const QPoint end(field->width() - 3, field->height() / 2);
            QTest::mouseClick(field, Qt::MiddleButton, {}, end);
            return true;
        }
        case Route::Drop: {
            QMimeData data;
            data.setText(text);
            const QPointF end(field->width() - 3, field->height() / 2.0);
            QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(field, &enter);
            QDragMoveEvent move(end.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(field, &move);
            QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(field, &drop);
            return true;
        }
    }
    return false;
}

}  // namespace

class PricePasteTest : public QObject {
    Q_OBJECT

private slots:
    void everyRouteTakesDigitsBeforeTheLimit_data() {
        QTest::addColumn<int>("route");
        QTest::newRow("Ctrl+V") << static_cast<int>(Route::CtrlV);
        QTest::newRow("Shift+Insert") << static_cast<int>(Route::ShiftInsert);
        QTest::newRow("context menu") << static_cast<int>(Route::ContextMenu);
        QTest::newRow("middle click") << static_cast<int>(Route::MiddleClick);
        QTest::newRow("drop") << static_cast<int>(Route::Drop);
    }

    void everyRouteTakesDigitsBeforeTheLimit() {
        QFETCH(int, route);
        const auto by = static_cast<Route>(route);
        RecordingSink sink;
        TempDir dir;
        const std::string rom = MakeSyntheticRom(dir, "AAUE");
        Form1 window;
        auto* price = Child<QLineEdit>(window, QStringLiteral("txtPrice"));
        QVERIFY(ShowAndActivate(window));
        price->setFocus();

        // Disabled before a ROM is open: nothing arrives.
        if (!PasteBy(price, by, QStringLiteral("123"))) {
            QSKIP("this platform has no selection to paste with the middle button");
        }
        QCOMPARE(price->text(), QString());

        QVERIFY(OpenRomThroughWindow(window, rom));
        QVERIFY(ShowAndActivate(window));
        price->setFocus();
        // Into an all-selected field (the drop and the middle click paste at the place of the
        // mouse, replacing nothing).
        if (by != Route::Drop && by != Route::MiddleClick) {
            price->selectAll();
            QVERIFY(PasteBy(price, by, QStringLiteral("12,345")));
            QCOMPARE(price->text(), QStringLiteral("12345"));
        }

        // Into "0" with the cursor after it: digits first, then the limit.
        price->setText(QStringLiteral("0"));
        price->deselect();
        price->end(false);
        QVERIFY(PasteBy(price, by, QStringLiteral("12,345")));
        QCOMPARE(price->text(), QStringLiteral("01234"));

        // Nothing but separators brings nothing.
        price->setText(QStringLiteral("77"));
        price->end(false);
        QVERIFY(PasteBy(price, by, QStringLiteral(" ,.-")));
        QCOMPARE(price->text(), QStringLiteral("77"));

        // A save writes what the field shows.
        price->setText(QStringLiteral("9"));
        price->end(false);
        QVERIFY(PasteBy(price, by, QStringLiteral("9 999")));
        QCOMPARE(price->text(), QStringLiteral("65535"));
        QTest::keyClick(price, Qt::Key_S, Qt::ControlModifier);
        const Bytes bytes = ReadFileBytes(rom);
        QCOMPARE(int(bytes[0x6DD2]) | (int(bytes[0x6DD3]) << 8), 65535);
    }
};

}  // namespace brindlewick::test

#include "PricePasteTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::PricePasteTest)
