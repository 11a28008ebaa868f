#include "common/TestFixture.h"
#include "controls/FontHelpers_.h"
#include "controls/ListboxImproved_.h"
#include "core/GlobalVars.h"
#include "mainwindow/MenuTargets.h"
#include "platform/SettingsStore.h"
#include "preferences/frmFontChooser.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using StdFont = frmFontChooser::StdFont;

namespace {
// A font enumeration with faces in three character sets and one that names none.
void fakeFonts()
{
    FontHelpers_::FontKeys = ArrayList_();
    FontHelpers_::CharSetNames = ArrayDictionary_();
    FontHelpers_::CharSetsByName = ArrayDictionary_();
    FontHelpers_::EnumFontsCallback(QStringLiteral("Alpha Serif"), 0, QStringLiteral("Western"));
    FontHelpers_::EnumFontsCallback(QStringLiteral("Alpha Serif"), 238, QStringLiteral("Central European"));
    FontHelpers_::EnumFontsCallback(QStringLiteral("Beta Sans"), 0, QStringLiteral("Western"));
    FontHelpers_::EnumFontsCallback(QStringLiteral("Cyr Mono"), 204, QStringLiteral("Cyrillic"));
    FontHelpers_::EnumFontsCallback(QStringLiteral("Plain Face"), 1, QString());
}

QStringList texts(const ListboxImproved_ *list)
{
    QStringList out;
    for (qint32 i = 0; i < list->ListCount(); ++i)
        out.append(list->List(i));
    return out;
}

QStringList texts(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.append(box->itemText(i));
    return out;
}

void selectFace(frmFontChooser &form, const QString &text)
{
    const QStringList faces = texts(form.lstFonts);
    QVERIFY2(faces.contains(text), qPrintable(faces.join(QLatin1Char('|'))));
    form.lstFonts->setListIndex(qint32(faces.indexOf(text)));
}

const StdFont Given{QStringLiteral("Beta Sans"), 0, 14, true, false, true, false};
} // namespace

class TestFontChooser : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::function<void(frmFontChooser &)> m_drive;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        frmFontChooser::setEnumerator(&fakeFonts);
        m_drive = [](frmFontChooser &form) { form.btnOkay_Click(); };
        frmFontChooser::setShowModal([this](frmFontChooser &form) { m_drive(form); });
    }
    void cleanup() { m_fx.reset(); }

    void listsCharacterSetsAndPreselectsTheFace()
    {
        m_drive = [](frmFontChooser &form) {
            QCOMPARE(texts(form.lstCharSet),
                     (QStringList{"All Fonts", "Central European", "Cyrillic", "Western"}));
            QCOMPARE(form.lstCharSet->currentText(), QStringLiteral("Western"));
            QCOMPARE(texts(form.lstFonts), (QStringList{"Alpha Serif", "Beta Sans"}));
            QCOMPARE(form.lstFonts->ListIndex(), 1);
            QCOMPARE(form.txtSample->font().family(), QStringLiteral("Beta Sans"));
            form.btnOkay_Click();
        };
        const std::optional<StdFont> chosen = frmFontChooser::ChooseFont(Given, QStringLiteral("sample"));
        QVERIFY(chosen);
        QCOMPARE(*chosen, Given);
    }

    void allFontsNamesTheScript()
    {
        m_drive = [](frmFontChooser &form) {
            QCOMPARE(form.lstCharSet->currentText(), QStringLiteral("All Fonts"));
            QCOMPARE(texts(form.lstFonts),
                     (QStringList{"Alpha Serif  (Central European)", "Alpha Serif  (Western)",
                                  "Beta Sans  (Western)", "Cyr Mono  (Cyrillic)", "Plain Face"}));
            // A font of character set 1 is preselected only when its key is listed so.
            QCOMPARE(texts(form.lstFonts).value(form.lstFonts->ListIndex()), QStringLiteral("Plain Face"));
            selectFace(form, QStringLiteral("Alpha Serif  (Central European)"));
            form.btnOkay_Click();
        };
        const StdFont plain{QStringLiteral("Plain Face"), 1, 10, false, true, false, true};
        const std::optional<StdFont> chosen = frmFontChooser::ChooseFont(plain, QString());
        QCOMPARE(*chosen, (StdFont{QStringLiteral("Alpha Serif"), 238, 10, false, true, false, true}));
    }

    void leavingWithoutAFaceReturnsTheGivenFont_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("escape") << "escape";
        QTest::newRow("close box") << "close";
        QTest::newRow("other character set, then OK") << "charset";
    }
    void leavingWithoutAFaceReturnsTheGivenFont()
    {
        QFETCH(QString, how);
        m_drive = [how](frmFontChooser &form) {
            form.lstFonts->setListIndex(0);
            form.move(40, 50);
            if (how == QLatin1String("cancel")) {
                form.btnCancel_Click();
            } else if (how == QLatin1String("escape")) {
                form.reject();
            } else if (how == QLatin1String("close")) {
                form.show();
                form.close();
            } else {
                form.lstCharSet->setCurrentIndex(form.lstCharSet->findText(QStringLiteral("Cyrillic")));
                QCOMPARE(form.lstFonts->ListIndex(), -1);
                form.btnOkay_Click();
            }
        };
        QCOMPARE(*frmFontChooser::ChooseFont(Given, QString()), Given);
        QCOMPARE(frmFontChooser::ChooseFont(std::nullopt, QString()), std::nullopt);
        // Only the close box keeps the window's place.
        const bool stored =
            SettingsStore::instance().contains(QStringLiteral("Settings"), QStringLiteral("FontChooserLeft"));
        QCOMPARE(stored, how == QLatin1String("close"));
    }

    void noGivenFontGivesSizeTwelve()
    {
        m_drive = [](frmFontChooser &form) {
            QCOMPARE(form.lstFonts->ListIndex(), -1);
            selectFace(form, QStringLiteral("Cyr Mono  (Cyrillic)"));
            form.btnOkay_Click();
        };
        QCOMPARE(*frmFontChooser::ChooseFont(std::nullopt, QString()),
                 (StdFont{QStringLiteral("Cyr Mono"), 204, 12, false, false, false, false}));
    }

    void sampleIsCutAndFollowedByTheCharacters()
    {
        QString shown;
        m_drive = [&shown](frmFontChooser &form) {
            const QTextDocument *document = form.txtSample->document();
            QCOMPARE(document->blockCount(), 2);
            shown = document->firstBlock().text() + QLatin1Char('\n') + document->lastBlock().text();
            form.btnCancel_Click();
        };
        frmFontChooser::ChooseFont(Given, QString(5000, QLatin1Char('x')));
        QCOMPARE(shown,
                 QString(1024, QLatin1Char('x')) + QLatin1Char('\n') + frmFontChooser::CharacterLine());
        const QString line = frmFontChooser::CharacterLine();
        QCOMPARE(line.size(), 255);
        QCOMPARE(line.left(3), QStringLiteral(" !\""));
        QCOMPARE(line[223], QChar(0xFF));
        QCOMPARE(line.mid(224), QString(31, QLatin1Char(' ')));
    }

    void splitFontKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("charSet");
        QTest::newRow("western") << "Arial~CharSet0"
                                 << "Arial" << 0;
        QTest::newRow("central") << "DejaVu Sans~CharSet238"
                                 << "DejaVu Sans" << 238;
        QTest::newRow("too large") << "Arial~CharSet300"
                                   << "Arial" << 1;
        QTest::newRow("no number") << "Arial~CharSetx"
                                   << "Arial" << 0;
        QTest::newRow("no marker") << "Arial"
                                   << "Arial" << 1;
        QTest::newRow("other case") << "Arial~charset0"
                                    << "Arial~charset0" << 1;
    }
    void splitFontKey()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(int, charSet);
        QCOMPARE(frmFontChooser::SplitFontKey(key), std::make_pair(name, charSet));
    }

    void browserReachesItThroughTheRegistry()
    {
        const QFont fallbackAnswer(QStringLiteral("Fallback"));
        const MenuTargets::FontChooserFn fallback = [&](const QFont &, const QString &, QWidget *) {
            return fallbackAnswer;
        };
        QFont given(QStringLiteral("Beta Sans"));
        given.setPointSize(15);
        QCOMPARE(MenuTargets::ChooseFont(given, QString(), nullptr, fallback).family(),
                 QStringLiteral("Fallback"));
        frmFontChooser::Register();
        m_drive = [](frmFontChooser &form) {
            form.lstCharSet->setCurrentIndex(0);
            selectFace(form, QStringLiteral("Cyr Mono  (Cyrillic)"));
            form.btnOkay_Click();
        };
        const QFont chosen = MenuTargets::ChooseFont(given, QStringLiteral("text"), nullptr, fallback);
        QCOMPARE(chosen.family(), QStringLiteral("Cyr Mono"));
        QCOMPARE(chosen.pointSize(), 15);
        m_drive = [](frmFontChooser &form) { form.btnCancel_Click(); };
        QCOMPARE(MenuTargets::ChooseFont(given, QString(), nullptr, fallback), given);
    }
};

QTEST_MAIN(TestFontChooser)
#include "tst_fontchooser.moc"
