#include "core/BookCategories.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/StringHelpers_.h"
#include "platform/TextFile.h"

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
    m_depths.clear();
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

QHash<QString, BookCategories_Entry *> BookCategories::ByKey() const
{
    QHash<QString, BookCategories_Entry *> byKey;
    byKey.reserve(qsizetype(m_entries.size()));
    // With two categories of the same ID the first one is meant.
    for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it)
        byKey.insert(QString::number((*it)->CategoryID), it->get());
    return byKey;
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
            const QHash<QString, BookCategories_Entry *> byKey = ByKey();
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
                if (BookCategories_Entry *entry = byKey.value(fields[0])) {
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
    Entry(i);
    if (m_depths.size() != m_entries.size())
        m_depths = Depths();
    return m_depths[size_t(i)];
}

// The depth of a category is one more than its parent's, 0 under the root
// category 0. A parent outside the list, or one that leads back into the chain
// walked up, counts as the root: the categories of a cycle all have the depth of
// its length less one. Each category is walked up once.
std::vector<int> BookCategories::Depths() const
{
    const int count = int(m_entries.size());
    const auto parentOf = [&](int i) {
        const qint32 parent = m_entries[size_t(i)]->ParentCategoryID;
        return parent < 0 || parent >= count ? -1 : int(parent);
    };
    constexpr int Unknown = -1;
    std::vector<int> depths(size_t(count), Unknown);
    std::vector<int> placeInChain(size_t(count), Unknown);
    std::vector<int> chain;
    const auto depthOf = [&](int start) {
        chain.clear();
        int at = start;
        for (;;) {
            placeInChain[size_t(at)] = int(chain.size());
            chain.push_back(at);
            const int parent = parentOf(at);
            if (parent <= 0) {
                depths[size_t(at)] = 0;
                break;
            }
            if (depths[size_t(parent)] != Unknown) {
                depths[size_t(at)] = depths[size_t(parent)] + 1;
                break;
            }
            if (placeInChain[size_t(parent)] != Unknown) {
                const int from = placeInChain[size_t(parent)];
                for (size_t k = size_t(from); k < chain.size(); ++k)
                    depths[size_t(chain[k])] = int(chain.size()) - from - 1;
                break;
            }
            at = parent;
        }
        for (const int walked : chain)
            placeInChain[size_t(walked)] = Unknown;
        // Down the chain from where its depth is known.
        for (size_t k = chain.size() - 1; k-- > 0;) {
            if (depths[size_t(chain[k])] == Unknown)
                depths[size_t(chain[k])] = depths[size_t(chain[k + 1])] + 1;
        }
    };
    for (int i = 1; i < count; ++i) {
        if (depths[size_t(i)] == Unknown)
            depthOf(i);
    }
    // The root's own walk ends where it comes back to the root.
    if (count > 0) {
        const int parent = parentOf(0);
        depths[0] = parent <= 0 ? 0 : depths[size_t(parent)] + 1;
    }
    return depths;
}

bool BookCategories::IsBookInCategory(int i, int ibook) const
{
    return Entry(i).IncludeBook(ibook);
}
