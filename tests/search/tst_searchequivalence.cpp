// The fast paths of the term search (the folding table, the eight-at-a-time
// find, the test of a verse without building its reference line) checked
// against the plain rule on many generated texts: fold each character, build
// the whole line, look at every position.

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

QString randomText(QRandomGenerator &random, int maxLength)
{
    const int length = int(random.bounded(maxLength + 1));
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(Alphabet[qsizetype(random.bounded(int(Alphabet.size())))]);
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

class TestSearchEquivalence : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(TestSearchEquivalence)
#include "tst_searchequivalence.moc"
