#!/usr/bin/env python3
"""Checks a Verbanox Bible module file (one verse per line).

Format checked:
  * every line ends with CR LF, no bare CR or LF anywhere, no byte-order mark;
  * the bytes decode in the given encoding (UTF-8 or Windows code page 1252);
  * five Tab-separated fields: line, book, chapter, verse, text; no Tab, CR or
    LF inside the text; numbers are plain decimals;
  * the line number is the line's 1-based position;
  * books 1..66 in ascending order, chapters from 1 without gaps within a
    book, verses from 1 without gaps within a chapter;
  * at most 255 chapters per book, 255 verses per chapter, 32767 lines;
  * no markup left in the text (< > { } \\ or entities), no Strong's number
    ("<H2416>", "&lt;G3588&gt;"), no control characters, no blanks at either
    end or doubled;
  * with --language, no words run together (markup that held two words
    against each other, "llamadoá serapóstol"), found by the marks such a join
    leaves in the language's spelling: in any language a capital right after a
    small letter ("fuéAbi"); in Spanish also "y" before a consonant ("ytu"),
    two written accents in one word ("enviómensajeá") and the preposition "á"
    after a vowel ("llamadoá").

Prints a summary (counts, empty verses, a few sample verses) and exits with 1
when a check fails. --self-test checks these checks on small modules it writes.
"""

import argparse
import contextlib
import io
import os
import re
import sys
import tempfile

MAX_CHAPTERS = 255
MAX_VERSES = 255
MAX_LINES = 32767

BOOK_ABBREVS = [
    "Gen", "Exod", "Lev", "Num", "Deut", "Josh", "Judg", "Ruth", "1Sam", "2Sam",
    "1Kgs", "2Kgs", "1Chr", "2Chr", "Ezra", "Neh", "Esth", "Job", "Ps", "Prov",
    "Eccl", "Song", "Isa", "Jer", "Lam", "Ezek", "Dan", "Hos", "Joel", "Amos",
    "Obad", "Jonah", "Mic", "Nah", "Hab", "Zeph", "Hag", "Zech", "Mal",
    "Matt", "Mark", "Luke", "John", "Acts", "Rom", "1Cor", "2Cor", "Gal", "Eph",
    "Phil", "Col", "1Thess", "2Thess", "1Tim", "2Tim", "Titus", "Phlm", "Heb", "Jas",
    "1Pet", "2Pet", "1John", "2John", "3John", "Jude", "Rev",
]

MARKUP = re.compile(r"[<>{}\\]|&#?[A-Za-z0-9]+;")
STRONGS = re.compile(r"<[HG][0-9]+[a-z]?>|&lt;[HG][0-9]+")
CONTROL = re.compile(r"[\x00-\x1f\x7f-\x9f\u2028\u2029]")
NUMBER = re.compile(r"[1-9][0-9]*")
WORD = re.compile(r"[^\W\d_]+")
SMALL_THEN_CAPITAL = re.compile(r"[a-zß-öø-ÿ][A-ZÀ-ÖØ-Þ]")
SPANISH_JOINS = [
    re.compile(r"^[yY][bcdfghjklmnñpqrstvwxz]"),          # "ytu": "y" + "tu"
    re.compile(r"^(?!décim).*[áéíóú].*[áéíóú]", re.I),  # "enviómensajeá" (not "décimaséptima")
    re.compile(r"[aeoáéíóú]á$"),                         # "llamadoá" (not "Jesuá")
]


def run_together(text, language):
    """Words of text that look like two words run together in language."""
    found = []
    for word in WORD.findall(text):
        if SMALL_THEN_CAPITAL.search(word) or (
                language == "es" and any(p.search(word) for p in SPANISH_JOINS)):
            found.append(word)
    return found


def ref_name(book, chapter, verse):
    name = BOOK_ABBREVS[book - 1] if 1 <= book <= 66 else f"book{book}"
    return f"{name} {chapter}:{verse}"


def parse_ref(text):
    """'42:17:36' or 'Luke 17:36' -> (42, 17, 36)."""
    m = re.fullmatch(r"(\d+):(\d+):(\d+)", text)
    if m:
        return tuple(int(x) for x in m.groups())
    m = re.fullmatch(r"(\S+)\s+(\d+):(\d+)", text)
    if m and m.group(1) in BOOK_ABBREVS:
        return (BOOK_ABBREVS.index(m.group(1)) + 1, int(m.group(2)), int(m.group(3)))
    raise argparse.ArgumentTypeError(f"bad reference {text!r} (use B:C:V or e.g. 'Luke 17:36')")


def main(argv=None):
    if argv is None and sys.argv[1:] == ["--self-test"]:
        return self_test()
    ap = argparse.ArgumentParser(description="Check a Verbanox Bible module file.")
    ap.add_argument("file")
    ap.add_argument("--encoding", choices=["utf-8", "cp1252"], required=True)
    ap.add_argument("--language", help="the text's language (en, es ...): look for words run together")
    ap.add_argument("--lines", type=int, help="expected number of lines")
    ap.add_argument("--chapters", type=int, help="expected number of chapters")
    ap.add_argument("--books", type=int, help="expected number of books")
    ap.add_argument("--allow-empty", action="store_true",
                    help="verses may be empty (a commentary has notes on some verses only)")
    ap.add_argument("--empty", type=parse_ref, action="append", default=[], metavar="REF",
                    help="a verse expected to be empty (repeatable); any other empty verse fails")
    ap.add_argument("--expect-start", nargs=2, action="append", default=[], metavar=("REF", "PREFIX"),
                    help="the verse REF must begin with PREFIX")
    ap.add_argument("--verses-in", nargs=3, action="append", default=[],
                    metavar=("BOOK", "CHAPTER", "COUNTS"),
                    help="chapter must have one of the comma-separated verse counts, e.g. 64 1 14,15")
    args = ap.parse_args(argv)

    errors = []
    notes = []

    def error(msg):
        if len(errors) < 50:
            print("ERROR:", msg)
        errors.append(msg)

    with open(args.file, "rb") as f:
        data = f.read()

    if data.startswith(b"\xef\xbb\xbf"):
        error("file begins with a UTF-8 byte-order mark")
    if data and not data.endswith(b"\r\n"):
        error("last line does not end with CR LF")
    raw_lines = data.split(b"\r\n")
    if raw_lines and raw_lines[-1] == b"":
        raw_lines.pop()

    verses = {}           # (book, chapter, verse) -> text
    chapters = {}         # (book, chapter) -> verse count
    books = []
    empty = []
    strongs = 0
    brackets = []
    prev = None           # (book, chapter, verse)

    for index, raw in enumerate(raw_lines, start=1):
        if b"\n" in raw or b"\r" in raw:
            error(f"line {index}: bare CR or LF inside the line")
            raw = raw.replace(b"\r", b" ").replace(b"\n", b" ")
        try:
            line = raw.decode(args.encoding)
        except UnicodeDecodeError as e:
            error(f"line {index}: not valid {args.encoding}: {e}")
            line = raw.decode(args.encoding, errors="replace")
        fields = line.split("\t")
        if len(fields) != 5:
            error(f"line {index}: {len(fields)} fields instead of 5: {line[:80]!r}")
            continue
        nums = fields[:4]
        text = fields[4]
        if not all(NUMBER.fullmatch(n) for n in nums):
            error(f"line {index}: bad number field in {nums}")
            continue
        line_no, book, chapter, verse = (int(n) for n in nums)
        where = f"line {index} ({ref_name(book, chapter, verse)})"
        if line_no != index:
            error(f"{where}: line number {line_no}")
        if not 1 <= book <= 66:
            error(f"{where}: book number out of range")
        if prev is None:
            if chapter != 1 or verse != 1:
                error(f"{where}: file must start at chapter 1, verse 1")
        else:
            pb, pc, pv = prev
            if book == pb and chapter == pc:
                if verse != pv + 1:
                    error(f"{where}: verse follows {pv}")
            elif book == pb:
                if chapter != pc + 1:
                    error(f"{where}: chapter follows {pc}")
                elif verse != 1:
                    error(f"{where}: chapter does not start with verse 1")
            elif book > pb:
                if chapter != 1 or verse != 1:
                    error(f"{where}: book does not start with 1:1")
            else:
                error(f"{where}: book after book {pb}")
        prev = (book, chapter, verse)
        if book not in books:
            books.append(book)
        chapters[(book, chapter)] = verse
        verses[(book, chapter, verse)] = text
        if chapter > MAX_CHAPTERS:
            error(f"{where}: more than {MAX_CHAPTERS} chapters")
        if verse > MAX_VERSES:
            error(f"{where}: more than {MAX_VERSES} verses")

        if text == "":
            empty.append((book, chapter, verse))
        if STRONGS.search(text):
            strongs += 1
            error(f"{where}: Strong's number left: {text[:120]!r}")
        elif MARKUP.search(text):
            error(f"{where}: markup left: {text[:120]!r}")
        if CONTROL.search(text):
            error(f"{where}: control character in text")
        if text != text.strip(" ") or "  " in text:
            error(f"{where}: blanks at an end or doubled")
        if args.language:
            joined = run_together(text, args.language)
            if joined:
                error(f"{where}: words run together: {', '.join(joined)}")
        if "\ufffd" in text:
            error(f"{where}: replacement character in text")
        if "[" in text or "]" in text:
            brackets.append(f"{ref_name(book, chapter, verse)}: {text}")

    n_lines = len(raw_lines)
    if n_lines > MAX_LINES:
        error(f"{n_lines} lines, more than {MAX_LINES}")

    # Summary.
    print(f"File      {args.file} ({args.encoding}, {len(data)} bytes)")
    print(f"Lines     {n_lines}")
    print(f"Books     {len(books)}")
    print(f"Chapters  {len(chapters)}")
    print(f"Strong's  {strongs} verses with numbers left")
    print("Empty     " + (", ".join(ref_name(*r) for r in empty) or "none"))
    for ref in [(1, 1, 1), (66, 22, 21)]:
        if ref in verses:
            print(f"{ref_name(*ref):<9} {verses[ref]}")
    if (19, 119) in chapters:
        print(f"Ps 119    {chapters[(19, 119)]} verses")
    if (64, 1) in chapters:
        print(f"3John 1   {chapters[(64, 1)]} verses")
    for b in brackets:
        notes.append(f"brackets in text (check they belong to the text): {b}")
    for n in notes:
        print("NOTE:", n)

    # Expectations.
    if args.lines is not None and n_lines != args.lines:
        error(f"{n_lines} lines, expected {args.lines}")
    if args.chapters is not None and len(chapters) != args.chapters:
        error(f"{len(chapters)} chapters, expected {args.chapters}")
    if args.books is not None and len(books) != args.books:
        error(f"{len(books)} books, expected {args.books}")
    expected_empty = set(args.empty)
    for r in empty:
        if r not in expected_empty and not args.allow_empty:
            error(f"unexpected empty verse {ref_name(*r)}")
    for r in expected_empty:
        if r not in verses:
            error(f"expected empty verse {ref_name(*r)} is missing")
        elif verses[r] != "":
            error(f"{ref_name(*r)} was expected to be empty")
    for ref_text, prefix in args.expect_start:
        r = parse_ref(ref_text)
        if r not in verses:
            error(f"{ref_name(*r)} missing")
        elif not verses[r].startswith(prefix):
            error(f"{ref_name(*r)} does not begin with {prefix!r}: {verses[r][:80]!r}")
    for b, c, counts in args.verses_in:
        allowed = {int(x) for x in counts.split(",")}
        got = chapters.get((int(b), int(c)))
        if got not in allowed:
            error(f"{ref_name(int(b), int(c), 1)[:-2]} has {got} verses, expected one of {sorted(allowed)}")

    if errors:
        print(f"FAILED: {len(errors)} problem(s)")
        return 1
    print("OK")
    return 0


def self_test():
    """Checks the checks: each small module must pass or fail as its row says."""
    rows = [
        # name, verse text, language, expected words run together (None: passes)
        ("Spanish text", "Y llamó Dios á la luz Día; díjole Jesuá: décimaséptima", "es", None),
        ("added words against words", "PABLO, siervo de Jesucristo, llamadoá serapóstol,", "es", "llamadoá"),
        ("two accents", "Y Josué enviómensajeá Jobab", "es", "enviómensajeá"),
        ("y before a consonant", "Yo soy tu escudo, ytu galardón", "es", "ytu"),
        ("capital inside a word", "Y el nombre de su madrefuéAbi hija", "es", "madrefuéAbi"),
        ("capital inside an English word", "In the beginning GodCreated the heaven", "en", "GodCreated"),
        ("Spanish rules only for Spanish", "Sinoá the wall", "en", None),
        ("not looked for without a language", "llamadoá serapóstol", None, None),
    ]
    failed = 0
    with tempfile.TemporaryDirectory() as folder:
        for name, text, language, joined in rows:
            path = os.path.join(folder, "b_test.txt")
            with open(path, "wb") as f:
                f.write(f"1\t45\t1\t1\t{text}\r\n".encode("utf-8"))
            argv = [path, "--encoding", "utf-8"] + (["--language", language] if language else [])
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                rc = main(argv)
            want = 0 if joined is None else 1
            if rc != want or (joined and f"words run together: {joined}" not in out.getvalue()):
                failed += 1
                print(f"FAIL {name}: exit {rc}, expected {want}\n{out.getvalue()}")
    print(f"{len(rows) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
