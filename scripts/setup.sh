#!/usr/bin/env bash
# Installs every missing system package (Debian 12), idempotently.
# Sourced by build.sh and test.sh; safe to run on its own.
set -euo pipefail

ORVOCHART_PACKAGES=(
    build-essential cmake ninja-build pkg-config git python3
    clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    libtiff-dev libtiff-tools libqpdf-dev qpdf libcairo2-dev libpng-dev libturbojpeg0-dev libjpeg62-turbo-dev
    liblcms2-dev ghostscript locales python3-pytest
    argyll time
    # The Windows build: MinGW-w64, wine to run it, clang/lld/llvm for the
    # MSVC-ABI host and export names, and what the third-party libraries'
    # own builds need.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine64 lld llvm-14
    dpkg-dev meson nasm make googletest
)

missing_packages() {
    local p
    for p in "${ORVOCHART_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            echo "$p"
        fi
    done
}

install_missing() {
    local missing
    missing=$(missing_packages)
    if [ -z "$missing" ]; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: $(echo $missing | tr '\n' ' ')"
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}

# A comma-decimal locale lets the tests prove that the host's locale never
# changes how reference files are read.
ensure_test_locale() {
    if locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
        return 0
    fi
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || true
    elif command -v sudo >/dev/null; then
        sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || true
    fi
}

install_missing
ensure_test_locale
