#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "controls/MenuTable.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "mainwindow/CommonMenus.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/Splash.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {
// A menu as a person sees it: object names, captions, shortcuts and check marks, with submenus.
QStringList shape(const QMenu *menu)
{
    QStringList rows;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator()) {
            rows << QStringLiteral("-");
            continue;
        }
        rows << QStringLiteral("%1|%2|%3|%4|%5")
                    .arg(action->objectName(), action->text(), action->shortcut().toString())
                    .arg(action->isCheckable())
                    .arg(action->isEnabled());
        if (action->menu())
            rows << shape(action->menu());
    }
    return rows;
}

// A later window as it will build its menus: its own File menu beside the
// shared ones, its View items under names of its own.
struct Workspace
{
    QMainWindow window;
    std::unique_ptr<MenuTable> menus;
    QStringList closed;

    Workspace()
    {
        window.setObjectName(QStringLiteral("AdvancedSearch"));
        QList<MenuItem> description{
            MenuItem::Menu(QStringLiteral("zFile"), 70, QStringLiteral("&File"),
                           {MenuItem::Item(QStringLiteral("mFileClose"), 65, QStringLiteral("&Close"),
                                           [this](MenuCall &) { closed << QStringLiteral("closed"); })}),
            CommonMenus::View([](MenuCall &) {}),
            CommonMenus::Tools(),
            CommonMenus::Web(),
            CommonMenus::Help(),
        };
        FindMenuItem(description, QStringLiteral("mWindowMultiBible"))->name =
            QStringLiteral("mViewMultiBible");
        menus = std::make_unique<MenuTable>(&window, QStringLiteral("AdvancedSearch"), description);
        menus->International();
        menus->ApplyEnabling();
    }
};

class CountingLog : public MemoryProgressLog
{
public:
    int shows = 0;
    void MsgShow(const QString &text, bool closeWhenDone) override
    {
        ++shows;
        MemoryProgressLog::MsgShow(text, closeWhenDone);
    }
};
} // namespace

class TestCommonMenus : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<MainMenu> m_main;
    CountingLog m_log;
    int m_splashes = 0;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        ModuleBuilder module;
        module.chapter(1, 1, 2);
        m_fx->addBible(QStringLiteral("One"), QStringLiteral("b_one.txt"), module.bytes());
        m_log = CountingLog();
        SetProgressLogFactory([this]() -> ProgressLog & { return m_log; });
        m_splashes = 0;
        Splash::setShowModal([this] { ++m_splashes; });
    }
    void cleanup()
    {
        m_main.reset();
        m_fx.reset();
    }

    void sharedMenusAreTheMainWindowsItems()
    {
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAaron\tlight\r\n");
        m_main = std::make_unique<MainMenu>();
        Workspace workspace;
        const QList<QAction *> bar = workspace.window.menuBar()->actions();
        QCOMPARE(bar.size(), 5);
        for (const char *name : {"zTools", "zWeb", "zHelp"})
            QCOMPARE(shape(workspace.menus->menu(QLatin1String(name))),
                     shape(m_main->Menus().menu(QLatin1String(name))));
        QStringList mainView = shape(m_main->zView);
        mainView.replaceInStrings(QStringLiteral("mWindowMultiBible|"), QStringLiteral("mViewMultiBible|"));
        QCOMPARE(shape(workspace.menus->menu(QStringLiteral("zView"))), mainView);
        QVERIFY(workspace.menus->action(QStringLiteral("mIntegrityNames"))->isEnabled());
        QVERIFY(!workspace.menus->action(QStringLiteral("mIntegrityCommentaries"))->isEnabled());
    }

    void sharedItemsOpenTheSameWindowsAndReportAsTheirWindow()
    {
        QWidget multi;
        int modal = 0;
        MenuTargets::Register(MenuTargets::MultiBib, {[&]() -> QWidget * { return &multi; }, {}, {}});
        MenuTargets::Register(MenuTargets::Options, {{}, {}, [&] { ++modal; }});
        Workspace workspace;
        QVERIFY(workspace.menus->action(QStringLiteral("mViewMultiBible"))->isEnabled());
        QVERIFY(!workspace.menus->action(QStringLiteral("mToolsDateFormat"))->isEnabled());
        workspace.menus->action(QStringLiteral("mViewMultiBible"))->trigger();
        QVERIFY(multi.isVisible());
        workspace.menus->action(QStringLiteral("mToolsOptions"))->trigger();
        QCOMPARE(modal, 1);
        workspace.menus->action(QStringLiteral("mSplashScreen"))->trigger();
        QCOMPARE(m_splashes, 1);
        workspace.menus->action(QStringLiteral("mMailingList"))->trigger();
        QCOMPARE(m_fx->desk().openedUrls, QStringList{CommonMenus::MailingListAddress()});
        workspace.menus->action(QStringLiteral("mFileClose"))->trigger();
        QCOMPARE(workspace.closed.size(), 1);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());

        // A window that has not registered is reported under the workspace's own trace name.
        workspace.menus->run(QStringLiteral("mToolsDateFormat"));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY2(
            m_fx->desk().lastMessage().contains(QStringLiteral("AdvancedSearch.mToolsDateFormat_Click()")),
            qPrintable(m_fx->desk().lastMessage()));
    }

    void integrityCheckOfAllRunsFromEitherWindowIntoOneLog()
    {
        Workspace workspace;
        workspace.menus->action(QStringLiteral("mIntegrityAll"))->trigger();
        QCOMPARE(m_log.shows, 1);
        const QString text = m_log.text();
        QVERIFY2(text.startsWith(QStringLiteral("Integrity Check: All\r\n")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Integrity Check: Bibles\r\n")));
        QVERIFY(!text.contains(QStringLiteral("Integrity Check: Names")));
        QCOMPARE(text.count(QStringLiteral("DONE!")), 1);

        // A checksum cache that cannot be written is told in the report, naming the
        // file and the reason; nothing asks for a bug report and the run goes on.
        const QString cache = gChecksumFolder + QStringLiteral("CRC_b_one.txt");
        QFile::remove(cache);
        QVERIFY(QDir().mkpath(cache));
        workspace.menus->action(QStringLiteral("mIntegrityAll"))->trigger();
        QVERIFY2(m_fx->desk().messageBoxes().isEmpty(), qPrintable(m_fx->desk().lastMessage()));
        QVERIFY2(m_log.text().contains(
                     QStringLiteral("It could not be kept for the next check: Cannot write ") + cache),
                 qPrintable(m_log.text()));
        QVERIFY(m_log.text().contains(QStringLiteral("DONE!")));
    }

    void languageChangeRecaptionsEveryWindowsMenus()
    {
        Workspace workspace;
        QCOMPARE(workspace.menus->menu(QStringLiteral("zTools"))->title(), GetMsg(1, 92));
        gShowMsgNumbers = true;
        workspace.menus->International();
        QCOMPARE(workspace.menus->menu(QStringLiteral("zTools"))->title(), GetMsg(1, 92));
        QVERIFY(workspace.menus->menu(QStringLiteral("zTools"))->title().startsWith(QStringLiteral("F92=")));
        QVERIFY(workspace.menus->action(QStringLiteral("mViewMultiBible"))
                    ->text()
                    .startsWith(QStringLiteral("F78=")));
        QVERIFY(
            workspace.menus->action(QStringLiteral("mFileClose"))->text().startsWith(QStringLiteral("F65=")));
    }
};

QTEST_MAIN(TestCommonMenus)
#include "tst_commonmenus.moc"
