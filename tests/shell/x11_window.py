#!/usr/bin/env python3
"""Finds and closes top-level windows of an X display, for the test that runs
the program under Xvfb (where no window manager is there to do it).

  x11_window.py find DISPLAY TITLE [SECONDS]  prints "id width height" of the
                                              mapped window with that title
  x11_window.py close DISPLAY ID              sends it WM_DELETE_WINDOW
"""

import sys
import time

from Xlib import X, display, error, protocol


def title_of(d, window):
    utf8 = d.intern_atom("UTF8_STRING")
    prop = window.get_full_property(d.intern_atom("_NET_WM_NAME"), utf8)
    if prop is not None:
        value = prop.value
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
    name = window.get_wm_name()
    if isinstance(name, bytes):
        return name.decode("latin-1")
    return name


def find(d, title):
    stack = [d.screen().root]
    while stack:
        window = stack.pop()
        try:
            stack.extend(window.query_tree().children)
            if title_of(d, window) == title and \
                    window.get_attributes().map_state == X.IsViewable:
                return window
        except error.XError:
            continue
    return None


def main(argv):
    command, name = argv[1], argv[2]
    d = display.Display(name)
    if command == "find":
        title = argv[3]
        deadline = time.monotonic() + (float(argv[4]) if len(argv) > 4 else 20.0)
        while time.monotonic() < deadline:
            window = find(d, title)
            if window is not None:
                geometry = window.get_geometry()
                print(window.id, geometry.width, geometry.height)
                return 0
            time.sleep(0.1)
        return 1
    if command == "close":
        window = d.create_resource_object("window", int(argv[3]))
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        d.sync()
        print("closed", window.id)
        return 0
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
