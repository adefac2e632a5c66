// The compiled-in pictures: present in both densities, and the same size to the layout.
#include <QTest>

#include "support/QtTestMain.h"
#include "support/UiTestSupport.h"
#include "ui/Artwork.h"

namespace brindlewick::test {

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void picturesComeInTwoDensities_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("banner") << QStringLiteral("banner") << QSize(547, 115);
        QTest::newRow("about") << QStringLiteral("about") << QSize(62, 121);
    }

    void picturesComeInTwoDensities() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QPixmap plain = ArtworkPixmap(name, 1.0);
        QCOMPARE(plain.size(), size);
        QCOMPARE(plain.devicePixelRatio(), 1.0);
        const QPixmap sharp = ArtworkPixmap(name, 2.0);
        QCOMPARE(sharp.size(), size * 2);
        QCOMPARE(sharp.deviceIndependentSize().toSize(), size);
    }

    void iconHasEverySize() {
        const QIcon icon = WindowIcon();
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            QCOMPARE(icon.pixmap(QSize(size, size), 1.0).size(), QSize(size, size));
        }
    }
};

}  // namespace brindlewick::test

#include "ArtworkTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ArtworkTest)
