#!/usr/bin/env bash
# The installation and removal benchmark (not part of the tests; CI never runs it).
#
#   scripts/bench.sh [--rounds N] [--warmup N] [--breakdown N] [--only small|large] [--log] [--no-setup]
#
# Builds the 64-bit programs, generates two deterministic media beside the
# build's own medium (small: 500 files, 20 MB; large: 5,000 files, 200 MB, a
# fifth of the names Chinese), makes a Wine prefix and starts a persistent
# wineserver before any timing, then for each medium runs warm-up rounds and N
# timed rounds (default 5) of four steps in turn, under one Xvfb:
#
#   Setup.exe, driven from start to Finish   vs  bench_copy.exe (FindFirstFileA/CopyFileA)
#   Uninstall.exe, Yes to Finish             vs  bench_delete.exe (DeleteFileA/RemoveDirectoryA)
#
# and the walkers built again as bench_copy_messages.exe and
# bench_delete_messages.exe: the walk on a second thread that sends one message
# per entry to a window of the first (the programs' protocol between worker and
# dialog, with nothing drawn), to show what that costs.
#
# into and from the same install folder. It prints per round and as medians the
# times, the paired ratios (program / plain walker, per round), the progress
# bar's paints against its width in pixels, and the peak memory (VmHWM) of each
# program's Wine process. Results also go to out/bench/.
#
# With --log each round also runs both programs with the diagnostic log
# (/LOG=C:\bench-setup.log, /LOG=C:\bench-uninstall.log), right after the
# same programs without it, and the summary gives the paired ratio.
#
# Last, per medium, --breakdown rounds (default 1, untimed) run the programs of
# a second build configured with TESSORA_PHASE_MARKS (build/bench-marks), which
# record when each phase is reached with the performance counter
# (framework/CRunLog.h); bench/breakdown.py makes the table.
#
# Environment: TESSORA_BUILD (default build/) holds build/win64 and the bench
# folder with the media and the prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}
out=${TESSORA_BENCH_OUT:-$root/out/bench}

args=("$@")
rounds=5
warmup=1
breakdown=1
only=
with_log=0
run_setup=1
while [ $# -gt 0 ]; do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --warmup) warmup=$2; shift 2 ;;
        --breakdown) breakdown=$2; shift 2 ;;
        --only) only=$2; shift 2 ;;
        --log) with_log=1; shift ;;
        --no-setup) run_setup=0; shift ;;
        *) echo "usage: $0 [--rounds N] [--warmup N] [--breakdown N] [--only small|large] [--log] [--no-setup]" >&2; exit 2 ;;
    esac
done

. "$root/scripts/wine-session.sh"
if [ -z "${TESSORA_SESSION_DISPLAY:-}" ] && [ "$run_setup" = 1 ]; then
    bash "$root/scripts/setup.sh"
fi
# One Wine session for the whole run: its X display started once, outside every timing.
session_display ${args[@]+"${args[@]}"}

echo "== building (64-bit, Release)"
win=$build/win64
cmake -G Ninja -S "$root" -B "$win" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$win" --target bench_programs >/dev/null
# The same programs recording their phases, for the breakdown rounds only.
marks_build=$build/bench-marks
if [ "$breakdown" -gt 0 ]; then
    cmake -G Ninja -S "$root" -B "$marks_build" -DTESSORA_PHASE_MARKS=ON \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$marks_build" --target Setup Uninstall >/dev/null
fi

bench=$build/bench
echo "== media"
python3 "$root/bench/make_medium.py" "$win/dist" "$bench/media/small" --files 500 --megabytes 20
python3 "$root/bench/make_medium.py" "$win/dist" "$bench/media/large" --files 5000 --megabytes 200
# The breakdown's media: the same files (linked, not copied) with the marks
# build's Setup.exe beside them and its Uninstall.exe to install.
if [ "$breakdown" -gt 0 ]; then
    for size in small large; do
        rm -rf "$bench/media/$size-marks"
        cp -al "$bench/media/$size" "$bench/media/$size-marks"
        cp --remove-destination "$marks_build/setup/Setup.exe" "$marks_build/uninstall/Uninstall.exe" \
            "$bench/media/$size-marks/"
    done
fi

echo "== Wine prefix $bench/prefix (made before any timing)"
session_prefix "$bench/prefix"
# The server and the session's own processes (services, explorer) start now,
# outside the timing.
session_start

driver=$(winpath "$win/driver/tessora_driver.exe")
paints=$(winpath "$win/bench/bench_paints.dll")
install_dir=$WINEPREFIX/drive_c/Program\ Files/Quorvatek/Tessora
install_win='C:\Program Files\Quorvatek\Tessora'

mkdir -p "$out"
stamp=$(date +%Y-%m-%d)
raw=$out/raw-$(date +%Y%m%d-%H%M%S).txt
: > "$raw"

# A sleep without a fork, for the memory sampler's loop.
exec {tick}<> <(:)

# peak_memory COMM FILE: waits for the Wine process of this prefix whose name is
# COMM, then follows its VmHWM (kB) until it ends, and writes the last value
# read to FILE. The high-water mark only grows, so the last reading is the peak
# of all but the program's final moments. With it go a profile of the program's
# two busiest threads from the scheduler's statistics (schedstat): the main
# (dialog) thread and the busiest other one (the worker), each as milliseconds
# on a CPU and milliseconds runnable but waiting for one; the rest of a
# thread's life it was blocked (in a SendMessage, a wait, file I/O).
peak_memory() {
    local comm=$1 file=$2 pid= name line hwm=0 tries=0 t run wait slices
    local main_run=0 main_wait=0 work_run=0 work_wait=0
    while [ -z "$pid" ] && [ $tries -lt 3000 ]; do
        for f in /proc/[0-9]*/comm; do
            { read -r name < "$f"; } 2>/dev/null || continue
            # The kernel keeps the first 15 bytes of a process name.
            [ "$name" = "${comm:0:15}" ] || continue
            local p=${f#/proc/}; p=${p%/comm}
            if grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null; then
                pid=$p; break
            fi
        done
        [ -n "$pid" ] || { tries=$((tries + 1)); read -t 0.01 -u "$tick" || true; }
    done
    if [ -n "$pid" ]; then
        while [ -e "/proc/$pid/status" ]; do
            while read -r name line; do
                [ "$name" = VmHWM: ] && { hwm=${line%% *}; break; }
            done < "/proc/$pid/status" 2>/dev/null || true
            for t in /proc/"$pid"/task/*; do
                { read -r run wait slices < "$t/schedstat"; } 2>/dev/null || continue
                if [ "${t##*/}" = "$pid" ]; then
                    main_run=$run; main_wait=$wait
                elif [ "$run" -ge "$work_run" ]; then
                    work_run=$run; work_wait=$wait
                fi
            done
            read -t 0.02 -u "$tick" || true
        done
    fi
    echo "$hwm $((main_run / 1000000)) $((main_wait / 1000000)) $((work_run / 1000000)) $((work_wait / 1000000))" > "$file"
}

# timed NAME COMM DRIVER-ARGS...: runs the driver with the memory sampler and
# appends "NAME ms paints bar_px peak_kB" to the raw results.
timed() {
    local name=$1 comm=$2; shift 2
    local memfile=$bench/peak.txt logfile=$bench/driver.txt log
    rm -f "$memfile"
    peak_memory "$comm" "$memfile" &
    local sampler=$!
    # Into a file, not a pipe: Wine's own background processes inherit the
    # output and would hold a pipe open after the driver has ended.
    if ! "$WINE_LOADER" "$driver" "$@" --bench > "$logfile" 2>&1 < /dev/null; then
        cat "$logfile" >&2
        kill "$sampler" 2>/dev/null || true
        echo "bench: $name failed" >&2
        exit 1
    fi
    wait "$sampler" || true
    log=$(cat "$logfile")
    local line ms paints_n=- bar=- kb split=
    line=$(grep '^bench:' <<<"$log")
    ms=$(sed -n 's/.* ms=\([0-9]*\).*/\1/p' <<<"$line")
    case $line in *paints=*)
        paints_n=$(sed -n 's/.* paints=\([0-9]*\).*/\1/p' <<<"$line")
        bar=$(sed -n 's/.* bar_px=\([0-9]*\).*/\1/p' <<<"$line")
        # How the paints came: sent (painted inside a call) and from the queue.
        split=$(sed -n 's/.* sent=\([0-9]*\) queued=\([0-9]*\).*/ \1 \2/p' <<<"$line") ;;
    esac
    kb=$(cat "$memfile" 2>/dev/null || echo 0)
    printf '%s %s %s %s %s%s\n' "$name" "$ms" "$paints_n" "$bar" "$kb" "$split"
}

# Uninstall's batch deletes Uninstall.exe and the folder once the program has
# ended, at idle priority: it must be done before the next step starts.
wait_removed() {
    local i
    for i in $(seq 1 300); do
        [ ! -e "$install_dir" ] && [ ! -e "$WINEPREFIX/drive_c/DelUS.bat" ] && return 0
        sleep 0.1
    done
    echo "bench: the install folder was not removed" >&2
    return 1
}

# step TAG NAME COMM DRIVER-ARGS...: one timed step, recorded under TAG.
step() {
    local tag=$1 line; shift
    line=$(timed "$@" --timeout 600)
    echo "$tag $line" >> "$raw"; echo "  $line"
}

# walkers TAG MEDIUM [_messages]: the plain copy and the plain removal, or the
# two walkers that add the programs' per-entry message.
walkers() {
    local tag=$1 medium=$2 kind=${3:-} name=${3:+msg}
    step "$tag" "copy$name" "bench_copy$kind.exe" run "$(winpath "$win/bench/bench_copy$kind.exe")" \
        "\"$(winpath "$medium")\" \"$install_win\""
    step "$tag" "delete$name" "bench_delete$kind.exe" run "$(winpath "$win/bench/bench_delete$kind.exe")" \
        "\"$install_win\""
    [ ! -e "$install_dir" ] || { echo "bench: the walker's removal left files" >&2; exit 1; }
}

# one_round MEDIUM TAG [--paints LIBRARY]: the programs and the four walkers.
# Paints are counted in the warm-up rounds only: the hooks that count them cost
# the hooked thread several server requests per message under Wine (a fifth of
# Setup's time and half of Uninstall's on the small medium), so a timed round
# runs the programs as they are.
one_round() {
    local medium=$1 tag=$2
    shift 2
    rm -rf "$install_dir"
    step "$tag" setup Setup.exe install "$(winpath "$medium/Setup.exe")" "$@"
    step "$tag" uninstall Uninstall.exe uninstall "$install_win\\Uninstall.exe" "$@"
    wait_removed
    if [ "$with_log" = 1 ]; then
        step "$tag" setuplog Setup.exe install "$(winpath "$medium/Setup.exe")" \
            --args '/LOG=C:\bench-setup.log' "$@"
        step "$tag" uninstalllog Uninstall.exe uninstall "$install_win\\Uninstall.exe" \
            --args '/LOG=C:\bench-uninstall.log' "$@"
        wait_removed
    fi
    walkers "$tag" "$medium"
    # The same walks with the programs' protocol added: one message per entry,
    # sent from a second thread to a window that only receives it.
    walkers "$tag" "$medium" _messages
}

# breakdown_round SIZE N: Setup and Uninstall of the marks build, untimed; the
# marks and the driver's figures go to the breakdown folder.
breakdown_round() {
    local size=$1 n=$2 program log marks
    rm -rf "$install_dir"
    for program in setup uninstall; do
        marks=$breakdown_dir/$size-$program-$n.marks
        log=$breakdown_dir/$size-$program-$n.driver
        rm -f "$marks"
        local what=(install "$(winpath "$bench/media/$size-marks/Setup.exe")")
        [ "$program" = setup ] || what=(uninstall "$install_win\\Uninstall.exe")
        if ! TESSORA_PHASE_MARKS_FILE=$(winpath "$marks") "$WINE_LOADER" "$driver" "${what[@]}" \
            --bench --timeout 600 > "$log" 2>&1 < /dev/null || [ ! -s "$marks" ]; then
            cat "$log" >&2
            echo "bench: breakdown of $program failed" >&2
            exit 1
        fi
        breakdown_runs[$size-$program]+=" $marks:$log"
    done
    wait_removed
}

run_medium() {
    local size=$1 medium=$bench/media/$1 i
    echo
    echo "== $size medium: $warmup warm-up, $rounds timed rounds (step ms paints bar_px peak_kB; dialog cpu/wait ms, worker cpu/wait ms)"
    # Other work on the machine shows in every figure: the load goes on record.
    echo "load $size before: $(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$raw.load"
    for i in $(seq 1 "$warmup"); do echo " warm-up $i (paints counted, untimed)"; one_round "$medium" "warmup-$size" --paints "$paints"; done
    for i in $(seq 1 "$rounds"); do echo " round $i"; one_round "$medium" "$size-$i"; done
    echo "load $size after: $(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$raw.load"
    for i in $(seq 1 "$breakdown"); do echo " breakdown $i (marks build, untimed)"; breakdown_round "$size" "$i"; done
}

breakdown_dir=$out/breakdown-$(date +%Y%m%d-%H%M%S)
mkdir -p "$breakdown_dir"
declare -A breakdown_runs=()

started=$(date +%s)
if [ -z "$only" ] || [ "$only" = small ]; then run_medium small; fi
if [ -z "$only" ] || [ "$only" = large ]; then run_medium large; fi

# The summary (bench/summary.py): medians per step, the median of the per-round
# ratios, the most paints of any run against the bar's width (with how they
# came), the thread profile and the largest peak memory.
summary=${raw/raw-/summary-}
python3 "$root/bench/summary.py" "$raw" --date "$stamp" | tee "$summary"
cat "$raw.load" >> "$summary"
# The breakdown tables, per medium and program (bench/breakdown.py).
for key in small-setup small-uninstall large-setup large-uninstall; do
    [ -n "${breakdown_runs[$key]:-}" ] || continue
    echo
    echo "== breakdown: ${key/-/ medium, }"
    # shellcheck disable=SC2086
    python3 "$root/bench/breakdown.py" ${breakdown_runs[$key]}
done | tee -a "$summary"
echo
echo "raw figures: $raw"
echo "summary:     $summary"
echo "timed part took $(( $(date +%s) - started )) s"
