#include "UI/Panel/KestRowView.h"

#include <QPainter>
#include <algorithm>

#include "Core/HotkeyManager.h"
#include "UI/Panel/KestCardRenderer.h"
#include "UI/SystemStyle.h"

namespace kestr {

KestRowView::Model::Model(const std::vector<Layout>& kests, std::size_t index, std::optional<std::string> text)
    : hotkey(std::move(text)), kests_(&kests), index_(index), id_(kests.at(index).id) {}

const Layout* KestRowView::Model::layout() const {
    const std::vector<Layout>& kests = *kests_;
    if (index_ < kests.size() && kests[index_].id == id_) return &kests[index_];
    for (std::size_t i = 0; i < kests.size(); ++i) {
        if (kests[i].id != id_) continue;
        index_ = i;
        return &kests[i];
    }
    return nullptr;
}

std::vector<KestRowView::Model> KestRowView::models(const std::vector<Layout>& kests, std::size_t limit) {
    const std::size_t count = std::min(limit, kests.size());
    std::vector<Model> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        rows.emplace_back(kests, i, HotkeyManager::shared().shownKestKeys(kests[i]));
    }
    return rows;
}

KestRowView::KestRowView(Model model, QWidget* parent) : SelectableCell(parent), model_(std::move(model)) {
    updateAccessibleName();
}

void KestRowView::setActive(bool active) {
    active_ = active;
    updateAccessibleName();
    update();
}

QString KestRowView::accessibilityLabel() const {
    const Layout* kest = model_.layout();
    QString label = "Apply kest " + QString::fromStdString(kest ? kest->name : std::string());
    if (active_) label += ", active";
    if (model_.hotkey && !model_.hotkey->empty()) label += ", shortcut " + QString::fromStdString(*model_.hotkey);
    return label;
}

void KestRowView::press(Qt::KeyboardModifiers modifiers) {
    const Layout* kest = model_.layout();
    if (onApply && kest) onApply(*kest, modifiers.testFlag(Qt::AltModifier));
}

void KestRowView::paintEvent(QPaintEvent*) {
    // A kest deleted while the panel is open leaves its row empty until the panel is built again.
    const Layout* kest = model_.layout();
    if (!kest) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (hovering() || isKeyboardSelected()) paintHighlight(p, 6, 4, 11, isKeyboardSelected());
    KestCardRenderer::draw(p, *kest, model_.hotkey, Rect(0, 0, width(), height()), SystemStyle::label().resolved(),
                           active_, KestThumbnailRenderer::Style::panel());
}

}  // namespace kestr
