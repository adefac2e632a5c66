#include "ui/LearnersWindow.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/Artwork.h"

namespace brindlewick {
namespace {

constexpr int kSpeciesRole = Qt::UserRole;

}  // namespace

LearnersWindow::LearnersWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName(QStringLiteral("Learners"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(WindowIcon());
    setWindowTitle(QString::fromUtf8(kLearnersCaption));

    m_lstLearners = new QListWidget(this);
    m_lstLearners->setObjectName(QStringLiteral("lstLearners"));
    m_lstLearners->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstLearners->setUniformItemSizes(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_lstLearners);

    // Enter on a selected species does what a double click does, for the keyboard alone.
    connect(m_lstLearners, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        emit SpeciesActivated(item->data(kSpeciesRole).toInt());
    });
    // Wide enough for a long caption beside the title bar's buttons, and tall enough for a good
    // part of a long list.
    constexpr int kTitleBarButtonsWidth = 140;
    const QFontMetrics metrics = m_lstLearners->fontMetrics();
    resize(metrics.horizontalAdvance(QStringLiteral("HM07 Dynamicpunch: 251 species")) +
               kTitleBarButtonsWidth,
           metrics.height() * 24);
}

void LearnersWindow::ShowLearners(const LearnersList& learners) {
    setWindowTitle(QString::fromStdString(learners.caption));
    m_lstLearners->clear();
    for (std::size_t i = 0; i < learners.species.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(learners.names[i]), m_lstLearners);
        item->setData(kSpeciesRole, learners.species[i]);
    }
}

}  // namespace brindlewick
