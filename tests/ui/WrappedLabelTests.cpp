// The wrapping label's remembered heights: always those a plain wrapping label works out, also
// after its text, font or margins change.
#include <QLabel>
#include <QTest>

#include "support/QtTestMain.h"
#include "ui/WrappedLabel.h"

namespace brindlewick::test {

class WrappedLabelTest : public QObject {
    Q_OBJECT

private:
    static void CompareHeights(const WrappedLabel& ours, const QLabel& plain) {
        // Each width twice, so that the second answer comes from what was remembered.
        for (int round = 0; round < 2; ++round) {
            for (const int width : {0, 1, 40, 90, 150, 151, 300, 1000}) {
                QCOMPARE(ours.heightForWidth(width), plain.heightForWidth(width));
            }
        }
    }

private slots:
    void heightsAreThoseOfAPlainLabel() {
        const QString text = QStringLiteral(
            "Description of attack contained within TM, shown in the bag and in "
            "Pok\u00E9Marts, is automatically adjusted when the TM is edited.");
        WrappedLabel ours(text);
        QLabel plain(text);
        plain.setWordWrap(true);
        QVERIFY(ours.wordWrap());
        QVERIFY(ours.hasHeightForWidth());
        CompareHeights(ours, plain);

        ours.setText(text + text);
        plain.setText(text + text);
        CompareHeights(ours, plain);

        QFont font = ours.font();
        font.setPointSize(font.pointSize() * 2);
        ours.setFont(font);
        plain.setFont(font);
        CompareHeights(ours, plain);

        for (QLabel* label : {static_cast<QLabel*>(&ours), &plain}) {
            label->setContentsMargins(5, 7, 11, 3);
            label->setIndent(9);
            label->setAlignment(Qt::AlignRight);
        }
        CompareHeights(ours, plain);
    }
};

}  // namespace brindlewick::test

#include "WrappedLabelTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::WrappedLabelTest)
