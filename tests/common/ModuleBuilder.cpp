#include "common/ModuleBuilder.h"

#include "platform/CodePage.h"

ModuleBuilder &ModuleBuilder::chapter(int book, int chapter, int verses, const QString &suffix)
{
    for (int v = 1; v <= verses; ++v)
        verse(book, chapter, v, QStringLiteral("%1.%2.%3%4").arg(book).arg(chapter).arg(v).arg(suffix));
    return *this;
}

ModuleBuilder &ModuleBuilder::verse(int book, int chapter, int verse, const QString &text)
{
    m_lines.append({book, chapter, verse, text, {}});
    return *this;
}

ModuleBuilder &ModuleBuilder::raw(const QByteArray &line)
{
    m_lines.append({0, 0, 0, {}, line});
    return *this;
}

QByteArray ModuleBuilder::bytes(int codePage) const
{
    QByteArray out;
    int number = 0;
    for (const Line &line : m_lines) {
        ++number;
        if (!line.rawBytes.isNull()) {
            out += line.rawBytes + "\r\n";
            continue;
        }
        out += QByteArray::number(number) + '\t' + QByteArray::number(line.book) + '\t' +
               QByteArray::number(line.chapter) + '\t' + QByteArray::number(line.verse) + '\t' +
               CodePage::encode(line.text, codePage) + "\r\n";
    }
    return out;
}

QStringList ModuleBuilder::expectedIndex(int codePage) const
{
    // Chapters in order, with the byte offset of each line.
    QStringList index;
    qint64 offset = 1;
    int number = 0;
    int firstLine = 0, book = 0, chapter = 0, count = 0;
    qint64 start = 1;
    const QByteArray all = bytes(codePage);
    QList<qint64> lineStarts;
    for (qsizetype i = 0, s = 0; i < all.size(); ++i)
        if (all[i] == '\n') {
            lineStarts.append(s + 1);
            s = i + 1;
        }
    auto flush = [&](qint64 end) {
        index.append(QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
                         .arg(firstLine)
                         .arg(firstLine + count - 1)
                         .arg(book)
                         .arg(chapter)
                         .arg(count)
                         .arg(start)
                         .arg(end));
    };
    for (const Line &line : m_lines) {
        offset = lineStarts.value(number, offset);
        ++number;
        if (number == 1 && !(line.book == 1 && line.chapter == 1))
            index.append(QStringLiteral("1,0,1,1,0,1,1"));
        if (number == 1 || line.book != book || line.chapter != chapter) {
            if (number > 1)
                flush(offset);
            firstLine = number;
            book = line.book;
            chapter = line.chapter;
            count = 0;
            start = offset;
        }
        ++count;
    }
    flush(all.size() + 1);
    return index;
}
