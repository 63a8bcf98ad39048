#!/usr/bin/env bash
# Every single allocation of a small run fails in turn (fail_allocation.c, preloaded):
# each run must end with the whole output and status 0, or with a prefix of the whole
# output, "out of memory" as the last message and status 1. Never a signal, never a
# wrong byte. A pair run and a record run, each on one and on three threads.
#   allocation_failure.sh KARTOVEL_CONVERT FAIL_ALLOCATION_LIBRARY
set -u
convert=$1
injector=$2
# A sanitizer's runtime owns malloc itself: nothing to preload there.
if nm -D "$convert" 2>/dev/null | grep -qE '__(asan|tsan|msan)_init'; then
    echo "skipped: the converter is built with a sanitizer"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# About 700 kB: three blocks, so that blocks are in flight on several workers.
awk 'BEGIN { srand(7); for (i = 0; i < 30000; i++) printf "%.2f %.2f\n", 150000 + rand() * 200000, 2400000 + rand() * 400000 }' > "$work/pairs.txt"
awk 'BEGIN { print "id,E,N,name" } { printf "%d,%s,%s,\"site %d\"\n", NR, $1, $2, NR }' "$work/pairs.txt" > "$work/records.csv"

failures=0
check() {  # name, arguments...
    local name=$1
    shift
    "$convert" "$@" > "$work/expected" 2> "$work/expected.err" || { echo "$name: the run without failures failed"; cat "$work/expected.err"; failures=$((failures + 1)); return; }
    KARTOVEL_ALLOCATION_COUNT="$work/count" LD_PRELOAD="$injector" "$convert" "$@" > /dev/null 2>&1
    local total
    total=$(cat "$work/count")
    local ended=0 stopped=0
    # Threads make the count vary a little from run to run: go some way past it.
    for ((n = 1; n <= total + 20; n++)); do
        KARTOVEL_FAIL_ALLOCATION=$n LD_PRELOAD="$injector" "$convert" "$@" > "$work/out" 2> "$work/err"
        local status=$?
        local size
        size=$(stat -c %s "$work/out")
        if [ $status -eq 0 ] && cmp -s "$work/out" "$work/expected" && [ ! -s "$work/err" ]; then
            ended=$((ended + 1))
        elif [ $status -eq 1 ] && cmp -s "$work/out" <(head -c "$size" "$work/expected") &&
             [ "$(tail -n 1 "$work/err")" = "kartovel-convert: out of memory" ]; then
            stopped=$((stopped + 1))
        else
            echo "$name: allocation $n of $total: status $status, $size bytes out, error: $(head -c 300 "$work/err")"
            failures=$((failures + 1))
        fi
    done
    echo "$name: $total allocations; $ended runs whole, $stopped a prefix then out of memory"
}
check "pairs, 1 thread" -q -j 1 "$work/pairs.txt"
check "pairs, 3 threads" -q -j 3 "$work/pairs.txt"
check "records, 1 thread" -q -j 1 --columns E,N "$work/records.csv"
check "records, 3 threads" -q -j 3 --columns E,N "$work/records.csv"
[ $failures -eq 0 ]
