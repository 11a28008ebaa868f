#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace FileNames {

QString normalize(const QString &path, bool ensureTrailingSlash)
{
    QString out = path;
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (ensureTrailingSlash && !out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

QString resolve(const QString &path)
{
    const QString normal = normalize(path);
    if (normal.isEmpty() || QFileInfo::exists(normal))
        return normal;
    const bool absolute = normal.startsWith(QLatin1Char('/'));
    const QStringList parts = normal.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        const QString exact = current + part;
        QString next;
        if (QFileInfo::exists(exact)) {
            next = exact;
        } else {
            const QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = current + entry;
                    break;
                }
            }
            if (next.isEmpty())
                return normal;
        }
        current = next;
        if (i + 1 < parts.size())
            current += QLatin1Char('/');
    }
    if (normal.endsWith(QLatin1Char('/')) && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1String("..")) &&
           !name.contains(QChar(0));
}

bool existsIgnoringCase(const QString &path)
{
    return QFileInfo::exists(resolve(path));
}

QStringList listFiles(const QString &folder, const QString &pattern)
{
    // Only "*" and "?" are wildcards, as on the system the names come from; a final
    // ".*" also matches a name without an extension ("*.*" lists every file).
    QString body = pattern;
    const bool anyExtension = body.endsWith(QLatin1String(".*"));
    if (anyExtension)
        body.chop(2);
    QString rx;
    for (const QChar c : body) {
        if (c == QLatin1Char('*'))
            rx += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            rx += QLatin1Char('.');
        else
            rx += QRegularExpression::escape(QString(c));
    }
    if (anyExtension)
        rx += QLatin1String("(?:\\..*)?");
    const QRegularExpression anchored(QRegularExpression::anchoredPattern(rx),
                                      QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::DotMatchesEverythingOption);
    QStringList result;
    const QDir dir(resolve(folder));
    for (const QString &name :
         dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase))
        if (anchored.match(name).hasMatch())
            result.append(name);
    return result;
}

} // namespace FileNames
