#!/usr/bin/env bash
# An i1Pro chart of 1,500 CMYK patches (samples/cmyk_1500.txt) on A4 as TIFF
# pages at 254 dpi, made by a host through the shared library, side by side
# with ArgyllCMS's printtarg making its own i1Pro chart of 1,500 patches on A4
# as 8-bit TIFF at 254 dpi. Wall time and peak resident memory of each whole
# process come from /usr/bin/time -v; the best of several runs is shown.
#
#   scripts/bench_i1.sh [BUILD_DIR]      (default: build; needs -DORVOCHART_BENCH=ON)
#   ORVOCHART_BENCH_RUNS=5 scripts/bench_i1.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
host=$build/bin/bench_i1_host
runs=${ORVOCHART_BENCH_RUNS:-3}

if [ ! -x "$host" ]; then
    echo "no $host: configure with -DORVOCHART_BENCH=ON and build the target bench_i1_host" >&2
    exit 2
fi
for tool in targen printtarg /usr/bin/time; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing (Debian packages argyll and time)" >&2
        exit 2
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The peer's 1,500 CMYK patches, made once and not timed.
(cd "$work" && targen -d4 -q -f1500 peer >/dev/null)

# Prints "seconds kilobytes" of one run of the command.
measure() {
    /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt"
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
        /Maximum resident set size/ { kb = $2 }
        END { printf "%.3f %d\n", s, kb }' "$work/time.txt"
}

best() {
    sort -n | head -1
}

ours=()
peer=()
for _ in $(seq "$runs"); do
    rm -f "$work"/chart.tif*
    ours+=("$(measure "$host" 22 "$work/chart.tif" "$root/samples/cmyk_1500.txt" 210 297 0)")
    peer+=("$(cd "$work" && measure printtarg -ii1 -t254 -pA4 peer)")
done

report() {
    local label=$1
    shift
    local time rss
    time=$(printf '%s\n' "$@" | awk '{print $1}' | best)
    rss=$(printf '%s\n' "$@" | awk '{print $2}' | sort -n | tail -1)
    printf '%-44s %8s s %10s kB\n' "$label" "$time" "$rss"
}

echo "i1Pro chart, 1,500 CMYK patches, A4, TIFF at 254 dpi (best wall time of $runs runs, peak RSS)"
report "orvochart (bench_i1_host, createChart)" "${ours[@]}"
report "printtarg -ii1 -t254 -pA4 (argyll)" "${peer[@]}"
echo "pages: orvochart $(ls "$work"/chart.tif* | wc -l), printtarg $(ls "$work"/peer_*.tif | wc -l)"
