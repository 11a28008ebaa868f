#include "platform/RtfWriter.h"

#include "platform/CodePage.h"
#include "platform/Twips.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr int SoftLineLength = 78;  // break after a space from here on
constexpr int HardLineLength = 120; // break anywhere between tokens from here on

// The bytes of code page 1252 by character, taken from the code page itself.
const QHash<char16_t, uchar> &ansiBytes()
{
    static const QHash<char16_t, uchar> bytes = [] {
        QHash<char16_t, uchar> map;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString s = CodePage::decode(QByteArray(1, char(b)), CodePage::SystemAnsi);
            if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
                map.insert(s.at(0).unicode(), uchar(b));
        }
        return map;
    }();
    return bytes;
}

// RTF text with line breaks kept between tokens, where readers ignore them.
class RtfOutput
{
public:
    void word(std::string_view name)
    {
        beginToken(1 + name.size());
        m_out += '\\';
        m_out.append(name.data(), qsizetype(name.size()));
        m_lineLength += int(1 + name.size());
        m_afterWord = true;
    }
    void word(std::string_view name, int value)
    {
        const QByteArray number = QByteArray::number(value);
        beginToken(1 + name.size() + size_t(number.size()));
        m_out += '\\';
        m_out.append(name.data(), qsizetype(name.size()));
        m_out += number;
        m_lineLength += int(1 + name.size() + size_t(number.size()));
        m_afterWord = true;
    }
    // A token that needs no delimiter before or after it: a brace, \'hh, \uN?, \~ ...
    void token(std::string_view text)
    {
        beginToken(text.size());
        m_out.append(text.data(), qsizetype(text.size()));
        m_lineLength += int(text.size());
        m_afterWord = false;
    }
    // One printable ASCII character of text.
    void text(char c)
    {
        if (m_afterWord) {
            m_out += ' ';
            ++m_lineLength;
            m_afterWord = false;
        }
        beginToken(1);
        m_out += c;
        ++m_lineLength;
        if (c == ' ' && m_wrapAtSpaces && m_lineLength >= SoftLineLength)
            newLine();
    }
    void newLine()
    {
        if (m_lineLength == 0)
            return;
        // The line end closes a control word as a space would, and is then ignored.
        m_out += "\r\n";
        m_lineLength = 0;
        m_afterWord = false;
    }
    // Lines are broken at spaces of body text only; a break in a font name could make
    // a careless reader take it as part of the name.
    void setWrapAtSpaces(bool wrap) { m_wrapAtSpaces = wrap; }
    const QByteArray &bytes() const { return m_out; }

private:
    void beginToken(size_t length)
    {
        if (m_lineLength > 0 && m_lineLength + int(length) > HardLineLength)
            newLine();
    }

    QByteArray m_out;
    int m_lineLength = 0;
    bool m_afterWord = false;
    bool m_wrapAtSpaces = false;
};

void writeText(RtfOutput &out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}') {
                const char escaped[] = {'\\', char(c)};
                out.token(std::string_view(escaped, 2));
            } else {
                out.text(char(c));
            }
        } else if (c == u'\t') {
            out.word("tab");
        } else if (c == QChar::LineSeparator) {
            out.word("line");
        } else if (c == QChar::Nbsp) {
            out.token("\\~");
        } else if (c == QChar::SoftHyphen) {
            out.token("\\-");
        } else if (c == 0x2011) {
            out.token("\\_");
        } else if (c == QChar::ObjectReplacementCharacter || c < 0x20) {
            // An embedded object or a control character: no text that RTF could carry.
        } else if (const auto it = ansiBytes().constFind(c); it != ansiBytes().constEnd()) {
            static const char hex[] = "0123456789abcdef";
            const char escaped[] = {'\\', '\'', hex[*it >> 4], hex[*it & 0xF]};
            out.token(std::string_view(escaped, 4));
        } else {
            // \u takes a signed 16-bit number; "?" is for readers that do not know \u.
            const int n = c > 0x7FFF ? int(c) - 0x10000 : int(c);
            const QByteArray escaped = "\\u" + QByteArray::number(n) + '?';
            out.token(std::string_view(escaped.constData(), size_t(escaped.size())));
        }
    }
}

// What the writer writes of a character format, with fonts and colours as table indices.
struct RunProps
{
    int font = -1;
    int halfPoints = 0;
    int foreground = -1;
    int background = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QFont::Capitalization caps = QFont::MixedCase;
    QTextCharFormat::VerticalAlignment script = QTextCharFormat::AlignNormal;

    bool operator==(const RunProps &) const = default;
};

struct Run
{
    RunProps props;
    QString text;
};

struct Paragraph
{
    QTextBlockFormat format;
    // A list item: its list's style, the marker text of a numbered one, and the
    // indent that the list adds, in pixels.
    std::optional<QTextListFormat::Style> listStyle;
    QString listMarker;
    double listIndent = 0;
    RunProps mark; // written for an empty paragraph only
    std::vector<Run> runs;
};

constexpr int ListMarkerTwips = 360;

bool hasComplexScript(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) {
        const char16_t c = ch.unicode();
        return (c >= 0x0590 && c <= 0x08FF) || (c >= 0x0900 && c <= 0x109F) || (c >= 0x1780 && c <= 0x17FF) ||
               (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF);
    });
}

class DocumentWriter
{
public:
    explicit DocumentWriter(const QTextDocument &document);
    QByteArray write(int start, int end);

private:
    void collect(int start, int end);
    RunProps runProps(const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colorIndex(const QColor &color);
    void writeHeader();
    void writeParagraph(const Paragraph &paragraph);
    void writeIndents(const Paragraph &paragraph);
    void writeListMarker(const Paragraph &paragraph);
    void writeProps(const RunProps &props, bool complexScript);

    const QTextDocument &m_document;
    RtfOutput m_out;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    std::vector<Paragraph> m_paragraphs;
};

DocumentWriter::DocumentWriter(const QTextDocument &document)
    : m_document(document)
{
    // \deff0 names the document's own font, so that text without a font of its own
    // looks the same in a word processor.
    fontIndex(document.defaultFont().family());
}

QByteArray DocumentWriter::write(int start, int end)
{
    collect(start, end);
    writeHeader();
    m_out.setWrapAtSpaces(true);
    for (const Paragraph &paragraph : m_paragraphs)
        writeParagraph(paragraph);
    m_out.newLine();
    m_out.token("}");
    m_out.newLine();
    return m_out.bytes();
}

void DocumentWriter::collect(int start, int end)
{
    if (start >= end)
        return;
    // A paragraph that starts right at the end of the range is written, empty: the
    // range then ends with a paragraph break, and reading it back gives that break.
    for (QTextBlock block = m_document.findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        const int from = std::max(start, block.position());
        const int to = std::min(end, block.position() + block.length() - 1);
        Paragraph paragraph;
        paragraph.format = block.blockFormat();
        if (const QTextList *list = block.textList()) {
            paragraph.listStyle = list->format().style();
            paragraph.listMarker = list->itemText(block);
            paragraph.listIndent = list->format().indent() * m_document.indentWidth();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int fragmentStart = std::max(from, fragment.position());
            const int fragmentEnd = std::min(to, fragment.position() + fragment.length());
            if (fragmentStart >= fragmentEnd)
                continue;
            const RunProps props = runProps(fragment.charFormat());
            const QString text =
                fragment.text().mid(fragmentStart - fragment.position(), fragmentEnd - fragmentStart);
            if (!paragraph.runs.empty() && paragraph.runs.back().props == props)
                paragraph.runs.back().text += text;
            else
                paragraph.runs.push_back(Run{props, text});
        }
        if (paragraph.runs.empty())
            paragraph.mark = runProps(block.charFormat());
        m_paragraphs.push_back(std::move(paragraph));
    }
}

RunProps DocumentWriter::runProps(const QTextCharFormat &format)
{
    RunProps props;
    QString family;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        family = families.first();
    else if (format.hasProperty(QTextFormat::FontFamily))
        family = format.stringProperty(QTextFormat::FontFamily);
    if (!family.isEmpty())
        props.font = fontIndex(family);
    if (format.fontPointSize() > 0)
        props.halfPoints = std::max(1, int(std::lround(format.fontPointSize() * 2)));
    props.bold = format.fontWeight() >= QFont::DemiBold;
    props.italic = format.fontItalic();
    props.underline = format.fontUnderline();
    props.strike = format.fontStrikeOut();
    props.caps = format.fontCapitalization();
    props.script = format.verticalAlignment();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        props.foreground = colorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        props.background = colorIndex(format.background().color());
    return props;
}

int DocumentWriter::fontIndex(const QString &family)
{
    const auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.constEnd())
        return *it;
    m_fonts.append(family);
    return *m_fontIndex.insert(family, int(m_fonts.size() - 1));
}

int DocumentWriter::colorIndex(const QColor &color)
{
    const QRgb rgb = color.rgb() | 0xFF000000u; // RTF colours have no transparency
    const auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd())
        return *it;
    m_colors.append(rgb);
    // Entry 0 is the automatic colour.
    return *m_colorIndex.insert(rgb, int(m_colors.size()));
}

void DocumentWriter::writeHeader()
{
    m_out.token("{");
    m_out.word("rtf", 1);
    m_out.word("ansi");
    m_out.word("ansicpg", CodePage::SystemAnsi);
    m_out.word("deff", 0);
    m_out.newLine();
    m_out.token("{");
    m_out.word("fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out.token("{");
        m_out.word("f", int(i));
        m_out.word("fnil");
        m_out.word("fcharset", 0);
        // A ";" ends the name in the table and cannot be escaped.
        writeText(m_out, QString(m_fonts.at(i)).remove(u';'));
        m_out.token(";}");
    }
    m_out.token("}");
    m_out.newLine();
    m_out.token("{");
    m_out.word("colortbl");
    m_out.token(";");
    for (const QRgb color : std::as_const(m_colors)) {
        m_out.word("red", qRed(color));
        m_out.word("green", qGreen(color));
        m_out.word("blue", qBlue(color));
        m_out.token(";");
    }
    m_out.token("}");
    m_out.newLine();
    m_out.word("uc", 1);
}

void DocumentWriter::writeParagraph(const Paragraph &paragraph)
{
    m_out.newLine();
    m_out.word("pard");
    const QTextBlockFormat &format = paragraph.format;
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        m_out.word("qc");
    else if (alignment & Qt::AlignRight)
        m_out.word("qr");
    else if (alignment & Qt::AlignJustify)
        m_out.word("qj");
    if (format.layoutDirection() == Qt::RightToLeft)
        m_out.word("rtlpar");
    writeIndents(paragraph);
    writeListMarker(paragraph);
    // Formatted text goes in a group of its own, so the state outside stays the default
    // one. Some readers also expect \super and \sub to end with their group.
    for (const Run &run : paragraph.runs) {
        if (run.props == RunProps()) {
            writeText(m_out, run.text);
        } else {
            m_out.token("{");
            writeProps(run.props, hasComplexScript(run.text));
            writeText(m_out, run.text);
            m_out.token("}");
        }
    }
    // The mark of an empty paragraph carries the format that its line is shown in.
    if (paragraph.runs.empty() && !(paragraph.mark == RunProps())) {
        m_out.token("{");
        writeProps(paragraph.mark, false);
        m_out.word("par");
        m_out.token("}");
    } else {
        m_out.word("par");
    }
}

void DocumentWriter::writeIndents(const Paragraph &paragraph)
{
    const QTextBlockFormat &format = paragraph.format;
    const auto twips = [](double pixels, double perPixel) { return int(std::lround(pixels * perPixel)); };
    int left = twips(format.leftMargin() + format.indent() * m_document.indentWidth() + paragraph.listIndent,
                     Twips::perPixelX());
    int firstLine = twips(format.textIndent(), Twips::perPixelX());
    // The marker of a list item hangs left of the text, in the space the list leaves.
    if (paragraph.listStyle) {
        left = std::max(left, ListMarkerTwips);
        firstLine = -ListMarkerTwips;
    }
    const std::pair<const char *, int> indents[] = {
        {"li", left},
        {"ri", twips(format.rightMargin(), Twips::perPixelX())},
        {"fi", firstLine},
        {"sb", twips(format.topMargin(), Twips::perPixelY())},
        {"sa", twips(format.bottomMargin(), Twips::perPixelY())},
    };
    for (const auto &[name, value] : indents) {
        if (value != 0)
            m_out.word(name, value);
    }
}

// The marker as text for readers that know no lists (\pntext), then the list
// itself (\pn), as word processors have written bullets and numbers for long.
void DocumentWriter::writeListMarker(const Paragraph &paragraph)
{
    if (!paragraph.listStyle)
        return;
    const char *numbering = nullptr;
    switch (*paragraph.listStyle) {
    case QTextListFormat::ListDecimal:
        numbering = "pndec";
        break;
    case QTextListFormat::ListLowerAlpha:
        numbering = "pnlcltr";
        break;
    case QTextListFormat::ListUpperAlpha:
        numbering = "pnucltr";
        break;
    case QTextListFormat::ListLowerRoman:
        numbering = "pnlcrm";
        break;
    case QTextListFormat::ListUpperRoman:
        numbering = "pnucrm";
        break;
    default:
        break;
    }
    m_out.token("{");
    m_out.word("pntext");
    writeText(m_out, numbering ? paragraph.listMarker : QString(QChar(0x2022)));
    m_out.word("tab");
    m_out.token("}{\\*");
    m_out.word("pn");
    if (numbering) {
        m_out.word("pnlvlbody");
        m_out.word(numbering);
        m_out.word("pnstart", 1);
    } else {
        m_out.word("pnlvlblt");
    }
    m_out.word("pnindent", ListMarkerTwips);
    m_out.token("{");
    if (numbering) {
        m_out.word("pntxta");
        m_out.text('.');
    } else {
        m_out.word("pntxtb");
        writeText(m_out, QString(QChar(0x2022)));
    }
    m_out.token("}}");
}

// Bold, italic, size and font of Hebrew, Arabic and other complex-script text are
// their associated forms (\ab, \ai, \afs, \af): word processors take those for it,
// after \rtlch; \ltrch then leads to the forms for all other text.
void DocumentWriter::writeProps(const RunProps &props, bool complexScript)
{
    if (complexScript && (props.font >= 0 || props.halfPoints > 0 || props.bold || props.italic)) {
        m_out.word("rtlch");
        if (props.font >= 0)
            m_out.word("af", props.font);
        if (props.halfPoints > 0)
            m_out.word("afs", props.halfPoints);
        if (props.bold)
            m_out.word("ab");
        if (props.italic)
            m_out.word("ai");
        m_out.word("ltrch");
    }
    if (props.font >= 0)
        m_out.word("f", props.font);
    if (props.halfPoints > 0)
        m_out.word("fs", props.halfPoints);
    if (props.bold)
        m_out.word("b");
    if (props.italic)
        m_out.word("i");
    if (props.underline)
        m_out.word("ul");
    if (props.strike)
        m_out.word("strike");
    if (props.caps == QFont::SmallCaps)
        m_out.word("scaps");
    else if (props.caps == QFont::AllUppercase)
        m_out.word("caps");
    if (props.script == QTextCharFormat::AlignSuperScript)
        m_out.word("super");
    else if (props.script == QTextCharFormat::AlignSubScript)
        m_out.word("sub");
    if (props.foreground > 0)
        m_out.word("cf", props.foreground);
    // Word shows \chcbpat but not \cb; other readers take either.
    if (props.background > 0)
        m_out.word("chcbpat", props.background);
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document, int start, int end)
{
    // The last position is the end of the last paragraph, which has no break character.
    const int last = std::max(0, document.characterCount() - 1);
    if (end < 0 || end > last)
        end = last;
    start = std::clamp(start, 0, end);
    return DocumentWriter(document).write(start, end);
}
