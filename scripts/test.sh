#!/usr/bin/env bash
# Sets up what is needed, checks the formatting, builds every build and runs
# every test:
#   build/host   the pure core, native, under AddressSanitizer and UBSan
#   build/fuzz   the install log reader under libFuzzer (a bounded smoke run)
#   build/win32  the programs as we ship them (32-bit); their imports are checked
#                function by function, their manifests and instructions too; the
#                medium built again from a copy (build/repro) is byte for byte the
#                same; they run end to end on the 32-bit route
#   build/win32-tests  every test built for 32-bit Windows; the pure ones run
#                on the 32-bit route (32-bit Wine with its loader emulated)
#   build/win64  the same sources for 64-bit Windows with all tests, run under
#                64-bit Wine and Xvfb
#   and last the demo (scripts/demo.sh) once, unattended, on those builds
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}

bash "$root/scripts/setup.sh"

echo "== packages (every command the scripts call, installed by setup.sh)"
python3 "$root/scripts/check-packages.py"

echo "== formatting (clang-format, .clang-format)"
# Every C and C++ source as .clang-format formats it; a difference fails here.
# A tree unpacked from an archive has no repository: then every such file of it.
(
    cd "$root"
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z '*.c' '*.cpp' '*.h'
    else
        find . -path ./build -prune -o -path ./out -prune -o \
            -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0
    fi | xargs -0 clang-format --dry-run --Werror
)

echo "== host build (sanitizers)"
cmake -G Ninja -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/host"
ln -sf "$build/host/compile_commands.json" "$root/compile_commands.json"
(cd "$build/host" && ctest --no-tests=error --output-on-failure -j2)

echo "== fuzz smoke run of the install log reader (clang, libFuzzer)"
TESSORA_BUILD="$build" bash "$root/scripts/fuzz.sh" --smoke

echo "== 32-bit Windows build (the shipped programs)"
cmake -G Ninja -S "$root" -B "$build/win32" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only what ships: the two programs and the medium, with the win32 thread model.
cmake --build "$build/win32" --target medium
# Every function they import must be on the list of what Windows 2000 has.
bash "$root/scripts/check-imports.sh" i686-w64-mingw32-objdump \
    --baseline "$root/scripts/imports-win2000.txt" \
    "$build/win32/setup/Setup.exe" "$build/win32/uninstall/Uninstall.exe"
# Their start-up resets the x87 unit through the C library (53-bit precision):
# without the link option, the runtime's own reset leaves it at 64 bits.
for program in "$build/win32/setup/Setup.exe" "$build/win32/uninstall/Uninstall.exe"; do
    grep -qw _fpreset <<<"$(i686-w64-mingw32-objdump -p "$program")" ||
        { echo "${program##*/}: start-up leaves the x87 unit at 64-bit precision" >&2; exit 1; }
done
# Both ask Windows for administrator rights through their manifest, in the form
# every Windows from XP on accepts; the check rejects a second declaration of
# the trustInfo namespace (the doctored copy shows that it would).
python3 "$root/scripts/check-manifest.py" \
    "$build/win32/setup/Setup.exe" "$build/win32/uninstall/Uninstall.exe"
probe=$build/win32/probes
mkdir -p "$probe"
sed 's|<security>|<security xmlns="urn:schemas-microsoft-com:asm.v3">|' \
    "$root/setup/res/Setup.manifest" >"$probe/twice.manifest"
grep -c 'asm.v3' "$probe/twice.manifest" | grep -qx 2
if python3 "$root/scripts/check-manifest.py" "$probe/twice.manifest" 2>/dev/null; then
    echo "check-manifest.py accepts a manifest with the namespace declared twice" >&2
    exit 1
fi
# Nothing newer than a Pentium Pro in their code (so the stated CPU holds); the
# check finds the SSE of a probe compiled for it.
python3 "$root/scripts/check-cpu.py" i686-w64-mingw32-objdump \
    "$build/win32/setup/Setup.exe" "$build/win32/setup/Setup.map" \
    "$build/win32/uninstall/Uninstall.exe" "$build/win32/uninstall/Uninstall.map"
printf 'int main(int argc, char **argv) { return (int)(argc * 1.5); }\n' |
    i686-w64-mingw32-gcc-win32 -x c -O2 -msse2 -mfpmath=sse - -o "$probe/sse.exe" -Wl,-Map="$probe/sse.map"
if python3 "$root/scripts/check-cpu.py" i686-w64-mingw32-objdump "$probe/sse.exe" "$probe/sse.map" 2>/dev/null; then
    echo "check-cpu.py misses the SSE instructions of a probe" >&2
    exit 1
fi

echo "== the shipped medium again, from a copy of the tree in another folder"
# The same sources and time stamp (the copy has no history, so it is given the
# first build's, as an archive's build would be) must give every byte again.
repro=$build/repro
rm -rf "$repro"
mkdir -p "$repro/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    tar -cf - --null --ignore-failed-read -T -) | tar -xf - -C "$repro/src"
SOURCE_DATE_EPOCH=$(cat "$build/win32/source-date-epoch") cmake -G Ninja -S "$repro/src" \
    -B "$repro/win32" -DCMAKE_TOOLCHAIN_FILE="$repro/src/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$repro/win32" --target medium >/dev/null
(cd "$build/win32" && sha256sum --quiet -c SHA256SUMS)
while read -r _ file; do
    cmp "$build/win32/$file" "$repro/win32/$file"
done <"$build/win32/SHA256SUMS"
cmp "$build/win32/SHA256SUMS" "$repro/win32/SHA256SUMS"
echo "the same bytes: $(awk '{ print $2 }' "$build/win32/SHA256SUMS" | xargs)"

echo "== 32-bit Windows build of every test"
cmake -G Ninja -S "$root" -B "$build/win32-tests" -DTESSORA_THREAD_MODEL=posix \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32-tests"

echo "== 64-bit Windows build (Wine)"
cmake -G Ninja -S "$root" -B "$build/win64" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64"
bash "$root/scripts/check-imports.sh" x86_64-w64-mingw32-objdump \
    "$build/win64/setup/Setup.exe" "$build/win64/uninstall/Uninstall.exe"

. "$root/scripts/wine-session.sh"
# Every Wine program runs as the unprivileged Wine user (scripts/setup.sh):
# its prefix, display and server are that user's, as are the folders ctest
# writes its records to.
session_own "$build" "$build/win64" "$build/win64/Testing" "$build/win32-tests" \
    "$build/win32-tests/Testing" "$build/wine32"
session_own -R "$build/win64/wineprefix" "$build/win64/wineprefix.lock" "$build/win64/Testing" \
    "$build/wine32/prefix" "$build/wine32/prefix.lock" "$build/win32-tests/Testing"
export WINEPREFIX=$build/win64/wineprefix
wine_user_run bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
trap session_stop EXIT
# One Wine session for all the tests: a persistent server started inside the
# display keeps each program start cheap, and stops with it. The session's
# background services start before ctest, so they do not hold the pipes through
# which ctest reads a test's output (ctest would wait for those pipes for ever).
wine_user_run xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    . "$1/scripts/wine-session.sh"
    session_start || exit 1
    echo "wine: the tests run as $(id -un) (uid $(id -u)), the server of $WINEPREFIX too"
    (cd "$2" && ctest --no-tests=error --output-on-failure --timeout 900)
    status=$?
    session_stop
    exit $status' wine-tests "$root" "$build/win64"

# ---- The shipped 32-bit programs, run on the 32-bit route -------------------
echo "== resources of the shipped programs against the tested 64-bit ones"
python3 "$root/scripts/compare-resources.py" \
    "$build/win32/setup/Setup.exe" "$build/win64/setup/Setup.exe" \
    "$build/win32/uninstall/Uninstall.exe" "$build/win64/uninstall/Uninstall.exe"

echo "== 32-bit Wine (loader emulated): i686 pure-core tests, round trip of the shipped medium"
(
    eval "$(bash "$root/scripts/wine32.sh" env "$build/wine32")"
    . "$root/scripts/wine-session.sh"
    export WINEPREFIX=$build/wine32/prefix
    wine_user_run bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
    trap session_stop EXIT
    for program in "$build/win32/dist/Setup.exe" "$build/win32/dist/Uninstall.exe"; do
        echo "shipped: ${program#$build/} ($(LC_ALL=C i686-w64-mingw32-objdump -f "$program" | sed -n 's/.*file format //p'))"
    done
    # The 64-bit round-trip test drives the shipped 32-bit programs from a copy
    # of the shipped medium, with the fake ODBC driver built for 32 bits.
    wine_user_run xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -e
        . "$2/scripts/wine-session.sh"
        session_start
        (cd "$1/win32-tests" && ctest --no-tests=error --output-on-failure -j2 --timeout 300 -R "_test\$")
        TESSORA_E2E_MEDIUM="$1/win32/dist" \
        TESSORA_E2E_ODBC_DRIVER="$1/win32-tests/tests/fixtures/fake_odbc_driver.dll" \
            "$WINE_LOADER" "$1/win64/tests/e2e/e2e_round_trip_wintest.exe" \
            --gtest_filter=RoundTrip.InstallThenUninstallRemovesEverythingAndItself
        session_stop' wine32-tests "$build" "$root"
)

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
