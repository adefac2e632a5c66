// Editing through the real window: machines, moves, prices and compatibility boxes chosen
// with the mouse and the keyboard, saved with Ctrl+S, and every byte of the file compared with
// what it must hold afterwards.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "support/WindowDriver.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

// "TM01".."TM50" are machine numbers 1 to 50, "HM01".."HM07" 51 to 57.
int MachineNumber(const QString& name) {
    const int number = name.mid(2).toInt();
    return name.startsWith(QLatin1String("HM")) ? 50 + number : number;
}

std::size_t MoveAt(const Release& release, const QString& machine) {
    return test::MoveAt(release, MachineNumber(machine) - 1);
}

void PutPrice(Bytes& bytes, const Release& release, int record, int price) {
    test::PutPrice(bytes, PriceRecordAt(release, record), price);
}

int PriceIn(const Bytes& bytes, const Release& release, int record) {
    return test::PriceIn(bytes, PriceRecordAt(release, record));
}

void ToggleMachine(Bytes& bytes, const Release& release, int species, const QString& machine) {
    const int index = MachineNumber(machine) - 1;
    bytes[MachineBitAt(release, species, index)] ^= MaskOf(index);
}

QString Describe(const std::vector<Message>& messages) {
    QStringList lines;
    for (const Message& message : messages) {
        lines.append(QString::fromStdString(message.title + ": " + message.text));
    }
    return lines.join(QStringLiteral(" | "));
}

enum class Damage { Deleted, ReadOnly, Truncated, Folder };

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

private slots:
    void savedEditsChangeExactlyTheirBytes_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("move");
        QTest::addColumn<int>("moveNumber");
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<QString>("species");
        QTest::addColumn<int>("speciesIndex");
        QTest::addColumn<QStringList>("boxes");
        auto row = [](const char* code, const char* machine, int record, const char* move,
                      int moveNumber, const char* price, int low, int high, const char* species,
                      int speciesIndex, const char* boxes) {
            QTest::newRow(code) << QString::fromLatin1(code) << QString::fromLatin1(machine)
                                << record << QString::fromLatin1(move) << moveNumber
                                << QString::fromLatin1(price) << low << high
                                << QString::fromLatin1(species) << speciesIndex
                                << QString::fromLatin1(boxes).split(QLatin1Char(' '));
        };
        row("AAUE", "TM01", 0, "N/A", 0, "0", 0x00, 0x00, "Bulbasaur ", 0, "TM01 TM08 HM07");
        row("AAXE", "TM04", 3, "Beat Up", 251, "255", 0xFF, 0x00, "Celebi", 250,
            "TM49 TM50 HM01 HM06");
        row("BYTE", "TM05", 5, "Surf", 57, "256", 0x00, 0x01, "Mew", 150, "HM07 TM02");
        row("AAUS", "TM28", 28, "Earthquake", 89, "3000", 0xB8, 0x0B, "Pikachu ", 24,
            "TM08 TM09 TM16");
        row("AAXS", "TM29", 30, "Psychic", 94, "65535", 0xFF, 0xFF, "Nidoran (f)", 28,
            "TM49 HM06 HM07");
        row("BYTS", "TM50", 51, "N/A", 0, "1", 0x01, 0x00, "Unown", 200, "TM01 HM01");
        row("AAUJ", "HM01", 52, "Cut", 15, "3000", 0xB8, 0x0B, "Chikorita ", 151, "TM50 TM17 TM24");
        row("AAXJ", "HM07", 58, "Whirlpool", 250, "65535", 0xFF, 0xFF, "Celebi", 250,
            "HM07 HM06 TM08");
        row("BXTJ", "TM01", 0, "Beat Up", 251, "256", 0x00, 0x01, "Bulbasaur ", 0,
            "TM01 TM49 HM07");
        row("AAUD", "TM29", 30, "Pound", 1, "0", 0x00, 0x00, "Celebi", 250, "TM25 TM32 TM33 TM40");
        row("AAXD", "TM04", 3, "words Dance", 14, "255", 0xFF, 0x00, "Ivysaur ", 1,
            "TM41 TM48 HM01");
        row("BYTD", "HM07", 58, "N/A", 0, "3000", 0xB8, 0x0B, "Nidoran (m)", 31, "HM07 TM01");
        row("AAUF", "TM05", 5, "Hidden Power", 237, "65535", 0xFF, 0xFF, "Bulbasaur ", 0,
            "TM08 HM06");
        row("AAXF", "TM28", 28, "Mud - Slap", 189, "1", 0x01, 0x00, "Celebi", 250, "TM49 TM50");
        row("BYTF", "HM01", 52, "Beat Up", 251, "0", 0x00, 0x00, "Ho-oh ", 249, "HM01 HM07 TM01");
        row("AAUI", "TM50", 51, "Fly", 19, "256", 0x00, 0x01, "Mew", 150, "TM08 TM16 TM24");
        row("AAXI", "TM06", 6, "Strength", 70, "255", 0xFF, 0x00, "Bulbasaur ", 0, "HM06 HM07");
        row("BYTI", "HM03", 54, "Flash", 148, "3000", 0xB8, 0x0B, "Celebi", 250,
            "TM01 TM08 TM49 TM50 HM01 HM06 HM07");
        row("BYTU", "TM03", 2, "Vice Grip", 11, "2500", 0xC4, 0x09, "Sniwub ", 219,
            "TM02 TM31 HM04");
    }

    void savedEditsChangeExactlyTheirBytes() {
        QFETCH(QString, code);
        QFETCH(QString, machine);
        QFETCH(int, record);
        QFETCH(QString, move);
        QFETCH(int, moveNumber);
        QFETCH(QString, price);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(QString, species);
        QFETCH(int, speciesIndex);
        QFETCH(QStringList, boxes);
        const Release& release = ReleaseOf(code.toStdString());

        TestWindow s;
        const std::string rom = MakeSyntheticRom(s.dir, code.toStdString());
        const Bytes before = ReadFileBytes(rom);
        QVERIFY(s.Open(rom));
        QCOMPARE(s.ClickEntry("lstTM", machine), MachineNumber(machine) - 1);
        QCOMPARE(s.ClickEntry("lstAttack", move), moveNumber);
        s.ClickAndTypePrice(price);
        QCOMPARE(s.Price()->text(), price);
        s.ShowPage(1);
        QCOMPARE(s.Page(), 1);
        QCOMPARE(s.ClickEntry("List1", species), speciesIndex);
        for (const QString& box : boxes) {
            QVERIFY2(s.ClickBox(box), qPrintable(box));
        }
        QVERIFY(s.sink.messages.empty());
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());

        // Each clicked box flipped its bit; the other bits of the field, spare bits of the
        // last byte included, are written back as the file held them.
        Bytes expected = before;
        expected[MoveAt(release, machine)] = static_cast<std::uint8_t>(moveNumber);
        expected[PriceRecordAt(release, record)] = static_cast<std::uint8_t>(low);
        expected[PriceRecordAt(release, record) + 1] = static_cast<std::uint8_t>(high);
        for (const QString& box : boxes) {
            ToggleMachine(expected, release, speciesIndex, box);
        }
        const Bytes after = ReadFileBytes(rom);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(DifferingOffsets(expected, after), std::vector<std::size_t>{});
    }

    void savingEveryMachineAndSpeciesUneditedChangesNothing() {
        TestWindow s;
        const Release& release = ReleaseOf("BYTE");
        Bytes bytes = SyntheticRomBytes(release.code);
        // Move bytes that name no move, beside whatever the pattern holds.
        bytes[MoveAt(release, QStringLiteral("TM10"))] = 0xFC;
        bytes[MoveAt(release, QStringLiteral("HM02"))] = 0xFF;
        const std::string rom = s.dir.File("crystal.gbc");
        WriteFileBytes(rom, bytes);
        QVERIFY(s.Open(rom));

        // Down arrow through the focused machine list, saving at every machine ...
        QTest::mouseClick(s.List("lstTM")->viewport(), Qt::LeftButton, {},
                          s.List("lstTM")->visualItemRect(s.List("lstTM")->item(0)).center());
        QCOMPARE(QApplication::focusWidget(), s.List("lstTM"));
        for (int machine = 0; machine < 57; ++machine) {
            if (machine > 0) {
                s.Key(Qt::Key_Down);
            }
            QCOMPARE(s.Selected("lstTM"), machine);
            s.PressSave();
            QVERIFY2(s.OnlySaveConfirmed(), qPrintable(QString::number(machine)));
        }

        // ... then to the species page by the keyboard and through every species.
        s.Key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(s.Page(), 1);
        s.ClickRow("List1", 0);
        QCOMPARE(QApplication::focusWidget(), s.List("List1"));
        for (int species = 0; species < 251; ++species) {
            if (species > 0) {
                s.Key(Qt::Key_Down);
            }
            QCOMPARE(s.Selected("List1"), species);
            s.PressSave();
            QVERIFY2(s.OnlySaveConfirmed(), qPrintable(QString::number(species)));
        }
        QCOMPARE(DifferingOffsets(bytes, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }

    void priceShownIsTheRecordOfTheMachine() {
        TestWindow s;
        const Release& release = ReleaseOf("AAUE");
        Bytes bytes = SyntheticRomBytes(release.code);
        // Every record a price of its own, the two unused records included, and both ends of
        // the range where a stale or blank field would show.
        auto priceOf = [](int record) {
            return record == 51 ? 0 : record == 58 ? 65535 : 1000 + 17 * record;
        };
        for (int record = 0; record <= 58; ++record) {
            PutPrice(bytes, release, record, priceOf(record));
        }
        const std::string rom = s.dir.File("gold.gbc");
        WriteFileBytes(rom, bytes);
        QVERIFY(s.Open(rom));

        const std::pair<const char*, int> machines[] = {
            {"TM04", 3},  {"TM05", 5},  {"TM28", 28}, {"TM29", 30},
            {"TM50", 51}, {"HM01", 52}, {"HM07", 58}, {"TM01", 0},
        };
        for (const auto& [machine, record] : machines) {
            QVERIFY(s.ClickEntry("lstTM", QString::fromLatin1(machine)) >= 0);
            QCOMPARE(s.Price()->text(), QString::number(priceOf(record)));
        }
        QVERIFY(s.sink.messages.empty());
    }

    void moveBytesShowTheirEntryOrNone() {
        TestWindow s;
        const Release& release = ReleaseOf("AAXF");
        Bytes bytes = SyntheticRomBytes(release.code);
        bytes[MoveAt(release, QStringLiteral("TM01"))] = 0;
        bytes[MoveAt(release, QStringLiteral("TM02"))] = 251;
        bytes[MoveAt(release, QStringLiteral("TM03"))] = 0xFC;
        bytes[MoveAt(release, QStringLiteral("TM04"))] = 0xFF;
        const std::string rom = s.dir.File("silver.gbc");
        WriteFileBytes(rom, bytes);
        QVERIFY(s.Open(rom));

        QCOMPARE(s.Selected("lstAttack"), 0);
        QCOMPARE(s.List("lstAttack")->selectedItems().first()->text(), QStringLiteral("N/A"));
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM02")) >= 0);
        QCOMPARE(s.List("lstAttack")->selectedItems().first()->text(), QStringLiteral("Beat Up"));
        // No entry stays selected from the machine shown before.
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM04")) >= 0);
        QCOMPARE(s.Selected("lstAttack"), -1);
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM02")) >= 0);
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM03")) >= 0);
        QCOMPARE(s.Selected("lstAttack"), -1);

        // Saving such a machine writes its price and the species but leaves its move byte.
        s.ClickAndTypePrice(QStringLiteral("42"));
        s.ShowPage(1);
        QVERIFY(s.ClickBox(QStringLiteral("TM02")));
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        Bytes expected = bytes;
        PutPrice(expected, release, 2, 42);
        ToggleMachine(expected, release, 0, QStringLiteral("TM02"));
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(rom)), std::vector<std::size_t>{});

        // Once the user picks a move, it is written.
        s.ShowPage(0);
        QCOMPARE(s.ClickEntry("lstAttack", QStringLiteral("Pound")), 1);
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        expected[MoveAt(release, QStringLiteral("TM03"))] = 1;
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }

    void spareBitsOfTheLastFieldByteAreNotShownAndKept() {
        TestWindow s;
        const Release& release = ReleaseOf("BYTS");
        Bytes bytes = SyntheticRomBytes(release.code);
        const std::uint8_t field[] = {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xFE};
        for (int j = 0; j < 8; ++j) {
            bytes[FieldAt(release, 5, j)] = field[j];
        }
        const std::string rom = s.dir.File("crystal.gbc");
        WriteFileBytes(rom, bytes);
        QVERIFY(s.Open(rom));

        s.ShowPage(1);
        QCOMPARE(s.ClickEntry("List1", QStringLiteral("Charizard ")), 5);
        QStringList ticked;
        for (QCheckBox* box : s.window.findChildren<QCheckBox*>()) {
            if (box->isChecked()) {
                ticked.append(box->text());
            }
        }
        QCOMPARE(ticked, (QStringList{QStringLiteral("TM08"), QStringLiteral("HM01")}));

        QVERIFY(s.ClickBox(QStringLiteral("HM07")));
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        Bytes expected = bytes;
        expected[FieldAt(release, 5, 7)] = 0xFF;
        // TM01 is saved too, with its move and price as shown.
        const Bytes after = ReadFileBytes(rom);
        QCOMPARE(DifferingOffsets(expected, after), std::vector<std::size_t>{});

        // Clearing it again gives the byte back as the file first held it.
        QVERIFY(s.ClickBox(QStringLiteral("HM07")));
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        QCOMPARE(DifferingOffsets(bytes, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }

    void choosingAnotherMachineOrSpeciesDropsUnsavedEdits() {
        TestWindow s;
        const Release& release = ReleaseOf("AAUD");
        Bytes bytes = SyntheticRomBytes(release.code);
        bytes[MoveAt(release, QStringLiteral("TM05"))] = 92;  // Toxic
        PutPrice(bytes, release, 5, 1500);
        for (int j = 0; j < 8; ++j) {
            bytes[FieldAt(release, 24, j)] = 0;
        }
        bytes[FieldAt(release, 24, 1)] = 0x01;  // TM09
        const std::string rom = s.dir.File("gold.gbc");
        WriteFileBytes(rom, bytes);
        QVERIFY(s.Open(rom));

        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM05")) >= 0);
        QCOMPARE(s.Selected("lstAttack"), 92);
        QVERIFY(s.ClickEntry("lstAttack", QStringLiteral("Surf")) >= 0);
        s.ClickAndTypePrice(QStringLiteral("123"));
        s.ShowPage(1);
        QVERIFY(s.ClickEntry("List1", QStringLiteral("Pikachu ")) >= 0);
        QVERIFY(s.ClickBox(QStringLiteral("TM01")));
        QVERIFY(s.ClickBox(QStringLiteral("TM09")));
        QVERIFY(s.ClickBox(QStringLiteral("HM07")));

        QVERIFY(s.ClickEntry("List1", QStringLiteral("Raichu ")) >= 0);
        QVERIFY(s.ClickEntry("List1", QStringLiteral("Pikachu ")) >= 0);
        for (QCheckBox* box : s.window.findChildren<QCheckBox*>()) {
            QCOMPARE(box->isChecked(), box->text() == QLatin1String("TM09"));
        }
        s.ShowPage(0);
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM06")) >= 0);
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM05")) >= 0);
        QCOMPARE(s.Selected("lstAttack"), 92);
        QCOMPARE(s.Price()->text(), QStringLiteral("1500"));
        QVERIFY(s.sink.messages.empty());
        QCOMPARE(DifferingOffsets(bytes, ReadFileBytes(rom)), std::vector<std::size_t>{});

        // What a save then writes is what the file held: none of the dropped edits.
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        QCOMPARE(DifferingOffsets(bytes, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }

    void priceKeystrokesAreSavedAsTheFieldShowsThem() {
        TestWindow s;
        const Release& release = ReleaseOf("AAXJ");
        const std::string rom = MakeSyntheticRom(s.dir, release.code);
        QVERIFY(s.Open(rom));
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("TM29")) >= 0);
        QLineEdit* price = s.Price();
        // Saves and checks that the field shows `text` and the file holds `value` for TM29.
        auto saveShowing = [&s, &rom, &release, price](const char* text, int value) {
            if (price->text() != QLatin1String(text)) {
                qWarning("the field shows %s", qPrintable(price->text()));
                return false;
            }
            s.PressSave();
            return s.OnlySaveConfirmed() && PriceIn(ReadFileBytes(rom), release, 30) == value;
        };

        s.ClickAndTypePrice(QStringLiteral("70000"));
        QVERIFY(saveShowing("65535", 65535));

        // Backspace to the end: the field never stays empty.
        s.Key(Qt::Key_End);
        for (const char* left : {"6553", "655", "65", "6", "0", "0"}) {
            s.Key(Qt::Key_Backspace);
            QCOMPARE(price->text(), QString::fromLatin1(left));
        }
        QVERIFY(saveShowing("0", 0));

        // Letters, signs, blanks and points never arrive; leading zeros stay as typed.
        QTest::keyClicks(price, QStringLiteral("a-+. ,e"));
        QCOMPARE(price->text(), QStringLiteral("0"));
        s.Key(Qt::Key_End);
        QTest::keyClicks(price, QStringLiteral("1x2"));
        QVERIFY(saveShowing("012", 12));

        QApplication::clipboard()->setText(QStringLiteral("12a3"));
        s.Key(Qt::Key_A, Qt::ControlModifier);
        s.Key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(saveShowing("123", 123));
        // Separators are dropped before the field's length limit could cut digits off.
        QApplication::clipboard()->setText(QStringLiteral("12,345"));
        s.Key(Qt::Key_A, Qt::ControlModifier);
        s.Key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(saveShowing("12345", 12345));
        // A refused key does not even replace the selected text.
        s.Key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(price, QStringLiteral("x "));
        QVERIFY(saveShowing("12345", 12345));

        // The spinner, reached by Tab, stops at both ends.
        s.ClickAndTypePrice(QStringLiteral("65535"));
        s.Key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.Get<QWidget>(QStringLiteral("UpDown1")));
        s.Key(Qt::Key_Up);
        QVERIFY(saveShowing("65535", 65535));
        s.Key(Qt::Key_Down);
        QVERIFY(saveShowing("65534", 65534));
        s.ClickAndTypePrice(QStringLiteral("0"));
        s.Key(Qt::Key_Tab);
        s.Key(Qt::Key_Down);
        QVERIFY(saveShowing("0", 0));
        s.Key(Qt::Key_Up);
        QVERIFY(saveShowing("1", 1));
    }

    void aFileThatCannotBeWrittenIsLeftAlone_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("deleted") << static_cast<int>(Damage::Deleted);
        QTest::newRow("read-only") << static_cast<int>(Damage::ReadOnly);
        QTest::newRow("truncated") << static_cast<int>(Damage::Truncated);
        QTest::newRow("replaced by a folder") << static_cast<int>(Damage::Folder);
    }

    void aFileThatCannotBeWrittenIsLeftAlone() {
        QFETCH(int, damage);
        TestWindow s;
        const Release& release = ReleaseOf("AAUE");
        const std::string rom = MakeSyntheticRom(s.dir, release.code);
        QVERIFY(s.Open(rom));
        // Edits that reach the far end of the tables: HM07 and Celebi.
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("HM07")) >= 0);
        QVERIFY(s.ClickEntry("lstAttack", QStringLiteral("Surf")) >= 0);
        s.ClickAndTypePrice(QStringLiteral("4321"));
        s.ShowPage(1);
        QVERIFY(s.ClickEntry("List1", QStringLiteral("Celebi")) >= 0);
        QVERIFY(s.ClickBox(QStringLiteral("TM01")));

        switch (static_cast<Damage>(damage)) {
            case Damage::Deleted:
                fs::remove(rom);
                break;
            case Damage::ReadOnly:
                // The program reads the owner's write bit, so this holds for root as well.
                fs::permissions(
                    rom, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
                break;
            case Damage::Truncated:
                // One byte short of Celebi's last field byte: everything else still fits.
                fs::resize_file(rom, FieldAt(release, 250, 7));
                break;
            case Damage::Folder:
                fs::remove(rom);
                fs::create_directory(rom);
                break;
        }
        const bool isFile = fs::is_regular_file(rom);
        const Bytes before = isFile ? ReadFileBytes(rom) : Bytes{};
        const auto entries = FolderEntries(s.dir);

        s.PressSave();
        const bool readOnly = static_cast<Damage>(damage) == Damage::ReadOnly;
        if (readOnly) {
            // Asked whether to make it writable, and answered no: nothing more is said.
            QCOMPARE(s.sink.questions.size(), std::size_t{1});
            QVERIFY2(s.sink.messages.empty(), qPrintable(Describe(s.sink.messages)));
        } else {
            QVERIFY2(s.sink.messages.size() == 1, qPrintable(Describe(s.sink.messages)));
            const Message& message = s.sink.messages[0];
            QVERIFY2(message.title.starts_with("Error: "), message.title.c_str());
            QVERIFY(message.icon == MessageIcon::None);
            QVERIFY(!message.text.empty());
        }
        QCOMPARE(FolderEntries(s.dir), entries);
        if (isFile) {
            QCOMPARE(ReadFileBytes(rom), before);
        } else if (fs::is_directory(rom)) {
            QVERIFY(fs::is_empty(rom));
        }
        s.sink.Clear();

        // The window goes on working with a good file at the same place.
        if (static_cast<Damage>(damage) != Damage::ReadOnly) {
            fs::remove_all(rom);
            MakeSyntheticRom(s.dir, release.code);
        }
        const Bytes good = ReadFileBytes(rom);
        QVERIFY(s.Open(rom));
        QVERIFY(s.sink.messages.empty());
        // The read-only file is saved into once Save makes it writable.
        s.sink.answer = readOnly;
        s.ShowPage(0);
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("HM07")) >= 0);
        s.ClickAndTypePrice(QStringLiteral("4321"));
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        Bytes expected = good;
        PutPrice(expected, release, 58, 4321);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }

    void theListWithTheKeyboardFocusIsFramed() {
        TestWindow s;
        QVERIFY(s.Open(MakeSyntheticRom(s.dir, "AAUE")));
        QListWidget* machines = s.List("lstTM");
        QListWidget* moves = s.List("lstAttack");
        // Both lists show a selected entry; only the border tells where the arrow keys go.
        auto framed = [](QListWidget* list) {
            const QImage image = list->grab().toImage();
            const QColor highlight = list->palette().color(QPalette::Highlight);
            return image.pixelColor(0, image.height() / 2) == highlight &&
                   image.pixelColor(image.width() / 2, 0) == highlight;
        };
        s.ClickRow("lstTM", 3);
        QCOMPARE(QApplication::focusWidget(), machines);
        QVERIFY(framed(machines));
        QVERIFY(!framed(moves));
        s.Key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), moves);
        QVERIFY(!framed(machines));
        QVERIFY(framed(moves));
        s.Key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.Price());
        QVERIFY(!framed(moves));
    }

    void aboutOpensFromTheKeyboardAndGivesTheFocusBack() {
        TestWindow s;
        QVERIFY(s.Open(MakeSyntheticRom(s.dir, "AAUE")));
        s.ClickAndTypePrice(QStringLiteral("77"));
        QVERIFY(s.ClickEntry("lstAttack", QStringLiteral("Surf")) >= 0);
        auto about = [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->objectName() == QLatin1String("Form2") && widget->isVisible()) {
                    return widget;
                }
            }
            return static_cast<QWidget*>(nullptr);
        };
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            // Alt+H opens the Help menu, whose first command is About.
            s.Key(Qt::Key_H, Qt::AltModifier);
            QVERIFY(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
            QVERIFY(QTest::qWaitFor([&about] { return about() != nullptr; }));
            QVERIFY(QTest::qWaitFor([&about] { return QApplication::activeWindow() == about(); }));
            QVERIFY(!s.window.isEnabled());
            s.Key(key);
            QVERIFY(QTest::qWaitFor([&about] { return about() == nullptr; }));
            QVERIFY(s.window.isEnabled());
            // The offscreen platform has no window manager to activate the main window again;
            // once active, the keys go where they went before.
            QVERIFY(ShowAndActivate(s.window));
            QCOMPARE(QApplication::focusWidget(), s.List("lstAttack"));
        }
        QCOMPARE(s.Price()->text(), QStringLiteral("77"));
        QCOMPARE(s.List("lstAttack")->currentItem()->text(), QStringLiteral("Surf"));
        QVERIFY(s.sink.messages.empty());
    }
};

}  // namespace brindlewick::test

#include "EditingTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::EditingTest)
