#!/usr/bin/env bash
# Sets the machine up, builds the library, the modules and the tool, and
# makes a sample chart from the bundled reference.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVOCHART_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

out="$root/out"
mkdir -p "$out"
"$build/bin/orvochart" inspect "$root/samples/cmyk_1500.txt" --mode cmyk > "$out/cmyk_1500.json"
echo "The sample reference samples/cmyk_1500.txt, read as CMYK patches: $out/cmyk_1500.json"
