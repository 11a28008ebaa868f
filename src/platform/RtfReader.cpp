#include "platform/RtfReader.h"
#include "platform/ParagraphIndents.h"

#include "platform/CodePage.h"
#include "platform/Twips.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Where the text of a group goes.
enum class Dest : quint8 {
    Body,
    FontTable,
    ColorTable,
    UprAnsi,   // the 8-bit half of \upr: skipped, but its \ud half is read
    ListText,  // the marker a list paragraph shows (\pntext, \listtext): kept aside
    ListLevel, // \pn: the kind of list of the paragraph
    Skip,
};

// The list a paragraph belongs to. Auto: a \ls list, bulleted or numbered by the
// marker text that goes with it.
enum class ListKind : quint8 { None, Auto, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

enum class Script : quint8 { Normal, Super, Sub };

struct CharProps
{
    int font = -1;      // -1: the default font, left to the document
    int halfPoints = 0; // 0: the default size, left to the document
    int foreground = -1;
    int background = -1;
    int highlight = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool smallCaps = false;
    bool allCaps = false;
    bool hidden = false;
    Script script = Script::Normal;
    // The associated forms for complex-script text (Hebrew, Arabic, ...): -1 or 0
    // when not given, and then the ordinary form holds for it too.
    int complexFont = -1;
    int complexHalfPoints = 0;
    qint8 complexBold = -1;
    qint8 complexItalic = -1;

    bool operator==(const CharProps &) const = default;
};

struct ParaProps
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int left = 0; // twips
    int right = 0;
    int firstLine = 0;
    int before = 0;
    int after = 0;
    bool rightToLeft = false;
    ListKind list = ListKind::None;
};

struct GroupState
{
    Dest dest = Dest::Body;
    Dest uprDest = Dest::Body;
    int unicodeSkip = 1;
    // \af names the complex-script font after \rtlch or \ltrch, but the font of
    // other character classes after \loch, \hich and \dbch.
    bool afComplex = true;
    CharProps chars;
    ParaProps para;
};

struct Run
{
    CharProps props;
    QString text;
};

struct Font
{
    QString name;
    int codePage = 0; // 0: the document's ANSI code page
};

enum class Word {
    Ansi,
    AnsiCpg,
    Mac,
    Pc,
    Pca,
    Deff,
    FontTbl,
    ColorTbl,
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    Cf,
    Cb,
    Highlight,
    ChCbPat,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    Scaps,
    Caps,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    Plain,
    Fs,
    V,
    Par,
    Line,
    Tab,
    Page,
    Sect,
    Cell,
    Row,
    Pard,
    Pn,
    PnLevelBullet,
    PnLevelBody,
    PnLevelCont,
    PnStyle, // the numbering style of a \pn level: \pndec, \pnlcltr ...
    ListText,
    Ls,
    Ab,
    Ai,
    Af,
    Afs,
    AfComplex,
    AfOther,
    Ql,
    Qc,
    Qr,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    RtlPar,
    LtrPar,
    Character, // a word that stands for one character (\emdash, \bullet, ...)
    U,
    Uc,
    Bin,
    Upr,
    Ud,
    SkipDest, // a destination whose text is not body text
};

struct WordInfo
{
    Word word;
    char16_t character = 0;
};

const std::unordered_map<std::string_view, WordInfo> &wordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t = {
            {"ansi", {Word::Ansi}},
            {"ansicpg", {Word::AnsiCpg}},
            {"mac", {Word::Mac}},
            {"pc", {Word::Pc}},
            {"pca", {Word::Pca}},
            {"deff", {Word::Deff}},
            {"fonttbl", {Word::FontTbl}},
            {"colortbl", {Word::ColorTbl}},
            {"f", {Word::F}},
            {"fcharset", {Word::FCharset}},
            {"cpg", {Word::Cpg}},
            {"red", {Word::Red}},
            {"green", {Word::Green}},
            {"blue", {Word::Blue}},
            {"cf", {Word::Cf}},
            {"cb", {Word::Cb}},
            {"highlight", {Word::Highlight}},
            {"chcbpat", {Word::ChCbPat}},
            {"b", {Word::B}},
            {"i", {Word::I}},
            {"ulnone", {Word::UlNone}},
            {"strike", {Word::Strike}},
            {"striked", {Word::Strike}},
            {"scaps", {Word::Scaps}},
            {"caps", {Word::Caps}},
            {"super", {Word::Super}},
            {"sub", {Word::Sub}},
            {"nosupersub", {Word::NoSuperSub}},
            {"up", {Word::Up}},
            {"dn", {Word::Dn}},
            {"plain", {Word::Plain}},
            {"fs", {Word::Fs}},
            {"v", {Word::V}},
            {"par", {Word::Par}},
            {"line", {Word::Line}},
            {"tab", {Word::Tab}},
            {"page", {Word::Page}},
            {"sect", {Word::Sect}},
            {"cell", {Word::Cell}},
            {"nestcell", {Word::Cell}},
            {"row", {Word::Row}},
            {"nestrow", {Word::Row}},
            {"pard", {Word::Pard}},
            {"pn", {Word::Pn}},
            {"pnlvlblt", {Word::PnLevelBullet}},
            {"pnlvlbody", {Word::PnLevelBody}},
            {"pnlvlcont", {Word::PnLevelCont}},
            {"pndec", {Word::PnStyle, char16_t(ListKind::Decimal)}},
            {"pnlcltr", {Word::PnStyle, char16_t(ListKind::LowerAlpha)}},
            {"pnucltr", {Word::PnStyle, char16_t(ListKind::UpperAlpha)}},
            {"pnlcrm", {Word::PnStyle, char16_t(ListKind::LowerRoman)}},
            {"pnucrm", {Word::PnStyle, char16_t(ListKind::UpperRoman)}},
            {"pntext", {Word::ListText}},
            {"listtext", {Word::ListText}},
            {"ls", {Word::Ls}},
            {"ab", {Word::Ab}},
            {"ai", {Word::Ai}},
            {"af", {Word::Af}},
            {"afs", {Word::Afs}},
            {"rtlch", {Word::AfComplex}},
            {"ltrch", {Word::AfComplex}},
            {"loch", {Word::AfOther}},
            {"hich", {Word::AfOther}},
            {"dbch", {Word::AfOther}},
            {"ql", {Word::Ql}},
            {"qc", {Word::Qc}},
            {"qr", {Word::Qr}},
            {"qj", {Word::Qj}},
            {"qd", {Word::Qj}},
            {"li", {Word::Li}},
            {"ri", {Word::Ri}},
            {"fi", {Word::Fi}},
            {"sb", {Word::Sb}},
            {"sa", {Word::Sa}},
            {"rtlpar", {Word::RtlPar}},
            {"ltrpar", {Word::LtrPar}},
            {"u", {Word::U}},
            {"uc", {Word::Uc}},
            {"bin", {Word::Bin}},
            {"upr", {Word::Upr}},
            {"ud", {Word::Ud}},
            {"emdash", {Word::Character, 0x2014}},
            {"endash", {Word::Character, 0x2013}},
            {"emspace", {Word::Character, 0x2003}},
            {"enspace", {Word::Character, 0x2002}},
            {"qmspace", {Word::Character, 0x2005}},
            {"lquote", {Word::Character, 0x2018}},
            {"rquote", {Word::Character, 0x2019}},
            {"ldblquote", {Word::Character, 0x201C}},
            {"rdblquote", {Word::Character, 0x201D}},
            {"bullet", {Word::Character, 0x2022}},
            {"zwj", {Word::Character, 0x200D}},
            {"zwnj", {Word::Character, 0x200C}},
            {"zwbo", {Word::Character, 0x200B}},
            {"ltrmark", {Word::Character, 0x200E}},
            {"rtlmark", {Word::Character, 0x200F}},
        };
        // Every underline style reads as underline.
        for (std::string_view ul :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(ul, WordInfo{Word::Ul});
        // Destinations that hold no body text, whether marked \* or not.
        for (std::string_view d : {"info",
                                   "title",
                                   "subject",
                                   "author",
                                   "operator",
                                   "keywords",
                                   "comment",
                                   "doccomm",
                                   "company",
                                   "manager",
                                   "category",
                                   "hlinkbase",
                                   "creatim",
                                   "revtim",
                                   "printim",
                                   "buptim",
                                   "stylesheet",
                                   "listtable",
                                   "listoverridetable",
                                   "revtbl",
                                   "rsidtbl",
                                   "filetbl",
                                   "header",
                                   "headerl",
                                   "headerr",
                                   "headerf",
                                   "footer",
                                   "footerl",
                                   "footerr",
                                   "footerf",
                                   "footnote",
                                   "annotation",
                                   "atnid",
                                   "atnauthor",
                                   "atntime",
                                   "atnref",
                                   "atndate",
                                   "ftnsep",
                                   "ftnsepc",
                                   "ftncn",
                                   "aftnsep",
                                   "aftnsepc",
                                   "aftncn",
                                   "pict",
                                   "object",
                                   "objdata",
                                   "objclass",
                                   "objname",
                                   "fldinst",
                                   "xe",
                                   "tc",
                                   "txe",
                                   "rxe",
                                   "bkmkstart",
                                   "bkmkend",
                                   "pntxta",
                                   "pntxtb",
                                   "template",
                                   "docvar",
                                   "userprops",
                                   "shp",
                                   "shpinst",
                                   "shptxt",
                                   "nonshppict",
                                   "shppict",
                                   "do",
                                   "themedata",
                                   "colorschememapping",
                                   "latentstyles",
                                   "datastore",
                                   "xmlnstbl",
                                   "generator",
                                   "pgdsctbl",
                                   "mmathPr",
                                   "private",
                                   "protusertbl",
                                   "fchars",
                                   "lchars",
                                   "picprop",
                                   "blipuid",
                                   "listpicture",
                                   "datafield",
                                   "formfield",
                                   "background",
                                   "panose",
                                   "falt",
                                   "fname"})
            t.emplace(d, WordInfo{Word::SkipDest});
        return t;
    }();
    return table;
}

// The Windows code page of a font character set; 0 when the set names none.
int charsetCodePage(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 1252; // symbol fonts: the bytes are taken as they are
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}

constexpr int MaxTwips = 31680; // 22 inches: larger indents are damage
constexpr int MaxHalfPoints = 3276;
constexpr int MaxColors = 32768;
constexpr int MaxUnicodeSkip = 255;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Characters of the scripts that RTF formats with the associated (\a...) forms.
bool isComplexScript(char16_t c)
{
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0x0900 && c <= 0x109F) || (c >= 0x1780 && c <= 0x17FF) ||
           (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF);
}

QTextListFormat::Style listStyle(ListKind kind)
{
    switch (kind) {
    case ListKind::Decimal:
        return QTextListFormat::ListDecimal;
    case ListKind::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case ListKind::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case ListKind::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case ListKind::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    default:
        return QTextListFormat::ListDisc;
    }
}

// Twips of room for a list item's marker left of its text.
constexpr int MinListIndent = int(ParagraphIndents::MarkerRoomTwips);

// A lone half of a surrogate pair would upset text layout; it becomes U+FFFD.
void replaceLoneSurrogates(QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
}

// Just past the last byte that is more than a blank, a NUL or a "}".
const char *contentEnd(const QByteArray &rtf)
{
    qsizetype end = rtf.size();
    while (end > 0 && std::strchr("} \t\r\n", rtf[end - 1]))
        --end;
    return rtf.constData() + end;
}

class Parser
{
public:
    Parser(const QByteArray &rtf, qsizetype start, QTextDocument *document);
    void run();
    bool damaged() const { return m_damaged; }

private:
    GroupState &group() { return m_groups.back(); }
    bool ignoring() const { return m_overflow > 0 || m_groups.back().dest == Dest::Skip; }
    bool skipFallback();

    void openGroup();
    void closeGroup();
    void controlToken();
    void controlWord();
    void controlSymbol(char c);
    void hexByte();
    void rawCharacter(uchar c);
    void apply(const WordInfo &info, bool hasParam, int param);
    void applyTableWord(Word word, bool hasParam, int param);
    bool applyCharacterWord(Word word, bool hasParam, int param);
    bool applyParagraphWord(Word word, bool hasParam, int param);
    void applyBodyWord(const WordInfo &info, bool hasParam, int param);
    void applyListLevelWord(const WordInfo &info);
    ParaProps *outerPara();

    void addByte(uchar byte);
    void addCharacter(char16_t c);
    void flush();
    void addText(const QString &text);
    void addBodyText(QStringView text);
    void appendRun(const CharProps &props, QStringView text);
    void appendScripts(const CharProps &props, QStringView text);
    int currentCodePage() const;

    void beginFont(int number);
    void endFont();
    void endColor();

    void endParagraph();
    void writeParagraph(const ParaProps &para, const CharProps &mark);
    void placeInList(ListKind kind);
    QTextCharFormat charFormat(const CharProps &props) const;
    QTextBlockFormat blockFormat(const ParaProps &props) const;
    QColor color(int index) const;

    const char *m_pos;
    const char *m_end;
    const char *m_contentEnd; // past the last byte that is not blank, NUL or "}"
    std::vector<GroupState> m_groups;
    qsizetype m_overflow = 0; // groups opened past the depth limit, skipped
    bool m_done = false;
    bool m_damaged = false;
    bool m_starPending = false;
    int m_fallbackToSkip = 0; // characters after \u that stand in for it

    int m_ansiCodePage = CodePage::SystemAnsi;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    bool m_fontOpen = false;
    int m_fontNumber = 0;
    int m_fontCodePage = 0;
    QString m_fontName;

    QList<QColor> m_colors;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colorGiven = false;

    // 8-bit text waits here until something else comes, so that the two bytes of a
    // double-byte character are decoded together.
    QByteArray m_bytes;
    int m_bytesCodePage = CodePage::SystemAnsi;

    std::vector<Run> m_runs;
    ParaProps m_lastTextPara; // for a last paragraph that has no \par
    CharProps m_lastTextChars;

    QString m_listText;          // the marker of the paragraph being read
    QTextList *m_list = nullptr; // the list the last paragraph went into
    ListKind m_listKind = ListKind::None;

    QTextCursor m_cursor;
    bool m_firstParagraph = true;
    double m_twipsPerPixelX;
    double m_twipsPerPixelY;
};

Parser::Parser(const QByteArray &rtf, qsizetype start, QTextDocument *document)
    : m_pos(rtf.constData() + start)
    , m_end(rtf.constData() + rtf.size())
    , m_contentEnd(contentEnd(rtf))
    , m_cursor(document)
    , m_twipsPerPixelX(Twips::perPixelX())
    , m_twipsPerPixelY(Twips::perPixelY())
{
    m_groups.reserve(64);
}

void Parser::run()
{
    m_cursor.beginEditBlock();
    while (m_pos < m_end && !m_done) {
        const char c = *m_pos++;
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            controlToken();
            break;
        case '\r':
        case '\n':
            break;
        default:
            if (!m_groups.empty())
                rawCharacter(uchar(c));
            break;
        }
    }
    if (!m_groups.empty()) {
        flush();
        m_damaged = true;
    }
    if (!m_runs.empty())
        writeParagraph(m_lastTextPara, m_lastTextChars);
    m_cursor.endEditBlock();
}

bool Parser::skipFallback()
{
    if (m_fallbackToSkip <= 0)
        return false;
    --m_fallbackToSkip;
    return true;
}

void Parser::openGroup()
{
    m_starPending = false;
    m_fallbackToSkip = 0;
    if (m_overflow > 0 || m_groups.size() >= size_t(RtfReader::MaxDepth)) {
        ++m_overflow;
        m_damaged = true;
        return;
    }
    if (m_groups.empty()) {
        m_groups.emplace_back();
        return;
    }
    flush();
    m_groups.push_back(m_groups.back());
}

void Parser::closeGroup()
{
    m_starPending = false;
    m_fallbackToSkip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    flush();
    // A "}" that closes the document while more of it follows is stray: the text
    // after it is read on, as word processors do, rather than lost.
    if (m_groups.size() == 1 && m_pos < m_contentEnd)
        return;
    const GroupState &closing = m_groups.back();
    if (closing.dest == Dest::FontTable)
        endFont();
    else if (closing.dest == Dest::ColorTable && m_colorGiven)
        endColor(); // a last entry without its ";"
    m_groups.pop_back();
    if (m_groups.empty())
        m_done = true;
}

void Parser::controlToken()
{
    if (m_pos >= m_end)
        return;
    const char c = *m_pos;
    if (isLetter(c)) {
        controlWord();
        return;
    }
    ++m_pos;
    if (c == '\'')
        hexByte();
    else
        controlSymbol(c);
}

void Parser::controlWord()
{
    const char *nameStart = m_pos;
    while (m_pos < m_end && isLetter(*m_pos))
        ++m_pos;
    const std::string_view name(nameStart, size_t(m_pos - nameStart));

    bool negative = false;
    if (m_pos + 1 < m_end && *m_pos == '-' && isDigit(m_pos[1])) {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    qint64 value = 0;
    while (m_pos < m_end && isDigit(*m_pos)) {
        hasParam = true;
        if (value < 100'000'000'000LL) // keep reading the digits, but stop growing
            value = value * 10 + (*m_pos - '0');
        ++m_pos;
    }
    if (m_pos < m_end && *m_pos == ' ')
        ++m_pos;
    value = std::clamp<qint64>(negative ? -value : value, -2147483647LL, 2147483647LL);
    const int param = int(value);

    const auto &table = wordTable();
    const auto found = table.find(name);
    const WordInfo *info = found == table.end() ? nullptr : &found->second;

    if (info && info->word == Word::Bin) {
        // Binary data may hold any byte, braces included: it is passed over whatever the state.
        const qint64 length = hasParam ? std::max(0, param) : 0;
        m_pos += std::min<qint64>(length, m_end - m_pos);
        skipFallback();
        return;
    }
    if (skipFallback())
        return;
    const bool starred = std::exchange(m_starPending, false);
    if (m_overflow > 0 || m_groups.empty())
        return;
    GroupState &g = group();
    if (g.dest == Dest::Skip)
        return;
    if (g.dest == Dest::UprAnsi) {
        if (info && info->word == Word::Ud)
            g.dest = g.uprDest;
        return;
    }
    flush();
    // \* lets a reader drop a destination it does not take text from; a word it does not
    // know is ignored, but without \* the text around it is still read.
    const bool starredKnown =
        info && (info->word == Word::Ud || info->word == Word::Upr || info->word == Word::Pn);
    if (starred && !starredKnown) {
        g.dest = Dest::Skip;
        return;
    }
    if (info)
        apply(*info, hasParam, param);
}

void Parser::controlSymbol(char c)
{
    if (c == '*') {
        m_starPending = true;
        return;
    }
    m_starPending = false;
    if (skipFallback() || m_groups.empty() || ignoring())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (group().dest == Dest::Body || group().dest == Dest::FontTable)
            addByte(uchar(c));
        break;
    case '~':
        addCharacter(0x00A0);
        break;
    case '-':
        addCharacter(0x00AD);
        break;
    case '_':
        addCharacter(0x2011);
        break;
    case '\r':
    case '\n':
        // A backslash before a line end is an old spelling of \par.
        if (group().dest == Dest::Body) {
            flush();
            endParagraph();
        }
        break;
    default:
        break;
    }
}

void Parser::hexByte()
{
    m_starPending = false;
    int value = 0;
    int digits = 0;
    while (digits < 2 && m_pos < m_end && hexValue(*m_pos) >= 0) {
        value = value * 16 + hexValue(*m_pos++);
        ++digits;
    }
    if (skipFallback() || digits == 0 || m_groups.empty() || ignoring())
        return;
    if (group().dest == Dest::Body || group().dest == Dest::FontTable || group().dest == Dest::ListText)
        addByte(uchar(value));
}

void Parser::rawCharacter(uchar c)
{
    m_starPending = false;
    if (skipFallback() || ignoring())
        return;
    switch (group().dest) {
    case Dest::Body:
        if (c >= 0x20 || c == '\t')
            addByte(c);
        break;
    case Dest::FontTable:
        if (c == ';')
            endFont();
        else if (c >= 0x20)
            addByte(c);
        break;
    case Dest::ColorTable:
        if (c == ';')
            endColor();
        break;
    case Dest::ListText:
        if (c >= 0x20)
            addByte(c);
        break;
    case Dest::ListLevel:
    case Dest::UprAnsi:
    case Dest::Skip:
        break;
    }
}

void Parser::apply(const WordInfo &info, bool hasParam, int param)
{
    GroupState &g = group();
    // Switches that may come in any destination.
    switch (info.word) {
    case Word::SkipDest:
        g.dest = Dest::Skip;
        return;
    case Word::Upr:
        g.uprDest = g.dest;
        g.dest = Dest::UprAnsi;
        return;
    case Word::Uc:
        g.unicodeSkip = hasParam ? std::clamp(param, 0, MaxUnicodeSkip) : 1;
        return;
    case Word::U:
        if (hasParam && param >= -32768 && param <= 65535) {
            addCharacter(char16_t(param < 0 ? param + 65536 : param));
            m_fallbackToSkip = g.unicodeSkip;
        }
        // Out of range it is no character; the fallback that follows then stands for it.
        return;
    case Word::FontTbl:
        g.dest = Dest::FontTable;
        return;
    case Word::ListText:
        g.dest = Dest::ListText;
        return;
    case Word::Pn:
        g.dest = Dest::ListLevel;
        if (ParaProps *outer = outerPara())
            outer->list = ListKind::Decimal;
        return;
    case Word::ColorTbl:
        g.dest = Dest::ColorTable;
        m_colorGiven = false;
        m_red = m_green = m_blue = 0;
        return;
    default:
        break;
    }
    if (g.dest == Dest::ListLevel)
        applyListLevelWord(info);
    else if (g.dest != Dest::Body)
        applyTableWord(info.word, hasParam, param);
    else if (!applyCharacterWord(info.word, hasParam, param) &&
             !applyParagraphWord(info.word, hasParam, param))
        applyBodyWord(info, hasParam, param);
}

bool Parser::applyCharacterWord(Word word, bool hasParam, int param)
{
    CharProps &c = group().chars;
    const bool on = !hasParam || param != 0;
    const int index = hasParam ? param : 0;
    switch (word) {
    case Word::F:
        c.font = index;
        break;
    case Word::Fs:
        c.halfPoints = hasParam && param > 0 ? std::min(param, MaxHalfPoints) : 0;
        break;
    case Word::Cf:
        c.foreground = index;
        break;
    case Word::Cb:
    case Word::ChCbPat:
        c.background = index;
        break;
    case Word::Highlight:
        c.highlight = index;
        break;
    case Word::B:
        c.bold = on;
        break;
    case Word::I:
        c.italic = on;
        break;
    case Word::Ul:
        c.underline = on;
        break;
    case Word::UlNone:
        c.underline = false;
        break;
    case Word::Strike:
        c.strike = on;
        break;
    case Word::Scaps:
        c.smallCaps = on;
        break;
    case Word::Caps:
        c.allCaps = on;
        break;
    case Word::V:
        c.hidden = on;
        break;
    case Word::Super:
        c.script = Script::Super;
        break;
    case Word::Sub:
        c.script = Script::Sub;
        break;
    case Word::NoSuperSub:
        c.script = Script::Normal;
        break;
    case Word::Up:
        c.script = on ? Script::Super : Script::Normal;
        break;
    case Word::Dn:
        c.script = on ? Script::Sub : Script::Normal;
        break;
    case Word::Plain:
        c = CharProps();
        break;
    case Word::Ab:
        c.complexBold = on ? 1 : 0;
        break;
    case Word::Ai:
        c.complexItalic = on ? 1 : 0;
        break;
    case Word::Afs:
        c.complexHalfPoints = hasParam && param > 0 ? std::min(param, MaxHalfPoints) : 0;
        break;
    case Word::Af:
        if (group().afComplex)
            c.complexFont = index;
        break;
    case Word::AfComplex:
        group().afComplex = true;
        break;
    case Word::AfOther:
        group().afComplex = false;
        break;
    default:
        return false;
    }
    return true;
}

// The paragraph that a \pn group describes: the one of the group around it.
ParaProps *Parser::outerPara()
{
    return m_groups.size() >= 2 ? &m_groups[m_groups.size() - 2].para : nullptr;
}

void Parser::applyListLevelWord(const WordInfo &info)
{
    ParaProps *outer = outerPara();
    if (!outer)
        return;
    switch (info.word) {
    case Word::PnLevelBullet:
        outer->list = ListKind::Bullet;
        break;
    case Word::PnLevelCont:
        outer->list = ListKind::None;
        break;
    case Word::PnStyle:
        if (outer->list != ListKind::Bullet && outer->list != ListKind::None)
            outer->list = ListKind(info.character);
        break;
    default:
        break;
    }
    if (!m_runs.empty())
        m_lastTextPara = *outer;
}

bool Parser::applyParagraphWord(Word word, bool hasParam, int param)
{
    ParaProps &p = group().para;
    const int twips = std::clamp(hasParam ? param : 0, -MaxTwips, MaxTwips);
    switch (word) {
    case Word::Pard:
        p = ParaProps();
        break;
    case Word::Ql:
        p.alignment = Qt::AlignLeft;
        break;
    case Word::Qc:
        p.alignment = Qt::AlignHCenter;
        break;
    case Word::Qr:
        p.alignment = Qt::AlignRight;
        break;
    case Word::Qj:
        p.alignment = Qt::AlignJustify;
        break;
    case Word::Li:
        p.left = twips;
        break;
    case Word::Ri:
        p.right = twips;
        break;
    case Word::Fi:
        p.firstLine = twips;
        break;
    case Word::Sb:
        p.before = twips;
        break;
    case Word::Sa:
        p.after = twips;
        break;
    case Word::RtlPar:
        p.rightToLeft = true;
        break;
    case Word::Ls:
        p.list = hasParam && param > 0 ? ListKind::Auto : ListKind::None;
        break;
    case Word::LtrPar:
        p.rightToLeft = false;
        break;
    default:
        return false;
    }
    // A last paragraph without \par takes the properties last given to it.
    if (!m_runs.empty())
        m_lastTextPara = p;
    return true;
}

void Parser::applyBodyWord(const WordInfo &info, bool hasParam, int param)
{
    switch (info.word) {
    case Word::Ansi:
        m_ansiCodePage = CodePage::SystemAnsi;
        break;
    case Word::Mac:
        m_ansiCodePage = 10000;
        break;
    case Word::Pc:
        m_ansiCodePage = 437;
        break;
    case Word::Pca:
        m_ansiCodePage = 850;
        break;
    case Word::AnsiCpg:
        // An unknown code page reads as 1252, quietly: the file is what it is.
        m_ansiCodePage = hasParam && param > 0 && CodePage::isKnown(param) ? param : CodePage::SystemAnsi;
        break;
    case Word::Deff:
        m_defaultFont = hasParam ? param : 0;
        break;
    case Word::Par:
    case Word::Page:
    case Word::Row:
        endParagraph();
        break;
    case Word::Sect:
        if (!m_runs.empty())
            endParagraph();
        break;
    case Word::Line:
        addCharacter(QChar::LineSeparator);
        break;
    case Word::Tab:
    case Word::Cell:
        addCharacter(u'\t');
        break;
    case Word::Character:
        addCharacter(info.character);
        break;
    default:
        break;
    }
}

void Parser::applyTableWord(Word word, bool hasParam, int param)
{
    const GroupState &g = group();
    if (g.dest == Dest::FontTable) {
        if (word == Word::F)
            beginFont(hasParam ? param : 0);
        else if (word == Word::FCharset)
            m_fontCodePage = charsetCodePage(param);
        else if (word == Word::Cpg && hasParam && param > 0 && CodePage::isKnown(param))
            m_fontCodePage = param;
    } else if (g.dest == Dest::ColorTable) {
        const int component = std::clamp(param, 0, 255);
        if (word == Word::Red)
            m_red = component;
        else if (word == Word::Green)
            m_green = component;
        else if (word == Word::Blue)
            m_blue = component;
        else
            return;
        m_colorGiven = true;
    }
}

int Parser::currentCodePage() const
{
    const GroupState &g = m_groups.back();
    if (g.dest == Dest::FontTable)
        return m_fontCodePage > 0 ? m_fontCodePage : m_ansiCodePage;
    const int number = g.chars.font >= 0 ? g.chars.font : m_defaultFont;
    const auto it = m_fonts.constFind(number);
    if (it != m_fonts.constEnd() && it->codePage > 0)
        return it->codePage;
    return m_ansiCodePage;
}

void Parser::addByte(uchar byte)
{
    // The state cannot change while bytes wait: every control word flushes them first.
    if (m_bytes.isEmpty())
        m_bytesCodePage = currentCodePage();
    m_bytes.append(char(byte));
}

void Parser::addCharacter(char16_t c)
{
    flush();
    addText(QString(QChar(c)));
}

void Parser::flush()
{
    if (m_bytes.isEmpty())
        return;
    const bool ascii = std::all_of(m_bytes.cbegin(), m_bytes.cend(), [](char b) { return uchar(b) < 0x80; });
    const QString text = ascii ? QString::fromLatin1(m_bytes) : CodePage::decode(m_bytes, m_bytesCodePage);
    m_bytes.clear();
    addText(text);
}

void Parser::addText(const QString &text)
{
    const GroupState &g = m_groups.back();
    if (g.dest == Dest::FontTable) {
        if (m_fontOpen)
            m_fontName += text;
    } else if (g.dest == Dest::Body && !g.chars.hidden) {
        addBodyText(text);
    } else if (g.dest == Dest::ListText) {
        m_listText += text;
    }
}

void Parser::addBodyText(QStringView text)
{
    const GroupState &g = m_groups.back();
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char16_t c = i < text.size() ? text[i].unicode() : 0;
        // Control characters are no text; an object replacement character stands for an
        // object that is not there; the others would break a block apart in QTextDocument.
        const bool special = i == text.size() || (c < 0x20 && c != u'\t') ||
                             c == QChar::ObjectReplacementCharacter || c == QChar::ParagraphSeparator ||
                             c == 0xFDD0 || c == 0xFDD1;
        if (!special)
            continue;
        if (i > from) {
            appendScripts(g.chars, text.mid(from, i - from));
            m_lastTextPara = g.para;
            m_lastTextChars = g.chars;
        }
        from = i + 1;
        if (i < text.size() && c == QChar::ParagraphSeparator)
            endParagraph();
    }
}

void Parser::appendRun(const CharProps &props, QStringView text)
{
    if (m_runs.empty() || !(m_runs.back().props == props))
        m_runs.push_back(Run{props, QString()});
    m_runs.back().text += text;
}

// Complex-script letters take the associated forms; the characters between
// letters stay with the letters before them.
void Parser::appendScripts(const CharProps &props, QStringView text)
{
    if (props.complexFont < 0 && props.complexHalfPoints == 0 && props.complexBold < 0 &&
        props.complexItalic < 0) {
        appendRun(props, text);
        return;
    }
    CharProps complex = props;
    if (props.complexFont >= 0)
        complex.font = props.complexFont;
    if (props.complexHalfPoints > 0)
        complex.halfPoints = props.complexHalfPoints;
    if (props.complexBold >= 0)
        complex.bold = props.complexBold != 0;
    if (props.complexItalic >= 0)
        complex.italic = props.complexItalic != 0;
    bool inComplex = false;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool letter = c.isLetter() || c.isMark();
        if (!letter || isComplexScript(c.unicode()) == inComplex)
            continue;
        if (i > from)
            appendRun(inComplex ? complex : props, text.mid(from, i - from));
        from = i;
        inComplex = !inComplex;
    }
    appendRun(inComplex ? complex : props, text.mid(from));
}

void Parser::beginFont(int number)
{
    endFont();
    m_fontOpen = true;
    m_fontNumber = number;
    m_fontCodePage = 0;
    m_fontName.clear();
}

void Parser::endFont()
{
    flush();
    if (!m_fontOpen)
        return;
    m_fontOpen = false;
    m_fonts.insert(m_fontNumber, Font{m_fontName.trimmed(), m_fontCodePage});
}

void Parser::endColor()
{
    if (m_colors.size() < MaxColors)
        m_colors.append(m_colorGiven ? QColor(m_red, m_green, m_blue) : QColor());
    m_colorGiven = false;
    m_red = m_green = m_blue = 0;
}

QColor Parser::color(int index) const
{
    return index >= 0 && index < m_colors.size() ? m_colors.at(index) : QColor();
}

void Parser::endParagraph()
{
    const GroupState &g = m_groups.back();
    writeParagraph(g.para, g.chars);
}

QTextCharFormat Parser::charFormat(const CharProps &props) const
{
    QTextCharFormat format;
    if (props.font >= 0) {
        const auto it = m_fonts.constFind(props.font);
        if (it != m_fonts.constEnd() && !it->name.isEmpty())
            format.setFontFamilies({it->name});
    }
    if (props.halfPoints > 0)
        format.setFontPointSize(props.halfPoints / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    if (props.underline)
        format.setFontUnderline(true);
    if (props.strike)
        format.setFontStrikeOut(true);
    if (props.allCaps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.script == Script::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.script == Script::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const QColor fg = color(props.foreground); fg.isValid())
        format.setForeground(fg);
    // A highlight is drawn over any shading, so it wins.
    QColor bg = color(props.highlight);
    if (!bg.isValid())
        bg = color(props.background);
    if (bg.isValid())
        format.setBackground(bg);
    return format;
}

QTextBlockFormat Parser::blockFormat(const ParaProps &props) const
{
    QTextBlockFormat format;
    if (props.alignment != Qt::AlignLeft)
        format.setAlignment(props.alignment);
    // A list item's marker stands left of its text, in the hanging indent: the text
    // starts at the left indent on every line.
    const bool listItem = props.list != ListKind::None;
    const int left = listItem ? std::max(props.left, MinListIndent) : props.left;
    if (left != 0)
        format.setLeftMargin(left / m_twipsPerPixelX);
    if (props.right != 0)
        format.setRightMargin(props.right / m_twipsPerPixelX);
    if (props.firstLine != 0 && !listItem)
        format.setTextIndent(props.firstLine / m_twipsPerPixelX);
    if (props.before != 0)
        format.setTopMargin(props.before / m_twipsPerPixelY);
    if (props.after != 0)
        format.setBottomMargin(props.after / m_twipsPerPixelY);
    if (props.rightToLeft)
        format.setLayoutDirection(Qt::RightToLeft);
    return format;
}

void Parser::writeParagraph(const ParaProps &para, const CharProps &mark)
{
    const QTextBlockFormat block = blockFormat(para);
    const QTextCharFormat markFormat = charFormat(mark);
    if (m_firstParagraph) {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(markFormat);
        m_firstParagraph = false;
    } else {
        m_cursor.insertBlock(block, markFormat);
    }
    ListKind kind = para.list;
    if (kind == ListKind::Auto)
        kind = std::any_of(m_listText.cbegin(), m_listText.cend(), [](QChar c) { return c.isDigit(); })
                   ? ListKind::Decimal
                   : ListKind::Bullet;
    placeInList(kind);
    m_listText.clear();
    for (Run &run : m_runs) {
        replaceLoneSurrogates(run.text);
        m_cursor.insertText(run.text, charFormat(run.props));
    }
    m_runs.clear();
}

// Following paragraphs of one kind make one list, so that numbers count on.
void Parser::placeInList(ListKind kind)
{
    if (kind == ListKind::None) {
        m_list = nullptr;
    } else if (m_list && kind == m_listKind) {
        m_list->add(m_cursor.block());
    } else {
        QTextListFormat format;
        format.setStyle(listStyle(kind));
        format.setIndent(0);
        m_list = m_cursor.createList(format);
    }
    m_listKind = kind;
}

} // namespace

bool RtfReader::read(const QByteArray &rtf, QTextDocument *into, QString *error, bool *damaged)
{
    if (error)
        error->clear();
    if (damaged)
        *damaged = false;
    if (!into) {
        if (error)
            *error = QStringLiteral("No document to read into.");
        return false;
    }
    into->clear();
    qsizetype start = rtf.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < rtf.size() &&
           (rtf[start] == ' ' || rtf[start] == '\t' || rtf[start] == '\r' || rtf[start] == '\n'))
        ++start;
    if (!QByteArrayView(rtf).sliced(start).startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("Not RTF: the text does not begin with {\\rtf.");
        return false;
    }
    const bool undo = into->isUndoRedoEnabled();
    into->setUndoRedoEnabled(false);
    Parser parser(rtf, start, into);
    parser.run();
    if (damaged)
        *damaged = parser.damaged();
    into->setUndoRedoEnabled(undo);
    return true;
}
