#!/usr/bin/env bash
# Builds Klikvane.exe and runs it under wine.
#
# With a working $DISPLAY the program opens there and this script returns when
# it is closed. Without one it runs on a private Xvfb screen: waits for the main
# window, saves the screen to build/screenshot.png, presses Esc in the window
# (which closes the program and saves its list) and exits 0 once it has ended.
#
#   KV_RUN_EXE=path/to/other.exe ./run.sh   run another program the same way (no build)
#   KV_LANG=C.UTF-8 ./run.sh                run under code page 1252 (default: zh_CN.UTF-8, 936)
#   KV_WIN_ARCH=64 ./run.sh                 show the 64-bit build (default: the shipped 32-bit
#                                           program where this host runs 32-bit programs, else
#                                           the 64-bit build under wine64)
set -euo pipefail
cd "$(dirname "$0")"

caption="鼠标自动点击"
screenshot=build/screenshot.png
wait_window_s=${KV_WAIT_WINDOW_S:-60}
wait_exit_s=${KV_WAIT_EXIT_S:-20}

tools/ensure-deps.sh
# A prefix of its own, so that stopping its wineserver never touches a test pass.
export KV_WINEPREFIX=${KV_WINEPREFIX:-$PWD/build/wineprefix-run}

# The shipped 32-bit program is built on every host; where this host cannot
# run 32-bit programs, the 64-bit build of the same sources is shown.
exe=${KV_RUN_EXE:-}
if [[ -z "$exe" ]]; then
    arch=$(tools/win-arch.sh)
    explained=$(tools/win-arch.sh --explain)
    export KV_WIN_ARCH=$arch
    if [[ ! -f build/win/build.ninja ]]; then
        cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
    fi
    ninja -C build/win Klikvane
    exe=build/win/bin/Klikvane.exe
    if [[ "$arch" == 64 ]]; then
        if [[ ! -f build/win64/build.ninja ]]; then
            cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
        fi
        ninja -C build/win64 Klikvane
        exe=build/win64/bin/Klikvane.exe
    fi
    echo "run.sh: $explained; showing $exe"
else
    KV_WIN_ARCH=$(tools/wine-run.sh --arch-of "$exe")
    export KV_WIN_ARCH
fi
tools/win-arch.sh --check

# The program's texts are GBK: show them as on the Chinese system it is made
# for, whatever the shell's own locale is.
export LANG=${KV_LANG:-zh_CN.UTF-8}

tools/wine-run.sh --prepare

# The wineserver is (re)started on the display the program uses: a server left
# from an earlier run may be bound to another one.
if [[ "${KV_IN_XVFB:-}" != 1 && -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
    tools/wine-run.sh --start
    tools/wine-run.sh "$exe" && rc=0 || rc=$?
    tools/wine-run.sh --stop
    exit "$rc"
fi

# Headless: everything below runs inside one Xvfb.
if [[ "${KV_IN_XVFB:-}" != 1 ]]; then
    echo "run.sh: no usable display, running on Xvfb"
    KV_IN_XVFB=1 KV_RUN_EXE=$exe exec xvfb-run -a -s "-screen 0 1280x1024x24" "$PWD/run.sh"
fi

tools/wine-run.sh --start
tools/wine-run.sh "$exe" &
pid=$!

find_window() {
    { xdotool search --name "^${caption}\$" 2>/dev/null || true; } | head -n 1
}

start=$SECONDS
win=""
while [[ -z "$win" ]]; do
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" && rc=0 || rc=$?
        echo "run.sh: the program ended (exit code $rc) before its main window appeared" >&2
        tools/wine-run.sh --stop
        exit 1
    fi
    if ((SECONDS - start >= wait_window_s)); then
        echo "run.sh: no window \"$caption\" after ${wait_window_s}s" >&2
        import -window root "$screenshot" 2>/dev/null && echo "run.sh: screen saved to $screenshot"
        tools/wine-run.sh --stop
        exit 1
    fi
    sleep 0.2
    win=$(find_window)
done
echo "run.sh: main window up after $((SECONDS - start))s"

sleep 1 # let the list and the controls paint
import -window root "$screenshot"
echo "run.sh: screenshot saved to $screenshot"

# Esc to the main window, as a user would press it; XTEST keys go to the
# focused window, so focus it first.
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool key Escape

start=$SECONDS
while kill -0 "$pid" 2>/dev/null && ((SECONDS - start < wait_exit_s)); do
    sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
    echo "run.sh: the program did not close on Esc within ${wait_exit_s}s; stopping it" >&2
    tools/wine-run.sh --stop
    wait "$pid" || true
    exit 1
fi
wait "$pid" && rc=0 || rc=$?
tools/wine-run.sh --stop
echo "run.sh: the program closed (exit code $rc)"
exit "$rc"
