// What the user is told when the kests could not be written: one log line with the
// reason and a critical alert that says nothing was lost and what went wrong.
#pragma once

#include <exception>

namespace kestr {

void reportKestSaveFailure(const std::exception& error);

}  // namespace kestr
