#include "core/BookCategories.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/StringHelpers_.h"
#include "platform/TextFile.h"

#include <QSet>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// The lines of a categories file without comments and blanks.
QStringList meaningfulLines(const QString &path)
{
    QStringList lines;
    TextReader reader = TextReader::fromFile(path);
    while (!reader.atEnd()) {
        QString line = reader.readLine();
        const qsizetype hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        line = CleanToken(line);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}
} // namespace

BookCategories::BookCategories()
{
    TrapErrors(QStringLiteral("BookCategories.Class_Initialize()"),
               [&] { LoadCategoriesFile(gSysDefsFolder + QStringLiteral("Categories.txt")); });
}

void BookCategories::LoadCategoriesFile(const QString &path)
{
    m_entries.clear();
    if (!FileFunctions_::FileExists(path)) {
        desktop().messageBox(GetMsg(0, 108, path), MsgBoxStyle::OKOnly, GetMsg(0, 109));
        return;
    }
    for (const QString &line : meaningfulLines(path)) {
        auto entry = std::make_unique<BookCategories_Entry>();
        entry->Initialize(path, line);
        m_entries.push_back(std::move(entry));
    }
    LoadLanguageFile(path);
}

BookCategories_Entry *BookCategories::FindByKey(const QString &key)
{
    // With two categories of the same ID the first one is meant.
    for (const auto &entry : m_entries)
        if (QString::number(entry->CategoryID) == key)
            return entry.get();
    return nullptr;
}

void BookCategories::LoadLanguageFile(const QString &categoriesPath)
{
    Assert(categoriesPath.right(4).toLower() == QLatin1String(".txt"),
           QStringLiteral("Categories filename does not end in '.txt': ") + categoriesPath);
    QString language = gLanguage;
    for (;;) {
        const QString languageFile = categoriesPath.left(categoriesPath.size() - 4) + QLatin1Char('_') +
                                     language + QStringLiteral(".txt");
        if (FileFunctions_::FileExists(languageFile)) {
            for (const QString &line : meaningfulLines(languageFile)) {
                const QStringList fields = SplitAndClean(line, QStringLiteral(","));
                if (fields.size() != 3) {
                    AssertFailed(
                        QStringLiteral(
                            "Line in Categories_LANUAGE.txt file does not have 3 comma-delimited entries.") +
                        CRLF + QStringLiteral("file='") + languageFile + QLatin1Char('\'') + CRLF +
                        QStringLiteral("line='") + line + QLatin1Char('\''));
                    continue;
                }
                if (BookCategories_Entry *entry = FindByKey(fields[0])) {
                    entry->LongName = fields[1];
                    entry->ShortName = fields[2];
                } else {
                    AssertFailed(
                        QStringLiteral(
                            "ID from Categories_LANGUAGE.txt not found in Categories.txt file: ID='") +
                        fields[0] + QLatin1Char('\'') + CRLF + QStringLiteral("file='") + languageFile +
                        QLatin1Char('\'') + CRLF + QStringLiteral("line='") + line + QLatin1Char('\''));
                }
            }
            return;
        }
        if (language != QLatin1String("ENGLISH")) {
            desktop().messageBox(GetMsg(0, 111, languageFile), MsgBoxStyle::OKOnly, GetMsg(0, 109));
            language = QStringLiteral("ENGLISH");
            continue;
        }
        desktop().messageBox(GetMsg(0, 108, languageFile), MsgBoxStyle::OKOnly, GetMsg(0, 109));
        return;
    }
}

const BookCategories_Entry &BookCategories::Entry(int i) const
{
    if (i < 0 || i >= int(m_entries.size())) {
        AssertFailed(
            QStringLiteral("Index out of range.  index=%1, size of list=%2").arg(i).arg(m_entries.size()));
        raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.BookCategories"));
    }
    return *m_entries[size_t(i)];
}

QString BookCategories::ShortNameOfCategory(int i) const
{
    return Entry(i).ShortName;
}

QString BookCategories::LongNameOfCategory(int i) const
{
    return Entry(i).LongName;
}

qint32 BookCategories::ParentCategoryOfCategory(int i) const
{
    return Entry(i).ParentCategoryID;
}

int BookCategories::IndentOfCategory(int i) const
{
    int depth = -1;
    QSet<int> seen;
    do {
        ++depth;
        seen.insert(i);
        const qint32 parent = Entry(i).ParentCategoryID;
        // A parent outside the list, or one that leads back into the chain, counts as the root.
        if (parent < 0 || parent >= int(m_entries.size()) || seen.contains(parent))
            break;
        i = parent;
    } while (i != 0);
    return depth;
}

bool BookCategories::IsBookInCategory(int i, int ibook) const
{
    return Entry(i).IncludeBook(ibook);
}
