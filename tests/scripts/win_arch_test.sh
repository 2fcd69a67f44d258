#!/usr/bin/env bash
# The choice of the Windows build (tools/win-arch.sh) and the prefixes of
# tools/wine-run.sh, on hosts this machine need not be: the 32-bit probe and
# wine's programs are replaced by stubs.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what" >&2
    fi
}
same() { [[ "$1" == "$2" ]] || { echo "  got '$1', want '$2'" >&2; return 1; }; }
has() { [[ "$1" == *"$2"* ]] || { echo "  '$1' lacks '$2'" >&2; return 1; }; }

# A wine loader that answers --version, makes a prefix of $WINEARCH at
# "wineboot -i" and logs every call.
make_stub_loader() {
    cat >"$1" <<'EOF'
#!/usr/bin/env bash
echo "$(basename "$0") $WINEARCH $WINEPREFIX $*" >>"$STUB_LOG"
case "$1" in
    --version) echo wine-stub ;;
    wineboot) [[ "${2:-}" == -i ]] && mkdir -p "$WINEPREFIX" && echo "#arch=$WINEARCH" >"$WINEPREFIX/system.reg" ;;
esac
exit 0
EOF
    chmod +x "$1"
}
make_stub_loader "$work/wine32"
make_stub_loader "$work/wine64"
printf '#!/bin/sh\nexit 0\n' >"$work/wineserver"
printf '#!/bin/sh\nexit 1\n' >"$work/broken-loader"
chmod +x "$work/wineserver" "$work/broken-loader"
export STUB_LOG=$work/log KV_WINESERVER=$work/wineserver
export KV_WINE32_LOADER=$work/wine32 KV_WINE64_LOADER=$work/wine64
unset KV_WIN_ARCH

arch() { "$root/tools/win-arch.sh" "$@" 2>&1; }

# --- the choice -----------------------------------------------------------
check "a host that runs 32-bit programs tests the 32-bit build" \
    same "$(KV_PROBE_32BIT_CMD=true arch)" 32
check "a host that cannot tests the 64-bit build" \
    same "$(KV_PROBE_32BIT_CMD=false arch)" 64
check "the choice is said in plain words" \
    same "$(KV_PROBE_32BIT_CMD=false arch --explain)" \
    "this host cannot run 32-bit programs: the Windows tests run the 64-bit build under wine64"
check "KV_WIN_ARCH=64 forces the 64-bit build where 32 would run" \
    same "$(KV_PROBE_32BIT_CMD=true KV_WIN_ARCH=64 arch)" 64
out=$(KV_PROBE_32BIT_CMD=true KV_WIN_ARCH=86 arch)
rc=$?
check "an unknown KV_WIN_ARCH is refused" same "$rc" 2
check "the refusal names the value" has "$out" "not '86'"

# --- wine that cannot start ----------------------------------------------
out=$(KV_PROBE_32BIT_CMD=false KV_WINE64_LOADER=$work/missing arch --check)
rc=$?
check "no wine64 on a 64-bit-only host fails the check" same "$rc" 1
check "the failure names the package" has "$out" "install the Debian package wine64"
check "and says why wine32 cannot help" has "$out" "cannot run 32-bit programs"
out=$(KV_PROBE_32BIT_CMD=false KV_WINE64_LOADER=$work/broken-loader arch --check)
check "a wine64 that does not start is named" has "$out" "does not start"
out=$(KV_PROBE_32BIT_CMD=false KV_WIN_ARCH=32 KV_WINE32_LOADER=$work/broken-loader arch --check)
check "forcing 32 bits where they cannot run names the kernel's answer" has "$out" "Exec format error"
check "a working stub passes the check" env KV_PROBE_32BIT_CMD=false "$root/tools/win-arch.sh" --check

# --- prefixes -------------------------------------------------------------
export KV_WINEPREFIX=$work/prefix
run() { "$root/tools/wine-run.sh" "$@" 2>&1; }

check "a new 64-bit prefix is missing" same "$(run --arch 64 --prefix-status)" missing
run --arch 64 --prepare >/dev/null
check "--prepare makes it ready" same "$(run --arch 64 --prefix-status)" ready
check "the 64-bit prefix has its own path" test -f "$work/prefix64/system.reg"
check "and was booted by wine64" grep -q "^wine64 win64 $work/prefix64 wineboot -i" "$STUB_LOG"

touch "$work/prefix64/leftover"
rm "$work/prefix64/.klikvane-ready"
check "an interrupted first run leaves it half-made" same "$(run --arch 64 --prefix-status)" half-made
run --arch 64 --prepare >/dev/null
check "a half-made prefix is made again" \
    bash -c "[[ ! -e '$work/prefix64/leftover' && -f '$work/prefix64/.klikvane-ready' ]]"

echo "#arch=win32" >"$work/prefix64/system.reg"
check "a prefix of the other architecture is seen" same "$(run --arch 64 --prefix-status)" wrong-arch
run --arch 64 --prepare >/dev/null
check "and replaced, not reused" grep -qx "#arch=win64" "$work/prefix64/system.reg"

run --arch 32 --prepare >/dev/null
check "the 32-bit prefix is made beside it with wine's 32-bit loader" \
    grep -q "^wine32 win32 $work/prefix wineboot -i" "$STUB_LOG"

# --- programs pick their loader --------------------------------------------
# The smallest header that names a machine: "MZ", e_lfanew = 64, "PE\0\0", machine.
make_pe() {
    {
        printf 'MZ'
        head -c 58 /dev/zero
        printf '\x40\x00\x00\x00PE\x00\x00'
        printf "$2"
    } >"$1"
}
make_pe "$work/a32.exe" '\x4c\x01'
make_pe "$work/a64.exe" '\x64\x86'
check "a 32-bit program is seen as one" same "$(run --arch-of "$work/a32.exe")" 32
check "a 64-bit program is seen as one" same "$(run --arch-of "$work/a64.exe")" 64
: >"$STUB_LOG"
DISPLAY=:none run "$work/a64.exe" arg >/dev/null
check "a 64-bit program runs with wine64 in the 64-bit prefix" \
    grep -q "^wine64 win64 $work/prefix64 $work/a64.exe arg" "$STUB_LOG"
DISPLAY=:none run "$work/a32.exe" >/dev/null
check "a 32-bit program runs with wine32 in the 32-bit prefix" \
    grep -q "^wine32 win32 $work/prefix $work/a32.exe" "$STUB_LOG"

echo "$passed passed, $failed failed"
((failed == 0))
