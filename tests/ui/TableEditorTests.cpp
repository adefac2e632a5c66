// The table editor worked through the real windows: opened from the Tools menu, edited with
// keys and the clipboard, saved with Ctrl+S, and asked before its edits would be lost.
#include <sys/resource.h>
#include <algorithm>

#include <memory>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "support/CartridgeImage.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/TableEditor.h"

namespace brindlewick::test {
namespace {

const Release& Gold() {
    return ReleaseOf("AAUE");
}

constexpr int kSurf = 57;
constexpr int kTackle = 33;

// Where a real key goes: to the open popup (a completion list), else to the focus widget.
QWidget* Keyboard() {
    QWidget* popup = QApplication::activePopupWidget();
    return popup != nullptr ? popup : QApplication::focusWidget();
}

// The most memory the process has held at once, in KiB.
long PeakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A synthetic image whose first species learn no machine, so ticks are easy to follow.
Bytes KnownRom() {
    Bytes image = SyntheticRomBytes("AAUE");
    for (int species = 0; species < 30; ++species) {
        for (int j = 0; j < kFieldLength; ++j) {
            image[FieldAt(Gold(), species, j)] = 0;
        }
    }
    image[MoveAt(Gold(), 0)] = 5;
    PutPrice(image, PriceAt(Gold(), 0), 3000);
    return image;
}

}  // namespace

class TableEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_rom = m_dir.File("tables.gbc");
        m_other = m_dir.File("other.gbc");
        WriteFileBytes(m_rom, KnownRom());
        WriteFileBytes(m_other, SyntheticRomBytes("AAXE"));
        m_window = std::make_unique<Form1>();
        QVERIFY(ShowAndActivate(*m_window));
    }
    void cleanup() {
        m_window.reset();
        m_sink.Clear();
        m_sink.answer = false;
        m_sink.pendingAnswer = PendingEditsAnswer::Cancel;
    }

    void opensOnceARomIsOpenWithBothGrids() {
        QAction* menu = FindAction(*m_window, QStringLiteral("mnuTableEditor"));
        QVERIFY(!menu->isEnabled());
        QCOMPARE(menu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->isModal());
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        auto* grid = Grid(*editor);
        QCOMPARE(machines->model()->rowCount(), 57);
        QCOMPARE(machines->model()->columnCount(), 2);
        QCOMPARE(machines->model()->index(0, 0).data().toString(), QStringLiteral("Mega Punch"));
        QCOMPARE(machines->model()->index(0, 1).data().toInt(), 3000);
        QCOMPARE(grid->model()->rowCount(), 251);
        QCOMPARE(grid->model()->columnCount(), 57);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("TM01 Mega Punch"));
        QCOMPARE(grid->model()->headerData(24, Qt::Vertical).toString(),
                 QStringLiteral("025 Pikachu"));
        QCOMPARE(grid->model()->index(0, 0).data(Qt::CheckStateRole).toInt(),
                 static_cast<int>(Qt::Unchecked));
        // The main window can still be used while the editor is open.
        QVERIFY(m_window->isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void ticksFilterPasteUndoRedoAndSaveWriteExactlyTheirBytes() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        QTableView* grid = Grid(*editor);
        const Bytes before = ReadFileBytes(m_rom);

        // A block of Bulbasaur..Venusaur x TM01..TM02, ticked with Space: one step.
        ShowCompatibility(*editor);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(Pending(*editor), QStringLiteral("6 edits not saved"));
        QVERIFY(editor->isWindowModified());
        QVERIFY(editor->windowTitle().contains(QLatin1Char('*')) ||
                editor->windowTitle().contains(QStringLiteral("[*]")));

        // Filtered to Pikachu, a pasted row of three at TM04.
        auto* filter = Child<QLineEdit>(*editor, QStringLiteral("txtFilter"));
        QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), filter);
        QTest::keyClicks(filter, QStringLiteral("pika"));
        QCOMPARE(grid->model()->rowCount(), 1);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), grid);
        grid->setCurrentIndex(grid->model()->index(0, 3));
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t0\t1\r\n"));
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Pending(*editor), QStringLiteral("8 edits not saved"));
        // A block too tall for the one row shown changes nothing and says why.
        QGuiApplication::clipboard()->setText(QStringLiteral("1\n1\n"));
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(Pending(*editor), QStringLiteral("8 edits not saved"));
        m_sink.Clear();
        // Copy gives the row back.
        grid->selectionModel()->clearSelection();
        grid->selectionModel()->select(
            QItemSelection(grid->model()->index(0, 3), grid->model()->index(0, 5)),
            QItemSelectionModel::Select);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1\t0\t1\n"));
        filter->clear();
        QCOMPARE(grid->model()->rowCount(), 251);

        // Undo takes the paste back as one step, Redo brings it again (both of its keys).
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Pending(*editor), QStringLiteral("6 edits not saved"));
        QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Pending(*editor), QStringLiteral("8 edits not saved"));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Pending(*editor), QStringLiteral("8 edits not saved"));

        // TM01 teaches Surf, typed with completion; TM05 costs 2000.
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        editor->findChild<QTabWidget*>(QStringLiteral("tabTables"))->setCurrentIndex(0);
        machines->setFocus();
        machines->setCurrentIndex(machines->model()->index(0, 0));
        QTest::keyClick(machines, Qt::Key_F2);
        QWidget* moveEditor = QApplication::focusWidget();
        QVERIFY(moveEditor != nullptr && moveEditor != machines);
        QTest::keyClicks(moveEditor, QStringLiteral("Surf"));
        QTest::keyClick(moveEditor, Qt::Key_Return);
        // The view takes the value once the editor has closed.
        QTRY_COMPARE(machines->model()->index(0, 0).data().toString(), QStringLiteral("Surf"));
        machines->setCurrentIndex(machines->model()->index(4, 1));
        // The first digit opens the cell's editor; the others go where the keyboard now is.
        QTest::keyClick(machines, Qt::Key_2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("000"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(machines->model()->index(4, 1).data().toInt(), 2000);
        QCOMPARE(Pending(*editor), QStringLiteral("10 edits not saved"));
        QCOMPARE(ReadFileBytes(m_rom), before);

        // Ctrl+S in the editor writes every edit at once.
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        Bytes expected = before;
        for (int species = 0; species < 3; ++species) {
            expected[FieldAt(Gold(), species, 0)] = 0x03;
        }
        expected[FieldAt(Gold(), 24, 0)] = 0x28;  // Pikachu: TM04 and TM06
        expected[MoveAt(Gold(), 0)] = kSurf;
        PutPrice(expected, PriceAt(Gold(), 4), 2000);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
        QCOMPARE(Pending(*editor), QStringLiteral("No edits pending"));
        QVERIFY(!editor->isWindowModified());
        QVERIFY(m_sink.questions.empty());
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QVERIFY2(m_sink.messages[0].text.find("changed 2 machines and 4 species: 7 bytes") !=
                     std::string::npos,
                 m_sink.messages[0].text.c_str());
        // The main window shows TM01 as the file now holds it.
        QCOMPARE(Child<QListWidget>(*m_window, QStringLiteral("lstAttack"))->currentRow(), kSurf);
    }

    // A move typed as the games spell it, in any case and with other punctuation, is taken
    // like the list's entry ("words Dance" in the list).
    void moveTypedInTheGamesSpellingIsTaken() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        machines->setFocus();
        machines->setCurrentIndex(machines->model()->index(1, 0));
        QTest::keyClick(machines, Qt::Key_F2);
        QWidget* moveEditor = QApplication::focusWidget();
        QVERIFY(moveEditor != nullptr && moveEditor != machines);
        QTest::keyClicks(moveEditor, QStringLiteral("SWORDS-DANCE"));
        QTest::keyClick(moveEditor, Qt::Key_Return);
        QTRY_COMPARE(machines->model()->index(1, 0).data(Qt::EditRole).toInt(), 14);
        QCOMPARE(Pending(*editor), QStringLiteral("1 edit not saved"));
    }

    // Enter with the completion list open and nothing highlighted takes the move typed, and
    // the next Down moves through the grid; a text that names no move is refused with the
    // nearest names, never taken for its neighbour in the list.
    void enterTakesTheTypedMoveAndRefusesOneThatNamesNone() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        machines->setFocus();
        machines->setCurrentIndex(machines->model()->index(2, 0));
        QTest::keyClick(machines, Qt::Key_F2);
        // Keys go where the keyboard is, the completion list once it shows.
        QTest::keyClicks(Keyboard(), QStringLiteral("tackle"));
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(Keyboard(), Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), machines);
        QTest::keyClick(Keyboard(), Qt::Key_Down);
        QCOMPARE(machines->currentIndex().row(), 3);

        // "tackl" names no move: refused while the list offers Tackle, the editor left open.
        QTest::keyClick(machines, Qt::Key_F2);
        QTest::keyClicks(Keyboard(), QStringLiteral("tackl"));
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(Keyboard(), Qt::Key_Return);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].text,
                 std::string("No move is called \"tackl\"; did you mean \"Tackle\"? The move "
                             "was not changed."));
        QVERIFY(QApplication::focusWidget() != machines);
        QTest::keyClick(Keyboard(), Qt::Key_Escape);
        QTest::keyClick(Keyboard(), Qt::Key_Escape);
        QTRY_COMPARE(QApplication::focusWidget(), machines);
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        Bytes expected = KnownRom();
        expected[MoveAt(Gold(), 2)] = kTackle;
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
    }

    // A typed price is taken whole or refused with a message: no digit or letter of it is
    // dropped on the way.
    void typedPriceIsTakenWholeOrRefused() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        machines->setFocus();
        machines->setCurrentIndex(machines->model()->index(4, 1));
        for (const QString& typed : {QStringLiteral("70000"), QStringLiteral("1e3")}) {
            m_sink.Clear();
            QTest::keyClick(machines, Qt::Key_F2);
            auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY(field != nullptr);
            field->selectAll();
            QTest::keyClicks(field, typed);
            QCOMPARE(field->text(), typed);
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(m_sink.messages.size(), std::size_t{1});
            QCOMPARE(QString::fromStdString(m_sink.messages[0].text),
                     QStringLiteral("The price must be a whole number from 0 to 65535; \"%1\" is "
                                    "not. The price was not changed.")
                         .arg(typed));
            // The editor stays open with what was typed, to be mended or dropped with Escape.
            QCOMPARE(QApplication::focusWidget(), field);
            QTest::keyClick(field, Qt::Key_Escape);
            QTRY_COMPARE(QApplication::focusWidget(), machines);
        }
        QVERIFY(!editor->HasPendingEdits());
        QTest::keyClick(machines, Qt::Key_6);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5535"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(machines->model()->index(4, 1).data().toInt(), 65535);
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        Bytes expected = KnownRom();
        PutPrice(expected, PriceAt(Gold(), 4), 65535);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
    }

    // 20 MiB on the clipboard is refused before its text is split into cells, at a cost of a
    // few copies of it; the pending edit survives.
    void hugeClipboardIsRefusedAndTheEditsKept() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        TickFirstCell(*editor);
        QTableView* grid = Grid(*editor);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QString block;
        block.reserve(20 * 1024 * 1024);
        while (block.size() < 20 * 1024 * 1024) {
            block += QStringLiteral("1\t0\t1\t0\t1\t0\t1\t0\n");
        }
        QGuiApplication::clipboard()->setText(block);
        block.clear();
        block.squeeze();
        const long before = PeakMemoryKiB();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        const long grown = PeakMemoryKiB() - before;
        QGuiApplication::clipboard()->clear();
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QVERIFY2(
            m_sink.messages[0].text.starts_with("Nothing was pasted: the clipboard holds 20480 KB"),
            m_sink.messages[0].text.c_str());
        // The text as the clipboard holds it and one copy in UTF-8, not cells by the million.
        QVERIFY2(grown < 200 * 1024, qPrintable(QStringLiteral("%1 KiB more").arg(grown)));
        QCOMPARE(Pending(*editor), QStringLiteral("1 edit not saved"));
    }

    // A refusal quotes a few dozen characters of a pasted cell, however long it is.
    void aHugeCellIsQuotedShort() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        ShowCompatibility(*editor);
        QTableView* grid = Grid(*editor);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t") +
                                              QString(200 * 1024, QLatin1Char('y')));
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].text, "Nothing was pasted: line 1, cell 2 holds \u201C" +
                                              std::string(40, 'y') +
                                              "\u2026\u201D; only 1 and 0 can be pasted.");
        QVERIFY(!editor->HasPendingEdits());
    }

    void keyboardAloneReachesEveryPartAndSaves() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        auto* filter = Child<QLineEdit>(*editor, QStringLiteral("txtFilter"));
        QTableView* grid = Grid(*editor);
        QCOMPARE(QApplication::focusWidget(), machines);

        // Tab leaves the grid; the tab bar's arrows bring the other page; Tab reaches the
        // filter and then the grid, where the arrows and Space work.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* tabBar = QApplication::focusWidget();
        QVERIFY(tabBar != machines);
        QTest::keyClick(tabBar, Qt::Key_Right);
        QCOMPARE(Child<QTabWidget>(*editor, QStringLiteral("tabTables"))->currentIndex(), 1);
        QTest::keyClick(tabBar, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), filter);
        QTest::keyClicks(filter, QStringLiteral("252"));
        QCOMPARE(grid->model()->rowCount(), 0);
        filter->clear();
        QTest::keyClick(filter, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid);
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        Bytes expected = KnownRom();
        expected[FieldAt(Gold(), 1, 0)] = 0x02;  // Ivysaur learns TM02
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
    }

    void closingWithPendingEditsAsks() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        const Bytes before = ReadFileBytes(m_rom);
        TickFirstCell(*editor);

        // Cancel (the default) keeps the window and its edit.
        QVERIFY(!editor->close());
        QCOMPARE(m_sink.pendingQuestions.size(), std::size_t{1});
        QVERIFY(editor->isVisible());
        QVERIFY(editor->HasPendingEdits());

        // Closing the main window asks the same, and Cancel keeps the program open.
        QVERIFY(!m_window->close());
        QCOMPARE(m_sink.pendingQuestions.size(), std::size_t{2});
        QVERIFY(m_window->isVisible());

        // Discard closes it, writing nothing.
        m_sink.pendingAnswer = PendingEditsAnswer::Discard;
        QVERIFY(editor->close());
        QCOMPARE(ReadFileBytes(m_rom), before);

        // Save writes, then closes.
        editor = OpenEditor();
        QVERIFY(editor != nullptr);
        TickFirstCell(*editor);
        m_sink.pendingAnswer = PendingEditsAnswer::Save;
        QVERIFY(editor->close());
        Bytes expected = before;
        expected[FieldAt(Gold(), 0, 0)] = 0x01;
        QCOMPARE(ReadFileBytes(m_rom), expected);
    }

    void openingAnotherRomAsksFirst() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        TickFirstCell(*editor);
        QVERIFY(OpenRomThroughWindow(*m_window, m_other));
        QCOMPARE(m_sink.pendingQuestions.size(), std::size_t{1});
        // Cancelled: the ROM and the editor stay as they were.
        QCOMPARE(m_window->windowTitle(), QStringLiteral("AAUE - Brindlewick"));
        QVERIFY(editor->isVisible());
        QVERIFY(editor->HasPendingEdits());

        const QPointer<TableEditor> watched(editor);
        m_sink.pendingAnswer = PendingEditsAnswer::Discard;
        QVERIFY(OpenRomThroughWindow(*m_window, m_other));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("AAXE - Brindlewick"));
        QVERIFY(watched == nullptr || !watched->isVisible());
        QCOMPARE(ReadFileBytes(m_rom), KnownRom());
    }

    void aChangeMadeElsewhereIsNoticedAndAskedAbout() {
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        TickFirstCell(*editor);
        auto* notice = Child<QWidget>(*editor, QStringLiteral("barNotice"));
        QVERIFY(!notice->isVisible());

        // Another program changes TM02's price.
        Bytes changed = ReadFileBytes(m_rom);
        PutPrice(changed, PriceAt(Gold(), 1), 4321);
        WriteFileBytes(m_rom, changed);
        QVERIFY(ShowAndActivate(*m_window));
        QVERIFY(ShowAndActivate(*editor));
        QTRY_VERIFY(notice->isVisible());
        QVERIFY(Child<QPushButton>(*editor, QStringLiteral("btnReload"))->isVisible());
        QVERIFY(editor->HasPendingEdits());

        // The save asks before it would undo that change; declined, nothing is written.
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_sink.questions.size(), std::size_t{1});
        QCOMPARE(ReadFileBytes(m_rom), changed);
        QVERIFY(editor->HasPendingEdits());

        // Reloaded, the edit stays on top of the other change and saves without a question.
        QTest::mouseClick(Child<QPushButton>(*editor, QStringLiteral("btnReload")), Qt::LeftButton);
        QVERIFY(!notice->isVisible());
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        QCOMPARE(machines->model()->index(1, 1).data().toInt(), 4321);
        m_sink.Clear();
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_sink.questions.empty());
        Bytes expected = changed;
        expected[FieldAt(Gold(), 0, 0)] = 0x01;
        QCOMPARE(ReadFileBytes(m_rom), expected);
    }

    // Crystal's move tutor bits, set by another program while an edit is pending, stay as the
    // file holds them at the save; a question about another change lists the tutor's too, and
    // the summary counts what was written.
    void tutorBitsSetElsewhereAreKeptAndTold() {
        const Release& crystal = ReleaseOf("BYTE");
        const std::string path = SyntheticRom(crystal).Price(1, 1000).WriteTo(m_dir, "c.gbc");
        QVERIFY(OpenRomThroughWindow(*m_window, path));
        m_sink.Clear();
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        TickFirstCell(*editor);
        const int bulbasaurField = ReadFileBytes(path)[FieldAt(crystal, 0, 0)];
        constexpr int kCyndaquil = 154;

        // Cyndaquil learns Flamethrower from the tutor (bit 1 of its last field byte).
        Bytes changed = ReadFileBytes(path);
        changed[FieldAt(crystal, kCyndaquil, 7)] |= 0x02;
        WriteFileBytes(path, changed);
        m_sink.answer = true;
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        Bytes expected = changed;
        expected[FieldAt(crystal, 0, 0)] = static_cast<std::uint8_t>(bulbasaurField ^ 0x01);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(path)), std::vector<std::size_t>{});
        // Nothing made elsewhere was replaced, so nothing was asked.
        QVERIFY(m_sink.questions.empty());
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QVERIFY2(m_sink.messages[0].text.ends_with("changed 0 machines and 1 species: 1 byte"),
                 m_sink.messages[0].text.c_str());

        // Now TM02's price is edited here and changed elsewhere, with the tutor bits beside it.
        auto* machines = Child<QTableView>(*editor, QStringLiteral("tblMachines"));
        Child<QTabWidget>(*editor, QStringLiteral("tabTables"))->setCurrentIndex(0);
        machines->setFocus();
        machines->setCurrentIndex(machines->model()->index(1, 1));
        QTest::keyClick(machines, Qt::Key_5);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(machines->model()->index(1, 1).data().toInt(), 5);
        changed = ReadFileBytes(path);
        PutPrice(changed, PriceAt(crystal, 1), 4321);
        changed[FieldAt(crystal, kCyndaquil, 7)] |= 0x08;
        WriteFileBytes(path, changed);
        m_sink.Clear();
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_sink.questions.size(), std::size_t{1});
        const std::string& question = m_sink.questions[0].text;
        QVERIFY2(question.find("\nTM02: price 1000 -> 4321\nCyndaquil: now learns Ice Beam "
                               "from the move tutor\nSaving replaces these of them with what the "
                               "table editor shows:\nTM02: price 1000 -> 4321\nThe others are "
                               "kept") != std::string::npos,
                 question.c_str());
        expected = changed;
        PutPrice(expected, PriceAt(crystal, 1), 5);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(path)), std::vector<std::size_t>{});
    }

    void modifiedGameOpensReadOnly() {
        CartridgeOptions moved;
        moved.baseStatsShift = 32;
        const std::string path = MakeCartridgeImage(m_dir, LayoutOf(Gold()), moved, "mod.gbc");
        const Bytes before = ReadFileBytes(path);
        QVERIFY(OpenRomThroughWindow(*m_window, path));
        m_sink.Clear();
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        QVERIFY(editor->ReadOnly());
        auto* notice = Child<QLabel>(*editor, QStringLiteral("lblNotice"));
        QVERIFY(notice->isVisible());
        QVERIFY2(notice->text().contains(QStringLiteral("base-stats")), qPrintable(notice->text()));
        QTableView* grid = Grid(*editor);
        ShowCompatibility(*editor);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(!editor->HasPendingEdits());
        QVERIFY(!FindAction(*editor, QStringLiteral("actSaveTables"))->isEnabled());
        QCOMPARE(ReadFileBytes(path), before);
    }

    // A modified game whose code keeps its base stats in another bank, and whose release's
    // place holds a stale copy: the editor says so at the top, stays editable, and its save
    // writes where the game reads.
    void modifiedGameWhoseCodeIsFollowedIsEditedWhereTheGameReads() {
        Release moved = Gold();
        moved.baseStats = 0x70 * 0x4000 + 0x20;
        Bytes image = CartridgeImageBytes(LayoutOf(Gold()));
        const Bytes live = CartridgeImageBytes(LayoutOf(moved));
        std::copy_n(live.begin() + static_cast<std::ptrdiff_t>(moved.baseStats), 251 * 32,
                    image.begin() + static_cast<std::ptrdiff_t>(moved.baseStats));
        // Bulbasaur learns no machine in the live table, all of them in the copy.
        for (int j = 0; j < kFieldLength; ++j) {
            image[FieldAt(moved, 0, j)] = 0;
            image[FieldAt(Gold(), 0, j)] = 0xFF;
        }
        GameCodeLayout code;
        code.baseStats = static_cast<std::int32_t>(moved.baseStats);
        WriteGameCode(image, LayoutOf(Gold()), code);
        const std::string path = m_dir.File("hack.gbc");
        WriteFileBytes(path, image);
        QVERIFY(OpenRomThroughWindow(*m_window, path));
        QCOMPARE(m_sink.messages.size(), std::size_t{1});  // the open says where, once
        m_sink.Clear();
        TableEditor* editor = OpenEditor();
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->ReadOnly());
        auto* notice = Child<QLabel>(*editor, QStringLiteral("lblNotice"));
        QVERIFY(notice->isVisible());
        QVERIFY2(notice->text().contains(QStringLiteral("The game's code keeps its tables "
                                                        "elsewhere")),
                 qPrintable(notice->text()));
        QVERIFY2(notice->text().contains(QStringLiteral("does not read")),
                 qPrintable(notice->text()));
        QTableView* grid = Grid(*editor);
        ShowCompatibility(*editor);
        QCOMPARE(grid->model()->index(0, 0).data(Qt::CheckStateRole).toInt(),
                 static_cast<int>(Qt::Unchecked));
        TickFirstCell(*editor);
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_sink.questions.empty());
        Bytes expected = image;
        expected[FieldAt(moved, 0, 0)] = 0x01;
        QCOMPARE(ReadFileBytes(path), expected);
    }

private:
    // Opens the ROM and the editor by Ctrl+T; the editor, active, or nullptr.
    TableEditor* OpenEditor() { return OpenTableEditor(*m_window, m_rom); }

    static QTableView* Grid(TableEditor& editor) {
        return Child<QTableView>(editor, QStringLiteral("tblCompatibility"));
    }

    static void ShowCompatibility(TableEditor& editor) {
        Child<QTabWidget>(editor, QStringLiteral("tabTables"))->setCurrentIndex(1);
        Grid(editor)->setFocus();
    }

    static QString Pending(TableEditor& editor) {
        return Child<QLabel>(editor, QStringLiteral("lblPending"))->text();
    }

    // Ticks Bulbasaur's TM01 with Space.
    static void TickFirstCell(TableEditor& editor) {
        ShowCompatibility(editor);
        QTableView* grid = Grid(editor);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Space);
    }

    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom;
    std::string m_other;
    std::unique_ptr<Form1> m_window;
};

}  // namespace brindlewick::test

#include "TableEditorTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::TableEditorTest)
