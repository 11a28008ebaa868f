#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/ProgressLog.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/CodePage.h"
#include "study/CommentaryText.h"
#include "study/ComparisonText.h"
#include "study/DictionaryFile.h"
#include "study/NameDictionaryFile.h"

#include <QFile>
#include <QtTest>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString E_ACUTE = QStringLiteral("\u00E9");

// The Bibles of the comparison, in list order.
enum Bible { A, B, C, D, E };
const char *const Names[] = {"Bible A", "Bible B", "Bible C", "Bible D", "Bible E"};
const char *const Files[] = {"b_a.txt", "b_b_utf8.txt", "b_c.txt", "b_d.txt", "b_e.txt"};

ModuleBuilder bibleA()
{
    ModuleBuilder m;
    m.verse(1, 1, 1, QStringLiteral("In the beginning A"))
        .verse(1, 1, 2, QStringLiteral("before\tafter"))
        .verse(1, 1, 3, QStringLiteral("light A"))
        .verse(1, 2, 1, QStringLiteral("finished A"))
        .verse(1, 2, 2, QStringLiteral("rested A"))
        .verse(2, 1, 1, QStringLiteral("names A"))
        .verse(2, 1, 2, QStringLiteral("Reuben A"));
    return m;
}

ModuleBuilder bibleB()
{
    ModuleBuilder m;
    m.verse(1, 1, 1, QStringLiteral("Cr") + E_ACUTE + QStringLiteral(" B"))
        .verse(1, 1, 2, QStringLiteral("void B"));
    return m;
}

ModuleBuilder bibleC()
{
    ModuleBuilder m;
    m.verse(40, 1, 1, QStringLiteral("book of the generation C"))
        .verse(40, 1, 2, QStringLiteral("Abraham C"));
    return m;
}

ModuleBuilder genesisOnly(const QString &mark)
{
    ModuleBuilder m;
    m.verse(1, 1, 1, QStringLiteral("beginning ") + mark);
    return m;
}

std::vector<ComparisonBible> named(const std::vector<Bible> &which)
{
    std::vector<ComparisonBible> out;
    for (Bible b : which)
        out.push_back({QLatin1String(Names[b]), GetTranslation(b)});
    return out;
}

using Numbers = std::vector<qint16>;
} // namespace

Q_DECLARE_METATYPE(Numbers)

class TestStudyText : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<MemoryProgressLog> m_log;

    // Bibles A-E; A, B and C are opened (so they have their index), D is
    // disabled, E has never been opened and has no index.
    void installBibles()
    {
        const ModuleBuilder modules[] = {bibleA(), bibleB(), bibleC(), genesisOnly(QStringLiteral("D")),
                                         genesisOnly(QStringLiteral("E"))};
        for (int b = A; b <= E; ++b) {
            const int codePage = b == B ? CodePage::Utf8 : 1252;
            m_fx->addBible(QLatin1String(Names[b]), QLatin1String(Files[b]), modules[b].bytes(codePage),
                           b != D);
        }
        for (int b : {A, B, C})
            QVERIFY(GetTranslation(b));
        QVERIFY(!TranslationHelpers::IndexFileExists(E, Translation::BibleKind));
    }

    std::shared_ptr<Translation> installCommentary(const QString &fileName, const QByteArray &bytes)
    {
        m_fx->writeFile(QStringLiteral("Modules/Commentary/") + fileName, bytes);
        gCommentaries.Add(fileName, fileName, true, 0);
        return TranslationHelpers::GetCommentary(gCommentaries.Count() - 1);
    }

    QString writeModuleFile(const QString &relative, const QByteArray &bytes)
    {
        m_fx->writeFile(relative, bytes);
        return m_fx->path(relative);
    }

    static QStringList takingPartNames()
    {
        QStringList names;
        for (const ComparisonBible &bible : ComparisonText::TakingPart())
            names.append(bible.displayName);
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_log = std::make_unique<MemoryProgressLog>();
        SetProgressLogFactory([this]() -> ProgressLog & { return *m_log; });
        installBibles();
    }
    void cleanup()
    {
        m_fx.reset();
        m_log.reset();
    }

    // --- Comparison ---------------------------------------------------------------

    void comparison_data()
    {
        QTest::addColumn<int>("book");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("verse");
        QTest::addColumn<bool>("wholeChapter");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<qint64>("count");
        const QString sep = CRLF + CRLF;
        QTest::newRow("verse in A and B, C lacks Genesis")
            << 1 << 1 << 1 << false
            << QStringLiteral("Bible A") + CRLF + QStringLiteral("GEN 1:1 In the beginning A") + CRLF + sep +
                   QStringLiteral("Bible B") + CRLF + QStringLiteral("GEN 1:1 Cr") + E_ACUTE +
                   QStringLiteral(" B") + CRLF + sep + QStringLiteral("Bible C")
            << qint64(2);
        QTest::newRow("Tab inside the verse is text")
            << 1 << 1 << 2 << false
            << QStringLiteral("Bible A") + CRLF + QStringLiteral("GEN 1:2 before\tafter") + CRLF + sep +
                   QStringLiteral("Bible B") + CRLF + QStringLiteral("GEN 1:2 void B") + CRLF + sep +
                   QStringLiteral("Bible C")
            << qint64(2);
        QTest::newRow("verse past the chapter's end")
            << 1 << 1 << 9 << false
            << QStringLiteral("Bible A") + sep + QStringLiteral("Bible B") + sep + QStringLiteral("Bible C")
            << qint64(0);
        QTest::newRow("chapter only A has")
            << 1 << 2 << 1 << true
            << QStringLiteral("Bible A") + CRLF + QStringLiteral("2:1 finished A") + CRLF +
                   QStringLiteral("2:2 rested A") + sep + QStringLiteral("Bible B") + sep +
                   QStringLiteral("Bible C")
            << qint64(2);
        QTest::newRow("New Testament chapter: only C, no other book")
            << 40 << 1 << 1 << true
            << QStringLiteral("Bible A") + sep + QStringLiteral("Bible B") + sep + QStringLiteral("Bible C") +
                   CRLF + QStringLiteral("1:1 book of the generation C") + CRLF +
                   QStringLiteral("1:2 Abraham C")
            << qint64(2);
        QTest::newRow("chapter past the book's end shows not the next book")
            << 1 << 3 << 1 << true
            << QStringLiteral("Bible A") + sep + QStringLiteral("Bible B") + sep + QStringLiteral("Bible C")
            << qint64(0);
        QTest::newRow("typed chapter 0")
            << 1 << 0 << 1 << true
            << QStringLiteral("Bible A") + sep + QStringLiteral("Bible B") + sep + QStringLiteral("Bible C")
            << qint64(0);
        QTest::newRow("huge chapter")
            << 1 << 2147483647 << 1 << false
            << QStringLiteral("Bible A") + sep + QStringLiteral("Bible B") + sep + QStringLiteral("Bible C")
            << qint64(0);
    }
    void comparison()
    {
        QFETCH(int, book);
        QFETCH(int, chapter);
        QFETCH(int, verse);
        QFETCH(bool, wholeChapter);
        QFETCH(QString, expected);
        QFETCH(qint64, count);
        const ComparisonResult result =
            ComparisonText::Build(named({A, B, C}), book, chapter, verse, wholeChapter);
        QCOMPARE(result.text, expected);
        QCOMPARE(wholeChapter ? result.verseCount : result.bibleCount, count);
    }

    void takingPartLeavesOutDisabledAndUnindexed()
    {
        QCOMPARE(takingPartNames(), (QStringList{"Bible A", "Bible B", "Bible C"}));
        QVERIFY(!TranslationHelpers::IsTranslationLoaded(D));
    }

    void indexPassBuildsMissingIndexes()
    {
        // A has its index but is not in use: the pass reports loading it.
        gBibles.SetTag(A, nullptr);
        QStringList statuses;
        ComparisonText::LoadFlaggedIndexes([&](const QString &s) { statuses.append(s); });
        QCOMPARE(statuses.first(), QStringLiteral("1 of 5 Bible A"));
        QCOMPARE(statuses.last(), QStringLiteral("5 of 5 Bible E"));
        QVERIFY2(m_log->text().contains(QStringLiteral("Loading index for Bible A...") + CRLF +
                                        QStringLiteral("  Done.")),
                 qPrintable(m_log->text()));
        QVERIFY(m_log->text().contains(QStringLiteral("Creating index for Bible E (b_e.txt)...")));
        QVERIFY(!TranslationHelpers::IsTranslationLoaded(D));
        QCOMPARE(takingPartNames(), (QStringList{"Bible A", "Bible B", "Bible C", "Bible E"}));
    }

    void cancelledIndexPassLeavesUnindexedBibleOut()
    {
        m_log->SetCancelled(true);
        QStringList statuses;
        ComparisonText::LoadFlaggedIndexes([&](const QString &s) { statuses.append(s); });
        QCOMPARE(statuses, QStringList{QStringLiteral("1 of 5 Bible A")});
        QVERIFY(!TranslationHelpers::IsTranslationLoaded(E));
        QCOMPARE(takingPartNames(), (QStringList{"Bible A", "Bible B", "Bible C"}));
    }

    void indexPassCountsPast256Bibles()
    {
        for (int i = 0; i < 300; ++i)
            gBibles.Add(QStringLiteral("Copy %1").arg(i), QLatin1String(Files[A]), true, 0);
        QString last;
        ComparisonText::LoadFlaggedIndexes([&](const QString &s) { last = s; });
        QCOMPARE(last, QStringLiteral("305 of 305 Copy 299"));
        QVERIFY(TranslationHelpers::IsTranslationLoaded(304));
    }

    void groupedNumbers_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero is empty") << qint64(0) << QString();
        QTest::newRow("small") << qint64(999) << QStringLiteral("999");
        QTest::newRow("thousands") << qint64(1234567) << QStringLiteral("1,234,567");
    }
    void groupedNumbers()
    {
        QFETCH(qint64, value);
        QFETCH(QString, expected);
        QCOMPARE(ComparisonText::GroupedNumber(value), expected);
    }

    // --- Commentaries -------------------------------------------------------------

    void bibleText_data()
    {
        QTest::addColumn<int>("bible");
        QTest::addColumn<int>("book");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<int>("verse");
        QTest::addColumn<bool>("wholeChapter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one verse, no line break")
            << int(A) << 1 << 1 << 1 << false << QStringLiteral("GEN 1:1 In the beginning A");
        QTest::newRow("Tab inside the verse")
            << int(A) << 1 << 1 << 2 << false << QStringLiteral("GEN 1:2 before\tafter");
        QTest::newRow("UTF-8 Bible") << int(B) << 1 << 1 << 1 << false
                                     << QStringLiteral("GEN 1:1 Cr") + E_ACUTE + QStringLiteral(" B");
        QTest::newRow("verse the chapter lacks") << int(A) << 1 << 1 << 4 << false << QString();
        QTest::newRow("whole chapter")
            << int(A) << 1 << 2 << 1 << true
            << QStringLiteral(" GEN 2:1 finished A") + CRLF + QStringLiteral(" GEN 2:2 rested A") + CRLF;
        QTest::newRow("book the module lacks") << int(C) << 1 << 1 << 1 << true << QString();
        QTest::newRow("chapter past the end") << int(A) << 1 << 3 << 1 << true << QString();
    }
    void bibleText()
    {
        QFETCH(int, bible);
        QFETCH(int, book);
        QFETCH(int, chapter);
        QFETCH(int, verse);
        QFETCH(bool, wholeChapter);
        QFETCH(QString, expected);
        QCOMPARE(CommentaryText::BibleText(*GetTranslation(bible), book, chapter, verse, wholeChapter),
                 expected);
    }

    void commentaryNotes_data()
    {
        QTest::addColumn<int>("book");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("brackets and the line-break mark")
            << 1 << 1 << QStringLiteral("a ") + CRLF + QStringLiteral("b");
        QTest::newRow("lines joined without separator")
            << 1 << 2 << QStringLiteral("one") + CRLF + QStringLiteral("two three");
        QTest::newRow("blank chapter") << 1 << 3 << QString();
        QTest::newRow("book the commentary lacks") << 2 << 1 << QString();
        QTest::newRow("chapter 0") << 1 << 0 << QString();
    }
    void commentaryNotes()
    {
        QFETCH(int, book);
        QFETCH(int, chapter);
        QFETCH(QString, expected);
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("[a]\u00E3b"))
            .verse(1, 2, 1, QStringLiteral("one\u00E3"))
            .verse(1, 2, 2, QStringLiteral("two "))
            .verse(1, 2, 3, QStringLiteral("three"))
            .verse(1, 3, 1, QStringLiteral("   "))
            .verse(1, 3, 2, QString());
        const auto commentary = installCommentary(QStringLiteral("c_notes.txt"), module.bytes(1252));
        QVERIFY(module.bytes(1252).contains("[a]\xE3"
                                            "b"));
        QCOMPARE(CommentaryText::ChapterNotes(*commentary, book, chapter), expected);
    }

    void commentaryPaneTexts()
    {
        QCOMPARE(CommentaryText::PaneText(QString()),
                 QStringLiteral("There is no Commentary for this selection"));
        QCOMPARE(CommentaryText::PaneText(QStringLiteral("note")), QStringLiteral("note"));
    }

    void newTestamentCommentaryAndUtf8()
    {
        ModuleBuilder nt;
        nt.verse(40, 1, 1, QStringLiteral("Matthew note"));
        const auto ntOnly = installCommentary(QStringLiteral("c_nt.txt"), nt.bytes(1252));
        QCOMPARE(CommentaryText::ChapterNotes(*ntOnly, 1, 1), QString());
        QCOMPARE(CommentaryText::ChapterNotes(*ntOnly, 40, 1), QStringLiteral("Matthew note"));

        ModuleBuilder utf8;
        utf8.verse(1, 1, 1, QStringLiteral("caf") + E_ACUTE + QStringLiteral("\u00E3next"));
        const auto unicode =
            installCommentary(QStringLiteral("c_notes_utf8.txt"), utf8.bytes(CodePage::Utf8));
        QCOMPARE(CommentaryText::ChapterNotes(*unicode, 1, 1),
                 QStringLiteral("caf") + E_ACUTE + CRLF + QStringLiteral("next"));
    }

    void commentaryFileDeletedAfterLoading()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("note"));
        const auto commentary = installCommentary(QStringLiteral("c_gone.txt"), module.bytes(1252));
        QVERIFY(QFile::remove(m_fx->path(QStringLiteral("Modules/Commentary/c_gone.txt"))));
        QCOMPARE(raisedErrorNumber([&] { CommentaryText::ChapterNotes(*commentary, 1, 1); }),
                 RtErr::FileNotFound);
    }

    // --- Dictionary ---------------------------------------------------------------

    void dictionaryReferences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Numbers>("expected");
        const QString m = QStringLiteral("\u00AF");
        QTest::newRow("3 then 1") << m + QStringLiteral("00003 and ") + m + QStringLiteral("00001")
                                  << Numbers{3, 1};
        QTest::newRow("repeated") << m + QStringLiteral("00003") + m + QStringLiteral("00003")
                                  << Numbers{3, 3};
        QTest::newRow("short number") << QStringLiteral("see ") + m + QStringLiteral("12") << Numbers{};
        QTest::newRow("short number before text") << m + QStringLiteral("12 and") << Numbers{};
        QTest::newRow("letters") << m + QStringLiteral("0001a") << Numbers{};
        QTest::newRow("past 16 bits") << m + QStringLiteral("40000") << Numbers{};
        QTest::newRow("none") << QStringLiteral("plain text") << Numbers{};
    }
    void dictionaryReferences()
    {
        QFETCH(QString, text);
        QFETCH(Numbers, expected);
        QCOMPARE(DictionaryFile::References(text), expected);
    }

    void dictionaryLookups()
    {
        const QByteArray bytes = "1\tAlpha\tfirst letter\r\n"
                                 "2\tBeta\tsee \xAF"
                                 "00003 and \xAF"
                                 "00001, again \xAF"
                                 "00003\r\n"
                                 "3\tGamma\tthird|line two\r\n"
                                 "4\tDelta\tto \xAF"
                                 "00099 and \xAF"
                                 "12\r\n"
                                 "5\tAlpha\tsecond Alpha\r\n"
                                 "a line without Tabs\r\n"
                                 "x\tBadNumber\tnot numbered\r\n";
        const DictionaryFile dictionary(
            writeModuleFile(QStringLiteral("Modules/Dictionary/d_one.txt"), bytes), 0);
        QCOMPARE(dictionary.Headwords(),
                 (QStringList{"Alpha", "Beta", "Gamma", "Delta", "Alpha", "BadNumber"}));
        const std::optional<DictionaryEntry> alpha = dictionary.Find(QStringLiteral("Alpha"));
        QVERIFY(alpha);
        QCOMPARE(alpha->text, QStringLiteral("first letter"));
        QVERIFY(!dictionary.Find(QStringLiteral("alpha")));
        QVERIFY(!dictionary.Find(QStringLiteral("Alpha ")));

        const std::optional<DictionaryEntry> gamma = dictionary.Find(QStringLiteral("Gamma"));
        QCOMPARE(DictionaryFile::ShownText(*gamma), QStringLiteral("Gamma") + CRLF + QStringLiteral("third") +
                                                        CRLF + QStringLiteral("line two"));

        const std::optional<DictionaryEntry> beta = dictionary.Find(QStringLiteral("Beta"));
        QCOMPARE(DictionaryFile::References(beta->text), (Numbers{3, 1, 3}));
        // File order, each entry once.
        QCOMPARE(dictionary.HeadwordsOf(DictionaryFile::References(beta->text)),
                 (QStringList{"Alpha", "Gamma"}));
        const std::optional<DictionaryEntry> delta = dictionary.Find(QStringLiteral("Delta"));
        QCOMPARE(dictionary.HeadwordsOf(DictionaryFile::References(delta->text)), QStringList());
        QCOMPARE(dictionary.HeadwordsOf({5}), QStringList{"Alpha"});
    }

    void twoDictionariesByTheirCodePages()
    {
        const DictionaryFile latin(writeModuleFile(QStringLiteral("Modules/Dictionary/d_a.txt"),
                                                   "1\tCaf\xE9\tsee \xAF"
                                                   "00002\r\n2\tTwo\tx\r\n"),
                                   0);
        const DictionaryFile unicode(writeModuleFile(QStringLiteral("Modules/Dictionary/d_b_utf8.txt"),
                                                     "7\tCaf\xC3\xA9\tsee \xC2\xAF"
                                                     "00008\r\n8\tEight\ty\r\n"),
                                     CodePage::Utf8);
        QCOMPARE(latin.Headwords(), (QStringList{QStringLiteral("Caf") + E_ACUTE, "Two"}));
        QCOMPARE(unicode.Headwords(), (QStringList{QStringLiteral("Caf") + E_ACUTE, "Eight"}));
        const auto l = latin.Find(QStringLiteral("Caf") + E_ACUTE);
        const auto u = unicode.Find(QStringLiteral("Caf") + E_ACUTE);
        QCOMPARE(latin.HeadwordsOf(DictionaryFile::References(l->text)), QStringList{"Two"});
        QCOMPARE(unicode.HeadwordsOf(DictionaryFile::References(u->text)), QStringList{"Eight"});
    }

    void missingDictionaryFileRaises()
    {
        const DictionaryFile gone(m_fx->path(QStringLiteral("Modules/Dictionary/none.txt")), 0);
        QCOMPARE(raisedErrorNumber([&] { gone.Headwords(); }), RtErr::FileNotFound);
    }

    // --- Names --------------------------------------------------------------------

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("meaning");
        QTest::addColumn<bool>("found");
        QTest::newRow("first of a duplicate")
            << QStringLiteral("Aaron") << QStringLiteral("high mountain") << true;
        QTest::newRow("other case is another name")
            << QStringLiteral("aaron") << QStringLiteral("lower") << true;
        QTest::newRow("case counts") << QStringLiteral("AARON") << QString() << false;
        QTest::newRow("Tabs in the meaning") << QStringLiteral("Tabs") << QStringLiteral("one\ttwo") << true;
        QTest::newRow("line without a Tab names nothing")
            << QStringLiteral("no tab line") << QString() << false;
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(QString, meaning);
        QFETCH(bool, found);
        const NameDictionaryFile file(writeModuleFile(QStringLiteral("Modules/Name/n_test.txt"),
                                                      "1\tAaron\thigh mountain\r\n2\tAbba\tfather\r\n"
                                                      "3\tAaron\tsecond meaning\r\nno tab line\r\n"
                                                      "4\taaron\tlower\r\n5\tTabs\tone\ttwo\r\n"),
                                      0);
        QCOMPARE(file.Names(), (QStringList{"Aaron", "Abba", "Aaron", "aaron", "Tabs"}));
        const std::optional<QString> result = file.Meaning(name);
        QCOMPARE(result.has_value(), found);
        if (found)
            QCOMPARE(*result, meaning);
    }

    void nameJump_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty text takes the first") << QString() << 0;
        QTest::newRow("start, any case") << QStringLiteral("AB") << 1;
        QTest::newRow("first of several") << QStringLiteral("aar") << 0;
        QTest::newRow("longer than every name") << QStringLiteral("Aaronites") << -1;
        QTest::newRow("nothing matches") << QStringLiteral("zzz") << -1;
    }
    void nameJump()
    {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        QCOMPARE(NameDictionaryFile::FirstStartingWith({"Aaron", "Abba", "aaron"}, typed), expected);
    }
};

QTEST_MAIN(TestStudyText)
#include "tst_studytext.moc"
