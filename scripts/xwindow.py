#!/usr/bin/python3
"""Starts a program and drives its top-level X window as a person would.

    xwindow.py snapshot TITLE-PART OUTPUT.png -- PROGRAM [ARGUMENT...]
        save the window as a PNG
    xwindow.py session TITLE-PART -- PROGRAM [ARGUMENT...]
        click and type through it

Each starts the program, waits (up to 60 s) for a shown window whose title
contains TITLE-PART, does its work, then closes the window with
WM_DELETE_WINDOW, as a window manager's close button does, so the program
ends the ordinary way. It fails unless the program then ends with status 0.
"""
import struct
import subprocess
import sys
import time
import zlib

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest


def find_window(screen, title_part, process, timeout=60.0):
    root = screen.screen().root
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if process.poll() is not None:
            sys.exit(f"the program ended with status {process.returncode} before its window showed")
        for window in root.query_tree().children:
            try:
                name = window.get_full_text_property(
                    screen.get_atom("_NET_WM_NAME")) or window.get_wm_name()
                viewable = window.get_attributes().map_state == X.IsViewable
            except Exception:  # the window went away while we looked
                continue
            if name and title_part in name and viewable:
                time.sleep(0.5)  # let the first paint finish
                return window
        time.sleep(0.1)
    process.kill()
    sys.exit(f"no window titled '{title_part}' within {timeout:.0f} s")


def close(screen, window):
    event = protocol.event.ClientMessage(
        window=window, client_type=screen.get_atom("WM_PROTOCOLS"),
        data=(32, [screen.get_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
    window.send_event(event)
    screen.flush()


def write_png(path, width, height, rgb_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + row for row in rgb_rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def snapshot(screen, window, output):
    geometry = window.get_geometry()
    width, height = geometry.width, geometry.height
    data = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF).data
    # 24-bit visuals hand out 4 bytes a pixel, in blue, green, red, pad order.
    rows = []
    for y in range(height):
        line = data[y * width * 4:(y + 1) * width * 4]
        row = bytearray(width * 3)
        row[0::3] = line[2::4]
        row[1::3] = line[1::4]
        row[2::3] = line[0::4]
        rows.append(bytes(row))
    write_png(output, width, height, rows)


def session(screen, window):
    """Clicks rows of the three lists and the button, and uses the keyboard."""
    icon = window.get_full_property(screen.get_atom("_NET_WM_ICON"), X.AnyPropertyType)
    if not icon or len(icon.value) < 2 + 32 * 32:
        sys.exit("the window shows no icon")
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    origin = window.translate_coords(screen.screen().root, 0, 0)

    def click(x, y):
        xtest.fake_input(screen, X.MotionNotify, x=x - origin.x, y=y - origin.y)
        xtest.fake_input(screen, X.ButtonPress, 1)
        xtest.fake_input(screen, X.ButtonRelease, 1)
        screen.sync()
        time.sleep(0.15)

    def key(name):
        code = screen.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(screen, X.KeyPress, code)
        xtest.fake_input(screen, X.KeyRelease, code)
        screen.sync()
        time.sleep(0.15)

    # Rows of the peak, height and mountain lists, then the button.
    for x, y in [(60, 72), (190, 90), (300, 108), (60, 126), (228, 188)]:
        click(x, y)
    for name in ["Tab", "Down", "End", "Tab", "Home", "Tab", "Down", "Tab", "space"]:
        key(name)


def main():
    if "--" not in sys.argv or sys.argv[1] not in ("snapshot", "session"):
        sys.exit(__doc__)
    split = sys.argv.index("--")
    command, title_part, *rest = sys.argv[1:split]
    program = sys.argv[split + 1:]

    screen = display.Display()
    process = subprocess.Popen(program)
    try:
        window = find_window(screen, title_part, process)
        if command == "snapshot":
            snapshot(screen, window, rest[0])
        else:
            session(screen, window)
        close(screen, window)
        status = process.wait(timeout=60)
    finally:
        if process.poll() is None:
            process.kill()
    if status != 0:
        sys.exit(f"the program ended with status {status}")


if __name__ == "__main__":
    main()
