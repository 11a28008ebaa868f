#include "study/Mp3ServiceText.h"

#include "platform/CodePage.h"
#include "platform/RuntimeError.h"

#include <QStringList>
#include <QUrl>

namespace Mp3ServiceText {

namespace {
// A group is read by its leading decimal number; one without a number reads as 0.
int groupValue(const QString &group)
{
    int value = 0;
    for (const QChar c : group) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

QChar keyChar(const QString &key, qsizetype index)
{
    return key.isEmpty() ? QChar(0) : key[index % key.size()];
}

// The link before the first blank and the text after it; a field without a
// blank is all text and no link.
void splitLink(const QString &field, QString &text, QString &link)
{
    const qsizetype blank = field.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        text = field;
        return;
    }
    link = field.left(blank);
    text = field.mid(blank + 1);
}
} // namespace

QString Decrypt(const QString &text, const QString &key)
{
    QString reversed(text.size(), QChar());
    for (qsizetype i = 0; i < text.size(); ++i)
        reversed[i] = text[text.size() - 1 - i];
    const QString digits = reversed.mid(1);
    // Rounded to the nearest whole number: a remainder of two digits is a group.
    const qsizetype groups = (digits.size() + 1) / 3;
    QByteArray result;
    result.reserve(groups);
    for (qsizetype i = 0; i < groups; ++i) {
        const int value = groupValue(digits.mid(i * 3, 3));
        if (value > 255)
            raiseError(RtErr::Overflow, QStringLiteral("Verbanox.frmMP3"), QStringLiteral("Overflow"));
        const int code = value ^ (keyChar(key, i).unicode() & 0xFF);
        result.append(char(code));
    }
    // The characters are those of the ANSI code page.
    return CodePage::decode(result, 1252);
}

QString Encrypt(const QString &plain, const QString &key)
{
    const QByteArray bytes = CodePage::encode(plain, 1252);
    QString digits;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int code = quint8(bytes[i]) ^ (keyChar(key, i).unicode() & 0xFF);
        digits += QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'));
    }
    digits.prepend(QLatin1Char('7'));
    QString scrambled(digits.size(), QChar());
    for (qsizetype i = 0; i < digits.size(); ++i)
        scrambled[i] = digits[digits.size() - 1 - i];
    return scrambled;
}

Message Parse(const QString &text)
{
    Message m;
    QStringList fields = text.split(QLatin1Char('\t'));
    while (fields.size() > 5)
        fields[4] += QLatin1Char('\t') + fields.takeAt(5);
    const auto field = [&fields](int i) { return i < fields.size() ? fields[i] : QString(); };
    m.serviceOk = field(0) == QLatin1String("OK");
    m.downloadUrl = field(1);
    m.message = field(2);
    const qsizetype open = m.message.indexOf(QLatin1String("<<"));
    const qsizetype close = m.message.indexOf(QLatin1String(">>"));
    if (open >= 0 && close >= 0) {
        // A ">>" before the "<<" encloses no title: the caption stays, the message
        // still starts after the ">>".
        m.hasTitle = close >= open + 2;
        if (m.hasTitle)
            m.title = m.message.mid(open + 2, close - open - 2).left(MaxTitle);
        m.message = m.message.mid(close + 2);
    }
    m.message.truncate(MaxMessage);
    splitLink(field(3), m.contactText, m.contactLink);
    splitLink(field(4), m.hotText, m.hotLink);
    return m;
}

bool IsSafeLink(const QString &link)
{
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty() && link.startsWith(scheme + QLatin1String("://"), Qt::CaseInsensitive);
}

} // namespace Mp3ServiceText
