#!/usr/bin/env bash
# Draws the program icon into assets/icons/zenor-lyrandel-<N>.png: a white capital Omega on
# a deep purple rounded square, with a small gold star. Needs ImageMagick and DejaVu Sans.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(cd "${here}/.." && pwd)/icons"
font="${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
sizes=(16 32 48 64 128 256)
m=1024 # every size is scaled down from a master this big

command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }
[[ -f "$font" ]] || { echo "font not found: $font" >&2; exit 1; }
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Five-pointed star around (cx, cy) as a polygon point list.
star() {
    awk -v cx="$1" -v cy="$2" -v r="$3" 'BEGIN {
        pi = atan2(0, -1)
        for (k = 0; k < 10; k++) {
            rad = (k % 2 == 0) ? r : r * 0.42
            a = -pi / 2 + k * pi / 5
            printf "%.1f,%.1f ", cx + rad * cos(a), cy + rad * sin(a)
        }
    }'
}

# Purple square with rounded corners, a little lighter at the top.
convert -size ${m}x${m} gradient:'#b400b4-#800080' \
    \( -size ${m}x${m} xc:none -fill white -draw "roundrectangle 0,0 $((m - 1)),$((m - 1)) 200,200" \) \
    -compose copy_opacity -composite "$work/base.png"

# Omega trimmed to its ink, so it can be placed by its visible centre.
glyph() {
    convert -background none -fill white -font "$font" -pointsize "$1" label:'Ω' -trim +repage "$2"
}

# Large sizes: Omega a touch below centre, star in the upper right corner.
glyph 680 "$work/omega-large.png"
convert "$work/base.png" \
    "$work/omega-large.png" -gravity center -geometry -30+60 -compose over -composite \
    -gravity northwest -fill '#ffd54a' -stroke '#fff3c4' -strokewidth 6 \
    -draw "polygon $(star 830 190 118)" \
    "$work/master-large.png"

# Small sizes: no star, which would only blur into a dot, and a bigger Omega.
glyph 760 "$work/omega-small.png"
convert "$work/base.png" \
    "$work/omega-small.png" -gravity center -compose over -composite \
    "$work/master-small.png"

for n in "${sizes[@]}"; do
    master="$work/master-large.png"
    ((n < 48)) && master="$work/master-small.png"
    convert "$master" -filter Lanczos -resize "${n}x${n}" -strip \
        -define png:exclude-chunks=date,time "png32:${out}/zenor-lyrandel-${n}.png"
done

echo "wrote ${#sizes[@]} icons to ${out}"
