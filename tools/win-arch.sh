#!/usr/bin/env bash
# Decides which Windows build this host tests and shows: the 32-bit one (the
# shipped program) where the host can run 32-bit programs, else the 64-bit
# build of the same sources under wine64. The one place that probes for it.
#
#   tools/win-arch.sh              print 32 or 64
#   tools/win-arch.sh --explain    print the choice in plain words
#   tools/win-arch.sh --can-run-32 exit 0 when this host runs 32-bit programs
#   tools/win-arch.sh --check      exit 1, naming the cause, when no wine can
#                                  start the chosen build
#
#   KV_WIN_ARCH=32|64        force a build (anything else is refused)
#   KV_PROBE_32BIT_CMD=cmd   replaces the probe below (for tests: true, false)
#   KV_WINE32_LOADER, KV_WINE64_LOADER
#                            wine's loaders (default /usr/lib/wine/wine and
#                            /usr/lib/wine/wine64)
#
# The probe runs a 91-byte static 32-bit Linux program that only exits: it
# needs no package, so ensure-deps can ask before wine32 is installed. A
# kernel without 32-bit emulation answers "Exec format error".
set -uo pipefail

wine32_loader=${KV_WINE32_LOADER:-/usr/lib/wine/wine}
wine64_loader=${KV_WINE64_LOADER:-/usr/lib/wine/wine64}

# ELF header, one loadable segment, then: xor eax,eax; inc eax; xor ebx,ebx;
# int 0x80 (exit(0)).
write_probe() {
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'
    printf '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'
    printf '\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00'
    printf '\x00\x10\x00\x00\x31\xc0\x40\x31\xdb\xcd\x80'
}

can_run_32() {
    if [[ -n "${KV_PROBE_32BIT_CMD:-}" ]]; then
        bash -c "$KV_PROBE_32BIT_CMD" >/dev/null 2>&1
        return
    fi
    local probe rc
    probe=$(mktemp "${TMPDIR:-/tmp}/kv-probe32.XXXXXX") || return 1
    write_probe >"$probe"
    chmod +x "$probe"
    "$probe" >/dev/null 2>&1
    rc=$?
    rm -f "$probe"
    return "$rc"
}

loader_starts() {
    [[ -x "$1" ]] && "$1" --version >/dev/null 2>&1
}

# 32 or 64 on stdout; exit 2 on a forced value that is neither.
choose() {
    case "${KV_WIN_ARCH:-}" in
        32 | 64)
            echo "$KV_WIN_ARCH"
            return 0
            ;;
        "") ;;
        *)
            echo "win-arch: KV_WIN_ARCH must be 32 or 64, not '$KV_WIN_ARCH'" >&2
            return 2
            ;;
    esac
    if can_run_32; then
        echo 32
    else
        echo 64
    fi
}

explain() {
    local arch
    arch=$(choose) || return
    if [[ -n "${KV_WIN_ARCH:-}" ]]; then
        echo "KV_WIN_ARCH=$arch: the Windows tests run the $arch-bit build"
    elif [[ "$arch" == 32 ]]; then
        echo "this host runs 32-bit programs: the Windows tests run the shipped 32-bit build under wine"
    else
        echo "this host cannot run 32-bit programs: the Windows tests run the 64-bit build under wine64"
    fi
}

check() {
    local arch
    arch=$(choose) || return
    if [[ "$arch" == 32 ]]; then
        loader_starts "$wine32_loader" && return 0
        if ! can_run_32; then
            echo "win-arch: KV_WIN_ARCH=32, but this host cannot run 32-bit programs" \
                "(the kernel answers \"Exec format error\": it lacks IA32 emulation); use KV_WIN_ARCH=64" >&2
        else
            echo "win-arch: wine's 32-bit loader $wine32_loader does not start;" \
                "install the Debian package wine32:i386 (dpkg --add-architecture i386 first)" >&2
        fi
        return 1
    fi
    loader_starts "$wine64_loader" && return 0
    if [[ ! -x "$wine64_loader" ]]; then
        echo "win-arch: wine's 64-bit loader $wine64_loader is missing: install the Debian package wine64" >&2
    else
        echo "win-arch: wine's 64-bit loader $wine64_loader does not start:" >&2
        "$wine64_loader" --version 2>&1 | head -n 3 | sed 's/^/  /' >&2
    fi
    can_run_32 || echo "win-arch: and this host cannot run 32-bit programs, so wine32 is no way out either" >&2
    return 1
}

case "${1:-}" in
    "") choose ;;
    --explain) explain ;;
    --can-run-32) can_run_32 ;;
    --check) check ;;
    *)
        sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
