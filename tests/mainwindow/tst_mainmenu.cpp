#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "controls/ImageList.h"
#include "controls/NewRichText.h"
#include "controls/TabList_.h"
#include "core/BibleBookNames.h"
#include "core/BookmarkRecords.h"
#include "core/CoreHooks.h"
#include "core/DateFormatText.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/IndexStamp.h"
#include "core/MainStartup.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/TranslationHelpers.h"
#include "mainwindow/BibleBrowser.h"
#include "mainwindow/Indemnity.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/Splash.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmMessages.h"
#include "platform/ChmViewer.h"
#include "platform/DefaultInstance.h"
#include "platform/HelpService.h"
#include "platform/KeyState.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"
#include "preferences/frmLocate.h"
#include "search/AdvancedSearch.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// Catalog texts that differ from the window's fixed captions, so a caption that
// was not taken from the catalog shows.
const QByteArray FrmTexts =
    "0065 E&xit (65)\r\n0066 &Edit (66)\r\n0068 &Copy (68)\r\n0070 &File (70)\r\n"
    "0073 &Find (73)\r\n0074 Find &Next (74)\r\n0075 Select &All (75)\r\n"
    "0076 &Wrap Text (76)\r\n0077 &View (77)\r\n0078 &Multi Bible (78)\r\n"
    "0079 &Commentary (79)\r\n0080 &Dictionary (80)\r\n0081 M&aps (81)\r\n"
    "0082 &Names (82)\r\n0083 &Integrate Names (83)\r\n0087 &Translation Notes (87)\r\n"
    "0089 Date Format (89)\r\n0091 &Bookmarks (91)\r\n0092 &Tools (92)\r\n"
    "0093 &Language Editor (93)\r\n0094 Set &Folders (94)\r\n0095 &Options (95)\r\n"
    "0096 &Re-index (96)\r\n0097 &Integrity Check (97)\r\n0098 &Bibles (98)\r\n"
    "0099 &Commentaries (99)\r\n0100 &Dictionaries (100)\r\n0101 &Names (101)\r\n"
    "0103 &Web (103)\r\n0104 &Forum (104)\r\n0105 &Web Site (105)\r\n"
    "0115 &Help (115)\r\n0116 &Contents (116)\r\n0117 &Licence (117)\r\n"
    "0118 &About (118)\r\n0119 &Splash (119)\r\n0121 &Report a Bug (121)\r\n"
    "0169 &Date Format (169)\r\n0199 Show &Message Numbers (199)\r\n"
    "0200 &Search (200)\r\n0201 &Mailing List (201)\r\n0202 &All (202)\r\n"
    "0203 C&HM Bibles (203)\r\n0204 MP&3 Bibles (204)\r\n0205 Fancy Fo&rmatting (205)\r\n"
    "0206 Choose F&ont (206)\r\n";
const QByteArray StdTexts = "0041 No CHM Bibles (41)\r\n"
                            "0042 Names are shown (42)\r\n"
                            "0049 Indexes deleted in % (49)\r\n"
                            "0240 No help file % (240)\r\n";

// One row of the menu tree: a separator ("-"), an item, or a submenu with its rows.
struct Row
{
    QString name;
    int id = 0;           // form text; 0 for a fixed caption
    QString fixedCaption; // the whole caption when id is 0
    QString shortcut;
    bool checkable = false;
    QList<Row> children;
};

Row item(const char *name, int id, const char *shortcut = "", bool checkable = false)
{
    return Row{QLatin1String(name), id, QString(), QLatin1String(shortcut), checkable, {}};
}
Row fixed(const char *name, const char *caption, const char *shortcut)
{
    return Row{QLatin1String(name), 0, QLatin1String(caption), QLatin1String(shortcut), true, {}};
}
Row separator()
{
    return Row{QStringLiteral("-"), 0, QString(), QString(), false, {}};
}
Row menu(const char *name, int id, QList<Row> children)
{
    return Row{QLatin1String(name), id, QString(), QString(), false, std::move(children)};
}

QList<Row> expectedMenuBar()
{
    return {
        menu("zFile", 70, {item("mFileExit", 65, "Ctrl+Q")}),
        menu("zEdit", 66,
             {item("mEditCopy", 68), separator(), item("mEditFind", 73, "Ctrl+F"),
              item("mEditFindNext", 74, "F3"), separator(), item("mEditSelectAll", 75, "Ctrl+A"), separator(),
              item("mViewWrapText", 76, "Ctrl+W", true), item("mViewFancyFormatting", 205, "F12", true),
              fixed("mViewSmartQuotes", "&Smart Quotes", "Shift+F12"),
              fixed("mViewSmartDash", "Smart &Dash and Spaces", "Ctrl+Shift+F12"), separator(),
              item("mChooseFont", 206)}),
        menu("zView", 77,
             {item("mWindowBookmarks", 91), item("mWindowAdvancedSearch", 200), separator(),
              item("mWindowMultiBible", 78), item("mWindowCommentary", 79), separator(),
              item("mWindowDictionary", 80), item("mWindowNames", 82), item("mIntegrateNames", 83, "", true),
              separator(), item("mWindowMaps", 81), separator(), item("mWindowTranslationNotes", 87),
              separator(), item("mViewMp3Bibles", 204), item("mViewChmBibles", 203)}),
        menu("zTools", 92,
             {item("mToolsOptions", 95), item("mToolsDateFormat", 169), separator(),
              item("mToolsLanguageEditor", 93), item("mToolsShowMsgNums", 199, "", true), separator(),
              item("mToolsReIndex", 96),
              menu("zIntegrityCheck", 97,
                   {item("mIntegrityBibles", 98), item("mIntegrityCommentaries", 99),
                    item("mIntegrityDictionaries", 100), item("mIntegrityNames", 101), separator(),
                    item("mIntegrityAll", 202)}),
              separator(), item("mToolsSetFolders", 94)}),
        menu("zWeb", 103,
             {item("mGotoWebsite", 105), item("mDiscussionForum", 104), item("mMailingList", 201)}),
        menu("zHelp", 115,
             {item("mContents", 116, "F1"), separator(), item("mLicenceAgreement", 117),
              item("mSplashScreen", 119), separator(), item("mBugReport", 121), separator(),
              item("mAbout", 118)}),
    };
}

// Compares the actions of a menu (or the bar) with the rows; returns the first
// difference, or an empty string.
QString compareTree(const QList<QAction *> &actions, const QList<Row> &rows, const QString &where)
{
    if (actions.size() != rows.size())
        return where + QStringLiteral(": %1 entries, expected %2").arg(actions.size()).arg(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const Row &row = rows[i];
        QAction *action = actions[i];
        const QString at = where + QLatin1Char('/') + row.name;
        if (row.name == QLatin1String("-")) {
            if (!action->isSeparator())
                return at + QStringLiteral(": not a separator but ") + action->objectName();
            continue;
        }
        if (action->objectName() != row.name)
            return at + QStringLiteral(": found ") + action->objectName();
        QString caption = row.id ? GetMsg(1, row.id) : row.fixedCaption;
        if (row.name == QLatin1String("mEditCopy"))
            caption += QStringLiteral("\tCtrl+C");
        if (action->text() != caption)
            return at + QStringLiteral(": caption '") + action->text() + QStringLiteral("', expected '") +
                   caption + QLatin1Char('\'');
        if (action->shortcut() != QKeySequence(row.shortcut))
            return at + QStringLiteral(": shortcut ") + action->shortcut().toString();
        if (action->isCheckable() != row.checkable)
            return at + QStringLiteral(": checkable differs");
        if (!row.children.isEmpty()) {
            if (!action->menu())
                return at + QStringLiteral(": no submenu");
            const QString inner = compareTree(action->menu()->actions(), row.children, at);
            if (!inner.isEmpty())
                return inner;
        }
    }
    return QString();
}

// A progress log that records every call and can press Cancel after a number of
// module reports. Starting a run does not clear its cancel flag, so a check that
// depends on the flag being cleared must clear it itself.
class RecordingLog : public ProgressLog
{
public:
    QStringList calls;
    QString text;
    int shows = 0;
    int dones = 0;
    int cancelAfterReports = -1;
    bool cancelled = false;

    void MsgShow(const QString &t, bool closeWhenDone) override
    {
        calls << QStringLiteral("show:%1").arg(closeWhenDone);
        text = t;
        ++shows;
    }
    void MsgAddMessage(const QString &t, bool keepAutoClose, bool enableCancel) override
    {
        calls << QStringLiteral("add:%1%2").arg(keepAutoClose).arg(enableCancel);
        text += t;
        // A module's report is added with keep-auto-close set and ends with two line breaks.
        if (keepAutoClose && t.endsWith(CRLF + CRLF) && cancelAfterReports > 0 && --cancelAfterReports == 0)
            cancelled = true;
    }
    void MsgDone() override
    {
        calls << QStringLiteral("done");
        ++dones;
    }
    void MsgHideIfOpen() override { calls << QStringLiteral("hide"); }
    bool Cancelled() const override { return cancelled; }
    void SetCancelled(bool c) override { cancelled = c; }
};

QString entryText(const QString &name, const QString &file)
{
    return QStringLiteral("CRC Calculation for: ") + name + QStringLiteral("(") + gBibleFolder + file +
           QStringLiteral(") in progress. This could take a minute or two depending on the speed of your "
                          "computer.  Please stand by...") +
           CRLF;
}

// The cached checksum of a module file as the report shows it: both numbers run together.
QString cachedCrc(const QString &file)
{
    RecordReader reader = RecordReader::fromFile(gSysDefsFolder + QStringLiteral("CRC_") + file);
    const QStringList fields = reader.readRecord();
    return fields.value(0) + fields.value(1);
}

bool hasOpaquePixels(const QIcon &icon)
{
    const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                return true;
    return false;
}

// A study window of a later part, as it will register itself.
struct FakeWindow
{
    QPointer<QWidget> window;
    int created = 0;
    MenuTargets::Window registration()
    {
        return {[this]() -> QWidget * {
                    if (!window) {
                        window = new QWidget;
                        window->resize(300, 200);
                        ++created;
                    }
                    return window.data();
                },
                [this]() -> QWidget * { return window.data(); },
                {}};
    }
    ~FakeWindow() { delete window.data(); }
};
} // namespace

class TestMainMenu : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<MainMenu> m_main;
    std::unique_ptr<RecordingLog> m_log;
    int m_splashes = 0, m_abouts = 0, m_licences = 0, m_locates = 0;

    TestDesktop &desk() { return m_fx->desk(); }
    QString setting(const QString &key) const
    {
        return SettingsStore::instance().value(QStringLiteral("Settings"), key, QStringLiteral("<absent>"));
    }
    void appendToCatalog(const QString &file, const QByteArray &lines)
    {
        m_fx->writeFile(QStringLiteral("msg/") + file, m_fx->readFile(QStringLiteral("msg/") + file) + lines);
    }
    // A Bible in the manner of the shipped King James Version: Genesis, Isaiah and
    // Jeremiah, so that the first start's category (the Prophets) has books.
    void installKjvStyleBible()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("In the beginning God created the heaven and the earth."))
            .verse(1, 1, 2, QStringLiteral("And the earth was without form, and void."))
            .verse(23, 1, 1, QStringLiteral("The vision of Isaiah the son of Amoz."))
            .verse(23, 1, 2, QStringLiteral("Hear, O heavens, and give ear, O earth."))
            .verse(23, 2, 1, QStringLiteral("The word that Isaiah the son of Amoz saw."))
            .verse(24, 1, 1, QStringLiteral("The words of Jeremiah the son of Hilkiah."));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), module.bytes());
    }
    MainMenu &openMain()
    {
        m_main = std::make_unique<MainMenu>();
        gMainForm = m_main.get();
        return *m_main;
    }
    void useRecordingLog()
    {
        m_log = std::make_unique<RecordingLog>();
        SetProgressLogFactory([this]() -> ProgressLog & { return *m_log; });
    }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto &box : m_fx->desk().messageBoxes())
            texts << box.text;
        return texts;
    }
    void installThreeBibles()
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_good.txt"), "1\t1\t1\t1\tgood\r\n");
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_changed.txt"), "1\t1\t1\t1\tbefore\r\n");
        gBibles.Clear();
        gBibles.Add(QStringLiteral("Good Bible"), QStringLiteral("b_good.txt"), true, 0);
        gBibles.Add(QStringLiteral("Missing Bible"), QStringLiteral("b_missing.txt"), true, 0);
        // Listed but not enabled: still checked.
        gBibles.Add(QStringLiteral("Changed Bible"), QStringLiteral("b_changed.txt"), false, 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Month and day names in the clock tests.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        KeyState::instance();
    }

    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        appendToCatalog(QStringLiteral("ENGLISH_FRM.mes"), FrmTexts);
        appendToCatalog(QStringLiteral("ENGLISH_STD.mes"), StdTexts);
        gHelpFile = m_fx->path(QStringLiteral("Help.chm"));
        installKjvStyleBible();
        gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);

        m_splashes = m_abouts = m_licences = m_locates = 0;
        Splash::setShowModal([this] { ++m_splashes; });
        frmAbout::setShowModal([this] { ++m_abouts; });
        Indemnity::setShowModal([this] { ++m_licences; });
        frmLocate::setShowModal([this] { ++m_locates; });
    }

    void cleanup()
    {
        m_main.reset();
        // The fixture puts the seams back while the progress log still stands.
        m_fx.reset();
        m_log.reset();
    }

    // --- Start, layout, menus -------------------------------------------------

    void firstStartShowsTheBibleWithItsBooks()
    {
        // An empty settings store: what start-up does on a new machine.
        QVERIFY(SettingsStore::instance().sections().isEmpty());
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"),
                        "\"Title\",\"Cat\",\"1-Jan-2024\",\"Gen 001:001\",\"Title.rtf\"\r\n");
        gBibles.Clear();
        MainMenu::Register();
        MainStartup::Main();

        auto *main = qobject_cast<MainMenu *>(gMainForm);
        QVERIFY(main);
        QCOMPARE(main, &MainMenu::Instance());
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QCOMPARE(m_splashes, 1); // "ShowSplash" is on at first start
        QCOMPARE(main->windowTitle(), QStringLiteral("Verbanox"));
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(boxTexts().join(QLatin1Char('\n'))));

        // The first book of the Prophets, in the only Bible installed.
        TabList_ *books = main->BibleBrowser1->TabList1;
        QTRY_VERIFY(books->ListCount() > 0);
        QCOMPARE(books->ListCount(), 39 - 23 + 1);
        QCOMPARE(books->Captions(0), BookNames().FullName(23));
        QCOMPARE(books->Captions(1), BookNames().FullName(24));
        QTRY_VERIFY(main->BibleBrowser1->RichText1->Text().contains(QStringLiteral("The vision of Isaiah")));
        const QString text = main->BibleBrowser1->RichText1->Text();
        QVERIFY(text.contains(QStringLiteral("The word that Isaiah the son of Amoz saw.")));
        QVERIFY(!text.contains(QStringLiteral("Jeremiah the son of Hilkiah")));
        QVERIFY(!text.contains(QStringLiteral("In the beginning")));

        // The status strip shows the day and date of the desktop's clock.
        QCOMPARE(main->lblStatusTextL->text(), MiscHelpers::WeekdayText() + QStringLiteral(", 01-Jan-2024"));
        QVERIFY(!main->ProgressBar1->isVisible());
        // The bookmark records are read into the list's model at start.
        QVERIFY(gBookmarksLoaded);
        QCOMPARE(BookmarkRecords::Instance().Rows().size(), 1);
        QCOMPARE(BookmarkRecords::Instance().Rows().first().fileName, QStringLiteral("Title.rtf"));
    }

    void startsWhileTheFirstBookBuildsItsIndexIntoTheLog()
    {
        // The real log lets events run while the index of the first book is built,
        // inside the window's first show.
        frmMessages::Register();
        QVERIFY(!QFile::exists(gIndexFolder + QStringLiteral("b_kjv.txt.INDEX")));
        MainMenu &main = openMain();
        QVERIFY(QFile::exists(gIndexFolder + QStringLiteral("b_kjv.txt.INDEX")));
        QVERIFY(main.isVisible());
        QTRY_VERIFY(main.BibleBrowser1->RichText1->Text().contains(QStringLiteral("The vision of Isaiah")));
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(boxTexts().join(QLatin1Char('\n'))));
    }

    void closingAnotherWindowDoesNotEndTheProgram()
    {
        MainMenu &main = openMain();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // Qt tells of the last window closing only inside the application's event
        // loop; keep it from quitting if the test fails.
        const bool quitOnLast = QGuiApplication::quitOnLastWindowClosed();
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, &main, [] {
            // A message box without an owner (no window is active), answered as a
            // person would.
            QMessageBox box(QMessageBox::Question, QStringLiteral("Verbanox"), QStringLiteral("?"),
                            QMessageBox::Yes | QMessageBox::No);
            QTimer::singleShot(0, &box, [&box] { QTest::keyClick(&box, Qt::Key_Escape); });
            box.exec();
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        });
        QCoreApplication::exec();
        QGuiApplication::setQuitOnLastWindowClosed(quitOnLast);
        QCOMPARE(lastClosed.count(), 0);
        QVERIFY(main.isVisible());
    }

    void splashOnlyWhenAsked()
    {
        gShowSplash = false;
        MainMenu &main = openMain();
        QCOMPARE(m_splashes, 0);
        QVERIFY(main.isVisible());
    }

    void menuTreeFollowsTheCatalog()
    {
        MainMenu &main = openMain();
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(boxTexts().join(QLatin1Char('\n'))));
        const QString difference =
            compareTree(main.menuBar()->actions(), expectedMenuBar(), QStringLiteral("bar"));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // Spot checks against the catalog text itself.
        QCOMPARE(main.zFile->title(), QStringLiteral("&File (70)"));
        QCOMPARE(main.mEditCopy->text(), QStringLiteral("&Copy (68)\tCtrl+C"));
        QCOMPARE(main.mIntegrityAll->text(), QStringLiteral("&All (202)"));
        // The check items start checked when the browser says so.
        QCOMPARE(main.mViewWrapText->isChecked(), main.BibleBrowser1->WrapText());
        QCOMPARE(main.mIntegrateNames->isChecked(), main.BibleBrowser1->IntegrateNames());
        QCOMPARE(main.mViewFancyFormatting->isChecked(), main.BibleBrowser1->FancyFormatting());
        QCOMPARE(main.mViewSmartQuotes->isChecked(), main.BibleBrowser1->SmartQuotes());
        QCOMPARE(main.mViewSmartDash->isChecked(), main.BibleBrowser1->SmartDash());
        QVERIFY(!main.mToolsShowMsgNums->isChecked());
        QVERIFY(!main.mBugReport->isCheckable());
    }

    void layoutFillsTheWindowAboveTheStatusStrip()
    {
        MainMenu &main = openMain();
        main.resize(900, 640);
        QTRY_COMPARE(main.centralWidget()->width(), 900);
        const QWidget *client = main.centralWidget();
        const int statusHeight = main.pixStatus->height();
        QVERIFY(statusHeight > 10);
        QCOMPARE(main.BibleBrowser1->geometry(),
                 QRect(0, 0, client->width(), client->height() - statusHeight));
        QCOMPARE(main.pixStatus->geometry(),
                 QRect(0, client->height() - statusHeight, client->width(), statusHeight));
        QCOMPARE(main.txtStatusTextR->x(),
                 client->width() - main.txtStatusTextR->width() - Twips::toPixelsX(200));

        // Nothing is laid out while minimised.
        main.showMinimized();
        main.BibleBrowser1->setGeometry(1, 2, 30, 40);
        main.Form_Resize();
        QCOMPARE(main.BibleBrowser1->geometry(), QRect(1, 2, 30, 40));
        main.showNormal();
        main.Form_Resize();
        QCOMPARE(main.BibleBrowser1->width(), client->width());
    }

    // --- Pictures ---------------------------------------------------------------

    void picturesOnABareMachineAreOurOwn()
    {
        // A machine without any icon theme.
        QTemporaryDir noThemes;
        const QStringList oldPaths = QIcon::themeSearchPaths();
        const QString oldTheme = QIcon::themeName();
        QIcon::setThemeSearchPaths({noThemes.path()});
        QIcon::setThemeName(QStringLiteral("none-installed"));
        ImageList list;
        QIcon::setThemeName(oldTheme);
        QIcon::setThemeSearchPaths(oldPaths);
        for (int n = 1; n <= ImageList::Count; ++n) {
            QVERIFY2(!list.FromTheme(n), qPrintable(QString::number(n)));
            QVERIFY2(hasOpaquePixels(list.ListImages(n)), qPrintable(QString::number(n)));
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.ListImages(0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.ListImages(ImageList::Count + 1));

        MainMenu &main = openMain();
        const std::pair<QAction *, int> pictured[] = {
            {main.mEditCopy, 8},          {main.mEditFind, 12},    {main.mEditFindNext, 13},
            {main.mWindowMultiBible, 14}, {main.mWindowNames, 15}, {main.mWindowDictionary, 16},
            {main.mWindowCommentary, 17},
        };
        for (const auto &[action, number] : pictured)
            QVERIFY2(action->icon().cacheKey() == main.ImgList1.ListImages(number).cacheKey(),
                     qPrintable(action->objectName()));
        for (QAction *action : {main.mFileExit, main.mEditSelectAll, main.mChooseFont, main.mWindowMaps})
            QVERIFY2(action->icon().isNull(), qPrintable(action->objectName()));
    }

    void picturesComeFromTheIconThemeWhenItHasThem()
    {
        QTemporaryDir themes;
        const QString folder = themes.path() + QStringLiteral("/vxtest/16x16/actions");
        QVERIFY(QDir().mkpath(folder));
        QFile index(themes.path() + QStringLiteral("/vxtest/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write(
            "[Icon Theme]\nName=vxtest\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
        index.close();
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(QColor(255, 0, 0));
        QVERIFY(red.save(folder + QStringLiteral("/edit-copy.png")));

        const QStringList oldPaths = QIcon::themeSearchPaths();
        const QString oldTheme = QIcon::themeName();
        QIcon::setThemeSearchPaths({themes.path()});
        QIcon::setThemeName(QStringLiteral("vxtest"));
        ImageList list;
        const QImage copy = list.ListImages(8).pixmap(16, 16).toImage();
        const bool copyFromTheme = list.FromTheme(8);
        const bool findFromTheme = list.FromTheme(12);
        QIcon::setThemeName(oldTheme);
        QIcon::setThemeSearchPaths(oldPaths);

        QVERIFY(copyFromTheme);
        QCOMPARE(QColor(copy.pixel(8, 8)), QColor(255, 0, 0));
        // The theme lacks a find picture: ours stands in.
        QVERIFY(!findFromTheme);
        QVERIFY(hasOpaquePixels(list.ListImages(12)));
    }

    void longCaptionsAreComparedWhole()
    {
        MainMenu &main = openMain();
        const QString common(60, QLatin1Char('x'));
        main.mWindowNames->setText(common + QStringLiteral("names"));
        main.mWindowDictionary->setText(common + QStringLiteral("dictionary"));
        main.mWindowNames->setIcon(QIcon());
        main.mWindowDictionary->setIcon(QIcon());
        main.AddPicturesToMenu();
        QCOMPARE(main.mWindowNames->icon().cacheKey(), main.ImgList1.ListImages(15).cacheKey());
        QCOMPARE(main.mWindowDictionary->icon().cacheKey(), main.ImgList1.ListImages(16).cacheKey());
    }

    // --- Enabling ---------------------------------------------------------------

    void nothingInstalledDisablesItsItems()
    {
        m_fx->writeFile(QStringLiteral("Modules/Maps/israel.png"), "png");
        m_fx->writeFile(QStringLiteral("Modules/Maps/egypt.jpeg"), "jpeg");
        m_fx->writeFile(QStringLiteral("Modules/Commentary/readme.doc"), "not a module");
        MainMenu &main = openMain();
        for (QAction *action : {main.mWindowCommentary, main.mIntegrityCommentaries, main.mWindowDictionary,
                                main.mIntegrityDictionaries, main.mWindowNames, main.mIntegrityNames,
                                main.mIntegrateNames, main.mWindowMaps, main.mWindowTranslationNotes})
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
        // Integrate Names is greyed but still shows the browser's choice.
        QCOMPARE(main.mIntegrateNames->isChecked(), main.BibleBrowser1->IntegrateNames());
        for (QAction *action :
             {main.mIntegrityBibles, main.mIntegrityAll, main.mToolsReIndex, main.mViewChmBibles,
              main.mToolsSetFolders, main.mEditCopy, main.mContents, main.mAbout})
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    }

    void installedModulesEnableTheirItems()
    {
        m_fx->writeFile(QStringLiteral("Modules/Maps/ISRAEL.JPG"), "jpg");
        m_fx->writeFile(QStringLiteral("Modules/Commentary/c_mh.txt"), "1\t1\t1\t1\tx\r\n");
        m_fx->writeFile(QStringLiteral("Modules/Dictionary/d_easton.txt"), "x\r\n");
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAaron\tlight\r\n");
        m_fx->writeFile(QStringLiteral("Modules/TLNotes.txt"), "notes\r\n");

        {
            // The study windows do not exist yet: only what works now is enabled.
            MainMenu &main = openMain();
            for (QAction *action : {main.mIntegrityCommentaries, main.mIntegrityDictionaries,
                                    main.mIntegrityNames, main.mIntegrateNames})
                QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
            for (QAction *action : {main.mWindowCommentary, main.mWindowDictionary, main.mWindowNames,
                                    main.mWindowMaps, main.mWindowTranslationNotes, main.mWindowMultiBible,
                                    main.mWindowBookmarks, main.mWindowAdvancedSearch, main.mViewMp3Bibles,
                                    main.mToolsOptions, main.mToolsDateFormat, main.mToolsLanguageEditor})
                QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
            m_main.reset();
        }

        FakeWindow windows[MenuTargets::TargetCount];
        for (int t = 0; t < MenuTargets::TargetCount; ++t) {
            MenuTargets::Window registration = windows[t].registration();
            registration.showModal = [] {};
            MenuTargets::Register(MenuTargets::Target(t), registration);
        }
        MainMenu &main = openMain();
        for (QAction *action : {main.mWindowCommentary, main.mWindowDictionary, main.mWindowNames,
                                main.mWindowMaps, main.mWindowTranslationNotes, main.mWindowMultiBible,
                                main.mWindowBookmarks, main.mWindowAdvancedSearch, main.mViewMp3Bibles,
                                main.mToolsOptions, main.mToolsDateFormat, main.mToolsLanguageEditor})
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        // Loading the window captioned the date-format window (loaded hidden).
        QVERIFY(windows[MenuTargets::DateFormat].window);
        QCOMPARE(windows[MenuTargets::DateFormat].window->windowTitle(), QStringLiteral("Date Format (89)"));
        QVERIFY(!windows[MenuTargets::DateFormat].window->isVisible());
        m_main.reset();
    }

    void chmBiblesItemNeedsItsWindowOnlyWhenSomeAreInstalled()
    {
        m_fx->writeFile(QStringLiteral("Modules/CHM/c1_kjv.chm"), "chm");
        MainMenu &main = openMain();
        QVERIFY(!main.mViewChmBibles->isEnabled());
        m_main.reset();

        int shown = 0;
        MenuTargets::Register(MenuTargets::CHM, {{}, {}, [&] { ++shown; }});
        MainMenu &again = openMain();
        QVERIFY(again.mViewChmBibles->isEnabled());
        again.mViewChmBibles->trigger();
        QCOMPARE(shown, 1);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void noChmBiblesOffersTheDownloadPage()
    {
        MainMenu &main = openMain();
        desk().messageBoxAnswers = {MsgBoxResult::No, MsgBoxResult::Yes};
        main.mViewChmBibles->trigger();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes()[0].text, GetMsg(0, 41));
        QCOMPARE(desk().messageBoxes()[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question);
        QCOMPARE(desk().messageBoxes()[0].title, QString());
        QVERIFY(desk().openedUrls.isEmpty());
        main.mViewChmBibles->trigger();
        QCOMPARE(desk().openedUrls, QStringList{MainMenu::ChmBiblesAddress()});
        QVERIFY(MainMenu::ChmBiblesAddress().endsWith(QLatin1String("/chm_bibles.html")));
    }

    // --- Captions and message numbers -------------------------------------------

    void messageNumbersRecaptionTheWindowAndAreKept()
    {
        MainMenu &main = openMain();
        main.mToolsShowMsgNums->trigger();
        QVERIFY(gShowMsgNumbers);
        QVERIFY(main.mToolsShowMsgNums->isChecked());
        QCOMPARE(setting(QStringLiteral("ShowMsgNumbers")), QStringLiteral("True"));
        QCOMPARE(main.zFile->title(), QStringLiteral("F70=&File (70)"));
        QCOMPARE(main.mEditCopy->text(), QStringLiteral("F68=&Copy (68)\tCtrl+C"));
        QCOMPARE(main.mIntegrityAll->text(), QStringLiteral("F202=&All (202)"));
        QCOMPARE(main.mToolsShowMsgNums->text(), QStringLiteral("F199=Show &Message Numbers (199)"));
        // Two items keep their fixed captions in every language.
        QCOMPARE(main.mViewSmartQuotes->text(), QStringLiteral("&Smart Quotes"));
        QCOMPARE(main.mViewSmartDash->text(), QStringLiteral("Smart &Dash and Spaces"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Verbanox"));
        const QString difference =
            compareTree(main.menuBar()->actions(), expectedMenuBar(), QStringLiteral("bar"));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));

        // The next start reads the switch back.
        m_main.reset();
        gShowMsgNumbers = false;
        gBibles.Clear();
        MainMenu::Register();
        MainStartup::Main();
        auto *next = qobject_cast<MainMenu *>(gMainForm);
        QVERIFY(next);
        QVERIFY(next->mToolsShowMsgNums->isChecked());
        QCOMPARE(next->zHelp->title(), QStringLiteral("F115=&Help (115)"));

        next->mToolsShowMsgNums->trigger();
        QVERIFY(!gShowMsgNumbers);
        QCOMPARE(setting(QStringLiteral("ShowMsgNumbers")), QStringLiteral("False"));
        QCOMPARE(next->zHelp->title(), QStringLiteral("&Help (115)"));
        QCOMPARE(next->mEditCopy->text(), QStringLiteral("&Copy (68)\tCtrl+C"));
    }

    void languageChangeRecaptionsThroughTheNotifier()
    {
        MainMenu &main = openMain();
        appendToCatalog(QStringLiteral("ENGLISH_FRM.mes"), "0070 &Datei\r\n0116 &Inhalt\r\n");
        gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
        QCOMPARE(main.zFile->title(), QStringLiteral("&Datei"));
        QCOMPARE(main.mContents->text(), QStringLiteral("&Inhalt"));
        // Pictures stay on their items after the captions changed.
        QCOMPARE(main.mEditCopy->icon().cacheKey(), main.ImgList1.ListImages(8).cacheKey());
        gNotifier->NotifyOfEvent(GlobalNotifier::TranslationsAvailListChanged);
        QCOMPARE(main.zFile->title(), QStringLiteral("&Datei"));
    }

    // --- Commands -----------------------------------------------------------------

    void viewTogglesSetTheBrowser()
    {
        MainMenu &main = openMain();
        const std::tuple<QAction *, std::function<bool()>> toggles[] = {
            {main.mViewWrapText, [&] { return main.BibleBrowser1->WrapText(); }},
            {main.mViewFancyFormatting, [&] { return main.BibleBrowser1->FancyFormatting(); }},
            {main.mViewSmartQuotes, [&] { return main.BibleBrowser1->SmartQuotes(); }},
            {main.mViewSmartDash, [&] { return main.BibleBrowser1->SmartDash(); }},
        };
        for (const auto &[action, property] : toggles) {
            const bool before = action->isChecked();
            QCOMPARE(property(), before);
            action->trigger();
            QCOMPARE(action->isChecked(), !before);
            QCOMPARE(property(), !before);
            action->trigger();
            QCOMPARE(property(), before);
        }
    }

    void webItemsOpenTheirPages()
    {
        MainMenu &main = openMain();
        main.mGotoWebsite->trigger();
        main.mDiscussionForum->trigger();
        main.mMailingList->trigger();
        const QString site = MiscHelpers::WebSiteAddress();
        QCOMPARE(desk().openedUrls.size(), 3);
        QCOMPARE(desk().openedUrls[0], site);
        const QString host = QUrl(site).host();
        QCOMPARE(QUrl(desk().openedUrls[1]).host(), host);
        QCOMPARE(QUrl(desk().openedUrls[1]).path(), QStringLiteral("/forum/"));
        QCOMPARE(QUrl(desk().openedUrls[2]).path(), QStringLiteral("/maillists.html"));
        QCOMPARE(QUrl(MainMenu::BugReportAddress()).path(), QStringLiteral("/cgi-bin/faq/faq.cgi"));
        QCOMPARE(QUrl(MainMenu::BugReportAddress()).query(), QStringLiteral("action=add"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void helpContentsOpensTheHelpFileOrSaysWhy()
    {
        MainMenu &main = openMain();
        MainStartup::SetUpHelp();
        main.mContents->trigger();
        QVERIFY(desk().openedFiles.isEmpty());
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().messageBoxes()[0].text.startsWith(GetMsg(0, 240, gHelpFile)));
        QVERIFY(desk().messageBoxes()[0].text.contains(gHelpFile));
        QVERIFY(!HelpService::viewer() || !HelpService::viewer()->isVisible());

        // Present but damaged: the same message, with the reason.
        m_fx->writeFile(QStringLiteral("Help.chm"), "ITSF");
        main.mContents->trigger();
        QCOMPARE(desk().messageBoxes().size(), 2);
        QVERIFY(desk().messageBoxes()[1].text.startsWith(GetMsg(0, 240, gHelpFile)));
        QVERIFY(!HelpService::viewer()->isVisible());

        // A real help file opens in the program's own viewer at its default topic.
        m_fx->copyBuiltFile(QStringLiteral("Help.chm"));
        main.mContents->trigger();
        QCOMPARE(desk().messageBoxes().size(), 2);
        QVERIFY(desk().openedFiles.isEmpty());
        QVERIFY(HelpService::viewer()->isVisible());
        QCOMPARE(HelpService::viewer()->fileName(), gHelpFile);
        QVERIFY(!HelpService::viewer()->currentTopic().isEmpty());
        HelpService::viewer()->close();
    }

    void helpWindowsAndFoldersOpenModally()
    {
        gShowSplash = false;
        MainMenu &main = openMain();
        main.mAbout->trigger();
        main.mLicenceAgreement->trigger();
        main.mSplashScreen->trigger();
        main.mToolsSetFolders->trigger();
        QCOMPARE(m_abouts, 1);
        QCOMPARE(m_licences, 1);
        QCOMPARE(m_splashes, 1);
        QCOMPARE(m_locates, 1);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void studyWindowIsRaisedNotOpenedTwice()
    {
        FakeWindow multi;
        MenuTargets::Register(MenuTargets::MultiBib, multi.registration());
        FakeWindow maps;
        MenuTargets::Register(MenuTargets::MapViewer, maps.registration());
        m_fx->writeFile(QStringLiteral("Modules/Maps/a.jpg"), "jpg");
        MainMenu &main = openMain();

        main.mWindowMultiBible->trigger();
        QVERIFY(multi.window && multi.window->isVisible());
        multi.window->showMinimized();
        QVERIFY(multi.window->isMinimized());
        main.mWindowMultiBible->trigger();
        QCOMPARE(multi.created, 1);
        QVERIFY(multi.window->isVisible());
        QVERIFY(!multi.window->isMinimized());
        multi.window->hide();
        main.mWindowMultiBible->trigger();
        QVERIFY(multi.window->isVisible());

        // Maps only becomes visible; its state is its own.
        main.mWindowMaps->trigger();
        QVERIFY(maps.window && maps.window->isVisible());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void unavailableWindowIsReportedWhenReachedAnyway()
    {
        MainMenu &main = openMain();
        QVERIFY(!main.mToolsOptions->isEnabled());
        main.mToolsOptions_Click();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().messageBoxes()[0].text.contains(QStringLiteral("MainMenu.mToolsOptions_Click()")));
    }

    // --- Integrity check ----------------------------------------------------------

    void integrityCheckReportsGoodChangedAndMissingModules()
    {
        installThreeBibles();
        useRecordingLog();
        MainMenu &main = openMain();
        main.mIntegrityBibles->trigger();
        QVERIFY(QFile::exists(gSysDefsFolder + QStringLiteral("CRC_b_good.txt")));
        QVERIFY(QFile::exists(gSysDefsFolder + QStringLiteral("CRC_b_changed.txt")));
        const QString oldChanged = cachedCrc(QStringLiteral("b_changed.txt"));

        m_fx->writeFile(QStringLiteral("Modules/Bible/b_changed.txt"), "1\t1\t1\t1\tafter the change\r\n");
        m_fx->writeFile(QStringLiteral("Index/b_changed.txt.INDEX"), "1,1,1,1,1,1,20\r\n");
        m_fx->writeFile(QStringLiteral("Index/b_good.txt.INDEX"), "1,1,1,1,1,1,10\r\n");
        m_log->calls.clear();
        m_log->shows = m_log->dones = 0;
        main.mIntegrityBibles->trigger();

        const QString text = m_log->text;
        const QRegularExpression newCrc(QStringLiteral("New CRC computed from file contents: (\\d+)\r\n"));
        const QRegularExpressionMatch match = newCrc.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        QVERIFY(match.captured(1) != oldChanged);
        const qsizetype missingAt = text.indexOf(QStringLiteral("Could not read ") + gBibleFolder +
                                                 QStringLiteral("b_missing.txt: "));
        QVERIFY2(missingAt > 0, qPrintable(text));
        const qsizetype missingEnd = text.indexOf(CRLF + CRLF + CRLF, missingAt);
        const QString missingReport = text.mid(missingAt, missingEnd - missingAt + 2);

        const QString expected =
            QStringLiteral("Integrity Check (97): Bibles (98)") + CRLF +
            entryText(QStringLiteral("Good Bible"), QStringLiteral("b_good.txt")) + QStringLiteral("CRC: ") +
            cachedCrc(QStringLiteral("b_good.txt")) + CRLF +
            QStringLiteral("CRC for b_good.txt is correct!") + CRLF + CRLF + CRLF +
            entryText(QStringLiteral("Missing Bible"), QStringLiteral("b_missing.txt")) + missingReport +
            CRLF + CRLF + entryText(QStringLiteral("Changed Bible"), QStringLiteral("b_changed.txt")) +
            QStringLiteral("The CRC has changed on file b_changed.txt since it was last calculated") + CRLF +
            QStringLiteral("New CRC computed from file contents: ") + match.captured(1) + CRLF +
            QStringLiteral("Old CRC from cache:  ") + oldChanged + CRLF +
            QStringLiteral("This means the data in the file has changed.") + CRLF +
            QStringLiteral("It is STRONGLY SUGGESTED YOU REINSTALL THIS MODULE!!") + CRLF + CRLF + CRLF +
            QStringLiteral("DONE!") + CRLF;
        QCOMPARE(text, expected);
        QVERIFY(missingReport.endsWith(CRLF));
        QCOMPARE(m_log->shows, 1);
        QCOMPARE(m_log->dones, 1);
        QCOMPARE(m_log->calls.first(), QStringLiteral("show:0"));
        QCOMPARE(m_log->calls.last(), QStringLiteral("done"));
        // Each entry line clears the log's close-when-done flag; reports keep it.
        QCOMPARE(m_log->calls.count(QStringLiteral("add:01")), 3);
        QCOMPARE(m_log->calls.count(QStringLiteral("add:11")), 4);
        // A changed module loses its index; a good one keeps it.
        QVERIFY(!QFile::exists(gIndexFolder + QStringLiteral("b_changed.txt.INDEX")));
        QVERIFY(QFile::exists(gIndexFolder + QStringLiteral("b_good.txt.INDEX")));
        QVERIFY(desk().messageBoxes().isEmpty());
        QCOMPARE(desk().waitCursorDepth, 0);
        QVERIFY(desk().waitCursorShown > 0);
    }

    void cancelStopsAfterTheModuleInProgress()
    {
        installThreeBibles();
        useRecordingLog();
        MainMenu &main = openMain();
        m_log->cancelAfterReports = 1;
        main.mIntegrityBibles->trigger();
        const QString cancelled = m_log->text;
        QVERIFY(cancelled.contains(QStringLiteral("Good Bible")));
        QVERIFY(!cancelled.contains(QStringLiteral("Missing Bible")));
        QVERIFY(cancelled.endsWith(CRLF + CRLF + CRLF + QStringLiteral("Integrity Check CANCELED!") + CRLF));
        QVERIFY(!cancelled.contains(QStringLiteral("DONE!")));
        QCOMPARE(m_log->dones, 1);

        // The flag is still set from that run; the next run is not stopped by it.
        QVERIFY(m_log->cancelled);
        main.mIntegrityBibles->trigger();
        QVERIFY(m_log->text.contains(QStringLiteral("Changed Bible")));
        QVERIFY(m_log->text.endsWith(CRLF + QStringLiteral("DONE!") + CRLF));
        QVERIFY(!m_log->text.contains(QStringLiteral("CANCELED")));
    }

    void integrityCheckOfAllKindsSkipsDisabledOnesAndStopsOnCancel()
    {
        installThreeBibles();
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAaron\tlight\r\n");
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
        useRecordingLog();
        MainMenu &main = openMain();
        QVERIFY(!main.mIntegrityCommentaries->isEnabled());
        QVERIFY(main.mIntegrityNames->isEnabled());

        main.mIntegrityAll->trigger();
        const QString text = m_log->text;
        QVERIFY2(text.startsWith(QStringLiteral("Integrity Check (97): All (202)") + CRLF), qPrintable(text));
        const qsizetype bibles = text.indexOf(QStringLiteral("Integrity Check (97): Bibles (98)"));
        const qsizetype names = text.indexOf(QStringLiteral("Integrity Check (97): Names (101)"));
        QVERIFY(bibles > 0 && names > bibles);
        QVERIFY(!text.contains(QStringLiteral("Commentaries (99)")));
        QVERIFY(text.contains(QStringLiteral("(") + gNameFolder + QStringLiteral("n_names.txt)")));
        QCOMPARE(text.count(QStringLiteral("DONE!")), 2);
        QCOMPARE(m_log->shows, 1);

        m_log->cancelAfterReports = 1;
        main.mIntegrityAll->trigger();
        QVERIFY(m_log->text.contains(QStringLiteral("CANCELED!")));
        QVERIFY(!m_log->text.contains(QStringLiteral("Names (101)")));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void emptyListStillEndsTheRun()
    {
        useRecordingLog();
        m_fx->writeFile(QStringLiteral("Modules/Dictionary/d_unlisted.txt"), "x\r\n");
        MainMenu &main = openMain();
        QVERIFY(main.mIntegrityDictionaries->isEnabled());
        main.mIntegrityDictionaries->trigger();
        QCOMPARE(m_log->text, QStringLiteral("Integrity Check (97): Dictionaries (100)") + CRLF + CRLF +
                                  QStringLiteral("DONE!") + CRLF);
        QCOMPARE(m_log->dones, 1);
    }

    // A checksum that cannot be kept is the data's fault: the report says which
    // file and why, nothing asks for a bug report, and the check goes on.
    void checksumThatCannotBeKeptIsToldInTheReport()
    {
        installThreeBibles();
        useRecordingLog();
        MainMenu &main = openMain();
        const QString cache = gChecksumFolder + QStringLiteral("CRC_b_good.txt");
        QVERIFY(QDir().mkpath(cache));
        main.mIntegrityBibles->trigger();
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
        QVERIFY2(m_log->text.contains(
                     QStringLiteral("It could not be kept for the next check: Cannot write ") + cache),
                 qPrintable(m_log->text));
        QVERIFY(m_log->text.contains(QStringLiteral("Changed Bible")));
        QVERIFY(m_log->text.contains(QStringLiteral("DONE!")));
        QCOMPARE(desk().waitCursorDepth, 0);
    }

    void progressLogComesBackForEveryCheck()
    {
        installThreeBibles();
        frmMessages::Register();
        MainMenu &main = openMain();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.mIntegrityBibles->trigger();
        frmMessages &log = frmMessages::Instance();
        QVERIFY(log.isVisible());
        QVERIFY(log.RichTextBox1->Text().contains(QStringLiteral("DONE!")));
        QVERIFY(log.btnClose->isEnabled());

        // The user closes the log; the next check shows it again with its own run.
        log.btnCancel_Click();
        log.btnClose_Click();
        QVERIFY(!frmMessages::Instance().isVisible());
        main.mIntegrityBibles->trigger();
        frmMessages &again = frmMessages::Instance();
        QVERIFY(again.isVisible());
        QVERIFY(again.RichTextBox1->Text().startsWith(QStringLiteral("Integrity Check (97): Bibles (98)")));
        QVERIFY(again.RichTextBox1->Text().contains(QStringLiteral("DONE!")));

        // Also after the window was unloaded.
        again.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.mIntegrityBibles->trigger();
        QVERIFY(frmMessages::Instance().isVisible());
        QVERIFY(frmMessages::Instance().RichTextBox1->Text().contains(QStringLiteral("Changed Bible")));
    }

    void reindexDeletesAndRebuildsTheIndexes()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 3).chapter(1, 2, 2).chapter(2, 1, 4);
        m_fx->addBible(QStringLiteral("Small"), QStringLiteral("b_small.txt"), module.bytes());
        useRecordingLog();
        MainMenu &main = openMain();
        QVERIFY(TranslationHelpers::GetTranslation(1));
        const QString index = gIndexFolder + QStringLiteral("b_small.txt.INDEX");
        QVERIFY(QFile::exists(index));
        // A damaged index of a module in use, and one of a module not loaded.
        m_fx->writeFile(QStringLiteral("Index/b_small.txt.INDEX"), "garbage\r\n");
        m_fx->writeFile(QStringLiteral("Index/b_other.txt.index"), "1,1,1,1,1,1,2\r\n");
        desk().shown.clear();

        main.mToolsReIndex->trigger();
        QVERIFY(!QFile::exists(gIndexFolder + QStringLiteral("b_other.txt.index")));
        // The module's stamp, then its chapters.
        QCOMPARE(TextReader::fromFile(index, 1252, LineEnds::CrLfOnly).readAllLines(),
                 QStringList{IndexStamp::OfFile(gBibleFolder + QStringLiteral("b_small.txt")).Line()} +
                     module.expectedIndex());
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes()[0].text, GetMsg(0, 49, gIndexFolder));
        QCOMPARE(desk().messageBoxes()[0].text,
                 QStringLiteral("Indexes deleted in ") + gIndexFolder + QStringLiteral(" (49)"));
        QCOMPARE(desk().messageBoxes()[0].style, MsgBoxStyle::Information);
        QCOMPARE(desk().messageBoxes()[0].title, QStringLiteral("Verbanox Delete index"));
    }

    // --- Close ----------------------------------------------------------------------

    void closeSavesFontAndPositionsThenEnds()
    {
        FakeWindow multi, names, dictionary, notes;
        MenuTargets::Register(MenuTargets::MultiBib, multi.registration());
        MenuTargets::Register(MenuTargets::NameDictionary, names.registration());
        MenuTargets::Register(MenuTargets::Dictionary, dictionary.registration());
        MenuTargets::Register(MenuTargets::TLNotes, notes.registration());
        for (FakeWindow *w : {&multi, &names, &dictionary, &notes})
            w->registration().instance()->show();
        // Three study windows are open; the names window is loaded but says it is closed.
        gMultiBibOpen = gDictionaryOpen = gTLNotesOpen = true;
        gNameDictionaryOpen = false;
        m_fx->writeFile(QStringLiteral("Scratch/search1.rtf"), "x");
        m_fx->writeFile(QStringLiteral("Scratch/noextension"), "x");
        gDefaultFont = QStringLiteral("Liberation Serif");
        MainMenu &main = openMain();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        SettingsStore::instance().removeSection(QStringLiteral("Settings"));

        int exitCode = -1;
        try {
            main.mFileExit->trigger();
        } catch (const ProgramEnded &ended) {
            exitCode = ended.exitCode;
        }
        QCOMPARE(exitCode, 0);
        QStringList expected{QStringLiteral("DEFAULTFONT")};
        for (const char *prefix : {"Main", "ScreenV1", "ScreenDict", "ScreenTN"})
            for (const char *part : {"Left", "Top", "Width", "Height"})
                expected << QLatin1String(prefix) + QLatin1String(part);
        QCOMPARE(SettingsStore::instance().keys(QStringLiteral("Settings")), expected);
        QCOMPARE(setting(QStringLiteral("DEFAULTFONT")), QStringLiteral("Liberation Serif"));
        QCOMPARE(setting(QStringLiteral("MainWidth")).toDouble(), Twips::fromPixelsX(main.width()));
        QCOMPARE(setting(QStringLiteral("ScreenDictWidth")).toDouble(), Twips::fromPixelsX(300));
        QCOMPARE(QDir(gScratchFolder).entryList(QDir::Files), QStringList());
    }

    void closeAsksAboutUnsavedNotes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        for (const char *how : {"close box", "File > Exit"}) {
            QTest::addRow("%s, Yes", how) << how << int(MsgBoxResult::Yes) << true;
            QTest::addRow("%s, No", how) << how << int(MsgBoxResult::No) << true;
            QTest::addRow("%s, Cancel", how) << how << int(MsgBoxResult::Cancel) << false;
        }
        // Ctrl+Q is File > Exit's key.
        QTest::newRow("Ctrl+Q, Cancel") << "Ctrl+Q" << int(MsgBoxResult::Cancel) << false;
    }
    // Quitting with unsaved notes in the workspace asks its question first: Yes
    // saves and ends, No ends without saving, Cancel keeps the program running
    // with the notes.
    void closeAsksAboutUnsavedNotes()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, ends);
        AdvancedSearch::Register();
        MainMenu &main = openMain();
        main.show();
        AdvancedSearch &workspace = AdvancedSearch::Instance();
        workspace.RT->setSelText(QStringLiteral("my notes"));
        const QString saveTo = m_fx->path(QStringLiteral("notes.rtf"));
        desk().messageBoxAnswers.push_back(answer);
        desk().fileAnswers.push_back(saveTo);

        // The program's end is thrown by the test desktop; it must not pass
        // through Qt's own key and close handling, which would leak on the way.
        if (how == QLatin1String("Ctrl+Q"))
            QCOMPARE(main.mFileExit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        bool ended = false;
        try {
            if (how == QLatin1String("close box")) {
                QCloseEvent event;
                main.closeEvent(&event);
                QCOMPARE(event.isAccepted(), false);
            } else {
                main.mFileExit->trigger();
            }
        } catch (const ProgramEnded &) {
            ended = true;
        }

        QCOMPARE(ended, ends);
        QCOMPARE(boxTexts(), QStringList{GetMsg(0, 51)});
        QCOMPARE(QFileInfo::exists(saveTo), answer == MsgBoxResult::Yes);
        if (answer == MsgBoxResult::Yes)
            QVERIFY(TextFiles::readAll(saveTo).contains("my notes"));
        if (ended)
            return;
        QVERIFY(main.isVisible());
        QVERIFY(workspace.TextChanged());
        QCOMPARE(workspace.RT->Text(), QStringLiteral("my notes"));
    }

    void closeKeepsScratchFilesWhenAsked()
    {
        gDeleteTempFilesOnExit = false;
        m_fx->writeFile(QStringLiteral("Scratch/search1.rtf"), "x");
        MainMenu &main = openMain();
        QCloseEvent event;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, main.closeEvent(&event));
        QCOMPARE(QDir(gScratchFolder).entryList(QDir::Files), QStringList{QStringLiteral("search1.rtf")});
        QCOMPARE(setting(QStringLiteral("DEFAULTFONT")), gDefaultFont);

        // A close already cancelled does nothing at all.
        SettingsStore::instance().removeSection(QStringLiteral("Settings"));
        bool cancel = true;
        main.Form_Unload(cancel);
        QVERIFY(SettingsStore::instance().keys(QStringLiteral("Settings")).isEmpty());
    }

    // --- Debug mode and clock --------------------------------------------------------

    void debugModeOpensWithTwoKeysHeldOverHelp()
    {
        gShowSplash = false;
        MainMenu &main = openMain();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const auto openHelp = [&] { Q_EMIT main.zHelp->aboutToShow(); };

        // One key alone is not enough.
        QTest::keyPress(&main, Qt::Key_D);
        openHelp();
        QCOMPARE(main.mBugReport->text(), GetMsg(1, 121));
        QTest::keyPress(&main, Qt::Key_B);
        openHelp();
        QTest::keyRelease(&main, Qt::Key_B);
        QTest::keyRelease(&main, Qt::Key_D);
        QCOMPARE(main.mBugReport->text(), MainMenu::DebugCaption);
        QVERIFY(main.mBugReport->isCheckable());
        QVERIFY(!main.mBugReport->isChecked());

        main.mBugReport->trigger();
        QVERIFY(gDebugMode);
        QVERIFY(main.mBugReport->isChecked());
        QVERIFY(desk().openedUrls.isEmpty());
        main.Timer1_Timer();
        QVERIFY2(QRegularExpression(QStringLiteral("^Verbanox - FreeFile\\(\\)=[1-9][0-9]*$"))
                     .match(main.windowTitle())
                     .hasMatch(),
                 qPrintable(main.windowTitle()));

        // Without the keys the item stays while the mode is on.
        openHelp();
        QCOMPARE(main.mBugReport->text(), MainMenu::DebugCaption);
        QVERIFY(main.mBugReport->isChecked());
        main.mBugReport->trigger();
        QVERIFY(!gDebugMode);
        QVERIFY(!main.mBugReport->isChecked());

        // The next opening restores the item and the caption.
        openHelp();
        QCOMPARE(main.mBugReport->text(), GetMsg(1, 121));
        QVERIFY(!main.mBugReport->isCheckable());
        QCOMPARE(main.windowTitle(), QStringLiteral("Verbanox"));
        main.mBugReport->trigger();
        QCOMPARE(desk().openedUrls, QStringList{MainMenu::BugReportAddress()});
    }

    void clockShowsTheDayAndTheUsersDateFormat()
    {
        MainMenu &main = openMain();
        QCOMPARE(main.Timer1->interval(), 1000);
        QVERIFY(main.Timer1->isActive());
        desk().clock = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
        main.Timer1_Timer();
        QCOMPARE(main.lblStatusTextL->text(), MiscHelpers::WeekdayText() + QStringLiteral(", 05-Mar-2024"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Verbanox")); // no debug caption

        gDateFormat = QStringLiteral("dddd d mmmm yyyy hh:nn:ss");
        main.Timer1_Timer();
        QCOMPARE(main.lblStatusTextL->text(),
                 MiscHelpers::WeekdayText() + QStringLiteral(", Tuesday 5 March 2024 14:07:09"));
    }

    void runtimeDateFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
        const QDateTime morning(QDate(2023, 12, 31), QTime(9, 5, 0));
        QTest::newRow("default") << "dd-MMM-yyyy" << afternoon << "05-Mar-2024";
        QTest::newRow("upper case letters") << "DD/MM/YY" << afternoon << "05/03/24";
        QTest::newRow("month names") << "mmmm mmm" << afternoon << "March Mar";
        QTest::newRow("minutes after hours") << "hh:mm" << afternoon << "14:07";
        QTest::newRow("minutes before seconds") << "m:ss" << afternoon << "7:09";
        QTest::newRow("minutes as n") << "h:nn" << morning << "9:05";
        QTest::newRow("twelve hours") << "h:nn AM/PM" << afternoon << "2:07 PM";
        QTest::newRow("twelve hours, lower case") << "hh:nn am/pm" << morning << "09:05 am";
        QTest::newRow("one letter") << "h A/P" << afternoon << "2 P";
        QTest::newRow("weekday, week, quarter, day of year") << "w ww q y" << afternoon << "3 10 1 65";
        QTest::newRow("last day of the year") << "w ww y" << morning << "1 53 365";
        QTest::newRow("quoted text") << "\"Date:\" d" << afternoon << "Date: 5";
        QTest::newRow("escaped and plain letters") << "\\d d x" << afternoon << "d 5 x";
        QTest::newRow("a quote in the text") << "d'mmm" << afternoon << "5'Mar";
        QTest::newRow("quotes inside quoted text") << "\"it's\" d \"''\"" << afternoon << "it's 5 ''";
        QTest::newRow("weekday names") << "ddd dddd" << afternoon << "Tue Tuesday";
    }

    void runtimeDateFormats()
    {
        QFETCH(QString, format);
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        QCOMPARE(DateFormatText::Format(when, format), expected);
    }
};

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
