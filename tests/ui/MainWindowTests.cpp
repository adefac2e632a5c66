// The main window driven through its real widgets: start state, fixed contents, keyboard
// order, and the open, selection, price and save commands wired to the editor.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "platform/FileAccess.h"
#include "rom/RomTables.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "support/WindowDriver.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

// A synthetic image of `code` with known values for `machine` (move, price) and for the
// compatibility field of `species`.
std::string MakeRom(const TempDir& dir, std::string_view code, const std::string& name,
                    int machine = 0, int move = 58, int price = 3000, int species = 0,
                    std::initializer_list<int> compatibleMachines = {0, 56}) {
    return SyntheticRom(ReleaseOf(code))
        .Move(machine, move)
        .Price(machine, price)
        .Compatible(species, compatibleMachines)
        .WriteTo(dir, name);
}

QStringList CheckedMachines(TestWindow& f) {
    QStringList checked;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const auto name = QString::fromStdString(MachineName(machine));
        if (f.Get<QCheckBox>(qPrintable(QStringLiteral("chk") + name))->isChecked()) {
            checked.append(name);
        }
    }
    return checked;
}

// Controls the open workflow enables; all start disabled.
const char* const kEnabledByOpen[] = {"frmROM", "Label2", "Label3",    "Label5", "tab1",  "Frame2",
                                      "lstTM",  "Frame3", "lstAttack", "Frame5", "Label4"};
// Controls the user edits with; usable only once a ROM is open.
const char* const kEditingControls[] = {"lstTM", "lstAttack", "txtPrice", "UpDown1",
                                        "List1", "chkTM01",   "chkHM07"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithNothingButTheMenusUsable() {
        TestWindow f;
        QVERIFY(ShowAndActivate(f.window));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Brindlewick"));
        for (const char* name : kEnabledByOpen) {
            QVERIFY2(!f.Get<QWidget>(name)->isEnabled(), name);
        }
        for (const char* name : kEditingControls) {
            QVERIFY2(!f.Get<QWidget>(name)->isEnabled(), name);
        }
        QVERIFY(!FindAction(f.window, QStringLiteral("mnuSave"))->isEnabled());
        for (const char* name : {"mnuOpen", "mnuExit", "mnuAbout"}) {
            QVERIFY2(FindAction(f.window, QString::fromLatin1(name))->isEnabled(), name);
        }
        for (const char* name : {"headr", "code", "lang"}) {
            QVERIFY2(f.Text(name).isEmpty(), name);
        }
        QVERIFY(f.Price()->text().isEmpty());
        QCOMPARE(f.Selected("lstTM"), -1);
        QCOMPARE(f.Selected("lstAttack"), -1);
        QCOMPARE(f.Selected("List1"), -1);
        QVERIFY(CheckedMachines(f).isEmpty());
        QCOMPARE(f.Get<QTabWidget>("tab1")->currentIndex(), 0);

        // Clicks and typing reach nothing.
        QListWidget* machines = f.List("lstTM");
        QTest::mouseClick(machines->viewport(), Qt::LeftButton, {},
                          machines->visualItemRect(machines->item(3)).center());
        QTest::keyClicks(f.Price(), QStringLiteral("12"));
        QApplication::clipboard()->setText(QStringLiteral("34"));
        QTest::keyClick(f.Price(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.Selected("lstTM"), -1);
        QVERIFY(f.Price()->text().isEmpty());
        QVERIFY(f.sink.messages.empty());
    }

    void saveCannotBeChosenBeforeARomIsOpen() {
        TestWindow f;
        const std::string rom = MakeRom(f.dir, "AAUE", "rom.gbc");
        const Bytes before = ReadFileBytes(rom);
        QVERIFY(ShowAndActivate(f.window));
        QTest::keyClick(&f.window, Qt::Key_S, Qt::ControlModifier);
        FindAction(f.window, QStringLiteral("mnuSave"))->trigger();
        QVERIFY(f.sink.messages.empty());
        QVERIFY(ReadFileBytes(rom) == before);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(f.dir.Path()), {}), 1);
    }

    void windowHasItsFixedSizeBannerAndIcon() {
        TestWindow f;
        QVERIFY(ShowAndActivate(f.window));
        QVERIFY(!f.window.windowIcon().isNull());
        const QPixmap banner = f.Get<QLabel>("Image1")->pixmap();
        QVERIFY2(!banner.isNull(), "the banner picture is not compiled in");
        QCOMPARE(banner.deviceIndependentSize().toSize(), QSize(547, 115));
        QCOMPARE(f.Get<QLabel>("Image1")->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(f.Get<QLabel>("Image1")->width(), f.window.centralWidget()->width());

        const QSize client = f.window.centralWidget()->size();
        QVERIFY(client.width() >= 547 && client.width() <= 600);
        QVERIFY(client.height() >= 504 && client.height() <= 560);
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
        QVERIFY(!f.window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(f.window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    }

    void nothingIsCutShort() {
        // The longest texts the window shows: Japanese Crystal's name and language, the
        // longest species name on a page of its own, and every caption.
        TestWindow f;
        QVERIFY(OpenRomThroughWindow(f.window, MakeRom(f.dir, "BXTJ", "rom.gbc")));
        QVERIFY(ShowAndActivate(f.window));
        for (const int page : {0, 1}) {
            f.Get<QTabWidget>("tab1")->setCurrentIndex(page);
            for (QLabel* label : f.window.findChildren<QLabel*>()) {
                if (label->isVisible() && !label->wordWrap()) {
                    QVERIFY2(label->width() >= label->sizeHint().width(),
                             qPrintable(label->objectName()));
                }
            }
            for (QCheckBox* check : f.window.findChildren<QCheckBox*>()) {
                if (check->isVisible()) {
                    QVERIFY2(check->width() >= check->sizeHint().width(),
                             qPrintable(check->objectName()));
                }
            }
            for (QListWidget* list : f.window.findChildren<QListWidget*>()) {
                if (list->isVisible() && list->objectName() != QLatin1String("lstTM")) {
                    QVERIFY2(list->viewport()->width() >= list->sizeHintForColumn(0),
                             qPrintable(list->objectName()));
                }
            }
        }
    }

    void listsHoldTheirFixedEntries() {
        TestWindow f;
        QListWidget* machines = f.List("lstTM");
        QListWidget* moves = f.List("lstAttack");
        QListWidget* species = f.List("List1");
        QCOMPARE(machines->count(), 57);
        QCOMPARE(machines->item(0)->text(), QStringLiteral("TM01"));
        QCOMPARE(machines->item(49)->text(), QStringLiteral("TM50"));
        QCOMPARE(machines->item(50)->text(), QStringLiteral("HM01"));
        QCOMPARE(machines->item(56)->text(), QStringLiteral("HM07"));
        QCOMPARE(moves->count(), 252);
        QCOMPARE(moves->item(0)->text(), QStringLiteral("N/A"));
        QCOMPARE(moves->item(14)->text(), QStringLiteral("words Dance"));
        QCOMPARE(moves->item(189)->text(), QStringLiteral("Mud - Slap"));
        QCOMPARE(moves->item(251)->text(), QStringLiteral("Beat Up"));
        QCOMPARE(species->count(), 251);
        QCOMPARE(species->item(0)->text(), QStringLiteral("Bulbasaur "));
        QCOMPARE(species->item(150)->text(), QStringLiteral("Mew"));
        QCOMPARE(species->item(219)->text(), QStringLiteral("Sniwub "));
        QCOMPARE(species->item(250)->text(), QStringLiteral("Celebi"));
        QStringList withoutBlank;
        for (int i = 0; i < species->count(); ++i) {
            if (!species->item(i)->text().endsWith(QLatin1Char(' '))) {
                withoutBlank.append(species->item(i)->text());
            }
        }
        QCOMPARE(withoutBlank, (QStringList{QStringLiteral("Nidoran (f)"),
                                            QStringLiteral("Nidoran (m)"), QStringLiteral("Mew"),
                                            QStringLiteral("Unown"), QStringLiteral("Celebi")}));
        for (QListWidget* list : {machines, moves, species}) {
            QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
            QVERIFY(!list->isSortingEnabled());
        }
    }

    void checkBoxesFillSevenColumnsFromTheTop() {
        TestWindow f;
        f.Get<QTabWidget>("tab1")->setCurrentIndex(1);
        QVERIFY(ShowAndActivate(f.window));
        auto check = [&f](int machine) {
            const auto name = QString::fromStdString(MachineName(machine));
            return f.Get<QCheckBox>(qPrintable(QStringLiteral("chk") + name));
        };
        auto box = [&check](int machine) { return check(machine)->geometry(); };
        for (int machine = 0; machine < kMachineCount; ++machine) {
            QCOMPARE(check(machine)->text(), QString::fromStdString(MachineName(machine)));
        }
        // Column starts and their lengths: TM01, TM10, TM19, TM28, TM37 (nine each), TM46
        // (five), HM01 (seven).
        const int columnStart[] = {0, 9, 18, 27, 36, 45, 50};
        const int columnLength[] = {9, 9, 9, 9, 9, 5, 7};
        for (int column = 0; column < 7; ++column) {
            const QRect top = box(columnStart[column]);
            QCOMPARE(top.y(), box(0).y());
            if (column > 0) {
                QVERIFY(top.x() > box(columnStart[column - 1]).x());
            }
            for (int row = 1; row < columnLength[column]; ++row) {
                const QRect cell = box(columnStart[column] + row);
                QCOMPARE(cell.x(), top.x());
                QVERIFY(cell.y() > box(columnStart[column] + row - 1).y());
            }
        }
        QVERIFY(f.List("List1")->geometry().right() < box(0).left());
    }

    void tabOrderFollowsTheControls() {
        TestWindow f;
        QStringList expected{QStringLiteral("tab1"),      QStringLiteral("lstTM"),
                             QStringLiteral("lstAttack"), QStringLiteral("txtPrice"),
                             QStringLiteral("UpDown1"),   QStringLiteral("List1")};
        for (int machine = 0; machine < kMachineCount; ++machine) {
            expected.append(QStringLiteral("chk") + QString::fromStdString(MachineName(machine)));
        }
        // The focus chain, read from the tab bar round to it again, keeping what takes focus
        // by the Tab key itself (not through a proxy) and is no inner part of the tab bar.
        QWidget* start = f.Get<QTabWidget>("tab1")->tabBar();
        QStringList chain;
        QWidget* widget = start;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->focusProxy() == nullptr &&
                qobject_cast<QTabBar*>(widget->parentWidget()) == nullptr) {
                chain.append(widget == start ? QStringLiteral("tab1") : widget->objectName());
            }
            widget = widget->nextInFocusChain();
        } while (widget != start);
        QCOMPARE(chain, expected);

        for (QWidget* passive : std::initializer_list<QWidget*>{
                 f.Get<QLabel>("Image1"), f.Get<QGroupBox>("frmROM"), f.Get<QGroupBox>("Frame1"),
                 f.Get<QLabel>("Label1"), f.Get<QLabel>("Label4"), f.Get<QLabel>("headr"),
                 f.Get<QGroupBox>("Frame5")}) {
            QCOMPARE(passive->focusPolicy(), Qt::NoFocus);
        }

        // And by the keyboard, once a ROM is open.
        QVERIFY(OpenRomThroughWindow(f.window, MakeRom(f.dir, "AAUE", "rom.gbc")));
        QVERIFY(ShowAndActivate(f.window));
        f.List("lstTM")->setFocus();
        for (const char* next : {"lstAttack", "txtPrice", "UpDown1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
        }
    }

    void openingEachReleaseShowsItAndEnablesEditing_data() {
        QTest::addColumn<QString>("code");
        for (const Release& release : kReleases) {
            QTest::newRow(std::string(release.code).c_str())
                << QString::fromStdString(std::string(release.code));
        }
    }

    void openingEachReleaseShowsItAndEnablesEditing() {
        QFETCH(QString, code);
        const Release& release = ReleaseOf(code.toStdString());
        TestWindow f;
        const std::string rom =
            MakeRom(f.dir, release.code, "rom.gbc", 0, 251, 3000, 0, {0, 30, 56});
        // Alternate the two ways in, so both stay covered.
        const OpenBy by = (&release - kReleases.data()) % 2 == 0 ? OpenBy::Menu : OpenBy::Shortcut;
        QVERIFY(OpenRomThroughWindow(f.window, rom, by));

        QVERIFY(f.sink.messages.empty());
        QCOMPARE(f.Text("headr"), QString::fromStdString(std::string(release.gameName)));
        QVERIFY(f.Text("headr").startsWith(QStringLiteral(" Pok\u00E9mon ")));
        QCOMPARE(f.Text("code"), code);
        QCOMPARE(f.Text("lang"), QString::fromStdString(std::string(release.language)));
        QCOMPARE(f.window.windowTitle(), code + QStringLiteral(" - Brindlewick"));
        for (const char* name : kEnabledByOpen) {
            QVERIFY2(f.Get<QWidget>(name)->isEnabled(), name);
        }
        for (const char* name : kEditingControls) {
            QVERIFY2(f.Get<QWidget>(name)->isEnabled(), name);
        }
        QVERIFY(FindAction(f.window, QStringLiteral("mnuSave"))->isEnabled());
        QCOMPARE(f.Selected("lstTM"), 0);
        QCOMPARE(f.Selected("lstAttack"), 251);
        QCOMPARE(f.Price()->text(), QStringLiteral("3000"));
        QCOMPARE(f.Selected("List1"), 0);
        QCOMPARE(CheckedMachines(f), (QStringList{QStringLiteral("TM01"), QStringLiteral("TM31"),
                                                  QStringLiteral("HM07")}));
    }

    void cancelledAndUnsupportedOpensChangeNothing() {
        TestWindow f;
        const std::string refused = f.dir.File("refused.gbc");
        WriteFileBytes(refused, SyntheticRomBytes("AAUX"));
        const Bytes refusedBytes = ReadFileBytes(refused);

        QVERIFY(CancelOpenRomThroughWindow(f.window));
        QVERIFY(f.sink.messages.empty());
        QVERIFY(OpenRomThroughWindow(f.window, refused));
        QCOMPARE(f.sink.messages.size(), std::size_t{1});
        QCOMPARE(f.sink.messages[0].text, std::string("Unsupported ROM"));
        QCOMPARE(f.sink.messages[0].title, std::string("Brindlewick"));
        QVERIFY(f.sink.messages[0].icon == MessageIcon::Information);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Brindlewick"));
        QVERIFY(f.Text("code").isEmpty());
        QVERIFY(!f.Get<QWidget>("tab1")->isEnabled());
        QVERIFY(!FindAction(f.window, QStringLiteral("mnuSave"))->isEnabled());
        QCOMPARE(f.Selected("lstTM"), -1);

        // After a good open, with an unsaved edit in the window.
        const std::string rom = MakeRom(f.dir, "AAUE", "rom.gbc", 0, 58, 3000);
        QVERIFY(OpenRomThroughWindow(f.window, rom, OpenBy::Shortcut));
        f.sink.Clear();
        f.Price()->setText(QStringLiteral("1234"));
        for (const bool cancel : {true, false}) {
            if (cancel) {
                QVERIFY(CancelOpenRomThroughWindow(f.window, OpenBy::Shortcut));
                QVERIFY(f.sink.messages.empty());
            } else {
                QVERIFY(OpenRomThroughWindow(f.window, refused, OpenBy::Shortcut));
                QCOMPARE(f.sink.messages.size(), std::size_t{1});
            }
            QCOMPARE(f.window.windowTitle(), QStringLiteral("AAUE - Brindlewick"));
            QCOMPARE(f.Text("code"), QStringLiteral("AAUE"));
            QCOMPARE(f.Text("headr"), QStringLiteral(" Pok\u00E9mon Gold"));
            QCOMPARE(f.Selected("lstTM"), 0);
            QCOMPARE(f.Price()->text(), QStringLiteral("1234"));
            QVERIFY(f.Get<QWidget>("tab1")->isEnabled());
        }

        // The save still goes to the ROM that was identified, never to the refused file.
        f.sink.Clear();
        QVERIFY(ShowAndActivate(f.window));
        QTest::keyClick(&f.window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.sink.messages.size(), std::size_t{1});
        QCOMPARE(f.sink.messages[0].text, std::string("TM Information Successfully Changed!"));
        QVERIFY(ReadFileBytes(refused) == refusedBytes);
        const Bytes saved = ReadFileBytes(rom);
        QCOMPARE(PriceIn(saved, PriceAt(ReleaseOf("AAUE"), 0)), 1234);
    }

    // An open leaves a read-only file so, supported or not; Save asks before it makes it
    // writable, and only Save in that question does.
    void aReadOnlyFileStaysSoUntilSaveIsAllowedTo() {
        namespace fs = std::filesystem;
        TestWindow f;
        const std::string refused = f.dir.File("refused.gbc");
        WriteFileBytes(refused, SyntheticRomBytes("AAUX"));
        const auto readOnly =
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
        const std::string crystal = MakeRom(f.dir, "BYTE", "crystal.gbc");
        for (const std::string& rom : {refused, crystal}) {
            fs::permissions(rom, readOnly);
            QVERIFY(OpenRomThroughWindow(f.window, rom));
            QCOMPARE(fs::status(rom).permissions(), readOnly);
        }
        QCOMPARE(f.window.windowTitle(), QStringLiteral("BYTE - Brindlewick"));
        const Bytes before = ReadFileBytes(crystal);
        f.TypePrice("777", true);
        f.sink.Clear();
        f.Save(true);
        QCOMPARE(f.sink.questions.size(), std::size_t{1});
        QCOMPARE(f.sink.questions[0].text,
                 std::string("\u201Ccrystal.gbc\u201D is marked read-only. Make it writable and "
                             "save?"));
        QVERIFY(f.sink.messages.empty());
        QCOMPARE(ReadFileBytes(crystal), before);
        QCOMPARE(fs::status(crystal).permissions(), readOnly);

        f.sink.Clear();
        f.sink.answer = true;
        f.Save(true);
        QVERIFY(f.OnlySaveConfirmed());
        QCOMPARE(fs::status(crystal).permissions(), readOnly | fs::perms::owner_write);
        Bytes expected = before;
        PutPrice(expected, PriceAt(ReleaseOf("BYTE"), 0), 777);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(crystal)), std::vector<std::size_t>{});
    }

    void reopeningAnotherReleaseReplacesEverything() {
        TestWindow f;
        QVERIFY(OpenRomThroughWindow(f.window, MakeRom(f.dir, "AAUE", "gold.gbc", 0, 15, 3000)));
        QVERIFY(ShowAndActivate(f.window));
        // Unsaved edits on both pages, and the species page in front.
        QListWidget* machines = f.List("lstTM");
        QTest::mouseClick(machines->viewport(), Qt::LeftButton, {},
                          machines->visualItemRect(machines->item(4)).center());
        QCOMPARE(f.Selected("lstTM"), 4);
        f.Get<QTabWidget>("tab1")->setCurrentIndex(1);
        f.List("List1")->setCurrentRow(7);
        f.Get<QCheckBox>("chkTM20")->setChecked(true);

        QVERIFY(OpenRomThroughWindow(
            f.window, MakeRom(f.dir, "BYTE", "crystal.gbc", 0, 249, 42, 0, {3}), OpenBy::Shortcut));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("BYTE - Brindlewick"));
        QCOMPARE(f.Text("headr"), QStringLiteral(" Pok\u00E9mon Crystal"));
        QCOMPARE(f.Text("lang"), QStringLiteral("English"));
        QCOMPARE(f.Selected("lstTM"), 0);
        QCOMPARE(f.Selected("lstAttack"), 249);
        QCOMPARE(f.Price()->text(), QStringLiteral("42"));
        QCOMPARE(f.Selected("List1"), 0);
        QCOMPARE(CheckedMachines(f), QStringList{QStringLiteral("TM04")});
        QCOMPARE(f.Get<QTabWidget>("tab1")->currentIndex(), 1);
        QVERIFY(f.sink.messages.empty());
    }

    void choosingAMachineOrSpeciesLoadsItFromTheFile() {
        TestWindow f;
        // TM05 and Mew carry values of their own; TM01 and Bulbasaur keep the defaults.
        const std::string rom = MakeRom(f.dir, "AAUE", "rom.gbc", 4, 251, 65535, 150, {4, 50});
        QVERIFY(OpenRomThroughWindow(f.window, rom));
        QVERIFY(ShowAndActivate(f.window));

        QListWidget* machines = f.List("lstTM");
        QTest::mouseClick(machines->viewport(), Qt::LeftButton, {},
                          machines->visualItemRect(machines->item(4)).center());
        QCOMPARE(f.Selected("lstAttack"), 251);
        QCOMPARE(f.Price()->text(), QStringLiteral("65535"));

        // An unsaved change is dropped when the user moves away and back with the keyboard.
        f.List("lstAttack")->setCurrentRow(10);
        machines->setFocus();
        QTest::keyClick(machines, Qt::Key_Down);
        QCOMPARE(f.Selected("lstTM"), 5);
        QTest::keyClick(machines, Qt::Key_Up);
        QCOMPARE(f.Selected("lstTM"), 4);
        QCOMPARE(f.Selected("lstAttack"), 251);

        // Ctrl+click on the selected machine keeps it selected.
        QTest::mouseClick(machines->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          machines->visualItemRect(machines->item(4)).center());
        QCOMPARE(f.Selected("lstTM"), 4);

        f.Get<QTabWidget>("tab1")->setCurrentIndex(1);
        QListWidget* species = f.List("List1");
        species->scrollToItem(species->item(150));
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(150)).center());
        QCOMPARE(f.Selected("List1"), 150);
        QCOMPARE(CheckedMachines(f), (QStringList{QStringLiteral("TM05"), QStringLiteral("HM01")}));
        QVERIFY(f.sink.messages.empty());
    }

    void aSelectionLoadsOnlyOnce() {
        // Once the file has been cut short behind the editor's back every read fails with a
        // message, so the messages count the loads: one click, one load.
        TestWindow f;
        const std::string rom = MakeRom(f.dir, "AAUE", "rom.gbc");
        QVERIFY(OpenRomThroughWindow(f.window, rom));
        QVERIFY(f.sink.messages.empty());
        std::filesystem::resize_file(PathFromUtf8(rom), 0x200);

        QVERIFY(ShowAndActivate(f.window));
        QListWidget* machines = f.List("lstTM");
        QTest::mouseClick(machines->viewport(), Qt::LeftButton, {},
                          machines->visualItemRect(machines->item(1)).center());
        // The move byte (and its digits), then the price.
        QCOMPARE(f.sink.messages.size(), std::size_t{3});
        f.sink.Clear();
        f.Get<QTabWidget>("tab1")->setCurrentIndex(1);
        QListWidget* species = f.List("List1");
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(1)).center());
        // The eight bytes of the field.
        QCOMPARE(f.sink.messages.size(), std::size_t{8});
    }

    void priceFieldTakesDigitsOnlyAndStaysInRange() {
        TestWindow f;
        QVERIFY(OpenRomThroughWindow(f.window, MakeRom(f.dir, "AAUE", "rom.gbc")));
        QVERIFY(ShowAndActivate(f.window));
        QLineEdit* price = f.Price();
        QCOMPARE(price->maxLength(), 5);
        QVERIFY(price->alignment() & Qt::AlignHCenter);
        price->setFocus();

        QTest::keyClick(price, Qt::Key_A, Qt::ControlModifier);  // select all
        QStringList seen;
        for (const QChar digit : QStringLiteral("70000")) {
            QTest::keyClicks(price, QString(digit));
            seen.append(price->text());
        }
        QCOMPARE(seen,
                 (QStringList{QStringLiteral("7"), QStringLiteral("70"), QStringLiteral("700"),
                              QStringLiteral("7000"), QStringLiteral("65535")}));

        // A refused character never reaches the text, so the cursor stays where it was.
        price->setText(QStringLiteral("12"));
        price->setCursorPosition(1);
        QTest::keyClicks(price, QStringLiteral("a-. ,+3"));
        QCOMPARE(price->text(), QStringLiteral("132"));
        price->setText(QStringLiteral("65535"));
        QTest::keyClick(price, Qt::Key_Backspace);
        QCOMPARE(price->text(), QStringLiteral("6553"));
        QTest::keyClick(price, Qt::Key_Home);
        QTest::keyClick(price, Qt::Key_Delete);
        QCOMPARE(price->text(), QStringLiteral("553"));
        QTest::keyClick(price, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(price, Qt::Key_Delete);
        QCOMPARE(price->text(), QStringLiteral("0"));

        QApplication::clipboard()->setText(QStringLiteral("1a2b"));
        QTest::keyClick(price, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(price, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(price->text(), QStringLiteral("12"));
        QVERIFY(f.sink.messages.empty());
    }

    void spinnerStepsThePriceWithinRange() {
        TestWindow f;
        QVERIFY(OpenRomThroughWindow(f.window, MakeRom(f.dir, "AAUE", "rom.gbc", 0, 58, 65534)));
        QVERIFY(ShowAndActivate(f.window));
        QLineEdit* price = f.Price();
        auto* spinner = f.Get<QWidget>("UpDown1");
        const auto arrows = spinner->findChildren<QToolButton*>();
        QCOMPARE(arrows.size(), 2);
        QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
        QToolButton* down = up == arrows[0] ? arrows[1] : arrows[0];
        // Directly to the right of the field.
        QVERIFY(spinner->x() >= price->geometry().right());
        QVERIFY(spinner->x() - price->geometry().right() <= 4);

        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(price->text(), QStringLiteral("65535"));
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(price->text(), QStringLiteral("65535"));
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(price->text(), QStringLiteral("65534"));
        QCOMPARE(QApplication::focusWidget(), spinner);

        price->setText(QStringLiteral("007"));
        QTest::keyClick(spinner, Qt::Key_Up);
        QCOMPARE(price->text(), QStringLiteral("8"));
        price->setText(QStringLiteral("1"));
        QTest::keyClick(spinner, Qt::Key_Down);
        QTest::keyClick(spinner, Qt::Key_Down);
        QCOMPARE(price->text(), QStringLiteral("0"));
    }

    void saveThroughTheMenuWritesWhatTheWindowShows() {
        TestWindow f;
        const std::string rom = MakeRom(f.dir, "AAXE", "silver.gbc");
        QVERIFY(OpenRomThroughWindow(f.window, rom));
        const Bytes before = ReadFileBytes(rom);
        f.List("lstAttack")->setCurrentRow(100);
        f.Price()->setText(QStringLiteral("300"));
        f.Get<QCheckBox>("chkTM02")->setChecked(true);
        FindAction(f.window, QStringLiteral("mnuSave"))->trigger();

        QCOMPARE(f.sink.messages.size(), std::size_t{1});
        QVERIFY(f.sink.messages[0].icon == MessageIcon::Information);
        const Release& silver = ReleaseOf("AAXE");
        const std::size_t priceAt = PriceAt(silver, 0);
        Bytes expected = before;
        expected[MoveAt(silver, 0)] = 100;
        expected[priceAt] = 300 & 0xFF;
        expected[priceAt + 1] = 300 >> 8;
        expected[MachineBitAt(silver, 0, 1)] |= MaskOf(1);  // TM02
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }
};

}  // namespace brindlewick::test

#include "MainWindowTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::MainWindowTest)
