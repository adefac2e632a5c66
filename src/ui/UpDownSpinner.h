// UpDownSpinner: two small arrow buttons attached to a text field (its buddy) that step the
// whole number shown there by one within 0..65535. The new text reaches the field like any
// other change of its text, so the field's own change handling applies to it.
#pragma once

#include <string>

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace brindlewick {

// The text one or more steps away from `text`: its number plus `steps`, held within 0..65535,
// in plain decimal digits. Text that is not a whole number in that range counts as 0.
std::string SteppedPriceText(const std::string& text, int steps);

class UpDownSpinner final : public QWidget {
    Q_OBJECT

public:
    explicit UpDownSpinner(QLineEdit* buddy, QWidget* parent = nullptr);

    // Steps the buddy's number by `steps` (negative: down).
    void StepBy(int steps);

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace brindlewick
