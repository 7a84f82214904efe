#!/usr/bin/python3
# A GTK text entry for the input-method tests, run with the input method's
# GTK module. Prints "READY" once shown, then "TEXT <text>\tPREEDIT <preedit>"
# (JSON strings) on every change; the line "clear" on standard input empties
# the entry and prints the state.
import json
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

window = Gtk.Window(title="kestrune-im-entry")
entry = Gtk.Entry()
window.add(entry)
preedit = [""]


def report(*_):
    print("TEXT", json.dumps(entry.get_text()), "\tPREEDIT", json.dumps(preedit[0]), flush=True)


def on_preedit(_entry, text):
    preedit[0] = text
    report()


def on_input(source, _condition):
    line = source.readline()
    if not line:
        Gtk.main_quit()
        return False
    if line.strip() == "clear":
        entry.set_text("")
    report()
    return True


entry.connect("preedit-changed", on_preedit)
entry.connect("changed", report)
GLib.io_add_watch(sys.stdin, GLib.IO_IN, on_input)
window.connect("destroy", Gtk.main_quit)
window.show_all()
window.present()
print("READY", flush=True)
Gtk.main()
