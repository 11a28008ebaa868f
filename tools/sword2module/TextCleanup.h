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
//    words are glued together;
//  - where an OSIS word element and added words (<transChange>) meet with a
//    letter on both sides and no blank between them
//    ("llamado</w><transChange>á ser</transChange><w>apóstol"), puts a blank
//    between them, so that the added words do not run into the words around
//    them. A letter that follows a word element's end on its own ("tear</w>s")
//    is a word split by the markup and stays joined. In a Spanish text
//    (`language` "es"), a pronoun added straight after a verb is written on
//    the verb, as the language does ("sáca</w><transChange>lo</transChange>"
//    gives "sácalo"): see attachesAsEnclitic.
std::string prepareRawEntry(std::string_view raw, Markup markup, std::string_view language = {});

// Spanish: whether the added words `added`, which follow the word `host` with
// no blank between, begin with a pronoun written on that word as an enclitic
// ("sáca" + "lo" = "sácalo", "díjo" + "le" = "díjole") rather than a word of
// their own ("no" + "lo" = "no lo"). `sentenceStart` tells that `host` begins a
// sentence (so a capital does not make it a name); `after` is the character
// that follows the added words (0 at the end). The pronoun joins a verb form:
// an infinitive, gerund or plural imperative ("sacar", "oyéndo", "guardad"),
// a word whose written accent falls on its last two syllables ("díjo",
// "llenará"), or a short imperative ("di", "haz"); never a name (capitalised
// inside a sentence) nor a particle ("no", "que", "como"). A lone pronoun that
// the source follows with a blank or punctuation is the end of the word before
// it ("di" + "les" + ":" = "diles:").
bool attachesAsEnclitic(std::u32string_view host, bool sentenceStart, std::u32string_view added,
                        char32_t after);

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
