#include "bookmarks/PageSetup.h"
#include "common/FileSizeLimit.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/DocumentPrinter.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <optional>

namespace {
const QString Absent = QStringLiteral("<none>");

struct Lengths
{
    float width, left, right, top, bottom;
};

void choose(QComboBox *box, const QString &entry)
{
    const int index = box->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    box->setCurrentIndex(index);
    emit box->activated(index);
}
} // namespace

class TestPageSetup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<RichTextBox> m_pane;
    int m_wrapTextEnabled = 0;

    static void store(const QString &key, const QString &value)
    {
        SettingsStore::instance().setValue(QStringLiteral("Settings"), key, value);
    }
    static QString stored(const QString &key)
    {
        return SettingsStore::instance().value(QStringLiteral("Settings"), key, Absent);
    }
    static void storeLengths(bool inches, const Lengths &l, bool fit)
    {
        store(QStringLiteral("CM_IN"), inches ? QStringLiteral("-1") : QStringLiteral("0"));
        store(QStringLiteral("WidthPage"), QString::number(l.width));
        store(QStringLiteral("MarginLeft"), QString::number(l.left));
        store(QStringLiteral("MarginRight"), QString::number(l.right));
        store(QStringLiteral("gTopMargin"), QString::number(l.top));
        store(QStringLiteral("gBottomMargin"), QString::number(l.bottom));
        store(QStringLiteral("FitToDesktop"), fit ? QStringLiteral("-1") : QStringLiteral("0"));
    }
    static Lengths inMemory() { return {gWidthPage, gMarginLeft, gMarginRight, gTopMargin, gBottomMargin}; }
    static QStringList shown(const PageSetup &dialog)
    {
        QStringList texts;
        for (QComboBox *box :
             {dialog.cboWidth, dialog.cboLeft, dialog.cboRight, dialog.cboTop, dialog.cboBottom})
            texts.append(box->currentText());
        return texts;
    }
    static QStringList labels(const PageSetup &dialog)
    {
        QStringList texts;
        for (QLabel *label :
             {dialog.lblWidth, dialog.lblLeft, dialog.lblRight, dialog.lblTop, dialog.lblBottom})
            texts.append(label->text());
        return texts;
    }
    // The pane's line width and the indent of every paragraph.
    QPair<float, float> paneLayout()
    {
        const int start = m_pane->SelStart();
        const int length = m_pane->SelLength();
        float indent = m_pane->SelIndent();
        for (int position : {0, 6, 13}) {
            m_pane->setSelStart(position);
            if (qAbs(m_pane->SelIndent() - indent) > 0.5f)
                indent = -1;
        }
        m_pane->setSelStart(start);
        m_pane->setSelLength(length);
        return {m_pane->RightMargin(), indent};
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_pane = std::make_unique<RichTextBox>();
        m_pane->setText(QStringLiteral("alpha\r\nbeta\r\ngamma"));
        m_pane->setRightMargin(5000);
        m_pane->setSelStart(2);
        m_pane->setSelLength(5);
        m_wrapTextEnabled = 0;
        DocumentPrinter::printer().setPageSize(QPageSize(QPageSize::A4));
        DocumentPrinter::printer().setPageOrientation(QPageLayout::Portrait);
        WorkspaceDocument::Register(
            {[this] { return m_pane.get(); }, [] { return nullptr; }, [this] { ++m_wrapTextEnabled; }});
    }
    void cleanup()
    {
        m_pane.reset();
        m_fx.reset();
    }

    // Settings that cannot be written: a folder where the file belongs, or a
    // disk that fills up in the middle of the write. The choice holds for the
    // run, the file keeps what it had, and the dialog says so.
    void choicesThatCannotBeStoredAreReported_data()
    {
        QTest::addColumn<bool>("shortWrite");
        QTest::addColumn<bool>("viaOK");
        QTest::newRow("apply to all, folder in the way") << false << false;
        QTest::newRow("apply to all, short write") << true << false;
        QTest::newRow("OK, folder in the way") << false << true;
        QTest::newRow("OK, short write") << true << true;
    }
    void choicesThatCannotBeStoredAreReported()
    {
        QFETCH(bool, shortWrite);
        QFETCH(bool, viaOK);
        storeLengths(false, {210, 20, 10, 25, 0}, false);
        const QString file = SettingsStore::instance().filePath();
        const auto onDisk = [&file] {
            QFile settings(file);
            return settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
        };
        const QByteArray before = onDisk();
        PageSetup dialog;
        choose(dialog.cboWidth, QStringLiteral("190"));
        {
            std::optional<FileSizeLimit> limit;
            if (shortWrite)
                limit.emplace(before.size() / 2);
            else
                QVERIFY(QFile::remove(file) && QDir().mkpath(file));
            if (viaOK)
                dialog.cmdINDEX->click();
            else
                dialog.chkAll->click();
        }
        if (!shortWrite)
            QVERIFY(QDir().rmdir(file));
        else
            QCOMPARE(onDisk(), before);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString told = m_fx->desk().lastMessage();
        QVERIFY2(told.startsWith(GetMsg(0, 272, SettingsStore::instance().folder())), qPrintable(told));
        QVERIFY2(told.contains(file), qPrintable(told));
        if (viaOK) {
            QCOMPARE(gWidthPage, 190.0f);
            QVERIFY(qAbs(m_pane->RightMargin() - 180 * 56.7f) < 1);
            QVERIFY(dialog.isHidden());
        } else {
            QVERIFY(gApplyToAllForms);
        }
    }

    void firstRun()
    {
        PageSetup dialog;
        QCOMPARE(dialog.windowTitle(), GetMsg(1, 19, MiscHelpers::ProductTitle()));
        QVERIFY(dialog.optNone->isChecked());
        QVERIFY(!dialog.optCM->isChecked() && !dialog.optIN->isChecked());
        QCOMPARE(gCM_IN, false);
        for (QComboBox *box : {dialog.cboWidth, dialog.cboLeft, dialog.cboRight})
            QVERIFY(!box->isEnabled());
        QVERIFY(dialog.cboTop->isEnabled() && dialog.cboBottom->isEnabled());
        QCOMPARE(labels(dialog),
                 (QStringList{"Ignored", "Ignored", "Ignored", "Top Margin mm", "Bottom Margin mm"}));
        QCOMPARE(shown(dialog), (QStringList{"0", "0", "0", "0", "0"}));
        QVERIFY(!dialog.chkAll->isChecked());
        QCOMPARE(dialog.cboWidth->count(), 354);
        QCOMPARE(dialog.cboWidth->itemText(0), QStringLiteral("76"));
        QCOMPARE(dialog.cboTop->count(), 101);
    }

    void unitConversions_data()
    {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<QList<float>>("values");
        QTest::addColumn<bool>("toInches");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("millimetres to inches keep a tenth")
            << false << QList<float>{210, 20, 10, 25, 0} << true
            << QStringList{"8.3", "0.8", "0.4", "1", "0"};
        QTest::newRow("inches to millimetres") << true << QList<float>{8.3f, 1, 0.5f, 0.8f, 0.4f} << false
                                               << QStringList{"211", "25", "13", "20", "10"};
        QTest::newRow("inches stay inches") << true << QList<float>{8.3f, 1, 0.5f, 0.8f, 0.4f} << true
                                            << QStringList{"8.3", "1", "0.5", "0.8", "0.4"};
        QTest::newRow("millimetres stay millimetres")
            << false << QList<float>{210, 20, 10, 25, 12.5f} << false
            << QStringList{"210", "20", "10", "25", "12.5"};
    }
    void unitConversions()
    {
        QFETCH(bool, inches);
        QFETCH(QList<float>, values);
        QFETCH(bool, toInches);
        QFETCH(QStringList, expected);
        storeLengths(inches, {values[0], values[1], values[2], values[3], values[4]}, false);
        PageSetup dialog;
        QCOMPARE(dialog.optIN->isChecked(), inches);
        if (toInches)
            dialog.optIN_Click();
        else
            dialog.optCM_Click();
        QCOMPARE(gCM_IN, toInches);
        QCOMPARE(shown(dialog), expected);
        const Lengths now = inMemory();
        QCOMPARE(PageSettings::LengthText(now.width), expected[0]);
        QCOMPARE(PageSettings::LengthText(now.bottom), expected[4]);
        const QString unit = toInches ? QStringLiteral("Inch") : QStringLiteral("mm");
        QCOMPARE(dialog.lblWidth->text(), QStringLiteral("Page Width ") + unit);
        QCOMPARE(dialog.cboWidth->count(), toInches ? 140 : 354);
        QCOMPARE(dialog.cboLeft->count(), toInches ? 40 : 101);
        QCOMPARE(dialog.cboLeft->itemText(toInches ? 39 : 100),
                 toInches ? QStringLiteral("3.9") : QStringLiteral("100"));
    }

    void loadingRoundsTheMillimetresOfTheSides()
    {
        storeLengths(false, {210.4f, 19.6f, 10.5f, 12.6f, 0}, false);
        PageSetup dialog;
        QCOMPARE(shown(dialog), (QStringList{"210", "20", "10", "12.6", "0"}));
    }

    void storedCommasAreRead()
    {
        store(QStringLiteral("CM_IN"), QStringLiteral("True"));
        store(QStringLiteral("WidthPage"), QStringLiteral("8,5"));
        store(QStringLiteral("MarginLeft"), QStringLiteral("0,7"));
        store(QStringLiteral("FitToDesktop"), QStringLiteral("False"));
        PageSetup dialog;
        QVERIFY(dialog.optIN->isChecked());
        QCOMPARE(dialog.cboWidth->currentText(), QStringLiteral("8.5"));
        QCOMPARE(gMarginLeft, 0.7f);
        dialog.cmdINDEX->click();
        QCOMPARE(stored(QStringLiteral("WidthPage")), QStringLiteral("8.5"));
        QCOMPARE(stored(QStringLiteral("MarginLeft")), QStringLiteral("0.7"));
    }

    void choosingAnEntrySetsTheValue()
    {
        storeLengths(false, {210, 20, 10, 25, 0}, false);
        PageSetup dialog;
        choose(dialog.cboBottom, QStringLiteral("17"));
        QCOMPARE(gBottomMargin, 17.0f);
        choose(dialog.cboWidth, QStringLiteral("190"));
        QCOMPARE(gWidthPage, 190.0f);
        // Typed text is read only when the dialog is confirmed.
        dialog.cboLeft->setEditText(QStringLiteral("33"));
        QCOMPARE(gMarginLeft, 20.0f);
        QCOMPARE(stored(QStringLiteral("gBottomMargin")), QStringLiteral("0"));
    }

    // A typed length is read when the dialog is confirmed: taken when it lies in
    // the range of the box's list, else refused with a message, the old value kept.
    void typedLengths_data()
    {
        QTest::addColumn<QString>("stored"); // "mm", "inches" or "none" (first run)
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result"); // stored afterwards; empty: refused
        QTest::addColumn<QString>("range");
        QTest::newRow("first run, top 20") << "none"
                                           << "gTopMargin"
                                           << " 20 "
                                           << "20"
                                           << "";
        QTest::newRow("left 33") << "mm"
                                 << "MarginLeft"
                                 << "33"
                                 << "33"
                                 << "";
        QTest::newRow("width with a tenth") << "mm"
                                            << "WidthPage"
                                            << "190.5"
                                            << "190.5"
                                            << "";
        QTest::newRow("decimal comma") << "mm"
                                       << "MarginRight"
                                       << "12,5"
                                       << "12.5"
                                       << "";
        QTest::newRow("not a number") << "mm"
                                      << "MarginLeft"
                                      << "abc"
                                      << ""
                                      << "0 - 100";
        QTest::newRow("negative") << "mm"
                                  << "MarginLeft"
                                  << "-50"
                                  << ""
                                  << "0 - 100";
        QTest::newRow("too wide") << "mm"
                                  << "WidthPage"
                                  << "99999"
                                  << ""
                                  << "76 - 429";
        QTest::newRow("narrower than the list") << "mm"
                                                << "WidthPage"
                                                << "20"
                                                << ""
                                                << "76 - 429";
        QTest::newRow("emptied") << "mm"
                                 << "gBottomMargin"
                                 << ""
                                 << ""
                                 << "0 - 100";
        QTest::newRow("inches, left") << "inches"
                                      << "MarginLeft"
                                      << "0.75"
                                      << "0.75"
                                      << "";
        QTest::newRow("inches, too deep") << "inches"
                                          << "gTopMargin"
                                          << "4"
                                          << ""
                                          << "0.0 - 3.9";
    }
    void typedLengths()
    {
        QFETCH(QString, stored);
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(QString, range);
        if (stored == QLatin1String("mm"))
            storeLengths(false, {210, 20, 10, 1, 2}, false);
        else if (stored == QLatin1String("inches"))
            storeLengths(true, {8.5f, 1, 1, 1, 2}, false);
        const QString before = this->stored(key);
        PageSetup dialog;
        const QHash<QString, QComboBox *> boxes{{QStringLiteral("WidthPage"), dialog.cboWidth},
                                                {QStringLiteral("MarginLeft"), dialog.cboLeft},
                                                {QStringLiteral("MarginRight"), dialog.cboRight},
                                                {QStringLiteral("gTopMargin"), dialog.cboTop},
                                                {QStringLiteral("gBottomMargin"), dialog.cboBottom}};
        QComboBox *box = boxes.value(key);
        const QString shownBefore = box->currentText();
        box->setEditText(typed);
        dialog.cmdINDEX->click();
        if (!result.isEmpty()) {
            QVERIFY(m_fx->desk().messageBoxes().isEmpty());
            QCOMPARE(this->stored(key), result);
            QVERIFY(dialog.isHidden());
            return;
        }
        // Refused: the reader is told, the dialog stays, the box shows its value again.
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(),
                 GetMsg(0, 154, typed) + QStringLiteral("\r\n\r\n") + GetMsg(0, 155, range));
        QCOMPARE(box->currentText(), shownBefore);
        QCOMPARE(this->stored(key), before);
        dialog.cmdINDEX->click();
        QCOMPARE(this->stored(key), shownBefore);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
    }

    // On a first run nothing outside the lists' ranges is ever stored: a refused
    // length puts back what the box showed before (leaving "Fit to Form", the
    // paper's width, never the width of 0 that was never set).
    void outOfRangeIsNeverStored_data()
    {
        QTest::addColumn<bool>("millimetres"); // the reader chooses Millimeters first
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("afterRetry"); // stored after OK again
        QTest::newRow("width -50") << true << "WidthPage"
                                   << "-50"
                                   << "76 - 429"
                                   << "210";
        QTest::newRow("top 99999999999") << false << "gTopMargin"
                                         << "99999999999"
                                         << "0 - 100"
                                         << "0";
    }
    void outOfRangeIsNeverStored()
    {
        QFETCH(bool, millimetres);
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, range);
        QFETCH(QString, afterRetry);
        PageSetup dialog;
        dialog.show();
        if (millimetres)
            dialog.optCM->setChecked(true);
        QComboBox *box = key == QLatin1String("WidthPage") ? dialog.cboWidth : dialog.cboTop;
        const QString shownBefore = box->currentText();
        box->setEditText(typed);
        dialog.cmdINDEX->click();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(),
                 GetMsg(0, 154, typed) + QStringLiteral("\r\n\r\n") + GetMsg(0, 155, range));
        QCOMPARE(box->currentText(), shownBefore);
        QVERIFY(!dialog.isHidden());

        dialog.cmdINDEX->click();
        QCOMPARE(this->stored(key), afterRetry);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(dialog.isHidden());
        // The width never set, ignored while the page fits the window, is not stored as 0.
        QVERIFY(this->stored(QStringLiteral("WidthPage")) != QLatin1String("0"));
    }

    // Leaving "Fit to Form" on a first run, the width box offers the width of the
    // printer's paper, as the print dialog last chose it, in the unit chosen.
    void firstRunOffersThePaperWidth()
    {
        DocumentPrinter::printer().setPageSize(QPageSize(QPageSize::Letter));
        DocumentPrinter::printer().setPageOrientation(QPageLayout::Landscape);
        PageSetup dialog;
        dialog.optIN->setChecked(true);
        QCOMPARE(dialog.cboWidth->currentText(), QStringLiteral("11"));
        dialog.cmdINDEX->click();
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QCOMPARE(stored(QStringLiteral("WidthPage")), QStringLiteral("11"));
    }

    // A length the box was given, not typed, that the list does not offer (a
    // stored margin of 3.95 inches): OK says the range and claims no earlier length.
    void untypedLengthOutsideTheListIsRefused()
    {
        storeLengths(true, {8.5f, 3.95f, 1, 1, 1}, false);
        PageSetup dialog;
        dialog.show();
        dialog.cmdINDEX->click();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 155, QStringLiteral("0.0 - 3.9")));
        QVERIFY(!dialog.isHidden());
    }

    // Without "Fit to Form", OK and the close box refuse margins that leave the
    // text less than an inch (25 mm) of the page width, naming the lengths.
    void marginsLeaveRoomForText_data()
    {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<QStringList>("chosen"); // width, left, right
        QTest::addColumn<QString>("told");       // empty: taken
        QTest::newRow("a millimetre short")
            << false << QStringList{"100", "40", "36"} << "100 mm - 40 mm - 36 mm = 24 mm";
        QTest::newRow("25 mm left") << false << QStringList{"100", "40", "35"} << "";
        QTest::newRow("inches, a tenth short")
            << true << QStringList{"3.0", "1.0", "1.1"} << "3 in - 1 in - 1.1 in = 0.9 in";
    }
    void marginsLeaveRoomForText()
    {
        QFETCH(bool, inches);
        QFETCH(QStringList, chosen);
        QFETCH(QString, told);
        storeLengths(inches, inches ? Lengths{8.5f, 1, 1, 1, 1} : Lengths{210, 20, 10, 25, 0}, false);
        PageSetup dialog;
        dialog.show();
        choose(dialog.cboWidth, chosen[0]);
        choose(dialog.cboLeft, chosen[1]);
        choose(dialog.cboRight, chosen[2]);
        dialog.cmdINDEX->click();
        QCOMPARE(dialog.isHidden(), told.isEmpty());
        QCOMPARE(stored(QStringLiteral("MarginLeft")) == chosen[1], told.isEmpty());
        QCOMPARE(m_fx->desk().messageBoxes().size(), told.isEmpty() ? 0 : 1);
        if (told.isEmpty())
            return;
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 248, told));
        QVERIFY(!dialog.close());
        QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
    }

    // A length typed before switching the unit is taken and converted with the others.
    void typedLengthFollowsAUnitSwitch()
    {
        storeLengths(false, {210, 20, 10, 25, 0}, false);
        PageSetup dialog;
        dialog.cboLeft->setEditText(QStringLiteral("50.8"));
        dialog.optIN->setChecked(true);
        QCOMPARE(dialog.cboLeft->currentText(), QStringLiteral("2"));
        dialog.cmdINDEX->click();
        QCOMPARE(stored(QStringLiteral("MarginLeft")), QStringLiteral("2"));
        QCOMPARE(stored(QStringLiteral("CM_IN")), QStringLiteral("-1"));
    }

    void okSavesAndLaysThePaneOut()
    {
        storeLengths(false, {210, 20, 10, 25, 0}, false);
        PageSetup dialog;
        choose(dialog.cboWidth, QStringLiteral("190"));
        choose(dialog.cboRight, QStringLiteral("15"));
        dialog.cmdINDEX->click();
        QCOMPARE(stored(QStringLiteral("WidthPage")), QStringLiteral("190"));
        QCOMPARE(stored(QStringLiteral("MarginRight")), QStringLiteral("15"));
        QCOMPARE(stored(QStringLiteral("FitToDesktop")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("CM_IN")), QStringLiteral("0"));
        const auto layout = paneLayout();
        QCOMPARE(layout.first, 9922.5f);
        QVERIFY2(qAbs(layout.second - 1134) < 1, qPrintable(QString::number(layout.second)));
        QCOMPARE(m_wrapTextEnabled, 1);
        QCOMPARE(m_pane->SelStart(), 2);
        QCOMPARE(m_pane->SelLength(), 5);
        QVERIFY(dialog.isHidden());
    }

    void okWithFitToForm()
    {
        // Side lengths that would leave the text no room are ignored, not refused.
        storeLengths(false, {76, 60, 60, 25, 0}, false);
        PageSetup dialog;
        dialog.optNone->setChecked(true);
        QCOMPARE(dialog.lblLeft->text(), QStringLiteral("Ignored"));
        QVERIFY(!dialog.cboLeft->isEnabled());
        dialog.cmdINDEX->click();
        QCOMPARE(stored(QStringLiteral("FitToDesktop")), QStringLiteral("-1"));
        QVERIFY(gFitToDesktop);
        QCOMPARE(paneLayout(), (QPair<float, float>(0, 0)));
        QCOMPARE(m_wrapTextEnabled, 0);
    }

    void cancelPutsBackWhatWasRead_data()
    {
        QTest::addColumn<bool>("fitAtOpening");
        QTest::newRow("fit to form at opening") << true;
        QTest::newRow("page width at opening") << false;
    }
    void cancelPutsBackWhatWasRead()
    {
        QFETCH(bool, fitAtOpening);
        storeLengths(false, {210, 20, 10, 25, 5}, fitAtOpening);
        const float lineWidth = m_pane->RightMargin();
        {
            PageSetup dialog;
            dialog.optIN->setChecked(true);
            choose(dialog.cboTop, QStringLiteral("2.5"));
            dialog.optNone->setChecked(!fitAtOpening);
            dialog.optIN->setChecked(fitAtOpening);
            dialog.cmdCancel->click();
        }
        QCOMPARE(gCM_IN, false);
        QCOMPARE(gWidthPage, 210.0f);
        QCOMPARE(gMarginLeft, 20.0f);
        QCOMPARE(gTopMargin, 25.0f);
        QCOMPARE(gBottomMargin, 5.0f);
        QCOMPARE(gFitToDesktop, fitAtOpening);
        QCOMPARE(stored(QStringLiteral("gTopMargin")), QStringLiteral("25"));
        QCOMPARE(stored(QStringLiteral("CM_IN")), QStringLiteral("0"));
        // The pane follows the settings as they were: fit to window, or untouched.
        QCOMPARE(paneLayout().first, fitAtOpening ? 0.0f : lineWidth);
        QCOMPARE(m_wrapTextEnabled, fitAtOpening ? 0 : 1);
        QCOMPARE(m_pane->SelStart(), 2);
        QCOMPARE(m_pane->SelLength(), 5);
    }

    void applyToAllFormsIsSavedAtOnce()
    {
        PageSetup dialog;
        dialog.chkAll->setChecked(true);
        QCOMPARE(stored(QStringLiteral("ApplyToAllForms")), QStringLiteral("-1"));
        QVERIFY(gApplyToAllForms);
        dialog.cmdCancel->click();
        QCOMPARE(stored(QStringLiteral("ApplyToAllForms")), QStringLiteral("-1"));
        PageSetup again;
        QVERIFY(again.chkAll->isChecked());
    }

    void closeBoxConfirmsAndEscapeCancels()
    {
        storeLengths(false, {210, 20, 10, 25, 0}, false);
        {
            PageSetup dialog;
            choose(dialog.cboLeft, QStringLiteral("30"));
            dialog.close();
        }
        QCOMPARE(stored(QStringLiteral("MarginLeft")), QStringLiteral("30"));
        {
            PageSetup dialog;
            choose(dialog.cboLeft, QStringLiteral("40"));
            dialog.reject();
        }
        QCOMPARE(stored(QStringLiteral("MarginLeft")), QStringLiteral("30"));
        QCOMPARE(gMarginLeft, 30.0f);
    }

    void reachedThroughTheOpenerRegistry()
    {
        PageSetup::Register();
        int opened = 0;
        auto previous = PageSetup::setShowModal([&] {
            ++opened;
            DefaultInstance<PageSetup>::get().cmdINDEX->click();
        });
        MenuTargets::Get(MenuTargets::PageSetup).showModal();
        PageSetup::setShowModal(previous);
        QCOMPARE(opened, 1);
        QVERIFY(!DefaultInstance<PageSetup>::exists());
        QCOMPARE(stored(QStringLiteral("FitToDesktop")), QStringLiteral("-1"));
    }
};

QTEST_MAIN(TestPageSetup)
#include "tst_pagesetup.moc"
