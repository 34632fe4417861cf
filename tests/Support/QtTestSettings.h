// What every test program that runs Qt chooses for itself, whatever the machine or the
// user's session has: its fonts and its scale. A program calls chooseQtSettings() before
// it makes its QApplication (programs the tests start inherit the choice) and
// useTestFont() once it is made.
//
// Text is measured in fonts the tests choose: the program sees only the fonts
// Support/fonts/fonts.conf.in names (found through fontconfig when the build is
// configured), DejaVu Sans draws the text, and the invisible marks that isolate names,
// which DejaVu lacks, come from a font of our own whose lines are as tall as those of the
// font a usual desktop draws them from. Geometry is measured at scale 1: the variables a
// HiDPI session sets to scale Qt, or its fonts, or to pick its theme and style are
// cleared.
#pragma once

#include <QApplication>
#include <QFontInfo>
#include <QString>
#include <cstdlib>

namespace kestr::test {

inline void chooseQtSettings() {
    for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                             "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI",
                             "QT_FONT_DPI", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE"})
        unsetenv(name);
    setenv("FONTCONFIG_FILE", KESTR_TEST_FONTCONFIG, 1);
}

// False when the test font is not installed.
inline bool useTestFont() {
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("DejaVu Sans"));
    QApplication::setFont(font);
    return QFontInfo(font).family() == QStringLiteral("DejaVu Sans");
}

constexpr const char* testFontMissing = "install fonts-dejavu-core (scripts/bootstrap)";

}  // namespace kestr::test
