#include "TextCleanup.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace s2m {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// ---------------------------------------------------------------- UTF-8 --

// Decodes one code point at text[pos]. Returns the number of bytes used
// (at least 1); an invalid sequence yields U+FFFD and `valid` false.
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t &cp, bool &valid)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = byte(pos);
    valid = true;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        cp = kReplacement;
        valid = false;
        return 1;
    }
    if (pos + len > text.size()) {
        cp = kReplacement;
        valid = false;
        return 1;
    }
    for (std::size_t i = 1; i < len; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            cp = kReplacement;
            valid = false;
            return 1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = kReplacement;
        valid = false;
        return 1;
    }
    return len;
}

char32_t codePointAt(std::string_view text, std::size_t pos)
{
    char32_t cp = 0;
    bool valid = true;
    decodeUtf8(text, pos, cp, valid);
    return cp;
}

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isAsciiAlnum(char32_t cp)
{
    return (cp >= '0' && cp <= '9') || (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z');
}

bool isBlank(char32_t cp)
{
    return cp == ' ' || cp == '\t' || cp == '\r' || cp == '\n' || cp == 0xA0;
}

// A letter or digit outside ASCII, roughly: anything from Latin-1 letters up
// that is not one of the punctuation marks Bible texts use.
bool isWordChar(char32_t cp)
{
    if (cp < 0x80)
        return isAsciiAlnum(cp);
    if (cp < 0xC0 || cp == 0xD7 || cp == 0xF7)
        return false;
    if (cp >= 0x2000 && cp <= 0x2BFF) // general punctuation, symbols, arrows ...
        return false;
    if (cp >= 0x3000 && cp <= 0x303F) // CJK punctuation
        return false;
    return cp != kReplacement;
}

bool isOpeningMark(char32_t cp)
{
    switch (cp) {
    case '(':
    case '[':
    case '{':
    case '"':
    case '\'':
    case 0x2018:
    case 0x201C:
    case 0x00AB:
    case 0x2039:
    case 0x201A:
    case 0x201E:
        return true;
    default:
        return false;
    }
}

bool isDash(char32_t cp)
{
    return cp == '-' || (cp >= 0x2010 && cp <= 0x2015) || cp == 0x2212;
}

// Two visible characters that sat on both sides of removed markup: would they
// run together into one word?
bool wouldGlue(char32_t before, char32_t after)
{
    if (before == 0 || after == 0)
        return false;
    if (isBlank(before) || isOpeningMark(before) || isDash(before))
        return false;
    if (isDash(after))
        return false;
    return isWordChar(after) || (isOpeningMark(after) && after != '\'' && after != '"');
}

// ------------------------------------------------------------ raw entry --

struct TagInfo
{
    std::string name;     // element name as written (case kept)
    bool closing = false; // </name>
    bool selfClosing = false;
    std::string_view text; // the whole tag
};

TagInfo parseTag(std::string_view tag)
{
    TagInfo info;
    info.text = tag;
    std::size_t i = 1;
    if (i < tag.size() && tag[i] == '/') {
        info.closing = true;
        ++i;
    }
    while (i < tag.size()) {
        const char c = tag[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>')
            break;
        info.name += c;
        ++i;
    }
    info.selfClosing = tag.size() >= 2 && tag[tag.size() - 2] == '/';
    return info;
}

bool hasAttribute(std::string_view tag, std::string_view attribute)
{
    // attribute is given as e.g. "eID=" or "type=\"book\""
    std::size_t pos = 0;
    while ((pos = tag.find(attribute, pos)) != std::string_view::npos) {
        if (pos > 0 && (tag[pos - 1] == ' ' || tag[pos - 1] == '\t' || tag[pos - 1] == '\n'))
            return true;
        ++pos;
    }
    return false;
}

// Elements left out of the verse text with all their content: footnotes and
// cross-references, headings, speaker labels. For GBF the closing token is a
// tag of its own.
bool isHiddenStart(const TagInfo &tag, Markup markup, std::string &closeTag)
{
    if (tag.closing || tag.selfClosing)
        return false;
    switch (markup) {
    case Markup::OSIS:
        if (tag.name == "note" || tag.name == "title" || tag.name == "speaker") {
            closeTag = "</" + tag.name + ">";
            return true;
        }
        return false;
    case Markup::ThML:
        if (tag.name == "note") {
            closeTag = "</note>";
            return true;
        }
        return false;
    case Markup::GBF:
        if (tag.text == "<RF>") {
            closeTag = "<Rf>";
            return true;
        }
        if (tag.text == "<TS>") {
            closeTag = "<Ts>";
            return true;
        }
        return false;
    case Markup::Plain:
        return false;
    }
    return false;
}

// Position just after the end of the hidden element that starts with the tag at
// [tagStart, tagEnd). Nested elements of the same name are skipped.
std::size_t hiddenElementEnd(std::string_view raw, std::size_t tagEnd, const TagInfo &open,
                             const std::string &closeTag, Markup markup)
{
    if (markup == Markup::GBF) {
        const std::size_t close = raw.find(closeTag, tagEnd);
        return close == std::string_view::npos ? raw.size() : close + closeTag.size();
    }
    int depth = 1;
    std::size_t pos = tagEnd;
    while (pos < raw.size()) {
        const std::size_t lt = raw.find('<', pos);
        if (lt == std::string_view::npos)
            return raw.size();
        const std::size_t gt = raw.find('>', lt);
        if (gt == std::string_view::npos)
            return raw.size();
        const TagInfo inner = parseTag(raw.substr(lt, gt - lt + 1));
        if (inner.name == open.name && !inner.selfClosing) {
            depth += inner.closing ? -1 : 1;
            if (depth == 0)
                return gt + 1;
        }
        pos = gt + 1;
    }
    return raw.size();
}

bool isEndOfTextMarker(const TagInfo &tag, Markup markup)
{
    if (markup != Markup::OSIS || tag.closing)
        return false;
    if (tag.name == "chapter")
        return hasAttribute(tag.text, "eID=");
    if (tag.name == "div")
        return hasAttribute(tag.text, "eID=") && hasAttribute(tag.text, "type=\"book\"");
    return false;
}

bool isWordEdge(const TagInfo &tag)
{
    return tag.name == "w" && !tag.selfClosing;
}

bool isAddedEdge(const TagInfo &tag)
{
    return tag.name == "transChange" && !tag.selfClosing;
}

// The visible text of the element whose start tag ends just before `start`
// (hidden elements inside it left out), and the first visible character after
// the element (0 when none follows).
struct ElementText
{
    std::u32string text;
    char32_t after = 0;
};

ElementText visibleElementText(std::string_view raw, std::size_t start, const std::string &name,
                               Markup markup)
{
    ElementText result;
    int depth = 1;
    std::size_t pos = start;
    while (pos < raw.size()) {
        if (raw[pos] == '<') {
            const std::size_t gt = raw.find('>', pos);
            if (gt == std::string_view::npos)
                break;
            const TagInfo tag = parseTag(raw.substr(pos, gt - pos + 1));
            std::string closeTag;
            if (isHiddenStart(tag, markup, closeTag)) {
                pos = hiddenElementEnd(raw, gt + 1, tag, closeTag, markup);
                continue;
            }
            if (depth > 0 && tag.name == name && !tag.selfClosing)
                depth += tag.closing ? -1 : 1;
            pos = gt + 1;
            continue;
        }
        char32_t cp = 0;
        bool valid = true;
        pos += decodeUtf8(raw, pos, cp, valid);
        if (depth == 0) {
            result.after = cp;
            break;
        }
        result.text += cp;
    }
    return result;
}

char32_t toLower(char32_t cp)
{
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
        return cp + 0x20;
    return cp;
}

bool isUpper(char32_t cp)
{
    return toLower(cp) != cp;
}

std::u32string lowered(std::u32string_view word)
{
    std::u32string out;
    for (char32_t cp : word)
        out += toLower(cp);
    return out;
}

bool isSpanishVowel(char32_t cp)
{
    return std::u32string_view(U"aeiou\u00E1\u00E9\u00ED\u00F3\u00FA\u00FC").find(cp) !=
           std::u32string_view::npos;
}

bool isOneOf(std::u32string_view word, std::initializer_list<std::u32string_view> words)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

// The unstressed pronouns, which Spanish writes on a verb before them.
bool isPronoun(std::u32string_view word)
{
    return isOneOf(word, {U"me", U"te", U"se", U"nos", U"os", U"lo", U"la", U"los", U"las", U"le", U"les"});
}

// A written accent on the last or the last but one syllable: "dió", "díjo",
// "envía" (not "ejército"). Syllables after the accent are counted as runs of
// vowels.
bool accentOnLastTwoSyllables(std::u32string_view word)
{
    const std::size_t accent = word.find_last_of(U"\u00E1\u00E9\u00ED\u00F3\u00FA");
    if (accent == std::u32string_view::npos)
        return false;
    int syllables = 0;
    bool inVowels = false;
    for (std::size_t i = accent + 1; i < word.size(); ++i) {
        const bool vowel = isSpanishVowel(word[i]);
        if (vowel && !inVowels)
            ++syllables;
        inVowels = vowel;
    }
    return syllables <= 1;
}

bool startsSentence(std::u32string_view visible, std::size_t wordStart)
{
    std::size_t i = wordStart;
    while (i > 0 && isBlank(visible[i - 1]))
        --i;
    if (i == 0)
        return true;
    const char32_t before = visible[i - 1];
    return std::u32string_view(U".:!?\u00BF\u00A1").find(before) != std::u32string_view::npos ||
           isOpeningMark(before);
}

} // namespace

bool attachesAsEnclitic(std::u32string_view host, bool sentenceStart, std::u32string_view added,
                        char32_t after)
{
    std::size_t firstEnd = 0;
    while (firstEnd < added.size() && isWordChar(added[firstEnd]))
        ++firstEnd;
    if (!isPronoun(lowered(added.substr(0, firstEnd))))
        return false;
    if (host.empty() || (isUpper(host.front()) && !sentenceStart))
        return false; // a name: "Josué los circuncidó"
    const std::u32string word = lowered(host);
    if (isPronoun(word) ||
        isOneOf(word,
                {U"no",   U"ni",       U"y",         U"e",           U"o",      U"u",        U"que",
                 U"como", U"cuando",   U"si",        U"pues",        U"mas",    U"m\u00E1s", U"ya",
                 U"aun",  U"a\u00FAn", U"cu\u00E1n", U"cu\u00E1nto", U"cuanto", U"tanto",    U"de",
                 U"del",  U"\u00E1",   U"a",         U"al",          U"en",     U"con",      U"por",
                 U"para", U"sin",      U"\u00E9l",   U"ellos",       U"ellas",  U"yo",       U"t\u00FA"}))
        return false;
    const bool moreWords = std::any_of(added.begin() + static_cast<std::ptrdiff_t>(firstEnd), added.end(),
                                       [](char32_t cp) { return isWordChar(cp); });
    if (!moreWords && !isWordChar(after))
        return true; // "di" + "les" + ":", "sáca" + "lo" + " de"
    const bool verbEnding = word.ends_with(U"ndo") || word.back() == U'r' || word.back() == U'd';
    return verbEnding || accentOnLastTwoSyllables(word) ||
           isOneOf(word, {U"di", U"da", U"haz", U"vi", U"ve", U"ven", U"pon", U"ten", U"sal"});
}

Markup markupFromSourceType(std::string_view sourceType)
{
    std::string lower;
    for (char c : sourceType)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "osis")
        return Markup::OSIS;
    if (lower == "thml")
        return Markup::ThML;
    if (lower == "gbf")
        return Markup::GBF;
    return Markup::Plain; // SWORD's default when SourceType is missing
}

std::string prepareRawEntry(std::string_view raw, Markup markup, std::string_view language)
{
    if (markup == Markup::Plain)
        return std::string(raw);

    std::string out;
    out.reserve(raw.size() + 8);

    char32_t lastVisible = 0;   // last character of text outside hidden elements
    bool seenText = false;      // any non-blank text outside hidden elements yet
    bool hiddenPending = false; // hidden elements since the last text
    std::size_t insertAt = 0;   // output position just after the last hidden element

    // Added words against a word element: the tags since the last text, and
    // where a blank would go between the two.
    const bool spanish = language.substr(0, 2) == "es";
    std::u32string visible; // text outside hidden elements so far
    bool runWordEdge = false;
    bool runAddedEdge = false;
    bool joinEnclitic = false;
    std::size_t joinAt = std::string::npos;

    std::size_t pos = 0;
    while (pos < raw.size()) {
        if (raw[pos] == '<') {
            const std::size_t gt = raw.find('>', pos);
            if (gt == std::string_view::npos) { // broken tag: keep the rest as it is
                out.append(raw.substr(pos));
                break;
            }
            const TagInfo tag = parseTag(raw.substr(pos, gt - pos + 1));
            if (seenText && isEndOfTextMarker(tag, markup))
                break; // the verse text ends here
            std::string closeTag;
            if (isHiddenStart(tag, markup, closeTag)) {
                // Dropped here rather than left to the option filters: their
                // output for a passed-in buffer does not drop every heading.
                const std::size_t end = hiddenElementEnd(raw, gt + 1, tag, closeTag, markup);
                hiddenPending = true;
                insertAt = out.size();
                pos = end;
                continue;
            }
            if (markup == Markup::OSIS && joinAt == std::string::npos &&
                ((isWordEdge(tag) && runAddedEdge) || (isAddedEdge(tag) && runWordEdge))) {
                joinAt = out.size();
                if (spanish && isAddedEdge(tag) && !tag.closing) {
                    const ElementText added = visibleElementText(raw, gt + 1, tag.name, markup);
                    std::size_t hostStart = visible.size();
                    while (hostStart > 0 && isWordChar(visible[hostStart - 1]))
                        --hostStart;
                    const std::u32string_view host = std::u32string_view(visible).substr(hostStart);
                    joinEnclitic =
                        attachesAsEnclitic(host, startsSentence(visible, hostStart), added.text, added.after);
                }
            }
            runWordEdge = runWordEdge || isWordEdge(tag);
            runAddedEdge = runAddedEdge || isAddedEdge(tag);
            out.append(tag.text);
            pos = gt + 1;
            continue;
        }
        // Text: one code point at a time.
        char32_t cp = 0;
        bool valid = true;
        const std::size_t len = decodeUtf8(raw, pos, cp, valid);
        if (hiddenPending) {
            if (wouldGlue(lastVisible, cp))
                out.insert(insertAt, 1, ' ');
            hiddenPending = false;
        } else if (joinAt != std::string::npos && !joinEnclitic && isWordChar(lastVisible) &&
                   isWordChar(cp)) {
            out.insert(joinAt, 1, ' ');
        }
        runWordEdge = runAddedEdge = joinEnclitic = false;
        joinAt = std::string::npos;
        visible += cp;
        out.append(raw.substr(pos, len));
        lastVisible = cp;
        if (!isBlank(cp))
            seenText = true;
        pos += len;
    }
    return out;
}

namespace {
// Length of a Strong's tag at pos ("<G3588>", "<H2416a>", "&lt;G3588&gt;"), 0 if none.
std::size_t strongsTagLength(std::string_view text, std::size_t pos)
{
    std::string_view open = "<", close = ">";
    if (text.substr(pos, 4) == "&lt;") {
        open = "&lt;";
        close = "&gt;";
    } else if (text.substr(pos, 1) != "<") {
        return 0;
    }
    std::size_t j = pos + open.size();
    if (j >= text.size() || (text[j] != 'H' && text[j] != 'G'))
        return 0;
    const std::size_t digits = ++j;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9')
        ++j;
    if (j == digits)
        return 0;
    if (j < text.size() && text[j] >= 'a' && text[j] <= 'z')
        ++j;
    return text.substr(j, close.size()) == close ? j + close.size() - pos : 0;
}
} // namespace

std::string removeStrongsTags(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (const std::size_t length = strongsTagLength(text, pos)) {
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            pos += length;
            continue;
        }
        out += text[pos++];
    }
    return out;
}

std::string cleanVerseText(std::string_view input, const CleanupOptions &options)
{
    const std::string stripped = options.stripStrongsTags ? removeStrongsTags(input) : std::string();
    const std::string_view text = options.stripStrongsTags ? std::string_view(stripped) : input;
    // 1. Code points, with markers, entities and odd white space dealt with.
    std::string work;
    work.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\\') {
            // USFM character marker left in the text: \nd  \nd*  \+nd*  \w  \f ...
            std::size_t j = pos + 1;
            if (j < text.size() && text[j] == '+')
                ++j;
            const std::size_t letters = j;
            while (j < text.size() && text[j] >= 'a' && text[j] <= 'z')
                ++j;
            if (j > letters) {
                while (j < text.size() && text[j] >= '0' && text[j] <= '9')
                    ++j;
                if (j < text.size() && text[j] == '*')
                    ++j;
                else if (j < text.size() && text[j] == ' ')
                    ++j; // an opening marker owns the blank after it
                pos = j;
                continue;
            }
        }
        if (c == '&') {
            static constexpr std::array<std::pair<std::string_view, char>, 5> entities{
                {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
            bool replaced = false;
            for (const auto &[name, value] : entities) {
                if (text.substr(pos, name.size()) == name) {
                    work += value;
                    pos += name.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
            if (text.substr(pos, 2) == "&#") {
                const std::size_t semi = text.find(';', pos);
                if (semi != std::string_view::npos && semi - pos <= 10) {
                    const bool hex = pos + 2 < text.size() && (text[pos + 2] == 'x' || text[pos + 2] == 'X');
                    const std::string digits(text.substr(pos + (hex ? 3 : 2), semi - pos - (hex ? 3 : 2)));
                    char32_t value = 0;
                    bool ok = !digits.empty();
                    for (char d : digits) {
                        int v = -1;
                        if (d >= '0' && d <= '9')
                            v = d - '0';
                        else if (hex && d >= 'a' && d <= 'f')
                            v = d - 'a' + 10;
                        else if (hex && d >= 'A' && d <= 'F')
                            v = d - 'A' + 10;
                        if (v < 0) {
                            ok = false;
                            break;
                        }
                        value = value * (hex ? 16 : 10) + static_cast<char32_t>(v);
                        if (value > 0x10FFFF) {
                            ok = false;
                            break;
                        }
                    }
                    if (ok) {
                        appendUtf8(work, value);
                        pos = semi + 1;
                        continue;
                    }
                }
            }
        }
        char32_t cp = 0;
        bool valid = true;
        const std::size_t len = decodeUtf8(text, pos, cp, valid);
        pos += len;
        if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 ||
            (cp >= 0x2000 && cp <= 0x200A) || cp == 0x3000) {
            work += ' ';
            continue;
        }
        if (cp == 0x200B || cp == 0xFEFF || cp == 0x2060)
            continue;
        if (!options.keepPilcrows && cp == 0xB6) {
            if (pos < text.size() && text[pos] == ' ')
                ++pos;
            continue;
        }
        if (valid)
            work.append(text.substr(pos - len, len));
        else
            appendUtf8(work, kReplacement);
    }

    // 2. A closing double quote that runs straight into a word.
    std::string spaced;
    spaced.reserve(work.size() + 4);
    for (std::size_t i = 0; i < work.size();) {
        char32_t cp = 0;
        bool valid = true;
        const std::size_t len = decodeUtf8(work, i, cp, valid);
        spaced.append(work, i, len);
        i += len;
        if (cp == 0x201D && i < work.size() && isWordChar(codePointAt(work, i)))
            spaced += ' ';
    }

    // 3. Collapse blanks, trim.
    std::string out;
    out.reserve(spaced.size());
    bool pendingBlank = false;
    for (char c : spaced) {
        if (c == ' ') {
            pendingBlank = !out.empty();
            continue;
        }
        const bool tight = options.tightPunctuation &&
                           (c == '?' || c == '!' || c == ',' || c == ';' || c == ':' || c == ')');
        if (pendingBlank && !tight)
            out += ' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

std::string latin1ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 where the code page leaves the byte unused.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Base letters for U+0100..U+017F (Latin Extended-A); '?' where none fits.
// Entries the code page has itself (Œ œ Š š Ÿ Ž ž) are never looked up here.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlLlLlNnNnNnnNn"
    "OoOoOo??RrRrRrSsSsSs??TtTtTtUuUuUuUuUuUuWwYy?ZzZz??s";
static_assert(kLatinExtendedA.size() == 0x80);

int exactCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

// A close equivalent for a character the code page lacks (already encoded).
std::string approximateCp1252(char32_t cp)
{
    switch (cp) {
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2043:
    case 0x2212:
        return "-";
    case 0x2015:
        return "\x97"; // horizontal bar -> em dash
    case 0x2032:
    case 0x02B9:
    case 0x02CA:
        return "'";
    case 0x2033:
    case 0x02BA:
        return "\"";
    case 0x201B:
    case 0x02BB:
    case 0x02BD:
        return "\x91"; // left single quote
    case 0x02BC:
    case 0x02BE:
        return "\x92"; // right single quote / apostrophe
    case 0x201F:
        return "\x93";
    case 0x2024:
        return ".";
    case 0x2025:
        return "..";
    case 0x202F:
    case 0x205F:
        return " ";
    case 0x2027:
    case 0x2219:
    case 0x22C5:
        return "\xB7"; // middle dot
    default:
        break;
    }
    if (cp >= 0x100 && cp <= 0x17F && kLatinExtendedA[cp - 0x100] != '?')
        return std::string(1, kLatinExtendedA[cp - 0x100]);
    return "?";
}

} // namespace

std::string utf8ToCp1252(std::string_view text, Substitutions &subs)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        bool valid = true;
        pos += decodeUtf8(text, pos, cp, valid);
        const int exact = valid ? exactCp1252(cp) : -1;
        if (exact >= 0) {
            out += static_cast<char>(exact);
            continue;
        }
        ++subs[cp];
        out += approximateCp1252(cp);
    }
    return out;
}

std::string sanitizeUtf8(std::string_view text, Substitutions &subs)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        bool valid = true;
        const std::size_t len = decodeUtf8(text, pos, cp, valid);
        if (!valid) {
            ++subs[kReplacement];
            appendUtf8(out, kReplacement);
        } else if (cp != 0xFEFF) {
            out.append(text.substr(pos, len));
        }
        pos += len;
    }
    return out;
}

bool looksLikeMarkup(std::string_view text)
{
    if (text.find_first_of("<>{}\\") != std::string_view::npos)
        return true;
    for (std::size_t amp = text.find('&'); amp != std::string_view::npos; amp = text.find('&', amp + 1)) {
        std::size_t i = amp + 1;
        if (i < text.size() && text[i] == '#')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && isAsciiAlnum(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > start && i < text.size() && text[i] == ';')
            return true;
    }
    return false;
}

} // namespace s2m
