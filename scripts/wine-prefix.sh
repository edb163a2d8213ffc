#!/usr/bin/env bash
# wine-prefix.sh PREFIX
#
# Makes sure PREFIX is a ready 64-bit Wine prefix for the tests and the demo:
# created with wineboot, Chinese font names mapped to the installed Chinese
# font, Wine's Marlett among the prefix's fonts, top-level windows unmanaged (no 2 s close time-out under a bare Xvfb)
# and no crash dialog that would wait for a click. A stamp file marks a
# finished prefix, so a second call returns at once; callers that race are
# serialised with flock on PREFIX.lock. A prefix left half-made by an earlier
# failed run is removed and made again.
#
# Environment: TESSORA_WINEBOOT_TIMEOUT (seconds, default 900) bounds the
# creation, so a Wine that hangs fails the caller instead of blocking it.
set -euo pipefail

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 PREFIX" >&2
  exit 2
fi

prefix=$1
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac
prefix=${prefix%/}

# The Song/Ming face of fonts-arphic-uming, as Wine and fontconfig name it.
font_family='AR PL UMing CN'
# Bump when what this script puts into a prefix changes: older prefixes are
# then made again instead of silently lacking the new settings.
stamp_text="tessora wine prefix 3 win64; font $font_family; marlett"
stamp=$prefix/.tessora-prefix-ready

# Read with a builtin: this runs before every program start, and a fork costs
# tens of milliseconds on our machines.
prefix_ready() {
  local line=
  [ -f "$stamp" ] && { read -r line < "$stamp"; } 2>/dev/null && [ "$line" = "$stamp_text" ]
}

prefix_ready && exit 0

. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
export WINEPREFIX=$prefix
# Creating the prefix needs no display; with one, wineboot may put up a
# progress window.
unset DISPLAY WAYLAND_DISPLAY

timeout_s=${TESSORA_WINEBOOT_TIMEOUT:-900}

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock -w "$timeout_s" 9 || { echo "wine-prefix: timed out waiting for $prefix.lock" >&2; exit 1; }

# Another caller may have finished the prefix while this one waited.
prefix_ready && exit 0

# The caption buttons (close, minimise, maximise) are glyphs of the Marlett
# font: its "r" is the close box. Wine ships it (fonts-wine), but this Wine
# does not load the fonts of its own data folder and fontconfig does not list
# them, so without a copy in the prefix's Fonts folder a caption falls back to
# a text font and its close box shows as the letter "r".
marlett=${TESSORA_MARLETT_FONT:-/usr/share/wine/fonts/marlett.ttf}
if [ ! -s "$marlett" ]; then
  echo "wine-prefix: $marlett missing (fonts-wine missing? run scripts/setup.sh)" >&2
  exit 1
fi

if ! fc-list : family | tr ',' '\n' | grep -qxF "$font_family"; then
  echo "wine-prefix: font family '$font_family' not found (fonts-arphic-uming missing? run scripts/setup.sh)" >&2
  exit 1
fi

# Whatever is there without a valid stamp is an unfinished or outdated prefix.
# Only remove something that looks like one of ours, never an unrelated folder.
if [ -e "$prefix" ]; then
  if [ -f "$prefix/system.reg" ] || [ -d "$prefix/drive_c" ] || [ -z "$(ls -A "$prefix")" ]; then
    "$WINE_SERVER" -k 2>/dev/null || true
    rm -rf "$prefix"
  else
    echo "wine-prefix: $prefix exists and is not a Wine prefix; not touching it" >&2
    exit 1
  fi
fi

fail() {
  echo "wine-prefix: $*" >&2
  "$WINE_SERVER" -k 2>/dev/null || true
  rm -rf "$prefix"
  exit 1
}

start=$(date +%s)
remaining() { echo $(( timeout_s - ($(date +%s) - start) > 1 ? timeout_s - ($(date +%s) - start) : 1 )); }

timeout "$(remaining)" "$WINE_LOADER" wineboot --init >/dev/null 2>&1 || fail "wineboot --init failed or timed out in $prefix"
timeout "$(remaining)" "$WINE_SERVER" -w || fail "wineserver did not finish after wineboot in $prefix"

# Windows loads every font of its Fonts folder at start-up; so does Wine.
cp "$marlett" "$prefix/drive_c/windows/Fonts/marlett.ttf" || fail "cannot copy Marlett into $prefix"

# Registry settings go in through a .reg file in UTF-16LE (with its byte-order
# mark), the format regedit reads losslessly: the Chinese value names would be
# mangled on a command line or in an 8-bit file read in the wrong code page.
reg=$(mktemp "${TMPDIR:-/tmp}/tessora-prefix.XXXXXX.reg")
trap 'rm -f "$reg"' EXIT
{
  printf '\xff\xfe'
  printf '%s\r\n' \
    'Windows Registry Editor Version 5.00' \
    '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    "\"宋体\"=\"$font_family\"" \
    "\"SimSun\"=\"$font_family\"" \
    "\"新宋体\"=\"$font_family\"" \
    "\"NSimSun\"=\"$font_family\"" \
    '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
    '"Managed"="N"' \
    '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' \
    '"ShowCrashDialog"=dword:00000000' \
    '' | iconv -f UTF-8 -t UTF-16LE
} > "$reg"

# Z: is the Unix root in every new prefix.
timeout "$(remaining)" "$WINE_LOADER" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 \
  || fail "regedit could not import the prefix settings"
# The server writes the registry files when it exits.
timeout "$(remaining)" "$WINE_SERVER" -w || fail "wineserver did not finish after regedit in $prefix"

# Check what actually landed: system.reg escapes non-ASCII characters as
# \xNNNN (宋体 is U+5B8B U+4F53, 新宋体 U+65B0 U+5B8B U+4F53).
grep -qF "\"\\x5b8b\\x4f53\"=\"$font_family\"" "$prefix/system.reg" \
  || fail "font substitute for 宋体 missing from $prefix/system.reg"
grep -qF "\"\\x65b0\\x5b8b\\x4f53\"=\"$font_family\"" "$prefix/system.reg" \
  || fail "font substitute for 新宋体 missing from $prefix/system.reg"
grep -qF "\"SimSun\"=\"$font_family\"" "$prefix/system.reg" \
  || fail "font substitute for SimSun missing from $prefix/system.reg"
grep -qF '"Managed"="N"' "$prefix/user.reg" \
  || fail "X11 Driver Managed=N missing from $prefix/user.reg"

printf '%s\n' "$stamp_text" > "$stamp.tmp"
mv "$stamp.tmp" "$stamp"
