// The spinner's stepping and the key filter of the price field, away from the window.
#include <QTest>
#include <climits>

#include "support/QtTestMain.h"
#include "support/UiTestSupport.h"
#include "ui/PriceKeyFilter.h"
#include "ui/UpDownSpinner.h"

namespace brindlewick::test {

class PriceControlsTest : public QObject {
    Q_OBJECT

private slots:
    void stepsStayWholeNumbersInRange_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("up") << QStringLiteral("99") << 1 << QStringLiteral("100");
        QTest::newRow("down") << QStringLiteral("100") << -1 << QStringLiteral("99");
        QTest::newRow("top") << QStringLiteral("65535") << 1 << QStringLiteral("65535");
        QTest::newRow("bottom") << QStringLiteral("0") << -1 << QStringLiteral("0");
        QTest::newRow("leading zeros") << QStringLiteral("007") << 1 << QStringLiteral("8");
        QTest::newRow("empty") << QString() << 1 << QStringLiteral("1");
        QTest::newRow("not a number") << QStringLiteral("12a") << 1 << QStringLiteral("1");
        QTest::newRow("huge step up")
            << QStringLiteral("65000") << INT_MAX << QStringLiteral("65535");
        QTest::newRow("huge step down") << QStringLiteral("5") << INT_MIN << QStringLiteral("0");
    }

    void stepsStayWholeNumbersInRange() {
        QFETCH(QString, text);
        QFETCH(int, steps);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(SteppedPriceText(text.toStdString(), steps)), expected);
    }

    void keyFilterLetsDigitsEditingAndShortcutsThrough_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("accepted");
        const int none = Qt::NoModifier;
        QTest::newRow("digit") << QStringLiteral("7") << none << true;
        QTest::newRow("keypad digit") << QStringLiteral("0") << int(Qt::KeypadModifier) << true;
        QTest::newRow("backspace") << QStringLiteral("\b") << none << true;
        QTest::newRow("delete") << QStringLiteral("\x7f") << none << true;
        QTest::newRow("arrow") << QString() << none << true;
        QTest::newRow("paste shortcut") << QStringLiteral("v") << int(Qt::ControlModifier) << true;
        QTest::newRow("letter") << QStringLiteral("a") << none << false;
        QTest::newRow("capital") << QStringLiteral("A") << int(Qt::ShiftModifier) << false;
        QTest::newRow("minus") << QStringLiteral("-") << none << false;
        QTest::newRow("point") << QStringLiteral(".") << none << false;
        QTest::newRow("blank") << QStringLiteral(" ") << none << false;
        QTest::newRow("other script digit") << QStringLiteral("\u0663") << none << false;
        QTest::newRow("digit then letter") << QStringLiteral("1a") << none << false;
    }

    void keyFilterLetsDigitsEditingAndShortcutsThrough() {
        QFETCH(QString, text);
        QFETCH(int, modifiers);
        QFETCH(bool, accepted);
        QCOMPARE(PriceKeyPressAccepted(text, Qt::KeyboardModifiers(modifiers)), accepted);
    }
};

}  // namespace brindlewick::test

#include "PriceControlsTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::PriceControlsTest)
