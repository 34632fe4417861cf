// A custom-drawn view of the panel that acts as a button: it knows when the pointer is
// over it, shows the pointing hand there, draws the rounded highlight the panel uses for
// hovered and keyboard-selected entries, and is pressed by the left mouse button or by
// assistive technology (where it speaks as a button).
#pragma once

#include <QWidget>

namespace kestr {

class HoverView : public QWidget {
public:
    explicit HoverView(QWidget* parent = nullptr);

    bool hovering() const { return hovering_; }

    // The words a screen reader speaks for the view.
    virtual QString accessibilityLabel() const = 0;
    // A press through assistive technology: as a left click without modifiers. Always
    // reports success.
    bool accessibilityPerformPress();

protected:
    // What a press does; `modifiers` are the keys held with the left button.
    virtual void press(Qt::KeyboardModifiers modifiers) = 0;
    // Acts on the left button only; the others are passed on unused.
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // Fills the bounds inset by (dx, dy) as a rounded rectangle: the accent tint when
    // `selected`, else the faint label tint.
    void paintHighlight(QPainter& painter, double dx, double dy, double radius, bool selected) const;
    // Call after the spoken words change.
    void updateAccessibleName();

private:
    bool hovering_ = false;
};

// An entry the panel's keyboard selection walks: a kest row or a snap cell.
class SelectableCell : public HoverView {
public:
    using HoverView::HoverView;

    bool isKeyboardSelected() const { return keyboardSelected_; }
    // Redraws the entry.
    void setKeyboardSelected(bool selected);
    // What Return does on the selected entry: a press without modifiers.
    void activateFromKeyboard() { press({}); }

private:
    bool keyboardSelected_ = false;
};

}  // namespace kestr
