#include "ui/ComparisonWindow.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Artwork.h"

namespace brindlewick {
namespace {

QString Joined(const std::vector<std::string>& lines) {
    QString text;
    for (const std::string& line : lines) {
        text += QString::fromStdString(line) + QLatin1Char('\n');
    }
    return text;
}

}  // namespace

ComparisonWindow::ComparisonWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("Comparison"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(WindowIcon());
    setWindowTitle(QString::fromUtf8(kComparisonCaption));

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("lblComparison"));
    m_heading->setWordWrap(true);
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lstDifferences = new QListWidget(this);
    m_lstDifferences->setObjectName(QStringLiteral("lstDifferences"));
    m_lstDifferences->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstDifferences->setUniformItemSizes(true);
    auto* copySelected = new QAction(m_lstDifferences);
    copySelected->setShortcut(QKeySequence::Copy);
    copySelected->setShortcutContext(Qt::WidgetShortcut);
    connect(copySelected, &QAction::triggered, this, &ComparisonWindow::CopySelected);
    m_lstDifferences->addAction(copySelected);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copyAll =
        buttons->addButton(QString::fromUtf8(kCopyComparisonCaption), QDialogButtonBox::ActionRole);
    copyAll->setObjectName(QStringLiteral("cmdCopy"));
    connect(copyAll, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(ComparisonText(m_comparison)));
    });
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_heading);
    layout->addWidget(m_lstDifferences, 1);
    layout->addWidget(buttons);
    const QFontMetrics metrics = m_lstDifferences->fontMetrics();
    resize(metrics.horizontalAdvance(QStringLiteral("Charmander no longer learns TM01, TM05 and "
                                                    "HM05 or more")) +
               40,
           metrics.height() * 28);
}

void ComparisonWindow::ShowComparison(const RomComparison& comparison) {
    m_comparison = comparison;
    setWindowTitle(QString::fromUtf8(kComparisonCaption) + QStringLiteral(": ") +
                   QString::fromStdString(comparison.caption));
    m_heading->setText(Joined(comparison.heading).trimmed());
    m_lstDifferences->clear();
    for (const std::string& line : comparison.lines) {
        m_lstDifferences->addItem(QString::fromStdString(line));
    }
}

void ComparisonWindow::CopySelected() {
    // In the list's order, whichever order they were selected in; nothing selected copies all.
    std::vector<std::string> lines;
    for (int row = 0; row < m_lstDifferences->count(); ++row) {
        if (m_lstDifferences->item(row)->isSelected()) {
            lines.push_back(m_comparison.lines[static_cast<std::size_t>(row)]);
        }
    }
    QGuiApplication::clipboard()->setText(
        lines.empty() ? QString::fromStdString(ComparisonText(m_comparison)) : Joined(lines));
}

}  // namespace brindlewick
