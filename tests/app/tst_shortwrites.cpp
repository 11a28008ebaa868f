#include "common/LimitedChild.h"
#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/BookmarkRecords.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerbanoxRoutines.h"
#include "platform/RichTextBox.h"
#include "platform/RtfWriter.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "preferences/LanguageE.h"
#include "preferences/TranslationsFile.h"
#include "search/NotesDocument.h"
#include "search/NotesRecovery.h"
#include "search/WorkspaceFiles.h"

#include <QDir>
#include <QListWidget>
#include <QTextDocument>
#include <QtTest>
#include <cerrno>
#include <cstring>

// Every file the program writes, written when the disk fills up in the middle
// of the write: the old file stays whole (or, where there was none, no cut-short
// file is left), and the reader is told which file and the system's reason.
namespace {
// A write in the size-limited child; returns what the reader was told, or
// "FAIL: ..." when the program's own state after the failure is wrong.
using Write = std::function<QString(TestFixture &)>;
using Prepare = std::function<void(TestFixture &)>;

QString raised(const std::function<void()> &write)
{
    const std::optional<RuntimeError> error = raisedError(write);
    return error ? error->description() : QStringLiteral("FAIL: no error raised");
}

QByteArray rtfOf(const QString &text)
{
    QTextDocument document;
    document.setPlainText(text);
    return RtfWriter::write(document);
}

// The notes as the workspace holds them after editing: the file Save writes to,
// or none.
struct Workspace
{
    RichTextBox pane;
    NotesDocument document{&pane};
    WorkspaceFiles files{document};

    explicit Workspace(const QString &file, TestFixture &fx)
    {
        if (!file.isEmpty())
            document.ShowFile(file, TextFiles::readAll(file));
        pane.setText(QString(6000, QLatin1Char('n')) + QStringLiteral(" the new notes"));
        pane.document()->setModified(true);
        fx.desk().shown.clear();
    }
    // What the workspace told, unless the notes no longer count as unsaved.
    QString told(TestFixture &fx, const QString &caption) const
    {
        if (!document.Changed() || document.Caption() != caption)
            return QStringLiteral("FAIL: the notes count as saved under ") + document.Caption();
        return fx.desk().lastMessage();
    }
};

QString saveNotes(TestFixture &fx)
{
    const QString file = fx.path(QStringLiteral("notes/notes.rtf"));
    Workspace workspace(file, fx);
    const QString caption = workspace.document.Caption();
    if (workspace.files.Save())
        return QStringLiteral("FAIL: saved");
    return workspace.told(fx, caption);
}

QString addBookmark(TestFixture &fx)
{
    Workspace workspace(QString(), fx);
    const QString caption = workspace.document.Caption();
    if (workspace.files.SaveCopy(fx.path(QStringLiteral("Bookmarks/psalm.rtf"))))
        return QStringLiteral("FAIL: saved");
    return workspace.told(fx, caption);
}

QString keepNotes(TestFixture &)
{
    QTextDocument small;
    small.setPlainText(QStringLiteral("kept first"));
    const QString path = NotesRecovery::Keep(small);
    QTextDocument large;
    large.setPlainText(QString(6000, QLatin1Char('k')));
    const QString reason = raised([&] { NotesRecovery::Keep(large); });
    if (TextFiles::readAll(path) != RtfWriter::write(small))
        return QStringLiteral("FAIL: the notes kept first were lost");
    return reason;
}

QString setDefaultBookNames(TestFixture &fx)
{
    LanguageE form;
    form.LSel->setCurrentItem(form.LSel->findItems(QStringLiteral("SPANISH"), Qt::MatchExactly).value(0));
    form.cDefault_Click();
    return fx.desk().lastMessage();
}

// A Bible whose index takes a few kilobytes.
void addBigBible(TestFixture &fx)
{
    ModuleBuilder module;
    for (int book = 1; book <= 66; ++book)
        module.chapter(book, 1, 2).chapter(book, 2, 2);
    fx.addBible(QStringLiteral("Big"), QStringLiteral("b_big.txt"), module.bytes());
}

QString buildIndex(TestFixture &fx)
{
    TranslationHelpers::GetTranslation(0);
    return fx.desk().messageBoxes().value(0).text;
}

QString saveBookmarkList(TestFixture &)
{
    BookmarkRecords &records = BookmarkRecords::Instance();
    records.Clear();
    gBookmarksLoaded = false;
    BookmarkRecords::LoadBookmarks();
    records.Append({QStringLiteral("New"), QString(), QString(), QString(), QStringLiteral("New.rtf")});
    return raised([&] { records.Save(); });
}

QString copyBookToScratch(TestFixture &fx)
{
    TranslationHelpers::GetTranslation(0)->CopyBookIntoFile(gScratchFolder + QStringLiteral("b_big.txt"), 1,
                                                            66, true);
    return fx.desk().lastMessage();
}

const QByteArray OldRtf = "{\\rtf1\\ansi " + QByteArray(9800, 'o') + "}";
} // namespace

Q_DECLARE_METATYPE(Write)
Q_DECLARE_METATYPE(Prepare)

class TestShortWrites : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    QString where(const QString &file) const
    {
        if (file.startsWith(QLatin1String("config:")))
            return m_fx->configHome() + QLatin1Char('/') + file.mid(7);
        if (file.startsWith(QLatin1String("data:")))
            return m_fx->dataHome() + QLatin1Char('/') + file.mid(5);
        return m_fx->path(file);
    }
    static bool writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile out(path);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        Registry_::Initialize(QStringLiteral("Settings"));
        MsgSupport::ReloadAllMessages();
    }
    void cleanup() { m_fx.reset(); }

    void shortWriteKeepsTheOldFileAndSaysWhy_data()
    {
        QTest::addColumn<QString>("file");      // relative to the program folder, "config:..." or "data:..."
        QTest::addColumn<QByteArray>("before"); // written before; null: left as it is
        QTest::addColumn<QByteArray>("after");  // what it holds after; null: no file
        QTest::addColumn<qint64>("limit");      // the bytes a file may hold
        QTest::addColumn<Prepare>("prepare");   // before the limit
        QTest::addColumn<Write>("write");
        QByteArray records;
        for (int i = 0; i < 100; ++i)
            records += QStringLiteral(
                           "\"Title %1\",\"Category\",\"01-Jan-2024\",\"GEN 001:001\",\"Title%1.rtf\"\r\n")
                           .arg(i)
                           .toLatin1();
        QByteArray bibles;
        for (int i = 1; i <= 60; ++i)
            bibles += QStringLiteral("%1,1,\"Bible number %1\",\"b_bible%1\",0\r\n").arg(i).toLatin1();
        const QByteArray settings = "[Settings]\nOld=" + QByteArray(5000, 'x') + "\n\n";
        const QByteArray shippedNames =
            TextFiles::readAll(TestFixture::sourceDir() + "/data/SysDefs/Books.txt");
        const QByteArray scratch(9000, 's');
        const auto row = [](const char *name, const char *file, const QByteArray &before,
                            const QByteArray &after, qint64 limit, const Write &write,
                            const Prepare &prepare = {}) {
            QTest::newRow(name) << QString::fromUtf8(file) << before << after << limit << prepare << write;
        };
        const QByteArray none;

        row("notes", "notes/notes.rtf", OldRtf, OldRtf, 4096, saveNotes);
        row("bookmark document", "Bookmarks/psalm.rtf", OldRtf, OldRtf, 4096, addBookmark);
        row("Bookmarks.txt", "Bookmarks.txt", records, records, 4096, saveBookmarkList);
        row("settings", "config:Verbanox/Verbanox.ini", settings, settings, 4096, [](TestFixture &fx) {
            // The change holds in memory for the run; the store says why the file lacks it.
            SettingsStore store(fx.configHome() + QStringLiteral("/Verbanox/Verbanox.ini"));
            store.setValue(QStringLiteral("Settings"), QStringLiteral("K"), QStringLiteral("v"));
            if (!store.hasUnsavedChanges() ||
                store.value(QStringLiteral("Settings"), QStringLiteral("K"), QString()) != QLatin1String("v"))
                return QStringLiteral("FAIL: the change is not held unsaved");
            return store.saveError();
        });
        row("Translations.txt", "SysDefs/Translations.txt", bibles, bibles, 1024, [](TestFixture &fx) {
            const QString path = fx.path(QStringLiteral("SysDefs/Translations.txt"));
            return raised([&] { TranslationsFile::WriteBibles(path, TranslationsFile::ReadBibles(path)); });
        });
        row("book names", "SysDefs/Books.txt", none, shippedNames, 512, setDefaultBookNames);
        row("index", "Index/b_big.txt.INDEX", none, none, 1024, buildIndex, addBigBible);
        row("checksum cache", "SysDefs/CRC_b_crc.txt", none, none, 4, [](TestFixture &fx) {
            fx.writeFile(QStringLiteral("Modules/Bible/b_crc.txt"), "1\t1\t1\t1\tx\r\n");
            // The check itself is done; its report says what could not be kept.
            return VerbanoxRoutines::CheckModuleCrc(gBibleFolder, QStringLiteral("b_crc.txt"));
        });
        row("scratch copy of a book", "Scratch/b_big.txt", scratch, scratch, 1024, copyBookToScratch,
            [](TestFixture &fx) {
                addBigBible(fx);
                TranslationHelpers::GetTranslation(0); // its index, made before the disk fills
            });
        row("rich text box file", "notes/box.rtf", OldRtf, OldRtf, 4096, [](TestFixture &fx) {
            RichTextBox box;
            box.setText(QString(6000, QLatin1Char('b')));
            return raised([&] { box.SaveFile(fx.path(QStringLiteral("notes/box.rtf"))); });
        });
        // The notes kept first stay when keeping them again fails.
        row("kept notes", "data:Verbanox/Unsaved notes 2024-01-01 12.00.00.rtf", none,
            rtfOf(QStringLiteral("kept first")), 4096, keepNotes);
    }
    void shortWriteKeepsTheOldFileAndSaysWhy()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(qint64, limit);
        QFETCH(Prepare, prepare);
        QFETCH(Write, write);
        if (prepare)
            prepare(*m_fx);
        const QString path = where(file);
        const QDir folder = QFileInfo(path).absolutePath();
        QVERIFY(QDir().mkpath(folder.path()));
        if (!before.isNull())
            QVERIFY(writeBytes(path, before));
        QStringList others = folder.entryList(QDir::Files);
        others.removeOne(QFileInfo(path).fileName());

        const std::optional<QString> told = runWithFileSizeLimit(limit, [&] { return write(*m_fx); });
        if (!told)
            QSKIP("No child process could be started");

        QVERIFY2(!told->startsWith(QLatin1String("FAIL")), qPrintable(*told));
        QVERIFY2(told->contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(*told));
        QVERIFY2(told->contains(QDir::toNativeSeparators(path)), qPrintable(*told));
        // A full disk is no bug of the program: nothing asks for a report.
        QVERIFY2(!told->contains(QLatin1String("Report a Bug")), qPrintable(*told));
        if (after.isNull())
            QVERIFY(!QFileInfo::exists(path));
        else
            QCOMPARE(TextFiles::readAll(path), after);
        // No temporary file is left behind.
        QStringList left = folder.entryList(QDir::Files);
        left.removeOne(QFileInfo(path).fileName());
        QCOMPARE(left, others);
    }
};

QTEST_MAIN(TestShortWrites)
#include "tst_shortwrites.moc"
