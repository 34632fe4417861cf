// The welcome step's little picture: a menu bar (notched where displays have notches)
// with a few status items and kestr's own icon near its right end, in an accent pill
// with a glow, and an arrow up at it — where to look for a program without a Dock icon.
#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

namespace kestr {

class MenuBarHintView : public QWidget {
public:
    explicit MenuBarHintView(QWidget* parent = nullptr);

    bool notched = true;
    QSize sizeHint() const override { return {360, 86}; }

    // The idle icon as a white silhouette; none (and nothing kept) when it cannot load.
    static std::optional<QImage> whitePill();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestr
