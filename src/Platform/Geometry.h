// Plain geometry values in points (64-bit floats), with the rectangle semantics the
// window system uses: a rectangle contains its left and top edges but not its right
// and bottom edges, and the "null" rectangle is the result of an empty intersection.
#pragma once

#include <cmath>
#include <limits>

namespace kestr {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    Rect(Point o, Size s) : origin(o), size(s) {}

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    double minX() const { return std::fmin(origin.x, origin.x + size.width); }
    double minY() const { return std::fmin(origin.y, origin.y + size.height); }
    double maxX() const { return std::fmax(origin.x, origin.x + size.width); }
    double maxY() const { return std::fmax(origin.y, origin.y + size.height); }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }

    // The rectangle an empty intersection yields.
    static Rect null() {
        const double inf = std::numeric_limits<double>::infinity();
        return Rect(inf, inf, 0, 0);
    }
    bool isNull() const { return std::isinf(origin.x) && origin.x > 0 && std::isinf(origin.y) && origin.y > 0; }

    // The rectangle that covers the whole plane.
    static Rect infinite() {
        return Rect(-8.98846567431158e307, -8.98846567431158e307, 1.7976931348623157e308, 1.7976931348623157e308);
    }

    bool isEmpty() const { return isNull() || !(size.width != 0) || !(size.height != 0); }

    // Left and top edges inside, right and bottom edges outside.
    bool contains(Point p) const {
        if (isNull()) return false;
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    Rect intersection(const Rect& o) const {
        if (isNull() || o.isNull()) return null();
        const double x1 = std::fmax(minX(), o.minX());
        const double y1 = std::fmax(minY(), o.minY());
        const double x2 = std::fmin(maxX(), o.maxX());
        const double y2 = std::fmin(maxY(), o.maxY());
        if (x2 < x1 || y2 < y1) return null();
        return Rect(x1, y1, x2 - x1, y2 - y1);
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace kestr
