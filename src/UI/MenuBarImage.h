// An image for the menu bar: pixels drawn at some number of pixels per point, its size
// in points, whether it is a template (one colour, drawn by whoever shows it in the
// colour the menu bar's appearance calls for) and what it shows, for screen readers.
#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

namespace kestr {

struct MenuBarImage {
    QImage pixels;
    bool isTemplate = false;
    QString description;

    QSizeF size() const { return pixels.deviceIndependentSize(); }
};

}  // namespace kestr
