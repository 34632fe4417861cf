// Where updates of this kestr come from, told by where the program runs from: one under
// /usr or /bin came with the system's packages, and the package manager updates it; one
// anywhere else (/usr/local, a home folder, another prefix) was built from source and
// installed by hand, and only a newer build replaces it.
#pragma once

#include <string>

namespace kestr {

class UpdateSource {
public:
    explicit UpdateSource(std::string program = runningProgram()) : program_(std::move(program)) {}

    // The path of the running program; "" when the system does not tell.
    static std::string runningProgram();

    bool packageManager() const;
    // The check's alert: its title and its text.
    std::string title() const;
    std::string text() const;

private:
    std::string program_;
};

}  // namespace kestr
