// The Qt application the render modes draw with: on the offscreen platform, so that a
// render needs no display, unless the process already has one.
#pragma once

#include <memory>

class QApplication;

namespace kestr {

class OffscreenApplication {
public:
    OffscreenApplication();
    ~OffscreenApplication();
    OffscreenApplication(const OffscreenApplication&) = delete;
    OffscreenApplication& operator=(const OffscreenApplication&) = delete;

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace kestr
