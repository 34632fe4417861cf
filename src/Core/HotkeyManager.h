// Every global shortcut of kestr: one per kest (its own, or one of nine automatic
// control+option+command+digit keys), the capture shortcut, and one per snap binding.
// Re-synchronised as a whole; presses are dispatched by registration identifier.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "Core/Hotkey.h"
#include "Core/HotkeySource.h"
#include "Core/KestNames.h"
#include "Core/Layout.h"
#include "Platform/HotKeys.h"
#include "Platform/Runtime/Task.h"
#include "Core/SnapBinding.h"

namespace kestr {

class HotkeyManager {
public:
    struct Registration {
        HotkeySource source;
        Hotkey hotkey;
        bool autoAssigned = false;
        friend bool operator==(const Registration&, const Registration&) = default;
    };
    struct Conflict {
        HotkeySource source;
        Hotkey hotkey;
        // kestr's own shortcut that took the key earlier in the same synchronisation;
        // none when another program holds it, or when nobody does.
        std::optional<HotkeySource> heldBy;
        // This keyboard has no such key: nobody holds it.
        bool keyMissing = false;
        friend bool operator==(const Conflict&, const Conflict&) = default;
    };

    // Every hot key of ours carries this signature.
    static constexpr std::uint32_t signature = fourCharCode("SKST");
    static constexpr std::uint32_t automaticModifiers = 0x1900;
    // The keys kests are given with those modifiers: 1 to 9 of the ANSI layout, in digit order.
    static constexpr std::uint32_t automaticKeyCodes[] = {18, 19, 20, 21, 23, 22, 26, 28, 25};
    static constexpr std::uint32_t defaultCaptureKeyCode = 36;
    // The refusals the log names at one synchronisation; the rest are counted in one line.
    static constexpr std::size_t namedRefusals = 10;

    HotkeyManager();
    ~HotkeyManager();
    static HotkeyManager& shared();

    std::vector<Conflict> sync(const std::vector<Layout>& layouts, const std::vector<SnapBinding>& snaps);
    // What a synchronisation would register, kept in `registrations`, without registering
    // any key or logging: for the modes that only draw the shortcuts. A key an earlier
    // shortcut of the same call takes is refused, as in a synchronisation, a key this
    // keyboard does not have is refused as the desktop refuses it, and a modifier
    // another program keeps for itself is found as there (its keys are tried and let go
    // at once), so the drawn shortcuts are marked as the running program marks them.
    void plan(const std::vector<Layout>& layouts, const std::vector<SnapBinding>& snaps);
    std::optional<Hotkey> effectiveHotkey(const Uuid& layoutID) const;
    // The shortcut every place shows for a kest: the one registered for it, else its own
    // when a press of it never runs the kest (another of kestr's shortcuts took it first,
    // or another program holds it), which shownKeys marks; none when it has neither.
    std::optional<Hotkey> kestHotkey(const Layout& kest) const;
    // Those keys as shownKeys writes them for the kest; none when it has none.
    std::optional<std::string> shownKestKeys(const Layout& kest) const;
    std::optional<Hotkey> captureHotkey() const;
    // The capture shortcut when a press of it reaches kestr: registered, and it arrives.
    std::optional<Hotkey> arrivingCaptureHotkey() const;

    // Whether a press of `hotkey` reaches kestr: the keyboard has the key, no other program
    // holds it, and none of its modifiers is one another program keeps for itself. Every place that shows a
    // shortcut writes it with shownKeys, so none offers one that never arrives as usable.
    // Given the shortcut's `source`, also whether the press runs it: none of kestr's other
    // shortcuts took the key first.
    bool arrives(const Hotkey& hotkey, const std::optional<HotkeySource>& source = std::nullopt) const;
    // The keys as kestr shows them (the desktop's short form for narrow places), with
    // `notArrivingMark` in front when a press of them never arrives (at `source`).
    std::string shownKeys(const Hotkey& hotkey, bool shortForm = false,
                          const std::optional<HotkeySource>& source = std::nullopt) const;
    static constexpr const char* notArrivingMark = "\u26A0 ";
    // Whether the last synchronisation found that this keyboard has no such key.
    bool lacks(const Hotkey& hotkey) const;
    // Why a press of `hotkey` never reaches kestr (or `source`), as a sentence for its
    // tooltip; none when it arrives.
    std::optional<std::string> whyNotArriving(const Hotkey& hotkey,
                                              const std::optional<HotkeySource>& source = std::nullopt) const;
    // What keeps kestr's shortcuts from arriving, as the status button says it ("IceWM
    // keeps the Super key for itself: 43 shortcuts never arrive"); none when nothing does.
    std::optional<std::string> heldKeysSummary() const;
    // What the onboarding and the Snaps section say of a held modifier: who keeps it
    // ("IceWM", where the desktop can tell), that shortcuts with it never arrive, and
    // what frees it.
    std::string heldKeyAdvice(std::uint32_t modifier) const;
    void unregisterAll();
    // Goes up whenever the registrations, or what is known of the keys they hold, may
    // have changed: what shows them, made at the same value, shows them as they are.
    std::uint64_t revision() const { return revision_; }

    // The shortcut recorder's pause: everything is unregistered while it records, and
    // registered again from the last synchronisation when it is done.
    void pauseForRecording();
    void resumeAfterRecording();

    std::vector<Registration> registrations;
    // The keys of the last synchronisation that another program holds: refused as
    // taken while none of kestr's own shortcuts held them.
    std::vector<Conflict> heldByOtherPrograms;
    // The keys of the last synchronisation that this keyboard does not have: refused by
    // the desktop, and no press of them ever comes.
    std::set<Hotkey> lackingKeys;
    std::function<void()> captureHandler;
    std::function<void()> onKestApplied;
    bool suspended = false;
    std::uint32_t nextID = 1;
    std::map<std::uint32_t, std::uint64_t> hotKeyRefs;
    std::map<std::uint32_t, std::function<void()>> handlers;
    bool installed = false;
    // The kests of the last sync, each with its identifier, name and shortcut only.
    std::vector<Layout> lastSyncedLayouts;
    std::vector<SnapBinding> lastSyncedSnaps;
    bool pausedForRecording = false;
    // Modifiers (CarbonModifier bits) of the registered shortcuts whose own keys another
    // program holds for itself, found at the last synchronisation: every shortcut with
    // one of them goes to that program, so each counts as a conflict of its own.
    std::uint32_t heldModifiers = 0;
    // Who keeps each of `heldModifiers` for itself, where the desktop can tell; asked
    // once, at the synchronisation that found the modifier held.
    std::map<std::uint32_t, std::optional<ModifierHolder>> modifierHolders;
    // Called when a synchronisation finds other modifiers held than the one before.
    std::function<void()> onHeldModifiersChange;

    // Filled in by the subsystems that own them. A kest applied by its shortcut becomes
    // the active kest of edge resizing (first the tracker, then the overlays).
    std::function<void(const std::optional<Layout>&)> setTrackerActiveLayout;
    std::function<void(const std::optional<Layout>&)> setOverlayActiveLayout;
    // Applies a kest pressed by its shortcut and gives the kest as applied, or none when
    // the apply placed nothing (dropped while another apply runs). The layout engine
    // provides it; without it a kest's shortcut does nothing.
    std::function<Task<std::optional<Layout>>(Layout)> applyKest;
    // Snaps the focused window; failures are thrown.
    std::function<Task<void>(SnapAction)> applySnap;

    // What a press of a hot key runs; public so the pieces can be tested alone.
    std::int32_t handleEvent(const HotKeyEvent* event);
    Task<void> runKest(Uuid layoutID);
    Task<void> runSnap(SnapAction action);

private:
    void installIfNeeded();
    // Finds the modifiers of our registrations that another program holds; a live
    // synchronisation logs them and tells `onHeldModifiersChange`.
    void checkHeldModifiers(bool live);
    // The registrations with that modifier (one CarbonModifier bit).
    std::size_t registrationsWith(std::uint32_t modifier) const;
    // "IceWM keeps the Super key for itself", for a held modifier; `unknownKeeper` in
    // place of the name where the desktop cannot tell who keeps it.
    std::string heldKeySentence(std::uint32_t modifier, const char* unknownKeeper = "Another program") const;
    // Who keeps that held modifier, where the desktop can tell.
    const ModifierHolder* holderOf(std::uint32_t modifier) const;
    // A synchronisation, registering with the desktop when `live`, else only planned.
    std::vector<Conflict> assign(const std::vector<Layout>& layouts, const std::vector<SnapBinding>& snaps, bool live);
    // The registration of this synchronisation that holds the key, if any.
    std::optional<HotkeySource> ownHolder(const Hotkey& hotkey) const;
    // The other shortcut of kestr's that holds `hotkey`, which `source` wants too.
    std::optional<HotkeySource> takenFrom(const HotkeySource& source, const Hotkey& hotkey) const;
    std::optional<std::uint32_t> registerCarbon(const Hotkey& hotkey, std::function<void()> handler, bool live);
    // Records a refused registration of the key that was tried last; a live one names,
    // in the log, a snap refused and any shortcut whose key kestr's own shortcut holds.
    void refuse(std::vector<Conflict>& conflicts, const HotkeySource& source, const Hotkey& hotkey,
                const std::vector<Layout>& layouts, bool live);
    // The names of lastSyncedLayouts, by which a tooltip names the kest that holds a key:
    // gathered at the first need after each synchronisation, so that naming the holder
    // in every row of a menu costs a look-up each.
    const KestNames& syncedKestNames() const;
    std::int32_t lastStatus_ = HotKeyStatus::noErr;
    // The refusals of this synchronisation the log was to name, named or not.
    std::size_t refusalLines_ = 0;
    std::uint64_t revision_ = 0;
    mutable std::optional<KestNames> syncedNames_;
    std::shared_ptr<HotkeyManager*> self_;
};

}  // namespace kestr
