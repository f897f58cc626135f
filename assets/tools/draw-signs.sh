#!/usr/bin/env bash
# Draws the 24 sign pictures into assets/signs/: a black capital Greek letter, centred on
# white inside a thin grey frame, 74 x 74 baseline JPEG, and the same drawing at twice the
# size for high-density screens (148 x 148, <name>@2x.jpg). Needs ImageMagick and DejaVu Sans.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(cd "${here}/.." && pwd)/signs"
font="${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
base=74 # the size on screen, in device-independent pixels

command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }
[[ -f "$font" ]] || { echo "font not found: $font" >&2; exit 1; }
mkdir -p "$out"

# File name and letter, in sign order; the names must match the keys in the sign table.
signs=(
    01alpha.jpg Α   02beta.jpg Β    03gamma.jpg Γ   04delta.jpg Δ
    05epsilon.jpg Ε 06zeta.jpg Ζ    07eta.jpg Η     08theta.jpg Θ
    09iota.jpg Ι    10kappa.jpg Κ   11lambda.jpg Λ  12mu.jpg Μ
    13nu.jpg Ν      14xi.jpg Ξ      15omicron.jpg Ο 16pi.jpg Π
    17rho.jpg Ρ     18sigma.jpg Σ   19tau.jpg Τ     20upsilon.jpg Υ
    21phi.jpg Φ     22khi.jpg Χ     23psi.jpg Ψ     24omegae.jpg Ω
)

# Every length is the 1x one times the scale, so the 2x picture is the same drawing, not an
# enlargement; at scale 1 the commands are exactly the ones that drew the original pictures.
for scale in 1 2; do
    size=$((base * scale))
    frame="$(awk -v s="$scale" -v e="$base" 'BEGIN {
        printf "roundrectangle %g,%g %g,%g %g,%g", 2.5 * s, 2.5 * s, (e - 2.5) * s, (e - 2.5) * s, 5 * s, 5 * s
    }')"
    suffix=""
    ((scale > 1)) && suffix="@${scale}x"
    for ((i = 0; i < ${#signs[@]}; i += 2)); do
        name="${signs[i]%.jpg}${suffix}.jpg"
        letter="${signs[i + 1]}"
        # The glyph is trimmed to its ink before centring, so every letter sits in the
        # optical middle regardless of the font's ascent and descent.
        convert -size "${size}x${size}" xc:white \
            -fill none -stroke '#9a9a9a' -strokewidth "$scale" \
            -draw "$frame" \
            \( -background white -fill black -font "$font" -pointsize $((50 * scale)) \
               "label:${letter}" -trim +repage \) \
            -gravity center -compose over -composite \
            -colorspace sRGB -type TrueColor -depth 8 \
            -strip -interlace none -sampling-factor 1x1 -quality 92 \
            "jpg:${out}/${name}"
    done
done

echo "wrote $((${#signs[@]} / 2)) pictures at 1x and 2x to ${out}"
