#include "UI/Shell/WindowStatusItem.h"

#include <QMenu>
#include <QMouseEvent>
#include <QWindow>
#include <QPainter>
#include <cmath>

#include "Platform/Platform.h"
#include "UI/NativeWindow.h"

namespace kestr {

class WindowStatusItem::ButtonWindow final : public QWidget {
public:
    explicit ButtonWindow(WindowStatusItem& item)
        : QWidget(nullptr,
                  Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
          item_(item) {
        // Opaque: without a compositing window manager a translucent window shows black,
        // and the dark template icon would vanish on it.
        setAttribute(Qt::WA_ShowWithoutActivating);
        // Qt shows a tooltip only over the active window, and this one never takes the
        // focus, so it never is.
        setAttribute(Qt::WA_AlwaysShowToolTips);
        keepOffTaskbars(*this);
        // Like a status icon in a panel, it stays when the user switches desktops.
        showOnEveryDesktop(*this);
        // A panel stays where it asks to stand: the strip it keeps, and with it the room
        // the kests were applied to, does not change when a new picture moves it.
        showAsPanel(*this);
    }

    QImage picture;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.drawImage(QPointF(0, 0), picture);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (!rect().contains(event->position().toPoint()) || !item_.onClick) return;
        if (event->button() == Qt::RightButton) {
            item_.onClick(Click{true, false});
        } else if (event->button() == Qt::LeftButton) {
            item_.onClick(Click{false, event->modifiers().testFlag(Qt::ControlModifier)});
        }
    }

    // The window's own reports, also of an answer that leaves it where it was.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == windowHandle() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            item_.placed();
        return false;
    }

private:
    WindowStatusItem& item_;
};

WindowStatusItem::WindowStatusItem() : window_(std::make_unique<ButtonWindow>(*this)) {
    // Where the window manager put the button, which may not be where it asked to go. The
    // window's own reports, not the widget's: a widget told of a new size it asked for
    // hears nothing more when the window manager keeps it at another place.
    window_->createWinId();
    window_->windowHandle()->installEventFilter(window_.get());
}

void WindowStatusItem::placed() {
    QWindow* handle = window_->windowHandle();
    const QRect at = handle->geometry();
    // The toolkit reads where the window stands when it gets to the news, which may be
    // while the window manager, taking the window in, holds it in a frame it has not put
    // in place yet. Asked once more, the window manager answers once it has taken the
    // window in: where it keeps it. The strip waits for that answer.
    if (at.topLeft() != asked_.topLeft() && doubted_ != at.topLeft()) {
        doubted_ = at.topLeft();
        handle->setGeometry(asked_);
        return;
    }
    keepStripUnder(at);
}

WindowStatusItem::~WindowStatusItem() = default;

QWidget& WindowStatusItem::window() { return *window_; }

std::optional<QRect> WindowStatusItem::buttonFrame() const {
    if (!window_->isVisible()) return std::nullopt;
    return window_->geometry();
}

void WindowStatusItem::followMainDisplay() {
    if (window_->isVisible()) present(shownPicture());
}

double WindowStatusItem::keptTopStrip() const {
    // Before it shows, the strip under the place it will ask for.
    return (kept_ ? *kept_ : stripUnder(askedFrame())).height();
}

Rect WindowStatusItem::room() const {
    Displays& displays = platform().displays();
    const DisplayID main = displays.mainDisplayID();
    const auto native = nativeWindow(*window_);
    const auto room = native ? platform().nativeWindows().roomBeside(*native, main) : std::nullopt;
    return room ? *room : displays.displayBounds(main);
}

Rect WindowStatusItem::stripUnder(const QRect& frame) const {
    Displays& displays = platform().displays();
    const Rect main = displays.displayBounds(displays.mainDisplayID());
    const double bottom = frame.y() + frame.height();
    // The window system keeps a strip only at the top of the whole screen, and only where
    // it takes such requests. The strip reaches from that edge, over any panel there, down
    // to the button's bottom, also where a window manager keeps the button a few pixels
    // lower than the top of the room it asked for.
    if (main.minY() != 0 || !nativeWindow(*window_) || frame.y() - room().minY() >= buttonHeight ||
        bottom <= main.minY())
        return {};
    return Rect(frame.x(), main.minY(), frame.width(), bottom - main.minY());
}

void WindowStatusItem::keepStripUnder(const QRect& frame) {
    const Rect strip = stripUnder(frame);
    if (kept_ == strip) return;
    const double before = keptTopStrip();
    kept_ = strip;
    // Always on top, the button would sit over the title-bar buttons of maximised windows.
    if (const auto native = nativeWindow(*window_)) platform().nativeWindows().reserveTopEdge(*native, strip);
    if (strip.height() != before && onKeptStripChange) onKeptStripChange();
}

QRect WindowStatusItem::askedFrame() const {
    const QSizeF size = drawnSize();
    const QSize pixels(static_cast<int>(std::ceil(size.width())), static_cast<int>(std::ceil(size.height())));
    // At the top right of the room the panels leave, never over one of them; the strip the
    // button keeps is not counted, or the button would push itself down.
    const Rect within = room();
    return QRect(QPoint(static_cast<int>(std::lround(within.maxX())) - pixels.width(),
                        static_cast<int>(std::lround(within.minY()))),
                 pixels);
}

void WindowStatusItem::popUpMenu(QMenu& menu) { menu.exec(window_->mapToGlobal(window_->rect().bottomLeft())); }

void WindowStatusItem::present(const QImage& picture) {
    window_->picture = picture;
    window_->setToolTip(toolTip());
    window_->setAccessibleName(accessibility().label);
    window_->setAccessibleDescription(accessibility().value);
    // Asked again only when the place to ask for moves: a window manager that keeps the
    // button elsewhere would only put it back there. The strip goes with the first
    // request, read when the window is mapped; then it follows where the button went.
    const QRect frame = askedFrame();
    if (frame != asked_ || !window_->isVisible()) {
        asked_ = frame;
        doubted_.reset();
        window_->setGeometry(frame);
        if (!window_->isVisible()) keepStripUnder(frame);
    }
    if (!window_->isVisible()) window_->show();
    window_->update();
}

}  // namespace kestr
