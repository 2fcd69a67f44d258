#!/usr/bin/env bash
# Runs a 32-bit Windows program under wine in the project's own prefix.
#
#   tools/wine-run.sh PROGRAM.exe [args...]   run it; exit code passed through
#   tools/wine-run.sh --prepare               create the prefix if needed, then stop its wineserver
#   tools/wine-run.sh --stop                  stop the prefix's wineserver (and every program in it)
#
# The prefix is build/wineprefix (override with KV_WINEPREFIX), 32-bit, made once
# and marked ready with a stamp file. LANG decides the ANSI code page of the
# program: zh_CN.UTF-8 gives 936, C.UTF-8 gives 1252; the glibc locale must
# exist (tools/ensure-deps.sh makes zh_CN.UTF-8), and plain LANG=C cannot make
# files with Chinese names at all. Every process reads the code page from its
# own LANG, so one running wineserver serves passes with different LANGs.
#
# Windows need an X display. wine's desktop process binds to the DISPLAY of
# whichever program first starts the wineserver, so start the wineserver under
# the display that later programs use: stop it (--stop) before a test pass and
# run the whole pass inside one xvfb-run. Without DISPLAY this script wraps the
# single program in its own xvfb-run and stops the wineserver afterwards.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${KV_WINEDEBUG:--all}
# No prompts to download Mono or Gecko; the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-zh_CN.UTF-8}
# LANG alone must decide the locale: an inherited LC_ALL or LC_CTYPE would
# silently override it and give every pass the same code page.
for var in $(compgen -e | grep '^LC_'); do
    unset "$var"
done
unset LANGUAGE

# Bounded wait: another user of the same prefix may start a new server at once.
stop_server() {
    [[ -d "$WINEPREFIX" ]] || return 0
    wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
    return 0
}

# Made once per prefix, serialised with flock so that parallel first runs do
# not both build it. Done without a display: --prepare stops the wineserver
# afterwards so the display binding of the first real program decides.
prepare_prefix() {
    local stamp=$WINEPREFIX/.klikvane-ready
    [[ -f "$stamp" ]] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [[ -f "$stamp" ]] && exit 0
        echo "wine-run: creating wine prefix $WINEPREFIX" >&2
        rm -rf "$WINEPREFIX"
        # A fixed locale keeps the prefix the same whoever makes it first.
        LANG=C.UTF-8 DISPLAY= wineboot -i >/dev/null 2>&1 || exit 1
        # Without a window manager, wine waits up to 2 s for one at every
        # minimise or hide of a managed window; unmanaged windows do not wait.
        DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >/dev/null 2>&1 || exit 1
        timeout 30 wineserver -w
        touch "$stamp"
    ) 9>"$WINEPREFIX.lock"
}

# Programs get their own path in KV_EXE; give it to them as a Windows path
# (wine maps / to drive Z:).
windows_path() {
    local p=$1
    [[ "$p" == /* ]] && p="Z:${p//\//\\}"
    printf '%s' "$p"
}

case "${1:-}" in
    "" | -h | --help)
        sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
    --prepare)
        prepare_prefix || {
            echo "wine-run: could not create $WINEPREFIX" >&2
            exit 1
        }
        stop_server
        exit 0
        ;;
    --stop)
        stop_server
        exit 0
        ;;
esac

prepare_prefix || {
    echo "wine-run: could not create $WINEPREFIX" >&2
    exit 1
}
[[ -n "${KV_EXE:-}" ]] && export KV_EXE="$(windows_path "$KV_EXE")"

if [[ -z "${DISPLAY:-}" ]]; then
    stop_server
    xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
    rc=$?
    stop_server
    exit $rc
fi
exec wine "$@"
