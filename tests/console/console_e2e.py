#!/usr/bin/env python3
"""End-to-end tests of the console companion on the MAPI stand-in.
usage: console_e2e.py all|relaunch SOURCE_DIR BIN_DIR RUNNER.exe OWN_BITS OTHER_BITS WINDOW_EXPORT WORK_DIR
Prints "console: ok" at the end; exits 77 when the case cannot run on this machine."""
import csv, io, os, re, shutil, stat, subprocess, sys

mode, src, bindir, runner, own, other, window_export, work = sys.argv[1:]
bits = "64" if own == "x64" else "32"
console = os.path.join(bindir, f"RostermintC{bits}.exe")
os.makedirs(work, exist_ok=True)


def win(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def scenario(name, text):
    path = os.path.join(work, name + ".scenario")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return path


def run(outlook, args, scenario_file, exe=console, env=None, stdout=None, stop=None):
    """stdout: a file for the standard output instead of a pipe; stop: how the runner stops the
    read (c or kill), with the returned code then the whole one the runner saw."""
    environment = dict(os.environ, MAPISIM_SCENARIO=win(scenario_file), **(env or {}))
    environment.pop("ROSTERMINT_RELAUNCHED", None)
    stopping = ["-stop", stop, win(work)] if stop else []
    done = subprocess.run(["bash", os.path.join(src, "cmake/wine-run.sh"), runner, outlook, *stopping, win(exe),
                           *args], env=environment, stdout=stdout or subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=300)
    out, err = (s.decode("utf-8").replace("\r\n", "\n") for s in (done.stdout or b"", done.stderr))
    if stop:
        whole = re.search(r"console_runner: exit code (0x[0-9A-F]+)", err)
        done.returncode = int(whole.group(1), 16) if whole else done.returncode
    print(f"$ {os.path.basename(exe)} {' '.join(args)} -> {done.returncode}\n{out}{err}", flush=True)
    return done.returncode, out, err


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)


def error_lines(err):
    return [l for l in err.splitlines() if l.startswith("Error:")]


demo = scenario("demo", f"directory={win(os.path.join(src, 'demo/gal.txt'))}\nledger=ledger.txt\n")


def ledger():
    return open(os.path.join(work, "ledger.txt"), encoding="utf-8").read().splitlines()

if mode == "relaunch":
    # The real other flavour, where this machine runs it: its banner and exit code come through.
    sibling = os.path.join(bindir, f"RostermintC{'32' if bits == '64' else '64'}.exe")
    if os.environ.get("ROSTERMINT_WIN32_RUNS") == "0" or not os.path.exists(sibling):
        print(f"console: the other flavour cannot run here (skipped: ROSTERMINT_WIN32_RUNS={os.environ.get('ROSTERMINT_WIN32_RUNS')}, {sibling} {'exists' if os.path.exists(sibling) else 'missing'})")
        sys.exit(77)
    code, out, err = run(other, ["-c"], demo)
    check(f"({'32' if bits == '64' else '64'}-bit)" in err and code != 1, "the sibling ran")
    print("console: ok")
    sys.exit(0)

# Pipe: the window's export of the same directory, byte for byte; the counts on stdout.
pipe = os.path.join(work, "GAL.txt")
code, out, err = run(own, ["-o", win(pipe)], demo)
check(code == 0, "pipe exit 0")
check(err.count("Rostermint console") == 1 and f"({bits}-bit)" in err, "this flavour read it, nothing else started")
# The default profile without a dialog (MAPI_USE_DEFAULT, no MAPI_LOGON_UI), and a clean end.
check({"call=MAPILogonEx flags=0x00008062", "logoffs=1", "uninitialize_calls=1", "buffers_outstanding=0",
       "objects_outstanding="} <= set(ledger()), "logon and ledger")
check(open(pipe, "rb").read() == open(window_export, "rb").read(), "pipe equals the window's export")
counts = dict((m[0], int(m[1])) for m in re.findall(r"^ *([A-Za-z ]+?) +(\d+)$", out, re.M))
check([counts[k] for k in ("Mail Users", "Distribution Lists", "Forum", "Agents", "Remote Mail Users",
                           "Total GAL Items")] == [290, 11, 4, 3, 4, 314], "the window's counts")
check(sum(counts[k] for k in ("mailbox user", "room", "equipment", "other mail user")) == 290 and
      counts["distribution group"] + counts["security group"] == 11 and
      min(counts["room"], counts["equipment"], counts["security group"]) > 0, "the detailed kinds add up")

# Connections lost at three rows: the reopened tables resume where the read stopped, so the
# file is still the window's export and the stand-in served every row once.
lost = scenario("lost", f"directory={win(os.path.join(src, 'demo/gal.txt'))}\nreconnect_at=40\n"
                        "network_error_at=120\nend_session_at=300\nledger=ledger.txt\n")
code, out, err = run(own, ["-o", win(pipe), "-q"], lost)
check(code == 0 and open(pipe, "rb").read() == open(window_export, "rb").read(), "lost connections: the whole file")
check({"rows_served=314", "buffers_outstanding=0", "objects_outstanding=", "logoffs=1"} <= set(ledger()),
      "lost connections: each row served once, the ledger balanced")

# CSV read back by Python gives every entry's texts, with formulas guarded.
texts = [["Lee, Ann", 'Say "hi"', "a|b|c"], ["Two\nlines", "=1+2", "x\r\ny"], ["-minus", "+plus", "@at"],
         ["Zo\u00eb \u00c5ngstr\u00f6m", "", "\tt"], ["\u4f60\u597d", "q@x.example", "/o=Org/cn=\"q\""]]
esc = lambda t: t.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")
with open(os.path.join(work, "odd.txt"), "w", encoding="utf-8") as f:
    f.writelines("0\t" + "\t".join(esc(t) for t in row) + "\n" for row in texts)
odd = scenario("odd", f"directory={win(os.path.join(work, 'odd.txt'))}\nprofiles=Outlook,Second\nledger=ledger.txt\n")
csv_file = os.path.join(work, "GAL.csv")
code, out, err = run(own, ["/O", win(csv_file), "-F", "CSV", "-c", "-q", "-nobanner", "-P", "Second"], odd)
check(code == 0 and err == "", f"csv exit 0, nothing on stderr ({code}: {err!r})")
check({"call=MAPILogonEx flags=0x80008022", "profile=Second"} <= set(ledger()), "the named profile")
raw = open(csv_file, "rb").read()
check(raw.startswith(b"\xef\xbb\xbfType,Username,Email Address,Distinguished Name,Kind\r\n"), "csv header")
rows = list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline="")))[1:]
guard = lambda t: "'" + t if t[:1] in ("=", "+", "-", "@", "\t", "\r") else t
check([r[1:4] for r in rows] == [[guard(t) for t in row] for row in texts], "csv texts read back")
check(all(r[0] == "mailuser" and r[4] for r in rows), "csv type and kind")
kinds = dict(csv.reader(io.StringIO(out)))
check(kinds.pop("kind") == "count" and kinds.pop("total") == "5" and sum(map(int, kinds.values())) == 5,
      "csv counts")

# Every detail of every demo entry, read back by Python: catalogue order after Kind, the proxy
# addresses joined in the directory's order, missing and empty values as empty fields.
NAMES = ("title department company office phone mobile alias street city state postcode country addresses " +
         " ".join(f"custom{i}" for i in range(1, 16))).split()
HEADINGS = ["Title", "Department", "Company", "Office", "Business Phone", "Mobile Phone", "Alias", "Street", "City",
            "State", "Postal Code", "Country", "Proxy Addresses"] + [f"Custom Attribute {i}" for i in range(1, 16)]
unescape = lambda t: re.sub(r"\\(.)", lambda m: {"t": "\t", "n": "\n", "r": "\r"}.get(m[1], m[1]), t)
expected = []
for entry in open(os.path.join(src, "demo/gal.txt"), encoding="utf-8").read().splitlines():
    if not entry or entry.startswith("#"):
        continue
    values = dict(f.split("=", 1) for f in entry.split("\t")[5:])
    values = {k: "; ".join(unescape(p) for p in re.split(r"(?<!\\);", v)) if k == "addresses" else unescape(v)
              for k, v in values.items() if v != "!"}
    expected.append([guard(values.get(name, "")) for name in NAMES])
code, out, err = run(own, ["-d", "all", "-f", "csv", "-o", win(csv_file), "-q"], demo)
check(code == 0, "-d all: exit 0")
table = list(csv.reader(io.StringIO(open(csv_file, "rb").read().decode("utf-8-sig"), newline="")))
check(table[0] == ["Type", "Username", "Email Address", "Distinguished Name", "Kind"] + HEADINGS, "-d all: header")
check([r[5:] for r in table[1:]] == expected, "-d all: every detail exactly as the directory holds it")
check(any("; " in r[5 + NAMES.index("addresses")] for r in table[1:]) and any(not c for r in table[1:] for c in r[5:]),
      "-d all: joined and empty values are there")
code, out, err = run(own, ["-d", "title,COMPANY", "-f", "tsv", "-o", win(csv_file), "-q"], demo)
check(code == 0 and open(csv_file, "rb").read().split(b"\r\n")[0].endswith(b"Kind\tTitle\tCompany"), "-d two: tsv")
for args in (["-d", "bogus", "-f", "csv"], ["-d", "title", "-f", "pipe"], ["-d", "title", "-o", win(csv_file)]):
    code, out, err = run(own, args, demo)
    check(code == 1 and "usage:" in err and "custom15" in err, f"{args}: bad usage")

# Exit codes, each with one error line.
code, out, err = run(own, ["-x"], demo)
check(code == 1 and "usage:" in err and "7  read" in err and "8  read exactly 500" in err, "bad switch: 1 and the usage")
code, out, err = run(own, ["-nobanner"], scenario("init", "initialize=0x80004005\n"))
check(code == 3 and len(error_lines(err)) == 1 and "0x80004005" in err, "MAPIInitialize failing: 3")
code, out, err = run(own, ["-p", "No Such Profile"], demo)
check(code == 4 and len(error_lines(err)) == 1 and "0x80040111" in err, "unknown profile: 4")
previous = b"the previous file\r\n"
open(pipe, "wb").write(previous)
code, out, err = run(own, ["-o", win(pipe)], scenario("nogal", "gal_count=0\n"))
check(code == 5 and len(error_lines(err)) == 1, "no GAL: 5")
check(open(pipe, "rb").read() == previous, "a failed read leaves the previous file")
check(not [x for x in os.listdir(work) if x.endswith(".tmp")], "no temporary file left")
code, out, err = run(own, ["-o", "Z:\\dev\\full"], demo)
check(code == 6 and len(error_lines(err)) == 1, "disk full: 6")
check(stat.S_ISCHR(os.stat("/dev/full").st_mode), "/dev/full IS NO LONGER A CHARACTER DEVICE")
# Nothing lost in silence: counts or usage that the standard output cannot take are exit 6.
for args in (["-c"], ["-?"]):
    with open("/dev/full", "wb") as full:
        code, out, err = run(own, args + ["-nobanner"], demo, stdout=full)
    check(code == 6 and "standard output could not be written" in err, f"{args} to a full disk: 6")
check(stat.S_ISCHR(os.stat("/dev/full").st_mode), "/dev/full IS NO LONGER A CHARACTER DEVICE")
# Memory: MAPI's own shortage ends the read as the store's does, with the entries kept.
code, out, err = run(own, ["-o", win(pipe)], scenario("oom", "fail=QueryRows:8007000E\nledger=ledger.txt\n"))
check(code == 5 and error_lines(err) == ["Error: out of memory after 0 entries (0x8007000E)"], "out of memory: 5")
check(open(pipe, "rb").read() == previous and {"logoffs=1", "buffers_outstanding=0"} <= set(ledger()),
      "out of memory: previous file and ledger")
# A read-only file is never replaced, and keeps its attribute.
readonly = os.path.join(work, "ro.txt")
if os.path.exists(readonly):
    os.chmod(readonly, 0o644)
open(readonly, "wb").write(previous)
os.chmod(readonly, 0o444)
code, out, err = run(own, ["-o", win(readonly)], demo)
check(code == 6 and "cannot create" in err and "access denied" in err.lower(), f"read-only: 6 ({err!r})")
check(open(readonly, "rb").read() == previous and stat.S_IMODE(os.stat(readonly).st_mode) == 0o444,
      "read-only: file and attribute unchanged")
# A path of 300 characters and more, into folders that exist.
deep = os.path.join(work, "d" * 130, "e" * 130)
os.makedirs(deep, exist_ok=True)
long_path = os.path.join(deep, "GAL.txt")
check(len(win(long_path)) >= 300, "the path is long enough")
code, out, err = run(own, ["-o", win(long_path), "-q"], demo)
check(code == 0 and open(long_path, "rb").read() == open(window_export, "rb").read(), f"long path ({err!r})")
# Stopped during a read: after Ctrl+C the run logs off and removes its temporary file; after
# a kill the system removes it. The previous file stays as it was.
slow = scenario("slow", "generate=4000\nquery_latency_ms=20\nledger=ledger.txt\n")
for how in ("c", "kill"):
    open(pipe, "wb").write(previous)
    if how != "kill":
        os.remove(os.path.join(work, "ledger.txt"))
    code, out, err = run(own, ["-o", win(pipe), "-nobanner"], slow, stop=how)
    check(open(pipe, "rb").read() == previous, f"{how}: the previous file")
    check(not [x for x in os.listdir(work) if x.endswith(".tmp")], f"{how}: no temporary file left")
    if how != "kill":
        check(code == 0xC000013A and "stopped by Ctrl+C" in err, f"{how}: exit 0xC000013A ({code:#x})")
        check({"logoffs=1", "uninitialize_calls=1", "buffers_outstanding=0", "objects_outstanding="} <=
              set(ledger()) and any(l.startswith("rows_served=") and 0 < int(l[12:]) < 4000 for l in ledger()),
              f"{how}: stopped in the read, with the session ended")

short = scenario("short", f"directory={win(os.path.join(src, 'demo/gal.txt'))}\nreported_rows=400\n")
code, out, err = run(own, ["-o", win(pipe), "-f", "tsv"], short)
check(code == 7 and "86 missing" in err and open(pipe, "rb").read().count(b"\r\n") == 315, f"fewer rows: 7 ({code}: {err!r})")
# A list that the server cut at 500 entries: 8 when the table reports 500 as well, 7 when it
# reports more; the file is written either way. A table that cannot count misses nothing.
for reported, expected in (("", 8), ("reported_rows=600\n", 7)):
    code, out, err = run(own, ["-o", win(pipe)], scenario("capped", f"generate=600\nrow_cap=500\n{reported}"))
    check(code == expected and len(error_lines(err)) == 1 and open(pipe, "rb").read().count(b"\r\n") == 501 and
          ("exactly 500 entries" in err if expected == 8 else "100 missing" in err), f"500 entries: {expected}")
nocount = scenario("nocount", f"directory={win(os.path.join(src, 'demo/gal.txt'))}\nfail=GetRowCount:80040102\n")
code, out, err = run(own, ["-o", win(pipe), "-q"], nocount)
check(code == 0 and open(pipe, "rb").read().count(b"\r\n") == 315, f"no row count: 0 ({code})")

# Texts that the table cuts at 255 characters are written whole.
long_texts = ["Long " + "n" * 300, "m" * 600 + "@c.example", "/o=C/cn=" + "d" * 247]
with open(os.path.join(work, "long.txt"), "w", encoding="utf-8") as f:
    f.write("0\t" + "\t".join(long_texts) + "\n0\tShort\ts@c.example\t/o=C/cn=s\n")
long_scenario = scenario("long", f"directory={win(os.path.join(work, 'long.txt'))}\ntruncate_columns=255\nledger=ledger.txt\n")
code, out, err = run(own, ["-o", win(pipe)], long_scenario)
check(code == 0 and open(pipe, encoding="utf-8-sig").read().splitlines()[1] == "mailuser|" + "|".join(long_texts) and
      "buffers_outstanding=0" in ledger() and "objects_outstanding=" in ledger(), "cut texts written whole")

# The bitness relaunch: a copy of this console stands in as the sibling, so it runs on any
# machine; it is marked as relaunched, refuses the bitness and does not relaunch again.
folder = os.path.join(work, "relaunch")
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
for name in ("RostermintC32.exe", "RostermintC64.exe"):
    shutil.copy(console, os.path.join(folder, name))
code, out, err = run(other, ["-c", "-q"], demo, exe=os.path.join(folder, f"RostermintC{bits}.exe"))
check(code == 2 and f'bitness is reported as "{other}"' in err and err.count("Rostermint console") == 1,
      "the sibling's exit code and output")
print("console: ok")
