#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS...]
#
# The cross-compiling emulator of the Windows build: ctest (and anyone else)
# runs a cross-built program through it. The program runs under Wine in the
# Chinese locale, so its ANSI code page is 936, in the prefix $WINEPREFIX or,
# when that is unset, in the `wineprefix` folder of the CMake build folder that
# holds the program. The prefix is made on first use. The program's standard
# output and error go straight to the caller, and its exit code is this
# script's exit code (Unix keeps only the low 8 bits of it).
#
# GUI programs need an X display: run ctest under `xvfb-run -a`.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

# Parameter expansion instead of dirname and cd in subshells: ctest starts
# this script once per test, and every fork shows in the run time.
case ${BASH_SOURCE[0]} in */*) here=${BASH_SOURCE[0]%/*} ;; *) here=. ;; esac
program=$1
shift

if [ ! -f "$program" ]; then
  echo "wine-run: no such program: $program" >&2
  exit 2
fi

if [ -z "${WINEPREFIX:-}" ]; then
  # The build folder is the nearest folder above the program that holds
  # CMakeCache.txt.
  case $program in /*) path=$program ;; *) path=$PWD/$program ;; esac
  case $path in
    */./* | */../*) path=$(cd "${path%/*}" && pwd -P)/${path##*/} ;;
  esac
  dir=${path%/*}
  until [ -f "$dir/CMakeCache.txt" ]; do
    if [ -z "$dir" ]; then
      echo "wine-run: WINEPREFIX is unset and $program is not inside a CMake build folder" >&2
      exit 2
    fi
    dir=${dir%/*}
  done
  WINEPREFIX=${dir:-}/wineprefix
fi
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
export WINEPREFIX

# Its progress and complaints belong on stderr: stdout is the program's.
"$here/../scripts/wine-prefix.sh" "$WINEPREFIX" >&2

. "$here/../scripts/wine-env.sh"

# Started from the system drive, as Windows starts a program from a folder of
# its own, not from the build folder (drive Z:, the Unix root): what a program
# writes at the root of its current drive (Uninstall's self-deletion batch)
# lands on C:, where the Wine user may write, as an administrator may on Windows.
case $program in /*) ;; *) program=$PWD/$program ;; esac
cd "$WINEPREFIX/drive_c"

# exec: Wine's exit status is the program's, and signals reach Wine directly.
exec "$WINE_LOADER" "$program" "$@"
