#!/usr/bin/env bash
# A 16384 x 16384 picture (a sparse file, all black) converts correctly with
# peak memory near 3 bytes a pixel plus a small constant.
# Usage: large_picture.sh BMP2DATA MAKE_BMP WORKDIR
set -euo pipefail
bmp2data=$1 make_bmp=$2 workdir=$3
rm -rf "$workdir" && mkdir -p "$workdir" && cd "$workdir"
fail() { echo "FAIL: $*"; exit 1; }

side=16384
pixels=$((side * side))
"$make_bmp" big.bmp $side $side sparse
output=$(/usr/bin/time -f 'peak %M KiB, %e s' -o time.txt "$bmp2data" big) || fail "status $?"
[ "$output" = "size:$side x $side" ] || fail "output '$output'"
echo "$(cat time.txt) for $pixels pixels"

# Every pixel is "0,", every row a line of its own; ".byte " opens the first.
label="big: .word $side, $side"
expected=$(( ${#label} + 1 + 6 + side * (side * 2 + 1) + 2 ))
actual=$(stat -c %s big.data)
[ "$actual" = "$expected" ] || fail "big.data has $actual bytes, expected $expected"
[ "$(head -n 1 big.data)" = "$label" ] || fail "label line: $(head -n 1 big.data)"
row=$(printf '0,%.0s' $(seq $side))
[ "$(sed -n 2p big.data)" = ".byte $row" ] || fail "first row"
[ "$(tail -n 3 big.data | head -n 1)" = "$row" ] || fail "last row"
rm big.data

peak_kib=$(sed -E 's/peak ([0-9]+) KiB.*/\1/' time.txt)
limit_kib=$(( (pixels * 3) / 1024 + 32 * 1024 ))
[ "$peak_kib" -le "$limit_kib" ] || fail "peak $peak_kib KiB exceeds $limit_kib KiB"
echo "large picture: all checks passed"
