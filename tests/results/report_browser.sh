#!/bin/bash
# A report of a generated journal, opened in a real browser (Chromium, headless): the
# rendered DOM carries one trend dot per journal row, each with that row's value as
# Python's csv module reads it, both limit lines and the archived spectrum; the screenshot
# is not a blank page.
#   report_browser.sh VORNWAVE MAKE_JOURNAL_PY
set -euo pipefail
vornwave=$1
make_journal=$2
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium is not installed (scripts/setup-deps.sh)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$make_journal" "$work/Results.csv" 150 7
# One archived test with its spectrum, as the program leaves it.
mkdir -p "$work/History/2026-12-07_12-00-00"
python3 - "$work" <<'PY'
import math, sys
work = sys.argv[1]
with open(f'{work}/History/2026-12-07_12-00-00/Spectrum.csv', 'w', encoding='utf-8-sig', newline='') as f:
    f.write('frequency_hz,level_db,phase_deg\r\n')
    for i in range(200):
        hz = 200 * 20 ** (i / 199)
        f.write(f'{hz:.6g},{-20 * math.log10(hz / 200):.6g},{90 * math.sin(i / 20):.6g}\r\n')
with open(f'{work}/Results.csv', 'a', encoding='utf-8', newline='') as f:
    f.write('2026-12-31T23:59:59+01:00,BENCH-C,"C:\\x.wav",ok,94,88,1.25,pass,1.1,1.5,10,200,4000,1,'
            'History\\2026-12-07_12-00-00\r\n')
PY
"$vornwave" report "$work/Results.csv" -o "$work/report.html" >/dev/null
flags=(--headless --no-sandbox --disable-gpu --window-size=1200,2000)
"$browser" "${flags[@]}" --dump-dom "file://$work/report.html" >"$work/dom.html" 2>/dev/null
"$browser" "${flags[@]}" --screenshot="$work/shot.png" "file://$work/report.html" >/dev/null 2>&1
[ -s "$work/shot.png" ] || { echo "no screenshot"; exit 1; }
mean=$(convert "$work/shot.png" -format "%[fx:mean]" info:)
python3 - "$work" "$mean" <<'PY'
import csv, html.parser, struct, sys
work, mean = sys.argv[1], float(sys.argv[2])
with open(f'{work}/Results.csv', encoding='utf-8-sig', newline='') as f:
    rows = list(csv.DictReader(f))

class Dom(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.depth, self.trend, self.tips, self.limits, self.polylines, self.title = 0, None, [], 0, 0, False
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'g':
            self.depth += 1
            if a.get('class') == 'trend': self.trend = self.depth
        if tag == 'line' and a.get('class') == 'limit': self.limits += 1
        if tag == 'polyline' and a.get('points'): self.polylines += 1
        if tag == 'title' and self.trend: self.title = True
    def handle_endtag(self, tag):
        if tag == 'g':
            if self.trend == self.depth: self.trend = None
            self.depth -= 1
        if tag == 'title': self.title = False
    def handle_data(self, data):
        if self.title: self.tips.append(data)

dom = Dom()
dom.feed(open(f'{work}/dom.html', encoding='utf-8').read())
problems = []
if len(dom.tips) != len(rows):
    problems.append(f'{len(dom.tips)} trend dots for {len(rows)} journal rows')
rows.sort(key=lambda r: r['time'])  # one time zone in this journal
for tip, row in zip(dom.tips, rows):
    shown = tip.rsplit(': ', 1)[-1]
    want = row['corwith'] or row['status']
    f32 = lambda text: struct.unpack('f', struct.pack('f', float(text)))[0]  # the program's floats
    if (f32(shown) != f32(want)) if row['corwith'] else shown != want:
        problems.append(f'dot "{tip}" for row {row["time"]} with {want}')
if dom.limits != 2: problems.append(f'{dom.limits} limit lines')
if dom.polylines < 4: problems.append(f'{dom.polylines} curves (two powers, spectrum, phase)')
if not 0.2 < mean < 0.98: problems.append(f'screenshot mean brightness {mean:.3f}: blank')
print(f'{len(rows)} rows, {len(dom.tips)} dots, {dom.limits} limit lines, {dom.polylines} curves, '
      f'brightness {mean:.3f}')
if problems:
    print('\n'.join(problems)); sys.exit(1)
PY
