#!/usr/bin/env bash
# Regenerates the maps shipped in data/Modules/Maps/ from the GSHHG coastline
# and river data with GMT, with the place names written on them:
#   Israel.jpg    the land of Israel in Bible times
#   Journeys.gif  the eastern Mediterranean of the apostles' journeys
#   Exodus.bmp    Egypt, Sinai and the way to Canaan (8-bit palette)
# Then checks that each file decodes with ImageMagick, has the expected type
# and stays under 400 KB.
#
# Needs: apt-get install gmt gmt-gshhg-low ghostscript imagemagick
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/data/Modules/Maps"
CONVERT=/usr/bin/convert
IDENTIFY=/usr/bin/identify
for tool in gmt gs "$CONVERT" "$IDENTIFY"; do
  command -v "$tool" >/dev/null || { echo "make-maps: $tool is missing" >&2; exit 1; }
done
WORK="$(mktemp -d "${TMPDIR:-/tmp}/maps.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

# draw NAME REGION WIDTH TITLE PLACES-FILE: a PNG in $WORK.
draw() {
  local name=$1 region=$2 width=$3 title=$4 places=$5
  (
    cd "$WORK"
    export GMT_SESSION_NAME=$name
    gmt begin "$name" png E110
    gmt set FONT_ANNOT_PRIMARY 8p FONT_TITLE 14p,Times-Bold MAP_FRAME_TYPE plain
    gmt coast -R"$region" -JM"$width" -Dl -A50 -G235/220/175 -S170/205/235 -W0.4p,80/80/80 \
      -I1/0.4p,100/150/220 -Bxa -Bya -B+t"$title"
    # Each line: longitude latitude font justify offset text; "dot" marks a town.
    awk '$3 == "dot" {print $1, $2}' "$places" | gmt plot -Sc0.14c -G120/20/20 -W0.3p,black
    awk '{ $3 = ""; print }' "$places" | sed 's/^\([^ ]*\) \([^ ]*\)  /\1 \2 /' |
      gmt text -F+f+j+a0 -Dj0.12c/0.08c -N
    gmt end
  )
}

cat > "$WORK/israel.txt" <<'PLACES'
35.23 31.78 dot 9p,Times-Bold,black LM Jerusalem
35.20 31.70 dot 8p,Times-Roman,black RM Bethlehem
35.30 32.70 dot 8p,Times-Roman,black RM Nazareth
35.57 32.88 dot 8p,Times-Roman,black LM Capernaum
35.44 31.86 dot 8p,Times-Roman,black LM Jericho
35.10 31.53 dot 8p,Times-Roman,black RM Hebron
35.19 32.28 dot 8p,Times-Roman,black RM Samaria
34.75 32.05 dot 8p,Times-Roman,black RM Joppa
34.46 31.50 dot 8p,Times-Roman,black RM Gaza
34.79 31.25 dot 8p,Times-Roman,black RM Beersheba
35.65 33.25 dot 8p,Times-Roman,black LM Dan
35.20 33.27 dot 8p,Times-Roman,black RM Tyre
35.37 33.56 dot 8p,Times-Roman,black RM Sidon
34.89 32.50 dot 8p,Times-Roman,black RM Caesarea
35.28 32.46 dot 8p,Times-Roman,black LM Megiddo
35.00 32.80 dot 8p,Times-Roman,black RM Carmel
34.55 32.35 text 10p,Times-Italic,20/60/120 CM Great Sea
35.50 31.45 text 8p,Times-Italic,20/60/120 LM Salt Sea
35.62 32.80 text 7p,Times-Italic,20/60/120 LM Sea of Galilee
35.90 32.10 text 10p,Times-Italic,90/60/40 CM GILEAD
35.05 31.95 text 10p,Times-Italic,90/60/40 CM JUDEA
35.40 32.60 text 10p,Times-Italic,90/60/40 CM GALILEE
PLACES

cat > "$WORK/journeys.txt" <<'PLACES'
12.50 41.90 dot 9p,Times-Bold,black LM Rome
23.73 37.98 dot 8p,Times-Roman,black LM Athens
22.93 37.94 dot 8p,Times-Roman,black RM Corinth
27.34 37.94 dot 8p,Times-Roman,black LM Ephesus
36.16 36.20 dot 8p,Times-Roman,black LM Antioch
34.90 36.92 dot 8p,Times-Roman,black RM Tarsus
35.23 31.78 dot 9p,Times-Bold,black LM Jerusalem
29.92 31.20 dot 8p,Times-Roman,black RM Alexandria
24.29 41.01 dot 8p,Times-Roman,black LM Philippi
22.94 40.64 dot 8p,Times-Roman,black RM Thessalonica
33.90 35.18 dot 8p,Times-Roman,black LM Salamis
14.40 35.90 dot 8p,Times-Roman,black RM Malta
26.55 39.48 dot 8p,Times-Roman,black LM Troas
32.60 38.30 dot 8p,Times-Roman,black LM Iconium
34.89 32.50 dot 8p,Times-Roman,black RM Caesarea
24.80 35.20 text 9p,Times-Italic,20/60/120 CM CRETE
19.50 35.00 text 12p,Times-Italic,20/60/120 CM Mediterranean Sea
PLACES

cat > "$WORK/exodus.txt" <<'PLACES'
31.83 30.80 dot 8p,Times-Roman,black RM Rameses
31.25 29.85 dot 8p,Times-Roman,black RM Memphis
33.97 28.54 dot 9p,Times-Bold,black LM Mount Sinai
34.42 30.65 dot 8p,Times-Roman,black LM Kadesh Barnea
35.23 31.78 dot 8p,Times-Roman,black LM Jerusalem
34.46 31.50 dot 8p,Times-Roman,black RM Gaza
34.95 29.55 dot 8p,Times-Roman,black LM Elath
31.90 30.55 text 8p,Times-Italic,90/60/40 LM GOSHEN
33.80 29.60 text 11p,Times-Italic,90/60/40 CM SINAI
31.00 28.00 text 11p,Times-Italic,90/60/40 CM EGYPT
33.40 28.00 text 7p,Times-Italic,20/60/120 CM Gulf of Suez
32.80 31.80 text 10p,Times-Italic,20/60/120 CM Great Sea
PLACES

draw israel 33.9/36.4/29.9/33.7 12c "The Land of Israel" "$WORK/israel.txt"
draw journeys 11/38/30/42.5 16c "The Journeys of the Apostles" "$WORK/journeys.txt"
draw exodus 29.5/36/27.4/32.2 12c "The Exodus" "$WORK/exodus.txt"

"$CONVERT" "$WORK/israel.png" -background white -flatten -quality 82 "$OUT/Israel.jpg"
"$CONVERT" "$WORK/journeys.png" -background white -flatten -colors 64 "$OUT/Journeys.gif"
"$CONVERT" "$WORK/exodus.png" -background white -flatten -colors 64 -type Palette BMP3:"$OUT/Exodus.bmp"

for check in "Israel.jpg JPEG" "Journeys.gif GIF" "Exodus.bmp BMP3"; do
  set -- $check
  type=$("$IDENTIFY" -format '%m' "$OUT/$1")
  size=$(stat -c %s "$OUT/$1")
  [ "$type" = "$2" ] || [ "$2" = BMP3 -a "$type" = BMP ] || { echo "make-maps: $1 is $type, not $2" >&2; exit 1; }
  [ "$size" -lt 409600 ] || { echo "make-maps: $1 is $size bytes" >&2; exit 1; }
  echo "$1: $("$IDENTIFY" -format '%wx%h' "$OUT/$1"), $size bytes"
done
