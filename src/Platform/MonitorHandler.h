// The body of every mouse-monitor handler that only hands the event over: it ignores the
// event's own fields and runs an operation of its owner on the main actor a moment
// later, when the owner still exists. The owner hands out weak references to a shared
// pointer to itself, which it holds for its whole life.
#pragma once

#include <functional>
#include <memory>

#include "Platform/EventMonitors.h"
#include "Platform/Platform.h"

namespace kestr {

template <class T>
std::function<void()> onMainActorWhileAlive(std::weak_ptr<T*> owner, void (T::*operation)()) {
    return [owner, operation] {
        platform().mainActor().post([owner, operation] {
            if (auto self = owner.lock()) ((*self)->*operation)();
        });
    };
}

template <class T>
std::function<void(const Event&)> globalMonitorHandler(std::weak_ptr<T*> owner, void (T::*operation)()) {
    auto run = onMainActorWhileAlive(std::move(owner), operation);
    return [run](const Event&) { run(); };
}

}  // namespace kestr
