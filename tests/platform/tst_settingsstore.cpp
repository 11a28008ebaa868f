#include "common/FileSizeLimit.h"
#include "common/TestFixture.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <optional>

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void instanceUsesConfigHome();
    void missingValueGivesDefault();
    void namesIgnoreCaseAndKeepFirstCase();
    void awkwardTextsRoundTripThroughFile_data();
    void awkwardTextsRoundTripThroughFile();
    void secondStoreSeesChanges();
    void removeKeyAndSection();
    void writesAtomically();
    void unwritableFileKeepsChangesForTheRun_data();
    void unwritableFileKeepsChangesForTheRun();
    void handWrittenFileWithJunk();
    void damagedFileIsKeptBeforeItIsRewritten_data();
    void damagedFileIsKeptBeforeItIsRewritten();
    void damagedFileNotReplacedWithoutItsCopy();
    void unchangedValueDoesNotRewrite();
    void replaceSection();
    void caseAsQStringComparesIt_data();
    void caseAsQStringComparesIt();
    void findsWhatRemainsAfterRemoving();
};

namespace {
QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

void tst_SettingsStore::instanceUsesConfigHome()
{
    TestFixture fx(false);
    QCOMPARE(SettingsStore::defaultFilePath(), fx.configHome() + QStringLiteral("/Verbanox/Verbanox.ini"));
    fx.settings().setValue(QStringLiteral("Settings"), QStringLiteral("L"), QStringLiteral("ENGLISH"));
    QVERIFY(QFileInfo::exists(fx.configHome() + QStringLiteral("/Verbanox/Verbanox.ini")));
}

void tst_SettingsStore::missingValueGivesDefault()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("Nothing"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    QVERIFY(!store.contains(QStringLiteral("Settings"), QStringLiteral("Nothing")));
    QVERIFY(store.sections().isEmpty());
    // Reading alone creates no file.
    QVERIFY(!QFileInfo::exists(store.filePath()));
}

void tst_SettingsStore::namesIgnoreCaseAndKeepFirstCase()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    store.setValue(QStringLiteral("Settings"), QStringLiteral("FontSize"), QStringLiteral("10"));
    store.setValue(QStringLiteral("SETTINGS"), QStringLiteral("fontsize"), QStringLiteral("12"));
    store.setValue(QStringLiteral("settings"), QStringLiteral("Colour"), QStringLiteral("255"));

    QCOMPARE(store.value(QStringLiteral("sEtTiNgS"), QStringLiteral("FONTSIZE"), QString()),
             QStringLiteral("12"));
    QVERIFY(store.contains(QStringLiteral("SETTINGS"), QStringLiteral("colour")));
    QCOMPARE(store.sections(), QStringList{QStringLiteral("Settings")});
    QCOMPARE(store.keys(QStringLiteral("SETTINGS")),
             (QStringList{QStringLiteral("FontSize"), QStringLiteral("Colour")}));

    // The names stay as first written in the file, too.
    SettingsStore other(store.filePath());
    QCOMPARE(other.sections(), QStringList{QStringLiteral("Settings")});
    QCOMPARE(other.keys(QStringLiteral("settings")),
             (QStringList{QStringLiteral("FontSize"), QStringLiteral("Colour")}));
    const QByteArray file = readBytes(store.filePath());
    QVERIFY2(file.contains("[Settings]") && file.contains("FontSize=12") && !file.contains("fontsize"),
             file.constData());
}

void tst_SettingsStore::awkwardTextsRoundTripThroughFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QString s = QStringLiteral("Settings");
    QTest::newRow("line breaks") << s << QStringLiteral("Text") << QStringLiteral("one\r\ntwo\nthree\rfour");
    QTest::newRow("backslashes") << s << QStringLiteral("Path") << QStringLiteral("C:\\Bible\\n\\r\\");
    QTest::newRow("escape lookalike") << s << QStringLiteral("Esc") << QStringLiteral("\\e\\\\e");
    QTest::newRow("equals in value") << s << QStringLiteral("Expr") << QStringLiteral("a=b==c=");
    QTest::newRow("equals in key") << s << QStringLiteral("a=b") << QStringLiteral("=");
    QTest::newRow("value starts with [") << s << QStringLiteral("Br") << QStringLiteral("[Other]");
    QTest::newRow("value starts with ;") << s << QStringLiteral("Semi") << QStringLiteral(";not a comment");
    QTest::newRow("key starts with [") << s << QStringLiteral("[Fake]") << QStringLiteral("x");
    QTest::newRow("key starts with ;") << s << QStringLiteral(";Key") << QStringLiteral("y");
    QTest::newRow("key starts with #") << s << QStringLiteral("#Key") << QStringLiteral("z");
    QTest::newRow("key with line break") << s << QStringLiteral("two\nlines") << QStringLiteral("v");
    QTest::newRow("blanks kept") << s << QStringLiteral(" spaced key ") << QStringLiteral("  padded  ");
    QTest::newRow("empty value") << s << QStringLiteral("Empty") << QString();
    QTest::newRow("non-ASCII") << s << QStringLiteral("Wörter") << QStringLiteral("Ἐν ἀρχῇ ἦν ὁ λόγος – €");
    QTest::newRow("section with ]") << QStringLiteral("Win]dow]") << QStringLiteral("Left")
                                    << QStringLiteral("1");
    QTest::newRow("section with line break")
        << QStringLiteral("A\nB") << QStringLiteral("k") << QStringLiteral("v");
    QTest::newRow("section with backslash")
        << QStringLiteral("Mod\\Path\\") << QStringLiteral("k") << QStringLiteral("v");
}

void tst_SettingsStore::awkwardTextsRoundTripThroughFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    // Neighbours make sure that a value cannot swallow or split the lines around it.
    store.setValue(section, QStringLiteral("Before"), QStringLiteral("b"));
    store.setValue(section, key, value);
    store.setValue(section, QStringLiteral("After"), QStringLiteral("a"));
    store.setValue(QStringLiteral("Next"), QStringLiteral("K"), QStringLiteral("n"));

    SettingsStore fresh(store.filePath());
    QCOMPARE(fresh.value(section, key, QStringLiteral("<missing>")), value);
    QCOMPARE(fresh.keys(section), (QStringList{QStringLiteral("Before"), key, QStringLiteral("After")}));
    QCOMPARE(fresh.sections(), (QStringList{section, QStringLiteral("Next")}));
    QCOMPARE(fresh.value(QStringLiteral("Next"), QStringLiteral("K"), QString()), QStringLiteral("n"));
}

void tst_SettingsStore::secondStoreSeesChanges()
{
    TestFixture fx(false);
    SettingsStore first(SettingsStore::defaultFilePath());
    SettingsStore second(SettingsStore::defaultFilePath());
    const QString s = QStringLiteral("Settings");
    const QString k = QStringLiteral("Count");

    first.setValue(s, k, QStringLiteral("1"));
    QCOMPARE(second.value(s, k, QString()), QStringLiteral("1"));
    // Changes of the same size right after one another (the file time may not move).
    for (int i = 2; i <= 9; ++i) {
        first.setValue(s, k, QString::number(i));
        QCOMPARE(second.value(s, k, QString()), QString::number(i));
    }
    // And the other way round: the second store's write is not lost by the first.
    second.setValue(s, QStringLiteral("Other"), QStringLiteral("x"));
    first.setValue(s, QStringLiteral("Third"), QStringLiteral("y"));
    SettingsStore fresh(SettingsStore::defaultFilePath());
    QCOMPARE(fresh.keys(s), (QStringList{k, QStringLiteral("Other"), QStringLiteral("Third")}));

    // A file deleted behind the store's back empties it.
    QVERIFY(QFile::remove(first.filePath()));
    QVERIFY(!second.contains(s, k));
}

void tst_SettingsStore::removeKeyAndSection()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    store.setValue(QStringLiteral("Pos"), QStringLiteral("Left"), QStringLiteral("10"));
    store.setValue(QStringLiteral("Pos"), QStringLiteral("Top"), QStringLiteral("20"));
    store.setValue(QStringLiteral("Settings"), QStringLiteral("L"), QStringLiteral("ENGLISH"));

    store.removeKey(QStringLiteral("POS"), QStringLiteral("left"));
    QVERIFY(!store.contains(QStringLiteral("Pos"), QStringLiteral("Left")));
    QCOMPARE(store.keys(QStringLiteral("Pos")), QStringList{QStringLiteral("Top")});
    // Removing what is not there changes nothing and raises nothing.
    store.removeKey(QStringLiteral("Pos"), QStringLiteral("Left"));
    store.removeKey(QStringLiteral("NoSuchSection"), QStringLiteral("Left"));
    store.removeSection(QStringLiteral("NoSuchSection"));

    store.removeSection(QStringLiteral("pOS"));
    QCOMPARE(store.sections(), QStringList{QStringLiteral("Settings")});
    SettingsStore fresh(store.filePath());
    QVERIFY(!fresh.contains(QStringLiteral("Pos"), QStringLiteral("Top")));
    QCOMPARE(fresh.value(QStringLiteral("Settings"), QStringLiteral("L"), QString()),
             QStringLiteral("ENGLISH"));
    QVERIFY(!readBytes(store.filePath()).contains("Pos"));

    // The last key of a section takes the section with it.
    store.removeKey(QStringLiteral("Settings"), QStringLiteral("L"));
    QVERIFY(store.sections().isEmpty());
    QVERIFY(!readBytes(store.filePath()).contains("[Settings]"));

    // A removed section starts afresh when written again.
    store.setValue(QStringLiteral("POS"), QStringLiteral("Width"), QStringLiteral("5"));
    QCOMPARE(store.sections(), QStringList{QStringLiteral("POS")});
    QCOMPARE(store.keys(QStringLiteral("pos")), QStringList{QStringLiteral("Width")});
}

void tst_SettingsStore::writesAtomically()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    for (int i = 0; i < 20; ++i)
        store.setValue(QStringLiteral("S"), QStringLiteral("K%1").arg(i), QString::number(i));
    store.removeKey(QStringLiteral("S"), QStringLiteral("K3"));
    const QDir folder(QFileInfo(store.filePath()).absolutePath());
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Verbanox.ini")});
}

void tst_SettingsStore::unwritableFileKeepsChangesForTheRun_data()
{
    QTest::addColumn<QString>("obstacle");
    // A file where the settings folder should be, a folder where the file should
    // be, and a disk that fills up in the middle of the write: all fail for any
    // user, root included.
    QTest::newRow("folder is a file") << QStringLiteral("folder");
    QTest::newRow("file is a folder") << QStringLiteral("file");
    QTest::newRow("short write") << QStringLiteral("full");
}

void tst_SettingsStore::unwritableFileKeepsChangesForTheRun()
{
    QFETCH(QString, obstacle);
    TestFixture fx(false);
    const QString iniPath = SettingsStore::defaultFilePath();
    const QString folder = QFileInfo(iniPath).absolutePath();
    const QByteArray old = "[Settings]\nOld=" + QByteArray(200, 'x') + "\n\n";
    if (obstacle == QLatin1String("folder"))
        writeBytes(folder, "not a folder");
    else if (obstacle == QLatin1String("file"))
        QVERIFY(QDir().mkpath(iniPath));
    else
        writeBytes(iniPath, old);
    QStringList told;
    SettingsStore::setSaveFailureHandler(
        [&told](const QString &where, const QString &reason) { told << where + QLatin1Char('|') + reason; });

    SettingsStore store(iniPath);
    {
        std::optional<FileSizeLimit> limit;
        if (obstacle == QLatin1String("full"))
            limit.emplace(old.size());
        store.setValue(QStringLiteral("Settings"), QStringLiteral("K"), QStringLiteral("v"));
        store.setValue(QStringLiteral("Settings"), QStringLiteral("K2"), QStringLiteral("w"));
    }
    // The run goes on with the values; the file keeps what it had, and both
    // failed writes were told with the folder and the file's reason.
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("K"), QString()), QStringLiteral("v"));
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("K2"), QString()), QStringLiteral("w"));
    QVERIFY(store.hasUnsavedChanges());
    QVERIFY2(store.saveError().contains(obstacle == QLatin1String("folder") ? folder : iniPath),
             qPrintable(store.saveError()));
    QCOMPARE(told.size(), 2);
    QCOMPARE(told.first(), folder + QStringLiteral("/|") + store.saveError());
    if (obstacle == QLatin1String("full"))
        QCOMPARE(readBytes(iniPath), old);
    if (obstacle == QLatin1String("file")) {
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Verbanox.ini")});
        QVERIFY(QDir(iniPath).removeRecursively());
    }
    if (obstacle == QLatin1String("folder"))
        QVERIFY(QFile::remove(folder));

    // Once the file can be written again, the next change stores them all.
    store.setValue(QStringLiteral("Settings"), QStringLiteral("K3"), QStringLiteral("z"));
    QVERIFY(!store.hasUnsavedChanges());
    SettingsStore reread(iniPath);
    for (const char *key : {"K", "K2", "K3"})
        QVERIFY(reread.contains(QStringLiteral("Settings"), QLatin1String(key)));
    QCOMPARE(told.size(), 2);
}

void tst_SettingsStore::handWrittenFileWithJunk()
{
    TestFixture fx(false);
    const QString path = SettingsStore::defaultFilePath();
    QByteArray junk("\xEF\xBB\xBF" // byte-order mark of an editor
                    "[Top]\r\n"
                    "First=1\r\n"
                    "; comment\r\n"
                    "# another comment\r\n"
                    "[Settings]   \r\n" // blanks after the header
                    "L=ENGLISH\r\n"
                    "just some words\r\n"
                    "[unterminated\r\n"
                    "=no key\r\n"
                    "Trailing=back\\\r\n"
                    "\x01\x02\xFF\xFE garbage\r\n"
                    "[]\r\n"
                    "InEmpty=1\r\n"
                    "[settings]\r\n"
                    "DF=dd-MMM-yyyy\n"
                    "L=GERMAN\n"
                    "[Window]\n"
                    "Left=100"); // no line end at the end
    junk += QByteArray(100000, 'x');
    junk += "\n[Last]\nK=\\";
    writeBytes(path, junk);

    SettingsStore store(path);
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("L"), QString()),
             QStringLiteral("GERMAN"));
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("DF"), QString()),
             QStringLiteral("dd-MMM-yyyy"));
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("Trailing"), QString()),
             QStringLiteral("back\\"));
    QCOMPARE(store.value(QStringLiteral("Settings"), QString(), QStringLiteral("<none>")),
             QStringLiteral("no key"));
    QCOMPARE(store.value(QString(), QStringLiteral("InEmpty"), QString()), QStringLiteral("1"));
    QCOMPARE(store.value(QStringLiteral("top"), QStringLiteral("first"), QString()), QStringLiteral("1"));
    QVERIFY(store.value(QStringLiteral("Window"), QStringLiteral("Left"), QString())
                .startsWith(QLatin1String("100xxx")));
    QCOMPARE(store.value(QStringLiteral("Last"), QStringLiteral("K"), QString()), QStringLiteral("\\"));
    QCOMPARE(store.sections(), (QStringList{QStringLiteral("Top"), QStringLiteral("Settings"), QString(),
                                            QStringLiteral("Window"), QStringLiteral("Last")}));

    // Keys before any section belong nowhere.
    writeBytes(path, "Orphan=1\n[S]\nK=2\n");
    QVERIFY(!store.contains(QString(), QStringLiteral("Orphan")));
    QCOMPARE(store.keys(QStringLiteral("S")), QStringList{QStringLiteral("K")});
    writeBytes(path, junk);

    // Writing it back keeps what it understood, and the file as it was beside it.
    store.setValue(QStringLiteral("Settings"), QStringLiteral("New"), QStringLiteral("1"));
    QCOMPARE(readBytes(path + QStringLiteral(".bad")), junk);
    SettingsStore fresh(path);
    QCOMPARE(fresh.value(QStringLiteral("SETTINGS"), QStringLiteral("l"), QString()),
             QStringLiteral("GERMAN"));
    QCOMPARE(fresh.value(QStringLiteral("Settings"), QStringLiteral("New"), QString()), QStringLiteral("1"));
}

void tst_SettingsStore::damagedFileIsKeptBeforeItIsRewritten_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("lines"); // the lines told, none for a file read whole
    const QByteArray settings = "[Settings]\r\nL=GERMAN_\r\nDF=yyyy-MM-dd\r\n";
    QTest::newRow("sixteen NULs before the header")
        << QByteArray(16, '\0') + settings
        << QStringList{QStringLiteral("line 1: ") + QStringLiteral("\\x00").repeated(16) +
                       QStringLiteral("[Settings]")};
    QTest::newRow("key before any section") << "Orphan=1\n" + settings << QStringList{"line 1: Orphan=1"};
    QTest::newRow("words without =") << settings + "just words\n" << QStringList{"line 4: just words"};
    QTest::newRow("bytes that are no UTF-8") << settings + "Name=Jes\xFAs\n"
                                             << QStringList{QStringLiteral("line 4: Name=Jes\uFFFDs")};
    QTest::newRow("editor's byte-order mark, comments, blanks")
        << "\xEF\xBB\xBF; mine\n\n" + settings + "[Empty]   \n"
        << QStringList();
}

// The section after a damaged first line is read; before the file is written
// again, the original is kept as "<file>.bad" and the reader told once.
void tst_SettingsStore::damagedFileIsKeptBeforeItIsRewritten()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);
    TestFixture fx(false);
    const QString path = SettingsStore::defaultFilePath();
    writeBytes(path, file);
    QList<QStringList> told;
    SettingsStore::setDamageHandler(
        [&](const QString &damaged, const QString &copy, const QStringList &unread) {
            told.append(QStringList{damaged, copy} + unread);
        });
    SettingsStore store(path);
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("L"), QString()),
             QStringLiteral("GERMAN_"));
    QVERIFY(told.isEmpty()); // reading alone changes nothing
    store.setValue(QStringLiteral("Settings"), QStringLiteral("New"), QStringLiteral("1"));
    store.setValue(QStringLiteral("Settings"), QStringLiteral("Newer"), QStringLiteral("2"));
    QVERIFY(!store.hasUnsavedChanges());
    const QString copy = path + QStringLiteral(".bad");
    if (lines.isEmpty()) {
        QVERIFY(told.isEmpty());
        QVERIFY(!QFileInfo::exists(copy));
        return;
    }
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.first(), QStringList({path, copy}) + lines);
    QCOMPARE(readBytes(copy), file);
    SettingsStore reread(path);
    QCOMPARE(reread.value(QStringLiteral("Settings"), QStringLiteral("DF"), QString()),
             QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(reread.value(QStringLiteral("Settings"), QStringLiteral("Newer"), QString()),
             QStringLiteral("2"));
}

// When the copy cannot be made, the damaged file is not replaced either: here
// the long damaged line does not fit on the disk, while the settings without it would.
void tst_SettingsStore::damagedFileNotReplacedWithoutItsCopy()
{
    TestFixture fx(false);
    const QString path = SettingsStore::defaultFilePath();
    const QByteArray file = QByteArray(3000, 'x') + "\n[Settings]\nL=GERMAN_\n";
    writeBytes(path, file);
    QStringList failures;
    SettingsStore::setSaveFailureHandler([&](const QString &, const QString &reason) { failures << reason; });
    SettingsStore store(path);
    {
        FileSizeLimit full(1000);
        store.setValue(QStringLiteral("Settings"), QStringLiteral("New"), QStringLiteral("1"));
    }
    QCOMPARE(readBytes(path), file);
    QVERIFY(store.hasUnsavedChanges());
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures.first().contains(path + QStringLiteral(".bad")), qPrintable(failures.first()));
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{"Verbanox.ini"});
    QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("New"), QString()), QStringLiteral("1"));
}

void tst_SettingsStore::unchangedValueDoesNotRewrite()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    store.setValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    // A foreign edit that the store has not read yet must survive a write of the same value.
    writeBytes(store.filePath(), "[S]\nK=v\nForeign=1\n");
    store.setValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    QCOMPARE(store.value(QStringLiteral("S"), QStringLiteral("Foreign"), QString()), QStringLiteral("1"));
    QVERIFY(readBytes(store.filePath()).contains("Foreign=1"));
}

// Two names are one when QString::compare, ignoring case, finds them equal:
// letters whose case folds to two letters, or to another letter, or that lie
// outside the Basic Multilingual Plane.
void tst_SettingsStore::caseAsQStringComparesIt_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("ASCII") << QStringLiteral("FontSize") << QStringLiteral("fONTsIZE");
    QTest::newRow("sharp s and double s") << QStringLiteral("Stra\u00DFe") << QStringLiteral("STRASSE");
    QTest::newRow("capital sharp s") << QStringLiteral("\u00DF") << QStringLiteral("\u1E9E");
    QTest::newRow("final sigma") << QStringLiteral("\u03A3") << QStringLiteral("\u03C2");
    QTest::newRow("Kelvin sign") << QStringLiteral("k") << QStringLiteral("\u212A");
    QTest::newRow("dotless i") << QStringLiteral("\u0131") << QStringLiteral("I");
    QTest::newRow("dotted capital I") << QStringLiteral("\u0130") << QStringLiteral("i");
    QTest::newRow("title case") << QStringLiteral("\u01C5") << QStringLiteral("\u01C6");
    QTest::newRow("micro sign") << QStringLiteral("\u00B5") << QStringLiteral("\u039C");
    QTest::newRow("Deseret") << QStringLiteral("\U00010400x") << QStringLiteral("\U00010428X");
    QTest::newRow("half a pair") << QStringLiteral("\xD801x") << QStringLiteral("\xD801X");
}

void tst_SettingsStore::caseAsQStringComparesIt()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    const bool same = first.compare(second, Qt::CaseInsensitive) == 0;
    store.setValue(first, first, QStringLiteral("1"));
    store.setValue(second, second, QStringLiteral("2"));
    QCOMPARE(store.value(first, first, QString()), same ? QStringLiteral("2") : QStringLiteral("1"));
    QCOMPARE(store.sections().size(), same ? 1 : 2);
    // Read back from the file (where half a surrogate pair cannot go).
    if (first.isValidUtf16()) {
        SettingsStore fresh(store.filePath());
        QCOMPARE(fresh.value(second, first, QString()), same ? QStringLiteral("2") : QString());
        QCOMPARE(fresh.sections().size(), same ? 1 : 2);
    }
}

void tst_SettingsStore::findsWhatRemainsAfterRemoving()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    for (const char *section : {"A", "B", "C"}) {
        for (const char *key : {"x", "y", "z"})
            store.setValue(QLatin1String(section), QLatin1String(key),
                           QLatin1String(section) + QLatin1String(key));
    }
    store.removeKey(QStringLiteral("b"), QStringLiteral("X"));
    store.removeSection(QStringLiteral("a"));
    QCOMPARE(store.value(QStringLiteral("B"), QStringLiteral("z"), QString()), QStringLiteral("Bz"));
    QCOMPARE(store.value(QStringLiteral("C"), QStringLiteral("Y"), QString()), QStringLiteral("Cy"));
    store.setValue(QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("again"));
    store.setValue(QStringLiteral("c"), QStringLiteral("z"), QStringLiteral("new"));
    QCOMPARE(store.keys(QStringLiteral("B")), (QStringList{"y", "z", "x"}));
    QCOMPARE(store.sections(), (QStringList{"B", "C"}));
    QCOMPARE(store.value(QStringLiteral("C"), QStringLiteral("Z"), QString()), QStringLiteral("new"));
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"

void tst_SettingsStore::replaceSection()
{
    TestFixture fx(false);
    SettingsStore &store = fx.settings();
    for (const char *key : {"0", "1", "2", "3"})
        store.setValue(QStringLiteral("Search History"), QLatin1String(key), QStringLiteral("old"));
    store.setValue(QStringLiteral("Settings"), QStringLiteral("L"), QStringLiteral("ENGLISH"));

    store.replaceSection(QStringLiteral("search HISTORY"), {{QStringLiteral("0"), QStringLiteral("b")},
                                                            {QStringLiteral("1"), QStringLiteral("a")}});
    SettingsStore fresh(store.filePath());
    QCOMPARE(fresh.keys(QStringLiteral("Search History")),
             (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    QCOMPARE(fresh.value(QStringLiteral("Search History"), QStringLiteral("0"), QString()),
             QStringLiteral("b"));
    QCOMPARE(fresh.value(QStringLiteral("Settings"), QStringLiteral("L"), QString()),
             QStringLiteral("ENGLISH"));
    QCOMPARE(fresh.sections(), (QStringList{QStringLiteral("Search History"), QStringLiteral("Settings")}));

    // A new section is added; an empty list removes the section.
    store.replaceSection(QStringLiteral("New"), {{QStringLiteral("k"), QStringLiteral("v")}});
    QCOMPARE(store.value(QStringLiteral("New"), QStringLiteral("k"), QString()), QStringLiteral("v"));
    store.replaceSection(QStringLiteral("Search History"), {});
    QCOMPARE(SettingsStore(store.filePath()).sections(),
             (QStringList{QStringLiteral("Settings"), QStringLiteral("New")}));
}
