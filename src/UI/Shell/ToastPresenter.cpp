#include "UI/Shell/ToastPresenter.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextLayout>
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
// A toast wraps onto this many lines before the name or path in it is cut.
constexpr int mostLines = 3;
// The label's margin at either end: clear of the rounded ends, with room to spare for how
// the label lays the text out.
constexpr int labelInset = 10;

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
        // A desktop switch while it shows must not take it away.
        showOnEveryDesktop(*this);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        shape_->paint(painter, QColor(30, 30, 30, 215));
    }

private:
    RoundedWindowShape* shape_;
};

// A path keeps its file name on one line: a word joiner (invisible) at each place where a
// line could break inside it.
QString withFileNameUnbroken(const QString& part) {
    const qsizetype slash = part.lastIndexOf('/');
    if (slash <= 0) return part;
    QString kept = part;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, part);
    breaks.toEnd();
    // From the end, so that each insertion leaves the places before it where they were.
    for (qsizetype at = breaks.toPreviousBoundary(); at > slash + 1; at = breaks.toPreviousBoundary())
        kept.insert(at, QChar(0x2060));
    return kept;
}

// Cut in its middle; a path keeps its file name whole where that fits.
QString shortened(const QFontMetricsF& metrics, const QString& part, double room) {
    const qsizetype slash = part.lastIndexOf('/');
    if (slash > 0) {
        const QString name = part.mid(slash);
        const double left = room - metrics.horizontalAdvance(name);
        if (left >= metrics.horizontalAdvance(part.left(4) + QChar(0x2026)))
            return metrics.elidedText(part.left(slash), Qt::ElideMiddle, left) + name;
    }
    return metrics.elidedText(part, Qt::ElideMiddle, room);
}

// Whether `text` wraps onto at most `lines` lines of `width`, with no word wider than one.
// The lines are counted as laid out, not worked out from the height: a character drawn
// from another font (the marks that isolate a name, often) makes its line taller.
bool fitsLines(const QFont& font, const QString& text, double width, int lines) {
    QTextLayout layout(text, font);
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(wrapping);
    layout.beginLayout();
    int count = 0;
    bool fits = true;
    for (QTextLine line = layout.createLine(); line.isValid() && fits; line = layout.createLine()) {
        line.setLineWidth(width);
        fits = ++count <= lines && line.naturalTextWidth() <= width;
    }
    layout.endLayout();
    return fits;
}

}  // namespace

ToastPresenter::ToastPresenter() = default;

ToastPresenter::~ToastPresenter() {
    if (dismissWorkItem_ && hasPlatform()) platform().mainActor().cancel(*dismissWorkItem_);
}

ToastPresenter& ToastPresenter::shared() { return platform().shared<ToastPresenter>(); }

ToastPresenter::Fitted ToastPresenter::fit(const ToastText& toast) {
    const QFont font = toastFont();
    const QFontMetricsF metrics(font);
    const double line = maximumWidth - sidePadding;
    const std::string& whole = toast.text;
    const std::size_t from = std::min(toast.shortenableFrom, whole.size());
    const std::size_t length = std::min(toast.shortenableLength, whole.size() - from);
    const QString before = QString::fromStdString(whole.substr(0, from));
    const QString part = withFileNameUnbroken(QString::fromStdString(whole.substr(from, length)));
    const QString after = QString::fromStdString(whole.substr(from + length));
    QString text = before + part + after;
    if (!part.isEmpty() && !fitsLines(font, text, line, mostLines)) {
        // Cut no further than the lines need: the widest room that fits, found by halving.
        // Never shorter than a third of a line, so some of the name stays however long the
        // words around it are.
        const double partWidth = metrics.horizontalAdvance(part);
        double fits = std::min(line / 3, partWidth);
        double tooWide = partWidth;
        while (tooWide - fits > 1) {
            const double room = (fits + tooWide) / 2;
            const bool fitting = fitsLines(font, before + shortened(metrics, part, room) + after, line, mostLines);
            (fitting ? fits : tooWide) = room;
        }
        text = before + shortened(metrics, part, fits) + after;
    }
    const double measured = metrics.horizontalAdvance(text);
    if (measured <= line) {
        const double width = std::clamp(std::ceil(measured) + sidePadding, minimumWidth, maximumWidth);
        return {text, QSize(static_cast<int>(width), static_cast<int>(height))};
    }
    const QRectF wrapped = metrics.boundingRect(QRectF(0, 0, line, 10000), Qt::TextWordWrap, text);
    const double tall = std::ceil(wrapped.height() - metrics.height() + height);
    return {text, QSize(static_cast<int>(maximumWidth), static_cast<int>(std::max(height, tall)))};
}

void ToastPresenter::makePanel() {
    panel_ = std::make_unique<ToastPanel>();
    panel_->resize(200, 40);
    label_ = new QLabel(panel_.get());
    // Names and paths as they are written, however they are cut.
    label_->setTextFormat(Qt::PlainText);
    label_->setFont(toastFont());
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
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

void ToastPresenter::show(const ToastText& text, ToastFeel feel, double duration) {
    // A beep draws attention first; there is no haptic engine to play on.
    if (feel == ToastFeel::alert) platform().application().beep();
    if (!panel_) makePanel();
    if (!label_) return;
    const auto [shown, size] = fit(text);
    label_->setText(shown);
    panel_->resize(size);
    label_->setGeometry(labelInset, 0, size.width() - 2 * labelInset, size.height());
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
