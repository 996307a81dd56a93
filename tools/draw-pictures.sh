#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the window's banner and icon into src/window/resources/: at their
# own size, at twice the size for screens at a device pixel ratio of 2
# (the @2x files), and the icon at 256 px for the desktop's menus.
# Needs ImageMagick and Debian's fonts-urw-base35 (for the ornamental face).
set -euo pipefail
cd "$(dirname "$0")/.."
out=src/window/resources
face=/usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf
[ -f "$face" ] || { echo "missing $face (apt-get install fonts-urw-base35)" >&2; exit 1; }

# Banner, 197 x 47 at scale 1: the wordmark with accented letters, its
# first half black and its second grey, on light grey.
draw_banner() { # scale file
  local s=$1
  convert -size $((197 * s))x$((47 * s)) xc:'#D8D8D8' \
    -font "$face" -pointsize $((40 * s)) \
    -fill '#000000' -annotate +$((18 * s))+$((35 * s)) 'Sàÿ' \
    -fill '#7A7A7A' -annotate +$((76 * s))+$((35 * s)) 'vâñé' \
    -fill none -stroke '#9A9A9A' -strokewidth "$s" -draw "line $((14 * s)),$((41 * s)) $((183 * s)),$((41 * s))" \
    -quality 92 "$2"
}

# Icon, 32 x 32 at scale 1: a closed brown book seen from the front with a
# white speech bubble holding a black question mark, pale page edges along
# the bottom, transparent around the book.
draw_icon() { # scale file
  local s=$1
  convert -size $((32 * s))x$((32 * s)) xc:none \
    -draw "scale $s,$s fill '#F2E8CF' stroke '#B8A77E' stroke-width 1 rectangle 6,26 27,30" \
    -draw "scale $s,$s stroke '#D9CBA6' stroke-width 1 line 7,28 26,28" \
    -draw "scale $s,$s fill '#7B4A1E' stroke '#4E2C0E' stroke-width 1 roundrectangle 4,1 27,27 2,2" \
    -draw "scale $s,$s fill '#5E3613' stroke none rectangle 4,2 7,26" \
    -draw "scale $s,$s fill '#FFFFFF' stroke '#333333' stroke-width 1 roundrectangle 10,6 25,18 3,3" \
    -draw "scale $s,$s fill '#FFFFFF' stroke '#333333' stroke-width 1 polygon 13,18 12,22 17,18" \
    -draw "scale $s,$s fill '#FFFFFF' stroke none rectangle 13,17 16,18" \
    -fill '#000000' -font DejaVu-Sans-Bold -pointsize $((11 * s)) -annotate +$((14 * s))+$((16 * s)) '?' \
    "PNG32:$2"
}

draw_banner 1 "$out/banner.jpg"
draw_banner 2 "$out/banner@2x.jpg"
draw_icon 1 "$out/icon.png"
draw_icon 2 "$out/icon@2x.png"
draw_icon 8 "$out/icon-256.png"
echo "drew the banner and the icon into $out"
