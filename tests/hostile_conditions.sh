#!/usr/bin/env bash
# The failure contract under conditions a user or an attacker can set up:
# every failure is one line and status 1 (or death by the signal sent), the
# old output stays as it was, and no temporary file is left behind.
# Usage: hostile_conditions.sh CHECK BMP2DATA DATA2BMP MAKE_BMP WORKDIR
# Exits with 77 (skipped) where this machine does not allow the check.
set -euo pipefail
check=$1 bmp2data=$2 data2bmp=$3 make_bmp=$4 workdir=$5
rm -rf "$workdir" && mkdir -p "$workdir/reference" && cd "$workdir"
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }
no_temporaries() {
    if compgen -G '*.tmp*' > /dev/null; then fail "$1: temporary files left: $(ls)"; fi
}
# Waits up to 10 s for a run's temporary file to appear in DIRECTORY.
wait_for_temporary() {
    for _ in $(seq 2000); do
        compgen -G "$1/bmp2data-*.tmp" > /dev/null && return 0
        sleep 0.005
    done
    return 1
}
# run EXPECTED_STATUS EXPECTED_OUTPUT COMMAND...
run() {
    local expected_status=$1 expected_output=$2 status=0 output
    shift 2
    output=$("$@") || status=$?
    [ "$status" = "$expected_status" ] || fail "$*: status $status, expected $expected_status"
    [ "$output" = "$expected_output" ] || fail "$*: output '$output'"
}

"$make_bmp" pic.bmp 64 64 random
(cd reference && cp ../pic.bmp . && "$bmp2data" pic > /dev/null && "$data2bmp" pic > /dev/null)

case $check in
file-size-limit)
    # SIGXFSZ would kill the program silently; the write must fail instead.
    echo "keep me" > pic.data
    echo "keep me" > pic.preview.bmp
    cp reference/pic.data pic-source.data
    run 1 "$(printf 'size:64 x 64\nError: cannot write pic.data')" \
        bash -c 'ulimit -f 4 && exec "$0" pic' "$bmp2data"
    mv pic-source.data source.data
    run 1 "$(printf 'size:64 x 64\nError: cannot write source.preview.bmp')" \
        bash -c 'ulimit -f 4 && exec "$0" source' "$data2bmp"
    [ "$(cat pic.data)" = "keep me" ] || fail "pic.data changed"
    no_temporaries "file-size limit"
    ;;
standard-output)
    # The size line that cannot be written makes the run fail; the data file stays.
    status=0 && "$bmp2data" pic > /dev/full || status=$?
    [ "$status" = 1 ] || fail "full device: status $status"
    status=0 && "$bmp2data" pic >&- || status=$?
    [ "$status" = 1 ] || fail "closed standard output: status $status"
    # Nobody reads the pipe any more: SIGPIPE must not kill the program.
    { sleep 0.5; status=0 && "$bmp2data" pic || status=$?; echo "$status" > pipe-status; } | true
    [ "$(cat pipe-status)" = 1 ] || fail "broken pipe: status $(cat pipe-status)"
    cmp -s pic.data reference/pic.data || fail "pic.data differs"
    no_temporaries "standard output"
    ;;
signals)
    # A signal midway removes the temporary file and ends the run by that signal.
    "$make_bmp" big.bmp 8192 8192 sparse
    set -m # background jobs keep SIGINT, as when started from a terminal
    for signal in INT TERM HUP; do
        echo "keep me" > big.data
        "$bmp2data" big > /dev/null &
        pid=$!
        wait_for_temporary . || fail "$signal: no temporary file seen"
        kill -s "$signal" "$pid"
        status=0 && wait "$pid" || status=$?
        expected=$((128 + $(kill -l "$signal")))
        [ "$status" = "$expected" ] || fail "$signal: status $status, expected $expected"
        [ "$(cat big.data)" = "keep me" ] || fail "$signal: big.data changed"
        no_temporaries "$signal"
    done
    ;;
moved-directory)
    # The output's directory is moved away while a large picture is written:
    # the run fails, and its temporary file is removed from where it went.
    "$make_bmp" big.bmp 8192 8192 sparse
    mkdir out && mv big.bmp out/
    for _ in 1 2 3; do
        "$bmp2data" out/big > output.txt &
        pid=$!
        wait_for_temporary out || fail "no temporary file seen"
        mv out moved
        status=0 && wait "$pid" || status=$?
        [ "$status" = 1 ] || fail "moved directory: status $status"
        [ "$(cat output.txt)" = "$(printf 'size:8192 x 8192\nError: cannot write out/big.data')" ] ||
            fail "moved directory: output '$(cat output.txt)'"
        [ "$(ls moved)" = big.bmp ] || fail "moved directory: left in it: $(ls moved)"
        mv moved out
    done
    ;;
fifo-inputs)
    mkfifo fifo.bmp fifo.data
    run 1 "Error: fifo.bmp is not a regular file" timeout 10 "$bmp2data" fifo
    run 1 "Error: fifo.data is not a regular file" timeout 10 "$data2bmp" fifo
    ;;
pid-namespaces)
    # Two runs with the same process number (1, each in a PID namespace of its
    # own) on one directory, with links planted at names derived from it.
    unshare --pid --fork true 2> /dev/null || skip "no PID namespaces here (needs root)"
    mkdir outside && echo "precious" > outside/victim
    "$make_bmp" pic.bmp 1024 1024 random
    (cd reference && cp ../pic.bmp . && "$bmp2data" pic > /dev/null)
    for planted in pic.data.tmp1 pic.data.tmp; do ln -s ../outside/victim "$planted"; done
    for round in 1 2 3; do
        unshare --pid --fork "$bmp2data" pic > /dev/null &
        first=$!
        unshare --pid --fork "$bmp2data" pic > /dev/null &
        second=$!
        wait "$first" || fail "round $round: the first run failed"
        wait "$second" || fail "round $round: the second run failed"
        cmp -s pic.data reference/pic.data || fail "round $round: pic.data is not one run's output"
        [ "$(cat outside/victim)" = "precious" ] || fail "round $round: the link's target changed"
        [ "$(ls | tr '\n' ' ')" = "outside pic.bmp pic.data pic.data.tmp pic.data.tmp1 reference " ] ||
            fail "round $round: files: $(ls)"
    done
    ;;
*) fail "unknown check $check" ;;
esac
echo "$check: all checks passed"
