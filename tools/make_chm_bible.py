#!/usr/bin/env python3
"""Compiles a shipped Bible module into a CHM Bible: one HTML page per book,
a contents tree of books and chapters, and an index page as default topic.

Usage: make_chm_bible.py MODULE.txt TITLE OUT.chm
Needs: chmcmd (apt-get install fp-utils). Checks the result by listing it back
with chmlib-independent means: the file must exist, start with the ITSF
signature and hold every page name in its directory.
"""
import html
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


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


def page_name(abbrev):
    return "b_" + abbrev.lower().replace(" ", "") + ".html"


def write_book(folder, title, name, chapters):
    out = ['<html><head><meta charset="utf-8"><title>%s</title></head><body>' % html.escape(name),
           '<h1>%s</h1>' % html.escape(name),
           '<p><a href="index.html">%s</a></p>' % html.escape(title)]
    out.append("<p>" + " ".join('<a href="#c%d">%d</a>' % (c, c) for c in sorted(chapters)) + "</p>")
    for c in sorted(chapters):
        out.append('<h2><a name="c%d"></a>%s %d</h2><p>' % (c, html.escape(name), c))
        for verse, text in chapters[c]:
            # A no-break space written as itself: the page reads the same, and
            # a long book's thousands of entities cost the viewer time to decode.
            out.append("<sup>%d</sup>\u00a0%s " % (verse, html.escape(text)))
        out.append("</p>")
    out.append("</body></html>")
    with open(os.path.join(folder, page_name_for[name]), "w", encoding="utf-8") as f:
        f.write("\n".join(out))


page_name_for = {}


def main():
    module, title, target = sys.argv[1], sys.argv[2], sys.argv[3]
    names = book_names()
    books = read_module(module)
    work = tempfile.mkdtemp(prefix="chmbible.")
    try:
        toc = ['<html><body><object type="text/site properties"></object><ul>']
        index = ['<html><head><meta charset="utf-8"><title>%s</title></head><body><h1>%s</h1><ul>'
                 % (html.escape(title), html.escape(title))]
        pages = []
        for number in sorted(books):
            abbrev, name = names.get(number, (str(number), "Book %d" % number))
            page = page_name(abbrev)
            page_name_for[name] = page
            pages.append(page)
            write_book(work, title, name, books[number])
            index.append('<li><a href="%s">%s</a></li>' % (page, html.escape(name)))
            toc.append('<li><object type="text/sitemap"><param name="Name" value="%s">'
                       '<param name="Local" value="%s"></object><ul>' % (html.escape(name), page))
            for c in sorted(books[number]):
                toc.append('<li><object type="text/sitemap"><param name="Name" value="%s %d">'
                           '<param name="Local" value="%s#c%d"></object>' % (html.escape(name), c, page, c))
            toc.append("</ul>")
        toc.append("</ul></body></html>")
        index.append("</ul></body></html>")
        with open(os.path.join(work, "index.html"), "w", encoding="utf-8") as f:
            f.write("\n".join(index))
        with open(os.path.join(work, "toc.hhc"), "w", encoding="utf-8") as f:
            f.write("\n".join(toc))
        with open(os.path.join(work, "bible.hhp"), "w", encoding="utf-8") as f:
            f.write("[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=out.chm\n"
                    "Contents file=toc.hhc\nDefault topic=index.html\nTitle=%s\n\n[FILES]\nindex.html\n%s\n"
                    % (title, "\n".join(pages)))
        subprocess.run([shutil.which("chmcmd") or "chmcmd", "--no-html-scan", "bible.hhp"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL)
        shutil.copyfile(os.path.join(work, "out.chm"), target)
    finally:
        shutil.rmtree(work)
    with open(target, "rb") as f:
        data = f.read()
    assert data[:4] == b"ITSF", "not a CHM archive"
    for page in ["index.html", "toc.hhc"] + pages:
        assert ("/" + page).encode() in data, "missing page " + page
    print("%s: %d books, %d bytes" % (target, len(pages), len(data)))


if __name__ == "__main__":
    main()
