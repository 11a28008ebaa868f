#include "common/TestFixture.h"
#include "core/CoreHooks.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/VerbanoxRoutines.h"

#include <QtTest>

using VerbanoxRoutines::CheckModuleCrc;

class TestModuleList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    int m_noBibleDialogs = 0;

    void translations(const QByteArray &records)
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), records);
    }
    void module(const QString &relative)
    {
        m_fx->writeFile(QStringLiteral("Modules/") + relative, "1\t1\t1\t1\tx\r\n");
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_noBibleDialogs = 0;
        CoreHooks::SetNoBiblesDialog([this] { ++m_noBibleDialogs; });
    }
    void cleanup() { m_fx.reset(); }

    void fileNameMap()
    {
        FileNameMap map;
        for (int i = 0; i < 10; ++i)
            map.Add(QStringLiteral("D%1").arg(i), QStringLiteral("f%1.txt").arg(i), i % 2, 1250 + i);
        QCOMPARE(map.Capacity(), 10);
        map.Add(QStringLiteral("Eleventh"), QStringLiteral("f10.txt"), true, 65001);
        QCOMPARE(map.Capacity(), 21);
        QCOMPARE(map.Count(), 11);
        QVERIFY(map.Enabled(10));
        QVERIFY(!map.Enabled(0));
        QCOMPARE(map.CodePage(3), 1253);

        gDebugMode = true;
        map.Add(QStringLiteral("No file"), QStringLiteral("   "), true, 0);
        QCOMPARE(map.Count(), 11);
        QVERIFY(m_fx->desk().lastMessage().endsWith(
            QStringLiteral("Filename for translation is empty!  sDisplayname=No file")));
        map.Add(QStringLiteral(" "), QStringLiteral("named.txt"), true, 0);
        QCOMPARE(map.DisplayName(11), QStringLiteral("named.txt"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, map.FileNames(12));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, map.Enabled(-1));

        map.SetTag(0, std::make_shared<Translation>());
        std::weak_ptr<Translation> cached = map.Tag(0);
        map.Clear();
        QCOMPARE(map.Count(), 0);
        QVERIFY(cached.expired()); // cached objects are released
    }

    void recordsByKind()
    {
        module(QStringLiteral("Bible/b_one.txt"));
        module(QStringLiteral("Bible/b_three.txt"));
        module(QStringLiteral("Dictionary/d_dict.txt"));
        module(QStringLiteral("Commentary/c_comm.txt"));
        translations("0,0,\"One, with a comma\",\"b_one\",1252\r\n"
                     "5,1,\"Missing\",\"b_missing\",0\r\n"
                     "7,0,\"Three\",\"b_three\",65001\r\n"
                     "1200,1,\"Ignored\",\"x\",0\r\n"
                     "1900,1,\"Ignored too\",\"y\",0\r\n"
                     "-1,1,\"Negative\",\"z\",0\r\n"
                     "1500,1,\"Names\",\"n_names\",0\r\n"
                     "1600,1,\"Dictionary\",\"d_dict\",0\r\n"
                     "1601,1,\"No dictionary\",\"d_none\",0\r\n"
                     "1700,0,\"Commentary\",\"c_comm\",0\r\n"
                     "1701,1,\"No commentary\",\"c_none\",0\r\n");
        VerbanoxRoutines::LoadTranslationsList();
        QCOMPARE(gBibles.Count(), 2);
        QCOMPARE(gBibles.DisplayName(0), QStringLiteral("One, with a comma"));
        QCOMPARE(gBibles.FileNames(1), QStringLiteral("b_three.txt"));
        QCOMPARE(gBibles.CodePage(1), 65001);
        QVERIFY(gBibles.Enabled(0)); // the only enabled one was missing: the first listed is enabled
        QVERIFY(!gBibles.Enabled(1));
        QCOMPARE(gNameDictionaries.Count(), 1); // listed although its file is missing
        QCOMPARE(gDictionaries.Count(), 1);
        QCOMPARE(gCommentaries.Count(), 1);
        QVERIFY(gCommentaries.Enabled(0)); // commentaries are always enabled
        QCOMPARE(m_noBibleDialogs, 0);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());

        // Loading again replaces the lists.
        VerbanoxRoutines::LoadTranslationsList();
        QCOMPARE(gBibles.Count(), 2);
    }

    void malformedRecordsAreReportedAndSkipped()
    {
        module(QStringLiteral("Bible/b_one.txt"));
        module(QStringLiteral("Bible/b_two.txt"));
        translations("0,1,\"One\",\"b_one\",0\r\n"
                     "x,1,\"Bad ID\",\"b_two\",0\r\n"
                     "2,1,\"Too few\"\r\n"
                     "\r\n"
                     "3,1,\"Two\",\"b_two\",0\r\n");
        VerbanoxRoutines::LoadTranslationsList();
        QCOMPARE(gBibles.Count(), 2);
        QCOMPARE(gBibles.DisplayName(1), QStringLiteral("Two"));
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.contains(gSysDefsFolder + QStringLiteral("Translations.txt")));
        QVERIFY(boxes[0].text.contains(QStringLiteral("record 2 (line 2)")));
        QVERIFY(boxes[0].text.contains(QStringLiteral("record 3 (line 3)")));
        QVERIFY(!boxes[0].text.contains(QStringLiteral("record 4")));
    }

    void unclosedQuoteSkipsOnlyItsRecord_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QString>("where");
        // The damaged record in the middle, and as the last line without a line end.
        QTest::newRow("middle") << QByteArray("2,1,\"Reina-Valera 1909,b_sparv,1252\r\n")
                                << QStringLiteral("record 2 (line 2)");
        QTest::newRow("last line") << QByteArray() << QStringLiteral("record 4 (line 4)");
    }

    void unclosedQuoteSkipsOnlyItsRecord()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(QString, where);
        module(QStringLiteral("Bible/b_one.txt"));
        module(QStringLiteral("Bible/b_kjv.txt"));
        module(QStringLiteral("Bible/b_sparv.txt"));
        QByteArray records = "0,1,\"One\",\"b_one\",0\r\n" + damaged +
                             "1,1,\"King James\",\"b_kjv\",1252\r\n"
                             "1600,1,\"Dictionary\",\"d_dict\",0\r\n";
        if (damaged.isEmpty())
            records += "3,1,\"Never closed,b_sparv,0";
        module(QStringLiteral("Dictionary/d_dict.txt"));
        translations(records);
        VerbanoxRoutines::LoadTranslationsList();
        // The records after the damaged one keep their own names and files.
        QCOMPARE(gBibles.Count(), 2);
        QCOMPARE(gBibles.DisplayName(0), QStringLiteral("One"));
        QCOMPARE(gBibles.DisplayName(1), QStringLiteral("King James"));
        QCOMPARE(gBibles.FileNames(1), QStringLiteral("b_kjv.txt"));
        QCOMPARE(gBibles.CodePage(1), 1252);
        QCOMPARE(gDictionaries.Count(), 1);
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.contains(gSysDefsFolder + QStringLiteral("Translations.txt")));
        QVERIFY2(boxes[0].text.contains(where + QStringLiteral(": a quoted text is not closed")),
                 qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].text.count(QStringLiteral("record ")), 1);
    }

    void baseNamesOutsideTheModuleFolderAreRefused_data()
    {
        QTest::addColumn<QByteArray>("baseName");
        QTest::newRow("slash") << QByteArray("../Bible/b_one");
        QTest::newRow("backslash") << QByteArray("..\\b_one");
        QTest::newRow("parent folder") << QByteArray("..b_one");
        QTest::newRow("NUL") << QByteArray("c_one\0x", 7);
        QTest::newRow("absolute") << QByteArray("/etc/passwd");
    }
    void baseNamesOutsideTheModuleFolderAreRefused()
    {
        QFETCH(QByteArray, baseName);
        module(QStringLiteral("Bible/b_one.txt"));
        translations("0,1,\"One\",\"b_one\",0\r\n1700,1,\"Bad\",\"" + baseName + "\",0\r\n");
        VerbanoxRoutines::LoadTranslationsList();
        QCOMPARE(gBibles.Count(), 1);
        QCOMPARE(gCommentaries.Count(), 0);
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.contains(QStringLiteral("record 2 (line 2)")));
        QVERIFY(boxes[0].text.contains(QStringLiteral("outside the module folder")));
    }

    void noBible()
    {
        translations("1500,1,\"Names\",\"n_names\",0\r\n0,1,\"Gone\",\"b_gone\",0\r\n");
        VerbanoxRoutines::LoadTranslationsList();
        QCOMPARE(gBibles.Count(), 0);
        QCOMPARE(m_noBibleDialogs, 1);
    }

    void missingListEndsTheProgram()
    {
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, VerbanoxRoutines::LoadTranslationsList());
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.startsWith(gSysDefsFolder +
                                         QStringLiteral("Translations.txt File not found!\r\n")));
        QCOMPARE(boxes[0].style & MsgBoxStyle::IconMask, MsgBoxStyle::Critical);
    }

    void checksums()
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/abc.txt"), "abc");
        QCOMPARE(CheckModuleCrc(gBibleFolder, QStringLiteral("abc.txt")),
                 QStringLiteral("Could not find CRC_abc.txt.  There is therefore no way of knowing what the "
                                "CRC should be.\r\n"
                                "The new CRC is: 294294"));
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/CRC_abc.txt")), QByteArray("294,294\r\n"));
        QCOMPARE(CheckModuleCrc(gBibleFolder, QStringLiteral("abc.txt")),
                 QStringLiteral("CRC: 294294\r\nCRC for abc.txt is correct!\r\n"));

        m_fx->writeFile(QStringLiteral("Modules/Bible/ab.txt"), "a\r\nb\r\n");
        QVERIFY(CheckModuleCrc(gBibleFolder, QStringLiteral("ab.txt"))
                    .endsWith(QStringLiteral("The new CRC is: 162195")));

        m_fx->writeFile(QStringLiteral("Index/abc.txt.INDEX"), "1,1,1,1,1,1,4\r\n");
        m_fx->writeFile(QStringLiteral("Modules/Bible/abc.txt"), "abd");
        QCOMPARE(CheckModuleCrc(gBibleFolder, QStringLiteral("abc.txt")),
                 QStringLiteral("The CRC has changed on file abc.txt since it was last calculated\r\n"
                                "New CRC computed from file contents: 295295\r\n"
                                "Old CRC from cache:  294294\r\n"
                                "This means the data in the file has changed.\r\n"
                                "It is STRONGLY SUGGESTED YOU REINSTALL THIS MODULE!!"));
        QVERIFY(!QFile::exists(gIndexFolder + QStringLiteral("abc.txt.INDEX")));
        QCOMPARE(m_fx->readFile(QStringLiteral("SysDefs/CRC_abc.txt")),
                 QByteArray("294,294\r\n")); // not rewritten
    }

    void checksumOfAMissingModuleGoesOn()
    {
        const QString report = CheckModuleCrc(gBibleFolder, QStringLiteral("gone.txt"));
        QVERIFY(
            report.startsWith(QStringLiteral("Could not read ") + gBibleFolder + QStringLiteral("gone.txt")));
        QVERIFY(!QFile::exists(gSysDefsFolder + QStringLiteral("CRC_gone.txt")));
    }

    void checksumWrapsAt32Bits()
    {
        // 9 million bytes of 0xFF sum to more than 2^31.
        m_fx->writeFile(QStringLiteral("Modules/Bible/big.txt"), QByteArray(9000000, char(0xFF)));
        const quint32 sum = quint32(9000000u * 255u);
        const QString expected = QString::number(qint32(sum)) + QString::number(qint32(sum));
        QVERIFY(CheckModuleCrc(gBibleFolder, QStringLiteral("big.txt")).endsWith(expected));
        QVERIFY(expected.startsWith(QLatin1Char('-')));
    }
};

QTEST_GUILESS_MAIN(TestModuleList)
#include "tst_modulelist.moc"
