// The arithmetic of kest thumbnails: which displays get a plate, in which order, how
// wide each plate is drawn, where the window cells and their icons go.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Platform/Platform.h"
#include "UI/Panel/KestThumbnailRenderer.h"

namespace kestr {

using DisplayBlock = KestThumbnailRenderer::DisplayBlock;

namespace {

bool finite(const Rect& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// The whole saved display when the first item that recorded the display's size says so,
// else the union of the frames.
Rect sourceRect(const std::vector<const LayoutItem*>& items, bool tight) {
    if (!tight) {
        for (const LayoutItem* item : items) {
            const ScreenFrame& f = item->targetFrame;
            if (!f.dispW || !f.dispH) continue;
            if (*f.dispW > 0 && *f.dispH > 0) return Rect(0, 0, *f.dispW, *f.dispH);
            break;
        }
    }
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (const LayoutItem* item : items) {
        const ScreenFrame& f = item->targetFrame;
        minX = std::min(minX, f.x);
        minY = std::min(minY, f.y);
        maxX = std::max(maxX, f.x + f.width);
        maxY = std::max(maxY, f.y + f.height);
    }
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

// Frames can hold any number a file allowed; a block that does not measure to finite
// numbers cannot be drawn.
bool drawable(const Rect& source) { return finite(source) && source.width() > 1.0 && source.height() > 1.0; }

// The kest's items by display, in the order the displays first appear.
struct DisplayGroup {
    std::string uuid;
    std::vector<const LayoutItem*> items;
    double key = 0;
};
std::vector<DisplayGroup> displayGroups(const Layout& kest) {
    std::vector<DisplayGroup> groups;
    for (const LayoutItem& item : kest.items) {
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const DisplayGroup& g) { return g.uuid == item.targetFrame.displayUUID; });
        if (it == groups.end()) {
            groups.push_back({item.targetFrame.displayUUID, {}, 0});
            it = groups.end() - 1;
        }
        it->items.push_back(&item);
    }
    return groups;
}

// Displays left to right: the saved origin when the kest recorded one, else the live
// display's; displays that are not connected come last. A saved origin that is not a
// number counts as unknown, so the ordering stays well defined.
double orderKey(const std::string& uuid, const std::vector<const LayoutItem*>& items) {
    const auto& saved = items.front()->targetFrame.dispX;
    if (saved && std::isfinite(*saved)) return *saved;
    Displays& displays = platform().displays();
    const DisplayID id = displays.displayIDFromUUIDString(uuid);
    if (id == 0) return std::numeric_limits<double>::max();
    return displays.displayBounds(id).x();
}

double naturalWidth(const DisplayBlock& block, double height) {
    return block.source.width() / std::max(1.0, block.source.height()) * height;
}

}  // namespace

std::vector<DisplayBlock> KestThumbnailRenderer::blocks(const Layout& kest, bool tight) {
    std::vector<DisplayGroup> groups = displayGroups(kest);
    for (DisplayGroup& g : groups) g.key = orderKey(g.uuid, g.items);
    std::stable_sort(groups.begin(), groups.end(), [](const DisplayGroup& a, const DisplayGroup& b) {
        if (a.key != b.key) return a.key < b.key;
        return a.uuid < b.uuid;
    });
    std::vector<DisplayBlock> out;
    for (const DisplayGroup& g : groups) {
        const Rect source = sourceRect(g.items, tight);
        if (!drawable(source)) continue;
        DisplayBlock block{source, {}};
        block.items.reserve(g.items.size());
        for (const LayoutItem* item : g.items) block.items.push_back(*item);
        out.push_back(std::move(block));
    }
    return out;
}

bool KestThumbnailRenderer::hasBlocks(const Layout& kest, bool tight) {
    const auto groups = displayGroups(kest);
    return std::any_of(groups.begin(), groups.end(),
                       [tight](const DisplayGroup& g) { return drawable(sourceRect(g.items, tight)); });
}

std::vector<LayoutItem> KestThumbnailRenderer::placementOrderedItems(const Layout& kest) {
    std::vector<LayoutItem> out;
    for (DisplayBlock& block : blocks(kest, false)) {
        std::stable_sort(block.items.begin(), block.items.end(), [](const LayoutItem& a, const LayoutItem& b) {
            if (a.targetFrame.x != b.targetFrame.x) return a.targetFrame.x < b.targetFrame.x;
            return a.targetFrame.y < b.targetFrame.y;
        });
        out.insert(out.end(), block.items.begin(), block.items.end());
    }
    return out;
}

double KestThumbnailRenderer::drawnWidth(const Layout& kest, double height, bool tight) {
    const auto list = blocks(kest, tight);
    if (list.empty() || !(height > 0)) return 0;
    double sum = 0;
    for (const DisplayBlock& block : list) sum += naturalWidth(block, height);
    sum += static_cast<double>(list.size() - 1) * plateGap;
    return std::isfinite(sum) ? sum : 0;
}

std::vector<Rect> KestThumbnailRenderer::plateSlots(const std::vector<DisplayBlock>& list, const Rect& rect,
                                                    const Style& style) {
    if (list.empty() || !(rect.width() > 0) || !(rect.height() > 0)) return {};
    const double h = rect.height();
    std::vector<double> widths;
    double sum = 0;
    for (const DisplayBlock& block : list) {
        widths.push_back(naturalWidth(block, h));
        sum += widths.back();
    }
    const double gaps = static_cast<double>(list.size() - 1) * plateGap;
    if (!std::isfinite(sum)) return {};
    double scale = 1;
    if (!style.keepsNaturalWidth && gaps + sum > rect.width()) {
        // Narrower than the gaps alone: a negative scale would mirror the plates
        // outside the rectangle, so nothing is drawn.
        if (rect.width() - gaps <= 0) return {};
        scale = (rect.width() - gaps) / std::max(0.0001, sum);
    }
    double x = rect.minX();
    if (style.centered) x += std::max(0.0, (rect.width() - (gaps + sum * scale)) * 0.5);
    std::vector<Rect> plates;
    for (double w : widths) {
        plates.emplace_back(x, rect.minY(), w * scale, h);
        x += w * scale + plateGap;
    }
    return plates;
}

std::optional<double> KestThumbnailRenderer::uniformIconSize(const std::vector<DisplayBlock>& list,
                                                             const std::vector<Rect>& plates, const Style& style) {
    if (!style.showsIcons) return std::nullopt;
    double running = style.maxIconSize;
    for (std::size_t i = 0; i < list.size() && i < plates.size(); ++i) {
        const double fx = plates[i].width() / list[i].source.width();
        const double fy = plates[i].height() / list[i].source.height();
        for (const LayoutItem& item : list[i].items) {
            const double w = item.targetFrame.width * fx;
            const double h = item.targetFrame.height * fy;
            if (!(w - 6 > 8 && h - 6 > 8)) continue;
            const double reserve = (style.showsNames && h >= 80 && w >= 64) ? 15 : 0;
            double candidate = std::floor(std::min({std::max(0.0, h - 6 - reserve), w - 6, style.maxIconSize}));
            if (candidate < 9) candidate = 0;
            if (candidate > 0 && candidate < running) running = candidate;
        }
    }
    return running;
}

double KestThumbnailRenderer::plateRadius(const Rect& slot) { return std::min(slot.height() * 0.11, 12.0); }

std::optional<Rect> KestThumbnailRenderer::cellRect(const LayoutItem& item, const Rect& source, const Rect& slot) {
    const double fx = slot.width() / source.width();
    const double fy = slot.height() / source.height();
    const ScreenFrame& f = item.targetFrame;
    const Rect mapped(slot.minX() + (f.x - source.minX()) * fx, slot.minY() + (f.y - source.minY()) * fy, f.width * fx,
                      f.height * fy);
    if (!finite(mapped)) return std::nullopt;
    const Rect cell = mapped.intersection(slot);
    if (cell.isNull() || !(cell.width() > 1.0 && cell.height() > 1.0)) return std::nullopt;
    return cell;
}

std::optional<KestThumbnailRenderer::CellContent> KestThumbnailRenderer::cellContent(const Rect& cell,
                                                                                     const Style& style,
                                                                                     std::optional<double> iconSize) {
    const Rect inner(cell.minX() + 3, cell.minY() + 3, cell.width() - 6, cell.height() - 6);
    if (!(inner.width() > 8 && inner.height() > 8)) return std::nullopt;
    const bool showsName = style.showsNames && cell.width() >= 64 && cell.height() >= 80;
    const double reserve = showsName ? 15 : 0;
    const double available = inner.height() - reserve;
    double size = 0;
    if (iconSize) {
        if (!(inner.width() >= *iconSize && available >= *iconSize)) return std::nullopt;
        size = *iconSize;
    } else {
        if (!(available > 0)) return std::nullopt;
        size = std::floor(std::min({available, inner.width(), style.maxIconSize}));
        if (size < 9) return std::nullopt;
    }
    const Rect icon(std::round(cell.midX() - size / 2), std::round(cell.midY() - (size + reserve) / 2), size, size);
    CellContent content{icon, std::nullopt};
    if (showsName && cell.width() > 26) content.name = Rect(cell.minX() + 2, icon.maxY() + 3, cell.width() - 4, 12);
    return content;
}

}  // namespace kestr
