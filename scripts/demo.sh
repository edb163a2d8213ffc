#!/usr/bin/env bash
# The main job: builds the programs and the CD image, then in one Wine session
# (a fresh demo prefix, one X display, one server) installs the product from
# the CD and removes it again, first as a user does, then unattended as a
# deployment script does:
#
#   the image's content, read-only as on a CD, is drive D: (a CD-ROM drive);
#   D:\Setup.exe is driven through to Finish; what it installed is reported;
#   the removal starts from the list of installed programs (Wine's
#   `uninstaller --remove`, which runs the entry's UninstallString), the
#   driver answers Uninstall's question and presses Finish; the self-deleting
#   batch has to leave nothing behind;
#   then D:\Setup.exe /S and the entry's QuietUninstallString as written, each
#   watched for any window and for exit code 0, and again nothing may be left;
#   last the screenshots are converted to PNG.
#
# Screenshots go to out/demo/; a summary ends the run. Exit status 0 only when
# every step did what it should; otherwise the first failed step is named.
#
#   scripts/demo.sh                 the whole demonstration, unattended
#   scripts/demo.sh --interactive   with DISPLAY set: run D:\Setup.exe on that display yourself
#
# Environment: TESSORA_BUILD (default build/), TESSORA_DEMO_OUT (default out/demo/).
#
# The programs ship as 32-bit builds (build/win32, whose medium target writes
# the shipped Tessora-V5.iso, built here too); the demo runs the 64-bit build
# of the same sources and the same image made from it (build/win64) under
# 64-bit Wine. The shipped 32-bit programs run here only on the emulated
# 32-bit route (scripts/wine32.sh), where the test command's round trip
# checks them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}
out=${TESSORA_DEMO_OUT:-$root/out/demo}
# Absolute: the session changes its folder to the prefix's drive C:.
case $build in /*) ;; *) build=$PWD/$build ;; esac
case $out in /*) ;; *) out=$PWD/$out ;; esac
. "$root/scripts/wine-session.sh"

interactive=0
if [ "${1:-}" = --interactive ]; then
    [ -n "${DISPLAY:-}" ] || { echo "demo: --interactive needs DISPLAY" >&2; exit 2; }
    interactive=1
    # The session is the caller's display.
    export TESSORA_SESSION_DISPLAY=1
fi

if [ -z "${TESSORA_DEMO_BUILT:-}" ]; then
    bash "$root/scripts/setup.sh"
    echo "== building"
    cmake -G Ninja -S "$root" -B "$build/win32" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build/win32" --target medium
    cmake -G Ninja -S "$root" -B "$build/win64" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build/win64" --target medium tessora_driver
    export TESSORA_DEMO_BUILT=1
fi
# Everything from here on runs as the unprivileged Wine user (scripts/setup.sh),
# as a user of Windows would run it, inside one X display. The folders it
# writes are that user's; an interactive run stays on its caller's display,
# as the caller.
if [ $interactive = 0 ]; then
    session_own "$build" "$(dirname "$out")"
    session_own -R "$out" "$build/demo-cd" "$build/demo-prefix" "$build/demo-prefix.lock" \
        "$build/demo-work"
    session_user "$@"
fi
session_display "$@"

iso=$build/win64/Tessora-V5.iso
cd_dir=$build/demo-cd
prefix=$build/demo-prefix
work=$build/demo-work
driver=$(winpath "$build/win64/driver/tessora_driver.exe")
install_dir=$prefix/drive_c/Program\ Files/Quorvatek/Tessora
install_win='C:\Program Files\Quorvatek\Tessora'
product_key='HKLM\SOFTWARE\Quorvatek\Tessora\V5'
entry=Tessora\ V5
uninstall_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$entry"
dsn_key='HKLM\Software\ODBC\ODBC.INI\SwatchDepot'

# Steps run in turn; the first one that fails ends the demo with the summary.
done_steps=()
failed_step=
why() { echo "  ${*}" >&2; }

# Lines for the summary, gathered by the steps.
declare -A fact

# A registry key's values as "name=data" pairs on one line; fails when the key is missing.
reg_values() {
    local lines
    lines=$("$WINE_LOADER" reg query "$1" 2>/dev/null </dev/null | tr -d '\r') || return 1
    awk '$2 ~ /^REG_/ { v = $1; for (i = 3; i <= NF; i++) v = v (i == 3 ? "=" : " ") $i; printf "%s%s", sep, v; sep = ", " }' <<<"$lines"
}

# The line of Wine's list of installed programs for our entry ("key|||name").
list_entry() {
    "$WINE_LOADER" uninstaller --list </dev/null >"$work/list.txt" 2>/dev/null || true
    tr -d '\r' <"$work/list.txt" | grep -F "$entry|||" || true
}

# The image's content laid out read-only, as a CD shows it.
step_cd() {
    [ -f "$iso" ] || { why "no CD image $iso"; return 1; }
    fact[label]=$(xorriso -indev "$iso" -pvd_info 2>/dev/null | sed -n "s/^Volume Id *: //p")
    [ -n "${fact[label]}" ] || { why "the image has no volume label"; return 1; }
    [ ! -e "$cd_dir" ] || chmod -R u+w "$cd_dir"
    rm -rf "$cd_dir"
    xorriso -report_about SORRY -local_charset UTF-8 -osirrox on -indev "$iso" \
        -extract / "$cd_dir" 2>"$work/xorriso.txt" \
        || { why "xorriso could not extract the image: $(cat "$work/xorriso.txt")"; return 1; }
    chmod -R a-w "$cd_dir"
    local writable
    writable=$(find "$cd_dir" -perm /222 | head -3)
    [ -z "$writable" ] || { why "writable on the CD: $writable"; return 1; }
    # The Joliet names the image must carry.
    for name in 说明.txt Database/填充图案.mdb Setup.exe Uninstall.exe; do
        [ -f "$cd_dir/$name" ] || { why "$name missing from the CD"; return 1; }
    done
    fact[cd_files]=$(find "$cd_dir" -type f | wc -l)
    echo "  $iso, volume ${fact[label]}: ${fact[cd_files]} files, all read-only, in $cd_dir"
}

# A fresh prefix whose drive D: is that folder, of drive type CD-ROM. Wine's
# mount manager reads both when the session's services start.
step_prefix() {
    export WINEPREFIX=$prefix
    session_stop
    rm -rf "$prefix" "$prefix.lock"
    session_prefix "$prefix" || { why "no prefix"; return 1; }
    rm -f "$prefix/dosdevices/d:" "$prefix/dosdevices/d::"
    ln -s "$cd_dir" "$prefix/dosdevices/d:"
    "$WINE_LOADER" reg add 'HKLM\Software\Wine\Drives' /v d: /t REG_SZ /d cdrom /f \
        </dev/null >/dev/null 2>&1 || { why "cannot set the drive type of D:"; return 1; }
    # The registry is on disk once that server has ended.
    "$WINE_SERVER" -w
    grep -qF '"d:"="cdrom"' "$prefix/system.reg" || { why "drive type of D: not in the registry"; return 1; }
    echo "  $prefix, D: -> $cd_dir (cdrom)"
}

step_session() {
    # Programs start from the system drive, as Windows starts them: the
    # uninstaller writes its self-deletion batch at the root of its current
    # drive, and the Unix root behind drive Z: is not the Wine user's to write.
    cd "$prefix/drive_c"
    session_start || return 1
    echo "  display $DISPLAY, wineserver of $WINEPREFIX, run by $(id -un) (uid $(id -u))"
}

step_setup() {
    "$WINE_LOADER" "$driver" install 'D:\Setup.exe' --shots "$(winpath "$out")" \
        </dev/null >"$work/setup.txt" 2>&1
    local rc=$?
    sed 's/^/  /' "$work/setup.txt"
    [ $rc = 0 ] || { why "the driver ended with $rc"; return 1; }
    grep -q '^setup: D:\\Setup.exe (CD-ROM drive)' "$work/setup.txt" \
        || { why "Setup did not run from the CD-ROM drive D:"; return 1; }
    fact[from]='D:\Setup.exe (CD-ROM drive)'
}

# What Setup left: every file of the CD but Setup.exe, byte for byte and
# writable, the hidden log, both keys and the list entry.
step_installed() {
    [ -d "$install_dir" ] || { why "no install folder $install_dir"; return 1; }
    echo "  files in $install_win:"
    (cd "$install_dir" && find . -type f | sort | sed 's|^\./|    |')
    local f missing=0
    while IFS= read -r -d '' f; do
        f=${f#"$cd_dir"/}
        [ "$f" = Setup.exe ] && continue
        cmp -s "$cd_dir/$f" "$install_dir/$f" || { why "not installed as on the CD: $f"; missing=1; }
    done < <(find "$cd_dir" -type f -print0)
    [ $missing = 0 ] || return 1
    [ -f "$install_dir/Uninstall.log" ] || { why "no Uninstall.log"; return 1; }
    f=$(find "$install_dir" -type f ! -perm -200 | head -3)
    [ -z "$f" ] || { why "installed read-only: $f"; return 1; }
    echo "  Uninstall.log (hidden; code page 936, shown as UTF-8):"
    iconv -f CP936 -t UTF-8 "$install_dir/Uninstall.log" | tr -d '\r' | sed 's/^/    /'
    fact[files]=$(find "$install_dir" -type f | wc -l)
    fact[folders]=$(find "$install_dir" -mindepth 1 -type d | wc -l)
    fact[product]=$(reg_values "$product_key") || { why "no key $product_key"; return 1; }
    fact[entry]=$(reg_values "$uninstall_key") || { why "no key $uninstall_key"; return 1; }
    fact[dsn]=$(reg_values "$dsn_key") || fact[dsn]="not created (this prefix has no Access ODBC driver)"
    fact[list]=$(list_entry)
    [ -n "${fact[list]}" ] || { why "not in the list of installed programs"; return 1; }
    echo "  $product_key: ${fact[product]}"
    echo "  $uninstall_key: ${fact[entry]}"
    echo "  data source SwatchDepot: ${fact[dsn]}"
    echo "  installed programs list: ${fact[list]}"
}

# As a user removes it: from the list of installed programs. Wine's uninstaller
# runs the entry's UninstallString and waits for it; the driver takes over the
# program once its question is on the desktop.
step_remove() {
    "$WINE_LOADER" uninstaller --remove "$entry" </dev/null >"$work/uninstaller.txt" 2>&1 &
    local uninstaller=$! rc
    "$WINE_LOADER" "$driver" uninstall --attach --shots "$(winpath "$out")" \
        </dev/null >"$work/uninstall.txt" 2>&1
    rc=$?
    sed 's/^/  /' "$work/uninstall.txt"
    if [ $rc != 0 ]; then
        why "the driver ended with $rc"
        kill "$uninstaller" 2>/dev/null || true
        return 1
    fi
    wait "$uninstaller" || { why "uninstaller --remove ended with $?: $(cat "$work/uninstaller.txt")"; return 1; }
    fact[removed]="uninstaller --remove \"$entry\" ran $(sed -n 's/.*UninstallString=//p' <<<"${fact[entry]}")"
}

# The batch deletes Uninstall.exe and the folder once the program has ended.
step_self_deletion() {
    local i
    for i in $(seq 1 300); do
        [ ! -e "$install_dir" ] && [ ! -e "$prefix/drive_c/DelUS.bat" ] && return 0
        sleep 0.1
    done
    why "still there after 30 s:"
    (cd "$install_dir" 2>/dev/null && find . | sed 's|^\./|    |') >&2
    return 1
}

step_nothing_left() {
    local left=()
    [ ! -e "$install_dir" ] || left+=("$install_win")
    reg_values "$product_key" >/dev/null && left+=("$product_key")
    reg_values "$uninstall_key" >/dev/null && left+=("$uninstall_key")
    reg_values "$dsn_key" >/dev/null && left+=("$dsn_key")
    [ -z "$(list_entry)" ] || left+=("the list entry $entry")
    # Setup creates the vendor's folder and key above its own without recording
    # them, so they stay; but empty.
    local vendor_dir=$prefix/drive_c/Program\ Files/Quorvatek
    [ ! -d "$vendor_dir" ] || [ -z "$(ls -A "$vendor_dir")" ] || left+=("files in $vendor_dir")
    local vendor_key
    vendor_key=$("$WINE_LOADER" reg query 'HKLM\SOFTWARE\Quorvatek' /s </dev/null 2>/dev/null) || true
    ! grep -q 'REG_' <<<"$vendor_key" || left+=("values below HKLM\SOFTWARE\Quorvatek")
    if [ ${#left[@]} -gt 0 ]; then
        fact[left]=$(printf '%s; ' "${left[@]}")
        why "left behind: ${fact[left]}"
        return 1
    fi
    fact[left]=nothing
    fact[gone]="${fact[files]} files, ${fact[folders]} folders and the install folder, both keys, the list entry"
    echo "  nothing left: no install folder, no product key, no list entry, no data source"
    echo "  (the empty vendor folder C:\Program Files\Quorvatek and key HKLM\SOFTWARE\Quorvatek\Tessora,"
    echo "  which Setup makes without recording them, stay)"
}

# Unattended, as a deployment script does it: D:\Setup.exe /S, then the
# entry's QuietUninstallString as written. The driver watches the desktop: no
# window of either program may ever be shown, and each must end with 0.
step_quiet_install() {
    "$WINE_LOADER" "$driver" quiet 'D:\Setup.exe /S' </dev/null >"$work/quiet-setup.txt" 2>&1
    local rc=$?
    sed 's/^/  /' "$work/quiet-setup.txt"
    [ $rc = 0 ] || { why "Setup.exe /S: the driver ended with $rc"; return 1; }
    [ -f "$install_dir/Uninstall.log" ] || { why "no Uninstall.log after Setup.exe /S"; return 1; }
    fact[quiet]=$(reg_values "$uninstall_key" | grep -o 'QuietUninstallString=[^,]*') \
        || { why "no QuietUninstallString in $uninstall_key"; return 1; }
    echo "  installed again: $(find "$install_dir" -type f | wc -l) files; ${fact[quiet]}"
}

step_quiet_remove() {
    local command=${fact[quiet]#QuietUninstallString=}
    "$WINE_LOADER" "$driver" quiet "$command" </dev/null >"$work/quiet-uninstall.txt" 2>&1
    local rc=$?
    sed 's/^/  /' "$work/quiet-uninstall.txt"
    [ $rc = 0 ] || { why "$command: the driver ended with $rc"; return 1; }
    fact[unattended]="Setup.exe /S and $command, no window shown, both exit code 0"
}

step_screenshots() {
    local bmp
    for bmp in "$out"/*.bmp; do
        [ -e "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp" || { why "cannot convert $bmp"; return 1; }
    done
    for bmp in setup-done uninstall-question uninstall-done; do
        [ -s "$out/$bmp.png" ] || { why "no screenshot $bmp.png"; return 1; }
    done
    fact[shots]=$(cd "$out" && ls ./*.png | sed 's|^\./||' | tr '\n' ' ')
    echo "  $out: ${fact[shots]}"
}

summary() {
    echo
    echo "== summary"
    local s
    for s in "${done_steps[@]}"; do echo "  ok      $s"; done
    [ -z "$failed_step" ] || echo "  FAILED  $failed_step"
    [ -n "${fact[from]:-}" ] && echo "  installed from   ${fact[from]}, CD image $iso, volume ${fact[label]}, ${fact[cd_files]} read-only files"
    [ -n "${fact[files]:-}" ] && {
        echo "  installed        ${fact[files]} files in ${fact[folders]} folders under $install_win"
        echo "  registry         $product_key (${fact[product]})"
        echo "                   $uninstall_key (${fact[entry]})"
        echo "  data source      SwatchDepot: ${fact[dsn]}"
        echo "  programs list    ${fact[list]}"
    }
    [ -n "${fact[removed]:-}" ] && echo "  removed by       ${fact[removed]}"
    [ -n "${fact[gone]:-}" ] && echo "  removed          ${fact[gone]}"
    [ -n "${fact[left]:-}" ] && echo "  left behind      ${fact[left]}"
    [ -n "${fact[unattended]:-}" ] && echo "  unattended       ${fact[unattended]}; nothing left again"
    [ -n "${fact[shots]:-}" ] && echo "  screenshots      $out: ${fact[shots]}"
    if [ -n "$failed_step" ]; then
        echo "demo: FAILED at \"$failed_step\""
    else
        echo "demo: all ${#done_steps[@]} steps passed"
    fi
}

# step TITLE FUNCTION: one step of the demo, run in this shell (so it can leave
# facts for the summary); its commands are checked by the function itself.
step() {
    echo
    echo "== $1"
    if "$2"; then
        done_steps+=("$1")
    else
        failed_step=$1
        summary
        exit 1
    fi
}

[ ! -e "$out" ] || chmod -R u+w "$out"
rm -rf "$out" "$work"
mkdir -p "$out" "$work"

step "CD image laid out read-only" step_cd
step "demo prefix with the CD as drive D:" step_prefix
step "Wine session on display ${DISPLAY:-?}" step_session
if [ $interactive = 1 ]; then
    "$WINE_LOADER" 'D:\Setup.exe'
    exit 0
fi
step "Setup.exe from the CD drive" step_setup
step "what Setup installed" step_installed
step "removal from the list of installed programs" step_remove
step "self-deletion of Uninstall.exe and its folder" step_self_deletion
step "what is left" step_nothing_left
step "unattended installation: D:\Setup.exe /S" step_quiet_install
step "unattended removal: the entry's QuietUninstallString" step_quiet_remove
step "self-deletion after the unattended removal" step_self_deletion
step "what is left after the unattended removal" step_nothing_left
step "screenshots" step_screenshots
summary
