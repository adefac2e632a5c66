// LearnersWindow: the species that can learn one machine, in a small window of its own beside
// the main window. It follows the machine selected there; double-clicking a species asks the
// main window to show that species.
#pragma once

#include <vector>

#include <QWidget>

#include "editor/WindowCommands.h"

class QListWidget;

namespace brindlewick {

class LearnersWindow final : public QWidget {
    Q_OBJECT

public:
    // A tool window of `owner`: it stays above it and closes with it.
    explicit LearnersWindow(QWidget* owner);

    // Shows the caption and the species (indexes 0..250, species order) of `learners`.
    void ShowLearners(const LearnersList& learners);

signals:
    // The user double-clicked, or pressed Enter on, the species of index `species`.
    void SpeciesActivated(int species);

private:
    QListWidget* m_lstLearners;
};

}  // namespace brindlewick
