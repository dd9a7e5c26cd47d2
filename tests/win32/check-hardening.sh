#!/usr/bin/env bash
# Fails unless the program carries the protections of a trusted Windows
# program, as Debian's pev reads them: ASLR, DEP, no SEH (exceptions unwind
# by DWARF tables), stack cookies, and awareness of Terminal Server.
#
# Usage: check-hardening.sh PROGRAM.exe
set -euo pipefail
program=$1
failed=0
security=$(pesec "$program")
for wanted in 'ASLR: *yes' 'DEP/NX: *yes' 'SEH: *no' 'Stack cookies.*: *yes'; do
    if ! grep -Eq "^$wanted\$" <<<"$security"; then
        echo "not as wanted: $wanted"
        failed=1
    fi
done
characteristics=$(readpe --header optional "$program")
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH TERMINAL_SERVER_AWARE; do
    if ! grep -q "IMAGE_DLLCHARACTERISTICS_$flag\$" <<<"$characteristics"; then
        echo "missing: IMAGE_DLLCHARACTERISTICS_$flag"
        failed=1
    fi
done
echo "$security"
exit $failed
