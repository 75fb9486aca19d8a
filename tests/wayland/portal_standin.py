#!/usr/bin/python3
"""A stand-in for the desktop's Remote Desktop portal, for the tests on GNOME.

Debian 12's portal asks the user in a dialog at every session, so the tests
put this in its place on the session bus of a headless Mutter. It answers as
xdg-desktop-portal 1.16 with GNOME's back end does, the dialog's answer being
chosen on the command line, and passes keys, buttons and pointer motion on to
a session of Mutter's own org.gnome.Mutter.RemoteDesktop, as GNOME's back end
does. Each call it gets is one line of the log, for a test to read.

  portal_standin.py --log FILE [--answer granted|refused|closed | --answer-file FILE]
                    [--version 1|2] [--shortcuts]

It prints "ready" once it owns org.freedesktop.portal.Desktop.
"""
import argparse
import itertools
import os
import signal
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

PORTAL_PATH = "/org/freedesktop/portal/desktop"
REMOTE_DESKTOP = "org.freedesktop.portal.RemoteDesktop"
GLOBAL_SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
MUTTER = "org.gnome.Mutter.RemoteDesktop"
MUTTER_SESSION = MUTTER + ".Session"
KEYBOARD, POINTER, TOUCHSCREEN = 1, 2, 4
ALL_DEVICES = KEYBOARD | POINTER | TOUCHSCREEN  # what GNOME's back end offers
# What the user does with the dialog: Share, Cancel, or it closes or fails.
ANSWERS = {"granted": 0, "refused": 1, "closed": 2}
TOKEN_PREFIX = "standin-restore-"  # a token not of this form is unknown here


def error(name, message):
    return dbus.DBusException(message, name="org.freedesktop.DBus.Error." + name)


def handle_path(kind, sender, token):
    # The portal's rule (":1.42" becomes "1_42"), so that a client can listen
    # on the path it predicts before it calls.
    return f"{PORTAL_PATH}/{kind}/{sender[1:].replace('.', '_')}/{token}"


def ignore(*_):
    pass


def request_method(signature):
    """A method that answers through a Request: it returns the Request's path."""
    return dbus.service.method(REMOTE_DESKTOP, in_signature=signature, out_signature="o",
                               sender_keyword="sender")


def notify_method(signature):
    return dbus.service.method(REMOTE_DESKTOP, in_signature=signature, sender_keyword="sender")


def pressed(state):
    return "pressed" if state else "released"


class Request(dbus.service.Object):
    """One call's Request: it answers once, after the call has returned."""

    def __init__(self, bus, path, log):
        super().__init__(bus, path)
        self.open = True
        self.portal_log = log

    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method("org.freedesktop.portal.Request")
    def Close(self):
        if self.open:
            self.portal_log("request closed")
        self.open = False
        self.remove_from_connection()

    def answer(self, response, results, after=0):
        def send():
            if self.open:
                self.Response(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
                self.open = False
                self.remove_from_connection()
        GLib.timeout_add(int(after * 1000), send)


class Session(dbus.service.Object):
    def __init__(self, portal, path, sender):
        super().__init__(portal.bus, path)
        self.portal, self.path, self.sender = portal, path, sender
        self.state = "init"  # then "started", then "closed"
        self.types = 0  # nothing can be sent without SelectDevices
        self.persist = 0
        self.restored = False  # a known restore token spares the dialog
        self.mutter = None  # Mutter's session, once started

    @dbus.service.signal("org.freedesktop.portal.Session", signature="a{sv}")
    def Closed(self, details):
        pass

    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self):
        self.portal.log("session closed")
        self.close()

    def close(self, notify=False):
        if self.state == "closed":
            return
        self.state = "closed"
        # Stopping Mutter's session lets go of whatever it still holds down.
        if self.mutter is not None:
            self.mutter.Stop(dbus_interface=MUTTER_SESSION, reply_handler=ignore,
                             error_handler=ignore)
        if notify:
            self.Closed(dbus.Dictionary({}, signature="sv"))
        self.remove_from_connection()
        del self.portal.sessions[self.path]


class GlobalShortcuts(dbus.service.Object):
    """Global shortcuts, as GNOME 48's portal offers them (--shortcuts); a
    test presses "stop-hold" with SIGUSR1, "toggle-hold" with SIGUSR2. A class
    of its own: python-dbus finds
    a method by its name, and both interfaces have a CreateSession."""

    @dbus.service.method(GLOBAL_SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender):
        self.log("GlobalShortcuts CreateSession")
        return self.new_session(options, sender)

    @dbus.service.method(GLOBAL_SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, handle, shortcuts, parent_window, options, sender):
        session = self.session(handle, sender)
        session.shortcuts = [str(name) for name, _ in shortcuts]
        for name, properties in shortcuts:
            self.log(f"BindShortcuts {name} {properties.get('preferred_trigger', '')}")
        return self.request(sender, options, 0, {"shortcuts": shortcuts})

    @dbus.service.signal(GLOBAL_SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut, timestamp, options):
        pass

    def press_shortcut(self, wanted):
        for session in list(self.sessions.values()):
            for name in getattr(session, "shortcuts", []):
                if name == wanted:
                    self.log(f"pressed {name}")
                    self.Activated(dbus.ObjectPath(session.path), name, dbus.UInt64(0),
                                   dbus.Dictionary({}, signature="sv"))
        return True


class Portal(GlobalShortcuts):
    def __init__(self, bus, args):
        super().__init__(bus, PORTAL_PATH)
        self.bus, self.args = bus, args
        self.log_file = open(args.log, "a", buffering=1)
        self.sessions = {}
        self.counter = itertools.count(1)
        self.used_tokens = set()
        # A client that leaves the bus loses its sessions, as with the real one.
        bus.add_signal_receiver(self.owner_changed, "NameOwnerChanged", "org.freedesktop.DBus",
                                "org.freedesktop.DBus", "/org/freedesktop/DBus")

    def log(self, line):
        self.log_file.write(line + "\n")

    def request(self, sender, options, response, results, after=0):
        token = options.get("handle_token", f"t{next(self.counter)}")
        request = Request(self.bus, handle_path("request", sender, token), self.log)
        request.answer(response, results, after)
        return request.__dbus_object_path__

    def new_session(self, options, sender):
        token = options.get("session_handle_token", f"s{next(self.counter)}")
        session = Session(self, handle_path("session", sender, token), sender)
        self.sessions[session.path] = session
        # The real portal gives the session's path as a string, not as an object path.
        return self.request(sender, options, 0, {"session_handle": dbus.String(session.path)})

    def session(self, handle, sender):
        session = self.sessions.get(str(handle))
        if session is None or session.sender != sender:
            raise error("AccessDenied", "Invalid session")
        return session

    def owner_changed(self, name, old_owner, new_owner):
        if not new_owner:
            for session in [s for s in self.sessions.values() if s.sender == name]:
                self.log("client left, session closed")
                session.close()

    @request_method("a{sv}")
    def CreateSession(self, options, sender):
        self.log("CreateSession")
        return self.new_session(options, sender)

    @request_method("oa{sv}")
    def SelectDevices(self, handle, options, sender):
        session = self.session(handle, sender)
        types = int(options.get("types", ALL_DEVICES))
        persist = int(options.get("persist_mode", 0))
        token = str(options.get("restore_token", ""))
        # The log tells what was asked for, even what version 1 ignores.
        self.log(f"SelectDevices types {types}"
                 + (f" persist {persist}" if "persist_mode" in options else "")
                 + (f" restore {token}" if token else ""))
        if session.state != "init" or session.types:
            raise error("Failed", "Invalid state")
        if types & ~ALL_DEVICES or not types:
            raise dbus.DBusException(f"Unsupported device type: {types}",
                                     name="org.freedesktop.portal.Error.InvalidArgument")
        session.types = types
        if self.args.version >= 2:
            session.persist = persist
            # A token of ours works once.
            if token.startswith(TOKEN_PREFIX) and token not in self.used_tokens:
                self.used_tokens.add(token)
                session.restored = True
        return self.request(sender, options, 0, {})

    @request_method("osa{sv}")
    def Start(self, handle, parent_window, options, sender):
        session = self.session(handle, sender)
        if session.state != "init":
            raise error("Failed", "Can only start once")
        # Where the dialog would belong, as a test checks it.
        self.log(f"parent window {parent_window or '(none)'}")
        answer, after = self.args.answer, 0
        if self.args.answer_file:
            # The user's next answer, as a test sets it, and how many seconds
            # the answer takes ("granted 5").
            with open(self.args.answer_file, encoding="utf-8") as told:
                answer, *later = told.read().split()
                after = float(later[0]) if later else 0
        if session.restored:
            answer = "restored"
        results = {}
        if answer in ("granted", "restored"):
            try:
                # What GNOME's back end does once the user has said yes.
                path = self.bus.get_object(MUTTER, "/org/gnome/Mutter/RemoteDesktop").CreateSession(
                    dbus_interface=MUTTER)
                session.mutter = self.bus.get_object(MUTTER, path)
                session.mutter.Start(dbus_interface=MUTTER_SESSION)
                self.bus.add_signal_receiver(lambda: self.desktop_closed(session), "Closed",
                                             MUTTER_SESSION, MUTTER, path)
                session.state = "started"
                results["devices"] = dbus.UInt32(session.types)
                if self.args.version >= 2 and session.persist:
                    results["restore_token"] = f"{TOKEN_PREFIX}{next(self.counter)}"
            except dbus.DBusException as failure:
                print(f"portal_standin: Mutter's remote desktop failed: {failure}", file=sys.stderr)
                answer = "failed"
        self.log(f"Start {answer}")
        started = session.state == "started"
        request = self.request(sender, options, 0 if started else ANSWERS.get(answer, 2), results,
                               after)
        if not started:
            # Refused or failed: the real portal ends the session after its answer, and says so.
            GLib.idle_add(session.close, True)
        return request

    def desktop_closed(self, session):
        if session.state != "closed":
            self.log("session closed by the desktop")
            session.mutter = None
            session.close(notify=True)

    def forward(self, handle, sender, device, line, method, *args):
        """Passes one event on to the session's Mutter session, as the real
        portal passes it to its back end: without waiting for the answer."""
        session = self.session(handle, sender)
        if session.state != "started" or not session.types & device:
            kind = "Keyboard" if device == KEYBOARD else "Pointer"
            raise error("Failed", f"Session is not allowed to call Notify{kind} methods")
        self.log(line)
        def refused(failure):
            print(f"portal_standin: Mutter refused {line}: {failure}", file=sys.stderr)
        # Made once a session: a key pass comes as a burst of calls, and the
        # stand-in should not be what slows it.
        methods = session.__dict__.setdefault("methods", {})
        if method not in methods:
            methods[method] = session.mutter.get_dbus_method(method, MUTTER_SESSION)
        methods[method](*args, reply_handler=ignore, error_handler=refused)

    @notify_method("oa{sv}iu")
    def NotifyKeyboardKeycode(self, handle, options, keycode, state, sender):
        if keycode < 0:
            raise error("InvalidArgs", f"No key has the code {keycode}")
        self.forward(handle, sender, KEYBOARD, f"key {keycode} {pressed(state)}",
                     "NotifyKeyboardKeycode", dbus.UInt32(keycode), bool(state))

    @notify_method("oa{sv}iu")
    def NotifyPointerButton(self, handle, options, button, state, sender):
        self.forward(handle, sender, POINTER, f"button {button} {pressed(state)}",
                     "NotifyPointerButton", button, bool(state))

    @notify_method("oa{sv}dd")
    def NotifyPointerMotion(self, handle, options, dx, dy, sender):
        self.forward(handle, sender, POINTER, f"motion {dx:g} {dy:g}",
                     "NotifyPointerMotionRelative", dx, dy)

    # python-dbus knows no properties: these are answered by hand.
    def properties(self, interface):
        if interface == GLOBAL_SHORTCUTS:
            return {"version": dbus.UInt32(1)} if self.args.shortcuts else {}
        if interface == REMOTE_DESKTOP:
            return {"version": dbus.UInt32(self.args.version),
                    "AvailableDeviceTypes": dbus.UInt32(ALL_DEVICES)}
        return {}

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if name not in self.properties(interface):
            raise error("InvalidArgs", f"No property {interface}.{name}")
        return self.properties(interface)[name]


def main():
    parser = argparse.ArgumentParser(description="A stand-in for the Remote Desktop portal.")
    parser.add_argument("--log", required=True, help="file that gets one line per call")
    parser.add_argument("--answer", choices=ANSWERS, default="granted",
                        help="what the user does with the dialog at Start")
    parser.add_argument("--answer-file", help="file whose text is the answer of each Start instead")
    parser.add_argument("--version", type=int, choices=(1, 2), default=1,
                        help="1 as Debian 12's portal; 2 also persists, with restore tokens")
    parser.add_argument("--shortcuts", action="store_true",
                        help="offer global shortcuts, as GNOME 48's portal does (SIGUSR1 presses "
                             "stop-hold, SIGUSR2 toggle-hold)")
    args = parser.parse_args()
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    try:
        bus = dbus.SessionBus()
        portal = Portal(bus, args)
        # The objects are there before the name, so a client never misses them.
        portal.bus_name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus,
                                           do_not_queue=True)
    except (dbus.DBusException, OSError) as failure:
        sys.exit(f"portal_standin: {failure}")
    print("ready", flush=True)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, portal.press_shortcut, "stop-hold")
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR2, portal.press_shortcut, "toggle-hold")
    loop.run()
    # The name and Mutter's sessions go with the connection; the bus itself
    # may be going down already, so no more calls on it.
    os._exit(0)


if __name__ == "__main__":
    main()
