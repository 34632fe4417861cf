// FileWatch on Linux: one inotify descriptor, read on the main actor, watching the
// folders of the watched files (an atomic write renames a new file over the old one,
// which a watch on the file itself would lose). A file that is a link is watched where
// it points too.
#pragma once

#include <cstdint>
#include <map>

#include "Platform/FileWatch.h"
#include "Platform/Runtime/MainActor.h"

namespace kestr {

class InotifyFileWatch : public FileWatch {
public:
    explicit InotifyFileWatch(MainActor& actor) : actor_(actor) {}
    ~InotifyFileWatch() override;
    InotifyFileWatch(const InotifyFileWatch&) = delete;
    InotifyFileWatch& operator=(const InotifyFileWatch&) = delete;

    std::unique_ptr<Watch> watch(const std::string& path, std::function<void()> changed) override;

private:
    struct Watched {
        int folder;  // the inotify watch of its folder
        std::string name;
        std::function<void()> changed;
    };
    // Watches one path; gives the id of its entry.
    std::uint64_t add(const std::string& path, const std::function<void()>& changed);
    void readEvents();
    void forget(std::uint64_t id);

    MainActor& actor_;
    int fd_ = -1;
    std::unique_ptr<MainActor::DescriptorWatch> readable_;
    std::map<std::uint64_t, Watched> watched_;
    std::uint64_t nextID_ = 1;
    // Cleared when this goes, so that a watch destroyed later does nothing.
    std::shared_ptr<InotifyFileWatch*> self_ = std::make_shared<InotifyFileWatch*>(this);
};

}  // namespace kestr
