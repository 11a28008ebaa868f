#!/usr/bin/env bash
# Installs what Verbanox needs, builds it and runs all tests headless.
# With --sanitize the build and the tests use AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-asan/. CMAKE_BUILD_PARALLEL_LEVEL and
# CTEST_PARALLEL_LEVEL limit the jobs of the build and of the tests (default: one per core).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CMAKE_ARGS=()
BUILD_DIR="$ROOT/build"
SKIP_INSTALL=0
for arg in "$@"; do
    case "$arg" in
        --sanitize) CMAKE_ARGS+=(-DVX_SANITIZE=ON); BUILD_DIR="$ROOT/build-asan" ;;
        --no-install) SKIP_INSTALL=1 ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

if [ "$SKIP_INSTALL" -eq 0 ]; then
    "$ROOT/scripts/install-deps.sh" --tests
fi
BUILD_DIR="$BUILD_DIR" "$ROOT/scripts/build.sh" "${CMAKE_ARGS[@]}"

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "${CTEST_PARALLEL_LEVEL:-$(nproc)}"
