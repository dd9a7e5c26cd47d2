"""Fails if an strace log shows the program writing files or using the network.

Usage: check-strace.py LOG SANDBOX

Local sockets (the X server, the session bus) are expected. Files that the
platform libraries write on their own are allowed below, each with the library
that writes it; SANDBOX is the throwaway HOME and XDG_RUNTIME_DIR of the run.
"""
import re
import sys

log_path, sandbox = sys.argv[1], sys.argv[2]

ALLOWED = [
    # fontconfig keeps a per-user cache of the fonts it scanned.
    re.compile(re.escape(sandbox) + r"/home/\.cache/fontconfig(/|$)"),
    # The terminal and null device are not files.
    re.compile(r"/dev/(null|tty|pts/\d+)$"),
]

WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")
CHANGING_CALLS = ("creat", "mkdir", "mkdirat", "rename", "renameat", "renameat2",
                  "unlink", "unlinkat", "link", "linkat", "symlink", "symlinkat", "truncate")

call_line = re.compile(r'^\d+\s+(\w+)\((.*)\)\s+=\s+(-?\d+|\?)')
problems = []
allowed = []
calls = 0
with open(log_path) as log:
    for line in log:
        match = call_line.match(line)
        if not match:
            continue
        calls += 1
        name, arguments, result = match.groups()
        if result.startswith("-"):
            continue  # it failed: nothing was written
        if name == "socket":
            if "AF_INET" in arguments:  # AF_INET and AF_INET6
                problems.append("network socket: " + line.strip())
            continue
        paths = re.findall(r'"((?:[^"\\]|\\.)*)"', arguments)
        if name.startswith("open"):
            if not any(flag in arguments for flag in WRITE_FLAGS):
                continue
        elif name not in CHANGING_CALLS:
            continue
        for path in paths:
            if any(pattern.search(path) for pattern in ALLOWED):
                allowed.append(path)
            else:
                problems.append("writes " + path + ": " + line.strip())

print(f"{calls} file and socket calls checked; allowed writes: {len(allowed)}")
for path in sorted(set(allowed)):
    print("  allowed: " + path)
if problems:
    print("\n".join(problems))
    sys.exit(1)
print("no file written, no network socket opened")
