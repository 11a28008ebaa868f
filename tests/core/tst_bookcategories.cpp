#include "common/TestFixture.h"
#include "core/BookCategories.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

class TestBookCategories : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    void categories(const QByteArray &text)
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Categories.txt"), text);
    }
    void names(const QByteArray &text, const QString &language = QStringLiteral("ENGLISH"))
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Categories_") + language + QStringLiteral(".txt"), text);
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void rangesAndComments()
    {
        categories("# all\r\n0,0,1-66\r\n\r\n 1 ,\t0 , 1-5;19  # Law and "
                   "Psalms\r\n2,1,1-5-7;0-5;5-3;7\r\n3,2\r\n4,2,40-70;67\r\n");
        names("0, All, All\r\n1, Law and Psalms, LP\r\n2,Bad,B\r\n");
        gDebugMode = true;
        BookCategories c;
        QCOMPARE(c.CountOfCategories(), qint16(5));
        QVERIFY(c.IsBookInCategory(1, 1));
        QVERIFY(c.IsBookInCategory(1, 5));
        QVERIFY(!c.IsBookInCategory(1, 6));
        QVERIFY(c.IsBookInCategory(1, 19));
        QCOMPARE(c.LongNameOfCategory(1), QStringLiteral("Law and Psalms"));
        QCOMPARE(c.ShortNameOfCategory(1), QStringLiteral("LP"));
        QCOMPARE(c.ShortNameOfCategory(3), QString());
        // Bad items set no books; the good item of the same line still counts.
        for (int b = 1; b <= 6; ++b)
            QVERIFY(!c.IsBookInCategory(2, b));
        QVERIFY(c.IsBookInCategory(2, 7));
        QCOMPARE(c.ParentCategoryOfCategory(3), 0); // two fields: an empty category with ID 0
        QVERIFY(!c.IsBookInCategory(4, 40));
        QVERIFY(!c.IsBookInCategory(4, 67));

        QStringList texts;
        for (const auto &box : m_fx->desk().messageBoxes())
            texts << box.text;
        const QString all = texts.join(QLatin1Char('|'));
        QVERIFY(all.contains(QStringLiteral("Invalid range expression (too many '-').")));
        QVERIFY(all.contains(QStringLiteral("Invalid range expression (Start of range is <= 0).")));
        QVERIFY(all.contains(QStringLiteral("Invalid range expression (End of range is < Start of range).")));
        QVERIFY(all.contains(QStringLiteral("Invalid line (too few fields).")));
        QVERIFY(all.contains(QStringLiteral("(End of range is > 66)")));
        QVERIFY(all.contains(QStringLiteral("(Start of range is > 66)")));
        QVERIFY(all.contains(QStringLiteral("range='40-70;67'")));
        QVERIFY(all.contains(QStringLiteral("ID from Categories_LANGUAGE.txt not found")) == false);
        QVERIFY(!c.IsBookInCategory(0, 67));
        QVERIFY(
            m_fx->desk().lastMessage().contains(QStringLiteral("IncludeBook(ibook): ibook > 66, ibook=67")));
    }

    void indentsAndBadParents()
    {
        categories("0,0,1-66\r\n1,0,1-39\r\n2,1,1-5\r\n3,2,1\r\n4,5,2\r\n5,4,3\r\n6,99,4\r\n7,7,5\r\n");
        names("");
        BookCategories c;
        QCOMPARE(c.IndentOfCategory(0), 0);
        QCOMPARE(c.IndentOfCategory(1), 0);
        QCOMPARE(c.IndentOfCategory(2), 1);
        QCOMPARE(c.IndentOfCategory(3), 2);
        QVERIFY(c.IndentOfCategory(4) <= 2); // a cycle ends instead of looping
        QCOMPARE(c.IndentOfCategory(6), 0);  // a parent outside the list counts as the root
        QCOMPARE(c.IndentOfCategory(7), 0);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.IndentOfCategory(8));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, c.LongNameOfCategory(-1));
    }

    // Parents drawn at random, cycles, self-parents and parents outside the list
    // among them: each depth as the walk up the chain gives it.
    void depthsAsTheWalkUpTheChain_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("outside"); // parents drawn from 0 to count + outside - 1
        QTest::newRow("few, many cycles") << 8 << 0;
        QTest::newRow("some outside the list") << 60 << 10;
        QTest::newRow("long chains") << 400 << 1;
    }
    void depthsAsTheWalkUpTheChain()
    {
        QFETCH(int, count);
        QFETCH(int, outside);
        QRandomGenerator random(quint32(count + outside));
        for (int round = 0; round < 20; ++round) {
            QList<int> parents;
            QByteArray text;
            for (int i = 0; i < count; ++i) {
                // Mostly an earlier category, for long chains; now and then any.
                const int parent = random.bounded(4) == 0 || i == 0 ? int(random.bounded(count + outside))
                                                                    : int(random.bounded(i));
                parents.append(parent);
                text += QByteArray::number(i) + ',' + QByteArray::number(parent) + ",1\r\n";
            }
            categories(text);
            names("");
            const BookCategories c;
            for (int start = 0; start < count; ++start) {
                int depth = -1;
                QSet<int> seen;
                int i = start;
                do {
                    ++depth;
                    seen.insert(i);
                    const int parent = parents[i];
                    if (parent >= count || seen.contains(parent))
                        break;
                    i = parent;
                } while (i != 0);
                QCOMPARE(c.IndentOfCategory(start), depth);
            }
        }
    }

    void duplicateIdsKeepTheFirst()
    {
        categories("0,0,1-66\r\n1,0,1\r\n1,0,2\r\n");
        names("1, First, F\r\n");
        BookCategories c;
        QCOMPARE(c.LongNameOfCategory(1), QStringLiteral("First"));
        QCOMPARE(c.LongNameOfCategory(2), QString());
    }

    void languageFallsBackToEnglish()
    {
        categories("0,0,1-66\r\n");
        names("0, All books, All\r\n");
        gLanguage = QStringLiteral("GERMAN");
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"),
                        "0108 Missing %\r\n0109 Title\r\n0111 No language file %\r\n");
        m_fx->writeFile(QStringLiteral("msg/GERMAN_STD.mes"), "");
        m_fx->writeFile(QStringLiteral("msg/GERMAN_FRM.mes"), "");
        BookCategories c;
        QCOMPARE(c.LongNameOfCategory(0), QStringLiteral("All books"));
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("S111=No language file ") + gSysDefsFolder +
                                    QStringLiteral("Categories_GERMAN.txt"));

        m_fx->desk().shown.clear();
        names("0, Alle, A\r\n", QStringLiteral("GERMAN"));
        c.LoadLanguageFile(gSysDefsFolder + QStringLiteral("Categories.txt"));
        QCOMPARE(c.ShortNameOfCategory(0), QStringLiteral("A"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void missingFiles()
    {
        BookCategories none;
        QCOMPARE(none.CountOfCategories(), qint16(0));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().contains(gSysDefsFolder + QStringLiteral("Categories.txt")));

        categories("0,0,1-66\r\n");
        BookCategories noNames;
        QCOMPARE(noNames.CountOfCategories(), qint16(1));
        QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("Categories_ENGLISH.txt")));
    }

    void shippedCategories()
    {
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        gDebugMode = true;
        BookCategories c;
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QVERIFY(c.CountOfCategories() >= 10);
        for (int i = 0; i < c.CountOfCategories(); ++i) {
            QVERIFY2(!c.LongNameOfCategory(i).isEmpty(), qPrintable(QString::number(i)));
            int books = 0;
            for (int b = 1; b <= 66; ++b)
                books += c.IsBookInCategory(i, b);
            QVERIFY2(books > 0, qPrintable(c.LongNameOfCategory(i)));
        }
        QCOMPARE(c.LongNameOfCategory(0), QStringLiteral("All Books"));
    }
};

QTEST_GUILESS_MAIN(TestBookCategories)
#include "tst_bookcategories.moc"
