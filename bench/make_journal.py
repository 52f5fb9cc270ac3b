#!/usr/bin/env python3
# Writes a results journal of N rows from two stations, with seeded random values, some
# fails and failed steps, for the report benchmark and the browser test.
#   make_journal.py OUT.csv ROWS [SEED]
import random, sys
out, rows = sys.argv[1], int(sys.argv[2])
rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
header = ('time,station,stimulus,status,sealed_spl,open_spl,corwith,verdict,limit_low,limit_high,'
          'test_duration,span_start,span_stop,scale_factor,archive')
with open(out, 'w', encoding='utf-8-sig', newline='') as f:
    f.write(header + '\r\n')
    for i in range(rows):
        t = 1796635800 + i * 37
        h, m, s = (t // 3600) % 24, (t // 60) % 60, t % 60
        day = 7 + t // 86400 - 1796635800 // 86400
        time = f'2026-12-{day:02d}T{h:02d}:{m:02d}:{s:02d}+01:00' if day <= 31 else f'2026-12-31T{h:02d}:{m:02d}:{s:02d}+01:00'
        station = 'BENCH-A' if i % 3 else 'BENCH-B'
        if i % 97 == 5:
            f.write(f'{time},{station},"C:\\Stimuli\\sweep, é.wav",Capture Open Data failed,'
                    f'{rng.gauss(94, 0.5):.6g},,,,1.1,1.5,10,200,4000,1,\r\n')
            continue
        c = rng.gauss(1.3, 0.06)
        verdict = 'pass' if 1.1 <= c <= 1.5 else 'fail'
        f.write(f'{time},{station},"C:\\Stimuli\\sweep, é.wav",ok,{rng.gauss(94, 0.5):.8g},'
                f'{rng.gauss(88, 0.5):.8g},{c:.8g},{verdict},1.1,1.5,10,200,4000,1,\r\n')
