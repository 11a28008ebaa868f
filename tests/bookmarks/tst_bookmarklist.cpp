#include "bookmarks/frmBookmarkAdd.h"
#include "bookmarks/frmBookmarkList.h"
#include "common/FileSizeLimit.h"
#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/BookmarkRecords.h"
#include "core/DateFormatText.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "core/MsgSupport.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/ChmViewer.h"
#include "platform/DefaultInstance.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/ModalOpener.h"
#include "platform/RichTextBox.h"
#include "platform/RtfWriter.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>
#include <cerrno>
#include <cstring>

namespace {
const QByteArray Fixture = "\"Psalm 23\",\"Comfort\",\"01-Jan-2023\",\"PSA 023:001\",\"Psalm23.rtf\"\r\n"
                           "\"Love, faith and hope\",\"Paul's letters, 1\",\"02-Jan-2023\",\"1CO 013:013\","
                           "\"Lovefaithandhope.rtf\"\r\n";
const QString PsalmText = QStringLiteral("The Lord is my shepherd");
const QString LoveText = QStringLiteral("Faith, hope and love abide");
const QString PaneText = QStringLiteral("Search results and my notes");

enum Close { ByOK, ByCancel, ByFrame };

// The fields of every record in the record file, as the next start reads them.
QList<QStringList> fileRecords()
{
    QList<QStringList> records;
    RecordReader reader = RecordReader::fromFile(BookmarkRecords::RecordFile());
    while (!reader.atEnd())
        records.append(reader.readRecord());
    return records;
}

QStringList fileTitles()
{
    QStringList titles;
    for (const QStringList &record : fileRecords())
        titles.append(record.value(0));
    return titles;
}

QString documentText(const QString &name)
{
    RichTextBox box;
    box.LoadFile(BookmarkRecords::DocumentFolder() + name);
    return box.Text();
}
} // namespace

class TestBookmarkList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<RichTextBox> m_pane;
    std::unique_ptr<QWidget> m_workspace;
    std::function<void(frmBookmarkAdd &)> m_inDialog;
    int m_askAnswer = 0;
    bool m_askSaves = false;
    int m_asked = 0;
    QString m_fileName;
    QStringList m_renamed; // "from > to", as the workspace was told
    // Runs as a new document's name is checked, before it is taken.
    std::function<void(const QString &path)> m_meanwhile;

    TestDesktop &desk() { return m_fx->desk(); }
    static frmBookmarkList &list() { return frmBookmarkList::Instance(); }
    static QStringList listTitles()
    {
        QStringList titles;
        for (int i = 0; i < list().LV->topLevelItemCount(); ++i)
            titles.append(list().LV->topLevelItem(i)->text(0));
        return titles;
    }
    static std::function<void(frmBookmarkAdd &)> fill(const QString &title, Close how = ByOK,
                                                      const QString &category = QString())
    {
        return [=](frmBookmarkAdd &dialog) {
            dialog.tTitle->setText(title);
            dialog.tCategory->setText(category);
            dialog.cboBook->setEditText(QStringLiteral("GEN"));
            dialog.tChapter->setText(QStringLiteral("3"));
            dialog.tVerse->setText(QStringLiteral("16"));
            if (how == ByOK)
                dialog.cmdOK->click();
            else if (how == ByCancel)
                dialog.cmdCancel->click();
            else
                dialog.close();
        };
    }
    void selectAndShow(int row)
    {
        list().show();
        list().SelectRow(row);
    }
    // The program starts again: the records and the list are read anew.
    void restart()
    {
        DefaultInstance<frmBookmarkList>::release();
        BookmarkRecords::Instance().Clear();
        gBookmarksLoaded = false;
        BookmarkRecords::LoadBookmarks();
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), Fixture);
        QVERIFY(QDir().mkpath(BookmarkRecords::DocumentFolder()));
        RichTextBox writer;
        writer.setText(PsalmText);
        writer.SaveFile(BookmarkRecords::DocumentFolder() + QStringLiteral("Psalm23.rtf"));
        writer.setText(LoveText);
        writer.SaveFile(BookmarkRecords::DocumentFolder() + QStringLiteral("Lovefaithandhope.rtf"));

        m_pane = std::make_unique<RichTextBox>();
        m_pane->setText(PaneText);
        m_pane->document()->setModified(false);
        m_workspace = std::make_unique<QWidget>();
        m_askAnswer = 0;
        m_askSaves = false;
        m_asked = 0;
        m_fileName.clear();
        m_renamed.clear();
        WorkspaceDocument::Access access{
            [this] { return m_pane.get(); }, [this] { return m_workspace.get(); }, {}};
        access.askToSave = [this] {
            ++m_asked;
            if (m_askSaves)
                m_pane->document()->setModified(false);
            return m_askAnswer;
        };
        access.showFile = [this](const QString &path) {
            m_pane->LoadFile(FileNames::resolve(path));
            m_fileName = path;
        };
        access.fileRenamed = [this](const QString &from, const QString &to) {
            m_renamed << from + QStringLiteral(" > ") + to;
        };
        // As the workspace does: a copy of the document, which says itself why
        // it could not be written.
        access.saveCopy = [this](const QString &path) {
            try {
                TextFiles::writeAtomically(path, RtfWriter::write(*m_pane->document()));
                return true;
            } catch (const RuntimeError &e) {
                desk().messageBox(QStringLiteral("Not saved: ") + e.description(), MsgBoxStyle::Exclamation,
                                  QString());
                return false;
            }
        };
        // As the workspace does: the document becomes the new file's.
        access.saveNew = [this](const auto &names, const auto &taken) {
            try {
                m_fileName = TextFiles::writeNew(names, RtfWriter::write(*m_pane->document()),
                                                 [&](const QString &name) {
                                                     m_meanwhile(name);
                                                     return taken(name);
                                                 });
                m_pane->document()->setModified(false);
                return m_fileName;
            } catch (const RuntimeError &e) {
                desk().messageBox(QStringLiteral("Not saved: ") + e.description(), MsgBoxStyle::Exclamation,
                                  QString());
                return QString();
            }
        };
        WorkspaceDocument::Register(access);
        m_meanwhile = [](const QString &) {};
        m_inDialog = fill(QString(), ByCancel);
        ModalOpener<frmBookmarkAdd>::replace([this] {
            frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
            dialog.show();
            m_inDialog(dialog);
            QVERIFY(!dialog.isVisible());
        });
        frmBookmarkList::Register();
        BookmarkRecords::LoadBookmarks();
    }
    void cleanup()
    {
        m_pane.reset();
        m_workspace.reset();
        m_fx.reset();
    }

    void showsTheRecords()
    {
        QVERIFY(!DefaultInstance<frmBookmarkList>::exists());
        QWidget *window = MenuTargets::Get(MenuTargets::BookmarkList).instance();
        QCOMPARE(window, &list());
        QVERIFY(!window->isVisible());
        window->setVisible(true);
        QCOMPARE(list().windowTitle(), QStringLiteral("Bookmarks"));
        QStringList headers;
        for (int i = 0; i < 5; ++i)
            headers.append(list().LV->headerItem()->text(i));
        QCOMPARE(headers, (QStringList{"Title", "Category", "Date Added", "Bible Reference", "FileName"}));
        QCOMPARE(list().cmdGoto->text(), QStringLiteral("&Go To"));
        QCOMPARE(list().LV->topLevelItemCount(), 2);
        QTreeWidgetItem *love = list().LV->topLevelItem(1);
        QCOMPARE((QStringList{love->text(0), love->text(1), love->text(2), love->text(3), love->text(4)}),
                 (QStringList{"Love, faith and hope", "Paul's letters, 1", "02-Jan-2023", "1CO 013:013",
                              "Lovefaithandhope.rtf"}));
        // The buttons sit right-aligned along the bottom edge, Close last.
        QVERIFY(list().cmdClose->geometry().right() > list().cmdAdd->geometry().right());
        QVERIFY(list().LV->geometry().bottom() < list().Picture1->geometry().top());
    }

    void add_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("fileName"); // empty: nothing added
        QTest::addColumn<QString>("boxTitle"); // the message shown, if any
        QTest::newRow("new") << "Sermon notes" << int(ByOK) << "Sermonnotes.rtf"
                             << "";
        QTest::newRow("whole title differs") << "Psalm 23 again" << int(ByOK) << "Psalm23again.rtf"
                                             << "";
        QTest::newRow("name of another document") << "Psalm 23!" << int(ByOK) << "Psalm23_2.rtf"
                                                  << "";
        QTest::newRow("Greek title keeps its letters")
            << "\u03A8\u03B1\u03BB\u03BC\u03CC\u03C2 23" << int(ByOK)
            << "\u03A8\u03B1\u03BB\u03BC\u03CC\u03C223.rtf"
            << "";
        QTest::newRow("title of another in other case") << "PSALM 23" << int(ByOK) << ""
                                                        << "Duplicate Found";
        QTest::newRow("empty title") << "" << int(ByOK) << ""
                                     << "";
        QTest::newRow("cancelled") << "New one" << int(ByCancel) << ""
                                   << "";
        QTest::newRow("closed by the frame") << "New one" << int(ByFrame) << ""
                                             << "";
    }
    void add()
    {
        QFETCH(QString, title);
        QFETCH(int, how);
        QFETCH(QString, fileName);
        QFETCH(QString, boxTitle);
        list().show();
        m_inDialog = fill(title, Close(how), QStringLiteral("Mine, \"quoted\""));
        list().cmdAdd->click();

        QStringList titles{"Psalm 23", "Love, faith and hope"};
        if (!fileName.isEmpty())
            titles.append(title);
        // Written at once, not only when the list closes.
        QCOMPARE(fileTitles(), titles);
        QCOMPARE(listTitles(), titles);
        QCOMPARE(desk().messageBoxes().size(), boxTitle.isEmpty() ? 0 : 1);
        if (!boxTitle.isEmpty())
            QCOMPARE(desk().messageBoxes().first().title, boxTitle);
        QCOMPARE(documentText(QStringLiteral("Psalm23.rtf")), PsalmText);
        QCOMPARE(frmBookmarkAdd::Instance().windowTitle(), QStringLiteral("Add Bookmark"));
        if (fileName.isEmpty()) {
            QCOMPARE(QDir(BookmarkRecords::DocumentFolder()).count(), 2 + 2u);
            return;
        }
        QCOMPARE(fileRecords().last(),
                 (QStringList{title, "Mine, 'quoted'", DateFormatText::Format(desk().clock, gDateFormat),
                              "GEN 003:016", fileName}));
        QCOMPARE(documentText(fileName), PaneText);
        QCOMPARE(list().SelectedRow(), 2);
    }

    void emptyTitleAddsNothingWhateverTheReference_data()
    {
        QTest::addColumn<QString>("chapter");     // refused on the first try
        QTest::addColumn<bool>("triedAgain");     // the first try was cancelled, a second Add made
        QTest::addColumn<bool>("untitledExists"); // another bookmark has no title
        QTest::newRow("title cleared after the refusal") << "999" << false << false;
        QTest::newRow("refused chapter kept for the next add") << "999" << true << false;
        QTest::newRow("chapter not a number kept for the next add") << "abc" << true << false;
        QTest::newRow("a bookmark without a title") << "999" << true << true;
    }
    // OK with an empty title adds nothing and says nothing, not even of a
    // chapter that the boxes still hold from a refused try or of a duplicate.
    void emptyTitleAddsNothingWhateverTheReference()
    {
        QFETCH(QString, chapter);
        QFETCH(bool, triedAgain);
        QFETCH(bool, untitledExists);
        QByteArray records = Fixture;
        if (untitledExists) {
            records += "\"\",\"\",\"03-Jan-2023\",\"GEN 001:001\",\"Psalm23.rtf\"\r\n";
            m_fx->writeFile(QStringLiteral("Bookmarks.txt"), records);
            restart();
        }
        list().show();
        const auto refusedTry = [&](frmBookmarkAdd &dialog) {
            dialog.tTitle->setText(QStringLiteral("Sermon notes"));
            dialog.cboBook->setEditText(QStringLiteral("GEN"));
            dialog.tChapter->setText(chapter);
            dialog.tVerse->setText(QStringLiteral("1"));
            dialog.cmdOK->click();
            QVERIFY(dialog.isVisible());
        };
        const auto emptyTitle = [](frmBookmarkAdd &dialog) {
            dialog.tTitle->clear();
            dialog.cmdOK->click();
        };
        if (triedAgain) {
            m_inDialog = [&](frmBookmarkAdd &dialog) {
                refusedTry(dialog);
                dialog.cmdCancel->click();
            };
            list().cmdAdd->click();
            m_inDialog = emptyTitle;
        } else {
            m_inDialog = [&](frmBookmarkAdd &dialog) {
                refusedTry(dialog);
                emptyTitle(dialog);
            };
        }
        list().cmdAdd->click();
        // The refusal of the first try, and nothing since.
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 157, QStringLiteral("150")));
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), records);
        QCOMPARE(listTitles().size(), untitledExists ? 3 : 2);
        QCOMPARE(list().SelectedRow(), listTitles().size() - 1);
        QCOMPARE(QDir(BookmarkRecords::DocumentFolder()).count(), 2 + 2u);
    }

    // A new row joins the list; the rows already shown stay as they are.
    void addAppendsOneRow()
    {
        list().show();
        const QList<QTreeWidgetItem *> before{list().LV->topLevelItem(0), list().LV->topLevelItem(1)};
        m_inDialog = fill(QStringLiteral("Sermon notes"));
        list().cmdAdd->click();
        QCOMPARE(list().LV->topLevelItemCount(), 3);
        QCOMPARE(list().LV->topLevelItem(0), before[0]);
        QCOMPARE(list().LV->topLevelItem(1), before[1]);
        QCOMPARE(list().LV->topLevelItem(2)->text(4), QStringLiteral("Sermonnotes.rtf"));
        QCOMPARE(list().SelectedRow(), 2);
    }

    // Another copy adds a bookmark of the same title while this one writes its
    // document: neither document is replaced, this one takes the next name, and
    // the list selects the row it added, not the other copy's after it.
    void addBesideAnotherCopysBookmark()
    {
        const QString theirs = BookmarkRecords::DocumentFolder() + QStringLiteral("Notes.rtf");
        m_meanwhile = [&theirs](const QString &path) {
            if (path != theirs)
                return;
            TextFiles::writeAtomically(theirs, "{\\rtf1 Their notes}");
            BookmarkRecords other;
            other.Read();
            other.Append({"Notes", "Theirs", "", "", "Notes.rtf"});
            other.Save();
        };
        list().show();
        m_inDialog = fill(QStringLiteral("Notes"));
        list().cmdAdd->click();
        QCOMPARE(documentText(QStringLiteral("Notes.rtf")), QStringLiteral("Their notes"));
        QCOMPARE(documentText(QStringLiteral("Notes_2.rtf")), PaneText);
        QCOMPARE(fileRecords().value(2).value(4), QStringLiteral("Notes_2.rtf"));
        QCOMPARE(listTitles(), (QStringList{"Psalm 23", "Love, faith and hope", "Notes", "Notes"}));
        QCOMPARE(list().SelectedRow(), 2);
    }

    // The disk fills up while the document is written: no row, and the record
    // file as it was.
    void addOnAFullDisk()
    {
        list().show();
        m_inDialog = fill(QStringLiteral("Sermon notes"));
        {
            const FileSizeLimit limit(16);
            list().cmdAdd->click();
        }
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(listTitles().size(), 2);
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), Fixture);
        QCOMPARE(QDir(BookmarkRecords::DocumentFolder()).entryList(QDir::Files).size(), 2);
    }

    // The record file cannot be replaced (the disk fills up): the reader is told
    // which file and the system's reason in a plain message, not asked to report
    // a bug, and the file stays as it was.
    void listSavedOnAFullDisk_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("Delete") << 0;
        QTest::newRow("column sort") << 1;
        QTest::newRow("Close") << 2;
    }
    void listSavedOnAFullDisk()
    {
        QFETCH(int, command);
        selectAndShow(0);
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        {
            const FileSizeLimit limit(64);
            if (command == 0)
                list().cmdDelete->click();
            else if (command == 1)
                list().LV->header()->sectionClicked(0);
            else
                list().cmdClose->click();
        }
        const TestDesktop::Shown told = desk().messageBoxes().last();
        QVERIFY2(
            told.text.startsWith(GetMsg(0, 293, QDir::toNativeSeparators(BookmarkRecords::RecordFile()))),
            qPrintable(told.text));
        QVERIFY2(told.text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(told.text));
        QVERIFY2(!told.text.contains(QLatin1String("report")), qPrintable(told.text));
        QCOMPARE(told.title, QString());
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), Fixture);
        // The list is not closed over changes that are not on disk.
        QVERIFY(list().isVisible());
    }

    void addSavesTheDocumentFirst()
    {
        QVERIFY(QDir(BookmarkRecords::DocumentFolder()).removeRecursively());
        m_fx->writeFile(QStringLiteral("Bookmarks"), "a file where the folder should be");
        list().show();
        m_inDialog = fill(QStringLiteral("Sermon notes"));
        list().cmdAdd->click();
        QVERIFY(desk().lastMessage().startsWith(QStringLiteral("Not saved: ")));
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(listTitles().size(), 2);
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), Fixture);
    }

    void edit_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("how");
        QTest::addColumn<QStringList>("record"); // the row's record afterwards
        const QStringList psalm{"Psalm 23", "Comfort", "01-Jan-2023", "PSA 023:001", "Psalm23.rtf"};
        const QStringList love{"Love, faith and hope", "Paul's letters, 1", "02-Jan-2023", "1CO 013:013",
                               "Lovefaithandhope.rtf"};
        QTest::newRow("new title renames the document")
            << 0 << "Psalm 23 notes" << int(ByOK)
            << QStringList{"Psalm 23 notes", "New", "01-Jan-2023", "GEN 003:016", "Psalm23notes.rtf"};
        QTest::newRow("own title kept")
            << 0 << "Psalm 23" << int(ByOK)
            << QStringList{"Psalm 23", "New", "01-Jan-2023", "GEN 003:016", "Psalm23.rtf"};
        QTest::newRow("quote in the title")
            << 1 << "Faith \"and\" hope" << int(ByOK)
            << QStringList{"Faith 'and' hope", "New", "02-Jan-2023", "GEN 003:016", "Faithandhope.rtf"};
        QTest::newRow("name of another document")
            << 1 << "Psalm 23." << int(ByOK)
            << QStringList{"Psalm 23.", "New", "02-Jan-2023", "GEN 003:016", "Psalm23_2.rtf"};
        QTest::newRow("another row's title") << 0 << "love, FAITH and hope" << int(ByOK) << psalm;
        QTest::newRow("cancelled") << 1 << "Changed" << int(ByCancel) << love;
        QTest::newRow("closed by the frame") << 1 << "Changed" << int(ByFrame) << love;
    }
    void edit()
    {
        QFETCH(int, row);
        QFETCH(QString, title);
        QFETCH(int, how);
        QFETCH(QStringList, record);
        const QString oldName = fileRecords().at(row).at(4);
        const QString oldText = documentText(oldName);
        selectAndShow(row);
        m_inDialog = [&](frmBookmarkAdd &dialog) {
            // The dialog shows the bookmark's own values, its date included.
            QCOMPARE(dialog.sBookChVs(), fileRecords().at(row).at(3));
            QCOMPARE(dialog.sDate(), fileRecords().at(row).at(2));
            fill(title, Close(how), QStringLiteral("New"))(dialog);
        };
        list().cmdEdit->click();
        QCOMPARE(frmBookmarkAdd::Instance().windowTitle(), QStringLiteral("Edit Bookmark"));
        QCOMPARE(fileRecords().at(row), record);
        QCOMPARE(documentText(record.at(4)), oldText);
        QCOMPARE(QFile::exists(BookmarkRecords::DocumentFolder() + oldName), oldName == record.at(4));
        // The workspace follows a renamed document.
        const QString folder = BookmarkRecords::DocumentFolder();
        QCOMPARE(m_renamed, oldName == record.at(4) ? QStringList()
                                                    : QStringList{folder + oldName + QStringLiteral(" > ") +
                                                                  folder + record.at(4)});
        // Another row's document is never touched.
        QCOMPARE(documentText(fileRecords().at(1 - row).at(4)), row == 0 ? LoveText : PsalmText);
    }

    void editThatCannotBeStoredKeepsTheRecordAndItsDocument()
    {
        // The record file cannot be replaced: a folder stands in its place.
        QVERIFY(QFile::remove(BookmarkRecords::RecordFile()));
        QVERIFY(QDir().mkpath(BookmarkRecords::RecordFile()));
        selectAndShow(0);
        m_inDialog = fill(QStringLiteral("Psalm 23 notes"));
        list().cmdEdit->click();
        QCOMPARE(desk().messageBoxes().size(), 1);
        // The row and its document stay as the stored record names them.
        QCOMPARE(BookmarkRecords::Instance().Rows().at(0).title, QStringLiteral("Psalm 23"));
        QCOMPARE(BookmarkRecords::Instance().Rows().at(0).fileName, QStringLiteral("Psalm23.rtf"));
        QCOMPARE(list().LV->topLevelItem(0)->text(0), QStringLiteral("Psalm 23"));
        QCOMPARE(documentText(QStringLiteral("Psalm23.rtf")), PsalmText);
        QVERIFY(!QFile::exists(BookmarkRecords::DocumentFolder() + QStringLiteral("Psalm23notes.rtf")));
        // The workspace followed the document there and back.
        QCOMPARE(m_renamed.size(), 2);
        QVERIFY(m_renamed.last().endsWith(QStringLiteral(" > ") + BookmarkRecords::DocumentFolder() +
                                          QStringLiteral("Psalm23.rtf")));
        QVERIFY(QDir().rmdir(BookmarkRecords::RecordFile()));
    }

    void failedRenameKeepsTheOldName()
    {
        QVERIFY(QFile::remove(BookmarkRecords::DocumentFolder() + QStringLiteral("Psalm23.rtf")));
        selectAndShow(0);
        m_inDialog = fill(QStringLiteral("Psalm 23 notes"));
        list().cmdEdit->click();
        QCOMPARE(fileRecords().at(0).at(0), QStringLiteral("Psalm 23 notes"));
        QCOMPARE(fileRecords().at(0).at(4), QStringLiteral("Psalm23.rtf"));
        QVERIFY(m_renamed.isEmpty());
    }

    void remove_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("shared"); // a third row names the first row's document
        QTest::newRow("No keeps it") << int(MsgBoxResult::No) << false;
        QTest::newRow("Yes deletes row and document") << int(MsgBoxResult::Yes) << false;
        QTest::newRow("Yes keeps a shared document") << int(MsgBoxResult::Yes) << true;
    }
    void remove()
    {
        QFETCH(int, answer);
        QFETCH(bool, shared);
        if (shared) {
            m_fx->writeFile(QStringLiteral("Bookmarks.txt"),
                            Fixture + "\"Same document\",\"\",\"\",\"\",\"psalm23.rtf\"\r\n");
            restart();
        }
        const int rows = listTitles().size();
        selectAndShow(0);
        desk().messageBoxAnswers = {answer};
        list().cmdDelete->click();
        QCOMPARE(desk().messageBoxes().first().title, QStringLiteral("Confirm Delete"));
        QVERIFY(desk().messageBoxes().first().text.contains(QLatin1String("\"Psalm 23\"")));
        const bool deleted = answer == MsgBoxResult::Yes;
        QCOMPARE(fileRecords().size(), rows - (deleted ? 1 : 0));
        QCOMPARE(fileTitles().contains(QStringLiteral("Psalm 23")), !deleted);
        QCOMPARE(QFile::exists(BookmarkRecords::DocumentFolder() + QStringLiteral("Psalm23.rtf")),
                 !deleted || shared);
    }

    void commandsWithoutASelection()
    {
        list().show();
        list().LV->clearSelection();
        list().cmdDelete->click();
        QVERIFY(desk().messageBoxes().isEmpty());
        // Edit and Go to report under their own names; the list stays open.
        list().cmdEdit->click();
        list().cmdGoto->click();
        QCOMPARE(desk().messageBoxes().size(), 2);
        QVERIFY(desk().messageBoxes()[0].text.contains(QLatin1String("frmBookmarkList.cmdEdit_Click()")));
        QVERIFY(desk().messageBoxes()[1].text.contains(QLatin1String("frmBookmarkList.cmdGoto_Click()")));
        QVERIFY(desk().messageBoxes()[1].text.contains(QLatin1String("No bookmark is selected")));
        QVERIFY(list().isVisible());
        list().cmdUpdate->click();
        QCOMPARE(desk().messageBoxes().size(), 3);
        QCOMPARE(desk().messageBoxes().last().title, QStringLiteral("No Bookmark."));
        QCOMPARE(desk().messageBoxes().last().text, GetMsg(0, 5));
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), Fixture);
        QCOMPARE(m_pane->Text(), PaneText);
    }

    void goTo_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saves");
        QTest::addColumn<bool>("opened");
        QTest::newRow("unchanged document") << false << 0 << false << true;
        QTest::newRow("changed, No") << true << 0 << false << true;
        QTest::newRow("changed, Cancel") << true << -1 << false << false;
        QTest::newRow("changed, Yes, saved") << true << 2 << true << true;
        QTest::newRow("changed, Yes, save cancelled") << true << 2 << false << false;
    }
    void goTo()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, saves);
        QFETCH(bool, opened);
        m_pane->document()->setModified(changed);
        m_askAnswer = answer;
        m_askSaves = saves;
        selectAndShow(1);
        QVERIFY(QTest::qWaitForWindowExposed(&list()));
        const QPoint row = list().LV->visualItemRect(list().LV->topLevelItem(1)).center();
        // The view takes a double click on the row that the first click pressed.
        QTest::mouseClick(list().LV->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(list().LV->viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(m_asked, changed ? 1 : 0);
        QCOMPARE(m_pane->Text(), opened ? LoveText : PaneText);
        QCOMPARE(list().isVisible(), !opened);
        if (!opened)
            return;
        QCOMPARE(m_fileName, gProgramFolder + QStringLiteral("Bookmarks/Lovefaithandhope.rtf"));
    }

    // The document's file is named as the data's fault before the workspace's
    // changed document is asked about; nothing is replaced.
    void goToAMissingDocument()
    {
        const QString document = BookmarkRecords::DocumentFolder() + QStringLiteral("Psalm23.rtf");
        QVERIFY(QFile::remove(document));
        m_pane->document()->setModified(true);
        selectAndShow(0);
        list().cmdGoto->click();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 47, document));
        QCOMPARE(desk().messageBoxes().first().style, int(MsgBoxStyle::Exclamation));
        QCOMPARE(m_asked, 0);
        QVERIFY(list().isVisible());
        QCOMPARE(m_pane->Text(), PaneText);
        QVERIFY(m_pane->document()->isModified());
    }

    void update_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("written") << true;
        QTest::newRow("cannot be written") << false;
    }
    // The workspace writes its document over the bookmark's; when it cannot, it
    // says why and the list stays.
    void update()
    {
        QFETCH(bool, writable);
        const QString psalm = BookmarkRecords::DocumentFolder() + QStringLiteral("Psalm23.rtf");
        if (!writable)
            QVERIFY(QFile::remove(psalm) && QDir().mkpath(psalm));
        selectAndShow(0);
        list().cmdUpdate->click();
        QCOMPARE(documentText(QStringLiteral("Lovefaithandhope.rtf")), LoveText);
        QCOMPARE(list().isVisible(), !writable);
        if (writable) {
            QVERIFY(desk().messageBoxes().isEmpty());
            QCOMPARE(documentText(QStringLiteral("Psalm23.rtf")), PaneText);
            return;
        }
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().startsWith(QStringLiteral("Not saved: Cannot write ") + psalm));
    }

    // A record that names a document outside the folder is refused; that file
    // is never read, written or deleted.
    void recordNamingAParentPath()
    {
        m_fx->writeFile(QStringLiteral("x"), "outside");
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"), Fixture + "\"Evil\",\"\",\"\",\"\",\"../x\"\r\n");
        restart();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QVERIFY(desk().lastMessage().contains(QLatin1String("\"../x\" is not a plain file name")));
        list().show();
        QCOMPARE(listTitles(), (QStringList{"Psalm 23", "Love, faith and hope"}));
        desk().messageBoxAnswers = {MsgBoxResult::Yes, MsgBoxResult::Yes};
        list().SelectRow(0);
        list().cmdUpdate->click();
        for (int i = 0; i < 2; ++i) {
            list().show();
            list().SelectRow(0);
            list().cmdDelete->click();
        }
        list().cmdClose->click();
        QCOMPARE(m_fx->readFile(QStringLiteral("x")), QByteArray("outside"));
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), QByteArray());
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks.txt.bad")).contains("../x"));
    }

    // Every command writes the record file: a program ended without closing
    // the list loses nothing.
    void restartSeesEveryChange()
    {
        list().show();
        m_inDialog = fill(QStringLiteral("Sermon notes"));
        list().cmdAdd->click();
        list().SelectRow(0);
        m_inDialog = fill(QStringLiteral("Psalm 23 notes"));
        list().cmdEdit->click();
        list().SelectRow(1);
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        list().cmdDelete->click();
        list().LV->header()->sectionClicked(0); // descending by title
        const QList<BookmarkRecord> before = BookmarkRecords::Instance().Rows();
        QCOMPARE(before.size(), 2);
        QCOMPARE(before.first().title, QStringLiteral("Sermon notes"));

        restart();
        QCOMPARE(BookmarkRecords::Instance().Rows(), before);
        QVERIFY(desk().messageBoxes().size() == 1); // the delete question only
        list().show();
        QCOMPARE(listTitles(), (QStringList{"Sermon notes", "Psalm 23 notes"}));
        QCOMPARE(documentText(QStringLiteral("Psalm23notes.rtf")), PsalmText);
        QCOMPARE(documentText(QStringLiteral("Sermonnotes.rtf")), PaneText);
    }

    void columnSort()
    {
        m_inDialog = fill(QStringLiteral("Beatitudes"), ByOK, QStringLiteral("Blessings"));
        list().show();
        list().cmdAdd->click();
        QTreeWidget *lv = list().LV;
        lv->header()->sectionClicked(0); // first click: descending
        QCOMPARE(fileTitles(), (QStringList{"Psalm 23", "Love, faith and hope", "Beatitudes"}));
        QCOMPARE(list().SelectedRow(), 2); // the same bookmark stays selected
        lv->header()->sectionClicked(1);   // the next click, on any column: ascending
        QCOMPARE(fileTitles(), (QStringList{"Beatitudes", "Psalm 23", "Love, faith and hope"}));
        QCOMPARE(listTitles(), fileTitles());
    }

    void placementWhenShownNotWhenActivated()
    {
        SettingsStore &store = SettingsStore::instance();
        const auto twipsX = [](int pixels) { return QString::number(Twips::fromPixelsX(pixels)); };
        const auto twipsY = [](int pixels) { return QString::number(Twips::fromPixelsY(pixels)); };
        store.setValue(QStringLiteral("Settings"), QStringLiteral("BookmarkLeft"), twipsX(40));
        store.setValue(QStringLiteral("Settings"), QStringLiteral("BookmarkTop"), twipsY(30));
        store.setValue(QStringLiteral("Settings"), QStringLiteral("BookmarkWidth"), twipsX(640));
        store.setValue(QStringLiteral("Settings"), QStringLiteral("BookmarkHeight"), twipsY(400));
        list().show();
        QCOMPARE(list().pos(), QPoint(40, 30));
        QCOMPARE(list().size(), QSize(640, 400));
        list().move(90, 80);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&list(), &activate);
        QCOMPARE(list().pos(), QPoint(90, 80));

        list().close(); // the frame's close box: hidden, written, placement stored
        QVERIFY(DefaultInstance<frmBookmarkList>::exists());
        QVERIFY(!list().isVisible());
        QCOMPARE(store.value(QStringLiteral("Settings"), QStringLiteral("BookmarkLeft"), QString()),
                 twipsX(90));
        list().move(0, 0);
        list().show();
        QCOMPARE(list().pos(), QPoint(90, 80));
        QCOMPARE(listTitles().size(), 2);
    }

    void placementOffTheDesktopTakesTheDefaults()
    {
        SettingsStore &store = SettingsStore::instance();
        for (const char *key : {"BookmarkLeft", "BookmarkTop", "BookmarkWidth", "BookmarkHeight"})
            store.setValue(QStringLiteral("Settings"), QLatin1String(key), QStringLiteral("3e38"));
        list().show();
        QCOMPARE(list().pos(), QPoint(0, 0));
        // The default size (no narrower than the window's layout allows).
        QCOMPARE(list().height(), Twips::toPixelsY(5000));
        QVERIFY(list().width() < QGuiApplication::primaryScreen()->geometry().width());
    }

    void firstRunClosesToAnEmptyFile()
    {
        QVERIFY(QFile::remove(BookmarkRecords::RecordFile()));
        restart();
        QVERIFY(!gBookmarksLoaded);
        list().show();
        QCOMPARE(listTitles(), QStringList());
        list().cmdClose->click();
        QVERIFY(QFile::exists(BookmarkRecords::RecordFile()));
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks.txt")), QByteArray());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void referenceText_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("chapter");
        QTest::addColumn<QString>("verse");
        QTest::addColumn<QString>("reference");
        QTest::newRow("numbers padded") << "GEN"
                                        << "3"
                                        << "16"
                                        << "GEN 003:016";
        QTest::newRow("three digits and more") << "PSA"
                                               << "119"
                                               << "1176"
                                               << "PSA 119:1176";
        QTest::newRow("text as typed") << "SONG_OF"
                                       << "ii"
                                       << ""
                                       << "SONG_OF ii:";
        QTest::newRow("empty boxes") << ""
                                     << ""
                                     << ""
                                     << " :";
    }
    void referenceText()
    {
        QFETCH(QString, book);
        QFETCH(QString, chapter);
        QFETCH(QString, verse);
        QFETCH(QString, reference);
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        dialog.cboBook->setEditText(book);
        dialog.tChapter->setText(chapter);
        dialog.tVerse->setText(verse);
        QCOMPARE(dialog.sBookChVs(), reference);
        dialog.setSBookChVs(reference);
        QCOMPARE((QStringList{dialog.cboBook->currentText(), dialog.tChapter->text(), dialog.tVerse->text()}),
                 (QStringList{book, FormatPart(chapter), FormatPart(verse)}));
    }
    static QString FormatPart(const QString &text) { return frmBookmarkAdd::FormatNumberPart(text); }

    // OK takes a reference only when it names a chapter and verse of a book of
    // the list, counted by Bible 0 where it has the book; anything else is
    // refused and the dialog stays open.
    void referenceChecks_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("chapter");
        QTest::addColumn<QString>("verse");
        QTest::addColumn<int>("message"); // 0: taken
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("reference");
        QTest::newRow("chapter not a number") << "RUT"
                                              << "abc"
                                              << "1" << 157 << "4"
                                              << "";
        QTest::newRow("verse past the chapter") << "RUT"
                                                << "1"
                                                << "99999" << 158 << "3"
                                                << "";
        QTest::newRow("empty boxes") << "RUT"
                                     << ""
                                     << "" << 157 << "4"
                                     << "";
        QTest::newRow("chapter past the book") << "RUT"
                                               << "5"
                                               << "1" << 157 << "4"
                                               << "";
        QTest::newRow("verse 0") << "RUT"
                                 << "1"
                                 << "0" << 158 << "3"
                                 << "";
        QTest::newRow("not a book") << "XYZ"
                                    << "1"
                                    << "1" << 156 << "XYZ"
                                    << "";
        QTest::newRow("empty book") << ""
                                    << "1"
                                    << "1" << 156 << ""
                                    << "";
        QTest::newRow("last verse, book in lower case") << "rut"
                                                        << " 4 "
                                                        << "2" << 0 << ""
                                                        << "RUT 004:002";
        QTest::newRow("stored form") << "RUT"
                                     << "001"
                                     << "003" << 0 << ""
                                     << "RUT 001:003";
        QTest::newRow("book Bible 0 lacks") << "GEN"
                                            << "50"
                                            << "26" << 0 << ""
                                            << "GEN 050:026";
        QTest::newRow("past any book") << "GEN"
                                       << "151"
                                       << "1" << 157 << "150"
                                       << "";
        QTest::newRow("a range of books") << "ALL"
                                          << "2"
                                          << "176" << 0 << ""
                                          << "ALL 002:176";
    }
    void referenceChecks()
    {
        QFETCH(QString, book);
        QFETCH(QString, chapter);
        QFETCH(QString, verse);
        QFETCH(int, message);
        QFETCH(QString, argument);
        QFETCH(QString, reference);
        ModuleBuilder ruth;
        ruth.chapter(8, 1, 3).chapter(8, 2, 5).chapter(8, 3, 4).chapter(8, 4, 2);
        m_fx->addBible(QStringLiteral("Ruth"), QStringLiteral("b_ruth.txt"), ruth.bytes());
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        dialog.setAdding(true);
        dialog.show();
        dialog.tTitle->setText(QStringLiteral("Ruth"));
        dialog.cboBook->setEditText(book);
        dialog.tChapter->setText(chapter);
        dialog.tVerse->setText(verse);
        dialog.cmdOK->click();
        if (message == 0) {
            QVERIFY(desk().messageBoxes().isEmpty());
            QVERIFY(!dialog.Cancelled());
            QVERIFY(dialog.isHidden());
            QCOMPARE(dialog.sBookChVs(), reference);
            return;
        }
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, message, argument));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.Cancelled());
        dialog.cmdCancel->click();
    }

    void unsplittableReference()
    {
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        for (const QString &reference : {QStringLiteral("GEN003:016"), QStringLiteral("GEN 003")})
            QCOMPARE(raisedErrorNumber([&] { dialog.setSBookChVs(reference); }), RtErr::InvalidProcedureCall);
    }

    void bookTokensAndDate()
    {
        m_fx->writeFile(QStringLiteral("SysDefs/Books.txt"),
                        "1\tGen\tGenesis\r\n22\tSong of\tSong of Songs\r\n");
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        dialog.setAdding(true);
        dialog.show();
        QCOMPARE(dialog.cboBook->currentText(), QStringLiteral("GEN"));
        QCOMPARE(dialog.cboBook->itemText(1), QStringLiteral("SONG_OF"));
        QCOMPARE(dialog.sDate(), DateFormatText::Format(desk().clock, gDateFormat));
        dialog.cmdCancel->click();
        QVERIFY(dialog.Cancelled());
    }

    // Help and F1 in both bookmark windows open the bookmarks' page (help context 2001).
    void helpOpensTheBookmarksPage_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("dialog's Help button") << "button";
        QTest::newRow("F1 in the dialog") << "dialog";
        QTest::newRow("F1 in the list") << "list";
    }
    void helpOpensTheBookmarksPage()
    {
        QFETCH(QString, how);
        gHelpFile = m_fx->copyBuiltFile(QStringLiteral("Help.chm"));
        MainStartup::SetUpHelp();
        if (how == QLatin1String("button"))
            frmBookmarkAdd::Instance().cmdHelp->click();
        else if (how == QLatin1String("dialog"))
            QTest::keyClick(frmBookmarkAdd::Instance().tChapter, Qt::Key_F1);
        else
            QTest::keyClick(list().LV, Qt::Key_F1);
        // The help file is compiled help: only the program's own viewer reads it.
        QVERIFY(desk().openedFiles.isEmpty());
        QVERIFY(desk().messageBoxes().isEmpty());
        QVERIFY(HelpService::viewer() && HelpService::viewer()->isVisible());
        QCOMPARE(HelpService::viewer()->fileName(), gHelpFile);
        QCOMPARE(HelpService::viewer()->currentTopic(), QStringLiteral("/notes.html"));
        HelpService::viewer()->close();
    }
};

QTEST_MAIN(TestBookmarkList)
#include "tst_bookmarklist.moc"
