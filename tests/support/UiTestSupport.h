// Helpers for widget tests: answering the modal file dialog, opening a ROM through the real
// File menu or Ctrl+O, and finding named controls.
#pragma once

#include <functional>
#include <string>

#include <QFileDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

class QAction;
class QListWidget;

namespace brindlewick {
class Form1;
class TableEditor;
}  // namespace brindlewick

namespace brindlewick::test {

// Waits for the next modal file dialog and answers it. The dialog only appears once the call
// that shows it has entered the dialog's event loop, so the answerer polls from a timer that
// runs inside that loop. Create it before the call that shows the dialog.
class FileDialogAnswerer {
public:
    using Answer = std::function<void(QFileDialog&)>;

    explicit FileDialogAnswerer(Answer answer, int timeoutMs = 5000);
    ~FileDialogAnswerer();
    FileDialogAnswerer(const FileDialogAnswerer&) = delete;
    FileDialogAnswerer& operator=(const FileDialogAnswerer&) = delete;

    bool Answered() const { return m_answered; }
    // The owner the dialog had, to check modality with its window.
    QWidget* Owner() const { return m_owner; }

private:
    void Poll();

    Answer m_answer;
    QTimer m_timer;
    int m_remainingPolls;
    bool m_answered = false;
    QPointer<QWidget> m_owner;
};

// Answers that choose `path` (which must exist for an open dialog) or cancel.
FileDialogAnswerer::Answer ChooseFile(const std::string& path);
FileDialogAnswerer::Answer CancelDialog();

enum class OpenBy { Menu, Shortcut };

// Runs "Open ROM..." of `window` by its File menu command or by Ctrl+O and answers the dialog
// with `path`. Returns whether a dialog appeared and was answered.
bool OpenRomThroughWindow(Form1& window, const std::string& path, OpenBy by = OpenBy::Menu);
// The same, cancelling the dialog.
bool CancelOpenRomThroughWindow(Form1& window, OpenBy by = OpenBy::Menu);

// Shows `window` and waits until it is the active window, so that shortcuts reach it.
bool ShowAndActivate(QWidget& window);

// Opens `romPath` in `window` unless a ROM is open already, then the table editor with Ctrl+T,
// activated; nullptr when either fails.
TableEditor* OpenTableEditor(Form1& window, const std::string& romPath);

// The About windows that are open.
QList<QWidget*> AboutWindows();

// The menu command named `name` (mnuOpen, mnuSave, ...) of `window`.
QAction* FindAction(QWidget& window, const QString& name);

// The texts of a list's entries, in its order.
QStringList Entries(const QListWidget& list);

// A named child of `parent`; the test fails with the name when there is none.
template <typename T>
T* Child(const QObject& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no control named %s", qPrintable(name));
    }
    return child;
}

}  // namespace brindlewick::test
