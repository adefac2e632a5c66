#include "ui/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace brindlewick {
namespace {

QMessageBox::Icon MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessageSink::Show(const Message& message) {
    // The active window owns the box, so it is centred on the window the user is working in
    // and blocks it until the box is closed.
    QMessageBox box(MessageBoxIcon(message.icon), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace brindlewick
