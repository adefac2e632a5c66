#include "ui/PriceKeyFilter.h"

#include <QKeyEvent>

#include "editor/PriceField.h"

namespace brindlewick {

bool PriceKeyPressAccepted(const QString& text, Qt::KeyboardModifiers modifiers) {
    // Shortcuts (select all, copy, paste, undo ...) are the field's business; whatever text
    // they bring in still goes through the price change rule.
    if ((modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return true;
    }
    bool printable = false;
    for (const QChar character : text) {
        printable = printable || character.isPrint();
    }
    if (!printable) {
        return true;
    }
    for (const char32_t character : text.toUcs4()) {
        if (!PriceKeyAccepted(character)) {
            return false;
        }
    }
    return true;
}

bool PriceKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!PriceKeyPressAccepted(key->text(), key->modifiers())) {
            return true;  // discarded: the field never sees it
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace brindlewick
