#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/PageSettings.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"

#include <QtTest>

class TestPageSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    static void store(const QString &key, const QString &value)
    {
        SettingsStore::instance().setValue(QStringLiteral("Settings"), key, value);
    }
    static QString stored(const QString &key)
    {
        return SettingsStore::instance().value(QStringLiteral("Settings"), key, QStringLiteral("<none>"));
    }

private Q_SLOTS:
    void init() { m_fx = std::make_unique<TestFixture>(); }
    void cleanup() { m_fx.reset(); }

    void firstRunDefaults()
    {
        gCM_IN = true;
        gWidthPage = gMarginLeft = 5;
        gFitToDesktop = false;
        gApplyToAllForms = true;
        PageSettings::ReadPageSettings(true);
        QCOMPARE(gCM_IN, false);
        QCOMPARE(gWidthPage, 0.0f);
        QCOMPARE(gMarginLeft, 0.0f);
        QCOMPARE(gFitToDesktop, true);
        QCOMPARE(gApplyToAllForms, false);
    }

    void storedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("expected");
        QTest::newRow("point") << "8.3" << 8.3f;
        QTest::newRow("comma") << "8,3" << 8.3f;
        QTest::newRow("whole") << "42" << 42.0f;
        QTest::newRow("blanks") << " 12.5 " << 12.5f;
        QTest::newRow("not a number") << "wide" << 0.0f;
        QTest::newRow("two commas") << "1,2,3" << 0.0f;
        QTest::newRow("empty") << "" << 0.0f;
    }
    void storedTexts()
    {
        QFETCH(QString, text);
        QFETCH(float, expected);
        store(QStringLiteral("WidthPage"), text);
        store(QStringLiteral("gBottomMargin"), text);
        PageSettings::ReadPageSettings(false);
        QCOMPARE(gWidthPage, expected);
        QCOMPARE(gBottomMargin, expected);
    }

    void booleansReadBothWays()
    {
        store(QStringLiteral("CM_IN"), QStringLiteral("-1"));
        store(QStringLiteral("FitToDesktop"), QStringLiteral("False"));
        store(QStringLiteral("ApplyToAllForms"), QStringLiteral("True"));
        PageSettings::ReadPageSettings(false);
        QCOMPARE(gCM_IN, true);
        QCOMPARE(gFitToDesktop, false);
        QCOMPARE(gApplyToAllForms, false); // not asked for
        PageSettings::ReadPageSettings(true);
        QCOMPARE(gApplyToAllForms, true);
    }

    void savedAsTheProgramWritesThem()
    {
        gCM_IN = true;
        gWidthPage = 8.3f;
        gMarginLeft = 0.8f;
        gMarginRight = 1;
        gTopMargin = 0.5f;
        gBottomMargin = 0;
        gFitToDesktop = false;
        gApplyToAllForms = true;
        PageSettings::SavePageSettings();
        PageSettings::SaveFitToDesktop();
        PageSettings::SaveApplyToAllForms();
        QCOMPARE(stored(QStringLiteral("CM_IN")), QStringLiteral("-1"));
        QCOMPARE(stored(QStringLiteral("WidthPage")), QStringLiteral("8.3"));
        QCOMPARE(stored(QStringLiteral("MarginLeft")), QStringLiteral("0.8"));
        QCOMPARE(stored(QStringLiteral("MarginRight")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("gTopMargin")), QStringLiteral("0.5"));
        QCOMPARE(stored(QStringLiteral("gBottomMargin")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("FitToDesktop")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("ApplyToAllForms")), QStringLiteral("-1"));
        QCOMPARE(SettingsStore::instance().keys(QStringLiteral("Settings")).mid(0, 6),
                 (QStringList{QStringLiteral("CM_IN"), QStringLiteral("WidthPage"),
                              QStringLiteral("MarginLeft"), QStringLiteral("MarginRight"),
                              QStringLiteral("gTopMargin"), QStringLiteral("gBottomMargin")}));
    }

    void paneLayout_data()
    {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("right");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<float>("lineWidth");
        QTest::addColumn<float>("indent");
        QTest::newRow("millimetres") << false << 190.0f << 20.0f << 15.0f << false << 9922.5f << 1134.0f;
        QTest::newRow("inches") << true << 8.5f << 1.0f << 1.0f << false << 10800.0f << 1440.0f;
        QTest::newRow("fit to window") << false << 190.0f << 20.0f << 15.0f << true << 0.0f << 0.0f;
    }
    void paneLayout()
    {
        QFETCH(bool, inches);
        QFETCH(float, width);
        QFETCH(float, left);
        QFETCH(float, right);
        QFETCH(bool, fit);
        QFETCH(float, lineWidth);
        QFETCH(float, indent);
        gCM_IN = inches;
        gWidthPage = width;
        gMarginLeft = left;
        gMarginRight = right;
        gFitToDesktop = fit;
        RichTextBox pane;
        pane.setText(QStringLiteral("first\r\nsecond\r\nthird"));
        pane.setSelStart(3);
        pane.setSelLength(8);
        ApplyPageLayoutToWholeText(pane);
        QCOMPARE(pane.RightMargin(), lineWidth);
        QCOMPARE(gPageWidthTwips, width * (inches ? 1440.0f : 56.7f));
        // Every paragraph has the indent, and the selection is as it was.
        for (int start : {0, 7, 15}) {
            pane.setSelStart(start);
            QVERIFY2(qAbs(pane.SelIndent() - indent) < 1, qPrintable(QString::number(pane.SelIndent())));
        }
        pane.setSelStart(3);
        pane.setSelLength(8);
        ApplyPageLayoutToWholeText(pane);
        QCOMPARE(pane.SelStart(), 3);
        QCOMPARE(pane.SelLength(), 8);
        QCOMPARE(pane.lineWrapMode(), fit ? QTextEdit::WidgetWidth : QTextEdit::FixedPixelWidth);
    }

    void wrapWidthOfThePane_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("mode");
        QTest::newRow("page") << 9922.5f << int(QTextEdit::FixedPixelWidth);
        QTest::newRow("edge") << 0.0f << int(QTextEdit::WidgetWidth);
        QTest::newRow("negative") << -850.5f << int(QTextEdit::WidgetWidth);
        QTest::newRow("no wrap") << 128000.0f << int(QTextEdit::NoWrap);
    }
    void wrapWidthOfThePane()
    {
        QFETCH(float, twips);
        QFETCH(int, mode);
        RichTextBox pane;
        pane.setRightMargin(twips);
        QCOMPARE(pane.RightMargin(), twips);
        QCOMPARE(int(pane.lineWrapMode()), mode);
    }
};

QTEST_MAIN(TestPageSettings)
#include "tst_pagesettings.moc"
