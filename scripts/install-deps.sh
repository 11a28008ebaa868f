#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running Verbanox need; with
# --tests also what only the tests use (a word processor that opens our RTF), and
# with --fuzz the compiler and sanitizer runtime of the fuzz targets.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-dejavu-core fontconfig xdg-utils
    clang-format
    poppler-utils
    libmspack-dev fp-utils python3
)
for arg in "$@"; do
    case "$arg" in
        --tests) PACKAGES+=(libreoffice-writer-nogui) ;;
        --fuzz) PACKAGES+=(clang-14 libclang-rt-14-dev) ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${PACKAGES[@]}"
