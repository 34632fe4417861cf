#include "ClientOptions.h"

#include <cstdio>
#include <stdexcept>

namespace kestr::x11test {
namespace {

ClientSize sizeOf(const std::string& option, const std::string& text) {
    ClientSize size;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &size.width, &size.height, &rest) != 2 || size.width < 0 ||
        size.height < 0)
        throw std::invalid_argument(option + " wants WxH, not \"" + text + "\"");
    return size;
}

ClientGeometry geometryOf(const std::string& text) {
    ClientGeometry g;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d+%d+%d%c", &g.width, &g.height, &g.x, &g.y, &rest) != 4 || g.width <= 0 ||
        g.height <= 0)
        throw std::invalid_argument("--geometry wants WxH+X+Y, not \"" + text + "\"");
    return g;
}

double numberOf(const std::string& option, const std::string& text) {
    try {
        size_t used = 0;
        double value = std::stod(text, &used);
        if (used == text.size() && value >= 0) return value;
    } catch (const std::exception&) {}
    throw std::invalid_argument(option + " wants a number, not \"" + text + "\"");
}

}  // namespace

ClientOptions parseClientOptions(const std::vector<std::string>& arguments) {
    ClientOptions c;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) throw std::invalid_argument(option + " needs a value");
            return arguments[++i];
        };
        if (option == "--title")
            c.title = value();
        else if (option == "--class")
            c.wmClass = value();
        else if (option == "--instance")
            c.instance = value();
        else if (option == "--no-pid")
            c.pid = false;
        else if (option == "--geometry")
            c.geometry = geometryOf(value());
        else if (option == "--min")
            c.minSize = sizeOf(option, value());
        else if (option == "--inc")
            c.increment = sizeOf(option, value());
        else if (option == "--base")
            c.baseSize = sizeOf(option, value());
        else if (option == "--windows")
            c.windows = static_cast<int>(numberOf(option, value()));
        else if (option == "--delay")
            c.delaySeconds = numberOf(option, value());
        else if (option == "--type")
            c.type = value();
        else if (option == "--transient-for-first")
            c.transientForFirst = true;
        else if (option == "--state")
            c.state = value();
        else if (option == "--strut-top")
            c.strutTop = static_cast<int>(numberOf(option, value()));
        else if (option == "--icon")
            c.icon = sizeOf(option, value());
        else if (option == "--detached")
            c.detached = true;
        else if (option == "--ignore-delete")
            c.ignoreDelete = true;
        else if (option == "--keep-width")
            c.keepWidth = static_cast<int>(numberOf(option, value()));
        else if (option == "--arguments-to")
            c.argumentsFile = value();
        else
            c.extra.push_back(option);
    }
    if (!c.extra.empty() && c.argumentsFile.empty()) throw std::invalid_argument("unknown option " + c.extra.front());
    if (c.windows < 1) throw std::invalid_argument("--windows wants at least 1");
    if (c.type != "normal" && c.type != "dialog" && c.type != "utility" && c.type != "dock" && c.type != "desktop")
        throw std::invalid_argument("--type wants normal, dialog, utility, dock or desktop");
    if (!c.state.empty() && c.state != "fullscreen" && c.state != "hidden")
        throw std::invalid_argument("--state wants fullscreen or hidden");
    return c;
}

std::vector<std::string> clientArguments(const ClientOptions& o) {
    auto size = [](ClientSize s) { return std::to_string(s.width) + "x" + std::to_string(s.height); };
    std::vector<std::string> a{"--title", o.title, "--class", o.wmClass, "--instance", o.instance};
    if (!o.pid) a.push_back("--no-pid");
    if (o.geometry) {
        const ClientGeometry& g = *o.geometry;
        a.insert(a.end(),
                 {"--geometry", size({g.width, g.height}) + "+" + std::to_string(g.x) + "+" + std::to_string(g.y)});
    }
    if (o.minSize) a.insert(a.end(), {"--min", size(*o.minSize)});
    if (o.increment) a.insert(a.end(), {"--inc", size(*o.increment)});
    if (o.baseSize) a.insert(a.end(), {"--base", size(*o.baseSize)});
    a.insert(a.end(), {"--windows", std::to_string(o.windows), "--type", o.type});
    if (o.delaySeconds > 0) a.insert(a.end(), {"--delay", std::to_string(o.delaySeconds)});
    if (o.transientForFirst) a.push_back("--transient-for-first");
    if (!o.state.empty()) a.insert(a.end(), {"--state", o.state});
    if (o.strutTop > 0) a.insert(a.end(), {"--strut-top", std::to_string(o.strutTop)});
    if (o.icon) a.insert(a.end(), {"--icon", size(*o.icon)});
    if (o.detached) a.push_back("--detached");
    if (o.ignoreDelete) a.push_back("--ignore-delete");
    if (o.keepWidth) a.insert(a.end(), {"--keep-width", std::to_string(*o.keepWidth)});
    if (!o.argumentsFile.empty()) a.insert(a.end(), {"--arguments-to", o.argumentsFile});
    a.insert(a.end(), o.extra.begin(), o.extra.end());
    return a;
}

}  // namespace kestr::x11test
