#!/usr/bin/env bash
# Regenerates the installer's artwork and the test application's icon from nothing but ImageMagick, the
# DejaVu fonts and python3 for the final checks (Debian: imagemagick, fonts-dejavu-core, python3), so the
# committed pictures can always be rebuilt:
#
#   resources/logo.png           195 x 29 RGBA logo; the installer scales it to 146 x 22 when painting
#   resources/installer.ico      16, 32, 48, 64, 128 (32-bit DIB with alpha) and 256 (PNG) frames
#   tools/fixtures/app.ico       icon of the stand-in application used by the end-to-end tests
#
# Usage: tools/make_artwork.sh            (from anywhere; writes into the repository)
#
# The output is byte-for-byte repeatable: PNG time stamps and text chunks are left out.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
RES_DIR="$ROOT/resources"
FIX_DIR="$ROOT/tools/fixtures"
mkdir -p "$RES_DIR" "$FIX_DIR"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM

command -v convert >/dev/null || { echo "make_artwork: ImageMagick 'convert' is required" >&2; exit 1; }
fonts=$(convert -list font)
for f in DejaVu-Sans DejaVu-Sans-Bold DejaVu-Sans-Condensed-Bold; do
    grep -q "Font: $f\$" <<<"$fonts" ||
        { echo "make_artwork: font $f missing (apt-get install fonts-dejavu-core)" >&2; exit 1; }
done

# Norvale blue and the tones around it.
BLUE='rgb(0,112,187)'
BLUE_LIGHT='rgb(18,132,208)'
BLUE_DARK='rgb(0,90,158)'
GREY='rgb(64,64,64)'

# Keep PNG output free of creation/modification dates so re-running changes nothing.
PNG_OPTS=(-strip -define "png:exclude-chunks=date,time,tEXt,zTXt,iTXt")

# helm_mvg SIZE WEIGHT COLOUR HOLE_COLOUR > file.mvg
# A ship's wheel centred in a SIZE x SIZE square: eight spokes, a rim, handles with rounded ends beyond the
# rim, and a hub with a hole. WEIGHT "bold" thickens every stroke so the wheel survives 16 and 32 pixels;
# HOLE_COLOUR "none" leaves the hub solid.
helm_mvg() {
    awk -v S="$1" -v weight="$2" -v col="$3" -v hole="$4" 'BEGIN {
        pi = atan2(0, -1); c = S / 2
        if (weight == "bold") { rim = 0.285; wr = 0.110; ws = 0.085; wh = 0.125; hub = 0.135; hr = 0.0 }
        else                  { rim = 0.300; wr = 0.080; ws = 0.055; wh = 0.095; hub = 0.115; hr = 0.045 }
        tip = 0.475 - wh / 2
        printf "stroke-antialias 1\nstroke-linecap round\nfill none\nstroke %s\n", col
        printf "stroke-width %.3f\n", ws * S
        for (i = 0; i < 8; i++) {
            a = (i * 45 + 22.5) * pi / 180
            printf "line %.3f,%.3f %.3f,%.3f\n", c, c, c + rim * S * cos(a), c + rim * S * sin(a)
        }
        printf "stroke-width %.3f\n", wh * S
        for (i = 0; i < 8; i++) {
            a = (i * 45 + 22.5) * pi / 180
            printf "line %.3f,%.3f %.3f,%.3f\n", c + rim * S * cos(a), c + rim * S * sin(a), \
                   c + tip * S * cos(a), c + tip * S * sin(a)
        }
        printf "stroke-width %.3f\n", wr * S
        printf "circle %.3f,%.3f %.3f,%.3f\n", c, c, c + rim * S, c
        printf "stroke none\nfill %s\n", col
        printf "circle %.3f,%.3f %.3f,%.3f\n", c, c, c + hub * S, c
        if (hole != "none" && hr > 0) {
            printf "fill %s\n", hole
            printf "circle %.3f,%.3f %.3f,%.3f\n", c, c, c + hr * S, c
        }
    }'
}

# --- logo -------------------------------------------------------------------------------------------------
# The wheel is drawn large and reduced, the lettering is set at its final size so the font's hinting keeps
# the strokes crisp. The hub hole is cut out (DstOut) so the window background shows through it.
M=1024
helm_mvg $M normal "$BLUE" none > "$WORK/logo_wheel.mvg"
convert -size "${M}x${M}" xc:none -draw "$(cat "$WORK/logo_wheel.mvg")" "$WORK/logo_wheel_full.png"
convert "$WORK/logo_wheel_full.png" \
    \( -size "${M}x${M}" xc:none -fill white \
       -draw "circle $((M / 2)),$((M / 2)) $((M / 2 + M * 45 / 1000)),$((M / 2))" \) \
    -compose DstOut -composite -filter Lanczos -resize 29x29 "$WORK/logo_wheel.png"

convert -size 195x29 xc:none \
    "$WORK/logo_wheel.png" -geometry +0+0 -compose Over -composite \
    -font DejaVu-Sans-Condensed-Bold -pointsize 16 -fill "$BLUE" -annotate +34+20 'NORVALE' \
    -font DejaVu-Sans -pointsize 16 -fill "$GREY" -annotate +115+20 'Helmview' \
    "${PNG_OPTS[@]}" "PNG32:$RES_DIR/logo.png.tmp"

# --- installer icon ---------------------------------------------------------------------------------------
# A white wheel on a blue rounded tile with a soft top-to-bottom shading. The small frames get a larger wheel
# (and 16 pixels heavier strokes) because a thin, small wheel blurs into a grey disc.
tile() { # tile SIZE WEIGHT WHEEL_PERCENT OUT
    s=$1
    w=$((s * $3 / 100))
    r=$((s * 3 / 100))
    helm_mvg $w "$2" white "$BLUE" > "$WORK/tile_wheel.mvg"
    convert -size "${s}x${s}" gradient:"$BLUE_LIGHT"-"$BLUE_DARK" \
        \( -size "${s}x${s}" xc:none -fill white \
           -draw "roundrectangle $r,$r $((s - 1 - r)),$((s - 1 - r)) $((s * 18 / 100)),$((s * 18 / 100))" \) \
        -compose DstIn -composite \
        \( -size "${w}x${w}" xc:none -draw "$(cat "$WORK/tile_wheel.mvg")" \) \
        -gravity center -compose Over -composite +gravity "$4"
}
tile 1024 normal 78 "$WORK/tile_large.png"
tile 1024 normal 88 "$WORK/tile_medium.png"
tile 1024 bold 88 "$WORK/tile_small.png"

frames=()
for n in 16 32 48 64 128 256; do
    case $n in
        16) src="$WORK/tile_small.png" ;;
        32) src="$WORK/tile_medium.png" ;;
        *) src="$WORK/tile_large.png" ;;
    esac
    convert "$src" -filter Lanczos -resize "${n}x${n}" "${PNG_OPTS[@]}" "PNG32:$WORK/ico_$n.png"
    frames+=("$WORK/ico_$n.png")
done
convert "${frames[@]}" "${PNG_OPTS[@]}" "ICO:$RES_DIR/installer.ico.tmp"

# --- stand-in application icon ----------------------------------------------------------------------------
# Deliberately unlike the installer's: an orange disc with a white "H", so screenshots tell them apart.
convert -size 1024x1024 xc:none -fill 'rgb(232,118,24)' -stroke 'rgb(190,88,10)' -strokewidth 36 \
    -draw 'circle 512,512 512,40' -stroke none -fill white \
    -font DejaVu-Sans-Bold -pointsize 640 -gravity center -annotate +0+20 'H' "$WORK/app_master.png"
frames=()
for n in 16 32 48 256; do
    convert "$WORK/app_master.png" -filter Lanczos -resize "${n}x${n}" "${PNG_OPTS[@]}" "PNG32:$WORK/app_$n.png"
    frames+=("$WORK/app_$n.png")
done
convert "${frames[@]}" "${PNG_OPTS[@]}" "ICO:$FIX_DIR/app.ico.tmp"

# --- checks -----------------------------------------------------------------------------------------------
# The resource loader and the window rely on these properties; fail loudly rather than commit a wrong file.
python3 - "$RES_DIR/logo.png.tmp" "$RES_DIR/installer.ico.tmp" "$FIX_DIR/app.ico.tmp" <<'EOF'
import struct, sys, zlib

def fail(msg):
    sys.exit("make_artwork: " + msg)

logo, ico, app = sys.argv[1:4]
data = open(logo, "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    fail("logo is not a PNG")
w, h, depth, ctype = struct.unpack(">IIBB", data[16:26])
if (w, h) != (195, 29) or depth != 8 or ctype != 6:
    fail(f"logo is {w}x{h}, depth {depth}, colour type {ctype}; want 195x29 RGBA8")

def check_ico(path, want):
    d = open(path, "rb").read()
    reserved, kind, count = struct.unpack("<HHH", d[:6])
    if reserved != 0 or kind != 1:
        fail(f"{path}: not an icon file")
    sizes = []
    for i in range(count):
        bw, bh, _, _, planes, bpp, length, offset = struct.unpack("<BBBBHHII", d[6 + 16 * i:22 + 16 * i])
        size = bw or 256
        body = d[offset:offset + length]
        if size == 256:
            if body[:8] != b"\x89PNG\r\n\x1a\n":
                fail(f"{path}: 256 frame is not stored as PNG")
        else:
            hdr, dw, dh, dplanes, dbpp = struct.unpack("<IiiHH", body[:16])
            if hdr != 40 or dw != size or dh != 2 * size or dbpp != 32:
                fail(f"{path}: {size} frame is not a 32-bit DIB (header {hdr}, {dw}x{dh}, {dbpp} bpp)")
        sizes.append(size)
    if sizes != want:
        fail(f"{path}: frames {sizes}, want {want}")

check_ico(ico, [16, 32, 48, 64, 128, 256])
check_ico(app, [16, 32, 48, 256])
EOF

mv "$RES_DIR/logo.png.tmp" "$RES_DIR/logo.png"
mv "$RES_DIR/installer.ico.tmp" "$RES_DIR/installer.ico"
mv "$FIX_DIR/app.ico.tmp" "$FIX_DIR/app.ico"
echo "make_artwork: wrote resources/logo.png, resources/installer.ico, tools/fixtures/app.ico"
