# Sourced by the project's scripts: where the cache and the Wine prefix are, and the
# environment Wine runs in (Japanese code page 932, a POSIX time zone, no prompts).
PATHSCOPE_CACHE=${PATHSCOPE_CACHE:-$HOME/.cache/pathscope}
export PATHSCOPE_CACHE
export WINEPREFIX=${PATHSCOPE_WINEPREFIX:-$(readlink -f "$PATHSCOPE_CACHE/wineprefix" 2>/dev/null || echo "$PATHSCOPE_CACHE/wineprefix")}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko installers, no desktop menu entries, and no debugger: a crash must end
# the process with a non-zero exit code instead of waiting on a dialog.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# msvcrt misreads zone names such as Asia/Tokyo; the POSIX form works on both sides.
export TZ=${PATHSCOPE_TZ:-JST-9}
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
