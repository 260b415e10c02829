#!/usr/bin/env bash
# Packs the download: both executables and the read-me, side by side at the zip's root,
# as the start-up gate expects to find them. usage: make-package.sh BIN_FOLDER README OUT.zip
set -eu
bin=$1 readme=$2 out=$3
for f in "$bin/Rostermint32.exe" "$bin/Rostermint64.exe" "$readme"; do
  [ -f "$f" ] || { echo "make-package.sh: $f is missing (build both flavours first)" >&2; exit 1; }
done
python3 - "$out" "$bin/Rostermint32.exe" "$bin/Rostermint64.exe" "$readme" <<'PY'
import os, sys, zipfile
out, *files = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for f in files:
        z.write(f, os.path.basename(f))
PY
