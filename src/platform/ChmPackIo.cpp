#include "platform/ChmPackIo.h"
#include "platform/ChmHeader.h"

#include <QFile>
#include <QtNumeric>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
// One open "file" of the library: the archive on disk or an object's sink.
struct PackFile
{
    std::unique_ptr<QFile> archive;
    const ChmPackIo::Sink *sink = nullptr;
};

QString &note()
{
    static QString text;
    return text;
}

PackFile *packFile(mspack_file *file)
{
    return reinterpret_cast<PackFile *>(file);
}

mspack_file *openFile(mspack_system *, const char *name, int mode)
{
    auto *file = new PackFile;
    if (mode == MSPACK_SYS_OPEN_WRITE) {
        file->sink = reinterpret_cast<const ChmPackIo::Sink *>(name);
        return reinterpret_cast<mspack_file *>(file);
    }
    file->archive = std::make_unique<QFile>(QFile::decodeName(name));
    if (mode != MSPACK_SYS_OPEN_READ || !file->archive->open(QIODevice::ReadOnly)) {
        delete file;
        return nullptr;
    }
    return reinterpret_cast<mspack_file *>(file);
}

void closeFile(mspack_file *file)
{
    delete packFile(file);
}

// The file header's two identifiers: the second is the first with its first
// byte one higher. The help compiler of Debian's fp-utils writes the first one
// twice, which the library takes for no archive; it is read as it should be.
constexpr qint64 FirstGuid = 0x18;
constexpr qint64 SecondGuid = 0x28;
constexpr qint64 GuidSize = 16;

void mendSecondGuid(char *header)
{
    if (std::memcmp(header + FirstGuid, header + SecondGuid, GuidSize) == 0 && header[FirstGuid] == '\x10')
        header[SecondGuid] = '\x11';
}

int readFile(mspack_file *handle, void *buffer, int bytes)
{
    PackFile *file = packFile(handle);
    if (!file->archive || bytes < 0)
        return -1;
    const qint64 from = file->archive->pos();
    const qint64 got = file->archive->read(static_cast<char *>(buffer), bytes);
    if (from == 0 && got >= SecondGuid + GuidSize)
        mendSecondGuid(static_cast<char *>(buffer));
    ChmHeader::mendDirectoryHeader(*file->archive, from, static_cast<char *>(buffer), got);
    return int(got);
}

int writeFile(mspack_file *handle, void *buffer, int bytes)
{
    const ChmPackIo::Sink *sink = packFile(handle)->sink;
    if (!sink || bytes < 0 || sink->bytes->size() + bytes > sink->limit)
        return -1;
    sink->bytes->append(static_cast<const char *>(buffer), bytes);
    return bytes;
}

int seekFile(mspack_file *handle, off_t offset, int mode)
{
    QFile *file = packFile(handle)->archive.get();
    if (!file)
        return -1;
    qint64 from = 0;
    if (mode == MSPACK_SYS_SEEK_CUR)
        from = file->pos();
    else if (mode == MSPACK_SYS_SEEK_END)
        from = file->size();
    else if (mode != MSPACK_SYS_SEEK_START)
        return -1;
    // Offsets come from the archive's own numbers: one past the largest position is no position.
    qint64 at = 0;
    if (qAddOverflow(from, qint64(offset), &at) || at < 0)
        return -1;
    return file->seek(at) ? 0 : -1;
}

off_t tellFile(mspack_file *handle)
{
    QFile *file = packFile(handle)->archive.get();
    return file ? off_t(file->pos()) : 0;
}

void keepNote(mspack_file *, const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    note() = QString::fromUtf8(text);
}

void *allocate(mspack_system *, size_t bytes)
{
    return std::malloc(bytes);
}

void copyBytes(void *from, void *to, size_t bytes)
{
    std::memcpy(to, from, bytes);
}
} // namespace

ChmPackIo::ChmPackIo()
    : mspack_system{openFile, closeFile, readFile,  writeFile, seekFile, tellFile,
                    keepNote, allocate,  std::free, copyBytes, nullptr}
{
}

bool ChmPackIo::usable()
{
    int result = MSPACK_ERR_OK;
    MSPACK_SYS_SELFTEST(result);
    return result == MSPACK_ERR_OK;
}

QString ChmPackIo::lastNote()
{
    return note();
}

void ChmPackIo::clearNote()
{
    note().clear();
}
