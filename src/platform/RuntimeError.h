#pragma once

#include <QString>
#include <exception>
#include <string>

// A numbered run-time error, as the program's error traps expect them:
// 9 subscript out of range, 13 type mismatch, 52 bad file name, ...
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(qint32 number, const QString &description = QString(),
                          const QString &source = QString());

    qint32 number() const { return m_number; }
    QString description() const { return m_description; }
    QString source() const { return m_source; }
    // The file that is missing or could not be read, when that is the error, and
    // the system's reason; empty for every other error.
    QString file() const { return m_file; }
    QString fileReason() const { return m_fileReason; }
    // Whether the file could not be written (rather than read).
    bool fileWrite() const { return m_fileWrite; }
    // An error about the file at path (see raiseFileNotFound).
    static RuntimeError aboutFile(qint32 number, const QString &description, const QString &source,
                                  const QString &path, const QString &reason);
    // An error about a file at path that could not be written.
    static RuntimeError aboutFileWrite(const QString &source, const QString &path, const QString &reason);
    const char *what() const noexcept override { return m_what.c_str(); }

    // The runtime's standard text for an error number ("Subscript out of range").
    static QString standardText(qint32 number);

private:
    qint32 m_number;
    QString m_description;
    QString m_source;
    QString m_file;
    QString m_fileReason;
    bool m_fileWrite = false;
    std::string m_what;
};

[[noreturn]] void raiseError(qint32 number, const QString &source = QString(),
                             const QString &description = QString());
// A file the program reads is missing (53) or cannot be read (75). The error
// names the file, so that the error traps tell it as the data's fault.
[[noreturn]] void raiseFileNotFound(const QString &source, const QString &path);
[[noreturn]] void raiseFileUnreadable(const QString &source, const QString &path, const QString &reason);
// A file the program writes could not be written (75), told as the data's fault too.
[[noreturn]] void raiseFileUnwritable(const QString &source, const QString &path, const QString &reason);

// The error currently being handled, filled by an error trap before it reports.
struct ErrorState
{
    qint32 Number = 0;
    QString Description;
    QString Source;
    qint32 HelpContext = 0;
    QString HelpFile;
    qint32 LastDllError = 0;
    // The file that could not be read and why (RuntimeError::file()).
    QString File;
    QString FileReason;
    bool FileWrite = false;

    void Clear() { *this = ErrorState(); }
    void SetFrom(const RuntimeError &e);
    void SetFrom(const std::exception &e);
};

ErrorState &Err();

// Common error numbers of the runtime.
namespace RtErr {
constexpr qint32 InvalidProcedureCall = 5;
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 InternalError = 51;
constexpr qint32 BadFileNameOrNumber = 52;
constexpr qint32 FileNotFound = 53;
constexpr qint32 InputPastEndOfFile = 62;
constexpr qint32 PermissionDenied = 70;
constexpr qint32 PathFileAccessError = 75;
constexpr qint32 PathNotFound = 76;
constexpr qint32 ObjectNotSet = 91;
constexpr qint32 InvalidPropertyValue = 380;
constexpr qint32 CannotShowNonModal = 401;
} // namespace RtErr
