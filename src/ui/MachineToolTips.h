// MachineToolTips: tooltips that name the move each machine teaches in the open ROM, on the
// entries of the machine list and on the 57 check boxes. The move is asked for when the
// tooltip is, so it is read from the file at that moment and never stale; where there is no
// move to name (no ROM open, a failed read, a byte that names no move) there is no tooltip.
#pragma once

#include <functional>

#include <QHash>
#include <QObject>
#include <QString>

class QListWidget;

namespace brindlewick {

class MachineToolTips final : public QObject {
    Q_OBJECT

public:
    // The name of the move machine k teaches, or "" for none.
    using MoveName = std::function<QString(int machine)>;

    MachineToolTips(MoveName moveName, QObject* parent);

    // Entry k of `list` stands for machine k.
    void AddList(QListWidget* list);
    // `control` stands for machine k.
    void AddControl(QWidget* control, int machine);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MoveName m_moveName;
    QListWidget* m_list = nullptr;
    QHash<QObject*, int> m_controls;
};

}  // namespace brindlewick
