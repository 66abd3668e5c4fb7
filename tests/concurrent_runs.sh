#!/usr/bin/env bash
# Eight processes converting the same base name at once leave one complete,
# correct data file and no temporary files.
# Usage: concurrent_runs.sh BMP2DATA MAKE_BMP WORKDIR
set -euo pipefail
bmp2data=$1 make_bmp=$2 workdir=$3
rm -rf "$workdir" && mkdir -p "$workdir/reference" && cd "$workdir"
fail() { echo "FAIL: $*"; exit 1; }

"$make_bmp" reference/pic.bmp 1024 1024 random
(cd reference && "$bmp2data" pic > /dev/null)
cp reference/pic.bmp pic.bmp

for round in 1 2 3; do
    pids=()
    for _ in 1 2 3 4 5 6 7 8; do
        "$bmp2data" pic > /dev/null &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || fail "round $round: a run failed"
    done
    cmp -s pic.data reference/pic.data || fail "round $round: pic.data differs from a single run's"
    [ "$(ls)" = "$(printf 'pic.bmp\npic.data\nreference')" ] || fail "round $round: files left: $(ls)"
done
echo "concurrent runs: all checks passed"
