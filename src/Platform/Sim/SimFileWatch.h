// FileWatch of the simulated desktop: the desktop's files report each change they
// make (this process standing for every process in a test), and the watches of the
// changed file run on the main actor, once for the changes made before they run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "Platform/FileWatch.h"
#include "Platform/Runtime/MainActor.h"

namespace kestr {

class SimFileWatch : public FileWatch {
public:
    explicit SimFileWatch(MainActor& actor) : actor_(actor) {}

    std::unique_ptr<Watch> watch(const std::string& path, std::function<void()> changed) override;
    // The file at `path` changed.
    void fileChanged(const std::string& path);

private:
    struct Watched {
        std::string path;
        std::function<void()> changed;
        bool pending = false;
    };
    using Registry = std::map<std::uint64_t, Watched>;
    MainActor& actor_;
    std::shared_ptr<Registry> watched_ = std::make_shared<Registry>();
    std::uint64_t nextID_ = 1;
};

}  // namespace kestr
