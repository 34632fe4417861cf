// The floating panel that drops down under the status item: a header with the "Kests"
// and "Snaps" tabs over a scrolling KestPanelContentView. The controller builds the
// panel on first use (or ahead of it, hidden), sizes it to its content, hangs it under
// the status item's button, routes its keys, hides it on a click elsewhere, and turns
// what the user does in it into calls of the actions the menu-bar controller hands it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Core/Layout.h"
#include "Core/Uuid.h"
#include "Platform/EventMonitors.h"
#include "Platform/Geometry.h"
#include "Core/SnapAction.h"
#include "UI/Panel/KestPanelContentView.h"
#include "UI/Panel/KestRowView.h"
#include "UI/Snap/SnapCellView.h"

class QKeyEvent;
class QScrollArea;
class QScrollBar;
class QWidget;

namespace kestr {

class KeyablePanel;
class PanelTabs;

class KestPanelController {
public:
    struct Actions {
        std::function<void(const Uuid&)> applyReuse;
        std::function<void(const Uuid&)> applyFresh;
        std::function<void(SnapAction)> applySnap;
        std::function<void()> saveCurrent;
        std::function<void()> manage;
        std::function<void()> requestPermission;
        std::function<void()> releaseKest;
    };

    // The status item's button, in global coordinates (a point where only the place of
    // the click is known); none once it is gone or off screen.
    using Anchor = std::function<std::optional<Rect>()>;

    static constexpr double headerHeight = 44;
    static constexpr double width = 296;

    explicit KestPanelController(Actions actions);
    ~KestPanelController();
    KestPanelController(const KestPanelController&) = delete;
    KestPanelController& operator=(const KestPanelController&) = delete;

    void show(Anchor anchor, bool trusted, std::vector<KestRowView::Model> kests,
              std::vector<SnapCellView::Model> snaps);
    // Builds the panel, hidden, over these contents and draws it once off screen, so that
    // what a first showing would otherwise pay for once (the window, its styles, fonts,
    // glyphs, symbols and application icons) is paid now. Nothing shows; the next show()
    // builds its contents afresh. Does nothing once the panel exists.
    void prepare(bool trusted, std::vector<KestRowView::Model> kests, std::vector<SnapCellView::Model> snaps);
    void hide();
    // Rebuilds the content from the stored fields, then sizes and places the panel.
    void relayout();
    bool isVisible() const;

    // Built by the first show, or ahead of it by prepare().
    KeyablePanel* panel() const { return panel_; }
    KestPanelContentView* content() const { return content_; }
    QScrollArea* scrollView() const { return scrollView_; }
    PanelTabs* tabs() const { return tabs_; }

    KestPanelContentView::Mode mode = KestPanelContentView::Mode::kests;
    std::vector<KestRowView::Model> kests;
    std::vector<SnapCellView::Model> snaps;
    bool trusted = true;
    Anchor anchorButton;
    // "Quit kestr": ends the application's event loop, after which the program shuts
    // down in order.
    std::function<void()> terminate;

    // Returns whether the key was used.
    bool handleKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void setMode(KestPanelContentView::Mode newMode);

    // ---- placement, in global top-left coordinates ----
    // The height of the scrolling part for a screen with that visible frame (none:
    // no screen at all).
    static double scrollHeight(const std::optional<Rect>& visibleFrame, double contentHeight);
    // Whether the panel opens upward from the button: when the button's centre lies in
    // the lower half of its display (a panel at the bottom of the screen).
    static bool opensUpward(const Rect& button, const std::optional<Rect>& displayBounds);
    // Where the panel's top-left corner goes under the button, or over it when `upward`.
    static Point position(const Rect& button, const std::optional<Rect>& visibleFrame, Size size, bool upward = false);
    // The visible frame of the screen showing `point`, else of the main screen; none
    // without screens.
    static std::optional<Rect> visibleFrameAt(std::optional<Point> point);
    // The part of the visible frame below a button that lies inside it, or above it when
    // `upward` (else the frame).
    static std::optional<Rect> frameBeside(const Rect& button, const std::optional<Rect>& visibleFrame,
                                           bool upward = false);

private:
    void makePanel();
    void layoutHeaderSubviews();
    void scrollToTop();
    // Builds the kest rows in and near the part of the list the panel shows.
    void showRowsInSight();
    void installGlobalMonitor();
    void removeGlobalMonitor();
    void quitConflict(const ConflictingApps::Running& app);

    Actions actions_;
    KeyablePanel* panel_ = nullptr;
    KestPanelContentView* content_ = nullptr;
    QScrollArea* scrollView_ = nullptr;
    QScrollBar* overlayScroller_ = nullptr;
    QWidget* headerView_ = nullptr;
    PanelTabs* tabs_ = nullptr;
    QWidget* headerSeparator_ = nullptr;
    std::optional<MonitorToken> globalMonitor_;
    // Lets callbacks that may outlive the controller see that it is gone.
    std::shared_ptr<KestPanelController*> self_;
};

}  // namespace kestr
