#include "common/TestFixture.h"
#include "core/BibleBookNames.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/StringHelpers_.h"
#include "core/UrlHelpers_.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void openUrl_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("opened");
        QTest::newRow("no scheme") << QStringLiteral("www.example.org/x")
                                   << QStringLiteral("http://www.example.org/x");
        QTest::newRow("https in capitals")
            << QStringLiteral("HTTPS://Example.org") << QStringLiteral("HTTPS://Example.org");
        QTest::newRow("http") << QStringLiteral("http://a.b") << QStringLiteral("http://a.b");
        QTest::newRow("other scheme gets http")
            << QStringLiteral("ftp://a.b") << QStringLiteral("http://ftp://a.b");
    }
    void openUrl()
    {
        QFETCH(QString, address);
        QFETCH(QString, opened);
        OpenUrl(address);
        QCOMPARE(m_fx->desk().openedUrls, QStringList{opened});
    }

    // When no program on the desktop opens it, the reader is told which file or address.
    void noProgramToOpenSaysSo_data()
    {
        QTest::addColumn<bool>("audio");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("named");
        QTest::newRow("web link") << false << QStringLiteral("www.example.org/x")
                                  << QStringLiteral("http://www.example.org/x");
        QTest::newRow("audio file") << true << QStringLiteral("/m/MP3/Gen 1.mp3")
                                    << QStringLiteral("/m/MP3/Gen 1.mp3");
    }
    void noProgramToOpenSaysSo()
    {
        QFETCH(bool, audio);
        QFETCH(QString, target);
        QFETCH(QString, named);
        m_fx->desk().canOpen = false;
        if (audio)
            PlayAudioFile(target);
        else
            OpenUrl(target);
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, GetMsg(0, 291, named));
        QVERIFY(boxes[0].text.startsWith(QStringLiteral("No program is set up to open ") + named));
        QCOMPARE(boxes[0].style, int(MsgBoxStyle::Exclamation));
        QCOMPARE(boxes[0].title, QString());
    }

    void playAudioFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("played");
        QTest::newRow("capital MP3") << QStringLiteral("/a/Gen 1.MP3") << true;
        QTest::newRow("ogg") << QStringLiteral("x.ogg") << true;
        QTest::newRow("wma") << QStringLiteral("x.wma") << true;
        QTest::newRow("wav") << QStringLiteral("x.Wav") << true;
        QTest::newRow("double extension") << QStringLiteral("song.mp3.exe") << false;
        QTest::newRow("no extension") << QStringLiteral("song") << false;
        QTest::newRow("mp4") << QStringLiteral("x.mp4") << false;
    }
    void playAudioFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, played);
        PlayAudioFile(path);
        QCOMPARE(m_fx->desk().openedFiles, played ? QStringList{path} : QStringList{});
        if (!played) {
            const auto boxes = m_fx->desk().messageBoxes();
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].title, QStringLiteral("Play MP3 File - Verbanox"));
            QVERIFY(boxes[0].text.startsWith(
                path + QStringLiteral("\r\n\r\nAudio file does not have a file extension")));
        }
    }

    void folders()
    {
        const QString folder = m_fx->path(QStringLiteral("New/"));
        QVERIFY(!FileFunctions_::FolderExists(folder));
        FileFunctions_::MakeFolder(folder);
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("New"))).isDir());
        QVERIFY(FileFunctions_::FolderExists(folder));
        QVERIFY(!FileFunctions_::FileExists(folder));
        FileFunctions_::MakeFolder(folder); // existing: left alone
        FileFunctions_::MakeFolder(m_fx->path(QStringLiteral("A/B/C")));
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("A/B/C"))).isDir());

        m_fx->writeFile(QStringLiteral("New/File.TXT"), "x");
        QVERIFY(FileFunctions_::FileExists(m_fx->path(QStringLiteral("new/file.txt"))));
        QVERIFY(!FileFunctions_::FolderExists(m_fx->path(QStringLiteral("new/file.txt"))));
        FileFunctions_::DeleteFileIfExists(m_fx->path(QStringLiteral("NEW/FILE.txt")));
        QVERIFY(!QFile::exists(m_fx->path(QStringLiteral("New/File.TXT"))));
        FileFunctions_::DeleteFileIfExists(m_fx->path(QStringLiteral("New/File.TXT"))); // no error
        QVERIFY(!FileFunctions_::FileExists(QString()));
    }

    void wildcards()
    {
        m_fx->writeFile(QStringLiteral("CHM/CX_Bible.CHM"), "x");
        m_fx->writeFile(QStringLiteral("CHM/notes.tmp"), "x");
        m_fx->writeFile(QStringLiteral("CHM/more.TMP"), "x");
        m_fx->writeFile(QStringLiteral("CHM/keep.txt"), "x");
        QVERIFY(FileFunctions_::FileExists(m_fx->path(QStringLiteral("CHM/c?_*.chm"))));
        QVERIFY(FileFunctions_::FileExists(m_fx->path(QStringLiteral("chm/*.txt"))));
        QVERIFY(!FileFunctions_::FileExists(m_fx->path(QStringLiteral("CHM/c??_*.chm"))));
        QVERIFY(!FileFunctions_::FileExists(m_fx->path(QStringLiteral("CHM/*.mp3"))));
        QVERIFY(!FileFunctions_::FileExists(m_fx->path(QStringLiteral("Missing/*.txt"))));
        FileFunctions_::DeleteFileIfExists(m_fx->path(QStringLiteral("CHM/*.tmp")));
        QCOMPARE(QDir(m_fx->path(QStringLiteral("CHM"))).entryList(QDir::Files),
                 (QStringList{QStringLiteral("CX_Bible.CHM"), QStringLiteral("keep.txt")}));
        FileFunctions_::DeleteFileIfExists(m_fx->path(QStringLiteral("CHM/*.tmp"))); // none left: no error
    }

    void makeFolderFailureIsAnError()
    {
        m_fx->writeFile(QStringLiteral("plain"), "x");
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 FileFunctions_::MakeFolder(m_fx->path(QStringLiteral("plain/sub"))));
    }

    void strings()
    {
        QCOMPARE(CleanToken(QStringLiteral("\ta\tb\t")), QStringLiteral("a b"));
        QCOMPARE(CleanToken(QStringLiteral(" x\r\n")), QStringLiteral("x\r\n")); // only blanks are trimmed
        QCOMPARE(SplitAndClean(QStringLiteral(" 1 , 0 ,\t1-5; 19 "), QStringLiteral(",")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1-5; 19")}));
        QCOMPARE(SplitAndClean(QStringLiteral("a,b,c,d"), QStringLiteral(","), 2),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b,c,d")}));
        QCOMPARE(StringHelpers_::Split(QString(), QStringLiteral(",")), QStringList());
        QCOMPARE(StringHelpers_::Split(QStringLiteral(",,"), QStringLiteral(",")).size(), 3);
        QCOMPARE(StringHelpers_::RemoveCharAt(QStringLiteral("abc"), 1), QStringLiteral("bc"));
        QCOMPARE(StringHelpers_::RemoveCharAt(QStringLiteral("abc"), 3), QStringLiteral("ab"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, StringHelpers_::RemoveCharAt(QStringLiteral("abc"), 0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, StringHelpers_::RemoveCharAt(QStringLiteral("abc"), 4));
        QVERIFY(StringHelpers_::StringContains(QStringLiteral("Genesis"), QStringLiteral("nes")));
        QVERIFY(!StringHelpers_::StringContains(QStringLiteral("Genesis"), QStringLiteral("NES")));
    }

    void productTexts()
    {
        QCOMPARE(MiscHelpers::ProductTitle(), QStringLiteral("Verbanox"));
        QVERIFY(MiscHelpers::WebSiteAddress().startsWith(QStringLiteral("http://")));
        QCOMPARE(MiscHelpers::VersionString(), QStringLiteral("Version %1.%2 Build 0%3")
                                                   .arg(VX_VERSION_MAJOR)
                                                   .arg(VX_VERSION_MINOR)
                                                   .arg(VX_VERSION_REVISION));
        QCOMPARE(MiscHelpers::AboutText(),
                 QStringLiteral("Reading, comparing and searching the Bible with Verbanox "));
        QCOMPARE(MiscHelpers::MaxValue(3, 7.5).toDouble(), 7.5);
        QCOMPARE(MiscHelpers::MaxValue(7, 7.0).toInt(), 7);
        gDebugMode = true;
        MiscHelpers::MaxValue(QStringLiteral("a"), 1);
        QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("Arguments must be of a numeric type")));
    }

    void weekdayText()
    {
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_fx->desk().clock = QDateTime(QDate(2026, 12, 9), QTime(9, 0)); // a Wednesday
        QCOMPARE(MiscHelpers::WeekdayText(), QLocale::system().dayName(3, QLocale::LongFormat));
        m_fx->desk().clock = QDateTime(QDate(2026, 12, 13), QTime(9, 0)); // a Sunday
        QCOMPARE(MiscHelpers::WeekdayText(), BookNames().Abbreviation(3) + QStringLiteral("23:3"));
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
