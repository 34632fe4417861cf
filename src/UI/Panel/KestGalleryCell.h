// A cell of a kest list that draws the kest's card, with a white name when its row is
// the emphasised selection.
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
    bool emphasized() const { return emphasized_; }
    // The selected row of a focused list draws its name in white.
    void setEmphasized(bool emphasized);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Layout> layout_;
    std::optional<std::string> hotkey_;
    bool emphasized_ = false;
};

}  // namespace kestr
