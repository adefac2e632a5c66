#include "ui/Form2.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include "editor/WindowCommands.h"
#include "ui/Artwork.h"

namespace brindlewick {
namespace {

constexpr QSize kClientSize{377, 203};
constexpr QSize kPictureSize{62, 121};

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

QString CopyrightNotice() {
    return QString::fromUtf8(kCopyrightNotice);
}

Form2::Form2(QWidget* mainWindow)
    : QWidget(nullptr),
      m_mainWindow(mainWindow),
      m_mainWindowFocus(mainWindow != nullptr ? mainWindow->focusWidget() : nullptr) {
    // A window of its own rather than a child of the main window: a child would be disabled
    // together with the main window and could then not be used either.
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    // A small fixed window: a title and a close button, nothing to maximize or minimize.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(WindowIcon());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setFixedSize(kPictureSize);
    picture->setPixmap(ArtworkPixmap(QStringLiteral("about"), devicePixelRatioF()));

    auto* title = MakeLabel(QStringLiteral("Label1"),
                            QString::fromStdString(ProductLine(BRINDLEWICK_VERSION)), this);
    auto* copyright = MakeLabel(QStringLiteral("Label2"), CopyrightNotice(), this);
    copyright->setWordWrap(false);
    auto* description =
        MakeLabel(QStringLiteral("Label3"), QString::fromUtf8(kAboutDescription), this);
    auto* credits = MakeLabel(QStringLiteral("Label4"), QString::fromUtf8(kAboutCredits), this);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(97);
    connect(ok, &QPushButton::clicked, this, [this] {
        ReleaseMainWindow();
        close();
    });

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(2, 6, 0, 0);
    texts->setSpacing(12);
    texts->addWidget(title);
    texts->addWidget(copyright);
    texts->addWidget(description);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 0, 0, 0);
    bottom->setSpacing(8);
    bottom->addWidget(credits, 1);
    bottom->addWidget(ok, 0, Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);

    // A fixed window: its own size, or larger where the platform's font needs more room,
    // including the lines the wrapped texts take at that width.
    const QSize minimum = layout->totalMinimumSize();
    const int width = std::max(kClientSize.width(), minimum.width());
    setFixedSize(width, std::max({kClientSize.height(), minimum.height(),
                                  layout->totalHeightForWidth(width)}));
    ok->setFocus();
}

void Form2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Transient for the main window: the window manager keeps it above the main window for
    // as long as it is open, also when the user clicks the disabled main window, so the one
    // window that takes input never ends up hidden behind it. Set here, where the window
    // exists but is not yet mapped, so the window manager knows it from the start.
    if (m_mainWindow != nullptr && windowHandle() != nullptr) {
        windowHandle()->setTransientParent(m_mainWindow->window()->windowHandle());
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    ReleaseMainWindow();
    // Let go of the main window before this one goes away: the link is of no more use, and
    // a window system may otherwise move the activation when the window is destroyed.
    if (windowHandle() != nullptr) {
        windowHandle()->setTransientParent(nullptr);
    }
    event->accept();
}

void Form2::keyPressEvent(QKeyEvent* event) {
    // Escape dismisses the window as it dismisses any dialog; the close runs the same path
    // as the title-bar close, so the main window is enabled again.
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form2::ReleaseMainWindow() {
    if (m_mainWindow != nullptr) {
        m_mainWindow->setEnabled(true);
        if (m_mainWindowFocus != nullptr && m_mainWindowFocus->isEnabled()) {
            m_mainWindowFocus->setFocus(Qt::OtherFocusReason);
        }
    }
}

}  // namespace brindlewick
