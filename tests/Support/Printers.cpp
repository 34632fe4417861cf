#include "Support/Printers.h"

#include <cstdlib>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "Core/ScreenFrame.h"
#include "Platform/Accessibility.h"
#include "Platform/Geometry.h"

namespace kestr {

namespace {

// The shortest of the usual forms that reads back as the same number, so two values
// that differ in the last bit do not print alike.
std::string number(double v) {
    for (const int digits : {6, 17}) {
        std::ostringstream text;
        text << std::setprecision(digits) << v;
        if (digits == 17 || std::strtod(text.str().c_str(), nullptr) == v) return text.str();
    }
    return {};
}

std::string number(const std::optional<double>& v) { return v ? number(*v) : "none"; }

}  // namespace

void PrintTo(const Point& point, std::ostream* out) {
    *out << "(" << number(point.x) << ", " << number(point.y) << ")";
}

void PrintTo(const Size& size, std::ostream* out) { *out << number(size.width) << "x" << number(size.height); }

void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{x=" << number(rect.origin.x) << ", y=" << number(rect.origin.y) << ", w=" << number(rect.size.width)
         << ", h=" << number(rect.size.height) << "}";
}

void PrintTo(const ScreenFrame& frame, std::ostream* out) {
    *out << "{display \"" << frame.displayUUID << "\", x=" << number(frame.x) << ", y=" << number(frame.y)
         << ", w=" << number(frame.width) << ", h=" << number(frame.height) << "; display " << number(frame.dispW)
         << "x" << number(frame.dispH) << " at (" << number(frame.dispX) << ", " << number(frame.dispY) << ")}";
}

void PrintTo(const AXElement& element, std::ostream* out) {
    std::ostringstream hex;
    hex << std::hex << element.handle;
    *out << (element.isNull() ? "AXElement{none}" : "AXElement{0x" + hex.str() + "}");
}

}  // namespace kestr
