#!/bin/bash
# Regenerates the fonts qzk/fonts/*.inc: the builtin fonts from the bitmap
# fonts of Debian's xfonts-base (pcf2bdf turns them into BDF for
# tools/fontconv), the application's own fonts from DejaVu's outlines
# (fonts-dejavu-core, rendered by tools/fontconv_ttf.py with python3-pil).
# The generated files are committed, so a build needs none of this.
#   bash tools/fontconv_all.sh BUILD_DIR [OUTPUT_DIR]
set -euo pipefail
build=${1:?usage: fontconv_all.sh BUILD_DIR [OUTPUT_DIR]}
here=$(cd "$(dirname "$0")" && pwd)
out=${2:-$here/../qzk/fonts}
conv="$build/tools/fontconv"
misc=/usr/share/fonts/X11/misc
dejavu=/usr/share/fonts/truetype/dejavu
[ -x "$conv" ] || { echo "build the fontconv target first: $conv" >&2; exit 1; }
command -v pcf2bdf >/dev/null || { echo "pcf2bdf is missing (apt-get install pcf2bdf)" >&2; exit 1; }
[ -f "$dejavu/DejaVuSans.ttf" ] || { echo "DejaVu is missing (apt-get install fonts-dejavu-core)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bdf() {  # bdf NAME: the BDF text of an installed X11 font
  local pcf="$1/$2.pcf.gz"
  [ -f "$pcf" ] || { echo "missing $pcf (apt-get install xfonts-base)" >&2; exit 1; }
  zcat "$pcf" > "$work/$2.pcf"
  pcf2bdf -o "$work/$2.bdf" "$work/$2.pcf"
  echo "$work/$2.bdf"
}

convert() {  # convert FILE NAME SOURCE [fontconv options]
  local file=$1 name=$2 source=$3; shift 3
  "$conv" --name "$name" --source "$source" "$@" "$(bdf "$misc" "${source##* }")" "$out/$file"
  echo "wrote $out/$file ($name)"
}

mkdir -p "$out"
convert builtin_6x13.inc       "builtin 6x13"       "X11 misc-fixed 6x13"
convert builtin_6x13_bold.inc  "builtin 6x13 bold"  "X11 misc-fixed 6x13B"
convert builtin_9x15.inc       "builtin 9x15"       "X11 misc-fixed 9x15"
convert builtin_9x15_bold.inc  "builtin 9x15 bold"  "X11 misc-fixed 9x15B"
convert builtin_8x16.inc       "builtin 8x16"       "X11 misc Sony 8x16"
convert builtin_8x16_bold.inc  "builtin 8x16 bold"  "X11 misc Sony 8x16" --bold
convert builtin_12x24.inc      "builtin 12x24"      "X11 misc Sony 12x24"
convert builtin_5x7.inc        "builtin 5x7"        "X11 misc-fixed 5x7"
# No public-domain 8x8 face covers Latin-1: the 5x8 misc-fixed glyphs are
# centred in 8x8 cells.
convert builtin_8x8.inc        "builtin 8x8"        "X11 misc-fixed 5x8" --cell 8x8
# The proportional default: the 6x13 glyphs cut to their ink plus one
# blank column (a blank keeps 3 columns).
convert builtin_variable_13.inc "builtin variable 13" "X11 misc-fixed 6x13" --trim 1

# The application's own fonts: a proportional sans-serif face and a
# monospace face, named by their cell height.
for h in 14 16 20 24 32 48; do
  /usr/bin/python3 "$here/fontconv_ttf.py" --name "sans $h" --height $h --source "DejaVu Sans" \
    "$dejavu/DejaVuSans.ttf" "$out/user_sans_$h.inc"
  echo "wrote $out/user_sans_$h.inc (sans $h)"
done
for h in 16 20; do
  /usr/bin/python3 "$here/fontconv_ttf.py" --name "mono $h" --height $h --mono --source "DejaVu Sans Mono" \
    "$dejavu/DejaVuSansMono.ttf" "$out/user_mono_$h.inc"
  echo "wrote $out/user_mono_$h.inc (mono $h)"
done
