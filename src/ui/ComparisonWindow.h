// ComparisonWindow: the differences between the tables of two ROMs (Compare with...), a line
// each in a list, in a window of its own beside the main window. The list's lines can be copied
// as text: the selected ones with Ctrl+C, the whole comparison with Copy All.
#pragma once

#include <QWidget>

#include "editor/ShareCommands.h"

class QLabel;
class QListWidget;

namespace brindlewick {

class ComparisonWindow final : public QWidget {
    Q_OBJECT

public:
    // A window of `owner`: it closes with it.
    explicit ComparisonWindow(QWidget* owner);

    // Shows `comparison` in place of what the window showed.
    void ShowComparison(const RomComparison& comparison);

private:
    void CopySelected();

    RomComparison m_comparison;
    QLabel* m_heading;
    QListWidget* m_lstDifferences;
};

}  // namespace brindlewick
