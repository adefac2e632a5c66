#include "ui/WrappedLabel.h"

namespace brindlewick {

WrappedLabel::WrappedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setWordWrap(true);
}

WrappedLabel::Inputs WrappedLabel::CurrentInputs() const {
    return {text(), font(), contentsMargins(), margin(), indent(), alignment(), wordWrap()};
}

int WrappedLabel::heightForWidth(int width) const {
    Inputs inputs = CurrentInputs();
    if (!(inputs == m_inputs)) {
        m_inputs = std::move(inputs);
        m_heights.clear();
    }
    const auto known = m_heights.constFind(width);
    if (known != m_heights.constEnd()) {
        return *known;
    }
    const int height = QLabel::heightForWidth(width);
    m_heights.insert(width, height);
    return height;
}

}  // namespace brindlewick
