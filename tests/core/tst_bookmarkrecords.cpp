#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "core/BookmarkRecords.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QLockFile>
#include <QtTest>
#include <functional>
#include <optional>
#include <thread>

namespace {
const QByteArray GoodA = "\"Psalm 23\",\"Comfort\",\"01-Jan-2024\",\"PSA 023:001\",\"Psalm23.rtf\"\r\n";
const QByteArray GoodB = "\"Love, faith\",\"Paul's\",\"02-Jan-2024\",\"1CO 013:013\",\"Lovefaith.rtf\"\r\n";

// What one writer of the list does between reading it and saving it.
using Change = std::function<void(BookmarkRecords &)>;

Change adds(const char *title)
{
    return [title](BookmarkRecords &records) {
        records.Append({title, "", "", "", QString::fromLatin1(title) + ".rtf"});
    };
}
Change deletes(const char *title)
{
    return [title](BookmarkRecords &records) { records.Remove(records.FindTitle(title)); };
}
Change renames(const char *title, const char *to)
{
    return [title, to](BookmarkRecords &records) {
        BookmarkRecord record = records.Rows().at(records.FindTitle(title));
        record.title = to;
        records.Replace(records.FindTitle(title), record);
    };
}
Change sortsDescending()
{
    return [](BookmarkRecords &records) { records.Sort(0, true); };
}
Change nothing()
{
    return [](BookmarkRecords &) {};
}

QStringList titles(const QList<BookmarkRecord> &rows)
{
    QStringList out;
    for (const BookmarkRecord &record : rows)
        out.append(record.title);
    return out;
}
} // namespace

Q_DECLARE_METATYPE(BookmarkRecord)
Q_DECLARE_METATYPE(Change)

class TestBookmarkRecords : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
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
        // The name the record reader makes of """" is one double quote; written
        // back it would become an empty name.
        QTest::newRow("document name a double quote") << first + "\"Quote\",\"\",\"\",\"\",\"\"\"\"\r\n"
                                                      << QStringList{"Psalm 23"} << false;
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

    void fileNameFromTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("letters, digits, blanks, comma") << "Psalm 23, first notes"
                                                        << "Psalm23firstnotes.rtf";
        QTest::newRow("accented letter kept") << "Jes\u00FAs_1"
                                              << "Jes\u00FAs_1.rtf";
        QTest::newRow("Greek kept") << "\u03A8\u03B1\u03BB\u03BC\u03CC\u03C2 23"
                                    << "\u03A8\u03B1\u03BB\u03BC\u03CC\u03C223.rtf";
        QTest::newRow("Hebrew with points kept") << "\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0"
                                                 << "\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0.rtf";
        QTest::newRow("letters beyond 16 bits kept") << "\U00010330\U00010331"
                                                     << "\U00010330\U00010331.rtf";
        QTest::newRow("punctuation only") << "?! \u2014 \u00BF"
                                          << "bookmark.rtf";
        QTest::newRow("empty") << ""
                               << "bookmark.rtf";
        // 120 Greek letters take 240 bytes: the name is cut at 200, room left for "_n.rtf".
        QTest::newRow("long Greek title cut")
            << QString(120, QChar(0x03B1)) << QString(100, QChar(0x03B1)) + ".rtf";
        QTest::newRow("dots collapse, none first or last") << "..a...b.."
                                                           << "a.b.rtf";
        QTest::newRow("path in title") << "x/../y\\z"
                                       << "x.yz.rtf";
    }
    void fileNameFromTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, fileName);
        QCOMPARE(BookmarkRecords::FileNameFromTitle(title), fileName);
        QVERIFY(BookmarkRecords::IsPlainFileName(fileName));
        // The file system takes the name as it is.
        QVERIFY(QDir().mkpath(BookmarkRecords::DocumentFolder()));
        QFile document(BookmarkRecords::DocumentFolder() + fileName);
        QVERIFY2(document.open(QIODevice::WriteOnly), qPrintable(document.errorString()));
        QCOMPARE(QDir(BookmarkRecords::DocumentFolder()).entryList(QDir::Files), QStringList{fileName});
    }

    void plainFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("document") << "Psalm23.rtf" << true;
        QTest::newRow("extension only") << ".rtf" << true;
        QTest::newRow("parent folder") << "../x" << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("dot dot inside") << "a..rtf" << false;
        QTest::newRow("slash") << "a/b.rtf" << false;
        QTest::newRow("backslash") << "..\\a.rtf" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("NUL") << QStringLiteral("a%1b.rtf").arg(QChar(0)) << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("double quote only") << "\"" << false;
        QTest::newRow("double quote inside") << "a\"b.rtf" << false;
    }
    void plainFileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(BookmarkRecords::IsPlainFileName(name), plain);
        QCOMPARE(raisedErrorNumber([&] { BookmarkRecords::DocumentPath(name); }),
                 plain ? 0 : RtErr::BadFileNameOrNumber);
    }

    void uniqueFileName()
    {
        BookmarkRecords &records = BookmarkRecords::Instance();
        records.Append({"A", "", "", "", "Psalm23.rtf"});
        records.Append({"B", "", "", "", "Psalm23_2.rtf"});
        QVERIFY(QDir().mkpath(BookmarkRecords::DocumentFolder()));
        m_fx->writeFile(QStringLiteral("Bookmarks/Orphan.rtf"), "kept");
        QCOMPARE(records.UniqueFileName("Psalm23.rtf"), QStringLiteral("Psalm23_3.rtf"));
        QCOMPARE(records.UniqueFileName("PSALM23.rtf"), QStringLiteral("PSALM23_3.rtf"));
        QCOMPARE(records.UniqueFileName("Psalm23.rtf", 0), QStringLiteral("Psalm23.rtf"));
        QCOMPARE(records.UniqueFileName("Psalm23.rtf", 1), QStringLiteral("Psalm23_2.rtf"));
        // A file no row names (a record left out of a damaged list) is not overwritten.
        QCOMPARE(records.UniqueFileName("orphan.rtf"), QStringLiteral("orphan_2.rtf"));
        QCOMPARE(records.UniqueFileName("New.rtf"), QStringLiteral("New.rtf"));
        // A row added since counts at once; Greek names compare without case too.
        records.Append({"C", "", "", "", "New.rtf"});
        records.Append({"D", "", "", "", "\u03A8\u03B1\u03BB\u03BC\u03CC\u03C2.rtf"});
        QCOMPARE(records.UniqueFileName("new.rtf"), QStringLiteral("new_2.rtf"));
        QCOMPARE(records.UniqueFileName("\u03C8\u03B1\u03BB\u03BC\u03CC\u03C2.rtf"),
                 QStringLiteral("\u03C8\u03B1\u03BB\u03BC\u03CC\u03C2_2.rtf"));
        // The name a row shares with another is no longer its own to keep.
        records.Append({"E", "", "", "", "Psalm23.rtf"});
        QCOMPARE(records.UniqueFileName("Psalm23.rtf", 0), QStringLiteral("Psalm23_3.rtf"));
    }

    void saveAndReadBack_data()
    {
        QTest::addColumn<QList<BookmarkRecord>>("rows");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("titlesRead");
        QTest::newRow("empty list: zero bytes") << QList<BookmarkRecord>() << QByteArray() << QStringList();
        QTest::newRow("quotes and commas")
            << QList<BookmarkRecord>{{"Say \"amen\", twice", "a,b", "01-Jan-2024", "GEN 001:001",
                                      "Say\"amen.rtf"}}
            << QByteArray("\"Say 'amen', twice\",\"a,b\",\"01-Jan-2024\",\"GEN 001:001\",\"Sayamen.rtf\"\r\n")
            << QStringList{"Say 'amen', twice"};
        QTest::newRow("text the ANSI code page cannot hold")
            << QList<BookmarkRecord>{{"\u03A8 23", "", "", "", "x.rtf"}}
            << QByteArray("\xEF\xBB\xBF\"\xCE\xA8 23\",\"\",\"\",\"\",\"x.rtf\"\r\n")
            << QStringList{"\u03A8 23"};
    }
    void saveAndReadBack()
    {
        QFETCH(QList<BookmarkRecord>, rows);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, titlesRead);
        for (const BookmarkRecord &row : rows)
            BookmarkRecords::Instance().Append(row);
        BookmarkRecords::Instance().Save();
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), file);
        BookmarkRecords::Instance().Clear();
        BookmarkRecords::LoadBookmarks();
        QStringList got;
        for (const BookmarkRecord &record : BookmarkRecords::Instance().Rows())
            got.append(record.title);
        QCOMPARE(got, titlesRead);
        QVERIFY(gBookmarksLoaded);
    }

    // The good records stay, the original is kept before anything rewrites it,
    // and the reader is told once.
    void damagedFile()
    {
        const QByteArray original = GoodA + "\"Unclosed\",\"C\",\"D\",\"R\",\"u.rtf\r\n" +
                                    "\"Four\",\"fields\",\"only\",\"f.rtf\"\r\n" +
                                    "\"Evil\",\"\",\"\",\"\",\"../x\"\r\n" + GoodB;
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), original);
        BookmarkRecords::LoadBookmarks();
        BookmarkRecords::LoadBookmarks();
        QStringList titles;
        for (const BookmarkRecord &record : BookmarkRecords::Instance().Rows())
            titles.append(record.title);
        QCOMPARE(titles, (QStringList{"Psalm 23", "Love, faith"}));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString told = m_fx->desk().lastMessage();
        for (const char *part :
             {"record 2 (line 2)", "record 3 (line 3): 4 fields", "\"../x\"", "Bookmarks.txt"})
            QVERIFY2(told.contains(QLatin1String(part)), qPrintable(told));
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt.bad")), original);

        BookmarkRecords::Instance().Save();
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), GoodA + GoodB);
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt.bad")), original);
    }

    // Until the damaged original is kept the file is not replaced; the reader
    // is told why the copy is missing.
    void damagedFileNotReplacedWithoutItsCopy()
    {
        const QByteArray original = GoodA + "\"Four\",\"fields\",\"only\",\"f.rtf\"\r\n";
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), original);
        std::optional<ReadOnlyFolder> readOnly(std::in_place, m_fx->programFolder());
        if (!readOnly->active())
            QSKIP("This system cannot make a folder read-only for this user");
        BookmarkRecords::LoadBookmarks();
        const QString told = m_fx->desk().lastMessage();
        const QString notYet = GetMsg(0, 262, QString());
        QVERIFY2(told.contains(notYet.left(notYet.indexOf(QLatin1Char(':')))), qPrintable(told));
        QVERIFY2(ReadOnlyFolder::endsWithTheRefusal(told), qPrintable(told));
        QVERIFY(BookmarkRecords::Instance().DamagedCopy().isEmpty());
        QVERIFY(raisedErrorNumber([] { BookmarkRecords::Instance().Save(); }) != 0);
        readOnly.reset();
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), original);
        BookmarkRecords::Instance().Save();
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt.bad")), original);
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), GoodA);
    }

    void everyDamagedOriginalIsKept_data()
    {
        QTest::addColumn<QByteArray>("secondDamage");
        QTest::addColumn<QStringList>("copies");
        const QByteArray first = GoodA + "\"Unclosed\",\"C\",\"D\",\"R\",\"u.rtf\r\n";
        QTest::newRow("damaged again otherwise") << GoodB + "\"Four\",\"fields\",\"only\",\"f.rtf\"\r\n"
                                                 << QStringList{"Bookmarks.txt.2.bad", "Bookmarks.txt.bad"};
        // A list read again before it could be saved is not kept twice.
        QTest::newRow("the same damage again") << first << QStringList{"Bookmarks.txt.bad"};
    }
    // Each damaged list is kept in a copy of its own, which the next damage does
    // not replace; the message names the copy it was kept in.
    void everyDamagedOriginalIsKept()
    {
        QFETCH(QByteArray, secondDamage);
        QFETCH(QStringList, copies);
        const QByteArray first = GoodA + "\"Unclosed\",\"C\",\"D\",\"R\",\"u.rtf\r\n";
        for (const QByteArray &damaged : {first, secondDamage}) {
            m_fx->writeFile(QStringLiteral("Bookmarks.txt"), damaged);
            BookmarkRecords records;
            QVERIFY(!records.Read());
            QVERIFY2(m_fx->desk().lastMessage().endsWith(QStringLiteral("\r\n\r\n") + records.DamagedCopy()),
                     qPrintable(m_fx->desk().lastMessage()));
            QCOMPARE(TextFiles::readAll(records.DamagedCopy()), damaged);
            records.Save();
        }
        QCOMPARE(QDir(m_fx->programFolder()).entryList({QStringLiteral("*.bad")}, QDir::Files, QDir::Name),
                 copies);
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt.bad")), first);
        if (copies.size() > 1)
            QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt.2.bad")), secondDamage);
    }

    void twoWritersKeepEachOthersWork_data()
    {
        QTest::addColumn<Change>("other"); // reads, changes and saves first
        QTest::addColumn<Change>("mine");  // read before the other saved, saves last
        QTest::addColumn<QStringList>("file");
        QTest::newRow("both add") << adds("Theirs") << adds("Mine")
                                  << QStringList{"Psalm 23", "Love, faith", "Mine", "Theirs"};
        QTest::newRow("the other adds, mine deletes")
            << adds("Theirs") << deletes("Psalm 23") << QStringList{"Love, faith", "Theirs"};
        QTest::newRow("the other deletes, mine adds")
            << deletes("Psalm 23") << adds("Mine") << QStringList{"Love, faith", "Mine"};
        QTest::newRow("both delete the same")
            << deletes("Psalm 23") << deletes("Psalm 23") << QStringList{"Love, faith"};
        QTest::newRow("the other edits, mine adds") << renames("Psalm 23", "Psalm 23 again") << adds("Mine")
                                                    << QStringList{"Love, faith", "Mine", "Psalm 23 again"};
        // Neither edit is lost.
        QTest::newRow("both edit the same") << renames("Psalm 23", "Theirs") << renames("Psalm 23", "Mine")
                                            << QStringList{"Mine", "Love, faith", "Theirs"};
        QTest::newRow("the other edits what mine deletes")
            << renames("Psalm 23", "Theirs") << deletes("Psalm 23") << QStringList{"Love, faith", "Theirs"};
        QTest::newRow("the other sorts, mine adds")
            << sortsDescending() << adds("Mine") << QStringList{"Psalm 23", "Love, faith", "Mine"};
        QTest::newRow("the other adds, mine only saves")
            << adds("Theirs") << nothing() << QStringList{"Psalm 23", "Love, faith", "Theirs"};
    }
    // Two copies of the program on one list: what the other saved since this
    // one read the file is kept when this one saves, and this one shows it.
    void twoWritersKeepEachOthersWork()
    {
        QFETCH(Change, other);
        QFETCH(Change, mine);
        QFETCH(QStringList, file);
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA + GoodB);
        BookmarkRecords theirs, ours;
        QVERIFY(theirs.Read());
        QVERIFY(ours.Read());
        other(theirs);
        QVERIFY(!theirs.Save());
        mine(ours);
        const QStringList before = titles(ours.Rows());
        const bool merged = ours.Save();

        BookmarkRecords reread;
        QVERIFY(reread.Read());
        QCOMPARE(titles(reread.Rows()), file);
        QCOMPARE(titles(ours.Rows()), file);
        QCOMPARE(merged, before != file);
        // Saved again, with nothing new from the other, the file stays as it is.
        const QByteArray written = m_fx->readFile(QStringLiteral("Bookmarks.txt"));
        QVERIFY(!ours.Save());
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), written);
    }

    void recordDamagedOnDiskIsKept_data()
    {
        QTest::addColumn<QByteArray>("onDisk"); // the file as the other writer left it
        QTest::addColumn<QStringList>("file");  // the titles this list's save writes
        const QByteArray lostField = "\"Love, faith\",\"Paul's\",\"02-Jan-2024\",\"Lovefaith.rtf\"\r\n";
        // The other writer's deletion of a record whose line is gone whole is taken.
        QTest::newRow("one damaged, another deleted") << lostField << QStringList{"Love, faith", "Mine"};
        // A damaged line that names no bookmark could be any of them: none is dropped.
        QTest::newRow("a line naming none, and another deleted")
            << GoodB + "\"\r\n"
            << QStringList{"Psalm 23", "Love, faith", "Mine"};
    }
    // A record whose line on disk does not read whole, but which this list holds
    // whole, is no deletion of the other writer's: it stays in the list and the file.
    void recordDamagedOnDiskIsKept()
    {
        QFETCH(QByteArray, onDisk);
        QFETCH(QStringList, file);
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA + GoodB);
        BookmarkRecords ours;
        QVERIFY(ours.Read());
        ours.Append({"Mine", "", "", "", "Mine.rtf"});
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), onDisk);
        ours.Save();
        QCOMPARE(titles(ours.Rows()), file);
    }

    // Another writer holds the list's lock while it saves: this save waits until
    // it is done and takes in what it wrote, instead of being written over.
    void saveWaitsForAnotherWritersSave()
    {
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA);
        BookmarkRecords ours;
        QVERIFY(ours.Read());
        ours.Append({"Mine", "", "", "", "Mine.rtf"});
        QLockFile othersLock(BookmarkRecords::RecordFile() + QStringLiteral(".lock"));
        QVERIFY(othersLock.tryLock(0));
        std::thread saving([&ours] { ours.Save(); });
        QTest::qSleep(400);
        TextFiles::writeAtomically(BookmarkRecords::RecordFile(), GoodA + GoodB);
        othersLock.unlock();
        saving.join();
        BookmarkRecords reread;
        QVERIFY(reread.Read());
        QCOMPARE(titles(reread.Rows()), (QStringList{"Psalm 23", "Mine", "Love, faith"}));
    }

    // A lock left by a copy on another machine that ended during its save, older
    // than any save takes, is given up: the list is written, and no lock stays.
    void leftOverLockIsGivenUp()
    {
        m_fx->writeFile(QStringLiteral("Bookmarks.txt.lock"), "4242\nVerbanox\nstudy-pc\n0123\nboot\n");
        QFile lock(BookmarkRecords::RecordFile() + QStringLiteral(".lock"));
        const QDateTime left =
            QDateTime::currentDateTimeUtc().addMSecs(-BookmarkRecords::LongestSaveMs - 5000);
        QVERIFY(lock.open(QIODevice::ReadWrite) && lock.setFileTime(left, QFileDevice::FileModificationTime));
        lock.close();
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA);
        BookmarkRecords ours;
        QVERIFY(ours.Read());
        ours.Append({"Mine", "", "", "", "Mine.rtf"});
        ours.Save();
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")),
                 GoodA + "\"Mine\",\"\",\"\",\"\",\"Mine.rtf\"\r\n");
        QVERIFY(!lock.exists());
    }

    // Another writer left the list damaged: what can be read of it is taken in,
    // the file as it was is kept in a copy that the message names, and nobody
    // waits while the message shows: the list's lock is given up before.
    void damageLeftByAnotherWriter()
    {
        // Whether another writer could take the list's lock, at each message.
        struct LockWatch : TestDesktop
        {
            QList<bool> lockFree;
            int messageBox(const QString &text, int style, const QString &title) override
            {
                QLockFile other(BookmarkRecords::RecordFile() + QStringLiteral(".lock"));
                lockFree.append(other.tryLock(0));
                return TestDesktop::messageBox(text, style, title);
            }
        };
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA);
        BookmarkRecords ours;
        QVERIFY(ours.Read());
        ours.Append({"Mine", "", "", "", "Mine.rtf"});
        const QByteArray damaged = GoodA + GoodB + "\"Four\",\"fields\",\"only\",\"f.rtf\"\r\n";
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), damaged);
        auto owned = std::make_unique<LockWatch>();
        LockWatch &watch = *owned;
        std::unique_ptr<Desktop> fixtureDesktop = setDesktop(std::move(owned));
        const bool merged = ours.Save();
        const std::unique_ptr<Desktop> done = setDesktop(std::move(fixtureDesktop));

        QVERIFY(merged);
        QCOMPARE(titles(ours.Rows()), (QStringList{"Psalm 23", "Mine", "Love, faith"}));
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt.bad")), damaged);
        QCOMPARE(watch.lockFree, QList<bool>{true});
        const QString told = watch.lastMessage();
        QVERIFY2(told.startsWith(GetMsg(0, 270, BookmarkRecords::RecordFile())), qPrintable(told));
        QVERIFY2(told.endsWith(QStringLiteral("\r\n\r\n") + ours.DamagedCopy()), qPrintable(told));
    }

    // A list started without a file takes in the file another writer made meanwhile.
    void fileMadeByAnotherWriterMeanwhile()
    {
        BookmarkRecords::LoadBookmarks();
        BookmarkRecords::Instance().Append({"Mine", "", "", "", "Mine.rtf"});
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA);
        QVERIFY(BookmarkRecords::Instance().Save());
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")),
                 "\"Mine\",\"\",\"\",\"\",\"Mine.rtf\"\r\n" + GoodA);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    // Rows changed before any file was read (the list was used after a start
    // without a file) are not replaced by a later reading.
    void changedRowsAreNotReadAgain()
    {
        BookmarkRecords::LoadBookmarks();
        QVERIFY(!gBookmarksLoaded);
        BookmarkRecords::Instance().Append({"Mine", "", "", "", "Mine.rtf"});
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), GoodA + GoodB);
        BookmarkRecords::LoadBookmarks();
        QCOMPARE(BookmarkRecords::Instance().Count(), 1);
        QCOMPARE(BookmarkRecords::Instance().Rows().first().title, QStringLiteral("Mine"));
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
