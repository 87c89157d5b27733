#!/usr/bin/env bash
# A DTP20 chart of 1,500 CMYK patches (samples/cmyk_1500.txt) on A4 landscape
# as PDF pages with JPEG previews, made by a host through the shared library,
# side by side with ArgyllCMS's printtarg making its own DTP20 chart of 1,500
# patches on A4 (PostScript). Landscape, because on a portrait page the
# 1,500 patches need more strips than the DTP20's two-digit strip codes can
# number. Wall time and peak resident memory of each whole process come from
# /usr/bin/time -v; the best of several runs is shown.
#
#   scripts/bench_dtp20.sh [BUILD_DIR]   (default: build; needs -DORVOCHART_BENCH=ON)
#   ORVOCHART_BENCH_RUNS=5 scripts/bench_dtp20.sh
set -euo pipefail
source "$(dirname "$0")/bench_peer.sh"

ours=()
peer=()
for _ in $(seq "$runs"); do
    rm -f "$work"/chart.pdf*
    ours+=("$(measure "$host" 16 "$work/chart.pdf" "$root/samples/cmyk_1500.txt" 297 210 0)")
    peer+=("$(cd "$work" && measure printtarg -i20 -pA4 peer)")
done

report() {
    local label=$1
    shift
    local time rss
    time=$(printf '%s\n' "$@" | awk '{print $1}' | sort -n | head -1)
    rss=$(printf '%s\n' "$@" | awk '{print $2}' | sort -n | tail -1)
    printf '%-44s %8s s %10s kB\n' "$label" "$time" "$rss"
}

echo "DTP20 chart, 1,500 CMYK patches, A4 (best wall time of $runs runs, peak RSS)"
report "orvochart (bench_i1_host, createChart, PDF)" "${ours[@]}"
report "printtarg -i20 -pA4 (argyll, PostScript)" "${peer[@]}"
echo "pages: orvochart $(ls "$work"/chart.pdf "$work"/chart.pdf_*.tif 2>/dev/null | wc -l), printtarg $(grep -c '^%%Page:' "$work"/peer.ps)"
