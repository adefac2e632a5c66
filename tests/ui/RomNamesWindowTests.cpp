// The ROM's own names in the real windows, on extracts of real builds: the table editor of a
// French image shows its French names, filters by a type's French name, and takes a move typed
// by its French name; a Japanese image shows its kana; the main window's lists stay as they are.
#include <memory>

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "support/Fixtures.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/TableEditor.h"

namespace brindlewick::test {
namespace {

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

class RomNamesWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_window = std::make_unique<Form1>();
        QVERIFY(ShowAndActivate(*m_window));
    }
    void cleanup() {
        m_window.reset();
        m_sink.Clear();
    }

    void frenchImageShowsItsFrenchNames() {
        if (!Load("crystal-fr")) {
            QSKIP("the extracts of real builds are not beside the project");
        }
        TableEditor* editor = OpenTableEditor(*m_window, m_rom);
        QVERIFY(editor != nullptr);
        const auto species = m_facts["species_names"].get<std::vector<std::string>>();
        const auto moves = m_facts["move_names"].get<std::vector<std::string>>();
        const auto machineMoves = m_facts["machine_moves"].get<std::vector<int>>();
        const std::string tm01 = moves[static_cast<std::size_t>(machineMoves[0] - 1)];
        QTableView* grid = Child<QTableView>(*editor, QStringLiteral("tblCompatibility"));
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        QCOMPARE(grid->model()->headerData(0, Qt::Vertical).toString(),
                 QStringLiteral("001 ") + FromStd(species[0]));
        QCOMPARE(grid->model()->headerData(250, Qt::Vertical).toString(),
                 QStringLiteral("251 ") + FromStd(species[250]));
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("TM01 ") + FromStd(tm01));
        QCOMPARE(machines->model()->index(0, 0).data().toString(), FromStd(tm01));
        // BULBIZARRE is a Plante and Poison species; the tooltip of its row says so.
        QCOMPARE(grid->model()->headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("001 BULBIZARRE (PLANTE/POISON)"));
        // Every name was read: nothing to tell at the top of the window.
        QVERIFY(!Child<QWidget>(*editor, QStringLiteral("barNotice"))->isVisible());

        // The main window's lists stay as they are defined; the learners window names the
        // move and the species as the ROM holds them.
        QCOMPARE(Child<QListWidget>(*m_window, QStringLiteral("lstAttack"))->item(1)->text(),
                 QStringLiteral("Pound"));
        QCOMPARE(Child<QListWidget>(*m_window, QStringLiteral("List1"))->item(0)->text(),
                 QStringLiteral("Bulbasaur "));
        FindAction(*m_window, QStringLiteral("mnuLearners"))->trigger();
        auto* learners = m_window->findChild<QWidget*>(QStringLiteral("Learners"));
        QVERIFY(learners != nullptr);
        QVERIFY2(learners->windowTitle().startsWith(QStringLiteral("TM01 ") + FromStd(tm01) +
                                                    QStringLiteral(": ")),
                 qPrintable(learners->windowTitle()));
        auto* list = Child<QListWidget>(*learners, QStringLiteral("lstLearners"));
        QVERIFY(list->count() > 0);
        const int first = list->item(0)->data(Qt::UserRole).toInt();
        QCOMPARE(list->item(0)->text(), FromStd(species[static_cast<std::size_t>(first)]));
    }

    // "Every Fire type learns TM24": filter by the type's French name, select the column's
    // visible cells, Tick, Save.
    void typeFilterTicksEverySpeciesOfAType() {
        if (!Load("crystal-fr")) {
            QSKIP("the extracts of real builds are not beside the project");
        }
        TableEditor* editor = OpenTableEditor(*m_window, m_rom);
        QVERIFY(editor != nullptr);
        const auto types = m_facts["species_types"].get<std::vector<std::vector<int>>>();
        std::vector<int> fire;
        for (std::size_t s = 0; s < types.size(); ++s) {
            if (types[s][0] == 20 || types[s][1] == 20) {
                fire.push_back(static_cast<int>(s));
            }
        }
        QVERIFY(fire.size() > 5);
        QTableView* grid = Child<QTableView>(*editor, QStringLiteral("tblCompatibility"));
        auto* filter = Child<QLineEdit>(*editor, QStringLiteral("txtFilter"));
        QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(filter, QStringLiteral("type:feu"));
        QCOMPARE(grid->model()->rowCount(), static_cast<int>(fire.size()));
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QString header = grid->model()->headerData(row, Qt::Vertical).toString();
            QCOMPARE(header.left(3).toInt() - 1, fire[static_cast<std::size_t>(row)]);
        }
        // The English name is no type of this game; the number is.
        filter->setText(QStringLiteral("type:fire"));
        QCOMPARE(grid->model()->rowCount(), 0);
        filter->setText(QStringLiteral("TYPE: Feu "));
        QCOMPARE(grid->model()->rowCount(), static_cast<int>(fire.size()));

        constexpr int kTm24 = 23;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, kTm24));
        grid->selectionModel()->select(
            QItemSelection(grid->model()->index(0, kTm24),
                           grid->model()->index(grid->model()->rowCount() - 1, kTm24)),
            QItemSelectionModel::ClearAndSelect);
        editor->findChild<QAction*>(QStringLiteral("actTick"))->trigger();
        const Bytes before = ReadFileBytes(m_rom);
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        Bytes expected = before;
        const int baseStats = m_facts["places"]["base_stats"].get<int>();
        for (const int s : fire) {
            // TM24 is bit 7 of the field's third byte.
            expected[static_cast<std::size_t>(baseStats + 32 * s + 24 + 2)] |= 0x80;
        }
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
    }

    void moveTypedByItsRomNameWritesItsByte() {
        if (!Load("crystal-fr")) {
            QSKIP("the extracts of real builds are not beside the project");
        }
        TableEditor* editor = OpenTableEditor(*m_window, m_rom);
        QVERIFY(editor != nullptr);
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        machines->setFocus();
        machines->setCurrentIndex(machines->model()->index(0, 0));
        QTest::keyClick(machines, Qt::Key_F2);
        QWidget* moveEditor = QApplication::focusWidget();
        QVERIFY(moveEditor != nullptr && moveEditor != machines);
        // ECRAS'FACE is move 1 (Pound) in French, typed without its capitals and apostrophe.
        QTest::keyClicks(moveEditor, QStringLiteral("ecras face"));
        QTest::keyClick(moveEditor, Qt::Key_Return);
        QTRY_COMPARE(machines->model()->index(0, 0).data(Qt::EditRole).toInt(), 1);
        QCOMPARE(machines->model()->index(0, 0).data().toString(), QStringLiteral("ECRAS'FACE"));
        const Bytes before = ReadFileBytes(m_rom);
        editor->findChild<QAction*>(QStringLiteral("actSaveTables"))->trigger();
        Bytes expected = before;
        expected[static_cast<std::size_t>(m_facts["places"]["move_list"].get<int>())] = 1;
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
    }

    void japaneseNamesShowInKana() {
        if (!Load("gold-ja")) {
            QSKIP("the extracts of real builds are not beside the project");
        }
        // Kana need a font that has them, or they show as empty boxes.
        QVERIFY2(!QFontDatabase::families(QFontDatabase::Japanese).isEmpty(),
                 "no font with kana is installed (scripts/install-deps installs one)");
        TableEditor* editor = OpenTableEditor(*m_window, m_rom);
        QVERIFY(editor != nullptr);
        QTableView* grid = Child<QTableView>(*editor, QStringLiteral("tblCompatibility"));
        QCOMPARE(grid->model()->headerData(3, Qt::Vertical).toString(),
                 QStringLiteral("004 ヒトカゲ"));
        QCOMPARE(grid->model()->headerData(3, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("004 ヒトカゲ (ほのお)"));
        // Every species' name fits its row header with room to spare, in bold as a selected
        // row shows it, the names in the middle of the 251 too; filtering keeps the width.
        QFont bold = grid->verticalHeader()->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        const int room = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin) + 2;
        const int width = grid->verticalHeader()->width();
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QString text = grid->model()->headerData(row, Qt::Vertical).toString();
            QVERIFY2(metrics.horizontalAdvance(text) + room <= width,
                     qPrintable(text + QStringLiteral(" in %1 pixels").arg(width)));
        }
        auto* filter = Child<QLineEdit>(*editor, QStringLiteral("txtFilter"));
        filter->setText(QStringLiteral("type:20"));
        QVERIFY(grid->model()->rowCount() > 5);
        QCOMPARE(grid->verticalHeader()->width(), width);
        // Hiragana typed finds a katakana name.
        filter->setText(QStringLiteral("ひとかげ"));
        QCOMPARE(grid->model()->rowCount(), 1);
    }

private:
    // Writes the extract `name` into the test's folder as the ROM; false when it is not there.
    bool Load(std::string_view name) {
        const auto fixture = LoadFixture(name);
        if (!fixture) {
            return false;
        }
        m_rom = m_dir.File(std::string(name) + ".gbc");
        WriteFileBytes(m_rom, fixture->image);
        m_facts = fixture->facts;
        return true;
    }

    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom;
    nlohmann::json m_facts;
    std::unique_ptr<Form1> m_window;
};

}  // namespace brindlewick::test

#include "RomNamesWindowTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::RomNamesWindowTest)
