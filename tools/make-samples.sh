#!/usr/bin/env bash
# Regenerates the pictures under resources/: the sample pictures the first start
# shows (resources/samples), the application icon and the toolbar icons
# (resources/icons). The committed files are this script's output; run it again
# after changing it and commit what it writes.
#
#   tools/make-samples.sh            samples and icons
#   tools/make-samples.sh samples    only resources/samples
#   tools/make-samples.sh icons      only resources/icons
#   tools/make-samples.sh metafiles  only the WMF and EMF samples
#
# Needs: ImageMagick (6 or 7), the DejaVu fonts (fonts-dejavu-core) and, for
# the icons, the Tango icon theme (tango-icon-theme, public domain).
# Everything is drawn from fixed numbers, and the PNG writer is told to leave
# out its time stamps, so the same ImageMagick writes the same bytes each run.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SAMPLES=$ROOT/resources/samples
ICONS=$ROOT/resources/icons
TANGO=${TANGO:-/usr/share/icons/Tango}
FONTDIR=${FONTDIR:-/usr/share/fonts/truetype/dejavu}
BOLD=$FONTDIR/DejaVuSans-Bold.ttf
REGULAR=$FONTDIR/DejaVuSans.ttf

if command -v magick >/dev/null 2>&1; then
    IM=(magick)
elif command -v convert >/dev/null 2>&1; then
    IM=(convert)
else
    echo "make-samples: ImageMagick is not installed (apt-get install imagemagick)" >&2
    exit 1
fi
for font in "$BOLD" "$REGULAR"; do
    [[ -f $font ]] || { echo "make-samples: missing $font (apt-get install fonts-dejavu-core)" >&2; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

im() { "${IM[@]}" "$@"; }

# PNG output without the tIME chunk and the date text chunks.
png_opts=(-strip -define 'png:exclude-chunks=date,time')
jpeg_opts=(-strip -sampling-factor 2x2 -interlace none -quality 86)

# A caption in the lower-left corner: a big title line and a smaller second
# line, white with a soft shadow so it reads on any background.
caption() { # in out title subtitle titlesize
    local in=$1 out=$2 title=$3 sub=$4 size=$5
    local subsize=$((size * 45 / 100)) margin=$((size * 6 / 10))
    im "$in" +repage \
        \( +clone -alpha transparent -fill 'rgba(0,0,0,0.55)' \
           -font "$BOLD" -pointsize "$size" -gravity southwest \
           -annotate +$((margin + 2))+$((margin + subsize * 3 / 2 + 2)) "$title" \
           -font "$REGULAR" -pointsize "$subsize" \
           -annotate +$((margin + 2))+$((margin + 2)) "$sub" \
           -blur 0x3 \) -composite \
        -fill white -font "$BOLD" -pointsize "$size" -gravity southwest \
        -annotate +${margin}+$((margin + subsize * 3 / 2)) "$title" \
        -font "$REGULAR" -pointsize "$subsize" \
        -annotate +${margin}+${margin} "$sub" \
        -gravity northwest "$out"
}

# The application's picture: a framed photo of hills under a sun, drawn on a
# 256-pixel canvas and scaled down for the small sizes.
draw_app_icon() { # out
    im -size 256x256 xc:none \
        \( -size 256x256 xc:none -fill 'rgba(0,0,0,0.45)' \
           -draw 'roundrectangle 20,28 242,244 22,22' -blur 0x6 \) -composite \
        -fill '#fdfdfb' -stroke '#888a85' -strokewidth 4 \
        -draw 'roundrectangle 14,18 236,236 22,22' \
        \( -size 184x150 gradient:'#204a87'-'#9ec3ee' \
           -fill '#fce94f' -stroke '#f6d32d' -strokewidth 3 -draw 'circle 132,42 132,66' \
           -stroke none -fill '#8ae234' \
           -draw 'path "M 0,112 C 40,70 80,78 112,104 C 140,80 168,74 184,86 L 184,150 L 0,150 Z"' \
           -fill '#4e9a06' \
           -draw 'path "M 0,150 L 0,128 C 50,100 120,108 184,132 L 184,150 Z"' \) \
        -geometry +34+38 -composite \
        -fill none -stroke '#555753' -strokewidth 3 -draw 'rectangle 34,38 218,188' \
        "$1"
}

make_samples() {
    mkdir -p "$SAMPLES"
    rm -f "$SAMPLES"/sample-*

    # 1600 x 1200 landscape: mountains at dusk above a still lake.
    im -size 1600x760 gradient:'#1b2a5c'-'#f7a66b' \
        \( -size 1600x760 xc:none -fill 'rgba(255,236,170,0.9)' -draw 'circle 1150,250 1150,140' \
           -blur 0x40 \) -composite \
        -fill '#fff3c4' -draw 'circle 1150,250 1150,175' \
        -fill '#6b5f93' -draw 'polygon 0,760 0,520 180,400 330,470 520,300 700,450 860,360 1010,470 1220,330 1400,440 1600,380 1600,760' \
        -fill '#463f70' -draw 'polygon 0,760 0,610 160,560 360,640 560,520 760,640 980,560 1180,650 1380,580 1600,640 1600,760' \
        -fill '#2a2748' -draw 'polygon 0,760 0,700 300,680 640,720 900,690 1250,730 1600,700 1600,760' \
        "$WORK/sky.png"
    im "$WORK/sky.png" -flip -fill '#10162e' -colorize 35% \
        \( -size 1600x760 xc:none -fill 'rgba(255,255,255,0.10)' \
           -draw 'rectangle 0,40 1600,43' -draw 'rectangle 0,120 1600,122' \
           -draw 'rectangle 0,220 1600,222' -draw 'rectangle 0,330 1600,331' \) -composite \
        -crop 1600x440+0+0 +repage "$WORK/lake.png"
    im "$WORK/sky.png" "$WORK/lake.png" -append +repage "$WORK/landscape.png"
    caption "$WORK/landscape.png" "$WORK/landscape-c.png" '1600 × 1200' 'sample-landscape.jpg  ·  landscape' 96
    im "$WORK/landscape-c.png" "${jpeg_opts[@]}" "$SAMPLES/sample-landscape.jpg"

    # 800 x 1200 portrait: balloons rising into a clear sky.
    local balloons=()
    local b x y r colour
    for b in '180 330 95 #ef2929' '520 250 120 #fcaf3e' '640 620 80 #729fcf' \
             '300 700 110 #ad7fa8' '110 560 60 #8ae234' '560 900 70 #e9b96e'; do
        read -r x y r colour <<<"$b"
        balloons+=(-stroke 'rgba(60,60,60,0.7)' -strokewidth 2
                   -draw "line $x,$((y + r)) $((x + r / 5)),$((y + r * 2 + 40))"
                   -stroke none -fill "$colour"
                   -draw "ellipse $x,$y $r,$((r * 115 / 100)) 0,360"
                   -fill 'rgba(255,255,255,0.35)'
                   -draw "ellipse $((x - r * 35 / 100)),$((y - r * 45 / 100)) $((r / 4)),$((r * 4 / 10)) 0,360"
                   -fill '#8f5902'
                   -draw "rectangle $((x + r / 5 - 14)),$((y + r * 2 + 40)) $((x + r / 5 + 14)),$((y + r * 2 + 66))")
    done
    im -size 800x1200 gradient:'#1f6fb2'-'#bfe3f5' \
        -fill 'rgba(255,255,255,0.8)' \
        -draw 'ellipse 620,1060 170,46 0,360' -draw 'ellipse 500,1090 150,40 0,360' \
        -draw 'ellipse 150,120 110,28 0,360' \
        "${balloons[@]}" "$WORK/portrait.png"
    caption "$WORK/portrait.png" "$WORK/portrait-c.png" '800 × 1200' 'sample-portrait.jpg  ·  portrait' 80
    im "$WORK/portrait-c.png" "${jpeg_opts[@]}" "$SAMPLES/sample-portrait.jpg"

    # 640 x 480: a board of colour tiles running round the hue circle.
    local tiles=() col row hue light
    for row in 0 1 2 3 4 5; do
        for col in 0 1 2 3 4 5 6 7; do
            hue=$(((col * 45 + row * 8) % 360))
            light=$((72 - row * 6))
            tiles+=(-fill "hsl($hue,70%,$light%)"
                    -draw "roundrectangle $((col * 80 + 6)),$((row * 80 + 6)) $((col * 80 + 73)),$((row * 80 + 73)) 12,12")
        done
    done
    im -size 640x480 xc:'#2e3436' "${tiles[@]}" "$WORK/tiles.png"
    caption "$WORK/tiles.png" "$WORK/tiles-c.png" '640 × 480' 'sample-640x480.jpg' 56
    im "$WORK/tiles-c.png" "${jpeg_opts[@]}" "$SAMPLES/sample-640x480.jpg"

    # 200 x 150: a small flower.
    local petals=() a
    for a in 0 60 120 180 240 300; do
        petals+=(-draw "translate 140,58 rotate $a ellipse 0,-22 11,20 0,360")
    done
    im -size 200x150 radial-gradient:'#fff6d5'-'#7fb77e' \
        -stroke '#4e9a06' -strokewidth 4 -draw 'line 140,78 140,150' -stroke none \
        -fill '#4e9a06' -draw 'ellipse 152,118 14,5 -30,210' \
        -fill '#ffffff' "${petals[@]}" -fill '#f5c211' -draw 'circle 140,58 140,70' \
        "$WORK/small.png"
    caption "$WORK/small.png" "$WORK/small-c.png" '200 × 150' 'sample-small.jpg' 20
    im "$WORK/small-c.png" "${jpeg_opts[@]}" "$SAMPLES/sample-small.jpg"

    # EXIF orientation 6 ("right, top"): the pixels are stored turned a quarter
    # to the left, so the arrow reads upright only if the loader turns the
    # picture as the tag says. The Exif block is written by hand: a big-endian
    # TIFF header and one IFD entry, Orientation (0x0112) = 6.
    im -size 600x800 gradient:'#fdfbfb'-'#c9d6ff' \
        -fill '#a40000' -stroke '#5c0000' -strokewidth 6 \
        -draw 'polygon 300,70 520,320 380,320 380,560 220,560 220,320 80,320' \
        -stroke none -fill '#2e3436' -font "$BOLD" -pointsize 150 \
        -gravity north -annotate +0+575 'UP' \
        -font "$REGULAR" -pointsize 26 -fill '#555753' \
        -annotate +0+20 'this side up' \
        -gravity south -annotate +0+18 'sample-rotated-exif.jpg  ·  EXIF orientation 6' \
        "$WORK/upright.png"
    printf 'Exif\0\0MM\0\052\0\0\0\010\0\001\001\022\0\003\0\0\0\001\0\006\0\0\0\0\0\0' \
        >"$WORK/orientation.exif"
    im "$WORK/upright.png" -rotate -90 "${jpeg_opts[@]}" \
        -profile "APP1:$WORK/orientation.exif" "$SAMPLES/sample-rotated-exif.jpg"

    # 24-bit BMP: flat shapes.
    im -size 256x192 gradient:'#eeeeec'-'#d3d7cf' \
        -fill '#3465a4' -stroke '#204a87' -strokewidth 3 -draw 'circle 50,66 50,30' \
        -fill '#f57900' -stroke '#ce5c00' -draw 'polygon 128,30 168,102 88,102' \
        -fill '#73d216' -stroke '#4e9a06' -draw 'roundrectangle 174,32 238,98 10,10' \
        -fill '#cc0000' -stroke '#a40000' \
        -draw 'polygon 128,118 137,140 160,141 142,155 149,178 128,165 107,178 114,155 96,141 119,140' \
        -stroke none -fill '#2e3436' -font "$BOLD" -pointsize 20 \
        -annotate +18+176 'BMP' -font "$REGULAR" -pointsize 13 -annotate +176+176 '256 × 192' \
        -type TrueColor "BMP3:$SAMPLES/sample-shapes.bmp"

    # Animated GIF: a ball bouncing on the grass; the first frame stands alone.
    local frames=() f h sq
    for f in $(seq 0 15); do
        # Height of one bounce in percent over sixteen frames: 4 t (1 - t), t = f / 16.
        h=$((4 * f * (16 - f) * 100 / 256))
        y=$((112 - h * 72 / 100))
        sq=$((h < 15 ? 3 : 0))
        frames+=(\( "$WORK/gif-bg.png"
                    -fill 'rgba(0,0,0,0.25)'
                    -draw "ellipse 100,128 $((18 - h / 10)),$((4 - h / 40)) 0,360"
                    -fill '#cc0000' -stroke '#820000' -strokewidth 2
                    -draw "ellipse 100,$((y + sq)) $((16 + sq)),$((16 - sq)) 0,360"
                    -stroke none -fill 'rgba(255,255,255,0.7)'
                    -draw "circle 94,$((y - 6 + sq)) 94,$((y - 2 + sq))" \))
    done
    im -size 200x150 xc:'#9fc5f8' \
        -fill '#ffffff' -draw 'ellipse 150,30 28,10 0,360' -draw 'ellipse 40,46 22,8 0,360' \
        -fill '#73d216' -draw 'rectangle 0,126 200,150' \
        -fill '#4e9a06' -draw 'rectangle 0,126 200,128' \
        -fill '#204a87' -font "$BOLD" -pointsize 16 -annotate +8+20 'GIF' \
        -font "$REGULAR" -pointsize 11 -annotate +8+144 '200 × 150, 16 frames' \
        "$WORK/gif-bg.png"
    im -delay 6 "${frames[@]}" -loop 0 -colors 32 -layers Optimize "$SAMPLES/sample-anim.gif"

    # PNG with an alpha channel: a glass marble and a soft shadow on nothing, so the
    # viewer's background shows through.
    im -size 256x192 xc:none \
        \( -size 256x192 xc:none -fill 'rgba(0,0,0,0.35)' -draw 'ellipse 132,168 70,12 0,360' \
           -blur 0x6 \) -composite \
        \( -size 160x160 radial-gradient:'#b7d3f3'-'#204a87' -alpha set \
           \( -size 160x160 xc:none -fill white -draw 'circle 80,80 80,2' \) \
           -compose DstIn -composite -channel A -evaluate multiply 0.8 +channel \) \
        -geometry +52+6 -compose Over -composite \
        -fill 'rgba(255,255,255,0.7)' -draw 'ellipse 108,50 22,12 0,360' \
        -fill '#2e3436' -font "$BOLD" -pointsize 14 -gravity northwest -annotate +6+4 'PNG' \
        -font "$REGULAR" -pointsize 11 -annotate +6+22 'transparent' \
        "${png_opts[@]}" "PNG32:$SAMPLES/sample-transparent.png"

    # WebP: the landscape again, smaller, in the web's own format.
    im "$WORK/landscape.png" -resize 640x480 "$WORK/landscape-small.png"
    caption "$WORK/landscape-small.png" "$WORK/landscape-small-c.png" 'WebP' 'sample-landscape.webp  ·  640 × 480' 40
    im "$WORK/landscape-small-c.png" -strip -quality 80 -define webp:method=6 "$SAMPLES/sample-landscape.webp"

    # SVG: written by hand, a drawing that stays sharp at any zoom.
    cat >"$SAMPLES/sample-vector.svg" <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="320" height="240" viewBox="0 0 320 240">
  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#204a87"/><stop offset="1" stop-color="#9ec3ee"/>
    </linearGradient>
    <radialGradient id="sun" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#fff6d5"/><stop offset="1" stop-color="#fce94f"/>
    </radialGradient>
  </defs>
  <rect width="320" height="240" fill="url(#sky)"/>
  <circle cx="236" cy="64" r="30" fill="url(#sun)" stroke="#f6d32d" stroke-width="3"/>
  <path d="M0 170 C60 120 120 130 170 160 C210 135 260 125 320 145 L320 240 L0 240 Z" fill="#8ae234"/>
  <path d="M0 240 L0 205 C80 175 190 185 320 210 L320 240 Z" fill="#4e9a06"/>
  <g fill="none" stroke="#ffffff" stroke-width="2" stroke-linecap="round">
    <path d="M60 60 q8 -8 16 0 q8 -8 16 0"/><path d="M110 84 q6 -6 12 0 q6 -6 12 0"/>
  </g>
  <text x="12" y="228" font-family="DejaVu Sans, sans-serif" font-size="14" fill="#ffffff">sample-vector.svg · 320 × 240</text>
</svg>
SVG

    # Windows icon with 16, 32 and 48 pixel pictures.
    draw_app_icon "$WORK/app.png"
    im "$WORK/app.png" \( -clone 0 -resize 48x48 \) \( -clone 0 -resize 32x32 \) \
        \( -clone 0 -resize 16x16 \) -delete 0 "$SAMPLES/sample-icon.ico"
}

make_icons() {
    [[ -d $TANGO/24x24 ]] || { echo "make-samples: $TANGO not found (apt-get install tango-icon-theme)" >&2; exit 1; }
    mkdir -p "$ICONS/16x16"
    rm -f "$ICONS"/*.png "$ICONS"/16x16/*.png

    # Toolbar key (spaces as dashes) and the Tango picture it comes from.
    local map=(
        edit:categories/applications-graphics
        save:actions/document-save-as
        previous:actions/go-previous
        next:actions/go-next
        move:actions/go-jump
        copy:actions/edit-copy
        delete:actions/edit-delete
        preview:mimetypes/image-x-generic
        explorer:places/folder
        selection:actions/edit-select-all
        refresh:actions/view-refresh
        print:actions/document-print
        slide-show:actions/media-playback-start
    )
    local entry key src
    for entry in "${map[@]}"; do
        key=${entry%%:*}
        src=${entry#*:}
        cp "$TANGO/24x24/$src.png" "$ICONS/$key.png"
        cp "$TANGO/16x16/$src.png" "$ICONS/16x16/$key.png"
    done

    # Tango has no zoom pictures: put a plus or a minus in its magnifier's lens.
    # The lens is centred at (10,10) in the 24-pixel picture and (7,7) in the
    # 16-pixel one.
    im "$TANGO/24x24/actions/system-search.png" -fill '#2e3436' \
        -draw 'rectangle 6,9 13,10' -draw 'rectangle 9,6 10,13' "${png_opts[@]}" "PNG32:$ICONS/zoom-in.png"
    im "$TANGO/24x24/actions/system-search.png" -fill '#2e3436' \
        -draw 'rectangle 6,9 13,10' "${png_opts[@]}" "PNG32:$ICONS/zoom-out.png"
    im "$TANGO/16x16/actions/system-search.png" -fill '#2e3436' \
        -draw 'rectangle 4,6 9,7' -draw 'rectangle 6,4 7,9' "${png_opts[@]}" "PNG32:$ICONS/16x16/zoom-in.png"
    im "$TANGO/16x16/actions/system-search.png" -fill '#2e3436' \
        -draw 'rectangle 4,6 9,7' "${png_opts[@]}" "PNG32:$ICONS/16x16/zoom-out.png"

    # Nor a crop picture: two L-shaped bars in Tango's greys crossing over a
    # patch of picture, drawn pixel by pixel (no smoothing) at each size. The
    # second bar is drawn whole over the first so that they read as two pieces.
    im -size 24x24 xc:none +antialias \
        -fill '#729fcf' -draw 'rectangle 8,8 15,12' -fill '#73d216' -draw 'rectangle 8,13 15,15' \
        -fill '#2e3436' -draw 'rectangle 4,0 7,19' -draw 'rectangle 4,16 23,19' \
        -fill '#babdb6' -draw 'rectangle 5,1 6,18' -draw 'rectangle 5,17 22,18' \
        -fill '#eeeeec' -draw 'rectangle 5,1 5,17' \
        -fill '#2e3436' -draw 'rectangle 0,4 19,7' -draw 'rectangle 16,4 19,23' \
        -fill '#babdb6' -draw 'rectangle 1,5 18,6' -draw 'rectangle 17,5 18,22' \
        -fill '#eeeeec' -draw 'rectangle 1,5 17,5' \
        "${png_opts[@]}" "PNG32:$ICONS/crop.png"
    im -size 16x16 xc:none +antialias \
        -fill '#729fcf' -draw 'rectangle 5,5 10,7' -fill '#73d216' -draw 'rectangle 5,8 10,10' \
        -fill '#2e3436' -draw 'rectangle 2,0 4,13' -draw 'rectangle 2,11 15,13' \
        -fill '#babdb6' -draw 'rectangle 3,1 3,12' -draw 'rectangle 3,12 14,12' \
        -fill '#2e3436' -draw 'rectangle 0,2 13,4' -draw 'rectangle 11,2 13,15' \
        -fill '#babdb6' -draw 'rectangle 1,3 12,3' -draw 'rectangle 12,3 12,14' \
        "${png_opts[@]}" "PNG32:$ICONS/16x16/crop.png"

    draw_app_icon "$WORK/app.png"
    im "$WORK/app.png" "${png_opts[@]}" "PNG32:$ICONS/vistrel.png"
}

# The two metafiles, written by a small program with libuemf (libuemf-dev).
make_metafiles() {
    cc -O2 -o "$WORK/make-metafiles" "$ROOT/tools/make-metafiles.c" -luemf
    "$WORK/make-metafiles" "$SAMPLES"
}

case ${1:-all} in
    all) make_samples; make_metafiles; make_icons ;;
    samples) make_samples; make_metafiles ;;
    metafiles) make_metafiles ;;
    icons) make_icons ;;
    *) echo "usage: $0 [samples|metafiles|icons]" >&2; exit 2 ;;
esac
