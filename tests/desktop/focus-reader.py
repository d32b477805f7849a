#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the keyboard focus as a screen reader does: from the accessibility bus's focus events.
# Prints "role|name" for each object of the program that gains the focus, one line each.
#   focus-reader.py APPLICATION-NAME
import sys

import pyatspi

application = sys.argv[1]


def on_focus(event):
    if not event.detail1:
        return
    try:
        source = event.source
        if source.getApplication().name != application:
            return
        print(f"{source.getRoleName()}|{source.name}", flush=True)
    except Exception:  # an object gone by the time it is asked
        pass


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
print("ready", flush=True)
pyatspi.Registry.start()
