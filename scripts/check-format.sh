#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted as .clang-format says.
# With --fix it formats them instead.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
mapfile -t FILES < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 'tools/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${FILES[@]}"
else
    clang-format --dry-run -Werror "${FILES[@]}"
fi
