// Loading 10,000 book categories with their names, nested as one chain (each
// category the parent of the next), and asking the depth of every one; next to
// the same files read plainly: lines split into fields, the names found by ID
// in a hash, each depth one more than its parent's.

#include "BenchSupport.h"
#include "core/BookCategories.h"
#include "core/GlobalVars.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <vector>

namespace {
const int Categories = 10000;

QList<QByteArrayList> fieldsOfLines(const QString &path)
{
    QFile file(path);
    QList<QByteArrayList> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (QByteArray line : file.readAll().split('\n')) {
        const qsizetype hash = line.indexOf('#');
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        QByteArrayList fields = line.split(',');
        for (QByteArray &field : fields)
            field = field.trimmed();
        lines.append(fields);
    }
    return lines;
}

struct Plain
{
    std::vector<int> parents;
    QList<QString> longNames;
    std::vector<int> depths;
};

Plain readPlainly(const QString &categories, const QString &names)
{
    Plain plain;
    QHash<QByteArray, int> byId;
    for (const QByteArrayList &fields : fieldsOfLines(categories)) {
        byId.insert(fields.value(0), int(plain.parents.size()));
        plain.parents.push_back(fields.value(1).toInt());
        plain.longNames.append(QString());
    }
    for (const QByteArrayList &fields : fieldsOfLines(names)) {
        const auto it = byId.constFind(fields.value(0));
        if (it != byId.constEnd())
            plain.longNames[*it] = QString::fromUtf8(fields.value(1));
    }
    // Parents come before their children here, so each depth is known in one pass.
    plain.depths.assign(plain.parents.size(), 0);
    for (size_t i = 1; i < plain.parents.size(); ++i) {
        const int parent = plain.parents[i];
        plain.depths[i] = parent <= 0 ? 0 : plain.depths[size_t(parent)] + 1;
    }
    return plain;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    gLanguage = QStringLiteral("ENGLISH");
    QByteArray categories("0, 0, 1-66 # all books\r\n");
    QByteArray names("0, All books, All\r\n");
    for (int i = 1; i < Categories; ++i) {
        const QByteArray number = QByteArray::number(i);
        categories +=
            number + ", " + QByteArray::number(i - 1) + ", " + QByteArray::number(1 + i % 66) + "\r\n";
        names += number + ", Category " + number + ", C" + number + "\r\n";
    }
    const QString categoriesPath = gSysDefsFolder + QStringLiteral("Categories.txt");
    const QString namesPath = gSysDefsFolder + QStringLiteral("Categories_ENGLISH.txt");
    for (const auto &[path, bytes] : {std::pair{categoriesPath, categories}, std::pair{namesPath, names}}) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    const int runs = 9;
    Plain plain;
    const double baseline = medianMilliseconds(runs, [&] { plain = readPlainly(categoriesPath, namesPath); });
    std::unique_ptr<BookCategories> loaded;
    const double load = medianMilliseconds(runs, [&] { loaded = std::make_unique<BookCategories>(); });
    int deepest = 0;
    const double depths = medianMilliseconds(runs, [&] {
        const BookCategories fresh;
        for (int i = 0; i < fresh.CountOfCategories(); ++i)
            deepest = std::max(deepest, fresh.IndentOfCategory(i));
    });

    std::printf("%d categories (%s ... %s), the deepest at %d (plainly: %d)\n",
                int(loaded->CountOfCategories()), qPrintable(loaded->LongNameOfCategory(1)),
                qPrintable(loaded->LongNameOfCategory(Categories - 1)), deepest, plain.depths.back());
    printRow(QStringLiteral("baseline: both files read plainly, with every depth"), baseline);
    printRow(QStringLiteral("categories loaded"), load);
    printRow(QStringLiteral("categories loaded and every depth asked"), depths);
    std::printf("load and depths / baseline: %.2f\n", depths / baseline);
    return 0;
}
