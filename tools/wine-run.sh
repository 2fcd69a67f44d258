#!/usr/bin/env bash
# Runs a 32-bit Windows program under wine in the project's own prefix.
#
#   tools/wine-run.sh PROGRAM.exe [args...]   run it; its exit code is passed through
#   tools/wine-run.sh --start                 (re)start the prefix's wineserver and services
#   tools/wine-run.sh --stop                  stop the wineserver and every program in the prefix
#   tools/wine-run.sh --prepare               only create the prefix
#
# The prefix is build/wineprefix (KV_WINEPREFIX overrides it): 32-bit, made once,
# with the X11 driver's Managed=N. LANG decides the program's ANSI code page:
# zh_CN.UTF-8 gives 936 and C.UTF-8 gives 1252. Each process reads it from its
# own LANG, so one running wineserver serves both. The glibc locale must exist
# (tools/ensure-deps.sh makes zh_CN.UTF-8); under plain LANG=C wine cannot even
# create a file with a Chinese name.
#
# For a pass of several programs on one display (what test.sh does):
#   xvfb-run ... bash -c 'tools/wine-run.sh --start; <programs>; tools/wine-run.sh --stop'
# --start inside the display matters twice over. wine's desktop binds to the
# display of whoever starts the wineserver: a server started without DISPLAY
# (by wineboot, winepath, a console program) leaves every later window of the
# prefix without one. And the server and wine's services inherit the output of
# the program that started them: a server started by a program under ctest or
# in a pipe holds that pipe open until it exits, 3 s after the program.
# Without DISPLAY, this script wraps a single program in its own xvfb-run.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${KV_WINEDEBUG:--all}
# No prompts to install Mono or Gecko; the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-zh_CN.UTF-8}
# LANG alone decides the locale: an inherited LC_ALL or LC_CTYPE would override
# it and give every pass the same code page.
for var in $(compgen -e | grep '^LC_'); do
    unset "$var"
done
unset LANGUAGE

# Made once, serialised with flock so that parallel first runs do not both
# build it. Done without a display and its wineserver waited out, so that no
# server bound to no display is left behind.
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
        LANG=C.UTF-8 DISPLAY='' wineboot -i </dev/null >/dev/null 2>&1 || exit 1
        # Without a window manager, wine waits up to 2 s for one at every
        # minimise or hide of a managed window; unmanaged windows do not wait.
        DISPLAY='' wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            </dev/null >/dev/null 2>&1 || exit 1
        timeout 30 wineserver -w
        touch "$stamp"
    ) 9>"$WINEPREFIX.lock" || {
        echo "wine-run: could not create $WINEPREFIX" >&2
        return 1
    }
}

# Bounded wait: another user of the prefix may start a new server at once.
stop_server() {
    [[ -d "$WINEPREFIX" ]] || return 0
    wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
    return 0
}

# A server that stays until --stop, and wine's services already booted, both
# with no inherited output.
start_server() {
    prepare_prefix || return 1
    stop_server
    wineserver -p </dev/null >/dev/null 2>&1
    LANG=C.UTF-8 wine wineboot </dev/null >/dev/null 2>&1
    return 0
}

# Programs get their own path in KV_EXE: give it to them as a Windows path
# (the prefix maps / to drive Z:).
windows_path() {
    local p=$1
    [[ "$p" == /* ]] && p="Z:${p//\//\\}"
    printf '%s' "$p"
}

case "${1:-}" in
    "" | -h | --help)
        sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
    --prepare)
        prepare_prefix
        exit
        ;;
    --start)
        start_server
        exit
        ;;
    --stop)
        stop_server
        exit 0
        ;;
esac

prepare_prefix || exit 1
if [[ -n "${KV_EXE:-}" ]]; then
    KV_EXE=$(windows_path "$KV_EXE")
    export KV_EXE
fi

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
        '"$0" --start; wine "$@"; rc=$?; "$0" --stop; exit $rc' "$0" "$@"
fi
exec wine "$@"
