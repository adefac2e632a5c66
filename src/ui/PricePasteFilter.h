// PricePasteFilter: gives the price field the digits alone of whatever is pasted into it, by
// every way there is to paste: Ctrl+V and Shift+Insert, the context menu's Paste, a middle
// click with the X11 selection, and a drop. The field's 5-character limit then counts digits
// only, so "12,345" arrives as 12345 instead of being cut to "12,34" first. The field's own
// change handling runs on the result like on any other change. A disabled field takes no
// paste at all.
#pragma once

#include <QClipboard>
#include <QObject>
#include <QString>

class QContextMenuEvent;
class QDropEvent;
class QLineEdit;

namespace brindlewick {

// The text a paste of `text` puts into the price field: its ASCII digits, in order.
QString PastedPriceDigits(const QString& text);

class PricePasteFilter final : public QObject {
    Q_OBJECT

public:
    // Watches `field` from now on; owned by it.
    explicit PricePasteFilter(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Paste(QClipboard::Mode mode);
    void ShowContextMenu(const QContextMenuEvent& event);
    void Drop(QDropEvent& event);

    QLineEdit* m_field;
    bool m_forwardingDrop = false;
};

}  // namespace brindlewick
