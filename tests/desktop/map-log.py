#!/usr/bin/python3
# Prints the id of every top-level window mapped on $DISPLAY from now on, one a line ("0x..."),
# after a first line "ready" once it listens: a window shown even for a moment is caught, which
# no later look at its state can tell.
import sys

from Xlib import X, display

screen_display = display.Display()
root = screen_display.screen().root
root.change_attributes(event_mask=X.SubstructureNotifyMask)
screen_display.sync()
print("ready", flush=True)
while True:
    event = screen_display.next_event()
    if event.type == X.MapNotify:
        print(hex(event.window.id), flush=True)
