#!/usr/bin/env bash
# Cross-builds the modules' third-party libraries for 64-bit Windows as
# static libraries, from Debian 12's source packages, into a prefix that
# cmake/toolchains/mingw-w64-x86_64.cmake consumes via ORVOCHART_WINDOWS_PREFIX.
#
#   scripts/windows-deps.sh [prefix]     build what is missing, then check
#   scripts/windows-deps.sh --print-prefix
#
# The default prefix is ${ORVOCHART_WINDOWS_DEPS:-~/.cache/orvochart/windows-deps}/<key>;
# the key changes with the source versions, the compiler, the toolchain file
# and this script, so a stale prefix is never reused. Each library leaves a
# stamp, and a second run skips the ones already built.
set -euo pipefail

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
toolchain=$(cd "$script_dir/../cmake/toolchains" && pwd)/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
cc=$triple-gcc-posix
cxx=$triple-g++-posix
jobs=$(nproc)

# Build order matters: each library finds the earlier ones in the prefix.
libs=(zlib libjpeg-turbo libpng libtiff qpdf pixman cairo)
declare -A source_package=([zlib]=zlib [libjpeg-turbo]=libjpeg-turbo [libpng]=libpng1.6
    [libtiff]=tiff [qpdf]=qpdf [pixman]=pixman [cairo]=cairo)

die() {
    echo "windows-deps: $*" >&2
    exit 1
}

usage() {
    sed -n '2,12s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
}

print_only=0
case "${1:-}" in
-h | --help)
    usage
    exit 0
    ;;
--print-prefix)
    print_only=1
    shift
    ;;
-*) die "unknown option $1" ;;
esac
[ $# -le 1 ] || die "at most one prefix argument"

for tool in "$cc" "$cxx" "$triple-ar" "$triple-ranlib" "$triple-nm" "$triple-objdump" cmake ninja meson make \
    pkg-config apt-get apt-cache dpkg-source; do
    command -v "$tool" >/dev/null || die "$tool not found (see scripts/setup.sh)"
done

# --- Debian sources ---------------------------------------------------------

# apt-get source needs deb-src entries; mirror the configured deb entries.
ensure_deb_src() {
    # shellcheck disable=SC2016 # $(TARGET_OF) is apt's field name, not a shell expansion
    if apt-get indextargets --format '$(TARGET_OF)' 2>/dev/null | grep -x deb-src >/dev/null; then
        return
    fi
    [ "$(id -u)" = 0 ] || die "no deb-src entry in the apt sources; add one for Debian 12 (or run as root)"
    local dir=/etc/apt/sources.list.d
    local f list822="$dir/orvochart-deb-src.sources" list1="$dir/orvochart-deb-src.list"
    for f in "$dir"/*.sources; do
        [ -e "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
    done >"$list822"
    [ -s "$list822" ] || rm -f "$list822"
    local lines
    lines=$(for f in /etc/apt/sources.list "$dir"/*.list; do
        if [ -e "$f" ]; then sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"; fi
    done)
    if [ -n "$lines" ]; then echo "$lines" >"$list1"; fi
    [ -e "$list822" ] || [ -e "$list1" ] || die "no deb entries to derive deb-src entries from"
    local added=""
    for f in "$list822" "$list1"; do
        if [ -e "$f" ]; then added="$added$f "; fi
    done
    echo "windows-deps: no deb-src entry was configured; added ${added}and ran apt-get update" >&2
    apt-get update -qq >/dev/null || die "apt-get update failed"
}

# Newest first, by Debian's version ordering.
source_versions() {
    local pkg=$1 v out=() i
    while read -r v; do
        i=${#out[@]}
        out+=("$v")
        while [ "$i" -gt 0 ] && dpkg --compare-versions "$v" gt "${out[$((i - 1))]}"; do
            out[i]=${out[i - 1]}
            out[i - 1]=$v
            i=$((i - 1))
        done
    done < <(apt-cache showsrc --only-source "$pkg" 2>/dev/null | awk '/^Version:/ { print $2 }' | sort -u)
    printf '%s\n' "${out[@]}"
}

ensure_deb_src
declare -A versions candidate
for lib in "${libs[@]}"; do
    versions[$lib]=$(source_versions "${source_package[$lib]}")
    if [ -z "${versions[$lib]}" ] && [ "$(id -u)" = 0 ]; then
        apt-get update -qq >/dev/null || die "apt-get update failed"
        versions[$lib]=$(source_versions "${source_package[$lib]}")
    fi
    [ -n "${versions[$lib]}" ] || die "no source package ${source_package[$lib]} known to apt"
    candidate[$lib]=$(head -n1 <<<"${versions[$lib]}")
done

key=$({
    for lib in "${libs[@]}"; do echo "$lib=${candidate[$lib]}"; done
    "$cc" -dumpfullversion -dumpversion
    "$triple-ar" --version | head -n1
    sha256sum <"$toolchain"
    sha256sum <"${BASH_SOURCE[0]}"
} | sha256sum | cut -c1-16)
prefix=${1:-${ORVOCHART_WINDOWS_DEPS:-$HOME/.cache/orvochart/windows-deps}/$key}
if [ "$print_only" = 1 ]; then
    echo "$prefix"
    exit 0
fi
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
work=$prefix/.build
stamps=$prefix/.stamps
mkdir -p "$work/logs" "$stamps"

exec 9>"$prefix/.lock"
if ! flock -n 9; then
    echo "windows-deps: another run is building $prefix; waiting"
    flock 9
fi

# An explicit prefix may hold an older build: its stamps do not count.
if [ "$(cat "$stamps/KEY" 2>/dev/null)" != "$key" ]; then
    [ -z "$(ls "$stamps")" ] || echo "windows-deps: $prefix was built with other versions; rebuilding"
    rm -f "$stamps"/*
    echo "$key" >"$stamps/KEY"
fi

launcher=()
if command -v ccache >/dev/null; then launcher=(ccache); fi

cmake_args=(-G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$toolchain"
    "-DORVOCHART_WINDOWS_PREFIX=$prefix" "-DCMAKE_INSTALL_PREFIX=$prefix" -DBUILD_SHARED_LIBS=OFF)
if [ ${#launcher[@]} -gt 0 ]; then
    cmake_args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# The autotools and meson builds see the same pkg-config view as the toolchain gives CMake.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH='' PKG_CONFIG_SYSROOT_DIR=''

# --- fetching ---------------------------------------------------------------

# Sets src_dir, src_version, src_origin and src_note. Debian's patched source
# of the newest version is preferred; the mirror has answered 404 for some
# security uploads' files, so older versions come next (same upstream
# tarball, fewer fixes), and the bare upstream tarball last.
fetch_source() {
    local lib=$1 pkg=${source_package[$1]} dir=$work/src/$1 log=$work/logs/$1.fetch.log v tarball
    rm -rf "$dir"
    mkdir -p "$dir"
    : >"$log"
    src_note=
    while read -r v; do
        # A failed unpack of one version would block the next one's.
        find "$dir" -mindepth 1 -maxdepth 1 -type d -exec rm -rf {} +
        if (cd "$dir" && apt-get source -q --only-source "$pkg=$v") >>"$log" 2>&1; then
            src_dir=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n1)
            src_version=$v
            src_origin="Debian patches"
            [ "$v" = "${candidate[$lib]}" ] || src_note="(${candidate[$lib]} not fetchable)"
            return
        fi
    done <<<"${versions[$lib]}"
    tarball=$(find "$dir" -maxdepth 1 -name "${pkg}_*.orig.tar.*" ! -name '*.asc' | head -n1)
    if [ -z "$tarball" ]; then
        (cd "$dir" && apt-get source -q --download-only --only-source "$pkg=${candidate[$lib]}") >>"$log" 2>&1 || true
        tarball=$(find "$dir" -maxdepth 1 -name "${pkg}_*.orig.tar.*" ! -name '*.asc' | head -n1)
    fi
    [ -n "$tarball" ] || die "$lib: could not fetch any source of $pkg (see $log)"
    # apt checked the tarball against the Sources index before keeping it.
    mkdir -p "$dir/orig"
    tar -xf "$tarball" -C "$dir/orig"
    src_dir=$(find "$dir/orig" -mindepth 1 -maxdepth 1 -type d | head -n1)
    src_version=${candidate[$lib]}
    src_origin="original tarball"
    src_note="(Debian's patches for $src_version not fetchable)"
}

# --- per-library builds (run in a subshell with cwd = a fresh build folder) ---

build_zlib() {
    # Debian's tarball drops win32/, so neither win32/Makefile.gcc nor the
    # CMake DLL target (it needs win32/zlib1.rc) can be built; the static
    # target can, and is installed as libz.a so that -lz finds it.
    cmake -S "$src_dir" -B . "${cmake_args[@]}"
    cmake --build . -j"$jobs" --target zlibstatic
    install -D -m644 "$src_dir/zlib.h" "$prefix/include/zlib.h"
    install -D -m644 zconf.h "$prefix/include/zconf.h"
    install -D -m644 libzlibstatic.a "$prefix/lib/libz.a"
    install -D -m644 zlib.pc "$prefix/lib/pkgconfig/zlib.pc"
}

build_libjpeg_turbo() {
    local simd=(-DWITH_SIMD=ON -DREQUIRE_SIMD=ON "-DCMAKE_ASM_NASM_COMPILER=$(command -v nasm || true)")
    command -v nasm >/dev/null || {
        echo "nasm not found: building without SIMD"
        simd=(-DWITH_SIMD=OFF)
    }
    cmake -S "$src_dir" -B . "${cmake_args[@]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=ON -DWITH_JAVA=OFF "${simd[@]}"
    # The libraries and only the programs that install() copies: no test programs.
    cmake --build . -j"$jobs" --target jpeg-static turbojpeg-static tjbench-static cjpeg-static \
        djpeg-static jpegtran-static rdjpgcom wrjpgcom
    cmake --install .
    rm -rf "$prefix/share/doc" "$prefix/share/man"
}

build_libpng() {
    cmake -S "$src_dir" -B . "${cmake_args[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -Dld-version-script=OFF
    cmake --build . -j"$jobs"
    cmake --install .
    rm -rf "$prefix/share/man"
}

build_libtiff() {
    cmake -S "$src_dir" -B . "${cmake_args[@]}" -Dtiff-tools=OFF -Dtiff-tests=OFF \
        -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dtiff-opengl=OFF -Dcxx=OFF -Dzlib=ON -Djpeg=ON \
        -Djpeg12=OFF -Dlibdeflate=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF \
        -Dsphinx=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Deflate=ON -DCMAKE_DISABLE_FIND_PACKAGE_JBIG=ON \
        -DCMAKE_DISABLE_FIND_PACKAGE_LERC=ON -DCMAKE_DISABLE_FIND_PACKAGE_LibLZMA=ON \
        -DCMAKE_DISABLE_FIND_PACKAGE_ZSTD=ON -DCMAKE_DISABLE_FIND_PACKAGE_WebP=ON
    cmake --build . -j"$jobs"
    cmake --install .
    rm -rf "$prefix/share/doc" "$prefix/share/man"
    # libtiff quietly drops a requested codec whose library it cannot find.
    grep -q '^#define JPEG_SUPPORT 1' "$prefix/include/tiffconf.h" || die "libtiff: built without JPEG"
    grep -q '^#define ZIP_SUPPORT 1' "$prefix/include/tiffconf.h" || die "libtiff: built without zlib"
}

build_qpdf() {
    # MinGW's import libraries are lower-case; on a case-sensitive file system
    # -lAdvapi32 fails every configure check and the build breaks later on.
    sed -i 's/CMAKE_REQUIRED_LIBRARIES Advapi32)/CMAKE_REQUIRED_LIBRARIES advapi32)/' "$src_dir/CMakeLists.txt"
    cmake -S "$src_dir" -B . "${cmake_args[@]}" -DBUILD_STATIC_LIBS=ON -DBUILD_DOC=OFF \
        -DUSE_IMPLICIT_CRYPTO=OFF -DREQUIRE_CRYPTO_NATIVE=ON -DDEFAULT_CRYPTO=native \
        -DINSTALL_EXAMPLES=OFF -DINSTALL_MANUAL=OFF
    # The library alone: the command-line tools, examples, fuzzers and test
    # programs are not needed.
    cmake --build . -j"$jobs" --target libqpdf
    cmake --install . --component dev
    # Its secure random source calls CryptoAPI.
    grep -q '^Libs.private:' "$prefix/lib/pkgconfig/libqpdf.pc" ||
        sed -i '/^Libs:/a Libs.private: -ladvapi32' "$prefix/lib/pkgconfig/libqpdf.pc"
}

write_meson_cross_file() {
    local c="'$cc'" cpp="'$cxx'"
    if [ ${#launcher[@]} -gt 0 ]; then
        c="['ccache', '$cc']"
        cpp="['ccache', '$cxx']"
    fi
    local wine
    wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
    cat >"$1" <<EOF
[binaries]
c = $c
cpp = $cpp
ar = '$triple-ar'
strip = '$triple-strip'
windres = '$triple-windres'
pkgconfig = 'pkg-config'
exe_wrapper = '$wine'

[properties]
pkg_config_libdir = '$prefix/lib/pkgconfig'

[built-in options]
c_link_args = ['-static', '-static-libgcc']
cpp_link_args = ['-static', '-static-libgcc', '-static-libstdc++']

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
}

build_pixman() {
    # pixman marks its API dllexport even in a static build, which would make
    # every DLL linking it re-export pixman; the attribute is for DLLs only.
    sed -i "s/^if cc.has_function_attribute('dllexport')$/& and get_option('default_library') != 'static'/" \
        "$src_dir/pixman/meson.build"
    grep -q "default_library') != 'static'" "$src_dir/pixman/meson.build" ||
        die "pixman: the dllexport switch in pixman/meson.build has moved"
    write_meson_cross_file cross.ini
    meson setup . "$src_dir" --cross-file cross.ini --prefix "$prefix" --libdir lib \
        --buildtype release -Ddefault_library=static -Dtests=disabled \
        -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled -Dtimers=false -Dgnuplot=false
    ninja -j"$jobs"
    meson install --no-rebuild
}

build_cairo() {
    # Bookworm's cairo (1.16) predates cairo's meson build, so autotools it
    # is. Debian's patches touch only configure.ac and Makefile.am among the
    # build files (multiarch and Hurd details); the shipped configure is used,
    # and dating the generated files after their inputs keeps make from
    # wanting automake.
    (cd "$src_dir" &&
        find . -type f -exec touch -h -d @1000000000 {} + &&
        touch -d @1000000100 aclocal.m4 &&
        touch -d @1000000200 configure config.h.in &&
        find . -name Makefile.in -exec touch -d @1000000300 {} +)
    # The toy font API (cairo_select_font_face/cairo_show_text) needs a font
    # backend: on Windows that is the GDI one, which comes with the win32
    # surface. No fontconfig, FreeType, X or GLib.
    # CAIRO_WIN32_STATIC_BUILD keeps cairo's DllMain out of the static
    # library, so it never becomes the DllMain of a module that links it.
    "$src_dir/configure" --build="$(gcc -dumpmachine)" --host=$triple --prefix="$prefix" \
        --enable-static --disable-shared --enable-win32 --enable-win32-font --enable-png \
        --disable-xlib --disable-xlib-xrender --disable-xcb --disable-ft --disable-fc \
        --disable-ps --disable-pdf --disable-svg --disable-script --disable-interpreter \
        --disable-trace --disable-gobject --disable-full-testing --disable-gtk-doc \
        --disable-valgrind --disable-symbol-lookup --disable-egl --disable-glx --disable-wgl \
        --disable-gl --disable-glesv2 --disable-glesv3 --disable-quartz --disable-pthread \
        CC="${launcher[*]} $cc" CFLAGS="-O2 -DCAIRO_WIN32_STATIC_BUILD" PKG_CONFIG=pkg-config
    make -C src -j"$jobs"
    make -C src install
    rm -f "$prefix/lib/libcairo.la"
    # The generated cairo.pc leaves out what a static link needs: the GDI
    # libraries of the win32 surface and font backend, and libssp for the
    # _FORTIFY_SOURCE checks cairo's configure turns on. Consumers compiled
    # with MSVC would also declare the API dllimport without the define.
    local private="-lgdi32 -lmsimg32"
    if "$triple-nm" -u "$prefix/lib/libcairo.a" | grep '__[a-z]*_chk$' >/dev/null; then
        private="$private -lssp"
    fi
    sed -i -e "s/^Libs.private:.*/Libs.private: $private/" \
        -e 's/^Cflags: \(.*\)$/Cflags: \1 -DCAIRO_WIN32_STATIC_BUILD/' "$prefix/lib/pkgconfig/cairo.pc"
    [ -e "$prefix/include/cairo/cairo-version.h" ] ||
        install -m644 "$src_dir/cairo-version.h" "$prefix/include/cairo/"
}

# --- the run ------------------------------------------------------------------

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", b - a }'; }

run_start=$(now)
echo "windows-deps: prefix $prefix (load average $(cut -d' ' -f1-3 /proc/loadavg))"
for lib in "${libs[@]}"; do
    stamp=$stamps/$lib
    if [ -e "$stamp" ]; then
        IFS='|' read -r s_version s_origin s_seconds s_note <"$stamp"
        printf '  %-14s %-26s %-17s built before in %ss, skipped %s\n' "$lib" "$s_version" \
            "$s_origin" "$s_seconds" "$s_note"
        continue
    fi
    lib_start=$(now)
    fetch_source "$lib"
    build=$work/build/$lib
    rm -rf "$build"
    mkdir -p "$build"
    log=$work/logs/$lib.build.log
    # Not under "if": errexit has to stay in force inside the build function.
    set +e
    (
        set -e
        cd "$build"
        "build_${lib//-/_}"
    ) >"$log" 2>&1
    rc=$?
    set -e
    if [ "$rc" != 0 ]; then
        tail -n 30 "$log" >&2
        die "$lib failed; full log in $log"
    fi
    seconds=$(elapsed "$lib_start" "$(now)")
    printf '%s|%s|%s|%s\n' "$src_version" "$src_origin" "$seconds" "$src_note" >"$stamp"
    printf '  %-14s %-26s %-17s %5ss %s\n' "$lib" "$src_version" "$src_origin" "$seconds" "$src_note"
    rm -rf "$build" "$work/src/$lib"
done

# --- check: one Windows DLL links everything and runs under wine ------------

check_stamp=$stamps/check
if [ -e "$check_stamp" ]; then
    echo "  check          passed before, skipped"
else
    check_start=$(now)
    check=$work/check
    rm -rf "$check"
    mkdir -p "$check"
    cat >"$check/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.20)
project(windows_deps_check C CXX)
find_package(PkgConfig REQUIRED)
pkg_check_modules(DEPS REQUIRED IMPORTED_TARGET
    libtiff-4 libqpdf cairo libturbojpeg libjpeg libpng zlib)
add_library(deps_check MODULE check.cpp)
target_compile_definitions(deps_check PRIVATE CHECK_MODULE)
target_link_libraries(deps_check PRIVATE PkgConfig::DEPS)
set_target_properties(deps_check PROPERTIES PREFIX "")
add_executable(deps_check_run check.cpp)
EOF
    cat >"$check/check.cpp" <<'EOF'
// Loaded the way the library loads its modules; every dependency is used
// from inside the DLL and read back independently where it can be.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef CHECK_MODULE
#include <cairo.h>
#include <jpeglib.h>
#include <png.h>
#include <qpdf/qpdf-c.h>
#include <tiffio.h>
#include <turbojpeg.h>
#include <zlib.h>

static int failures = 0;
static void expect(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    failures += ok ? 0 : 1;
}

static void checkZlib() {
    const char text[] = "orvochart orvochart orvochart orvochart";
    uLongf packedSize = compressBound(sizeof text);
    std::vector<Bytef> packed(packedSize);
    char back[sizeof text] = {};
    uLongf backSize = sizeof back;
    bool ok = compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text), sizeof text) == Z_OK &&
              uncompress(reinterpret_cast<Bytef*>(back), &backSize, packed.data(), packedSize) == Z_OK;
    expect(ok && backSize == sizeof text && std::memcmp(back, text, sizeof text) == 0 &&
               std::strcmp(zlibVersion(), ZLIB_VERSION) == 0,
           "zlib round trip");
}

static void checkTiff(uint16_t compression, const char* name) {
    const int w = 16, h = 16;
    TIFF* out = TIFFOpen(name, "w");
    bool ok = out != nullptr;
    if (out) {
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(out, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, h);
        ok = TIFFSetField(out, TIFFTAG_COMPRESSION, compression) == 1;
        unsigned char row[w * 3];
        for (int y = 0; y < h && ok; ++y) {
            std::memset(row, 40 + 8 * y, sizeof row);
            ok = TIFFWriteScanline(out, row, y, 0) == 1;
        }
        TIFFClose(out);
    }
    TIFF* in = ok ? TIFFOpen(name, "r") : nullptr;
    if (in) {
        uint32_t rw = 0, rh = 0;
        uint16_t rc = 0;
        TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &rw);
        TIFFGetField(in, TIFFTAG_IMAGELENGTH, &rh);
        TIFFGetField(in, TIFFTAG_COMPRESSION, &rc);
        std::vector<unsigned char> row(TIFFScanlineSize(in));
        int worst = 0;
        for (int y = 0; y < h && ok; ++y) {
            ok = TIFFReadScanline(in, row.data(), y, 0) == 1;
            for (unsigned char v : row) worst = std::max(worst, std::abs(v - (40 + 8 * y)));
        }
        // JPEG is lossy, so a flat row may come back a few levels off.
        ok = ok && rw == w && rh == h && rc == compression && worst <= (compression == COMPRESSION_JPEG ? 4 : 0);
        TIFFClose(in);
    } else {
        ok = false;
    }
    expect(ok, compression == COMPRESSION_JPEG ? "libtiff JPEG write and read back" : "libtiff Deflate write and read back");
}

static void checkCairo() {
    const int w = 64, h = 32;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 24);
    cairo_move_to(cr, 2, 26);
    cairo_show_text(cr, "Ag");
    bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    // Without a native backend cairo falls back to its built-in stroke font.
    const bool gdi = cairo_scaled_font_get_type(cairo_get_scaled_font(cr)) == CAIRO_FONT_TYPE_WIN32;
    cairo_destroy(cr);
    cairo_surface_flush(s);
    int dark = 0;
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dark += data[y * cairo_image_surface_get_stride(s) + 4 * x + 1] < 128 ? 1 : 0;
    std::printf("     cairo text covered %d of %d pixels\n", dark, w * h);
    expect(drawn && gdi && dark > 20 && dark < w * h / 2, "cairo draws text through its Windows font backend");
    bool written = cairo_surface_write_to_png(s, "check.png") == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    cairo_surface_t* back = cairo_image_surface_create_from_png("check.png");
    expect(written && cairo_surface_status(back) == CAIRO_STATUS_SUCCESS &&
               cairo_image_surface_get_width(back) == w && cairo_image_surface_get_height(back) == h,
           "cairo PNG write and read back");
    cairo_surface_destroy(back);
    expect(png_access_version_number() == PNG_LIBPNG_VER, "libpng header matches library");
}

static void checkJpeg() {
    const int w = 16, h = 8;
    std::vector<unsigned char> rgb(w * h * 3, 200);
    tjhandle enc = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    bool ok = enc && tjCompress2(enc, rgb.data(), w, 0, h, TJPF_RGB, &jpeg, &size, TJSAMP_444, 90, 0) == 0;
    tjDestroy(enc);
    tjhandle dec = tjInitDecompress();
    int rw = 0, rh = 0, sub = 0, space = 0;
    std::vector<unsigned char> back(w * h * 3);
    ok = ok && tjDecompressHeader3(dec, jpeg, size, &rw, &rh, &sub, &space) == 0 && rw == w && rh == h &&
         tjDecompress2(dec, jpeg, size, back.data(), w, 0, h, TJPF_RGB, 0) == 0 &&
         std::abs(back[0] - 200) <= 2;
    tjDestroy(dec);
    tjFree(jpeg);
    expect(ok, "TurboJPEG compress and decompress");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    expect(cinfo.global_state != 0, "libjpeg API usable");
    jpeg_destroy_compress(&cinfo);
}

static void checkQpdf() {
    qpdf_data q = qpdf_init();
    qpdf_empty_pdf(q);
    qpdf_init_write_memory(q);
    qpdf_set_compress_streams(q, QPDF_TRUE);
    bool ok = (qpdf_write(q) & QPDF_ERRORS) == 0;
    size_t size = qpdf_get_buffer_length(q);
    std::vector<char> pdf(qpdf_get_buffer(q), qpdf_get_buffer(q) + size);
    qpdf_cleanup(&q);
    expect(ok && size > 8 && std::memcmp(pdf.data(), "%PDF-", 5) == 0, "qpdf writes an empty PDF");
    q = qpdf_init();
    ok = (qpdf_read_memory(q, "check", pdf.data(), pdf.size(), nullptr) & QPDF_ERRORS) == 0;
    expect(ok && qpdf_get_num_pages(q) == 0 && std::strcmp(qpdf_get_pdf_version(q), "1.3") >= 0,
           "qpdf reads it back");
    qpdf_cleanup(&q);
}

extern "C" __declspec(dllexport) int orvo_deps_check() {
    checkZlib();
    checkTiff(COMPRESSION_ADOBE_DEFLATE, "check-deflate.tif");
    checkTiff(COMPRESSION_JPEG, "check-jpeg.tif");
    checkCairo();
    checkJpeg();
    checkQpdf();
    return failures;
}
#else
int main() {
    HMODULE module = LoadLibraryA("deps_check.dll");
    auto run = module ? reinterpret_cast<int (*)()>(GetProcAddress(module, "orvo_deps_check")) : nullptr;
    if (!run) {
        std::printf("FAIL cannot load deps_check.dll\n");
        return 2;
    }
    const int failures = run();
    FreeLibrary(module);
    return failures == 0 ? 0 : 1;
}
#endif
EOF
    log=$work/logs/check.log
    wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
    if ! {
        cmake -S "$check" -B "$check/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            "-DCMAKE_TOOLCHAIN_FILE=$toolchain" "-DORVOCHART_WINDOWS_PREFIX=$prefix" &&
            cmake --build "$check/build" -j"$jobs"
    } >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        die "check failed to build; full log in $log"
    fi
    dll=$check/build/deps_check.dll
    # No MinGW runtime or library DLL may be needed beside the module, and
    # the static libraries must not add to its exports.
    imports=$("$triple-objdump" -p "$dll" | awk '/DLL Name:/ { print $3 }' | sort -u | tr '\n' ' ')
    exports=$("$triple-objdump" -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/ { t = 1; next } t && NF == 0 { t = 0 } t { print $NF }' | tr '\n' ' ')
    echo "     module imports: $imports"
    if grep -Eiq '(^| )(lib[^ ]*|zlib1|qpdf[0-9]*)\.dll' <<<"$imports"; then
        die "check: deps_check.dll needs non-system DLLs: $imports"
    fi
    [ "$exports" = "orvo_deps_check " ] || die "check: deps_check.dll exports more than its own entry: $exports"
    [ -x "$wine" ] || die "check: wine64 not found, cannot run the check"
    run_log=$work/logs/check.run.log
    if ! (cd "$check/build" && WINEDEBUG=-all timeout 600 "$wine" deps_check_run.exe) 2>"$run_log.err" |
        tee "$run_log"; then
        die "check failed under wine; see $run_log and $run_log.err"
    fi
    elapsed "$check_start" "$(now)" >"$check_stamp"
    printf '  %-14s %-26s %-17s %5ss\n' check "" "passed" "$(cat "$check_stamp")"
fi

echo "windows-deps: done in $(elapsed "$run_start" "$(now)")s (load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo "ORVOCHART_WINDOWS_PREFIX=$prefix"
