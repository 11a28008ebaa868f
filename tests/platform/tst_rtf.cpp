#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/Twips.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <QtTest>
#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(std::shared_ptr<QTextDocument>)

namespace {

template <size_t N> QByteArray raw(const char (&bytes)[N])
{
    return QByteArray(bytes, N - 1);
}

QStringList paragraphs(const QTextDocument &document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts;
}

std::unique_ptr<QTextDocument> readRtf(const QByteArray &rtf)
{
    auto document = std::make_unique<QTextDocument>();
    QString error;
    if (!RtfReader::read(rtf, document.get(), &error))
        qWarning("read failed: %s", qPrintable(error));
    return document;
}

QByteArray sample(const QString &name)
{
    QFile file(QStringLiteral(VX_SOURCE_DIR "/tests/platform/rtf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

// The format of the character at a document position.
QTextCharFormat formatAt(const QTextDocument &document, int position)
{
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position >= fragment.position() && position < fragment.position() + fragment.length())
            return fragment.charFormat();
    }
    return QTextCharFormat();
}

// The format of the first character of `text` in the document, or of the character
// `offset` after it.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text, int offset = 0)
{
    const int at = int(document.toRawText().indexOf(text));
    if (at < 0)
        qWarning("text not found: %s", qPrintable(text));
    return formatAt(document, at + offset);
}

QString family(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

QColor colorOf(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

// The character properties the reader and writer carry, by name.
QVariantMap charProps(const QTextCharFormat &format)
{
    return {
        {"family", family(format)},
        {"size", format.fontPointSize()},
        {"bold", format.fontWeight() >= QFont::DemiBold},
        {"italic", format.fontItalic()},
        {"underline", format.fontUnderline()},
        {"strike", format.fontStrikeOut()},
        {"caps", int(format.fontCapitalization())},
        {"script", int(format.verticalAlignment())},
        {"fg", colorOf(format.foreground())},
        {"bg", colorOf(format.background())},
    };
}

int twipsX(double pixels)
{
    return int(std::lround(pixels * Twips::perPixelX()));
}
int twipsY(double pixels)
{
    return int(std::lround(pixels * Twips::perPixelY()));
}

// Alignment, indents in twips and right-to-left, as the paragraph properties RTF carries.
QList<int> paraProps(const QTextBlockFormat &format)
{
    return {int(format.alignment() & Qt::AlignHorizontal_Mask),
            twipsX(format.leftMargin()),
            twipsX(format.rightMargin()),
            twipsX(format.textIndent()),
            twipsY(format.topMargin()),
            twipsY(format.bottomMargin()),
            format.layoutDirection() == Qt::RightToLeft};
}

// Compares text, paragraph properties and every character's properties.
void compareDocuments(const QTextDocument &actual, const QTextDocument &expected)
{
    QCOMPARE(paragraphs(actual), paragraphs(expected));
    for (QTextBlock a = actual.begin(), e = expected.begin(); a.isValid(); a = a.next(), e = e.next()) {
        QCOMPARE(paraProps(a.blockFormat()), paraProps(e.blockFormat()));
        // An empty paragraph's line is shown in the format of its mark.
        if (a.length() == 1)
            QCOMPARE(charProps(a.charFormat()), charProps(e.charFormat()));
        for (int i = 0; i < a.length() - 1; ++i) {
            const QVariantMap got = charProps(formatAt(actual, a.position() + i));
            const QVariantMap want = charProps(formatAt(expected, e.position() + i));
            if (got != want) {
                for (auto it = want.cbegin(); it != want.cend(); ++it)
                    QVERIFY2(got.value(it.key()) == it.value(),
                             qPrintable(
                                 QStringLiteral("paragraph %1 char %2 (%3): %4 is %5, expected %6")
                                     .arg(a.blockNumber())
                                     .arg(i)
                                     .arg(a.text().at(i))
                                     .arg(it.key(), got.value(it.key()).toString(), it.value().toString())));
            }
        }
    }
}

// Builds a document from paragraphs of runs.
class DocumentBuilder
{
public:
    DocumentBuilder()
        : m_cursor(&m_document)
    {
    }
    DocumentBuilder &paragraph(const QTextBlockFormat &format = QTextBlockFormat())
    {
        if (m_started)
            m_cursor.insertBlock(format);
        else
            m_cursor.setBlockFormat(format);
        m_started = true;
        return *this;
    }
    DocumentBuilder &run(const QString &text, const QTextCharFormat &format = QTextCharFormat())
    {
        m_cursor.insertText(text, format);
        return *this;
    }
    QTextDocument &document() { return m_document; }

private:
    QTextDocument m_document;
    QTextCursor m_cursor;
    bool m_started = false;
};

QTextCharFormat fmt(std::initializer_list<std::pair<const char *, QVariant>> props)
{
    QTextCharFormat f;
    for (const auto &[key, value] : props) {
        const QByteArray k(key);
        if (k == "family")
            f.setFontFamilies({value.toString()});
        else if (k == "size")
            f.setFontPointSize(value.toDouble());
        else if (k == "bold")
            f.setFontWeight(QFont::Bold);
        else if (k == "italic")
            f.setFontItalic(true);
        else if (k == "underline")
            f.setFontUnderline(true);
        else if (k == "strike")
            f.setFontStrikeOut(true);
        else if (k == "caps")
            f.setFontCapitalization(QFont::Capitalization(value.toInt()));
        else if (k == "script")
            f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(value.toInt()));
        else if (k == "fg")
            f.setForeground(value.value<QColor>());
        else if (k == "bg")
            f.setBackground(value.value<QColor>());
    }
    return f;
}

QTextBlockFormat para(Qt::Alignment alignment, double left = 0, double right = 0, double first = 0,
                      double before = 0, double after = 0)
{
    QTextBlockFormat f;
    f.setAlignment(alignment);
    f.setLeftMargin(left);
    f.setRightMargin(right);
    f.setTextIndent(first);
    f.setTopMargin(before);
    f.setBottomMargin(after);
    return f;
}

// 50 px is 750 twips at 96 dpi; any other screen still converts both ways alike.
std::shared_ptr<QTextDocument> formattedDocument()
{
    auto builder = std::make_shared<DocumentBuilder>();
    const QColor red(200, 10, 20), green(0, 128, 0), yellow(255, 255, 0);
    builder->paragraph(para(Qt::AlignHCenter, 0, 0, 0, 8, 16))
        .run("Title", fmt({{"family", "DejaVu Serif"}, {"size", 20.0}, {"bold", true}}));
    builder->paragraph(para(Qt::AlignJustify, 48, 24, -24))
        .run("In the ")
        .run("beginning", fmt({{"italic", true}}))
        .run(" was ")
        .run("the Word", fmt({{"bold", true}, {"italic", true}, {"fg", red}}))
        .run(", and ", fmt({{"size", 10.5}}))
        .run("under", fmt({{"underline", true}}))
        .run("struck", fmt({{"strike", true}, {"bg", yellow}}))
        .run("Small Caps", fmt({{"caps", int(QFont::SmallCaps)}}))
        .run("ALL", fmt({{"caps", int(QFont::AllUppercase)}}))
        .run("x")
        .run("2", fmt({{"script", int(QTextCharFormat::AlignSuperScript)}}))
        .run("H")
        .run("2", fmt({{"script", int(QTextCharFormat::AlignSubScript)}, {"fg", green}}))
        .run("O", fmt({{"family", "Liberation Sans"}, {"size", 9.0}}));
    builder->paragraph(para(Qt::AlignRight)).run("Right aligned", fmt({{"fg", green}}));
    builder->paragraph(para(Qt::AlignLeft, 0, 0, 0, 0, 12));
    builder->paragraph(para(Qt::AlignLeft, 96))
        .run("Indented, same font as the title", fmt({{"family", "DejaVu Serif"}}));
    return std::shared_ptr<QTextDocument>(builder, &builder->document());
}

std::shared_ptr<QTextDocument> documentOf(const QStringList &texts, const QTextCharFormat &format = {})
{
    auto builder = std::make_shared<DocumentBuilder>();
    for (const QString &text : texts)
        builder->paragraph().run(text, format);
    return std::shared_ptr<QTextDocument>(builder, &builder->document());
}

} // namespace

class tst_Rtf : public QObject
{
    Q_OBJECT

private slots:
    void notRtf_data();
    void notRtf();
    void readReplacesContentWithoutUndo();

    void syntax_data();
    void syntax();
    void charsets_data();
    void charsets();
    void characterFormats_data();
    void characterFormats();
    void paragraphFormats_data();
    void paragraphFormats();
    void depthLimitBoundary();

    void samples_data();
    void samples();
    void wordPadFormats();
    void wordFormats();
    void libreOfficeFormats();
    void japaneseFormats();
    void legacyFormats();
    void samplesSurviveRewriting_data();
    void samplesSurviveRewriting();
    void lists_data();
    void lists();
    void complexScript_data();
    void complexScript();
    void listsAndComplexScriptRoundTrip();

    void writerOutput_data();
    void writerOutput();
    void writerKeepsLinesShortAndAscii();
    void roundTrip_data();
    void roundTrip();
    void rangeTextIsTheRangesText();
    void rangeKeepsFormats();
    void rangeLimitsAreClamped();

    void malformed_data();
    void malformed();
    void damageReported_data();
    void damageReported();
    void truncationsKeepEarlierParagraphs();
    void randomByteFlips();
    void randomTokenSoup();

    void opensInWordProcessor();
    void wordProcessorSeesListsAndComplexScript();
};

void tst_Rtf::notRtf_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("isRtf");

    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("plain text") << QByteArray("In the beginning") << false;
    QTest::newRow("html") << QByteArray("<html>{\\rtf1 x}</html>") << false;
    QTest::newRow("cut header") << QByteArray("{\\rt") << false;
    QTest::newRow("no brace") << QByteArray("\\rtf1 x}") << false;
    QTest::newRow("upper case") << QByteArray("{\\RTF1 x}") << false;
    QTest::newRow("minimal") << QByteArray("{\\rtf") << true;
    QTest::newRow("leading white space") << QByteArray("\r\n  {\\rtf1 x}") << true;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << true;
}

void tst_Rtf::notRtf()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, isRtf);
    QTextDocument document;
    document.setPlainText("old text");
    QString error = "stale";
    QCOMPARE(RtfReader::read(input, &document, &error), isRtf);
    QCOMPARE(error.isEmpty(), isRtf);
    QVERIFY(!document.toPlainText().contains("old text"));
}

void tst_Rtf::readReplacesContentWithoutUndo()
{
    QTextDocument document;
    document.setPlainText("first\nsecond");
    QTextCursor(&document).insertText("typed ");
    QVERIFY(document.isUndoAvailable());
    QVERIFY(RtfReader::read("{\\rtf1 new\\par}", &document));
    QCOMPARE(paragraphs(document), QStringList{"new"});
    QVERIFY(!document.isUndoAvailable());
    QVERIFY(document.isUndoRedoEnabled());
}

void tst_Rtf::syntax_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("expected");

    const QString ls(QChar::LineSeparator);
    const auto row = [](const char *name, const QByteArray &body, const QStringList &expected) {
        QTest::newRow(name) << QByteArray("{\\rtf1\\ansi " + body + "}") << expected;
    };
    // Control words and their delimiters.
    row("space delimiter eaten", "\\b bold", {"bold"});
    row("second space is text", "\\b  x", {" x"});
    row("parameter then space", "\\fs20 x", {"x"});
    row("negative parameter", "\\fi-360 x", {"x"});
    row("digit ends nothing", "\\b0x", {"x"});
    row("punctuation delimits", "\\b;x", {";x"});
    row("minus without digits", "\\b- x", {"- x"});
    row("unknown word ignored", "a\\foobar b", {"ab"});
    row("unknown word group keeps text", "{\\foobar x}y", {"xy"});
    row("line ends ignored", "a\r\nb\rc\nd", {"abcd"});
    row("line end delimits word", "\\b\r\nx", {"x"});
    row("raw tab", "a\tb", {"a\tb"});
    row("escapes", "a\\\\b\\{c\\}", {"a\\b{c}"});
    // Characters by name.
    row("dashes and quotes", "\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet",
        {QString::fromUtf8("—–‘’“”•")});
    row("spaces and joiners", "\\emspace\\enspace\\qmspace\\zwj\\zwnj",
        {QString::fromUtf8("\u2003\u2002\u2005\u200D\u200C")});
    row("special symbols", "a\\~b\\-c\\_d", {QString::fromUtf8("a\u00A0b\u00ADc\u2011d")});
    row("tab and line", "a\\tab b\\line c", {"a\tb" + ls + "c"});
    row("ignored symbols", "a\\:b\\|c", {"abc"});
    // Paragraphs.
    row("one paragraph", "a", {"a"});
    row("no text", "", {""});
    row("trailing par adds nothing", "a\\par", {"a"});
    row("trailing par and space", "a\\par \r\n", {"a"});
    row("empty last paragraph", "a\\par\\par", {"a", ""});
    row("two paragraphs", "a\\par b", {"a", "b"});
    row("only a par", "\\par", {""});
    row("two pars", "\\par\\par", {"", ""});
    row("page is a paragraph", "a\\page b", {"a", "b"});
    row("backslash line end", "a\\\nb\\\r\nc", {"a", "b", "c"});
    row("section ends text only", "a\\sect b\\par\\sect", {"a", "b"});
    row("table cells", "a\\cell b\\cell\\row c", {"a\tb\t", "c"});
    // A stray "}" closes the document early: what follows is read on.
    row("text after an early close", "a}b\\par c", {"ab", "c"});
    row("stray close in the middle", "{\\b one}} two {\\i three}\\par four", {"one two three", "four"});
    row("par in closed group", "{a\\par}b", {"a", "b"});
    // Code pages.
    row("hex in 1252", "caf\\'e9 \\'80", {QString::fromUtf8("café €")});
    row("upper-case hex", "\\'C9", {QString::fromUtf8("É")});
    row("raw 8-bit text", "caf\xe9", {QString::fromUtf8("café")});
    row("hex zero dropped", "a\\'00b", {"ab"});
    row("hex control dropped", "a\\'0db\\'0ac\\'07d", {"abcd"});
    row("hex tab kept", "a\\'09b", {"a\tb"});
    row("default font's code page",
        "\\deff1{\\fonttbl{\\f0 A;}{\\f1\\fcharset161 G;}}\\'e1{\\plain\\'e1}\\f0\\'e1",
        {QString::fromUtf8("ααá")});
    row("ansicpg without fonts", "\\ansicpg1251\\'c0", {QString::fromUtf8("А")});
    row("unknown ansicpg", "\\ansicpg4242\\'e9", {QString::fromUtf8("é")});
    row("one hex digit", "a\\'4 b", {"a b"});
    row("no hex digit", "a\\'zb", {"azb"});
    // Unicode.
    row("u with fallback", "\\u1488?\\u1489?", {QString::fromUtf8("אב")});
    row("u negative", "\\u-4064?", {QString(QChar(0xF020))});
    row("u surrogate pair", "\\u-10179?\\u-9002?", {QString::fromUtf8("\U0001F4D6")});
    row("u lone surrogate", "\\u-10179?x", {QString(QChar(QChar::ReplacementCharacter)) + "x"});
    row("uc0", "\\uc0\\u1488 x", {QString::fromUtf8("אx")});
    row("uc2 hex fallback", "\\uc2\\u1488\\'e0\\'e1x", {QString::fromUtf8("אx")});
    row("fallback cut by group", "\\uc2{\\u1488?}x", {QString::fromUtf8("אx")});
    row("fallback word skipped", "\\u1488\\emdash x", {QString::fromUtf8("אx")});
    row("uc is scoped", "{\\uc2\\u1488 ab}\\u1488 cd", {QString::fromUtf8("אאd")});
    row("u zero", "a\\u0?b", {"ab"});
    row("u out of range keeps fallback", "\\u99999?\\u-99999?", {"??"});
    row("u without number", "\\u x", {"x"});
    row("u in 1252 paragraph sep", "a\\u8233?b", {"a", "b"});
    row("upr takes the unicode half", "{\\upr{abc}{\\*\\ud{\\u1488?}}}", {QString::fromUtf8("א")});
    row("ud alone", "{\\*\\ud x}", {"x"});
    // Destinations.
    row("starred unknown skipped", "a{\\*\\foo b{c}d}e", {"ae"});
    row("starred known skipped", "a{\\*\\fldinst b}c", {"ac"});
    row("star then text", "a{\\* b}c", {"a bc"});
    row("info", "{\\info{\\title T}{\\author A}}x", {"x"});
    row("stylesheet", "{\\stylesheet{\\s1 Heading 1;}}x", {"x"});
    row("header footer", "{\\header H\\par}{\\footer F\\par}x", {"x"});
    row("picture", "{\\pict\\pngblip 89504e47}x", {"x"});
    row("object", "{\\object\\objemb{\\*\\objdata 0105}{\\result R}}x", {"x"});
    row("field result kept", "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}", {"link"});
    row("unstarred fldinst", "{\\field{\\fldinst PAGE}{\\fldrslt 3}}", {"3"});
    // A list marker is drawn by the list, not kept as text.
    row("list text is the marker", "{\\listtext\\'b7\\tab}\\ls1 item", {"item"});
    row("pn text is the marker", "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}item", {"item"});
    row("footnote", "a{\\footnote note}b", {"ab"});
    row("hidden text", "a{\\v hidden}b\\v c\\v0 d", {"abd"});
    row("bin skips braces", "a{\\*\\x\\bin3 }{\\}c", {"ac"});
    row("bin in body", "a\\bin2 xyb", {"ab"});
    row("bin inside skipped", "{\\pict\\bin4 }}}}}x", {"x"});
    row("bin without length", "a\\bin b", {"ab"});
    row("bin negative", "a\\bin-5 b", {"ab"});
    row("bin counts as fallback", "\\u1488\\bin2 xyz", {QString::fromUtf8("אz")});
}

void tst_Rtf::syntax()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, expected);
    QCOMPARE(paragraphs(*readRtf(rtf)), expected);
}

void tst_Rtf::charsets_data()
{
    QTest::addColumn<int>("charset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("0 ANSI") << 0 << QByteArray("\\'e9\\'80") << QString::fromUtf8("é€");
    QTest::newRow("2 symbol") << 2 << QByteArray("\\'b7") << QString::fromUtf8("·");
    QTest::newRow("238 central europe") << 238 << QByteArray("\\'9a\\'e8") << QString::fromUtf8("šč");
    QTest::newRow("204 cyrillic") << 204 << QByteArray("\\'c0\\'ff") << QString::fromUtf8("Ая");
    QTest::newRow("161 greek") << 161 << QByteArray("\\'e1\\'d9") << QString::fromUtf8("αΩ");
    QTest::newRow("162 turkish") << 162 << QByteArray("\\'f0\\'fd") << QString::fromUtf8("ğı");
    QTest::newRow("177 hebrew") << 177 << QByteArray("\\'e0\\'fa") << QString::fromUtf8("את");
    QTest::newRow("178 arabic") << 178 << QByteArray("\\'c7\\'e1") << QString::fromUtf8("ال");
    QTest::newRow("186 baltic") << 186 << QByteArray("\\'e0") << QString::fromUtf8("ą");
    QTest::newRow("163 vietnamese") << 163 << QByteArray("\\'c3") << QString::fromUtf8("Ă");
    QTest::newRow("222 thai") << 222 << QByteArray("\\'a1") << QString::fromUtf8("ก");
    QTest::newRow("128 japanese") << 128 << QByteArray("\\'82\\'a0\\'83e") << QString::fromUtf8("あテ");
    QTest::newRow("134 simplified chinese") << 134 << QByteArray("\\'c4\\'e3") << QString::fromUtf8("你");
    QTest::newRow("129 korean") << 129 << QByteArray("\\'b0\\'a1") << QString::fromUtf8("가");
    QTest::newRow("136 traditional chinese") << 136 << QByteArray("\\'a4\\'a4") << QString::fromUtf8("中");
    QTest::newRow("escaped trail byte") << 128 << QByteArray("\\'95\\\\") << QString::fromUtf8("表");
}

void tst_Rtf::charsets()
{
    QFETCH(int, charset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    // The font's character set decides, whatever \ansicpg says; "x" after the font
    // switch back shows that the default font's code page returns.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Cyr;}{\\f1\\fcharset" +
        QByteArray::number(charset) + " Other;}}\\f1 " + bytes + "\\f0 \\'c0}";
    QCOMPARE(paragraphs(*readRtf(rtf)), QStringList{text + QString::fromUtf8("А")});
}

void tst_Rtf::characterFormats_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QVariantMap>("props");

    const QColor red(255, 0, 0), green(0, 128, 0);
    QTest::newRow("bold") << QByteArray("n{\\b X}n") << QVariantMap{{"bold", true}};
    QTest::newRow("bold off") << QByteArray("\\b n\\b0 X") << QVariantMap{{"bold", false}};
    QTest::newRow("italic") << QByteArray("n\\i X") << QVariantMap{{"italic", true}};
    QTest::newRow("underline") << QByteArray("n\\ul X") << QVariantMap{{"underline", true}};
    QTest::newRow("double underline") << QByteArray("n\\uldb X") << QVariantMap{{"underline", true}};
    QTest::newRow("ulnone") << QByteArray("\\ul n\\ulnone X") << QVariantMap{{"underline", false}};
    QTest::newRow("ul0") << QByteArray("\\ul n\\ul0 X") << QVariantMap{{"underline", false}};
    QTest::newRow("strike") << QByteArray("n\\strike X") << QVariantMap{{"strike", true}};
    QTest::newRow("double strike") << QByteArray("n\\striked1 X") << QVariantMap{{"strike", true}};
    QTest::newRow("small caps") << QByteArray("n\\scaps X") << QVariantMap{{"caps", int(QFont::SmallCaps)}};
    QTest::newRow("caps") << QByteArray("n\\caps X") << QVariantMap{{"caps", int(QFont::AllUppercase)}};
    QTest::newRow("super") << QByteArray("n{\\super X}")
                           << QVariantMap{{"script", int(QTextCharFormat::AlignSuperScript)}};
    QTest::newRow("sub") << QByteArray("n\\sub X")
                         << QVariantMap{{"script", int(QTextCharFormat::AlignSubScript)}};
    QTest::newRow("nosupersub") << QByteArray("\\super n\\nosupersub X")
                                << QVariantMap{{"script", int(QTextCharFormat::AlignNormal)}};
    QTest::newRow("up") << QByteArray("n\\up6 X")
                        << QVariantMap{{"script", int(QTextCharFormat::AlignSuperScript)}};
    QTest::newRow("dn") << QByteArray("n\\dn4 X")
                        << QVariantMap{{"script", int(QTextCharFormat::AlignSubScript)}};
    QTest::newRow("size") << QByteArray("\\fs20 n\\fs31 X") << QVariantMap{{"size", 15.5}};
    QTest::newRow("size reset") << QByteArray("\\fs20 n\\fs0 X") << QVariantMap{{"size", 0.0}};
    QTest::newRow("font") << QByteArray("n\\f1 X") << QVariantMap{{"family", "Times New Roman"}};
    QTest::newRow("explicit default font")
        << QByteArray("\\f1 n\\f0 X\\plain") << QVariantMap{{"family", "Arial"}};
    QTest::newRow("plain resets font") << QByteArray("\\f1 n\\plain X") << QVariantMap{{"family", ""}};
    QTest::newRow("unknown font") << QByteArray("\\f1 n\\f9 X") << QVariantMap{{"family", ""}};
    QTest::newRow("font name in its code page")
        << QByteArray("{\\fonttbl{\\f5\\fcharset204 \\'cf\\'e8 \\u1488?;}}n\\f5 X")
        << QVariantMap{{"family", QString::fromUtf8("Пи א")}};
    QTest::newRow("foreground") << QByteArray("n\\cf1 X") << QVariantMap{{"fg", red}};
    QTest::newRow("cf0 is automatic") << QByteArray("\\cf1 n\\cf0 X") << QVariantMap{{"fg", QColor()}};
    QTest::newRow("cf out of range") << QByteArray("\\cf1 n\\cf99 X") << QVariantMap{{"fg", QColor()}};
    QTest::newRow("cb") << QByteArray("n\\cb2 X") << QVariantMap{{"bg", green}};
    QTest::newRow("chcbpat") << QByteArray("n\\chcbpat2 X") << QVariantMap{{"bg", green}};
    QTest::newRow("highlight") << QByteArray("n\\highlight1 X") << QVariantMap{{"bg", red}};
    QTest::newRow("highlight over cb") << QByteArray("\\cb2 n\\highlight1 X") << QVariantMap{{"bg", red}};
    QTest::newRow("group restores") << QByteArray("{\\b\\i\\ul\\cf1 n}X")
                                    << QVariantMap{{"bold", false},
                                                   {"italic", false},
                                                   {"underline", false},
                                                   {"fg", QColor()}};
    QTest::newRow("plain") << QByteArray("\\b\\i\\ul\\strike\\scaps\\super\\fs40\\cf1\\cb2 n\\plain X")
                           << QVariantMap{{"bold", false},   {"italic", false}, {"underline", false},
                                          {"strike", false}, {"caps", 0},       {"script", 0},
                                          {"size", 0.0},     {"fg", QColor()},  {"bg", QColor()}};
    QTest::newRow("pard keeps characters") << QByteArray("\\b n\\par\\pard X") << QVariantMap{{"bold", true}};
    QTest::newRow("par keeps characters") << QByteArray("\\i\\par X") << QVariantMap{{"italic", true}};
}

void tst_Rtf::characterFormats()
{
    QFETCH(QByteArray, body);
    QFETCH(QVariantMap, props);
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}" +
        body + "}";
    const auto document = readRtf(rtf);
    const QString text = document->toRawText();
    QVERIFY2(text.contains('X'), qPrintable(text));
    const QVariantMap x = charProps(formatOf(*document, "X"));
    for (auto it = props.cbegin(); it != props.cend(); ++it)
        QCOMPARE(x.value(it.key()), it.value());
    // The reference character shows that the property changed at all.
    if (text.contains('n')) {
        const QVariantMap n = charProps(formatOf(*document, "n"));
        for (auto it = props.cbegin(); it != props.cend(); ++it) {
            if (QByteArray(QTest::currentDataTag()).contains("keeps"))
                QCOMPARE(n.value(it.key()), it.value());
            else
                QVERIFY2(n.value(it.key()) != it.value(), qPrintable(it.key()));
        }
    }
}

void tst_Rtf::paragraphFormats_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("paragraph");
    // alignment, left, right, first line, before, after (twips), direction
    QTest::addColumn<QList<int>>("props");

    const int l = Qt::AlignLeft, c = Qt::AlignHCenter, r = Qt::AlignRight, j = Qt::AlignJustify;
    const int ltr = 0, rtl = 1;
    QTest::newRow("default") << QByteArray("a\\par") << 0 << QList<int>{l, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("centre") << QByteArray("\\qc a\\par") << 0 << QList<int>{c, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("right") << QByteArray("\\qr a\\par") << 0 << QList<int>{r, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("justify") << QByteArray("\\qj a\\par") << 0 << QList<int>{j, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("distributed") << QByteArray("\\qd a\\par") << 0 << QList<int>{j, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("ql after qc") << QByteArray("\\qc\\ql a\\par") << 0 << QList<int>{l, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("indents") << QByteArray("\\li720\\ri360\\fi-360\\sb120\\sa240 a\\par") << 0
                             << QList<int>{l, 720, 360, -360, 120, 240, ltr};
    QTest::newRow("pard resets") << QByteArray("\\qc\\li720 a\\par\\pard b\\par") << 1
                                 << QList<int>{l, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("props carry on") << QByteArray("\\qc\\li720 a\\par b\\par") << 1
                                    << QList<int>{c, 720, 0, 0, 0, 0, ltr};
    QTest::newRow("last without par")
        << QByteArray("a\\par\\pard\\qr\\sa100 b") << 1 << QList<int>{r, 0, 0, 0, 0, 100, ltr};
    QTest::newRow("last given after text")
        << QByteArray("a\\par b\\qc") << 1 << QList<int>{c, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("last in closed group")
        << QByteArray("a\\par{\\pard\\qc b}") << 1 << QList<int>{c, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("right to left") << QByteArray("\\rtlpar\\qr a\\par") << 0
                                   << QList<int>{r, 0, 0, 0, 0, 0, rtl};
    QTest::newRow("ltrpar") << QByteArray("\\rtlpar\\ltrpar a\\par") << 0
                            << QList<int>{l, 0, 0, 0, 0, 0, ltr};
    QTest::newRow("huge indents clamped") << QByteArray("\\li99999999999\\fi-99999999 a\\par") << 0
                                          << QList<int>{l, 31680, 0, -31680, 0, 0, ltr};
}

void tst_Rtf::paragraphFormats()
{
    QFETCH(QByteArray, body);
    QFETCH(int, paragraph);
    QFETCH(QList<int>, props);
    const auto document = readRtf("{\\rtf1\\ansi " + body + "}");
    const QTextBlock block = document->findBlockByNumber(paragraph);
    QVERIFY(block.isValid());
    QCOMPARE(paraProps(block.blockFormat()), props);
}

void tst_Rtf::depthLimitBoundary()
{
    // The document group is depth 1; text at the limit is read, one deeper is not.
    const int extra = RtfReader::MaxDepth - 1;
    const QByteArray atLimit = "{\\rtf1 a" + QByteArray(extra, '{') + "b" + QByteArray(extra, '}') + "c}";
    QCOMPARE(paragraphs(*readRtf(atLimit)), QStringList{"abc"});
    const QByteArray beyond =
        "{\\rtf1 a" + QByteArray(extra + 1, '{') + "b{\\b c}" + QByteArray(extra + 1, '}') + "d}";
    QCOMPARE(paragraphs(*readRtf(beyond)), QStringList{"ad"});
    // Formatting outside the skipped groups is not disturbed by them.
    const auto document =
        readRtf("{\\rtf1 {\\b" + QByteArray(5000, '{') + "\\i" + QByteArray(5000, '}') + "x}y}");
    QCOMPARE(paragraphs(*document), QStringList{"xy"});
    QCOMPARE(charProps(formatOf(*document, "x")).value("italic"), QVariant(false));
    QCOMPARE(charProps(formatOf(*document, "x")).value("bold"), QVariant(true));
    QCOMPARE(charProps(formatOf(*document, "y")).value("bold"), QVariant(false));
}

void tst_Rtf::samples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("WordPad") << "wordpad.rtf"
                             << QStringList{"In the beginning was the Word, and the Word was with God.",
                                            "Centered red italics", QString::fromUtf8("Εν αρχή – John 1:1"),
                                            QString::fromUtf8("Café אב")};
    QTest::newRow("Word") << "word.rtf"
                          << QStringList{"The Gospel", "Read it at example.org today.",
                                         QString::fromUtf8("First point with “quotes” and an em dash — here"),
                                         QString::fromUtf8("Слово")};
    QTest::newRow("LibreOffice")
        << "libreoffice.rtf"
        << QStringList{"Psalm 23",
                       QString::fromUtf8("The Lord is my shepherd; I shall not want. “quoted” — 中文"),
                       QString::fromUtf8("1Footnote mark and struck and Small Caps יהוה")};
    QTest::newRow("Word, Japanese") << "japanese.rtf"
                                    << QStringList{QString::fromUtf8("In the beginning 初めに言があった。"),
                                                   QString::fromUtf8("言 (Word)")};
    QTest::newRow("legacy book text")
        << "legacy.rtf"
        << QStringList{"Genesis", "1 In the beginning God created the heaven and the earth.",
                       "2And the earth was without form, and void.",
                       "2 Thus the heavens and the earth were finished.",
                       QString::fromUtf8("3Jesús said: “Peace.”")};
}

void tst_Rtf::samples()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    QTextDocument document;
    QString error;
    QVERIFY2(RtfReader::read(sample(file), &document, &error), qPrintable(error));
    QCOMPARE(paragraphs(document), expected);
}

void tst_Rtf::wordPadFormats()
{
    const auto document = readRtf(sample("wordpad.rtf"));
    const QVariantMap word = charProps(formatOf(*document, "Word,"));
    QCOMPARE(word.value("bold"), QVariant(true));
    QCOMPARE(word.value("family"), QVariant("Calibri"));
    QCOMPARE(word.value("size"), QVariant(11.0));
    QCOMPARE(charProps(formatOf(*document, ", and")).value("bold"), QVariant(false));
    const QVariantMap red = charProps(formatOf(*document, " red", 1));
    QCOMPARE(red.value("fg"), QVariant(QColor(192, 0, 0)));
    QCOMPARE(red.value("italic"), QVariant(true));
    QCOMPARE(red.value("size"), QVariant(14.0));
    QCOMPARE(charProps(formatOf(*document, " italics")).value("fg"), QVariant(QColor()));
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("Εν"))).value("family"),
             QVariant("Times New Roman Greek"));
    QCOMPARE(charProps(formatOf(*document, "John")).value("family"), QVariant("Courier New"));
    QCOMPARE(charProps(formatOf(*document, "Caf")).value("underline"), QVariant(true));
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("אב"))).value("underline"), QVariant(false));
    QCOMPARE(paraProps(document->findBlockByNumber(0).blockFormat()),
             (QList<int>{Qt::AlignLeft, 0, 0, 0, 0, 200, 0}));
    QCOMPARE(paraProps(document->findBlockByNumber(1).blockFormat()).first(), int(Qt::AlignHCenter));
    QCOMPARE(paraProps(document->findBlockByNumber(2).blockFormat()),
             (QList<int>{Qt::AlignLeft, 720, 0, 0, 0, 200, 0}));
}

void tst_Rtf::wordFormats()
{
    const auto document = readRtf(sample("word.rtf"));
    const QString text = document->toPlainText();
    for (const char *hidden : {"Running head", "Page", "HYPERLINK", "Sample", "Writer", "Normal", "504b"})
        QVERIFY2(!text.contains(hidden), hidden);
    const QVariantMap title = charProps(formatOf(*document, "The Gospel"));
    QCOMPARE(title.value("bold"), QVariant(true));
    QCOMPARE(title.value("size"), QVariant(16.0));
    QCOMPARE(title.value("family"), QVariant("Calibri"));
    QCOMPARE(paraProps(document->findBlockByNumber(0).blockFormat()),
             (QList<int>{Qt::AlignHCenter, 0, 0, 0, 240, 60, 0}));
    const QVariantMap link = charProps(formatOf(*document, "example.org"));
    QCOMPARE(link.value("underline"), QVariant(true));
    QCOMPARE(link.value("fg"), QVariant(QColor(0, 0, 255)));
    QCOMPARE(charProps(formatOf(*document, " today")).value("underline"), QVariant(false));
    // The bulleted paragraphs are one list; the marker hangs in the indent.
    QCOMPARE(paraProps(document->findBlockByNumber(2).blockFormat()),
             (QList<int>{Qt::AlignLeft, 720, 0, 0, 0, 160, 0}));
    const QTextList *list = document->findBlockByNumber(2).textList();
    QVERIFY(list);
    QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(document->findBlockByNumber(3).textList(), list);
    QVERIFY(!document->findBlockByNumber(1).textList());
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("Слово"))).value("family"),
             QVariant("Calibri Cyr"));
}

void tst_Rtf::libreOfficeFormats()
{
    const auto document = readRtf(sample("libreoffice.rtf"));
    const QVariantMap title = charProps(formatOf(*document, "Psalm"));
    QCOMPARE(title.value("family"), QVariant("Liberation Sans"));
    QCOMPARE(title.value("size"), QVariant(14.0));
    QCOMPARE(paraProps(document->findBlockByNumber(0).blockFormat()),
             (QList<int>{Qt::AlignHCenter, 0, 0, 0, 240, 120, 0}));
    QCOMPARE(charProps(formatOf(*document, "Lord")).value("bold"), QVariant(true));
    QCOMPARE(charProps(formatOf(*document, " is my")).value("bold"), QVariant(false));
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("“quoted"))).value("italic"), QVariant(true));
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("中文"))).value("family"),
             QVariant("Noto Sans CJK SC"));
    QCOMPARE(charProps(formatOf(*document, "1Foot")).value("script"),
             QVariant(int(QTextCharFormat::AlignSuperScript)));
    const QVariantMap struck = charProps(formatOf(*document, "struck"));
    QCOMPARE(struck.value("strike"), QVariant(true));
    QCOMPARE(struck.value("fg"), QVariant(QColor(0, 0, 128)));
    QCOMPARE(charProps(formatOf(*document, "Small Caps")).value("caps"), QVariant(int(QFont::SmallCaps)));
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("יהוה"))).value("family"),
             QVariant("Liberation Serif"));
}

void tst_Rtf::japaneseFormats()
{
    const auto document = readRtf(sample("japanese.rtf"));
    QCOMPARE(charProps(formatOf(*document, QString::fromUtf8("初めに"))).value("family"),
             QVariant(QString::fromUtf8("ＭＳ 明朝")));
    QCOMPARE(charProps(formatOf(*document, "In the")).value("family"), QVariant("Times New Roman"));
    QCOMPARE(charProps(formatOf(*document, "In the")).value("size"), QVariant(10.5));
    QCOMPARE(charProps(formatOf(*document, " (Word)")).value("bold"), QVariant(true));
    QCOMPARE(paraProps(document->findBlockByNumber(0).blockFormat()).first(), int(Qt::AlignJustify));
    QCOMPARE(paraProps(document->findBlockByNumber(1).blockFormat()).first(), int(Qt::AlignHCenter));
}

void tst_Rtf::legacyFormats()
{
    const auto document = readRtf(sample("legacy.rtf"));
    const QVariantMap name = charProps(formatOf(*document, "Genesis"));
    QCOMPARE(name.value("bold"), QVariant(true));
    QCOMPARE(name.value("size"), QVariant(20.0));
    QCOMPARE(charProps(formatOf(*document, "1 In")).value("size"), QVariant(20.0));
    QCOMPARE(charProps(formatOf(*document, " In the")).value("size"), QVariant(0.0));
    QCOMPARE(charProps(formatOf(*document, "2And")).value("script"),
             QVariant(int(QTextCharFormat::AlignSuperScript)));
    QCOMPARE(charProps(formatOf(*document, "And the")).value("script"),
             QVariant(int(QTextCharFormat::AlignNormal)));
}

void tst_Rtf::samplesSurviveRewriting_data()
{
    QTest::addColumn<QString>("file");
    for (const char *file : {"wordpad.rtf", "word.rtf", "libreoffice.rtf", "japanese.rtf", "legacy.rtf"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

void tst_Rtf::samplesSurviveRewriting()
{
    QFETCH(QString, file);
    const auto original = readRtf(sample(file));
    const QByteArray written = RtfWriter::write(*original);
    const auto reread = readRtf(written);
    compareDocuments(*reread, *original);
    // Writing again what was read back gives the same bytes.
    QCOMPARE(RtfWriter::write(*reread), written);
}

void tst_Rtf::writerOutput_data()
{
    QTest::addColumn<std::shared_ptr<QTextDocument>>("document");
    QTest::addColumn<QByteArrayList>("pieces");

    QTest::newRow("escapes") << documentOf({"a\\b{c}d?"}) << QByteArrayList{"a\\\\b\\{c\\}d?\\par"};
    QTest::newRow("1252 as hex") << documentOf({QString::fromUtf8("café €—")})
                                 << QByteArrayList{"caf\\'e9 \\'80\\'97"};
    QTest::newRow("others as u") << documentOf({QString::fromUtf8("אΩ\U0001F4D6")})
                                 << QByteArrayList{"\\u1488?\\u937?\\u-10179?\\u-9002?"};
    QTest::newRow("high BMP as negative u")
        << documentOf({QString(QChar(0xFF0D))}) << QByteArrayList{"\\u-243?"};
    QTest::newRow("tab line nbsp") << documentOf(
                                          {QString("a\tb") + QChar::LineSeparator + "c" + QChar::Nbsp + "d"})
                                   << QByteArrayList{"a\\tab b\\line c\\~d"};
    QTest::newRow("header") << documentOf({"x"})
                            << QByteArrayList{
                                   "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n{\\fonttbl{\\f0\\fnil\\fcharset0 ",
                                   "{\\colortbl;}", "\\uc1"};
    QTest::newRow("fonts and colours")
        << documentOf({"x"}, fmt({{"family", "Gentium Plus"},
                                  {"size", 13.0},
                                  {"fg", QColor(1, 2, 3)},
                                  {"bg", QColor(4, 5, 6)}}))
        << QByteArrayList{"{\\f1\\fnil\\fcharset0 Gentium Plus;}",
                          "{\\colortbl;\\red1\\green2\\blue3;\\red4\\green5\\blue6;}",
                          "{\\f1\\fs26\\cf1\\chcbpat2 x}\\par"};
    QTest::newRow("font name escaped")
        << documentOf({"x"}, fmt({{"family", QString::fromUtf8("Brace{é;Ω}")}}))
        << QByteArrayList{"{\\f1\\fnil\\fcharset0 Brace\\{\\'e9\\u937?\\};}"};
    QTest::newRow("one par per paragraph")
        << documentOf({"a", "", "b"}) << QByteArrayList{"\\pard a\\par\r\n\\pard\\par\r\n\\pard b\\par\r\n}"};
}

void tst_Rtf::writerOutput()
{
    QFETCH(std::shared_ptr<QTextDocument>, document);
    QFETCH(QByteArrayList, pieces);
    const QByteArray rtf = RtfWriter::write(*document);
    for (const QByteArray &piece : pieces)
        QVERIFY2(rtf.contains(piece), qPrintable("missing " + piece + " in:\n" + rtf));
    QVERIFY(rtf.endsWith("}\r\n"));
}

void tst_Rtf::writerKeepsLinesShortAndAscii()
{
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QString::fromUtf8(i % 7 == 0 ? "Ἐν ἀρχῇ ἦν ὁ λόγος " : i % 3 ? "word " : "Überlänge");
    const QString unbroken(3000, QChar('x'));
    const auto document = documentOf({text, unbroken, QString(500, QChar(0x05D0))});
    const QByteArray rtf = RtfWriter::write(*document);
    for (const QByteArray &line : rtf.split('\n')) {
        QVERIFY2(line.size() <= 121, line.constData());
        for (const char c : line)
            QVERIFY(uchar(c) < 0x80);
    }
    QCOMPARE(paragraphs(*readRtf(rtf)), paragraphs(*document));
}

void tst_Rtf::roundTrip_data()
{
    QTest::addColumn<std::shared_ptr<QTextDocument>>("document");

    QTest::newRow("formatted") << formattedDocument();
    QTest::newRow("scripts") << documentOf(
        {QString::fromUtf8("בְּרֵאשִׁית בָּרָא אֱלֹהִים"), QString::fromUtf8("Ἐν ἀρχῇ ἦν ὁ λόγος"),
         QString::fromUtf8("太初有道，道與神同在"), QString::fromUtf8("태초에 말씀이"),
         QString::fromUtf8("В начале было Слово"), QString::fromUtf8("😀 📖 ✝ \U00010348"),
         QString::fromUtf8("Ça, Œuvre – “quoted” … ‰ ™ ž")});
    QTest::newRow("special characters") << documentOf(
        {QString("tab\there") + QChar::LineSeparator + "next line",
         QString("nbsp") + QChar::Nbsp + "soft" + QChar::SoftHyphen + "nb" + QChar(0x2011) + "hyphen",
         "\\{}?;\\par \\'e9 \\u1234? {\\b}",
         QString(QChar(0xFFFD)) + QChar(0xE000) + QChar(0xFFFF) + QChar(0x7F) + QChar(0x81) + QChar(0xA0)});
    QTest::newRow("empty paragraphs") << documentOf({"", "", "a", ""}, fmt({{"size", 18.0}}));
    QTest::newRow("empty document") << documentOf({});
    QTest::newRow("one empty paragraph") << documentOf({""});
    QTest::newRow("formatting at paragraph edges")
        << documentOf({"bold start", "bold end"}, fmt({{"bold", true}, {"fg", QColor(Qt::blue)}}));
    auto rtl = std::make_shared<DocumentBuilder>();
    QTextBlockFormat rtlFormat = para(Qt::AlignRight, 10, 20);
    rtlFormat.setLayoutDirection(Qt::RightToLeft);
    rtl->paragraph(rtlFormat).run(QString::fromUtf8("שלום עולם"), fmt({{"family", "David"}}));
    QTest::newRow("right to left") << std::shared_ptr<QTextDocument>(rtl, &rtl->document());
}

void tst_Rtf::roundTrip()
{
    QFETCH(std::shared_ptr<QTextDocument>, document);
    const QByteArray rtf = RtfWriter::write(*document);
    QTextDocument back;
    QVERIFY(RtfReader::read(rtf, &back));
    compareDocuments(back, *document);
    QCOMPARE(back.blockCount(), document->blockCount());
}

void tst_Rtf::rangeTextIsTheRangesText()
{
    const auto document = documentOf({"ab", "", QString::fromUtf8("cé\U0001F600"), "d"});
    const int end = document->characterCount() - 1;
    const QString raw = document->toRawText() + QChar::ParagraphSeparator;
    for (int start = 0; start <= end; ++start) {
        for (int stop = start; stop <= end; ++stop) {
            QTextCursor cursor(document.get());
            cursor.setPosition(start);
            cursor.setPosition(stop, QTextCursor::KeepAnchor);
            const QString expected = cursor.selectedText().replace(QChar::ParagraphSeparator, '\n');
            // Half a surrogate pair is no character; a range through one is tested elsewhere.
            if (raw.at(start).isLowSurrogate() || raw.at(stop).isLowSurrogate())
                continue;
            const auto back = readRtf(RtfWriter::write(*document, start, stop));
            QVERIFY2(back->toPlainText() == expected,
                     qPrintable(QStringLiteral("[%1, %2): \"%3\" instead of \"%4\"")
                                    .arg(start)
                                    .arg(stop)
                                    .arg(back->toPlainText(), expected)));
        }
    }
}

void tst_Rtf::rangeKeepsFormats()
{
    const auto document = formattedDocument();
    // "the Word, and " out of the second paragraph, then all of the third and fourth.
    const QString raw = document->toRawText();
    const int start = int(raw.indexOf("the Word"));
    const int end = int(raw.indexOf("Indented"));
    const auto back = readRtf(RtfWriter::write(*document, start, end));
    QCOMPARE(paragraphs(*back).first(), QString::fromUtf8("the Word, and understruckSmall CapsALLx2H2O"));
    QCOMPARE(back->blockCount(), 4);
    QCOMPARE(paragraphs(*back).last(), QString());
    const QVariantMap word = charProps(formatOf(*back, "the Word"));
    QCOMPARE(word.value("bold"), QVariant(true));
    QCOMPARE(word.value("fg"), QVariant(QColor(200, 10, 20)));
    QCOMPARE(charProps(formatOf(*back, ", and")).value("size"), QVariant(10.5));
    QCOMPARE(paraProps(back->findBlockByNumber(0).blockFormat()),
             paraProps(document->findBlockByNumber(1).blockFormat()));
    QCOMPARE(paraProps(back->findBlockByNumber(1).blockFormat()).first(), int(Qt::AlignRight));
    // Only the fonts of the range are in the font table (and the default font).
    const QByteArray rtf = RtfWriter::write(*document, start, end);
    QVERIFY(rtf.contains("Liberation Sans"));
    QVERIFY(!rtf.contains("DejaVu Serif"));
    QVERIFY(!rtf.contains("Title"));
    QVERIFY(!rtf.contains("Indented"));
}

void tst_Rtf::rangeLimitsAreClamped()
{
    const auto document = documentOf({"abc", "def"});
    QCOMPARE(paragraphs(*readRtf(RtfWriter::write(*document, -5, -1))), (QStringList{"abc", "def"}));
    QCOMPARE(paragraphs(*readRtf(RtfWriter::write(*document, 5, 1000))), QStringList{"ef"});
    QCOMPARE(paragraphs(*readRtf(RtfWriter::write(*document, 2, 1))), QStringList{""});
    QCOMPARE(paragraphs(*readRtf(RtfWriter::write(*document, 1000, 2000))), QStringList{""});
    QVERIFY(!RtfWriter::write(*document, 2, 2).contains("\\par"));
}

void tst_Rtf::malformed_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("100000 open braces") << "{\\rtf1 a" + QByteArray(100000, '{') + "b" << QStringList{"a"};
    QTest::newRow("100000 nested and closed")
        << "{\\rtf1 a" + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "c\\par}"
        << QStringList{"ac"};
    QTest::newRow("100000 closing braces")
        << "{\\rtf1 a}" + QByteArray(100000, '}') + "b" << QStringList{"ab"};
    QTest::newRow("unbalanced close") << QByteArray("{\\rtf1 {\\b a}}}b}") << QStringList{"ab"};
    QTest::newRow("blanks and NULs after the end")
        << QByteArray("{\\rtf1 a}}\r\n \0\0", 13) << QStringList{"a"};
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{a\\par {\\b b") << QStringList{"a", "b"};
    QTest::newRow("truncated word") << QByteArray("{\\rtf1 a\\par b\\pa") << QStringList{"a", "b"};
    QTest::newRow("backslash at end") << QByteArray("{\\rtf1 a\\") << QStringList{"a"};
    QTest::newRow("hex at end") << QByteArray("{\\rtf1 a\\'") << QStringList{"a"};
    QTest::newRow("half hex at end") << QByteArray("{\\rtf1 a\\'e") << QStringList{"a"};
    QTest::newRow("u at end") << QByteArray("{\\rtf1 a\\u") << QStringList{"a"};
    QTest::newRow("u minus at end") << QByteArray("{\\rtf1 a\\u-") << QStringList{"a-"};
    QTest::newRow("u huge") << QByteArray("{\\rtf1 \\u99999999999999999999999?x}") << QStringList{"?x"};
    QTest::newRow("u huge negative") << QByteArray("{\\rtf1 \\u-99999999999999999999?x}")
                                     << QStringList{"?x"};
    QTest::newRow("u int max") << QByteArray("{\\rtf1 \\u2147483647?\\u-2147483648?}") << QStringList{"??"};
    QTest::newRow("uc huge") << QByteArray("{\\rtf1 \\uc99999999999\\u1488 abc{}d}")
                             << QStringList{QString::fromUtf8("אd")};
    QTest::newRow("uc negative") << QByteArray("{\\rtf1 \\uc-5\\u1488 ab}")
                                 << QStringList{QString::fromUtf8("אab")};
    QTest::newRow("bin huge") << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << QStringList{"a"};
    QTest::newRow("bin beyond int") << QByteArray("{\\rtf1 a\\bin99999999999999999999 xyz}")
                                    << QStringList{"a"};
    QTest::newRow("bin at end") << QByteArray("{\\rtf1 a\\bin") << QStringList{"a"};
    QTest::newRow("huge parameters")
        << QByteArray(
               "{\\rtf1{\\colortbl;\\red99999999999\\green-5\\blue300;}\\fs99999999999\\cf1\\cf99999999999"
               "\\f-99999999\\li-2147483648\\ansicpg99999\\deff-1 x\\par}")
        << QStringList{"x"};
    QTest::newRow("long word") << "{\\rtf1 a\\" + QByteArray(200000, 'x') + " b}" << QStringList{"ab"};
    QTest::newRow("long number") << "{\\rtf1 a\\fs" + QByteArray(200000, '9') + " b}" << QStringList{"ab"};
    QTest::newRow("NULs") << raw("{\\rtf1 a\0b\\\0c\\'00d\\u0?e\0}\0") << QStringList{"abcde"};
    QTest::newRow("NUL in word") << raw("{\\rtf1 \\b\0x}") << QStringList{"x"};
    QTest::newRow("star at end") << QByteArray("{\\rtf1 a{\\*") << QStringList{"a"};
    QTest::newRow("font table unterminated")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset204 Arial") << QStringList{""};
    QTest::newRow("font table without groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fcharset204 Cyr;\\f1\\fcharset0 Latin;}\\f0\\'c0\\f1\\'c0}")
        << QStringList{QString::fromUtf8("АÀ")};
    QTest::newRow("font charset huge")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset99999999999\\cpg-1 A;}}\\f0\\'e9}")
        << QStringList{QString::fromUtf8("é")};
    QTest::newRow("colour table unterminated")
        << QByteArray("{\\rtf1{\\colortbl;\\red255}\\cf1 x}") << QStringList{"x"};
    QTest::newRow("text in tables") << QByteArray("{\\rtf1{\\fonttbl text\\par;}{\\colortbl more\\par;}x}")
                                    << QStringList{"x"};
    QTest::newRow("upr unterminated") << QByteArray("{\\rtf1 {\\upr a{\\*\\ud b") << QStringList{"b"};
    QTest::newRow("lone low surrogate") << QByteArray("{\\rtf1 \\u-9002?x}")
                                        << QStringList{QString(QChar(QChar::ReplacementCharacter)) + "x"};
    QTest::newRow("surrogate split by format") << QByteArray("{\\rtf1 \\u-10179?{\\b\\u-9002?}}")
                                               << QStringList{QString(2, QChar(QChar::ReplacementCharacter))};
    QTest::newRow("frame markers") << QByteArray("{\\rtf1 a\\u-560?b\\u-559?c}") << QStringList{"abc"};
    QTest::newRow("object replacement") << QByteArray("{\\rtf1 a\\u-4?b}") << QStringList{"ab"};
    QTest::newRow("8-bit text between words")
        << "{\\rtf1\\ansicpg1251 " + QByteArray("\\'e9\\b").repeated(100000) + "}"
        << QStringList{QString(100000, QChar(0x0439))};
    QTest::newRow("format changes") << "{\\rtf1 " + QByteArray("a\\b b\\b0 ").repeated(100000) + "}"
                                    << QStringList{QByteArray("ab").repeated(100000)};
    QTest::newRow("many paragraphs") << "{\\rtf1 " + QByteArray("\\par").repeated(50000) + "}"
                                     << QStringList(50000, QString());
}

void tst_Rtf::malformed()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, expected);
    QElapsedTimer timer;
    timer.start();
    QTextDocument document;
    QVERIFY(RtfReader::read(rtf, &document));
    QCOMPARE(paragraphs(document), expected);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

// Damage is what loses text: a file cut off or nested too deep. A stray "}" is
// read past and loses nothing.
void tst_Rtf::damageReported_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << QByteArray("{\\rtf1 {\\b a} b}") << false << "a b";
    QTest::newRow("stray close") << QByteArray("{\\rtf1 {\\b a}} b {\\i c}}") << false << "a b c";
    QTest::newRow("cut off") << QByteArray("{\\rtf1 {\\b a} b") << true << "a b";
    QTest::newRow("nested too deep") << "{\\rtf1 a" + QByteArray(RtfReader::MaxDepth + 1, '{') + "x" +
                                            QByteArray(RtfReader::MaxDepth + 1, '}') + " b}"
                                     << true << "a b";
}

void tst_Rtf::damageReported()
{
    QFETCH(QByteArray, rtf);
    QFETCH(bool, damaged);
    QFETCH(QString, text);
    QTextDocument document;
    bool reported = !damaged;
    QVERIFY(RtfReader::read(rtf, &document, nullptr, &reported));
    QCOMPARE(reported, damaged);
    QCOMPARE(document.toPlainText(), text);
}

void tst_Rtf::truncationsKeepEarlierParagraphs()
{
    // A written document and a sample from a word processor, cut at every byte: what
    // comes before the cut is read as it was, whatever the cut destroys.
    const QList<QByteArray> inputs = {RtfWriter::write(*formattedDocument()), sample("word.rtf")};
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &full : inputs) {
        const QStringList complete = paragraphs(*readRtf(full));
        for (qsizetype cut = 0; cut <= full.size(); ++cut) {
            QTextDocument document;
            const bool ok = RtfReader::read(full.left(cut), &document);
            QCOMPARE(ok, cut >= 5);
            const QStringList got = paragraphs(document);
            QVERIFY2(got.size() <= complete.size() + 1, qPrintable(QString::number(cut)));
            for (qsizetype i = 0; i + 1 < got.size(); ++i)
                QVERIFY2(got[i] == complete[i],
                         qPrintable(QStringLiteral("cut %1 paragraph %2: %3").arg(cut).arg(i).arg(got[i])));
        }
    }
    qDebug("%d truncations in %lld ms", int(inputs[0].size() + inputs[1].size()), timer.elapsed());
}

void tst_Rtf::randomByteFlips()
{
    const QByteArray original = sample("word.rtf") + sample("japanese.rtf");
    QRandomGenerator random(20240607);
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = original;
        const int flips = 1 + int(random.bounded(16));
        for (int i = 0; i < flips; ++i)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        QTextDocument document;
        QCOMPARE(RtfReader::read(damaged, &document), damaged.startsWith("{\\rtf"));
    }
    qDebug("3000 damaged documents in %lld ms", timer.elapsed());
}

void tst_Rtf::randomTokenSoup()
{
    static const char *const tokens[] = {"{",          "}",
                                         "\\",         "\\'",
                                         "\\'e9",      "\\'8",
                                         "\\u",        "\\u-",
                                         "\\u1488",    "\\u-10179",
                                         "\\uc",       "\\uc3",
                                         "\\bin",      "\\bin3 ",
                                         "\\bin-1",    "\\*",
                                         "\\fonttbl",  "\\colortbl",
                                         "\\f",        "\\f1",
                                         "\\fcharset", "\\fcharset128",
                                         "\\red",      "\\green9",
                                         ";",          "\\par",
                                         "\\pard",     "\\plain",
                                         "\\b",        "\\i0",
                                         "\\cf",       "\\cf2",
                                         "\\fs",       "\\fs999",
                                         "\\upr",      "\\ud",
                                         "\\fldinst",  "\\fldrslt",
                                         "\\pict",     "\\li",
                                         "\\fi-",      "-",
                                         "9",          "99999999999",
                                         " ",          "a",
                                         "Z",          "\r\n",
                                         "\t",         "\\~",
                                         "\\-",        "\\\\",
                                         "\\{",        "\\}",
                                         "\x82",       "\xff",
                                         "\0"};
    QRandomGenerator random(7);
    QElapsedTimer timer;
    timer.start();
    qsizetype characters = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray rtf = "{\\rtf1";
        const int count = int(random.bounded(400));
        for (int i = 0; i < count; ++i) {
            const qsizetype index = random.bounded(int(std::size(tokens)));
            rtf +=
                index == qsizetype(std::size(tokens)) - 1 ? QByteArray(1, '\0') : QByteArray(tokens[index]);
        }
        QTextDocument document;
        QVERIFY(RtfReader::read(rtf, &document));
        characters += document.characterCount();
        // Whatever was read can be written and read back to the same text.
        QCOMPARE(paragraphs(*readRtf(RtfWriter::write(document))), paragraphs(document));
    }
    QVERIFY(characters > 3000);
    qDebug("3000 token soups in %lld ms", timer.elapsed());
}

void tst_Rtf::opensInWordProcessor()
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        QSKIP("No word processor installed to open the file with");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto document = formattedDocument();
    QTextCursor cursor(document->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QString::fromUtf8(" אב Ω 中 😀 café"));
    QFile file(dir.filePath("written.rtf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(RtfWriter::write(*document));
    file.close();
    QProcess process;
    process.start(soffice,
                  {"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                   "--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir", dir.path(),
                   file.fileName()});
    QVERIFY(process.waitForFinished(120000));
    QFile text(dir.filePath("written.txt"));
    QVERIFY2(text.open(QIODevice::ReadOnly), process.readAllStandardError().constData());
    QString converted = QString::fromUtf8(text.readAll());
    converted.remove(QChar(0xFEFF));
    QCOMPARE(converted.split(QRegularExpression("\r?\n")).mid(0, document->blockCount()),
             paragraphs(*document));
}

// Each paragraph as "style:text", with the style of its list (0 for none) and "+"
// when it continues the list of the paragraph before.
QStringList listShape(const QTextDocument &document)
{
    QStringList shape;
    const QTextList *previous = nullptr;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        const int style = list ? -int(list->format().style()) : 0;
        shape << QStringLiteral("%1%2:%3")
                     .arg(style)
                     .arg(list && list == previous ? QStringLiteral("+") : QString())
                     .arg(block.text());
        previous = list;
    }
    return shape;
}

void tst_Rtf::lists_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("shape");
    // Styles: 1 disc, 4 decimal, 5 lower alpha.
    QTest::newRow("pn bullets")
        << QByteArray("{\\rtf1\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}"
                      "\\fi-360\\li720 one\\par{\\pntext\\f1\\'B7\\tab}one b\\par"
                      "\\pard after\\par}")
        << QStringList{"1:one", "1+:one b", "0:after"};
    QTest::newRow("pn numbers")
        << QByteArray("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}a\\par"
                      "{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}b\\par}")
        << QStringList{"4:a", "4+:b"};
    QTest::newRow("pn letters") << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnlcltr}a\\par}")
                                << QStringList{"5:a"};
    QTest::newRow("ls bullet") << QByteArray(
                                      "{\\rtf1\\pard\\ls1\\li720{\\listtext\\'95\\tab}x\\par\\pard y\\par}")
                               << QStringList{"1:x", "0:y"};
    QTest::newRow("ls number")
        << QByteArray("{\\rtf1\\pard\\ls2{\\listtext 1.\\tab}x\\par{\\listtext 2.\\tab}z\\par}")
        << QStringList{"4:x", "4+:z"};
    QTest::newRow("ls bullet of a letter")
        << QByteArray("{\\rtf1\\pard\\ls3{\\listtext\\f2 o\\tab}x\\par}") << QStringList{"1:x"};
    QTest::newRow("LibreOffice bullet") << QByteArray("{\\rtf1\\pard\\plain\\ls1\\ilvl0\\li720\\fi-360{"
                                                      "\\listtext\\pard\\plain \\u8226\\'3f\\tab}Item}")
                                        << QStringList{"1:Item"};
    QTest::newRow("kinds apart")
        << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlblt}a\\par\\pard{\\*\\pn\\pnlvlbody\\pndec}b\\par}")
        << QStringList{"1:a", "4:b"};
    QTest::newRow("continued level") << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlcont}a\\par}")
                                     << QStringList{"0:a"};
}

void tst_Rtf::lists()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, shape);
    const auto document = readRtf(rtf);
    QCOMPARE(listShape(*document), shape);
    // The marker hangs left of the text: every line starts at the left indent.
    const QTextBlockFormat first = document->begin().blockFormat();
    QCOMPARE(first.textIndent(), 0.0);
    QCOMPARE(twipsX(first.leftMargin()) >= 360, document->begin().textList() != nullptr);
}

void tst_Rtf::complexScript_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantMap>("props"); // the properties that must hold
    const QByteArray fonts = "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 David;}}";
    const QString hebrew = QString::fromUtf8("אב");
    QTest::newRow("Word: bold Hebrew")
        << fonts + "{\\rtlch\\fcs1\\ab\\af1\\afs32\\ltrch\\fcs0\\f0\\fs20 \\u1488?\\u1489? x}}" << hebrew
        << QVariantMap{{"bold", true}, {"size", 16.0}, {"family", "David"}};
    QTest::newRow("Word: Latin beside it")
        << fonts + "{\\rtlch\\fcs1\\ab\\af1\\afs32\\ltrch\\fcs0\\f0\\fs20 \\u1488?\\u1489? x}}"
        << " x" << QVariantMap{{"bold", false}, {"size", 10.0}, {"family", "Arial"}};
    QTest::newRow("ai and ab0") << fonts + "{\\b\\ab0\\ai \\u1488?\\u1489?}}" << hebrew
                                << QVariantMap{{"bold", false}, {"italic", true}};
    QTest::newRow("no associated forms: the ordinary ones")
        << fonts + "{\\b\\fs28 \\u1488?\\u1489?}}" << hebrew << QVariantMap{{"bold", true}, {"size", 14.0}};
    QTest::newRow("af after dbch is not the complex font")
        << fonts + "{\\f0\\dbch\\af1 \\u1488?\\u1489?}}" << hebrew << QVariantMap{{"family", "Arial"}};
    QTest::newRow("plain resets") << fonts + "{\\ab\\afs40\\plain \\u1488?\\u1489?}}" << hebrew
                                  << QVariantMap{{"bold", false}, {"size", 0.0}};
    QTest::newRow("Arabic") << fonts + "{\\rtlch\\ab\\ltrch \\u1576?\\u1587?}}" << QString::fromUtf8("بس")
                            << QVariantMap{{"bold", true}};
}

void tst_Rtf::complexScript()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QVariantMap, props);
    const auto document = readRtf(rtf);
    const QVariantMap actual = charProps(formatOf(*document, text, text.startsWith(' ') ? 1 : 0));
    for (auto it = props.cbegin(); it != props.cend(); ++it)
        QCOMPARE(actual.value(it.key()), it.value());
}

// Bullets, numbers and bold, resized Hebrew and Arabic are written so that they
// come back, and the Latin text beside them keeps its own format.
void tst_Rtf::listsAndComplexScriptRoundTrip()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat big;
    big.setFontWeight(QFont::Bold);
    big.setFontPointSize(18);
    big.setFontFamilies({QStringLiteral("David")});
    cursor.insertText(QString::fromUtf8("בראשית ברא"), big);
    cursor.insertText(QStringLiteral(" Genesis"), QTextCharFormat());
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.insertList(bullets);
    cursor.insertText(QStringLiteral("first"));
    cursor.insertBlock();
    cursor.insertText(QString::fromUtf8("قال"), big);
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    cursor.insertList(numbers);
    cursor.insertText(QStringLiteral("one"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));

    const QByteArray rtf = RtfWriter::write(document);
    QVERIFY(rtf.contains("\\rtlch\\af1\\afs36\\ab\\ltrch\\f1\\fs36\\b"));
    QVERIFY(rtf.contains("{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt"));
    QVERIFY(rtf.contains("{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pndec"));
    QVERIFY(rtf.contains("\\li600\\fi-360"));
    const auto back = readRtf(rtf);
    QCOMPARE(listShape(*back), (QStringList{QString::fromUtf8("0:בראשית ברא Genesis"), "1:first",
                                            QString::fromUtf8("1+:قال"), "4:one", "4+:two"}));
    for (const QString &text :
         {QString::fromUtf8("בראשית"), QString::fromUtf8("ברא"), QString::fromUtf8("قال")}) {
        const QVariantMap props = charProps(formatOf(*back, text));
        QCOMPARE(props.value("bold"), QVariant(true));
        QCOMPARE(props.value("size"), QVariant(18.0));
        QCOMPARE(props.value("family"), QVariant("David"));
    }
    QCOMPARE(charProps(formatOf(*back, " Genesis", 1)).value("bold"), QVariant(false));
    // Written again, it is the same file.
    QCOMPARE(RtfWriter::write(*back), RtfWriter::write(*readRtf(RtfWriter::write(*back))));
}

// The word processor takes our bullets as a list (its text has no marker of ours)
// and our bold, resized Hebrew as its complex-script bold and size.
void tst_Rtf::wordProcessorSeesListsAndComplexScript()
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        QSKIP("No word processor installed to open the file with");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat big;
    big.setFontWeight(QFont::Bold);
    big.setFontPointSize(20);
    cursor.insertText(QString::fromUtf8("אב"), big);
    cursor.insertList(QTextListFormat::ListDisc);
    cursor.insertText(QStringLiteral("first"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("second"));
    QFile file(dir.filePath("lists.rtf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(RtfWriter::write(document));
    file.close();
    QProcess process;
    process.start(soffice,
                  {"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                   "--headless", "--convert-to", "fodt", "--outdir", dir.path(), file.fileName()});
    QVERIFY(process.waitForFinished(120000));
    QFile converted(dir.filePath("lists.fodt"));
    QVERIFY2(converted.open(QIODevice::ReadOnly), process.readAllStandardError().constData());
    const QString xml = QString::fromUtf8(converted.readAll());
    QVERIFY(xml.contains("text:bullet-char="));
    QCOMPARE(xml.count("<text:list-item>"), 2);
    QVERIFY(!xml.contains(QString::fromUtf8("•\tfirst")));
    QVERIFY(
        xml.contains(QStringLiteral(R"(style:font-size-complex="20pt" style:font-weight-complex="bold")")));
}

QTEST_MAIN(tst_Rtf)
#include "tst_rtf.moc"
