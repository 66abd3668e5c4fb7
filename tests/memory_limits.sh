#!/usr/bin/env bash
# Under a 256 MiB address-space limit: a picture too large for memory fails
# with "Error: Malloc failed" and leaves the existing output alone, and pictures
# without pixels need no memory whatever their dimensions claim.
# A row whose pixels fit but whose whole text would not is written in pieces,
# and data2bmp reports every allocation that fails.
# Usage: memory_limits.sh BMP2DATA MAKE_BMP WORKDIR DATA2BMP
set -euo pipefail
bmp2data=$1 make_bmp=$2 workdir=$3 data2bmp=$4
rm -rf "$workdir" && mkdir -p "$workdir" && cd "$workdir"

run_limited() { (ulimit -v $((256 * 1024)) && "$@"); }
fail() { echo "FAIL: $*"; exit 1; }

# 16384 x 16384 pixels: 768 MiB of pixels, in a sparse file.
"$make_bmp" big.bmp 16384 16384 sparse
echo "keep me" > big.data
status=0 && output=$(run_limited "$bmp2data" big) || status=$?
[ "$status" = 1 ] || fail "too large: status $status"
[ "$output" = "Error: Malloc failed" ] || fail "too large: output '$output'"
[ "$(cat big.data)" = "keep me" ] || fail "too large: big.data changed"
[ "$(ls)" = "$(printf 'big.bmp\nbig.data')" ] || fail "too large: files left: $(ls)"

# Headers only: 1241513985 x 0 and 0 x 2147483647.
for size in "1241513985 0" "0 2147483647"; do
    read -r w h <<< "$size"
    "$make_bmp" empty.bmp "$w" "$h" sparse
    status=0 && output=$(run_limited "$bmp2data" empty) || status=$?
    [ "$status" = 0 ] || fail "$w x $h: status $status, output '$output'"
    [ "$output" = "size:$w x $h" ] || fail "$w x $h: output '$output'"
    [ "$(cat empty.data)" = "$(printf 'empty: .word %s, %s\n.byte ' "$w" "$h")" ] ||
        fail "$w x $h: data '$(cat empty.data)'"
done
rm empty.*

# 40000000 x 1: 120 MB of pixels fit, the row's 80 MB of text beside them not.
"$make_bmp" wide.bmp 40000000 1 sparse
status=0 && output=$(run_limited "$bmp2data" wide) || status=$?
[ "$status" = 0 ] || fail "wide row: status $status, output '$output'"
[ "$(stat -c %s wide.data)" = $((24 + 6 + 40000000 * 2 + 1 + 2)) ] || fail "wide row: size"
rm wide.*

# A valid data file of 4096 x 4096 values whose preview does not fit in memory.
{ echo "big: .word 4096, 4096"; printf '.byte '; head -c $((4096 * 4096 * 2)) /dev/zero |
    tr '\0' '0' | sed 's/00/0,/g'; echo; } > big.data
echo "keep me" > big.preview.bmp
status=0 && output=$(ulimit -v $((96 * 1024)) && "$data2bmp" big) || status=$?
[ "$status" = 1 ] || fail "large preview: status $status"
[ "$output" = "$(printf 'size:4096 x 4096\nError: Malloc failed')" ] ||
    fail "large preview: output '$output'"
[ "$(cat big.preview.bmp)" = "keep me" ] || fail "large preview: big.preview.bmp changed"
[ "$(ls)" = "$(printf 'big.bmp\nbig.data\nbig.preview.bmp')" ] || fail "files left: $(ls)"
echo "memory limits: all checks passed"
