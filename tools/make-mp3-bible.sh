#!/usr/bin/env bash
# Regenerates the small audio Bible shipped in data/Modules/MP3/english/: the
# books of Obadiah and Jonah read from the shipped King James Version by
# espeak-ng and encoded by lame as low-rate mono MP3. Checks that every file is
# an MP3 stream and that the folder stays under 2 MB.
#
# Needs: apt-get install espeak-ng lame python3
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/data/Modules/MP3/english"
for tool in espeak-ng lame python3; do
  command -v "$tool" >/dev/null || { echo "make-mp3-bible: $tool is missing" >&2; exit 1; }
done
WORK="$(mktemp -d "${TMPDIR:-/tmp}/mp3bible.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

# book NUMBER NAME: the book's text, chapter by chapter, as plain sentences.
book_text() {
  python3 - "$ROOT/data/Modules/Bible/b_kjv.txt" "$1" "$2" <<'PY'
import re, sys
path, number, name = sys.argv[1], int(sys.argv[2]), sys.argv[3]
chapter = None
with open(path, encoding="cp1252") as f:
    for line in f:
        parts = line.rstrip("\r\n").split("\t", 4)
        if len(parts) < 5 or int(parts[1]) != number:
            continue
        if parts[2] != chapter:
            chapter = parts[2]
            print("\n%s, chapter %s.\n" % (name, chapter))
        # The translators' added words are read like the rest.
        print(re.sub(r"[\[\]]", "", parts[4]))
PY
}

make_book() {
  local number=$1 name=$2
  book_text "$number" "$name" > "$WORK/$name.txt"
  espeak-ng -v en-gb -s 165 -f "$WORK/$name.txt" -w "$WORK/$name.wav"
  lame --quiet -m m --resample 16 -b 16 --tt "$name" --ta "King James Version" "$WORK/$name.wav" "$OUT/$name.mp3"
}

make_book 31 Obadiah
make_book 32 Jonah

total=0
for file in "$OUT"/*.mp3; do
  head -c 3 "$file" | grep -q "ID3" || { echo "make-mp3-bible: $file is not an MP3 file" >&2; exit 1; }
  size=$(stat -c %s "$file")
  total=$((total + size))
  echo "$(basename "$file"): $size bytes"
done
[ "$total" -lt 2097152 ] || { echo "make-mp3-bible: $total bytes is over 2 MB" >&2; exit 1; }
echo "total: $total bytes"
