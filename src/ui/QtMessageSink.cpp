#include "ui/QtMessageSink.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpacerItem>
#include <QString>

#include "ui/Artwork.h"

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
    // A box sizes itself to its text alone, and a short text ("The file is read-only.")
    // leaves too little room for the title ("Error: 1008") in the title bar. A spacer
    // across the bottom row keeps the box wide enough for the title as well.
    constexpr int kTitleBarButtonsWidth = 160;
    const int titleWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                               .horizontalAdvance(box.windowTitle());
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth + kTitleBarButtonsWidth, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    // The icon drawn at the box's own pixel density, so it stays sharp at any scale factor.
    if (message.icon != MessageIcon::None) {
        if (auto* icon = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))) {
            const QSize size = icon->pixmap().deviceIndependentSize().toSize();
            icon->setPixmap(MessageIconPixmap(message.icon == MessageIcon::Error,
                                              size.isEmpty() ? 32 : size.width(),
                                              box.devicePixelRatioF()));
        }
    }
    box.exec();
}

bool QtMessageSink::Confirm(const Message& question) {
    QMessageBox box(MessageBoxIcon(question.icon), QString::fromStdString(question.title),
                    QString::fromStdString(question.text), QMessageBox::Save | QMessageBox::Cancel,
                    QApplication::activeWindow());
    // Going back is the default: Enter and Escape both cancel, so a save that would overwrite
    // another's changes happens only when Save is chosen.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

PendingEditsAnswer QtMessageSink::AskAboutPendingEdits(const Message& question) {
    QMessageBox box(MessageBoxIcon(question.icon), QString::fromStdString(question.title),
                    QString::fromStdString(question.text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QApplication::activeWindow());
    // Enter and Escape keep the edits: they are dropped only when Discard is chosen.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return PendingEditsAnswer::Save;
        case QMessageBox::Discard:
            return PendingEditsAnswer::Discard;
        default:
            return PendingEditsAnswer::Cancel;
    }
}

}  // namespace brindlewick
