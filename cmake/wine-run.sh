#!/usr/bin/env bash
# Runs a Windows executable under Wine in the build tree's prefix (ctest's emulator).
# Without a display it makes a virtual one for this run only.
set -u
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$(dirname "$0")/wine-env.sh"
# Wine takes its ANSI code page from the locale (ja_JP gives 932): the tests hold the
# stand-in's 8-bit texts against code page 1252, whatever the machine's locale.
export LC_ALL=C.UTF-8
exec "${rostermint_wine[@]}" "$@"
