// The fast paths of the term search (the folding table, the eight-at-a-time
// find, the test of a verse without building its reference line, the look at
// a module's raw bytes before its lines are decoded) checked against the plain
// rule on many generated texts: fold each character, build the whole line, look
// at every position.

#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/CodePage.h"
#include "search/BookRange.h"
#include "search/ByteNeedle.h"
#include "search/SearchText.h"
#include "search/TermSearch.h"
#include "search/WildcardPattern.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
// Characters that fold in every way the rules know: both cases, the letters
// whose upper case is ASCII (dotless i, long s), the quotes, letters without a
// single upper-case form, digits and the reference line's own blanks and colon,
// a Tab and the halves of a surrogate pair.
const QString Alphabet =
    QStringLiteral("aAlLoOrRdDnNeE sS\u017F\u0131iI\u2019\u2018'\"\u201C\u201D\u00DF\u00E9\u00C9"
                   "\u03C3\u03A3\u03C212:\t\U0001D400");

QString naiveFold(QStringView text, bool ignoreCase)
{
    QString out;
    for (const QChar c : text)
        out.append(SearchText::Fold(c, ignoreCase));
    return out;
}

qsizetype naiveIndex(QStringView foldedText, QStringView foldedTerm, qsizetype from)
{
    if (foldedTerm.isEmpty())
        return from <= foldedText.size() ? from : -1;
    for (qsizetype i = from; i + foldedTerm.size() <= foldedText.size(); ++i) {
        if (foldedText.mid(i, foldedTerm.size()) == foldedTerm)
            return i;
    }
    return -1;
}

QString randomText(QRandomGenerator &random, int maxLength, const QString &alphabet = Alphabet)
{
    const int length = int(random.bounded(maxLength + 1));
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet[qsizetype(random.bounded(int(alphabet.size())))]);
    return text;
}

QString abbreviation(int book)
{
    switch (book) {
    case 1:
        return QStringLiteral("Lev");
    case 2:
        return QStringLiteral("1Sa");
    case 3:
        return QStringLiteral("\u017Fo\u00DF"); // upper-cased to "SOSS"
    default:
        return QStringLiteral("Book") + QString::number(book);
    }
}

std::vector<Verse> randomVerses(QRandomGenerator &random, int count)
{
    // Book 200 has no abbreviation: its number stands first.
    const int books[] = {1, 2, 3, 200};
    std::vector<Verse> verses;
    for (int i = 1; i <= count; ++i)
        verses.push_back(Verse{i, books[random.bounded(4)], int(random.bounded(1, 12)),
                               int(random.bounded(1, 25)), randomText(random, 40)});
    return verses;
}

// Letters whose folding changes their length in UTF-8 or leaves the code page
// (dotless i, long s, sharp s, micro sign, y with diaeresis, the Kelvin sign),
// accented letters, the quotes, and what the reference holds.
const QString ModuleAlphabet =
    QStringLiteral("aAeEjJhHoOvV\u00E1\u00C1\u00E9\u00C9\u00F1\u00D1iI\u0131sS\u017F\u00DFkK\u212A"
                   "\u00B5\u039C\u00FF\u0178'\u2019\u2018\"\u201C 1:LEV");

// Lines no verse comes from: malformed, without a text, with bytes that are no
// UTF-8, with a byte-order mark or a carriage return in the text.
const QByteArray OddLines[] = {"x\t1\t1\t1\tnot a number",
                               "9\t200\t1\t1\tbook out of range",
                               "9\t1\t1\t1",
                               "9\t1\t1\t5\t\xC3(\xE9\xFF a\xC3",
                               "9\t1\t1\t6\t\xEF\xBB\xBF"
                               "a\rb",
                               "9\t2\t3\t4\t\xE2\x80 \xC3\xA9"};

// What the search must accept, by the rule: the whole reference line, folded.
bool naiveAccepts(const TermSearch &search, const Verse &verse)
{
    const SearchRequest &request = search.Request();
    const QString line = search.ReferenceLine(verse);
    const QString folded = naiveFold(line, request.ignoreCase);
    const auto contains = [&](const QString &term) {
        return naiveIndex(folded, naiveFold(term, request.ignoreCase), 0) >= 0;
    };
    const QStringList deciding = search.Terms().mid(0, TermSearch::DecidingTerms);
    switch (request.mode) {
    case SearchMode::Pattern:
        return WildcardPattern(request.text, request.ignoreCase).Matches(folded);
    case SearchMode::AllTerms:
        return std::all_of(deciding.cbegin(), deciding.cend(), contains);
    case SearchMode::AnyTerm:
        return std::any_of(deciding.cbegin(), deciding.cend(), contains);
    case SearchMode::EveryVerse:
        break;
    }
    return true;
}
} // namespace

// The search over the raw lines of a module file, and by the plain rule over its verses as read decoded.
struct BothWays
{
    SearchResult raw;
    QString expected;
    qint64 verses = 0;
};

BothWays searchBothWays(const Translation &translation, const TermSearch &search)
{
    BothWays both;
    const VerseReader reader(translation);
    both.raw = search.Run([&](RawLineVisitor &visitor) { return reader.ForEachLineInModule(visitor); });
    reader.ForEachInModule([&](const Verse &verse) {
        if (BookRange::Accepts(search.Request().rangeCode, verse.book) && naiveAccepts(search, verse)) {
            both.expected += search.ReferenceLine(verse) + QLatin1Char('\n');
            ++both.verses;
        }
        return true;
    });
    return both;
}

class TestSearchEquivalence : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFixture> m_fx;

    // A module of random verses with the odd lines among them, in a code page.
    std::shared_ptr<Translation> installRandomModule(quint32 seed, int codePage)
    {
        QRandomGenerator random(seed);
        ModuleBuilder module;
        for (int i = 1; i <= 2000; ++i) {
            if (i % 97 == 0)
                module.raw(OddLines[random.bounded(int(std::size(OddLines)))]);
            else
                module.verse(1 + int(random.bounded(3)), int(random.bounded(1, 12)), i,
                             randomText(random, 40, ModuleAlphabet));
        }
        m_fx->addBible(QStringLiteral("Random"), QStringLiteral("b_random.txt"), module.bytes(codePage), true,
                       codePage);
        return GetTranslation(gBibles.Count() - 1);
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void findMatchesThePlainRule()
    {
        QRandomGenerator random(11);
        for (int round = 0; round < 3000; ++round) {
            const bool ignoreCase = round % 2 == 0;
            const QString text = randomText(random, 40);
            // Terms cut from the text find something; random ones mostly not.
            QString term = randomText(random, 3);
            if (round % 3 == 0 && !text.isEmpty()) {
                const qsizetype at = random.bounded(int(text.size()));
                term = text.mid(at, random.bounded(1, 6));
            }
            const QString foldedTerm = naiveFold(term, ignoreCase);
            const QString foldedText = naiveFold(text, ignoreCase);
            for (const qsizetype from : {qsizetype(0), qsizetype(random.bounded(int(text.size()) + 2))}) {
                QVERIFY2(
                    SearchText::IndexOfFolded(text, foldedTerm, from, ignoreCase) ==
                        naiveIndex(foldedText, foldedTerm, from),
                    qPrintable(QStringLiteral("text \"%1\" term \"%2\" from %3").arg(text, term).arg(from)));
            }
        }
    }

    void scanMatchesThePlainRule_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        const auto all = int(SearchMode::AllTerms);
        const auto any = int(SearchMode::AnyTerm);
        const auto pattern = int(SearchMode::Pattern);
        QTest::newRow("one letter") << all << "l";
        QTest::newRow("two terms") << all << "lo*d";
        QTest::newRow("across the reference") << any << "V 1*:1 *1 a";
        QTest::newRow("number and text") << any << "2 l*200 ";
        QTest::newRow("abbreviation by long s") << all << "sos";
        QTest::newRow("dotless i") << any << "\u0131*I";
        QTest::newRow("quotes") << any << "'l*\"a";
        QTest::newRow("blank and tab") << all << " \t";
        QTest::newRow("empty term") << all << "a**";
        QTest::newRow("eighth term ignored") << all << "l*o*r*d*e*n*a*X";
        QTest::newRow("pattern") << pattern << "*l*'*";
        QTest::newRow("pattern reference") << pattern << "LEV #:*";
        QTest::newRow("pattern list") << pattern << "*[a-e]?\u03A3*";
    }
    void scanMatchesThePlainRule()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QRandomGenerator random(uint(qHash(text)));
        const std::vector<Verse> verses = randomVerses(random, 3000);
        for (const bool ignoreCase : {false, true}) {
            const TermSearch search({text, SearchMode(mode), ignoreCase, 72}, abbreviation);
            QString expected;
            qint64 count = 0;
            for (const Verse &verse : verses) {
                const bool accepted = naiveAccepts(search, verse);
                QCOMPARE(search.Accepts(verse, search.ReferenceLine(verse)), accepted);
                if (accepted) {
                    expected += search.ReferenceLine(verse) + QLatin1Char('\n');
                    ++count;
                }
            }
            const SearchResult result = search.Run([&](const VerseReader::Visitor &visit) {
                for (const Verse &verse : verses) {
                    if (!visit(verse))
                        return false;
                }
                return true;
            });
            QCOMPARE(result.text, expected);
            QCOMPARE(result.verses, count);
            // The generated texts are meant to give both answers.
            QVERIFY(count > 0 && count < qint64(verses.size()));
        }
    }

    // Bytes that decode to a text with the term always hold the needle; an exact
    // needle is held by no other bytes.
    void needleFindsEveryTextWithTheTerm_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<bool>("ignoreCase");
        for (const int codePage : {1252, CodePage::Utf8, 1251}) {
            for (const bool ignoreCase : {false, true})
                QTest::addRow("code page %d, %s", codePage, ignoreCase ? "ignoring case" : "keeping case")
                    << codePage << ignoreCase;
        }
    }
    void needleFindsEveryTextWithTheTerm()
    {
        QFETCH(int, codePage);
        QFETCH(bool, ignoreCase);
        QRandomGenerator random(uint(codePage) * 2 + ignoreCase);
        int found = 0;
        for (int round = 0; round < 4000; ++round) {
            QByteArray bytes = CodePage::encode(randomText(random, 60, ModuleAlphabet), codePage);
            // Now and then a byte of any value, so that the bytes need not decode cleanly.
            if (round % 5 == 0 && !bytes.isEmpty())
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            const QString folded = naiveFold(CodePage::decode(bytes, codePage), ignoreCase);
            QString term = naiveFold(randomText(random, 3, ModuleAlphabet), ignoreCase);
            if (round % 2 == 0 && !folded.isEmpty())
                term = folded.mid(random.bounded(int(folded.size())), random.bounded(1, 6));
            const ByteNeedle needle(term, ignoreCase, codePage);
            const bool holds = naiveIndex(folded, term, 0) >= 0;
            const bool needleFound = needle.IndexIn(bytes.constData(), bytes.size(), 0) >= 0;
            found += holds;
            const QString context =
                QStringLiteral("bytes %1 term \"%2\"").arg(QString::fromLatin1(bytes.toHex()), term);
            QVERIFY2(needleFound || !holds, qPrintable(context));
            QVERIFY2(!needle.IsExact() || needleFound == holds, qPrintable(context));
        }
        QVERIFY(found > 1000);
    }

    void rawScanMatchesThePlainRule_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rangeCode");
        const auto all = int(SearchMode::AllTerms);
        const auto any = int(SearchMode::AnyTerm);
        const auto pattern = int(SearchMode::Pattern);
        const auto every = int(SearchMode::EveryVerse);
        for (const int codePage : {1252, CodePage::Utf8}) {
            const auto row = [&](const char *name, int mode, const QString &text, int rangeCode = 72) {
                QTest::addRow("%s, code page %d", name, codePage) << codePage << mode << text << rangeCode;
            };
            row("accented", all, QStringLiteral("Jo*\u00C1"));
            row("accented, one book", all, QStringLiteral("\u00E9"), 2);
            row("accented or not", any, QStringLiteral("\u00F1*n*e\u00C9"));
            row("dotless i", any, QStringLiteral("\u0131*I"));
            row("long s and sharp s", all, QStringLiteral("s*\u00DF"));
            row("micro sign", any, QStringLiteral("\u00B5*\u039C"));
            row("y with diaeresis", all, QStringLiteral("\u00FF"));
            row("Kelvin sign", any, QStringLiteral("k*\u212A"));
            row("quotes", any, QStringLiteral("'j*\"a"));
            row("into the reference", any, QStringLiteral("V 1*:1 *1 a"));
            row("the abbreviation", all, QStringLiteral("LEV*a"));
            row("empty term", all, QStringLiteral("a**"));
            if (codePage == CodePage::Utf8)
                row("replacement character", any, QStringLiteral("\uFFFD"));
            row("pattern", pattern, QStringLiteral("*\u00E1*'*"));
            row("pattern with the reference", pattern, QStringLiteral("LEV #:*J*"));
            row("pattern list", pattern, QStringLiteral("*[a-e]?\u00D1*"));
            row("every verse", every, QStringLiteral("x"), 67);
            row("a range without these books", all, QStringLiteral("a"), 69);
        }
    }
    void rawScanMatchesThePlainRule()
    {
        QFETCH(int, codePage);
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(int, rangeCode);
        const std::shared_ptr<Translation> translation = installRandomModule(qHash(text), codePage);
        qint64 found = 0;
        for (const bool ignoreCase : {false, true}) {
            const TermSearch search({text, SearchMode(mode), ignoreCase, rangeCode}, abbreviation);
            const BothWays both = searchBothWays(*translation, search);
            QCOMPARE(both.raw.text, both.expected);
            QCOMPARE(both.raw.verses, both.verses);
            found += both.verses;
        }
        QCOMPARE(found > 0, rangeCode != 69);
    }

    // A stop asked for while the raw lines are read keeps the verses found before it.
    void rawScanStops()
    {
        const std::shared_ptr<Translation> translation = installRandomModule(5, CodePage::Utf8);
        TermSearch search({QStringLiteral("*"), SearchMode::EveryVerse, false, 72}, abbreviation);
        const VerseReader reader(*translation);
        const auto source = [&](RawLineVisitor &visitor) { return reader.ForEachLineInModule(visitor); };
        const SearchResult whole = search.Run(source);
        search.SetPollInterval(0);
        qint64 polledAt = -1;
        const SearchResult stopped = search.Run(source, [&](qint64 lines) {
            polledAt = lines;
            return false;
        });
        QVERIFY(stopped.stopped);
        QVERIFY(polledAt > 0);
        QVERIFY(stopped.verses > 0 && stopped.verses < whole.verses);
        QVERIFY(whole.text.startsWith(stopped.text));
    }
};

QTEST_MAIN(TestSearchEquivalence)
#include "tst_searchequivalence.moc"
