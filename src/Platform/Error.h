// The root of every error kestr throws. what() is the sentence shown to the user or
// written to the log.
#pragma once

#include <stdexcept>
#include <string>

namespace kestr {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

// Thrown by a suspended operation whose task was cancelled (see Task.h).
class CancellationError : public Error {
public:
    CancellationError() : Error("cancelled") {}
};

}  // namespace kestr
