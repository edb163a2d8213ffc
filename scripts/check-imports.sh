#!/usr/bin/env bash
# check-imports.sh OBJDUMP [--baseline LIST] PROGRAM...
# Fails when a program imports anything but the system's own DLLs: the
# programs must run on a bare Windows without runtime DLLs beside them. With
# --baseline, also when it imports a function that LIST (lines "dll function",
# '#' comments) does not name: each one is named, so that a program that would
# not load on the oldest Windows we support stops the build, not its user. And
# when LIST names a function that none of the programs imports: the list says
# what the programs need, no more. And when no imported function at all could be
# read from a program: a listing the reader does not understand checks nothing.
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
listed=$([ -z "$baseline" ] || grep -v '^[[:space:]]*\(#\|$\)' "$baseline" | awk '{ print tolower($1), $2 }' | sort -u)
all_imports=
for program in "$@"; do
    # "dll function" for each imported function, DLL names in lower case.
    imports=$("$objdump" -p "$program" | awk '
        /DLL Name:/ { dll = tolower($3); print dll, "-"; next }
        dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $NF }')
    functions=$(printf '%s\n' "$imports" | grep -v ' -$' | grep . || true)
    all_imports+=$functions$'\n'
    dlls=$(printf '%s\n' "$imports" | awk '$2 == "-" { print $1 }')
    printf '%s imports %d functions from: %s\n' "$(basename "$program")" \
        "$(printf '%s' "$functions" | grep -c . || true)" "$(echo $dlls)"
    # A program of ours always imports from kernel32: nothing read means that
    # objdump's listing was not understood, not that the program is clean.
    if [ -z "$functions" ]; then
        echo "  $(basename "$program"): no imported function read from objdump -p" >&2
        status=1
    fi
    bad=$(printf '%s\n' "$dlls" | grep -Ev "$allowed" || true)
    if [ -n "$bad" ]; then
        echo "  not a system DLL: $(echo $bad)" >&2
        status=1
    fi
    if [ -n "$baseline" ]; then
        outside=$(printf '%s\n' "$imports" | grep -v ' -$' | sort -u |
            comm -23 - <(printf '%s\n' "$listed"))
        if [ -n "$outside" ]; then
            printf '%s\n' "$outside" | sed "s/^/  $(basename "$program"): not in $(basename "$baseline"): /" >&2
            status=1
        fi
    fi
done
if [ -n "$baseline" ]; then
    unused=$(printf '%s' "$all_imports" | sort -u | comm -13 - <(printf '%s\n' "$listed"))
    if [ -n "$unused" ]; then
        printf '%s\n' "$unused" | sed "s/^/  $(basename "$baseline"): imported by none of them: /" >&2
        status=1
    fi
fi
exit $status
