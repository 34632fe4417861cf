#include "Platform/Sim/SimFileWatch.h"

namespace kestr {

std::unique_ptr<FileWatch::Watch> SimFileWatch::watch(const std::string& path, std::function<void()> changed) {
    const std::uint64_t id = nextID_++;
    watched_->emplace(id, Watched{path, std::move(changed)});
    return std::make_unique<Watch>([weak = std::weak_ptr<Registry>(watched_), id] {
        if (auto watched = weak.lock()) watched->erase(id);
    });
}

void SimFileWatch::fileChanged(const std::string& path) {
    for (auto& [id, watched] : *watched_) {
        if (watched.path != path || watched.pending) continue;
        watched.pending = true;
        actor_.post([weak = std::weak_ptr<Registry>(watched_), id = id] {
            auto registry = weak.lock();
            if (!registry) return;
            const auto it = registry->find(id);
            if (it == registry->end()) return;
            it->second.pending = false;
            const auto changed = it->second.changed;
            changed();
        });
    }
}

}  // namespace kestr
