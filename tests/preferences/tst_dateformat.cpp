#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/SettingsStore.h"
#include "preferences/frmDateFormat.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

namespace {
int checkedIndex(const QList<QRadioButton *> &options)
{
    for (int i = 0; i < options.size(); ++i)
        if (options[i]->isChecked())
            return i;
    return -1;
}
} // namespace

class TestDateFormat : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        MsgSupport::ReloadAllMessages();
        m_fx->desk().clock = QDateTime(QDate(2024, 3, 7), QTime(9, 0));
    }
    void cleanup()
    {
        gLanguage = QStringLiteral("ENGLISH");
        m_fx.reset();
    }

    void captionFromTheCatalog_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::newRow("English") << "ENGLISH"
                                 << "Date Format";
        QTest::newRow("Spanish") << "SPANISH"
                                 << "Formato de fecha";
    }
    void captionFromTheCatalog()
    {
        QFETCH(QString, language);
        QFETCH(QString, caption);
        gLanguage = language;
        MsgSupport::ReloadAllMessages();
        frmDateFormat form;
        QCOMPARE(form.windowTitle(), caption);
    }

    void loadDetectsThePattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("separator");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("listed");
        QTest::newRow("default") << "dd-MMM-yyyy" << 0 << 1 << 3 << "dd-MMM-yyyy";
        QTest::newRow("empty") << "" << 0 << 1 << 3 << "dd-MMM-yyyy";
        QTest::newRow("US slash") << "MM/dd/yyyy" << 1 << 6 << 1 << "MM/dd/yyyy";
        QTest::newRow("year first dot") << "yyyy.MMM.dd" << 2 << 5 << 3 << "yyyy.MMM.dd";
        QTest::newRow("no separator") << "ddMMyy" << 0 << 0 << 0 << "ddMMyy";
        QTest::newRow("space") << "dd MMM yy" << 0 << 2 << 2 << "dd MMM yy";
        // The last separator found in "- :_./," wins.
        QTest::newRow("two separators") << "dd-MM,yy" << 0 << 7 << 0 << "dd,MM,yy";
    }
    void loadDetectsThePattern()
    {
        QFETCH(QString, pattern);
        QFETCH(int, order);
        QFETCH(int, separator);
        QFETCH(int, position);
        QFETCH(QString, listed);
        gDateFormat = pattern;
        frmDateFormat form;
        QCOMPARE(checkedIndex(form.optOrder), order);
        QCOMPARE(checkedIndex(form.optSeperator), separator);
        QCOMPARE(form.lstDate->currentRow(), position);
        QCOMPARE(form.lstDate->currentItem()->text(), listed);
        QCOMPARE(form.lstDate->count(), 4);
    }

    void samplesAndKeptPosition()
    {
        gDateFormat = QStringLiteral("dd-MM-yy");
        frmDateFormat form;
        QCOMPARE(form.lblSamples->text(),
                 QStringLiteral("Sample Dates:\n     07-03-24\n     02-01-00\n     25-12-99"));
        form.optSeperator[6]->click(); // slash: the same kind of pattern stays chosen
        QCOMPARE(form.lstDate->currentItem()->text(), QStringLiteral("dd/MM/yy"));
        QVERIFY(form.lblSamples->text().endsWith(QStringLiteral("     25/12/99")));
        form.optOrder[2]->click();
        QCOMPARE(form.lstDate->currentItem()->text(), QStringLiteral("yy/MM/dd"));
        QCOMPARE(form.lblSamples->text().section(QLatin1Char('\n'), 2, 2), QStringLiteral("     00/01/02"));
        QCOMPARE(form.CurrentSeparator(), QStringLiteral("/"));
    }

    void okStoresAndConfirms()
    {
        gDateFormat = QStringLiteral("dd-MMM-yyyy");
        frmDateFormat form;
        form.optOrder[1]->click();
        form.lstDate->setCurrentRow(1);
        form.cmdOK_Click();
        QCOMPARE(gDateFormat, QStringLiteral("MM-dd-yyyy"));
        QCOMPARE(SettingsStore::instance().value(QStringLiteral("Settings"), QStringLiteral("DF"), {}),
                 QStringLiteral("MM-dd-yyyy"));
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 7, QStringLiteral("MM-dd-yyyy")));
        QCOMPARE(m_fx->desk().messageBoxes().first().style, MsgBoxStyle::Information);
        QVERIFY(m_fx->desk().messageBoxes().first().title.startsWith(QStringLiteral("Settings Updated ")));
    }

    // A pattern that cannot be stored holds for the run; no "Settings Updated".
    void okThatCannotBeStoredSaysSo()
    {
        const QString file = SettingsStore::instance().filePath();
        QVERIFY(QDir().mkpath(file)); // a folder where the file should be
        frmDateFormat form;
        form.lstDate->setCurrentRow(1);
        form.cmdOK_Click();
        QCOMPARE(gDateFormat, form.lstDate->item(1)->text());
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().startsWith(GetMsg(0, 272, SettingsStore::instance().folder())));
        QVERIFY(QDir().rmdir(file));
    }

    void cancelKeepsThePattern()
    {
        gDateFormat = QStringLiteral("dd-MMM-yyyy");
        frmDateFormat form;
        form.optSeperator[0]->click();
        form.cmdCancel_Click();
        QCOMPARE(gDateFormat, QStringLiteral("dd-MMM-yyyy"));
        QVERIFY(!SettingsStore::instance().contains(QStringLiteral("Settings"), QStringLiteral("DF")));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestDateFormat)
#include "tst_dateformat.moc"
