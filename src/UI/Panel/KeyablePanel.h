// The floating panel's window: a frameless pop-up with rounded corners and the menu
// material. Like any open menu it holds the pointer and the keyboard while it shows, so
// a click elsewhere closes it, a modified click reaches it rather than the window
// manager, and hot keys wait. It takes keys, offering each to its owner first.
#pragma once

#include <QWidget>
#include <functional>

namespace kestr {

class RoundedWindowShape;

class KeyablePanel : public QWidget {
public:
    static constexpr double cornerRadius = 12;

    KeyablePanel();

    // Returns true when the key was used; otherwise the panel's default handling runs.
    std::function<bool(QKeyEvent*)> onKeyDown;
    // Called whenever the panel is hidden, by its owner or by the window system.
    std::function<void()> onHidden;

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    RoundedWindowShape* shape_;
};

}  // namespace kestr
