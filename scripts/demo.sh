#!/usr/bin/env bash
# The main job: builds the programs, lays out the distribution medium, then in a
# fresh demo Wine prefix under Xvfb installs the product with Setup.exe and
# removes it with Uninstall.exe, both driven as a user drives them (Yes to the
# question, Finish at the end). Screenshots of each look go to out/demo/ and
# what was installed (files, log, registry) is printed.
#
#   scripts/demo.sh                 the whole demonstration, unattended
#   scripts/demo.sh --interactive   with DISPLAY set: run Setup on that display yourself
#
# The programs ship as 32-bit builds (build/win32); the demo runs the 64-bit build
# of the same sources (build/win64), because machines of our kind run no 32-bit Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}
out=${TESSORA_DEMO_OUT:-$root/out/demo}

bash "$root/scripts/setup.sh"

echo "== building"
cmake -G Ninja -S "$root" -B "$build/win32" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" --target medium
cmake -G Ninja -S "$root" -B "$build/win64" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64" --target medium tessora_driver

. "$root/scripts/wine-env.sh"
export WINEPREFIX="$build/demo-prefix"
"$WINE_SERVER" -k 2>/dev/null || true
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
"$WINE_SERVER" -p
trap '"$WINE_SERVER" -k 2>/dev/null || true' EXIT

medium=$build/win64/dist
winpath() { echo "Z:${1//\//\\}"; }
install_dir="$WINEPREFIX/drive_c/Program Files/Quorvatek/Tessora"

if [ "${1:-}" = --interactive ]; then
    [ -n "${DISPLAY:-}" ] || { echo "demo: --interactive needs DISPLAY" >&2; exit 2; }
    "$WINE_LOADER" "$(winpath "$medium/Setup.exe")"
    exit 0
fi

rm -rf "$out"
mkdir -p "$out"
driver=$(winpath "$build/win64/tests/e2e/tessora_driver.exe")
shots=$(winpath "$out")

run_on_display() {
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
}

echo
echo "== Setup.exe from the medium $medium"
run_on_display "$WINE_LOADER" "$driver" install "$(winpath "$medium/Setup.exe")" --shots "$shots"

echo
echo "== installed files ($install_dir)"
(cd "$install_dir" && find . -type f | sort | sed 's|^\./|  |')
echo
echo "== Uninstall.log (hidden; code page 936, shown as UTF-8)"
iconv -f CP936 -t UTF-8 "$install_dir/Uninstall.log" | tr -d '\r' | sed 's/^/  /'
echo
echo "== registry"
for key in 'HKLM\SOFTWARE\Quorvatek\Tessora\V5' \
           'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessora V5'; do
    "$WINE_LOADER" reg query "$key" 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/  /'
done
echo "  installed programs list: $("$WINE_LOADER" uninstaller --list 2>/dev/null | tr -d '\r' | grep -i mosaika || echo '(not listed)')"

echo
echo "== Uninstall.exe from the install folder"
run_on_display "$WINE_LOADER" "$driver" uninstall "$(winpath "$install_dir/Uninstall.exe" | sed 's|^Z:.*drive_c|C:|')" --shots "$shots"
# The self-deleting batch removes Uninstall.exe and the folder once the program has ended.
for _ in $(seq 1 100); do [ -e "$install_dir" ] || break; sleep 0.1; done
if [ -e "$install_dir" ]; then
    echo "  left behind:"; (cd "$install_dir" && find . | sed 's|^\./|    |')
else
    echo "  install folder removed"
fi
"$WINE_LOADER" reg query 'HKLM\SOFTWARE\Quorvatek\Tessora\V5' >/dev/null 2>&1 \
    && echo "  product key still present" || echo "  product key removed"

for bmp in "$out"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo
echo "== screenshots in $out"
ls "$out" | sed 's/^/  /'
