#include "ui/UpDownSpinner.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "editor/PriceField.h"
#include "rom/RomTables.h"

namespace brindlewick {
namespace {

// Room around the arrows for the focus frame.
constexpr int kFocusMargin = 1;
constexpr int kArrowWidth = 15;

QToolButton* MakeArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // Clicking an arrow gives the focus to the spinner as a whole, not to one arrow.
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

}  // namespace

std::string SteppedPriceText(const std::string& text, int steps) {
    const int current = ParsePrice(text).value_or(0);
    // Widened so that no step count can overflow before the value is held in range.
    const long long stepped = static_cast<long long>(current) + steps;
    return std::to_string(std::clamp<long long>(stepped, 0, kMaxPrice));
}

UpDownSpinner::UpDownSpinner(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent),
      m_buddy(buddy),
      m_up(MakeArrowButton(Qt::UpArrow, this)),
      m_down(MakeArrowButton(Qt::DownArrow, this)) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kFocusMargin, kFocusMargin, kFocusMargin, kFocusMargin);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void UpDownSpinner::StepBy(int steps) {
    const std::string text = SteppedPriceText(m_buddy->text().toStdString(), steps);
    m_buddy->setText(QString::fromStdString(text));
}

QSize UpDownSpinner::sizeHint() const {
    return {kArrowWidth + 2 * kFocusMargin, m_buddy->sizeHint().height()};
}

void UpDownSpinner::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            StepBy(1);
            break;
        case Qt::Key_Down:
            StepBy(-1);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void UpDownSpinner::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) {
        StepBy(notches);
    }
    event->accept();
}

void UpDownSpinner::paintEvent(QPaintEvent* /*event*/) {
    if (!hasFocus()) {
        return;
    }
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

}  // namespace brindlewick
