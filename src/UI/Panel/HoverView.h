// A custom-drawn view of the panel that reacts to the pointer: it knows when the
// pointer is over it, shows the pointing hand there, and draws the rounded highlight
// the panel uses for hovered and keyboard-selected entries.
#pragma once

#include <QWidget>

namespace kestr {

class HoverView : public QWidget {
public:
    explicit HoverView(QWidget* parent = nullptr);

    bool hovering() const { return hovering_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // Fills the bounds inset by (dx, dy) as a rounded rectangle: the accent tint when
    // `selected`, else the faint label tint.
    void paintHighlight(QPainter& painter, double dx, double dy, double radius, bool selected) const;

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
    // What Return does on the selected entry.
    virtual void activateFromKeyboard() = 0;
    // The words a screen reader speaks for the entry.
    virtual QString accessibilityLabel() const = 0;

private:
    bool keyboardSelected_ = false;
};

}  // namespace kestr
