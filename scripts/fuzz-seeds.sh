#!/usr/bin/env bash
# Makes the fuzz target's seed logs anew from real installations: Setup.exe
# (64-bit build, under Wine) installs two media, and the "Uninstall.log" it
# writes each time is kept in fuzz/corpus as it stands on disk:
#   setup_log_medium    the build's own medium
#   setup_log_chinese   that medium with 40 generated files more, a fifth of them
#                       with Chinese names, some behind trail bytes 0x5C
# Run it after a change to what Setup records; commit the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}
win=$build/win64
work=$build/fuzz-seeds

. "$root/scripts/wine-session.sh"

if [ -z "${TESSORA_SESSION_DISPLAY:-}" ]; then
    cmake -G Ninja -S "$root" -B "$win" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$win" --target medium tessora_driver >/dev/null
    python3 "$root/bench/make_medium.py" "$win/dist" "$work/chinese" --files 85 --megabytes 3 >/dev/null
fi
# Both installations run in one Wine session.
session_display "$@"
session_prefix "$work/prefix"
session_start
driver=$(winpath "$win/driver/tessora_driver.exe")
install_dir=$WINEPREFIX/drive_c/Program\ Files/Quorvatek/Tessora

install_and_keep() {
    local medium=$1 seed=$2
    rm -rf "$install_dir"
    "$WINE_LOADER" "$driver" install "$(winpath "$medium/Setup.exe")" --timeout 120 \
        > "$work/driver.txt" 2>&1 < /dev/null || { cat "$work/driver.txt" >&2; exit 1; }
    cp "$install_dir/Uninstall.log" "$root/fuzz/corpus/$seed"
    echo "fuzz-seeds: $seed ($(wc -c < "$root/fuzz/corpus/$seed") bytes)"
}

install_and_keep "$win/dist" setup_log_medium
install_and_keep "$work/chinese" setup_log_chinese
