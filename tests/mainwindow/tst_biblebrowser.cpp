#include "abi/VirtualKeys.h"
#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "controls/FlatButton_.h"
#include "controls/NewRichText.h"
#include "controls/TabList_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "mainwindow/BibleBrowser.h"
#include "platform/RichEditWidget.h"
#include "platform/SettingsStore.h"
#include "platform/TextDocument.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

namespace {
const QString Settings = QStringLiteral("Settings");
const QString ReadingFace = QStringLiteral("Reading Face Test");

ModuleBuilder alphaModule()
{
    ModuleBuilder module;
    module.verse(1, 1, 1, QStringLiteral("In the beginning the Maker made the heavens."))
        .verse(1, 1, 2, QStringLiteral("And the earth was empty."))
        .verse(1, 1, 3, QStringLiteral("And there was light."))
        .verse(1, 2, 1, QStringLiteral("Thus the heavens were finished."))
        .verse(23, 1, 1, QStringLiteral("The vision of Alpha Isaiah."))
        .verse(24, 1, 1, QStringLiteral("The words of Alpha Jeremiah."))
        .verse(40, 1, 1, QStringLiteral("The book of Alpha Matthew."))
        .verse(41, 1, 1, QStringLiteral("The beginning of Alpha Mark."));
    return module;
}

ModuleBuilder betaModule()
{
    ModuleBuilder module;
    module.verse(1, 1, 1, QStringLiteral("At first the Maker formed sky and land."))
        .verse(23, 1, 1, QStringLiteral("The vision of Beta Isaiah."))
        .verse(40, 1, 1, QStringLiteral("The record of Beta Matthew."))
        .verse(41, 1, 1, QStringLiteral("Beta Mark begins."));
    return module;
}
} // namespace

class TestBibleBrowser : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<BibleBrowser> m_browser;
    BibleBrowser::FontChooser m_previousChooser;

    TestDesktop &desk() { return m_fx->desk(); }

    void addBible(const QString &displayName, const QString &fileName, const ModuleBuilder &module,
                  bool enabled)
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/") + fileName, module.bytes());
        gBibles.Add(displayName, fileName, enabled, 0);
    }

    // The usual set: a disabled Bible listed first, then two enabled ones.
    void addThreeBibles()
    {
        addBible(QStringLiteral("Switched Off"), QStringLiteral("b_off.txt"), betaModule(), false);
        addBible(QStringLiteral("Alpha Version"), QStringLiteral("b_alpha.txt"), alphaModule(), true);
        addBible(QStringLiteral("Beta Version"), QStringLiteral("b_beta.txt"), betaModule(), true);
    }

    void appendToFile(const QString &relative, const QByteArray &lines)
    {
        m_fx->writeFile(relative, m_fx->readFile(relative) + lines);
    }

    BibleBrowser &start()
    {
        m_browser = std::make_unique<BibleBrowser>();
        m_browser->resize(800, 500);
        m_browser->show();
        if (!QTest::qWaitForWindowExposed(m_browser.get()))
            qWarning("the browser was not exposed");
        return *m_browser;
    }

    // Simulates a new run: the browser goes and the opened translations are dropped.
    BibleBrowser &restart()
    {
        m_browser.reset();
        for (qint32 i = 0; i < gBibles.Count(); ++i)
            gBibles.SetTag(i, nullptr);
        return start();
    }

    QString paneText() const { return m_browser->RichText1->Text(); }

    QTextCharFormat formatAt(int position) const
    {
        QTextCursor cursor(m_browser->RichText1->textDocument()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

    QString setting(const QString &key, const QString &section = Settings) const
    {
        return m_fx->settings().value(section, key, QStringLiteral("<absent>"));
    }

    QStringList bookCaptions() const
    {
        QStringList captions;
        for (qint32 i = 0; i < m_browser->TabList1->ListCount(); ++i)
            captions << m_browser->TabList1->Captions(i);
        return captions;
    }

    QStringList visibleTranslationItems() const
    {
        QStringList captions;
        for (QAction *item : m_browser->popupTranslations->actions())
            if (item->isVisible())
                captions << item->text();
        return captions;
    }

    int indexOfCategoryItem(int category) const
    {
        for (int i = 0; i < m_browser->mCategory.size(); ++i)
            if (m_browser->mCategory[i]->data().toString() == QString::number(category))
                return i;
        return -1;
    }

    void selectInPane(int start, int length) { m_browser->RichText1->SetSelection(start, length); }

    QList<TestDesktop::Shown> errorBoxes() const
    {
        QList<TestDesktop::Shown> errors;
        for (const TestDesktop::Shown &box : m_fx->desk().messageBoxes())
            if (box.title.contains(QStringLiteral("error"), Qt::CaseInsensitive) ||
                box.text.contains(QStringLiteral("ASSERT")))
                errors << box;
        return errors;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        QFile::copy(QStringLiteral(VX_PROGRAM_DIR "/libVxHelpers.so"),
                    m_fx->path(QStringLiteral("libVxHelpers.so")));
        appendToFile(QStringLiteral("msg/ENGLISH_STD.mes"),
                     "\r\n0042 Name meanings are shown when you select a name.\r\n"
                     "0050 The text was not found.\r\n"
                     "0058 Meaning of %\r\n");
        Registry_::Initialize(Settings);
        gNotifier = new GlobalNotifier();
        gDefaultFont = ReadingFace;
        m_previousChooser =
            BibleBrowser::setFontChooser([](const QFont &, const QString &, QWidget *) -> QFont {
                qFatal("the font dialog was opened without an answer");
            });
    }
    void cleanup()
    {
        BibleBrowser::setFontChooser(m_previousChooser);
        m_browser.reset();
        m_fx.reset();
    }

    void firstStartShowsTheFirstBookOfTheProphets()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        QVERIFY(browser.WrapText());
        QVERIFY(browser.FancyFormatting());
        QVERIFY(browser.SmartQuotes());
        QVERIFY(browser.SmartDash());
        QVERIFY(browser.IntegrateNames());
        QCOMPARE(browser.ReadingFontName(), ReadingFace); // the program's default font
        QCOMPARE(browser.CurrentCategory(), qint16(5));
        QCOMPARE(browser.btnCategory->Caption(), QStringLiteral("The Prophets"));
        QCOMPARE(bookCaptions().size(), 17);
        QCOMPARE(bookCaptions().first(), QStringLiteral("Isaiah"));
        QCOMPARE(bookCaptions().last(), QStringLiteral("Malachi"));
        QCOMPARE(browser.TabList1->SelectedItem(), 0);
        QCOMPARE(browser.lblBook->text(), QStringLiteral("Isaiah"));
        // The first enabled Bible, not the disabled one listed before it.
        QVERIFY(browser.CurrentTranslation());
        QCOMPARE(browser.CurrentTranslation()->FileName, QStringLiteral("b_alpha.txt"));
        QCOMPARE(browser.btnTranslation->Caption(), QStringLiteral("Alpha Version"));
        QCOMPARE(paneText(), QStringLiteral("Isaiah\r1 The vision of Alpha Isaiah.\r\r"));
        QCOMPARE(browser.RichText1->SelStart(), 0);
        QCOMPARE(browser.RichText1->SelLength(), 0);
        QCOMPARE(setting(QStringLiteral("BibleBrowserBook")), QStringLiteral("23"));
        QCOMPARE(setting(QStringLiteral("BibleBrowserWrapText")), QStringLiteral("True"));
        // Both drop-down buttons show an arrow in an ordinary font.
        QCOMPARE(browser.btnTranslation->Glyph().trimmed(), QStringLiteral("\u25BC"));
        QCOMPARE(browser.btnCategory->Alignment(), 0);
        QVERIFY(browser.btnCategory->Font().bold());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void layoutFollowsTheStrip()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        const QRect list = browser.TabList1->geometry();
        const QRect pane = browser.RichText1->geometry();
        QCOMPARE(browser.btnCategory->x(), 2);
        QCOMPARE(browser.btnCategory->width(), list.width());
        QCOMPARE(browser.btnTranslation->width(), 2 * list.width());
        QVERIFY(browser.btnTranslation->x() > browser.btnCategory->geometry().right());
        QVERIFY(list.top() > browser.lblBook->geometry().bottom());
        QCOMPARE(list.bottom(), browser.height() - 1);
        QCOMPARE(pane.left(), list.right() + 1 + 4);
        QCOMPARE(pane.top(), list.top() + 1);
        QCOMPARE(pane.height(), list.height() - 1);
        QCOMPARE(pane.right(), browser.width() - 1);
        browser.resize(600, 300);
        QCOMPARE(browser.RichText1->geometry().right(), 599);
        QCOMPARE(browser.TabList1->geometry().bottom(), 299);
    }

    void choicesAreRestoredFromTheSettings()
    {
        addThreeBibles();
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserTranslation"),
                                  QStringLiteral("  b_beta.txt "));
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("9"));
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserBook"), QStringLiteral("41"));
        BibleBrowser &browser = start();
        QCOMPARE(browser.CurrentTranslation()->FileName, QStringLiteral("b_beta.txt"));
        QCOMPARE(browser.btnTranslation->Caption(), QStringLiteral("Beta Version"));
        QCOMPARE(browser.btnCategory->Caption(), QStringLiteral("The Gospels"));
        QCOMPARE(bookCaptions(), (QStringList{QStringLiteral("Matthew"), QStringLiteral("Mark"),
                                              QStringLiteral("Luke"), QStringLiteral("John")}));
        QCOMPARE(browser.TabList1->SelectedItem(), 1);
        QCOMPARE(paneText(), QStringLiteral("Mark\r1 Beta Mark begins.\r\r"));

        // A saved translation that is no longer installed leaves the first enabled one.
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserTranslation"),
                                  QStringLiteral("b_gone.txt"));
        restart();
        QCOMPARE(m_browser->CurrentTranslation()->FileName, QStringLiteral("b_alpha.txt"));
        QCOMPARE(paneText(), QStringLiteral("Mark\r1 The beginning of Alpha Mark.\r\r"));

        // A category the categories file does not have shows all books.
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("77"));
        restart();
        QCOMPARE(m_browser->CurrentCategory(), qint16(0));
        QCOMPARE(bookCaptions().size(), 66);
        QCOMPARE(m_browser->TabList1->DatumOfSelected().toInt(), 41);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void menusChooseAndRemember()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        QCOMPARE(browser.mCategory.first()->text(), QStringLiteral("All Books"));
        QCOMPARE(browser.mCategory[1]->text(), QStringLiteral("  Old Testament"));
        QCOMPARE(browser.mCategory[2]->text(), QStringLiteral("    The Law"));
        QCOMPARE(browser.mCategory[6]->text(), QStringLiteral("      Major Prophets"));
        QCOMPARE(browser.mCategory[8]->text(), QStringLiteral("  New Testament"));
        QCOMPARE(browser.mCategory.size(), 15);

        // A translation from the menu shows the same book in it.
        browser.mTranslation_Click(1);
        QCOMPARE(browser.btnTranslation->Caption(), QStringLiteral("Beta Version"));
        QCOMPARE(paneText(), QStringLiteral("Isaiah\r1 The vision of Beta Isaiah.\r\r"));
        QCOMPARE(setting(QStringLiteral("BibleBrowserTranslation")), QStringLiteral("b_beta.txt"));

        // A category fills the list without a choice; the text stays until a book is clicked.
        browser.mCategory_Click(indexOfCategoryItem(9));
        QCOMPARE(browser.CurrentCategory(), qint16(9));
        QCOMPARE(bookCaptions().size(), 4);
        QCOMPARE(browser.TabList1->SelectedItem(), -1);
        QCOMPARE(paneText(), QStringLiteral("Isaiah\r1 The vision of Beta Isaiah.\r\r"));
        QCOMPARE(setting(QStringLiteral("BibleBrowserCategory")), QStringLiteral("9"));
        browser.TabList1->setSelectedItem(0);
        QCOMPARE(browser.lblBook->text(), QStringLiteral("Matthew"));
        QCOMPARE(paneText(), QStringLiteral("Matthew\r1 The record of Beta Matthew.\r\r"));
        QCOMPARE(setting(QStringLiteral("BibleBrowserBook")), QStringLiteral("40"));

        // The translation menu pops up under its button.
        browser.btnTranslation_Click();
        QVERIFY(browser.popupTranslations->isVisible());
        const QPoint under =
            browser.mapToGlobal(browser.btnTranslation->geometry().bottomLeft() + QPoint(0, 1));
        QCOMPARE(browser.popupTranslations->pos(), under);
        browser.popupTranslations->close();
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void disabledBiblesAreNotOffered()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        QCOMPARE(visibleTranslationItems(),
                 (QStringList{QStringLiteral("Alpha Version"), QStringLiteral("Beta Version")}));

        // Enabling it later offers it after the list changed; the current one stays.
        gBibles.SetEnabled(0, true);
        gNotifier->NotifyOfEvent(GlobalNotifier::TranslationsAvailListChanged);
        QCOMPARE(visibleTranslationItems(),
                 (QStringList{QStringLiteral("Switched Off"), QStringLiteral("Alpha Version"),
                              QStringLiteral("Beta Version")}));
        QCOMPARE(browser.CurrentTranslation()->FileName, QStringLiteral("b_alpha.txt"));
        browser.mTranslation_Click(0);
        QCOMPARE(browser.CurrentTranslation()->FileName, QStringLiteral("b_off.txt"));

        gBibles.SetEnabled(0, false);
        gNotifier->NotifyOfEvent(GlobalNotifier::TranslationsAvailListChanged);
        QCOMPARE(browser.popupTranslations->actions().size(), 2);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void aRedrawnBookShowsItsBeginning()
    {
        ModuleBuilder longer;
        longer.chapter(23, 1, 60, QStringLiteral("a verse long enough to take a whole line of the pane"));
        addBible(QStringLiteral("Long One"), QStringLiteral("b_long1.txt"), longer, true);
        addBible(QStringLiteral("Long Two"), QStringLiteral("b_long2.txt"), longer, true);
        BibleBrowser &browser = start();
        QScrollBar *scroll = browser.RichText1->hwnd()->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        QCOMPARE(scroll->value(), 0);
        scroll->setValue(scroll->maximum() / 2);
        browser.mTranslation_Click(1);
        QCOMPARE(browser.btnTranslation->Caption(), QStringLiteral("Long Two"));
        QCOMPARE(browser.RichText1->SelStart(), 0);
        QCOMPARE(scroll->value(), 0);
        browser.setSmartDash(false);
        QCOMPARE(scroll->value(), 0);
    }

    void withoutABibleTheTextSaysSo()
    {
        addBible(QStringLiteral("Switched Off"), QStringLiteral("b_off.txt"), betaModule(), false);
        BibleBrowser &browser = start();
        QVERIFY(!browser.CurrentTranslation());
        QVERIFY(visibleTranslationItems().isEmpty());
        QCOMPARE(paneText(), QStringLiteral("[No text to display--Bible Translation not found.]\r"));
        browser.mTranslation_Click(0);
        browser.ChooseFont(); // nothing to choose a font for
        QVERIFY(!browser.CurrentTranslation());
        QCOMPARE(paneText(), QStringLiteral("[No text to display--Bible Translation not found.]\r"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void aModuleWithLineFeedEndsSaysSoOnce()
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_unix.txt"),
                        "1\t1\t1\t1\tIn the beginning\n2\t1\t1\t2\tAnd the earth\n");
        gBibles.Add(QStringLiteral("Unix Bible"), QStringLiteral("b_unix.txt"), true, 0);
        BibleBrowser &browser = start();
        QVERIFY(browser.CurrentTranslation());
        const QString noText = QStringLiteral("[No text to display--Bible Translation not found.]\r");
        QCOMPARE(paneText(), noText);
        // Every visit shows the line, and nothing more is said after the one message.
        browser.mTranslation_Click(0);
        browser.setFancyFormatting(false);
        QCOMPARE(paneText(), noText);
        const auto boxes = desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("b_unix.txt")), qPrintable(boxes[0].text));
        QVERIFY(boxes[0].text.contains(QStringLiteral("CR LF")));
        QVERIFY(errorBoxes().isEmpty());
    }

    void formattedAndPlainViews()
    {
        addThreeBibles();
        gBib1Fontsize = 14;
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("2"));
        BibleBrowser &browser = start();
        const QString fancy = QStringLiteral("Genesis\r1 In the beginning the Maker made the heavens.\r"
                                             "2And the earth was empty.\r3And there was light.\r"
                                             "2 Thus the heavens were finished.\r\r");
        QCOMPARE(paneText(), fancy);
        QCOMPARE(formatAt(0).fontPointSize(), 20.0); // "Genesis"
        QVERIFY(formatAt(0).fontWeight() >= QFont::Bold);
        const int verseTwo = int(fancy.indexOf(QStringLiteral("2And")));
        QCOMPARE(formatAt(verseTwo).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QVERIFY(formatAt(verseTwo).fontWeight() < QFont::Bold);
        const int text = verseTwo + 1;
        QCOMPARE(formatAt(text).verticalAlignment(), QTextCharFormat::AlignNormal);
        QCOMPARE(formatAt(text).fontPointSize(), 14.0);
        QCOMPARE(formatAt(text).fontFamilies().toStringList().value(0), ReadingFace);
        QCOMPARE(formatAt(0).fontFamilies().toStringList().value(0), ReadingFace);

        browser.setFancyFormatting(false);
        QCOMPARE(setting(QStringLiteral("BibleBrowserFancyFormat")), QStringLiteral("False"));
        QCOMPARE(paneText(), QStringLiteral("Gen 1:1 In the beginning the Maker made the heavens.\r"
                                            "Gen 1:2 And the earth was empty.\rGen 1:3 And there was light.\r"
                                            "Gen 2:1 Thus the heavens were finished.\r\r"));
        restart();
        QVERIFY(!m_browser->FancyFormatting());
        QVERIFY(paneText().startsWith(QStringLiteral("Gen 1:1 ")));
    }

    void typographyOptionsRedrawAndAreKept()
    {
        ModuleBuilder module;
        module.verse(23, 1, 1, QStringLiteral("He said \"come\" -- and went"));
        addBible(QStringLiteral("Quotes"), QStringLiteral("b_quotes.txt"), module, true);
        BibleBrowser &browser = start();
        QVERIFY(paneText().contains(QStringLiteral("\u201C")));
        QVERIFY(!paneText().contains(QStringLiteral("--")));
        browser.setSmartQuotes(false);
        QVERIFY(paneText().contains(QStringLiteral("\"come\"")));
        QVERIFY(!paneText().contains(QStringLiteral("--")));
        browser.setSmartDash(false);
        QVERIFY(paneText().contains(QStringLiteral("\"come\" -- and")));
        QCOMPARE(setting(QStringLiteral("BibleBrowserSmartQuotes")), QStringLiteral("False"));
        QCOMPARE(setting(QStringLiteral("BibleBrowserSmartDash")), QStringLiteral("False"));
        restart();
        QVERIFY(!m_browser->SmartQuotes());
        QVERIFY(!m_browser->SmartDash());
        QVERIFY(paneText().contains(QStringLiteral("\"come\" -- and")));
    }

    void chosenFontIsTheBookFontAfterARestart()
    {
        addThreeBibles();
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("2"));
        start();
        QString sampleSeen;
        QFont offered;
        BibleBrowser::setFontChooser([&](const QFont &font, const QString &sample, QWidget *) {
            offered = font;
            sampleSeen = sample;
            return QFont(QStringLiteral("Chosen Face"), 30);
        });
        m_browser->ChooseFont();
        QCOMPARE(offered.family(), ReadingFace);
        QVERIFY(sampleSeen.startsWith(QStringLiteral("Gen 1:1 In the beginning")));
        QVERIFY(m_browser->CurrentTranslation()->Font);
        QCOMPARE(m_browser->CurrentTranslation()->Font->family(), QStringLiteral("Chosen Face"));
        QCOMPARE(setting(QStringLiteral("BibleBrowserFontName")), QStringLiteral("Chosen Face"));
        const int verse = int(paneText().indexOf(QStringLiteral("In the")));
        QCOMPARE(formatAt(verse).fontFamilies().toStringList().value(0), QStringLiteral("Chosen Face"));
        QCOMPARE(formatAt(verse).fontPointSize(), 12.0); // the configured size, not the dialog's

        // The next run has no font object in the translation: the saved name still rules.
        restart();
        QVERIFY(!m_browser->CurrentTranslation()->Font);
        QCOMPARE(m_browser->ReadingFontName(), QStringLiteral("Chosen Face"));
        QCOMPARE(formatAt(verse).fontFamilies().toStringList().value(0), QStringLiteral("Chosen Face"));

        // Cancelling hands back the font it was given.
        BibleBrowser::setFontChooser([&](const QFont &font, const QString &, QWidget *) {
            offered = font;
            return font;
        });
        m_browser->ChooseFont();
        QCOMPARE(offered.family(), QStringLiteral("Chosen Face"));
        QCOMPARE(formatAt(verse).fontFamilies().toStringList().value(0), QStringLiteral("Chosen Face"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void anEmptyCategoryShowsNothing()
    {
        addThreeBibles();
        appendToFile(QStringLiteral("SysDefs/Categories.txt"), "15, 0, 0   # no books\r\n");
        appendToFile(QStringLiteral("SysDefs/Categories_ENGLISH.txt"), "15, Empty Shelf, Empty\r\n");
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("15"));
        BibleBrowser &browser = start();
        QCOMPARE(browser.btnCategory->Caption(), QStringLiteral("Empty Shelf"));
        QCOMPARE(browser.TabList1->ListCount(), 0);
        QCOMPARE(browser.TabList1->SelectedItem(), -1);
        QCOMPARE(browser.lblBook->text(), QString());
        QCOMPARE(paneText(), QStringLiteral("\r"));

        browser.mCategory_Click(indexOfCategoryItem(9));
        browser.TabList1->setSelectedItem(0);
        QCOMPARE(paneText(), QStringLiteral("Matthew\r1 The book of Alpha Matthew.\r\r"));
        browser.mCategory_Click(indexOfCategoryItem(15));
        QCOMPARE(browser.TabList1->ListCount(), 0);
        QCOMPARE(paneText(), QStringLiteral("Matthew\r1 The book of Alpha Matthew.\r\r"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void aMissingBookIsAnEmptyPane()
    {
        addThreeBibles();
        gDebugMode = true; // assertion boxes would show
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("2"));
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserBook"), QStringLiteral("2"));
        BibleBrowser &browser = start();
        QCOMPARE(browser.lblBook->text(), QStringLiteral("Exodus"));
        QCOMPARE(paneText(), QStringLiteral("\r"));

        // No book chosen at all: a new translation shows nothing, and says nothing.
        browser.mCategory_Click(indexOfCategoryItem(9));
        browser.mTranslation_Click(1);
        QCOMPARE(paneText(), QStringLiteral("\r"));
        browser.setFancyFormatting(false);
        QCOMPARE(paneText(), QStringLiteral("\r"));
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
    }

    void wrapOffKeepsTheSelection()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        QCOMPARE(browser.RichText1->RightMargin(), 0);
        selectInPane(9, 6);
        const QString selected = browser.RichText1->SelText();
        browser.setWrapText(false);
        QCOMPARE(browser.RichText1->RightMargin(), 128000);
        QCOMPARE(browser.RichText1->hwnd()->lineWrapMode(), QTextEdit::NoWrap);
        QCOMPARE(browser.RichText1->SelStart(), 9);
        QCOMPARE(browser.RichText1->SelLength(), 6);
        QCOMPARE(browser.RichText1->SelText(), selected);
        QCOMPARE(setting(QStringLiteral("BibleBrowserWrapText")), QStringLiteral("False"));
        restart();
        QVERIFY(!m_browser->WrapText());
        QCOMPARE(m_browser->RichText1->RightMargin(), 128000);
        m_browser->setWrapText(true);
        QCOMPARE(m_browser->RichText1->RightMargin(), 0);
    }

    void selectAllAndCopy()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        browser.SelectAll();
        QCOMPARE(browser.RichText1->SelStart(), 0);
        QCOMPARE(browser.RichText1->SelLength(), int(paneText().size()));
        QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
        browser.CopyToClipboard();
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("Isaiah\n1 The vision of Alpha Isaiah.")));
        QCOMPARE(copied.trimmed(), paneText().replace(QLatin1Char('\r'), QLatin1Char('\n')).trimmed());
    }

    void findWalksThroughTheBook()
    {
        addThreeBibles();
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("2"));
        BibleBrowser &browser = start();
        const QString text = paneText();
        desk().inputAnswers = {QStringLiteral("  heavens ")};
        browser.Find(false);
        QCOMPARE(desk().shown.first().kind, QStringLiteral("inputbox"));
        QCOMPARE(desk().shown.first().text, QStringLiteral("Enter Text to find"));
        QCOMPARE(desk().shown.first().title, QStringLiteral("Verbanox Search"));
        const int first = int(text.indexOf(QStringLiteral("heavens")));
        QCOMPARE(browser.RichText1->SelStart(), first);
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("heavens"));
        browser.Find(true);
        QCOMPARE(browser.RichText1->SelStart(), int(text.indexOf(QStringLiteral("heavens"), first + 1)));
        QCOMPARE(desk().shown.size(), 1); // Find Next does not ask again
        browser.Find(true);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 50));
        QCOMPARE(desk().messageBoxes().last().style, int(MsgBoxStyle::Information));

        // A new search starts at the top again.
        desk().inputAnswers = {QStringLiteral("heavens")};
        browser.Find(false);
        QCOMPARE(browser.RichText1->SelStart(), first);

        // Cancelling asks nothing more and finds nothing.
        const int shownBefore = int(desk().shown.size());
        browser.Find(false);
        QCOMPARE(desk().shown.size(), shownBefore + 1);
        QCOMPARE(browser.RichText1->SelStart(), first);
    }

    void findOneCharacterAdvances()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        const QString text = paneText();
        QList<int> expected;
        for (qsizetype at = text.indexOf(QLatin1Char('i'), 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(QLatin1Char('i'), at + 1, Qt::CaseInsensitive))
            expected << int(at);
        QVERIFY(expected.size() >= 2);
        desk().inputAnswers = {QStringLiteral("i")};
        QList<int> found;
        browser.Find(false);
        for (int guard = 0; guard < 40 && desk().messageBoxes().isEmpty(); ++guard) {
            found << browser.RichText1->SelStart();
            QCOMPARE(browser.RichText1->SelLength(), 1);
            browser.Find(true);
        }
        QCOMPARE(found, expected);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 50));
    }

    void findStartsOverInAnotherBook()
    {
        addThreeBibles();
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("9"));
        BibleBrowser &browser = start();
        desk().inputAnswers = {QStringLiteral("Alpha")};
        browser.Find(false);
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("Alpha"));
        browser.TabList1->setSelectedItem(1);
        browser.Find(true);
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("Alpha"));
        QCOMPARE(browser.RichText1->SelStart(), int(paneText().indexOf(QStringLiteral("Alpha"))));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void selectedNamesShowTheirMeaning()
    {
        ModuleBuilder module;
        module.verse(23, 1, 1,
                     QStringLiteral(
                         "and abel met On by Twentycharacternamex and Nineteencharacters at Mahanaim stone"));
        addBible(QStringLiteral("Names"), QStringLiteral("b_names.txt"), module, true);
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
        BibleBrowser &browser = start();
        const QString text = paneText();
        auto select = [&](const QString &word, int extraBefore = 0, int extraAfter = 0) {
            selectInPane(int(text.indexOf(word)) - extraBefore, int(word.size()) + extraBefore + extraAfter);
        };

        // No dictionary file yet: nothing happens.
        select(QStringLiteral("abel"));
        QVERIFY(desk().messageBoxes().isEmpty());

        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAbel\tbreath; vapour\r\n"
                                                                    "2\tAbel\tsecond meaning\r\n"
                                                                    "\r\n"
                                                                    "3\tOn\tpain\r\n"
                                                                    "4\tTwentycharacternamex\ttoo long\r\n"
                                                                    "5\tNineteencharacters\tlong enough\r\n"
                                                                    "6\tMahanaim\r\n");
        select(QStringLiteral("abel"), 1, 1); // " abel " is trimmed
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes().last().text, QStringLiteral("breath; vapour"));
        QCOMPARE(desk().messageBoxes().last().title, GetMsg(0, 58, QStringLiteral("Abel")));
        QVERIFY(desk().messageBoxes().last().title.contains(QStringLiteral("Abel")));
        QVERIFY(!desk().messageBoxes().last().title.contains(QLatin1Char('%')));
        QCOMPARE(desk().messageBoxes().last().style, int(MsgBoxStyle::Information));

        select(QStringLiteral("Nineteencharacters")); // 18 letters
        QCOMPARE(desk().messageBoxes().size(), 2);
        QCOMPARE(desk().lastMessage(), QStringLiteral("long enough"));
        select(QStringLiteral("Nineteencharacters"), 0, 1); // 19 with the blank
        QCOMPARE(desk().messageBoxes().size(), 3);

        select(QStringLiteral("On"));                   // 2 characters
        select(QStringLiteral("Twentycharacternamex")); // 20 characters
        select(QStringLiteral("stone"));                // not a name
        select(QStringLiteral("Mahanaim"));             // listed without a meaning
        QCOMPARE(desk().messageBoxes().size(), 3);

        browser.setIntegrateNames(false);
        QCOMPARE(setting(QStringLiteral("BibleBrowserIntegrateNames")), QStringLiteral("False"));
        select(QStringLiteral("abel"));
        QCOMPARE(desk().messageBoxes().size(), 3);
        browser.setIntegrateNames(true);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 42));
        QCOMPARE(setting(QStringLiteral("BibleBrowserIntegrateNames")), QStringLiteral("True"));
    }

    void namesNeedAListedDictionary()
    {
        addThreeBibles();
        start();
        // A file in the folder, but no names dictionary in the module list.
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAlpha\tfirst\r\n2\tBeta\tsecond\r\n");
        m_browser->ShowNameMeaning(QStringLiteral("Alpha"));
        // Listed, but its file is gone.
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_other.txt"), true, 0);
        m_browser->ShowNameMeaning(QStringLiteral("Alpha"));
        QVERIFY(desk().messageBoxes().isEmpty());
        // The shipped dictionary: a capitalised entry found from lower case.
        m_fx->copyShippedData(QStringLiteral("Modules/Name"));
        gNameDictionaries.Clear();
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
        m_browser->ShowNameMeaning(QStringLiteral("aaron"));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes().last().title, GetMsg(0, 58, QStringLiteral("Aaron")));
        QVERIFY(!desk().lastMessage().isEmpty());
    }

    void tabMovesBetweenListAndText()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        browser.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&browser));
        const QString text = paneText();
        browser.TabList1->setFocus();
        QVERIFY(browser.TabList1->pixFocus->hasFocus());
        QTest::keyClick(browser.TabList1->pixFocus, Qt::Key_Tab);
        QVERIFY(browser.RichText1->hwnd()->hasFocus());
        QList<int> paneKeys;
        connect(browser.RichText1, &NewRichText::KeyDown, this, [&](int &keyCode, int &) {
            if (keyCode == VK::Tab)
                paneKeys << keyCode;
        });
        QTest::keyClick(browser.RichText1->hwnd(), Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(browser.TabList1->pixFocus->hasFocus());
        QVERIFY(paneKeys.isEmpty()); // taken before the pane saw it
        QCOMPARE(paneText(), text);
        // Other keys reach the list.
        const qint32 current = browser.TabList1->CurrentIndex();
        QTest::keyClick(browser.TabList1->pixFocus, Qt::Key_Down);
        QCOMPARE(browser.TabList1->CurrentIndex(), current + 1);
        QVERIFY(browser.TabList1->pixFocus->hasFocus());
    }

    void languageChangeRedrawsTheSameBook()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        browser.TabList1->setSelectedItem(1);
        QCOMPARE(paneText(), QStringLiteral("Jeremiah\r1 The words of Alpha Jeremiah.\r\r"));

        QByteArray books = m_fx->readFile(QStringLiteral("SysDefs/Books.txt"));
        books.replace("\tJeremiah\r\n", "\tJeremias\r\n").replace("\tIsaiah\r\n", "\tJesaja\r\n");
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"), books);
        QByteArray categories = m_fx->readFile(QStringLiteral("SysDefs/Categories_ENGLISH.txt"));
        categories.replace("5, The Prophets,", "5, Die Propheten,");
        m_fx->writeFile(QStringLiteral("SysDefs/Categories_ENGLISH.txt"), categories);
        gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);

        QCOMPARE(bookCaptions().mid(0, 2),
                 (QStringList{QStringLiteral("Jesaja"), QStringLiteral("Jeremias")}));
        QCOMPARE(browser.TabList1->SelectedItem(), 1);
        QCOMPARE(browser.lblBook->text(), QStringLiteral("Jeremias"));
        QCOMPARE(paneText(), QStringLiteral("Jeremias\r1 The words of Alpha Jeremiah.\r\r"));
        QCOMPARE(browser.btnCategory->Caption(), QStringLiteral("Die Propheten"));
        QCOMPARE(browser.mCategory[indexOfCategoryItem(5)]->text(), QStringLiteral("    Die Propheten"));
        QVERIFY(desk().messageBoxes().isEmpty());
        gNotifier->NotifyOfEvent(QStringLiteral("EVT_SomethingElse"));
        QCOMPARE(paneText(), QStringLiteral("Jeremias\r1 The words of Alpha Jeremiah.\r\r"));
    }
};

QTEST_MAIN(TestBibleBrowser)
#include "tst_biblebrowser.moc"
