#!/usr/bin/env bash
# Regenerates the two sample Bible modules shipped in data/Modules/Bible/
# from Debian's public-domain SWORD packages:
#   b_kjv.txt       King James Version, Windows code page 1252
#   b_web_utf8.txt  World English Bible, UTF-8
# Builds tools/sword2module in a temporary folder, converts, then checks both
# files with tools/check_bible_module.py.
#
# Needs: apt-get install cmake g++ pkg-config python3 libsword-dev sword-text-kjv sword-text-web
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT_DIR="$ROOT/data/Modules/Bible"

# shellcheck source=tools/sword2module-build.sh
source "$ROOT/tools/sword2module-build.sh"
require_packages make-sample-bibles libsword-dev sword-text-kjv sword-text-web
build_sword2module

CHECK=(python3 "$ROOT/tools/check_bible_module.py")
mkdir -p "$OUT_DIR"

echo "== King James Version"
"$TOOL" --cp1252 KJV "$OUT_DIR/b_kjv.txt"
"${CHECK[@]}" "$OUT_DIR/b_kjv.txt" --encoding cp1252 --language en \
  --lines 31102 --chapters 1189 --books 66 \
  --expect-start 1:1:1 "In the beginning God created the heaven and the earth." \
  --expect-start 66:22:21 "The grace of our Lord Jesus Christ be with you all. Amen." \
  --verses-in 19 119 176 --verses-in 64 1 14,15

echo "== World English Bible"
"$TOOL" --utf8 WEB "$OUT_DIR/b_web_utf8.txt"
"${CHECK[@]}" "$OUT_DIR/b_web_utf8.txt" --encoding utf-8 --language en \
  --chapters 1189 --books 66 \
  --empty "Luke 17:36" --empty "Acts 8:37" --empty "Acts 15:34" --empty "Acts 24:7" \
  --expect-start 1:1:1 "In the beginning, God created the heavens and the earth." \
  --expect-start 66:22:21 "The grace of the Lord Jesus Christ be with all the saints. Amen." \
  --verses-in 19 119 176 --verses-in 64 1 14,15

echo "== Done: $OUT_DIR/b_kjv.txt, $OUT_DIR/b_web_utf8.txt"
