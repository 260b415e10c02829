#!/usr/bin/env bash
# The program's main job on the demo directory (demo/): builds Rostermint64.exe (and only
# what the demo needs besides), makes its Wine prefix with the MAPI stand-in, a 64-bit
# Microsoft 365 Outlook registered and fonts for every script of the demo's names, and starts it.
# With DISPLAY set, the window opens for you to use: Connect shows the stand-in's profile
# dialog, Save opens the file dialog. Without a display, a private virtual display is made
# and the driver (tests/driver) plays the user: Connect, the profile, the read, File > Save
# to txt file, the path typed into the dialog, "Export complete.", Ctrl+W. It then prints the
# exported file, a screenshot of the filled window and the six counters.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/win64/build.ninja ]; then
  echo "First run: installing what is missing, building Rostermint64.exe, the MAPI stand-in and the driver"
  echo "into build/win64, making a Wine prefix: 5 to 8 minutes on 2 cores (plus downloads), silently."
fi
# Only what the demo runs: the program, the stand-in it logs on to, and the driver.
./scripts/build.sh win64 --target rostermint mapisim rostermint_driver
out=$PWD/build/demo
mkdir -p "$out"
winpath() { echo "Z:${1//\//\\}"; }

run() {
  local prefix=$PWD/build/win64/run-prefix
  # Wine's own fonts (fonts-wine), which this Wine does not find by itself: Marlett draws the
  # caption buttons, Tahoma is the dialogs' font.
  local fonts=() font
  for font in /usr/share/wine/fonts/*; do fonts+=("windows/Fonts/${font##*/}=$font"); done
  bash cmake/prepare-wine-prefix.sh "$prefix" --stand-in win64 "${fonts[@]}"
  export WINEPREFIX=$prefix MAPISIM_SCENARIO
  MAPISIM_SCENARIO=$(winpath "$PWD/demo/scenario.txt")
  source cmake/wine-env.sh
  # What a 64-bit Microsoft 365 install writes (as the tests' Outlook registers it): CurVer in
  # both views, Bitness, Click-to-Run's Platform. The 64-bit flavour is the one to log on.
  # Wine shows a 64-bit program's 32-bit view of the classes under Wow6432Node, a key of its
  # own: both places are written by name.
  local classes
  for classes in 'HKLM\Software\Classes' 'HKLM\Software\Classes\Wow6432Node'; do
    "${rostermint_wine[@]}" reg add "$classes\Outlook.Application\CurVer" /ve /d Outlook.Application.16 /f /reg:64 >/dev/null 2>&1
  done
  "${rostermint_wine[@]}" reg add 'HKLM\SOFTWARE\Microsoft\Office\16.0\Outlook' /v Bitness /d x64 /f /reg:64 >/dev/null 2>&1
  "${rostermint_wine[@]}" reg add 'HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration' /v Platform /d x64 /f /reg:64 >/dev/null 2>&1
  # Chinese, Japanese and Korean names from the host's CJK font (fontconfig's), linked to Tahoma.
  "${rostermint_wine[@]}" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  if [ "${1:-}" = interactive ]; then
    exec "${rostermint_wine[@]}" build/win64/bin/Rostermint64.exe
  fi
  rm -f "$out/GAL.txt" "$out/rostermint.bmp"
  local status=0
  "${rostermint_wine[@]}" build/win64/tests/driver/rostermint_driver.exe "$(winpath "$PWD/build/win64/bin/Rostermint64.exe")" \
    connect profile:ok idle "save:$(winpath "$out/GAL.txt")" "status:Export complete." \
    "shot:$(winpath "$out/rostermint.bmp")" counters ctrlw exit:0 || status=$?
  wineserver -k 2>/dev/null || true
  [ -f "$out/rostermint.bmp" ] && convert "$out/rostermint.bmp" "$out/rostermint.png" && rm -f "$out/rostermint.bmp"
  echo "exported file: $out/GAL.txt ($(($(wc -l <"$out/GAL.txt" 2>/dev/null || echo 1) - 1)) entries)"
  echo "screenshot:    $out/rostermint.png"
  return $status
}

if [ -n "${DISPLAY:-}" ]; then
  run interactive
fi
source scripts/virtual-display.sh
trap stop_virtual_display EXIT
start_virtual_display
run
