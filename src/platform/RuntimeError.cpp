#include "platform/RuntimeError.h"

#include <QHash>
#include <new>

RuntimeError::RuntimeError(qint32 number, const QString &description, const QString &source)
    : m_number(number)
    , m_description(description.isNull() ? standardText(number) : description)
    , m_source(source)
    , m_what(m_description.toStdString())
{
}

QString RuntimeError::standardText(qint32 number)
{
    static const QHash<qint32, QString> texts = {
        {3, QStringLiteral("Return without GoSub")},
        {5, QStringLiteral("Invalid procedure call or argument")},
        {6, QStringLiteral("Overflow")},
        {7, QStringLiteral("Out of memory")},
        {9, QStringLiteral("Subscript out of range")},
        {10, QStringLiteral("This array is fixed or temporarily locked")},
        {11, QStringLiteral("Division by zero")},
        {13, QStringLiteral("Type mismatch")},
        {14, QStringLiteral("Out of string space")},
        {28, QStringLiteral("Out of stack space")},
        {48, QStringLiteral("Error in loading DLL")},
        {51, QStringLiteral("Internal error")},
        {52, QStringLiteral("Bad file name or number")},
        {53, QStringLiteral("File not found")},
        {54, QStringLiteral("Bad file mode")},
        {55, QStringLiteral("File already open")},
        {57, QStringLiteral("Device I/O error")},
        {58, QStringLiteral("File already exists")},
        {61, QStringLiteral("Disk full")},
        {62, QStringLiteral("Input past end of file")},
        {67, QStringLiteral("Too many files")},
        {68, QStringLiteral("Device unavailable")},
        {70, QStringLiteral("Permission denied")},
        {71, QStringLiteral("Disk not ready")},
        {75, QStringLiteral("Path/File access error")},
        {76, QStringLiteral("Path not found")},
        {91, QStringLiteral("Object variable or With block variable not set")},
        {92, QStringLiteral("For loop not initialized")},
        {93, QStringLiteral("Invalid pattern string")},
        {94, QStringLiteral("Invalid use of Null")},
        {380, QStringLiteral("Invalid property value")},
        {381, QStringLiteral("Invalid property array index")},
        {401, QStringLiteral("Can't show non-modal form when modal form is displayed")},
        {424, QStringLiteral("Object required")},
        {438, QStringLiteral("Object doesn't support this property or method")},
        {453, QStringLiteral("Specified DLL function not found")},
        {457, QStringLiteral("This key is already associated with an element of this collection")},
    };
    return texts.value(number, QStringLiteral("Application-defined or object-defined error"));
}

void raiseError(qint32 number, const QString &source, const QString &description)
{
    throw RuntimeError(number, description, source);
}

RuntimeError RuntimeError::aboutFile(qint32 number, const QString &description, const QString &source,
                                     const QString &path, const QString &reason)
{
    RuntimeError error(number, description, source);
    error.m_file = path;
    error.m_fileReason = reason;
    return error;
}

void raiseFileNotFound(const QString &source, const QString &path)
{
    throw RuntimeError::aboutFile(RtErr::FileNotFound, QStringLiteral("File not found: %1").arg(path), source,
                                  path, QString());
}

void raiseFileUnreadable(const QString &source, const QString &path, const QString &reason)
{
    throw RuntimeError::aboutFile(RtErr::PathFileAccessError,
                                  QStringLiteral("Cannot read %1: %2").arg(path, reason), source, path,
                                  reason);
}

RuntimeError RuntimeError::aboutFileWrite(const QString &source, const QString &path, const QString &reason)
{
    RuntimeError error =
        aboutFile(RtErr::PathFileAccessError, QStringLiteral("Cannot write %1: %2").arg(path, reason), source,
                  path, reason);
    error.m_fileWrite = true;
    return error;
}

void raiseFileUnwritable(const QString &source, const QString &path, const QString &reason)
{
    throw RuntimeError::aboutFileWrite(source, path, reason);
}

void ErrorState::SetFrom(const RuntimeError &e)
{
    Clear();
    Number = e.number();
    Description = e.description();
    Source = e.source();
    File = e.file();
    FileReason = e.fileReason();
    FileWrite = e.fileWrite();
}

void ErrorState::SetFrom(const std::exception &e)
{
    // A trap that catches std::exception still reports a RuntimeError by its number.
    if (const auto *runtimeError = dynamic_cast<const RuntimeError *>(&e)) {
        SetFrom(*runtimeError);
        return;
    }
    Clear();
    if (dynamic_cast<const std::bad_alloc *>(&e)) {
        Number = RtErr::OutOfMemory;
        Description = RuntimeError::standardText(Number);
    } else {
        Number = RtErr::InternalError;
        Description = QString::fromLocal8Bit(e.what());
    }
    Source = QStringLiteral("Verbanox");
}

ErrorState &Err()
{
    static ErrorState state;
    return state;
}
