#include "Platform/Accessibility.h"

namespace kestr {

void Accessibility::setFrame(AXElement window, Point position, Size size, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        setAttributeValue(window, "AXPosition", position);
        setAttributeValue(window, "AXSize", size);
    }
}

Task<void> Accessibility::settled(AXElement, double) { co_return; }

}  // namespace kestr
