// Short messages shown near the top of the screen under the pointer, which go away by
// themselves. Core logic asks for them; the user interface shows them.
#pragma once

#include <string>

namespace kestr {

enum class ToastFeel : int {
    plain = 0,
    // Also beeps, to draw attention to something that did not happen.
    alert = 1,
};

class Toasts {
public:
    virtual ~Toasts() = default;
    // Shows `text` for `duration` seconds from now; a new toast replaces the one showing.
    virtual void show(const std::string& text, ToastFeel feel, double duration) = 0;
};

}  // namespace kestr
