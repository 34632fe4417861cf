#include "Core/HotkeyManager.h"

#include <algorithm>
#include <bit>
#include <set>
#include <string>

#include "Core/HotkeyConflictNames.h"
#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "Platform/Platform.h"

namespace kestr {

namespace {

constexpr std::size_t automaticKeyCount = std::size(HotkeyManager::automaticKeyCodes);

void log(const std::string& text) { platform().log().line("kestr[hotkey]: " + text); }

}  // namespace

HotkeyManager::HotkeyManager() : self_(std::make_shared<HotkeyManager*>(this)) {}

HotkeyManager::~HotkeyManager() = default;

HotkeyManager& HotkeyManager::shared() { return platform().shared<HotkeyManager>(); }

void HotkeyManager::installIfNeeded() {
    if (installed) return;
    installed = true;
    std::weak_ptr<HotkeyManager*> weak = self_;
    // The status is not looked at; a failed installation is not retried.
    platform().hotKeys().installApplicationHandler([weak](const HotKeyEvent* event) -> std::int32_t {
        auto self = weak.lock();
        if (!event || !self) return HotKeyStatus::noErr;
        return (*self)->handleEvent(event);
    });
}

std::int32_t HotkeyManager::handleEvent(const HotKeyEvent* event) {
    if (!event) return HotKeyStatus::noErr;
    if (!event->directObject) return HotKeyStatus::eventParameterNotFound;
    // The signature is not compared: identifiers are ours alone.
    if (!suspended) {
        auto it = handlers.find(event->directObject->id);
        if (it != handlers.end()) {
            auto handler = it->second;  // a handler may re-synchronise
            handler();
        }
    }
    return HotKeyStatus::noErr;
}

std::optional<std::uint32_t> HotkeyManager::registerCarbon(const Hotkey& hotkey, std::function<void()> handler,
                                                           bool live) {
    // Taken before registering, so a refused attempt consumes its identifier too.
    const std::uint32_t id = nextID++;
    lastStatus_ = HotKeyStatus::noErr;
    if (!live) {
        if (ownHolder(hotkey)) return std::nullopt;
        // The keyboard is asked as the desktop would answer a registration, nothing taken.
        if (!platform().hotKeys().hasKey(hotkey.keyCode)) {
            lastStatus_ = HotKeyStatus::eventHotKeyInvalid;
            return std::nullopt;
        }
        return id;
    }
    const auto result =
        platform().hotKeys().registerHotKey(hotkey.keyCode, hotkey.modifiers, EventHotKeyID{signature, id});
    lastStatus_ = result.status;
    if (result.status != HotKeyStatus::noErr || !result.reference) return std::nullopt;
    handlers[id] = std::move(handler);
    hotKeyRefs[id] = *result.reference;
    return id;
}

void HotkeyManager::unregisterAll() {
    HotKeys& hotKeys = platform().hotKeys();
    for (const auto& [id, reference] : hotKeyRefs) hotKeys.unregisterHotKey(reference);
    hotKeyRefs.clear();
    handlers.clear();
    registrations.clear();
    ++revision_;
}

void HotkeyManager::refuse(std::vector<Conflict>& conflicts, const HotkeySource& source, const Hotkey& hotkey,
                           const std::vector<Layout>& layouts, bool live) {
    const auto holder = ownHolder(hotkey);
    // A key this keyboard lacks is refused too, but nobody holds it.
    const bool lacking = !holder && lastStatus_ == HotKeyStatus::eventHotKeyInvalid;
    conflicts.push_back({source, hotkey, holder, lacking});
    if (!holder && lastStatus_ == HotKeyStatus::eventHotKeyExists) heldByOtherPrograms.push_back(conflicts.back());
    if (lacking) lackingKeys.insert(hotkey);
    const auto* snap = std::get_if<HotkeySource::Snap>(&source.value);
    if (!live || (!holder && !snap) || ++refusalLines_ > namedRefusals) return;
    const char* unheld = lacking ? "this keyboard has no such key" : "likely taken by the system or another app";
    log((snap ? "snap '" + snap->action.rawValue() + "'" : hotkeySourceName(source, layouts)) + " (" +
        hotkey.displayString() + ") FAILED to register — " +
        (holder ? "already used by kestr's " + hotkeySourceName(*holder, layouts) : std::string(unheld)));
}

std::vector<HotkeyManager::Conflict> HotkeyManager::sync(const std::vector<Layout>& layouts,
                                                         const std::vector<SnapBinding>& snaps) {
    return assign(layouts, snaps, true);
}

void HotkeyManager::plan(const std::vector<Layout>& layouts, const std::vector<SnapBinding>& snaps) {
    assign(layouts, snaps, false);
}

std::vector<HotkeyManager::Conflict> HotkeyManager::assign(const std::vector<Layout>& layouts,
                                                           const std::vector<SnapBinding>& snaps, bool live) {
    if (live) installIfNeeded();
    unregisterAll();
    heldByOtherPrograms.clear();
    lackingKeys.clear();
    refusalLines_ = 0;
    std::vector<Conflict> conflicts;
    std::weak_ptr<HotkeyManager*> weak = self_;

    // Digits a kest holds as its own control+option+command shortcut are never handed out.
    std::set<std::uint32_t> reserved;
    for (const Layout& layout : layouts) {
        if (layout.hotkey && layout.hotkey->modifiers == automaticModifiers) reserved.insert(layout.hotkey->keyCode);
    }

    std::size_t cursor = 0;
    for (const Layout& layout : layouts) {
        Hotkey hotkey;
        bool autoAssigned = false;
        if (layout.hotkey) {
            hotkey = *layout.hotkey;
        } else {
            while (cursor < automaticKeyCount && reserved.count(automaticKeyCodes[cursor])) ++cursor;
            if (cursor >= automaticKeyCount) continue;  // no shortcut, and no conflict either
            hotkey = Hotkey{automaticKeyCodes[cursor], automaticModifiers};
            autoAssigned = true;
            ++cursor;
        }
        const Uuid id = layout.id;
        const auto registered = registerCarbon(
            hotkey,
            [weak, id] {
                auto self = weak.lock();
                if (!self) return;
                spawn((*self)->runKest(id));
            },
            live);
        if (registered)
            registrations.push_back({HotkeySource::layout(id), hotkey, autoAssigned});
        else
            refuse(conflicts, HotkeySource::layout(id), hotkey, layouts, live);
    }

    const Hotkey capture =
        Preferences::shared().captureHotkey().value_or(Hotkey{defaultCaptureKeyCode, automaticModifiers});
    const auto captureID = registerCarbon(
        capture,
        [weak] {
            auto self = weak.lock();
            if (self && (*self)->captureHandler) (*self)->captureHandler();
        },
        live);
    if (captureID)
        registrations.push_back({HotkeySource::captureCurrent(), capture, false});
    else
        refuse(conflicts, HotkeySource::captureCurrent(), capture, layouts, live);

    for (const SnapBinding& binding : snaps) {
        const SnapAction action = binding.action;
        const auto registered = registerCarbon(
            binding.hotkey,
            [weak, action] {
                auto self = weak.lock();
                if (!self) return;
                spawn((*self)->runSnap(action));
            },
            live);
        if (registered)
            registrations.push_back({HotkeySource::snap(action), binding.hotkey, false});
        else
            refuse(conflicts, HotkeySource::snap(action), binding.hotkey, layouts, live);
    }

    if (refusalLines_ > namedRefusals)
        log("… and " + std::to_string(refusalLines_ - namedRefusals) + " more hotkey(s) FAILED to register");
    // Asked when only planned too: the look at the modifier keys lets go of them at once.
    checkHeldModifiers(live);
    if (!live) return conflicts;
    // A modifier another program holds is one conflict more.
    const std::size_t conflictCount = conflicts.size() + static_cast<std::size_t>(std::popcount(heldModifiers));
    log(std::to_string(registrations.size()) + " hotkeys registered, " + std::to_string(conflictCount) +
        " conflict(s); " + std::to_string(snaps.size()) + " snap(s) + " + std::to_string(layouts.size()) +
        " kest(s) requested");
    // What registering them again needs of each kest, not its windows: a copy of every
    // kest would cost as much as loading them.
    std::vector<Layout> synced;
    synced.reserve(layouts.size());
    for (const Layout& layout : layouts) {
        Layout kept;
        kept.id = layout.id;
        kept.name = layout.name;
        kept.hotkey = layout.hotkey;
        synced.push_back(std::move(kept));
    }
    lastSyncedLayouts = std::move(synced);
    syncedNames_.reset();
    lastSyncedSnaps = snaps;
    return conflicts;
}

void HotkeyManager::checkHeldModifiers(bool live) {
    std::uint32_t used = 0;
    for (const Registration& r : registrations) used |= r.hotkey.modifiers;
    const std::uint32_t before = heldModifiers;
    heldModifiers = used ? platform().hotKeys().modifiersHeldElsewhere(used) : 0;
    modifierHolders.clear();
    for (const std::uint32_t modifier : CarbonModifier::each) {
        if (!(heldModifiers & modifier)) continue;
        modifierHolders[modifier] = platform().hotKeys().modifierHolder(modifier);
        if (!live) continue;
        log("the " + platform().wording().modifierKey(modifier) +
            " key is held by another program (often the window manager): " +
            std::to_string(registrationsWith(modifier)) + " shortcut(s) with it never reach kestr");
    }
    if (live && heldModifiers != before && onHeldModifiersChange) onHeldModifiersChange();
}

std::size_t HotkeyManager::registrationsWith(std::uint32_t modifier) const {
    return static_cast<std::size_t>(
        std::count_if(registrations.begin(), registrations.end(),
                      [&](const Registration& r) { return r.hotkey.modifiers & modifier; }));
}

const ModifierHolder* HotkeyManager::holderOf(std::uint32_t modifier) const {
    const auto holder = modifierHolders.find(modifier);
    return holder != modifierHolders.end() && holder->second ? &*holder->second : nullptr;
}

std::string HotkeyManager::heldKeySentence(std::uint32_t modifier, const char* unknownKeeper) const {
    const ModifierHolder* holder = holderOf(modifier);
    return (holder ? holder->name : std::string(unknownKeeper)) + " keeps the " +
           platform().wording().modifierKey(modifier) + " key for itself";
}

std::string HotkeyManager::heldKeyAdvice(std::uint32_t modifier) const {
    const std::string held = heldKeySentence(modifier, "Another program, often the window manager,") +
                             ", so kestr's shortcuts with it never arrive. ";
    if (const ModifierHolder* holder = holderOf(modifier))
        return held + "To free it, " + holder->howToFree + ", then start kestr again.";
    return held + "Free the key in that program's settings, or choose shortcuts without it.";
}

bool HotkeyManager::lacks(const Hotkey& hotkey) const { return lackingKeys.contains(hotkey); }

bool HotkeyManager::arrives(const Hotkey& hotkey, const std::optional<HotkeySource>& source) const {
    if (hotkey.modifiers & heldModifiers) return false;
    if (source && takenFrom(*source, hotkey)) return false;
    if (lacks(hotkey)) return false;
    return std::none_of(heldByOtherPrograms.begin(), heldByOtherPrograms.end(),
                        [&](const Conflict& c) { return c.hotkey == hotkey; });
}

std::string HotkeyManager::shownKeys(const Hotkey& hotkey, bool shortForm,
                                     const std::optional<HotkeySource>& source) const {
    const std::string keys = shortForm ? hotkey.shortDisplayString() : hotkey.displayString();
    return arrives(hotkey, source) ? keys : notArrivingMark + keys;
}

std::optional<std::string> HotkeyManager::whyNotArriving(const Hotkey& hotkey,
                                                         const std::optional<HotkeySource>& source) const {
    if (arrives(hotkey, source)) return std::nullopt;
    for (const std::uint32_t modifier : CarbonModifier::each) {
        if (hotkey.modifiers & heldModifiers & modifier)
            return heldKeySentence(modifier) + ", so this shortcut never reaches kestr";
    }
    if (const auto holder = source ? takenFrom(*source, hotkey) : std::nullopt)
        return "kestr's " + shownHotkeySourceName(*holder, syncedKestNames()) +
               " uses this shortcut, so it never runs this";
    if (lacks(hotkey)) return std::string("This keyboard has no key for this shortcut, so it never reaches kestr");
    return std::string("Another program holds this shortcut, so it never reaches kestr");
}

const KestNames& HotkeyManager::syncedKestNames() const {
    if (!syncedNames_) syncedNames_.emplace(lastSyncedLayouts);
    return *syncedNames_;
}

std::optional<HotkeySource> HotkeyManager::takenFrom(const HotkeySource& source, const Hotkey& hotkey) const {
    const auto holder = ownHolder(hotkey);
    if (holder && *holder != source) return holder;
    return std::nullopt;
}

std::optional<std::string> HotkeyManager::heldKeysSummary() const {
    std::string summary;
    for (const std::uint32_t modifier : CarbonModifier::each) {
        if (!(heldModifiers & modifier)) continue;
        const std::size_t count = registrationsWith(modifier);
        if (!summary.empty()) summary += "; ";
        summary += heldKeySentence(modifier) + ": " + std::to_string(count) +
                   (count == 1 ? " shortcut never arrives" : " shortcuts never arrive");
    }
    if (summary.empty()) return std::nullopt;
    return summary;
}

std::optional<HotkeySource> HotkeyManager::ownHolder(const Hotkey& hotkey) const {
    for (const Registration& r : registrations) {
        if (r.hotkey == hotkey) return r.source;
    }
    return std::nullopt;
}

std::optional<Hotkey> HotkeyManager::effectiveHotkey(const Uuid& layoutID) const {
    for (const Registration& r : registrations) {
        if (r.source == HotkeySource::layout(layoutID)) return r.hotkey;
    }
    return std::nullopt;
}

std::optional<Hotkey> HotkeyManager::kestHotkey(const Layout& kest) const {
    if (const auto registered = effectiveHotkey(kest.id)) return registered;
    if (kest.hotkey && !arrives(*kest.hotkey, HotkeySource::layout(kest.id))) return kest.hotkey;
    return std::nullopt;
}

std::optional<std::string> HotkeyManager::shownKestKeys(const Layout& kest) const {
    const auto hotkey = kestHotkey(kest);
    if (!hotkey) return std::nullopt;
    return shownKeys(*hotkey, false, HotkeySource::layout(kest.id));
}

std::optional<Hotkey> HotkeyManager::arrivingCaptureHotkey() const {
    const auto hotkey = captureHotkey();
    if (hotkey && !arrives(*hotkey)) return std::nullopt;
    return hotkey;
}

std::optional<Hotkey> HotkeyManager::captureHotkey() const {
    for (const Registration& r : registrations) {
        if (r.source == HotkeySource::captureCurrent()) return r.hotkey;
    }
    return std::nullopt;
}

void HotkeyManager::pauseForRecording() {
    if (!installed || pausedForRecording) return;
    pausedForRecording = true;
    unregisterAll();
}

void HotkeyManager::resumeAfterRecording() {
    if (!pausedForRecording) return;
    pausedForRecording = false;
    const auto layouts = lastSyncedLayouts;
    const auto snaps = lastSyncedSnaps;
    sync(layouts, snaps);
}

Task<void> HotkeyManager::runKest(Uuid layoutID) {
    // The kest as stored at the time of the press, so edits since the last sync count.
    std::optional<Layout> layout;
    for (const Layout& l : LayoutStore::shared().layouts) {
        if (l.id == layoutID) {
            layout = l;
            break;
        }
    }
    if (!layout || !applyKest) co_return;
    const auto applied = co_await applyKest(*layout);
    // An apply dropped as re-entrant placed nothing: nothing becomes active, nothing
    // flashes.
    if (!applied) co_return;
    if (setTrackerActiveLayout) setTrackerActiveLayout(applied);
    if (setOverlayActiveLayout) setOverlayActiveLayout(applied);
    if (onKestApplied) onKestApplied();
}

Task<void> HotkeyManager::runSnap(SnapAction action) {
    if (!applySnap) co_return;
    try {
        co_await applySnap(action);
    } catch (const std::exception& e) {
        platform().log().line("kestr: snap '" + action.rawValue() + "' failed: " + e.what());
    }
}

}  // namespace kestr
