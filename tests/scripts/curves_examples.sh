#!/usr/bin/env bash
# The example batches of the planetary fluctuations (after the example
# group's event analysis) and of the resonance curve, run through kmwb in a
# copy of examples/: the pages, the saved pictures and the event mark, the
# pictures read back by PIL where it is installed.
# Usage: curves_examples.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib/kmwb.sh"

cp -r "$source/examples" "$work/ex"
cd "$work/ex" || exit 1
"$kmwb" --batch fluctuations.kmwb --out fl --seed 1 > fl.log 2>&1
check "the fluctuations batch succeeds" '[ $? -eq 0 ] || { cat fl.log; false; }'
"$kmwb" --batch resonance.kmwb --out rs > rs.log 2>&1
check "the resonance batch succeeds" '[ $? -eq 0 ] || { cat rs.log; false; }'

check "four fluctuation pages" 'for k in 1 2 3 4; do [ -s fl/graphic-$k.png ] || exit 1; done'
check "the pictures of the kinds" 'for f in Zeitq.bmp Zeitqj.bmp AI-aktuell/zq-H.bmp AI-aktuell/zq-I.bmp AI-aktuell/zq-D.bmp AI-aktuell/zq-DA.bmp; do [ -s $f ] || exit 1; done'
check "one member born in 1983 is marked and counted" \
  'grep -q "^\*\* limit H:  0.00 events: 1 \*" fl/text-1.txt && grep -q " i=3  event H " fl/text-1.txt'
check "four curve tables of 1000 moments" \
  'for k in 1 2 3 4; do [ "$(grep -c " date y-m-d-h-m " fl/text-$k.txt)" = 1000 ] || exit 1; done'
check "four resonance pages" 'for k in 1 2 3 4; do [ -s rs/graphic-$k.png ] || exit 1; done'
check "the person and the coupling on text 1" \
  'grep -q "1: Meier Anna" rs/text-1.txt && grep -q "coupling factor: 0.050000" rs/text-1.txt'
check "the weights written back" '[ "$(wc -l < datplanet.txt)" = 11 ]'

python=/usr/bin/python3
if [ -x $python ] && $python -c "import PIL" 2>/dev/null; then
  # The member born 1983-05-30 (Julian date in juliandat.txt, line 4) sits
  # at x = 90 + trunc((jd - start) / 365 * 1170) + 1 on every kind's page.
  check "PIL reads the pages and finds the event mark" "$python - <<'PY'
from PIL import Image
jd = float(open('juliandat.txt').read().split()[3])
start = 2445335.5  # 1983-01-01 0h UT
x = 90 + int((jd - start) / 365.0 * 1170) + 1
for kind in ['H', 'I', 'D', 'DA']:
    im = Image.open('AI-aktuell/zq-%s.bmp' % kind).convert('RGB')
    assert im.size == (1789, 1085), im.size
    for y in range(20, 1060, 13):
        assert im.getpixel((x, y)) == (0, 0, 0), (kind, x, y, im.getpixel((x, y)))
for k in range(1, 5):
    im = Image.open('rs/graphic-%d.png' % k).convert('RGB')
    assert im.size == (2304, 1500), im.size
    assert im.getpixel((1000, 1294)) == (0, 0, 0)
PY"
else
  echo "PIL not installed (Debian python3-pil): the picture checks are skipped"
fi
exit $fail
