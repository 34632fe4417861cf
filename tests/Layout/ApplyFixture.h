// A simulated desktop for whole applies: one or two displays, applications that can be
// launched and answer the generic fresh-window script, kests built from frames, and
// applies run to their end in virtual time.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/Layout.h"
#include "Layout/LayoutApplier.h"
#include "Layout/StartedTask.h"
#include "Support/DesktopTest.h"

namespace kestr::test {

class ApplyFixture : public DesktopTest {
protected:
    using ApplyMode = LayoutApplier::ApplyMode;
    using FrameSource = LayoutApplier::FrameSource;
    using ApplyReport = LayoutApplier::ApplyReport;

    static constexpr DisplayID leftID = 1;
    static constexpr DisplayID rightID = 2;
    // The two halves of the first display's visible area.
    static inline const Rect leftHalf{0, 25, 720, 875};
    static inline const Rect rightHalf{720, 25, 720, 875};

    // One 1440 x 900 display with a 25-point menu bar; the generic fresh-window script
    // opens a window 0.2 s after it runs.
    void SetUp() override;
    // A 1920 x 1080 display to the right of the first.
    void addRightDisplay();

    SimApplication& install(const std::string& bundleID, const std::string& name,
                            std::optional<double> firstWindowDelay = 0.5);
    // Starts an installed application with no windows.
    std::int32_t run(const std::string& bundleID);
    AXElement addWindow(std::int32_t pid, const std::string& title, const Rect& frame);

    static LayoutItem item(const std::string& bundleID, const std::string& name, const Rect& frame,
                           DisplayID display = leftID,
                           WindowMatcher matcher = WindowMatcher::firstWindow());
    static Layout kest(std::vector<LayoutItem> items);

    StartedTask<ApplyReport> start(const Layout& layout, ApplyMode mode,
                                   std::optional<DisplayID> anchor = std::nullopt,
                                   FrameSource source = FrameSource::captured);
    // Runs the apply and everything it leaves behind (late windows) to the end.
    ApplyReport applyToEnd(const Layout& layout, ApplyMode mode, std::optional<DisplayID> anchor = std::nullopt,
                           FrameSource source = FrameSource::captured);

    Rect frameOf(AXElement window);
    AXElementList windowsOf(std::int32_t pid);
    // The log lines written so far.
    const std::vector<std::string>& lines();
    // The fresh-window scripts that ran, by bundle identifier.
    std::vector<std::string> freshWindowScripts() const;

    // Bundle identifiers whose fresh-window script fails with -1708.
    std::set<std::string> refusingScripts;
    // Bundle identifiers whose fresh-window script succeeds but opens nothing.
    std::set<std::string> silentScripts;
    double freshWindowDelay = 0.2;

private:
    void answerScripts();
};

}  // namespace kestr::test
