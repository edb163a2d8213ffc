# Sourced by the scripts that run our programs under Wine. A Wine session is
# one X display with one persistent wineserver of one prefix, started inside
# that display and stopped with it: a server that outlives its display leaves
# the programs of a later display without windows. So every program of a
# session runs under the same display, from the prefix to the last screenshot.
#
#   session_display ARGS...   runs the calling script again, with ARGS, inside a
#                             new X display (returns at once when already in one)
#   session_prefix PREFIX     makes PREFIX a ready prefix and the session's own
#   session_start             starts the server and Wine's background services
#   session_stop              stops the server (also done when the shell exits)
#   winpath UNIX-PATH         the path as programs see it, through drive Z:
#
# Started as root, the tests and the demo run every Wine program as the
# unprivileged Wine user that scripts/setup.sh makes, as Windows would run
# them: root's Wine overwrites read-only files, the user's refuses with
# ERROR_ACCESS_DENIED. The prefix, the display and the server are that user's.
#   session_user ARGS...      runs the calling script again, with ARGS, as the
#                             Wine user (returns at once when not root)
#   wine_user_run CMD...      runs one command as the Wine user (as it is when
#                             not root)
#   session_own [-R] PATH...  as root, gives each folder (made when missing;
#                             with -R, with everything in it, when it exists)
#                             to the Wine user, and lets that user reach it
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

export TESSORA_WINE_USER=${TESSORA_WINE_USER:-tessora}

session_user() {
    [ "$(id -u)" = 0 ] || return 0
    id -u "$TESSORA_WINE_USER" >/dev/null 2>&1 ||
        { echo "wine-session: no user $TESSORA_WINE_USER (run scripts/setup.sh)" >&2; exit 1; }
    session_reachable "$(cd "$(dirname "$0")" && pwd)"
    exec runuser -u "$TESSORA_WINE_USER" -- bash "$0" "$@"
}

wine_user_run() {
    if [ "$(id -u)" = 0 ]; then
        id -u "$TESSORA_WINE_USER" >/dev/null 2>&1 ||
            { echo "wine-session: no user $TESSORA_WINE_USER (run scripts/setup.sh)" >&2; return 1; }
        runuser -u "$TESSORA_WINE_USER" -- "$@"
    else
        "$@"
    fi
}

# Every folder above PATH must let others pass (not list): a clone in /root
# would otherwise be out of the Wine user's reach.
session_reachable() {
    local dir=$1
    while [ -n "$dir" ] && [ "$dir" != / ]; do
        if [ -d "$dir" ] && [ "$(( 0$(stat -c %a "$dir") & 1 ))" = 0 ]; then
            echo "wine-session: letting others pass through $dir (chmod o+x) for $TESSORA_WINE_USER"
            chmod o+x "$dir"
        fi
        dir=${dir%/*}
    done
}

session_own() {
    [ "$(id -u)" = 0 ] || return 0
    local recursive=
    if [ "${1:-}" = -R ]; then
        recursive=-R
        shift
    fi
    local path
    for path in "$@"; do
        if [ -z "$recursive" ]; then
            mkdir -p "$path"
            chown "$TESSORA_WINE_USER:" "$path"
        elif [ -e "$path" ]; then
            chown -R "$TESSORA_WINE_USER:" "$path"
        fi
        session_reachable "$(dirname "$path")"
    done
}

session_display() {
    [ -n "${TESSORA_SESSION_DISPLAY:-}" ] && return 0
    TESSORA_SESSION_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
}

session_prefix() {
    export WINEPREFIX=$1
    bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX"
}

session_start() {
    [ -n "${DISPLAY:-}" ] || { echo "wine-session: no X display" >&2; return 1; }
    [ -n "${WINEPREFIX:-}" ] || { echo "wine-session: no prefix" >&2; return 1; }
    # A server this prefix kept from an earlier session belongs to another display.
    "$WINE_SERVER" -k 2>/dev/null || true
    "$WINE_SERVER" -p
    trap session_stop EXIT
    # The background services start with the first program and inherit its
    # output: started here they get /dev/null, not a pipe someone reads to its end.
    "$WINE_LOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1
}

session_stop() {
    # Only ever the server of this session's own prefix, and as the prefix's
    # owner: Wine refuses a prefix that belongs to someone else.
    [ -n "${WINEPREFIX:-}" ] || return 0
    if [ "$(id -u)" = 0 ] && [ -d "$WINEPREFIX" ] && [ "$(stat -c %u "$WINEPREFIX")" != 0 ]; then
        runuser -u "$(stat -c %U "$WINEPREFIX")" -- "$WINE_SERVER" -k 2>/dev/null || true
    else
        "$WINE_SERVER" -k 2>/dev/null || true
    fi
}

winpath() { echo "Z:${1//\//\\}"; }
