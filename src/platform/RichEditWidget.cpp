#include "platform/RichEditWidget.h"

#include "abi/VxHelpersAbi.h"
#include "platform/OleColor.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/TextDocument.h"
#include "platform/Twips.h"

#include <QMimeData>
#include <QTextDocumentFragment>

namespace {
// Names under which RTF travels through the clipboard and drag and drop.
const QStringList &rtfMimeTypes()
{
    static const QStringList types{QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};
    return types;
}
} // namespace

RichEditWidget::RichEditWidget(QWidget *parent)
    : QTextEdit(parent)
    , m_textDocument(new TextDocument(this))
{
    setObjectName(QString::fromLatin1(VxAbi::RichEditWindowText));
    setWindowTitle(QString::fromLatin1(VxAbi::RichEditWindowText));
    setAcceptRichText(true);
}

RichEditWidget::~RichEditWidget()
{
    // Gone before the editor part of this window, which it may still touch.
    delete m_textDocument;
}

void RichEditWidget::registerClass()
{
    qRegisterMetaType<RichEditWidget *>(VxAbi::RichEditClassName);
}

QObject *RichEditWidget::oleInterface() const
{
    return m_textDocument;
}

void RichEditWidget::setBackgroundColor(quint32 colour, bool useSystemColour)
{
    if (useSystemColour) {
        // An empty palette inherits every role, so the colour follows the system's.
        setPalette(QPalette());
        return;
    }
    QPalette palette;
    palette.setColor(QPalette::Base, OleColor::toQColor(colour));
    setPalette(palette);
}

QColor RichEditWidget::backgroundColor() const
{
    return viewport()->palette().color(viewport()->backgroundRole());
}

void RichEditWidget::setWrapWidth(int twips)
{
    m_wrapTwips = qMax(0, twips);
    if (m_wrapTwips == 0) {
        setLineWrapMode(QTextEdit::WidgetWidth);
    } else if (m_wrapTwips >= NoWrapTwips) {
        setLineWrapMode(QTextEdit::NoWrap);
    } else {
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(qMax(1, Twips::toPixelsX(m_wrapTwips)));
    }
}

bool RichEditWidget::canInsertFromMimeData(const QMimeData *source) const
{
    for (const QString &type : rtfMimeTypes()) {
        if (source->hasFormat(type))
            return true;
    }
    return QTextEdit::canInsertFromMimeData(source);
}

void RichEditWidget::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly())
        return;
    for (const QString &type : rtfMimeTypes()) {
        if (!source->hasFormat(type))
            continue;
        QTextDocument pasted;
        if (!RtfReader::read(source->data(type), &pasted))
            break;
        QTextCursor cursor = textCursor();
        cursor.insertFragment(QTextDocumentFragment(&pasted));
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

QMimeData *RichEditWidget::createMimeDataFromSelection() const
{
    // Qt's own selection data lists a fixed set of formats, so RTF cannot be added to it.
    const QTextCursor cursor = textCursor();
    const QTextDocumentFragment fragment(cursor);
    auto *data = new QMimeData;
    data->setText(fragment.toPlainText());
    data->setHtml(fragment.toHtml());
    if (cursor.hasSelection())
        data->setData(rtfMimeTypes().first(),
                      RtfWriter::write(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}
