// A table's scroll area in a frame with rounded corners: the table (its header and rows
// included) is cut to the rounded shape, and a one-point border in the separator colour
// is drawn over its edge.
#pragma once

#include <QWidget>

class QAbstractScrollArea;

namespace kestr {

class RoundedTableFrame : public QWidget {
public:
    static constexpr double radius = 10;

    // Takes `table` in as its only child.
    explicit RoundedTableFrame(QAbstractScrollArea* table, QWidget* parent = nullptr);

    QAbstractScrollArea* table() const { return table_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QAbstractScrollArea* table_;
    QWidget* border_;
};

}  // namespace kestr
