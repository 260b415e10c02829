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
flavours=(win64 win32)
if [ "$ROSTERMINT_WIN32_RUNS" = 0 ]; then
  # Built all the same; only running it needs a kernel that runs 32-bit code.
  echo "== NOTE: this kernel runs no 32-bit programs (Wine's 32-bit loader cannot start):"
  echo "== NOTE: the 32-bit flavour is built but its tests are not run, and tests that start"
  echo "== NOTE: a 32-bit program from the 64-bit flavour skip themselves."
  flavours=(win64)
fi
status=0
for flavour in "${flavours[@]}"; do
  echo "== tests: $flavour"
  ctest --preset "$flavour" --output-on-failure "$@" || status=1
done
exit $status
