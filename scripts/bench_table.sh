#!/usr/bin/env bash
# A SpectroScan chart of 1,500 CMYK patches (samples/cmyk_1500.txt) on A4 as
# TIFF at 254 dpi, made by a host through the shared library, side by side
# with ArgyllCMS's printtarg making its own SpectroScan chart of 1,500 patches
# on A4 as 8-bit TIFF at 254 dpi; then an i1iSis chart of 3,000 CMYK patches
# on A3 (ours alone). Wall time and peak resident memory of each whole process
# come from /usr/bin/time -v; the best of several runs is shown.
#
#   scripts/bench_table.sh [BUILD_DIR]   (default: build; needs -DORVOCHART_BENCH=ON)
#   ORVOCHART_BENCH_RUNS=5 scripts/bench_table.sh
set -euo pipefail
source "$(dirname "$0")/bench_peer.sh"
export TMPDIR=$work
# 3,000 patches of ours: the 1,500 sample rows twice.
awk '/^NUMBER_OF_SETS/ { print "NUMBER_OF_SETS 3000"; next }
     /^BEGIN_DATA$/ { data = 1; print; next }
     /^END_DATA$/ { for (i = 1; i <= n; i++) print i + n, rows[i]; data = 0 }
     data { n++; rows[n] = substr($0, index($0, " ") + 1) }
     { print }' "$root/samples/cmyk_1500.txt" >"$work/cmyk_3000.txt"

report() {
    local label=$1
    shift
    local time rss
    time=$(printf '%s\n' "$@" | awk '{print $1}' | sort -n | head -1)
    rss=$(printf '%s\n' "$@" | awk '{print $2}' | sort -n | tail -1)
    printf '%-44s %8s s %10s kB\n' "$label" "$time" "$rss"
}

ours=()
peer=()
isis=()
for _ in $(seq "$runs"); do
    rm -f "$work"/chart.tif* "$work"/isis.tif*
    ours+=("$(measure "$host" 5 "$work/chart.tif" "$root/samples/cmyk_1500.txt" 210 297 0)")
    peer+=("$(cd "$work" && measure printtarg -iSS -t254 -pA4 peer)")
    isis+=("$(measure "$host" 26 "$work/isis.tif" "$work/cmyk_3000.txt" 297 420 0)")
done

echo "SpectroScan chart, 1,500 CMYK patches, A4, TIFF at 254 dpi (best wall time of $runs runs, peak RSS)"
report "orvochart (bench_i1_host, createChart)" "${ours[@]}"
report "printtarg -iSS -t254 -pA4 (argyll)" "${peer[@]}"
echo "pages: orvochart $(ls "$work"/chart.tif* | wc -l), printtarg $(ls "$work"/peer*.tif | wc -l)"
echo "i1iSis chart, 3,000 CMYK patches, A3, TIFF at 254 dpi"
report "orvochart (bench_i1_host, createChart)" "${isis[@]}"
echo "pages: $(ls "$work"/isis.tif* | grep -v '\.dcf$' | wc -l), control block: $(ls "$work"/isis.tif.dcf)"
