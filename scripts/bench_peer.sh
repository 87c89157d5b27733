# Sourced by the benchmark scripts that time a chart of ours beside the
# peer's own (printtarg, Debian package argyll): the minimal host, the
# peer's tools, a scratch folder with the peer's 1,500 CMYK patches, and
# `measure`, which prints "seconds kilobytes" of one run of a command from
# /usr/bin/time -v. Expects the caller's first argument to be the build folder.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
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

measure() {
    /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt"
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
        /Maximum resident set size/ { kb = $2 }
        END { printf "%.3f %d\n", s, kb }' "$work/time.txt"
}
