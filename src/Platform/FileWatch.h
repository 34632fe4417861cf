// Tells the program that a file changed on the disk (written, replaced, moved or
// removed, by this process or another), so that it can take in another process's
// change. Calls come on the main actor; changes close together may come as one call.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kestr {

class FileWatch {
public:
    // Ends its watch when destroyed.
    class Watch {
    public:
        explicit Watch(std::function<void()> end) : end_(std::move(end)) {}
        ~Watch() { end_(); }
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        std::function<void()> end_;
    };

    virtual ~FileWatch() = default;

    // Watches the file at `path` (which need not exist; its folder must) until the
    // returned watch is destroyed. Throws FileError when it cannot be watched.
    virtual std::unique_ptr<Watch> watch(const std::string& path, std::function<void()> changed) = 0;
};

}  // namespace kestr
