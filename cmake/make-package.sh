#!/usr/bin/env bash
# Packs the download: both executables, both consoles and the read-me, side by side at the
# zip's root, as the bitness gates expect to find them. usage: make-package.sh BIN_FOLDER README OUT.zip
set -eu
bin=$1 readme=$2 out=$3
files=("$bin/Rostermint32.exe" "$bin/Rostermint64.exe" "$bin/RostermintC32.exe" "$bin/RostermintC64.exe" "$readme")
for f in "${files[@]}"; do
  [ -f "$f" ] || { echo "make-package.sh: $f is missing (build both flavours first)" >&2; exit 1; }
done
python3 - "$out" "${files[@]}" <<'PY'
import os, sys, zipfile
out, *files = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for f in files:
        z.write(f, os.path.basename(f))
PY
