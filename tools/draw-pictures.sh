#!/usr/bin/env bash
# Draws the window's banner and icon into src/window/resources/.
# Needs ImageMagick and Debian's fonts-urw-base35 (for the ornamental face).
set -euo pipefail
cd "$(dirname "$0")/.."
out=src/window/resources
face=/usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf
[ -f "$face" ] || { echo "missing $face (apt-get install fonts-urw-base35)" >&2; exit 1; }

# Banner, 197 x 47: the wordmark with accented letters, its first half black
# and its second grey, on light grey.
convert -size 197x47 xc:'#D8D8D8' \
  -font "$face" -pointsize 40 \
  -fill '#000000' -annotate +18+35 'Sàÿ' \
  -fill '#7A7A7A' -annotate +76+35 'vâñé' \
  -fill none -stroke '#9A9A9A' -strokewidth 1 -draw 'line 14,41 183,41' \
  -quality 92 "$out/banner.jpg"

# Icon, 32 x 32: a closed brown book seen from the front with a white speech
# bubble holding a black question mark, pale page edges along the bottom,
# transparent around the book.
convert -size 32x32 xc:none \
  -fill '#F2E8CF' -stroke '#B8A77E' -strokewidth 1 -draw 'rectangle 6,26 27,30' \
  -stroke none -fill '#D9CBA6' -draw 'line 7,28 26,28' \
  -fill '#7B4A1E' -stroke '#4E2C0E' -draw 'roundrectangle 4,1 27,27 2,2' \
  -stroke none -fill '#5E3613' -draw 'rectangle 4,2 7,26' \
  -fill '#FFFFFF' -stroke '#333333' -draw 'roundrectangle 10,6 25,18 3,3' \
  -stroke '#333333' -draw 'polygon 13,18 12,22 17,18' \
  -stroke none -fill '#FFFFFF' -draw 'rectangle 13,17 16,18' \
  -fill '#000000' -font DejaVu-Sans-Bold -pointsize 11 -annotate +14+16 '?' \
  "PNG32:$out/icon.png"
echo "drew $out/banner.jpg and $out/icon.png"
