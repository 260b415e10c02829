#!/usr/bin/env python3
"""Writes gal.txt, the demo's hand-made Exchange directory for the MAPI stand-in: people of
many languages, rooms, equipment, distribution lists and security groups, public folders,
agents, remote users and a few entries with missing values, with their directory details
(title, department, offices, phones, postal addresses, proxy addresses, custom attributes;
every detail at least once, some in non-Latin scripts, some empty). Run it by hand after
changing a list; its output is committed."""
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


# Offices: name, street, city, state, postal code, country, phone prefix.
SITES = [
    ("Bristol HQ", "Harbourside", "Bristol", "England", "BS1 5DB", "United Kingdom", "+44 117 496 "),
    ("Lyon Part-Dieu", "rue Garibaldi", "Lyon", "Auvergne-Rhône-Alpes", "69003", "France", "+33 4 7212 "),
    ("東京オフィス", "大手町", "千代田区", "東京都", "100-0004", "日本", "+81 3 6555 "),
    ("서울 지사", "세종대로", "중구", "서울특별시", "04524", "대한민국", "+82 2 3456 "),
    ("Αθήνα", "Οδός Ερμού", "Αθήνα", "Αττική", "105 63", "Ελλάδα", "+30 21 0123 "),
    ("Москва", "Тверская улица", "Москва", "", "125009", "Россия", "+7 495 123 "),
]
TITLES = {"Sales": "Account Manager", "Finance": "Financial Controller", "Engineering": "Software Engineer",
          "Support": "Support Specialist", "Legal": "Legal Counsel", "Marketing": "Brand Manager",
          "Operations": "Operations Lead"}
LOCAL_TITLES = {2: "課長", 3: "팀장", 4: "Υπεύθυνος Πωλήσεων", 5: "Бухгалтер"}


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace(";", "\\;")


def details(**values):
    """name=value fields: None leaves the detail out, a list is a multi-valued detail."""
    fields = []
    for name, value in values.items():
        if value is None:
            continue
        text = ";".join(escape(v) for v in value) if isinstance(value, list) else escape(value)
        fields.append(f"{name}={text}")
    return fields


def proxies(alias, smtp, *more):
    return ["SMTP:" + smtp, f"smtp:{alias}@corvane.onmicrosoft.example", *more,
            "X500:/o=Corvane/ou=First Administrative Group/cn=Recipients/cn=" + alias]


def line(display_type, name, smtp, dn, display_type_ex="!", extra=()):
    ex = display_type_ex if isinstance(display_type_ex, str) else f"0x{display_type_ex:08X}"
    return "\t".join([str(display_type), name, smtp, dn, ex, *extra])


def person_details(n, alias, smtp, dept):
    site_no = n % len(SITES)
    office, street, city, state, postcode, country, phone = SITES[site_no]
    custom = {}
    if 3 <= n <= 15:
        # The rarely used custom attributes, each on one entry; custom4 once empty.
        custom[f"custom{n}"] = "" if n == 4 else f"Extension {n} · {alias}"
    return details(title=LOCAL_TITLES.get(site_no, TITLES[dept]) if n % 11 else "", department=dept,
                   company="Corvane" if site_no < 2 else "Corvane " + country, office=office,
                   phone=f"{phone}{1000 + n}", mobile=None if n % 3 else f"+44 7700 9{n:05d}",
                   alias=alias, street=f"{n % 90 + 1} {street}", city=city, state=state or None,
                   postcode=postcode, country=country,
                   addresses=proxies(alias, smtp, *( [f"smtp:{alias}@old.corvane.example"] if n % 4 == 0 else [])),
                   custom1=f"CC-{4000 + n % 37}", custom2=f"E{100000 + n}", **custom)


def main():
    rows = ["# The demo's directory: display type, name, SMTP address, distinguished name, extended display"
            " type ('!' missing), then details as name=value."]
    n = 0
    for (first, last), dept in zip(itertools.cycle(PEOPLE), itertools.islice(itertools.cycle(DEPARTMENTS), 280)):
        n += 1
        alias = f"{ascii_alias(first)}.{ascii_alias(last)}{n}"
        smtp = f"{alias}@corvane.example"
        rows.append(line(0, f"{first} {last} ({dept})", smtp, ORG + alias, MAILBOX,
                         person_details(n, alias, smtp, dept)))
    rows.append(line(0, "Ana Lima 🌻 (Design)", "ana.lima@corvane.example", ORG + "ana.lima", MAILBOX,
                     details(title="Designer; Illustrator", department="Design", alias="ana.lima",
                             addresses=proxies("ana.lima", "ana.lima@corvane.example", "smtp:ana@corvane.example"))))
    for kind, names, prefix in ((ROOM, ROOMS, "room"), (EQUIPMENT_TYPE, EQUIPMENT, "equipment")):
        for i, name in enumerate(names):
            office, _, city, _, _, country, _ = SITES[i % len(SITES)]
            smtp = f"{prefix}{i}@corvane.example"
            rows.append(line(0, name, smtp, ORG + f"{prefix}{i}", kind,
                             details(office=office, city=city, country=country, alias=f"{prefix}{i}",
                                     addresses=proxies(f"{prefix}{i}", smtp))))
    for i, name in enumerate(LISTS):
        alias = f"list{i}"
        smtp = f"{alias}@corvane.example"
        rows.append(line(1, name, smtp, ORG + alias, 1, details(alias=alias, addresses=proxies(alias, smtp))))
    for i, name in enumerate(SECURITY_GROUPS):
        smtp = f"sg{i}@corvane.example"
        rows.append(line(1, name, smtp, ORG + f"sg{i}", SECURITY_GROUP,
                         details(alias=f"sg{i}", addresses=proxies(f"sg{i}", smtp), custom1="CC-4001")))
    for i, name in enumerate(FOLDERS):
        rows.append(line(2, name, f"folder{i}@corvane.example", ORG + f"folder{i}", 2))
    for i, name in enumerate(AGENTS):
        rows.append(line(3, name, f"agent{i}@corvane.example", ORG + f"agent{i}", 3))
    for first, last, domain in REMOTE:
        alias = ascii_alias(first + last)
        rows.append(line(6, f"{first} {last} (extern)", f"{alias}@{domain}", ORG + alias, 6,
                         details(company=domain.split(".")[0].capitalize(), alias=alias,
                                 addresses=["SMTP:" + f"{alias}@{domain}"])))
    # Entries the directory serves with values missing.
    rows.append(line("!", "No Type Given", "!", ORG + "notype"))
    rows.append(line(0, "Without Mail", "!", ORG + "nomail", MAILBOX))
    rows.append(line(0, "Without DN", "nodn@corvane.example", "!"))
    rows.append(line(5, "Private List of Søren", "!", "!"))
    with open("gal.txt", "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
