// One cell of the panel's snap grid: the action's glyph and, under it, its shortcut as
// a badge. A press applies the action through the owner's callback.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Platform/Displays.h"
#include "Core/SnapAction.h"
#include "UI/Panel/HoverView.h"

namespace kestr {

class SnapCellView : public SelectableCell {
public:
    struct Model {
        SnapAction action;
        // The shortcut's text, or none when the action has no shortcut.
        std::optional<std::string> hotkey;
    };

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
