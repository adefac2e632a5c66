// The Edit menu's copy and paste of a species' machines, and the Machine Learners window,
// worked through the real window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

#include "editor/MachineListText.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

const Release& Gold() {
    return ReleaseOf("AAUE");
}

std::size_t Field(int species, int fieldByte) {
    return FieldAt(Gold(), species, fieldByte);
}

// An image in which Bulbasaur learns TM01, TM03 and HM07, Ivysaur nothing, Charmander TM01 and
// Celebi HM07; TM01 teaches Mega Punch (5) and HM07 Waterfall (127).
Bytes KnownRom() {
    Bytes image = SyntheticRomBytes("AAUE");
    for (int species = 0; species < 251; ++species) {
        for (int j = 0; j < 8; ++j) {
            image[Field(species, j)] = 0;
        }
    }
    image[Field(0, 0)] = 0x05;
    image[Field(0, 7)] = 0x01;
    image[Field(3, 0)] = 0x01;
    image[Field(250, 7)] = 0x01;
    image[MoveAt(Gold(), 0)] = 5;
    image[MoveAt(Gold(), 56)] = 127;
    return image;
}

}  // namespace

class ToolsMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_rom = m_dir.File("tools.gbc");
        WriteFileBytes(m_rom, KnownRom());
        m_window = std::make_unique<Form1>();
        QVERIFY(ShowAndActivate(*m_window));
    }
    void cleanup() {
        m_window.reset();
        m_sink.Clear();
    }

    void commandsWaitForARom() {
        for (const char* name : {"mnuCopyCompatibility", "mnuPasteCompatibility", "mnuLearners"}) {
            QVERIFY2(!FindAction(*m_window, QString::fromLatin1(name))->isEnabled(), name);
        }
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        for (const char* name : {"mnuCopyCompatibility", "mnuPasteCompatibility", "mnuLearners"}) {
            QVERIFY2(FindAction(*m_window, QString::fromLatin1(name))->isEnabled(), name);
        }
    }

    void copyThenPasteTicksTheSameMachinesAndSaveWritesThem() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        FindAction(*m_window, QStringLiteral("mnuCopyCompatibility"))->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("TM01 TM03 HM07"));

        // To Ivysaur, which learns nothing: only its boxes change until Save.
        auto* species = Child<QListWidget>(*m_window, QStringLiteral("List1"));
        Child<QTabWidget>(*m_window, QStringLiteral("tab1"))->setCurrentIndex(1);
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(1)).center());
        QVERIFY(!Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"))->isChecked());
        const Bytes before = ReadFileBytes(m_rom);
        FindAction(*m_window, QStringLiteral("mnuPasteCompatibility"))->trigger();
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"))->isChecked());
        QVERIFY(!Child<QCheckBox>(*m_window, QStringLiteral("chkTM02"))->isChecked());
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkTM03"))->isChecked());
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkHM07"))->isChecked());
        QCOMPARE(ReadFileBytes(m_rom), before);
        QVERIFY(m_sink.messages.empty());

        FindAction(*m_window, QStringLiteral("mnuSave"))->trigger();
        Bytes expected = before;
        expected[Field(1, 0)] = 0x05;
        expected[Field(1, 7)] = 0x01;
        const Bytes after = ReadFileBytes(m_rom);
        // The machine's move and price are written back as they were shown.
        QCOMPARE(DifferingOffsets(expected, after), std::vector<std::size_t>{});
    }

    void pasteOfOtherTextChangesNoBox() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        QApplication::clipboard()->setText(QStringLiteral("Bulbasaur"));
        FindAction(*m_window, QStringLiteral("mnuPasteCompatibility"))->trigger();
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"))->isChecked());
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkTM03"))->isChecked());
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        QCOMPARE(m_sink.messages[0].icon, MessageIcon::Information);
    }

    // Pasted text may name machines by the moves they teach, as the games spell them; the
    // keys of the Edit menu copy and paste, and Ctrl+L opens the learners.
    void pasteByMoveNamesAndTheEditKeys() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        QVERIFY(ShowAndActivate(*m_window));
        const auto box = [this](const char* name) {
            return Child<QCheckBox>(*m_window, QString::fromLatin1(name))->isChecked();
        };
        QTest::keyClick(m_window.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("TM01 TM03 HM07"));

        auto* species = Child<QListWidget>(*m_window, QStringLiteral("List1"));
        Child<QTabWidget>(*m_window, QStringLiteral("tab1"))->setCurrentIndex(1);
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(1)).center());
        QVERIFY(!box("chkTM01"));
        QApplication::clipboard()->setText(QStringLiteral("mega punch; WATERFALL"));
        QTest::keyClick(m_window.get(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(box("chkTM01"));
        QVERIFY(!box("chkTM03"));
        QVERIFY(box("chkHM07"));
        QVERIFY(m_sink.messages.empty());

        // A slip is answered with the nearest move, and no box changes.
        QApplication::clipboard()->setText(QStringLiteral("TM03, Mega Punsh"));
        QTest::keyClick(m_window.get(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!box("chkTM03"));
        QCOMPARE(m_sink.messages.size(), std::size_t{1});
        const std::string& text = m_sink.messages[0].text;
        QVERIFY2(text.find("did you mean \"Mega Punch\"?") != std::string::npos, text.c_str());

        QVERIFY(m_window->findChild<QWidget*>(QStringLiteral("Learners")) == nullptr);
        QTest::keyClick(m_window.get(), Qt::Key_L, Qt::ControlModifier);
        auto* learners = m_window->findChild<QWidget*>(QStringLiteral("Learners"));
        QVERIFY(learners != nullptr && learners->isVisible());
    }

    // Nothing to paste (no text, blanks, a picture) or far too much changes no box and says
    // why; a species that learns nothing is copied as a text that pastes back to no machines.
    void pasteWithNothingToPasteChangesNoBoxAndCopyOfNothingRoundTrips() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        auto* tm01 = Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString huge(static_cast<qsizetype>(kMaxMachineListText) + 1, QLatin1Char(' '));
        for (int clipboard = 0; clipboard < 4; ++clipboard) {
            if (clipboard == 0) {
                QApplication::clipboard()->clear();
            } else if (clipboard == 1) {
                QApplication::clipboard()->setText(QStringLiteral(" \n\t"));
            } else if (clipboard == 2) {
                QApplication::clipboard()->setImage(picture);
            } else {
                QApplication::clipboard()->setText(huge);
            }
            m_sink.Clear();
            QElapsedTimer timer;
            timer.start();
            FindAction(*m_window, QStringLiteral("mnuPasteCompatibility"))->trigger();
            // Bounded work, not speed: far under what a freeze on 64 KB would take.
            QVERIFY(timer.elapsed() < 10000);
            QVERIFY2(tm01->isChecked(), std::to_string(clipboard).c_str());
            QCOMPARE(m_sink.messages.size(), std::size_t{1});
            const std::string expected =
                clipboard == 3 ? "more than 64 KB of text" : "holds no list of machines";
            QVERIFY2(m_sink.messages[0].text.find(expected) != std::string::npos,
                     m_sink.messages[0].text.c_str());
        }

        // Ivysaur learns nothing: copied as "none", pasted onto Bulbasaur it clears every box.
        auto* species = Child<QListWidget>(*m_window, QStringLiteral("List1"));
        Child<QTabWidget>(*m_window, QStringLiteral("tab1"))->setCurrentIndex(1);
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(1)).center());
        FindAction(*m_window, QStringLiteral("mnuCopyCompatibility"))->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("none"));
        QTest::mouseClick(species->viewport(), Qt::LeftButton, {},
                          species->visualItemRect(species->item(0)).center());
        QVERIFY(tm01->isChecked());
        m_sink.Clear();
        FindAction(*m_window, QStringLiteral("mnuPasteCompatibility"))->trigger();
        QVERIFY(m_sink.messages.empty());
        for (const char* box : {"chkTM01", "chkTM03", "chkHM07"}) {
            QVERIFY2(!Child<QCheckBox>(*m_window, QString::fromLatin1(box))->isChecked(), box);
        }
    }

    void learnersFollowTheMachineAndTheSaves() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        FindAction(*m_window, QStringLiteral("mnuLearners"))->trigger();
        auto* learners = m_window->findChild<QWidget*>(QStringLiteral("Learners"));
        QVERIFY(learners != nullptr);
        QVERIFY(learners->isVisible());
        auto* list = Child<QListWidget>(*learners, QStringLiteral("lstLearners"));
        QCOMPARE(Entries(*list),
                 (QStringList{QStringLiteral("Bulbasaur"), QStringLiteral("Charmander")}));
        QCOMPARE(learners->windowTitle(), QStringLiteral("TM01 Mega Punch: 2 species"));

        auto* machines = Child<QListWidget>(*m_window, QStringLiteral("lstTM"));
        machines->setFocus();
        QTest::keyClick(machines, Qt::Key_End);
        QCOMPARE(Entries(*list),
                 (QStringList{QStringLiteral("Bulbasaur"), QStringLiteral("Celebi")}));
        QCOMPARE(learners->windowTitle(), QStringLiteral("HM07 Waterfall: 2 species"));

        // Clearing Bulbasaur's HM07 and saving takes it off the list.
        Child<QTabWidget>(*m_window, QStringLiteral("tab1"))->setCurrentIndex(1);
        Child<QCheckBox>(*m_window, QStringLiteral("chkHM07"))->setChecked(false);
        FindAction(*m_window, QStringLiteral("mnuSave"))->trigger();
        QCOMPARE(Entries(*list), QStringList{QStringLiteral("Celebi")});
        QCOMPARE(learners->windowTitle(), QStringLiteral("HM07 Waterfall: 1 species"));
    }

    void doubleClickedLearnerIsShownOnTheSpeciesPage() {
        QVERIFY(OpenRomThroughWindow(*m_window, m_rom));
        FindAction(*m_window, QStringLiteral("mnuLearners"))->trigger();
        auto* learners = m_window->findChild<QWidget*>(QStringLiteral("Learners"));
        QVERIFY(learners != nullptr);
        auto* list = Child<QListWidget>(*learners, QStringLiteral("lstLearners"));
        const QPoint charmander = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, charmander);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, charmander);
        QCOMPARE(Child<QTabWidget>(*m_window, QStringLiteral("tab1"))->currentIndex(), 1);
        auto* species = Child<QListWidget>(*m_window, QStringLiteral("List1"));
        QCOMPARE(species->currentRow(), 3);
        QVERIFY(species->item(3)->isSelected());
        QVERIFY(Child<QCheckBox>(*m_window, QStringLiteral("chkTM01"))->isChecked());
        QVERIFY(!Child<QCheckBox>(*m_window, QStringLiteral("chkHM07"))->isChecked());
    }

private:
    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom;
    std::unique_ptr<Form1> m_window;
};

}  // namespace brindlewick::test

#include "ToolsMenuTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ToolsMenuTest)
