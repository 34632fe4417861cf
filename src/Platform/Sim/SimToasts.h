// Toasts of the simulated desktop: every request is recorded, with the time it was made,
// and passed on to another presenter when one is given.
#pragma once

#include <string>
#include <vector>

#include "Platform/Runtime/MainActor.h"
#include "Platform/Toasts.h"

namespace kestr {

struct ShownToast {
    std::string text;
    ToastFeel feel = ToastFeel::plain;
    double duration = 0;
    // On the main actor's clock.
    double shownAt = 0;
    friend bool operator==(const ShownToast&, const ShownToast&) = default;
};

class SimToasts : public Toasts {
public:
    explicit SimToasts(MainActor& actor) : actor_(actor) {}

    void show(const ToastText& text, ToastFeel feel, double duration) override {
        shown.push_back({text.text, feel, duration, actor_.now()});
        if (forwardTo) forwardTo->show(text, feel, duration);
    }
    // The text on screen now, if any: the latest toast until its duration runs out.
    const ShownToast* current() const {
        if (shown.empty() || actor_.now() >= shown.back().shownAt + shown.back().duration) return nullptr;
        return &shown.back();
    }

    std::vector<ShownToast> shown;
    // The program passes its toast window; tests nothing.
    Toasts* forwardTo = nullptr;

private:
    MainActor& actor_;
};

}  // namespace kestr
