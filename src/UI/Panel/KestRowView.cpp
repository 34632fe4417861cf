#include "UI/Panel/KestRowView.h"

#include <QPainter>

#include "UI/Panel/KestCardRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {

KestRowView::KestRowView(Model model, QWidget* parent) : SelectableCell(parent), model_(std::move(model)) {
    updateAccessibleName();
}

void KestRowView::setActive(bool active) {
    active_ = active;
    updateAccessibleName();
    update();
}

QString KestRowView::accessibilityLabel() const {
    QString label = "Apply kest " + QString::fromStdString(model_.layout.name);
    if (active_) label += ", active";
    if (model_.hotkey && !model_.hotkey->empty()) label += ", shortcut " + QString::fromStdString(*model_.hotkey);
    return label;
}

void KestRowView::press(Qt::KeyboardModifiers modifiers) {
    if (onApply) onApply(model_.layout, modifiers.testFlag(Qt::AltModifier));
}

void KestRowView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (hovering() || isKeyboardSelected()) paintHighlight(p, 6, 4, 11, isKeyboardSelected());
    KestCardRenderer::draw(p, model_.layout, model_.hotkey, Rect(0, 0, width(), height()),
                           SystemStyle::label().resolved(), active_, KestThumbnailRenderer::Style::panel());
}

}  // namespace kestr
