#include "UI/Panel/KestPanelController.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "Platform/Platform.h"
#include "Platform/Runtime/Task.h"
#include "UI/DisplayArea.h"
#include "UI/Panel/KeyablePanel.h"
#include "UI/Panel/PanelTabs.h"
#include "UI/Panel/PanelWidgets.h"

namespace kestr {

namespace {

using Mode = KestPanelContentView::Mode;

Task<void> relayoutSoon(std::weak_ptr<KestPanelController*> weak) {
    co_await sleepUnlessCancelled(0.5);
    const auto self = weak.lock();
    if (self && (*self)->isVisible()) (*self)->relayout();
}

}  // namespace

KestPanelController::KestPanelController(Actions actions)
    : terminate([] { QCoreApplication::quit(); }),
      actions_(std::move(actions)),
      self_(std::make_shared<KestPanelController*>(this)) {}

KestPanelController::~KestPanelController() {
    removeGlobalMonitor();
    delete panel_;
}

bool KestPanelController::isVisible() const { return panel_ && panel_->isVisible(); }

void KestPanelController::makePanel() {
    panel_ = new KeyablePanel();
    panel_->resize(int(width), 200);
    panel_->onKeyDown = [this](QKeyEvent* event) { return handleKeyDown(event->key(), event->modifiers()); };
    // Closed by the window system too (a click elsewhere ends a pop-up).
    panel_->onHidden = [this] { removeGlobalMonitor(); };

    content_ = new KestPanelContentView();
    content_->buildRowsOnDemand();
    content_->onApply = [this](const Layout& kest, bool fresh) {
        const auto& apply = fresh ? actions_.applyFresh : actions_.applyReuse;
        // The kest is the store's own: the apply may change the store under it.
        const Uuid id = kest.id;
        if (apply) apply(id);
    };
    content_->onApplySnap = [this](SnapAction action) {
        if (actions_.applySnap) actions_.applySnap(action);
    };
    content_->onRequestPermission = [this] {
        if (actions_.requestPermission) actions_.requestPermission();
    };
    content_->onSaveCurrent = [this] {
        if (actions_.saveCurrent) actions_.saveCurrent();
    };
    content_->onManage = [this] {
        if (actions_.manage) actions_.manage();
    };
    content_->onReleaseKest = [this] {
        if (actions_.releaseKest) actions_.releaseKest();
        relayout();
    };
    content_->onQuitConflict = [this](const ConflictingApps::Running& app) { quitConflict(app); };
    content_->onQuit = [this] {
        if (terminate) terminate();
    };
    content_->onSelectionScroll = [this](const Rect& r) {
        scrollView_->ensureVisible(int(r.midX()), int(r.midY()), int(r.width() / 2), int(r.height() / 2 + 8));
    };

    scrollView_ = new QScrollArea(panel_);
    scrollView_->setFrameShape(QFrame::NoFrame);
    scrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The scroller lies over the content, as an overlay scroller does, so the rows keep
    // the panel's full width.
    scrollView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollView_->setFocusPolicy(Qt::NoFocus);
    scrollView_->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }");
    scrollView_->setWidget(content_);
    scrollView_->setWidgetResizable(false);

    overlayScroller_ = new QScrollBar(Qt::Vertical, panel_);
    overlayScroller_->setStyleSheet(
        "QScrollBar { background: transparent; width: 6px; margin: 0; }"
        "QScrollBar::handle { background: rgba(0, 0, 0, 0.3); border-radius: 3px; min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }");
    QScrollBar* inner = scrollView_->verticalScrollBar();
    QObject::connect(inner, &QScrollBar::rangeChanged, overlayScroller_, [this](int min, int max) {
        overlayScroller_->setRange(min, max);
        overlayScroller_->setVisible(max > min);
    });
    QObject::connect(inner, &QScrollBar::valueChanged, overlayScroller_, &QScrollBar::setValue);
    QObject::connect(inner, &QScrollBar::valueChanged, content_, [this] { showRowsInSight(); });
    QObject::connect(overlayScroller_, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);
    overlayScroller_->hide();

    headerView_ = new QWidget(panel_);
    tabs_ = new PanelTabs(headerView_);
    tabs_->setSelectedSegment(mode == Mode::snaps ? 1 : 0);
    tabs_->onChange = [this] { setMode(tabs_->selectedSegment() == 1 ? Mode::snaps : Mode::kests); };
    headerSeparator_ = PanelWidgets::separator(headerView_, Rect(0, headerHeight - 1, width, 1));
}

void KestPanelController::layoutHeaderSubviews() {
    tabs_->centreInStrip(width, headerHeight);
    headerSeparator_->setGeometry(0, int(headerHeight - 1), int(width), 1);
}

void KestPanelController::show(Anchor anchor, bool isTrusted, std::vector<KestRowView::Model> rows,
                               std::vector<SnapCellView::Model> cells) {
    if (!panel_) makePanel();
    kests = std::move(rows);
    snaps = std::move(cells);
    trusted = isTrusted;
    anchorButton = std::move(anchor);
    relayout();
    panel_->show();
    panel_->raise();
    panel_->activateWindow();
    panel_->setFocus();
    scrollToTop();
    removeGlobalMonitor();
    installGlobalMonitor();
}

void KestPanelController::prepare(bool isTrusted, std::vector<KestRowView::Model> rows,
                                  std::vector<SnapCellView::Model> cells) {
    if (panel_) return;
    makePanel();
    kests = std::move(rows);
    snaps = std::move(cells);
    trusted = isTrusted;
    relayout();
    panel_->winId();
    QImage sheet(panel_->size(), QImage::Format_ARGB32_Premultiplied);
    panel_->render(&sheet);
}

void KestPanelController::hide() {
    removeGlobalMonitor();
    if (panel_) panel_->hide();
}

void KestPanelController::installGlobalMonitor() {
    std::weak_ptr<KestPanelController*> weak = self_;
    globalMonitor_ = platform().eventMonitors().addGlobalMonitor(
        eventMask(EventType::leftMouseDown) | eventMask(EventType::rightMouseDown), [weak](const Event&) {
            if (const auto self = weak.lock()) (*self)->hide();
        });
}

void KestPanelController::removeGlobalMonitor() {
    if (!globalMonitor_) return;
    if (hasPlatform()) platform().eventMonitors().removeMonitor(*globalMonitor_);
    globalMonitor_.reset();
}

void KestPanelController::scrollToTop() { scrollView_->verticalScrollBar()->setValue(0); }

void KestPanelController::showRowsInSight() {
    const double top = scrollView_->verticalScrollBar()->value();
    content_->showRowsIn(top, top + scrollView_->height());
}

void KestPanelController::quitConflict(const ConflictingApps::Running& app) {
    ConflictingApps::quit(app);
    spawn(relayoutSoon(self_));
}

void KestPanelController::relayout() {
    if (!panel_ || !content_ || !scrollView_ || !headerView_) return;
    content_->trusted = trusted;
    content_->conflicts = ConflictingApps::running();
    const double contentHeight = content_->build(mode, kests, snaps, width);

    const std::optional<Rect> button = anchorButton ? anchorButton() : std::nullopt;
    const std::optional<Point> at = button ? std::optional<Point>(Point{button->midX(), button->midY()}) : std::nullopt;
    const bool upward = button && opensUpward(*button, displayBoundsAt(*at));
    // Where no menu bar holds the button, the button sits inside the visible frame; the
    // panel hangs below it (or stands over it) and is capped by what is left.
    const std::optional<Rect> visible = button ? frameBeside(*button, visibleFrameAt(at), upward) : visibleFrameAt(at);
    const double h = std::round(scrollHeight(visible, contentHeight) + headerHeight);
    panel_->resize(int(width), int(h));
    headerView_->setGeometry(0, 0, int(width), int(headerHeight));
    scrollView_->setGeometry(0, int(headerHeight), int(width), int(h - headerHeight));
    overlayScroller_->setGeometry(int(width) - 8, int(headerHeight) + 2, 6, int(h - headerHeight) - 4);
    overlayScroller_->raise();
    tabs_->refreshStyle();
    layoutHeaderSubviews();
    showRowsInSight();
    if (button) {
        const Point origin = position(*button, visible, Size{width, h}, upward);
        panel_->move(int(std::round(origin.x)), int(std::round(origin.y)));
    }
}

bool KestPanelController::handleKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    if (!content_) return false;
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!content_->keyboardSelectedIndex) return false;
            content_->activateKeyboardSelection();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            setMode(mode == Mode::kests ? Mode::snaps : Mode::kests);
            return true;
        case Qt::Key_Escape:
            hide();
            return true;
        case Qt::Key_Down:
            content_->moveKeyboardSelection(1);
            return true;
        case Qt::Key_Up:
            content_->moveKeyboardSelection(-1);
            return true;
        default:
            return false;
    }
}

void KestPanelController::setMode(Mode newMode) {
    if (newMode == mode) return;
    mode = newMode;
    if (tabs_) tabs_->setSelectedSegment(mode == Mode::snaps ? 1 : 0);
    relayout();
    if (scrollView_) scrollToTop();
}

double KestPanelController::scrollHeight(const std::optional<Rect>& visibleFrame, double contentHeight) {
    if (!visibleFrame) return std::min(744.0, contentHeight);
    const double cap = std::max(visibleFrame->height() - 12 - headerHeight, 140.0);
    return std::min(cap, contentHeight);
}

bool KestPanelController::opensUpward(const Rect& button, const std::optional<Rect>& displayBounds) {
    return displayBounds && button.midY() > displayBounds->midY();
}

Point KestPanelController::position(const Rect& button, const std::optional<Rect>& visibleFrame, Size size,
                                    bool upward) {
    double x = button.midX() - size.width / 2;
    if (!visibleFrame) return Point{x, upward ? button.minY() - size.height : button.maxY()};
    const Rect& v = *visibleFrame;
    x = std::max(x, v.minX() + 8);
    x = std::min(x, v.maxX() - size.width - 8);
    // Opening downward the top edge meets the top of the visible frame, and a panel
    // taller than the screen keeps its bottom 8 points above the frame's bottom;
    // upward the bottom edge meets the frame's bottom and the top stays 8 points in.
    const double y =
        upward ? std::max(v.maxY() - size.height, v.minY() + 8) : std::min(v.minY(), v.maxY() - 8 - size.height);
    return Point{x, y};
}

std::optional<Rect> KestPanelController::visibleFrameAt(std::optional<Point> point) { return visibleAreaAt(point); }

std::optional<Rect> KestPanelController::frameBeside(const Rect& button, const std::optional<Rect>& visibleFrame,
                                                     bool upward) {
    if (!visibleFrame) return visibleFrame;
    const Rect& v = *visibleFrame;
    if (upward) {
        if (button.minY() <= v.minY() || button.minY() >= v.maxY()) return visibleFrame;
        return Rect(v.x(), v.y(), v.width(), button.minY() - v.minY());
    }
    if (button.maxY() <= v.minY() || button.maxY() >= v.maxY()) return visibleFrame;
    return Rect(v.x(), button.maxY(), v.width(), v.maxY() - button.maxY());
}

}  // namespace kestr
