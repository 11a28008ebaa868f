#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"

#include <QtTest>

namespace {
// Verses as "book:chapter:verse", compact to compare.
QStringList refs(const std::vector<Verse> &verses)
{
    QStringList out;
    for (const Verse &v : verses)
        out.append(QStringLiteral("%1:%2:%3").arg(v.book).arg(v.chapter).arg(v.verse));
    return out;
}

QStringList refsOfChapters(const QList<std::array<int, 3>> &chapters)
{
    QStringList out;
    for (const auto &[book, chapter, verses] : chapters)
        for (int v = 1; v <= verses; ++v)
            out.append(QStringLiteral("%1:%2:%3").arg(book).arg(chapter).arg(v));
    return out;
}

using Range = std::array<int, 4>;
} // namespace

class TestVerseReader : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    std::shared_ptr<Translation> install(const ModuleBuilder &module,
                                         const QString &fileName = QStringLiteral("b_test.txt"),
                                         int codePage = 1252)
    {
        m_fx->addBible(fileName, fileName, module.bytes(codePage));
        return GetTranslation(gBibles.Count() - 1);
    }

    // Genesis 1-2, Exodus 1, no Leviticus, Numbers 1, Psalms 1-2.
    static ModuleBuilder sampleModule()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 3).chapter(1, 2, 2).chapter(2, 1, 2).chapter(4, 1, 1).chapter(19, 1, 2).chapter(
            19, 2, 1);
        return module;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void chapterRanges_data()
    {
        QTest::addColumn<Range>("range");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one chapter") << Range{1, 2, 1, 2} << refsOfChapters({{1, 2, 2}});
        QTest::newRow("whole book") << Range{1, 0, 1, 0} << refsOfChapters({{1, 1, 3}, {1, 2, 2}});
        QTest::newRow("across books") << Range{1, 2, 2, 1} << refsOfChapters({{1, 2, 2}, {2, 1, 2}});
        QTest::newRow("books around a missing one")
            << Range{2, 0, 4, 0} << refsOfChapters({{2, 1, 2}, {4, 1, 1}});
        QTest::newRow("missing book") << Range{3, 0, 3, 0} << QStringList();
        QTest::newRow("chapter past the end") << Range{1, 3, 1, 3} << QStringList();
        QTest::newRow("range ending past the end") << Range{1, 2, 1, 99} << refsOfChapters({{1, 2, 2}});
        QTest::newRow("chapter 0 as the start") << Range{19, 0, 19, 1} << refsOfChapters({{19, 1, 2}});
        QTest::newRow("chapter 0 as the end") << Range{19, 2, 19, 0} << refsOfChapters({{19, 2, 1}});
        QTest::newRow("reversed") << Range{2, 0, 1, 0} << QStringList();
        QTest::newRow("book 0") << Range{0, 0, 0, 0} << QStringList();
        QTest::newRow("book past 66") << Range{67, 0, 80, 0} << QStringList();
        QTest::newRow("negative chapter") << Range{1, -1, 1, 2} << QStringList();
        QTest::newRow("whole module")
            << Range{1, 0, 66, 0}
            << refsOfChapters({{1, 1, 3}, {1, 2, 2}, {2, 1, 2}, {4, 1, 1}, {19, 1, 2}, {19, 2, 1}});
    }
    void chapterRanges()
    {
        QFETCH(Range, range);
        QFETCH(QStringList, expected);
        auto t = install(sampleModule());
        const VerseReader reader(*t);
        std::vector<Verse> seen;
        QVERIFY(reader.ForEachInChapters(range[0], range[1], range[2], range[3], [&](const Verse &v) {
            seen.push_back(v);
            return true;
        }));
        QCOMPARE(refs(seen), expected);
        for (const Verse &v : seen) {
            QCOMPARE(v.text, QStringLiteral("%1.%2.%3").arg(v.book).arg(v.chapter).arg(v.verse));
            QVERIFY(v.line > 0);
        }
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void booksChaptersAndTheModule()
    {
        const ModuleBuilder module = sampleModule();
        auto t = install(module);
        const VerseReader reader(*t);
        QCOMPARE(refs(reader.Book(2)), refsOfChapters({{2, 1, 2}}));
        QCOMPARE(refs(reader.Book(3)), QStringList());
        QCOMPARE(refs(reader.Books(2, 19)), refsOfChapters({{2, 1, 2}, {4, 1, 1}, {19, 1, 2}, {19, 2, 1}}));
        QCOMPARE(refs(reader.Chapter(19, 2)), refsOfChapters({{19, 2, 1}}));
        QCOMPARE(refs(reader.Chapter(19, 0)), QStringList()); // no chapter 0
        QCOMPARE(refs(reader.Chapter(19, 3)), QStringList());
        // Line numbers are the lines' own, in file order.
        const std::vector<Verse> psalm = reader.Chapter(19, 1);
        QCOMPARE(psalm.front().line, 9);
        QCOMPARE(psalm.back().line, 10);

        std::vector<Verse> all;
        QVERIFY(reader.ForEachInModule([&](const Verse &v) {
            all.push_back(v);
            return true;
        }));
        QCOMPARE(int(all.size()), module.lineCount());
        QCOMPARE(refs(all), refs(reader.Books(1, 66)));
    }

    void newTestamentNeverYieldsAnotherBook()
    {
        ModuleBuilder module;
        module.chapter(40, 1, 2).chapter(40, 2, 1).chapter(66, 1, 2);
        auto t = install(module, QStringLiteral("b_nt.txt"));
        QCOMPARE(t->Records().front().verseCount, 0); // the placeholder of Genesis 1
        const VerseReader reader(*t);
        QCOMPARE(refs(reader.Book(1)), QStringList());
        QCOMPARE(refs(reader.Chapter(1, 1)), QStringList());
        QCOMPARE(refs(reader.Books(1, 39)), QStringList());
        QCOMPARE(refs(reader.Books(1, 40)), refsOfChapters({{40, 1, 2}, {40, 2, 1}}));
        QCOMPARE(refs(reader.Book(66)), refsOfChapters({{66, 1, 2}}));
    }

    void textsInTheirCodePage_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::newRow("1252") << QStringLiteral("b_es.txt") << 1252
                              << QStringLiteral("\u00BFQui\u00E9n? \u00A1Se\u00F1or! \u2014 \u201Cso\u201D");
        QTest::newRow("UTF-8") << QStringLiteral("b_he_utf8.txt") << 65001
                               << QStringLiteral("\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA \u00E9 \u2014");
        QTest::newRow("a Tab inside the text")
            << QStringLiteral("b_tab.txt") << 1252 << QStringLiteral("before\tafter\t  trailing  ");
        QTest::newRow("empty text") << QStringLiteral("b_empty.txt") << 1252 << QString();
    }
    void textsInTheirCodePage()
    {
        QFETCH(QString, fileName);
        QFETCH(int, codePage);
        QFETCH(QString, text);
        ModuleBuilder module;
        module.verse(1, 1, 1, text).verse(1, 1, 2, QStringLiteral("plain"));
        auto t = install(module, fileName, codePage);
        const std::vector<Verse> verses = VerseReader(*t).Chapter(1, 1);
        QCOMPARE(int(verses.size()), 2);
        QCOMPARE(verses[0].text, text);
        QCOMPARE(verses[1].text, QStringLiteral("plain"));
    }

    void utf8ModuleWithAByteOrderMark()
    {
        // Editors often begin a UTF-8 file with its byte-order mark; the first verse is
        // no damaged line for that.
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA")).chapter(1, 2, 2);
        m_fx->addBible(QStringLiteral("BOM"), QStringLiteral("b_bom_utf8.txt"),
                       "\xEF\xBB\xBF" + module.bytes(65001));
        auto t = GetTranslation(gBibles.Count() - 1);
        const std::vector<Verse> verses = VerseReader(*t).Chapter(1, 1);
        QCOMPARE(int(verses.size()), 1);
        QCOMPARE(verses[0].line, 1);
        QCOMPARE(verses[0].text, QStringLiteral("\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA"));
        QCOMPARE(refs(VerseReader(*t).Books(1, 1)), refsOfChapters({{1, 1, 1}, {1, 2, 2}}));
        QCOMPARE(t->GetNumVerses(1, 1), qint16(1));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void malformedLinesAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<int>("boxes"); // the index builder's report
        QTest::newRow("three fields") << QByteArray("x\t1\t1") << 1;
        QTest::newRow("four fields, no text") << QByteArray("4\t1\t1\t4") << 0; // indexed, not shown
        QTest::newRow("not a number") << QByteArray("4\t1\tI\t4\ttext") << 1;
        QTest::newRow("line feed alone") << QByteArray("4\t1\t1\t4\ttext\n4b\t1\t1\t5\ttext") << 1;
    }
    void malformedLinesAreSkipped()
    {
        QFETCH(QByteArray, bad);
        QFETCH(int, boxes);
        ModuleBuilder module;
        module.chapter(1, 1, 3).raw(bad).chapter(1, 2, 2).chapter(2, 1, 1);
        auto t = install(module);
        const VerseReader reader(*t);
        const QStringList good = refsOfChapters({{1, 1, 3}, {1, 2, 2}, {2, 1, 1}});
        QCOMPARE(refs(reader.Books(1, 2)), good);
        QCOMPARE(refs(reader.Chapter(1, 1)), refsOfChapters({{1, 1, 3}}));
        std::vector<Verse> all;
        reader.ForEachInModule([&](const Verse &v) {
            all.push_back(v);
            return true;
        });
        QCOMPARE(refs(all), good);
        for (const Verse &v : all)
            QCOMPARE(v.text, QStringLiteral("%1.%2.%3").arg(v.book).arg(v.chapter).arg(v.verse));
        // Said once, when the index was built; reading says nothing more.
        QCOMPARE(m_fx->desk().messageBoxes().size(), boxes);
    }

    // Number fields of any width, Tabs in the text, a last line without its line end.
    void fieldsOfAnyWidth_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text"); // of verse 1:1:2; null: no verse
        QTest::newRow("short") << QByteArray("2\t1\t1\t2\tx") << QStringLiteral("x");
        QTest::newRow("blanks around the numbers")
            << QByteArray("   2   \t   1   \t   1   \t   2   \tx\ty") << QStringLiteral("x\ty");
        QTest::newRow("the fourth Tab past 32 bytes")
            << QByteArray("00000000000000000002\t0000000001\t00000001\t00002\ta") << QStringLiteral("a");
        QTest::newRow("empty text") << QByteArray("2\t1\t1\t2\t") << QString(QLatin1String(""));
        // The next line's Tabs are no part of this one.
        QTest::newRow("four fields") << QByteArray("2\t1\t1\t2") << QString();
    }
    void fieldsOfAnyWidth()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        for (const bool last : {false, true}) {
            QByteArray bytes = "1\t1\t1\t1\tfirst\r\n" + line;
            if (!last)
                bytes += "\r\n3\t1\t1\t3\tthird\r\n";
            const QString file = QStringLiteral("b_widths%1.txt").arg(last);
            m_fx->addBible(file, file, bytes);
            const std::vector<Verse> verses = VerseReader(*GetTranslation(gBibles.Count() - 1)).Chapter(1, 1);
            QStringList texts;
            for (const Verse &verse : verses)
                texts.append(QStringLiteral("%1 %2 %3").arg(verse.line).arg(verse.verse).arg(verse.text));
            QStringList expected{QStringLiteral("1 1 first")};
            if (!text.isNull())
                expected.append(QStringLiteral("2 2 ") + text);
            if (!last)
                expected.append(QStringLiteral("3 3 third"));
            QCOMPARE(texts, expected);
        }
    }

    void theVisitorStopsTheReading_data()
    {
        QTest::addColumn<bool>("wholeModule");
        QTest::newRow("chapters") << false;
        QTest::newRow("module") << true;
    }
    void theVisitorStopsTheReading()
    {
        QFETCH(bool, wholeModule);
        auto t = install(sampleModule());
        const VerseReader reader(*t);
        QStringList seen;
        const auto visit = [&](const Verse &v) {
            seen.append(QStringLiteral("%1:%2:%3").arg(v.book).arg(v.chapter).arg(v.verse));
            return seen.size() < 4;
        };
        const bool finished =
            wholeModule ? reader.ForEachInModule(visit) : reader.ForEachInChapters(1, 1, 19, 0, visit);
        QVERIFY(!finished);
        QCOMPARE(seen, (QStringList{"1:1:1", "1:1:2", "1:1:3", "1:2:1"}));
    }
};

QTEST_GUILESS_MAIN(TestVerseReader)
#include "tst_versereader.moc"
