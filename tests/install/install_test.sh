#!/usr/bin/env bash
# Installs a build into a temporary prefix and uses it from outside, as a
# user would: a host built through the CMake package and one built through
# pkg-config each make a chart, the installed tool makes the same chart, and
# the installed Python binding makes it too. Every way must agree on page 1.
#
#   install_test.sh BUILD_DIR SOURCE_DIR REFERENCE [PYTHON]
set -euo pipefail
build=$1 source=$2 reference=$3 python=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
unset ORVOCHART_LOG ORVOCHART_LIBRARY

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

cmake -S "$source/tests/install/consumer" -B "$work/by_cmake" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/by_cmake" >/dev/null
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name orvochart.pc)")
libdir=$(pkg-config --variable=libdir orvochart)
# shellcheck disable=SC2046
c++ -std=c++17 "$source/tests/install/consumer/main.cpp" $(pkg-config --cflags --libs orvochart) \
    -Wl,-rpath,"$libdir" -o "$work/by_pkgconfig"

by_cmake=$("$work/by_cmake/consumer" "$reference" "$work/cmake.tif") || fail "CMake host: $by_cmake"
by_pc=$("$work/by_pkgconfig" "$reference" "$work/pc.tif") || fail "pkg-config host: $by_pc"
tool=$("$prefix/bin/orvochart" chart --instrument EyeOnePro2 --mode CMYK --ref "$reference" \
    --out "$work/tool.tif" --paper A4) || fail "installed tool: $tool"

# The published CIEDE2000 value of the first pair of Sharma, Wu and Dalal.
[[ $by_cmake == *"dE00 2.0425" ]] || fail "CMake host printed: $by_cmake"
[ "$by_cmake" = "$by_pc" ] || fail "the hosts differ: '$by_cmake' / '$by_pc'"
page1=${by_cmake%%,*}
grep -q "^$page1, " <<<"$tool" || fail "the tool's page 1 differs from '$page1': $tool"
for page in cmake.tif pc.tif tool.tif; do
    [ "$(head -c 4 "$work/$page" | od -An -tx1 | tr -d ' ')" = 49492a00 ] || fail "$page is no TIFF"
done

if [ -n "$python" ]; then
    site=$(dirname "$(find "$prefix" -name __init__.py -path '*/orvochart/*')")
    strips_columns=$(cd "$work" && PYTHONPATH=$(dirname "$site") "$python" -c "
import orvochart as o
print(*o.create_chart(instrument=o.Instrument.EYEONEPRO2, reference='$reference',
                      output='py.tif', width_mm=210, height_mm=297))")
    [ "page 1: ${strips_columns/ / strips x } columns" = "$page1" ] ||
        fail "Python made $strips_columns, not $page1"
fi
echo "installed and used: $page1"
