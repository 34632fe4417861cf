// Which diagnostic mode the command line asks for. Options are tested in a fixed
// order; the first one present (with its value, when it takes one) wins. A value is
// taken as given, even one that looks like an option ("--apply-kest --dump" looks for
// the kest "--dump"). Arguments are compared whole and case-sensitively: no
// abbreviations, no "--option=value".
// With no mode chosen, "--help" asks for the help text, and a mode without its value or
// an argument starting with "-" that names no option is a mistake: the menu-bar
// application starts only from a command line that asks for nothing else.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestr {

struct CommandLine {
    enum class Mode {
        dump,
        applyKest,
        testNewSpace,
        probeDrag,
        dumpContent,
        dumpDisplays,
        renderPanel,
        renderEditor,
        probeMinSize,
        renderMenuBarIcons,
        writeSampleLayout,
        help,
        // The command line is wrong; `value` is the line that says how.
        mistake,
        menuBarApplication,
    };

    struct Choice {
        Mode mode = Mode::menuBarApplication;
        // The option's value, for options that take one.
        std::string value;
        // Where the option stood in the argument list (for --apply-kest's display).
        std::size_t position = 0;
    };

    // `arguments` is the whole list, the program path first. Options listed in
    // `unavailable` are treated as absent.
    static Choice choose(const std::vector<std::string>& arguments, const std::vector<Mode>& unavailable = {});

    // What --help prints: every option and what it does.
    static std::string helpText();
};

}  // namespace kestr
