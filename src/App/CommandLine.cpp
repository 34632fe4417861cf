#include "App/CommandLine.h"

#include <algorithm>
#include <optional>

#include "Platform/PrintableText.h"

namespace kestr {

namespace {

struct Option {
    const char* name;
    // What follows the option, as the help shows it; none for an option without a value.
    const char* value;
    CommandLine::Mode mode;
    const char* description;
    // How many arguments after the value the mode may read as values too (DISPLAY).
    std::size_t optionalValues = 0;
};

// The order in which options are tested.
constexpr Option options[] = {
    {"--dump", nullptr, CommandLine::Mode::dump, "print the windows kestr sees, one row each"},
    {"--apply-kest", "NAME [DISPLAY]", CommandLine::Mode::applyKest,
     "apply the first kest named exactly NAME, anchored to the display whose id begins\n"
     "with DISPLAY (else the display under the pointer), and print what was placed;\n"
     "status 1 when no kest has that name",
     1},
    {"--test-new-space", nullptr, CommandLine::Mode::testNewSpace, "create a new Space and switch to it"},
    {"--probe-drag", nullptr, CommandLine::Mode::probeDrag, "log window drags until interrupted (Ctrl-C)"},
    {"--dump-content", nullptr, CommandLine::Mode::dumpContent,
     "print what kestr reads of each window's content (a terminal's folder)"},
    {"--dump-displays", nullptr, CommandLine::Mode::dumpDisplays, "print every display's identity and geometry"},
    {"--render-panel", "PATH [empty] [snaps] [untrusted]", CommandLine::Mode::renderPanel,
     "draw the kest panel to a PNG file"},
    {"--render-editor", "PATH", CommandLine::Mode::renderEditor,
     "draw the manager's kests and the first kest's page to a PNG file"},
    {"--probe-min-size", nullptr, CommandLine::Mode::probeMinSize,
     "measure how small terminal, file-manager and browser windows can be made"},
    {"--render-menubar-icons", "PATH", CommandLine::Mode::renderMenuBarIcons,
     "draw every picture of the status button to a PNG file"},
    {"--write-sample-layout", "PATH", CommandLine::Mode::writeSampleLayout,
     "write a kest file holding one sample kest (an existing file is kept as PATH.bak)"},
};

constexpr const char* helpOption = "--help";

// The value's first word: "NAME" of "NAME [DISPLAY]".
std::string valueName(const Option& option) {
    const std::string value = option.value;
    return value.substr(0, value.find(' '));
}

std::string mistake(const std::string& problem) { return "kestr: " + problem + " (see \"kestr --help\")"; }

// Why a command line that chose no mode is wrong; none when it asks for the menu-bar
// application.
std::optional<std::string> mistakeIn(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return std::nullopt;
    const auto begin = arguments.begin() + 1;
    for (const Option& option : options) {
        if (option.value && std::find(begin, arguments.end(), option.name) == arguments.end() - 1)
            return mistake(std::string(option.name) + " needs a " + valueName(option));
    }
    for (auto it = begin; it != arguments.end(); ++it) {
        // A session manager starts a Qt program again as "kestr -session ID".
        if (*it == "-session" && it + 1 != arguments.end()) {
            ++it;
            continue;
        }
        if (!it->starts_with("-")) continue;
        const bool known = std::any_of(std::begin(options), std::end(options),
                                       [&](const Option& option) { return *it == option.name; });
        if (!known) return mistake("unknown option \"" + PrintableText::of(*it) + "\"");
    }
    return std::nullopt;
}

}  // namespace

CommandLine::Choice CommandLine::choose(const std::vector<std::string>& arguments,
                                        const std::vector<Mode>& unavailable) {
    // Where each option first stands. An option's values are taken as given, so an
    // argument read as a value is never an option itself.
    std::optional<std::size_t> first[std::size(options)];
    for (std::size_t i = 1; i < arguments.size(); ++i) {  // the program path is never an option
        const auto option = std::find_if(std::begin(options), std::end(options), [&](const Option& o) {
            return arguments[i] == o.name &&
                   std::find(unavailable.begin(), unavailable.end(), o.mode) == unavailable.end();
        });
        if (option == std::end(options)) continue;
        // With nothing after it an option with a value is absent.
        if (option->value && i + 1 >= arguments.size()) continue;
        auto& position = first[option - std::begin(options)];
        if (!position) position = i;
        if (option->value) i += std::min(1 + option->optionalValues, arguments.size() - 1 - i);
    }
    for (std::size_t o = 0; o < std::size(options); ++o) {
        if (!first[o]) continue;
        const std::size_t position = *first[o];
        return {options[o].mode, options[o].value ? arguments[position + 1] : "", position};
    }
    const auto begin = arguments.begin() + (arguments.empty() ? 0 : 1);
    if (std::find(begin, arguments.end(), helpOption) != arguments.end()) return {Mode::help, "", 0};
    if (auto problem = mistakeIn(arguments)) return {Mode::mistake, *problem, 0};
    return {};
}

std::string CommandLine::helpText() {
    std::string text =
        "Usage: kestr [OPTION]\n"
        "Without an option kestr runs in the system tray (or, without one, in a small window of\n"
        "its own): it keeps your kests and snaps windows with its shortcuts. An option runs one\n"
        "task instead and ends; the first present in this order wins.\n\n";
    const auto indented = [](const std::string& lines) {
        std::string out;
        std::size_t start = 0;
        while (start < lines.size()) {
            const std::size_t end = std::min(lines.find('\n', start), lines.size());
            out += "      " + lines.substr(start, end - start) + "\n";
            start = end + 1;
        }
        return out;
    };
    for (const Option& option : options)
        text += "  " + std::string(option.name) + (option.value ? " " + std::string(option.value) : "") + "\n" +
                indented(option.description);
    text += "  " + std::string(helpOption) + "\n" + indented("print this help");
    return text;
}

}  // namespace kestr
