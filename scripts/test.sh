#!/usr/bin/env bash
# Sets up what is needed, builds every build and runs every test:
#   build/host   the pure core, native, under AddressSanitizer and UBSan
#   build/fuzz   the install log reader under libFuzzer (a bounded smoke run)
#   build/win32  the programs as we ship them (32-bit); their imports are checked
#   build/win64  the same sources for 64-bit Windows with all tests, run under
#                64-bit Wine and Xvfb (machines of our kind run no 32-bit Wine)
#   and last the demo (scripts/demo.sh) once, unattended, on those builds
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

. "$root/scripts/wine-session.sh"
session_prefix "$build/win64/wineprefix"
trap session_stop EXIT
# One Wine session for all the tests: a persistent server started inside the
# display keeps each program start cheap, and stops with it. The session's
# background services start before ctest, so they do not hold the pipes through
# which ctest reads a test's output (ctest would wait for those pipes for ever).
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    . "$1/scripts/wine-session.sh"
    session_start || exit 1
    (cd "$2" && ctest --output-on-failure --timeout 900)
    status=$?
    session_stop
    exit $status' wine-tests "$root" "$build/win64"

echo "== the demo, unattended, on the builds above"
# Into a scratch folder; its whole report is shown only when it fails.
demo_log=$build/demo-check.log
if TESSORA_BUILD="$build" TESSORA_DEMO_OUT="$build/demo-check" \
        bash "$root/scripts/demo.sh" >"$demo_log" 2>&1 </dev/null; then
    sed -n '/^== summary/,$p' "$demo_log"
else
    cat "$demo_log"
    echo "test: the demo failed (its report: $demo_log)" >&2
    exit 1
fi
