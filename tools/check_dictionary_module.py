#!/usr/bin/env python3
"""Checks a Verbanox dictionary module file (one entry per line).

Format checked, line by line:
  * every line ends with CR LF, no bare CR or LF anywhere, no byte-order mark;
  * the bytes decode in the given encoding (UTF-8 or Windows code page 1252);
  * three Tab-separated fields: entry number, headword, entry text; no Tab, CR
    or LF inside the text (the text's line breaks are "|");
  * the entry number is a plain decimal from 1 to 32767 (it must read as a
    16-bit integer) and the numbers rise from line to line;
  * the headword is not empty and has no blanks at either end;
  * no markup left (< > \\ or entities), no control characters;
  * every reference mark (U+00AF, byte 175 of code page 1252) is followed by
    exactly five digits; references to numbers no entry has are counted.

Exits with 1 when a check fails.
"""

import argparse
import re
import sys

MARK = "\u00af"
MARKUP = re.compile(r"[<>\\]|&#?[A-Za-z0-9]+;")
CONTROL = re.compile(r"[\x00-\x1f\x7f-\x9f\u2028\u2029]")
NUMBER = re.compile(r"[1-9][0-9]*")
REFERENCE = re.compile(MARK + r"(.{0,5})")


def main():
    ap = argparse.ArgumentParser(description="Check a Verbanox dictionary module file.")
    ap.add_argument("file")
    ap.add_argument("--encoding", choices=["utf-8", "cp1252"], required=True)
    ap.add_argument("--entries", type=int, help="expected number of entries")
    ap.add_argument("--expect", nargs=2, action="append", default=[], metavar=("NUMBER", "HEADWORD"),
                    help="entry NUMBER must have the headword HEADWORD")
    ap.add_argument("--max-dangling", type=int, default=0,
                    help="references to numbers no entry has that are tolerated")
    args = ap.parse_args()

    problems = []

    def error(text):
        problems.append(text)
        if len(problems) <= 40:
            print("ERROR: " + text)

    data = open(args.file, "rb").read()
    if data.startswith(b"\xef\xbb\xbf"):
        error("byte-order mark at the start")
    if not data.endswith(b"\r\n"):
        error("the last line does not end with CR LF")
    raw_lines = data.split(b"\r\n")[:-1]
    entries = {}
    references = []
    previous = 0
    for n, raw in enumerate(raw_lines, 1):
        if b"\r" in raw or b"\n" in raw:
            error(f"line {n}: bare CR or LF")
            continue
        try:
            line = raw.decode(args.encoding)
        except UnicodeDecodeError as e:
            error(f"line {n}: not {args.encoding}: {e}")
            continue
        fields = line.split("\t")
        if len(fields) != 3:
            error(f"line {n}: {len(fields)} fields instead of 3")
            continue
        number_text, headword, text = fields
        if not NUMBER.fullmatch(number_text) or int(number_text) > 32767:
            error(f"line {n}: entry number {number_text!r} is not a number from 1 to 32767")
            continue
        number = int(number_text)
        if number <= previous:
            error(f"line {n}: entry {number} does not follow entry {previous}")
        previous = number
        if not headword or headword != headword.strip():
            error(f"line {n}: headword {headword!r} is empty or has blanks at an end")
        for what, value in (("headword", headword), ("text", text)):
            if MARKUP.search(value):
                error(f"line {n}: markup left in the {what}: {value[:80]!r}")
            if CONTROL.search(value):
                error(f"line {n}: control character in the {what}")
        for m in REFERENCE.finditer(text):
            digits = m.group(1)
            if not re.fullmatch(r"[0-9]{5}", digits):
                error(f"line {n}: reference mark followed by {digits!r}, not five digits")
            else:
                references.append((n, int(digits)))
        entries[number] = headword

    dangling = [(n, r) for n, r in references if r not in entries]
    if len(dangling) > args.max_dangling:
        error(f"{len(dangling)} references to numbers no entry has (at most {args.max_dangling} allowed): "
              + ", ".join(f"line {n} -> {r}" for n, r in dangling[:10]))
    if args.entries is not None and len(entries) != args.entries:
        error(f"{len(entries)} entries, expected {args.entries}")
    for number_text, headword in args.expect:
        if entries.get(int(number_text)) != headword:
            error(f"entry {number_text} is {entries.get(int(number_text))!r}, expected {headword!r}")

    print(f"File        {args.file} ({args.encoding}, {len(data)} bytes)")
    print(f"Entries     {len(entries)}")
    print(f"References  {len(references)} ({len(dangling)} to numbers no entry has)")
    if problems:
        print(f"FAILED: {len(problems)} problem(s)")
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
