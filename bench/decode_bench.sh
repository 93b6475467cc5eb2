#!/usr/bin/env bash
# Opening a history file: the viewer's decoding of realistic captures (decode_bench under Wine:
# the program's own reader beside GDI+) and Pillow decoding the very same files natively, in two
# rounds, each the Wine run and then Pillow's. Prints the load beside each round.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
keep=$(mktemp -d)
trap 'rm -rf "$keep"' EXIT
for round in 1 2; do
    echo "round $round, load $(cut -d' ' -f1-3 /proc/loadavg)"
    # Wine shows the Unix root as drive Z:.
    "$root/scripts/with-wine.sh" "$build" "$build/win/bench/decode_bench.exe" "Z:${keep//\//\\}" |
        tr -d '\r'
    # The system's Python, which Debian's Pillow is installed for.
    /usr/bin/python3 - "$keep" <<'PYTHON'
import glob, os, statistics, sys, time
from PIL import Image
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.png"))):
    times, processor = [], []
    for _ in range(7):
        start, used = time.perf_counter(), time.process_time()
        with Image.open(path) as image:
            image.load()
        times.append((time.perf_counter() - start) * 1000)
        processor.append((time.process_time() - used) * 1000)
    print(f"Pillow {os.path.basename(path)}: {statistics.median(times):.1f} ms "
          f"(processor {statistics.median(processor):.1f} ms, fastest {min(times):.1f} ms)")
PYTHON
done
