#include "common/TestFixture.h"
#include "core/BinaryStreamHelpers_.h"
#include "core/BinaryStream_.h"
#include "core/GlobalVars.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <functional>
#include <optional>

namespace {
constexpr int Block = BinaryStream_::BlockSize;

QByteArray bytesOf(const ByteBuffer_ &line)
{
    return QByteArray(reinterpret_cast<const char *>(line.constData()), line.CurrentBufferUsedSize());
}

// The lines as only CR LF ends them, each with its terminator.
QList<QByteArray> referenceLines(const QByteArray &data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype end = data.indexOf("\r\n", start);
        if (end < 0) {
            lines.append(data.mid(start));
            break;
        }
        lines.append(data.mid(start, end + 2 - start));
        start = end + 2;
    }
    return lines;
}

// Reads until the empty buffer; a stream that never ends fails instead of hanging.
QList<QByteArray> readAllLines(BinaryStream_ &stream, int limit = 100000)
{
    QList<QByteArray> lines;
    for (int i = 0; i < limit; ++i) {
        const ByteBuffer_ &line = stream.ReadLine();
        if (line.CurrentBufferUsedSize() == 0)
            return lines;
        lines.append(bytesOf(line));
    }
    qWarning("the stream did not end");
    lines.append(QByteArray("<no end>"));
    return lines;
}

int openFileDescriptors()
{
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}
} // namespace

class TestBinaryStream : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    QString writeFile(const QByteArray &bytes, const QString &name = QStringLiteral("module.txt"))
    {
        m_fx->writeFile(name, bytes);
        return m_fx->path(name);
    }

private Q_SLOTS:
    void init() { m_fx = std::make_unique<TestFixture>(false); }
    void cleanup() { m_fx.reset(); }

    void lines_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QByteArray>>("expected");

        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("lone LF stays in the line") << QByteArray("A\nB\r\n") << QList<QByteArray>{"A\nB\r\n"};
        QTest::newRow("lone CR stays in the line") << QByteArray("A\rB\r\n") << QList<QByteArray>{"A\rB\r\n"};
        QTest::newRow("LF CR is no line end")
            << QByteArray("x\n\ry\r\nz\r\n") << QList<QByteArray>{"x\n\ry\r\n", "z\r\n"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a\r\r\n", "b"};
        QTest::newRow("LF first") << QByteArray("\n\r\n") << QList<QByteArray>{"\n\r\n"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r\n")
                                     << QList<QByteArray>{"\r\n", "\r\n", "\r\n"};
        QTest::newRow("last line without CR LF")
            << QByteArray("one\r\ntwo") << QList<QByteArray>{"one\r\n", "two"};
        QTest::newRow("last line ends with a lone CR")
            << QByteArray("one\r\ntwo\r") << QList<QByteArray>{"one\r\n", "two\r"};
        QTest::newRow("NUL bytes are data")
            << QByteArray("a\0b\r\n", 5) << QList<QByteArray>{QByteArray("a\0b\r\n", 5)};

        const QByteArray x4095(Block - 1, 'x');
        QTest::newRow("CR LF split across two blocks") << x4095 + "\r\nnext\r\n"
                                                       << QList<QByteArray>{x4095 + "\r\n", "next\r\n"};
        QTest::newRow("LF opening a block after a non-CR")
            << QByteArray(Block, 'x') + "\nmore\r\n"
            << QList<QByteArray>{QByteArray(Block, 'x') + "\nmore\r\n"};
        QTest::newRow("CR closing a block, no LF after it") << x4095 + "\rmore\r\n"
                                                            << QList<QByteArray>{x4095 + "\rmore\r\n"};
        QTest::newRow("CR LF closing a block")
            << QByteArray(Block - 2, 'x') + "\r\nnext"
            << QList<QByteArray>{QByteArray(Block - 2, 'x') + "\r\n", "next"};
        QTest::newRow("one block exactly, no terminator")
            << QByteArray(Block, 'y') << QList<QByteArray>{QByteArray(Block, 'y')};
        QTest::newRow("two blocks exactly, no terminator")
            << QByteArray(2 * Block, 'y') << QList<QByteArray>{QByteArray(2 * Block, 'y')};
        QTest::newRow("a line over several blocks")
            << "a\r\n" + QByteArray(3 * Block + 100, 'z') + "\r\nb\r\n"
            << QList<QByteArray>{"a\r\n", QByteArray(3 * Block + 100, 'z') + "\r\n", "b\r\n"};
    }

    void lines()
    {
        QFETCH(QByteArray, data);
        QFETCH(QList<QByteArray>, expected);

        BinaryStream_ stream;
        stream.OpenStream(writeFile(data));
        QCOMPARE(stream.LengthOfFile(), qint64(data.size()));
        qint64 position = 1;
        for (const QByteArray &want : expected) {
            QCOMPARE(stream.CurrentBytePosition(), position);
            QCOMPARE(bytesOf(stream.ReadLine()), want);
            position += want.size();
        }
        QCOMPARE(stream.CurrentBytePosition(), position);
        // The end is an empty buffer, and stays so.
        QCOMPARE(stream.ReadLine().CurrentBufferUsedSize(), 0);
        QCOMPARE(stream.ReadLine().CurrentBufferUsedSize(), 0);
    }

    // Random files of CR, LF and letters against a plain splitter, at sizes
    // around the block boundaries.
    void randomFilesMatchThePlainSplitter()
    {
        QRandomGenerator random(20240117);
        const char alphabet[] = {'\r', '\n', 'a', 'b'};
        for (int round = 0; round < 60; ++round) {
            const int size = round < 20 ? Block - 10 + round : int(random.bounded(3 * Block));
            QByteArray data(size, Qt::Uninitialized);
            for (char &c : data)
                c = alphabet[random.bounded(4)];
            BinaryStream_ stream;
            stream.OpenStream(writeFile(data));
            QCOMPARE(readAllLines(stream), referenceLines(data));
        }
    }

    void aBookReadLineByLine()
    {
        QByteArray data;
        for (int i = 1; data.size() < 3 * 1024 * 1024; ++i)
            data +=
                QByteArray::number(i) + "\t1\t2\t3\tIn the beginning " + QByteArray(i % 300, 'w') + "\r\n";
        BinaryStream_ stream;
        stream.OpenStream(writeFile(data));
        QCOMPARE(readAllLines(stream), referenceLines(data));
    }

    void seek()
    {
        const QByteArray data = "ab\r\ncd\r\n" + QByteArray(2 * Block, 'q') + "\r\nlast\r\n";
        BinaryStream_ stream;
        stream.OpenStream(writeFile(data));
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("ab\r\n"));

        stream.SeekStream(6);
        QCOMPARE(stream.CurrentBytePosition(), qint64(6));
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("d\r\n"));
        QCOMPARE(stream.CurrentBytePosition(), qint64(9));

        // An LF right after the seek position has no CR before it in this line.
        stream.SeekStream(4);
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("\ncd\r\n"));

        const qint64 last = data.size() - 5;
        stream.SeekStream(last);
        QCOMPARE(stream.CurrentBytePosition(), last);
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("last\r\n"));
        QCOMPARE(stream.ReadLine().CurrentBufferUsedSize(), 0);

        // Back to the start after the end was reached.
        stream.SeekStream(1);
        QCOMPARE(stream.CurrentBytePosition(), qint64(1));
        QCOMPARE(readAllLines(stream), referenceLines(data));

        // Past the end: nothing more to read.
        stream.SeekStream(data.size() + 100);
        QCOMPARE(stream.CurrentBytePosition(), qint64(data.size() + 100));
        QCOMPARE(stream.ReadLine().CurrentBufferUsedSize(), 0);
    }

    void seekBelowOne_data()
    {
        QTest::addColumn<bool>("debugMode");
        QTest::newRow("debug mode shows the assertion") << true;
        QTest::newRow("otherwise nothing is shown") << false;
    }

    // A position the file does not have is refused; the stream stays where it was.
    void seekBelowOne()
    {
        QFETCH(bool, debugMode);
        gDebugMode = debugMode;
        BinaryStream_ stream;
        stream.OpenStream(writeFile("one\r\ntwo\r\n"));
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("one\r\n"));
        stream.SeekStream(0);
        stream.SeekStream(-7);
        if (debugMode) {
            QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
            QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("Seek is always 1-based")));
        } else {
            QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        }
        QCOMPARE(stream.CurrentBytePosition(), qint64(6));
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("two\r\n"));
    }

    void missingFile()
    {
        const QString name = m_fx->path(QStringLiteral("Bible/none.txt"));
        BinaryStream_ stream;
        auto error = raisedError([&] { stream.OpenStream(name); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::BadFileNameOrNumber);
        QCOMPARE(error->source(), QStringLiteral("Verbanox.BinaryStream_"));
        QCOMPARE(error->description(), QStringLiteral("Error opening file: ") + name);
        QVERIFY(!stream.isOpen());

        error = raisedError([&] { BinaryStreamHelpers_::OpenBinaryStream(name); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::BadFileNameOrNumber);
        QCOMPARE(error->description(), QStringLiteral("Error opening file: ") + name);

        error = raisedError([&] { stream.OpenStream(QString()); });
        QVERIFY(error.has_value());
        QCOMPARE(error->description(), QStringLiteral("Error opening file: "));
    }

    void folderIsNoFile()
    {
        QDir().mkpath(m_fx->path(QStringLiteral("folder")));
        BinaryStream_ stream;
        const auto error = raisedError([&] { stream.OpenStream(m_fx->path(QStringLiteral("folder"))); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::BadFileNameOrNumber);
    }

    void nameCaseIsIgnored()
    {
        writeFile("verse\r\n", QStringLiteral("Modules/Bible/KJV.Txt"));
        auto stream =
            BinaryStreamHelpers_::OpenBinaryStream(m_fx->path(QStringLiteral("modules/bible/kjv.TXT")));
        QVERIFY(stream->isOpen());
        QCOMPARE(bytesOf(stream->ReadLine()), QByteArray("verse\r\n"));
    }

    void openingAgainReadsTheNewFile()
    {
        BinaryStream_ stream;
        stream.OpenStream(writeFile("first\r\nsecond\r\n", QStringLiteral("a.txt")));
        QCOMPARE(bytesOf(stream.ReadLine()), QByteArray("first\r\n"));
        stream.OpenStream(writeFile("other\r\n", QStringLiteral("b.txt")));
        QCOMPARE(stream.CurrentBytePosition(), qint64(1));
        QCOMPARE(stream.LengthOfFile(), qint64(7));
        QCOMPARE(readAllLines(stream), (QList<QByteArray>{"other\r\n"}));
    }

    // The one shared line buffer: a line must be used before the next ReadLine.
    void twoStreamsShareTheLineBuffer()
    {
        BinaryStream_ first;
        BinaryStream_ second;
        first.OpenStream(writeFile("first 1\r\nfirst 2\r\n", QStringLiteral("a.txt")));
        second.OpenStream(writeFile("second 1\r\nsecond 2\r\n", QStringLiteral("b.txt")));

        ByteBuffer_ &fromFirst = first.ReadLine();
        QCOMPARE(bytesOf(fromFirst), QByteArray("first 1\r\n"));
        ByteBuffer_ &fromSecond = second.ReadLine();
        QCOMPARE(&fromFirst, &fromSecond);
        QCOMPARE(&fromFirst, &BinaryStream_::SharedLineBuffer());
        QCOMPARE(bytesOf(fromFirst), QByteArray("second 1\r\n"));
        // Each stream keeps its own position.
        QCOMPARE(bytesOf(first.ReadLine()), QByteArray("first 2\r\n"));
        QCOMPARE(bytesOf(second.ReadLine()), QByteArray("second 2\r\n"));
        QCOMPARE(first.ReadLine().CurrentBufferUsedSize(), 0);
    }

    // A file cut short after it was opened: reading ends where the file now ends,
    // instead of asking for more bytes for ever.
    void fileTruncatedAfterOpening_data()
    {
        QTest::addColumn<int>("linesReadBefore");
        QTest::addColumn<int>("newSize");

        QTest::newRow("emptied before the first read") << 0 << 0;
        QTest::newRow("cut inside the first block, before reading") << 0 << 100;
        QTest::newRow("cut inside the first block, after it was read") << 1 << 100;
        QTest::newRow("cut inside the second block") << 1 << Block + 1500;
        QTest::newRow("cut at a block boundary") << 1 << 2 * Block;
        QTest::newRow("cut inside the third block, second block read") << 500 << 2 * Block + 7;
        QTest::newRow("cut inside the second block, second block read") << 500 << Block + 7;
    }

    void fileTruncatedAfterOpening()
    {
        QFETCH(int, linesReadBefore);
        QFETCH(int, newSize);

        QByteArray data;
        for (int i = 0; data.size() < 5 * Block; ++i)
            data += "line " + QByteArray::number(i) + "\r\n";
        const QString name = writeFile(data);
        BinaryStream_ stream;
        stream.OpenStream(name);
        QByteArray seen;
        for (int i = 0; i < linesReadBefore; ++i)
            seen += bytesOf(stream.ReadLine());
        QCOMPARE(seen, data.left(seen.size()));
        // Blocks read before the cut are delivered whole; after them the file's new end counts.
        const qsizetype blocksRead = (seen.size() + Block - 1) / Block;
        const qsizetype expectedSize = qMax<qsizetype>(newSize, blocksRead * Block);
        QVERIFY(QFile::resize(name, newSize));

        for (const QByteArray &line : readAllLines(stream))
            seen += line;
        QCOMPARE(seen, data.left(expectedSize));
    }

    // Every path closes the file: CloseStream, the destructor, a failed open,
    // opening again, and the factory.
    void filesAreClosed()
    {
        const QString name = writeFile("x\r\ny\r\n");
        const int before = openFileDescriptors();
        {
            BinaryStream_ stream;
            stream.OpenStream(name);
            QCOMPARE(openFileDescriptors(), before + 1);
            stream.OpenStream(name);
            QCOMPARE(openFileDescriptors(), before + 1);
            stream.CloseStream();
            QCOMPARE(openFileDescriptors(), before);
            stream.CloseStream();
            stream.OpenStream(name);
            stream.ReadLine();
            QVERIFY(
                raisedError([&] { stream.OpenStream(m_fx->path(QStringLiteral("missing"))); }).has_value());
            QVERIFY(!stream.isOpen());
            QCOMPARE(openFileDescriptors(), before);
            stream.OpenStream(name);
        }
        QCOMPARE(openFileDescriptors(), before);
        {
            auto stream = BinaryStreamHelpers_::OpenBinaryStream(name);
            readAllLines(*stream);
            QCOMPARE(openFileDescriptors(), before + 1);
        }
        QCOMPARE(openFileDescriptors(), before);
    }

    void closedStream()
    {
        BinaryStream_ stream;
        stream.OpenStream(writeFile("x\r\n"));
        stream.CloseStream();
        QVERIFY(!stream.isOpen());
        for (const auto &action : std::initializer_list<std::function<void()>>{
                 [&] { stream.ReadLine(); }, [&] { stream.SeekStream(1); },
                 [&] { stream.CurrentBytePosition(); }, [&] { stream.LengthOfFile(); }}) {
            const auto error = raisedError(action);
            QVERIFY(error.has_value());
            QCOMPARE(error->number(), RtErr::ObjectNotSet);
        }
    }

    // The returned line is an ordinary buffer: its bytes can be read one by one.
    void lineBufferStartsAtItsFirstByte()
    {
        BinaryStream_ stream;
        stream.OpenStream(writeFile("ab\r\ncd\r\n"));
        ByteBuffer_ &line = stream.ReadLine();
        QCOMPARE(line.NextByte(), quint8('a'));
        QCOMPARE(line.NextByte(), quint8('b'));
        ByteBuffer_ &next = stream.ReadLine();
        QCOMPARE(next.CurrentIndex(), 0);
        QCOMPARE(next.NextByte(), quint8('c'));
    }
};

QTEST_MAIN(TestBinaryStream)
#include "tst_binarystream.moc"
