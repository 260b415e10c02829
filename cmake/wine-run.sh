#!/usr/bin/env bash
# Runs a Windows executable under Wine in the build tree's prefix (ctest's emulator).
# Without a display it makes a virtual one for this run only.
set -u
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
source "$(dirname "$0")/../scripts/virtual-display.sh"
trap stop_virtual_display EXIT
# A stopped run (a ctest timeout) takes its display with it.
trap 'exit 143' TERM HUP INT
start_virtual_display
source "$(dirname "$0")/wine-env.sh"
# Wine takes its ANSI code page from the locale (ja_JP gives 932): the tests hold the
# stand-in's 8-bit texts against code page 1252, whatever the machine's locale.
export LC_ALL=C.UTF-8
"${rostermint_wine[@]}" "$@"
