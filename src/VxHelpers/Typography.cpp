#include "VxHelpers/Typography.h"

#include <QChar>

namespace {
enum QuoteSlot { OpeningDouble, ClosingDouble, OpeningSingle, ClosingSingle };

// Characters after which a quote opens.
bool startsQuote(char16_t c)
{
    switch (c) {
    case u'\t':
    case u'\n':
    case u'\r':
    case u' ':
    case u'(':
    case u'<':
    case u'[':
    case u'{':
    case u'\u2028':
    case u'\u2029':
        return true;
    default:
        return c >= u'\u2000' && c <= u'\u200C';
    }
}

// Locale-independent classes: the C library's depend on the locale the program runs in.
bool isWhiteSpace(char16_t c)
{
    return QChar(c).isSpace();
}

bool isPunctuation(char16_t c)
{
    const QChar ch(c);
    return ch.isPunct() || ch.isSymbol();
}

constexpr char16_t EmDash = u'\u2014';
} // namespace

namespace Typography {

VxAbi::HRESULT smartQuotes(char16_t *text, int32_t length, const char16_t *quotes, int32_t quoteCount)
{
    if (!quotes || quoteCount != 4 || length < 0 || (!text && length > 0))
        return VxAbi::E_INVALIDARG;
    bool atStart = true;
    for (int32_t i = 0; i < length; ++i) {
        const char16_t c = text[i];
        // Quotes that say their direction keep it; the position decides only for the others.
        switch (c) {
        case u'"':
            text[i] = quotes[atStart ? OpeningDouble : ClosingDouble];
            break;
        case u'\'':
        case u'`':
        case u'\u2039':
        case u'\u203A':
            text[i] = quotes[atStart ? OpeningSingle : ClosingSingle];
            break;
        case u'\u00AB':
        case u'\u00BB':
            text[i] = quotes[atStart ? OpeningDouble : ClosingDouble];
            break;
        case u'\u2018':
            text[i] = quotes[OpeningSingle];
            atStart = true;
            break;
        case u'\u2019':
            text[i] = quotes[ClosingSingle];
            atStart = false;
            break;
        case u'\u201C':
            text[i] = quotes[OpeningDouble];
            atStart = true;
            break;
        case u'\u201D':
            text[i] = quotes[ClosingDouble];
            atStart = false;
            break;
        default:
            atStart = startsQuote(c);
            break;
        }
    }
    return VxAbi::S_OK;
}

VxAbi::HRESULT fixSpacesAndDashes(char16_t *text, int32_t *length)
{
    if (!length || *length < 0 || (!text && *length > 0))
        return VxAbi::E_INVALIDARG;
    const int32_t size = *length;
    int32_t read = 0;
    while (read < size && isWhiteSpace(text[read]))
        ++read;
    int32_t write = 0;
    bool lastWasPunctuation = false;
    while (read < size) {
        const char16_t c = text[read];
        const int32_t following = size - read - 1;
        char16_t written = c;
        if (isWhiteSpace(c) && !lastWasPunctuation && following >= 1 && isWhiteSpace(text[read + 1])) {
            read += 2;
        } else if (isWhiteSpace(c) && following >= 3 && text[read + 1] == u'-' && text[read + 2] == u'-' &&
                   isWhiteSpace(text[read + 3])) {
            written = EmDash;
            read += 4;
        } else if (c == u'-' && following >= 1 && text[read + 1] == u'-') {
            written = EmDash;
            read += 2;
        } else {
            ++read;
        }
        text[write++] = written;
        lastWasPunctuation = isPunctuation(written);
    }
    *length = write;
    return VxAbi::S_OK;
}

} // namespace Typography
