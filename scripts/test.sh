#!/usr/bin/env bash
# Sets up what is needed, builds every build and runs every test:
#   build/host   the pure core, native, under AddressSanitizer and UBSan
#   build/fuzz   the install log reader under libFuzzer (a bounded smoke run)
#   build/win32  the programs as we ship them (32-bit); their imports are checked
#   build/win64  the same sources for 64-bit Windows with all tests, run under
#                64-bit Wine and Xvfb (machines of our kind run no 32-bit Wine)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}

bash "$root/scripts/setup.sh"

echo "== host build (sanitizers)"
cmake -G Ninja -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/host"
ln -sf "$build/host/compile_commands.json" "$root/compile_commands.json"
(cd "$build/host" && ctest --output-on-failure -j2)

echo "== fuzz smoke run of the install log reader (clang, libFuzzer)"
TESSORA_BUILD="$build" bash "$root/scripts/fuzz.sh" --smoke

echo "== 32-bit Windows build (the shipped programs)"
cmake -G Ninja -S "$root" -B "$build/win32" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only what ships: the two programs and the medium (the tests run in the 64-bit build).
cmake --build "$build/win32" --target medium
bash "$root/scripts/check-imports.sh" i686-w64-mingw32-objdump \
    "$build/win32/setup/Setup.exe" "$build/win32/uninstall/Uninstall.exe"

echo "== 64-bit Windows build (Wine)"
cmake -G Ninja -S "$root" -B "$build/win64" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64"
bash "$root/scripts/check-imports.sh" x86_64-w64-mingw32-objdump \
    "$build/win64/setup/Setup.exe" "$build/win64/uninstall/Uninstall.exe"

. "$root/scripts/wine-env.sh"
export WINEPREFIX="$build/win64/wineprefix"
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
trap '"$WINE_SERVER" -k 2>/dev/null || true' EXIT
# One persistent server for the whole run keeps each program start cheap. Wine's
# background services start with the first program and inherit its output: a
# first program run here gives them /dev/null, not the pipes through which
# ctest reads a test's output (ctest would wait for those pipes for ever).
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$WINE_SERVER" -p
    "$WINE_LOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1
    cd "$1" && ctest --output-on-failure --timeout 900' wine-tests "$build/win64"
