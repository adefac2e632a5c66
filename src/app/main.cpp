// The brindlewick program: shows the main window and runs until every window is closed.
#include <QApplication>

#include "platform/Messages.h"
#include "ui/Form1.h"
#include "ui/QtMessageSink.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    // No display name: the window system would append it to every title, and the message
    // boxes' titles ("Error: 2") must read as they are.
    // The desktop entry's id lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.brindlewick.Brindlewick"));

    brindlewick::QtMessageSink messageSink;
    brindlewick::SetMessageSink(&messageSink);

    brindlewick::Form1 mainWindow;
    mainWindow.show();
    const int status = QApplication::exec();

    brindlewick::SetMessageSink(nullptr);
    return status;
}
