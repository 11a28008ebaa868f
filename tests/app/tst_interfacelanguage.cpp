#include "bookmarks/PageSetup.h"
#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmDocPreview.h"
#include "common/ModuleBuilder.h"
#include "common/PdfTools.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/Indemnity.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/NoBibles.h"
#include "mainwindow/Splash.h"
#include "mainwindow/frmAbout.h"
#include "platform/AppInfo.h"
#include "platform/DefaultInstance.h"
#include "platform/DocumentPrinter.h"
#include "platform/TextFile.h"
#include "preferences/LanguageE.h"
#include "preferences/frmDirlist.h"
#include "preferences/frmLocate.h"
#include "preferences/frmOptions.h"
#include "search/AdvancedSearch.h"
#include "study/Commentaries.h"
#include "study/Dictionary.h"
#include "study/MultiBib.h"
#include "study/frmMP3.h"
#include "study/frmMapViewer.h"
#include "study/frmNameDictionary.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
using Open = std::function<void()>;
using Shown = std::function<QString()>;

// The text of an id as a catalog file of the program folder holds it, read
// without the program's catalog code.
QString catalogText(const QString &language, int category, int id, const QString &argument)
{
    const QString path =
        gMsgFolder + language + (category == 0 ? QStringLiteral("_STD.mes") : QStringLiteral("_FRM.mes"));
    TextReader reader = TextReader::fromFile(path, 1252, LineEnds::CrLfOnly);
    while (!reader.atEnd()) {
        const QString line = reader.readLine().trimmed();
        if (!line.startsWith(QLatin1Char('#')) && line.left(4).toInt() == id)
            return line.mid(5)
                .replace(QStringLiteral("^^"), QStringLiteral("\r\n"))
                .trimmed()
                .replace(QLatin1Char('%'), argument);
    }
    return QString();
}

// Reads a text of a window's default instance, loading the window when it is not.
template <typename Window, typename Read> Shown in(Read read)
{
    return [read] { return read(DefaultInstance<Window>::get()); };
}

QString line(const QString &text, int n)
{
    return text.split(QStringLiteral("\r\n")).value(n);
}

QString versionNumbers()
{
    return QStringLiteral("%1.%2.%3")
        .arg(AppInfo::versionMajor())
        .arg(AppInfo::versionMinor())
        .arg(AppInfo::versionRevision());
}
} // namespace

Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(Shown)

class TestInterfaceLanguage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<MainMenu> m_main;

    TestDesktop &desk() { return m_fx->desk(); }

    void installModules()
    {
        ModuleBuilder bible;
        bible.verse(1, 1, 1, QStringLiteral("In the beginning"))
            .verse(1, 1, 2, QStringLiteral("And the earth"));
        m_fx->addBible(QStringLiteral("First Bible"), QStringLiteral("b_one.txt"), bible.bytes());
        ModuleBuilder notes;
        notes.verse(1, 1, 1, QStringLiteral("God made it."));
        m_fx->writeFile(QStringLiteral("Modules/Commentary/c_notes.txt"), notes.bytes());
        gCommentaries.Add(QStringLiteral("Notes"), QStringLiteral("c_notes.txt"), true, 0);
        m_fx->writeFile(QStringLiteral("Modules/Dictionary/d_one.txt"), "1\tAlpha\tfirst\r\n");
        gDictionaries.Add(QStringLiteral("Dictionary One"), QStringLiteral("d_one.txt"), true, 0);
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAaron\thigh mountain\r\n");
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
        m_fx->writeFile(QStringLiteral("Modules/MP3/ENGLISH/genesis.mp3"), "ID3");
    }

    void switchToSpanish() { m_fx->switchInterfaceLanguage(QStringLiteral("SPANISH")); }

    MainMenu &openMain()
    {
        m_main = std::make_unique<MainMenu>();
        gMainForm = m_main.get();
        return *m_main;
    }

    static AdvancedSearch &workspace()
    {
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.show();
        return window;
    }

    // A window opened after the switch.
    static void addRow(const char *name, int category, int id, const QString &argument, const Shown &shown)
    {
        QTest::newRow(name) << Open() << shown << category << id << argument;
    }
    // A window open at the switch.
    static void addOpenRow(const char *name, const Open &before, int category, int id, const Shown &shown)
    {
        QTest::newRow(name) << before << shown << category << id << QString();
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        PdfTools::setUpPdfPrinter(DocumentPrinter::printer(), m_fx->path(QStringLiteral("out.pdf")));
        gFavVersesFile = MsgSupport::FavVersesFile(gLanguage);
        installModules();
        MsgSupport::ReloadAllMessages();
    }
    void cleanup()
    {
        m_main.reset();
        gMainForm = nullptr;
        m_fx.reset();
    }

    // Each text that a window takes from the catalog shows in Spanish once the
    // reader has switched; windows open at the switch are captioned again.
    void catalogTextsFollowTheSwitch_data()
    {
        QTest::addColumn<Open>("before");
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("argument");
        const QString product = MiscHelpers::ProductTitle();
        const QString title = AppInfo::title();

        const Open main = [this] { openMain(); };
        addOpenRow("main window, File", main, 1, 70, [this] { return m_main->zFile->title(); });
        const Open search = [] { workspace(); };
        addOpenRow("workspace, View", search, 1, 77, [] { return workspace().zView->title(); });
        addOpenRow("workspace, Open tip", search, 1, 27, [] { return workspace().cmdOpen->toolTip(); });
        addOpenRow("workspace, mode frame", search, 1, 135, [] { return workspace().Frame1->title(); });

        addRow("comparison", 1, 20, product, [] { return MultiBib::Open()->windowTitle(); });
        addRow("commentaries", 1, 2, product, [] { return Commentaries::Open()->windowTitle(); });
        addRow("dictionary", 1, 25, product, [] { return Dictionary::Open()->windowTitle(); });
        addRow("names", 1, 1, {}, [] { return frmNameDictionary::Open()->windowTitle(); });
        addRow("maps", 1, 6, product, in<frmMapViewer>([](QWidget &w) { return w.windowTitle(); }));
        addRow("MP3 player", 1, 16, {}, in<frmMP3>([](QWidget &w) { return w.windowTitle(); }));
        addRow("MP3 transfer state", 0, 19, {}, in<frmMP3>([](frmMP3 &w) {
                   w.Inet_StateChanged(4);
                   return w.StatusBar1->currentMessage();
               }));

        addRow("bookmarks, Go To", 1, 173, {}, [] { return frmBookmarkList::Instance().cmdGoto->text(); });
        addRow("bookmarks, reference column", 1, 179, {},
               [] { return frmBookmarkList::Instance().LV->headerItem()->text(3); });
        addRow("print preview", 1, 7, product, in<frmDocPreview>([](QWidget &w) { return w.windowTitle(); }));
        addRow("page setup", 1, 19, product, in<PageSetup>([](QWidget &w) { return w.windowTitle(); }));

        addRow("options", 1, 24, product, in<frmOptions>([](QWidget &w) { return w.windowTitle(); }));
        addRow("language editor", 1, 161, {}, in<LanguageE>([](LanguageE &w) { return w.cDefault->text(); }));
        addRow("folder, in use", 1, 102, {}, in<frmLocate>([](frmLocate &w) { return w.Label2->text(); }));
        addRow("folder, default", 0, 103, {}, in<frmLocate>([](frmLocate &w) { return w.Label3->text(); }));
        addRow("folder list", 1, 184, {}, in<frmDirlist>([](frmDirlist &w) { return w.cmdDone->text(); }));

        addRow("about", 1, 21, title, in<frmAbout>([](QWidget &w) { return w.windowTitle(); }));
        addRow("about, disclaimer", 0, 92, product,
               in<frmAbout>([](frmAbout &w) { return w.lblDisclaimer->text(); }));
        addRow("licence", 1, 22, product, in<Indemnity>([](QWidget &w) { return w.windowTitle(); }));
        addRow("no Bible", 0, 60, title, in<NoBibles>([](NoBibles &w) { return w.Label3->text(); }));
        addRow("splash", 0, 99, versionNumbers(),
               in<Splash>([](Splash &w) { return line(w.lblName->text(), 0); }));
    }
    void catalogTextsFollowTheSwitch()
    {
        QFETCH(Open, before);
        QFETCH(Shown, shown);
        QFETCH(int, category);
        QFETCH(int, id);
        QFETCH(QString, argument);
        const QString english = catalogText(QStringLiteral("ENGLISH"), category, id, argument);
        const QString spanish = catalogText(QStringLiteral("SPANISH"), category, id, argument);
        QVERIFY2(!spanish.isEmpty() && spanish != english, "the row cannot tell the languages apart");
        if (before) {
            before();
            QCOMPARE(shown(), english);
        }
        switchToSpanish();
        QCOMPARE(shown(), spanish);
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
    }

    // The splash picks its verse from the favourite verses of the language in
    // use, also after a switch without a restart.
    void splashVerseFollowsTheSwitch()
    {
        Splash::setRandomSource([] { return 0.0; });
        const auto firstVerse = [](const QString &language) {
            return TextReader::fromFile(gMsgFolder + MsgSupport::FavVersesFile(language))
                .readLine()
                .trimmed();
        };
        QCOMPARE(DefaultInstance<Splash>::get().lblScripture->text(), firstVerse(QStringLiteral("ENGLISH")));
        DefaultInstance<Splash>::release();
        switchToSpanish();
        const QString spanish = firstVerse(QStringLiteral("SPANISH"));
        QVERIFY(spanish != firstVerse(QStringLiteral("ENGLISH")));
        QCOMPARE(DefaultInstance<Splash>::get().lblScripture->text(), spanish);
    }
};

QTEST_MAIN(TestInterfaceLanguage)
#include "tst_interfacelanguage.moc"
