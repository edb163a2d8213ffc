#!/usr/bin/env bash
# Sets up what is needed, builds both builds and runs every test:
#   build/host  the pure core, native, under AddressSanitizer and UBSan
#   build/win   both programs, the fixtures and all tests, run under Wine and Xvfb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}

bash "$root/scripts/setup.sh"

echo "== host build (sanitizers)"
cmake -G Ninja -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/host"
ln -sf "$build/host/compile_commands.json" "$root/compile_commands.json"
(cd "$build/host" && ctest --output-on-failure -j2)

echo "== Windows build (Wine)"
cmake -G Ninja -S "$root" -B "$build/win" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win"

export WINEPREFIX="$build/win/wineprefix"
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
# One persistent server for the whole run keeps each program start cheap.
WINEDEBUG=-all wineserver -p
trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" \
    bash -c "cd '$build/win' && ctest --output-on-failure"
