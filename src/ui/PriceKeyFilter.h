// PriceKeyFilter: keeps typed characters that the price rules refuse out of the price field,
// before they reach its text. Editing, navigation and shortcut keys pass untouched; what the
// paste shortcuts bring in is PricePasteFilter's business.
#pragma once

#include <QObject>
#include <QString>

namespace brindlewick {

// Whether a key press that produces `text` with `modifiers` may reach the field. Keys that
// produce no printable character (backspace, delete, arrows) and shortcuts pass; a printable
// character passes only when the price rules accept it.
bool PriceKeyPressAccepted(const QString& text, Qt::KeyboardModifiers modifiers);

class PriceKeyFilter final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace brindlewick
