#include "core/BinaryStream_.h"

#include "core/Bug_.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"

#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#endif

namespace {
const QString StreamSource = QStringLiteral("Verbanox.BinaryStream_");

// The end (one past the LF) of the first CR LF in [begin, end), or null. crSeen
// says whether the byte before `begin` in this line was a CR; on return it says
// whether the last byte scanned was one, so a pair split between blocks is found.
const quint8 *findLineEnd(const quint8 *begin, const quint8 *end, bool &crSeen)
{
    const quint8 *p = begin;
    while (p < end) {
        p = static_cast<const quint8 *>(std::memchr(p, '\n', size_t(end - p)));
        if (!p)
            break;
        if (p > begin ? p[-1] == '\r' : crSeen)
            return p + 1;
        ++p;
    }
    if (end > begin)
        crSeen = end[-1] == '\r';
    return nullptr;
}

void appendBytes(ByteBuffer_ &line, const quint8 *bytes, qint32 count)
{
    if (count > 0)
        std::memcpy(line.AppendToBuffer_VarPtr(count), bytes, size_t(count));
}
} // namespace

ByteBuffer_ &BinaryStream_::SharedLineBuffer()
{
    static ByteBuffer_ buffer = [] {
        ByteBuffer_ created;
        created.EnsureCanAdd(256);
        return created;
    }();
    return buffer;
}

void BinaryStream_::requireOpen(const char *member) const
{
    if (!m_file.isOpen())
        raiseError(RtErr::ObjectNotSet, StreamSource + QLatin1Char('.') + QLatin1String(member));
}

void BinaryStream_::OpenStream(const QString &fileName)
{
    CloseStream();
    m_file.setFileName(FileNames::resolve(fileName));
    if (fileName.isEmpty() || !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        raiseError(RtErr::BadFileNameOrNumber, StreamSource,
                   QStringLiteral("Error opening file: ") + fileName);
#ifdef Q_OS_UNIX
    // Books are read from front to back: let the system read ahead.
    ::posix_fadvise(m_file.handle(), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    m_block = ByteBuffer_();
    m_block.EnsureSize(BlockSize, false);
    m_fileLength = m_file.size();
    m_filePointer = 0;
    m_atEnd = false;
    SharedLineBuffer();
}

void BinaryStream_::CloseStream()
{
    if (!m_file.isOpen())
        return;
    m_file.close();
    m_block = ByteBuffer_();
}

void BinaryStream_::SeekStream(qint64 position)
{
    requireOpen("SeekStream");
    Assert(position >= 1, QStringLiteral("Seek is always 1-based"));
    // A position before the file cannot be reached: the stream stays where it is.
    if (position < 1)
        return;
    m_file.seek(position - 1);
    m_filePointer = position - 1;
    m_block.ClearBuffer(0);
    m_atEnd = false;
}

qint64 BinaryStream_::CurrentBytePosition() const
{
    requireOpen("CurrentBytePosition");
    return m_filePointer + 1 - m_block.CurrentBufferUsedSize() + m_block.CurrentIndex();
}

qint64 BinaryStream_::LengthOfFile() const
{
    requireOpen("LengthOfFile");
    return m_file.size();
}

bool BinaryStream_::refillBlock()
{
    if (m_atEnd || m_filePointer >= m_fileLength)
        return false;
    m_block.ClearBuffer(0);
    quint8 *target = m_block.AppendToBuffer_VarPtr(BlockSize);
    const qint64 got = m_file.read(reinterpret_cast<char *>(target), BlockSize);
    const qint32 bytesRead = got > 0 ? qint32(got) : 0;
    // A short read means the file ends here, even when it has shrunk since it was
    // opened: reading again would only return nothing, for ever.
    if (bytesRead < BlockSize)
        m_atEnd = true;
    m_block.SetCurrentBufferUsedSize(bytesRead);
    m_filePointer += bytesRead;
    return bytesRead > 0;
}

ByteBuffer_ &BinaryStream_::ReadLine()
{
    requireOpen("ReadLine");
    ByteBuffer_ &line = SharedLineBuffer();
    line.ClearBuffer(0);
    bool crSeen = false;
    for (;;) {
        const qint32 start = m_block.CurrentIndex();
        const qint32 used = m_block.CurrentBufferUsedSize();
        const quint8 *block = m_block.constData();
        if (const quint8 *end = findLineEnd(block + start, block + used, crSeen)) {
            const qint32 count = qint32(end - (block + start));
            appendBytes(line, block + start, count);
            m_block.advance(count);
            Assert(line.ByteAtIndex(line.CurrentBufferUsedSize() - 1) == 10,
                   QStringLiteral("CR/LF detection or buffering is messed up"));
            return line;
        }
        appendBytes(line, block + start, used - start);
        m_block.advance(used - start);
        if (!refillBlock())
            return line;
    }
}
