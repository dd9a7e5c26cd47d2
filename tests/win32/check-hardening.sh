#!/usr/bin/env bash
# Fails unless the program carries the protections of a trusted Windows
# program, as Debian's pev reads them: ASLR, DEP, stack cookies, awareness of
# Terminal Server, and on x86 no SEH (exceptions unwind by DWARF tables),
# on x64 ASLR across the whole 64-bit address space.
#
# Usage: check-hardening.sh x86|x64 PROGRAM.exe
set -euo pipefail
arch=$1
program=$2
wanted_security=('ASLR: *yes' 'DEP/NX: *yes' 'Stack cookies.*: *yes')
# Debian 12's readpe names every flag but the high-entropy one, which it
# shows as 0x20; Debian 13's names that one too.
wanted_flags=(IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE IMAGE_DLLCHARACTERISTICS_NX_COMPAT
    IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)
case $arch in
x86)
    wanted_security+=('SEH: *no')
    wanted_flags+=(IMAGE_DLLCHARACTERISTICS_NO_SEH)
    ;;
x64) wanted_flags+=('(UNKNOWN\[0x20\]|IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA)') ;;
*)
    echo "usage: check-hardening.sh x86|x64 PROGRAM.exe" >&2
    exit 2
    ;;
esac

failed=0
security=$(pesec "$program")
for wanted in "${wanted_security[@]}"; do
    if ! grep -Eq "^$wanted\$" <<<"$security"; then
        echo "not as wanted: $wanted"
        failed=1
    fi
done
characteristics=$(readpe --header optional "$program")
for flag in "${wanted_flags[@]}"; do
    if ! grep -Eq "^ *$flag\$" <<<"$characteristics"; then
        echo "missing: $flag"
        failed=1
    fi
done
echo "$security"
exit $failed
