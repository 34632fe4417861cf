// One row of the panel's kest list: the kest's card, highlighted under the pointer and
// under the keyboard selection. A click applies the kest, with fresh windows when
// Option is held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "UI/Panel/HoverView.h"

namespace kestr {

class KestRowView : public SelectableCell {
public:
    // What the row shows: a kest of a list that outlives the row (the store's), not a
    // copy of it. The list may change while the panel is open, so the kest is found
    // again by its id at each use. A hot key that is none or empty shows no badge.
    class Model {
    public:
        Model(const std::vector<Layout>& kests, std::size_t index, std::optional<std::string> hotkey = std::nullopt);

        // The kest as the list holds it now; none once it has left the list.
        const Layout* layout() const;
        const Uuid& id() const { return id_; }
        std::optional<std::string> hotkey;

    private:
        const std::vector<Layout>* kests_;
        mutable std::size_t index_;
        Uuid id_;
    };

    // The rows of the first `limit` kests of the list, each with the shortcut that applies
    // it: the one registered, else the one stored.
    static std::vector<Model> models(const std::vector<Layout>& kests, std::size_t limit = SIZE_MAX);

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
