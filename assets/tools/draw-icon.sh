#!/usr/bin/env bash
# Draws the program icon into assets/icons/zenor-lyrandel-<N>.png: a white capital Omega on
# a deep purple rounded square, with a small gold star; and the same drawing as a scalable
# zenor-lyrandel.svg, the Omega as the font's own outline so that no font is needed to show it.
# Needs ImageMagick, DejaVu Sans and Python's fontTools (Debian: python3-fonttools).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(cd "${here}/.." && pwd)/icons"
font="${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
sizes=(16 32 48 64 128 256)
m=1024 # every size is scaled down from a master this big

python="${PYTHON:-/usr/bin/python3}"
command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }
"$python" -c 'import fontTools' 2>/dev/null || { echo "fontTools not found for $python" >&2; exit 1; }
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
omega_pt=680
omega_shift=(-30 60)
star_at=(830 190 118)
glyph "$omega_pt" "$work/omega-large.png"
convert "$work/base.png" \
    "$work/omega-large.png" -gravity center -geometry "${omega_shift[0]}+${omega_shift[1]}" \
    -compose over -composite \
    -gravity northwest -fill '#ffd54a' -stroke '#fff3c4' -strokewidth 6 \
    -draw "polygon $(star "${star_at[@]}")" \
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

# The scalable icon: the large drawing, in the master's 1024 px coordinates. The Omega's ink is
# centred where the trimmed glyph went above (ImageMagick renders pointsize N at N px per em).
"$python" - "$font" "$m" "$omega_pt" "${omega_shift[@]}" "$(star "${star_at[@]}")" \
    >"${out}/zenor-lyrandel.svg" <<'PY'
import sys
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

font, m, pt, dx, dy, star = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]), sys.argv[6]
tt = TTFont(font)
glyphs = tt.getGlyphSet()
omega = glyphs[tt.getBestCmap()[ord("\u03a9")]]
bounds = BoundsPen(glyphs)
omega.draw(bounds)
x0, y0, x1, y1 = bounds.bounds
k = pt / tt["head"].unitsPerEm
cx, cy = m / 2 + dx, m / 2 + dy
path = SVGPathPen(glyphs, ntos=lambda v: ("%.1f" % v).rstrip("0").rstrip("."))
omega.draw(TransformPen(path, (k, 0, 0, -k, cx - k * (x0 + x1) / 2, cy + k * (y0 + y1) / 2)))
print(f'''<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{m}" height="{m}" viewBox="0 0 {m} {m}">
  <defs>
    <linearGradient id="base" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#b400b4"/>
      <stop offset="1" stop-color="#800080"/>
    </linearGradient>
  </defs>
  <rect width="{m}" height="{m}" rx="200" fill="url(#base)"/>
  <path fill="#ffffff" d="{path.getCommands()}"/>
  <polygon fill="#ffd54a" stroke="#fff3c4" stroke-width="6" points="{star.strip()}"/>
</svg>''')
PY

# The Windows icon: every size in one .ico (the 256 px one stored as PNG, as Windows expects).
convert $(printf "${out}/zenor-lyrandel-%s.png " "${sizes[@]}") "${out}/zenor-lyrandel.ico"

echo "wrote ${#sizes[@]} icons, the Windows .ico and the scalable one to ${out}"
