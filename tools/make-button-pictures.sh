#!/usr/bin/env bash
# Draws the pictures of the search workspace's CHM and MP3 buttons, shipped in
# the program folder (data/):
#   c.gif   CHM Bibles installed: a Bible
#   cX.gif  none installed: the Bible greyed and crossed out
#   v.bmp   MP3 Bibles installed: a loudspeaker
#   vX.bmp  none installed: the loudspeaker greyed and crossed out
# 24 by 24 pixels, drawn without smoothing so that no edge is half transparent.
# The GIFs are transparent around the drawing; a BMP has no transparency, so
# magenta (255, 0, 255) stands for it and the program masks it out.
# Then checks each file: it decodes, has the expected type and size, and its
# centre is not the background.
#
#   make-button-pictures.sh           redraw the pictures in data/, then check them
#   make-button-pictures.sh --check   check that the shipped pictures are what this draws
#
# Needs: apt-get install imagemagick
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/data"
CONVERT=/usr/bin/convert
IDENTIFY=/usr/bin/identify
for tool in "$CONVERT" "$IDENTIFY"; do
  command -v "$tool" >/dev/null || { echo "make-button-pictures: $tool is missing" >&2; exit 1; }
done
CHECK=0
if [[ "${1:-}" == "--check" ]]; then CHECK=1; elif [[ $# -gt 0 ]]; then
  echo "usage: $0 [--check]" >&2
  exit 2
fi
WORK="$(mktemp -d "${TMPDIR:-/tmp}/buttons.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

CROSS=(-stroke '#d01010' -strokewidth 2 -fill none -draw 'line 3,3 20,20' -draw 'line 20,3 3,20')

# book COVER SPINE CROSS: the drawing commands of a closed Bible.
book() {
  local cover=$1 spine=$2 cross=$3
  printf '%s\n' -stroke "$spine" -strokewidth 1 -fill "$cover" -draw 'rectangle 5,2 19,20' \
    -fill "$spine" -draw 'rectangle 3,3 6,21' \
    -stroke none -fill white -draw 'rectangle 7,19 18,20' \
    -fill "$cross" -draw 'rectangle 11,6 13,16' -draw 'rectangle 8,9 16,11'
}

# speaker BODY WAVES: the drawing commands of a loudspeaker with sound waves.
speaker() {
  local body=$1 waves=$2
  printf '%s\n' -stroke none -fill "$body" -draw 'polygon 2,9 7,9 13,3 13,20 7,14 2,14' \
    -stroke "$waves" -strokewidth 2 -fill none -draw 'arc 11,7 18,16 -55,55' -draw 'arc 11,3 22,20 -55,55'
}

# draw NAME BACKGROUND COMMANDS...: the picture in $WORK; a BMP without alpha.
draw() {
  local name=$1 background=$2
  shift 2
  local target=("$WORK/$name")
  [[ $name == *.bmp ]] && target=(-type TrueColor "BMP3:$WORK/$name")
  "$CONVERT" -size 24x24 "xc:$background" +antialias "$@" "${target[@]}"
}

mapfile -t BIBLE < <(book '#7a1f1f' '#3d0f0f' '#e8c040')
mapfile -t GREY_BIBLE < <(book '#a8a8a8' '#707070' '#d8d8d8')
mapfile -t SPEAKER < <(speaker '#303030' '#2060c0')
mapfile -t GREY_SPEAKER < <(speaker '#909090' '#b8b8b8')

draw c.gif none "${BIBLE[@]}"
draw cX.gif none "${GREY_BIBLE[@]}" "${CROSS[@]}"
draw v.bmp magenta "${SPEAKER[@]}"
draw vX.bmp magenta "${GREY_SPEAKER[@]}" "${CROSS[@]}"

status=0
for name in c.gif cX.gif v.bmp vX.bmp; do
  if [[ $CHECK -eq 1 ]]; then
    if ! cmp -s "$WORK/$name" "$OUT/$name"; then
      echo "make-button-pictures: data/$name is not what this script draws" >&2
      status=1
    fi
  else
    cp "$WORK/$name" "$OUT/$name"
  fi
  file="$OUT/$name"
  [[ -f "$file" ]] || { echo "make-button-pictures: data/$name is missing" >&2; status=1; continue; }
  expected=$([[ $name == *.gif ]] && echo GIF || echo BMP3)
  read -r type size < <("$IDENTIFY" -format '%m %wx%h\n' "$file")
  [[ $type == "$expected" || ($expected == BMP3 && $type == BMP) ]] ||
    { echo "make-button-pictures: data/$name is $type, not $expected" >&2; status=1; }
  [[ $size == 24x24 ]] || { echo "make-button-pictures: data/$name is $size, not 24x24" >&2; status=1; }
  centre=$("$CONVERT" "$file" -format '%[pixel:p{12,12}]' info:)
  [[ $centre != *none* && $centre != *magenta* && $centre != 'srgba(0,0,0,0)' ]] ||
    { echo "make-button-pictures: data/$name has nothing drawn at its centre" >&2; status=1; }
done
[[ $status -eq 0 ]] && echo "make-button-pictures: c.gif cX.gif v.bmp vX.bmp are good"
exit $status
