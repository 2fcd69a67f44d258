#!/usr/bin/env bash
# Builds the fuzz targets and runs every seed of fuzz/corpus through its
# target once. Ends with the line "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/fuzz/build.sh" || { echo "0 passed, 1 failed"; exit 1; }
passed=0
failed=0
for pair in store_reader_fuzz:store ini_parser_fuzz:ini; do
    target="$root/build/fuzz/${pair%%:*}"
    for seed in "$root/fuzz/corpus/${pair##*:}"/*; do
        if "$target" "$seed" >/dev/null 2>&1; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            echo "FAILED: ${pair%%:*} $seed"
        fi
    done
done
echo "$passed passed, $failed failed"
((failed == 0))
