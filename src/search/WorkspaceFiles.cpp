#include "search/WorkspaceFiles.h"
#include "search/NotesDocument.h"

#include "core/Bug_.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"
#include "platform/RtfWriter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int MsgFileExists = 45;
constexpr int MsgFileUnreadable = 48;
constexpr int MsgAskToSave = 51;
constexpr int MsgSaveFailed = 52;
constexpr int MsgChangedOnDisk = 260;
constexpr int MsgNotARegularFile = 249;
// The kinds of what is no regular file, one a line.
constexpr int MsgFileKinds = 253;

const QString OpenFilter = QStringLiteral("Rich Text (*.rtf);;Text Files (*.txt);;All files (*)");
const QString SaveFilter = QStringLiteral("Rich Text (*.rtf)");

QString shownName(const QString &name)
{
    return QDir::toNativeSeparators(name);
}

// What is no regular file, named for what it is: the catalog's lines are a
// folder, a named pipe, a character device, a block device, a socket, and
// anything else.
QString kindText(mode_t mode)
{
    const int line = S_ISDIR(mode)    ? 0
                     : S_ISFIFO(mode) ? 1
                     : S_ISCHR(mode)  ? 2
                     : S_ISBLK(mode)  ? 3
                     : S_ISSOCK(mode) ? 4
                                      : 5;
    const QStringList kinds = GetMsg(0, MsgFileKinds).split(QStringLiteral("\r\n"));
    return kinds.value(line, kinds.constLast());
}

// Reads a regular file. It is opened without waiting and read only when what was
// opened is one: the name may have been given to a named pipe since it was looked
// at. `mode` tells what was opened; nothing is read when it is no regular file.
QByteArray readRegularFile(const QString &name, mode_t &mode)
{
    const QString source = QStringLiteral("Verbanox.WorkspaceFiles");
    const int handle =
        ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0)
        raiseFileUnreadable(source, name, qt_error_string(errno));
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        raiseFileUnreadable(source, name, file.errorString());
    }
    struct stat status = {};
    if (::fstat(handle, &status) != 0)
        raiseFileUnreadable(source, name, qt_error_string(errno));
    mode = status.st_mode;
    if (!S_ISREG(mode))
        return {};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raiseFileUnreadable(source, name, file.errorString());
    return bytes;
}
} // namespace

WorkspaceFiles::WorkspaceFiles(NotesDocument &document)
    : m_document(document)
{
}

bool WorkspaceFiles::New()
{
    bool replaced = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileNew_Click()"), [this, &replaced] {
        if (!MayReplaceDocument())
            return;
        m_document.ShowNew();
        replaced = true;
    });
    return replaced;
}

bool WorkspaceFiles::Open()
{
    bool opened = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileOpen_Click()"), [this, &opened] {
        if (!MayReplaceDocument())
            return;
        const QString name = desktop().openFileName(QString(), Folder(), OpenFilter);
        if (!name.isEmpty())
            opened = OpenFile(name);
    });
    return opened;
}

bool WorkspaceFiles::OpenNamed(const QString &name)
{
    bool opened = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileOpen_Click()"),
               [this, &name, &opened] { opened = MayReplaceDocument() && OpenFile(name); });
    return opened;
}

// Only a regular file is read. A folder, a named pipe or a device is named for
// what it is; a named pipe is never opened, as reading it would wait for a writer.
bool WorkspaceFiles::OpenFile(const QString &name)
{
    // What the name stands for, a link followed.
    struct stat status = {};
    if (::stat(QFile::encodeName(name).constData(), &status) != 0) {
        desktop().messageBox(GetMsg(0, Bug_::FileNotFoundMsg, shownName(name)), MsgBoxStyle::Exclamation,
                             QString());
        return false;
    }
    mode_t mode = status.st_mode;
    QByteArray bytes;
    if (S_ISREG(mode)) {
        try {
            bytes = readRegularFile(name, mode);
        } catch (const RuntimeError &e) {
            // Nothing was read: the document on screen stays as it was.
            Bug_::ReportFileFault(MsgFileUnreadable, name, e.description());
            return false;
        }
    }
    // Found so by its name, or once opened.
    if (!S_ISREG(mode)) {
        desktop().messageBox(MsgSupport::GetMsgListing(MsgNotARegularFile, kindText(mode), {shownName(name)}),
                             MsgBoxStyle::Exclamation, QString());
        return false;
    }
    ShowRead(name, bytes);
    return true;
}

void WorkspaceFiles::ShowRead(const QString &path, const QByteArray &bytes)
{
    if (!m_document.ShowFile(path, bytes))
        Bug_::ReportFileFault(MsgFileUnreadable, path, QString());
}

bool WorkspaceFiles::Save()
{
    bool saved = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileSave_Click()"), [this, &saved] {
        if (!m_document.SavesToFile())
            saved = SaveAs();
        else if (!m_document.FileChangedOnDisk())
            saved = WriteFile(m_document.FileName());
        else
            saved = SaveOverChangedFile();
    });
    return saved;
}

bool WorkspaceFiles::SaveAs()
{
    bool saved = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileSaveAs_Click()"), [this, &saved] {
        const QString name = AskSaveName();
        if (!name.isEmpty())
            saved = WriteFile(name);
    });
    return saved;
}

// Asks until the user names a new file, agrees to replace one, or cancels (empty).
QString WorkspaceFiles::AskSaveName()
{
    for (;;) {
        // The dialog's own overwrite question would come twice: ours follows.
        QString name = desktop().saveFileName(QString(), Folder(), SaveFilter, false);
        if (name.isEmpty())
            return QString();
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".rtf");
        if (!QFileInfo::exists(name))
            return name;
        const int style = MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2;
        switch (desktop().messageBox(GetMsg(0, MsgFileExists), style, QString())) {
        case MsgBoxResult::Yes:
            return name;
        case MsgBoxResult::No:
            continue;
        default:
            return QString();
        }
    }
}

// Another program, or another copy of this one, wrote the file since it was
// opened or saved here: Yes replaces it, No asks for another name.
bool WorkspaceFiles::SaveOverChangedFile()
{
    const QString name = m_document.FileName();
    const int style = MsgBoxStyle::YesNoCancel | MsgBoxStyle::Exclamation | MsgBoxStyle::DefaultButton2;
    switch (desktop().messageBox(GetMsg(0, MsgChangedOnDisk, shownName(name)), style, QString())) {
    case MsgBoxResult::Yes:
        return WriteFile(name);
    case MsgBoxResult::No:
        return SaveAs();
    default:
        return false;
    }
}

bool WorkspaceFiles::WriteFile(const QString &name)
{
    return WriteDocument(name, &NotesDocument::Saved);
}

bool WorkspaceFiles::SaveCopy(const QString &name)
{
    return WriteDocument(name, &NotesDocument::CopySaved);
}

QString WorkspaceFiles::SaveNew(const std::function<QString(int)> &names,
                                const std::function<bool(const QString &)> &taken)
{
    const QByteArray bytes = RtfWriter::write(*m_document.Pane().document());
    QString path;
    try {
        path = TextFiles::writeNew(names, bytes, taken);
    } catch (const RuntimeError &e) {
        Bug_::ReportFileFault(MsgSaveFailed, names(1), e.description());
        return QString();
    }
    m_document.SavedAsBookmark(path, bytes);
    return path;
}

// The document as RTF in the file, then told to the document as written; the
// old file is replaced only when the new one is whole on disk. False after
// saying why it could not be written.
bool WorkspaceFiles::WriteDocument(const QString &name, Written written)
{
    const QByteArray bytes = RtfWriter::write(*m_document.Pane().document());
    try {
        TextFiles::writeAtomically(name, bytes);
    } catch (const RuntimeError &e) {
        Bug_::ReportFileFault(MsgSaveFailed, name, e.description());
        return false;
    }
    (m_document.*written)(name, bytes);
    return true;
}

int WorkspaceFiles::AskToSave()
{
    const int style = MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question;
    switch (desktop().messageBox(GetMsg(0, MsgAskToSave), style,
                                 QStringLiteral("Save File ") + MiscHelpers::ProductTitle())) {
    case MsgBoxResult::Yes:
        return Save() ? Saved : Cancelled;
    case MsgBoxResult::No:
        return Discard;
    default:
        return Cancelled;
    }
}

bool WorkspaceFiles::MayReplaceDocument()
{
    return !m_document.Changed() || AskToSave() != Cancelled;
}

// The dialogs open in the folder of the document's file.
QString WorkspaceFiles::Folder() const
{
    const QString name = m_document.FileName();
    return name.isEmpty() ? QString() : QFileInfo(name).absolutePath();
}
