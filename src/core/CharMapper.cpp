#include "core/CharMapper.h"
#include "platform/CodePage.h"

CharMapper::CharMapper()
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    m_map = CodePage::decode(all, CodePage::SystemAnsi);
}

void CharMapper::AlterString(QString &text) const
{
    for (QChar &c : text) {
        const QByteArray code = CodePage::encode(QString(c), CodePage::SystemAnsi);
        if (code.size() != 1 || (code[0] == '?' && c != QLatin1Char('?')))
            continue; // a character without a code in the code page stays as it is
        const int index = quint8(code[0]);
        if (index < m_map.size())
            c = m_map[index];
    }
}
