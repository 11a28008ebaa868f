// Text clean-up steps used by sword2module when it turns a SWORD verse into
// one line of a Verbanox Bible module. Nothing here depends on the SWORD
// library, so the steps can be tested on their own (see cleanup_test.cpp).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace s2m {

// Markup family of a SWORD module (its "SourceType" config entry).
enum class Markup { OSIS, ThML, GBF, Plain };

Markup markupFromSourceType(std::string_view sourceType);

// Works on the raw entry before the library's strip filter sees it:
//  - cuts the entry at an OSIS chapter-end or book-end marker; whatever follows
//    in the same entry (a glossary or an appendix glued to the last verse of
//    the book) is not verse text;
//  - drops footnotes, cross-reference notes, headings (titles, including psalm
//    superscriptions and acrostic letters) and speaker labels with all their
//    content; where that would make two characters touch
//    ("God<note>...</note>created"), a blank takes their place, so that no two
//    words are glued together.
std::string prepareRawEntry(std::string_view raw, Markup markup);

struct CleanupOptions
{
    bool keepPilcrows = true;      // KJV paragraph signs "¶"
    bool tightPunctuation = false; // English: no blank before ? ! , ; : )
    bool stripStrongsTags = false; // Strong's numbers written into the text: "<H2416>"
};

// Removes Strong's numbers that a module carries as text rather than as markup
// ("<H2416>", "<G3588>", also written "&lt;G3588&gt;"), with the blanks before
// each, so that "conmigo <G1700>," becomes "conmigo,". Other text stays.
std::string removeStrongsTags(std::string_view text);

// Works on the UTF-8 text that the strip filter returned:
//  - removes left-over USFM character markers (\nd, \nd*, \+nd* ...);
//  - decodes the few XML entities a filter may leave (&amp; &lt; &gt; &quot; &apos;);
//  - Tab, CR, LF, other control characters and Unicode line/paragraph
//    separators and zero-width characters become blanks (or vanish);
//  - a closing double quote directly followed by a letter or digit gets a blank;
//  - with tightPunctuation, a blank before ? ! , ; : or ) goes (a left-over of
//    markup around quotations in English texts: "walk’ ?”");
//  - with stripStrongsTags, Strong's numbers go (removeStrongsTags);
//  - runs of blanks collapse to one; both ends are trimmed.
std::string cleanVerseText(std::string_view text, const CleanupOptions &options = {});

// Latin-1 bytes to UTF-8 (for the rare module whose Encoding is not UTF-8).
std::string latin1ToUtf8(std::string_view text);

// Counts of characters that had no exact equivalent in the target code page,
// keyed by Unicode code point. The value is how often it was seen.
using Substitutions = std::map<char32_t, std::size_t>;

// UTF-8 to Windows code page 1252. Characters 1252 lacks are mapped to a close
// equivalent (hyphens, spaces, primes ...) or, failing that, to "?"; every such
// character is counted in `subs`. Invalid UTF-8 bytes count as U+FFFD.
std::string utf8ToCp1252(std::string_view text, Substitutions &subs);

// Replaces invalid UTF-8 sequences with U+FFFD (counted in `subs`) and drops a
// byte-order mark; valid text comes back unchanged.
std::string sanitizeUtf8(std::string_view text, Substitutions &subs);

// True when the text still holds characters that look like markup: < > { } \ or
// an "&name;" entity.
bool looksLikeMarkup(std::string_view text);

} // namespace s2m
