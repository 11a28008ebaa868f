#!/usr/bin/env bash
# Configures and builds Verbanox into build/ (or the folder given as $BUILD_DIR).
# Extra arguments go to CMake, e.g. -DVX_SANITIZE=ON. CMAKE_BUILD_PARALLEL_LEVEL limits
# the jobs (default: one per core); CMAKE_CXX_COMPILER_LAUNCHER=ccache is honoured by CMake.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

# Builds share what they compiled through ccache when it is installed, also
# between clones in other folders (paths are taken relative to the clone).
if command -v ccache >/dev/null 2>&1 && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
fi

cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_WERROR=ON "$@"
cmake --build "$BUILD_DIR" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
