#!/usr/bin/env bash
# Sets the machine up, builds the library, the modules and the tool, and
# makes a sample chart from the bundled reference.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVOCHART_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

# The main job: two charts of the bundled 1,500-patch CMYK reference on A4,
# one as TIFF pages for the i1Pro 2 (with PNG previews) and one as PDF pages
# for the DTP41 (the PDF writer adds a JPEG preview of every page).
out="$root/out"
rm -rf "$out"
mkdir -p "$out"
tool="$build/bin/orvochart"
"$tool" chart --instrument EyeOnePro2 --mode CMYK --ref "$root/samples/cmyk_1500.txt" \
    --out "$out/i1pro2_cmyk.tif" --paper A4 --preview
"$tool" chart --instrument DTP41 --mode CMYK --ref "$root/samples/cmyk_1500.txt" \
    --out "$out/dtp41_cmyk.pdf" --paper A4
echo
echo "Charts of samples/cmyk_1500.txt are in $out:"
echo "  i1pro2_cmyk.tif, i1pro2_cmyk.tif_<n>.tif  i1Pro 2 pages (TIFF); previews beside them as .png"
echo "  dtp41_cmyk.pdf, dtp41_cmyk.pdf_<n>.tif    DTP41 pages (PDF documents); previews as .jpg"
