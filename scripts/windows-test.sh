#!/usr/bin/env bash
# The Windows build, tested on this machine: the modules' libraries
# cross-built once (cached outside the checkout by windows-deps.sh), the
# library, modules, tool and tests cross-built with MinGW-w64, every test
# program run once under wine64, and two charts made under wine compared
# byte for byte with the same charts made by the Linux build.
#
#   scripts/windows-test.sh LINUX_BUILD
#
# LINUX_BUILD is a finished native build folder (its bin/orvochart is used).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_tool=${1:?usage: windows-test.sh LINUX_BUILD}/bin/orvochart
build=$root/build-windows
jobs=$(nproc)
started=$SECONDS
took() { echo "-- $1 after $((SECONDS - started)) s"; }

"$root/scripts/windows-deps.sh"
prefix=$("$root/scripts/windows-deps.sh" --print-prefix)
took "dependencies ready"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DORVOCHART_WINDOWS_PREFIX="$prefix"
cmake --build "$build" -j "$jobs"
took "Windows build"

# The build's wine prefix is made once here, so that parallel tests do not
# race to create it on their first start.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
run_windows() { env WINEPREFIX="$build/wineprefix" WINEDEBUG=-all "$wine" "$@"; }
run_windows cmd /c exit 0 >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -j "$jobs"
took "tests under wine"

# The same two charts as scripts/build.sh makes, once by each build: every
# page must be the same file on both platforms.
charts=$build/charts
rm -rf "$charts"
mkdir -p "$charts/linux" "$charts/windows"
make_chart() { # instrument out command...
    local instrument=$1 out=$2
    shift 2
    "$@" chart --instrument "$instrument" --mode CMYK --ref "$root/samples/cmyk_1500.txt" \
        --out "$out" --paper A4 >/dev/null
}
for chart in EyeOnePro2:i1pro2_cmyk.tif DTP41:dtp41_cmyk.pdf; do
    instrument=${chart%%:*} name=${chart#*:}
    make_chart "$instrument" "$charts/linux/$name" "$linux_tool"
    make_chart "$instrument" "$charts/windows/$name" run_windows "$build/bin/orvochart.exe"
done
pages=0
for page in "$charts"/linux/*; do
    name=${page##*/}
    case "$name" in *.tif | *.pdf) ;; *) continue ;; esac
    cmp "$page" "$charts/windows/$name" || {
        echo "page $name differs between the Linux and the Windows build" >&2
        exit 1
    }
    pages=$((pages + 1))
done
[ "$(ls "$charts/linux" | grep -c -E '\.(tif|pdf)$')" = "$(ls "$charts/windows" | grep -c -E '\.(tif|pdf)$')" ] || {
    echo "the two builds made different numbers of pages" >&2
    exit 1
}
echo "$pages pages identical on Linux and Windows"
took "Windows stage"
