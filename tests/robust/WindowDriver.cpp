#include "robust/WindowDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "ui/Form1.h"
#include "ui/UiTestSupport.h"

namespace brindlewick::test {
namespace {

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
        // The box reacts to clicks on its indicator and caption, not on the empty space a
        // wide grid cell leaves beside them.
        QStyleOptionButton option;
        option.initFrom(check);
        option.text = check->text();
        const QRect indicator =
            check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
        QTest::mouseClick(check, Qt::LeftButton, {}, indicator.center());
    } else {
        check->setFocus();
        QTest::keyClick(check, Qt::Key_Space);
    }
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
