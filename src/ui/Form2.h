// Form2: the About window. It is shown beside the main window, which stays disabled for as
// long as the About window is open, so the user works in it until it is closed.
#pragma once

#include <QPointer>
#include <QWidget>

namespace brindlewick {

// The maker's notice, shown in the About window and at the bottom of the main window.
QString CopyrightNotice();

class Form2 final : public QWidget {
    Q_OBJECT

public:
    // `mainWindow` is the window disabled while this one is open; it is enabled again when
    // this window closes, however it is closed. The window deletes itself when closed.
    explicit Form2(QWidget* mainWindow);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ReleaseMainWindow();

    QPointer<QWidget> m_mainWindow;
    // The control that had the keyboard focus in the main window; disabling the window takes
    // the focus away, and it goes back there when the window is enabled again.
    QPointer<QWidget> m_mainWindowFocus;
};

}  // namespace brindlewick
