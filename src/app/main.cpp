// The brindlewick program: shows the main window and runs until every window is closed.
#include <QApplication>

#include "platform/Messages.h"
#include "ui/Form1.h"
#include "ui/QtMessageSink.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brindlewick"));

    brindlewick::QtMessageSink messageSink;
    brindlewick::SetMessageSink(&messageSink);

    brindlewick::Form1 mainWindow;
    mainWindow.show();
    const int status = QApplication::exec();

    brindlewick::SetMessageSink(nullptr);
    return status;
}
