#include "Platform/Accessibility.h"

#include "Platform/AXAttributes.h"

namespace kestr {

void Accessibility::setFrame(AXElement window, Point position, Size size, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        setAttributeValue(window, ax::position, position);
        setAttributeValue(window, ax::size, size);
    }
}

Task<void> Accessibility::settled(AXElement, double) { co_return; }

Task<void> Accessibility::quiet(AXElement, double, double) { co_return; }

}  // namespace kestr
