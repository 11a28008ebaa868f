#include "common/TestFixture.h"
#include "controls/ImageList.h"
#include "controls/MenuTable.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/RuntimeError.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {
// Catalog texts that differ from the fixed captions.
const QByteArray FrmTexts = "0070 &File (70)\r\n0066 &Edit (66)\r\n0068 &Copy (68)\r\n0073 &Find (73)\r\n"
                            "0097 &Check (97)\r\n0098 &One (98)\r\n";
} // namespace

class TestMenuTable : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<QMainWindow> m_window;
    QStringList m_calls;

    // A small window's menus: File with a submenu, Edit with pictures, a check item
    // and a fixed caption.
    QList<MenuItem> description()
    {
        using M = MenuItem;
        const auto record = [this](const char *what) {
            return [this, what](MenuCall &call) {
                m_calls << QLatin1String(what) + QStringLiteral(":%1").arg(call.checked());
            };
        };
        return {
            M::Menu(QStringLiteral("zFile"), 70, QStringLiteral("&File"),
                    {M::Item(QStringLiteral("mFileFail"), 0, QStringLiteral("&Fail"),
                             [](MenuCall &) {
                                 raiseError(RtErr::FileNotFound, QStringLiteral("Test"),
                                            QStringLiteral("gone"));
                             }),
                     M::Line(),
                     M::Menu(QStringLiteral("zCheck"), 97, QStringLiteral("&Check"),
                             {M::Item(QStringLiteral("mCheckOne"), 98, QStringLiteral("&One"), record("one"))
                                  .enabledWhen([] { return gDebugMode; })})}),
            M::Menu(QStringLiteral("zEdit"), 66, QStringLiteral("&Edit"),
                    {M::Item(QStringLiteral("mEditCopy"), 68, QStringLiteral("&Copy\tCtrl+C"), record("copy"))
                         .withSuffix(QStringLiteral("\tCtrl+C"))
                         .withPicture(8),
                     M::Item(QStringLiteral("mEditFind"), 73, QStringLiteral("&Find"), record("find"))
                         .withShortcut(QKeySequence(QStringLiteral("Ctrl+F")))
                         .withPicture(12),
                     M::Item(QStringLiteral("mEditWrap"), 0, QStringLiteral("&Wrap"), record("wrap"))
                         .checkItem(true),
                     M::Item(QStringLiteral("mEditSteps"), 0, QStringLiteral("&Steps"),
                             [this](MenuCall &call) {
                                 call.errors.step([] {
                                     raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Test"),
                                                QStringLiteral("first"));
                                 });
                                 call.errors.step([this] { m_calls << QStringLiteral("second step"); });
                                 raiseError(RtErr::TypeMismatch, QStringLiteral("Test"),
                                            QStringLiteral("last"));
                             })}),
        };
    }

    MenuTable &build()
    {
        m_window = std::make_unique<QMainWindow>();
        auto *table = new MenuTable(m_window.get(), QStringLiteral("Form1"), description());
        m_table.reset(table);
        return *table;
    }
    std::unique_ptr<MenuTable> m_table;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_FRM.mes"),
                        m_fx->readFile(QStringLiteral("msg/ENGLISH_FRM.mes")) + FrmTexts);
        MsgSupport::ReloadAllMessages();
        m_calls.clear();
    }
    void cleanup()
    {
        m_table.reset();
        m_window.reset();
        m_fx.reset();
    }

    void buildsTheTreeWithFixedCaptions()
    {
        MenuTable &table = build();
        const QList<QAction *> bar = m_window->menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->objectName(), QStringLiteral("zFile"));
        QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
        const QList<QAction *> file = table.menu(QStringLiteral("zFile"))->actions();
        QCOMPARE(file.size(), 3);
        QVERIFY(file[1]->isSeparator());
        QCOMPARE(file[2]->menu(), table.menu(QStringLiteral("zCheck")));
        QCOMPARE(table.menu(QStringLiteral("zCheck"))->objectName(), QStringLiteral("zCheck"));
        QCOMPARE(table.action(QStringLiteral("mCheckOne"))->parent(), table.menu(QStringLiteral("zCheck")));
        QCOMPARE(table.action(QStringLiteral("mEditFind"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(table.action(QStringLiteral("mEditCopy"))->shortcut().isEmpty());
        QVERIFY(table.action(QStringLiteral("mEditWrap"))->isCheckable());
        QVERIFY(table.action(QStringLiteral("mEditWrap"))->isChecked());
        QVERIFY(!table.action(QStringLiteral("mEditFind"))->isCheckable());
        QVERIFY(!table.action(QStringLiteral("nothing")));
        QVERIFY(!table.menu(QStringLiteral("mEditFind")));
        QCOMPARE(table.traceName(QStringLiteral("mEditFind")), QStringLiteral("Form1.mEditFind_Click()"));
    }

    void captionsComeFromTheCatalogAndFollowIt()
    {
        MenuTable &table = build();
        table.International();
        QCOMPARE(table.menu(QStringLiteral("zFile"))->title(), QStringLiteral("&File (70)"));
        QCOMPARE(table.action(QStringLiteral("mEditCopy"))->text(), QStringLiteral("&Copy (68)\tCtrl+C"));
        QCOMPARE(table.menu(QStringLiteral("zCheck"))->title(), QStringLiteral("&Check (97)"));
        QCOMPARE(table.action(QStringLiteral("mCheckOne"))->text(), QStringLiteral("&One (98)"));
        // No caption id: the fixed caption in every language.
        QCOMPARE(table.action(QStringLiteral("mEditWrap"))->text(), QStringLiteral("&Wrap"));

        gShowMsgNumbers = true;
        table.International();
        QCOMPARE(table.menu(QStringLiteral("zEdit"))->title(), QStringLiteral("F66=&Edit (66)"));
        QCOMPARE(table.action(QStringLiteral("mEditCopy"))->text(), QStringLiteral("F68=&Copy (68)\tCtrl+C"));
        QCOMPARE(table.action(QStringLiteral("mEditWrap"))->text(), QStringLiteral("&Wrap"));
    }

    void picturesAreKeyedByTheCaptionsOfTheMoment()
    {
        MenuTable &table = build();
        ImageList images;
        table.AddPicturesToMenu(images);
        QCOMPARE(table.action(QStringLiteral("mEditCopy"))->icon().cacheKey(),
                 images.ListImages(8).cacheKey());
        QCOMPARE(table.action(QStringLiteral("mEditFind"))->icon().cacheKey(),
                 images.ListImages(12).cacheKey());
        QVERIFY(table.action(QStringLiteral("mEditWrap"))->icon().isNull());
        QVERIFY(table.action(QStringLiteral("mCheckOne"))->icon().isNull());
    }

    void enablingRulesApplyWhenAsked()
    {
        MenuTable &table = build();
        QAction *one = table.action(QStringLiteral("mCheckOne"));
        QVERIFY(one->isEnabled());
        table.ApplyEnabling();
        QVERIFY(!one->isEnabled());
        QVERIFY(table.action(QStringLiteral("mEditFind"))->isEnabled()); // no rule
        gDebugMode = true;
        table.ApplyEnabling();
        QVERIFY(one->isEnabled());
    }

    void commandsRunWithTheirMarkAndReportUnderTheirTraceName()
    {
        MenuTable &table = build();
        table.action(QStringLiteral("mEditWrap"))->trigger();
        table.run(QStringLiteral("mEditWrap")); // as the public handler: the mark stays
        table.action(QStringLiteral("mEditFind"))->trigger();
        QCOMPARE(m_calls,
                 (QStringList{QStringLiteral("wrap:0"), QStringLiteral("wrap:0"), QStringLiteral("find:0")}));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());

        table.action(QStringLiteral("mFileFail"))->trigger();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY2(m_fx->desk().lastMessage().contains(QStringLiteral("(Test.Form1.mFileFail_Click())")),
                 qPrintable(m_fx->desk().lastMessage()));
        // Reached without its menu (a disabled item, a button), it still reports.
        table.run(QStringLiteral("mFileFail"));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
        table.runAs(QStringLiteral("mCheckOne"), [] {
            raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Test"), QStringLiteral("other"));
        });
        QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("Form1.mCheckOne_Click()")));
    }

    void stepsOfACommandAllRunAndTheFirstFailureIsReportedOnce()
    {
        MenuTable &table = build();
        table.action(QStringLiteral("mEditSteps"))->trigger();
        QCOMPARE(m_calls, QStringList{QStringLiteral("second step")});
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("first")));
        QVERIFY(!m_fx->desk().lastMessage().contains(QStringLiteral("last")));
    }

    void descriptionsAreValuesAWindowCanChange()
    {
        QList<MenuItem> rows = description();
        MenuItem *one = FindMenuItem(rows, QStringLiteral("mCheckOne"));
        QVERIFY(one);
        one->name = QStringLiteral("mViewOne");
        one->handler = [this](MenuCall &) { m_calls << QStringLiteral("renamed"); };
        QVERIFY(!FindMenuItem(rows, QStringLiteral("mCheckOne")));
        QVERIFY(FindMenuItem(rows, QStringLiteral("zCheck")));
        QVERIFY(RemoveMenuItem(rows, QStringLiteral("mEditWrap")));
        QVERIFY(!RemoveMenuItem(rows, QStringLiteral("mEditWrap")));
        QVERIFY(!FindMenuItem(rows, QStringLiteral("mEditWrap")));
        m_window = std::make_unique<QMainWindow>();
        MenuTable table(m_window.get(), QStringLiteral("Other"), rows);
        QVERIFY(!table.action(QStringLiteral("mCheckOne")));
        QVERIFY(!table.action(QStringLiteral("mEditWrap")));
        QCOMPARE(table.menu(QStringLiteral("zEdit"))->actions().size(), 3);
        table.action(QStringLiteral("mViewOne"))->trigger();
        QCOMPARE(m_calls, QStringList{QStringLiteral("renamed")});
    }
};

QTEST_MAIN(TestMenuTable)
#include "tst_menutable.moc"
