#!/usr/bin/python3
"""Waits for a top-level X window by title, saves it as a PNG, then closes it.

Usage: snapshot-window.py TITLE-PART OUTPUT.png [TIMEOUT-SECONDS]

Closing sends WM_DELETE_WINDOW, as a window manager's close button does, so
the program ends the ordinary way.
"""
import struct
import sys
import time
import zlib

from Xlib import X, display, protocol


def find_window(root, title_part):
    for window in root.query_tree().children:
        try:
            name = window.get_full_text_property(
                window.display.get_atom("_NET_WM_NAME")) or window.get_wm_name()
            viewable = window.get_attributes().map_state == X.IsViewable
        except Exception:  # the window went away while we looked
            continue
        if name and title_part in name and viewable:
            return window
    return None


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


def main():
    title_part, output = sys.argv[1], sys.argv[2]
    timeout = float(sys.argv[3]) if len(sys.argv) > 3 else 30.0
    screen = display.Display()
    root = screen.screen().root

    deadline = time.monotonic() + timeout
    window = None
    while window is None:
        if time.monotonic() > deadline:
            sys.exit(f"no window titled '{title_part}' within {timeout:.0f} s")
        time.sleep(0.1)
        window = find_window(root, title_part)
    time.sleep(0.5)  # let the first paint finish

    geometry = window.get_geometry()
    width, height = geometry.width, geometry.height
    image = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
    # 24-bit visuals hand out 4 bytes a pixel, in blue, green, red, pad order.
    data = image.data
    rows = []
    for y in range(height):
        line = data[y * width * 4:(y + 1) * width * 4]
        row = bytearray(width * 3)
        row[0::3] = line[2::4]
        row[1::3] = line[1::4]
        row[2::3] = line[0::4]
        rows.append(bytes(row))
    write_png(output, width, height, rows)

    protocols = screen.get_atom("WM_PROTOCOLS")
    delete = screen.get_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event)
    screen.flush()


if __name__ == "__main__":
    main()
