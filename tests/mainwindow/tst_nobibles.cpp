#include "common/TestFixture.h"
#include "core/CoreHooks.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/NoBibles.h"
#include "platform/ChmViewer.h"
#include "platform/DefaultInstance.h"
#include "platform/HelpService.h"
#include "preferences/frmLocate.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestNoBibles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    int m_locateOpened = 0;

    TestDesktop &desk() { return m_fx->desk(); }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_locateOpened = 0;
        frmLocate::setShowModal([this] { ++m_locateOpened; });
    }
    void cleanup()
    {
        DefaultInstance<NoBibles>::release();
        m_fx.reset();
    }

    void textsComeFromTheCatalog()
    {
        NoBibles dialog;
        // A catalog without one of the texts would have reported it in a message box.
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
        QCOMPARE(dialog.windowTitle(), GetMsg(1, 8, MiscHelpers::ProductTitle()));
        QVERIFY(dialog.windowTitle().contains(QStringLiteral("Verbanox")));
        QCOMPARE(dialog.Label3->text(), GetMsg(0, 60, QStringLiteral("Verbanox")));
        QVERIFY(dialog.Label3->text().contains(QStringLiteral("Verbanox")));
        QVERIFY(!dialog.Label3->text().contains(QLatin1Char('%')));
        QVERIFY(dialog.Label2->text().contains(MiscHelpers::WebSiteAddress()));
        QCOMPARE(dialog.cmdLocate->text(), GetMsg(1, 196));
        QCOMPARE(dialog.Command2->text(), GetMsg(1, 197));
        QCOMPARE(dialog.Command1->text(), GetMsg(1, 198));
        const QSet<QString> captions{dialog.cmdLocate->text(), dialog.Command2->text(),
                                     dialog.Command1->text()};
        QCOMPARE(captions.size(), 3);
        QVERIFY(!captions.contains(QString()));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void locateAsksFirst()
    {
        NoBibles dialog;
        desk().messageBoxAnswers = {MsgBoxResult::No};
        dialog.cmdLocate_Click();
        QCOMPARE(m_locateOpened, 0);
        QCOMPARE(desk().messageBoxes().size(), 1);
        const TestDesktop::Shown question = desk().messageBoxes().first();
        QCOMPARE(question.text, GetMsg(0, 59, QStringLiteral("Verbanox")));
        QCOMPARE(question.title, dialog.windowTitle());
        QCOMPARE(question.style, 292); // Yes/No, question icon, No by default

        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        dialog.cmdLocate_Click();
        QCOMPARE(m_locateOpened, 1);
    }

    void locatingAFolderWithABibleEndsTheProgram()
    {
        // The chooser's own ending must not be caught on the way out.
        frmLocate::setShowModal([] {
            frmLocate chooser;
            chooser.cmdDefault_Click();
        });
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), "1\t1\t1\t1\tIn the beginning\r\n");
        NoBibles dialog;
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, dialog.cmdLocate_Click());
        QCOMPARE(desk().lastMessage(), GetMsg(0, 9, QStringLiteral("Verbanox")));
    }

    // When the module list is to blame, the dialog names it and says what could
    // not be read; when the Bibles are merely elsewhere, it suggests locating them.
    void damagedListIsNamed_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("details"); // empty: the usual text
        QTest::newRow("garbled") << QByteArray("\x01\xFFgarbage\r\nmore garbage\r\n")
                                 << QStringList{"record 1 (line 1): it has 1 fields instead of 5",
                                                "record 2 (line 2): it has 1 fields instead of 5"};
        QTest::newRow("no Bible listed") << QByteArray("1700,1,\"Notes\",\"c_notes\",0\r\n") << QStringList{};
        QTest::newRow("Bibles elsewhere")
            << QByteArray("0,1,\"King James\",\"b_kjv\",0\r\n") << QStringList();
    }
    void damagedListIsNamed()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, details);
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), list);
        NoBibles dialog;
        const QString text = dialog.Label3->text();
        if (QTest::currentDataTag() == QByteArrayLiteral("Bibles elsewhere")) {
            QCOMPARE(text, GetMsg(0, 60, QStringLiteral("Verbanox")));
            return;
        }
        const QString named = GetMsg(0, 256, gSysDefsFolder + QStringLiteral("Translations.txt"));
        QCOMPARE(text, details.isEmpty() ? named : named + QStringLiteral("\r\n\r\n") + details.join("\r\n"));
    }

    // A garbled list, from start-up through the dialog's advice to a start with a Bible.
    void garbledListHasOneWayOut()
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), "1\t1\t1\t1\tIn the beginning\r\n");
        const QByteArray good = m_fx->readFile(QStringLiteral("SysDefs/Translations.txt"));
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), "\x01\xFFgarbage\r\n");
        frmLocate::setShowModal([] {
            frmLocate chooser;
            chooser.cmdDefault_Click();
        });
        QString advice;
        int dialogs = 0;
        CoreHooks::SetNoBiblesDialog([&] {
            ++dialogs;
            NoBibles dialog;
            advice = dialog.Label3->text();
            // Locating the module folder finds no Bible by the same rule, and says
            // why, instead of claiming one and ending the program.
            desk().messageBoxAnswers = {MsgBoxResult::Yes, MsgBoxResult::OK};
            dialog.cmdLocate_Click();
        });
        MainStartup::Main();
        QCOMPARE(dialogs, 1);
        const QString list = gSysDefsFolder + QStringLiteral("Translations.txt");
        QVERIFY2(advice.startsWith(GetMsg(0, 256, list)), qPrintable(advice));
        QVERIFY(desk().lastMessage().endsWith(GetMsg(0, 256, list)));

        // The advice: a good copy of the list, and the program starts with its Bible.
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), good);
        desk().shown.clear();
        MainStartup::Main();
        QCOMPARE(dialogs, 1);
        QCOMPARE(gBibles.Count(), 1);
        QCOMPARE(gBibles.FileNames(0), QStringLiteral("b_kjv.txt"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void exitEndsTheProgram()
    {
        QWidget mainWindow;
        mainWindow.show();
        gMainForm = &mainWindow;
        NoBibles dialog;
        try {
            dialog.Command1_Click();
            QFAIL("Exit returned");
        } catch (const ProgramEnded &ended) {
            QCOMPARE(ended.exitCode, 0);
        }
        QVERIFY(!mainWindow.isVisible());
    }

    void everyWayOfClosingEndsTheProgram()
    {
        NoBibles dialog;
        dialog.show();
        QCloseEvent close;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, dialog.closeEvent(&close));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, dialog.reject()); // Escape
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, dialog.Form_Unload());
    }

    void linkOpensTheWebSite()
    {
        NoBibles dialog;
        emit dialog.Label2->linkActivated(MiscHelpers::WebSiteAddress());
        QCOMPARE(desk().openedUrls, QStringList{MiscHelpers::WebSiteAddress()});
        dialog.Label2_Click();
        QCOMPARE(desk().openedUrls.size(), 2);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void helpWithoutAHelpFileSaysSo()
    {
        gHelpFile = m_fx->path(QStringLiteral("Help.chm"));
        NoBibles dialog;
        QTest::mouseClick(dialog.Command2, Qt::LeftButton);
        QVERIFY(desk().openedFiles.isEmpty());
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 240, gHelpFile));
        QVERIFY(desk().lastMessage().contains(gHelpFile));
    }

    void helpOpensTheHelpFile()
    {
        gHelpFile = m_fx->copyBuiltFile(QStringLiteral("Help.chm"));
        NoBibles dialog;
        dialog.Command2_Click();
        QVERIFY(desk().openedFiles.isEmpty());
        QVERIFY(desk().messageBoxes().isEmpty());
        QVERIFY(HelpService::viewer() && HelpService::viewer()->isVisible());
        QCOMPARE(HelpService::viewer()->fileName(), gHelpFile);
        HelpService::viewer()->close();

        // A damaged help file is not taken for success.
        QVERIFY(QFile::remove(gHelpFile));
        m_fx->writeFile(QStringLiteral("Help.chm"), "ITSF");
        dialog.Command2_Click();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().contains(QStringLiteral("could not be opened")));
        QVERIFY(!HelpService::viewer()->isVisible());
    }
};

QTEST_MAIN(TestNoBibles)
#include "tst_nobibles.moc"
