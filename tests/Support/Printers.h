// How GoogleTest prints the plain value types when an expectation fails: their fields,
// not their bytes. Every test sees these (the test support library includes this header
// into each test source), so an EXPECT_EQ on a Rect reads "{x=10, y=20, w=300, h=200}".
#pragma once

#include <iosfwd>

namespace kestr {

struct Point;
struct Size;
struct Rect;
struct ScreenFrame;
struct AXElement;

void PrintTo(const Point& point, std::ostream* out);
void PrintTo(const Size& size, std::ostream* out);
void PrintTo(const Rect& rect, std::ostream* out);
void PrintTo(const ScreenFrame& frame, std::ostream* out);
void PrintTo(const AXElement& element, std::ostream* out);

}  // namespace kestr
