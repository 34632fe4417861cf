// The program's item in the menu bar: a button that shows an image (or a title when
// there is none), a badge laid over it, a tooltip and texts for screen readers. It
// reports left and right clicks and pops a menu up under itself. The state is kept
// here; each kind of item only shows it.
#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "UI/MenuBarImage.h"

class QMenu;

namespace kestr {

class StatusItem {
public:
    // The height of the menu bar, and the room the button leaves beside its image.
    static constexpr double buttonHeight = 22;
    static constexpr double imagePadding = 6;

    struct Click {
        bool rightButton = false;
        // The control key was held: a left click then counts as a right one.
        bool control = false;
        friend bool operator==(const Click&, const Click&) = default;
    };
    struct Accessibility {
        QString role;
        QString label;
        QString value;
        QString help;
        friend bool operator==(const Accessibility&, const Accessibility&) = default;
    };

    virtual ~StatusItem() = default;

    // The image cross-fades into the new one over `fadeSeconds`.
    void setImage(const MenuBarImage& image, double fadeSeconds);
    void setTitle(const QString& title);
    void setToolTip(const QString& toolTip);
    void setAccessibility(const Accessibility& accessibility);
    void setAccessibilityValue(const QString& value);
    // `frame` in the button's coordinates (origin top left); none hides the badge.
    void setBadge(const std::optional<QImage>& badge, const QRectF& frame = {});

    const std::optional<MenuBarImage>& image() const { return image_; }
    const QString& title() const { return title_; }
    const QString& toolTip() const { return toolTip_; }
    const Accessibility& accessibility() const { return accessibility_; }
    const std::optional<QImage>& badge() const { return badge_; }
    const QRectF& badgeFrame() const { return badgeFrame_; }

    // The button's size: its image or title with room around it, the menu bar high.
    QSizeF buttonSize() const;
    // What `render` draws: the button, widened to hold a badge that stands out past its
    // right edge.
    QSizeF drawnSize() const;
    // Where the button is on screen, in global coordinates; none before it is shown.
    virtual std::optional<QRect> buttonFrame() const = 0;
    // Where the last click on the button was, in global coordinates, for items that
    // cannot tell where their button is (a tray that keeps its icon's place to
    // itself still has the pointer of the click); none before a click.
    virtual std::optional<QPoint> clickPoint() const { return std::nullopt; }
    // Shows the menu under the button and returns when it closes.
    virtual void popUpMenu(QMenu& menu) = 0;
    // A menu the desktop shows for the item on its own (a tray's right click, a tray
    // host that lists the item's menu): `build` makes it as it is now, and it is made
    // again at refreshMenu() and, when `digest` (a digest of all it shows) has changed
    // since, before it shows. Items whose menu only opens through popUpMenu keep none.
    using MenuBuilder = std::function<std::unique_ptr<QMenu>()>;
    using MenuDigest = std::function<std::uint64_t()>;
    virtual void keepMenu(MenuBuilder build, MenuDigest digest) {
        (void)build;
        (void)digest;
    }
    virtual void refreshMenu() {}
    // How deep a strip along the main display's top edge the item keeps clear of other
    // windows once it shows, as a panel does; 0: none. Known before it shows, and told
    // again through onKeptStripChange when the window manager puts the item elsewhere.
    virtual double keptTopStrip() const { return 0; }

    std::function<void(const Click&)> onClick;
    std::function<void()> onKeptStripChange;

    // The button drawn as it looks now, `scale` pixels per point; template images in
    // the label colour of the menu bar's appearance.
    QImage render(double scale, bool dark) const;
    // The same with templates and the title in `label`.
    QImage render(double scale, const QColor& label) const;

protected:
    // The state changed (`newImage`: a new image was set); show it, fading over
    // `fadeSeconds`.
    virtual void changed(double fadeSeconds, bool newImage) = 0;

private:
    std::optional<MenuBarImage> image_;
    QString title_;
    QString toolTip_;
    Accessibility accessibility_;
    std::optional<QImage> badge_;
    QRectF badgeFrame_;
};

}  // namespace kestr
