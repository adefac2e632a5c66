#include "ui/LearnersWindow.h"

#include <string_view>

#include <QListWidget>
#include <QVBoxLayout>

#include "rom/Names.h"
#include "ui/Artwork.h"

namespace brindlewick {
namespace {

constexpr int kSpeciesRole = Qt::UserRole;

QString SpeciesText(int species) {
    std::string_view name = SpeciesEntries()[static_cast<std::size_t>(species)];
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

LearnersWindow::LearnersWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName(QStringLiteral("Learners"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(WindowIcon());
    setWindowTitle(QStringLiteral("Machine Learners"));

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

void LearnersWindow::ShowLearners(const QString& machineName, const QString& moveName,
                                  const std::vector<int>& species) {
    const QString count = species.size() == 1 ? QStringLiteral("1 species")
                                              : QStringLiteral("%1 species").arg(species.size());
    setWindowTitle(QStringLiteral("%1 %2: %3").arg(machineName, moveName, count));
    m_lstLearners->clear();
    for (const int index : species) {
        auto* item = new QListWidgetItem(SpeciesText(index), m_lstLearners);
        item->setData(kSpeciesRole, index);
    }
}

void LearnersWindow::ShowUnknown(const QString& machineName) {
    setWindowTitle(QStringLiteral("%1: could not be read").arg(machineName));
    m_lstLearners->clear();
}

}  // namespace brindlewick
