#!/usr/bin/python3
"""A stand-in for the desktop's org.freedesktop.ScreenSaver service on the session bus: answers
Inhibit with a cookie and writes each call, one a line, to the file named on the command line."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.ScreenSaver"


class ScreenSaver(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/org/freedesktop/ScreenSaver")
        self.record = record
        self.next_cookie = 41

    def note(self, line):
        with open(self.record, "a") as out:
            out.write(line + "\n")

    @dbus.service.method(NAME, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        self.next_cookie += 1
        self.note(f"Inhibit {application} {self.next_cookie}")
        return self.next_cookie

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def UnInhibit(self, cookie):
        self.note(f"UnInhibit {cookie}")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    keep = dbus.service.BusName(NAME, bus)
    service = ScreenSaver(bus, sys.argv[1])
    service.note("ready")
    GLib.MainLoop().run()
    del keep, service


main()
