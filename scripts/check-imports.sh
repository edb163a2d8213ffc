#!/usr/bin/env bash
# check-imports.sh OBJDUMP PROGRAM...
# Fails when a program imports anything but the system's own DLLs: the
# programs must run on a bare Windows without runtime DLLs beside them.
set -euo pipefail
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|msvcrt|odbccp32|shell32|ole32)\.dll$'
status=0
for program in "$@"; do
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    bad=$(printf '%s\n' "$dlls" | grep -Ev "$allowed" || true)
    printf '%s imports: %s\n' "$(basename "$program")" "$(echo $dlls)"
    if [ -n "$bad" ]; then
        echo "  not a system DLL: $(echo $bad)" >&2
        status=1
    fi
done
exit $status
