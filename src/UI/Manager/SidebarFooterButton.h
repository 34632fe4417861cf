// The "Settings" button at the foot of the manager window's sidebar: gear, title and the
// capture shortcut. It acts on the press, and is drawn selected while the settings page
// is shown.
#pragma once

#include <QWidget>
#include <functional>

class QLabel;

namespace kestr {

class SidebarFooterButton : public QWidget {
public:
    explicit SidebarFooterButton(QWidget* parent = nullptr);

    std::function<void()> onClick;

    void setActiveSelection(bool active);
    bool isActiveSelection() const { return active_; }
    bool hovering() const { return hovering_; }
    void setShortcutText(const QString& text);
    QLabel* titleLabel() const { return titleLabel_; }
    QLabel* hotkeyLabel() const { return hotkeyLabel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void restyle();

    QLabel* icon_;
    QLabel* titleLabel_;
    QLabel* hotkeyLabel_;
    bool active_ = false;
    bool hovering_ = false;
};

}  // namespace kestr
