// A small frame with a snap action's zone filled in, as the action column shows it.
#pragma once

#include <QWidget>
#include <optional>

#include "Core/SnapAction.h"

namespace kestr {

class SnapZoneGlyph : public QWidget {
public:
    explicit SnapZoneGlyph(QWidget* parent = nullptr);
    void setAction(std::optional<SnapAction> action);
    const std::optional<SnapAction>& action() const { return action_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<SnapAction> action_;
};

}  // namespace kestr
