// The diagnostic command-line modes. Each writes its text to the given output and
// returns the process's exit status; the process entry runs the asynchronous ones as
// a task on the main actor.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "App/ConsoleOutput.h"
#include "Platform/Runtime/Task.h"

namespace kestr {

struct DiagnosticModes {
    // --dump
    static int windowDump(ConsoleOutput& output);
    // --apply-kest NAME [DISPLAY]; `position` is where --apply-kest stood in `arguments`.
    static Task<int> applyByName(ConsoleOutput& output, std::vector<std::string> arguments, std::string name,
                                 std::size_t position);
    // --test-new-space
    static Task<int> testNewSpace(ConsoleOutput& output);
    // --dump-content
    static Task<int> contentDump(ConsoleOutput& output);
    // --dump-displays
    static Task<int> displayDump(ConsoleOutput& output);
    // --probe-min-size
    static Task<int> minSizeProbe(ConsoleOutput& output);
    // --render-panel PATH [empty] [snaps] [untrusted]; needs a QApplication.
    static int renderPanel(ConsoleOutput& output, const std::vector<std::string>& arguments, const std::string& path);
    // --render-editor PATH; needs a QApplication.
    static int renderEditor(ConsoleOutput& output, const std::string& path);
    // --render-menubar-icons PATH, relative paths taken against `currentDirectory`;
    // needs a QApplication.
    static int renderMenuBarIcons(ConsoleOutput& output, const std::string& path, const std::string& currentDirectory);
    // --write-sample-layout PATH, relative paths taken against `currentDirectory`.
    static int writeSampleLayout(ConsoleOutput& output, const std::string& path, const std::string& currentDirectory);
};

}  // namespace kestr
