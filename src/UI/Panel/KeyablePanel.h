// The floating panel's window: frameless, above other windows, with rounded corners and
// the menu material; it takes keys, offering each to its owner first.
#pragma once

#include <QWidget>
#include <functional>

namespace kestr {

class KeyablePanel : public QWidget {
public:
    static constexpr double cornerRadius = 12;

    KeyablePanel();

    // Returns true when the key was used; otherwise the panel's default handling runs.
    std::function<bool(QKeyEvent*)> onKeyDown;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestr
