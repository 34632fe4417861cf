#include "Platform/X11/Support/SideBySideKest.h"

namespace kestr::x11test {

Layout sideBySideKest(const std::string& displayUUID, double width, double height) {
    Layout kest;
    kest.id = Uuid::random();
    kest.name = "Sides";
    for (double x : {0.0, width / 2}) {
        LayoutItem item;
        item.id = Uuid::random();
        item.appBundleID = "kestr.test.sides";
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

}  // namespace kestr::x11test
