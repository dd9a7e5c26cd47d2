#!/usr/bin/python3
"""Start-up time and peak memory of the program against a minimal Qt baseline.

Usage: startup.py [--pairs N] PROGRAM BASELINE [BASELINE-ARGUMENT...]

Both programs run on a private virtual X display (Xvfb), alternately, in pairs
whose order swaps each time so that drift on a busy machine falls on both.

What is timed: from just before the process is started until its top-level
window is mapped AND has been painted into. Both are read from the X server's
own events, not by polling: MapNotify (substructure of the root window) for
the mapping, and a DAMAGE extension notification for the first drawing, set
on every window the process creates as soon as the server reports it
(CreateNotify), so no paint can come before the watch. The window is then
closed with WM_DELETE_WINDOW and the peak resident memory is the kernel's
maxrss of the ended process (wait4).
"""
import argparse
import os
import select
import statistics
import subprocess
import sys
import time

from Xlib import X, display, protocol
from Xlib.ext import damage


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            sys.exit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def next_event(screen, deadline):
    while not screen.pending_events():
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            return None
        select.select([screen.fileno()], [], [], remaining)
    return screen.next_event()


def measure(screen, command, environment):
    """Returns (seconds to mapped and painted, peak resident kB)."""
    program = command[0]
    damage_event = screen.extension_event.DamageNotify
    started = time.perf_counter()
    process = subprocess.Popen(command, env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = set()
    painted = set()
    shown = None
    deadline = time.monotonic() + 30
    while shown is None:
        event = next_event(screen, deadline)
        if event is None:
            process.kill()
            sys.exit(f"{program}: no painted window within 30 s")
        if event.type == X.CreateNotify:
            event.window.damage_create(damage.DamageReportNonEmpty)
            # Wine draws a window's client area into a child window of it.
            event.window.change_attributes(event_mask=X.SubstructureNotifyMask)
            screen.flush()
        elif event.type == X.MapNotify:
            mapped.add(event.window.id)
        elif event.type == damage_event:
            painted.add(event.drawable.id if hasattr(event.drawable, "id") else event.drawable)
        for window in mapped & painted:
            shown = window
    elapsed = time.perf_counter() - started

    window = screen.create_resource_object("window", shown)
    window.send_event(protocol.event.ClientMessage(
        window=window, client_type=screen.get_atom("WM_PROTOCOLS"),
        data=(32, [screen.get_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
    screen.flush()
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit(f"{program}: ended with status {status}")
    # Drain what the closed window left, so the next run starts clean.
    while next_event(screen, time.monotonic() + 0.2) is not None:
        pass
    return elapsed, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pairs", type=int, default=15)
    parser.add_argument("program")
    parser.add_argument("baseline", nargs="+", help="the baseline's command line")
    arguments = parser.parse_args()
    commands = {"program": [arguments.program], "baseline": arguments.baseline}

    server, display_name = start_xvfb()
    try:
        environment = dict(os.environ, DISPLAY=display_name)
        environment.pop("QT_QPA_PLATFORM", None)
        # No session bus: D-Bus would otherwise start one for the first run.
        environment.setdefault("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus")
        screen = display.Display(display_name)
        # A window that cannot be drawn into (InputOnly) refuses a damage
        # watch; that says nothing about the start.
        screen.set_error_handler(lambda error, request: None)
        if not screen.has_extension("DAMAGE"):
            sys.exit("the X server has no DAMAGE extension")
        screen.damage_query_version()
        screen.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)

        # One unmeasured run each fills the file cache.
        for command in commands.values():
            measure(screen, command, environment)

        runs = {"program": [], "baseline": []}
        for pair in range(arguments.pairs):
            order = ["program", "baseline"] if pair % 2 == 0 else ["baseline", "program"]
            for name in order:
                runs[name].append(measure(screen, commands[name], environment))
    finally:
        server.terminate()
        server.wait()

    time_ratios = [p[0] / b[0] for p, b in zip(runs["program"], runs["baseline"])]
    memory_ratios = [p[1] / b[1] for p, b in zip(runs["program"], runs["baseline"])]
    print(f"start-up against '{' '.join(os.path.basename(part) for part in arguments.baseline)}', "
          f"{arguments.pairs} pairs, time to a mapped and painted window:")
    print(f"{'':10} {'median ms':>10} {'peak RSS MiB':>13}")
    for name in ("program", "baseline"):
        times = [run[0] * 1000 for run in runs[name]]
        memory = [run[1] / 1024 for run in runs[name]]
        print(f"{name:10} {statistics.median(times):10.1f} {statistics.median(memory):13.1f}")
    print(f"{'ratio':10} {statistics.median(time_ratios):10.3f} {statistics.median(memory_ratios):13.3f}"
          "   (median of the per-pair ratios)")


if __name__ == "__main__":
    main()
