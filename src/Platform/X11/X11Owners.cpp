#include "Platform/X11/X11Owners.h"

#include <algorithm>

namespace kestr {

void X11Owners::rebuild(const std::vector<xcb_window_t>& frontToBack,
                        const std::map<xcb_window_t, X11Client>& clients) {
    owners_.clear();
    rank_.clear();
    for (std::size_t i = 0; i < frontToBack.size(); ++i) {
        rank_[frontToBack[i]] = i;
        const auto it = clients.find(frontToBack[i]);
        if (it != clients.end()) add(it->second);
    }
}

void X11Owners::remove(const X11Client& client) {
    if (!client.pid) return;
    const auto it = owners_.find(*client.pid);
    if (it == owners_.end()) return;
    auto& windows = it->second.windows;
    const auto at = std::find(windows.begin(), windows.end(), client.id);
    if (at == windows.end()) return;
    windows.erase(at);
    if (client.isArrangeable()) --it->second.arranging;
    if (windows.empty()) owners_.erase(it);
}

void X11Owners::add(const X11Client& client) {
    if (!client.pid || *client.pid <= 0) return;
    const auto rank = rank_.find(client.id);
    if (rank == rank_.end()) return;  // not (or no longer) in the stacking
    Owner& owner = owners_[*client.pid];
    const auto behind = std::find_if(owner.windows.begin(), owner.windows.end(), [&](xcb_window_t w) {
        const auto other = rank_.find(w);
        return other != rank_.end() && other->second > rank->second;
    });
    owner.windows.insert(behind, client.id);
    if (client.isArrangeable()) ++owner.arranging;
}

const X11Owners::Owner* X11Owners::find(std::int32_t pid) const {
    const auto it = owners_.find(pid);
    return it == owners_.end() ? nullptr : &it->second;
}

}  // namespace kestr
