#include "Core/EdgeGroup.h"

namespace kestr {

std::string_view caseName(Axis axis) { return axis == Axis::vertical ? "vertical" : "horizontal"; }

std::string_view caseName(WindowEdge edge) {
    switch (edge) {
        case WindowEdge::left:
            return "left";
        case WindowEdge::right:
            return "right";
        case WindowEdge::top:
            return "top";
        case WindowEdge::bottom:
            return "bottom";
    }
    return "left";
}

}  // namespace kestr
