#include "bookmarks/PageSetup.h"
#include "bookmarks/frmBookmarkAdd.h"
#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmDocPreview.h"
#include "common/ModuleBuilder.h"
#include "common/PdfTools.h"
#include "common/TestFixture.h"
#include "controls/MenuTable.h"
#include "core/BookmarkRecords.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/Translation.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/DocumentPrinter.h"
#include "platform/ModalOpener.h"
#include "platform/RichTextBox.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"
#include "search/AdvancedSearch.h"
#include "search/FormatToolbar.h"
#include "search/MediaBibleButtons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
ModuleBuilder sampleModule()
{
    ModuleBuilder module;
    module.verse(43, 3, 16, QStringLiteral("For God so loved the world."))
        .verse(43, 3, 17, QStringLiteral("For God sent not his Son."));
    return module;
}

bool menuEnabled(const QMenu *menu)
{
    return menu->menuAction()->isEnabled();
}
} // namespace

class TestWorkspaceCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    MemoryProgressLog m_log;

    TestDesktop &desk() { return m_fx->desk(); }

    AdvancedSearch &open()
    {
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.setPollInterval(0);
        window.show();
        return window;
    }

    void append(AdvancedSearch &window, const QString &text)
    {
        window.RT->setSelStart(window.RT->endPosition());
        window.RT->setSelText(text);
    }

    // The shipped pictures of the CHM and MP3 buttons, in the program folder.
    void copyButtonPictures()
    {
        for (const char *name : {"c.gif", "cX.gif", "v.bmp", "vX.bmp"})
            QVERIFY(QFile::copy(TestFixture::sourceDir() + QStringLiteral("/data/") + QLatin1String(name),
                                m_fx->path(QLatin1String(name))));
    }
    QColor centreOfFile(const char *name) const
    {
        return QImage(m_fx->path(QLatin1String(name))).pixelColor(12, 12);
    }
    static QColor centreOfPicture(const QToolButton *button)
    {
        return button->icon().pixmap(QSize(24, 24)).toImage().pixelColor(12, 12);
    }

    void setText(AdvancedSearch &window, const QString &text)
    {
        window.RT->setText(text);
        window.RT->document()->setModified(false);
    }

    static void search(AdvancedSearch &window, const QString &pattern)
    {
        window.cboSearch->setEditText(pattern);
        window.cmdSearch_Click();
    }

    // File > Open, answered with a file of the program folder.
    void openFile(AdvancedSearch &window, const QString &relative)
    {
        desk().fileAnswers.push_back(m_fx->path(relative));
        window.Menus().run(QStringLiteral("mFileOpen"));
    }

    // Searches for *God* in a source that does the action while the search runs:
    // during the scan, or (duringScan false) once the scan is done and the two
    // hits it gave are being coloured.
    static void searchWhile(AdvancedSearch &window, bool duringScan, const std::function<void()> &action)
    {
        AdvancedSearch::setSourceFactory([&window, duringScan, action](const Translation &) {
            return TermSearch::VerseSource([&window, duringScan, action](const VerseReader::Visitor &visit) {
                if (duringScan)
                    action();
                else
                    QTimer::singleShot(0, &window, action);
                return visit(Verse{1, 43, 3, 16, QStringLiteral("For God so loved the world.")}) &&
                       visit(Verse{2, 43, 3, 17, QStringLiteral("For God sent not his Son.")});
            });
        });
        search(window, QStringLiteral("*God*"));
    }

    // The psalm's bookmark, "Psalm 23" in psalm.rtf, read into the bookmark list.
    void loadPsalmBookmark()
    {
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"),
                        "\"Psalm 23\",\"Comfort\",\"01-Jan-2023\",\"PSA 023:001\",\"psalm.rtf\"\r\n");
        m_fx->writeFile(QStringLiteral("Bookmarks/psalm.rtf"), "{\\rtf1 The Lord is my shepherd}");
        BookmarkRecords::LoadBookmarks();
    }

    // The bookmark list shown with its first bookmark selected.
    static frmBookmarkList &firstBookmarkSelected()
    {
        frmBookmarkList &list = frmBookmarkList::Instance();
        list.show();
        list.SelectRow(0);
        return list;
    }

    // The real bookmark list with one bookmark, "Psalm" in psalm.rtf; its add and
    // edit dialog gives the title and a reference and is answered with OK.
    void setUpBookmarkList(const QString &title)
    {
        m_fx->writeFile(QStringLiteral("Bookmarks.txt"),
                        "\"Psalm\",\"\",\"01-Jan-2024\",\"PSA 023:001\",\"psalm.rtf\"\r\n");
        m_fx->writeFile(QStringLiteral("Bookmarks/psalm.rtf"), "{\\rtf1 The Lord is my shepherd}");
        frmBookmarkList::Register();
        BookmarkRecords::LoadBookmarks();
        ModalOpener<frmBookmarkAdd>::replace([title] {
            frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
            dialog.show();
            dialog.tTitle->setText(title);
            dialog.cboBook->setEditText(QStringLiteral("GEN"));
            dialog.tChapter->setText(QStringLiteral("1"));
            dialog.tVerse->setText(QStringLiteral("1"));
            dialog.cmdOK->click();
        });
    }

    // A click of the mouse on the place before the character at the position.
    static void clickAt(AdvancedSearch &window, int position)
    {
        QTextCursor cursor(window.RT->document());
        cursor.setPosition(position);
        QTest::mouseClick(window.RT->viewport(), Qt::LeftButton, {}, window.RT->cursorRect(cursor).center());
        QCOMPARE(window.RT->SelStart(), position);
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        m_fx->addBible(QStringLiteral("Sample Bible"), QStringLiteral("b_sample.txt"),
                       sampleModule().bytes(1252));
        m_log = MemoryProgressLog();
        SetProgressLogFactory([this]() -> ProgressLog & { return m_log; });
        AdvancedSearch::Register();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { m_fx.reset(); }

    void menusAreBuiltUnderTheWorkspacesNames()
    {
        AdvancedSearch &window = open();
        QStringList titles;
        for (const QAction *menu : window.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{GetMsg(1, 70), GetMsg(1, 66), GetMsg(1, 77), GetMsg(1, 92),
                                      GetMsg(1, 103), GetMsg(1, 115)}));
        for (const char *name : {"mFileSaveAs", "mFilePrint", "mFileClose", "mEditCut", "mEditWrapText",
                                 "mViewMultiBible", "mViewNames", "mViewBookmarks", "mIntegrityAll"})
            QVERIFY2(window.Menus().action(QLatin1String(name)), name);
        QVERIFY(!window.Menus().action(QStringLiteral("mWindowMultiBible")));
        QVERIFY(!window.Menus().action(QStringLiteral("mViewMp3Bibles")));
        QCOMPARE(window.Menus().action(QStringLiteral("mEditCut"))->text(),
                 GetMsg(1, 67) + QStringLiteral("\tCtrl+X"));
        // Pictures by the shared numbering; Save As has none.
        QVERIFY(!window.Menus().action(QStringLiteral("mEditCut"))->icon().isNull());
        QVERIFY(!window.Menus().action(QStringLiteral("mFilePrint"))->icon().isNull());
        QVERIFY(window.Menus().action(QStringLiteral("mFileSaveAs"))->icon().isNull());
        // Windows that have not registered stay disabled, in the menu and on the toolbar.
        QVERIFY(!window.Menus().action(QStringLiteral("mFilePageSetup"))->isEnabled());
        QVERIFY(!window.Menus().action(QStringLiteral("mViewMultiBible"))->isEnabled());
        QVERIFY(!window.cmdBibMulti->isEnabled());
        QCOMPARE(window.cmdCut->toolTip(), GetMsg(1, 30));
    }

    void languageChangeRecaptionsTheMenus()
    {
        AdvancedSearch &window = open();
        gShowMsgNumbers = true;
        gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
        QVERIFY(window.zFile->title().startsWith(QStringLiteral("F70=")));
        QVERIFY(
            window.Menus().action(QStringLiteral("mFileSaveAs"))->text().startsWith(QStringLiteral("F61=")));
        QVERIFY(window.Menus()
                    .action(QStringLiteral("mViewMultiBible"))
                    ->text()
                    .startsWith(QStringLiteral("F78=")));
        QVERIFY(window.cmdOpen->toolTip().startsWith(QStringLiteral("F27=")));
    }

    void registeredWindowsOpenFromTheMenuAndToolbar()
    {
        QWidget multi;
        int pageSetups = 0;
        int previews = 0;
        MenuTargets::Register(MenuTargets::MultiBib, {[&]() -> QWidget * { return &multi; }, {}, {}});
        MenuTargets::Register(MenuTargets::PageSetup, {{}, {}, [&] { ++pageSetups; }});
        MenuTargets::Register(MenuTargets::PrintPreview, {{}, {}, [&] { ++previews; }});
        AdvancedSearch &window = open();
        QVERIFY(window.cmdBibMulti->isEnabled());
        window.cmdBibMulti->click();
        QVERIFY(multi.isVisible());
        window.mFilePageSetup_Click();
        window.mFilePrintPreview_Click();
        QCOMPARE(pageSetups, 1);
        QCOMPARE(previews, 1);
        // The windows beside the workspace reach its document through the registry.
        QCOMPARE(WorkspaceDocument::Get().pane(), window.RT);
        window.mEditWrapText->setEnabled(false);
        WorkspaceDocument::Get().enableWrapText();
        QVERIFY(window.mEditWrapText->isEnabled());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    // File, Edit, Tools and the document's buttons wait while a search runs; View stays.
    void busyStateLocksTheCommands()
    {
        AdvancedSearch &window = open();
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        QList<bool> during;
        AdvancedSearch::setSourceFactory([&](const Translation &) -> TermSearch::VerseSource {
            return [&](const VerseReader::Visitor &visit) {
                during = {menuEnabled(window.zFile),         menuEnabled(window.zEdit),
                          menuEnabled(window.zTools),        menuEnabled(window.zView),
                          window.cmdSave->isEnabled(),       window.cmdPaste->isEnabled(),
                          window.cmdStopSearch->isVisible(), window.FormatBar()->isEnabled()};
                return visit(Verse{1, 43, 3, 16, QStringLiteral("For God so loved the world.")});
            };
        });
        window.cboSearch->setEditText(QStringLiteral("God"));
        window.optAnyTerms->setChecked(true);
        window.cmdSearch_Click();
        QCOMPARE(during, (QList<bool>{false, false, false, true, false, false, true, false}));
        const QList<bool> after{menuEnabled(window.zFile),        menuEnabled(window.zEdit),
                                menuEnabled(window.zTools),       menuEnabled(window.zView),
                                window.cmdSave->isEnabled(),      window.cmdPaste->isEnabled(),
                                window.cmdStopSearch->isVisible()};
        QCOMPARE(after, (QList<bool>{true, true, true, true, true, true, false}));
    }

    // In the document the formatting keys win over the window's Alt+C mnemonic
    // (Ignore &Case); the window's commands run once, whoever sees the key first.
    void keysOfTheDocument()
    {
        AdvancedSearch &window = open();
        window.activateWindow();
        setText(window, QStringLiteral("centre me"));
        window.RT->setFocus();
        window.RT->setSelStart(2);
        const bool ignoreCase = window.chkIgnoreCase->isChecked();
        QTest::keyClick(window.RT, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(window.chkIgnoreCase->isChecked(), ignoreCase);
        QCOMPARE(window.RT->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(window.RT->toPlainText(), QStringLiteral("centre me"));
        window.RT->setSelStart(0);
        window.RT->setSelLength(6);
        QTest::keyClick(window.RT, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(window.RT->SelBold(), QVariant(true));
        QVERIFY(window.TextChanged());
        desk().inputAnswers.push_back(QStringLiteral("me"));
        QTest::keyClick(window.RT, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(desk().shown.size(), 1);
        QCOMPARE(window.RT->SelStart(), 7);
        QTest::keyClick(window.RT, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!window.mEditWrapText->isChecked());
        QTest::keyClick(window.RT, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(window.RT->SelLength(), 9);
        QVERIFY(window.cmdCut->isEnabled());
    }

    // Quick turns after the window opens, one step a second afterwards.
    void searchButtonSlowsDown()
    {
        AdvancedSearch &window = open();
        QCOMPARE(window.Timer1->interval(), 100);
        const qint64 first = window.cmdSearch->icon().cacheKey();
        window.Timer1_Timer();
        QVERIFY(window.cmdSearch->icon().cacheKey() != first);
        for (int tick = 1; tick < 8 * 9 - 1; ++tick)
            window.Timer1_Timer();
        QCOMPARE(window.Timer1->interval(), 1000);
        QCOMPARE(window.lblStatusTextL->text().right(4), QStringLiteral("2024"));
    }

    void pasteFollowsTheClipboard()
    {
        AdvancedSearch &window = open();
        QVERIFY(!window.Menus().action(QStringLiteral("mEditPaste"))->isEnabled());
        QGuiApplication::clipboard()->setText(QStringLiteral("notes"));
        QVERIFY(window.Menus().action(QStringLiteral("mEditPaste"))->isEnabled());
        QVERIFY(window.cmdPaste->isEnabled());
        QGuiApplication::clipboard()->clear();
        QVERIFY(!window.cmdPaste->isEnabled());
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(picture);
        QVERIFY(window.Menus().action(QStringLiteral("mEditPaste"))->isEnabled());
        auto *rtf = new QMimeData;
        rtf->setData(QStringLiteral("text/rtf"), "{\\rtf1 x}");
        QGuiApplication::clipboard()->setMimeData(rtf);
        QVERIFY(window.cmdPaste->isEnabled());
    }

    void editCommandsFollowTheSelectionAndMarkChanges()
    {
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("alpha beta"));
        QVERIFY(!window.cmdCut->isEnabled());
        QVERIFY(!window.Menus().action(QStringLiteral("mEditCopy"))->isEnabled());
        window.mEditSelectAll_Click();
        QVERIFY(window.cmdCut->isEnabled());
        QVERIFY(window.Menus().action(QStringLiteral("mEditDelete"))->isEnabled());
        window.RT->setSelStart(0);
        window.RT->setSelLength(6);
        window.mEditCut_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("beta"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alpha "));
        QVERIFY(window.TextChanged());
        QVERIFY(window.cmdUndo->isEnabled());
        window.mEditUndo_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("alpha beta"));
        window.RT->document()->setModified(false);
        window.RT->setSelStart(10);
        window.mEditPaste_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("alpha betaalpha "));
        QVERIFY(window.TextChanged());
        window.RT->document()->setModified(false);
        window.RT->setSelStart(0);
        window.mEditDelete_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("lpha betaalpha "));
        QVERIFY(window.TextChanged());
    }

    // Rich text comes back with its formatting, pictures as pictures, HTML only as its text.
    void pasteTakesRichTextPicturesAndPlainText()
    {
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("bold plain"));
        window.RT->setSelStart(0);
        window.RT->setSelLength(4);
        window.RT->setSelBold(true);
        window.mEditCopy_Click();
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("text/rtf")));
        window.RT->setSelStart(10);
        window.mEditPaste_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("bold plainbold"));
        window.RT->setSelStart(10);
        window.RT->setSelLength(4);
        QCOMPARE(window.RT->SelBold(), QVariant(true));

        auto *html = new QMimeData;
        html->setHtml(QStringLiteral("<b>web</b>"));
        html->setText(QStringLiteral("web"));
        QGuiApplication::clipboard()->setMimeData(html);
        window.RT->setSelStart(5);
        window.RT->setSelLength(5);
        window.mEditPaste_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("bold webbold"));
        window.RT->setSelStart(5);
        window.RT->setSelLength(3);
        QCOMPARE(window.RT->SelBold(), QVariant(false));

        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QGuiApplication::clipboard()->setImage(picture);
        window.RT->setSelStart(0);
        window.mEditPaste_Click();
        QCOMPARE(window.RT->toPlainText().at(0), QChar(QChar::ObjectReplacementCharacter));
    }

    void typingMarksTheDocumentChanged()
    {
        AdvancedSearch &window = open();
        setText(window, QString());
        QVERIFY(!window.TextChanged());
        window.RT->setFocus();
        QTest::keyClicks(window.RT, QStringLiteral("note"));
        QCOMPARE(window.RT->Text(), QStringLiteral("note"));
        QVERIFY(window.TextChanged());
    }

    void findAndFindNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QList<int>>("found"); // Find, then Find Next until not found
        QTest::newRow("hit at the very start") << "abc abc"
                                               << "ABC" << QList<int>{0, 4};
        QTest::newRow("one character moves on") << "aaa"
                                                << "a" << QList<int>{0, 1, 2};
        QTest::newRow("straight quote for typographic") << "the Lord\u2019s \u201Cword\u201D"
                                                        << "lord's" << QList<int>{4};
        QTest::newRow("double quotes") << "say \u201Cword\u201D"
                                       << "\"word\"" << QList<int>{4};
        QTest::newRow("across paragraphs") << "one\r\ntwo one"
                                           << "one" << QList<int>{0, 8};
        QTest::newRow("not there") << "abc"
                                   << "x" << QList<int>{};
    }
    void findAndFindNext()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QList<int>, found);
        AdvancedSearch &window = open();
        setText(window, text);
        desk().inputAnswers.push_back(find);
        window.mEditFind_Click();
        for (int i = 0; i < found.size(); ++i) {
            if (i > 0)
                window.mEditFindNext_Click();
            QCOMPARE(window.RT->SelStart(), found[i]);
            QCOMPARE(window.RT->SelLength(), int(find.size()));
        }
        // Past the last match (at once when there is none) the text is not found.
        if (!found.isEmpty()) {
            QVERIFY(desk().messageBoxes().isEmpty());
            window.mEditFindNext_Click();
        }
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 50));
    }

    // Find begins where the reader last clicked, with a new text too, and goes on
    // from its last match; a new document begins at its top.
    void findStartsAtTheLastClick()
    {
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("for a for a"));
        clickAt(window, 5);
        desk().inputAnswers.push_back(QStringLiteral("for"));
        window.mEditFind_Click();
        QCOMPARE(window.RT->SelStart(), 6);
        desk().inputAnswers.push_back(QStringLiteral("a"));
        window.mEditFind_Click();
        QCOMPARE(window.RT->SelStart(), 10);
        clickAt(window, 0);
        desk().inputAnswers.push_back(QStringLiteral("a"));
        window.mEditFind_Click();
        QCOMPARE(window.RT->SelStart(), 4);
        QVERIFY(desk().messageBoxes().isEmpty());
        // A search gives a new document: Find Next starts at its top.
        window.cboSearch->setEditText(QStringLiteral("*"));
        window.optAllVerses->setChecked(true);
        window.cboBooks->setCurrentIndex(71);
        window.cmdSearch_Click();
        desk().inputAnswers.push_back(QStringLiteral("for"));
        window.mEditFind_Click();
        QVERIFY(desk().messageBoxes().isEmpty());
        const QString plain = window.RT->toPlainText();
        QCOMPARE(window.RT->SelStart(), int(plain.indexOf(QStringLiteral("For"))));
        QVERIFY(window.RT->SelStart() < plain.indexOf(QLatin1Char('\n')));
    }

    // Another document in the pane: the alignment and bullet buttons show the
    // paragraph at its caret, not the one they showed before.
    void formatButtonsFollowAnotherDocument_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("centred");
        QTest::newRow("search result") << "search" << false;
        QTest::newRow("opened centred file") << "open" << true;
    }
    void formatButtonsFollowAnotherDocument()
    {
        QFETCH(QString, how);
        QFETCH(bool, centred);
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("my notes"));
        FormatToolbar &bar = *window.FormatBar();
        bar.cmdCentreJ->click();
        bar.cmdBullet->click();
        QVERIFY(bar.cmdCentreJ->isChecked() && bar.cmdBullet->isChecked());
        window.RT->document()->setModified(false);
        if (how == QLatin1String("search")) {
            search(window, QStringLiteral("*God*"));
            QVERIFY(window.RT->Text().startsWith(QStringLiteral("JOH 3:16")));
        } else {
            m_fx->writeFile(QStringLiteral("centred.rtf"), "{\\rtf1\\qc Centred\\par}");
            openFile(window, QStringLiteral("centred.rtf"));
            QCOMPARE(window.RT->Text(), QStringLiteral("Centred"));
        }
        QCOMPARE(bar.cmdCentreJ->isChecked(), centred);
        QCOMPARE(bar.cmdLeftJ->isChecked(), !centred);
        QVERIFY(!bar.cmdRightJ->isChecked());
        QVERIFY(!bar.cmdBullet->isChecked());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void wrapTextWidths_data()
    {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("right");
        QTest::addColumn<double>("rightMargin");
        QTest::addColumn<double>("indent");
        QTest::newRow("190/20/15 mm") << false << false << 190.f << 20.f << 15.f << 10773.0 - 850.5 << 1134.0;
        QTest::newRow("8.5/1/0.5 in") << true << false << 8.5f << 1.f << 0.5f << 12240.0 - 720.0 << 1440.0;
        QTest::newRow("fit to window") << false << true << 190.f << 20.f << 15.f << 0.0 << 0.0;
    }
    void wrapTextWidths()
    {
        QFETCH(bool, inches);
        QFETCH(bool, fit);
        QFETCH(float, width);
        QFETCH(float, left);
        QFETCH(float, right);
        QFETCH(double, rightMargin);
        QFETCH(double, indent);
        gCM_IN = inches;
        gFitToDesktop = fit;
        gWidthPage = width;
        gMarginLeft = left;
        gMarginRight = right;
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("first\r\nsecond\r\nthird"));
        window.RT->setSelStart(7);
        window.RT->setSelLength(3);
        QVERIFY(window.mEditWrapText->isChecked());
        window.mEditWrapText_Click(); // off
        QVERIFY(!window.mEditWrapText->isChecked());
        QCOMPARE(window.RT->RightMargin(), 128000.f);
        window.mEditWrapText_Click(); // on
        QVERIFY(qAbs(window.RT->RightMargin() - rightMargin) < 1);
        // Every paragraph takes the indent (through pixels, so within one pixel).
        for (int position : {0, 7, 14}) {
            window.RT->setSelStart(position);
            QVERIFY2(qAbs(window.RT->SelIndent() - indent) <= 16,
                     qPrintable(QString::number(window.RT->SelIndent())));
        }
        window.RT->setSelStart(7);
        window.RT->setSelLength(3);
        window.mEditWrapText_Click();
        QCOMPARE(window.RT->SelStart(), 7);
        QCOMPARE(window.RT->SelLength(), 3);
    }

    void printsTheWholeDocumentToPdf()
    {
        AdvancedSearch &window = open();
        QStringList lines;
        for (int i = 1; i <= 120; ++i)
            lines << QStringLiteral("Line %1 of the notes").arg(i);
        setText(window, lines.join(QStringLiteral("\r\n")));
        const QString pdf = m_fx->path(QStringLiteral("all.pdf"));
        PdfTools::setUpPdfPrinter(DocumentPrinter::printer(), pdf);
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::AllPages, 0, 0, pdf});
        window.Menus().run(QStringLiteral("mFilePrint"));
        QCOMPARE(desk().printDialogs.size(), 1);
        QVERIFY(PdfTools::pageCount(pdf) >= 2);
        QCOMPARE(PdfTools::firstLine(pdf, 1).trimmed(), QStringLiteral("Line 1 of the notes"));

        // With text selected the whole document prints all the same, also when
        // the printer's range is the selection.
        const int start = int(window.RT->toPlainText().indexOf(QStringLiteral("Line 50 ")));
        window.RT->setSelStart(start);
        window.RT->setSelLength(int(QStringLiteral("Line 50 of the notes").size()));
        const QString whole = m_fx->path(QStringLiteral("selection.pdf"));
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::Selection, 0, 0, whole});
        window.Menus().run(QStringLiteral("mFilePrint"));
        QCOMPARE(PdfTools::pageCount(whole), PdfTools::pageCount(pdf));
        QCOMPARE(PdfTools::firstLine(whole, 1).trimmed(), QStringLiteral("Line 1 of the notes"));
        QCOMPARE(window.RT->SelText(), QStringLiteral("Line 50 of the notes"));

        // A cancelled dialog prints nothing and says nothing; Print Setup only sets the printer up.
        window.Menus().run(QStringLiteral("mFilePrint"));
        QCOMPARE(desk().printDialogs.size(), 3);
        const QString setUp = m_fx->path(QStringLiteral("setup.pdf"));
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::AllPages, 0, 0, setUp});
        window.mFilePrintSetup_Click();
        QCOMPARE(desk().printDialogs.size(), 4);
        QCOMPARE(desk().printDialogs.last().title, QStringLiteral("Print Setup"));
        QVERIFY(!QFile::exists(setUp));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void nameLookUpQuietWhileSearching()
    {
        m_fx->writeFile(QStringLiteral("Modules/Name/n_names.txt"), "1\tAaron\tlight\r\n");
        gNameDictionaries.Add(QStringLiteral("Names"), QStringLiteral("n_names.txt"), true, 0);
        AdvancedSearch &window = open();
        window.Menus().ApplyEnabling();
        QVERIFY(window.mIntegrateNames->isChecked());
        setText(window, QStringLiteral("Moses and Aaron went"));
        window.RT->setSelStart(10);
        window.RT->setSelLength(5);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), QStringLiteral("light"));
        // Two letters are not a name.
        window.RT->setSelLength(2);
        QCOMPARE(desk().messageBoxes().size(), 1);
        window.mIntegrateNames->setChecked(false);
        window.RT->setSelStart(10);
        window.RT->setSelLength(5);
        QCOMPARE(desk().messageBoxes().size(), 1);
    }

    void integrateNamesIsOffWithoutANamesDictionary()
    {
        AdvancedSearch &window = open();
        QVERIFY(!window.mIntegrateNames->isEnabled());
        QVERIFY(!window.mIntegrateNames->isChecked());
    }

    // New, Open and closing ask about unsaved notes; every answer keeps or saves them as it says.
    void unsavedNotesAreAskedFor_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo"); // the Save As dialog's answer; empty cancels it
        QTest::addColumn<bool>("replaced");
        for (const char *command : {"mFileNew", "mFileOpen", "mFileClose"}) {
            const QString name = QLatin1String(command);
            QTest::addRow("%s, no", command) << name << int(MsgBoxResult::No) << QString() << true;
            QTest::addRow("%s, cancel", command) << name << int(MsgBoxResult::Cancel) << QString() << false;
            QTest::addRow("%s, yes and saved", command)
                << name << int(MsgBoxResult::Yes) << "kept.rtf" << true;
            QTest::addRow("%s, yes but the dialog cancelled", command)
                << name << int(MsgBoxResult::Yes) << QString() << false;
        }
    }
    void unsavedNotesAreAskedFor()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, replaced);
        m_fx->writeFile(QStringLiteral("other.txt"), "other text");
        AdvancedSearch &window = open();
        setText(window, QString());
        window.RT->setFocus();
        QTest::keyClicks(window.RT, QStringLiteral("my notes"));
        QVERIFY(window.TextChanged());
        desk().messageBoxAnswers.push_back(answer);
        if (answer == MsgBoxResult::Yes)
            desk().fileAnswers.push_back(saveTo.isEmpty() ? QString() : m_fx->path(saveTo));
        if (command == QStringLiteral("mFileOpen"))
            desk().fileAnswers.push_back(m_fx->path(QStringLiteral("other.txt")));
        QPointer<AdvancedSearch> alive(&window);
        window.Menus().run(command);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes().first().text, GetMsg(0, 51));
        if (!saveTo.isEmpty()) {
            QVERIFY(m_fx->readFile(saveTo).startsWith("{\\rtf"));
            if (command == QStringLiteral("mFileClose"))
                QVERIFY(!m_fx->readFile(saveTo).isEmpty());
        }
        if (command == QStringLiteral("mFileClose")) {
            QTRY_COMPARE(alive.isNull(), replaced);
            return;
        }
        QCOMPARE(window.RT->toPlainText().contains(QStringLiteral("my notes")), !replaced);
        if (replaced && command == QStringLiteral("mFileNew"))
            QCOMPARE(window.windowTitle(), GetMsg(1, 17, MiscHelpers::ProductTitle()));
        if (replaced && command == QStringLiteral("mFileOpen")) {
            QCOMPARE(window.RT->toPlainText(), QStringLiteral("other text"));
            QVERIFY(window.windowTitle().contains(QStringLiteral("other.txt")));
        }
    }

    // File > Save writes to the document's file; the toolbar's Save always asks for a name.
    void saveFromTheMenuAndFromTheToolbar()
    {
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("note"));
        desk().fileAnswers.push_back(m_fx->path(QStringLiteral("first.rtf")));
        window.mFileSave_Click();
        QCOMPARE(window.windowTitle(), m_fx->path(QStringLiteral("first.rtf")));
        window.RT->setSelStart(4);
        window.RT->setSelText(QStringLiteral(" more"));
        window.mFileSave_Click();
        QCOMPARE(desk().shown.size(), 1);
        QVERIFY(m_fx->readFile(QStringLiteral("first.rtf")).contains("note more"));
        desk().fileAnswers.push_back(m_fx->path(QStringLiteral("second.rtf")));
        window.cmdSave->click();
        QCOMPARE(desk().shown.size(), 2);
        QVERIFY(m_fx->readFile(QStringLiteral("second.rtf")).contains("note more"));
        QVERIFY(!window.TextChanged());
    }

    // A bookmark's document shown by the bookmark list's Go to is the file Save
    // writes to, under its caption, and stays so when the bookmark renames it; a
    // search result after it has no file.
    void documentOpenedByABookmarkIsSavedToItsFile()
    {
        AdvancedSearch &window = open();
        const WorkspaceDocument::Access &access = WorkspaceDocument::Get();
        QVERIFY(access.showFile && access.askToSave && access.fileRenamed);
        setText(window, QStringLiteral("kept"));
        desk().messageBoxAnswers.push_back(MsgBoxResult::No);
        QCOMPARE(access.askToSave(), 0);
        m_fx->writeFile(QStringLiteral("Bookmarks/psalm.rtf"), "{\\rtf1 The Lord is my shepherd}");
        const QString psalm = m_fx->path(QStringLiteral("Bookmarks/psalm.rtf"));
        access.showFile(psalm);
        QCOMPARE(window.RT->Text(), QStringLiteral("The Lord is my shepherd"));
        QVERIFY(!window.TextChanged());
        QCOMPARE(window.windowTitle(), psalm + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
        append(window, QStringLiteral(", kept"));
        window.mFileSave_Click();
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks/psalm.rtf")).contains("kept"));
        QCOMPARE(desk().shown.size(), 1); // the question only: Save asked for no name

        const QString renamed = m_fx->path(QStringLiteral("Bookmarks/psalm23.rtf"));
        QVERIFY(QFile::rename(psalm, renamed));
        access.fileRenamed(m_fx->path(QStringLiteral("Bookmarks/other.rtf")), psalm);
        QCOMPARE(window.windowTitle(), psalm);
        access.fileRenamed(psalm, renamed);
        QCOMPARE(window.windowTitle(), renamed);
        append(window, QStringLiteral(" again"));
        window.mFileSave_Click();
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks/psalm23.rtf")).contains("again"));
        QVERIFY(!QFile::exists(psalm));
        QCOMPARE(desk().shown.size(), 1);

        search(window, QStringLiteral("*"));
        QCOMPARE(window.windowTitle(), MiscHelpers::ProductTitle());
        append(window, QStringLiteral(" note"));
        desk().fileAnswers.push_back(QString());
        window.mFileSave_Click();
        QCOMPARE(desk().shown.last().kind, QStringLiteral("save"));
        QVERIFY(!m_fx->readFile(QStringLiteral("Bookmarks/psalm23.rtf")).contains("note"));
    }

    void goToDuringASearchStopsIt_data()
    {
        QTest::addColumn<bool>("duringScan");
        QTest::addColumn<bool>("activeUpdate");
        QTest::newRow("during the scan") << true << false;
        QTest::newRow("while the hits are coloured") << false << false;
        QTest::newRow("while the hits are coloured on the screen") << false << true;
    }
    // Go to while a search runs asks nothing of the empty document the search put
    // up, and stops the search: the bookmark stays, under its caption, and Save
    // writes to it.
    void goToDuringASearchStopsIt()
    {
        QFETCH(bool, duringScan);
        QFETCH(bool, activeUpdate);
        AdvancedSearch &window = open();
        window.chkActiveUpd->setChecked(activeUpdate);
        m_fx->writeFile(QStringLiteral("Bookmarks/psalm.rtf"), "{\\rtf1 The Lord is my shepherd}");
        const QString psalm = m_fx->path(QStringLiteral("Bookmarks/psalm.rtf"));
        bool askedNothing = false;
        searchWhile(window, duringScan, [&] {
            askedNothing = !window.TextChanged();
            WorkspaceDocument::Get().showFile(psalm);
        });
        QVERIFY(!window.SearchRunning());
        QVERIFY(askedNothing);
        QCOMPARE(window.RT->Text(), QStringLiteral("The Lord is my shepherd"));
        QCOMPARE(window.windowTitle(), psalm + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
        QVERIFY(!window.TextChanged());
        append(window, QStringLiteral(", my notes"));
        window.mFileSave_Click();
        QVERIFY(desk().shown.isEmpty());
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks/psalm.rtf")).contains("my notes"));
        QVERIFY(window.RT->document()->isUndoRedoEnabled());
    }

    void bookmarkCopyDuringASearchWritesNothing_data()
    {
        QTest::addColumn<bool>("duringScan");
        QTest::newRow("during the scan") << true;
        QTest::newRow("while the hits are coloured") << false;
    }
    // Add or Update while a search runs would write the empty or half-made result
    // over the bookmark's document: the reader is told instead, and it stays.
    void bookmarkCopyDuringASearchWritesNothing()
    {
        QFETCH(bool, duringScan);
        AdvancedSearch &window = open();
        const QByteArray notes = "{\\rtf1 The Lord is my shepherd}";
        m_fx->writeFile(QStringLiteral("Bookmarks/psalm.rtf"), notes);
        const QString psalm = m_fx->path(QStringLiteral("Bookmarks/psalm.rtf"));
        bool copied = true;
        searchWhile(window, duringScan, [&] { copied = WorkspaceDocument::Get().saveCopy(psalm); });
        QVERIFY(!copied);
        QCOMPARE(m_fx->readFile(QStringLiteral("Bookmarks/psalm.rtf")), notes);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 296));
        // Once the search is over, the result can be kept for the bookmark.
        QVERIFY(WorkspaceDocument::Get().saveCopy(psalm));
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks/psalm.rtf")).contains("loved"));
    }

    void bookmarkCopiesLeaveTheNotesToBeSaved_data()
    {
        QTest::addColumn<bool>("ownFile"); // the document shown is the bookmark's
        QTest::newRow("Update of another bookmark") << false;
        QTest::newRow("Update of the bookmark shown") << true;
    }
    // Update writes the document to the bookmark's file; it is unchanged
    // afterwards only when that is the file its caption names, and otherwise
    // closing the workspace asks and Yes saves to that file.
    void bookmarkCopiesLeaveTheNotesToBeSaved()
    {
        QFETCH(bool, ownFile);
        m_fx->writeFile(QStringLiteral("notes.rtf"), "{\\rtf1 My notes}");
        setUpBookmarkList(QStringLiteral("Sermon"));
        AdvancedSearch &window = open();
        const QString shown =
            m_fx->path(ownFile ? QStringLiteral("Bookmarks/psalm.rtf") : QStringLiteral("notes.rtf"));
        if (ownFile) {
            WorkspaceDocument::Get().showFile(shown);
        } else {
            desk().fileAnswers.push_back(shown);
            window.Menus().run(QStringLiteral("mFileOpen"));
        }
        const QByteArray before = TextFiles::readAll(shown);
        const QString caption = window.windowTitle();
        append(window, QStringLiteral(" and more"));
        frmBookmarkList &list = frmBookmarkList::Instance();
        list.show();
        list.SelectRow(0);
        list.cmdUpdate->click();
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks/psalm.rtf")).contains("and more"));
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(window.TextChanged(), !ownFile);
        if (ownFile)
            return;
        QCOMPARE(TextFiles::readAll(shown), before);
        desk().messageBoxAnswers.push_back(MsgBoxResult::Yes);
        QPointer<AdvancedSearch> alive(&window);
        window.close();
        QCOMPARE(desk().messageBoxes().last().text, GetMsg(0, 51));
        QVERIFY(TextFiles::readAll(shown).contains("and more"));
        QTRY_VERIFY(alive.isNull());
    }

    // Add stores the document as the new bookmark's, and the workspace then
    // shows that bookmark as Go to would: nothing is left unsaved (Go to right
    // after asks nothing), and Save writes to the new bookmark. The file the
    // notes were opened from stays as it was.
    void addMakesTheDocumentTheBookmarks()
    {
        m_fx->writeFile(QStringLiteral("notes.rtf"), "{\\rtf1 My notes}");
        setUpBookmarkList(QStringLiteral("Sermon"));
        AdvancedSearch &window = open();
        desk().fileAnswers.push_back(m_fx->path(QStringLiteral("notes.rtf")));
        window.Menus().run(QStringLiteral("mFileOpen"));
        append(window, QStringLiteral(" and more"));
        frmBookmarkList::Instance().show();
        frmBookmarkList::Instance().cmdAdd->click();
        const QString sermon = m_fx->path(QStringLiteral("Bookmarks/Sermon.rtf"));
        QVERIFY(TextFiles::readAll(sermon).contains("and more"));
        QVERIFY(!window.TextChanged());
        QCOMPARE(window.windowTitle(), sermon + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
        append(window, QStringLiteral(", kept"));
        window.mFileSave_Click();
        QVERIFY(TextFiles::readAll(sermon).contains("and more, kept"));
        QCOMPARE(m_fx->readFile(QStringLiteral("notes.rtf")), QByteArray("{\\rtf1 My notes}"));
    }

    // The bookmark shown is renamed in the bookmark list (its title edited): the
    // caption names the new file, Save writes there without asking, and no
    // file is left under the old name.
    void saveFollowsARenamedBookmark()
    {
        setUpBookmarkList(QStringLiteral("Psalm 23"));
        AdvancedSearch &window = open();
        firstBookmarkSelected().cmdGoto->click();
        append(window, QStringLiteral(", my notes"));
        firstBookmarkSelected().cmdEdit->click();
        const QString renamed = m_fx->path(QStringLiteral("Bookmarks/Psalm23.rtf"));
        QCOMPARE(window.windowTitle(), renamed + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
        QVERIFY(window.TextChanged());
        window.mFileSave_Click();
        QVERIFY(desk().shown.isEmpty());
        QVERIFY(TextFiles::readAll(renamed).contains("my notes"));
        QVERIFY(!QFileInfo::exists(m_fx->path(QStringLiteral("Bookmarks/psalm.rtf"))));
        QVERIFY(!window.TextChanged());
    }

    void deletedBookmarkLeavesNotesWithoutAFile_data()
    {
        QTest::addColumn<bool>("elsewhere"); // deleted by another copy sharing the list
        QTest::addColumn<bool>("typed");     // a line typed after the delete
        QTest::addColumn<QString>("saveTo"); // the Save dialog's answer; empty cancels it
        QTest::newRow("typed into, saved under a name") << false << true << "kept.rtf";
        QTest::newRow("typed into, the name not given") << false << true << "";
        QTest::newRow("left as it was, saved under a name") << false << false << "kept.rtf";
        QTest::newRow("deleted by the other copy, typed into, saved under a name")
            << true << true << "kept.rtf";
    }
    // The bookmark shown is deleted in the bookmark list, or by another copy whose
    // deletion the list takes in when it saves: its text stays as notes without a
    // file, under a new document's caption, and the end of the program asks for a
    // name instead of writing the deleted bookmark's file.
    void deletedBookmarkLeavesNotesWithoutAFile()
    {
        QFETCH(bool, elsewhere);
        QFETCH(bool, typed);
        QFETCH(QString, saveTo);
        setUpBookmarkList(QStringLiteral("Psalm 23"));
        AdvancedSearch &window = open();
        const QString psalm = m_fx->path(QStringLiteral("Bookmarks/psalm.rtf"));
        firstBookmarkSelected().cmdGoto->click();
        QCOMPARE(window.windowTitle(), psalm + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
        if (elsewhere) {
            BookmarkRecords other;
            QVERIFY(other.Read());
            other.Remove(0);
            other.Save();
            QVERIFY(QFile::remove(psalm));
            frmBookmarkList::Instance().cmdClose->click();
        } else {
            desk().messageBoxAnswers.push_back(MsgBoxResult::Yes);
            firstBookmarkSelected().cmdDelete->click();
            QCOMPARE(desk().messageBoxes().last().title, QStringLiteral("Confirm Delete"));
        }
        QVERIFY(!QFileInfo::exists(psalm));
        QVERIFY(m_fx->readFile(QStringLiteral("Bookmarks.txt")).isEmpty());
        QCOMPARE(window.windowTitle(), GetMsg(1, 17, MiscHelpers::ProductTitle()));
        QCOMPARE(window.RT->Text(), QStringLiteral("The Lord is my shepherd"));
        if (typed) {
            window.RT->setFocus();
            window.RT->setSelStart(window.RT->endPosition());
            QTest::keyClicks(window.RT, QStringLiteral(", my notes"));
        }
        QVERIFY(window.TextChanged());

        // The program ends: Yes to saving the notes, then the Save dialog.
        const qsizetype asked = desk().messageBoxes().size();
        desk().messageBoxAnswers.push_back(MsgBoxResult::Yes);
        desk().fileAnswers.push_back(saveTo.isEmpty() ? QString() : m_fx->path(saveTo));
        QCOMPARE(WorkspaceDocument::Get().mayEndProgram(), !saveTo.isEmpty());
        QCOMPARE(desk().messageBoxes().size(), asked + 1);
        QCOMPARE(desk().messageBoxes().last().text, GetMsg(0, 51));
        QCOMPARE(desk().shown.last().kind, QStringLiteral("save"));
        QVERIFY(!QFileInfo::exists(psalm));
        if (saveTo.isEmpty())
            return;
        QVERIFY(m_fx->readFile(saveTo).contains(typed ? "shepherd, my notes" : "shepherd"));
        QCOMPARE(window.windowTitle(), m_fx->path(saveTo));
    }

    // Integrity Check > All empties the document: the notes' file is no longer
    // the one Save writes to, so Save asks for a name.
    void integrityCheckOfAllLeavesTheNotesFileAlone()
    {
        m_fx->writeFile(QStringLiteral("notes.rtf"), "{\\rtf1 My notes}");
        AdvancedSearch &window = open();
        openFile(window, QStringLiteral("notes.rtf"));
        window.mIntegrityAll_Click();
        QCOMPARE(window.windowTitle(), GetMsg(1, 17, MiscHelpers::ProductTitle()));
        append(window, QStringLiteral("check"));
        desk().shown.clear();
        desk().fileAnswers.push_back(QString());
        window.mFileSave_Click();
        QCOMPARE(desk().shown.size(), 1);
        QCOMPARE(desk().shown.first().kind, QStringLiteral("save"));
        QCOMPARE(m_fx->readFile(QStringLiteral("notes.rtf")), QByteArray("{\\rtf1 My notes}"));
    }

    void layoutAndPrintingLeaveASavedDocumentSaved_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("page setup, OK") << "page setup OK";
        QTest::newRow("page setup, Cancel") << "page setup Cancel";
        QTest::newRow("print preview, closed") << "preview Close";
        QTest::newRow("print preview, printed") << "preview Print";
        QTest::newRow("print") << "print";
        QTest::newRow("wrap text off and on") << "wrap";
    }
    // Laying the page out and printing are no edits: the saved notes stay saved,
    // and the next search asks nothing.
    void layoutAndPrintingLeaveASavedDocumentSaved()
    {
        QFETCH(QString, command);
        gFitToDesktop = false;
        gCM_IN = true;
        gWidthPage = 8;
        gMarginLeft = gMarginRight = 1;
        PageSetup::Register();
        frmDocPreview::Register();
        const QString pdf = m_fx->path(QStringLiteral("out.pdf"));
        PageSetup::setShowModal([&] {
            PageSetup &dialog = DefaultInstance<PageSetup>::get();
            (command.endsWith(QLatin1String("OK")) ? dialog.cmdINDEX : dialog.cmdCancel)->click();
        });
        frmDocPreview::setShowModal([&] {
            frmDocPreview &preview = DefaultInstance<frmDocPreview>::get();
            if (command.endsWith(QLatin1String("Print")))
                preview.cmdPrint->click();
            else
                preview.cmdClose->click();
        });
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::AllPages, 0, 0, pdf});
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("My notes\r\nin two paragraphs"));
        desk().fileAnswers.push_back(m_fx->path(QStringLiteral("notes.rtf")));
        window.mFileSave_Click();
        const QByteArray saved = m_fx->readFile(QStringLiteral("notes.rtf"));
        desk().shown.clear();

        if (command.startsWith(QLatin1String("page setup")))
            window.mFilePageSetup_Click();
        else if (command.startsWith(QLatin1String("preview")))
            window.mFilePrintPreview_Click();
        else if (command == QLatin1String("print"))
            window.Menus().run(QStringLiteral("mFilePrint"));
        else
            for (int i = 0; i < 2; ++i)
                window.mEditWrapText_Click();

        QVERIFY(!window.TextChanged());
        QCOMPARE(QFileInfo::exists(pdf), command.contains(QLatin1String("rint")));
        search(window, QStringLiteral("*"));
        QVERIFY(desk().messageBoxes().isEmpty());
        QCOMPARE(m_fx->readFile(QStringLiteral("notes.rtf")), saved);
    }

    // Whether anything is drawn on screen left of the text of the paragraph's
    // first line: where its bullet stands.
    static bool drawnLeftOfText(RichTextBox &pane, int paragraph)
    {
        const QRect caret = pane.cursorRect(QTextCursor(pane.document()->findBlockByNumber(paragraph)));
        const QImage shot = pane.viewport()->grab().toImage();
        const QColor paper = shot.pixelColor(shot.width() - 2, caret.center().y());
        for (int y = std::max(0, caret.top()); y <= caret.bottom(); ++y)
            for (int x = 0; x < caret.left() - 1; ++x)
                if (qAbs(qGray(shot.pixel(x, y)) - qGray(paper.rgb())) > 80)
                    return true;
        return false;
    }

    // Laying the page out moves the page's margin only: the bullets stay drawn in
    // their room, the reader's indents stay, and the bullet button still works.
    void pageLayoutKeepsHowParagraphsLook_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::newRow("first run, fit to window") << "fit";
        QTest::newRow("margin of 20 mm") << "20 mm";
        QTest::newRow("wrap text off") << "wrap off";
    }
    void pageLayoutKeepsHowParagraphsLook()
    {
        QFETCH(QString, layout);
        PageSetup::Register();
        PageSetup::setShowModal([&] {
            PageSetup &dialog = DefaultInstance<PageSetup>::get();
            if (layout == QLatin1String("20 mm")) {
                dialog.optCM->setChecked(true);
                dialog.cboWidth->setEditText(QStringLiteral("190"));
                dialog.cboLeft->setEditText(QStringLiteral("20"));
                dialog.cboRight->setEditText(QStringLiteral("15"));
            }
            dialog.cmdINDEX->click();
        });
        AdvancedSearch &window = open();
        window.resize(900, 600);
        RichTextBox &pane = *window.RT;
        FormatToolbar &bar = *window.FormatBar();
        setText(window, QStringLiteral("First point\r\nSecond point\r\nPlain line\r\nIndented line"));
        const auto selectParagraphs = [&pane](int first, int last) {
            pane.setSelStart(pane.document()->findBlockByNumber(first).position());
            const QTextBlock end = pane.document()->findBlockByNumber(last);
            pane.setSelLength(end.position() + end.length() - 1 - pane.SelStart());
        };
        selectParagraphs(0, 1);
        bar.cmdBullet->click();
        selectParagraphs(3, 3);
        bar.cmdIndentMore->click();
        const auto margin = [&pane](int paragraph) {
            return pane.document()->findBlockByNumber(paragraph).blockFormat().leftMargin();
        };
        const qreal ownIndent = margin(3) - margin(2);
        const qreal bulletRoom = margin(0) - margin(2);
        QVERIFY(ownIndent > 0 && bulletRoom > 0);
        QVERIFY(drawnLeftOfText(pane, 0) && drawnLeftOfText(pane, 1));

        if (layout == QLatin1String("wrap off"))
            window.mEditWrapText_Click();
        else
            window.mFilePageSetup_Click();
        QApplication::processEvents();

        if (layout == QLatin1String("20 mm"))
            QVERIFY2(qAbs(margin(2) * Twips::perPixelX() - 20 * 56.7) < 2,
                     qPrintable(QString::number(margin(2))));
        else
            QCOMPARE(margin(2), 0.0);
        QVERIFY(drawnLeftOfText(pane, 0));
        QVERIFY(drawnLeftOfText(pane, 1));
        QVERIFY(!drawnLeftOfText(pane, 2));
        QCOMPARE(margin(3) - margin(2), ownIndent);
        QCOMPARE(margin(0) - margin(2), bulletRoom);

        // The bullet button shows the bullets, and its next click takes them off.
        pane.setSelStart(0);
        QVERIFY(bar.cmdBullet->isChecked());
        selectParagraphs(0, 1);
        bar.cmdBullet->click();
        QVERIFY(!bar.cmdBullet->isChecked());
        QVERIFY(!drawnLeftOfText(pane, 0));
        QCOMPARE(margin(0), margin(2));
    }

    void integrityCheckOfAllAsksAndEmptiesTheDocument_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("checked");
        QTest::newRow("cancel keeps the notes") << int(MsgBoxResult::Cancel) << false;
        QTest::newRow("no discards them") << int(MsgBoxResult::No) << true;
    }
    void integrityCheckOfAllAsksAndEmptiesTheDocument()
    {
        QFETCH(int, answer);
        QFETCH(bool, checked);
        AdvancedSearch &window = open();
        setText(window, QStringLiteral("my notes"));
        window.RT->document()->setModified(true);
        desk().messageBoxAnswers.push_back(answer);
        window.mIntegrityAll_Click();
        QCOMPARE(desk().messageBoxes().first().text, GetMsg(0, 51));
        QCOMPARE(window.RT->Text().isEmpty(), checked);
        QCOMPARE(m_log.text().contains(QStringLiteral("Integrity Check: Bibles")), checked);
    }
    // The colour the real window draws behind the text: a new one shows at once,
    // as do Open's (white behind RTF, the workspace's own behind plain text) and
    // each search's.
    void backColourIsDrawn_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QColor>("drawn");
        const QColor own(0xFF, 0xFF, 0xE0); // 0xE0FFFF
        const QColor red(0xFF, 0, 0);
        QTest::newRow("at load") << QStringList{} << own;
        QTest::newRow("chosen") << QStringList{"choose"} << red;
        QTest::newRow("choice cancelled") << QStringList{"cancel"} << own;
        QTest::newRow("RTF opened") << QStringList{"choose", "rtf"} << QColor(Qt::white);
        QTest::newRow("text opened") << QStringList{"rtf", "txt"} << own;
        QTest::newRow("searched") << QStringList{"rtf", "search"} << own;
        QTest::newRow("chosen, then searched") << QStringList{"choose", "rtf", "search"} << red;
    }
    void backColourIsDrawn()
    {
        QFETCH(QStringList, steps);
        QFETCH(QColor, drawn);
        gBib1BC = 0xE0FFFF;
        m_fx->writeFile(QStringLiteral("notes.rtf"), "{\\rtf1 Notes}");
        m_fx->writeFile(QStringLiteral("notes.txt"), "Notes");
        AdvancedSearch &window = open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const QString &step : steps) {
            if (step == QLatin1String("choose") || step == QLatin1String("cancel")) {
                desk().colorAnswers.push_back(
                    step == QLatin1String("choose") ? std::optional<quint32>(0x0000FF) : std::nullopt);
                window.FormatBar()->cmdBColour->click();
            } else if (step == QLatin1String("search")) {
                search(window, QStringLiteral("*God*"));
            } else {
                openFile(window, QStringLiteral("notes.") + step);
            }
        }
        const QImage image = window.RT->viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(image.width() - 4, image.height() - 4), drawn);
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    // The CHM button opens the selector when CHM Bibles are installed, and else
    // asks whether to open their download page; its picture says which.
    void chmButtonOpensTheSelectorOrTheDownloadPage_data()
    {
        QTest::addColumn<bool>("atLoad");  // installed when the workspace loads
        QTest::addColumn<bool>("atClick"); // installed when the button is clicked
        QTest::addColumn<int>("answer");   // to the download question
        QTest::newRow("installed") << true << true << 0;
        QTest::newRow("none, download") << false << false << int(MsgBoxResult::Yes);
        QTest::newRow("none, no download") << false << false << int(MsgBoxResult::No);
        QTest::newRow("installed after the load") << false << true << 0;
    }
    void chmButtonOpensTheSelectorOrTheDownloadPage()
    {
        QFETCH(bool, atLoad);
        QFETCH(bool, atClick);
        QFETCH(int, answer);
        copyButtonPictures();
        int selectors = 0;
        MenuTargets::Register(MenuTargets::CHM, {{}, {}, [&] { ++selectors; }});
        const QString chm = QStringLiteral("Modules/CHM/c1_kjv.chm");
        if (atLoad)
            m_fx->writeFile(chm, "chm");
        AdvancedSearch &window = open();
        QVERIFY(window.cmdCHM->isEnabled());
        QCOMPARE(MediaBibleButtons::PictureName(window.cmdCHM), atLoad ? "c.gif" : "cX.gif");
        QCOMPARE(centreOfPicture(window.cmdCHM), centreOfFile(atLoad ? "c.gif" : "cX.gif"));
        if (atClick && !atLoad)
            m_fx->writeFile(chm, "chm");
        desk().messageBoxAnswers.push_back(answer);
        window.cmdCHM->click();
        QCOMPARE(selectors, atClick ? 1 : 0);
        QCOMPARE(desk().messageBoxes().size(), atClick ? 0 : 1);
        if (!atClick) {
            QCOMPARE(desk().messageBoxes()[0].text, GetMsg(0, 41));
            QCOMPARE(desk().messageBoxes()[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question);
        }
        QCOMPARE(desk().openedUrls.size(), answer == MsgBoxResult::Yes ? 1 : 0);
        QCOMPARE(MediaBibleButtons::PictureName(window.cmdCHM), atClick ? "c.gif" : "cX.gif");
        QVERIFY(!window.Menus().action(QStringLiteral("mViewChmBibles")));
    }

    void mp3ButtonShowsWhetherInstalled_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("a language folder") << true;
        QTest::newRow("none") << false;
    }
    void mp3ButtonShowsWhetherInstalled()
    {
        QFETCH(bool, installed);
        copyButtonPictures();
        if (installed)
            m_fx->writeFile(QStringLiteral("Modules/MP3/english/Jonah.mp3"), "mp3");
        QWidget player;
        MenuTargets::Register(MenuTargets::MP3, {[&]() -> QWidget * { return &player; }, {}, {}});
        AdvancedSearch &window = open();
        QVERIFY(window.cmdMP3->isEnabled());
        window.cmdMP3->click();
        QVERIFY(player.isVisible());
        const char *picture = installed ? "v.bmp" : "vX.bmp";
        QCOMPARE(MediaBibleButtons::PictureName(window.cmdMP3), picture);
        QCOMPARE(centreOfPicture(window.cmdMP3), centreOfFile(picture));
        // The BMP's magenta is the button's own background.
        QCOMPARE(window.cmdMP3->icon().pixmap(QSize(24, 24)).toImage().pixelColor(0, 0).alpha(), 0);
    }

    // Go to shows the workspace with the bookmark's document, whether it was
    // closed or minimised.
    void bookmarkGoToShowsTheWorkspace_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::newRow("workspace closed") << false;
        QTest::newRow("workspace minimised") << true;
    }
    void bookmarkGoToShowsTheWorkspace()
    {
        QFETCH(bool, loaded);
        loadPsalmBookmark();
        if (loaded)
            open().showMinimized();
        frmBookmarkList &list = firstBookmarkSelected();
        list.cmdGoto->click();
        AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!window->isMinimized());
        QCOMPARE(window->RT->Text(), QStringLiteral("The Lord is my shepherd"));
        QVERIFY(!list.isVisible());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void openedFileReplacesTheShownDocument_data()
    {
        QTest::addColumn<QString>("before"); // what the pane showed
        QTest::addColumn<QString>("name");
        QTest::newRow("RTF after a search result") << "result"
                                                   << "psalm.rtf";
        QTest::newRow("text after a search result") << "result"
                                                    << "psalm.txt";
        QTest::newRow("RTF after another file") << "file"
                                                << "psalm.rtf";
    }
    // A file is read off the screen and then shown: the document shown before goes,
    // text without a font of its own keeps the one it had in the pane, the pane
    // lays the file out at its own width, and typing and Undo act on the new one.
    void openedFileReplacesTheShownDocument()
    {
        QFETCH(QString, before);
        QFETCH(QString, name);
        m_fx->writeFile(QStringLiteral("psalm.rtf"), "{\\rtf1 The Lord is my shepherd}");
        m_fx->writeFile(QStringLiteral("psalm.txt"), "The Lord is my shepherd");
        m_fx->writeFile(QStringLiteral("other.rtf"), "{\\rtf1 Other notes}");
        gDefaultFont = QStringLiteral("Results Face");
        gBib1BC = 0xE0FFFF;
        AdvancedSearch &window = open();
        if (before == QLatin1String("result")) {
            search(window, QStringLiteral("*"));
        } else {
            openFile(window, QStringLiteral("other.rtf"));
        }
        const QPointer<QTextDocument> previous(window.RT->document());
        const QFont font = previous->defaultFont();
        openFile(window, name);
        QCOMPARE(window.RT->Text(), QStringLiteral("The Lord is my shepherd"));
        QVERIFY(previous.isNull());
        QVERIFY(!window.TextChanged());
        QCOMPARE(window.RT->document()->defaultFont(), font);
        QCOMPARE(window.FormatBar()->cboFont->currentText(), font.family());
        const bool rtf = name.endsWith(QLatin1String(".rtf"));
        QCOMPARE(window.RT->palette().color(QPalette::Base),
                 rtf ? QColor(Qt::white) : QColor(0xFF, 0xFF, 0xE0));
        QCOMPARE(window.RT->RightMargin(), 0.f);
        QCOMPARE(window.RT->document()->pageSize().width(), qreal(window.RT->viewport()->width()));
        QTest::keyClicks(window.RT, QStringLiteral("my "));
        QVERIFY(window.TextChanged());
        QVERIFY(window.cmdUndo->isEnabled());
        window.mEditUndo_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("The Lord is my shepherd"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    // A document just loaded has nothing to undo: Undo must not bring back the
    // notes it replaced.
    void loadedDocumentHasNothingToUndo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("bookmark Go to") << QStringLiteral("bookmark");
        QTest::newRow("File > Open, RTF") << QStringLiteral("psalm.rtf");
        QTest::newRow("File > Open, text") << QStringLiteral("psalm.txt");
        QTest::newRow("File > New") << QStringLiteral("new");
    }
    void loadedDocumentHasNothingToUndo()
    {
        QFETCH(QString, how);
        m_fx->writeFile(QStringLiteral("psalm.rtf"), "{\\rtf1 The Lord is my shepherd}");
        m_fx->writeFile(QStringLiteral("psalm.txt"), "The Lord is my shepherd");
        loadPsalmBookmark();
        AdvancedSearch &window = open();
        QTest::keyClicks(window.RT, QStringLiteral("my notes"));
        QVERIFY(window.cmdUndo->isEnabled());
        window.RT->document()->setModified(false); // nothing to ask about
        if (how == QLatin1String("bookmark")) {
            firstBookmarkSelected().cmdGoto->click();
        } else if (how == QLatin1String("new")) {
            window.Menus().run(QStringLiteral("mFileNew"));
        } else {
            openFile(window, how);
        }
        const QString loaded =
            how == QLatin1String("new") ? QString() : QStringLiteral("The Lord is my shepherd");
        QCOMPARE(window.RT->Text(), loaded);
        QVERIFY(!window.cmdUndo->isEnabled());
        QVERIFY(!window.Menus().action(QStringLiteral("mEditUndo"))->isEnabled());
        window.RT->undo();
        QCOMPARE(window.RT->Text(), loaded);
        QVERIFY(desk().messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestWorkspaceCommands)
#include "tst_workspacecommands.moc"
