#!/usr/bin/env bash
# The benchmarks: builds what they need and prints a table of medians of 3 runs, for
# 100,000 and 1,000,000 generated entries through the MAPI stand-in, in each flavour this
# machine can run. Figures are printed, never asserted. Usage: scripts/bench.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
./scripts/build.sh
source scripts/virtual-display.sh
trap stop_virtual_display EXIT
start_virtual_display
source cmake/wine-env.sh
flavours=(win64 win32)
[ "$ROSTERMINT_WIN32_RUNS" = 1 ] || { echo "(this kernel runs no 32-bit programs: 64-bit figures only)"; flavours=(win64); }
results=$(mktemp)
for flavour in "${flavours[@]}"; do
  export WINEPREFIX=$PWD/build/$flavour/bench-prefix
  if [ "$flavour" = win64 ]; then dest=system32; else dest=syswow64; fi
  bash cmake/prepare-wine-prefix.sh "$WINEPREFIX" "windows/$dest/mapi32.dll=$PWD/build/$flavour/mapisim/dll/MAPI32.dll"
  for entries in 100000 1000000; do
    for run in $(seq "$runs"); do
      echo "$flavour $entries window $("${rostermint_wine[@]}" build/$flavour/bench/app/window_bench.exe $entries 200 | tail -1)" >>"$results"
      echo "$flavour $entries bare $("${rostermint_wine[@]}" build/$flavour/bench/mapisim/mapisim_bench.exe $entries | tail -1)" >>"$results"
    done
  done
  for run in $(seq "$runs"); do
    echo "$flavour 1000000 export $("${rostermint_wine[@]}" build/$flavour/bench/export/export_bench.exe 1000000 | tail -1)" >>"$results"
  done
  wineserver -k 2>/dev/null || true
done
python3 - "$results" <<'PY'
import re, statistics, sys
rows = {}
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    flavour, entries, kind, text = line.split(" ", 3)
    key = (flavour, int(entries))
    d = rows.setdefault(key, {})
    if kind == "window":
        for name, value in re.findall(r"(\w+)=([\d.]+)", text):
            d.setdefault(name, []).append(float(value))
    elif kind == "bare":
        m = re.search(r", ([\d.]+) s,", text)
        if m: d.setdefault("bare_s", []).append(float(m.group(1)))
    elif kind == "export":
        m = re.search(r"in ([\d.]+) s", text)
        if m: d.setdefault("export_s", []).append(float(m.group(1)))
        m = re.search(r"baseline ([\d.]+) s", text)
        if m: d.setdefault("baseline_s", []).append(float(m.group(1)))
med = lambda d, k: statistics.median(d[k]) if d.get(k) else float("nan")
print(f"{'flavour':8} {'entries':>9} {'read s':>8} {'bare s':>7} {'ratio':>6} {'lag ms':>7} {'waiting':>8} "
      f"{'mem B/e':>8} {'text B/e':>9} {'touch us':>9} {'paging s':>9} {'page ms':>8} {'export s':>9} {'baseline s':>10} "
      f"{'sort s':>7} {'sort DN s':>9} {'copy s':>7}")
for (flavour, entries), d in sorted(rows.items()):
    read, bare = med(d, "read_s"), med(d, "bare_s")
    # What first writes to the entries' fresh pages cost at this machine's price per page.
    paging = med(d, "mem_B") * entries / 4096 * med(d, "touch_us") / 1e6
    print(f"{flavour:8} {entries:>9} {read:>8.3f} {bare:>7.3f} {read / bare:>6.1f} {med(d, 'lag_ms'):>7.0f} "
          f"{med(d, 'waiting'):>8.0f} {med(d, 'mem_B'):>8.0f} {med(d, 'text_B'):>9.0f} {med(d, 'touch_us'):>9.2f} "
          f"{paging:>9.3f} {med(d, 'page_ms'):>8.2f} {med(d, 'export_s'):>9.3f} {med(d, 'baseline_s'):>10.3f} "
          f"{med(d, 'sort_s'):>7.3f} {med(d, 'sort_dn_s'):>9.3f} {med(d, 'copy_s'):>7.3f}")
print(f"medians of the runs; every figure under Wine on this machine")
PY
rm -f "$results"
