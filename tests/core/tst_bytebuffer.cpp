#include "core/ByteBuffer_.h"
#include "platform/RuntimeError.h"

#include "common/TestFixture.h"

#include <QtTest>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

using BufferAction = std::function<void(ByteBuffer_ &)>;
Q_DECLARE_METATYPE(BufferAction)

namespace {
const QString PastEnd =
    QStringLiteral("Subscript Out Of Range: Attempting to read past end of data contained in ByteBuffer_");

void append(ByteBuffer_ &buffer, const QByteArray &bytes)
{
    std::memcpy(buffer.AppendToBuffer_VarPtr(qint32(bytes.size())), bytes.constData(), size_t(bytes.size()));
}

// The used bytes, read through the checked accessor.
QByteArray contents(const ByteBuffer_ &buffer)
{
    QByteArray bytes;
    for (qint32 i = 0; i < buffer.CurrentBufferUsedSize(); ++i)
        bytes.append(char(buffer.ByteAtIndex(i)));
    return bytes;
}

QByteArray pattern(qint32 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint32 i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}
} // namespace

class TestByteBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every checked member raises error 9 under its own source and leaves the
    // buffer as it was, so that an error trap can carry on with it.
    void errorSources_data()
    {
        QTest::addColumn<BufferAction>("action");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");

        const QString prefix = QStringLiteral("Verbanox.ByteBuffer_.");
        QTest::newRow("ReadFromBufferAt_VarPtr past the end")
            << BufferAction([](ByteBuffer_ &b) { b.ReadFromBufferAt_VarPtr(2, 2); })
            << prefix + "ReadFromBufferAt_VarPtr()" << PastEnd;
        QTest::newRow("ReadFromBufferAt_VarPtr at a negative index")
            << BufferAction([](ByteBuffer_ &b) { b.ReadFromBufferAt_VarPtr(-1, 1); })
            << prefix + "ReadFromBufferAt_VarPtr()" << PastEnd;
        QTest::newRow("ReadFromBufferAt_VarPtr with a negative count")
            << BufferAction([](ByteBuffer_ &b) { b.ReadFromBufferAt_VarPtr(1, -5); })
            << prefix + "ReadFromBufferAt_VarPtr()" << PastEnd;
        QTest::newRow("CurrentIndex set to the used size")
            << BufferAction([](ByteBuffer_ &b) { b.SetCurrentIndex(3); }) << prefix + "CurrentIndex/Let"
            << PastEnd;
        QTest::newRow("CurrentIndex set negative")
            << BufferAction([](ByteBuffer_ &b) { b.SetCurrentIndex(-1); }) << prefix + "CurrentIndex/Let"
            << PastEnd;
        QTest::newRow("CurrentBufferUsedSize below the read index")
            << BufferAction([](ByteBuffer_ &b) { b.SetCurrentBufferUsedSize(2); })
            << prefix + "CurrentBufferUsedSize/Let"
            << QStringLiteral("Subscript Out Of Range: Attempting to resize buffer shorter than current "
                              "read location in ByteBuffer_");
        QTest::newRow("ByteAtIndex get")
            << BufferAction([](ByteBuffer_ &b) { b.ByteAtIndex(3); }) << prefix + "ByteAtIndex()" << PastEnd;
        QTest::newRow("ByteAtIndex get negative")
            << BufferAction([](ByteBuffer_ &b) { b.ByteAtIndex(-1); }) << prefix + "ByteAtIndex()" << PastEnd;
        QTest::newRow("ByteAtIndex set") << BufferAction([](ByteBuffer_ &b) { b.SetByteAtIndex(3, 'x'); })
                                         << prefix + "ByteAtIndex()" << PastEnd;
        QTest::newRow("CurrentByte get")
            << BufferAction([](ByteBuffer_ &b) { b.CurrentByte(); }) << prefix + "CurrentByte/Get" << PastEnd;
        QTest::newRow("CurrentByte set") << BufferAction([](ByteBuffer_ &b) { b.SetCurrentByte('x'); })
                                         << prefix + "CurrentByte/Let" << PastEnd;
        QTest::newRow("NextByte") << BufferAction([](ByteBuffer_ &b) { b.NextByte(); })
                                  << prefix + "NextByte()" << PastEnd;
    }

    void errorSources()
    {
        QFETCH(BufferAction, action);
        QFETCH(QString, source);
        QFETCH(QString, description);

        // Three bytes, all of them read.
        ByteBuffer_ buffer;
        append(buffer, "abc");
        while (buffer.AreBytesLeft())
            buffer.NextByte();

        const auto error = raisedError([&] { action(buffer); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::SubscriptOutOfRange);
        QCOMPARE(error->source(), source);
        QCOMPARE(error->description(), description);

        QCOMPARE(buffer.CurrentBufferUsedSize(), 3);
        QCOMPARE(buffer.CurrentIndex(), 3);
        QCOMPARE(contents(buffer), QByteArray("abc"));
    }

    void readingAndWritingBytes()
    {
        ByteBuffer_ buffer;
        QVERIFY(!buffer.AreBytesLeft());
        append(buffer, "xyz");
        QVERIFY(buffer.AreBytesLeft());
        QCOMPARE(buffer.CurrentByte(), quint8('x'));
        QCOMPARE(buffer.NextByte(), quint8('x'));
        QCOMPARE(buffer.CurrentIndex(), 1);
        buffer.SetCurrentByte('Y');
        QCOMPARE(buffer.NextByte(), quint8('Y'));
        QCOMPARE(buffer.NextByte(), quint8('z'));
        QVERIFY(!buffer.AreBytesLeft());

        buffer.SetCurrentIndex(0);
        QCOMPARE(buffer.CurrentByte(), quint8('x'));
        buffer.SetByteAtIndex(2, 'Z');
        QCOMPARE(contents(buffer), QByteArray("xYZ"));

        const quint8 *bytes = buffer.ReadFromBufferAt_VarPtr(1, 2);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes), 2), QByteArray("YZ"));
        // A zero-byte copy right at the end is allowed.
        QCOMPARE(buffer.ReadFromBufferAt_VarPtr(3, 0), bytes + 2);

        buffer.advance(3);
        QVERIFY(!buffer.AreBytesLeft());
        QVERIFY(raisedError([&] { buffer.advance(1); }).has_value());
        QCOMPARE(buffer.CurrentIndex(), 3);
    }

    void ensureSizeBeforeTheStorageExists()
    {
        ByteBuffer_ buffer;
        buffer.EnsureSize(100, false);
        QVERIFY(!buffer.isAllocated());
        QCOMPARE(buffer.capacity(), 100);
        buffer.EnsureSize(40, false);
        QCOMPARE(buffer.capacity(), 100);
        buffer.EnsureCanAdd(150);
        QCOMPARE(buffer.capacity(), 150);
        QVERIFY(!buffer.isAllocated());
        buffer.EnsureSize(10, true);
        QVERIFY(buffer.isAllocated());
        QCOMPARE(buffer.capacity(), 150);
        QCOMPARE(buffer.CurrentBufferUsedSize(), 0);
    }

    void readFromAnUnallocatedBuffer()
    {
        ByteBuffer_ buffer;
        QVERIFY(buffer.ReadFromBufferAt_VarPtr(0, 0) != nullptr);
        QVERIFY(buffer.isAllocated());
        QVERIFY(raisedError([&] { buffer.ReadFromBufferAt_VarPtr(0, 1); }).has_value());
    }

    void growthKeepsContents_data()
    {
        QTest::addColumn<QList<int>>("pieces");
        QTest::newRow("one byte at a time") << QList<int>(300, 1);
        QTest::newRow("blocks") << QList<int>{4096, 4096, 4096, 17, 4096};
        QTest::newRow("one large piece after a small one") << QList<int>{3, 1 << 20};
        QTest::newRow("empty pieces") << QList<int>{0, 5, 0, 0, 7};
    }

    void growthKeepsContents()
    {
        QFETCH(QList<int>, pieces);
        ByteBuffer_ buffer;
        buffer.EnsureSize(2, true);
        QByteArray expected;
        qint32 offset = 0;
        for (int size : pieces) {
            const QByteArray piece = pattern(offset + size).mid(offset);
            append(buffer, piece);
            expected += piece;
            offset += size;
            QCOMPARE(buffer.CurrentBufferUsedSize(), qint32(expected.size()));
            QVERIFY(buffer.capacity() >= buffer.CurrentBufferUsedSize());
        }
        QCOMPARE(contents(buffer), expected);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(buffer.constData()), expected.size()), expected);
    }

    void ensureSizeGrowsAllocatedStorageKeepingContents()
    {
        ByteBuffer_ buffer;
        append(buffer, "hello");
        QCOMPARE(buffer.capacity(), 5);
        buffer.EnsureSize(3, false); // never shrinks
        QCOMPARE(buffer.capacity(), 5);
        buffer.EnsureSize(10000, false);
        QCOMPARE(buffer.capacity(), 10000);
        QCOMPARE(contents(buffer), QByteArray("hello"));
        buffer.EnsureCanAdd(5);
        QCOMPARE(buffer.capacity(), 10000);
    }

    // Sizes are 32-bit: a sum past the limit must not wrap round to a small or
    // negative size and hand out an address outside the storage.
    void sizesThatWouldOverflow()
    {
        ByteBuffer_ buffer;
        append(buffer, "ab");
        const qint32 max = std::numeric_limits<qint32>::max();

        auto error = raisedError([&] { buffer.AppendToBuffer_VarPtr(max); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::Overflow);
        QCOMPARE(error->source(), QStringLiteral("Verbanox.ByteBuffer_.AppendToBuffer_VarPtr()"));

        error = raisedError([&] { buffer.EnsureCanAdd(max - 1); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::Overflow);

        error = raisedError([&] { buffer.AppendToBuffer_VarPtr(-1); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::InvalidProcedureCall);

        QVERIFY(raisedError([&] { buffer.ReadFromBufferAt_VarPtr(max, max); }).has_value());

        QCOMPARE(buffer.CurrentBufferUsedSize(), 2);
        QCOMPARE(buffer.capacity(), 2);
        QCOMPARE(contents(buffer), QByteArray("ab"));
    }

    // Growing the used size past the storage grows the storage, so every byte
    // below the used size can be read and copied safely.
    void usedSizeBeyondTheStorage()
    {
        ByteBuffer_ buffer;
        append(buffer, "ab");
        buffer.SetCurrentBufferUsedSize(5000);
        QCOMPARE(buffer.CurrentBufferUsedSize(), 5000);
        QVERIFY(buffer.capacity() >= 5000);
        QCOMPARE(buffer.ByteAtIndex(0), quint8('a'));
        QCOMPARE(buffer.ByteAtIndex(1), quint8('b'));
        QCOMPARE(buffer.ByteAtIndex(4999), quint8(0));
        const quint8 *tail = buffer.ReadFromBufferAt_VarPtr(4000, 1000);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(tail), 1000), QByteArray(1000, '\0'));

        ByteBuffer_ fresh;
        fresh.SetCurrentBufferUsedSize(3);
        QVERIFY(fresh.isAllocated());
        QCOMPARE(fresh.ByteAtIndex(2), quint8(0));
    }

    void shrinkingTheUsedSize()
    {
        ByteBuffer_ buffer;
        append(buffer, "abcdef");
        buffer.NextByte();
        buffer.SetCurrentBufferUsedSize(1); // equal to the read index: allowed
        QCOMPARE(buffer.CurrentBufferUsedSize(), 1);
        QVERIFY(!buffer.AreBytesLeft());
        // The bytes are still in the storage and come back when the size grows again.
        buffer.SetCurrentBufferUsedSize(6);
        QCOMPARE(contents(buffer), QByteArray("abcdef"));
    }

    void clearBuffer_data()
    {
        QTest::addColumn<qint32>("reallocSize");
        QTest::addColumn<qint32>("capacityAfter");
        QTest::addColumn<bool>("contentsKept");

        QTest::newRow("0 keeps the storage") << 0 << 1000 << true;
        QTest::newRow("smaller size recreates it") << 256 << 256 << false;
        QTest::newRow("same size keeps it") << 1000 << 1000 << true;
        QTest::newRow("larger size keeps it") << 5000 << 1000 << true;
    }

    void clearBuffer()
    {
        QFETCH(qint32, reallocSize);
        QFETCH(qint32, capacityAfter);
        QFETCH(bool, contentsKept);

        ByteBuffer_ buffer;
        const QByteArray data = pattern(1000);
        append(buffer, data);
        buffer.NextByte();
        buffer.ClearBuffer(reallocSize);
        QCOMPARE(buffer.CurrentBufferUsedSize(), 0);
        QCOMPARE(buffer.CurrentIndex(), 0);
        QVERIFY(!buffer.AreBytesLeft());
        QCOMPARE(buffer.capacity(), capacityAfter);

        // Uncover the first bytes again: a recreated storage no longer has them.
        buffer.SetCurrentBufferUsedSize(10);
        if (contentsKept)
            QCOMPARE(contents(buffer), data.left(10));
        else
            QCOMPARE(contents(buffer), QByteArray(10, '\0'));
    }

    void clearBufferBeforeTheStorageExists()
    {
        ByteBuffer_ buffer;
        buffer.EnsureSize(4096, false);
        buffer.ClearBuffer(16);
        QVERIFY(!buffer.isAllocated());
        QCOMPARE(buffer.capacity(), 4096);

        const auto error = raisedError([&] { buffer.ClearBuffer(-1); });
        QVERIFY(error.has_value());
        QCOMPARE(error->number(), RtErr::InvalidProcedureCall);
    }

    void appendAfterClearReusesTheStorage()
    {
        ByteBuffer_ buffer;
        append(buffer, pattern(4096));
        const quint8 *first = buffer.constData();
        buffer.ClearBuffer(0);
        quint8 *again = buffer.AppendToBuffer_VarPtr(4096);
        QCOMPARE(static_cast<const quint8 *>(again), first);
    }

    void copiesAreIndependent()
    {
        ByteBuffer_ original;
        append(original, "line\r\n");
        original.NextByte();
        ByteBuffer_ copy = original;
        original.ClearBuffer(0);
        append(original, "other");
        QCOMPARE(contents(copy), QByteArray("line\r\n"));
        QCOMPARE(copy.CurrentIndex(), 1);

        ByteBuffer_ moved = std::move(copy);
        QCOMPARE(contents(moved), QByteArray("line\r\n"));
        copy = moved; // a moved-from buffer can be assigned again
        QCOMPARE(contents(copy), QByteArray("line\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestByteBuffer)
#include "tst_bytebuffer.moc"
