#!/usr/bin/env python3
"""Regenerates data/Modules/TLNotes.txt, the translation notes on the shipped
Bible modules, with the figures counted from the modules themselves, then checks
the file: CR LF line ends, code page 1252, every topic a "$$" heading at the
start of a line, no title twice, no "$$" inside a note line.
"""
import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIBLE = os.path.join(ROOT, "data", "Modules", "Bible")
TARGET = os.path.join(ROOT, "data", "Modules", "TLNotes.txt")


def verses(name, encoding):
    with open(os.path.join(BIBLE, name), encoding=encoding) as f:
        return [line.rstrip("\r\n").split("\t", 4)[4] for line in f if line.count("\t") >= 4]


def bracketed(name, encoding):
    """(book, chapter, verse) of every verse that holds square brackets."""
    found = []
    with open(os.path.join(BIBLE, name), encoding=encoding) as f:
        for line in f:
            parts = line.rstrip("\r\n").split("\t", 4)
            if len(parts) == 5 and re.search(r"\[[^\]]+\]", parts[4]):
                found.append((int(parts[1]), int(parts[2]), int(parts[3])))
    return found


def book_names():
    names = {}
    with open(os.path.join(ROOT, "data", "SysDefs", "Books.txt"), encoding="cp1252") as f:
        for line in f:
            parts = line.rstrip("\r\n").split("\t")
            if len(parts) >= 3 and parts[0].isdigit():
                names[int(parts[0])] = parts[2]
    return names


def bracket_note(places):
    if not places:
        return ["The module has no square brackets."]
    names = book_names()
    refs = ", ".join("%s %d:%d" % (names.get(b, str(b)), c, v) for b, c, v in places)
    return ["Square brackets in the text (%s) mark words that the translators printed in" % refs,
            "italics as doubtful in the Greek copies they had."]


def main():
    kjv = verses("b_kjv.txt", "cp1252")
    web = verses("b_web_utf8.txt", "utf-8")
    kjv_brackets = bracketed("b_kjv.txt", "cp1252")
    kjv_lord = sum(v.count("LORD") for v in kjv)
    web_yahweh = sum(v.count("Yahweh") for v in web)
    topics = [
        ("About these notes", [
            "These notes tell where the Bible translations that come with the program come from,",
            "how old they are, and the conventions of their text, so that a reader knows what",
            "the words on the screen stand for. Choose a topic in the list above.",
        ]),
        ("King James Version: source", [
            "The King James Version was first printed in 1611. The text shipped here is the",
            "Oxford standard text of 1769, which modernised the spelling and corrected the",
            "printing errors of earlier editions; it is the text most printings follow today.",
            "",
            "It has %d verses in 66 books, without the Apocrypha." % len(kjv),
            "The translation is in the public domain in most countries; in the United Kingdom",
            "the right to print it is held by the Crown.",
        ]),
        ("King James Version: added words", [
            "The translators printed in italics the words they added to make the English read",
            "well, words with no equivalent in the Hebrew or Greek. This module carries no",
            "italics: the added words read like the rest of the text.",
            "",
        ] + bracket_note(kjv_brackets)),
        ("King James Version: the divine name", [
            "Where the Hebrew has the personal name of God (the four letters YHWH), the King",
            "James Version writes LORD in capital letters (GOD where the Hebrew reads \"Lord",
            "YHWH\"). \"Lord\" in ordinary letters stands for the Hebrew title Adonai or the",
            "Greek Kyrios. LORD in capitals occurs %d times in the module." % kjv_lord,
        ]),
        ("World English Bible: source", [
            "The World English Bible is a modern English revision of the American Standard",
            "Version of 1901, made by volunteers from the 1990s on. It was dedicated to the",
            "public domain so that it may be copied freely.",
            "",
            "It has %d verses in 66 books in this module." % len(web),
        ]),
        ("World English Bible: the divine name", [
            "The World English Bible writes the personal name of God as \"Yahweh\" where the",
            "Hebrew has YHWH, instead of LORD in capitals. \"Yahweh\" occurs %d times in" % web_yahweh,
            "the module. When you compare it with the King James Version, read \"Yahweh\" in",
            "the one where you read \"LORD\" in the other.",
        ]),
        ("World English Bible: quotation marks", [
            "This module keeps the typographic quotation marks and apostrophes of the",
            "translation (\u201clike this\u201d and God\u2019s). It is stored in UTF-8, so these",
            "characters show as they are printed. To find a word with an apostrophe, type the",
            "same apostrophe, or search for the part of the word before it.",
        ]),
        ("Verse numbering", [
            "Both translations follow the same verse numbering, the one of the King James",
            "Version, so that the comparison window and the commentaries line them up verse by",
            "verse. Where other Bibles number differently (such as the titles of the Psalms,",
            "or Malachi 4 in Bibles that count three chapters), look a verse or two around.",
        ]),
    ]
    lines = []
    for title, note in topics:
        lines.append("$$" + title)
        # A paragraph is one line, so that the window wraps it to its own width.
        paragraph = []
        for line in note + [""]:
            if line:
                paragraph.append(line)
                continue
            if paragraph:
                lines.append(" ".join(paragraph))
                paragraph = []
            lines.append("")
    data = "\r\n".join(lines).encode("cp1252")
    with open(TARGET, "wb") as f:
        f.write(data)
    check(TARGET, [t for t, _ in topics])


def check(path, titles):
    raw = open(path, "rb").read()
    text = raw.decode("cp1252")
    assert "\n" not in text.replace("\r\n", ""), "a line end that is not CR LF"
    found = [line[2:] for line in text.split("\r\n") if "$$" in line]
    for line in text.split("\r\n"):
        assert "$$" not in line or line.startswith("$$"), "a heading not at the start: " + line
    assert found == titles, "titles differ"
    assert len(set(found)) == len(found), "a title twice"
    print("%s: %d topics, %d bytes" % (path, len(found), len(raw)))


if __name__ == "__main__":
    main()
