// The brindlewick program: shows the main window, opens the file named on the command line if
// there is one, and runs until every window is closed.
#include <cstdio>

#include <QApplication>

#include "platform/Messages.h"
#include "ui/Form1.h"
#include "ui/QtMessageSink.h"
#include "ui/StartupArguments.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    // No display name: the window system would append it to every title, and the message
    // boxes' titles ("Error: 2") must read as they are.
    // The desktop entry's id lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.brindlewick.Brindlewick"));

    const brindlewick::StartupArguments arguments = brindlewick::ParseStartupArguments(argc, argv);
    if (arguments.refused) {
        std::fprintf(stderr, "%s\n", brindlewick::kStartupUsage);
        return brindlewick::kStartupUsageStatus;
    }

    brindlewick::QtMessageSink messageSink;
    brindlewick::SetMessageSink(&messageSink);

    brindlewick::Form1 mainWindow;
    brindlewick::ShowAndOpen(mainWindow, arguments.file);
    const int status = QApplication::exec();

    brindlewick::SetMessageSink(nullptr);
    return status;
}
