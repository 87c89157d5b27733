#!/usr/bin/env bash
# Sets the machine up and runs every test: the normal build, the build under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzzing run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
jobs=$(nproc)
export ORVOCHART_QUICK=1

echo "== style (clang-format)"
(cd "$root" && git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)

echo "== build and test"
cmake -S "$root" -B "$root/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build-test" -j "$jobs"
ctest --test-dir "$root/build-test" --output-on-failure -j "$jobs"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVOCHART_SANITIZE=ON
cmake --build "$root/build-asan" -j "$jobs"
# LeakSanitizer's stop-the-world tracer now and then crashes on a loaded
# machine ("Tracer caught signal 11") after a test has passed; a second run
# tells such a crash from a real failure, which fails both times.
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --repeat until-pass:2

echo "== Windows build under wine"
# Always in CI; ORVOCHART_SKIP_WINDOWS=1 skips it in a quick local run.
if [ -n "${CI:-}" ] || [ "${ORVOCHART_SKIP_WINDOWS:-0}" != 1 ]; then
    "$root/scripts/windows-test.sh" "$root/build-test"
else
    echo "skipped (ORVOCHART_SKIP_WINDOWS=1)"
fi

echo "== fuzz"
"$root/scripts/fuzz.sh" "${ORVOCHART_FUZZ_SECONDS:-60}"
