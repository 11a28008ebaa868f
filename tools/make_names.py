#!/usr/bin/env python3
"""Regenerates data/Modules/Name/n_names.txt, the names dictionary shipped with
the program, from Strong's Hebrew and Greek dictionaries (James Strong, 1890,
public domain), as data/Modules/Dictionary/ ships them: tools/make-reference-works.sh
converts them from Debian's sword-dict-strongs-hebrew and sword-dict-strongs-greek.

An entry of Strong's is a proper name when its King James renderings hold a
capitalised name and the entry itself names a person or place: a Hebrew entry's
definition starts with the transliterated name, a Greek entry's headword is
capitalised. Every such rendering becomes a name; its meaning is what Strong's
gives after the derivation ("loving"; for a Greek name of Hebrew origin, the
Hebrew entry's), followed by who or what bears it ("the youngest son of Jesse").
A name that several entries give takes the first (Hebrew before Greek, in
number order).

Writes one line per name, sorted: number, Tab, name, Tab, meaning, CR LF, in
ASCII. Then checks the file: CR LF line ends, three fields, numbers 1, 2, 3...,
no name twice (case ignored), no field empty or with blanks at its ends.

  make_names.py           regenerate the file, then check it
  make_names.py --check   check that the shipped file is what the sources give
"""
import argparse
import os
import re
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DICTIONARIES = os.path.join(ROOT, "data", "Modules", "Dictionary")
HEBREW = os.path.join(DICTIONARIES, "d_strongs_hebrew_utf8.txt")
GREEK = os.path.join(DICTIONARIES, "d_strongs_greek_utf8.txt")
TARGET = os.path.join(ROOT, "data", "Modules", "Name", "n_names.txt")

NAME = re.compile(r"^[A-Z][a-z]+(?:-[A-Za-z][a-z]+)*$")
REFERENCE = "\u00af"
# Greek or Hebrew letters: a second spelling of the headword, not English.
ORIGINAL_SCRIPT = re.compile("[\u0370-\u03ff\u0590-\u05ff\u1f00-\u1fff]")
HEBREW_ORIGIN = re.compile(r"of Hebrew origin \(H0*(\d+)\)", re.IGNORECASE)
# The transliterated name that opens a definition: "{Aharon} ...", "Chavvah (or {Eve}) ...".
_NAME_WORD = r"\{?[A-Z][^\s{},()]*\}?,?"
LEADING_NAME = re.compile(r"^" + _NAME_WORD + r"(?:\s+or\s+" + _NAME_WORD + r")*"
                          r"(?:\s*\((?:i\.e\.|or|that \{?is\}?)\s[^)]*\),?)?\s*")
EXPECTED = ("AARON", "ABRAHAM", "DAVID", "MARY", "PETER", "BETHLEHEM", "JESUS")


def entries(path):
    """{number: (headword, text)} of a dictionary module."""
    found = {}
    with open(path, encoding="utf-8", newline="") as f:
        for line in f:
            fields = line.rstrip("\r\n").split("\t", 2)
            if len(fields) == 3 and fields[0].isdigit():
                headword = fields[1].split(" ", 1)[-1]
                found[int(fields[0])] = (headword, fields[2])
    return found


def unbrace(text):
    """The conversion marks a word that a comma followed with braces: "{Abiah} Abijah"."""
    text = re.sub(r"\{([^{}]*)\}\)", r"\1),", text)
    return re.sub(r"\{([^{}]*)\}", r"\1,", text)


def balanced(text):
    """The text without parentheses that the source left unclosed or unopened."""
    kept, open_at = list(text), []
    for i, c in enumerate(text):
        if c == "(":
            open_at.append(i)
        elif c == ")":
            if open_at:
                open_at.pop()
            else:
                kept[i] = ""
    for i in open_at:
        kept[i] = ""
    return "".join(kept)


def plain(text):
    """Readable ASCII: no cross-references, no doubled blanks or punctuation at the ends."""
    text = re.sub(r"\s*\([^()]*" + REFERENCE + r"[^()]*\)", "", unbrace(text))
    text = re.sub(r"\s*(?:Compare|See)\b.*$", "", text)
    text = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii")
    text = re.sub(r"\s+", " ", balanced(text)).strip(" ;,.:")
    return re.sub(r",(?=[,;)])", "", text)


def renderings(text):
    """The capitalised King James renderings of an entry: the names it gives."""
    names = []
    for word in unbrace(text).split(". ")[0].rstrip(".").split(","):
        word = word.strip()
        if NAME.match(word) and word not in names:
            names.append(word)
    return names


def is_reference(clause):
    return REFERENCE in clause or re.search(r"\d", clause) is not None


def split_entry(text, separator):
    """(derivation, meaning, definition, renderings) of an entry's text after its
    headword, or None. The segments between the headword's and the definition
    hold the derivation, then the meaning, as clauses ended by ";"; a second
    spelling of the headword may stand first."""
    segments = text.split("|")[1:]
    if not segments or separator not in segments[-1]:
        return None
    # The source repeats a definition's end now and then: "...: - also an Israelitess: - Tirzah."
    definition, rendered = segments[-1].split(separator, 1)[0], segments[-1].rsplit(separator, 1)[1]
    middle = ";".join(segments[:-1])
    if len(segments) == 1:
        middle, _, definition = definition.partition(";")
    clauses = [c.strip() for c in middle.split(";") if c.strip() and not ORIGINAL_SCRIPT.search(c)]
    if not clauses:
        return None
    meaning = "; ".join(c for c in clauses[1:] if not is_reference(c))
    return clauses[0], meaning, definition.strip(), rendered


def meaning_text(derivation, meaning, definition):
    """What the names window shows: the meaning, then who or what bears the name.
    Without a meaning, a derivation that names no other entry stands for it
    ("of uncertain derivation")."""
    who = plain(LEADING_NAME.sub("", definition, count=1))
    first = plain(meaning)
    if not first and not is_reference(derivation):
        first = plain(derivation)
        first = first[:1].lower() + first[1:]
    return "; ".join(part for part in (first, who) if part)


def hebrew_names(hebrew):
    """(name, text, meaning) of every name the Hebrew entries give."""
    names = []
    for number in sorted(hebrew):
        parts = split_entry(hebrew[number][1], ": - ")
        if not parts or not re.match(r"\{?[A-Z]", parts[2]):
            continue
        text = meaning_text(*parts[:3])
        names.extend((name, text, parts[1]) for name in renderings(parts[3]))
    return names


def spelling(name):
    return name.replace("-", "").upper()


def greek_names(greek, hebrew, hebrew_found):
    """(name, text) of every name the Greek entries give. A name of Hebrew origin
    takes the meaning of the Hebrew entry that gives the same name (Strong's
    sometimes points at a neighbouring number), else of the entry it points at."""
    meanings = {}
    for name, _, meaning in hebrew_found:
        if meaning:
            meanings.setdefault(spelling(name), meaning)
    names = []
    for number in sorted(greek):
        headword, text = greek[number]
        parts = split_entry(text, ":--")
        if not parts or not headword[:1].isupper():
            continue
        derivation, meaning, definition, rendered = parts
        origin = HEBREW_ORIGIN.search(derivation)
        for name in renderings(rendered):
            own = meaning
            if not own and origin:
                source = split_entry(hebrew.get(int(origin.group(1)), ("", ""))[1], ": - ")
                own = meanings.get(spelling(name), source[1] if source else "")
            names.append((name, meaning_text(derivation, own, definition)))
    return names


def generate():
    hebrew, greek = entries(HEBREW), entries(GREEK)
    chosen = {}
    found = hebrew_names(hebrew)
    for name, text in [(n, t) for n, t, _ in found] + greek_names(greek, hebrew, found):
        if text and name.upper() not in chosen:
            chosen[name.upper()] = (name, text)
    lines = ["%d\t%s\t%s" % (i, name, text)
             for i, (name, text) in enumerate((chosen[k] for k in sorted(chosen)), start=1)]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def check(data):
    problems = []
    if not data.endswith(b"\r\n") or data.count(b"\n") != data.count(b"\r\n") or b"\r\r" in data:
        problems.append("line ends are not CR LF throughout")
    seen = set()
    for number, line in enumerate(data.decode("ascii").split("\r\n")[:-1], start=1):
        fields = line.split("\t")
        if len(fields) != 3 or fields[0] != str(number):
            problems.append("line %d: not number %d, name and meaning" % (number, number))
            continue
        name, text = fields[1], fields[2]
        if not NAME.match(name) or name.upper() in seen:
            problems.append("line %d: name %r is not a new capitalised name" % (number, name))
        if not text or text != text.strip():
            problems.append("line %d: meaning %r is empty or has blanks at an end" % (number, text))
        seen.add(name.upper())
    problems += ["%s is missing" % name for name in EXPECTED if name not in seen]
    return problems


def main():
    ap = argparse.ArgumentParser(description="Regenerate or check the shipped names dictionary.")
    ap.add_argument("--check", action="store_true",
                    help="only check that the shipped file is what the dictionaries give")
    args = ap.parse_args()
    data = generate()
    if args.check:
        with open(TARGET, "rb") as f:
            shipped = f.read()
        if shipped != data:
            sys.exit("%s differs from what the dictionaries give: run tools/make_names.py" % TARGET)
    else:
        os.makedirs(os.path.dirname(TARGET), exist_ok=True)
        with open(TARGET + ".tmp", "wb") as f:
            f.write(data)
        os.replace(TARGET + ".tmp", TARGET)
    problems = check(data)
    for problem in problems:
        print(problem, file=sys.stderr)
    print("%s: %d names" % (TARGET, data.count(b"\r\n")))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
