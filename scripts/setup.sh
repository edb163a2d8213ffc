#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a fresh Debian
# machine (run as root). Idempotent: what is already there is skipped, so a
# second run costs a few seconds.
set -euo pipefail

# The programs ship as 32-bit builds; the tests and the demo run a 64-bit build
# of the same sources under 64-bit Wine. Machines of our kind run 32-bit Linux
# code only emulated (qemu-user-static): the test command runs the shipped
# programs on that 32-bit route, made below under the build folder.
# One package a line, with what the scripts use of it: scripts/check-packages.py
# fails when a script calls a command that neither comes from one of these nor
# from Debian's required set (what a minimal Debian has from the start).
need_pkgs=(
  g++-mingw-w64-i686          # i686-w64-mingw32-g++: the shipped 32-bit programs
  gcc-mingw-w64-i686-win32    # i686-w64-mingw32-gcc-win32: the instruction check's probe
  mingw-w64-i686-dev          # the Windows headers and libraries for 32 bits
  binutils-mingw-w64-i686     # i686-w64-mingw32-objdump, -windres
  g++-mingw-w64-x86-64        # x86_64-w64-mingw32-g++: the tested 64-bit build
  mingw-w64-x86-64-dev        # the Windows headers and libraries for 64 bits
  binutils-mingw-w64-x86-64   # x86_64-w64-mingw32-objdump, -windres
  libz-mingw-w64              # zlib1.dll for the 32-bit route's Wine
  wine                        # wine: Windows programs run under it
  wine64                      # /usr/lib/wine/wine64, wineserver64
  fonts-wine                  # Wine's own fonts
  xvfb                        # xvfb-run: an X display without a screen
  xauth                       # xauth, which xvfb-run calls
  locales                     # locale-gen: the zh_CN.UTF-8 locale
  fonts-arphic-uming          # the Song/Ming face that stands in for 宋体
  fontconfig                  # fc-list: is that face installed
  cmake                       # cmake, ctest
  ninja-build                 # ninja, which cmake drives
  g++                         # the host build
  googletest                  # the test framework's sources
  clang                       # clang++: the fuzz build
  libclang-rt-14-dev          # libFuzzer and the sanitizer runtimes for clang
  clang-format                # clang-format: the formatting check
  git                         # git ls-files: the sources the formatting check reads
  python3                     # python3: resource comparison, benchmark summaries
  imagemagick                 # convert: the demo's screenshots to PNG
  xorriso                     # xorriso: the CD image
  qemu-user-static            # /usr/bin/qemu-i386-static: the 32-bit route
  debootstrap                 # debootstrap: scripts/fresh-check.sh
)

missing=()
for p in "${need_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  flock /tmp/apt.lock apt-get update -q
  flock /tmp/apt.lock apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Chinese locale: without it Wine cannot make code page 936 the ANSI page.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: the zh_CN.UTF-8 locale is missing; run this script as root" >&2
    exit 1
  fi
  sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi
# The unprivileged user that the tests and the demo run Wine as, so that what
# Windows refuses a user (overwriting a read-only file) is refused here too.
wine_user=${TESSORA_WINE_USER:-tessora}
if [ "$(id -u)" = 0 ] && ! id -u "$wine_user" >/dev/null 2>&1; then
  useradd --create-home --shell /bin/bash --user-group "$wine_user"
fi
# The 32-bit route: 32-bit Wine unpacked, not installed (scripts/wine32.sh).
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/wine32.sh" setup "${TESSORA_BUILD:-$root/build}/wine32"
echo "setup: tool chain ready"
