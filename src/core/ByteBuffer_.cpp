#include "core/ByteBuffer_.h"

#include "platform/RuntimeError.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {
const QString PastEndText =
    QStringLiteral("Subscript Out Of Range: Attempting to read past end of data contained in ByteBuffer_");

[[noreturn]] void raisePastEnd(const char *member)
{
    raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.ByteBuffer_.") + QLatin1String(member),
               PastEndText);
}

// A sum of sizes that no longer fits the 32-bit sizes the buffer keeps.
qint32 checkedSum(qint32 a, qint32 b, const char *member)
{
    const qint64 sum = qint64(a) + qint64(b);
    if (sum > std::numeric_limits<qint32>::max())
        raiseError(RtErr::Overflow, QStringLiteral("Verbanox.ByteBuffer_.") + QLatin1String(member));
    return qint32(sum);
}

std::unique_ptr<quint8[]> newStorage(qint32 size)
{
    try {
        // At least one byte, so that an address handed out is never null.
        return std::unique_ptr<quint8[]>(new quint8[std::max<qint32>(size, 1)]());
    } catch (const std::bad_alloc &) {
        raiseError(RtErr::OutOfMemory, QStringLiteral("Verbanox.ByteBuffer_"));
    }
}
} // namespace

ByteBuffer_::ByteBuffer_(const ByteBuffer_ &other)
    : m_capacity(other.m_capacity)
    , m_usedSize(other.m_usedSize)
    , m_readIndex(other.m_readIndex)
    , m_allocated(other.m_allocated)
{
    if (other.m_allocated) {
        m_data = newStorage(other.m_capacity);
        m_storageSize = std::max<qint32>(other.m_capacity, 1);
        std::memcpy(m_data.get(), other.m_data.get(), size_t(other.m_capacity));
    }
}

ByteBuffer_ &ByteBuffer_::operator=(const ByteBuffer_ &other)
{
    if (this != &other) {
        ByteBuffer_ copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ByteBuffer_::ByteBuffer_(ByteBuffer_ &&other) noexcept
    : m_data(std::move(other.m_data))
    , m_storageSize(other.m_storageSize)
    , m_capacity(other.m_capacity)
    , m_usedSize(other.m_usedSize)
    , m_readIndex(other.m_readIndex)
    , m_allocated(other.m_allocated)
{
    other.m_storageSize = other.m_capacity = other.m_usedSize = other.m_readIndex = 0;
    other.m_allocated = false;
}

ByteBuffer_ &ByteBuffer_::operator=(ByteBuffer_ &&other) noexcept
{
    if (this != &other) {
        m_data = std::move(other.m_data);
        m_storageSize = other.m_storageSize;
        m_capacity = other.m_capacity;
        m_usedSize = other.m_usedSize;
        m_readIndex = other.m_readIndex;
        m_allocated = other.m_allocated;
        other.m_storageSize = other.m_capacity = other.m_usedSize = other.m_readIndex = 0;
        other.m_allocated = false;
    }
    return *this;
}

void ByteBuffer_::allocate(qint32 size)
{
    m_data = newStorage(size);
    m_storageSize = std::max<qint32>(size, 1);
    m_capacity = size;
    m_allocated = true;
}

void ByteBuffer_::growStorage(qint32 size)
{
    if (size > m_storageSize) {
        // Half again as much as needed, so that a line appended block by block is
        // not copied once per block.
        const qint64 wanted = std::max<qint64>(size, qint64(m_storageSize) + m_storageSize / 2);
        const qint32 storage = qint32(std::min<qint64>(wanted, std::numeric_limits<qint32>::max()));
        std::unique_ptr<quint8[]> grown = newStorage(storage);
        std::memcpy(grown.get(), m_data.get(), size_t(m_capacity));
        m_data = std::move(grown);
        m_storageSize = storage;
    }
    m_capacity = size;
}

void ByteBuffer_::EnsureSize(qint32 n, bool allocateNow)
{
    if (m_allocated) {
        if (m_capacity < n)
            growStorage(n);
        return;
    }
    const qint32 size = std::max(m_capacity, n);
    if (allocateNow)
        allocate(size);
    else
        m_capacity = size;
}

void ByteBuffer_::EnsureCanAdd(qint32 n)
{
    EnsureSize(checkedSum(m_usedSize, n, "EnsureCanAdd()"), false);
}

const quint8 *ByteBuffer_::ReadFromBufferAt_VarPtr(qint32 index, qint32 count)
{
    if (index < 0 || count < 0 || qint64(index) + count - 1 >= m_usedSize)
        raisePastEnd("ReadFromBufferAt_VarPtr()");
    if (!m_allocated)
        allocate(m_capacity);
    return m_data.get() + index;
}

quint8 *ByteBuffer_::AppendToBuffer_VarPtr(qint32 n)
{
    // A negative count would move the used size back below data still being read.
    if (n < 0)
        raiseError(RtErr::InvalidProcedureCall,
                   QStringLiteral("Verbanox.ByteBuffer_.AppendToBuffer_VarPtr()"));
    const qint32 newUsed = checkedSum(m_usedSize, n, "AppendToBuffer_VarPtr()");
    EnsureSize(newUsed, true);
    quint8 *address = m_data.get() + m_usedSize;
    m_usedSize = newUsed;
    return address;
}

void ByteBuffer_::ClearBuffer(qint32 reallocSize)
{
    if (reallocSize < 0)
        raiseError(RtErr::InvalidProcedureCall, QStringLiteral("Verbanox.ByteBuffer_.ClearBuffer()"));
    if (reallocSize != 0 && m_allocated && m_capacity > reallocSize)
        allocate(reallocSize);
    m_usedSize = 0;
    m_readIndex = 0;
}

void ByteBuffer_::SetCurrentIndex(qint32 index)
{
    if (index < 0 || index >= m_usedSize)
        raisePastEnd("CurrentIndex/Let");
    m_readIndex = index;
}

void ByteBuffer_::SetCurrentBufferUsedSize(qint32 size)
{
    if (size < m_readIndex)
        raiseError(RtErr::SubscriptOutOfRange,
                   QStringLiteral("Verbanox.ByteBuffer_.CurrentBufferUsedSize/Let"),
                   QStringLiteral("Subscript Out Of Range: Attempting to resize buffer shorter than "
                                  "current read location in ByteBuffer_"));
    // Every used byte must have storage behind it, or a later read would run past it.
    if (size > m_capacity || (size > 0 && !m_allocated))
        EnsureSize(size, true);
    m_usedSize = size;
}

quint8 ByteBuffer_::ByteAtIndex(qint32 index) const
{
    if (index < 0 || index >= m_usedSize)
        raisePastEnd("ByteAtIndex()");
    return m_data[index];
}

void ByteBuffer_::SetByteAtIndex(qint32 index, quint8 value)
{
    if (index < 0 || index >= m_usedSize)
        raisePastEnd("ByteAtIndex()");
    m_data[index] = value;
}

quint8 ByteBuffer_::CurrentByte() const
{
    if (m_readIndex >= m_usedSize)
        raisePastEnd("CurrentByte/Get");
    return m_data[m_readIndex];
}

void ByteBuffer_::SetCurrentByte(quint8 value)
{
    if (m_readIndex >= m_usedSize)
        raisePastEnd("CurrentByte/Let");
    m_data[m_readIndex] = value;
}

quint8 ByteBuffer_::NextByte()
{
    if (m_readIndex >= m_usedSize)
        raisePastEnd("NextByte()");
    return m_data[m_readIndex++];
}

void ByteBuffer_::advance(qint32 count)
{
    if (count < 0 || qint64(m_readIndex) + count > m_usedSize)
        raisePastEnd("advance()");
    m_readIndex += count;
}

const quint8 *ByteBuffer_::constData() const
{
    static const quint8 empty = 0;
    return m_allocated ? m_data.get() : &empty;
}
