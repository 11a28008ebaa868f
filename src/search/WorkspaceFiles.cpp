#include "search/WorkspaceFiles.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int MsgFileExists = 45;
constexpr int MsgFileNotFound = 47;
constexpr int MsgFileUnreadable = 48;
constexpr int MsgAskToSave = 51;
constexpr int MsgSaveFailed = 52;
constexpr int CaptionUntitled = 17;

const QString OpenFilter = QStringLiteral("Rich Text (*.rtf);;Text Files (*.txt);;All files (*)");
const QString SaveFilter = QStringLiteral("Rich Text (*.rtf)");

bool looksLikeRtf(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    return view.trimmed().startsWith("{\\rtf");
}

void setColours(RichTextBox *rt, quint32 back, quint32 text)
{
    QPalette palette = rt->palette();
    palette.setColor(QPalette::Base, OleColor::toQColor(back));
    palette.setColor(QPalette::Text, OleColor::toQColor(text));
    rt->setPalette(palette);
}

QString shownName(const QString &name)
{
    return QDir::toNativeSeparators(name);
}
} // namespace

WorkspaceFiles::WorkspaceFiles(RichTextBox *rt, QObject *parent)
    : QObject(parent)
    , m_rt(rt)
{
}

QString WorkspaceFiles::DecodePlainText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return CodePage::decode(bytes.mid(3), CodePage::Utf8);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return CodePage::decode(bytes, CodePage::SystemAnsi);
}

bool WorkspaceFiles::New()
{
    bool replaced = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileNew_Click()"), [this, &replaced] {
        if (!MayReplaceDocument())
            return;
        m_rt->setText(QString());
        m_rt->document()->setModified(false);
        DocumentReplaced();
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
        const QString folder = m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absolutePath();
        const QString name = desktop().openFileName(QString(), folder, OpenFilter);
        if (!name.isEmpty())
            opened = OpenFile(name);
    });
    return opened;
}

bool WorkspaceFiles::OpenFile(const QString &name)
{
    if (!QFileInfo(name).isFile()) {
        desktop().messageBox(GetMsg(0, MsgFileNotFound, shownName(name)), MsgBoxStyle::Exclamation,
                             QString());
        return false;
    }
    QByteArray bytes;
    try {
        bytes = TextFiles::readAll(name);
    } catch (const RuntimeError &e) {
        // Nothing was read: the document on screen stays as it was.
        Bug_::ReportFileFault(MsgFileUnreadable, name, e.description());
        return false;
    }
    const bool rtf = looksLikeRtf(bytes);
    bool whole = true;
    if (rtf)
        whole = LoadRtf(name, bytes);
    else
        LoadPlainText(bytes);
    m_rt->document()->setModified(false);
    m_fileName = name;
    m_rtfFile = rtf && QFileInfo(name).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) != 0;
    SetCaption(name + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
    m_rt->setRightMargin(0);
    if (!whole)
        Bug_::ReportFileFault(MsgFileUnreadable, name, QString());
    return true;
}

bool WorkspaceFiles::LoadRtf(const QString &, const QByteArray &bytes)
{
    setColours(m_rt, 0xFFFFFF, 0);
    bool damaged = false;
    RtfReader::read(bytes, m_rt->document(), nullptr, &damaged);
    m_rt->setTextCursor(QTextCursor(m_rt->document()));
    return !damaged;
}

void WorkspaceFiles::LoadPlainText(const QByteArray &bytes)
{
    setColours(m_rt, gBib1BC, gBib1TC);
    QTextCharFormat format;
    format.setForeground(OleColor::toQColor(gBib1TC));
    if (gBib1Fontsize > 0)
        format.setFontPointSize(gBib1Fontsize);
    QString text = DecodePlainText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextDocument *document = m_rt->document();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.setBlockCharFormat(format);
    cursor.insertText(text, format);
    document->setUndoRedoEnabled(undo);
    m_rt->setTextCursor(QTextCursor(document));
    m_rt->setCurrentCharFormat(format);
}

bool WorkspaceFiles::Save()
{
    bool saved = false;
    TrapErrors(QStringLiteral("AdvancedSearch.mFileSave_Click()"), [this, &saved] {
        if (m_fileName.isEmpty() || !m_rtfFile)
            saved = SaveAs();
        else
            saved = WriteFile(m_fileName);
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
    const QString folder = m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absolutePath();
    for (;;) {
        // The dialog's own overwrite question would come twice: ours follows.
        QString name = desktop().saveFileName(QString(), folder, SaveFilter, false);
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

bool WorkspaceFiles::WriteFile(const QString &name)
{
    const QByteArray bytes = RtfWriter::write(*m_rt->document());
    // The old file is replaced only when the new one is whole on disk.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Bug_::ReportFileFault(MsgSaveFailed, name, file.errorString());
        return false;
    }
    m_rt->document()->setModified(false);
    m_fileName = name;
    m_rtfFile = true;
    SetCaption(name);
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
    return !m_rt->document()->isModified() || AskToSave() != Cancelled;
}

void WorkspaceFiles::DocumentReplaced()
{
    m_fileName.clear();
    m_rtfFile = false;
    SetCaption(GetMsg(1, CaptionUntitled, MiscHelpers::ProductTitle()));
}

void WorkspaceFiles::SetCaption(const QString &caption)
{
    m_caption = caption;
    emit captionChanged(caption);
}

void WorkspaceFiles::SetFileName(const QString &name)
{
    m_fileName = name;
    m_rtfFile = true;
}
