#include "abi/VirtualKeys.h"
#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "common/UnwritableFolder.h"
#include "controls/FlatButton_.h"
#include "controls/NewRichText.h"
#include "controls/TabList_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Translation.h"
#include "mainwindow/BibleBrowser.h"
#include "platform/RichEditWidget.h"
#include "platform/SettingsStore.h"
#include "platform/TextDocument.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
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

    TestDesktop &desk() { return m_fx->desk(); }

    void addBible(const QString &displayName, const QString &fileName, const ModuleBuilder &module,
                  bool enabled)
    {
        m_fx->addBible(displayName, fileName, module.bytes(), enabled);
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
        m_fx->setUpWindowTest();
        appendToFile(QStringLiteral("msg/ENGLISH_STD.mes"),
                     "\r\n0042 Name meanings are shown when you select a name.\r\n"
                     "0050 The text was not found.\r\n"
                     "0058 Meaning of %\r\n");
        gDefaultFont = ReadingFace;
    }
    void cleanup()
    {
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
        QVERIFY(desk().fontsOffered.isEmpty());
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

    // A module deleted while the program runs: the file is named as the data's
    // fault, the pane is empty, and the other Bibles still read.
    void aModuleDeletedWhileRunningIsNamed()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        const QString module = m_fx->path(QStringLiteral("Modules/Bible/b_beta.txt"));
        QVERIFY(QFile::remove(module));
        browser.mTranslation_Click(1);
        QCOMPARE(browser.btnTranslation->Caption(), QStringLiteral("Beta Version"));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 47, module));
        QCOMPARE(desk().messageBoxes().first().style, int(MsgBoxStyle::Exclamation));
        QVERIFY(errorBoxes().isEmpty());
        QVERIFY(!paneText().contains(QStringLiteral("Beta")));
        browser.mTranslation_Click(0);
        QCOMPARE(paneText(), QStringLiteral("Isaiah\r1 The vision of Alpha Isaiah.\r\r"));
        QCOMPARE(desk().messageBoxes().size(), 1);
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
        desk().fontAnswers = {QFont(QStringLiteral("Chosen Face"), 30)};
        m_browser->ChooseFont();
        QCOMPARE(desk().fontsOffered.size(), 1);
        QCOMPARE(desk().fontsOffered[0].family(), ReadingFace);
        QCOMPARE(desk().shown.last().kind, QStringLiteral("font"));
        QVERIFY(desk().shown.last().text.startsWith(QStringLiteral("Gen 1:1 In the beginning")));
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

        // Cancelling keeps the font the dialog was given.
        m_browser->ChooseFont();
        QCOMPARE(desk().fontsOffered.size(), 2);
        QCOMPARE(desk().fontsOffered[1].family(), QStringLiteral("Chosen Face"));
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

    // A Bible cut short (after its index was built, or before the first start):
    // the reader is told once that the file was cut short; the books before the
    // cut read as usual, the book cut in two shows what is left of it and a line
    // that its text stops there, and a book after the cut says that the module
    // file has no text for it, naming the file, not that the translation is missing.
    void bibleCutShort_data()
    {
        QTest::addColumn<bool>("indexedBefore");
        QTest::newRow("after its index was built") << true;
        QTest::newRow("before the first start") << false;
    }
    void bibleCutShort()
    {
        QFETCH(bool, indexedBefore);
        addBible(QStringLiteral("Alpha Version"), QStringLiteral("b_alpha.txt"), alphaModule(), true);
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("0"));
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserBook"), QStringLiteral("40"));
        if (indexedBefore) {
            start();
            QCOMPARE(paneText(), QStringLiteral("Matthew\r1 The book of Alpha Matthew.\r\r"));
        }
        const QByteArray bytes = alphaModule().bytes();
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_alpha.txt"), bytes.left(bytes.indexOf("Jeremiah")));

        BibleBrowser &browser = indexedBefore ? restart() : start();
        const QString module = gBibleFolder + QStringLiteral("b_alpha.txt");
        const QString noText = GetMsg(0, 252, module) + QLatin1Char('\r');
        QVERIFY2(noText.startsWith(QStringLiteral("[No text to display--the module file ") + module),
                 qPrintable(noText));
        QCOMPARE(paneText(), noText);
        browser.TabList1->SelectDatum(41);
        QCOMPARE(paneText(), noText);
        browser.setFancyFormatting(false);
        QCOMPARE(paneText(), noText);
        browser.setFancyFormatting(true);
        browser.TabList1->SelectDatum(23);
        QCOMPARE(paneText(), QStringLiteral("Isaiah\r1 The vision of Alpha Isaiah.\r\r"));
        browser.TabList1->SelectDatum(24);
        QCOMPARE(paneText(), QStringLiteral("Jeremiah\r1 The words of Alpha \r") + GetMsg(0, 254, module) +
                                 QStringLiteral("\r\r"));
        const auto boxes = desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.startsWith(GetMsg(0, 255, module)));
    }

    // Installed read-only, with a cache folder that cannot take the index (made
    // read-only, not to be made, or on a full disk): every book reads, with an
    // index held in memory, and the reader is told once, with the system's
    // reason, that the index could not be stored.
    void booksReadWhenTheIndexCannotBeStored_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("folderMissing"); // the index folder is still to be made
        QTest::newRow("read-only folder") << int(UnwritableFolder::ReadOnly) << false;
        QTest::newRow("folder that cannot be made") << int(UnwritableFolder::ReadOnly) << true;
        QTest::newRow("full disk") << int(UnwritableFolder::Full) << false;
    }
    void booksReadWhenTheIndexCannotBeStored()
    {
        QFETCH(int, kind);
        QFETCH(bool, folderMissing);
        // Some 150 chapters: an index of a few kilobytes.
        for (const QString &name : {QStringLiteral("Alpha"), QStringLiteral("Beta")}) {
            ModuleBuilder module;
            module.chapter(1, 1, 3, QLatin1Char(' ') + name);
            for (int chapter = 1; chapter <= 150; ++chapter)
                module.chapter(19, chapter, 2, QLatin1Char(' ') + name);
            module.verse(23, 1, 1, QStringLiteral("The vision of %1 Isaiah.").arg(name));
            addBible(name + QStringLiteral(" Version"), QStringLiteral("b_%1.txt").arg(name.toLower()),
                     module, true);
        }
        // Where a program folder that cannot be written puts the index. (The folder
        // itself stays writable here: the pane's helper library is loaded from it,
        // which would keep a read-only mount of it from being undone.)
        gIndexFolder = m_fx->cacheHome() + QStringLiteral("/Verbanox/Index/");
        std::optional<UnwritableFolder> cache;
        cache.emplace(folderMissing ? m_fx->cacheHome() + QStringLiteral("/Verbanox") : gIndexFolder,
                      UnwritableFolder::Kind(kind), 2048);
        if (!cache->active())
            QSKIP("This system cannot make a folder read-only for this user");

        BibleBrowser &browser = start();
        const QString isaiah = paneText();
        browser.mCategory_Click(indexOfCategoryItem(0));
        browser.TabList1->SelectDatum(19);
        const QString psalms = paneText();
        browser.mTranslation_Click(1);
        const QString betaPsalms = paneText();
        const bool toldTheReason = cache->endsWithTheReason(desk().lastMessage());
        cache.reset();

        QCOMPARE(isaiah, QStringLiteral("Isaiah\r1 The vision of Alpha Isaiah.\r\r"));
        // A psalm keeps its verse numbers, each right before its text.
        QVERIFY2(psalms.endsWith(QStringLiteral("Psalm 150\r119.150.1 Alpha\r219.150.2 Alpha\r\r")),
                 qPrintable(psalms.right(80)));
        QVERIFY2(betaPsalms.endsWith(QStringLiteral("Psalm 150\r119.150.1 Beta\r219.150.2 Beta\r\r")),
                 qPrintable(betaPsalms.right(80)));
        const auto boxes = desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.startsWith(GetMsg(0, 258, gIndexFolder + QStringLiteral("b_alpha.txt.INDEX"))),
                 qPrintable(boxes[0].text));
        QVERIFY(toldTheReason);
        QVERIFY(errorBoxes().isEmpty());
        QCOMPARE(QDir(gIndexFolder).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(m_fx->path(QStringLiteral("Index"))).entryList(QDir::Files), QStringList());
    }

    void aMissingBookShowsTheNoTextLine()
    {
        addThreeBibles();
        gDebugMode = true; // assertion boxes would show
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("2"));
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserBook"), QStringLiteral("2"));
        BibleBrowser &browser = start();
        QCOMPARE(browser.lblBook->text(), QStringLiteral("Exodus"));
        QCOMPARE(paneText(), QStringLiteral("[No text to display--Bible Translation not found.]\r"));

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

    void thePaneTakesNoTyping_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        const auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); };
        const auto plain = [](Qt::Key key) { return QKeyCombination(key); };
        QTest::newRow("letters") << QList<QKeyCombination>{plain(Qt::Key_X), plain(Qt::Key_Y),
                                                           plain(Qt::Key_Space)};
        QTest::newRow("Backspace and Delete")
            << QList<QKeyCombination>{plain(Qt::Key_End), plain(Qt::Key_Backspace), plain(Qt::Key_Delete)};
        QTest::newRow("Enter and Tab") << QList<QKeyCombination>{plain(Qt::Key_Return), plain(Qt::Key_Tab)};
        QTest::newRow("paste") << QList<QKeyCombination>{ctrl(Qt::Key_V),
                                                         QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert)};
        QTest::newRow("select all then a key") << QList<QKeyCombination>{ctrl(Qt::Key_A), plain(Qt::Key_Z)};
        QTest::newRow("select all then Backspace")
            << QList<QKeyCombination>{ctrl(Qt::Key_A), plain(Qt::Key_Backspace)};
        QTest::newRow("cut") << QList<QKeyCombination>{ctrl(Qt::Key_A), ctrl(Qt::Key_X)};
    }

    void thePaneTakesNoTyping()
    {
        QFETCH(QList<QKeyCombination>, keys);
        addThreeBibles();
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserCategory"), QStringLiteral("2"));
        BibleBrowser &browser = start();
        QWidget *pane = browser.RichText1->hwnd();
        const QString text = paneText();
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted words"));
        pane->setFocus();
        for (const QKeyCombination &key : keys)
            QTest::keyClick(pane, key.key(), key.keyboardModifiers());
        QCOMPARE(paneText(), text);
        QCOMPARE(browser.RichText1->textDocument()->document()->toPlainText().size(), text.size() - 1);

        // Selecting and copying with the keyboard still work.
        QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(browser.RichText1->SelStart(), 0);
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(pane, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("Genesis"));
        QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Genesis"));
        QTest::keyClick(pane, Qt::Key_Down);
        QCOMPARE(browser.RichText1->SelLength(), 0);
        QVERIFY(browser.RichText1->SelStart() > 0);
        // And so does Find.
        desk().inputAnswers = {QStringLiteral("earth")};
        browser.Find(false);
        QCOMPARE(browser.RichText1->SelStart(), int(text.indexOf(QStringLiteral("earth"))));
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("earth"));
        // The program itself still writes the pane.
        browser.TabList1->setSelectedItem(1);
        QVERIFY(paneText() != text);
        browser.TabList1->setSelectedItem(0);
        QCOMPARE(paneText(), text);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void aKeyboardSelectedNameShowsItsMeaning()
    {
        ModuleBuilder module;
        module.verse(23, 1, 1, QStringLiteral("Abel spoke"));
        addBible(QStringLiteral("Names"), QStringLiteral("b_names.txt"), module, true);
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAbel\tbreath\r\n");
        BibleBrowser &browser = start();
        QWidget *pane = browser.RichText1->hwnd();
        pane->setFocus();
        browser.RichText1->SetSelection(int(paneText().indexOf(QStringLiteral("Abel"))), 0);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(pane, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("Abel"));
        QCOMPARE(desk().lastMessage(), QStringLiteral("breath"));
    }

    void clickingTheOpenBookShowsItAfresh()
    {
        addThreeBibles();
        BibleBrowser &browser = start();
        const QString text = paneText();
        // Whatever became of the shown text, choosing the book again brings it back.
        browser.RichText1->setText(QStringLiteral("changed"));
        browser.RichText1->SetSelection(3, 2);
        QCOMPARE(browser.TabList1->SelectedItem(), 0);
        QTest::mouseClick(browser.TabList1, Qt::LeftButton, {},
                          QPoint(40, browser.TabList1->RowHeight() / 2));
        QCOMPARE(browser.TabList1->SelectedItem(), 0);
        QCOMPARE(paneText(), text);
        QCOMPARE(browser.RichText1->SelStart(), 0);
        QCOMPARE(browser.RichText1->SelLength(), 0);
        // So does Enter on it in the list.
        browser.RichText1->setText(QStringLiteral("changed"));
        QTest::keyClick(browser.TabList1->pixFocus, Qt::Key_Return);
        QCOMPARE(paneText(), text);
        // A right click on it only asks for the menu.
        browser.RichText1->setText(QStringLiteral("changed"));
        QTest::mouseClick(browser.TabList1, Qt::RightButton, {},
                          QPoint(40, browser.TabList1->RowHeight() / 2));
        QCOMPARE(paneText(), QStringLiteral("changed\r"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void findMatchesTypographicQuotes_data()
    {
        QTest::addColumn<QString>("verse");
        QTest::addColumn<bool>("smartQuotes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");

        const QString apostrophe = QStringLiteral("the ass his master\u2019s crib");
        QTest::newRow("’ in the module")
            << apostrophe << true << QStringLiteral("master's crib") << QStringLiteral("master\u2019s crib");
        QTest::newRow("' made typographic")
            << QStringLiteral("the ass his master's crib") << true << QStringLiteral("master's crib")
            << QStringLiteral("master\u2019s crib");
        QTest::newRow("‘ opening") << QStringLiteral("he said, \u2018Go\u2019 and went") << true
                                   << QStringLiteral("'go'") << QStringLiteral("\u2018Go\u2019");
        QTest::newRow("“ ” double") << QStringLiteral("he said, \u201CPeace be still\u201D and it was")
                                    << true << QStringLiteral("\"peace be still\"")
                                    << QStringLiteral("\u201CPeace be still\u201D");
        QTest::newRow("\" made typographic")
            << QStringLiteral("he said, \"Peace\" and it was") << true << QStringLiteral("\"Peace\"")
            << QStringLiteral("\u201CPeace\u201D");
        QTest::newRow("straight shown, straight typed")
            << QStringLiteral("he said, \"Peace\" and it was") << false << QStringLiteral("\"Peace\"")
            << QStringLiteral("\"Peace\"");
        QTest::newRow("typographic typed, straight shown")
            << QStringLiteral("his master's crib") << false << QStringLiteral("master\u2019s")
            << QStringLiteral("master's");
    }

    void findMatchesTypographicQuotes()
    {
        QFETCH(QString, verse);
        QFETCH(bool, smartQuotes);
        QFETCH(QString, typed);
        QFETCH(QString, found);
        ModuleBuilder module;
        module.verse(23, 1, 1, QStringLiteral("The vision of the prophet.")).verse(23, 1, 3, verse);
        addBible(QStringLiteral("Quotes"), QStringLiteral("b_quotes.txt"), module, true);
        m_fx->settings().setValue(Settings, QStringLiteral("BibleBrowserSmartQuotes"),
                                  smartQuotes ? QStringLiteral("True") : QStringLiteral("False"));
        BibleBrowser &browser = start();
        QCOMPARE(browser.SmartQuotes(), smartQuotes);
        desk().inputAnswers = {typed};
        browser.Find(false);
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(paneText()));
        QCOMPARE(browser.RichText1->SelText(), found);
        QCOMPARE(browser.RichText1->SelStart(), int(paneText().indexOf(found)));
        // Find Next goes on after it.
        browser.Find(true);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 50));
    }

    void findInTheShippedKingJames()
    {
        m_fx->copyShippedData(QStringLiteral("Modules/Bible"));
        gBibles.Add(QStringLiteral("King James Version (1769)"), QStringLiteral("b_kjv.txt"), true, 0);
        BibleBrowser &browser = start();
        QCOMPARE(browser.lblBook->text(), QStringLiteral("Isaiah"));
        desk().inputAnswers = {QStringLiteral("master's crib")};
        browser.Find(false);
        QVERIFY(desk().messageBoxes().isEmpty());
        QCOMPARE(browser.RichText1->SelText(), QStringLiteral("master\u2019s crib"));
        const QString before = paneText().left(browser.RichText1->SelStart());
        QVERIFY2(before.endsWith(QStringLiteral("\r3The ox knoweth his owner, and the ass his ")),
                 qPrintable(before.right(60)));
    }

    void aFoundMatchHasLinesBelowIt()
    {
        ModuleBuilder longer;
        longer.chapter(23, 1, 80, QStringLiteral("a verse"));
        addBible(QStringLiteral("Long"), QStringLiteral("b_long.txt"), longer, true);
        BibleBrowser &browser = start();
        QTextEdit *view = browser.RichText1->hwnd();
        QScrollBar *scroll = view->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        const int viewport = view->viewport()->height();
        // Each match further down than the one before: each must stand with lines below it.
        for (const QString &verse : {QStringLiteral("23.1.30 "), QStringLiteral("23.1.31 "),
                                     QStringLiteral("23.1.60 "), QStringLiteral("23.1.79 ")}) {
            desk().inputAnswers = {verse.trimmed()};
            browser.Find(false);
            QCOMPARE(browser.RichText1->SelText(), verse.trimmed());
            const QRect match = view->cursorRect();
            QVERIFY2(match.top() >= 0, qPrintable(verse));
            const bool atTheEnd = scroll->value() == scroll->maximum();
            QVERIFY2(atTheEnd || match.bottom() + 3 * match.height() < viewport,
                     qPrintable(QStringLiteral("%1: match at %2..%3 of %4")
                                    .arg(verse)
                                    .arg(match.top())
                                    .arg(match.bottom())
                                    .arg(viewport)));
        }
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
