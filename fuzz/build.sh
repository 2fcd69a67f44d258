#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UBSan into
# build/fuzz. clang cannot turn literals into GBK, so the targets only use
# code that spells its GBK texts as bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -Wall -Wextra -Werror -I"$root/src")
build() {
    local name=$1; shift
    local sources=("$root/fuzz/$name.cpp" "$@")
    local target="$out/$name"
    local newest
    newest=$(ls -t "${sources[@]}" "$root"/src/steps/*.h | head -1)
    if [[ ! -x "$target" || "$newest" -nt "$target" ]]; then
        clang++ "${flags[@]}" "${sources[@]}" -o "$target"
    fi
}
build store_reader_fuzz "$root/src/steps/store_format.cpp" "$root/src/steps/gbk_text.cpp"
build ini_parser_fuzz "$root/src/steps/ini_file.cpp" "$root/src/steps/gbk_text.cpp"
