// One action row of the panel (release, save, preferences, quit): a symbol, a title and
// an optional shortcut badge; the press runs the action at once.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "UI/Panel/HoverView.h"

namespace kestr {

class PanelActionRowView : public HoverView {
public:
    PanelActionRowView(QString title, std::string symbolName, std::optional<QString> hotkeyText,
                       std::function<void()> onClick, QWidget* parent = nullptr);

    const QString& titleText() const { return title_; }
    const std::optional<QString>& hotkeyText() const { return hotkey_; }
    QString accessibilityLabel() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Runs the action at once, on the press.
    void press(Qt::KeyboardModifiers modifiers) override;

private:
    QString title_;
    std::string symbol_;
    std::optional<QString> hotkey_;
    std::function<void()> onClick_;
};

}  // namespace kestr
