#include "Platform/Sim/SimHotKeys.h"

namespace kestr {

std::int32_t SimHotKeys::installApplicationHandler(HotKeyEventHandler handler) {
    handler_ = std::move(handler);
    return HotKeyStatus::noErr;
}

HotKeyRegistration SimHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id) {
    if (!hasKey(keyCode)) return {HotKeyStatus::eventHotKeyInvalid, std::nullopt};
    if (heldElsewhere_.count({keyCode, modifiers})) return {HotKeyStatus::eventHotKeyExists, std::nullopt};
    for (const auto& [reference, r] : registrations_) {
        if (r.keyCode == keyCode && r.modifiers == modifiers) return {HotKeyStatus::eventHotKeyExists, std::nullopt};
    }
    const std::uint64_t reference = nextReference_++;
    registrations_.emplace(reference, Registration{reference, keyCode, modifiers, id});
    return {HotKeyStatus::noErr, reference};
}

std::int32_t SimHotKeys::unregisterHotKey(std::uint64_t reference) {
    return registrations_.erase(reference) ? HotKeyStatus::noErr : HotKeyStatus::eventHotKeyInvalid;
}

std::vector<SimHotKeys::Registration> SimHotKeys::registrations() const {
    std::vector<Registration> out;
    for (const auto& [reference, r] : registrations_) out.push_back(r);
    return out;
}

void SimHotKeys::holdByOtherProgram(std::uint32_t keyCode, std::uint32_t modifiers) {
    heldElsewhere_.insert({keyCode, modifiers});
}

void SimHotKeys::releaseByOtherProgram(std::uint32_t keyCode, std::uint32_t modifiers) {
    heldElsewhere_.erase({keyCode, modifiers});
}

bool SimHotKeys::pressHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
    if (!handler_) return false;
    for (const auto& [reference, r] : registrations_) {
        if (r.keyCode != keyCode || r.modifiers != modifiers) continue;
        const HotKeyEvent event{r.id};
        // A copy: the handler may re-register every key while it runs.
        auto handler = handler_;
        handler(&event);
        return true;
    }
    return false;
}

std::int32_t SimHotKeys::deliver(const HotKeyEvent* event) {
    if (!handler_) return HotKeyStatus::eventParameterNotFound;
    auto handler = handler_;
    return handler(event);
}

}  // namespace kestr
