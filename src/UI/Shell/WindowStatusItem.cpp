#include "UI/Shell/WindowStatusItem.h"

#include <QMenu>
#include <QMouseEvent>
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
        if (const auto native = nativeWindow(*this)) platform().nativeWindows().showOnEveryDesktop(*native);
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

private:
    WindowStatusItem& item_;
};

WindowStatusItem::WindowStatusItem() : window_(std::make_unique<ButtonWindow>(*this)) {}

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
    // The window system keeps a strip only at the top of the whole screen, and only where
    // it takes such requests.
    Displays& displays = platform().displays();
    const Rect main = displays.displayBounds(displays.mainDisplayID());
    return main.minY() == 0 && nativeWindow(*window_) ? buttonHeight : 0;
}

void WindowStatusItem::popUpMenu(QMenu& menu) { menu.exec(window_->mapToGlobal(window_->rect().bottomLeft())); }

void WindowStatusItem::present(const QImage& picture) {
    window_->picture = picture;
    window_->setToolTip(toolTip());
    window_->setAccessibleName(accessibility().label);
    window_->setAccessibleDescription(accessibility().value);
    const QSizeF size = drawnSize();
    const QSize pixels(static_cast<int>(std::ceil(size.width())), static_cast<int>(std::ceil(size.height())));
    Displays& displays = platform().displays();
    const Rect main = displays.displayBounds(displays.mainDisplayID());
    const QRect frame(
        QPoint(static_cast<int>(std::lround(main.maxX())) - pixels.width(), static_cast<int>(std::lround(main.minY()))),
        pixels);
    if (frame != window_->geometry() || !window_->isVisible()) {
        window_->setGeometry(frame);
        // Always on top, it would sit over the title-bar buttons of maximised windows.
        if (const auto native = nativeWindow(*window_)) {
            platform().nativeWindows().reserveTopEdge(*native,
                                                      Rect(frame.x(), frame.y(), frame.width(), frame.height()));
        }
    }
    if (!window_->isVisible()) window_->show();
    window_->update();
}

}  // namespace kestr
