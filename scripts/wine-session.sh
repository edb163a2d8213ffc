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
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

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
    # Only ever the server of this session's own prefix.
    [ -n "${WINEPREFIX:-}" ] || return 0
    "$WINE_SERVER" -k 2>/dev/null || true
}

winpath() { echo "Z:${1//\//\\}"; }
