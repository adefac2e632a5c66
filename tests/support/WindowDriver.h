// WindowDriver: the main window worked the way a person works it, with mouse clicks and key
// presses on its real controls, and a reading of everything the window shows. TestWindow is a
// window of its own with the driver, a recording message sink and a folder for ROM files.
#pragma once

#include <array>
#include <string>

#include <QString>
#include <Qt>

#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "ui/Form1.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QToolButton;
class QWidget;

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

    // The controls, by name or by role.
    Form1& Window() const { return m_window; }
    template <typename T>
    T* Get(const QString& name) const {
        return Child<T>(m_window, name);
    }
    template <typename T>
    T* Get(const char* name) const {
        return Get<T>(QString::fromLatin1(name));
    }
    QListWidget* List(const char* name) const;
    QListWidget* Machines() const { return m_machines; }
    QListWidget* Moves() const { return m_moves; }
    QListWidget* Species() const { return m_species; }
    QLineEdit* Price() const { return m_price; }
    // The box of the machine named `machine` ("TM01" .. "HM07").
    QCheckBox* Box(const QString& machine) const;
    // The text of a label.
    QString Text(const char* label) const;
    // The selected row of a list, or -1.
    int Selected(const char* list) const;
    // The page in front.
    int Page() const;

    // "Open ROM..." by Ctrl+O (or the File menu) with `path` chosen in the dialog, then the
    // window activated again; true when both happened.
    bool Open(const std::string& path, OpenBy by = OpenBy::Shortcut);

    // Clicks the tab of `page`; true when that page is in front afterwards.
    bool ShowPage(int page);
    // Scrolls `row` into view as the wheel would and clicks it.
    void ClickRow(QListWidget* list, int row);
    void ClickRow(const char* list, int row) { ClickRow(List(list), row); }
    // Clicks the entry of `list` that reads `text`; returns its row, or -1 when no entry
    // reads so or the click did not select it.
    int ClickEntry(const char* list, const QString& text);
    void PressListKey(QListWidget* list, ListKey key);
    // A key as the user presses it: to the widget that has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {});

    // Selects the whole price text (Ctrl+A) or puts the cursor at its end (End), then types;
    // '\b' in `keys` is the Backspace key.
    void TypePrice(const std::string& keys, bool selectAll);
    // Clicks into the price field, selects all its text and types `keys`.
    void ClickAndTypePrice(const QString& keys);
    // Puts `text` on the clipboard, then selects all or goes to the end, then Ctrl+V.
    void PastePrice(const QString& text, bool selectAll);
    // One step of the spinner: a click on its arrow, or the arrow key with the focus on it.
    void Spin(bool up, bool byClick);

    // Ticks or clears the box of machine index `machine` by a click on its indicator or by
    // the space bar.
    void ToggleCheck(int machine, bool byClick);
    // Clicks the box of the machine named `machine` on its indicator; true when that flipped
    // its tick.
    bool ClickBox(const QString& machine);

    // "Save ROM" by Ctrl+S to the active window or through the File menu's command.
    void Save(bool byShortcut);
    // Ctrl+S to whatever has the focus.
    void PressSave() { Key(Qt::Key_S, Qt::ControlModifier); }

    // "About" through the Help menu's command: the one About window it opened, or nullptr.
    QWidget* OpenAbout();
    // Closes `about` by its OK button or its close command and activates the main window
    // again; false when the About window did not go away.
    bool CloseAbout(QWidget* about, bool byOk);

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

// What a TestWindow owns; a base of its own so that it is made before the driver.
struct WindowParts {
    RecordingSink sink;
    TempDir dir;
    Form1 window;
};

// A main window of its own, with a recording message sink and a folder for its ROM files.
class TestWindow : public WindowParts, public WindowDriver {
public:
    TestWindow() : WindowDriver(window) {}

    // Exactly one message since the last check, the confirmation of a save; forgets the
    // messages either way.
    bool OnlySaveConfirmed();
};

}  // namespace brindlewick::test
