#include "support/UiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "ui/Form1.h"
#include "ui/TableEditor.h"

namespace brindlewick::test {
namespace {

constexpr int kPollMs = 10;

}  // namespace

FileDialogAnswerer::FileDialogAnswerer(Answer answer, int timeoutMs)
    : m_answer(std::move(answer)), m_remainingPolls(timeoutMs / kPollMs) {
    m_timer.setInterval(kPollMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start();
}

FileDialogAnswerer::~FileDialogAnswerer() {
    m_timer.stop();
}

void FileDialogAnswerer::Poll() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
        if (--m_remainingPolls <= 0) {
            m_timer.stop();
        }
        return;
    }
    m_timer.stop();
    m_answered = true;
    m_owner = dialog->parentWidget();
    m_answer(*dialog);
}

FileDialogAnswerer::Answer ChooseFile(const std::string& path) {
    return [path](QFileDialog& dialog) {
        const QString file = QString::fromStdString(path);
        dialog.selectFile(file);
        // selectFile leaves the name field alone while it has the focus, as it has in an
        // active dialog; the full path typed there is what a user would enter.
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setText(file);
        }
        // QFileDialog keeps its own accept() protected; it runs through QDialog.
        static_cast<QDialog&>(dialog).accept();
    };
}

FileDialogAnswerer::Answer CancelDialog() {
    return [](QFileDialog& dialog) { dialog.reject(); };
}

bool ShowAndActivate(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

QStringList Entries(const QListWidget& list) {
    QStringList entries;
    for (int row = 0; row < list.count(); ++row) {
        entries << list.item(row)->text();
    }
    return entries;
}

QAction* FindAction(QWidget& window, const QString& name) {
    return window.findChild<QAction*>(name);
}

namespace {

bool RunOpen(Form1& window, FileDialogAnswerer::Answer answer, OpenBy by) {
    FileDialogAnswerer answerer(std::move(answer));
    if (by == OpenBy::Menu) {
        // The command as the File menu holds it; a disabled command does nothing.
        auto* file = window.menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile"));
        for (QAction* action : file->actions()) {
            if (action->objectName() == QLatin1String("mnuOpen")) {
                action->trigger();
            }
        }
    } else {
        if (!ShowAndActivate(window)) {
            return false;
        }
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    }
    return answerer.Answered();
}

}  // namespace

bool OpenRomThroughWindow(Form1& window, const std::string& path, OpenBy by) {
    return RunOpen(window, ChooseFile(path), by);
}

bool CancelOpenRomThroughWindow(Form1& window, OpenBy by) {
    return RunOpen(window, CancelDialog(), by);
}

QList<QWidget*> AboutWindows() {
    QList<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("Form2") && widget->isVisible()) {
            found.append(widget);
        }
    }
    return found;
}

}  // namespace brindlewick::test

namespace brindlewick::test {

TableEditor* OpenTableEditor(Form1& window, const std::string& romPath) {
    if (window.windowTitle() == QStringLiteral("Brindlewick") &&
        !OpenRomThroughWindow(window, romPath)) {
        return nullptr;
    }
    if (!FindAction(window, QStringLiteral("mnuTableEditor"))->isEnabled() ||
        !ShowAndActivate(window)) {
        return nullptr;
    }
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
    TableEditor* editor = nullptr;
    for (auto* candidate : window.findChildren<TableEditor*>()) {
        if (candidate->isVisible()) {
            editor = candidate;
        }
    }
    // The main window may take the activation back once more after its open dialog closed;
    // the editor is activated again until it keeps it.
    for (int attempt = 0; editor != nullptr && attempt < 5; ++attempt) {
        if (!ShowAndActivate(*editor)) {
            return nullptr;
        }
        QTest::qWait(20);
        if (QApplication::activeWindow() == editor) {
            return editor;
        }
    }
    return nullptr;
}

}  // namespace brindlewick::test
