#!/usr/bin/env python3
"""Compiles a shipped Bible module into a CHM Bible: an index page of the books
as default topic, one page per book that lists its chapters, one page per
chapter, and a contents tree of books and their chapters.

A page per chapter keeps every page short: the viewer lays a page out whole
before it shows it, and a page per book made Psalm 119 wait for Psalms 1-118.

Usage: make_chm_bible.py MODULE.txt TITLE OUT.chm
Needs: chmcmd (apt-get install fp-utils). Before compiling, checks that every
link of the pages and the contents tree leads to a page written, that every
book page lists each of its chapters and that every chapter has its page; after,
that the file starts with the ITSF signature and holds every page name in its
directory (without a CHM reader).
"""
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HEAD = '<html><head><meta charset="utf-8"><title>%s</title></head><body>'


def book_names():
    names = {}
    with open(os.path.join(ROOT, "data", "SysDefs", "Books.txt"), encoding="cp1252") as f:
        for line in f:
            parts = line.rstrip("\r\n").split("\t")
            if len(parts) >= 3 and parts[0].isdigit():
                names[int(parts[0])] = (parts[1], parts[2])
    return names


def read_module(path):
    books = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\r\n").split("\t", 4)
            if len(parts) < 5 or not parts[1].isdigit():
                continue
            book, chapter, verse = int(parts[1]), int(parts[2]), int(parts[3])
            books.setdefault(book, {}).setdefault(chapter, []).append((verse, parts[4]))
    return books


class Book:
    def __init__(self, number, abbrev, name, chapters):
        self.number = number
        self.name = name
        self.stem = "b_" + abbrev.lower().replace(" ", "")
        self.chapters = chapters  # {chapter: [(verse, text)]}

    @property
    def page(self):
        return self.stem + ".html"

    def chapter_page(self, chapter):
        return "%s_%d.html" % (self.stem, chapter)


def link(page, text):
    return '<a href="%s">%s</a>' % (page, html.escape(text))


def book_page(title, book):
    out = [HEAD % html.escape(book.name), "<h1>%s</h1>" % html.escape(book.name),
           "<p>%s</p>" % link("index.html", title),
           "<p>" + " ".join(link(book.chapter_page(c), str(c)) for c in sorted(book.chapters)) + "</p>",
           "</body></html>"]
    return "\n".join(out)


def chapter_page(book, chapter, before, after):
    """`before` and `after` are the (book, chapter) read before and after, or None."""
    heading = "%s %d" % (book.name, chapter)
    steps = [link(book.page, book.name)]
    if before:
        steps.insert(0, link(before[0].chapter_page(before[1]), "\u2039 %s %d" % (before[0].name, before[1])))
    if after:
        steps.append(link(after[0].chapter_page(after[1]), "%s %d \u203a" % (after[0].name, after[1])))
    out = [HEAD % html.escape(heading), "<p>%s</p>" % " | ".join(steps), "<h1>%s</h1><p>" % html.escape(heading)]
    for verse, text in book.chapters[chapter]:
        # A no-break space written as itself: the page reads the same, and
        # thousands of entities cost the viewer time to decode.
        out.append("<sup>%d</sup>\u00a0%s " % (verse, html.escape(text)))
    out.append("</p></body></html>")
    return "\n".join(out)


def topic(name, local):
    return ('<li><object type="text/sitemap"><param name="Name" value="%s">'
            '<param name="Local" value="%s"></object>' % (html.escape(name), local))


def write_pages(folder, title, books):
    """Writes every page and the contents file; returns {page name: text}."""
    pages = {"index.html": "\n".join(
        [HEAD % html.escape(title), "<h1>%s</h1><ul>" % html.escape(title)]
        + ["<li>%s</li>" % link(book.page, book.name) for book in books] + ["</ul></body></html>"])}
    reading = [(book, c) for book in books for c in sorted(book.chapters)]
    for i, (book, chapter) in enumerate(reading):
        before = reading[i - 1] if i > 0 else None
        after = reading[i + 1] if i + 1 < len(reading) else None
        pages[book.chapter_page(chapter)] = chapter_page(book, chapter, before, after)
    toc = ['<html><body><object type="text/site properties"></object><ul>']
    for book in books:
        pages[book.page] = book_page(title, book)
        toc.append(topic(book.name, book.page) + "<ul>")
        toc.extend(topic("%s %d" % (book.name, c), book.chapter_page(c)) for c in sorted(book.chapters))
        toc.append("</ul>")
    toc.append("</ul></body></html>")
    for name, text in list(pages.items()) + [("toc.hhc", "\n".join(toc))]:
        with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
            f.write(text)
    return pages, "\n".join(toc)


def check_links(pages, toc, books):
    for name, text in pages.items():
        for target in re.findall(r'href="([^"#]*)', text):
            assert target in pages, "%s links to %s, which is not written" % (name, target)
    for target in re.findall(r'name="Local" value="([^"#]*)', toc):
        assert target in pages, "the contents lead to %s, which is not written" % target
    chapters = 0
    for book in books:
        listed = re.findall(r'href="([^"]*)"', pages[book.page])
        for c in book.chapters:
            assert book.chapter_page(c) in listed, "%s does not list chapter %d" % (book.page, c)
            assert book.chapter_page(c) in pages, "chapter %s %d has no page" % (book.name, c)
            chapters += 1
    return chapters


def compile_chm(folder, title, pages, target):
    with open(os.path.join(folder, "bible.hhp"), "w", encoding="utf-8") as f:
        f.write("[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=out.chm\n"
                "Contents file=toc.hhc\nDefault topic=index.html\nTitle=%s\n\n[FILES]\n%s\n"
                % (title, "\n".join(pages)))
    subprocess.run([shutil.which("chmcmd") or "chmcmd", "--no-html-scan", "bible.hhp"], cwd=folder, check=True,
                   stdout=subprocess.DEVNULL)
    shutil.copyfile(os.path.join(folder, "out.chm"), target)


def main():
    module, title, target = sys.argv[1], sys.argv[2], sys.argv[3]
    names = book_names()
    found = read_module(module)
    books = [Book(n, *names.get(n, (str(n), "Book %d" % n)), found[n]) for n in sorted(found)]
    work = tempfile.mkdtemp(prefix="chmbible.")
    try:
        pages, toc = write_pages(work, title, books)
        chapters = check_links(pages, toc, books)
        compile_chm(work, title, pages, target)
    finally:
        shutil.rmtree(work)
    with open(target, "rb") as f:
        data = f.read()
    assert data[:4] == b"ITSF", "not a CHM archive"
    for page in ["toc.hhc"] + list(pages):
        # A directory entry is the name's length (one byte below 128), then the name.
        entry = ("/" + page).encode()
        assert bytes([len(entry)]) + entry in data, "missing page " + page
    print("%s: %d books, %d chapters, %d bytes" % (target, len(books), chapters, len(data)))


if __name__ == "__main__":
    main()
