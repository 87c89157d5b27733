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
source "$(dirname "$0")/bench_peer.sh"

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
