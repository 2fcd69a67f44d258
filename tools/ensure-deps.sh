#!/usr/bin/env bash
# Installs what building and testing Klikvane needs on Debian 12, and nothing
# more: every package is checked with dpkg first, so on a ready machine this is
# a no-op that takes well under a second. Must run as root (or with sudo).
#
#   tools/ensure-deps.sh          install what is missing
#   tools/ensure-deps.sh --check  only report what is missing (exit 1 if any)
set -euo pipefail

# Native toolchain, GoogleTest and Google Benchmark for the host build; clang's
# runtime for the fuzz targets; the compiler cache; the mingw posix-thread
# cross compilers for the 32-bit Windows build (the shipped program) and the
# 64-bit one (tested where the host cannot run 32-bit programs); wine64, and
# wine's 32-bit half where the host can run it; Xvfb, fonts with Chinese
# glyphs and the X tools that run.sh uses on a headless display.
PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev ccache
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine wine64
    xvfb xauth x11-utils x11-apps xdotool imagemagick fonts-wqy-zenhei
    locales
)
# The one probe of tools/win-arch.sh: wine32 (and the i386 architecture it
# needs) only where 32-bit programs can start.
if "$(dirname "$0")/win-arch.sh" --can-run-32; then
    PACKAGES+=(wine32:i386)
fi
# wine picks its ANSI code page from the glibc locale named by LANG; the
# integration tests run once under 936 (Chinese) and once under 1252.
LOCALES=(zh_CN.UTF-8)

check_only=0
[[ "${1:-}" == "--check" ]] && check_only=1

as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "ensure-deps: need root to run: $*" >&2
        return 1
    fi
}

installed() {
    [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]
}

# glibc lists zh_CN.UTF-8 as zh_CN.utf8.
locale_present() {
    local want
    want=$(echo "$1" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8$/utf8/')
    locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$want"
}

missing=()
for pkg in "${PACKAGES[@]}"; do
    installed "$pkg" || missing+=("$pkg")
done
missing_locales=()
for loc in "${LOCALES[@]}"; do
    locale_present "$loc" || missing_locales+=("$loc")
done

if ((check_only)); then
    ((${#missing[@]})) && echo "missing packages: ${missing[*]}"
    ((${#missing_locales[@]})) && echo "missing locales: ${missing_locales[*]}"
    ((${#missing[@]} + ${#missing_locales[@]} == 0)) && exit 0 || exit 1
fi

if ((${#missing[@]})); then
    echo "ensure-deps: installing ${missing[*]}"
    if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

for loc in "${missing_locales[@]}"; do
    echo "ensure-deps: generating locale $loc"
    # Listed in locale.gen too, so that a later locale-gen keeps it.
    if [[ -f /etc/locale.gen ]]; then
        as_root sed -i "s/^# *\($loc UTF-8\)\$/\1/" /etc/locale.gen
    fi
    # zh_CN.UTF-8 -> input zh_CN, charmap UTF-8
    as_root localedef -i "${loc%%.*}" -f "${loc#*.}" "$loc"
done

# Neither wine can start: say why now, not as a failed prefix later.
"$(dirname "$0")/win-arch.sh" --check
