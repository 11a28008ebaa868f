#include "platform/CodePage.h"
#include "platform/Seams.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <bit>
#include <map>
#include <optional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    if (codePage == CodePage::SystemAnsi || codePage == CodePage::Utf8)
        return codePage;
    if (!CodePage::isKnown(codePage)) {
        static QSet<int> reported;
        if (!reported.contains(codePage)) {
            reported.insert(codePage);
            if (const auto &handler = unknownHandler().get())
                handler(QStringLiteral("Unknown code page %1; the text is read as code page 1252.")
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

// The character of each byte of a single-byte code page, taken from its decoder once.
struct ByteTable
{
    std::array<char16_t, 256> chars{};
    // Whether the bytes from 0xA0 on stand for the characters of the same
    // number, as in code page 1252 and Latin-1.
    bool latinFromA0 = false;
};

const ByteTable &byteTable(int codePage)
{
    // A map, so that the tables handed out stay where they are.
    static std::map<int, ByteTable> tables;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        ByteTable table;
        const QByteArray name = CodePage::encodingName(codePage);
        for (int byte = 0; byte < 256; ++byte) {
            QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
            const char c = char(byte);
            const QString one = decoder.decode(QByteArrayView(&c, 1));
            table.chars[size_t(byte)] =
                one.size() == 1 ? one[0].unicode() : char16_t(QChar::ReplacementCharacter);
        }
        table.latinFromA0 = true;
        for (int byte = 0xA0; byte < 256; ++byte)
            table.latinFromA0 = table.latinFromA0 && table.chars[size_t(byte)] == byte;
        it = tables.emplace(codePage, table).first;
    }
    return it->second;
}

// Setting up a decoder by name costs far more than decoding one verse: a
// single-byte code page is decoded through its table.
void decodeThroughTable(const char *bytes, qsizetype size, const ByteTable &table, char16_t *out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    // These code pages all keep ASCII below 0x80: sixteen bytes are widened at
    // once, and those that stand for other characters are then looked up one by one.
    const __m128i zero = _mm_setzero_si128();
    const __m128i c1Bits = _mm_set1_epi8(char(0xE0));
    const __m128i c1 = _mm_set1_epi8(char(0x80));
    // The last sixteen bytes overlap the block before them rather than go one by one.
    for (; i < size && size >= 16; i += 16) {
        i = std::min(i, size - 16);
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(block, zero));
        const __m128i other = table.latinFromA0 ? _mm_cmpeq_epi8(_mm_and_si128(block, c1Bits), c1)
                                                : block; // 0x80-0x9F, or all above ASCII
        for (auto looked = unsigned(_mm_movemask_epi8(other)); looked != 0; looked &= looked - 1) {
            const qsizetype k = i + std::countr_zero(looked);
            out[k] = table.chars[uchar(bytes[k])];
        }
    }
#endif
    for (; i < size; ++i)
        out[i] = table.chars[uchar(bytes[i])];
}

// A decoder of a known code page that is not single-byte; each text is decoded
// on its own (UTF-8 as QString::fromUtf8 does).
QStringDecoder decoderFor(int codePage)
{
    if (codePage == CodePage::Utf8)
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return QStringDecoder(CodePage::encodingName(codePage).constData(), QStringConverter::Flag::Stateless);
}

// The bytes of the characters above ASCII of a single-byte code page.
const QHash<char16_t, char> &reverseTable(int codePage)
{
    static QHash<int, QHash<char16_t, char>> tables;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        QHash<char16_t, char> bytesOf;
        const std::array<char16_t, 256> &table = byteTable(codePage).chars;
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

qsizetype maxDecodedLength(qsizetype size, int codePage)
{
    if (size <= 0)
        return 0;
    const int cp = effective(codePage);
    return isSingleByte(cp) ? size : decoderFor(cp).requiredSpace(size);
}

qsizetype decodeInto(const char *bytes, qsizetype size, int codePage, QChar *out)
{
    if (size <= 0)
        return 0;
    const int cp = effective(codePage);
    if (isSingleByte(cp)) {
        decodeThroughTable(bytes, size, byteTable(cp), reinterpret_cast<char16_t *>(out));
        return size;
    }
    QStringDecoder decoder = decoderFor(cp);
    return decoder.appendToBuffer(out, QByteArrayView(bytes, size)) - out;
}

QString decode(const char *bytes, qsizetype size, int codePage)
{
    if (size <= 0)
        return QString();
    QString text(maxDecodedLength(size, codePage), Qt::Uninitialized);
    text.truncate(decodeInto(bytes, size, codePage, text.data()));
    return text;
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
        const char16_t *chars = reinterpret_cast<const char16_t *>(text.constData());
        const char16_t *const end = chars + text.size();
        while (chars < end && complete) {
            const char16_t *const stretchEnd = std::min(end, chars + 8);
#if defined(__SSE2__)
            // Eight ASCII characters at a time are narrowed to their bytes.
            if (stretchEnd - chars == 8) {
                const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars));
                const __m128i high = _mm_and_si128(block, _mm_set1_epi16(short(0xFF80)));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF) {
                    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(block, block));
                    chars += 8;
                    out += 8;
                    continue;
                }
            }
#endif
            for (; chars < stretchEnd; ++chars) {
                const char16_t u = *chars;
                const auto it = u < 0x80 ? bytesOf.constEnd() : bytesOf.constFind(u);
                if (u >= 0x80 && it == bytesOf.constEnd()) {
                    complete = false;
                    break;
                }
                *out++ = u < 0x80 ? char(u) : *it;
            }
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

const std::array<char16_t, 256> *singleByteTable(int codePage)
{
    const int cp = effective(codePage);
    return isSingleByte(cp) ? &byteTable(cp).chars : nullptr;
}

void setUnknownCodePageHandler(std::function<void(const QString &message)> handler)
{
    unknownHandler().replace(std::move(handler));
}

} // namespace CodePage
