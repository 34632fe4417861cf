// One row of the panel's kest list: the kest's card, highlighted under the pointer and
// under the keyboard selection. A click applies the kest, with fresh windows when
// Option is held.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Core/Layout.h"
#include "UI/Panel/HoverView.h"

namespace kestr {

class KestRowView : public SelectableCell {
public:
    // What the row shows; a hot key that is none or empty shows no badge.
    struct Model {
        Layout layout;
        std::optional<std::string> hotkey;
    };

    explicit KestRowView(Model model, QWidget* parent = nullptr);

    // The kest and whether to apply it with fresh windows.
    std::function<void(const Layout&, bool fresh)> onApply;
    const Model& model() const { return model_; }

    bool isActive() const { return active_; }
    void setActive(bool active);

    QString accessibilityLabel() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Applies the kest, with fresh windows when Option is held.
    void press(Qt::KeyboardModifiers modifiers) override;

private:
    Model model_;
    bool active_ = false;
};

}  // namespace kestr
