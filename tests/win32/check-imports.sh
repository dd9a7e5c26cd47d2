#!/usr/bin/env bash
# Fails unless the program imports only DLLs that are part of every Windows,
# so that the one .exe runs without anything beside it.
#
# Usage: check-imports.sh OBJDUMP PROGRAM.exe
set -euo pipefail
objdump=$1
program=$2
allowed='^(kernel32|user32|gdi32|comctl32|msvcrt|advapi32|shell32|ole32|oleaut32|uxtheme)\.dll$'

mapfile -t imports < <("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ ${#imports[@]} -gt 0 ] || { echo "no imports found in $program" >&2; exit 1; }
status=0
for dll in "${imports[@]}"; do
    if [[ ${dll,,} =~ $allowed ]]; then
        echo "imports $dll"
    else
        echo "imports $dll, which Windows does not bring" >&2
        status=1
    fi
done
exit $status
