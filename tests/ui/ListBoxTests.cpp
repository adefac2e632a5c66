// The lists' measure of their widest entry, which sizes the species list so that no name is
// cut short: the same width as the view's own measure of every entry.
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

#include "rom/Names.h"
#include "support/QtTestMain.h"
#include "ui/ListBox.h"

namespace brindlewick::test {

class ListBoxTest : public QObject {
    Q_OBJECT

private slots:
    void widestEntryIsMeasuredAsTheViewMeasuresIt_data() {
        QTest::addColumn<QStringList>("entries");
        QStringList species;
        for (const std::string_view name : SpeciesEntries()) {
            species << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        }
        QStringList moves;
        for (const std::string_view name : MoveEntries()) {
            moves << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        }
        QTest::newRow("species") << species;
        QTest::newRow("moves") << moves;
        // Fewer characters can be the wider text, and the widest may come last.
        QTest::newRow("narrow letters against wide ones") << QStringList{
            QStringLiteral("iiiiiiiiiiii"), QStringLiteral("ll ll ll"), QStringLiteral("WWWWWW")};
        QTest::newRow("accents and kerning")
            << QStringList{QStringLiteral("AVAVAVAV"), QStringLiteral("Pok\u00E9mon Tower"),
                           QStringLiteral("To To To Ta")};
        QTest::newRow("one entry") << QStringList{QStringLiteral("Mr. Mime")};
        QTest::newRow("no entry") << QStringList{};
    }

    void widestEntryIsMeasuredAsTheViewMeasuresIt() {
        QFETCH(QStringList, entries);
        for (const int pointSize : {8, 11, 17}) {
            QListWidget plain;
            ListBox list;
            QFont font = list.font();
            font.setPointSize(pointSize);
            for (QListWidget* each : {&plain, static_cast<QListWidget*>(&list)}) {
                each->setFont(font);
                each->addItems(entries);
            }
            const int widest = entries.isEmpty() ? 0 : plain.sizeHintForColumn(0);
            QCOMPARE(list.WidestEntryWidth(), widest);
            QCOMPARE(list.sizeHintForColumn(0), widest);
        }
    }

    // The entries share one size, whose width is the widest entry's: a list too narrow for
    // an entry scrolls sideways just as far as a list that measures every entry.
    void narrowListScrollsToItsWidestEntry() {
        const QStringList entries{QStringLiteral("Cut"),
                                  QStringLiteral("A rather long entry in the middle"),
                                  QStringLiteral("Fly")};
        QListWidget plain;
        ListBox list;
        for (QListWidget* each : {&plain, static_cast<QListWidget*>(&list)}) {
            each->addItems(entries);
            each->resize(80, 120);
            each->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        QTRY_COMPARE(list.horizontalScrollBar()->maximum(), plain.horizontalScrollBar()->maximum());
        QVERIFY(list.horizontalScrollBar()->maximum() > 0);
        for (int row = 0; row < entries.size(); ++row) {
            QCOMPARE(list.visualItemRect(list.item(row)), plain.visualItemRect(plain.item(row)));
        }
        // A longer entry put in later widens the scroll range too.
        for (QListWidget* each : {&plain, static_cast<QListWidget*>(&list)}) {
            each->item(0)->setText(QStringLiteral("An entry longer than every one before it"));
        }
        QTRY_COMPARE(list.horizontalScrollBar()->maximum(), plain.horizontalScrollBar()->maximum());
    }
};

}  // namespace brindlewick::test

#include "ListBoxTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ListBoxTest)
