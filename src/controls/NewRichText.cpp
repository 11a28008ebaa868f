#include "controls/NewRichText.h"

#include "abi/VxHelpersAbi.h"
#include "controls/RichTextHelpers_.h"
#include "controls/WinApi_.h"
#include "core/Bug_.h"
#include "core/WinApi_New_.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/RichEditWidget.h"
#include "platform/TextDocument.h"
#include "platform/TextFont.h"
#include "platform/TextPara.h"
#include "platform/TextRange.h"
#include "platform/TextSelection.h"
#include "platform/Tom.h"
#include "platform/VbConvert.h"

#include <QHash>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdlib>

Q_DECLARE_METATYPE(std::shared_ptr<TextFont>)

namespace {
constexpr int WholeStory = 0x7FFFFFFF;

int markerMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= VxAbi::ShiftMaskShift;
    if (modifiers & Qt::ControlModifier)
        mask |= VxAbi::ShiftMaskCtrl;
    if (modifiers & Qt::AltModifier)
        mask |= VxAbi::ShiftMaskAlt;
    return mask;
}

QString straightQuotes(QString text)
{
    for (QChar &c : text) {
        if (c == QChar(0x2018) || c == QChar(0x2019))
            c = QLatin1Char('\'');
        else if (c == QChar(0x201C) || c == QChar(0x201D))
            c = QLatin1Char('"');
    }
    return text;
}

// The mouse buttons held, as the events report a button: 1 left, 2 right, 4 middle.
int heldButtons(quintptr keyState)
{
    int buttons = 0;
    if (keyState & VxAbi::MK_LBUTTON)
        buttons |= 1;
    if (keyState & VxAbi::MK_RBUTTON)
        buttons |= 2;
    if (keyState & VxAbi::MK_MBUTTON)
        buttons |= 4;
    return buttons;
}
} // namespace

NewRichText::NewRichText(QWidget *parent)
    : QWidget(parent)
{
    TrapErrors(QStringLiteral("NewRichText.UserControl_Initialize()"), [&] {
        m_rtfFormat = WinApi_New_::RegisterClipboardFormat(QString::fromLatin1(VxAbi::RtfFormatName));
        RichTextHelpers_::LoadRichEditLibraries();
        void *document = nullptr;
        const VxAbi::HWND window = RichTextHelpers_::exports().CreateRtfWindow(
            this, reinterpret_cast<VxAbi::HWND>(static_cast<QWidget *>(this)), &document);
        m_window = qobject_cast<RichEditWidget *>(reinterpret_cast<QWidget *>(window));
        m_document = qobject_cast<TextDocument *>(static_cast<QObject *>(document));
        if (m_window)
            m_window->setEventMask(VxAbi::ENM_CHANGE | VxAbi::ENM_SELCHANGE | VxAbi::ENM_KEYEVENTS |
                                   VxAbi::ENM_MOUSEEVENTS);
        if (m_document) {
            AddNamedStyle(QStringLiteral("normal"), QStringLiteral("Arial Unicode MS,10,bipcut"));
            setText(QString());
        }
    });
}

NewRichText::~NewRichText() = default;

TextDocument *NewRichText::requireDocument() const
{
    if (!m_document)
        raiseError(
            RtErr::ObjectNotSet, QStringLiteral("Verbanox.NewRichText"),
            QStringLiteral("The reading pane has no text window (the helper library could not make one)."));
    return m_document;
}

std::shared_ptr<TextFont> NewRichText::GetNamedStyle(const QString &name) const
{
    return m_styles.FindByKey(name).value<std::shared_ptr<TextFont>>();
}

std::shared_ptr<TextFont> NewRichText::AddNamedStyle(const QString &name, const QString &spec,
                                                     std::shared_ptr<TextFont> font)
{
    const QStringList fields = (spec + QStringLiteral(",,,")).split(QLatin1Char(','));
    if (!font) {
        const auto first = m_styles.FindValueByIndex(0).value<std::shared_ptr<TextFont>>();
        font = first ? first->Duplicate() : Selection()->Font()->Duplicate();
    }
    if (!fields[0].isEmpty())
        font->setName(fields[0]);
    if (!fields[1].isEmpty() && VbConvert::val(fields[1]) > 0)
        font->setSize(float(VbConvert::val(fields[1])));
    for (const QChar c : fields[2]) {
        const int value = c.isUpper() ? Tom::tomTrue : Tom::tomFalse;
        switch (c.toUpper().unicode()) {
        case u'B':
            font->setBold(value);
            break;
        case u'I':
            font->setItalic(value);
            break;
        case u'P':
            font->setSuperscript(value);
            break;
        case u'C':
            font->setSmallCaps(value);
            break;
        case u'U':
            font->setUnderline(value);
            break;
        case u'T':
            font->setStrikeThrough(value);
            break;
        default:
            break;
        }
    }
    m_styles.AddOrSet(name, QVariant::fromValue(font));
    return font;
}

std::shared_ptr<TextRange> NewRichText::EndOfStory() const
{
    return requireDocument()->Range(WholeStory, WholeStory);
}

void NewRichText::AppendFormattedText(const QString &text, const QString &style)
{
    // Appended through a range of its own at the end, so that filling a book does
    // not move the visible selection (and announce it) at every append.
    std::shared_ptr<TextRange> end = EndOfStory();
    if (std::shared_ptr<TextFont> font = GetNamedStyle(style))
        end->setFont(*font);
    end->setText(text);
    if (m_fillDepth == 0)
        SetSelection(end->End(), 0);
}

void NewRichText::AppendPlainText(const QString &text)
{
    AppendFormattedText(text, QString());
}

void NewRichText::AppendRuns(const std::vector<StyledRun> &runs)
{
    if (runs.empty())
        return;
    QTextDocument *document = requireDocument()->document();
    QHash<QString, std::shared_ptr<TextFont>> fonts;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // Each run takes the format of the text before it with its style's values set
    // over it, exactly as AppendFormattedText formats one append.
    QTextCharFormat format = cursor.charFormat();
    cursor.beginEditBlock();
    for (const StyledRun &run : runs) {
        if (run.text.isEmpty())
            continue; // an empty append leaves no trace, not even its format
        if (!run.style.isEmpty()) {
            auto font = fonts.constFind(run.style);
            if (font == fonts.constEnd())
                font = fonts.insert(run.style, GetNamedStyle(run.style));
            if (*font)
                (*font)->ApplyTo(format);
        }
        QString text = run.text;
        text.replace(QLatin1Char('\v'), QChar::LineSeparator);
        // The text now at the end carries the format, so the next run starts from it.
        cursor.insertText(text, format);
    }
    cursor.endEditBlock();
    if (m_fillDepth == 0)
        SetSelection(cursor.position(), 0);
}

QString NewRichText::Text() const
{
    return requireDocument()->Range(0, WholeStory)->Text();
}

void NewRichText::setText(const QString &text)
{
    TextDocument *document = requireDocument();
    // Replacing a long text would otherwise lay the old one out first.
    const bool defer = m_fillDepth == 0;
    if (defer)
        DeferLayout();
    const auto resume = qScopeGuard([&] {
        if (defer)
            ResumeLayout();
    });
    document->Range(0, WholeStory)->setText(text);
}

std::shared_ptr<TextSelection> NewRichText::Selection() const
{
    return requireDocument()->Selection();
}

int NewRichText::SelAlignment() const
{
    return Selection()->Para()->Alignment();
}
void NewRichText::setSelAlignment(int value)
{
    Selection()->Para()->setAlignment(value);
}
int NewRichText::SelBold() const
{
    return Selection()->Font()->Bold();
}
void NewRichText::setSelBold(int value)
{
    Selection()->Font()->setBold(value);
}
int NewRichText::SelItalic() const
{
    return Selection()->Font()->Italic();
}
void NewRichText::setSelItalic(int value)
{
    Selection()->Font()->setItalic(value);
}
int NewRichText::SelUnderline() const
{
    return Selection()->Font()->Underline();
}
void NewRichText::setSelUnderline(int value)
{
    Selection()->Font()->setUnderline(value);
}
int NewRichText::SelColor() const
{
    return Selection()->Font()->ForeColor();
}
void NewRichText::setSelColor(int value)
{
    Selection()->Font()->setForeColor(value);
}
QString NewRichText::SelFontName() const
{
    return Selection()->Font()->Name();
}
void NewRichText::setSelFontName(const QString &value)
{
    Selection()->Font()->setName(value);
}
float NewRichText::SelFontSize() const
{
    return Selection()->Font()->Size();
}
void NewRichText::setSelFontSize(float value)
{
    Selection()->Font()->setSize(value);
}
float NewRichText::SelIndent() const
{
    return Selection()->Para()->LeftIndent();
}
void NewRichText::setSelIndent(float) {}

int NewRichText::RightMargin() const
{
    return m_window ? m_window->wrapWidth() : 0;
}

void NewRichText::setRightMargin(int twips)
{
    if (m_window)
        m_window->setWrapWidth(twips);
}

std::shared_ptr<TextFont> NewRichText::Font() const
{
    return requireDocument()->Range(0, WholeStory)->Font();
}

void NewRichText::setFont(const TextFont &font)
{
    requireDocument()->Range(0, WholeStory)->setFont(font);
}

int NewRichText::SelStart() const
{
    return Selection()->Start();
}
void NewRichText::setSelStart(int value)
{
    Selection()->setStart(value);
}
int NewRichText::SelLength() const
{
    return Selection()->End() - Selection()->Start();
}
void NewRichText::setSelLength(int value)
{
    Selection()->setEnd(Selection()->Start() + value);
}
QString NewRichText::SelText() const
{
    return Selection()->Text();
}
void NewRichText::setSelText(const QString &text)
{
    Selection()->setText(text);
}

std::shared_ptr<TextRange> NewRichText::Range(int start, int end) const
{
    return requireDocument()->Range(start, end);
}

void NewRichText::setBackColor(quint32 colour)
{
    IgnoreErrors([&] {
        if (!m_window)
            return;
        if (colour == 0x80000005u) {
            m_backColor = colour;
            m_window->setBackgroundColor(colour, true);
        } else {
            m_backColor = WinApi_New_::TranslateColor(colour);
            m_window->setBackgroundColor(m_backColor, false);
        }
    });
}

int NewRichText::Find(const QString &text, int start)
{
    if (text.isEmpty())
        return 0;
    // The pane shows typographic quotes where the reader types straight ones, so
    // both sides are compared with their quotes straightened (one character for
    // one, so positions stay), and without regard to case as the model's search.
    std::shared_ptr<TextRange> range = Range(std::max(start, 1) - 1, WholeStory);
    const qsizetype at = straightQuotes(range->Text()).indexOf(straightQuotes(text), 0, Qt::CaseInsensitive);
    if (at < 0)
        return 0;
    const int found = range->Start() + int(at);
    Selection()->SetRange(found, found + int(text.size()));
    return found + 1;
}

void NewRichText::SaveFile(const QString &path, int flags)
{
    requireDocument()->Save(path, flags, 0);
}

void NewRichText::LoadFile(const QString &path, int flags)
{
    requireDocument()->Open(path, flags, 0);
}

void NewRichText::SelPrint()
{
    desktop().messageBox(QStringLiteral("Feature no longer supported. (RichText.SelPrint)"),
                         MsgBoxStyle::OKOnly, QStringLiteral("Verbanox"));
}

QString NewRichText::ReadRangeRtf(const std::shared_ptr<TextRange> &range) const
{
    const QByteArray bytes = range->Copy();
    const qsizetype nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

QString NewRichText::SelRtf() const
{
    return ReadRangeRtf(Selection());
}
void NewRichText::setSelRtf(const QString &rtf)
{
    SetRtf(rtf, Selection());
}
QString NewRichText::TextRTF() const
{
    return ReadRangeRtf(Range(0, WholeStory));
}
void NewRichText::setTextRTF(const QString &rtf)
{
    SetRtf(rtf, Range(0, WholeStory));
}

void NewRichText::SetRtf(const QString &rtf, const std::shared_ptr<TextRange> &range)
{
    // The text travels through the helper library's data object, as a paste does.
    const QByteArray bytes = CodePage::encode(rtf, CodePage::SystemAnsi);
    const RichTextHelpers_::Exports &library = RichTextHelpers_::exports();
    VxAbi::DataObject *object = nullptr;
    if (library.GetDataObject(bytes.constData(), quint32(bytes.size()), &object) != VxAbi::S_OK || !object)
        raiseError(RtErr::InternalError, QStringLiteral("Verbanox.NewRichText"),
                   QStringLiteral("The helper library could not take the RTF text."));
    VxAbi::Medium medium{};
    const VxAbi::HRESULT got = object->GetData(object, m_rtfFormat, &medium);
    library.ClearDataObject();
    if (got != VxAbi::S_OK)
        raiseError(RtErr::InternalError, QStringLiteral("Verbanox.NewRichText"),
                   QStringLiteral("The helper library could not hand out the RTF text."));
    const QByteArray pasted(static_cast<const char *>(medium.block), qsizetype(medium.size));
    std::free(medium.block);
    range->Paste(pasted);
}

void NewRichText::BeginFill()
{
    if (m_fillDepth++ > 0 || !m_document)
        return;
    WinApi_::ModifyWindowStyle(m_window, 0xEFFFFFFFu, 0, false);
    DeferLayout();
}

void NewRichText::EndFill()
{
    if (m_fillDepth == 0 || --m_fillDepth > 0 || !m_document)
        return;
    ResumeLayout();
    WinApi_::ShowWindowDefault(m_window);
}

void NewRichText::DeferLayout()
{
    m_document->Freeze();
    // Without a page size the document does not lay out what changes, and no
    // cursor placed while the text changes lays it out up to its position.
    if (QTextDocument *document = m_document->document()) {
        m_pageSize = document->pageSize();
        document->setPageSize(QSizeF(0, 0));
    }
}

void NewRichText::ResumeLayout()
{
    m_document->Unfreeze();
    // The page size back: the whole text is laid out afresh from the top, in
    // steps, as a newly loaded document is, so a long book shows at once.
    if (QTextDocument *document = m_document->document())
        document->setPageSize(m_pageSize);
}

void NewRichText::SetSelection(int start, int length)
{
    Selection()->SetRange(start, start + length);
}

void NewRichText::SmartQuotes(QString &text, const QString &quotes)
{
    RichTextHelpers_::SmartQuotes(text, quotes);
}

void NewRichText::FixSpacesAndDashes(QString &text)
{
    RichTextHelpers_::FixSpacesAndDashes(text);
}

bool NewRichText::event(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::MiddleButton) {
            // Only the library's marker means something here; other middle-button
            // releases on the control itself are ignored.
            if (mouse->position().toPoint() == QPoint(VxAbi::MarkerX, VxAbi::MarkerY))
                Relay(markerMask(mouse->modifiers()));
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void NewRichText::Relay(int modifierMask)
{
    const RichTextHelpers_::Exports &library = RichTextHelpers_::exports();
    VxAbi::HWND hwndFrom = 0;
    quint32 code = 0, msg = 0;
    VxAbi::WPARAM wParam = 0;
    VxAbi::LPARAM lParam = 0;
    if (library.GetMsgInfo(&hwndFrom, &code, &msg, &wParam, &lParam) != VxAbi::S_OK)
        return;
    if (code == VxAbi::EN_CHANGE)
        Q_EMIT Change();
    else if (code == VxAbi::EN_SELCHANGE)
        Q_EMIT SelChange();
    if (code == VxAbi::EN_MSGFILTER)
        RelayMessageFilter(hwndFrom, code, msg, wParam, lParam, modifierMask);
}

void NewRichText::RelayMessageFilter(quintptr hwndFrom, quint32 code, quint32 msg, quintptr wParam,
                                     qintptr lParam, int modifierMask)
{
    const RichTextHelpers_::Exports &library = RichTextHelpers_::exports();
    library.SetMsgRetVal(hwndFrom, code, msg, 0);
    if (msg == VxAbi::WM_KEYDOWN || msg == VxAbi::WM_KEYUP) {
        const int original = int(wParam & 0xFFFF);
        int keyCode = original;
        int shift = modifierMask;
        if (msg == VxAbi::WM_KEYDOWN)
            Q_EMIT KeyDown(keyCode, shift);
        else
            Q_EMIT KeyUp(keyCode, shift);
        if (keyCode == original)
            library.SetMsgInfo(hwndFrom, code, msg, wParam, lParam, 0);
        else if (keyCode == 0)
            library.SetMsgInfo(hwndFrom, code, msg, 0, lParam, 1);
        else
            library.SetMsgInfo(hwndFrom, code, msg, VxAbi::WPARAM(keyCode), lParam, 0);
        return;
    }
    const float x = float(qint16(lParam & 0xFFFF));
    const float y = float(qint16((lParam >> 16) & 0xFFFF));
    const int keyState = int(wParam & 0xFFFF);
    switch (msg) {
    case VxAbi::WM_MOUSEMOVE:
        Q_EMIT MouseMove(heldButtons(wParam), keyState, x, y);
        break;
    case VxAbi::WM_LBUTTONDOWN:
        Q_EMIT MouseDown(1, keyState, x, y);
        break;
    case VxAbi::WM_LBUTTONUP:
        Q_EMIT MouseUp(1, keyState, x, y);
        Q_EMIT Click();
        break;
    case VxAbi::WM_RBUTTONDOWN:
        Q_EMIT MouseDown(2, keyState, x, y);
        break;
    case VxAbi::WM_RBUTTONUP:
        Q_EMIT MouseUp(2, keyState, x, y);
        break;
    case VxAbi::WM_MBUTTONDOWN:
        Q_EMIT MouseDown(4, keyState, x, y);
        break;
    case VxAbi::WM_MBUTTONUP:
        Q_EMIT MouseUp(4, keyState, x, y);
        break;
    default:
        break;
    }
}

void NewRichText::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_window)
        WinApi_::SetWindowPosition(m_window, static_cast<QWidget *>(nullptr), 0, 0, width(), height(),
                                   WinApi_::SWP_SHOWWINDOW);
}
