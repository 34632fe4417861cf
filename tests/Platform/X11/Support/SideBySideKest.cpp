#include "Platform/X11/Support/SideBySideKest.h"

namespace kestr::x11test {

namespace {
constexpr char sidesClass[] = "kestr.test.sides";
}  // namespace

Layout sideBySideKest(const std::string& displayUUID, double width, double height) {
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Sides";
    for (double x : {0.0, width / 2}) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = sidesClass;
        item.targetFrame = ScreenFrame{displayUUID, x, 0, width / 2, height, {}, {}, {}, {}};
        kest.items.push_back(item);
    }
    EdgeGroup edge;
    edge.id = Uuid::random();
    edge.displayUUID = displayUUID;
    edge.coordinate = width / 2;
    edge.leftOrTopItems = {{kest.items[0].id, WindowEdge::right}};
    edge.rightOrBottomItems = {{kest.items[1].id, WindowEdge::left}};
    edge.minCoordinate = 100;
    edge.maxCoordinate = width - 100;
    kest.edgeGroups = {edge};
    return kest;
}

std::vector<ClientOptions> sideBySideWindows(const Rect& area) {
    std::vector<ClientOptions> windows(2);
    const int half = int(area.width() / 2);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i].wmClass = sidesClass;
        windows[i].geometry = ClientGeometry{int(area.x()) + int(i) * half, int(area.y()), half, int(area.height())};
    }
    return windows;
}

}  // namespace kestr::x11test
