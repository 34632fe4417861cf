// The manager window's top-level widget. Ctrl+W closes it, and the edit keys go to the
// focused text field; it tells its owner when it becomes or stops being the active
// window and when it is hidden.
#pragma once

#include <QMainWindow>
#include <functional>

namespace kestr {

class KeyClosableWindow : public QMainWindow {
public:
    explicit KeyClosableWindow(QWidget* parent = nullptr);

    std::function<void(bool active)> onActiveChange;
    std::function<void()> onHide;
    // The window is closing (the close button, Ctrl+W or close()).
    std::function<void()> onClose;

    // Handles the window's own key equivalents; false lets the key go on.
    bool performKeyEquivalent(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace kestr
