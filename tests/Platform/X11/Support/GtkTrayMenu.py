#!/usr/bin/python3
# A GTK tray's menu of kestr's item, as Xfce's panel draws it: libdbusmenu-gtk builds the
# menu from the item's bus name and menu path. Each line on standard input opens the menu
# (the tray's "about to show"); after each opening and each change the client makes one
# line goes out: the rows as drawn, a JSON list of [depth, text, enabled, keys], separators
# as "---".
import json
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Dbusmenu", "0.4")
gi.require_version("DbusmenuGtk3", "0.4")
from gi.repository import DbusmenuGtk3, GLib, Gtk  # noqa: E402

menu = DbusmenuGtk3.Menu.new(sys.argv[1], sys.argv[2])
accel_group = Gtk.AccelGroup()
menu.get_client().set_accel_group(accel_group)


def shown_text(widget):
    if isinstance(widget, Gtk.Label):
        return widget.get_text()
    if isinstance(widget, Gtk.Container):
        for child in widget.get_children():
            text = shown_text(child)
            if text is not None:
                return text
    return None


def shown_keys(item):
    # The keys the item's accelerator label draws: those it was given in the menu's group.
    for closure in item.list_accel_closures():
        found = accel_group.find(lambda key, other, data: other == closure, None)
        if found:
            return Gtk.accelerator_name(found.accel_key, found.accel_mods)
    return ""


def rows(shell, depth=0):
    out = []
    for item in shell.get_children():
        if isinstance(item, Gtk.SeparatorMenuItem):
            out.append([depth, "---", False, ""])
            continue
        out.append([depth, shown_text(item) or "", item.get_sensitive(), shown_keys(item)])
        if item.get_submenu():
            out += rows(item.get_submenu(), depth + 1)
    return out


scheduled = False


def report():
    global scheduled
    scheduled = False
    print(json.dumps(rows(menu)), flush=True)
    return False


def schedule(*_):
    # Once the client has made the rows of what came in, at low priority.
    global scheduled
    if not scheduled:
        scheduled = True
        GLib.idle_add(report, priority=GLib.PRIORITY_LOW)


def command(channel, condition):
    if not channel.readline():
        Gtk.main_quit()
        return False
    # The rows are made while the menu is up; it stays up until the next opening.
    menu.popdown()
    menu.popup_at_pointer(None)
    schedule()
    return True


def watch(item):
    for signal in ("realized", "property-changed", "child-removed", "child-moved"):
        item.connect(signal, schedule)
    item.connect("child-added", lambda parent, child, position: (watch(child), schedule()))
    for child in item.get_children():
        watch(child)


menu.get_client().connect("root-changed", lambda client, root: (root and watch(root), schedule()))
menu.get_client().connect("layout-updated", schedule)
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, command)
Gtk.main()
