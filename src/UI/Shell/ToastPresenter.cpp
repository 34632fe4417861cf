#include "UI/Shell/ToastPresenter.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "Platform/Platform.h"
#include "UI/DisplayArea.h"
#include "UI/NativeWindow.h"
#include "UI/RoundedWindowShape.h"

namespace kestr {

namespace {

constexpr double minimumWidth = 120;
constexpr double maximumWidth = 460;
constexpr double height = 38;
constexpr double sidePadding = 40;
constexpr double belowMenuBar = 12;
constexpr double cornerRadius = 13;

QFont toastFont() {
    QFont font;
    font.setPointSizeF(13);
    font.setWeight(QFont::Medium);
    return font;
}

// The heads-up background: dark, translucent, rounded.
class ToastPanel final : public QWidget {
public:
    ToastPanel()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
          shape_(new RoundedWindowShape(*this, cornerRadius)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        keepOffTaskbars(*this);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        shape_->paint(painter, QColor(30, 30, 30, 215));
    }

private:
    RoundedWindowShape* shape_;
};

}  // namespace

ToastPresenter::ToastPresenter() = default;

ToastPresenter::~ToastPresenter() {
    if (dismissWorkItem_ && hasPlatform()) platform().mainActor().cancel(*dismissWorkItem_);
}

ToastPresenter& ToastPresenter::shared() { return platform().shared<ToastPresenter>(); }

QSize ToastPresenter::layout(const QString& text) {
    const double measured = QFontMetricsF(toastFont()).horizontalAdvance(text);
    const double width = std::clamp(std::ceil(measured) + sidePadding, minimumWidth, maximumWidth);
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

void ToastPresenter::makePanel() {
    panel_ = std::make_unique<ToastPanel>();
    panel_->resize(200, 40);
    label_ = new QLabel(panel_.get());
    label_->setFont(toastFont());
    label_->setAlignment(Qt::AlignCenter);
    label_->setStyleSheet("color: white; background: transparent;");
    setOpacity(0);
}

void ToastPresenter::setOpacity(double opacity) {
    opacity_ = opacity;
    if (panel_) panel_->setWindowOpacity(opacity);
}

void ToastPresenter::position(QSize size) {
    // The display under the pointer, else the main one; none at all: left where it was.
    const auto area = visibleAreaUnderPointer();
    if (!area) return;
    const double x = std::round(area->midX() - size.width() / 2.0);
    const double y = std::round(area->minY() + belowMenuBar);
    panel_->move(static_cast<int>(x), static_cast<int>(y));
}

void ToastPresenter::show(const std::string& text, ToastFeel feel, double duration) {
    // A beep draws attention first; there is no haptic engine to play on.
    if (feel == ToastFeel::alert) platform().application().beep();
    if (!panel_) makePanel();
    if (!label_) return;
    const QString qtext = QString::fromStdString(text);
    const QSize size = layout(qtext);
    // A text too long for the widest panel is cut in its middle, clear of the rounded
    // ends: what happened stays at its start, and a path keeps its file name.
    label_->setText(QFontMetricsF(toastFont()).elidedText(qtext, Qt::ElideMiddle, size.width() - sidePadding / 2));
    panel_->resize(size);
    label_->setGeometry(0, 0, size.width(), size.height());
    position(size);
    MainActor& actor = platform().mainActor();
    if (dismissWorkItem_) actor.cancel(*dismissWorkItem_);
    ++generation_;
    panel_->show();
    const double from = opacity_;
    fade_.start(fadeInSeconds, [this, from](double t) { setOpacity(from + (1 - from) * t); });
    dismissWorkItem_ = actor.schedule(duration, [this] {
        dismissWorkItem_.reset();
        dismiss();
    });
}

void ToastPresenter::dismiss() {
    if (!panel_) return;
    const std::uint64_t shown = generation_;
    const double from = opacity_;
    fade_.start(
        fadeOutSeconds, [this, from](double t) { setOpacity(from * (1 - t)); },
        [this, shown] {
            // A toast shown during the fade keeps the panel.
            if (generation_ == shown) panel_->hide();
        });
}

}  // namespace kestr
