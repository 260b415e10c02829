#!/usr/bin/env python3
"""Writes gal.txt, the demo's hand-made Exchange directory for the MAPI stand-in: people of
many languages, distribution lists, public folders, agents, remote users and a few entries
with missing values. Run it by hand after changing a list; its output is committed."""
import itertools

ORG = "/o=Corvane/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn="

PEOPLE = [
    ("Ann", "Lee"), ("Zoë", "Ångström"), ("José", "Álvarez"), ("Søren", "Kierkegaard"),
    ("François", "Dubois"), ("Jürgen", "Müller"), ("Ólafur", "Jónsson"), ("Łukasz", "Wiśniewski"),
    ("Ανδρέας", "Παπαδόπουλος"), ("Мария", "Иванова"), ("Ольга", "Петрова"), ("李", "娜"),
    ("王", "伟"), ("山田", "太郎"), ("佐藤", "花子"), ("김", "민준"), ("이", "서연"),
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
REMOTE = [("Rita", "Partner", "partner.example"), ("Björn", "Extern", "lieferant.example"),
          ("Émilie", "Conseil", "cabinet.example"), ("田中", "一郎", "partner.jp.example")]


def ascii_alias(text):
    import unicodedata
    plain = unicodedata.normalize("NFKD", text.lower().replace("ø", "o").replace("ł", "l").replace("ß", "ss"))
    alias = "".join(c for c in plain if c.isascii() and (c.isalnum() or c in ".-"))
    return alias or "user"


def line(display_type, name, smtp, dn):
    return "\t".join([str(display_type), name, smtp, dn])


def main():
    rows = ["# The demo's directory: display type, name, SMTP address, distinguished name ('!' missing)."]
    n = 0
    for (first, last), dept in zip(itertools.cycle(PEOPLE), itertools.islice(itertools.cycle(DEPARTMENTS), 280)):
        n += 1
        alias = f"{ascii_alias(first)}.{ascii_alias(last)}{n}"
        rows.append(line(0, f"{first} {last} ({dept})", f"{alias}@corvane.example", ORG + alias))
    for i, name in enumerate(LISTS):
        alias = f"list{i}"
        rows.append(line(1, name, f"{alias}@corvane.example", ORG + alias))
    for i, name in enumerate(FOLDERS):
        rows.append(line(2, name, f"folder{i}@corvane.example", ORG + f"folder{i}"))
    for i, name in enumerate(AGENTS):
        rows.append(line(3, name, f"agent{i}@corvane.example", ORG + f"agent{i}"))
    for first, last, domain in REMOTE:
        alias = ascii_alias(first + last)
        rows.append(line(6, f"{first} {last} (extern)", f"{alias}@{domain}", ORG + alias))
    # Entries the directory serves with values missing.
    rows.append(line("!", "No Type Given", "!", ORG + "notype"))
    rows.append(line(0, "Without Mail", "!", ORG + "nomail"))
    rows.append(line(0, "Without DN", "nodn@corvane.example", "!"))
    rows.append(line(5, "Private List of Søren", "!", "!"))
    with open("gal.txt", "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
