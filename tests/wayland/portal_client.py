#!/usr/bin/python3
"""A client of the Remote Desktop portal for the tests: the seat's own
keyboard and mouse on a headless Mutter, which has none until a session
sends something.

Reads one step a line from stdin and prints "ok STEP" or "failed STEP: why":
  start TYPES (CreateSession, SelectDevices, Start)
  key CODE 1|0    button CODE 1|0    motion DX DY
"""
import sys

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
portal = dbus.Interface(bus.get_object("org.freedesktop.portal.Desktop",
                                       "/org/freedesktop/portal/desktop"),
                        "org.freedesktop.portal.RemoteDesktop")
sender = bus.get_unique_name()[1:].replace(".", "_")
session = None
tokens = iter(range(1, 1000))


def ask(call, *args, options):
    """Calls a request method; returns its (response, results). The answer is
    awaited on the path the client predicts, as the program does."""
    token = f"check{next(tokens)}"
    path = f"/org/freedesktop/portal/desktop/request/{sender}/{token}"
    answer, loop = [], GLib.MainLoop()

    def respond(code, results):
        answer.append((int(code), results))
        loop.quit()
    match = bus.add_signal_receiver(respond, "Response", "org.freedesktop.portal.Request",
                                    None, path)
    returned = call(*args, dbus.Dictionary(dict(options, handle_token=token), signature="sv"))
    if str(returned) != path:
        raise RuntimeError(f"handle {returned}, not {path}")
    timer = GLib.timeout_add(10000, loop.quit)
    loop.run()
    if answer:
        GLib.source_remove(timer)
    match.remove()
    if not answer:
        raise RuntimeError("no Response")
    return answer[0]


def step(words):
    global session
    if words[0] == "start":
        code, results = ask(portal.CreateSession, options={"session_handle_token": "check"})
        if code != 0:
            return f"response {code} to CreateSession"
        session = results["session_handle"]
        options = {"types": dbus.UInt32(int(words[1]))}
        code, results = ask(portal.SelectDevices, session, options=options)
        code, results = ask(portal.Start, session, "", options={})
        return f"response {code} " + " ".join(f"{k}={v}" for k, v in sorted(results.items()))
    if words[0] in ("key", "button"):
        notify = portal.NotifyKeyboardKeycode if words[0] == "key" else portal.NotifyPointerButton
        notify(session, dbus.Dictionary({}, signature="sv"), int(words[1]),
               dbus.UInt32(int(words[2])))
        return ""
    if words[0] == "motion":
        portal.NotifyPointerMotion(session, dbus.Dictionary({}, signature="sv"),
                                   float(words[1]), float(words[2]))
        return ""
    raise RuntimeError("unknown step")


for line in sys.stdin:
    try:
        print(f"ok {line.strip()} {step(line.split())}".rstrip(), flush=True)
    except (RuntimeError, dbus.DBusException, KeyError, ValueError, IndexError) as error:
        print(f"failed {line.strip()}: {error}", flush=True)
