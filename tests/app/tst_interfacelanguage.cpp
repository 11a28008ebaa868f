#include "bookmarks/PageSetup.h"
#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmDocPreview.h"
#include "common/ModuleBuilder.h"
#include "common/PdfTools.h"
#include "common/TestFixture.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
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

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
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
    const QString path = gMsgFolder + language + (category == 0 ? QStringLiteral("_STD.mes")
                                                                : QStringLiteral("_FRM.mes"));
    TextReader reader = TextReader::fromFile(path, 1252, LineEnds::CrLfOnly);
    while (!reader.atEnd()) {
        const QString line = reader.readLine().trimmed();
        if (!line.startsWith(QLatin1Char('#')) && line.left(4).toInt() == id)
            return line.mid(5).replace(QStringLiteral("^^"), QStringLiteral("\r\n")).trimmed().replace(
                QLatin1Char('%'), argument);
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
        bible.verse(1, 1, 1, QStringLiteral("In the beginning")).verse(1, 1, 2, QStringLiteral("And the earth"));
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

    // The language editor's Make Default, as the reader switches the interface.
    void switchToSpanish()
    {
        LanguageE editor;
        editor.LSel->setCurrentItem(editor.LSel->findItems(QStringLiteral("SPANISH"), Qt::MatchExactly).value(0));
        editor.LSel_Click();
        editor.cDefault_Click();
        QCOMPARE(gLanguage, QStringLiteral("SPANISH"));
        // Its confirmation; what follows must show nothing.
        desk().shown.clear();
    }

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

    static void addRow(const char *name, const Shown &shown, int category, int id,
                       const QString &argument = QString(), const Open &before = {})
    {
        QTest::newRow(name) << before << shown << category << id << argument;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        QVERIFY(QFile::copy(QStringLiteral(VX_PROGRAM_DIR "/libVxHelpers.so"),
                            m_fx->path(QStringLiteral("libVxHelpers.so"))));
        PdfTools::setUpPdfPrinter(DocumentPrinter::printer(), m_fx->path(QStringLiteral("out.pdf")));
        Registry_::Initialize(QStringLiteral("Settings"));
        gNotifier = new GlobalNotifier();
        gShowSplash = false;
        gFavVersesFile = MsgSupport::FavVersesFile(gLanguage);
        Splash::setShowModal([] {});
        installModules();
        MsgSupport::ReloadAllMessages();
    }
    void cleanup()
    {
        m_main.reset();
        gMainForm = nullptr;
        TestFixture::resetSeams();
        delete gNotifier;
        gNotifier = nullptr;
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

        const Open main = [this] { openMain(); };
        addRow("main window, File", [this] { return m_main->zFile->title(); }, 1, 70, {}, main);
        const Open search = [] { workspace(); };
        addRow("workspace, View", [] { return workspace().zView->title(); }, 1, 77, {}, search);
        addRow("workspace, Open tip", [] { return workspace().cmdOpen->toolTip(); }, 1, 27, {}, search);
        addRow("workspace, mode frame", [] { return workspace().Frame1->title(); }, 1, 135, {}, search);

        addRow("comparison", [] { return MultiBib::Open()->windowTitle(); }, 1, 20, product);
        addRow("commentaries", [] { return Commentaries::Open()->windowTitle(); }, 1, 2, product);
        addRow("dictionary", [] { return Dictionary::Open()->windowTitle(); }, 1, 25, product);
        addRow("names", [] { return frmNameDictionary::Open()->windowTitle(); }, 1, 1);
        addRow("maps", in<frmMapViewer>([](QWidget &w) { return w.windowTitle(); }), 1, 6, product);
        addRow("MP3 player", in<frmMP3>([](QWidget &w) { return w.windowTitle(); }), 1, 16);
        addRow("MP3 transfer state", in<frmMP3>([](frmMP3 &w) {
                   w.Inet_StateChanged(4);
                   return w.StatusBar1->currentMessage();
               }),
               0, 19);

        addRow("bookmarks, Go To", [] { return frmBookmarkList::Instance().cmdGoto->text(); }, 1, 173);
        addRow("bookmarks, reference column",
               [] { return frmBookmarkList::Instance().LV->headerItem()->text(3); }, 1, 179);
        addRow("print preview", in<frmDocPreview>([](QWidget &w) { return w.windowTitle(); }), 1, 7, product);
        addRow("page setup", in<PageSetup>([](QWidget &w) { return w.windowTitle(); }), 1, 19, product);

        addRow("options", in<frmOptions>([](QWidget &w) { return w.windowTitle(); }), 1, 24, product);
        addRow("language editor, Make Default", in<LanguageE>([](LanguageE &w) { return w.cDefault->text(); }),
               1, 161);
        addRow("folder, in use", in<frmLocate>([](frmLocate &w) { return w.Label2->text(); }), 1, 102);
        addRow("folder, default", in<frmLocate>([](frmLocate &w) { return w.Label3->text(); }), 0, 103);
        addRow("folder list, Use This Folder", in<frmDirlist>([](frmDirlist &w) { return w.cmdDone->text(); }), 1,
               184);

        addRow("about", in<frmAbout>([](QWidget &w) { return w.windowTitle(); }), 1, 21, AppInfo::title());
        addRow("about, disclaimer", in<frmAbout>([](frmAbout &w) { return w.lblDisclaimer->text(); }), 0, 92,
               product);
        addRow("licence", in<Indemnity>([](QWidget &w) { return w.windowTitle(); }), 1, 22, product);
        addRow("no Bible", in<NoBibles>([](NoBibles &w) { return w.Label3->text(); }), 0, 60, AppInfo::title());
        addRow("splash, version",
               in<Splash>([](Splash &w) { return line(w.lblName->text(), 0); }), 0, 99, versionNumbers());
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
            return TextReader::fromFile(gMsgFolder + MsgSupport::FavVersesFile(language)).readLine().trimmed();
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
