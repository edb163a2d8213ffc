# Sourced by the scripts that run Wine: which Wine, and the environment every
# program of ours runs in. 64-bit Wine, named by path: a machine may also have
# the 32-bit loader, which would take over the plain `wine` command. A session
# of the 32-bit route (scripts/wine32.sh) names its own loader folder.
export WINE_LOADER=${TESSORA_WINE_LOADER:-/usr/lib/wine/wine64}
export WINE_SERVER=${TESSORA_WINE_SERVER:-/usr/lib/wine/wineserver64}
export WINELOADER=$WINE_LOADER
export WINESERVER=$WINE_SERVER
export WINEARCH=win64
export WINEDEBUG=-all
# Chinese locale: the ANSI code page of every program is 936.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
# No offer to install the Mono/Gecko add-ons, no desktop menu entries.
export WINEDLLOVERRIDES='mscoree,mshtml=d;winemenubuilder.exe=d'
