#!/usr/bin/env python3
"""Writes gal.txt, the demo's hand-made Exchange directory for the MAPI stand-in: people of
many languages, rooms, equipment, distribution lists and security groups, public folders,
agents, remote users and a few entries with missing values. Run it by hand after changing a
list; its output is committed."""
import itertools

ORG = "/o=Corvane/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn="

PEOPLE = [
    ("Ann", "Lee"), ("Zoë", "Ångström"), ("José", "Álvarez"), ("Søren", "Kierkegaard"),
    ("François", "Dubois"), ("Jürgen", "Müller"), ("Ólafur", "Jónsson"), ("Łukasz", "Wiśniewski"),
    ("Ανδρέας", "Παπαδόπουλος"), ("Мария", "Иванова"), ("Ольга", "Петрова"), ("李", "娜"),
    ("김", "민준"), ("山田", "太郎"), ("佐藤", "花子"), ("王", "伟"), ("이", "서연"),
    ("Nguyễn", "Văn An"), ("Ayşe", "Yılmaz"), ("Mehmet", "Öztürk"), ("Priya", "Raman"),
    ("Arjun", "Mehta"), ("Fatima", "Zahra"), ("Omar", "Haddad"), ("Chiara", "Ricci"),
    ("Giulia", "Bianchi"), ("Sinéad", "O'Brien"), ("Niamh", "Ní Bhriain"), ("Eero", "Mäkinen"),
    ("Ingrid", "Bergström"), ("Kofi", "Mensah"), ("Amara", "Okafor"), ("João", "Conceição"),
    ("Inês", "Gonçalves"), ("Tomáš", "Dvořák"), ("Zsófia", "Kovács"), ("Ştefan", "Popescu"),
    ("Dmitri", "Sokolov"), ("Hana", "Nováková"), ("Mateus", "Araújo"),
]
DEPARTMENTS = ["Sales", "Finance", "Engineering", "Support", "Legal", "Marketing", "Operations"]
LISTS = ["All Staff", "Managers", "Ventes – Équipe France", "Vertrieb Süd", "開発チーム",
         "Support Escalations", "Board", "Newcomers 2026"]
FOLDERS = ["Public Folder: Announcements", "Public Folder: Kantine / Speiseplan", "Public Folder: Help Desk",
           "Public Folder: Projets en cours"]
AGENTS = ["Fax Gateway", "Meeting Room Scheduler", "Journal Agent"]
ROOMS = ["Room Fjord (12 seats)", "Salle Lumière", "会議室 富士", "회의실 한강"]
EQUIPMENT = ["Projector Αίθουσα 2", "Poolfahrzeug M-CV 42", "Caméra de visio"]
SECURITY_GROUPS = ["SG Finance Approvers", "SG Служба поддержки", "SG 管理者 🔐"]
REMOTE = [("Rita", "Partner", "partner.example"), ("Björn", "Extern", "lieferant.example"),
          ("Émilie", "Conseil", "cabinet.example"), ("田中", "一郎", "partner.jp.example")]


def ascii_alias(text):
    import unicodedata
    plain = unicodedata.normalize("NFKD", text.lower().replace("ø", "o").replace("ł", "l").replace("ß", "ss"))
    alias = "".join(c for c in plain if c.isascii() and (c.isalnum() or c in ".-"))
    return alias or "user"


# PR_DISPLAY_TYPE_EX: the local type in the low byte, DTE_FLAG_ACL_CAPABLE on mailboxes and
# security groups.
ACL = 0x40000000
MAILBOX, ROOM, EQUIPMENT_TYPE, SECURITY_GROUP = ACL, ACL | 7, ACL | 8, ACL | 9


def line(display_type, name, smtp, dn, display_type_ex="!"):
    ex = display_type_ex if isinstance(display_type_ex, str) else f"0x{display_type_ex:08X}"
    return "\t".join([str(display_type), name, smtp, dn, ex])


def main():
    rows = ["# The demo's directory: display type, name, SMTP address, distinguished name, extended display"
            " type ('!' missing)."]
    n = 0
    for (first, last), dept in zip(itertools.cycle(PEOPLE), itertools.islice(itertools.cycle(DEPARTMENTS), 280)):
        n += 1
        alias = f"{ascii_alias(first)}.{ascii_alias(last)}{n}"
        rows.append(line(0, f"{first} {last} ({dept})", f"{alias}@corvane.example", ORG + alias, MAILBOX))
    rows.append(line(0, "Ana Lima 🌻 (Design)", "ana.lima@corvane.example", ORG + "ana.lima", MAILBOX))
    for kind, names, prefix in ((ROOM, ROOMS, "room"), (EQUIPMENT_TYPE, EQUIPMENT, "equipment")):
        for i, name in enumerate(names):
            rows.append(line(0, name, f"{prefix}{i}@corvane.example", ORG + f"{prefix}{i}", kind))
    for i, name in enumerate(LISTS):
        alias = f"list{i}"
        rows.append(line(1, name, f"{alias}@corvane.example", ORG + alias, 1))
    for i, name in enumerate(SECURITY_GROUPS):
        rows.append(line(1, name, f"sg{i}@corvane.example", ORG + f"sg{i}", SECURITY_GROUP))
    for i, name in enumerate(FOLDERS):
        rows.append(line(2, name, f"folder{i}@corvane.example", ORG + f"folder{i}", 2))
    for i, name in enumerate(AGENTS):
        rows.append(line(3, name, f"agent{i}@corvane.example", ORG + f"agent{i}", 3))
    for first, last, domain in REMOTE:
        alias = ascii_alias(first + last)
        rows.append(line(6, f"{first} {last} (extern)", f"{alias}@{domain}", ORG + alias, 6))
    # Entries the directory serves with values missing.
    rows.append(line("!", "No Type Given", "!", ORG + "notype"))
    rows.append(line(0, "Without Mail", "!", ORG + "nomail", MAILBOX))
    rows.append(line(0, "Without DN", "nodn@corvane.example", "!"))
    rows.append(line(5, "Private List of Søren", "!", "!"))
    with open("gal.txt", "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
