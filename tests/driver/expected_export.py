#!/usr/bin/env python3
"""Writes what the program must produce from a directory file of the MAPI stand-in, from
the rules as a user reads them: each entry's kind, name, address and DN, missing values
empty (an entry without a type is "unknown" throughout).
usage: expected_export.py DIRECTORY OUTPUT                 the export file: a byte order
                                                           mark, the header, one |-line each
       expected_export.py DIRECTORY OUTPUT --rows SELECT   copied rows: tab-separated under
                                                           a header; SELECT is FIRST-LAST
                                                           (arrival order, from 0), "all",
                                                           or email=ADDRESS"""
import sys

KINDS = {0: "mailuser", 1: "dist list", 2: "forum", 3: "agent", 6: "remote"}


def field(raw):
    return None if raw == "!" else raw


def entries(directory):
    with open(directory, encoding="utf-8") as rows:
        for row in rows:
            row = row.rstrip("\r\n")
            if not row or row.startswith("#"):
                continue
            kind, name, smtp, dn = (field(f) for f in row.split("\t"))
            if kind is None:
                yield ["unknown", name or "unknown", smtp or "unknown", dn or "unknown"]
            else:
                yield [KINDS.get(int(kind), "unknown"), name or "", smtp or "", dn or ""]


def selected(all_rows, select):
    if select == "all":
        return all_rows
    if select.startswith("email="):
        return [r for r in all_rows if r[2] == select[6:]]
    first, last = (int(n) for n in select.split("-"))
    return all_rows[first:last + 1]


def main(directory, output, select=None):
    rows = list(entries(directory))
    if select is None:
        lines = ["TYPE|USERNAME|EMAIL|DN"] + ["|".join(texts) for texts in rows]
        data = b"\xef\xbb\xbf" + "".join(l + "\r\n" for l in lines).encode("utf-8")
    else:
        lines = ["TYPE\tUSERNAME\tEMAIL\tDN"] + ["\t".join(texts) for texts in selected(rows, select)]
        data = "".join(l + "\r\n" for l in lines).encode("utf-8")
    with open(output, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[4] if len(sys.argv) > 4 and sys.argv[3] == "--rows" else None)
