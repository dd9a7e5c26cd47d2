#!/usr/bin/python3
"""Instructions and peak memory of the program's start against a baseline.

Usage: instructions.py [--runs N] FIRSTPAINT BASELINE

FIRSTPAINT is the program's start ended after its first paint; BASELINE is
the minimal Qt window, run with "text firstpaint": one line of Cyrillic text
in the program's font, ended the same way. Both run under
valgrind --tool=callgrind on a private virtual X display (Xvfb), with address
space randomization off and a fixed QT_HASH_SEED, so that the counts repeat
from run to run, unlike wall-clock time on a shared machine. The peak memory
is the kernel's maxrss of each process run again without valgrind.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from startup import start_xvfb  # noqa: E402


def environment(display, home):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_"))}
    # No session bus: D-Bus would otherwise start one on some machines.
    env.update(DISPLAY=display, QT_HASH_SEED="0", QT_QPA_PLATFORM="xcb", HOME=home,
               XDG_RUNTIME_DIR=home, DBUS_SESSION_BUS_ADDRESS="unix:path=" + home + "/no-bus")
    return env


def instructions(command, env, folder):
    out = os.path.join(folder, "callgrind.out")
    subprocess.run(["setarch", "-R", "valgrind", "--tool=callgrind", "--callgrind-out-file=" + out]
                   + command, env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=600)
    with open(out) as counts:
        for line in counts:
            match = re.match(r"(?:summary|totals): (\d+)", line)
            if match:
                return int(match.group(1))
    sys.exit("no totals in callgrind's output")


def peak_memory_kib(command, env):
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit(f"{command[0]} ended with status {status}")
    return usage.ru_maxrss


def main():
    # Valgrind's own translation under QEMU's takes tens of minutes.
    if os.environ.get("PLANINI_EMULATED"):
        print(f"SKIP: valgrind under {os.environ['PLANINI_EMULATED']} would take tens of minutes")
        sys.exit(77)
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("firstpaint")
    parser.add_argument("baseline")
    args = parser.parse_args()

    server, display = start_xvfb()
    try:
        with tempfile.TemporaryDirectory() as folder:
            os.chmod(folder, 0o700)
            env = environment(display, folder)
            programs = {"program": [args.firstpaint],
                        "baseline": [args.baseline, "text", "firstpaint"]}
            counts = {name: [] for name in programs}
            memory = {name: [] for name in programs}
            for _ in range(args.runs):
                for name, command in programs.items():
                    counts[name].append(instructions(command, env, folder))
                    memory[name].append(peak_memory_kib(command, env))
    finally:
        server.terminate()
        server.wait()

    program, baseline = min(counts["program"]), min(counts["baseline"])
    program_kib, baseline_kib = min(memory["program"]), min(memory["baseline"])
    print("start to first paint, instructions (callgrind, fewest of "
          f"{args.runs}), against one Cyrillic label in the same font:")
    print(f"{'':10} {'instructions':>14} {'peak MiB':>9}")
    print(f"{'baseline':10} {baseline:14,} {baseline_kib / 1024:9.1f}")
    print(f"{'program':10} {program:14,} {program_kib / 1024:9.1f}")
    print(f"{'ratio':10} {program / baseline:14.3f} {program_kib / baseline_kib:9.3f}")


if __name__ == "__main__":
    main()
