// Writes what an offscreen render drew as a PNG file, whole or not at all.
#pragma once

#include <QSize>
#include <string>

class QWidget;

namespace kestr {

class ConsoleOutput;

struct RenderOutput {
    // Renders are drawn at twice their size in points, as on a high-density display.
    static constexpr double scale = 2;
    // The most pixels a PNG image may have along either side here (the PNG writer
    // refuses more rows); larger renders are refused before anything is drawn.
    static constexpr int maxPixelSide = 1000000;

    // Loads the kests and snap bindings (stores that cannot be read stay empty; the
    // render shows that) and plans the hot keys, so every kest's shortcut is known while
    // no key of the desktop is taken.
    static void loadStores();

    // Draws `sheet` at its size and writes it to `path`; prints "Wrote WHAT render to PATH
    // (WxH)" with the size given, or "Failed to write WHAT render to PATH: " and the
    // reason. Returns the status: 0 written, 1 not. A sheet (or a reported size, which a
    // widget cannot always take) beyond maxPixelSide is never drawn: the reason says it
    // would be too tall or too wide, in points.
    static int write(ConsoleOutput& output, QWidget& sheet, const std::string& path, const std::string& what,
                     QSize reported);
};

}  // namespace kestr
