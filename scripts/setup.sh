#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a fresh Debian
# machine (run as root). Idempotent: what is already there is skipped, so a
# second run costs a few seconds.
set -euo pipefail

# The programs ship as 32-bit builds; the tests and the demo run a 64-bit build
# of the same sources under 64-bit Wine. Machines of our kind run 32-bit Linux
# code only emulated (qemu-user-static): the test command runs the shipped
# programs on that 32-bit route, made below under the build folder.
need_pkgs=(
  g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth locales fonts-arphic-uming
  cmake ninja-build g++ googletest
  clang libclang-rt-14-dev clang-format
  imagemagick xdotool x11-utils
  xorriso
  qemu-user-static libz-mingw-w64
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
# The 32-bit route: 32-bit Wine unpacked, not installed (scripts/wine32.sh).
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/wine32.sh" setup "${TESSORA_BUILD:-$root/build}/wine32"
echo "setup: tool chain ready"
