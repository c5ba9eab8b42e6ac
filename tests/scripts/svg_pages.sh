#!/usr/bin/env bash
# Every graphic page of every example batch, saved by the batch as PNG and
# SVG, drawn again from its SVG by librsvg (rsvg-convert): the picture has
# the PNG's size and, outside the boxes of its texts (the SVG shows them in
# a monospace font, the PNG in the bitmap font), at least 99 % of its
# pixels within a small colour distance of the PNG's. Without --bmp the
# batch writes no BMP copies of its pages; with it, it does.
# Usage: svg_pages.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"
command -v rsvg-convert > /dev/null || { echo "skipped: rsvg-convert is missing (librsvg2-bin)"; exit 77; }
python=/usr/bin/python3   # Debian's, with python3-pil
[ -x $python ] && $python -c 'import PIL' 2> /dev/null || { echo "skipped: python3-pil is missing"; exit 77; }

kmwb=$(realpath "$kmwb"); source=$(realpath "$source")
cp -r "$source/assets/." "$source/examples/." "$work/"
cd "$work" || exit 1
# In the order in which each finds the working files of those before it.
for batch in julian-date continuum continuum-random events events-lists probability fluctuations resonance demo; do
  "$kmwb" --batch $batch.kmwb --out out/$batch --seed 7 > log 2>&1
  check "$batch.kmwb runs" '[ $? -eq 0 ] || { cat log; false; }'
done
check "every page has its SVG beside its PNG" \
  'n=0; for p in $(find out -name "graphic-*.png"); do [ -s "${p%.png}.svg" ] || exit 1; n=$((n+1)); done; [ $n -ge 50 ]'
check "no BMP copies of the pages without --bmp" '[ -z "$(find out -name "graphic-*.bmp")" ]'
check "the module's own BMP pictures stay" '[ -s Zeitq.bmp ] && [ -s group-H.bmp ]'
# The matrix probability's p-value picture, drawn beside the pages.
check "the p-value picture has its SVG" '[ -s pvalues.png ] && [ -s pvalues.svg ]'
mkdir -p out/pictures && cp pvalues.png pvalues.svg out/pictures/

for svg in $(find out -name "*.svg" | sort); do
  rsvg-convert "$svg" -o "${svg%.svg}.rsvg.png" 2> rsvg.err
  check "rsvg-convert draws $svg" '[ -s "${svg%.svg}.rsvg.png" ] || { cat rsvg.err; false; }'
done

cat > compare.py <<'EOF'
import glob, re, sys
import xml.etree.ElementTree as ET
from PIL import Image, ImageChops

TOLERANCE = 24   # largest channel difference of a pixel that matches
failed = False
for svg in sorted(glob.glob(sys.argv[1] + "/**/*.svg", recursive=True)):
    ET.parse(svg)  # well-formed XML in UTF-8, or the test stops here
    text = open(svg, encoding="utf-8").read()
    png = Image.open(svg[:-4] + ".png").convert("RGB")
    drawn = Image.open(svg[:-4] + ".rsvg.png").convert("RGB")
    if png.size != drawn.size:
        print(svg, "size", drawn.size, "not", png.size); failed = True; continue
    # The text boxes: x, the baseline at 0.8 of the box, the size 0.85 of it.
    mask = Image.new("L", png.size, 255)
    for m in re.finditer(r"<text x=\"([-\d.]+)\" y=\"([-\d.]+)\" font-size=\"([\d.]+)\"(?: textLength=\"([\d.]+)\")?", text):
        x, base, size = float(m.group(1)), float(m.group(2)), float(m.group(3))
        h = size / 0.85
        top = base - 0.8 * h
        w = float(m.group(4) or len(m.group(0)) * h)
        mask.paste(0, (int(x) - 2, int(top) - 2, int(x + w) + 3, int(top + h) + 3))
    diff = ImageChops.difference(png, drawn).convert("RGB")
    r, g, b = diff.split()
    worst = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v > TOLERANCE else 0)
    off = ImageChops.multiply(worst, mask).histogram()[255]
    compared = mask.histogram()[255]
    share = off / compared
    print("%-60s %8d of %8d pixels differ (%.3f %%)" % (svg, off, compared, 100 * share))
    if share > 0.01:
        failed = True
sys.exit(1 if failed else 0)
EOF
check "each drawing matches its pixels" '$python compare.py out'

"$kmwb" --batch fluctuations.kmwb --out with-bmp --seed 7 --bmp > log-bmp 2>&1
check "a run with --bmp succeeds" '[ $? -eq 0 ] || { cat log-bmp; false; }'
check "--bmp adds the BMP copies" \
  'for k in 1 2 3 4; do for e in png svg bmp; do [ -s with-bmp/graphic-$k.$e ] || exit 1; done; done'
"$kmwb" --bmp > log-alone 2>&1
check "--bmp without --batch is refused" '[ $? -eq 2 ] && grep -q "only used with --batch" log-alone'
exit $fail
