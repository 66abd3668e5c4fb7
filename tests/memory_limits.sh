#!/usr/bin/env bash
# Under a 256 MiB address-space limit: a picture too large for memory fails
# with "Error: Malloc failed" and leaves the existing output alone, and pictures
# without pixels need no memory whatever their dimensions claim.
# Usage: memory_limits.sh BMP2DATA MAKE_BMP WORKDIR
set -euo pipefail
bmp2data=$1 make_bmp=$2 workdir=$3
rm -rf "$workdir" && mkdir -p "$workdir" && cd "$workdir"

run_limited() { (ulimit -v $((256 * 1024)) && "$bmp2data" "$@"); }
fail() { echo "FAIL: $*"; exit 1; }

# 16384 x 16384 pixels: 768 MiB of pixels, in a sparse file.
"$make_bmp" big.bmp 16384 16384 sparse
echo "keep me" > big.data
status=0 && output=$(run_limited big) || status=$?
[ "$status" = 1 ] || fail "too large: status $status"
[ "$output" = "Error: Malloc failed" ] || fail "too large: output '$output'"
[ "$(cat big.data)" = "keep me" ] || fail "too large: big.data changed"
[ "$(ls)" = "$(printf 'big.bmp\nbig.data')" ] || fail "too large: files left: $(ls)"

# Headers only: 1241513985 x 0 and 0 x 2147483647.
for size in "1241513985 0" "0 2147483647"; do
    read -r w h <<< "$size"
    "$make_bmp" empty.bmp "$w" "$h" sparse
    status=0 && output=$(run_limited empty) || status=$?
    [ "$status" = 0 ] || fail "$w x $h: status $status, output '$output'"
    [ "$output" = "size:$w x $h" ] || fail "$w x $h: output '$output'"
    [ "$(cat empty.data)" = "$(printf 'empty: .word %s, %s\n.byte ' "$w" "$h")" ] ||
        fail "$w x $h: data '$(cat empty.data)'"
done
echo "memory limits: all checks passed"
