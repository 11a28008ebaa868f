#pragma once

#include "core/ByteBuffer_.h"

#include <QFile>
#include <QString>

// A read-only file stream that reads in blocks and hands out one line at a time.
// Only the byte pair CR LF ends a line; a lone CR or LF is part of the line.
//
// Every stream fills the same process-wide line buffer: a line returned by
// ReadLine stays valid only until the next ReadLine of any stream, so callers
// use or copy it first. The file is closed by CloseStream or, at the latest, by
// the destructor. Positions are 1-based byte positions.
class BinaryStream_
{
public:
    static constexpr qint32 BlockSize = 4096;

    BinaryStream_() = default;
    ~BinaryStream_() = default;
    BinaryStream_(const BinaryStream_ &) = delete;
    BinaryStream_ &operator=(const BinaryStream_ &) = delete;

    // Closes a file still open here, then opens fileName for reading (ignoring case
    // when the exact name does not exist). Error 52 when it cannot be opened.
    void OpenStream(const QString &fileName);
    void CloseStream();
    void SeekStream(qint64 position);
    // The position of the next byte that ReadLine will deliver.
    qint64 CurrentBytePosition() const;
    qint64 LengthOfFile() const;
    // The next line with its CR LF, in the shared line buffer; an empty buffer at
    // the end of the file. A last line without CR LF comes without it.
    ByteBuffer_ &ReadLine();

    bool isOpen() const { return m_file.isOpen(); }

    static ByteBuffer_ &SharedLineBuffer();

private:
    void requireOpen(const char *member) const;
    // Reads the next block; false when nothing more could be read.
    bool refillBlock();

    QFile m_file;
    ByteBuffer_ m_block;
    qint64 m_fileLength = 0;
    // Where the next block read starts.
    qint64 m_filePointer = 0;
    // Set once a read came back short: the file ends there, whatever its length was at opening.
    bool m_atEnd = false;
};
