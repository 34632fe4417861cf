// The exception an operation throws, for tests that look at more than its type.
#pragma once

#include <gtest/gtest.h>

#include <optional>

namespace kestr::test {

// The E that `operation` throws; none, and a failed test, when it throws nothing.
// Any other exception passes through.
template <class E, class F>
std::optional<E> thrown(F&& operation) {
    try {
        operation();
    } catch (const E& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was thrown";
    return std::nullopt;
}

}  // namespace kestr::test
