#!/usr/bin/env bash
# fresh-check.sh [--new-base] 'COMMAND'
#
# Runs one of the README's commands (for example 'scripts/demo.sh' or
# 'scripts/test.sh') as a new user would: in a minimal Debian made with
# debootstrap (variant minbase: the required set and apt, nothing else), on a
# clean clone of this repository's committed HEAD, as root. Whatever the
# command needs beyond that minimal system, its own scripts must install.
# Run it before stopping whenever scripts/ or the package list changes; it is
# not part of the test command (it downloads a whole system).
#
# The minimal system is made once from the machine's own Debian mirror and
# suite and kept in $TESSORA_FRESH_DIR/base (default /var/tmp/tessora-fresh);
# every run works on a new copy of it, which is removed after a run that
# passed and kept, for a look inside, after one that failed. --new-base makes
# the minimal system again.
#
# Prints the command's output, its exit status and how long it took; exits
# with the command's status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

new_base=0
if [ "${1:-}" = --new-base ]; then
    new_base=1
    shift
fi
if [ $# -ne 1 ] || [ -z "$1" ]; then
    echo "usage: $0 [--new-base] 'COMMAND'" >&2
    exit 2
fi
command=$1
[ "$(id -u)" = 0 ] || { echo "fresh-check: run as root (debootstrap and chroot)" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "fresh-check: no debootstrap (run scripts/setup.sh)" >&2; exit 1; }

work=${TESSORA_FRESH_DIR:-/var/tmp/tessora-fresh}
base=$work/base
mkdir -p "$work"

# The machine's own Debian: its suite, and the first mirror of its sources.
. /etc/os-release
suite=$VERSION_CODENAME
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -v -- '-security' | head -1 || true)
if [ -z "$mirror" ]; then
    mirror=$(awk '$1 == "deb" && $2 !~ /security/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
        /etc/apt/sources.list 2>/dev/null || true)
fi
[ -n "$mirror" ] || { echo "fresh-check: no Debian mirror in the machine's apt sources" >&2; exit 1; }

if [ $new_base = 1 ] || [ ! -f "$base/.fresh-check-base" ]; then
    echo "== fresh-check: minimal Debian $suite from $mirror into $base"
    rm -rf "$base"
    debootstrap --variant=minbase "$suite" "$base" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -20 "$work/debootstrap.log"; echo "fresh-check: debootstrap failed ($work/debootstrap.log)" >&2; exit 1; }
    # The same archives the machine uses (updates and security too), not only
    # the one suite debootstrap was given.
    if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
        rm -f "$base/etc/apt/sources.list"
        cp /etc/apt/sources.list.d/*.sources "$base/etc/apt/sources.list.d/"
    fi
    echo "$suite $mirror $(date -u +%FT%TZ)" >"$base/.fresh-check-base"
fi

sys=$work/run-$(date +%Y%m%d-%H%M%S)-$$
echo "== fresh-check: a copy of the minimal system in $sys"
cp -a "$base" "$sys"
cp -L /etc/resolv.conf "$sys/etc/resolv.conf"
mkdir -p "$sys/src"
git -C "$root" rev-parse --verify -q HEAD >/dev/null ||
    { echo "fresh-check: $root has no commit to clone" >&2; exit 1; }
git clone -q "$root" "$sys/src/tessora"
echo "   clone of $(git -C "$sys/src/tessora" log -1 --format='%h %s')"

mounted=()
cleanup() {
    local i
    for (( i = ${#mounted[@]} - 1; i >= 0; i-- )); do
        umount -R "${mounted[$i]}" 2>/dev/null || umount -R -l "${mounted[$i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT
mount -t proc proc "$sys/proc" && mounted+=("$sys/proc")
mount -t sysfs sysfs "$sys/sys" && mounted+=("$sys/sys")
mount --rbind /dev "$sys/dev" && mount --make-rslave "$sys/dev" && mounted+=("$sys/dev")
# X displays share one namespace of sockets with the machine's own: displays
# below 200 are marked taken inside, so `xvfb-run -a` there never picks a
# number that a display on the machine is using.
for n in $(seq 0 199); do : >"$sys/tmp/.X$n-lock"; done

echo "== fresh-check: $command"
started=$(date +%s)
status=0
chroot "$sys" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /src/tessora && exec bash -c "$1" </dev/null' fresh-check "$command" ||
    status=$?
elapsed=$(( $(date +%s) - started ))
cleanup
mounted=()

echo "== fresh-check: '$command' exited with $status after ${elapsed} s in a minimal Debian $suite"
if [ $status = 0 ]; then
    # Never remove a tree that still has the machine's /dev or /proc inside.
    if grep -qF " $sys/" /proc/self/mounts; then
        echo "   still mounted below $sys; not removing it" >&2
    else
        rm -rf "$sys"
    fi
else
    echo "   the system it ran in is kept: $sys" >&2
fi
exit $status
