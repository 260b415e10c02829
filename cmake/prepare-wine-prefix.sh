#!/usr/bin/env bash
# Makes a Wine prefix once, then copies files into it on every run: the tests' prefixes, and
# the run and benchmark commands' ones.
# usage: prepare-wine-prefix.sh PREFIX [--stand-in FLAVOUR] [DEST=SOURCE ...]
#   DEST is relative to drive_c; --stand-in win64|win32 puts build/FLAVOUR's MAPI stand-in
#   where that flavour loads mapi32.dll from (system32, or syswow64 for 32-bit programs).
set -eu
prefix=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
pairs=()
while [ $# -gt 0 ]; do
  case $1 in
    --stand-in)
      case $2 in win64) dest=system32 ;; win32) dest=syswow64 ;; *) echo "prepare-wine-prefix.sh: no flavour $2" >&2; exit 2 ;; esac
      pairs+=("windows/$dest/mapi32.dll=$root/build/$2/mapisim/dll/MAPI32.dll")
      shift 2 ;;
    *) pairs+=("$1"); shift ;;
  esac
done
export WINEPREFIX=$prefix
source "$root/cmake/wine-env.sh"
source "$root/scripts/virtual-display.sh"
trap stop_virtual_display EXIT
# Wine, on a private display when there is none, started only when something is to be made.
wine_now() {
  start_virtual_display
  "${rostermint_wine[@]}" "$@"
}
# Where 32-bit programs run (natively or under emulation), every prefix must run them: a
# 32-bit tree's tests, and the 32-bit sibling that the 64-bit tree's tests start. A prefix
# made where they could not run has an empty syswow64, and then nothing 32-bit starts in it
# ("could not load kernel32.dll"): it is made again.
usable() {
  [ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c/windows/syswow64" ] &&
    { [ "$ROSTERMINT_WIN32_RUNS" = 0 ] || [ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; }
}
if ! usable; then
  if [ -f "$prefix/system.reg" ]; then
    echo "remaking $prefix: it cannot run 32-bit programs"
    wineserver -k 2>/dev/null || true
  fi
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  wine_now wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  usable || { echo "wineboot could not make $prefix (with its 32-bit part)" >&2; exit 1; }
fi
# No window manager runs on the test display; unmanaged windows spare the tests Wine's
# two-second wait for one each time a top-level window is hidden.
if ! grep -q '"Managed"="N"' "$prefix/user.reg"; then
  wine_now reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
for pair in "${pairs[@]}"; do
  dest=$prefix/drive_c/${pair%%=*}
  mkdir -p "$(dirname "$dest")"
  # Wine's file lookups ignore case: a second file whose name differs only in case would
  # leave it to Wine which of the two is found.
  find "$(dirname "$dest")" -maxdepth 1 -iname "$(basename "$dest")" ! -name "$(basename "$dest")" -delete
  cp -f "${pair#*=}" "$dest"
done
