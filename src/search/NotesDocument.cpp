#include "search/NotesDocument.h"
#include "search/NotesRecovery.h"

#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "platform/CodePage.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "platform/RtfReader.h"
#include "platform/Twips.h"

#include <QFileInfo>
#include <QPointer>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int CaptionUntitled = 17;

bool looksLikeRtf(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    return view.trimmed().startsWith("{\\rtf");
}

bool sameFile(const QString &first, const QString &second)
{
    return !first.isEmpty() && QFileInfo(first).absoluteFilePath() == QFileInfo(second).absoluteFilePath();
}
} // namespace

NotesDocument::NotesDocument(RichTextBox *pane, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
{
}

void NotesDocument::SetColours(quint32 back, quint32 text)
{
    m_pane->setBackColor(back);
    QPalette palette = m_pane->palette();
    palette.setColor(QPalette::Text, OleColor::toQColor(text));
    m_pane->setPalette(palette);
}

bool NotesDocument::Changed() const
{
    return m_pane->document()->isModified();
}

QString NotesDocument::Caption() const
{
    switch (m_naming) {
    case Naming::Product:
        break;
    case Naming::Untitled:
        return GetMsg(1, CaptionUntitled, MiscHelpers::ProductTitle());
    case Naming::FileAndProduct:
        return m_fileName + QStringLiteral(" - ") + MiscHelpers::ProductTitle();
    case Naming::File:
        return m_fileName;
    }
    return MiscHelpers::ProductTitle();
}

void NotesDocument::ShowNew()
{
    m_pane->setText(QString());
    m_pane->document()->setModified(false);
    SetTarget(QString(), false, Naming::Untitled, FileStamp());
    emit replaced();
}

// The file is read into a document of its own, off the screen, and then shown:
// read into the shown one, every paragraph would be laid out as it arrived.
bool NotesDocument::ShowFile(const QString &name, const QByteArray &bytes)
{
    const bool rtf = looksLikeRtf(bytes);
    bool whole = true;
    if (rtf)
        whole = LoadRtf(bytes);
    else
        LoadPlainText(bytes);
    m_pane->document()->setModified(false);
    const bool textFile = QFileInfo(name).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
    SetTarget(name, rtf && !textFile && whole, Naming::FileAndProduct, FileStamp::of(name, bytes));
    m_pane->setRightMargin(0);
    emit replaced();
    return whole;
}

bool NotesDocument::LoadRtf(const QByteArray &bytes)
{
    std::unique_ptr<QTextDocument> loaded = OffScreenDocument();
    bool damaged = false;
    RtfReader::read(bytes, loaded.get(), nullptr, &damaged);
    SetColours(0xFFFFFF, 0);
    TakeDocument(loaded.release());
    m_pane->setTextCursor(QTextCursor(m_pane->document()));
    return !damaged;
}

void NotesDocument::LoadPlainText(const QByteArray &bytes)
{
    QTextCharFormat format;
    format.setForeground(OleColor::toQColor(gBib1TC));
    if (gBib1Fontsize > 0)
        format.setFontPointSize(gBib1Fontsize);
    QString text = DecodePlainText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::unique_ptr<QTextDocument> loaded = OffScreenDocument();
    loaded->setUndoRedoEnabled(false);
    QTextCursor cursor(loaded.get());
    cursor.setBlockCharFormat(format);
    cursor.insertText(text, format);
    loaded->setUndoRedoEnabled(true);
    SetColours(gBib1BC, gBib1TC);
    TakeDocument(loaded.release());
    m_pane->setTextCursor(QTextCursor(m_pane->document()));
    m_pane->setCurrentCharFormat(format);
}

// An empty document as the shown one would be after clearing it: its default
// font (text without a font of its own takes it) and its page.
std::unique_ptr<QTextDocument> NotesDocument::OffScreenDocument() const
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(m_pane->document()->defaultFont());
    TakeShownPage(document.get());
    return document;
}

QString NotesDocument::DecodePlainText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return CodePage::decode(bytes.mid(3), CodePage::Utf8);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return CodePage::decode(bytes, CodePage::SystemAnsi);
}

void NotesDocument::ShowResult(QTextDocument *document, bool wrap)
{
    if (m_pane->document() != document) {
        LayOutResult(document, wrap);
        TakeDocument(document);
        const PageSettings::PaneLayout layout = PageSettings::PageLayoutOfSettings();
        m_pane->setRightMargin(!wrap ? WrapOffTwips : gFitToDesktop ? 0 : layout.rightMargin);
        emit replaced();
    }
    SetColours(gBib1BC, gBib1TC);
    m_pane->document()->setModified(false);
    SetTarget(QString(), false, Naming::Product, FileStamp());
}

// The pane shows the document and owns it; the one it showed goes. The pane
// frees only the document it made itself; the earlier ones are ours.
void NotesDocument::TakeDocument(QTextDocument *document)
{
    const QPointer<QTextDocument> previous(m_pane->document());
    document->setParent(m_pane);
    m_pane->setDocument(document);
    if (previous && previous->parent() == m_pane)
        delete previous;
}

// The new document takes the page of the one shown, so that the switch lays it
// out once, at the width it keeps.
void NotesDocument::TakeShownPage(QTextDocument *document) const
{
    const QTextDocument *shown = m_pane->document();
    document->setPageSize(shown->pageSize());
    document->setDocumentMargin(shown->documentMargin());
    document->setDefaultTextOption(shown->defaultTextOption());
}

QTextBlockFormat NotesDocument::ResultParagraphFormat(bool wrap) const
{
    const PageSettings::PaneLayout layout = PageSettings::PageLayoutOfSettings();
    QTextBlockFormat indent;
    indent.setLeftMargin(wrap && !gFitToDesktop ? std::max(0.0, layout.indent / Twips::perPixelX()) : 0.0);
    return indent;
}

// The page layout's indent goes onto the paragraphs while the document is off
// the screen: set on the shown text, it would lay the whole result out again. A
// result made with it (all its paragraphs share the format) has it already,
// unless the layout changed since.
void NotesDocument::LayOutResult(QTextDocument *document, bool wrap) const
{
    TakeShownPage(document);
    const QTextBlockFormat indent = ResultParagraphFormat(wrap);
    const auto margin = QTextFormat::BlockLeftMargin;
    if (document->lastBlock().blockFormat().property(margin) == indent.property(margin))
        return;
    QTextCursor whole(document);
    whole.select(QTextCursor::Document);
    whole.mergeBlockFormat(indent);
}

void NotesDocument::Empty(const QTextCharFormat &format)
{
    m_pane->clear();
    m_pane->setBackColor(gBib1BC);
    m_pane->setCurrentCharFormat(format);
    m_pane->document()->setModified(false);
    SetTarget(QString(), false, Naming::Untitled, FileStamp());
    emit replaced();
}

void NotesDocument::LayOut(bool wrap)
{
    if (wrap) {
        ApplyPageLayoutToWholeText(*m_pane);
        return;
    }
    WithWholeTextSelected(*m_pane, [this] {
        m_pane->setRightMargin(WrapOffTwips);
        m_pane->setPageIndent(0);
    });
}

void NotesDocument::UseDefaultFont(const QString &family, int pointSize)
{
    QFont font = m_pane->document()->defaultFont();
    font.setFamily(family);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    m_pane->document()->setDefaultFont(font);
}

void NotesDocument::Saved(const QString &name, const QByteArray &bytes)
{
    NotesRecovery::Discard();
    m_pane->document()->setModified(false);
    SetTarget(name, true, Naming::File, FileStamp::of(name, bytes));
}

void NotesDocument::CopySaved(const QString &name, const QByteArray &bytes)
{
    if (!sameFile(m_fileName, name))
        return;
    NotesRecovery::Discard();
    m_pane->document()->setModified(false);
    SetTarget(m_fileName, true, m_naming, FileStamp::of(name, bytes));
}

void NotesDocument::SavedAsBookmark(const QString &name, const QByteArray &bytes)
{
    NotesRecovery::Discard();
    m_pane->document()->setModified(false);
    SetTarget(name, true, Naming::FileAndProduct, FileStamp::of(name, bytes));
}

void NotesDocument::FileRenamed(const QString &from, const QString &to)
{
    if (sameFile(m_fileName, from))
        SetTarget(to, m_rtfFile, m_naming, m_stamp);
}

// The text on the screen is now the only copy of the deleted document: it is
// asked about before it is replaced or the program ends.
void NotesDocument::FileDeleted(const QString &name)
{
    if (!sameFile(m_fileName, name))
        return;
    m_pane->document()->setModified(true);
    SetTarget(QString(), false, Naming::Untitled, FileStamp());
}

bool NotesDocument::FileChangedOnDisk() const
{
    return !m_fileName.isEmpty() && m_stamp.changedOnDisk(m_fileName);
}

void NotesDocument::SetTarget(const QString &fileName, bool rtfFile, Naming naming, const FileStamp &stamp)
{
    m_fileName = fileName;
    m_rtfFile = rtfFile;
    m_naming = naming;
    m_stamp = stamp;
    emit captionChanged(Caption());
}
