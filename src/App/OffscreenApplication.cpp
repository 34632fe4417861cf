#include "App/OffscreenApplication.h"

#include <QApplication>

namespace kestr {

OffscreenApplication::OffscreenApplication() {
    if (QApplication::instance()) return;
    // QApplication keeps references to these for its whole life.
    static int argc = 3;
    static char program[] = "kestr";
    static char option[] = "-platform";
    static char platformName[] = "offscreen";
    static char* argv[] = {program, option, platformName, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
}

OffscreenApplication::~OffscreenApplication() = default;

}  // namespace kestr
