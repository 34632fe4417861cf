// One cell of the panel's snap grid: the action's glyph and, under it, its shortcut as
// a badge. A press applies the action through the owner's callback.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "Core/SnapAction.h"
#include "Core/SnapBinding.h"
#include "Platform/Displays.h"
#include "UI/Panel/HoverView.h"

namespace kestr {

class SnapCellView : public SelectableCell {
public:
    struct Model {
        SnapAction action;
        // The shortcut's text, or none when the action has no shortcut.
        std::optional<std::string> hotkey;
        // The same shortcut in the desktop's short form, for a cell too narrow for the
        // text above; none: the text above is all there is.
        std::optional<std::string> shortHotkey = std::nullopt;
    };
    // A binding's cell, with its shortcut in both forms.
    static Model model(const SnapBinding& binding);

    // How the shortcut is set in the badge: the text, its font, and how much it is
    // narrowed sideways (1: not at all).
    struct Badge {
        QString text;
        QFont font;
        double squeeze = 1;
    };
    // For the cell's width; none without a shortcut.
    std::optional<Badge> badge() const;

    explicit SnapCellView(Model model, QWidget* parent = nullptr);

    std::function<void(SnapAction)> onApply;
    const Model& model() const { return model_; }

    QString accessibilityLabel() const override;

    // The width-to-height ratio of the glyph's plate for the main screen: 1.6 without
    // one, else the screen's own, kept within 1.2 … 2.5.
    static double screenAspect(const std::optional<Screen>& mainScreen);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Runs the callback, when there is one.
    void press(Qt::KeyboardModifiers modifiers) override;

private:
    Model model_;
};

}  // namespace kestr
