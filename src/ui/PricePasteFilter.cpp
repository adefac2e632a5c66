#include "ui/PricePasteFilter.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>

#include "editor/PriceField.h"

namespace brindlewick {
namespace {

// The Paste command of a line edit's standard context menu. Its actions carry no names; the
// command is known by the caption Qt gives it, in the language Qt shows.
bool IsPasteCommand(const QAction& action) {
    const QString caption = action.text().section(QLatin1Char('\t'), 0, 0);
    return caption == QCoreApplication::translate("QLineEdit", "&Paste");
}

}  // namespace

QString PastedPriceDigits(const QString& text) {
    return QString::fromStdString(KeepDigits(text.toStdString()));
}

PricePasteFilter::PricePasteFilter(QLineEdit* field) : QObject(field), m_field(field) {
    field->installEventFilter(this);
}

void PricePasteFilter::Paste(QClipboard::Mode mode) {
    if (!m_field->isEnabled() || m_field->isReadOnly()) {
        return;
    }
    // insert() replaces the selected text and applies the length limit to the digits.
    m_field->insert(PastedPriceDigits(QApplication::clipboard()->text(mode)));
}

void PricePasteFilter::ShowContextMenu(const QContextMenuEvent& event) {
    // The field's own menu, with its Paste command going through the digits as well.
    QMenu* menu = m_field->createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (IsPasteCommand(*action)) {
            disconnect(action, nullptr, m_field, nullptr);
            connect(action, &QAction::triggered, m_field, [this] { Paste(QClipboard::Clipboard); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event.globalPos());
}

void PricePasteFilter::Drop(QDropEvent& event) {
    // The field places the dropped text where the mouse is, as usual, but is handed only its
    // digits. A drag within the field itself moves digits the field already holds.
    QMimeData digits;
    digits.setText(PastedPriceDigits(event.mimeData()->text()));
    QDropEvent filtered(event.position(), event.possibleActions(), &digits, event.buttons(),
                        event.modifiers());
    filtered.setDropAction(event.dropAction());
    {
        const QScopedValueRollback<bool> forwarding(m_forwardingDrop, true);
        QApplication::sendEvent(m_field, &filtered);
    }
    event.setDropAction(filtered.dropAction());
    event.setAccepted(filtered.isAccepted());
}

bool PricePasteFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_field || m_forwardingDrop) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
                Paste(QClipboard::Clipboard);
                return true;
            }
            break;
        case QEvent::ContextMenu:
            if (m_field->isEnabled()) {
                ShowContextMenu(*static_cast<QContextMenuEvent*>(event));
            }
            return true;
        case QEvent::MouseButtonRelease: {
            // Where the window system has a selection, a middle click pastes it at the place
            // the press put the cursor, replacing nothing.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::MiddleButton &&
                QApplication::clipboard()->supportsSelection()) {
                if (m_field->rect().contains(mouse->position().toPoint())) {
                    m_field->deselect();
                    Paste(QClipboard::Selection);
                }
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() != m_field && m_field->isEnabled() && !m_field->isReadOnly()) {
                Drop(*drop);
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace brindlewick
