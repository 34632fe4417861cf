#include "Layout/KestShortcut.h"

#include "Layout/LayoutApplier.h"
#include "Window/DisplayManager.h"

namespace kestr {

Task<std::optional<Layout>> KestShortcut::apply(Layout layout) {
    const auto anchor = DisplayManager::displayUnderMouse();
    const auto report = co_await LayoutApplier::apply(layout, LayoutApplier::ApplyMode::restoreMissing,
                                                      LayoutApplier::FrameSource::captured, anchor);
    co_return report.effectiveLayout;
}

}  // namespace kestr
