#include "platform/TextDocument.h"

#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/TextRange.h"
#include "platform/TextSelection.h"

#include <QFileInfo>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

using namespace Tom;

namespace {
QString source()
{
    return QStringLiteral("Verbanox.TextDocument");
}

int formatOf(int flags)
{
    return flags & tomFormatMask;
}
int creationOf(int flags)
{
    return flags & tomCreationMask;
}

void requireKnownFormat(int format, const QString &path)
{
    if (format != 0 && format != tomRTF && format != tomText)
        raiseError(RtErr::InvalidProcedureCall, source(),
                   QStringLiteral("File format %1 is not supported (%2)").arg(format).arg(path));
}

QString decodePlain(const QByteArray &bytes, int codePage)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Bom))
        return CodePage::decode(bytes.mid(utf8Bom.size()), CodePage::Utf8);
    return CodePage::decode(bytes, codePage);
}

bool looksLikeRtf(const QByteArray &bytes)
{
    return bytes.trimmed().startsWith("{\\rtf");
}
} // namespace

TextDocument::TextDocument(QTextEdit *view)
    : QObject(view)
    , m_view(view)
{
}

TextDocument::TextDocument(QTextDocument *document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
}

TextDocument::~TextDocument()
{
    if (m_freezeCount > 0) {
        m_freezeCount = 1;
        Unfreeze();
    }
}

QTextDocument *TextDocument::document() const
{
    if (m_view)
        return m_view->document();
    return m_document;
}

QTextDocument *TextDocument::requireDocument() const
{
    QTextDocument *doc = document();
    if (!doc)
        raiseError(ObjectReleasedError, source(),
                   QStringLiteral("The text of this document no longer exists"));
    return doc;
}

std::shared_ptr<TextRange> TextDocument::Range(int start, int end) const
{
    return TextRange::create(requireDocument(), start, end);
}

std::shared_ptr<TextSelection> TextDocument::Selection() const
{
    if (!m_view)
        return nullptr;
    if (!m_selection)
        m_selection = TextSelection::create(m_view);
    return m_selection;
}

int TextDocument::StoryLength() const
{
    return requireDocument()->characterCount();
}

void TextDocument::replaceStory(const QTextDocument *rich, const QString &plain)
{
    QTextDocument *doc = requireDocument();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    // The paragraph left over keeps the formats of the old first paragraph.
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    if (rich)
        cursor.insertFragment(QTextDocumentFragment(rich));
    else
        cursor.insertText(plain, QTextCharFormat());
    cursor.endEditBlock();
    // A story read from a file has no history: Undo must not bring back what it replaced.
    doc->clearUndoRedoStacks();
    doc->setModified(false);
}

void TextDocument::Open(const QString &path, int flags, int codePage)
{
    requireDocument();
    int format = formatOf(flags);
    requireKnownFormat(format, path);
    const bool exists = QFileInfo(FileNames::resolve(path)).isFile();
    bool empty = false;
    switch (creationOf(flags)) {
    case 0:
    case tomOpenExisting:
        if (!exists)
            raiseFileNotFound(source(), path);
        break;
    case tomOpenAlways:
        empty = !exists;
        break;
    case tomCreateNew:
        if (exists)
            raiseError(58, source(), QStringLiteral("File already exists: %1").arg(path));
        empty = true;
        break;
    case tomCreateAlways:
        empty = true;
        break;
    case tomTruncateExisting:
        if (!exists)
            raiseError(RtErr::FileNotFound, source(), QStringLiteral("File not found: %1").arg(path));
        empty = true;
        break;
    default:
        raiseError(RtErr::InvalidProcedureCall, source(),
                   QStringLiteral("Invalid open mode %1 (%2)").arg(creationOf(flags), 0, 16).arg(path));
    }

    const QByteArray bytes = empty ? QByteArray() : TextFiles::readAll(path);
    if (format == 0)
        format = looksLikeRtf(bytes) ? tomRTF : tomText;
    if (format == tomRTF && !empty) {
        QTextDocument read;
        QString error;
        if (!RtfReader::read(bytes, &read, &error))
            raiseError(RtErr::InvalidProcedureCall, source(),
                       QStringLiteral("%1 is not an RTF file: %2").arg(path, error));
        replaceStory(&read, QString());
    } else {
        replaceStory(nullptr, decodePlain(bytes, codePage));
    }
    m_name = path;
    m_format = format;
}

void TextDocument::Save(const QString &path, int flags, int codePage)
{
    QTextDocument *doc = requireDocument();
    // An existing file is overwritten whatever the case of its name.
    const QString target = FileNames::resolve(path.isEmpty() ? m_name : path);
    if (target.isEmpty())
        raiseError(RtErr::BadFileNameOrNumber, source(),
                   QStringLiteral("The document has no file name to save to"));
    int format = formatOf(flags);
    requireKnownFormat(format, target);
    if (format == 0)
        format = m_format;
    if (creationOf(flags) == tomCreateNew && QFileInfo::exists(target))
        raiseError(58, source(), QStringLiteral("File already exists: %1").arg(target));

    QByteArray bytes;
    if (format == tomRTF) {
        bytes = RtfWriter::write(*doc);
    } else {
        QTextCursor all(doc);
        all.select(QTextCursor::Document);
        QString text = all.selectedText();
        text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
        text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        bytes = CodePage::encode(text, codePage);
    }
    TextFiles::writeAtomically(target, bytes);
    doc->setModified(false);
    m_name = target;
    m_format = format;
}

int TextDocument::Freeze()
{
    if (m_freezeCount++ == 0) {
        if (m_view)
            m_view->setUpdatesEnabled(false);
        // One edit block: the document announces its changes, and the view lays
        // them out, once at the end.
        if (QTextDocument *doc = document()) {
            m_freezeCursor = QTextCursor(doc);
            m_freezeCursor.beginEditBlock();
        }
    }
    return m_freezeCount;
}

int TextDocument::Unfreeze()
{
    if (m_freezeCount == 0)
        return 0;
    if (--m_freezeCount == 0) {
        if (!m_freezeCursor.isNull())
            m_freezeCursor.endEditBlock();
        m_freezeCursor = QTextCursor();
        if (m_view)
            m_view->setUpdatesEnabled(true);
    }
    return m_freezeCount;
}
