// Short messages shown near the top of the screen under the pointer, which go away by
// themselves. Core logic asks for them; the user interface shows them.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace kestr {

enum class ToastFeel : int {
    plain = 0,
    // Also beeps, to draw attention to something that did not happen.
    alert = 1,
};

// A toast's words, and the part of them that may be shortened when they are too wide for
// the toast: a kest's name or a path, never what the toast says of it.
struct ToastText {
    // Words that are shown whole.
    ToastText(std::string whole) : text(std::move(whole)) {}
    ToastText(const char* whole) : text(whole) {}
    // `before`, then `shortenable`, then `after`.
    static ToastText around(const std::string& before, const std::string& shortenable, const std::string& after) {
        ToastText made(before + shortenable + after);
        made.shortenableFrom = before.size();
        made.shortenableLength = shortenable.size();
        return made;
    }

    std::string text;
    // The shortenable part, in bytes of `text`; empty: none.
    std::size_t shortenableFrom = 0;
    std::size_t shortenableLength = 0;
};

class Toasts {
public:
    virtual ~Toasts() = default;
    // Shows `text` for `duration` seconds from now; a new toast replaces the one showing.
    virtual void show(const ToastText& text, ToastFeel feel, double duration) = 0;
};

}  // namespace kestr
