// Application icons as the freedesktop icon theme keeps them: an Icon value is a path, or
// a name looked up in the "hicolor" theme of each data folder (the largest PNG, a
// scalable SVG before all), then in the "pixmaps" folders.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestr {

class IconTheme {
public:
    // `dataFolders` in order of preference, as DesktopEntries takes them.
    explicit IconTheme(std::vector<std::string> dataFolders) : folders_(std::move(dataFolders)) {}

    // The file of the icon (PNG or SVG); none when there is none.
    std::optional<std::string> find(const std::string& icon) const;

private:
    std::vector<std::string> folders_;
};

}  // namespace kestr
