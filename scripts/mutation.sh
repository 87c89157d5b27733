#!/usr/bin/env bash
# Mutation check: does the test suite catch small planted faults?
#
#   scripts/mutation.sh [faults-file] [scratch-folder]
#
# Copies the tree once to a scratch folder, configures one normal build there
# and builds it, then for each planted fault: replaces the exact search text
# in its file, builds incrementally, runs the suite (quick mode, stopping at
# the first failure) and puts the file back. A fault is "caught" when the
# suite fails, "missed" when it passes, "not applicable" when its search text
# is no longer in the file, "no build" when the faulty tree does not compile.
# Takes long: not part of CI.
#
# Faults file: blocks separated by blank lines, each of
#   name: <short name>
#   file: <path from the top of the tree>
#   find: <exact text, one line, first occurrence is replaced>
#   into: <replacement>
# Lines starting with '#' are comments.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
faults=${1:-$top/scripts/mutation-faults.txt}
scratch=${2:-${TMPDIR:-/tmp}/orvochart-mutation-$$}
timeout_s=${MUTATION_TEST_TIMEOUT:-300}

mkdir -p "$scratch"
echo "Copying the tree to $scratch"
(cd "$top" && git ls-files -z | tar --null -T - -cf -) | (cd "$scratch" && tar -xf -)
cd "$scratch" || exit 2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >build.log 2>&1 &&
    cmake --build build -j2 >>build.log 2>&1 || {
    echo "The unchanged tree does not build; see $scratch/build.log"
    exit 2
}
run_suite() {
    # The fast unit tests first, the read-back tests (Ghostscript, libtiff
    # pages) only when those pass: a caught fault is usually caught early.
    ORVOCHART_QUICK=1 ctest --test-dir build -j2 --stop-on-failure --timeout "$timeout_s" \
        -E '^(Modes|Charts)/' >>suite.log 2>&1 &&
        ORVOCHART_QUICK=1 ctest --test-dir build -j2 --stop-on-failure --timeout "$timeout_s" \
            -R '^(Modes|Charts)/' >>suite.log 2>&1
}
echo "Checking that the unchanged tree passes"
run_suite || {
    echo "The unchanged tree fails its tests; see $scratch/suite.log"
    exit 2
}

# Applies (mode "apply") a fault to its file, keeping the original beside it,
# or says why it cannot: exit 3 when the search text is not found.
apply() {
    python3 - "$1" "$2" "$3" <<'EOF'
import shutil, sys
path, find, into = sys.argv[1:4]
try:
    text = open(path, encoding="utf-8").read()
except OSError:
    sys.exit(3)
if find not in text:
    sys.exit(3)
shutil.copyfile(path, path + ".mutation-original")
open(path, "w", encoding="utf-8").write(text.replace(find, into, 1))
EOF
}

# The original back under a fresh time stamp, so that the next build
# recompiles it (ccache makes that cheap).
revert() {
    cat "$1.mutation-original" >"$1" && rm -f "$1.mutation-original"
}

caught=0
missed=0
planted=0
skipped=0
broken=0
report=$scratch/report.txt
: >"$report"
name="" file="" find="" into=""
check_fault() {
    [ -n "$name" ] || return 0
    local verdict
    if ! apply "$file" "$find" "$into"; then
        verdict="not applicable"
        skipped=$((skipped + 1))
    elif ! cmake --build build -j2 >>build.log 2>&1; then
        verdict="no build"
        broken=$((broken + 1))
        revert "$file"
    else
        planted=$((planted + 1))
        if run_suite; then
            verdict="MISSED"
            missed=$((missed + 1))
        else
            verdict="caught"
            caught=$((caught + 1))
        fi
        revert "$file"
    fi
    printf '%-15s %-40s %s\n' "$verdict" "$name" "$file" | tee -a "$report"
    name="" file="" find="" into=""
}
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
        "#"*) ;;
        "") check_fault ;;
        "name: "*) name=${line#name: } ;;
        "file: "*) file=${line#file: } ;;
        "find: "*) find=${line#find: } ;;
        "into: "*) into=${line#into: } ;;
        "into:") into="" ;;
        *) echo "faults file: cannot read line: $line" >&2 ;;
    esac
done <"$faults"
check_fault
# The last build leaves the unchanged tree behind.
cmake --build build -j2 >>build.log 2>&1

echo
echo "caught $caught / planted $planted (missed $missed, not applicable $skipped, no build $broken)"
echo "report: $report"
