#!/usr/bin/env bash
# check-imports.sh OBJDUMP [--baseline LIST] PROGRAM...
# Fails when a program imports anything but the system's own DLLs: the
# programs must run on a bare Windows without runtime DLLs beside them. With
# --baseline, also when it imports a function that LIST (lines "dll function",
# '#' comments) does not name: each one is named, so that a program that would
# not load on the oldest Windows we support stops the build, not its user.
set -euo pipefail
# objdump's words untranslated, and one sort order for comm.
export LC_ALL=C
objdump=$1
shift
baseline=
if [ "${1:-}" = --baseline ]; then
    baseline=$2
    shift 2
fi
# comctl32 and odbccp32 are left out on purpose: linked statically, they would
# be looked for beside the program first (the programs load them by full path).
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|shell32|ole32)\.dll$'
status=0
for program in "$@"; do
    # "dll function" for each imported function, DLL names in lower case.
    imports=$("$objdump" -p "$program" | awk '
        /DLL Name:/ { dll = tolower($3); print dll, "-"; next }
        dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $NF }')
    dlls=$(printf '%s\n' "$imports" | awk '$2 == "-" { print $1 }')
    printf '%s imports %d functions from: %s\n' "$(basename "$program")" \
        "$(printf '%s\n' "$imports" | grep -vc ' -$')" "$(echo $dlls)"
    bad=$(printf '%s\n' "$dlls" | grep -Ev "$allowed" || true)
    if [ -n "$bad" ]; then
        echo "  not a system DLL: $(echo $bad)" >&2
        status=1
    fi
    if [ -n "$baseline" ]; then
        outside=$(printf '%s\n' "$imports" | grep -v ' -$' | sort -u |
            comm -23 - <(grep -v '^[[:space:]]*\(#\|$\)' "$baseline" | awk '{ print tolower($1), $2 }' | sort -u))
        if [ -n "$outside" ]; then
            printf '%s\n' "$outside" | sed "s/^/  $(basename "$program"): not in $(basename "$baseline"): /" >&2
            status=1
        fi
    fi
done
exit $status
