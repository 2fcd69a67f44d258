#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds (default 60), one
# after the other, starting from the seed corpus in fuzz/corpus. Inputs that
# find new paths are kept in fuzz/corpus-run (not committed); crashes land in
# build/fuzz as crash-* files.
#
#   ./fuzz.sh 600
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-60}
"$root/fuzz/build.sh"
status=0
for pair in store_reader_fuzz:store ini_parser_fuzz:ini; do
    target=${pair%%:*}
    corpus=${pair##*:}
    mkdir -p "$root/fuzz/corpus-run/$corpus"
    echo "== $target for ${seconds}s"
    (cd "$root/build/fuzz" &&
        "./$target" -max_total_time="$seconds" -print_final_stats=1 \
            "$root/fuzz/corpus-run/$corpus" "$root/fuzz/corpus/$corpus") || status=1
done
exit $status
