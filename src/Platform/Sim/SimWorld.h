// The in-memory state of the simulated desktop: displays, installed applications,
// processes with their windows, the pointer, Spaces and the accessibility trust. Every
// simulated service reads and changes this one world; tests build and inspect it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Platform/Sim/SimApplication.h"
#include "Platform/Sim/SimDisplay.h"
#include "Platform/Sim/SimProcess.h"

namespace kestr {

// What an accessibility element stands for.
enum class SimElementKind { application, window, systemWide, other };

class SimWorld {
public:
    SimWorld();

    // ---- displays, in the system's screen order ----
    std::vector<SimDisplay> displays;
    // The main display when set; otherwise the display whose bounds start at (0, 0).
    std::optional<DisplayID> mainDisplayOverride;
    // The screen holding the key window (index into `displays`); none: the first.
    std::optional<std::size_t> keyScreen;
    // The pointer, in global coordinates.
    Point pointer;

    const SimDisplay* display(DisplayID id) const;
    DisplayID mainDisplayID() const;
    // Height of the main display: AppKit's y axis is flipped against it.
    double mainHeight() const;
    // The first display (in screen order) whose bounds contain the global point.
    const SimDisplay* displayContaining(Point global) const;

    // ---- accessibility, Spaces ----
    bool trusted = true;
    int currentSpace = 1;
    std::optional<std::int32_t> frontmostPid;

    // ---- installed applications ----
    SimApplication& install(SimApplication app);
    const std::vector<SimApplication>& applications() const { return applications_; }
    SimApplication* application(const std::string& bundleID);
    SimApplication* applicationAt(const std::string& path);

    // ---- processes, in the system's order (terminated ones stay, marked) ----
    // Adds a process as given; a pid of 0 gets the next free one. Its windows get
    // elements and numbers as with addWindow.
    SimProcess& addProcess(SimProcess process);
    // Starts a process of an installed application now, without windows.
    SimProcess& launch(const std::string& bundleID, std::vector<std::string> arguments = {});
    SimProcess* process(std::int32_t pid);
    const std::deque<SimProcess>& processes() const { return processes_; }
    std::vector<SimProcess*> runningProcesses(const std::string& bundleID);
    // Ends the process: it is marked terminated and its windows close.
    void terminate(std::int32_t pid);
    // Called after a process starts or ends.
    std::vector<std::function<void()>> runningApplicationsObservers;
    std::int32_t nextPid = 501;

    // ---- windows ----
    // Adds a window in front of all others; it becomes the focused and main window of
    // its application. A window without a minimum size takes the application's.
    SimWindow& addWindow(std::int32_t pid, SimWindow window);
    // Opens a window as the installed application would.
    SimWindow& openNewWindow(std::int32_t pid);
    void closeWindow(AXElement window);
    SimWindow* window(AXElement element);
    SimProcess* owner(AXElement window);
    // Front to back.
    const std::deque<AXElement>& stacking() const { return stacking_; }
    void setStacking(const std::vector<AXElement>& frontToBack) {
        stacking_.assign(frontToBack.begin(), frontToBack.end());
        windowsChanged();
    }
    // Whether the window server shows the window now.
    bool isOnScreen(const SimWindow& window, const SimProcess& owner) const;
    // Takes the window into or out of full screen.
    void setFullScreen(SimWindow& window, bool fullScreen);
    // Resizes as the window's rule allows.
    void resize(SimWindow& window, Size requested);
    // Called after which window shows where may have changed.
    std::vector<std::function<void()>> windowsObservers;
    // Tells the observers: the world's own changes do, and a test that changes a window's
    // fields directly does after.
    void windowsChanged();

    // ---- accessibility elements ----
    AXElement applicationElement(std::int32_t pid);
    AXElement systemWideElement() const { return systemWide_; }
    struct ElementInfo {
        SimElementKind kind = SimElementKind::other;
        std::int32_t pid = 0;
        AXElement window;
    };
    std::optional<ElementInfo> lookup(AXElement element) const;
    // A child element of a window.
    SimElement* child(AXElement element);

private:
    // Gives a window of the process its element, number and children's elements.
    void registerWindow(const SimProcess& process, SimWindow& window);
    void notifyRunningApplications();
    AXElement newElement(ElementInfo info);
    void registerChildren(std::vector<SimElement>& children, std::int32_t pid, AXElement window);
    void forgetChildren(const std::vector<SimElement>& children);

    // Scenarios may hold many thousands of each: both are found by their key, and
    // windows go in front of the stacking in constant time.
    std::vector<SimApplication> applications_;
    std::unordered_map<std::string, std::size_t> applicationIndex_;
    std::deque<SimProcess> processes_;
    std::unordered_map<std::int32_t, std::size_t> processIndex_;
    std::deque<AXElement> stacking_;
    std::map<std::uint64_t, ElementInfo> elements_;
    std::map<std::int32_t, AXElement> applicationElements_;
    AXElement systemWide_;
    std::uint64_t nextHandle_ = 1;
    std::int64_t nextWindowNumber_ = 100;
};

}  // namespace kestr
