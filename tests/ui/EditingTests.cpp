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
#include <set>

#include "support/TestSupport.h"
#include "ui/Form1.h"
#include "ui/UiTestSupport.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

// Where the three tables lie in each release. They are written out here rather than taken
// from the program, so that a wrong offset or record rule there shows as a wrong byte here.
struct Release {
    const char* code;
    std::size_t moves;      // one byte per machine, TM01 first
    std::size_t baseStats;  // 32-byte species records; compatibility field at +24
    std::size_t prices;     // 7-byte records; little-endian price in the first two bytes
};

constexpr Release kReleases[] = {
    {"AAUE", 0x11A66, 0x51B0B, 0x6DD2}, {"AAXE", 0x11A66, 0x51B0B, 0x6D98},
    {"BYTE", 0x1167A, 0x51424, 0x6CF3}, {"AAUS", 0x11A79, 0x51B19, 0x6E1A},
    {"AAXS", 0x11A79, 0x51B19, 0x6DE2}, {"BYTS", 0x1168D, 0x5142D, 0x6D12},
    {"AAUJ", 0x11A00, 0x51AA9, 0x70C5}, {"AAXJ", 0x11A00, 0x51AA9, 0x708A},
    {"BXTJ", 0x11614, 0x514BA, 0x6F2C}, {"AAUD", 0x11A5D, 0x51B00, 0x6E09},
    {"AAXD", 0x11A5D, 0x51B00, 0x6DD0}, {"BYTD", 0x11671, 0x5140E, 0x6D14},
    {"AAUF", 0x11A65, 0x51B10, 0x6E07}, {"AAXF", 0x11A65, 0x51B10, 0x6DCD},
    {"BYTF", 0x11679, 0x51417, 0x6D0D}, {"AAUI", 0x11A65, 0x51B19, 0x6E04},
    {"AAXI", 0x11A65, 0x51B19, 0x6DCA}, {"BYTI", 0x11679, 0x51433, 0x6D0C},
};

const Release& ReleaseOf(const QString& code) {
    for (const Release& release : kReleases) {
        if (code == QLatin1String(release.code)) {
            return release;
        }
    }
    qFatal("no release %s", qPrintable(code));
}

// "TM01".."TM50" are machine numbers 1 to 50, "HM01".."HM07" 51 to 57.
int MachineNumber(const QString& name) {
    const int number = name.mid(2).toInt();
    return name.startsWith(QLatin1String("HM")) ? 50 + number : number;
}

std::size_t MoveAt(const Release& release, const QString& machine) {
    return release.moves + static_cast<std::size_t>(MachineNumber(machine) - 1);
}

std::size_t PriceAt(const Release& release, int record) {
    return release.prices + 7 * static_cast<std::size_t>(record);
}

std::size_t FieldAt(const Release& release, int species, int fieldByte) {
    return release.baseStats + 32 * static_cast<std::size_t>(species) + 24 +
           static_cast<std::size_t>(fieldByte);
}

void PutPrice(Bytes& bytes, const Release& release, int record, int price) {
    bytes[PriceAt(release, record)] = static_cast<std::uint8_t>(price & 0xFF);
    bytes[PriceAt(release, record) + 1] = static_cast<std::uint8_t>(price >> 8);
}

int PriceIn(const Bytes& bytes, const Release& release, int record) {
    return bytes[PriceAt(release, record)] | (bytes[PriceAt(release, record) + 1] << 8);
}

// Machine n is bit (n - 1) % 8 of field byte (n - 1) / 8, bit 0 being the value 1.
void ToggleMachine(Bytes& bytes, const Release& release, int species, const QString& machine) {
    const int bit = MachineNumber(machine) - 1;
    bytes[FieldAt(release, species, bit / 8)] ^= static_cast<std::uint8_t>(1u << (bit % 8));
}

QString Describe(const std::vector<Message>& messages) {
    QStringList lines;
    for (const Message& message : messages) {
        lines.append(QString::fromStdString(message.title + ": " + message.text));
    }
    return lines.join(QStringLiteral(" | "));
}

std::set<std::string> FolderEntries(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A window with a recording message sink and a folder for its ROM files, driven the way a
// person drives it: clicks on list entries, tabs and boxes, keys sent to whatever has the
// focus.
class Session {
public:
    RecordingSink sink;
    TempDir dir;
    Form1 window;

    template <typename T>
    T* Get(const QString& name) {
        return Child<T>(window, name);
    }
    QListWidget* List(const char* name) { return Get<QListWidget>(QString::fromLatin1(name)); }
    QLineEdit* Price() { return Get<QLineEdit>(QStringLiteral("txtPrice")); }
    QCheckBox* Box(const QString& machine) {
        return Get<QCheckBox>(QStringLiteral("chk") + machine);
    }

    int Selected(const char* list) {
        const auto items = List(list)->selectedItems();
        return items.isEmpty() ? -1 : List(list)->row(items.first());
    }

    bool Open(const std::string& path) {
        return OpenRomThroughWindow(window, path, OpenBy::Shortcut) && ShowAndActivate(window);
    }

    // Clicks the entry of `list` that reads `text`; returns its row, or -1 when no entry
    // reads so or the click did not select it.
    int ClickEntry(const char* list, const QString& text) {
        const auto found = List(list)->findItems(text, Qt::MatchExactly);
        if (found.size() != 1) {
            return -1;
        }
        const int row = List(list)->row(found.first());
        ClickRow(list, row);
        return Selected(list) == row ? row : -1;
    }

    void ClickRow(const char* list, int row) {
        QListWidget* widget = List(list);
        widget->scrollToItem(widget->item(row));
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {},
                          widget->visualItemRect(widget->item(row)).center());
    }

    void ShowPage(int page) {
        QTabBar* bar = Get<QTabWidget>(QStringLiteral("tab1"))->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }
    int Page() { return Get<QTabWidget>(QStringLiteral("tab1"))->currentIndex(); }

    // Clicks the box of `machine` on its indicator; true when that flipped its tick.
    bool ClickBox(const QString& machine) {
        QCheckBox* box = Box(machine);
        const bool wasTicked = box->isChecked();
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator =
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
        return box->isChecked() != wasTicked;
    }

    // Clicks into the price field, selects all its text and types `keys`.
    void TypePrice(const QString& keys) {
        QTest::mouseClick(Price(), Qt::LeftButton);
        Key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Price(), keys);
    }

    // A key as the user presses it: to the widget that has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : &window, key, modifiers);
    }

    void PressSave() { Key(Qt::Key_S, Qt::ControlModifier); }

    // Exactly one message since the last check, the confirmation of a save.
    bool OnlySaveConfirmed() {
        const bool confirmed = sink.messages.size() == 1 &&
                               sink.messages[0].text == "TM Information Successfully Changed!" &&
                               sink.messages[0].title == "Brindlewick" &&
                               sink.messages[0].icon == MessageIcon::Information;
        if (!confirmed) {
            qWarning("messages: %s", qPrintable(Describe(sink.messages)));
        }
        sink.Clear();
        return confirmed;
    }
};

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
        const Release& release = ReleaseOf(code);

        Session s;
        const std::string rom = MakeSyntheticRom(s.dir, code.toStdString());
        const Bytes before = ReadFileBytes(rom);
        QVERIFY(s.Open(rom));
        QCOMPARE(s.ClickEntry("lstTM", machine), MachineNumber(machine) - 1);
        QCOMPARE(s.ClickEntry("lstAttack", move), moveNumber);
        s.TypePrice(price);
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
        expected[PriceAt(release, record)] = static_cast<std::uint8_t>(low);
        expected[PriceAt(release, record) + 1] = static_cast<std::uint8_t>(high);
        for (const QString& box : boxes) {
            ToggleMachine(expected, release, speciesIndex, box);
        }
        const Bytes after = ReadFileBytes(rom);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(DifferingOffsets(expected, after), std::vector<std::size_t>{});
    }

    void savingEveryMachineAndSpeciesUneditedChangesNothing() {
        Session s;
        const Release& release = ReleaseOf(QStringLiteral("BYTE"));
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
        Session s;
        const Release& release = kReleases[0];
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
        Session s;
        const Release& release = ReleaseOf(QStringLiteral("AAXF"));
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
        s.TypePrice(QStringLiteral("42"));
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
        Session s;
        const Release& release = ReleaseOf(QStringLiteral("BYTS"));
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
        Session s;
        const Release& release = ReleaseOf(QStringLiteral("AAUD"));
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
        s.TypePrice(QStringLiteral("123"));
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
        Session s;
        const Release& release = ReleaseOf(QStringLiteral("AAXJ"));
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

        s.TypePrice(QStringLiteral("70000"));
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
        s.TypePrice(QStringLiteral("65535"));
        s.Key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.Get<QWidget>(QStringLiteral("UpDown1")));
        s.Key(Qt::Key_Up);
        QVERIFY(saveShowing("65535", 65535));
        s.Key(Qt::Key_Down);
        QVERIFY(saveShowing("65534", 65534));
        s.TypePrice(QStringLiteral("0"));
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
        Session s;
        const Release& release = ReleaseOf(QStringLiteral("AAUE"));
        const std::string rom = MakeSyntheticRom(s.dir, release.code);
        QVERIFY(s.Open(rom));
        // Edits that reach the far end of the tables: HM07 and Celebi.
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("HM07")) >= 0);
        QVERIFY(s.ClickEntry("lstAttack", QStringLiteral("Surf")) >= 0);
        s.TypePrice(QStringLiteral("4321"));
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
        QVERIFY2(s.sink.messages.size() == 1, qPrintable(Describe(s.sink.messages)));
        const Message& message = s.sink.messages[0];
        QVERIFY2(message.title.starts_with("Error: "), message.title.c_str());
        QVERIFY(message.icon == MessageIcon::None);
        QVERIFY(!message.text.empty());
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
        s.ShowPage(0);
        QVERIFY(s.ClickEntry("lstTM", QStringLiteral("HM07")) >= 0);
        s.TypePrice(QStringLiteral("4321"));
        s.PressSave();
        QVERIFY(s.OnlySaveConfirmed());
        Bytes expected = good;
        PutPrice(expected, release, 58, 4321);
        QCOMPARE(DifferingOffsets(expected, ReadFileBytes(rom)), std::vector<std::size_t>{});
    }

    void theListWithTheKeyboardFocusIsFramed() {
        Session s;
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
        Session s;
        QVERIFY(s.Open(MakeSyntheticRom(s.dir, "AAUE")));
        s.TypePrice(QStringLiteral("77"));
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

BRINDLEWICK_REGISTER_UI_TEST(EditingTest);

}  // namespace brindlewick::test

#include "EditingTests.moc"
