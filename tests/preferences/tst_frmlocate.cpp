#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/DefaultInstance.h"
#include "platform/SettingsStore.h"
#include "preferences/frmDirlist.h"
#include "preferences/frmLocate.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace {
const QString StartFolder = QStringLiteral("/old/modules/");
}

class TestFrmLocate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    int m_dirlistOpened = 0;

    TestDesktop &desk() { return m_fx->desk(); }
    QString savedModulePath() const
    {
        return SettingsStore::instance().value(QStringLiteral("Module_Path"), QStringLiteral("ModulePath"),
                                               QStringLiteral("<none>"));
    }
    QString defaultFolder() const { return m_fx->programFolder() + QStringLiteral("Modules/"); }
    // A folder outside the program folder, with files below it.
    QString makeFolder(const QString &name, const QStringList &files)
    {
        const QString folder = m_fx->programFolder() + QStringLiteral("../") + name + QLatin1Char('/');
        QDir().mkpath(folder);
        for (const QString &file : files) {
            const QString path = folder + file;
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(path));
            out.write("1\t1\t1\t1\ttext\r\n");
        }
        return QDir::cleanPath(folder) + QLatin1Char('/');
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        gModuleFolder = StartFolder;
        SettingsStore::instance().setValue(QStringLiteral("Module_Path"), QStringLiteral("ModulePath"),
                                           StartFolder);
        m_dirlistOpened = 0;
        frmDirlist::setShowModal([this] { ++m_dirlistOpened; });
    }
    void cleanup()
    {
        DefaultInstance<frmLocate>::release();
        DefaultInstance<frmDirlist>::release();
        m_fx.reset();
    }

    void showsTheCurrentAndTheDefaultFolder()
    {
        frmLocate form;
        QVERIFY2(desk().messageBoxes().isEmpty(), qPrintable(desk().lastMessage()));
        QCOMPARE(form.windowTitle(), QStringLiteral("Locate MODULE folder"));
        QCOMPARE(form.Label1->text(), StartFolder);
        QVERIFY(form.Label1->font().bold());
        QCOMPARE(form.Label4->text(), defaultFolder());
        QCOMPARE(frmLocate::DefaultModuleFolder(), defaultFolder());
        QVERIFY(form.Label4->font().bold());
        QCOMPARE(form.Label2->text(), GetMsg(1, 102));
        QCOMPARE(form.Label3->text(), GetMsg(0, 103));
        QCOMPARE(form.Label5->text(), GetMsg(0, 104));
        QCOMPARE(form.cmdDefault->text(), GetMsg(1, 181));
        QCOMPARE(form.cmdLocate->text(), GetMsg(1, 182));
        QCOMPARE(form.cmdClose->text(), GetMsg(1, 183));
        for (const QLabel *label : {form.Label2, form.Label3, form.Label5})
            QVERIFY(!label->text().isEmpty());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void bibleTest_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("typedSlash");
        QTest::addColumn<bool>("found");
        QTest::newRow("bible file") << QStringList{QStringLiteral("Bible/b_kjv.txt")} << true << true;
        QTest::newRow("names ignore case")
            << QStringList{QStringLiteral("BIBLE/B_WEB_UTF8.TXT")} << true << true;
        // The rule of start-up: a Bible file the module list does not name is none.
        QTest::newRow("not in the list") << QStringList{QStringLiteral("Bible/b_other.txt")} << true << false;
        QTest::newRow("no trailing slash")
            << QStringList{QStringLiteral("Bible/b_kjv.txt")} << false << false;
        QTest::newRow("not b_") << QStringList{QStringLiteral("Bible/kjv.txt"),
                                               QStringLiteral("Bible/ab_x.txt")}
                                << true << false;
        QTest::newRow("not .txt") << QStringList{QStringLiteral("Bible/b_kjv.idx")} << true << false;
        QTest::newRow("outside bible")
            << QStringList{QStringLiteral("b_kjv.txt"), QStringLiteral("Commentary/b_kjv.txt")} << true
            << false;
        QTest::newRow("folder named like a bible")
            << QStringList{QStringLiteral("Bible/b_dir.txt/x")} << true << false;
        QTest::newRow("empty") << QStringList{} << true << false;
    }
    void bibleTest()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, typedSlash);
        QFETCH(bool, found);
        QString folder = makeFolder(QStringLiteral("candidate"), files);
        if (!typedSlash)
            folder.chop(1);
        QCOMPARE(frmLocate::HasBibleModule(folder), found);
    }

    void defaultFolderWithABibleEndsTheProgram()
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/B_kjv.txt"), "1\t1\t1\t1\ttext\r\n");
        frmLocate form;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, form.cmdDefault_Click());
        QCOMPARE(desk().messageBoxes().size(), 1);
        const TestDesktop::Shown shown = desk().messageBoxes().first();
        QCOMPARE(shown.text, GetMsg(0, 9, QStringLiteral("Verbanox")));
        QVERIFY(shown.text.contains(QStringLiteral("Verbanox")));
        QCOMPARE(shown.style, 64);
        QCOMPARE(shown.title, QStringLiteral("Locate MODULE folder"));
        // Saved first, so the next start uses it.
        QCOMPARE(savedModulePath(), defaultFolder());
        QCOMPARE(gModuleFolder, defaultFolder());
    }

    void defaultFolderWithoutABibleIsSavedAnyway()
    {
        m_fx->writeFile(QStringLiteral("Modules/Bible/kjv.txt"), "1\t1\t1\t1\ttext\r\n");
        const QString bibleFolderBefore = gBibleFolder;
        frmLocate form;
        form.show();
        form.cmdDefault_Click();
        QCOMPARE(desk().messageBoxes().size(), 1);
        const TestDesktop::Shown shown = desk().messageBoxes().first();
        QCOMPARE(shown.text, GetMsg(0, 10, defaultFolder()));
        QVERIFY(shown.text.contains(defaultFolder()));
        QCOMPARE(shown.style, 0);
        QCOMPARE(shown.title, QString());
        QCOMPARE(savedModulePath(), defaultFolder());
        QCOMPARE(gModuleFolder, defaultFolder());
        // The running program keeps its module sub-folders; the window stays.
        QCOMPARE(gBibleFolder, bibleFolderBefore);
        QVERIFY(form.isVisible());
        QCOMPARE(form.Label1->text(), StartFolder);
    }

    void locateOpensThePicker()
    {
        frmLocate form;
        QTest::mouseClick(form.cmdLocate, Qt::LeftButton);
        QCOMPARE(m_dirlistOpened, 1);
        QCOMPARE(gModuleFolder, StartFolder);
    }

    void closingEitherWindowChangesNothing()
    {
        frmLocate &form = DefaultInstance<frmLocate>::get();
        form.show();
        form.cmdClose_Click();
        QVERIFY(!form.isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!DefaultInstance<frmLocate>::exists());

        frmDirlist &picker = DefaultInstance<frmDirlist>::get();
        picker.show();
        picker.Text1->setText(defaultFolder());
        QTest::mouseClick(picker.cmsClose, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!DefaultInstance<frmDirlist>::exists());

        QCOMPARE(gModuleFolder, StartFolder);
        QCOMPARE(savedModulePath(), StartFolder);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void pickerStartsInTheCurrentFolder()
    {
        const QString folder = makeFolder(QStringLiteral("start here"), {});
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder);
        frmDirlist picker;
        QDir::setCurrent(previous);
        QCOMPARE(picker.windowTitle(), QStringLiteral("Locate MODULE Folder"));
        QCOMPARE(picker.Label1->text(), QStringLiteral("Currently selected Folder"));
        QCOMPARE(picker.cmdDone->text(), GetMsg(1, 184));
        QCOMPARE(picker.cmsClose->text(), GetMsg(1, 185));
        QCOMPARE(picker.dirPath() + QLatin1Char('/'), folder);
        QCOMPARE(picker.Text1->text(), folder);
        // The innermost root that holds the folder is the one shown.
        QString holder;
        for (const QString &root : frmDirlist::driveRoots())
            if (folder.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/')) &&
                root.size() > holder.size())
                holder = root;
        QCOMPARE(picker.Drive1->currentText(), holder);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void pickerRootsAndFolders()
    {
        const QStringList roots = frmDirlist::driveRoots();
        QCOMPARE(roots.value(0), QStringLiteral("/"));
        QVERIFY(roots.contains(QDir::cleanPath(QDir::homePath())));
        QCOMPARE(QStringList(roots).removeDuplicates(), 0);
        for (const QString &root : roots)
            QVERIFY2(QFileInfo(root).isDir(), qPrintable(root));

        frmDirlist picker;
        const QString folder = makeFolder(QStringLiteral("picked"), {QStringLiteral("Bible/b_kjv.txt")});
        picker.setDirPath(folder);
        QCOMPARE(picker.Text1->text(), folder);

        // A folder chosen in the tree, as a click does.
        auto *model = qobject_cast<QFileSystemModel *>(picker.Dir1->model());
        QVERIFY(model);
        const QModelIndex bible = model->index(folder + QStringLiteral("Bible"));
        QVERIFY(bible.isValid());
        picker.Dir1->setCurrentIndex(bible);
        QCOMPARE(picker.Text1->text(), folder + QStringLiteral("Bible/"));

        // Choosing another root moves the tree there; the root's "/" is not doubled.
        const QString homePath = QDir::cleanPath(QDir::homePath());
        const int home = picker.Drive1->findText(homePath);
        if (home > 0) {
            picker.Drive1->setCurrentIndex(home);
            QCOMPARE(picker.dirPath(), homePath);
            QCOMPARE(picker.Text1->text(), homePath + QLatin1Char('/'));
            QCOMPARE(picker.Dir1->rootIndex(), model->index(homePath));
            picker.Drive1->setCurrentIndex(0);
        } else {
            // Only the root to choose: choose it again from elsewhere.
            picker.setDirPath(folder);
            picker.Drive1_Change();
        }
        QCOMPARE(picker.dirPath(), QStringLiteral("/"));
        QCOMPARE(picker.Text1->text(), QStringLiteral("/"));
        QCOMPARE(picker.Dir1->rootIndex(), model->index(QStringLiteral("/")));
    }

    // However the folder is typed, it is judged and saved as the same folder.
    void typedFolderIsNormalisedBeforeItIsJudged_data()
    {
        QTest::addColumn<QString>("typed"); // "F" stands for the folder without its final "/"
        QTest::addColumn<bool>("withBible");
        QTest::newRow("without the final slash") << QStringLiteral("F") << true;
        QTest::newRow("blanks around") << QStringLiteral("  F/ ") << true;
        QTest::newRow("doubled slashes") << QStringLiteral("F//") << true;
        QTest::newRow("through ..") << QStringLiteral("F/../typed") << true;
        QTest::newRow("name in other case") << QStringLiteral("F/../TYPED") << true;
        QTest::newRow("no Bible, without the final slash") << QStringLiteral("F") << false;
    }
    void typedFolderIsNormalisedBeforeItIsJudged()
    {
        QFETCH(QString, typed);
        QFETCH(bool, withBible);
        const QString folder =
            makeFolder(QStringLiteral("typed"),
                       {withBible ? QStringLiteral("Bible/b_kjv.txt") : QStringLiteral("x.txt")});
        typed.replace(QLatin1Char('F'), folder.chopped(1));
        frmDirlist picker;
        picker.show();
        picker.Text1->setText(typed);
        if (withBible) {
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, picker.cmdDone_Click());
            QCOMPARE(desk().lastMessage(), GetMsg(0, 9, QStringLiteral("Verbanox")));
        } else {
            picker.cmdDone_Click();
            QCOMPARE(desk().lastMessage(), GetMsg(0, 10, QString()));
            QCOMPARE(desk().messageBoxes().first().style, 16);
            QVERIFY(picker.isVisible());
        }
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(savedModulePath(), folder);
        QCOMPARE(gModuleFolder, folder);
    }

    // A folder that does not exist is refused and not saved; the window stays.
    void folderThatDoesNotExistIsRefused_data()
    {
        QTest::addColumn<bool>("byDefault");
        QTest::addColumn<QString>("typed");
        QTest::newRow("typed") << false << QStringLiteral("/no/such/modules/");
        QTest::newRow("typed without slash") << false << QStringLiteral("/no/such/modules");
        QTest::newRow("typed file") << false << QStringLiteral("F/b.txt");
        QTest::newRow("nothing typed") << false << QStringLiteral("   ");
        QTest::newRow("default") << true << QString();
    }
    void folderThatDoesNotExistIsRefused()
    {
        QFETCH(bool, byDefault);
        QFETCH(QString, typed);
        typed.replace(QLatin1Char('F'), makeFolder(QStringLiteral("typed"), {QStringLiteral("b.txt")}));
        QDialog *window = nullptr;
        frmLocate locate;
        frmDirlist picker;
        if (byDefault) {
            QVERIFY(QDir(defaultFolder()).removeRecursively());
            window = &locate;
            locate.show();
            locate.cmdDefault_Click();
        } else {
            window = &picker;
            picker.show();
            picker.Text1->setText(typed);
            picker.cmdDone_Click();
        }
        const QString refused = byDefault ? defaultFolder() : frmLocate::NormalizedFolder(typed);
        QCOMPARE(desk().messageBoxes().size(), 1);
        const TestDesktop::Shown shown = desk().messageBoxes().first();
        QCOMPARE(shown.text, GetMsg(0, 292, refused));
        QVERIFY(shown.text.startsWith(QStringLiteral("The folder ") + refused +
                                      QStringLiteral(" does not exist.")));
        QCOMPARE(shown.style, 48);
        QCOMPARE(shown.title, window->windowTitle());
        QCOMPARE(savedModulePath(), StartFolder);
        QCOMPARE(gModuleFolder, StartFolder);
        QVERIFY(window->isVisible());
    }

    void typedFolderWithABibleEndsTheProgram()
    {
        const QString folder = makeFolder(QStringLiteral("typed"), {QStringLiteral("bible/b_kjv.txt")});
        frmDirlist picker;
        picker.Text1->setText(folder);
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, picker.cmdDone_Click());
        QCOMPARE(desk().lastMessage(), GetMsg(0, 9, QStringLiteral("Verbanox")));
        QCOMPARE(desk().messageBoxes().first().title, QStringLiteral("Locate MODULE Folder"));
        QCOMPARE(savedModulePath(), folder);
    }

    // A module folder with Bibles ends the program so that the next start reads
    // it; when it cannot be stored the program goes on, and says why.
    void folderThatCannotBeStoredKeepsTheProgramRunning()
    {
        const QString folder = makeFolder(QStringLiteral("typed"), {QStringLiteral("bible/b_kjv.txt")});
        const QString store = SettingsStore::instance().filePath();
        QFile::remove(store);
        QDir().mkpath(store); // a folder where the file should be
        frmDirlist picker;
        picker.Text1->setText(folder);
        picker.cmdDone_Click();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().startsWith(GetMsg(0, 272, SettingsStore::instance().folder())));
        QVERIFY(desk().lastMessage().contains(store));
        QCOMPARE(gModuleFolder, folder);
    }
};

QTEST_MAIN(TestFrmLocate)
#include "tst_frmlocate.moc"
