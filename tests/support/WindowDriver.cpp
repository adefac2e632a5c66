#include "support/WindowDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace brindlewick::test {
namespace {

// The box reacts to clicks on its indicator and caption, not on the empty space a wide grid
// cell leaves beside them.
void ClickIndicator(QCheckBox* check) {
    QStyleOptionButton option;
    option.initFrom(check);
    option.text = check->text();
    const QRect indicator =
        check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
    QTest::mouseClick(check, Qt::LeftButton, {}, indicator.center());
}

QString MachineBoxName(int machine) {
    const bool hidden = machine >= 50;
    const int number = hidden ? machine - 49 : machine + 1;
    return QStringLiteral("chk%1%2")
        .arg(hidden ? QStringLiteral("HM") : QStringLiteral("TM"))
        .arg(number, 2, 10, QLatin1Char('0'));
}

int SelectedRow(const QListWidget* list) {
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

Qt::Key KeyOf(ListKey key) {
    switch (key) {
        case ListKey::Up:
            return Qt::Key_Up;
        case ListKey::Down:
            return Qt::Key_Down;
        case ListKey::Home:
            return Qt::Key_Home;
        case ListKey::End:
            return Qt::Key_End;
    }
    return Qt::Key_Down;
}

}  // namespace

WindowDriver::WindowDriver(Form1& window)
    : m_window(window),
      m_tabs(Child<QTabWidget>(window, QStringLiteral("tab1"))),
      m_machines(Child<QListWidget>(window, QStringLiteral("lstTM"))),
      m_moves(Child<QListWidget>(window, QStringLiteral("lstAttack"))),
      m_species(Child<QListWidget>(window, QStringLiteral("List1"))),
      m_price(Child<QLineEdit>(window, QStringLiteral("txtPrice"))),
      m_spinner(Child<QWidget>(window, QStringLiteral("UpDown1"))),
      m_up(nullptr),
      m_down(nullptr) {
    for (QToolButton* arrow : m_spinner->findChildren<QToolButton*>()) {
        (arrow->arrowType() == Qt::UpArrow ? m_up : m_down) = arrow;
    }
    if (m_up == nullptr || m_down == nullptr) {
        qFatal("the spinner has no up and down arrows");
    }
    for (int machine = 0; machine < 57; ++machine) {
        m_checks[static_cast<std::size_t>(machine)] =
            Child<QCheckBox>(window, MachineBoxName(machine));
    }
}

QListWidget* WindowDriver::List(const char* name) const {
    return Get<QListWidget>(name);
}

QCheckBox* WindowDriver::Box(const QString& machine) const {
    return Get<QCheckBox>(QStringLiteral("chk") + machine);
}

QString WindowDriver::Text(const char* label) const {
    return Get<QLabel>(label)->text();
}

int WindowDriver::Selected(const char* list) const {
    return SelectedRow(List(list));
}

int WindowDriver::Page() const {
    return m_tabs->currentIndex();
}

bool WindowDriver::Open(const std::string& path, OpenBy by) {
    return OpenRomThroughWindow(m_window, path, by) && ShowAndActivate(m_window);
}

bool WindowDriver::ShowPage(int page) {
    if (m_tabs->currentIndex() != page) {
        QTabBar* bar = m_tabs->findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }
    return m_tabs->currentIndex() == page;
}

void WindowDriver::ClickRow(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

int WindowDriver::ClickEntry(const char* list, const QString& text) {
    QListWidget* widget = List(list);
    const auto found = widget->findItems(text, Qt::MatchExactly);
    if (found.size() != 1) {
        return -1;
    }
    const int row = widget->row(found.first());
    ClickRow(widget, row);
    return SelectedRow(widget) == row ? row : -1;
}

void WindowDriver::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : &m_window, key, modifiers);
}

void WindowDriver::PressListKey(QListWidget* list, ListKey key) {
    list->setFocus();
    QTest::keyClick(list, KeyOf(key));
}

void WindowDriver::TypePrice(const std::string& keys, bool selectAll) {
    m_price->setFocus();
    QTest::keyClick(m_price, selectAll ? Qt::Key_A : Qt::Key_End,
                    selectAll ? Qt::ControlModifier : Qt::NoModifier);
    for (const char key : keys) {
        if (key == '\b') {
            QTest::keyClick(m_price, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(m_price, QString(QLatin1Char(key)));
        }
    }
}

void WindowDriver::ClickAndTypePrice(const QString& keys) {
    QTest::mouseClick(m_price, Qt::LeftButton);
    Key(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(m_price, keys);
}

void WindowDriver::PastePrice(const QString& text, bool selectAll) {
    QApplication::clipboard()->setText(text);
    m_price->setFocus();
    QTest::keyClick(m_price, selectAll ? Qt::Key_A : Qt::Key_End,
                    selectAll ? Qt::ControlModifier : Qt::NoModifier);
    QTest::keyClick(m_price, Qt::Key_V, Qt::ControlModifier);
}

void WindowDriver::Spin(bool up, bool byClick) {
    if (byClick) {
        QTest::mouseClick(up ? m_up : m_down, Qt::LeftButton);
    } else {
        m_spinner->setFocus();
        QTest::keyClick(m_spinner, up ? Qt::Key_Up : Qt::Key_Down);
    }
}

void WindowDriver::ToggleCheck(int machine, bool byClick) {
    QCheckBox* check = m_checks[static_cast<std::size_t>(machine)];
    if (byClick) {
        ClickIndicator(check);
    } else {
        check->setFocus();
        QTest::keyClick(check, Qt::Key_Space);
    }
}

bool WindowDriver::ClickBox(const QString& machine) {
    QCheckBox* box = Box(machine);
    const bool wasTicked = box->isChecked();
    ClickIndicator(box);
    return box->isChecked() != wasTicked;
}

void WindowDriver::Save(bool byShortcut) {
    if (byShortcut) {
        ShowAndActivate(m_window);
        QTest::keyClick(&m_window, Qt::Key_S, Qt::ControlModifier);
    } else {
        // The command as the File menu holds it; a disabled command does nothing.
        FindAction(m_window, QStringLiteral("mnuSave"))->trigger();
    }
}

QWidget* WindowDriver::OpenAbout() {
    FindAction(m_window, QStringLiteral("mnuAbout"))->trigger();
    const QList<QWidget*> about = AboutWindows();
    return about.size() == 1 ? about.first() : nullptr;
}

bool WindowDriver::CloseAbout(QWidget* about, bool byOk) {
    if (byOk) {
        QTest::mouseClick(Child<QPushButton>(*about, QStringLiteral("Command1")), Qt::LeftButton);
    } else {
        about->close();
    }
    if (!QTest::qWaitFor([] { return AboutWindows().isEmpty(); })) {
        return false;
    }
    ShowAndActivate(m_window);
    return true;
}

WindowReading WindowDriver::Read() const {
    WindowReading reading;
    reading.machine = SelectedRow(m_machines);
    reading.move = SelectedRow(m_moves);
    reading.species = SelectedRow(m_species);
    reading.price = m_price->text();
    for (int machine = 0; machine < 57; ++machine) {
        reading.checks[static_cast<std::size_t>(machine)] =
            m_checks[static_cast<std::size_t>(machine)]->isChecked();
    }
    reading.page = m_tabs->currentIndex();
    reading.caption = m_window.windowTitle();
    reading.gameName = Child<QLabel>(m_window, QStringLiteral("headr"))->text();
    reading.gameCode = Child<QLabel>(m_window, QStringLiteral("code"))->text();
    reading.language = Child<QLabel>(m_window, QStringLiteral("lang"))->text();
    reading.saveEnabled = FindAction(m_window, QStringLiteral("mnuSave"))->isEnabled();
    reading.windowEnabled = m_window.isEnabled();
    return reading;
}

}  // namespace brindlewick::test

namespace brindlewick::test {

bool TestWindow::OnlySaveConfirmed() {
    const bool confirmed = sink.messages.size() == 1 &&
                           sink.messages[0].text == "TM Information Successfully Changed!" &&
                           sink.messages[0].title == "Brindlewick" &&
                           sink.messages[0].icon == MessageIcon::Information;
    if (!confirmed) {
        QStringList lines;
        for (const Message& message : sink.messages) {
            lines.append(QString::fromStdString(message.title + ": " + message.text));
        }
        qWarning("messages: %s", qPrintable(lines.join(QStringLiteral(" | "))));
    }
    sink.Clear();
    return confirmed;
}

}  // namespace brindlewick::test
