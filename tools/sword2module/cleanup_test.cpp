// Checks of the text clean-up steps (no SWORD library needed).
#include "ReferenceWorks.h"
#include "TextCleanup.h"

#include <iostream>
#include <string>

namespace {

int g_failed = 0;
int g_passed = 0;

void check(const std::string &name, const std::string &got, const std::string &want)
{
    if (got == want) {
        ++g_passed;
        return;
    }
    ++g_failed;
    std::cerr << "FAIL " << name << "\n  got:  [" << got << "]\n  want: [" << want << "]\n";
}

void check(const std::string &name, bool got, bool want)
{
    check(name, std::string(got ? "true" : "false"), std::string(want ? "true" : "false"));
}

using s2m::Markup;

} // namespace

int main()
{
    // Footnotes, headings and speaker labels go; a blank takes their place
    // where two words would otherwise touch.
    check("note glue",
          s2m::prepareRawEntry(
              "<w>God</w><note placement=\"foot\">x <reference>1:1</reference></note><w>created</w>",
              Markup::OSIS),
          "<w>God</w> <w>created</w>");
    check("note after comma", s2m::prepareRawEntry("knew,<note>a</note>Eve", Markup::OSIS), "knew, Eve");
    check("two notes in a row",
          s2m::prepareRawEntry("seed.\xE2\x80\x99<note>a</note><note>b</note>Then", Markup::OSIS),
          "seed.\xE2\x80\x99 Then");
    check("notes with a tag between",
          s2m::prepareRawEntry("Omega,</q><note>a</note><q who=\"Jesus\">x", Markup::OSIS),
          "Omega,</q> <q who=\"Jesus\">x");
    check("note before opening quote",
          s2m::prepareRawEntry("said,<note>a</note>\xE2\x80\x9CGo", Markup::OSIS), "said, \xE2\x80\x9CGo");
    // No blank where the note is followed by punctuation or a blank.
    check("note before punctuation", s2m::prepareRawEntry("gerahs<note>a</note>); half", Markup::OSIS),
          "gerahs); half");
    check("note before blank", s2m::prepareRawEntry("Bdellium<note>a</note> and", Markup::OSIS),
          "Bdellium and");
    check("note at start", s2m::prepareRawEntry("<note>a</note>Who", Markup::OSIS), "Who");
    check("note after dash",
          s2m::prepareRawEntry("heart\xE2\x80\x94"
                               "<note>a</note>a",
                               Markup::OSIS),
          "heart\xE2\x80\x94"
          "a");
    check("nested note", s2m::prepareRawEntry("a<note>x<note>y</note>z</note>b", Markup::OSIS), "a b");
    check("self-closing note kept as tag", s2m::prepareRawEntry("a<note n=\"1\"/>b", Markup::OSIS),
          "a<note n=\"1\"/>b");
    check("psalm title",
          s2m::prepareRawEntry("<title canonical=\"true\" type=\"psalm\">A Psalm.</title> <l/>LORD",
                               Markup::OSIS),
          " <l/>LORD");
    check("speaker", s2m::prepareRawEntry("rooms. <speaker>Friends</speaker> We", Markup::OSIS),
          "rooms.  We");
    check("thml note", s2m::prepareRawEntry("word<note>n</note>word", Markup::ThML), "word word");
    check("gbf note", s2m::prepareRawEntry("word<RF>note<Rf>word<TS>Head<Ts>", Markup::GBF), "word word");
    check("plain untouched", s2m::prepareRawEntry("a<note>c</note>", Markup::Plain), "a<note>c</note>");

    // Added words against word elements get a blank on each side that has a
    // letter against it; a word split by the markup stays whole.
    const auto added = [](const std::string &text) {
        return "<transChange type=\"added\">" + text + "</transChange>";
    };
    struct JoinRow
    {
        const char *name;
        std::string raw;
        const char *language;
        std::string want;
    };
    const JoinRow joinRows[] = {
        {"added words between words", "<w>llamado</w>" + added("\xC3\xA1 ser") + "<w>ap\xC3\xB3stol</w>,",
         "es", "<w>llamado</w> " + added("\xC3\xA1 ser") + " <w>ap\xC3\xB3stol</w>,"},
        {"added words, English", "<w>He</w>" + added("it was") + "<w>that</w>", "en",
         "<w>He</w> " + added("it was") + " <w>that</w>"},
        {"added words holding words",
         "<w>Estas</w>" + added("<w>son</w> <w>de que</w>") + "<w>Salom\xC3\xB3n</w>", "es",
         "<w>Estas</w> " + added("<w>son</w> <w>de que</w> ") + "<w>Salom\xC3\xB3n</w>"},
        {"blanks already there", "<w>a</w> " + added("b") + " <w>c</w>", "es",
         "<w>a</w> " + added("b") + " <w>c</w>"},
        {"punctuation after added words", "<w>dos</w>" + added("mil") + ", <w>y</w>", "es",
         "<w>dos</w> " + added("mil") + ", <w>y</w>"},
        {"word split by a word element", "<w>with tear</w>s, <w>and</w>", "en",
         "<w>with tear</w>s, <w>and</w>"},
        {"pronoun added to plain text", "pregunt\xC3\xA1ndo" + added("le") + ",", "es",
         "pregunt\xC3\xA1ndo" + added("le") + ","},
        {"enclitic pronoun", "<w>J\xC3\xBArame</w>" + added("lo") + " <w>en</w>", "es",
         "<w>J\xC3\xBArame</w>" + added("lo") + " <w>en</w>"},
        {"enclitic pronoun before a word", "<w>d\xC3\xADjo</w>" + added("le") + "<w>Dios</w>", "es",
         "<w>d\xC3\xADjo</w>" + added("le") + " <w>Dios</w>"},
        {"pronoun before its verb", "<w>no</w>" + added("lo") + "<w>hizo</w>", "es",
         "<w>no</w> " + added("lo") + " <w>hizo</w>"},
        {"pronoun after a name", "<w>cual</w> <w>Josu\xC3\xA9</w>" + added("los") + " circuncid\xC3\xB3",
         "es", "<w>cual</w> <w>Josu\xC3\xA9</w> " + added("los") + " circuncid\xC3\xB3"},
        {"pronoun rule is Spanish only", "<w>sing</w>" + added("me") + " <w>a</w>", "en",
         "<w>sing</w> " + added("me") + " <w>a</w>"},
    };
    for (const JoinRow &row : joinRows)
        check(row.name, s2m::prepareRawEntry(row.raw, Markup::OSIS, row.language), row.want);

    // Spanish pronouns written on the verb before them, or not.
    struct CliticRow
    {
        const char *name;
        std::u32string host;
        bool sentenceStart;
        std::u32string added;
        char32_t after;
        bool want;
    };
    const CliticRow cliticRows[] = {
        {"infinitive", U"sacar", false, U"la", U',', true},
        {"gerund", U"oy\u00E9ndo", false, U"lo", U'J', true},
        {"plural imperative", U"guardad", false, U"lo", U'y', true},
        {"accent on the last syllable", U"llenar\u00E1", false, U"las", U'd', true},
        {"accent on the last but one", U"d\u00EDjo", false, U"le", U'D', true},
        {"short imperative", U"di", false, U"les", U':', true},
        {"capital at a sentence start", U"D\u00EDgan", true, U"lo", U'l', true},
        {"more words on a verb", U"manifestar\u00E9", false, U"lo a\u00FAn", U';', true},
        {"particle", U"no", false, U"lo", U'h', false},
        {"accented particle", U"cu\u00E1nto", false, U"nos", U'a', false},
        {"name", U"Jehov\u00E1", false, U"los", U'a', false},
        {"noun before a verb", U"gentes", false, U"lo", U'o', false},
        {"accent further back", U"ej\u00E9rcito", false, U"se llamaba", U'S', false},
        {"article", U"dejaban", false, U"la cr\u00EDa", U',', false},
        {"no pronoun", U"llamado", false, U"\u00E1 ser", U'a', false},
    };
    for (const CliticRow &row : cliticRows)
        check(std::string("enclitic: ") + row.name,
              s2m::attachesAsEnclitic(row.host, row.sentenceStart, row.added, row.after), row.want);

    // The entry ends at the chapter or book end marker.
    check("cut at chapter end",
          s2m::prepareRawEntry(
              "Amen. <chapter eID=\"Rev.22\"/> <div eID=\"g1\" type=\"book\"/> Glossary text", Markup::OSIS),
          "Amen. ");
    check("cut at book end",
          s2m::prepareRawEntry("Amen. <div canonical=\"true\" eID=\"g\" osisID=\"Rev\" type=\"book\"/>x",
                               Markup::OSIS),
          "Amen. ");
    check("no cut before text", s2m::prepareRawEntry("<chapter eID=\"Gen.1\"/>In the", Markup::OSIS),
          "<chapter eID=\"Gen.1\"/>In the");
    check("x-p div is no cut", s2m::prepareRawEntry("a <div eID=\"g\" type=\"x-p\"/> b", Markup::OSIS),
          "a <div eID=\"g\" type=\"x-p\"/> b");

    // Clean-up of the rendered text.
    check("blanks", s2m::cleanVerseText("  In\tthe \r\n beginning\n"), "In the beginning");
    check("usfm markers", s2m::cleanVerseText("the \\nd LORD\\+nd*, and \\nd JEHOVAH\\nd* was"),
          "the LORD, and JEHOVAH was");
    check("entities", s2m::cleanVerseText("salt &amp; light &#8212; &#x41;"), "salt & light \xE2\x80\x94 A");
    check("closing quote glue", s2m::cleanVerseText("Omega,\xE2\x80\x9Dsays"), "Omega,\xE2\x80\x9D says");
    check("closing quote ok", s2m::cleanVerseText("said.\xE2\x80\x9D He"), "said.\xE2\x80\x9D He");
    check("line separator",
          s2m::cleanVerseText("a\xE2\x80\xA8"
                              "b"),
          "a b");
    check("zero width",
          s2m::cleanVerseText("a\xE2\x80\x8B"
                              "b"),
          "ab");
    check("pilcrow kept", s2m::cleanVerseText("\xC2\xB6 And"), "\xC2\xB6 And");
    s2m::CleanupOptions noPilcrows;
    noPilcrows.keepPilcrows = false;
    check("pilcrow dropped", s2m::cleanVerseText("\xC2\xB6 And", noPilcrows), "And");
    check("empty", s2m::cleanVerseText("   \n "), "");
    check("loose punctuation kept", s2m::cleanVerseText("walk\xE2\x80\x99 ?"), "walk\xE2\x80\x99 ?");
    s2m::CleanupOptions english;
    english.tightPunctuation = true;
    check("tight punctuation",
          s2m::cleanVerseText("walk\xE2\x80\x99 ?\xE2\x80\x9D coins ? Not , a ; b : c ( d ) . . .", english),
          "walk\xE2\x80\x99?\xE2\x80\x9D coins? Not, a; b: c ( d) . . .");

    // Encodings.
    s2m::Substitutions subs;
    check("cp1252 quotes",
          s2m::utf8ToCp1252("\xE2\x80\x9CGod\xE2\x80\x99s\xE2\x80\x9D \xE2\x80\x94 \xC3\xA6 \xC2\xB6", subs),
          "\x93God\x92s\x94 \x97 \xE6 \xB6");
    check("cp1252 no substitutions", subs.empty(), true);
    check("cp1252 approximations", s2m::utf8ToCp1252("\xE2\x80\x90\xC4\x81\xE2\x80\xB2\xE4\xB8\x80", subs),
          "-a'?");
    check("cp1252 counted", subs.size() == 4 && subs[0x2010] == 1 && subs[0x4E00] == 1, true);
    subs.clear();
    check("utf8 sanitize", s2m::sanitizeUtf8("ok \xE2\x80\x94 \xFF", subs), "ok \xE2\x80\x94 \xEF\xBF\xBD");
    check("utf8 sanitize counted", subs.size() == 1, true);
    check("latin1", s2m::latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");

    // Strong's numbers written as text go with the blank before them.
    check("strongs mid", s2m::removeStrongsTags("del <G3588> cielo"), "del cielo");
    check("strongs before comma", s2m::removeStrongsTags("conmigo <G1700>, diciendo"), "conmigo, diciendo");
    check("strongs twice", s2m::removeStrongsTags("siempre <G0165> jam\xC3\xA1s <G0165>."),
          "siempre jam\xC3\xA1s.");
    check("strongs entity", s2m::removeStrongsTags("vida &lt;H2416&gt; eterna"), "vida eterna");
    check("strongs suffix", s2m::removeStrongsTags("a <H1234a> b"), "a b");
    check("not strongs", s2m::removeStrongsTags("a <Hx> <G> <B12> b"), "a <Hx> <G> <B12> b");
    s2m::CleanupOptions strip;
    strip.stripStrongsTags = true;
    check("strongs in clean-up", s2m::cleanVerseText("<G3588> cielo  y tierra <H776>", strip),
          "cielo y tierra");
    check("strongs kept by default", s2m::cleanVerseText("cielo <G3588>"), "cielo <G3588>");

    check("markup <", s2m::looksLikeMarkup("a <b"), true);
    check("markup entity", s2m::looksLikeMarkup("a &amp; b"), true);
    check("markup none", s2m::looksLikeMarkup("a & b; [but] c"), false);

    // Commentary notes: paragraphs become the break mark (U+00E3), never doubled
    // or at an end; the commentary's own marks in the text are replaced.
    const std::string br(s2m::kCommentaryBreak);
    check(
        "note paragraphs",
        s2m::commentaryText("<hi type=\"bold\">light</hi><div eID=\"a\" type=\"x-p\"/> <div sID=\"b\" "
                            "type=\"x-p\"/> See <reference osisRef=\"jer 4:23\">Jeremiah 4:23</reference>."),
        "light" + br + "See Jeremiah 4:23.");
    check("note title", s2m::commentaryText("<title type=\"x-s\">Intro</title> Text &amp; more"),
          "Intro" + br + "Text & more");
    check("note own marks", s2m::commentaryText("[a] caf\xC3\xA3 x\\y"), "(a) cafa x y");
    check("note escaped list", s2m::commentaryText("one&lt;ol&gt;two"), "one" + br + "two");
    check("note empty", s2m::commentaryText("<div type=\"x-p\"/> "), "");

    // Dictionary entries: the first word forms head the entry, references into
    // the same work become the mark and five digits, others stay as labels.
    const std::string mark(s2m::kReferenceMark);
    const auto hebrew = s2m::dictionaryEntry(
        "<entryFree n=\"3\"> <orth>\xD7\x90\xD7\x91</orth><lb/> <orth rend=\"bold\" type=\"trans\">'\xC3\xAA"
        "b</orth> <pron rend=\"italic\">abe</pron><lb/> <def>From <ref "
        "target=\"StrongsHebrew:24\">H24</ref>; "
        "a <hi rend=\"italic\">green</hi> plant|x</def></entryFree>",
        "H", "StrongsHebrew");
    check("entry number", hebrew && hebrew->number == 3, true);
    check("entry headword", hebrew ? hebrew->headword : "",
          "H3 '\xC3\xAA"
          "b");
    check("entry text", hebrew ? hebrew->text : "",
          "\xD7\x90\xD7\x91 '\xC3\xAA"
          "b abe|From " +
              mark + "00024; a green plant/x");
    const auto greek = s2m::dictionaryEntry(
        "<entryFree n=\"00025\"><orth>A</orth> <orth type=\"writing\">A)</orth> <orth type=\"trans\">a</orth>"
        "<lb/> from <orth>B</orth> <orth type=\"trans\">b</orth> [or <ref "
        "target=\"StrongsGreek:5689\">H5689</ref>]; "
        "<def>love. Compare <ref target=\"StrongsGreek:5368\">G5368</ref>.</def></entryFree>",
        "G", "StrongsGreek");
    check("greek headword", greek ? greek->headword : "", "G25 a");
    check("greek text", greek ? greek->text : "",
          "A a|from B b [or H5689]; love. Compare " + mark + "05368.");
    check("entry without number", s2m::dictionaryEntry("<entryFree>x</entryFree>", "H", "W").has_value(),
          false);

    std::cout << g_passed << " passed, " << g_failed << " failed\n";
    return g_failed == 0 ? 0 : 1;
}
