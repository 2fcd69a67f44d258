#!/usr/bin/env bash
# Runs a Windows program under wine in the project's own prefix.
#
#   tools/wine-run.sh PROGRAM.exe [args...]   run it; its exit code is passed through
#   tools/wine-run.sh [--arch 32|64] --start  (re)start the prefix's wineserver and services
#   tools/wine-run.sh [--arch 32|64] --stop   stop the wineserver and every program in the prefix
#   tools/wine-run.sh [--arch 32|64] --prepare  only create the prefix
#   tools/wine-run.sh [--arch 32|64] --prefix-status  print ready, missing, half-made or wrong-arch
#   tools/wine-run.sh --arch-of PROGRAM.exe   print 32 or 64
#
# The architecture follows the program given (its PE header: i386 or x86-64);
# without a program, --arch, else KV_WIN_ARCH, else what tools/win-arch.sh
# chooses for this host. A 32-bit program runs with wine's 32-bit loader in a
# win32 prefix, build/wineprefix; a 64-bit one with wine64 in a win64 prefix,
# build/wineprefix64. KV_WINEPREFIX overrides the 32-bit prefix's path; the
# 64-bit one is that path with "64" appended. Each prefix is made once, with
# the X11 driver's Managed=N; one left half-made by an interrupted run, or of
# the wrong architecture (an older checkout), is made again.
#
# LANG decides the program's ANSI code page: zh_CN.UTF-8 gives 936 and
# C.UTF-8 gives 1252. Each process reads it from its own LANG, so one running
# wineserver serves both. The glibc locale must exist (tools/ensure-deps.sh
# makes zh_CN.UTF-8); under plain LANG=C wine cannot even create a file with a
# Chinese name.
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
#
#   KV_WINE32_LOADER, KV_WINE64_LOADER, KV_WINESERVER  replace wine's programs (tests)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine32_loader=${KV_WINE32_LOADER:-/usr/lib/wine/wine}
wine64_loader=${KV_WINE64_LOADER:-/usr/lib/wine/wine64}
wineserver=${KV_WINESERVER:-wineserver}
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

# 32 or 64 from a PE file's machine field; nothing for anything else.
pe_arch() {
    local offset machine
    offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    [[ -n "$offset" ]] || return 1
    machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
    case "$machine" in
        014c) echo 32 ;;
        8664) echo 64 ;;
        *) return 1 ;;
    esac
}

# Sets the loader, WINEARCH and WINEPREFIX for architecture $1.
use_arch() {
    local base=${KV_WINEPREFIX:-$root/build/wineprefix}
    arch=$1
    if [[ "$arch" == 32 ]]; then
        loader=$wine32_loader
        export WINEARCH=win32 WINEPREFIX=$base
    else
        loader=$wine64_loader
        export WINEARCH=win64 WINEPREFIX=${base}64
    fi
    export WINELOADER=$loader
}

# The state of the prefix: ready, missing, half-made (no stamp: a first run
# was interrupted) or wrong-arch (made for the other architecture).
prefix_status() {
    local stamp=$WINEPREFIX/.klikvane-ready
    if [[ ! -e "$WINEPREFIX" ]]; then
        echo missing
    elif [[ ! -f "$stamp" ]]; then
        echo half-made
    elif ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null; then
        echo wrong-arch
    else
        echo ready
    fi
}

# Made once, serialised with flock so that parallel first runs do not both
# build it. Done without a display and its wineserver waited out, so that no
# server bound to no display is left behind.
prepare_prefix() {
    [[ "$(prefix_status)" == ready ]] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        status=$(prefix_status)
        [[ "$status" == ready ]] && exit 0
        # Say why wine cannot start at all, rather than "could not create".
        KV_WIN_ARCH=$arch "$root/tools/win-arch.sh" --check || exit 1
        echo "wine-run: creating the $arch-bit wine prefix $WINEPREFIX ($status)" >&2
        "$wineserver" -k >/dev/null 2>&1
        rm -rf "$WINEPREFIX"
        log=$WINEPREFIX.log
        # A fixed locale keeps the prefix the same whoever makes it first.
        if ! LANG=C.UTF-8 DISPLAY='' "$loader" wineboot -i </dev/null >"$log" 2>&1; then
            echo "wine-run: wineboot failed in $WINEPREFIX:" >&2
            tail -n 5 "$log" | sed 's/^/  /' >&2
            exit 1
        fi
        # Without a window manager, wine waits up to 2 s for one at every
        # minimise or hide of a managed window; unmanaged windows do not wait.
        DISPLAY='' "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            </dev/null >>"$log" 2>&1 || exit 1
        timeout 30 "$wineserver" -w
        if ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null; then
            echo "wine-run: $WINEPREFIX was made, but not as a $WINEARCH prefix" >&2
            exit 1
        fi
        touch "$WINEPREFIX/.klikvane-ready"
    ) 9>"$WINEPREFIX.lock" || {
        echo "wine-run: could not create the $arch-bit prefix $WINEPREFIX" >&2
        return 1
    }
}

# Bounded wait: another user of the prefix may start a new server at once.
stop_server() {
    [[ -d "$WINEPREFIX" ]] || return 0
    "$wineserver" -k >/dev/null 2>&1
    timeout 10 "$wineserver" -w >/dev/null 2>&1
    return 0
}

# A server that stays until --stop, and wine's services already booted, both
# with no inherited output.
start_server() {
    prepare_prefix || return 1
    stop_server
    "$wineserver" -p </dev/null >/dev/null 2>&1
    LANG=C.UTF-8 "$loader" wineboot </dev/null >/dev/null 2>&1
    return 0
}

# Programs get their own path in KV_EXE: give it to them as a Windows path
# (the prefix maps / to drive Z:).
windows_path() {
    local p=$1
    [[ "$p" == /* ]] && p="Z:${p//\//\\}"
    printf '%s' "$p"
}

# The architecture of a command without a program.
default_arch() {
    if [[ -n "${KV_WIN_ARCH:-}" ]]; then
        echo "$KV_WIN_ARCH"
    else
        "$root/tools/win-arch.sh"
    fi
}

chosen_arch=""
if [[ "${1:-}" == --arch ]]; then
    chosen_arch=${2:-}
    shift 2 || true
fi
case "$chosen_arch" in
    "" | 32 | 64) ;;
    *)
        echo "wine-run: --arch takes 32 or 64, not '$chosen_arch'" >&2
        exit 2
        ;;
esac

case "${1:-}" in
    "" | -h | --help)
        sed -n '2,38p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
    --arch-of)
        pe_arch "${2:-}" || {
            echo "wine-run: ${2:-(no file)} is not a 32- or 64-bit Windows program" >&2
            exit 2
        }
        exit
        ;;
    --prepare | --start | --stop | --prefix-status)
        use_arch "${chosen_arch:-$(default_arch)}" || exit 2
        case "$1" in
            --prepare) prepare_prefix ;;
            --start) start_server ;;
            --stop) stop_server ;;
            --prefix-status) prefix_status ;;
        esac
        exit
        ;;
esac

program_arch=$(pe_arch "$1") || program_arch=${chosen_arch:-$(default_arch)}
use_arch "$program_arch"
prepare_prefix || exit 1
if [[ -n "${KV_EXE:-}" ]]; then
    KV_EXE=$(windows_path "$KV_EXE")
    export KV_EXE
fi

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
        '"$0" --arch "$1" --start; shift; "$WINELOADER" "$@"; rc=$?; "$0" --arch "${WINEARCH#win}" --stop; exit $rc' \
        "$0" "$program_arch" "$@"
fi
exec "$loader" "$@"
