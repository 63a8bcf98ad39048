#!/usr/bin/env bash
# Throughput of kartovel-convert against cs2cs (Debian's proj-bin) on the same files, and of
# its TWD67 -> TWD97 datum path against cct (same package) running the same transformation:
# random points inside Taiwan's TM2 grid (E 150000..350000 m, N 2400000..2800000 m) and
# inside the matching longitude/latitude box (119.5..122.5, 21.5..25.5 degrees), both
# directions on GRS80, RUNS runs of each command, interleaved so that a change in the
# machine's load hits all alike. kartovel-convert runs on one thread (--jobs 1), on all
# cores (its default, or JOBS), and in record mode on a CSV file of the same points
# (an ID, the two coordinates and a name) on all cores. Prints the median points per
# second, the fastest run, the ratio of the medians to cs2cs (to the pair stream for the
# record mode) beside its target, and the peak resident memory of each command.
# Not run by CTest; run it by hand after a build:
#
#   bench/convert/cs2cs_compare.sh [path/to/kartovel-convert]
#
# Environment: POINTS (default 1000000), RUNS (default 5), JOBS (passed as --jobs to the
# all-core runs; default: kartovel-convert's own, one thread per core), REFERENCE (another
# kartovel-convert, such as one built before a change: run in the same rounds, its rows
# marked "before").
# Needs GNU time (Debian package time) for the peak memory.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
convert=${1:-$top/build/convert/kartovel-convert}
points=${POINTS:-1000000}
runs=${RUNS:-5}
jobs=()
[ -n "${JOBS:-}" ] && jobs=(--jobs "$JOBS")
[ -x /usr/bin/time ] || { echo "GNU time not found at /usr/bin/time (Debian package time)" >&2; exit 1; }

[ -x "$convert" ] || { echo "no kartovel-convert at $convert (build first)" >&2; exit 1; }
before=${REFERENCE:-}
[ -z "$before" ] || [ -x "$before" ] || { echo "no kartovel-convert at $before" >&2; exit 1; }
command -v cs2cs >/dev/null || { echo "cs2cs not found (Debian package proj-bin)" >&2; exit 1; }

tm2="+proj=tmerc +lon_0=121 +k=0.9999 +x_0=250000 +y_0=0 +ellps=GRS80 +units=m"
geographic="+proj=longlat +ellps=GRS80"

load_before=$(cut -d ' ' -f 1-3 /proc/loadavg)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Centimetres for the grid, nine decimals (about 0.1 mm) for degrees.
awk -v n="$points" 'BEGIN { srand(20240611); for (i = 0; i < n; i++)
    printf "%.2f %.2f\n", 150000 + rand() * 200000, 2400000 + rand() * 400000 }' > "$work/grid.txt"
awk -v n="$points" 'BEGIN { srand(20240612); for (i = 0; i < n; i++)
    printf "%.9f %.9f\n", 119.5 + rand() * 3, 21.5 + rand() * 4 }' > "$work/degrees.txt"

# The same points as a spreadsheet file: a header, an ID, the coordinates, a name.
awk 'BEGIN { print "id,E,N,name" } { printf "%d,%s,%s,\"site %d\"\n", NR, $1, $2, NR }' "$work/grid.txt" > "$work/grid.csv"
awk 'BEGIN { print "id,lon,lat,name" } { printf "%d,%s,%s,\"site %d\"\n", NR, $1, $2, NR }' "$work/degrees.txt" > "$work/degrees.csv"

# Both programs must compute the same thing: compare their first lines (cs2cs writes a
# third, height column, which is ignored).
check() {  # name, tolerance, kartovel output, cs2cs output
    paste -d ' ' "$3" "$4" | awk -v name="$1" -v tol="$2" '
        { dx = $1 - $3; dy = $2 - $4; if (dx < 0) dx = -dx; if (dy < 0) dy = -dy
          if (dx > worst) worst = dx; if (dy > worst) worst = dy }
        END { printf "%-20s largest difference in the first %d points: %g (allowed %g)\n", name, NR, worst, tol
              exit worst > tol }'
}
head -n 1000 "$work/grid.txt" > "$work/grid_head.txt"
head -n 1000 "$work/degrees.txt" > "$work/degrees_head.txt"
"$convert" --to-geographic --ellipsoid grs80 "$work/grid_head.txt" > "$work/k1"
cs2cs -f %.9f $tm2 +to $geographic < "$work/grid_head.txt" > "$work/c1"
check "TM2 -> geographic" 1e-5 "$work/k1" "$work/c1"
"$convert" --to-tm2 --ellipsoid grs80 "$work/degrees_head.txt" > "$work/k2"
cs2cs -f %.9f $geographic +to $tm2 < "$work/degrees_head.txt" > "$work/c2"
check "geographic -> TM2" 0.02 "$work/k2" "$work/c2"

# The datum path: TWD67 TM2 to TWD97 TM2, and to TWD97 longitude latitude, against PROJ's
# cct running the same planar 4-parameter transformation as an affine step (the published
# form has +B in both rows, so it is not a similarity Helmert), followed by the inverse
# TM2 on GRS80 for the degrees. The random grid points all lie on the main island.
affine="+proj=affine +xoff=807.8 +yoff=-248.6 +s11=1.00001549 +s12=0.000006521 +s21=0.000006521 +s22=1.00001549"
to_degrees="+proj=pipeline +step $affine +step +inv $tm2 +step +proj=unitconvert +xy_in=rad +xy_out=deg"
"$convert" --from twd67-tm2 --to twd97-tm2 --precision full "$work/grid_head.txt" > "$work/k3"
cct -d 4 -z 0 -t 0 $affine < "$work/grid_head.txt" > "$work/c3"
check "TWD67 TM2 -> TWD97 TM2" 2e-4 "$work/k3" "$work/c3"
"$convert" --from twd67-tm2 --to twd97 --precision full "$work/grid_head.txt" > "$work/k4"
cct -d 9 -z 0 -t 0 $to_degrees < "$work/grid_head.txt" > "$work/c4"
check "TWD67 TM2 -> TWD97 lon/lat" 1e-8 "$work/k4" "$work/c4"

# Seconds and peak resident kilobytes of one command, standard output discarded.
measure() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null
    cat "$work/time"
}

declare -A times memory
run() {  # key, command...
    local key=$1 result
    shift
    result=$(measure "$@")
    times[$key]+="${result% *} "
    local kb=${result#* }
    if [ -z "${memory[$key]:-}" ] || [ "$kb" -gt "${memory[$key]}" ]; then memory[$key]=$kb; fi
}
for ((run_number = 1; run_number <= runs; run_number++)); do
    run k1_inv "$convert" --to-geographic --ellipsoid grs80 --jobs 1 "$work/grid.txt"
    run kn_inv "$convert" --to-geographic --ellipsoid grs80 "${jobs[@]}" "$work/grid.txt"
    run c_inv sh -c "cs2cs -f %.9f $tm2 +to $geographic < '$work/grid.txt'"
    run r_inv "$convert" --to-geographic --ellipsoid grs80 "${jobs[@]}" --columns E,N "$work/grid.csv"
    run k1_fwd "$convert" --to-tm2 --ellipsoid grs80 --jobs 1 "$work/degrees.txt"
    run kn_fwd "$convert" --to-tm2 --ellipsoid grs80 "${jobs[@]}" "$work/degrees.txt"
    run c_fwd sh -c "cs2cs -f %.9f $geographic +to $tm2 < '$work/degrees.txt'"
    run r_fwd "$convert" --to-tm2 --ellipsoid grs80 "${jobs[@]}" --columns lon,lat "$work/degrees.csv"
    if [ -n "$before" ]; then
        run b1_inv "$before" --to-geographic --ellipsoid grs80 --jobs 1 "$work/grid.txt"
        run bn_inv "$before" --to-geographic --ellipsoid grs80 "${jobs[@]}" "$work/grid.txt"
        run br_inv "$before" --to-geographic --ellipsoid grs80 "${jobs[@]}" --columns E,N "$work/grid.csv"
        run b1_fwd "$before" --to-tm2 --ellipsoid grs80 --jobs 1 "$work/degrees.txt"
        run bn_fwd "$before" --to-tm2 --ellipsoid grs80 "${jobs[@]}" "$work/degrees.txt"
        run br_fwd "$before" --to-tm2 --ellipsoid grs80 "${jobs[@]}" --columns lon,lat "$work/degrees.csv"
    fi
    run k1_dgrid "$convert" --from twd67-tm2 --to twd97-tm2 --precision full --jobs 1 "$work/grid.txt"
    run kn_dgrid "$convert" --from twd67-tm2 --to twd97-tm2 --precision full "${jobs[@]}" "$work/grid.txt"
    run c_dgrid sh -c "cct -d 4 -z 0 -t 0 $affine < '$work/grid.txt'"
    run k1_dgeo "$convert" --from twd67-tm2 --to twd97 --precision full --jobs 1 "$work/grid.txt"
    run kn_dgeo "$convert" --from twd67-tm2 --to twd97 --precision full "${jobs[@]}" "$work/grid.txt"
    run c_dgeo sh -c "cct -d 9 -z 0 -t 0 $to_degrees < '$work/grid.txt'"
    echo "run $run_number of $runs done" >&2
done

median() {  # of the seconds given
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
fastest() {
    printf '%s\n' "$@" | sort -g | head -n 1
}

# Other work on the machine slows the threaded runs more than the one-thread cs2cs; the
# load average and the fastest runs show how much that weighed.
echo
echo "$points points, $runs runs each, $(nproc) cores, load average before $load_before, after $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo "points per second, median (fastest run); ratio of the medians to the reference, with its target;"
echo "peak resident memory of the command (the cs2cs figure includes its shell)"
# One row of the table: name, label, key_direction, reference seconds (or ""), its name,
# target ratio (or "").
report() {
    local t f
    # shellcheck disable=SC2086
    t=$(median ${times[$3]}); f=$(fastest ${times[$3]})
    awk -v name="$1" -v label="$2" -v n="$points" -v t="$t" -v f="$f" -v ref="$4" \
        -v ref_name="$5" -v target="$6" -v kb="${memory[$3]}" 'BEGIN {
        ratio = ""; verdict = ""
        if (ref != "") ratio = sprintf("%.2f", ref / t)
        if (ref != "" && target != "") verdict = (ref / t >= target) ? ">= " target " ok" : "< " target " MISSED"
        printf "%-20s %-22s %10.0f (%9.0f) %-16s %7s %-13s %7.1f MB\n", name, label, n / t, n / f, (ref == "" ? "" : ref_name), ratio, verdict, kb / 1024 }'
}
printf '%-20s %-22s %22s %-16s %7s %7s %10s\n' direction command 'points/s (fastest)' reference ratio target 'peak RSS'
for direction in inv fwd; do
    name="TM2 -> geographic"; one_target=1.3
    [ "$direction" = fwd ] && name="geographic -> TM2" && one_target=1.8
    # shellcheck disable=SC2086
    c=$(median ${times[c_$direction]})
    # shellcheck disable=SC2086
    kn=$(median ${times[kn_$direction]})
    report "$name" "cs2cs" "c_$direction" "" "" ""
    report "$name" "kartovel-convert -j 1" "k1_$direction" "$c" "cs2cs" "$one_target"
    report "$name" "kartovel-convert" "kn_$direction" "$c" "cs2cs" 2
    report "$name" "  --columns (records)" "r_$direction" "$kn" "pair stream" 0.8
    if [ -n "$before" ]; then
        report "$name" "before -j 1" "b1_$direction" "$c" "cs2cs" "$one_target"
        report "$name" "before" "bn_$direction" "$c" "cs2cs" 2
        report "$name" "  before --columns" "br_$direction" "$kn" "pair stream" 0.8
    fi
done
# The datum path: the reference is cct; kartovel-convert also finds the region of each
# point (for grid points plainly on the main island without the inverse projection).
for direction in dgrid dgeo; do
    name="TWD67 TM2->TWD97 TM2"
    [ "$direction" = dgeo ] && name="TWD67 TM2->TWD97 deg"
    # shellcheck disable=SC2086
    c=$(median ${times[c_$direction]})
    report "$name" "cct (affine)" "c_$direction" "" "" ""
    report "$name" "kartovel-convert -j 1" "k1_$direction" "$c" "cct" ""
    report "$name" "kartovel-convert" "kn_$direction" "$c" "cct" 2
done
