// The content editor's commits: a window's tabs or panes, a Terminal profile, a Ghostty
// split, written into the selected kest and saved quietly.
#include "Core/LayoutStore.h"
#include "UI/Manager/KestContentEditor.h"
#include "UI/Manager/LayoutEditorWindow.h"

namespace kestr {

namespace {

// Blank rows (spaces and tabs only) are dropped; the others stay as typed.
std::vector<std::string> keptValues(const std::vector<std::string>& values) {
    std::vector<std::string> kept;
    for (const std::string& value : values) {
        if (value.find_first_not_of(" \t") != std::string::npos) kept.push_back(value);
    }
    return kept;
}

}  // namespace

void LayoutEditorWindow::changeSelectedItem(const Uuid& itemID, const std::function<bool(LayoutItem&)>& change) {
    std::optional<Layout> kest = selectedKest();
    if (!kest) return;
    auto item =
        std::find_if(kest->items.begin(), kest->items.end(), [&](const LayoutItem& i) { return i.id == itemID; });
    if (item == kest->items.end() || !change(*item)) return;
    kest->updatedAt = Date::now();
    store_.update(*kest);
    saveQuietly();
    // The rest of the page shows nothing an edit of content changes.
    showLastSaved(kest->updatedAt);
}

void LayoutEditorWindow::commitContent(const Uuid& itemID, const std::vector<std::string>& values, std::optional<int>) {
    changeSelectedItem(itemID, [&](LayoutItem& item) {
        const std::vector<std::string> kept = keptValues(values);
        const auto kind = KestContentEditor::contentKind(item.appBundleID);
        if (kind == KestContentEditor::ContentKind::browser) {
            // The apply always brings the first tab forward, so the first row is the active one.
            item.browserTabs = kept.empty() ? std::nullopt : std::optional(kept);
            item.browserActiveTabIndex = kept.empty() ? std::nullopt : std::optional<std::int64_t>(0);
            item.browserURL = kept.empty() ? std::nullopt : std::optional(kept.front());
            return true;
        }
        if (kind == KestContentEditor::ContentKind::terminal) {
            item.terminalTabs = kept.empty() ? std::nullopt : std::optional(kept);
            return true;
        }
        return false;
    });
}

void LayoutEditorWindow::commitTerminalProfile(const Uuid& itemID, const std::optional<std::string>& profile) {
    changeSelectedItem(itemID, [&](LayoutItem& item) {
        if (item.appBundleID != "com.apple.Terminal") return false;
        item.terminalProfile = profile;
        return true;
    });
}

void LayoutEditorWindow::commitSplitMode(const Uuid& itemID, const std::optional<std::string>& mode) {
    changeSelectedItem(itemID, [&](LayoutItem& item) {
        if (item.appBundleID != "com.mitchellh.ghostty") return false;
        item.terminalSplitMode = mode;
        return true;
    });
}

}  // namespace kestr
