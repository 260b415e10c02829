#!/usr/bin/env python3
"""Writes the export file that the program must produce from a directory file of the MAPI
stand-in, from the rules as a user reads them: a byte order mark, the header, one line per
entry with its kind, name, address and DN, missing values empty (an entry without a type is
"unknown" throughout). usage: expected_export.py DIRECTORY OUTPUT"""
import sys

KINDS = {0: "mailuser", 1: "dist list", 2: "forum", 3: "agent", 6: "remote"}


def field(raw):
    return None if raw == "!" else raw


def main(directory, output):
    lines = ["TYPE|USERNAME|EMAIL|DN"]
    with open(directory, encoding="utf-8") as rows:
        for row in rows:
            row = row.rstrip("\r\n")
            if not row or row.startswith("#"):
                continue
            # The fifth field, when there, is the extended display type: not exported.
            kind, name, smtp, dn = (field(f) for f in row.split("\t")[:4])
            if kind is None:
                texts = ["unknown", name or "unknown", smtp or "unknown", dn or "unknown"]
            else:
                texts = [KINDS.get(int(kind), "unknown"), name or "", smtp or "", dn or ""]
            lines.append("|".join(texts))
    with open(output, "wb") as out:
        out.write(b"\xef\xbb\xbf" + "".join(l + "\r\n" for l in lines).encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
