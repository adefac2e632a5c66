// WindowDriver: the main window worked the way a person works it, with mouse clicks and key
// presses on its real controls, and a reading of everything the window shows.
#pragma once

#include <array>
#include <string>

#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QToolButton;
class QWidget;

namespace brindlewick {
class Form1;
}

namespace brindlewick::test {

enum class ListKey { Up, Down, Home, End };

// Everything the window shows that a save or a reload depends on.
struct WindowReading {
    int machine = -1;
    int move = -1;
    int species = -1;
    QString price;
    std::array<bool, 57> checks{};
    int page = 0;
    QString caption;
    QString gameName, gameCode, language;
    bool saveEnabled = false;
    bool windowEnabled = true;
};

class WindowDriver {
public:
    explicit WindowDriver(Form1& window);

    Form1& Window() { return m_window; }
    QListWidget* Machines() const { return m_machines; }
    QListWidget* Moves() const { return m_moves; }
    QListWidget* Species() const { return m_species; }
    QLineEdit* Price() const { return m_price; }

    // Clicks the tab of `page`; true when that page is in front afterwards.
    bool ShowPage(int page);
    // Scrolls `row` into view as the wheel would and clicks it.
    void ClickRow(QListWidget* list, int row);
    void PressListKey(QListWidget* list, ListKey key);
    // Selects the whole price text (Ctrl+A) or puts the cursor at its end (End), then types;
    // '\b' in `keys` is the Backspace key.
    void TypePrice(const std::string& keys, bool selectAll);
    // Puts `text` on the clipboard, then selects all or goes to the end, then Ctrl+V.
    void PastePrice(const QString& text, bool selectAll);
    // One step of the spinner: a click on its arrow, or the arrow key with the focus on it.
    void Spin(bool up, bool byClick);
    // Ticks or clears the box of `machine` by a click on its indicator or by the space bar.
    void ToggleCheck(int machine, bool byClick);
    // "Save ROM" by Ctrl+S or through the File menu's command.
    void Save(bool byShortcut);

    WindowReading Read() const;

private:
    Form1& m_window;
    QTabWidget* m_tabs;
    QListWidget* m_machines;
    QListWidget* m_moves;
    QListWidget* m_species;
    QLineEdit* m_price;
    QWidget* m_spinner;
    QToolButton* m_up;
    QToolButton* m_down;
    std::array<QCheckBox*, 57> m_checks{};
};

}  // namespace brindlewick::test
