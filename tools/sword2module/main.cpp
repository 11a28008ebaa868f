// sword2module: writes a SWORD Bible module as a Verbanox Bible module file.
//
// Output: one verse per line, "line<TAB>book<TAB>chapter<TAB>verse<TAB>text" and
// CR LF, books numbered 1-66 (Genesis .. Malachi = 1..39, Matthew .. Revelation
// = 40..66), in UTF-8 (no byte-order mark) or Windows code page 1252.
//
// The verse text comes from the library's plain-text (strip) filters with all
// option filters off (Strong's numbers, morphology, footnotes, cross-references,
// headings, red letters), and is then cleaned: see TextCleanup.h.

#include "ReferenceWorks.h"
#include "TextCleanup.h"

#include <swmgr.h>
#include <swmodule.h>
#include <versekey.h>
#include <versificationmgr.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<std::string_view, 66> kBookOsisNames{
    "Gen",   "Exod", "Lev",  "Num",  "Deut", "Josh", "Judg",  "Ruth",   "1Sam",   "2Sam",  "1Kgs",
    "2Kgs",  "1Chr", "2Chr", "Ezra", "Neh",  "Esth", "Job",   "Ps",     "Prov",   "Eccl",  "Song",
    "Isa",   "Jer",  "Lam",  "Ezek", "Dan",  "Hos",  "Joel",  "Amos",   "Obad",   "Jonah", "Mic",
    "Nah",   "Hab",  "Zeph", "Hag",  "Zech", "Mal",  "Matt",  "Mark",   "Luke",   "John",  "Acts",
    "Rom",   "1Cor", "2Cor", "Gal",  "Eph",  "Phil", "Col",   "1Thess", "2Thess", "1Tim",  "2Tim",
    "Titus", "Phlm", "Heb",  "Jas",  "1Pet", "2Pet", "1John", "2John",  "3John",  "Jude",  "Rev"};

// Limits of the program's chapter index: chapter, verse and chapter-per-book
// counts are kept in 8 bits, line numbers in 16-bit signed numbers.
constexpr int kMaxChaptersPerBook = 255;
constexpr int kMaxVersesPerChapter = 255;
constexpr long kMaxLines = 32767;

int bookNumber(std::string_view osisName)
{
    for (std::size_t i = 0; i < kBookOsisNames.size(); ++i)
        if (kBookOsisNames[i] == osisName)
            return static_cast<int>(i) + 1;
    return 0;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return out;
}

enum class Encoding { Utf8, Cp1252 };

struct Options
{
    std::string module;
    std::string output;
    std::string swordPath;
    Encoding encoding = Encoding::Utf8;
    bool keepPilcrows = true;
    bool stripStrongs = false;
    bool list = false;
    bool commentary = false;
    std::string dictionaryPrefix; // set: write a dictionary
    std::string referenceWork;    // the work whose references a dictionary follows
};

void usage(std::ostream &os)
{
    os << "Usage: sword2module [options] MODULE OUTPUT\n"
          "       sword2module [--sword-path DIR] --list\n"
          "\n"
          "Writes the SWORD Bible module MODULE (its name, e.g. engKJV2006eb, or its\n"
          "abbreviation, e.g. KJV) as a Verbanox Bible module file OUTPUT.\n"
          "\n"
          "Options:\n"
          "  --utf8             write UTF-8 without byte-order mark (default)\n"
          "  --cp1252           write Windows code page 1252\n"
          "  --drop-pilcrows    leave out paragraph signs (\xC2\xB6) found in the text\n"
          "  --strip-strongs    remove Strong's numbers written into the text (<H2416>)\n"
          "  --sword-path DIR   read modules from the SWORD library in DIR\n"
          "                     (a folder holding mods.d/ and modules/) instead of\n"
          "                     the system's\n"
          "  --list             list the Bible modules found and stop\n"
          "  --commentary       MODULE is a commentary: write a commentary module\n"
          "                     (code page 1252 unless --utf8 is given)\n"
          "  --dictionary P W   MODULE is a dictionary of numbered entries: write a\n"
          "                     dictionary module (UTF-8), headwords numbered with\n"
          "                     prefix P, references into work W followed\n"
          "  -h, --help         show this help\n";
}

// Returns 0 on success, otherwise the exit code to use.
int parseArguments(int argc, char **argv, Options &opts)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            usage(std::cout);
            return -1;
        }
        if (arg == "--utf8") {
            opts.encoding = Encoding::Utf8;
        } else if (arg == "--cp1252") {
            opts.encoding = Encoding::Cp1252;
        } else if (arg == "--drop-pilcrows") {
            opts.keepPilcrows = false;
        } else if (arg == "--strip-strongs") {
            opts.stripStrongs = true;
        } else if (arg == "--list") {
            opts.list = true;
        } else if (arg == "--commentary") {
            opts.commentary = true;
        } else if (arg == "--dictionary") {
            if (i + 2 >= argc) {
                std::cerr << "sword2module: --dictionary needs a headword prefix and a work name\n";
                return 2;
            }
            opts.dictionaryPrefix = argv[++i];
            opts.referenceWork = argv[++i];
        } else if (arg == "--sword-path") {
            if (i + 1 >= argc) {
                std::cerr << "sword2module: --sword-path needs a folder\n";
                return 2;
            }
            opts.swordPath = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "sword2module: unknown option " << arg << "\n";
            usage(std::cerr);
            return 2;
        } else {
            positional.emplace_back(arg);
        }
    }
    if (opts.list)
        return positional.empty() ? 0 : 2;
    if (positional.size() != 2) {
        usage(std::cerr);
        return 2;
    }
    opts.module = positional[0];
    opts.output = positional[1];
    return 0;
}

bool isBibleModule(sword::SWModule *mod)
{
    return mod && dynamic_cast<sword::VerseKey *>(mod->getKey()) != nullptr;
}

sword::SWModule *findModule(sword::SWMgr &mgr, const std::string &name)
{
    if (sword::SWModule *mod = mgr.getModule(name.c_str()))
        return mod;
    std::vector<sword::SWModule *> matches;
    for (auto &[modName, mod] : mgr.getModules()) {
        const char *abbrev = mod->getConfigEntry("Abbreviation");
        if (lower(modName.c_str()) == lower(name) || (abbrev && lower(abbrev) == lower(name)))
            matches.push_back(mod);
    }
    if (matches.size() == 1)
        return matches.front();
    if (matches.size() > 1) {
        std::cerr << "sword2module: \"" << name << "\" is ambiguous:";
        for (auto *mod : matches)
            std::cerr << ' ' << mod->getName();
        std::cerr << "\n";
    }
    return nullptr;
}

void listModules(sword::SWMgr &mgr)
{
    for (auto &[modName, mod] : mgr.getModules()) {
        if (!isBibleModule(mod))
            continue;
        const char *abbrev = mod->getConfigEntry("Abbreviation");
        const char *v11n = mod->getConfigEntry("Versification");
        std::cout << modName.c_str() << "\t" << (abbrev ? abbrev : "") << "\t" << (v11n ? v11n : "KJV")
                  << "\t" << mod->getDescription() << "\n";
    }
}

void switchOptionFiltersOff(sword::SWMgr &mgr)
{
    for (const auto &option : mgr.getGlobalOptions()) {
        const auto values = mgr.getGlobalOptionValues(option);
        const auto has = [&](const char *v) {
            return std::find(values.begin(), values.end(), sword::SWBuf(v)) != values.end();
        };
        if (has("Primary Reading"))
            mgr.setGlobalOption(option, "Primary Reading");
        else if (has("Off"))
            mgr.setGlobalOption(option, "Off");
    }
}

struct Verse
{
    std::string text; // cleaned UTF-8
};

struct Chapter
{
    std::vector<Verse> verses; // verse n at index n-1
};

struct Book
{
    int number = 0;
    std::string osisName;
    std::vector<Chapter> chapters; // chapter n at index n-1
};

std::string reference(const Book &book, std::size_t chapter, std::size_t verse)
{
    return book.osisName + " " + std::to_string(chapter) + ":" + std::to_string(verse);
}

std::string hexCodePoint(char32_t cp)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

bool writeFileAtomically(const std::string &output, const std::string &out)
{
    const std::filesystem::path outPath(output);
    std::error_code ec;
    if (outPath.has_parent_path())
        std::filesystem::create_directories(outPath.parent_path(), ec);
    const std::filesystem::path tmpPath = outPath.string() + ".tmp";
    {
        std::ofstream file(tmpPath, std::ios::binary | std::ios::trunc);
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (!file) {
            std::cerr << "sword2module: cannot write " << tmpPath << "\n";
            return false;
        }
    }
    std::filesystem::rename(tmpPath, outPath, ec);
    if (ec) {
        std::cerr << "sword2module: cannot rename " << tmpPath << " to " << outPath << ": " << ec.message()
                  << "\n";
        return false;
    }
    return true;
}

void printSubstitutions(const s2m::Substitutions &subs)
{
    std::cout << "Characters substituted (" << subs.size() << ")";
    for (const auto &[cp, count] : subs)
        std::cout << "  " << hexCodePoint(cp) << " x" << count;
    std::cout << "\n";
}

// A commentary: one line per verse of every chapter up to the last note of each
// book, the note text of a verse (with its reference in square brackets, which
// the program shows as blanks) or nothing; chapters and verses without gaps, as
// the chapter index needs them.
int writeCommentary(sword::SWModule *mod, const Options &opts)
{
    auto *key = dynamic_cast<sword::VerseKey *>(mod->getKey());
    if (!key) {
        std::cerr << "sword2module: " << mod->getName() << " is not keyed by verse\n";
        return 1;
    }
    key->setIntros(false);
    key->setAutoNormalize(false);
    const sword::VersificationMgr::System *v11n =
        sword::VersificationMgr::getSystemVersificationMgr()->getVersificationSystem(
            key->getVersificationSystem());
    const int otBooks = v11n->getBMAX()[0];
    // book -> chapter -> verse -> note
    std::map<int, std::map<int, std::map<int, std::string>>> notes;
    std::string previousRaw;
    long linked = 0;
    for (int b = 0; b < v11n->getBookCount(); ++b) {
        const sword::VersificationMgr::Book *vb = v11n->getBook(b);
        const int number = bookNumber(vb->getOSISName());
        if (number == 0)
            continue;
        for (int c = 1; c <= vb->getChapterMax(); ++c)
            for (int v = 1; v <= vb->getVerseMax(c); ++v) {
                key->setTestament(static_cast<char>(b < otBooks ? 1 : 2));
                key->setBook(static_cast<char>(b < otBooks ? b + 1 : b - otBooks + 1));
                key->setChapter(c);
                key->setVerse(v);
                key->popError();
                const std::string raw = mod->getRawEntry();
                // A note kept for a range of verses comes back for each of them.
                if (raw == previousRaw) {
                    linked += raw.empty() ? 0 : 1;
                    continue;
                }
                previousRaw = raw;
                const std::string text = s2m::commentaryText(raw);
                if (!text.empty())
                    notes[number][c][v] = "[" + std::string(vb->getLongName()) + " " + std::to_string(c) +
                                          ":" + std::to_string(v) + "] " + text +
                                          std::string(s2m::kCommentaryBreak) +
                                          std::string(s2m::kCommentaryBreak);
            }
    }
    std::string out;
    s2m::Substitutions subs;
    long line = 0, chapters = 0, noted = 0;
    for (const auto &[book, bookNotes] : notes) {
        const int lastChapter = bookNotes.rbegin()->first;
        if (lastChapter > kMaxChaptersPerBook) {
            std::cerr << "sword2module: book " << book << " has notes in chapter " << lastChapter << "\n";
            return 1;
        }
        for (int c = 1; c <= lastChapter; ++c) {
            ++chapters;
            const auto chapter = bookNotes.find(c);
            const int lastVerse = chapter == bookNotes.end() ? 1 : chapter->second.rbegin()->first;
            if (lastVerse > kMaxVersesPerChapter) {
                std::cerr << "sword2module: book " << book << " chapter " << c << " has too many verses\n";
                return 1;
            }
            for (int v = 1; v <= lastVerse; ++v) {
                std::string text;
                if (chapter != bookNotes.end())
                    if (const auto note = chapter->second.find(v); note != chapter->second.end()) {
                        text = note->second;
                        ++noted;
                    }
                text = opts.encoding == Encoding::Cp1252 ? s2m::utf8ToCp1252(text, subs)
                                                         : s2m::sanitizeUtf8(text, subs);
                out += std::to_string(++line) + "\t" + std::to_string(book) + "\t" + std::to_string(c) +
                       "\t" + std::to_string(v) + "\t" + text + "\r\n";
            }
        }
    }
    if (line > kMaxLines) {
        std::cerr << "sword2module: " << line << " lines; the chapter index holds at most " << kMaxLines
                  << "\n";
        return 1;
    }
    if (!writeFileAtomically(opts.output, out))
        return 1;
    std::cout << "Wrote         " << opts.output << " (" << out.size() << " bytes)\n"
              << "Books " << notes.size() << ", chapters " << chapters << ", lines " << line << ", notes "
              << noted << ", repeated notes of verse ranges left out " << linked << "\n";
    printSubstitutions(subs);
    return 0;
}

// A dictionary of numbered entries: "<number><Tab><headword><Tab><text>" in
// UTF-8, in the order of the numbers.
int writeDictionary(sword::SWModule *mod, const Options &opts)
{
    std::map<int, s2m::DictionaryEntryText> entries;
    long unnumbered = 0, duplicates = 0;
    for (mod->setPosition(sword::TOP); !mod->popError(); (*mod)++) {
        const std::optional<s2m::DictionaryEntryText> entry =
            s2m::dictionaryEntry(mod->getRawEntry(), opts.dictionaryPrefix, opts.referenceWork);
        if (!entry || entry->number > 32767) {
            ++unnumbered;
            continue;
        }
        if (!entries.emplace(entry->number, *entry).second) {
            ++duplicates;
            std::cout << "Entry " << entry->number << " comes again (\"" << entry->headword
                      << "\"); the first is kept\n";
        }
    }
    std::string out;
    s2m::Substitutions subs;
    for (const auto &[number, entry] : entries)
        out += std::to_string(number) + "\t" + s2m::sanitizeUtf8(entry.headword, subs) + "\t" +
               s2m::sanitizeUtf8(entry.text, subs) + "\r\n";
    if (!writeFileAtomically(opts.output, out))
        return 1;
    std::cout << "Wrote         " << opts.output << " (UTF-8, " << out.size() << " bytes)\n"
              << "Entries " << entries.size() << ", without a number " << unnumbered << ", repeated numbers "
              << duplicates << "\n";
    printSubstitutions(subs);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options opts;
    if (const int rc = parseArguments(argc, argv, opts); rc != 0)
        return rc < 0 ? 0 : rc;

    std::unique_ptr<sword::SWMgr> mgr;
    if (opts.swordPath.empty())
        mgr = std::make_unique<sword::SWMgr>();
    else
        mgr = std::make_unique<sword::SWMgr>(opts.swordPath.c_str(), true, nullptr, false, false);

    if (opts.list) {
        listModules(*mgr);
        return 0;
    }

    sword::SWModule *mod = findModule(*mgr, opts.module);
    if (!mod) {
        std::cerr << "sword2module: no SWORD module \"" << opts.module << "\" (try --list)\n";
        return 1;
    }
    if (opts.commentary || !opts.referenceWork.empty()) {
        switchOptionFiltersOff(*mgr);
        return opts.commentary ? writeCommentary(mod, opts) : writeDictionary(mod, opts);
    }
    if (!isBibleModule(mod)) {
        std::cerr << "sword2module: " << mod->getName() << " is not a Bible text module\n";
        return 1;
    }
    switchOptionFiltersOff(*mgr);

    const char *sourceType = mod->getConfigEntry("SourceType");
    const s2m::Markup markup = s2m::markupFromSourceType(sourceType ? sourceType : "");
    const char *encodingEntry = mod->getConfigEntry("Encoding");
    const std::string moduleEncoding = lower(encodingEntry ? encodingEntry : "Latin-1");
    const bool moduleIsUtf8 = moduleEncoding == "utf-8" || moduleEncoding == "utf8";
    if (!moduleIsUtf8 && moduleEncoding != "latin-1") {
        std::cerr << "sword2module: module encoding " << encodingEntry << " is not supported\n";
        return 1;
    }

    auto *key = dynamic_cast<sword::VerseKey *>(mod->getKey());
    key->setIntros(false);
    key->setAutoNormalize(false);
    const sword::VersificationMgr::System *v11n =
        sword::VersificationMgr::getSystemVersificationMgr()->getVersificationSystem(
            key->getVersificationSystem());
    if (!v11n) {
        std::cerr << "sword2module: unknown versification " << key->getVersificationSystem() << "\n";
        return 1;
    }
    const int otBooks = v11n->getBMAX()[0];

    std::cout << "Module        " << mod->getName() << " (" << mod->getDescription() << ")\n"
              << "Versification " << v11n->getName() << ", markup " << (sourceType ? sourceType : "plain")
              << ", encoding " << (moduleIsUtf8 ? "UTF-8" : "Latin-1") << "\n";

    // ---- read -------------------------------------------------------------
    std::map<int, Book> books;
    std::vector<std::string> skippedBooks;
    std::vector<std::string> markupWarnings;
    s2m::CleanupOptions cleanup;
    cleanup.keepPilcrows = opts.keepPilcrows;
    cleanup.stripStrongsTags = opts.stripStrongs;
    const char *language = mod->getConfigEntry("Lang");
    cleanup.tightPunctuation = language && lower(language).rfind("en", 0) == 0;

    for (int b = 0; b < v11n->getBookCount(); ++b) {
        const sword::VersificationMgr::Book *vb = v11n->getBook(b);
        const int number = bookNumber(vb->getOSISName());
        if (number == 0) {
            skippedBooks.emplace_back(vb->getOSISName());
            continue;
        }
        Book &book = books[number];
        book.number = number;
        book.osisName = vb->getOSISName();
        const char testament = b < otBooks ? 1 : 2;
        const char bookInTestament = static_cast<char>(b < otBooks ? b + 1 : b - otBooks + 1);
        for (int c = 1; c <= vb->getChapterMax(); ++c) {
            Chapter chapter;
            for (int v = 1; v <= vb->getVerseMax(c); ++v) {
                key->setTestament(testament);
                key->setBook(bookInTestament);
                key->setChapter(c);
                key->setVerse(v);
                if (key->popError() || book.osisName != key->getOSISBookName() || key->getChapter() != c ||
                    key->getVerse() != v) {
                    std::cerr << "sword2module: cannot position on " << book.osisName << " " << c << ":" << v
                              << " (got " << key->getOSISRef() << ")\n";
                    return 1;
                }
                const std::string raw = mod->getRawEntry();
                const std::string prepared = s2m::prepareRawEntry(raw, markup, language ? language : "");
                std::string plain = mod->stripText(prepared.c_str(), static_cast<int>(prepared.size()));
                if (!moduleIsUtf8)
                    plain = s2m::latin1ToUtf8(plain);
                Verse verse{s2m::cleanVerseText(plain, cleanup)};
                if (s2m::looksLikeMarkup(verse.text))
                    markupWarnings.push_back(reference(book, c, v) + ": " + verse.text);
                chapter.verses.push_back(std::move(verse));
            }
            book.chapters.push_back(std::move(chapter));
        }
    }

    // ---- shape: drop empty verses that end a chapter, empty trailing chapters
    std::vector<std::string> droppedVerses;
    std::vector<std::string> emptyVerses;
    std::vector<std::string> emptyBooks;
    bool shapeError = false;
    for (auto it = books.begin(); it != books.end();) {
        Book &book = it->second;
        for (std::size_t c = 0; c < book.chapters.size(); ++c) {
            auto &verses = book.chapters[c].verses;
            std::size_t keep = verses.size();
            while (keep > 0 && verses[keep - 1].text.empty())
                --keep;
            for (std::size_t v = keep; v < verses.size(); ++v)
                droppedVerses.push_back(reference(book, c + 1, v + 1));
            verses.resize(keep);
        }
        while (!book.chapters.empty() && book.chapters.back().verses.empty())
            book.chapters.pop_back();
        if (book.chapters.empty()) {
            emptyBooks.push_back(book.osisName);
            it = books.erase(it);
            continue;
        }
        if (static_cast<int>(book.chapters.size()) > kMaxChaptersPerBook) {
            std::cerr << "sword2module: " << book.osisName << " has " << book.chapters.size()
                      << " chapters; at most " << kMaxChaptersPerBook << " fit\n";
            shapeError = true;
        }
        for (std::size_t c = 0; c < book.chapters.size(); ++c) {
            const auto &verses = book.chapters[c].verses;
            if (verses.empty()) {
                std::cerr << "sword2module: " << book.osisName << " " << c + 1
                          << " has no text but later chapters do; chapters cannot have gaps\n";
                shapeError = true;
            }
            if (static_cast<int>(verses.size()) > kMaxVersesPerChapter) {
                std::cerr << "sword2module: " << book.osisName << " " << c + 1 << " has " << verses.size()
                          << " verses; at most " << kMaxVersesPerChapter << " fit\n";
                shapeError = true;
            }
            for (std::size_t v = 0; v < verses.size(); ++v)
                if (verses[v].text.empty())
                    emptyVerses.push_back(reference(book, c + 1, v + 1));
        }
        ++it;
    }
    if (shapeError)
        return 1;

    // ---- write ------------------------------------------------------------
    std::string out;
    s2m::Substitutions subs;
    long line = 0;
    long chapters = 0;
    for (const auto &[number, book] : books) {
        for (std::size_t c = 0; c < book.chapters.size(); ++c) {
            ++chapters;
            const auto &verses = book.chapters[c].verses;
            for (std::size_t v = 0; v < verses.size(); ++v) {
                ++line;
                std::string text = opts.encoding == Encoding::Cp1252
                                       ? s2m::utf8ToCp1252(verses[v].text, subs)
                                       : s2m::sanitizeUtf8(verses[v].text, subs);
                out += std::to_string(line);
                out += '\t';
                out += std::to_string(number);
                out += '\t';
                out += std::to_string(c + 1);
                out += '\t';
                out += std::to_string(v + 1);
                out += '\t';
                out += text;
                out += "\r\n";
            }
        }
    }
    if (line > kMaxLines) {
        std::cerr << "sword2module: " << line << " lines; the chapter index holds at most " << kMaxLines
                  << "\n";
        return 1;
    }

    if (!writeFileAtomically(opts.output, out))
        return 1;

    // ---- report -----------------------------------------------------------
    const auto printList = [](const char *title, const std::vector<std::string> &items) {
        std::cout << title << " (" << items.size() << ")";
        for (std::size_t i = 0; i < items.size(); ++i)
            std::cout << (i == 0 ? ": " : ", ") << items[i];
        std::cout << "\n";
    };
    std::cout << "Wrote         " << opts.output << " ("
              << (opts.encoding == Encoding::Cp1252 ? "code page 1252" : "UTF-8") << ", " << out.size()
              << " bytes)\n"
              << "Books " << books.size() << ", chapters " << chapters << ", lines " << line << "\n";
    printList("Books skipped (not among the 66)", skippedBooks);
    printList("Books without text", emptyBooks);
    printList("Empty verses kept", emptyVerses);
    printList("Empty chapter-end verses dropped", droppedVerses);
    std::cout << "Characters substituted (" << subs.size() << ")";
    for (const auto &[cp, count] : subs)
        std::cout << "  " << hexCodePoint(cp) << " x" << count;
    std::cout << "\n";
    if (!markupWarnings.empty()) {
        std::cout << "Possible markup left in " << markupWarnings.size() << " verses:\n";
        for (const auto &w : markupWarnings)
            std::cout << "  " << w << "\n";
    }
    return 0;
}
