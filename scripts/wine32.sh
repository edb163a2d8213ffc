#!/usr/bin/env bash
# wine32.sh setup DIR   makes DIR the 32-bit route (as root; a second run is quick)
# wine32.sh env DIR     prints the shell assignments that put a session on it
#
# The 32-bit route runs the shipped 32-bit programs under Wine on machines of
# our kind, whose kernel executes no 32-bit Linux code: only Wine's 32-bit
# loader runs emulated, under qemu-i386-static, while the wineserver and every
# 64-bit Wine process stay native. The 32-bit Wine of the distribution is
# unpacked into DIR/root from its packages, never installed: installed, it
# would make the plain `wine` the 32-bit loader and pull the machine's 64-bit
# Wine libraries along to its own versions. The one package it installs is
# qemu-user-static (scripts/setup.sh lists it).
#
# DIR/w/usr/lib/wine is the loader folder of a session: Wine starts a 32-bit
# child as "<folder of the running loader>/wine", so the 64-bit loader runs
# from there, beside a `wine` that is the emulated 32-bit loader.
set -euo pipefail

cmd=${1:-}
[ $# -eq 2 ] || { echo "usage: $0 setup|env DIR" >&2; exit 2; }
dir=$(realpath -m "$2")
root=$dir/root
bin=$dir/w/usr/lib/wine
stamp=$dir/.wine32-ready

# A route is made for one version of the machine's 64-bit Wine.
stamp_text() { echo "wine32 route 2; $(dpkg-query -W -f='${Version}' wine64)"; }

setup() {
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(stamp_text)" ]; then
        return 0
    fi
    if [ "$(id -u)" != 0 ]; then
        echo "wine32: $dir is not ready; run scripts/setup.sh as root" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        flock /tmp/apt.lock apt-get update -q
    fi
    rm -rf "$root" "$dir/w" "$dir/w64pre"
    mkdir -p "$dir/debs" "$root" "$dir/w64pre" "$bin" "$dir/w/usr/share"
    # The 32-bit loader, its preloader and every i386 library they need, as
    # apt would install them beside the 64-bit Wine; the downloads are kept.
    local pkgs
    pkgs=$(apt-get install -s --no-install-recommends wine32:i386 wine32-preloader:i386 |
        awk '/^Inst/ && $2 ~ /:i386$/ { print $2 }')
    [ -n "$pkgs" ] || { echo "wine32: apt finds no wine32:i386 to unpack" >&2; exit 1; }
    (cd "$dir/debs" && flock /tmp/apt.lock apt-get download -q -o APT::Sandbox::User=root $pkgs wine64-preloader >/dev/null)
    local name deb
    for name in $pkgs; do
        name=${name%:i386}
        deb=$(ls -t "$dir/debs/${name}"_*_i386.deb | head -1)
        dpkg-deb -x "$deb" "$root"
    done
    dpkg-deb -x "$(ls -t "$dir"/debs/wine64-preloader_*_amd64.deb | head -1)" "$dir/w64pre"

    # What the 32-bit Wine library's installation would do: the MinGW zlib as
    # one of Wine's own DLLs (the mark sits at offset 64 of the file).
    local zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
    { head -c 64 "$zlib"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$zlib"; } \
        > "$root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
    # The i386 libraries' own cache: with the machine's, the emulated loader
    # finds no 32-bit FreeType and Wine has no TrueType fonts.
    printf 'include /etc/ld.so.conf.d/*.conf\n' > "$root/etc/ld.so.conf"
    ldconfig -r "$root"

    cp /usr/lib/wine/wine64 "$bin/wine64"
    cp -L "$dir/w64pre/usr/lib/wine/wine64-preloader" "$bin/wine64-preloader"
    # Not under its own name: Wine would exec a "wine-preloader" beside the
    # loader directly, and a kernel that does run it natively then fails on
    # the wrapper below, which is no ELF file.
    cp -L "$root/usr/lib/wine/wine-preloader" "$bin/wine32-preloader"
    ln -sfn /usr/lib/wine/wineserver64 "$bin/wineserver"
    ln -sfn /usr/share/wine "$dir/w/usr/share/wine"
    ln -sfn /usr/lib/x86_64-linux-gnu "$dir/w/usr/lib/x86_64-linux-gnu"
    # The emulated loader looks for its libraries beside its folder too.
    ln -sfn "$root/usr/lib/i386-linux-gnu" "$dir/w/usr/lib/i386-linux-gnu"
    # Started through the 32-bit preloader: without it the loader spends about
    # a minute reserving its address space under the emulator.
    cat > "$bin/wine" <<EOS
#!/bin/sh
# The 32-bit Wine loader, emulated.
export WINELOADERNOEXEC=1
exec /usr/bin/qemu-i386-static -L "$root" "$bin/wine32-preloader" "$root/usr/lib/wine/wine" "\$@"
EOS
    chmod +x "$bin/wine"
    stamp_text > "$stamp"
}

case $cmd in
setup) setup ;;
env)
    [ -f "$stamp" ] || { echo "wine32: $dir is not set up (run scripts/setup.sh)" >&2; exit 1; }
    # scripts/wine-env.sh takes the loader and server from these; the 64-bit
    # side fills the prefix's 32-bit system folder from WINEDLLPATH.
    printf 'export TESSORA_WINE_LOADER=%q\n' "$bin/wine64"
    printf 'export TESSORA_WINE_SERVER=%q\n' "$bin/wineserver"
    printf 'export WINEDLLPATH=%q\n' "$root/usr/lib/i386-linux-gnu/wine"
    ;;
*)
    echo "usage: $0 setup|env DIR" >&2
    exit 2
    ;;
esac
