#include "common/FileSizeLimit.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/SettingsStore.h"
#include "preferences/BiblePrecedence.h"
#include "preferences/ColorSample.h"
#include "preferences/TranslationsFile.h"
#include "preferences/frmOptions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTreeWidget>
#include <QtTest>

namespace {
const QString Settings = QStringLiteral("Settings");

// Bibles 0-2 and 600 are shown (600 too: it is below 999); the others are not.
const QByteArray FixtureList = "0,1,\"Alpha\",\"b_alpha\",0\r\n"
                               "1,0,\"Beta\",\"b_beta\",1252\r\n"
                               "2,1,\"Missing\",\"b_missing\",0\r\n"
                               "600,1,\"High\",\"b_high\",65001\r\n"
                               "999,1,\"Odd\",\"b_odd\",0\r\n"
                               "1500,1,\"Names\",\"n_names\",0\r\n"
                               "1700,1,\"Comm\",\"c_comm\",0\r\n";
const QByteArray OtherRecords = "999,1,\"Odd\",\"b_odd\",0\r\n"
                                "1500,1,\"Names\",\"n_names\",0\r\n"
                                "1700,1,\"Comm\",\"c_comm\",0\r\n";

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<frmOptions> m_form;
    QStringList m_events;

    TestDesktop &desk() { return m_fx->desk(); }
    QString stored(const QString &key) const
    {
        return SettingsStore::instance().value(Settings, key, QStringLiteral("<none>"));
    }
    QByteArray listFile() const { return m_fx->readFile(QStringLiteral("SysDefs/Translations.txt")); }
    frmOptions &form()
    {
        if (!m_form)
            m_form = std::make_unique<frmOptions>();
        return *m_form;
    }
    QTreeWidget *lv() { return form().frmPrecedence->LV; }
    QTreeWidgetItem *row(const QString &name)
    {
        const QList<QTreeWidgetItem *> found = lv()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QStringList column(int c)
    {
        QStringList texts;
        for (int i = 0; i < lv()->topLevelItemCount(); ++i)
            texts.append(lv()->topLevelItem(i)->text(c));
        return texts;
    }
    // As the user clicks a row's check box.
    void clickCheck(const QString &name)
    {
        QTreeWidgetItem *item = row(name);
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        MsgSupport::ReloadAllMessages();
        m_events.clear();
        connect(gNotifier, &GlobalNotifier::Notify, this, [this](const QString &e) { m_events.append(e); });
        for (const char *name : {"b_alpha", "b_beta", "b_high"})
            m_fx->writeFile(QStringLiteral("Modules/Bible/%1.txt").arg(QLatin1String(name)),
                            "1\t1\t1\t1\tx\r\n");
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), FixtureList);
        gMaxCountSize = 500;
        gBib1TC = 0;
        gBib1BC = 0xF0F0F0;
        gActiveUpdateBib1 = false;
        gDeleteTempFilesOnExit = true;
    }
    void cleanup()
    {
        m_form.reset();
        m_fx.reset();
    }

    void highlightLimit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("message"); // 0: accepted
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("storedText");
        QTest::newRow("9") << "9" << 86 << "10"
                           << "<none>";
        QTest::newRow("10") << "10" << 0 << ""
                            << "10";
        QTest::newRow("50000") << "50000" << 0 << ""
                               << "50000";
        QTest::newRow("50001") << "50001" << 85 << "50000"
                               << "<none>";
        QTest::newRow("not a number") << "lots" << 86 << "10"
                                      << "<none>";
        QTest::newRow("empty") << "" << 86 << "10"
                               << "<none>";
        QTest::newRow("100.5 to even") << "100.5" << 0 << ""
                                       << "100";
        QTest::newRow("101.5 to even") << "101.5" << 0 << ""
                                       << "102";
    }
    void highlightLimit()
    {
        QFETCH(QString, typed);
        QFETCH(int, message);
        QFETCH(QString, argument);
        QFETCH(QString, storedText);
        form().Text2->setText(typed);
        form().cmdSave_Click();
        QCOMPARE(stored(QStringLiteral("MAXCountSize")), storedText);
        if (message == 0) {
            QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
            QCOMPARE(QString::number(gMaxCountSize), storedText);
            return;
        }
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, message, argument));
        QCOMPARE(desk().messageBoxes().first().style, MsgBoxStyle::Exclamation);
        QCOMPARE(gMaxCountSize, 500);
        QCOMPARE(stored(QStringLiteral("Bib1TC")), QStringLiteral("<none>"));
        if (typed.isEmpty())
            QCOMPARE(form().Text2->text(), QStringLiteral("0"));
    }

    void leavingTheLimitBoxChecksIt()
    {
        form().show();
        form().Text2->setText(QStringLiteral("5"));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(form().Text2, &leave);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 86, QStringLiteral("10")));
        form().Text2->setText(QStringLiteral("25"));
        QApplication::sendEvent(form().Text2, &leave);
        QCOMPARE(desk().messageBoxes().size(), 1);
    }

    void leavingTheLimitBoxForCancelDoesNotComplain()
    {
        form().show();
        QApplication::setActiveWindow(&form());
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        form().Text2->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return form().Text2->hasFocus(); }));
        form().Text2->setText(QStringLiteral("5"));
        form().cmdCancel->setFocus();
        QVERIFY(form().cmdCancel->hasFocus());
        QVERIFY(desk().messageBoxes().isEmpty());
        form().Text2->setFocus();
        form().cmdSave->setFocus();
        QCOMPARE(desk().messageBoxes().size(), 1);
    }

    void resetToDefaultStoresSystemColours()
    {
        form().OTT->click();
        QCOMPARE(form().singleTarget(), 1);
        form().cmdResetColor_Click();
        form().OTB->click();
        form().cmdResetColor_Click();
        for (ColorSample *sample : {form().TT, form().TB})
            QCOMPARE(sample->foreColor(), 0x80000012u);
        for (ColorSample *sample : form().TH)
            QCOMPARE(sample->backColor(), 0x8000000Fu);
        // The system colours are drawn in the palette's colours.
        QCOMPARE(form().TT->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
        form().cmdSave_Click();
        QCOMPARE(stored(QStringLiteral("Bib1TC")), QStringLiteral("-2147483630"));
        QCOMPARE(stored(QStringLiteral("Bib1BC")), QStringLiteral("-2147483633"));
        QCOMPARE(gBib1BC, 0x8000000Fu);
    }

    void colourTargets()
    {
        desk().colorAnswers = {0x0000FFu, 0x00FF00u, 0xFF0000u, std::nullopt};
        form().cmdColour_Click(); // background, the default target: all seven samples
        for (ColorSample *sample : form().TH)
            QCOMPARE(sample->backColor(), 0x0000FFu);
        QCOMPARE(form().TT->backColor(), 0x0000FFu);
        form().OTT->click();
        form().cmdColour_Click();
        QCOMPARE(form().TT->foreColor(), 0x00FF00u);
        QCOMPARE(form().TB->foreColor(), 0x00FF00u);
        QCOMPARE(form().TH[0]->foreColor(), 255u);
        form().OTH[2]->click();
        form().cmdColour_Click();
        QCOMPARE(form().TH[2]->foreColor(), 0xFF0000u);
        form().cmdColour_Click(); // cancelled: nothing changes
        QCOMPARE(form().TH[2]->foreColor(), 0xFF0000u);
        QCOMPARE(desk().messageBoxes().size(), 0);
    }

    void okStoresEverySetting()
    {
        form().Slider2Font->setValue(20);
        QCOMPARE(form().Tbox1Font->text(), QStringLiteral("FontSize 20 sample"));
        form().chkSplash->setChecked(false);
        form().chkDeleteOnExit->setChecked(false);
        form().chkActiveUpd->setChecked(true);
        form().cmdSave_Click();
        QCOMPARE(stored(QStringLiteral("Bib1Fontsize")), QStringLiteral("20"));
        QCOMPARE(stored(QStringLiteral("Bib2Fontsize")), QString::number(gBib2Fontsize));
        QCOMPARE(stored(QStringLiteral("ShowSplash")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("DeleteTempFilesOnExit")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("ActiveUpdateBib1")), QStringLiteral("-1"));
        QCOMPARE(stored(QStringLiteral("Bib1BC")), QString::number(0xF0F0F0));
        QCOMPARE(
            SettingsStore::instance().value(QStringLiteral("Module_Path"), QStringLiteral("ModulePath"), {}),
            gModuleFolder);
        QCOMPARE(gBib1Fontsize, quint8(20));
    }

    void splashSwitchReadsTheStore_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("absent") << QString() << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("-1") << "-1" << true;
    }
    void splashSwitchReadsTheStore()
    {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        if (!stored.isNull())
            SettingsStore::instance().setValue(Settings, QStringLiteral("ShowSplash"), stored);
        QCOMPARE(form().chkSplash->isChecked(), checked);
    }

    void cancelWritesNothing()
    {
        desk().colorAnswers = {0x123456u};
        form().cmdColour_Click();
        form().Text2->setText(QStringLiteral("1000"));
        form().chkActiveUpd->click();
        form().chkDeleteOnExit->click();
        form().cmdCancel_Click();
        QVERIFY(SettingsStore::instance().keys(Settings).isEmpty());
        QCOMPARE(gMaxCountSize, 500);
        QCOMPARE(gBib1BC, 0xF0F0F0u);
        // The two switches apply the moment they are clicked.
        QVERIFY(gActiveUpdateBib1);
        QVERIFY(!gDeleteTempFilesOnExit);
    }

    void precedenceShowsStatusFromTheFiles()
    {
        QCOMPARE(column(0), (QStringList{"Alpha", "Beta", "Missing", "High"}));
        QCOMPARE(column(1), (QStringList{"01", "02", "03", "04"}));
        QCOMPARE(column(3), (QStringList{"AVAILABLE", "BIBLE DISABLED", "NOT AVAILABLE", "AVAILABLE"}));
        QCOMPARE(column(4), (QStringList{"0", "1252", "0", "65001"}));
        QCOMPARE(row("Missing")->checkState(0), Qt::Checked);
    }

    void moveRewritesTheListOnce()
    {
        lv()->setCurrentItem(row("High"));
        form().frmPrecedence->cmdUp_Click();
        form().frmPrecedence->cmdUp_Click();
        QCOMPARE(column(0), (QStringList{"Alpha", "High", "Beta", "Missing"}));
        QCOMPARE(column(1), (QStringList{"01", "02", "03", "04"}));
        const QByteArray expected = "1,1,\"Alpha\",\"b_alpha\",0\r\n"
                                    "2,1,\"High\",\"b_high\",65001\r\n"
                                    "3,0,\"Beta\",\"b_beta\",1252\r\n"
                                    "4,1,\"Missing\",\"b_missing\",0\r\n" +
                                    OtherRecords;
        QCOMPARE(listFile(), expected);
        QCOMPARE(m_events, QStringList(2, GlobalNotifier::TranslationsAvailListChanged));
        // The module lists were read again in the new order.
        QCOMPARE(gBibles.DisplayName(1), QStringLiteral("High"));
        // Up on the first row moves nothing but writes again.
        lv()->setCurrentItem(row("Alpha"));
        form().frmPrecedence->cmdUp_Click();
        QCOMPARE(listFile(), expected);
        QCOMPARE(m_events.size(), 3);
    }

    // Lines the page cannot read as a Bible record are not shown, and every
    // rewrite carries them over byte for byte, in their order.
    void unreadableLinesAreCarriedOverExactly_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("unclosed quote") << QByteArray("3,1,\"Unclosed,b_unclosed,0\r\n");
        QTest::newRow("misplaced quote") << QByteArray("4,1,\"King \"James\",b_kjv,0\r\n");
        QTest::newRow("text after a closing quote") << QByteArray("5,1,\"Name\",\"b_x\" extra,0\r\n");
        QTest::newRow("quote in a number") << QByteArray("6,1\",\"Six\",\"b_six\",0\r\n");
        QTest::newRow("no number") << QByteArray("x,1,\"Bad\",\"b_bad\",0\r\n");
        QTest::newRow("1252 text, no line end") << QByteArray("7,1,\"Jes\xFAs\" x,b_j,0");
    }
    void unreadableLinesAreCarriedOverExactly()
    {
        QFETCH(QByteArray, line);
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), FixtureList + line);
        QCOMPARE(column(0), (QStringList{"Alpha", "Beta", "Missing", "High"}));
        lv()->setCurrentItem(row("High"));
        form().frmPrecedence->cmdUp_Click();
        QCOMPARE(listFile(), QByteArray("1,1,\"Alpha\",\"b_alpha\",0\r\n"
                                        "2,0,\"Beta\",\"b_beta\",1252\r\n"
                                        "3,1,\"High\",\"b_high\",65001\r\n"
                                        "4,1,\"Missing\",\"b_missing\",0\r\n") +
                                 OtherRecords + line);
    }

    // A list in UTF-8 (with its byte-order mark) is written in UTF-8 again.
    void utf8ListKeepsItsEncoding()
    {
        const QByteArray greekBible = "\xCE\xA8\xCE\xB1\xCE\xBB\xCF\x84\xCE\xAE\xCF\x81\xCE\xB9\xCE\xBF";
        const QByteArray comments =
            "1700,1,\"\xCE\xA3\xCF\x87\xCF\x8C\xCE\xBB\xCE\xB9\xCE\xB1\",\"c_comm\",65001\r\n";
        m_fx->writeFile(QStringLiteral("SysDefs/Translations.txt"), "\xEF\xBB\xBF"
                                                                    "0,1,\"Alpha\",\"b_alpha\",0\r\n1,1,\"" +
                                                                        greekBible +
                                                                        "\",\"b_high\",65001\r\n" + comments);
        QCOMPARE(column(0), (QStringList{"Alpha", QString::fromUtf8(greekBible)}));
        lv()->setCurrentItem(row(QString::fromUtf8(greekBible)));
        form().frmPrecedence->cmdUp_Click();
        QCOMPARE(listFile(), "\xEF\xBB\xBF"
                             "1,1,\"" +
                                 greekBible + "\",\"b_high\",65001\r\n2,1,\"Alpha\",\"b_alpha\",0\r\n" +
                                 comments);
        QCOMPARE(gBibles.DisplayName(0), QString::fromUtf8(greekBible));
    }

    void movingAnUncheckedBibleIsRefused()
    {
        lv()->setCurrentItem(row("Beta"));
        form().frmPrecedence->CmdDown_Click();
        QCOMPARE(desk().lastMessage(), GetMsg(0, 87));
        QCOMPARE(column(0), (QStringList{"Alpha", "Beta", "Missing", "High"}));
        QVERIFY(listFile().startsWith("1,1,\"Alpha\""));
        QCOMPARE(m_events.size(), 1);
    }

    void columnSortRenumbers()
    {
        form().frmPrecedence->LV_ColumnClick(BiblePrecedence::ColName); // ascending
        QCOMPARE(column(0), (QStringList{"Alpha", "Beta", "High", "Missing"}));
        form().frmPrecedence->LV_ColumnClick(BiblePrecedence::ColCodePage); // descending, as numbers
        QCOMPARE(column(0), (QStringList{"High", "Beta", "Alpha", "Missing"}));
        QCOMPARE(column(1), (QStringList{"01", "02", "03", "04"}));
        QVERIFY(listFile().startsWith("1,1,\"High\",\"b_high\",65001\r\n2,0,\"Beta\""));
        QVERIFY(listFile().endsWith(OtherRecords));
    }

    void noBibleLeftIsJudgedAfterTheChange()
    {
        const QByteArray before = listFile();
        clickCheck(QStringLiteral("Alpha")); // High is still there
        QCOMPARE(desk().messageBoxes().size(), 0);
        QCOMPARE(row("Alpha")->text(3), QStringLiteral("BIBLE DISABLED"));
        QVERIFY(listFile().startsWith("1,0,\"Alpha\""));
        // "Missing" is checked, but its file is not there: unchecking High leaves no Bible.
        const QByteArray afterFirst = listFile();
        clickCheck(QStringLiteral("High"));
        QCOMPARE(desk().lastMessage(), GetMsg(0, 84));
        QCOMPARE(row("High")->checkState(0), Qt::Checked);
        QCOMPARE(row("High")->text(3), QStringLiteral("AVAILABLE"));
        QCOMPARE(listFile(), afterFirst);
        // Enabling a Bible whose file is there makes it available.
        clickCheck(QStringLiteral("Beta"));
        QCOMPARE(row("Beta")->text(3), QStringLiteral("AVAILABLE"));
        // Unchecking a missing one is accepted and written; it stays missing.
        clickCheck(QStringLiteral("Missing"));
        QCOMPARE(row("Missing")->text(3), QStringLiteral("NOT AVAILABLE"));
        QVERIFY(listFile().contains("3,0,\"Missing\""));
        QCOMPARE(m_events.size(), 3);
        QVERIFY(before != listFile());
    }

    void failedWriteKeepsTheOldList()
    {
        form();
        lv()->setCurrentItem(row("High"));
        const QStringList files = QDir(gSysDefsFolder).entryList(QDir::Files);
        {
            const FileSizeLimit limit(16);
            form().frmPrecedence->cmdUp_Click();
        }
        QCOMPARE(listFile(), FixtureList);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().startsWith(
            GetMsg(0, 287, gSysDefsFolder + QStringLiteral("Translations.txt"))));
        QVERIFY(m_events.isEmpty());
        // Nothing left beside the list, such as a half-written copy.
        QCOMPARE(QDir(gSysDefsFolder).entryList(QDir::Files), files);
    }

    // Installed where the reader may not write: the rows stay as arranged, the
    // list on disk stays as it was, and the folder and the reason are said once
    // while the dialog is open.
    void readOnlyProgramFolderSaysSoOnce()
    {
        form();
        ReadOnlyFolder readOnly(gSysDefsFolder);
        if (!readOnly.active())
            QSKIP("This system cannot make a folder read-only for this user");
        lv()->setCurrentItem(row("High"));
        form().frmPrecedence->cmdUp_Click();
        form().frmPrecedence->cmdUp_Click();
        clickCheck(QStringLiteral("Alpha"));
        QCOMPARE(column(0), (QStringList{"Alpha", "High", "Beta", "Missing"}));
        QCOMPARE(row("Alpha")->checkState(0), Qt::Unchecked);
        QCOMPARE(listFile(), FixtureList);
        QVERIFY(m_events.isEmpty());
        QCOMPARE(desk().messageBoxes().size(), 1);
        const QString told = desk().lastMessage();
        QVERIFY2(told.startsWith(GetMsg(0, 295, gSysDefsFolder)), qPrintable(told));
        QVERIFY2(ReadOnlyFolder::endsWithTheRefusal(told), qPrintable(told));
        // Opened again, the list is read from the file and a change is told again.
        m_form.reset();
        QCOMPARE(column(0), (QStringList{"Alpha", "Beta", "Missing", "High"}));
        lv()->setCurrentItem(row("High"));
        form().frmPrecedence->cmdUp_Click();
        QCOMPARE(desk().messageBoxes().size(), 2);
    }

    void unreadableListLeavesThePageEmpty()
    {
        QFile::remove(m_fx->path(QStringLiteral("SysDefs/Translations.txt")));
        QCOMPARE(lv()->topLevelItemCount(), 0);
        QVERIFY(desk().lastMessage().startsWith(
            GetMsg(0, 286, gSysDefsFolder + QStringLiteral("Translations.txt"))));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
