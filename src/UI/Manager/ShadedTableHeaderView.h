// A table header drawn in the settings look: one shade, titles 8 points in from each
// column's left edge, no separators.
#pragma once

#include <QHeaderView>

namespace kestr {

class ShadedTableHeaderView : public QHeaderView {
public:
    explicit ShadedTableHeaderView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestr
