#include "ui/MachineToolTips.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QToolTip>

namespace brindlewick {

MachineToolTips::MachineToolTips(MoveName moveName, QObject* parent)
    : QObject(parent), m_moveName(std::move(moveName)) {}

void MachineToolTips::AddList(QListWidget* list) {
    m_list = list;
    // A list's tooltip events arrive at the part that shows its entries.
    list->viewport()->installEventFilter(this);
}

void MachineToolTips::AddControl(QWidget* control, int machine) {
    m_controls.insert(control, machine);
    control->installEventFilter(this);
}

bool MachineToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QObject::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    int machine = -1;
    QRect area;
    if (m_list != nullptr && watched == m_list->viewport()) {
        if (QListWidgetItem* item = m_list->itemAt(help->pos())) {
            machine = m_list->row(item);
            area = m_list->visualItemRect(item);
        }
    } else if (const auto found = m_controls.constFind(watched); found != m_controls.cend()) {
        machine = found.value();
        area = widget->rect();
    }
    const QString text = machine >= 0 ? m_moveName(machine) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        // Shown for as long as the mouse stays on the entry or box it belongs to.
        QToolTip::showText(help->globalPos(), text, widget, area);
    }
    return true;
}

}  // namespace brindlewick
