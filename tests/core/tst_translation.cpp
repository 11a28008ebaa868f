#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "core/IndexStamp.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QtTest>

namespace {
// A log that can run code when the index builder reports, as events would.
class ScriptedLog : public MemoryProgressLog
{
public:
    std::function<void()> onAdd;
    QStringList added;
    void MsgAddMessage(const QString &text, bool keep, bool cancel) override
    {
        added.append(text);
        MemoryProgressLog::MsgAddMessage(text, keep, cancel);
        if (onAdd) {
            auto once = std::move(onAdd);
            onAdd = nullptr;
            once();
        }
    }
};
} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    ScriptedLog m_log;

    QString install(const QString &fileName, const QByteArray &bytes,
                    const QString &display = QStringLiteral("Test Bible"))
    {
        m_fx->addBible(display, fileName, bytes);
        return gIndexFolder + fileName + QStringLiteral(".INDEX");
    }

    // The chapter lines of an index, after the stamp of the module it was built from.
    QStringList indexLines(const QString &path)
    {
        QStringList lines = TextReader::fromFile(path, 1252, LineEnds::CrLfOnly).readAllLines();
        if (!IndexStamp::TakeFrom(lines))
            lines.prepend(QStringLiteral("<no stamp>"));
        return lines;
    }

    int creations() const { return int(m_log.added.filter(QStringLiteral("Creating index for")).size()); }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_log = ScriptedLog();
        SetProgressLogFactory([this]() -> ProgressLog & { return m_log; });
    }
    void cleanup() { m_fx.reset(); }

    void wholeBibleGoldenIndex()
    {
        ModuleBuilder module;
        for (int b = 1; b <= 66; ++b)
            for (int c = 1; c <= 1 + b % 3; ++c)
                module.chapter(b, c, 1 + (b + c) % 4, QStringLiteral(" text\twith a Tab"));
        const QString index = install(QStringLiteral("b_whole.txt"), module.bytes());
        auto t = GetTranslation(0);
        QVERIFY(t);
        const QStringList lines = indexLines(index);
        QCOMPARE(lines, module.expectedIndex());
        QCOMPARE(lines.first(), QStringLiteral("1,3,1,1,3,1,") +
                                    QString::number(module.bytes().indexOf("\r\n4\t1\t2\t1") + 3));
        QCOMPARE(t->GetNumChapters(1), qint16(2));
        QCOMPARE(t->GetNumChapters(66), qint16(1));
        QCOMPARE(t->GetNumVerses(19, 2), qint16(1 + (19 + 2) % 4));
        QCOMPARE(t->GetNumChapters(0), qint16(0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t->GetNumChapters(67));
        QCOMPARE(creations(), 1);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void newTestamentOnlyHasPlaceholder()
    {
        ModuleBuilder module;
        module.chapter(40, 1, 3).chapter(40, 2, 2).chapter(41, 1, 2);
        const QString index = install(QStringLiteral("b_nt.txt"), module.bytes());
        auto t = GetTranslation(0);
        const QByteArray bytes = module.bytes();
        const int ch2 = int(bytes.indexOf("4\t40\t2\t1")) + 1;
        const int mk1 = int(bytes.indexOf("6\t41\t1\t1")) + 1;
        const QStringList golden = {
            QStringLiteral("1,0,1,1,0,1,1"),
            QStringLiteral("1,3,40,1,3,1,%1").arg(ch2),
            QStringLiteral("4,5,40,2,2,%1,%2").arg(ch2).arg(mk1),
            QStringLiteral("6,7,41,1,2,%1,%2").arg(mk1).arg(bytes.size() + 1),
        };
        QCOMPARE(indexLines(index), golden);
        QCOMPARE(t->GetNumChapters(1), qint16(0)); // the placeholder is no chapter of Genesis
        QCOMPARE(t->GetNumVerses(1, 1), qint16(0));
        QCOMPARE(t->GetNumChapters(40), qint16(2));
        QCOMPARE(t->GetNumVerses(40, 1), qint16(3));
        QCOMPARE(t->GetNumChapters(66), qint16(0));
    }

    void missingBookAndChaptersPastTheEnd()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 2).chapter(1, 2, 2).chapter(2, 1, 3).chapter(2, 2, 1).chapter(4, 1, 2);
        const QString index = install(QStringLiteral("b_gap.txt"), module.bytes());
        auto t = GetTranslation(0);
        QCOMPARE(indexLines(index), module.expectedIndex());
        QCOMPARE(t->GetNumChapters(3), qint16(0));
        QVERIFY(!t->FindChapter(3, 1));
        QCOMPARE(t->GetNumChapters(2), qint16(2));
        QCOMPARE(t->GetNumChapters(4), qint16(1));
        // A chapter past the end of book 2 is not book 4's first chapter.
        QVERIFY(!t->FindChapter(2, 3));
        QCOMPARE(t->GetNumVerses(2, 3), qint16(0));
        QCOMPARE(t->GetNumVerses(1, 0), qint16(0));
        qint32 start = 0, end = 0;
        QVERIFY(t->BookByteRange(2, &start, &end));
        const QByteArray bytes = module.bytes();
        QCOMPARE(start, qint32(bytes.indexOf("5\t2\t1\t1") + 1));
        QCOMPARE(end, qint32(bytes.indexOf("9\t4\t1\t1") + 1));
        QVERIFY(!t->BookByteRange(3, &start, &end));
    }

    void noWidthLimits()
    {
        ModuleBuilder module;
        module.chapter(19, 1, 300);
        for (int c = 2; c <= 260; ++c)
            module.chapter(19, c, 130);
        install(QStringLiteral("b_big.txt"), module.bytes());
        QVERIFY(module.lineCount() > 32767);
        auto t = GetTranslation(0);
        QCOMPARE(t->GetNumVerses(19, 1), qint16(300));
        QCOMPARE(t->GetNumChapters(19), qint16(260));
        QCOMPARE(int(t->Records().size()), 261);
        QCOMPARE(t->Records().back().lastLine, module.lineCount());
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void staleAndDamagedIndexesAreRebuilt_data()
    {
        QTest::addColumn<QByteArray>("oldIndex");
        QTest::newRow("partial") << QByteArray("1,2,1,1,2,1,30\r\n");
        QTest::newRow("garbage") << QByteArray("this is not an index\r\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("wrong end") << QByteArray("1,2,1,1,2,1,999\r\n");
        // Only the last end was compared with the module: a middle record could
        // make opening the book ask for 2 GiB.
        ModuleBuilder module;
        module.chapter(1, 1, 2).chapter(1, 2, 3);
        const QByteArray end = QByteArray::number(module.bytes().size() + 1);
        QTest::newRow("middle record past the module")
            << "1,2,1,1,2,1,2000000000\r\n3,5,1,2,3,1," + end + "\r\n";
        QTest::newRow("record ending before it starts") << "1,2,1,1,2,9,3\r\n3,5,1,2,3,1," + end + "\r\n";
        QTest::newRow("record starting at 0") << "1,2,1,1,2,0,3\r\n3,5,1,2,3,3," + end + "\r\n";
    }
    void staleAndDamagedIndexesAreRebuilt()
    {
        QFETCH(QByteArray, oldIndex);
        ModuleBuilder module;
        module.chapter(1, 1, 2).chapter(1, 2, 3);
        const QString index = install(QStringLiteral("b_stale.txt"), module.bytes());
        m_fx->writeFile(QStringLiteral("Index/b_stale.txt.INDEX"), oldIndex);
        auto t = GetTranslation(0);
        QCOMPARE(indexLines(index), module.expectedIndex());
        QCOMPARE(t->GetNumChapters(1), qint16(2));
        QCOMPARE(creations(), 1);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    // The index begins with the size and time of the module it was built from.
    void indexRecordsTheModulesSizeAndTime()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 2);
        const QString index = install(QStringLiteral("b_stamp.txt"), module.bytes());
        auto t = GetTranslation(0);
        const QFileInfo info(gBibleFolder + QStringLiteral("b_stamp.txt"));
        QCOMPARE(TextReader::fromFile(index).readAllLines().value(0),
                 QStringLiteral("#%1,%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()));
        t->RedloadIndex();
        QCOMPARE(creations(), 1); // unchanged: read as it is
    }

    // Loaded again (as at the next start), an index is built anew exactly when
    // it may not describe the module any more.
    void changedModuleGetsANewIndex_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("rebuilt");
        QTest::newRow("nothing") << "nothing" << false;
        QTest::newRow("same size, other text") << "same size" << true;
        QTest::newRow("cut short") << "cut short" << true;
        QTest::newRow("index from before stamps") << "no stamp" << true;
        QTest::newRow("damaged stamp") << "damaged stamp" << true;
    }
    void changedModuleGetsANewIndex()
    {
        QFETCH(QString, change);
        QFETCH(bool, rebuilt);
        ModuleBuilder before, after;
        before.chapter(1, 1, 3, QStringLiteral("old")).chapter(2, 1, 2, QStringLiteral("old"));
        after.chapter(1, 1, 3, QStringLiteral("new")).chapter(2, 1, 2, QStringLiteral("new"));
        const QString index = install(QStringLiteral("b_change.txt"), before.bytes());
        const QString module = gBibleFolder + QStringLiteral("b_change.txt");
        auto t = GetTranslation(0);
        const QStringList chapters = indexLines(index);
        if (change == QLatin1String("same size") || change == QLatin1String("cut short")) {
            const QByteArray now =
                change == QLatin1String("same size") ? after.bytes() : before.bytes().left(60);
            m_fx->writeFile(QStringLiteral("Modules/Bible/b_change.txt"), now);
            QFile file(module);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                     QFileDevice::FileModificationTime));
        } else if (change != QLatin1String("nothing")) {
            const QString stamp =
                change == QLatin1String("no stamp") ? QString() : QStringLiteral("#12,abc\r\n");
            m_fx->writeFile(
                QStringLiteral("Index/b_change.txt.INDEX"),
                (stamp + chapters.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
        }
        t->RedloadIndex();
        QCOMPARE(creations(), rebuilt ? 2 : 1);
        QVERIFY(TextReader::fromFile(index).readAllLines().value(0).startsWith(
            IndexStamp::OfFile(module).Line()));
        const bool changedText = change == QLatin1String("same size");
        QCOMPARE(VerseReader(*t).Chapter(1, 1).front().text, changedText ? "1.1.1new" : "1.1.1old");
        // A module cut short says so, naming the file.
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), change == QLatin1String("cut short") ? 1 : 0);
        if (!boxes.isEmpty())
            QVERIFY(boxes[0].text.startsWith(GetMsg(0, 255, module)));
    }

    void changedModuleIsReindexedOnReload()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 2);
        const QString index = install(QStringLiteral("b_grow.txt"), module.bytes());
        auto t = GetTranslation(0);
        QCOMPARE(t->GetNumChapters(1), qint16(1));
        module.chapter(1, 2, 4);
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_grow.txt"), module.bytes());
        t->RedloadIndex();
        QCOMPARE(t->GetNumChapters(1), qint16(2));
        QCOMPARE(indexLines(index), module.expectedIndex());
    }

    void lineFeedModuleIsNamedPlainly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("every line") << QByteArray("1\t1\t1\t1\tIn the beginning\n2\t1\t1\t2\tAnd\n");
        QTest::newRow("no line end at the end")
            << QByteArray("1\t1\t1\t1\tIn the beginning\n2\t1\t1\t2\tAnd");
        QTest::newRow("first line only") << QByteArray("1\t1\t1\t1\tIn the beginning\n2\t1\t1\t2\tAnd\r\n");
    }
    void lineFeedModuleIsNamedPlainly()
    {
        QFETCH(QByteArray, bytes);
        const QString index = install(QStringLiteral("b_unix.txt"), bytes);
        auto t = GetTranslation(0);
        QVERIFY(t); // cached even though its index could not be made
        QVERIFY(!t->HasIndex());
        QVERIFY(!QFile::exists(index));
        QCOMPARE(QDir(gIndexFolder).entryList(QDir::Files), QStringList());
        QCOMPARE(t->GetNumChapters(1), qint16(0));
        // One ordinary message that names the file and says why; no bug report.
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(gBibleFolder + QStringLiteral("b_unix.txt")),
                 qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.contains(QStringLiteral("must end with CR LF")), qPrintable(boxes[0].text));
        QVERIFY(!boxes[0].text.contains(QStringLiteral("An Error has occured")));
        QVERIFY(!boxes[0].title.contains(QStringLiteral("Unforseen")));
        QCOMPARE(boxes[0].style, int(MsgBoxStyle::Exclamation));
        // The cached translation does not ask again.
        QCOMPARE(GetTranslation(0).get(), t.get());
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
    }

    void malformedLinesAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("middle");   // after Genesis 1:2
        QTest::addColumn<QByteArray>("boundary"); // between Genesis 2 and Exodus 1
        QTest::addColumn<QByteArray>("tail");     // the end of the file, no line end
        QTest::addColumn<QStringList>("reasons");
        QTest::newRow("last line cut in its fields") << QByteArray() << QByteArray() << QByteArray("8\t2\t1")
                                                     << QStringList{"line 8: has only 3 fields"};
        QTest::newRow("in the middle and at the end")
            << QByteArray("3\t1\t1") << QByteArray() << QByteArray("9\t2\t1\t")
            << QStringList{"line 3: has only 3 fields", "line 9: the verse '' is not a number"};
        QTest::newRow("between chapters") << QByteArray() << QByteArray("6\t2\tone\t1\ttext") << QByteArray()
                                          << QStringList{"line 6: the chapter 'one' is not a number"};
        QTest::newRow("empty line and a line feed alone")
            << QByteArray() << QByteArray("6\t2\t1\t1\tcut\n") << QByteArray()
            << QStringList{"line 6: ends with a line feed alone (the lines of a module end with CR LF)",
                           "line 7: is empty"};
        // Numbers no chapter index can hold would make the whole index unusable.
        QTest::newRow("book out of range") << QByteArray() << QByteArray("6\t99\t1\t1\ttext") << QByteArray()
                                           << QStringList{"line 6: the book '99' is out of range"};
        QTest::newRow("negative chapter")
            << QByteArray("3\t1\t-1\t1\ttext") << QByteArray() << QByteArray("9\t0\t1\t1\ttext")
            << QStringList{"line 3: the chapter '-1' is out of range",
                           "line 9: the book '0' is out of range"};
    }
    void malformedLinesAreSkipped()
    {
        QFETCH(QByteArray, middle);
        QFETCH(QByteArray, boundary);
        QFETCH(QByteArray, tail);
        QFETCH(QStringList, reasons);
        ModuleBuilder good;
        good.chapter(1, 1, 3).chapter(1, 2, 2).chapter(2, 1, 2);
        ModuleBuilder damaged;
        damaged.chapter(1, 1, 2);
        if (!middle.isEmpty())
            damaged.raw(middle);
        damaged.verse(1, 1, 3, QStringLiteral("1.1.3")).chapter(1, 2, 2);
        if (!boundary.isEmpty())
            damaged.raw(boundary);
        damaged.chapter(2, 1, 2);
        const QByteArray bytes = damaged.bytes() + tail;
        const QString index = install(QStringLiteral("b_damaged.txt"), bytes);
        auto t = GetTranslation(0);

        // One message names the file and every skipped line.
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(gBibleFolder + QStringLiteral("b_damaged.txt")),
                 qPrintable(boxes[0].text));
        QVERIFY(boxes[0].text.endsWith(QStringLiteral("\r\n\r\n") + reasons.join(QStringLiteral("\r\n"))));
        QCOMPARE(boxes[0].style, int(MsgBoxStyle::Exclamation));

        // The chapters of the good lines are those of the module without the bad ones;
        // line numbers and offsets follow the file.
        const QStringList expected = good.expectedIndex();
        const QStringList lines = indexLines(index);
        QCOMPARE(lines.size(), expected.size());
        const QByteArray goodBytes = good.bytes();
        // A line without its own number, and the number.
        const auto lineAt = [](const QByteArray &b, int offset) {
            const QByteArray line = b.mid(offset - 1, b.indexOf("\r\n", offset - 1) - (offset - 1));
            return std::make_pair(line.mid(line.indexOf('\t')), line.left(line.indexOf('\t')).toInt());
        };
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringList got = lines[i].split(QLatin1Char(','));
            const QStringList want = expected[i].split(QLatin1Char(','));
            QCOMPARE(got.mid(2, 3), want.mid(2, 3)); // book, chapter, verse count
            const auto [gotLine, gotNumber] = lineAt(bytes, got[5].toInt());
            QCOMPARE(gotLine, lineAt(goodBytes, want[5].toInt()).first);
            QCOMPARE(gotNumber, got[0].toInt());
            if (i + 1 < lines.size())
                QCOMPARE(got[6], lines[i + 1].split(QLatin1Char(','))[5]);
        }
        QCOMPARE(lines.last().split(QLatin1Char(','))[6].toInt(), bytes.size() + 1);
        QCOMPARE(t->GetNumChapters(1), qint16(2));
        QCOMPARE(t->GetNumVerses(1, 1), qint16(3));
        QCOMPARE(t->GetNumVerses(2, 1), qint16(2));

        // Loaded again from the index, nothing more is said.
        t->RedloadIndex();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
    }

    void longListsOfSkippedLinesAreCut()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 1);
        for (int i = 0; i < 20; ++i)
            module.raw("x");
        install(QStringLiteral("b_many.txt"), module.bytes());
        GetTranslation(0);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString text = m_fx->desk().lastMessage();
        QVERIFY(text.contains(QStringLiteral("line 13: has only 1 field\r\n(8 more)")));
        QVERIFY(!text.contains(QStringLiteral("line 14")));
    }

    void nonNumericBookIsSkipped()
    {
        const QString index =
            install(QStringLiteral("b_nan.txt"), "1\t1\t1\t1\ta\r\n2\tx\t1\t2\tb\r\n3\t1\t1\t2\tc\r\n");
        GetTranslation(0);
        QCOMPARE(indexLines(index), QStringList{QStringLiteral("1,3,1,1,2,1,34")});
        QVERIFY(m_fx->desk().lastMessage().endsWith(QStringLiteral("line 2: the book 'x' is not a number")));
    }

    void bookBeyondEveryTableIsSkipped()
    {
        // Book 80 is beyond every book-name table: its lines are the file's fault and are
        // skipped, said once in a plain message; the rest of the module stays readable.
        ModuleBuilder module;
        module.chapter(1, 1, 2).chapter(80, 1, 2);
        const QString index = install(QStringLiteral("b_book80.txt"), module.bytes());
        auto t = GetTranslation(0);
        QVERIFY(t);
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(!boxes[0].text.contains(QStringLiteral("If the error persists")), qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.contains(gBibleFolder + QStringLiteral("b_book80.txt")),
                 qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.endsWith(QStringLiteral("line 3: the book '80' is out of range\r\n"
                                                       "line 4: the book '80' is out of range")),
                 qPrintable(boxes[0].text));
        QCOMPARE(indexLines(index).size(), 1);
        QCOMPARE(t->GetNumChapters(1), qint16(1));
        QCOMPARE(t->GetNumVerses(1, 1), qint16(2));
    }

    void fourFieldLineIsAccepted()
    {
        const QString index = install(QStringLiteral("b_four.txt"), "1\t1\t1\t1\r\n2\t1\t1\t2\tb\r\n");
        GetTranslation(0);
        QCOMPARE(indexLines(index), QStringList{QStringLiteral("1,2,1,1,2,1,21")});
    }

    void secondRequestDuringBuildDoesNotBuildTwice()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 3);
        install(QStringLiteral("b_once.txt"), module.bytes());
        std::shared_ptr<Translation> nested;
        m_log.onAdd = [&] { nested = GetTranslation(0); };
        auto t = GetTranslation(0);
        QCOMPARE(nested.get(), t.get());
        QCOMPARE(creations(), 1);
        QCOMPARE(t->GetNumVerses(1, 1), qint16(3));
    }

    // Only a module file that ends in the middle of a line ends before a book:
    // before the books its index lacks from the cut on; its text stops in the
    // last book the index holds. Read back from the stored index (as at the next
    // start), the same holds, without reading the module or telling again.
    void cutShortBeforeTheBooksAfterTheCut_data()
    {
        QTest::addColumn<QByteArray>("tail"); // after Genesis 1-2 and Exodus 1
        QTest::addColumn<int>("lastBook");    // the last book the file holds (in part); -1: not cut short
        QTest::newRow("whole") << QByteArray() << -1;
        QTest::newRow("cut in a verse of its last book") << QByteArray("8\t2\t1\t3\t2.1.") << 2;
        QTest::newRow("cut in the number fields of a later book") << QByteArray("8\t5\t") << 2;
        QTest::newRow("cut at a line end") << QByteArray("8\t3\t1\t1\t3.1.1\r\n") << -1;
        QTest::newRow("cut in a CR LF") << QByteArray("8\t3\t1\t1\t3.1.1\r") << 3;
    }
    void cutShortBeforeTheBooksAfterTheCut()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, lastBook);
        ModuleBuilder module;
        module.chapter(1, 1, 3).chapter(1, 2, 2).chapter(2, 1, 2);
        install(QStringLiteral("b_cut.txt"), module.bytes() + tail);
        const auto t = GetTranslation(0);
        for (const bool fromTheStoredIndex : {false, true}) {
            if (fromTheStoredIndex)
                t->RedloadIndex();
            for (int book = 1; book <= 66; ++book)
                QVERIFY2(t->CutShortBefore(book) == (lastBook >= 0 && book > lastBook) &&
                             t->StopsWithin(book) == (book == lastBook),
                         qPrintable(QStringLiteral("book %1").arg(book)));
        }
        QCOMPARE(creations(), 1);
        QCOMPARE(m_fx->desk().messageBoxes().size(), lastBook >= 0 ? 1 : 0);
        // Nothing but the first line, cut in its fields: before every book.
        install(QStringLiteral("b_stub.txt"), "1\t1\t1");
        QVERIFY(GetTranslation(1)->CutShortBefore(1));
    }

    void helpers()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 1);
        install(QStringLiteral("b_one.txt"), module.bytes(), QStringLiteral("One"));
        install(QStringLiteral("b_two.txt"), module.bytes(), QStringLiteral("Two"));
        QVERIFY(!TranslationHelpers::IsTranslationLoaded(1));
        auto two = TranslationHelpers::GetTranslationByFileName(QStringLiteral("b_two.txt"));
        QVERIFY(TranslationHelpers::IsTranslationLoaded(1));
        QCOMPARE(GetTranslation(1).get(), two.get());
        QCOMPARE(TranslationHelpers::GetTranslationByDisplayName(QStringLiteral("Two")).get(), two.get());
        QCOMPARE(two->DisplayName, QStringLiteral("Two"));
        auto fallback = std::make_shared<Translation>();
        QCOMPARE(TranslationHelpers::GetTranslationByFileName(QStringLiteral("B_TWO.txt"), fallback).get(),
                 fallback.get());
        QVERIFY(TranslationHelpers::IndexFileExists(1, 0));
        QVERIFY(!TranslationHelpers::IndexFileExists(0, 0));
        QVERIFY(!TranslationHelpers::IndexFileExists(0, 2));

        gDebugMode = true;
        QVERIFY(!GetTranslation(2));
        QVERIFY(
            m_fx->desk().lastMessage().endsWith(QStringLiteral("Bad itranslation used:  iTranslation=2")));
        QVERIFY(!TranslationHelpers::GetCommentary(0)); // no commentaries, whatever the Bibles
        QVERIFY(m_fx->desk().lastMessage().endsWith(QStringLiteral("Bad iComm used:  iComm=0")));
    }

    void shippedSampleBibles_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("KJV, code page 1252") << QStringLiteral("b_kjv.txt");
        QTest::newRow("WEB, UTF-8") << QStringLiteral("b_web_utf8.txt");
    }
    void shippedSampleBibles()
    {
        QFETCH(QString, fileName);
        m_fx->copyShippedData(QStringLiteral("Modules/Bible"));
        gBibles.Add(fileName, fileName, true, 0);
        auto t = GetTranslation(0);
        const QStringList lines = indexLines(gIndexFolder + fileName + QStringLiteral(".INDEX"));
        QCOMPARE(lines.size(), 1189);
        const QByteArray bytes = m_fx->readFile(QStringLiteral("Modules/Bible/") + fileName);
        const qsizetype genesis2 = bytes.indexOf("\r\n32\t1\t2\t1\t") + 3;
        QCOMPARE(lines.first(), QStringLiteral("1,31,1,1,31,1,%1").arg(genesis2));
        QCOMPARE(t->GetNumChapters(19), qint16(150));
        QCOMPARE(t->GetNumVerses(19, 119), qint16(176));
        QCOMPARE(t->GetNumChapters(66), qint16(22));
        QCOMPARE(t->CodePage, fileName.contains(QLatin1String("utf8")) ? 65001 : 0);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void utf8RuleAndReload()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("Gr\u00fc\u00dfe \u05d0"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_x_utf8.txt"), module.bytes(65001));
        gBibles.Add(QStringLiteral("U"), QStringLiteral("b_x_utf8.txt"), true, 0);
        gBibles.Add(QStringLiteral("V"), QStringLiteral("b_x_UTF8.txt"), true, 0);
        QCOMPARE(GetTranslation(0)->CodePage, 65001);
        QCOMPARE(GetTranslation(1)->CodePage, 0); // the rule is case-sensitive

        QFile::remove(gIndexFolder + QStringLiteral("b_x_utf8.txt.INDEX"));
        TranslationHelpers::ReloadIndicesInUse();
        QVERIFY(QFile::exists(gIndexFolder + QStringLiteral("b_x_utf8.txt.INDEX")));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
