// The large picture of one kest at the top of the detail page: a rounded backdrop with
// the kest's displays, each cropped to the area its windows cover.
#pragma once

#include <QWidget>
#include <optional>

#include "Core/Layout.h"

namespace kestr {

class KestPreviewView : public QWidget {
public:
    explicit KestPreviewView(QWidget* parent = nullptr);

    void setLayout(std::optional<Layout> layout);
    const std::optional<Layout>& layout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Layout> layout_;
};

}  // namespace kestr
