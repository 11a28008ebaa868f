#pragma once

#include <QtGlobal>
#include <memory>

// A growable byte array with a used size and a read position, for reading large
// files without building a string per line. Sizes are 32-bit signed, as every
// caller keeps them; a size that would pass 2^31 - 1 raises error 6.
//
// Pointers handed out by ReadFromBufferAt_VarPtr and AppendToBuffer_VarPtr point
// into the storage and stay valid until the storage grows or is recreated.
class ByteBuffer_
{
public:
    ByteBuffer_() = default;
    ByteBuffer_(const ByteBuffer_ &other);
    ByteBuffer_ &operator=(const ByteBuffer_ &other);
    ByteBuffer_(ByteBuffer_ &&other) noexcept;
    ByteBuffer_ &operator=(ByteBuffer_ &&other) noexcept;
    ~ByteBuffer_() = default;

    // Grows the storage to at least n bytes, keeping its contents; never shrinks.
    // Before the storage exists only the size to create is raised, unless allocateNow.
    void EnsureSize(qint32 n, bool allocateNow);
    void EnsureCanAdd(qint32 n);
    // The address of byte index, for a bulk copy of count bytes; error 9 when they
    // are not all within the used size.
    const quint8 *ReadFromBufferAt_VarPtr(qint32 index, qint32 count);
    // Reserves n bytes after the used ones and returns their address; the caller fills them.
    quint8 *AppendToBuffer_VarPtr(qint32 n);
    // Empties the buffer; a storage larger than a non-zero reallocSize is recreated
    // with exactly that many bytes, so that one long line does not pin memory.
    void ClearBuffer(qint32 reallocSize);

    qint32 CurrentIndex() const { return m_readIndex; }
    void SetCurrentIndex(qint32 index);
    qint32 CurrentBufferUsedSize() const { return m_usedSize; }
    // Growing the used size past the storage grows the storage (new bytes are 0).
    void SetCurrentBufferUsedSize(qint32 size);
    quint8 ByteAtIndex(qint32 index) const;
    void SetByteAtIndex(qint32 index, quint8 value);
    quint8 CurrentByte() const;
    void SetCurrentByte(quint8 value);
    bool AreBytesLeft() const { return m_readIndex < m_usedSize; }
    quint8 NextByte();
    // Moves the read index forward over count bytes already looked at through
    // constData(); it may reach the used size (nothing left), never pass it.
    void advance(qint32 count);

    // Read-only access for decoders: the used bytes start here (never null).
    const quint8 *constData() const;
    // The size the storage has, or will have when it is created.
    qint32 capacity() const { return m_capacity; }
    bool isAllocated() const { return m_allocated; }

private:
    void allocate(qint32 size);
    void growStorage(qint32 size);

    std::unique_ptr<quint8[]> m_data;
    // Bytes actually allocated; may exceed m_capacity so that repeated appends
    // do not copy the whole buffer every time.
    qint32 m_storageSize = 0;
    qint32 m_capacity = 0;
    qint32 m_usedSize = 0;
    qint32 m_readIndex = 0;
    bool m_allocated = false;
};
