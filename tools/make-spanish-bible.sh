#!/usr/bin/env bash
# Regenerates the Spanish Bible shipped in data/Modules/Bible/:
#   b_rv1909.txt  Reina-Valera 1909, Windows code page 1252
# from Debian's public-domain SWORD package sword-text-sparv. The module
# carries Strong's numbers as text ("<G3588>"); the converter removes them and
# the check below fails if any is left.
#
# Needs: apt-get install cmake g++ pkg-config python3 libsword-dev sword-text-sparv
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/data/Modules/Bible/b_rv1909.txt"

missing=()
for pkg in libsword-dev sword-text-sparv; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
  echo "make-spanish-bible: missing packages: ${missing[*]}" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi

BUILD_DIR="$(mktemp -d "${TMPDIR:-/tmp}/sword2module-build.XXXXXX")"
trap 'rm -rf "$BUILD_DIR"' EXIT

echo "== Building sword2module in $BUILD_DIR"
cmake -S "$ROOT/tools/sword2module" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" >/dev/null
(cd "$BUILD_DIR" && ctest --output-on-failure)

echo "== Reina-Valera 1909"
"$BUILD_DIR/sword2module" --cp1252 --strip-strongs RV1909 "$OUT"
python3 "$ROOT/tools/check_bible_module.py" "$OUT" --encoding cp1252 \
  --lines 31084 --chapters 1189 --books 66 \
  --expect-start 1:1:1 "EN el principio crió Dios los cielos y la tierra." \
  --expect-start 43:3:16 "Porque de tal manera amó Dios al mundo" \
  --expect-start 66:22:21 "La gracia de nuestro Señor Jesucristo sea con todos vosotros. Amén." \
  --verses-in 19 119 176

echo "== Done: $OUT"
