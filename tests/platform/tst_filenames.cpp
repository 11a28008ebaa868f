#include "platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_FileNames : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void resolve_data();
    void resolve();
    void exactNamePreferred();
    void existsIgnoringCase();
    void listFiles_data();
    void listFiles();
    void normalize();

private:
    void makeFile(const QString &relative);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root; // ends with "/"
};

void tst_FileNames::makeFile(const QString &relative)
{
    const QString path = m_root + relative;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void tst_FileNames::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path() + QLatin1Char('/');
    makeFile(QStringLiteral("SysDefs/Books.txt"));
    makeFile(QStringLiteral("SysDefs/Categories.txt"));
    makeFile(QStringLiteral("Modules/Bible/KJV_utf8.txt"));
    QVERIFY(QDir().mkpath(m_root + QStringLiteral("Modules/CHM")));
    QVERIFY(QDir().mkpath(m_root + QStringLiteral("Index")));
}

void tst_FileNames::resolve_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("resolved");

    QTest::newRow("exact") << "SysDefs/Books.txt"
                           << "SysDefs/Books.txt";
    QTest::newRow("file name case") << "SysDefs/books.TXT"
                                    << "SysDefs/Books.txt";
    QTest::newRow("folder case") << "sYSdEFS/Books.txt"
                                 << "SysDefs/Books.txt";
    QTest::newRow("every component") << "MODULES/bible/kjv_UTF8.TXT"
                                     << "Modules/Bible/KJV_utf8.txt";
    QTest::newRow("folder") << "modules/chm"
                            << "Modules/CHM";
    QTest::newRow("folder with slash") << "modules/chm/"
                                       << "Modules/CHM/";
    QTest::newRow("doubled slash") << "sysdefs//books.txt"
                                   << "SysDefs/Books.txt";
    QTest::newRow("dot component") << "sysdefs/./books.txt"
                                   << "SysDefs/./Books.txt";
    QTest::newRow("parent component") << "index/../SYSDEFS/Books.txt"
                                      << "Index/../SysDefs/Books.txt";
    // Nothing matching: the path comes back as given, not half resolved.
    QTest::newRow("missing file") << "sysdefs/Missing.txt"
                                  << "sysdefs/Missing.txt";
    QTest::newRow("missing folder") << "sysdefs/none/books.txt"
                                    << "sysdefs/none/books.txt";
    QTest::newRow("file used as folder") << "sysdefs/books.txt/x"
                                         << "sysdefs/books.txt/x";
    QTest::newRow("prefix is not a match") << "sysdefs/Books"
                                           << "sysdefs/Books";
    QTest::newRow("new file in existing folder") << "SYSDEFS/New.txt"
                                                 << "SYSDEFS/New.txt";
}

void tst_FileNames::resolve()
{
    QFETCH(QString, path);
    QFETCH(QString, resolved);
    QCOMPARE(FileNames::resolve(m_root + path), m_root + resolved);
}

void tst_FileNames::exactNamePreferred()
{
    makeFile(QStringLiteral("Mixed/books.txt"));
    makeFile(QStringLiteral("Mixed/BOOKS.TXT"));
    makeFile(QStringLiteral("Mixed/Books.txt"));
    for (const QString &name :
         {QStringLiteral("books.txt"), QStringLiteral("BOOKS.TXT"), QStringLiteral("Books.txt")})
        QCOMPARE(FileNames::resolve(m_root + QStringLiteral("mixed/") + name),
                 m_root + QStringLiteral("Mixed/") + name);
    // With no exact match, one of the candidates that exists.
    const QString other = FileNames::resolve(m_root + QStringLiteral("Mixed/bOOKs.txt"));
    QVERIFY2(QFileInfo::exists(other) &&
                 other.compare(m_root + QStringLiteral("Mixed/books.txt"), Qt::CaseInsensitive) == 0,
             qPrintable(other));
}

void tst_FileNames::existsIgnoringCase()
{
    QVERIFY(FileNames::existsIgnoringCase(m_root + QStringLiteral("SYSDEFS/BOOKS.TXT")));
    QVERIFY(FileNames::existsIgnoringCase(m_root + QStringLiteral("modules/Bible")));
    QVERIFY(!FileNames::existsIgnoringCase(m_root + QStringLiteral("SYSDEFS/BOOK.TXT")));
    QVERIFY(FileNames::resolve(QString()).isEmpty());
}

void tst_FileNames::listFiles_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("matches");

    const QStringList chm = {"c1_KJV.chm", "C2_Luther.CHM", "cc_x.chm",   "c1-x.chm",  "c12_long.chm",
                             "c3_.chm",    "c4_a.chm.bak",  "d1_KJV.chm", "x_c1_a.chm"};
    QTest::newRow("c?_*.chm ignoring case")
        << chm << "CHM"
        << "c?_*.chm" << QStringList{"c1_KJV.chm", "C2_Luther.CHM", "c3_.chm", "cc_x.chm"};
    QTest::newRow("pattern in upper case")
        << chm << "chm"
        << "C?_*.CHM" << QStringList{"c1_KJV.chm", "C2_Luther.CHM", "c3_.chm", "cc_x.chm"};
    QTest::newRow("*.txt") << QStringList{"a.txt", "B.TXT", "c.txt.bak", "d.rtf", "txt"} << "Name"
                           << "*.txt" << QStringList{"a.txt", "B.TXT"};
    QTest::newRow("exact name") << QStringList{"TLNotes.txt", "TLNotes.txt.old"} << "Mod"
                                << "tlnotes.TXT" << QStringList{"TLNotes.txt"};
    QTest::newRow("sorted ignoring case") << QStringList{"b.jpg", "A.jpg", "c.JPG"} << "Maps"
                                          << "*.jpg" << QStringList{"A.jpg", "b.jpg", "c.JPG"};
    // Only "*" and "?" are wildcards; brackets and the like are ordinary characters.
    QTest::newRow("brackets are literal") << QStringList{"Notes[1].txt", "Notes1.txt"} << "B"
                                          << "notes[1].*" << QStringList{"Notes[1].txt"};
    QTest::newRow("other regex characters") << QStringList{"a+b (1).txt", "aab (1).txt", "a+b 1.txt"} << "R"
                                            << "A+B (1).TXT" << QStringList{"a+b (1).txt"};
    QTest::newRow("*.* lists every file") << QStringList{"README", "a.txt", "b.tar.gz", ".hidden"} << "S"
                                          << "*.*" << QStringList{".hidden", "a.txt", "b.tar.gz", "README"};
    QTest::newRow("name.* without extension") << QStringList{"Help", "help.chm", "Helper.chm", "Help."} << "H"
                                              << "help.*" << QStringList{"Help", "Help.", "help.chm"};
    QTest::newRow("nothing") << QStringList{"a.txt"} << "E"
                             << "*.rtf" << QStringList();
    QTest::newRow("missing folder") << QStringList() << "None"
                                    << "*" << QStringList();
}

void tst_FileNames::listFiles()
{
    QFETCH(QStringList, files);
    QFETCH(QString, folder);
    QFETCH(QString, pattern);
    QFETCH(QStringList, matches);
    for (const QString &file : files)
        makeFile(QStringLiteral("Modules/") + folder + QLatin1Char('/') + file);
    // Sub-folders never count as files.
    if (!files.isEmpty()) {
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("Modules/") + folder + QStringLiteral("/c9_dir.chm")));
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("Modules/") + folder + QStringLiteral("/dir.txt")));
    }

    QCOMPARE(FileNames::listFiles(m_root + QStringLiteral("modules/") + folder.toLower(), pattern), matches);
}

void tst_FileNames::normalize()
{
    QCOMPARE(FileNames::normalize(QStringLiteral("a\\b\\c")), QStringLiteral("a/b/c"));
    QCOMPARE(FileNames::normalize(QStringLiteral("a\\b"), true), QStringLiteral("a/b/"));
    QCOMPARE(FileNames::normalize(QStringLiteral("a/b/"), true), QStringLiteral("a/b/"));
}

QTEST_GUILESS_MAIN(tst_FileNames)
#include "tst_filenames.moc"
