# shellcheck shell=bash
# Shared by the make-*.sh scripts that convert Debian's SWORD packages: checks
# that the packages are installed and builds tools/sword2module. Sourced, not run.

# require_packages NAME PACKAGE...: stops with the apt-get line to run when any
# PACKAGE is not installed; NAME is the calling script's, for the message.
require_packages() {
  local name="$1"
  shift
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  if ((${#missing[@]})); then
    echo "$name: missing packages: ${missing[*]}" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
}

# build_sword2module: builds the converter in a temporary BUILD_DIR (removed on
# exit), runs its unit checks and those of tools/check_bible_module.py, and sets
# TOOL to the built program.
build_sword2module() {
  BUILD_DIR="$(mktemp -d "${TMPDIR:-/tmp}/sword2module-build.XXXXXX")"
  trap 'rm -rf "$BUILD_DIR"' EXIT

  echo "== Building sword2module in $BUILD_DIR"
  cmake -S "$ROOT/tools/sword2module" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD_DIR" --parallel "$(nproc)" >/dev/null
  (cd "$BUILD_DIR" && ctest --output-on-failure)
  python3 "$ROOT/tools/check_bible_module.py" --self-test

  # shellcheck disable=SC2034 # used by the sourcing script
  TOOL="$BUILD_DIR/sword2module"
}
