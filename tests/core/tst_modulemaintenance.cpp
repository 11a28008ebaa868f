#include "common/TestFixture.h"
#include "core/Bug_.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "core/ModuleMaintenance.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"

#include <QFile>
#include <QtTest>

using ModuleMaintenance::ModuleKind;
Q_DECLARE_METATYPE(ModuleMaintenance::ModuleKind)

namespace {
const QString CRLF = QStringLiteral("\r\n");
}

// The maintenance commands run without any window: what they report is all in the log.
class TestModuleMaintenance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    MemoryProgressLog m_log;

    void install(ModuleKind kind, const QString &file)
    {
        const QString folder = ModuleMaintenance::ModuleFolder(kind).mid(m_fx->programFolder().size());
        m_fx->writeFile(folder + file, "1\t1\t1\t1\ttext\r\n");
        ModuleMaintenance::ModuleList(kind).Add(QStringLiteral("Module ") + file, file, true, 0);
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        MsgSupport::ReloadAllMessages();
        m_log = MemoryProgressLog();
        SetProgressLogFactory([this]() -> ProgressLog & { return m_log; });
    }
    void cleanup() { m_fx.reset(); }

    void eachKindChecksItsListInItsFolder_data()
    {
        QTest::addColumn<ModuleKind>("kind");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("file");
        QTest::newRow("Bibles") << ModuleKind::Bibles << "Integrity Check: Bibles"
                                << "b_one.txt";
        QTest::newRow("Commentaries") << ModuleKind::Commentaries << "Integrity Check: Commentaries"
                                      << "c_one.txt";
        QTest::newRow("Dictionaries") << ModuleKind::Dictionaries << "Integrity Check: Dictionaries"
                                      << "d_one.txt";
        QTest::newRow("Names") << ModuleKind::Names << "Integrity Check: Names"
                               << "n_one.txt";
    }

    void eachKindChecksItsListInItsFolder()
    {
        QFETCH(ModuleKind, kind);
        QFETCH(QString, heading);
        QFETCH(QString, file);
        install(kind, file);
        ModuleMaintenance::CheckKind(kind);
        const QString text = m_log.text();
        QVERIFY2(text.startsWith(heading + CRLF + QStringLiteral("CRC Calculation for: Module ") + file +
                                 QStringLiteral("(") + ModuleMaintenance::ModuleFolder(kind) + file +
                                 QStringLiteral(") in progress.")),
                 qPrintable(text));
        QVERIFY(text.endsWith(CRLF + QStringLiteral("DONE!") + CRLF));
        QVERIFY(QFile::exists(gSysDefsFolder + QStringLiteral("CRC_") + file));
        // The log stays open for the user to read, with its Close button enabled.
        QVERIFY(m_log.shown());
        QVERIFY(m_log.done());
        QCOMPARE(m_fx->desk().waitCursorDepth, 0);
    }

    void aRunForgetsAnEarlierCancel()
    {
        install(ModuleKind::Bibles, QStringLiteral("b_one.txt"));
        m_log.SetCancelled(true);
        ModuleMaintenance::DoIntegrityCheckViaCollection(gBibles, gBibleFolder);
        QVERIFY(!ModuleMaintenance::CheckCancelled());
        QVERIFY(m_log.text().contains(QStringLiteral("DONE!")));
    }

    void allKindsShareOneLog()
    {
        install(ModuleKind::Bibles, QStringLiteral("b_one.txt"));
        install(ModuleKind::Names, QStringLiteral("n_one.txt"));
        ModuleMaintenance::BeginCheckOfAll();
        ModuleMaintenance::ContinueCheck(ModuleKind::Bibles);
        ModuleMaintenance::ContinueCheck(ModuleKind::Names);
        const QString text = m_log.text();
        QVERIFY2(text.startsWith(QStringLiteral("Integrity Check: All") + CRLF + CRLF +
                                 QStringLiteral("Integrity Check: Bibles") + CRLF),
                 qPrintable(text));
        const qsizetype names = text.indexOf(CRLF + QStringLiteral("Integrity Check: Names") + CRLF);
        QVERIFY(names > text.indexOf(QStringLiteral("b_one.txt")));
        QCOMPARE(text.count(QStringLiteral("DONE!")), 2);
    }

    void reIndexDeletesEveryIndexAndSaysWhere()
    {
        m_fx->writeFile(QStringLiteral("Index/b_one.txt.INDEX"), "1,1,1,1,1,1,2\r\n");
        m_fx->writeFile(QStringLiteral("Index/b_two.txt.index"), "1,1,1,1,1,1,2\r\n");
        m_fx->writeFile(QStringLiteral("Index/notes.txt"), "kept");
        {
            DeferredErrors errors(QStringLiteral("Form1.cmdReIndex_Click()"));
            ModuleMaintenance::ReIndex(errors);
            QVERIFY(!errors.failed());
        }
        QVERIFY(!QFile::exists(gIndexFolder + QStringLiteral("b_one.txt.INDEX")));
        QVERIFY(!QFile::exists(gIndexFolder + QStringLiteral("b_two.txt.index")));
        QVERIFY(QFile::exists(gIndexFolder + QStringLiteral("notes.txt")));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().messageBoxes()[0].text, GetMsg(0, 49, gIndexFolder));
        QCOMPARE(m_fx->desk().messageBoxes()[0].title, QStringLiteral("Verbanox Delete index"));
    }
};

QTEST_MAIN(TestModuleMaintenance)
#include "tst_modulemaintenance.moc"
