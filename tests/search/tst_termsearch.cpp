#include "search/BookRange.h"
#include "search/Highlights.h"
#include "search/SearchText.h"
#include "search/TermSearch.h"
#include "search/WildcardPattern.h"

#include <QtTest>
#include <set>

namespace {
QString abbreviation(int book)
{
    switch (book) {
    case 1:
        return QStringLiteral("Gen");
    case 19:
        return QStringLiteral("Psa");
    case 40:
        return QStringLiteral("Mat");
    case 43:
        return QStringLiteral("Joh");
    default:
        return QStringLiteral("B") + QString::number(book);
    }
}

Verse verse(int book, int chapter, int number, const QString &text)
{
    static qint32 line = 0;
    return Verse{++line, book, chapter, number, text};
}

// A small module: Old Testament, Psalms and two gospels, with typographic quotes.
std::vector<Verse> sampleVerses()
{
    return {
        verse(1, 1, 1, QStringLiteral("In the beginning God created the heaven.")),
        verse(1, 1, 2, QStringLiteral("And God so showed love to the earth.")),
        verse(1, 2, 7, QStringLiteral("The generations of the heavens.")),
        verse(19, 23, 1, QStringLiteral("The LORD is my shepherd.")),
        verse(19, 23, 2, QStringLiteral("For the Lord\u2019s sake, love and God\tagain.")),
        verse(40, 1, 1, QStringLiteral("The book of the generation.")),
        verse(43, 3, 16, QStringLiteral("For God so loved the world.")),
        verse(43, 14, 27, QStringLiteral("\u201CPeace\u201D I leave with you.")),
    };
}

TermSearch::VerseSource sourceOf(const std::vector<Verse> &verses)
{
    return [verses](const VerseReader::Visitor &visit) {
        for (const Verse &v : verses) {
            if (!visit(v))
                return false;
        }
        return true;
    };
}

// The references ("GEN 1:1") of the result's lines.
QStringList references(const QString &resultText)
{
    QStringList refs;
    for (const QString &line : resultText.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        refs.append(line.section(QLatin1Char(' '), 0, 1));
    return refs;
}
} // namespace

class TestTermSearch : public QObject
{
    Q_OBJECT

private slots:
    void rangeCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        for (int code = 1; code <= 66; ++code)
            QTest::addRow("book %d", code) << code << code << code;
        QTest::newRow("67 law") << 67 << 1 << 5;
        QTest::newRow("68 old testament") << 68 << 1 << 39;
        QTest::newRow("69 new testament") << 69 << 40 << 66;
        QTest::newRow("70 four gospels") << 70 << 40 << 43;
        QTest::newRow("71 three gospels") << 71 << 40 << 42;
        QTest::newRow("72 whole module") << 72 << 0 << 200;
        QTest::newRow("0 nothing") << 0 << 1 << 0;
        QTest::newRow("73 nothing") << 73 << 1 << 0;
        QTest::newRow("-1 nothing") << -1 << 1 << 0;
        QTest::newRow("255 nothing") << 255 << 1 << 0;
    }
    void rangeCodes()
    {
        QFETCH(int, code);
        QFETCH(int, first);
        QFETCH(int, last);
        for (int book = 0; book <= 200; ++book)
            QVERIFY2(BookRange::Accepts(code, book) == (book >= first && book <= last),
                     qPrintable(QStringLiteral("book %1").arg(book)));
        int from = 0;
        int to = 0;
        const bool copied = BookRange::Books(code, &from, &to);
        QCOMPARE(copied, code >= 1 && code <= 71);
        if (copied) {
            QCOMPARE(from, first);
            QCOMPARE(to, last);
        }
    }

    void parseTerms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("terms");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("one star") << QStringLiteral("*") << QStringList();
        QTest::newRow("two stars") << QStringLiteral("**") << QStringList();
        QTest::newRow("plain word") << QStringLiteral("love") << QStringList{QStringLiteral("love")};
        QTest::newRow("stars around")
            << QStringLiteral("*love*God*") << QStringList{QStringLiteral("love"), QStringLiteral("God")};
        QTest::newRow("leading star only") << QStringLiteral("*a*b") << QStringList{"a", "b"};
        QTest::newRow("trailing star only") << QStringLiteral("a*b*") << QStringList{"a", "b"};
        QTest::newRow("doubled star inside") << QStringLiteral("a**b") << QStringList{"a", "*b", ""};
        QTest::newRow("doubled star at end") << QStringLiteral("a**") << QStringList{"a", ""};
        QTest::newRow("doubled star at start") << QStringLiteral("**a") << QStringList{"", "a"};
        QTest::newRow("blank kept") << QStringLiteral("in the*end") << QStringList{"in the", "end"};
        QTest::newRow("bar kept") << QStringLiteral("|*x") << QStringList{"|", "x"};
    }
    void parseTerms()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, terms);
        QCOMPARE(SearchText::ParseSearchStrings(text), terms);
    }

    void termLimit_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("30 terms") << 30 << true;
        QTest::newRow("31 terms") << 31 << false;
        QTest::newRow("40 terms") << 40 << false;
    }
    void termLimit()
    {
        QFETCH(int, count);
        QFETCH(bool, accepted);
        QStringList words;
        for (int i = 1; i <= count; ++i)
            words.append(QStringLiteral("w%1").arg(i));
        const TermSearch search({words.join(QLatin1Char('*')), SearchMode::AnyTerm, true, 72}, abbreviation);
        QCOMPARE(search.Problem() == SearchProblem::None, accepted);
        if (accepted)
            QCOMPARE(search.Terms().size(), count);
        else
            QCOMPARE(search.Run(sourceOf(sampleVerses())).verses, 0);
    }

    void wildcard_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<bool>("matches");
        QTest::newRow("star matches all") << "*"
                                          << "GEN 1:1 anything" << false << true;
        QTest::newRow("star matches empty") << "*"
                                            << "" << false << true;
        QTest::newRow("empty matches only empty") << ""
                                                  << "a" << false << false;
        QTest::newRow("whole line only") << "love"
                                         << "GEN 1:1 love" << false << false;
        QTest::newRow("word between stars") << "*love*"
                                            << "GEN 1:1 love" << false << true;
        QTest::newRow("order kept") << "*love*God*"
                                    << "GEN 1:1 love of God" << false << true;
        QTest::newRow("order reversed") << "*love*God*"
                                        << "GEN 1:1 God is love" << false << false;
        QTest::newRow("hash digit") << "GEN #:# *"
                                    << "GEN 1:1 x" << false << true;
        QTest::newRow("hash one digit only") << "GEN #:# *"
                                             << "GEN 1:12 x" << false << false;
        QTest::newRow("hash not a letter") << "#*"
                                           << "a1" << false << false;
        QTest::newRow("question any char") << "?EN*"
                                           << "GEN 1:1" << false << true;
        QTest::newRow("question needs a char") << "GEN?"
                                               << "GEN" << false << false;
        QTest::newRow("list range in") << "[A-C]*"
                                       << "BAR 1:1" << false << true;
        QTest::newRow("list range out") << "[A-C]*"
                                        << "DAN 1:1" << false << false;
        QTest::newRow("list of chars") << "[XGZ]EN*"
                                       << "GEN 1:1" << false << true;
        QTest::newRow("negated list in") << "[!G]*"
                                         << "GEN 1:1" << false << false;
        QTest::newRow("negated list out") << "[!G]*"
                                          << "EXO 1:1" << false << true;
        QTest::newRow("lower list, case ignored") << "[a-c]*"
                                                  << "BAR" << true << true;
        QTest::newRow("lower list, case kept") << "[a-c]*"
                                               << "BAR" << false << false;
        QTest::newRow("case ignored") << "*LoVe*"
                                      << "GEN 1:1 LOVE" << true << true;
        QTest::newRow("case kept") << "*LoVe*"
                                   << "GEN 1:1 LOVE" << false << false;
        QTest::newRow("typed apostrophe") << "*Lord's*"
                                          << "PSA 1:1 Lord\u2019s" << false << true;
        QTest::newRow("typed left quote") << "*'x*"
                                          << "PSA 1:1 \u2018x" << false << true;
        QTest::newRow("typed double quote") << "*\"Peace\"*"
                                            << "JOH 1:1 \u201CPeace\u201D" << false << true;
        QTest::newRow("quote in list") << "*[']s*"
                                       << "PSA 1:1 Lord\u2019s" << false << true;
        QTest::newRow("head and tail overlap") << "ab*ba"
                                               << "aba" << false << false;
        QTest::newRow("tail after middle") << "a*b*c"
                                           << "abcbc" << false << true;
        QTest::newRow("middle before tail") << "a*b*c"
                                            << "acb" << false << false;
        QTest::newRow("literal dash") << "*[-]*"
                                      << "x-y" << false << true;
    }
    void wildcard()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, line);
        QFETCH(bool, ignoreCase);
        QFETCH(bool, matches);
        const WildcardPattern compiled(pattern, ignoreCase);
        QVERIFY(compiled.IsValid());
        QCOMPARE(compiled.Matches(SearchText::Fold(line, ignoreCase)), matches);
    }

    void invalidPattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("unclosed list") << QStringLiteral("*[abc*");
        QTest::newRow("unclosed negated list") << QStringLiteral("[!");
        QTest::newRow("descending range") << QStringLiteral("*[z-a]*");
    }
    void invalidPattern()
    {
        QFETCH(QString, pattern);
        QVERIFY(!WildcardPattern(pattern, false).IsValid());
        const TermSearch search({pattern, SearchMode::Pattern, false, 72}, abbreviation);
        QCOMPARE(search.Problem(), SearchProblem::InvalidPattern);
        const SearchResult result = search.Run(sourceOf(sampleVerses()));
        QCOMPARE(result.verses, 0);
        QVERIFY(result.text.isEmpty());
        // The same text is fine as terms: only the pattern mode compiles it.
        QCOMPARE(TermSearch({pattern, SearchMode::AnyTerm, false, 72}, abbreviation).Problem(),
                 SearchProblem::None);
    }

    // A list is compared in the same case as the line: ignoring case, both are
    // upper-cased one character for one, ranges too, and a range that runs
    // backwards once upper-cased is refused. A list of nothing is refused.
    void listsAndCase_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("matches");
        QTest::newRow("[a-Z] ignoring case is [A-Z]") << "[a-Z]" << true << "q" << true << true;
        QTest::newRow("[a-Z] in its case runs backwards") << "[a-Z]" << false << "q" << false << false;
        QTest::newRow("[A-z] ignoring case holds no [") << "[A-z]" << true << "[" << true << false;
        QTest::newRow("[A-z] ignoring case holds q") << "[A-z]" << true << "q" << true << true;
        QTest::newRow("[A-z] in its case holds [") << "[A-z]" << false << "[" << true << true;
        QTest::newRow("[Z-a] ignoring case runs backwards") << "[Z-a]" << true << "_" << false << false;
        QTest::newRow("[Z-a] in its case holds _") << "[Z-a]" << false << "_" << true << true;
        QTest::newRow("lower range, lower line") << "[a-c]*" << true << "bar" << true << true;
        QTest::newRow("upper range, lower line") << "[A-C]*" << true << "bar" << true << true;
        QTest::newRow("negated lower range") << "[!a-c]*" << true << "Bar" << true << false;
        QTest::newRow("accented letter") << "[\u00E9]lan" << true << "\u00C9LAN" << true << true;
        QTest::newRow("sharp s is itself") << "stra[\u00DF]e" << true << "STRA\u00DFE" << true << true;
        QTest::newRow("sharp s is no SS") << "stra[\u00DF]e" << true << "STRASSE" << true << false;
        QTest::newRow("empty list") << "*[]*" << false << "a" << false << false;
        QTest::newRow("empty list ignoring case") << "*[]*" << true << "a" << false << false;
        QTest::newRow("empty negated list is any one character") << "[!]" << true << "a" << true << true;
    }
    void listsAndCase()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(bool, matches);
        const WildcardPattern compiled(pattern, ignoreCase);
        QCOMPARE(compiled.IsValid(), valid);
        QCOMPARE(compiled.Matches(SearchText::Fold(line, ignoreCase)), matches);
        const TermSearch search({pattern, SearchMode::Pattern, ignoreCase, 72}, abbreviation);
        QCOMPARE(search.Problem(), valid ? SearchProblem::None : SearchProblem::InvalidPattern);
    }

    // Many stars over a long line must neither recurse nor take quadratic time.
    void wildcardLongLine()
    {
        const QString line = QString(200000, QLatin1Char('a'));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!WildcardPattern(QStringLiteral("*a*a*a*a*a*a*b"), false).Matches(line));
        QVERIFY(WildcardPattern(QStringLiteral("*a*a*a*a*a*a"), false).Matches(line));
        QVERIFY(clock.elapsed() < 1000);
    }

    void referenceLine()
    {
        const TermSearch search({QStringLiteral("*"), SearchMode::Pattern, false, 72}, abbreviation);
        QCOMPARE(search.ReferenceLine(verse(1, 3, 7, QStringLiteral("Text\twith tab"))),
                 QStringLiteral("GEN 3:7 Text\twith tab"));
        QCOMPARE(search.ReferenceLine(verse(200, 1, 2, QStringLiteral("x"))), QStringLiteral("200 1:2 x"));
    }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("found");
        const auto pattern = int(SearchMode::Pattern);
        const auto all = int(SearchMode::AllTerms);
        const auto any = int(SearchMode::AnyTerm);
        const auto every = int(SearchMode::EveryVerse);
        const QStringList everything{"GEN 1:1",  "GEN 1:2", "GEN 2:7",  "PSA 23:1",
                                     "PSA 23:2", "MAT 1:1", "JOH 3:16", "JOH 14:27"};
        QTest::newRow("pattern star, whole module") << pattern << "*" << false << 72 << everything;
        QTest::newRow("pattern bare word") << pattern << "love" << false << 72 << QStringList{};
        QTest::newRow("pattern word in stars")
            << pattern << "*love*" << false << 72 << QStringList{"GEN 1:2", "PSA 23:2", "JOH 3:16"};
        QTest::newRow("pattern keeps order")
            << pattern << "*love*God*" << false << 72 << QStringList{"PSA 23:2"};
        QTest::newRow("pattern case kept") << pattern << "*lord*" << false << 72 << QStringList{};
        QTest::newRow("pattern case ignored")
            << pattern << "*lord*" << true << 72 << QStringList{"PSA 23:1", "PSA 23:2"};
        QTest::newRow("ignore order, both orders")
            << all << "*love*God*" << false << 72 << QStringList{"GEN 1:2", "PSA 23:2", "JOH 3:16"};
        QTest::newRow("ignore order, case kept") << all << "*LORD*" << false << 72 << QStringList{"PSA 23:1"};
        QTest::newRow("ignore order, case ignored")
            << all << "*LORD*" << true << 72 << QStringList{"PSA 23:1", "PSA 23:2"};
        QTest::newRow("any term") << any << "*shepherd*world*" << false << 72
                                  << QStringList{"PSA 23:1", "JOH 3:16"};
        QTest::newRow("any term matches abbreviation")
            << any << "gen" << true << 72 << QStringList{"GEN 1:1", "GEN 1:2", "GEN 2:7", "MAT 1:1"};
        QTest::newRow("any term, case kept")
            << any << "gen" << false << 72 << QStringList{"GEN 2:7", "MAT 1:1"};
        QTest::newRow("typed apostrophe") << any << "Lord's" << false << 72 << QStringList{"PSA 23:2"};
        QTest::newRow("typed double quotes") << all << "\"Peace\"" << false << 72 << QStringList{"JOH 14:27"};
        QTest::newRow("tab inside text") << all << "God\tagain" << false << 72 << QStringList{"PSA 23:2"};
        QTest::newRow("seven terms decide") << all << "F*o*r*G*d*s*X" << false << 72 << QStringList{};
        QTest::newRow("eighth term does not")
            << all << "F*o*r*G*d*s*l*X" << false << 72 << QStringList{"PSA 23:2", "JOH 3:16"};
        QTest::newRow("no terms, all terms")
            << all << "*" << false << 1 << QStringList{"GEN 1:1", "GEN 1:2", "GEN 2:7"};
        QTest::newRow("no terms, any term") << any << "*" << false << 72 << QStringList{};
        QTest::newRow("empty term is everywhere") << all << "a**b" << false << 19 << QStringList{};
        QTest::newRow("entire selection, one book")
            << every << "whatever" << false << 43 << QStringList{"JOH 3:16", "JOH 14:27"};
        QTest::newRow("gospels 70") << every << "" << false << 70
                                    << QStringList{"MAT 1:1", "JOH 3:16", "JOH 14:27"};
        QTest::newRow("gospels 71") << every << "" << false << 71 << QStringList{"MAT 1:1"};
        QTest::newRow("old testament 68")
            << every << "" << false << 68
            << QStringList{"GEN 1:1", "GEN 1:2", "GEN 2:7", "PSA 23:1", "PSA 23:2"};
        QTest::newRow("law 67") << every << "" << false << 67 << QStringList{"GEN 1:1", "GEN 1:2", "GEN 2:7"};
        QTest::newRow("missing book") << every << "" << false << 2 << QStringList{};
        QTest::newRow("code 0") << every << "" << false << 0 << QStringList{};
        QTest::newRow("code 73") << every << "" << false << 73 << QStringList{};
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(bool, ignoreCase);
        QFETCH(int, code);
        QFETCH(QStringList, found);
        const TermSearch search({text, SearchMode(mode), ignoreCase, code}, abbreviation);
        QCOMPARE(search.Problem(), SearchProblem::None);
        const SearchResult result = search.Run(sourceOf(sampleVerses()));
        QCOMPARE(references(result.text), found);
        QCOMPARE(result.verses, found.size());
        QVERIFY(!result.stopped);
        if (!found.isEmpty())
            QVERIFY(result.text.endsWith(QLatin1Char('\n')));
    }

    void newTestamentMissing()
    {
        std::vector<Verse> oldOnly = sampleVerses();
        oldOnly.resize(5);
        const TermSearch search({QStringLiteral("*"), SearchMode::Pattern, false, 69}, abbreviation);
        const SearchResult result = search.Run(sourceOf(oldOnly));
        QCOMPARE(result.verses, 0);
        QCOMPARE(result.lines, 5);
    }

    // Counts go past 16 bits.
    void manyVerses()
    {
        std::vector<Verse> verses;
        for (int i = 1; i <= 40000; ++i)
            verses.push_back(Verse{i, 40 + i % 2, i / 100 + 1, i % 100 + 1, QStringLiteral("word")});
        const TermSearch search({QStringLiteral("word"), SearchMode::AnyTerm, false, 72}, abbreviation);
        const SearchResult result = search.Run(sourceOf(verses));
        QCOMPARE(result.lines, 40000);
        QCOMPARE(result.verses, 40000);
        const TermSearch matthew({QStringLiteral("word"), SearchMode::AnyTerm, false, 40}, abbreviation);
        QCOMPARE(matthew.Run(sourceOf(verses)).verses, 20000);
    }

    void stopDuringScan()
    {
        std::vector<Verse> verses;
        for (int i = 1; i <= 1000; ++i)
            verses.push_back(Verse{i, 1, 1, i, QStringLiteral("text")});
        TermSearch search({QStringLiteral("*"), SearchMode::Pattern, false, 72}, abbreviation);
        search.SetPollInterval(0);
        qint64 polledAt = 0;
        const SearchResult result = search.Run(sourceOf(verses), [&](qint64 lines) {
            polledAt = lines;
            return lines < 128;
        });
        QVERIFY(result.stopped);
        QCOMPARE(polledAt, 128);
        QCOMPARE(result.lines, 128);
        // The verses before the stop stay.
        QCOMPARE(result.verses, 127);
    }

    void hits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("terms");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<qint64>>("counts");
        QTest::addColumn<QList<qsizetype>>("firstTermPositions");
        QTest::addColumn<bool>("limitReached");
        QTest::newRow("hit at index 0")
            << "GEN 1:1 Gen\n"
            << QStringList{"gen"} << 500 << QList<qint64>{2} << QList<qsizetype>{0, 8} << false;
        QTest::newRow("doubled letters")
            << "aaa\n"
            << QStringList{"aa"} << 500 << QList<qint64>{2} << QList<qsizetype>{0, 1} << false;
        QTest::newRow("case ignored both ways")
            << "Love LOVE love\n"
            << QStringList{"LoVe"} << 500 << QList<qint64>{3} << QList<qsizetype>{0, 5, 10} << false;
        QTest::newRow("quotes") << "Lord\u2019s \u201Cx\u201D\n"
                                << QStringList{"lord's", "\"x\""} << 500 << QList<qint64>{1, 1}
                                << QList<qsizetype>{0} << false;
        QTest::newRow("absent term") << "abc\n"
                                     << QStringList{"z", "b"} << 500 << QList<qint64>{0, 1}
                                     << QList<qsizetype>{} << false;
        QTest::newRow("empty term") << "abc\n"
                                    << QStringList{"a", ""} << 500 << QList<qint64>{1, 0}
                                    << QList<qsizetype>{0} << false;
        const QString many = QString(25, QLatin1Char('x')) + QStringLiteral(" yyyyy zz\n");
        QTest::newRow("limit 10 of 25") << many << QStringList{"x", "y", "z"} << 10 << QList<qint64>{10, 1, 1}
                                        << QList<qsizetype>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9} << true;
        QTest::newRow("limit reached exactly") << QStringLiteral("xxy\n") << QStringList{"x", "y"} << 2
                                               << QList<qint64>{2, 1} << QList<qsizetype>{0, 1} << true;
        QTest::newRow("limit not reached") << QStringLiteral("xxy\n") << QStringList{"x", "y"} << 4
                                           << QList<qint64>{2, 1} << QList<qsizetype>{0, 1} << false;
    }
    void hits()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, terms);
        QFETCH(int, limit);
        QFETCH(QList<qint64>, counts);
        QFETCH(QList<qsizetype>, firstTermPositions);
        QFETCH(bool, limitReached);
        const HighlightPlan plan = PlanHighlights(text, terms, limit);
        QCOMPARE(plan.summary.size(), terms.size());
        QList<qint64> got;
        qint64 total = 0;
        for (const TermCount &count : plan.summary) {
            got.append(count.count);
            total += count.count;
        }
        QCOMPARE(got, counts);
        QCOMPARE(plan.matches, total);
        QCOMPARE(qint64(plan.hits.size()), total);
        QList<qsizetype> positions;
        for (const Hit &hit : plan.hits) {
            QCOMPARE(hit.length, terms[hit.term - 1].size());
            if (hit.term == 1)
                positions.append(hit.position);
        }
        QCOMPARE(positions, firstTermPositions);
        QCOMPARE(plan.limitReached, limitReached);
    }

    void summaryLine()
    {
        QCOMPARE(HighlightPlan::SummaryLine({QStringLiteral("love"), 12}, true), QStringLiteral("12 LOVE"));
        QCOMPARE(HighlightPlan::SummaryLine({QStringLiteral("love"), 0}, false), QStringLiteral("0 love"));
        // One character for one, as the search compared it.
        QCOMPARE(HighlightPlan::SummaryLine({QStringLiteral("stra\u00DFe"), 2}, true),
                 QStringLiteral("2 STRA\u00DFE"));
        QCOMPARE(HighlightPlan::SummaryLine({QStringLiteral("Lord\u2019s"), 1}, true),
                 QStringLiteral("1 LORD\u2019S"));
    }

    void termColours_data()
    {
        QTest::addColumn<int>("term");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("1") << 1 << 0x11u;
        QTest::newRow("5") << 5 << 0x55u;
        QTest::newRow("6 yellow") << 6 << 0x0000FFFFu;
        QTest::newRow("7 first again") << 7 << 0x11u;
        QTest::newRow("12 yellow") << 12 << 0x0000FFFFu;
        QTest::newRow("30 yellow") << 30 << 0x0000FFFFu;
    }
    void termColours()
    {
        QFETCH(int, term);
        QFETCH(quint32, colour);
        QCOMPARE(TermColour(term, {0x11, 0x22, 0x33, 0x44, 0x55}), colour);
    }
};

QTEST_GUILESS_MAIN(TestTermSearch)
#include "tst_termsearch.moc"
