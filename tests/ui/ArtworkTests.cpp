// The compiled-in pictures: present in both densities, and the same size to the layout.
#include <QImage>
#include <QPainter>
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

    // The window icon decodes its pictures only when first asked; what it then gives must be
    // what Qt's own icon of the same files gives, at every size, density, mode and in paint.
    void iconGivesThePicturesOfItsFiles() {
        QIcon files;
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            files.addFile(QStringLiteral(":/artwork/icon-%1.png").arg(size), QSize(size, size));
        }
        const QIcon icon = WindowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), files.availableSizes());
        for (const int size : {16, 20, 32, 100, 256, 300}) {
            const QSize wanted(size, size);
            QCOMPARE(icon.actualSize(wanted), files.actualSize(wanted));
            for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Selected}) {
                for (const qreal ratio : {1.0, 1.5, 2.0}) {
                    const QPixmap ours = icon.pixmap(wanted, ratio, mode);
                    const QPixmap theirs = files.pixmap(wanted, ratio, mode);
                    QCOMPARE(ours.size(), theirs.size());
                    QCOMPARE(ours.devicePixelRatio(), theirs.devicePixelRatio());
                    QCOMPARE(ours.toImage(), theirs.toImage());
                }
            }
        }
        QImage painted(40, 40, QImage::Format_ARGB32_Premultiplied);
        QImage expected(40, 40, QImage::Format_ARGB32_Premultiplied);
        for (QImage* image : {&painted, &expected}) {
            image->fill(Qt::transparent);
        }
        {
            QPainter ours(&painted);
            icon.paint(&ours, QRect(2, 4, 30, 30));
            QPainter theirs(&expected);
            files.paint(&theirs, QRect(2, 4, 30, 30));
        }
        QCOMPARE(painted, expected);
        // A copy shares the pictures and gives the same.
        const QIcon copy = icon;
        QCOMPARE(copy.pixmap(QSize(48, 48), 1.0).toImage(),
                 files.pixmap(QSize(48, 48), 1.0).toImage());
    }
};

}  // namespace brindlewick::test

#include "ArtworkTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ArtworkTest)
