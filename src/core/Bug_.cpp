#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"

#include "platform/VbText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

Q_LOGGING_CATEGORY(lcErrors, "verbanox.errors", QtInfoMsg)

namespace {
const QString CRLF = QStringLiteral("\r\n");

// A change that the read-only program folder cannot hold.
constexpr qint32 ReadOnlyProgramFolderMsg = 295;
} // namespace

namespace Bug_ {

void Assert(bool condition, const QString &message)
{
    if (!condition)
        AssertFailed(message);
}

void AssertFailed(const QString &message)
{
    if (!gDebugMode)
        return;
    desktop().messageBox(QStringLiteral("ASSERT FAILED: ") + CRLF + message, MsgBoxStyle::OKOnly,
                         QStringLiteral("Assertion"));
}

QString UnexpectedErrorText(const QString &extraText)
{
    QString text = QStringLiteral("An Error has occured.") + CRLF + CRLF;
    if (!extraText.isEmpty())
        text += extraText + CRLF + CRLF;
    text += QStringLiteral("If the error persists, please report it to us.") +
            QStringLiteral("Select 'Help' then click 'Report a Bug'.") + CRLF +
            QStringLiteral("You must give us a FULL DESCRIPTION of") +
            QStringLiteral("the error or we will not be able to help you.");
    return text;
}

void ShowUnexpectedError(const QString &routine, const QString &extraText)
{
    // A file that is missing or cannot be read is the data's fault, not a bug:
    // the reader is told which file, and nothing asks for a report.
    if (!Err().File.isEmpty()) {
        const ErrorState error = Err();
        Err().Clear();
        const qint32 msgId = error.FileWrite                       ? FileUnwritableMsg
                             : error.Number == RtErr::FileNotFound ? FileNotFoundMsg
                                                                   : FileUnreadableMsg;
        ReportFileFault(msgId, error.File, error.FileReason);
        return;
    }
    ErrDisplayEndUserMsg(UnexpectedErrorText(extraText), routine);
}

void ErrDisplayEndUserMsg(const QString &text, const QString &routine)
{
    const ErrorState error = Err();
    Err().Clear();
    QString description = error.Description;
    if (description.startsWith(QLatin1String("The data area passed to a system call "))) {
        if ((quint32(error.Number) >> 16) == 0x8007)
            description = SystemErrorText(error.Number & 0xFFFF);
        else
            description = QStringLiteral("Error message lost by Operating System");
    }
    Assert(Err().Number == 0, QStringLiteral("Error generated in ErrDisplayEndUserMsg"));
    QString message = text;
    if (!text.isEmpty())
        message += CRLF + CRLF;
    message += FormatErrorText(error.Number, description, error.Source, routine);
    desktop().messageBox(message, MsgBoxStyle::Exclamation,
                         MiscHelpers::ProductTitle() + QStringLiteral(" Unforseen error."));
    Assert(Err().Number == 0, QStringLiteral("Error generated in ErrDisplayEndUserMsg"));
}

QString FormatErrorText(qint32 number, const QString &description, const QString &source,
                        const QString &routine)
{
    const QString hex = QString::number(quint32(number), 16).toUpper();
    const QString header =
        QStringLiteral("[0x") + (QStringLiteral("0000000") + hex).right(8) + QStringLiteral("]  ");

    QString desc = VbText::Trim(description);
    while (desc.endsWith(CRLF))
        desc = VbText::Trim(desc.left(desc.size() - 2));
    if (desc.isEmpty())
        desc = QStringLiteral("<No error description supplied, default is: ") +
               RuntimeError::standardText(number) + QStringLiteral(">");

    const QString src = VbText::Trim(source);
    const QString rtn = VbText::Trim(routine);
    QString location;
    if (!src.isEmpty() && !rtn.isEmpty())
        location = QStringLiteral(" (") + src + QLatin1Char('.') + rtn + QLatin1Char(')');
    else if (!src.isEmpty())
        location = QStringLiteral(" (") + src + QLatin1Char(')');
    else if (!rtn.isEmpty())
        location = QStringLiteral(" (") + rtn + QLatin1Char(')');

    QString lead;
    IgnoreErrors([&] { lead = MsgSupport::GetMsg(0, 110, QString()); });

    const qsizetype p = desc.indexOf(CRLF + CRLF + QLatin1Char('['));
    if (p >= 0) // the description carries a report of its own: the location goes before it
        return lead + CRLF + CRLF + header + desc.left(p) + location + desc.mid(p);
    return lead + CRLF + CRLF + header + desc + location;
}

QString FileFaultText(qint32 msgId, const QString &fileName, const QString &reason)
{
    const QString message = MsgSupport::GetMsg(0, msgId, QDir::toNativeSeparators(fileName));
    if (reason.isEmpty())
        return message;
    return message + (message.contains(CRLF) ? CRLF + CRLF : CRLF) + reason;
}

void ReportFileFault(qint32 msgId, const QString &fileName, const QString &reason)
{
    desktop().messageBox(FileFaultText(msgId, fileName, reason), MsgBoxStyle::Exclamation, QString());
}

void ReportReadOnlyProgramFolder(const QString &folder, const QString &reason)
{
    ReportFileFault(ReadOnlyProgramFolderMsg, folder, reason);
}

void NoteIgnoredError(const std::exception &e, CallSite where)
{
    if (!lcErrors().isDebugEnabled())
        return;
    ErrorState error;
    error.SetFrom(e);
    QString line = QStringLiteral("%1:%2, %3: error %4 ignored: %5")
                       .arg(QFileInfo(QString::fromUtf8(where.file)).fileName())
                       .arg(where.line)
                       .arg(QString::fromUtf8(where.function))
                       .arg(error.Number)
                       .arg(error.Description);
    if (!error.Source.isEmpty())
        line += QStringLiteral(" (from ") + error.Source + QLatin1Char(')');
    qCDebug(lcErrors).noquote() << line;
}

QString SystemErrorText(qint32 code)
{
    Assert(code < 0x10000, QStringLiteral("HRESULT passed, expected just an error #"));
    static const QHash<qint32, QString> texts = {
        {1, QStringLiteral("Incorrect function.")},
        {2, QStringLiteral("The system cannot find the file specified.")},
        {3, QStringLiteral("The system cannot find the path specified.")},
        {4, QStringLiteral("The system cannot open the file.")},
        {5, QStringLiteral("Access is denied.")},
        {6, QStringLiteral("The handle is invalid.")},
        {8, QStringLiteral("Not enough storage is available to process this command.")},
        {14, QStringLiteral("Not enough storage is available to complete this operation.")},
        {15, QStringLiteral("The system cannot find the drive specified.")},
        {32,
         QStringLiteral("The process cannot access the file because it is being used by another process.")},
        {39, QStringLiteral("The disk is full.")},
        {80, QStringLiteral("The file exists.")},
        {87, QStringLiteral("The parameter is incorrect.")},
        {112, QStringLiteral("There is not enough space on the disk.")},
        {122, QStringLiteral("The data area passed to a system call is too small.")},
        {123, QStringLiteral("The filename, directory name, or volume label syntax is incorrect.")},
        {183, QStringLiteral("Cannot create a file when that file already exists.")},
        {206, QStringLiteral("The filename or extension is too long.")},
    };
    return texts.value(code);
}

} // namespace Bug_

void DeferredErrors::report()
{
    if (!m_failed || m_reported)
        return;
    m_reported = true;
    Err() = m_first;
    ShowUnexpectedError(m_routine);
}
