#!/usr/bin/env bash
# Regenerates the reference works shipped in data/Modules/ from Debian's
# public-domain SWORD packages:
#   Commentary/c_scofield_utf8.txt         Scofield Reference Notes (1917), UTF-8
#   Dictionary/d_strongs_hebrew_utf8.txt   Strong's Hebrew dictionary, UTF-8
#   Dictionary/d_strongs_greek_utf8.txt    Strong's Greek dictionary, UTF-8
# Builds tools/sword2module in a temporary folder, runs its unit checks,
# converts, then checks every line of each file (tools/check_bible_module.py
# for the commentary, tools/check_dictionary_module.py for the dictionaries).
#
# Needs: apt-get install cmake g++ pkg-config python3 libsword-dev \
#          sword-comm-scofield sword-dict-strongs-hebrew sword-dict-strongs-greek
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
COMMENTARY_DIR="$ROOT/data/Modules/Commentary"
DICTIONARY_DIR="$ROOT/data/Modules/Dictionary"

# shellcheck source=tools/sword2module-build.sh
source "$ROOT/tools/sword2module-build.sh"
require_packages make-reference-works libsword-dev sword-comm-scofield sword-dict-strongs-hebrew sword-dict-strongs-greek
build_sword2module

mkdir -p "$COMMENTARY_DIR" "$DICTIONARY_DIR"

echo "== Scofield Reference Notes"
"$TOOL" --commentary --utf8 Scofield "$COMMENTARY_DIR/c_scofield_utf8.txt"
python3 "$ROOT/tools/check_bible_module.py" "$COMMENTARY_DIR/c_scofield_utf8.txt" --encoding utf-8 \
  --allow-empty --books 65 \
  --expect-start 1:1:1 "[Genesis 1:1] Book Introduction - Genesis" \
  --expect-start 1:1:2 "[Genesis 1:2] without form and void" \
  --expect-start 43:3:16 "[John 3:16] perish" >/dev/null

echo "== Strong's Hebrew dictionary"
"$TOOL" --dictionary H StrongsHebrew StrongsHebrew "$DICTIONARY_DIR/d_strongs_hebrew_utf8.txt"
python3 "$ROOT/tools/check_dictionary_module.py" "$DICTIONARY_DIR/d_strongs_hebrew_utf8.txt" --encoding utf-8 \
  --entries 8674 --expect 1 "H1 'âb" --expect 8674 "H8674 tattenay"

echo "== Strong's Greek dictionary"
"$TOOL" --dictionary G StrongsGreek StrongsGreek "$DICTIONARY_DIR/d_strongs_greek_utf8.txt"
python3 "$ROOT/tools/check_dictionary_module.py" "$DICTIONARY_DIR/d_strongs_greek_utf8.txt" --encoding utf-8 \
  --entries 5624 --expect 25 "G25 agapáō" --expect 26 "G26 agápē"

echo "== Done"
