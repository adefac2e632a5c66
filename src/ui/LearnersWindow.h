// LearnersWindow: the species that can learn one machine, in a small window of its own beside
// the main window. It follows the machine selected there; double-clicking a species asks the
// main window to show that species.
#pragma once

#include <vector>

#include <QWidget>

class QListWidget;

namespace brindlewick {

class LearnersWindow final : public QWidget {
    Q_OBJECT

public:
    // A tool window of `owner`: it stays above it and closes with it.
    explicit LearnersWindow(QWidget* owner);

    // Shows the species indexes `species` (0..250, species order) as the learners of the
    // machine `machineName` that teaches `moveName`.
    void ShowLearners(const QString& machineName, const QString& moveName,
                      const std::vector<int>& species);
    // Shows that the learners of `machineName` could not be read.
    void ShowUnknown(const QString& machineName);

signals:
    // The user double-clicked, or pressed Enter on, the species of index `species`.
    void SpeciesActivated(int species);

private:
    QListWidget* m_lstLearners;
};

}  // namespace brindlewick
