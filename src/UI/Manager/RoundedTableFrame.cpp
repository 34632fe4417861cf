#include "UI/Manager/RoundedTableFrame.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QVBoxLayout>

#include "UI/RoundedWindowShape.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

// The border, laid over the table so that nothing the table draws covers it.
class FrameBorder : public QWidget {
public:
    explicit FrameBorder(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(SystemStyle::separator().resolved(), 1));
        p.setBrush(Qt::NoBrush);
        const double r = RoundedTableFrame::radius - 0.5;
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), r, r);
    }
};

}  // namespace

RoundedTableFrame::RoundedTableFrame(QAbstractScrollArea* table, QWidget* parent)
    : QWidget(parent), table_(table), border_(new FrameBorder(this)) {
    table_->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    border_->raise();
}

void RoundedTableFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    table_->setMask(RoundedWindowShape::region(rect(), radius));
    border_->setGeometry(rect());
    border_->raise();
}

}  // namespace kestr
