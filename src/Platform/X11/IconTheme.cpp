#include "Platform/X11/IconTheme.h"

#include <cstdlib>
#include <filesystem>

namespace kestr {

namespace fs = std::filesystem;

namespace {

bool usable(const fs::path& path) {
    std::error_code error;
    return (path.extension() == ".png" || path.extension() == ".svg") && fs::is_regular_file(path, error);
}

// "48x48" → 48, "scalable" above every size, anything else 0.
int rank(const std::string& sizeFolder) {
    if (sizeFolder == "scalable") return 1 << 20;
    return std::atoi(sizeFolder.c_str());
}

}  // namespace

std::optional<std::string> IconTheme::find(const std::string& icon) const {
    if (icon.empty()) return std::nullopt;
    if (icon.front() == '/') return usable(icon) ? std::optional<std::string>(icon) : std::nullopt;
    std::optional<std::string> best;
    int bestRank = -1;
    for (const std::string& folder : folders_) {
        const fs::path theme = fs::path(folder) / "icons" / "hicolor";
        std::error_code error;
        if (!fs::is_directory(theme, error)) continue;
        for (const auto& size : fs::directory_iterator(theme, error)) {
            const int r = rank(size.path().filename().string());
            if (r <= bestRank) continue;
            for (const char* extension : {".svg", ".png"}) {
                const fs::path candidate = size.path() / "apps" / (icon + extension);
                if (!usable(candidate)) continue;
                best = candidate.string();
                bestRank = r;
                break;
            }
        }
        // The first folder that has the icon wins, as with desktop files.
        if (best) return best;
    }
    for (const std::string& folder : folders_) {
        for (const char* extension : {".svg", ".png"}) {
            const fs::path candidate = fs::path(folder) / "pixmaps" / (icon + extension);
            if (usable(candidate)) return candidate.string();
        }
    }
    return std::nullopt;
}

}  // namespace kestr
