#!/usr/bin/env python3
"""What the program must produce from a directory file of the MAPI stand-in, from the rules
as a user reads them: each entry's kind, name, address and DN, missing values empty (an
entry without a type is "unknown" throughout), and for csv and tsv the detailed kind and a
leading ' before a text a spreadsheet would run as a formula.
usage: expected_export.py DIRECTORY OUTPUT                the export file: a byte order mark,
                                                          the header, one |-line per entry
       expected_export.py DIRECTORY OUTPUT --rows SELECT  copied rows: tab-separated lines
                                                          under a header; SELECT is FIRST-LAST
                                                          (arrival order, from 0), "all" or
                                                          email=ADDRESS
       expected_export.py DIRECTORY CSV --csv-by-email    checks a saved CSV file with Python's
                                                          csv module: every entry, ordered by
                                                          email address"""
import csv
import os
import sys

KINDS = {0: "mailuser", 1: "dist list", 2: "forum", 3: "agent", 6: "remote"}
DETAILED = {0: "other mail user", 1: "distribution group", 2: "forum", 3: "agent", 6: "remote mail user"}
# What PR_DISPLAY_TYPE_EX's low byte (the local display type) makes of a mail user or a group.
REFINED = {(0, 0): "mailbox user", (0, 7): "room", (0, 8): "equipment", (1, 9): "security group"}
ESCAPES = {"t": "\t", "n": "\n", "r": "\r", "\\": "\\", "!": "!"}
HEADER = ["Type", "Username", "Email Address", "Distinguished Name", "Kind"]


def field(raw):
    if raw == "!":
        return None
    out, i = "", 0
    while i < len(raw):
        if raw[i] == "\\":
            out += ESCAPES[raw[i + 1]]
            i += 2
        else:
            out += raw[i]
            i += 1
    return out


def entries(directory):
    """Each entry as [type, name, email, dn, detailed kind]."""
    with open(directory, encoding="utf-8") as rows:
        for row in rows:
            row = row.rstrip("\r\n")
            if not row or row.startswith("#"):
                continue
            fields = row.split("\t")
            kind, name, smtp, dn = (field(f) for f in fields[:4])
            # The fifth field, when there, is the extended display type (decimal or 0x hex).
            extended = field(fields[4]) if len(fields) > 4 else None
            local = int(extended, 0) & 0xFF if extended else None
            if kind is None:
                yield ["unknown", name or "unknown", smtp or "unknown", dn or "unknown", "unknown"]
            else:
                yield [KINDS.get(int(kind), "unknown"), name or "", smtp or "", dn or "",
                       REFINED.get((int(kind), local), DETAILED.get(int(kind), "unknown"))]


def guarded(text):
    return "'" + text if text[:1] in ("=", "+", "-", "@", "\t", "\r") else text


def tsv(texts):
    return "\t".join(guarded(t).replace("\t", " ").replace("\r", " ").replace("\n", " ") for t in texts)


def selected(rows, select):
    if select == "all":
        return rows
    if select.startswith("email="):
        return [r for r in rows if r[2] == select[6:]]
    first, last = (int(n) for n in select.split("-"))
    return rows[first:last + 1]


def check_csv(rows, path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        got = list(csv.reader(f))
    expected = [HEADER] + [[guarded(t) for t in r] for r in sorted(rows, key=lambda r: r[2])]
    for i, (a, b) in enumerate(zip(got, expected)):
        if a != b:
            sys.exit(f"csv row {i}: got {a!r}, expected {b!r}")
    if len(got) != len(expected):
        sys.exit(f"csv: {len(got)} rows, expected {len(expected)}")
    folder = os.path.dirname(os.path.abspath(path))
    leftovers = [n for n in os.listdir(folder) if n.lower().startswith("rmt") and n.lower().endswith(".tmp")]
    if leftovers:
        sys.exit(f"temporary files left: {leftovers}")
    print(f"csv: {len(got) - 1} entries read back as the directory holds them")


def main(directory, output, mode=None, select=None):
    rows = list(entries(directory))
    if mode == "--csv-by-email":
        check_csv(rows, output)
        return
    if mode == "--rows":
        lines = ["\t".join(HEADER)] + [tsv(texts) for texts in selected(rows, select)]
        data = "".join(l + "\r\n" for l in lines).encode("utf-8")
    else:
        lines = ["TYPE|USERNAME|EMAIL|DN"] + ["|".join(texts[:4]) for texts in rows]
        data = b"\xef\xbb\xbf" + "".join(l + "\r\n" for l in lines).encode("utf-8")
    with open(output, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main(*sys.argv[1:])
