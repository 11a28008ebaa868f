#include "platform/CodePage.h"
#include "platform/Seams.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <optional>

namespace {
Seam<std::function<void(const QString &)>> &unknownHandler()
{
    static Seam<std::function<void(const QString &)>> handler{nullptr};
    return handler;
}

int effective(int codePage)
{
    if (codePage == CodePage::Ansi)
        return CodePage::SystemAnsi;
    if (!CodePage::isKnown(codePage)) {
        static QSet<int> reported;
        if (!reported.contains(codePage)) {
            reported.insert(codePage);
            if (unknownHandler().get())
                unknownHandler().get()(
                    QStringLiteral("Unknown code page %1; the text is read as code page 1252.")
                        .arg(codePage));
        }
        return CodePage::SystemAnsi;
    }
    return codePage;
}

// The Windows and ISO single-byte code pages: one character per byte.
bool isSingleByte(int codePage)
{
    return (codePage >= 1250 && codePage <= 1258) || codePage == 874 ||
           (codePage >= 28591 && codePage <= 28606);
}

// Setting up a decoder by name costs far more than decoding one verse: a
// single-byte code page is decoded through a table taken from its decoder once.
const std::array<char16_t, 256> &byteTable(int codePage)
{
    static QHash<int, std::array<char16_t, 256>> tables;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        std::array<char16_t, 256> table{};
        const QByteArray name = CodePage::encodingName(codePage);
        for (int byte = 0; byte < 256; ++byte) {
            QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
            const char c = char(byte);
            const QString one = decoder.decode(QByteArrayView(&c, 1));
            table[size_t(byte)] = one.size() == 1 ? one[0].unicode() : char16_t(QChar::ReplacementCharacter);
        }
        it = tables.insert(codePage, table);
    }
    return *it;
}
// The bytes of the characters above ASCII of a single-byte code page.
const QHash<char16_t, char> &reverseTable(int codePage)
{
    static QHash<int, QHash<char16_t, char>> tables;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        QHash<char16_t, char> bytesOf;
        const std::array<char16_t, 256> &table = byteTable(codePage);
        for (int byte = 0x80; byte < 256; ++byte) {
            if (table[size_t(byte)] >= 0x80 && table[size_t(byte)] != QChar::ReplacementCharacter &&
                !bytesOf.contains(table[size_t(byte)]))
                bytesOf.insert(table[size_t(byte)], char(byte));
        }
        it = tables.insert(codePage, bytesOf);
    }
    return *it;
}
} // namespace

namespace CodePage {

QByteArray encodingName(int codePage)
{
    if (codePage == Ansi)
        codePage = SystemAnsi;
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    if (codePage >= 28591 && codePage <= 28606 && codePage != 28600 && codePage != 28602)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    static const QHash<int, QByteArray> names = {
        {Utf8, "UTF-8"},    {1200, "UTF-16LE"},   {1201, "UTF-16BE"},     {874, "windows-874"},
        {932, "Shift_JIS"}, {936, "GBK"},         {949, "windows-949"},   {950, "Big5"},
        {437, "IBM437"},    {850, "IBM850"},      {852, "IBM852"},        {855, "IBM855"},
        {857, "IBM857"},    {862, "IBM862"},      {866, "IBM866"},        {20866, "KOI8-R"},
        {21866, "KOI8-U"},  {10000, "macintosh"}, {20127, "US-ASCII"},    {54936, "GB18030"},
        {51949, "EUC-KR"},  {20932, "EUC-JP"},    {50220, "ISO-2022-JP"},
    };
    return names.value(codePage);
}

bool isKnown(int codePage)
{
    static QHash<int, bool> cache;
    auto it = cache.constFind(codePage);
    if (it != cache.constEnd())
        return *it;
    const QByteArray name = encodingName(codePage);
    const bool known = !name.isEmpty() && QStringDecoder(name.constData()).isValid();
    cache.insert(codePage, known);
    return known;
}

QString decode(const char *bytes, qsizetype size, int codePage)
{
    if (size <= 0)
        return QString();
    const int cp = effective(codePage);
    if (cp == Utf8)
        return QString::fromUtf8(bytes, size);
    if (isSingleByte(cp)) {
        const std::array<char16_t, 256> &table = byteTable(cp);
        QString text(size, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < size; ++i)
            out[i] = table[uchar(bytes[i])];
        return text;
    }
    QStringDecoder decoder(encodingName(cp).constData(), QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes, size));
}

QString decode(const QByteArray &bytes, int codePage)
{
    return decode(bytes.constData(), bytes.size(), codePage);
}

QByteArray encode(const QString &text, int codePage)
{
    const int cp = effective(codePage);
    if (cp == Utf8)
        return text.toUtf8();
    if (isSingleByte(cp)) {
        // Through the table, as long as every character has its byte; a text
        // with one that has none takes the careful way below.
        const QHash<char16_t, char> &bytesOf = reverseTable(cp);
        QByteArray bytes(text.size(), Qt::Uninitialized);
        char *out = bytes.data();
        bool complete = true;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x80) {
                *out++ = char(u);
                continue;
            }
            const auto it = bytesOf.constFind(u);
            if (it == bytesOf.constEnd()) {
                complete = false;
                break;
            }
            *out++ = *it;
        }
        if (complete)
            return bytes;
    }
    const QByteArray name = encodingName(cp);
    QStringEncoder whole(name.constData(), QStringConverter::Flag::Stateless);
    QByteArray bytes = whole.encode(text);
    if (!whole.hasError())
        return bytes;
    QByteArray out;
    out.reserve(text.size());
    // Character by character, so that one that does not fit becomes "?" alone. An
    // encoder stays in error once it has met one, so a fresh one follows each error.
    std::optional<QStringEncoder> encoder;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        if (!encoder)
            encoder.emplace(name.constData(), QStringConverter::Flag::Stateless);
        const QByteArray piece = encoder->encode(QStringView(text).mid(i, len));
        if (encoder->hasError() || piece.isEmpty()) {
            encoder.reset();
            out += '?';
        } else {
            out += piece;
        }
        i += len;
    }
    return out;
}

bool canEncode(const QString &text, int codePage)
{
    const int cp = effective(codePage);
    if (cp == Utf8 || cp == 1200 || cp == 1201)
        return true;
    QStringEncoder encoder(encodingName(cp).constData(), QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

void setUnknownCodePageHandler(std::function<void(const QString &message)> handler)
{
    unknownHandler().replace(std::move(handler));
}

} // namespace CodePage
