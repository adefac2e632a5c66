// WrappedLabel: a label whose text wraps at word boundaries, and which remembers the heights it
// has worked out for each width. The layouts ask a wrapping label for its height at a width
// many times over while a window is laid out (18 times for the main window's start-up), and
// each answer lays the whole text out anew.
#pragma once

#include <QFont>
#include <QHash>
#include <QLabel>
#include <QMargins>

namespace brindlewick {

class WrappedLabel final : public QLabel {
public:
    explicit WrappedLabel(const QString& text, QWidget* parent = nullptr);

    int heightForWidth(int width) const override;

private:
    // What the height at a width depends on besides the width; the heights are forgotten
    // when any of it changes.
    struct Inputs {
        QString text;
        QFont font;
        QMargins contents;
        int margin = 0;
        int indent = 0;
        Qt::Alignment alignment;
        bool wordWrap = false;

        bool operator==(const Inputs&) const = default;
    };
    Inputs CurrentInputs() const;

    mutable Inputs m_inputs;
    mutable QHash<int, int> m_heights;
};

}  // namespace brindlewick
