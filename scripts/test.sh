#!/usr/bin/env bash
# The test command: installs what is missing, builds both flavours and runs every test
# under Wine on a virtual display. Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh

# One virtual display and one Wine server for the whole run.
source scripts/virtual-display.sh
cleanup() {
  for flavour in win64 win32; do
    WINEPREFIX=$PWD/build/$flavour/wineprefix wineserver -k 2>/dev/null || true
  done
  stop_virtual_display
}
trap cleanup EXIT
unset DISPLAY
start_virtual_display

source cmake/wine-env.sh
run=()
flavours=(win64 win32)
if [ "$ROSTERMINT_WIN32_RUNS" = 0 ]; then
  if why=$(scripts/emulate-i386.sh --check); then
    # Both flavours run in the emulation: the 64-bit programs natively, and the 64-bit
    # tests then also start the real 32-bit sibling.
    echo "== NOTE: this kernel runs no 32-bit code: 32-bit programs run under qemu-i386 user"
    echo "== NOTE: emulation (scripts/emulate-i386.sh), 64-bit ones natively"
    run=(scripts/emulate-i386.sh)
  else
    echo "== NOTE: the 32-bit flavour's tests are skipped: this kernel runs no 32-bit code, and $why"
    flavours=(win64)
  fi
fi
status=0
for flavour in "${flavours[@]}"; do
  echo "== tests: $flavour"
  start=$SECONDS
  "${run[@]}" ctest --preset "$flavour" --output-on-failure "$@" || status=1
  if [ "$flavour" = win32 ] && [ ${#run[@]} -gt 0 ]; then
    echo "== the 32-bit tests ran under qemu-i386 emulation, in $((SECONDS - start)) s"
  fi
done
exit $status
