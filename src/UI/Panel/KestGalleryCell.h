// A cell of a kest list that draws the kest's card.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "Core/Layout.h"

namespace kestr {

class KestGalleryCell : public QWidget {
public:
    explicit KestGalleryCell(QWidget* parent = nullptr);

    // Replaces what the cell shows and redraws it.
    void configure(const std::optional<Layout>& layout, const std::optional<std::string>& hotkey);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Layout> layout_;
    std::optional<std::string> hotkey_;
};

}  // namespace kestr
