#!/usr/bin/env bash
# Throughput of kartovel-convert against cs2cs (Debian's proj-bin) on the same files:
# random points inside Taiwan's TM2 grid (E 150000..350000 m, N 2400000..2800000 m) and
# inside the matching longitude/latitude box (119.5..122.5, 21.5..25.5 degrees), both
# directions on GRS80, RUNS runs of each program, interleaved so that a change in the
# machine's load hits both alike. Prints the median points per second and the ratio of
# the medians, with the fastest run of each beside it.
# Not run by CTest; run it by hand after a build:
#
#   bench/convert/cs2cs_compare.sh [path/to/kartovel-convert]
#
# Environment: POINTS (default 1000000), RUNS (default 5), JOBS (passed as --jobs;
# default: kartovel-convert's own, one thread per core).
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
convert=${1:-$top/build/convert/kartovel-convert}
points=${POINTS:-1000000}
runs=${RUNS:-5}
jobs=()
[ -n "${JOBS:-}" ] && jobs=(--jobs "$JOBS")

[ -x "$convert" ] || { echo "no kartovel-convert at $convert (build first)" >&2; exit 1; }
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

# Seconds taken by one command, standard output discarded.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    echo "$(( end - start ))" | awk '{ printf "%.6f\n", $1 / 1e9 }'
}

declare -A times
for ((run = 1; run <= runs; run++)); do
    times[k_inv]+="$(seconds "$convert" --to-geographic --ellipsoid grs80 "${jobs[@]}" "$work/grid.txt") "
    times[c_inv]+="$(seconds sh -c "cs2cs -f %.9f $tm2 +to $geographic < '$work/grid.txt'") "
    times[k_fwd]+="$(seconds "$convert" --to-tm2 --ellipsoid grs80 "${jobs[@]}" "$work/degrees.txt") "
    times[c_fwd]+="$(seconds sh -c "cs2cs -f %.9f $geographic +to $tm2 < '$work/degrees.txt'") "
    echo "run $run of $runs done" >&2
done

median() {  # of the seconds given
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
fastest() {
    printf '%s\n' "$@" | sort -g | head -n 1
}

# Other work on the machine slows the two-thread converter more than the one-thread
# cs2cs; the load average and the fastest runs show how much that weighed.
echo
echo "$points points, $runs runs each, $(nproc) cores, load average before $load_before, after $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo "points per second, median (fastest run):"
printf '%-20s %24s %24s %8s\n' direction kartovel-convert cs2cs ratio
for direction in inv fwd; do
    # shellcheck disable=SC2086
    k=$(median ${times[k_$direction]}); kf=$(fastest ${times[k_$direction]})
    # shellcheck disable=SC2086
    c=$(median ${times[c_$direction]}); cf=$(fastest ${times[c_$direction]})
    name="TM2 -> geographic"; [ "$direction" = fwd ] && name="geographic -> TM2"
    awk -v name="$name" -v n="$points" -v k="$k" -v c="$c" -v kf="$kf" -v cf="$cf" \
        'BEGIN { printf "%-20s %12.0f (%9.0f) %12.0f (%9.0f) %8.2f\n", name, n / k, n / kf, n / c, n / cf, c / k }'
done
