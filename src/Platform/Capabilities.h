// What the running desktop can do, for the few callers whose way of working depends on
// it. Each answer is about the desktop, never a question of which desktop runs.
#pragma once

namespace kestr {

struct Capabilities {
    // Whether the permission to control other windows can be granted or taken away
    // while the program runs (so it is worth watching).
    bool trustCanChange = true;
    // Whether synthetic clicks may be posted to the user's desktop to drive the
    // system's own user interface.
    bool syntheticInputToDesktop = true;
    // Whether other applications take scripts (to open, fill and read their windows);
    // where they do not, an application's command line opens its fresh windows.
    bool applicationsTakeScripts = true;
    // Whether applications go by the ids of their desktop files (a Linux desktop) rather
    // than by bundle identifiers; tables of particular applications pick their rows by it.
    bool desktopFileIDs = false;
    // Whether the window manager has its own Option-drag tiling, switched in a defaults
    // suite of its own, which drag snap turns off while Option is its modifier.
    bool optionDragTiling = true;
    // Whether a display may have a notch in its top edge that hides status items.
    bool notchedDisplays = true;
    // Whether a compositing manager blends translucent windows with what lies under
    // them; without one a translucent window shows black where it is clear.
    bool compositingManager = true;
    // Whether what lies under a translucent window is blurred, as under a menu's
    // material; where it is not, text under a translucent window shows through.
    bool blurBehindWindows = true;
    // Whether the window a mouse button went down in hears its release wherever the
    // pointer is, for as long as that window stays on screen: a release the button
    // state already shows may still be on its way to that window. The simulated desktop
    // hands each event to whoever its test names.
    bool releaseGoesToPressedWindow = false;

    // What an X11 session with an EWMH window manager can do; whether a compositing
    // manager runs is the session's own.
    static Capabilities x11Session(bool compositingManager) {
        Capabilities c;
        c.trustCanChange = false;  // X11 has no permission to watch
        c.syntheticInputToDesktop = false;
        c.applicationsTakeScripts = false;
        c.desktopFileIDs = true;
        c.optionDragTiling = false;
        c.notchedDisplays = false;
        c.compositingManager = compositingManager;
        // X11 has no common way to ask a compositing manager for a blur.
        c.blurBehindWindows = false;
        c.releaseGoesToPressedWindow = true;  // the server's implicit grab of a press
        return c;
    }
};

}  // namespace kestr
