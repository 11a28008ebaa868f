#include "common/TestFixture.h"
#include "core/BookmarkRecords.h"
#include "core/GlobalVars.h"

#include <QtTest>

class TestBookmarkRecords : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>(false);
        m_fx->setUpFolders();
        BookmarkRecords::Instance().Clear();
    }
    void cleanup()
    {
        BookmarkRecords::Instance().Clear();
        m_fx.reset();
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file at all
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("loaded");
        const QByteArray first =
            "\"Psalm 23\",\"Comfort\",\"01-Jan-2024\",\"Psa 023:001\",\"Psalm23.rtf\"\r\n";
        const QByteArray second =
            "\"Love, chapter\",\"\",\"02-Jan-2024\",\"1Co 013:001\",\"Lovechapter.rtf\"\r\n";
        QTest::newRow("no file") << QByteArray() << QStringList() << false;
        QTest::newRow("empty file") << QByteArray("\r\n") << QStringList() << true;
        QTest::newRow("two records, comma inside")
            << first + second << QStringList{"Psalm 23", "Love, chapter"} << true;
        QTest::newRow("short record after a good one") << first + "\"Only\",\"four\",\"fields\",\"here\"\r\n"
                                                       << QStringList{"Psalm 23"} << false;
        QTest::newRow("long record") << QByteArray("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n") << QStringList()
                                     << false;
        QTest::newRow("1252 text") << QByteArray("\"Jes\xFAs\",\"\",\"\",\"\",\"x.rtf\"\r\n")
                                   << QStringList{"Jes\u00FAs"} << true;
    }
    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, titles);
        QFETCH(bool, loaded);
        if (!file.isEmpty())
            m_fx->writeFile(QStringLiteral("Bookmarks.txt"), file);
        BookmarkRecords::LoadBookmarks();
        QStringList got;
        for (const BookmarkRecord &record : BookmarkRecords::Instance().Rows())
            got.append(record.title);
        QCOMPARE(got, titles);
        QCOMPARE(gBookmarksLoaded, loaded);
        // A second window's load neither reads again after success nor lists a
        // row twice after a failure.
        BookmarkRecords::LoadBookmarks();
        QCOMPARE(BookmarkRecords::Instance().Rows().size(), titles.size());
    }

    void fieldsInOrder()
    {
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), "\"T\",\"C\",\"D\",\"R\",\"F.rtf\"\r\n");
        BookmarkRecords::LoadBookmarks();
        const BookmarkRecord &record = BookmarkRecords::Instance().Rows().first();
        QCOMPARE(
            (QStringList{record.title, record.category, record.dateAdded, record.reference, record.fileName}),
            (QStringList{"T", "C", "D", "R", "F.rtf"}));
    }

    void loadedOnceOnly()
    {
        gBookmarksLoaded = true;
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), "\"T\",\"C\",\"D\",\"R\",\"F.rtf\"\r\n");
        BookmarkRecords::LoadBookmarks();
        QVERIFY(BookmarkRecords::Instance().Rows().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBookmarkRecords)
#include "tst_bookmarkrecords.moc"
