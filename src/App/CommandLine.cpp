#include "App/CommandLine.h"

#include <algorithm>

namespace kestr {

namespace {

struct Option {
    const char* name;
    bool takesValue;
    CommandLine::Mode mode;
};

// The order in which options are tested.
constexpr Option options[] = {
    {"--dump", false, CommandLine::Mode::dump},
    {"--apply-kest", true, CommandLine::Mode::applyKest},
    {"--test-new-space", false, CommandLine::Mode::testNewSpace},
    {"--probe-drag", false, CommandLine::Mode::probeDrag},
    {"--dump-content", false, CommandLine::Mode::dumpContent},
    {"--dump-displays", false, CommandLine::Mode::dumpDisplays},
    {"--render-panel", true, CommandLine::Mode::renderPanel},
    {"--render-editor", true, CommandLine::Mode::renderEditor},
    {"--probe-min-size", false, CommandLine::Mode::probeMinSize},
    {"--render-menubar-icons", true, CommandLine::Mode::renderMenuBarIcons},
    {"--write-sample-layout", true, CommandLine::Mode::writeSampleLayout},
};

}  // namespace

CommandLine::Choice CommandLine::choose(const std::vector<std::string>& arguments,
                                        const std::vector<Mode>& unavailable) {
    for (const Option& option : options) {
        if (std::find(unavailable.begin(), unavailable.end(), option.mode) != unavailable.end()) continue;
        // The program path is never an option.
        auto first = std::find(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end(), option.name);
        if (first == arguments.end()) continue;
        const auto position = static_cast<std::size_t>(first - arguments.begin());
        if (!option.takesValue) return {option.mode, "", position};
        // Only the first occurrence counts; with nothing after it the option is absent.
        if (position + 1 >= arguments.size()) continue;
        return {option.mode, arguments[position + 1], position};
    }
    return {};
}

}  // namespace kestr
