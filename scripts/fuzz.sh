#!/usr/bin/env bash
# Builds the reference-reader fuzzer with clang (libFuzzer, ASan, UBSan) in
# build-fuzz and runs it for the given number of seconds (default 60) over a
# copy of the seed corpus: the reader test files and fuzz/corpus/reader.
# Inputs that crash are written to build-fuzz/findings/; add the minimised
# ones to fuzz/corpus/reader so that the replay test keeps checking them.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVOCHART_FUZZ=ON -DORVOCHART_MODULES=OFF >/dev/null
cmake --build "$build" --target reader_fuzz -j2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$build/findings"
cp "$root"/tests/data/cgats/*.txt "$work/corpus/"
cp "$root"/fuzz/corpus/reader/* "$work/corpus/" 2>/dev/null || true

"$build/bin/reader_fuzz" "$work/corpus" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/fuzz/reader.dict" -artifact_prefix="$build/findings/" -print_final_stats=1
