#!/usr/bin/env bash
# The benchmarks: builds what they need and prints a table of medians of 3 runs, for
# 100,000 and 1,000,000 generated entries through the MAPI stand-in, in each flavour this
# machine can run. Where the kernel runs no 32-bit code, the 32-bit flavour runs under
# qemu-i386 user emulation (scripts/emulate-i386.sh) and its rows say so: its times are the
# emulator's, not comparable with native ones. Figures are printed, never asserted.
# Usage: scripts/bench.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."

# One flavour's runs, appended to the results file (the part that may run emulated).
if [ "${1:-}" = --flavour ]; then
  flavour=$2 label=$3 runs=$4 results=$5
  source cmake/wine-env.sh
  export WINEPREFIX=$PWD/build/$flavour/bench-prefix
  bash cmake/prepare-wine-prefix.sh "$WINEPREFIX" --stand-in "$flavour"
  for entries in 100000 1000000; do
    for run in $(seq "$runs"); do
      echo "$label $entries window $("${rostermint_wine[@]}" build/$flavour/bench/app/window_bench.exe $entries 200 | tail -1)" >>"$results"
      echo "$label $entries bare $("${rostermint_wine[@]}" build/$flavour/bench/mapisim/mapisim_bench.exe $entries | tail -1)" >>"$results"
      echo "$label $entries keep $("${rostermint_wine[@]}" build/$flavour/bench/mapisim/mapisim_bench.exe $entries 25 keep | tail -1)" >>"$results"
    done
  done
  # The console: a million generated entries read and written to a pipe file, its whole
  # process timed (registry set up by the tests' runner, which starts it).
  if [ "$flavour" = win64 ]; then bitness=x64 bits=64; else bitness=x86 bits=32; fi
  folder=$(mktemp -d)
  printf 'generate=1000000\n' >"$folder/million.scenario"
  for run in $(seq "$runs"); do
    start=$EPOCHREALTIME
    MAPISIM_SCENARIO="Z:${folder//\//\\}\\million.scenario" "${rostermint_wine[@]}" \
      "build/$flavour/tests/console/console_runner.exe" "$bitness" \
      "Z:${PWD//\//\\}\\build\\$flavour\\bin\\RostermintC$bits.exe" -o "Z:${folder//\//\\}\\GAL.txt" -q -nobanner >/dev/null
    echo "$label 1000000 console $(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }') s" >>"$results"
  done
  rm -rf "$folder"
  for run in $(seq "$runs"); do
    echo "$label 1000000 export $("${rostermint_wine[@]}" build/$flavour/bench/export/export_bench.exe 1000000 | tail -1)" >>"$results"
  done
  wineserver -k 2>/dev/null || true
  exit 0
fi

runs=${1:-3}
source cmake/wine-env.sh
./scripts/build.sh
source scripts/virtual-display.sh
trap stop_virtual_display EXIT
start_virtual_display
results=$(mktemp)
"$0" --flavour win64 win64 "$runs" "$results"
if [ "$ROSTERMINT_WIN32_RUNS" = 1 ]; then
  "$0" --flavour win32 win32 "$runs" "$results"
elif why=$(scripts/emulate-i386.sh --check); then
  echo "(this kernel runs no 32-bit code: the 32-bit flavour runs under qemu-i386 emulation, win32-emul)"
  scripts/emulate-i386.sh "$0" --flavour win32 win32-emul "$runs" "$results"
else
  echo "(this kernel runs no 32-bit code, and $why: 64-bit figures only)"
fi
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
    elif kind in ("bare", "keep"):
        m = re.search(r", ([\d.]+) s,", text)
        if m: d.setdefault(kind + "_s", []).append(float(m.group(1)))
    elif kind == "console":
        d.setdefault("console_s", []).append(float(text.split()[0]))
    elif kind == "export":
        m = re.search(r"in ([\d.]+) s", text)
        if m: d.setdefault("export_s", []).append(float(m.group(1)))
        m = re.search(r"baseline ([\d.]+) s", text)
        if m: d.setdefault("baseline_s", []).append(float(m.group(1)))
        m = re.search(r"csv ([\d.]+) s, console csv ([\d.]+) s", text)
        if m:
            d.setdefault("csv_s", []).append(float(m.group(1)))
            d.setdefault("console_csv_s", []).append(float(m.group(2)))
med = lambda d, k: statistics.median(d[k]) if d.get(k) else float("nan")
print(f"{'flavour':8} {'entries':>9} {'read s':>8} {'bare s':>7} {'keep s':>7} {'ratio':>6} {'/keep':>6} {'lag ms':>7} "
      f"{'waiting':>8} {'mem B/e':>8} {'text B/e':>9} {'touch us':>9} {'paging s':>9} {'page ms':>8} "
      f"{'export s':>9} {'baseline s':>10} {'console s':>9} {'peak MiB':>8} {'commit MiB':>10} {'space MiB':>9} "
      f"{'sort s':>7} {'sort DN s':>9} {'sort max s':>10} {'sort cpu s':>10} {'sort gap ms':>11} {'select s':>8} {'copy s':>7} "
      f"{'copy cpu s':>10} "
      f"{'csv s':>7} {'console csv s':>13} {'/console':>8}")
for (flavour, entries), d in sorted(rows.items()):
    read, bare, keep = med(d, "read_s"), med(d, "bare_s"), med(d, "keep_s")
    # What first writes to the entries' fresh pages cost at this machine's price per page.
    paging = med(d, "mem_B") * entries / 4096 * med(d, "touch_us") / 1e6
    print(f"{flavour:8} {entries:>9} {read:>8.3f} {bare:>7.3f} {keep:>7.3f} {read / bare:>6.1f} {read / keep:>6.2f} "
          f"{med(d, 'lag_ms'):>7.0f} {med(d, 'waiting'):>8.0f} {med(d, 'mem_B'):>8.0f} {med(d, 'text_B'):>9.0f} "
          f"{med(d, 'touch_us'):>9.2f} {paging:>9.3f} {med(d, 'page_ms'):>8.2f} "
          f"{med(d, 'export_s'):>9.3f} {med(d, 'baseline_s'):>10.3f} {med(d, 'console_s'):>9.3f} "
          f"{med(d, 'peak_MiB'):>8.0f} {med(d, 'commit_MiB'):>10.0f} {med(d, 'space_MiB'):>9.0f} "
          f"{med(d, 'sort_s'):>7.3f} {med(d, 'sort_dn_s'):>9.3f} {med(d, 'sort_max_s'):>10.3f} "
          f"{med(d, 'sort_cpu_max_s'):>10.3f} {med(d, 'sort_gap_ms'):>11.0f} {med(d, 'select_s'):>8.3f} {med(d, 'copy_s'):>7.3f} "
          f"{med(d, 'copy_cpu_s'):>10.3f} {med(d, 'csv_s'):>7.3f} "
          f"{med(d, 'console_csv_s'):>13.3f} {med(d, 'csv_s') / med(d, 'console_csv_s'):>8.2f}")
    if flavour.startswith("win32") and entries == 1000000:
        commit = max(d.get("commit_MiB", [float("nan")]))
        space = max(d.get("space_MiB", [float("nan")]))
        print(f"  {flavour}: {int(med(d, 'items')):,} entries read; at most {commit:.0f} MiB committed "
              f"({commit / 2048:.0%} of the 2 GiB of a 32-bit process) and {space:.0f} MiB of address space "
              f"in use ({space / 2048:.0%} of 2 GiB, {space / 4096:.0%} of the 4 GiB it has large-address-aware)")
print(f"medians of the runs; every figure under Wine on this machine"
      + ("; win32-emul: the 32-bit flavour under qemu-i386 emulation, not comparable with native figures"
         if any(f == "win32-emul" for f, _ in rows) else ""))
PY
rm -f "$results"
