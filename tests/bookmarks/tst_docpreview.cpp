#include "bookmarks/frmDocPreview.h"
#include "common/PdfTools.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/RichTextBox.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("Line %1").arg(i));
    return lines.join(QStringLiteral("\r\n"));
}

QStringList texts(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}
} // namespace

class TestDocPreview : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<RichTextBox> m_pane;
    // What the test does with the preview while it is open; Close by default.
    std::function<void(frmDocPreview &)> m_whileOpen;
    int m_opened = 0;

    TestDesktop &desk() { return m_fx->desk(); }
    QString pdf() const { return m_fx->path(QStringLiteral("printed.pdf")); }

    // The pane holds enough lines for the given number of pages with the margins in force.
    void fillPages(int pages)
    {
        frmDocPreview::SetPrintMargins();
        int lines = 5;
        for (;; lines += 5) {
            m_pane->setText(numberedLines(lines));
            const int count =
                PageLayout(*m_pane->document(), DocumentPrinter::printer(), frmDocPreview::PrintMargins())
                    .pageCount();
            if (count == pages)
                return;
            QVERIFY(count < pages);
        }
    }

    void answerPrint(QPrinter::PrintRange range, int from = 0, int to = 0)
    {
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{range, from, to, pdf()});
    }
    int printDialogsShown() const
    {
        int count = 0;
        for (const TestDesktop::Shown &s : m_fx->desk().shown)
            count += s.kind == QLatin1String("print");
        return count;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        PdfTools::setUpPdfPrinter(DocumentPrinter::printer(), pdf());
        m_pane = std::make_unique<RichTextBox>();
        m_pane->document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        gCM_IN = false;
        gFitToDesktop = false;
        gMarginLeft = gMarginRight = gTopMargin = gBottomMargin = 20;
        m_opened = 0;
        m_whileOpen = [](frmDocPreview &preview) { preview.cmdClose->click(); };
        frmDocPreview::setShowModal([this] {
            ++m_opened;
            m_whileOpen(DefaultInstance<frmDocPreview>::get());
        });
    }
    void cleanup()
    {
        m_pane.reset();
        m_fx.reset();
    }

    void opensOnThePagesFirstAtTheSmallestZoom_data()
    {
        QTest::addColumn<int>("pages");
        QTest::newRow("one page") << 1;
        QTest::newRow("three pages") << 3;
    }
    void opensOnThePagesFirstAtTheSmallestZoom()
    {
        QFETCH(int, pages);
        fillPages(pages);
        m_whileOpen = [&](frmDocPreview &preview) {
            QCOMPARE(preview.windowTitle(), GetMsg(1, 7, MiscHelpers::ProductTitle()));
            QCOMPARE(preview.PageCount, pages);
            QCOMPARE(preview.txtTotalPages->text(), QStringLiteral("Total %1 pages").arg(pages));
            QCOMPARE(preview.cboPageNo->count(), pages);
            QCOMPARE(preview.cboPageNo->currentText(), QStringLiteral("1"));
            QCOMPARE(texts(preview.cboScale), (QStringList{"150", "100", "75", "50", "25"}));
            QCOMPARE(preview.cboScale->currentText(), QStringLiteral("25"));
            QCOMPARE(preview.ZoomIndex, 5);
            QVERIFY(preview.cmdZoomIn->isEnabled());
            QVERIFY(!preview.cmdZoomOut->isEnabled());
            QVERIFY(!preview.cmdPrevPage->isEnabled());
            QCOMPARE(preview.cmdNextPage->isEnabled(), pages > 1);
            for (int i = 1; i <= 5; ++i)
                QCOMPARE(preview.Pic[i]->isVisibleTo(&preview), i == 5);
            QVERIFY(!preview.Pic[5]->pixmap().isNull());
            QCOMPARE(preview.HScroll1->maximum(), 1000);
            QCOMPARE(preview.VScroll1->maximum(), 1000);
            preview.cmdClose->click();
        };
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 1);
        QVERIFY(!gPrintRequested);
        QVERIFY(!DefaultInstance<frmDocPreview>::exists());
    }

    void emptyDocumentHasOnePage()
    {
        m_whileOpen = [&](frmDocPreview &preview) {
            QCOMPARE(preview.PageCount, 1);
            QCOMPARE(preview.txtTotalPages->text(), QStringLiteral("Total 1 pages"));
            QCOMPARE(texts(preview.cboPageNo), QStringList{QStringLiteral("1")});
            QVERIFY(!preview.cmdPrevPage->isEnabled());
            QVERIFY(!preview.cmdNextPage->isEnabled());
            preview.cmdPrint->click();
        };
        answerPrint(QPrinter::AllPages);
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        // The print dialog was answered, but an empty document prints nothing.
        QCOMPARE(printDialogsShown(), 1);
        QVERIFY(!QFile::exists(pdf()));
    }

    void pageButtonsFollowThePage()
    {
        fillPages(3);
        m_whileOpen = [&](frmDocPreview &preview) {
            const QImage first = preview.Pic[5]->pixmap().toImage();
            preview.cmdNextPage->click();
            QCOMPARE(preview.cboPageNo->currentText(), QStringLiteral("2"));
            QVERIFY(preview.cmdPrevPage->isEnabled() && preview.cmdNextPage->isEnabled());
            QVERIFY(preview.Pic[5]->pixmap().toImage() != first);
            preview.cmdNextPage->click();
            QCOMPARE(preview.cboPageNo->currentText(), QStringLiteral("3"));
            QVERIFY(preview.cmdPrevPage->isEnabled());
            QVERIFY(!preview.cmdNextPage->isEnabled());
            preview.cmdNextPage_Click(); // past the last page: nothing
            QCOMPARE(preview.cboPageNo->currentText(), QStringLiteral("3"));
            preview.cmdPrevPage->click();
            QCOMPARE(preview.cboPageNo->currentText(), QStringLiteral("2"));
            QVERIFY(preview.cmdPrevPage->isEnabled() && preview.cmdNextPage->isEnabled());
            preview.cboPageNo->setCurrentIndex(0);
            preview.cboPageNo_Click();
            QCOMPARE(preview.Pic[5]->pixmap().toImage(), first);
            QVERIFY(!preview.cmdPrevPage->isEnabled());
            preview.cmdClose->click();
        };
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 1);
    }

    void pageChosenWhileAPageIsDrawnIsTheOneShown()
    {
        fillPages(3);
        m_whileOpen = [&](frmDocPreview &preview) {
            preview.cboPageNo->setCurrentIndex(2);
            preview.cboPageNo_Click();
            const QImage third = preview.Pic[5]->pixmap().toImage();
            preview.cboPageNo->setCurrentIndex(0);
            preview.cboPageNo_Click();
            // The reader asks for the next page again while page 2 is still being drawn.
            QTimer::singleShot(0, &preview, [&preview] { preview.cmdNextPage->click(); });
            preview.cmdNextPage->click();
            QCOMPARE(preview.cboPageNo->currentText(), QStringLiteral("3"));
            QCOMPARE(preview.Pic[5]->pixmap().toImage(), third);
            QVERIFY(!preview.cmdNextPage->isEnabled());
            preview.cmdClose->click();
        };
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 1);
    }

    void zoomSteps()
    {
        m_pane->setText(numberedLines(10));
        m_whileOpen = [&](frmDocPreview &preview) {
            for (int expected : {4, 3, 2, 1}) {
                preview.cmdZoomIn->click();
                QCOMPARE(preview.ZoomIndex, expected);
                QCOMPARE(preview.cboScale->currentIndex(), expected - 1);
                QCOMPARE(preview.cmdZoomOut->isEnabled(), true);
                QCOMPARE(preview.cmdZoomIn->isEnabled(), expected != 1);
                for (int i = 1; i <= 5; ++i)
                    QCOMPARE(preview.Pic[i]->isVisibleTo(&preview), i == expected);
            }
            preview.cmdZoomIn_Click(); // from "150": nothing
            QCOMPARE(preview.ZoomIndex, 1);
            preview.cboScale->setCurrentIndex(2);
            preview.cboScale_Click();
            QCOMPARE(preview.ZoomIndex, 3);
            QVERIFY(preview.cmdZoomIn->isEnabled() && preview.cmdZoomOut->isEnabled());
            preview.cmdZoomOut->click();
            preview.cmdZoomOut->click();
            QCOMPARE(preview.ZoomIndex, 5);
            QVERIFY(!preview.cmdZoomOut->isEnabled());
            preview.cmdZoomOut_Click(); // from "25": nothing
            QCOMPARE(preview.ZoomIndex, 5);

            // "150" has 1.5 times the area of "100": each side √1.5 times as long.
            const QSize z150 = preview.Pic[1]->pixmap().size();
            const QSize z100 = preview.Pic[2]->pixmap().size();
            const QSize z50 = preview.Pic[4]->pixmap().size();
            QVERIFY(qAbs(z150.width() / double(z100.width()) - 1.2247) < 0.01);
            QVERIFY(qAbs(z150.height() / double(z100.height()) - 1.2247) < 0.01);
            QVERIFY(qAbs(z50.width() * 2 - z100.width()) <= 1);
            preview.cmdClose->click();
        };
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
    }

    void zoomPictureSizes()
    {
        // US Letter's whole page, 8.5 × 11 inches, at the screen's 15 twips per pixel.
        const QSizeF letter(8.5 * 1440, 11 * 1440);
        const QSize z100 = frmDocPreview::ZoomPictureSize(2, letter);
        QCOMPARE(frmDocPreview::ZoomPictureSize(1, letter),
                 QSize(qRound(z100.width() * 1.224745), qRound(z100.height() * 1.224745)));
        QCOMPARE(frmDocPreview::ZoomPictureSize(3, letter),
                 QSize(qRound(z100.width() * 0.75), z100.height() * 3 / 4));
        QCOMPARE(frmDocPreview::ZoomPictureSize(5, letter), QSize(z100.width() / 4, z100.height() / 4));
    }

    void scrollBarsMoveTheShownPictureOnly()
    {
        m_pane->setText(numberedLines(10));
        m_whileOpen = [&](frmDocPreview &preview) {
            preview.HScroll1->setValue(500);
            preview.VScroll1->setValue(120);
            QCOMPARE(preview.Pic[5]->pos(), QPoint(-500, -120));
            preview.cmdZoomIn->click();
            QCOMPARE(preview.Pic[4]->pos(), QPoint(0, 0));
            QCOMPARE(preview.Pic[5]->pos(), QPoint(-500, -120));
            preview.HScroll1->setValue(30);
            QCOMPARE(preview.Pic[4]->pos(), QPoint(-30, 0));
            preview.cmdClose->click();
        };
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
    }

    void closePrintsNothing()
    {
        fillPages(2);
        answerPrint(QPrinter::AllPages);
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 1);
        QVERIFY(!gPrintRequested);
        QCOMPARE(printDialogsShown(), 0);
        QVERIFY(!QFile::exists(pdf()));
    }

    void printPrintsWhatThePreviewShowed_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("printed"); // pages, 0 for nothing
        QTest::newRow("all pages") << int(QPrinter::AllPages) << 0 << 0 << 3;
        QTest::newRow("2 to 3") << int(QPrinter::PageRange) << 2 << 3 << 2;
        QTest::newRow("to past the end") << int(QPrinter::PageRange) << 2 << 9 << 2;
        QTest::newRow("from past the end") << int(QPrinter::PageRange) << 4 << 5 << 0;
    }
    void printPrintsWhatThePreviewShowed()
    {
        QFETCH(int, range);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, printed);
        fillPages(3);
        int shownPages = 0;
        m_whileOpen = [&](frmDocPreview &preview) {
            shownPages = preview.PageCount;
            preview.cmdPrint->click();
        };
        answerPrint(QPrinter::PrintRange(range), from, to);
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QVERIFY(gPrintRequested);
        QCOMPARE(shownPages, 3);
        QCOMPARE(printDialogsShown(), 1);
        QCOMPARE(desk().printDialogs.last().pageCount, 3);
        QCOMPARE(desk().printDialogs.last().title, QStringLiteral("Print"));
        if (printed == 0) {
            QVERIFY(!QFile::exists(pdf()));
            return;
        }
        QCOMPARE(PdfTools::pageCount(pdf()), printed);
        const PageLayout layout(*m_pane->document(), DocumentPrinter::printer(),
                                frmDocPreview::PrintMargins());
        const int first = std::max(1, from);
        QCOMPARE(PdfTools::firstLine(pdf(), 1),
                 m_pane->document()->findBlock(layout.pageStart(first)).text());
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    // Paper chosen in the print dialog is laid out anew: the pages print as they
    // fall on it, not as the preview showed them on the paper before.
    void paperChosenInThePrintDialogIsLaidOutAnew()
    {
        fillPages(4);
        m_whileOpen = [](frmDocPreview &preview) { preview.cmdPrint->click(); };
        answerPrint(QPrinter::AllPages);
        desk().printPaper = QPageSize(QPageSize::A5);
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(desk().printDialogs.last().pageCount, 4);
        const PageLayout a5(*m_pane->document(), DocumentPrinter::printer(), frmDocPreview::PrintMargins());
        QVERIFY(a5.pageCount() > 4);
        QCOMPARE(PdfTools::pageCount(pdf()), a5.pageCount());
        for (int page = 1; page <= a5.pageCount(); ++page)
            QCOMPARE(PdfTools::firstLine(pdf(), page),
                     m_pane->document()->findBlock(a5.pageStart(page)).text());
    }

    void printMarginsFromThePageSettings_data()
    {
        QTest::addColumn<bool>("inches");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<QMarginsF>("settings"); // left, top, right, bottom in the unit
        QTest::addColumn<QMarginsF>("expected"); // inches
        QTest::newRow("millimetres") << false << false << QMarginsF(20, 25, 15, 25)
                                     << QMarginsF(20 / 25.4, 25 / 25.4, 15 / 25.4, 25 / 25.4);
        QTest::newRow("inches") << true << false << QMarginsF(1, 0.5, 1, 0.5) << QMarginsF(1, 0.5, 1, 0.5);
        QTest::newRow("fit to window")
            << false << true << QMarginsF(20, 25, 15, 30) << QMarginsF(0, 25 / 25.4, 0, 30 / 25.4);
    }
    void printMarginsFromThePageSettings()
    {
        QFETCH(bool, inches);
        QFETCH(bool, fit);
        QFETCH(QMarginsF, settings);
        QFETCH(QMarginsF, expected);
        gCM_IN = inches;
        gFitToDesktop = fit;
        gMarginLeft = float(settings.left());
        gTopMargin = float(settings.top());
        gMarginRight = float(settings.right());
        gBottomMargin = float(settings.bottom());
        m_pane->setText(numberedLines(30));
        m_whileOpen = [](frmDocPreview &preview) { preview.cmdPrint->click(); };
        answerPrint(QPrinter::AllPages);
        // Two previews in a row use the same margins and change no page setting.
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 2);
        const QMarginsF margins = frmDocPreview::PrintMargins();
        QVERIFY(qAbs(margins.left() - expected.left()) < 1e-5);
        QVERIFY(qAbs(margins.top() - expected.top()) < 1e-5);
        QVERIFY(qAbs(margins.right() - expected.right()) < 1e-5);
        QVERIFY(qAbs(margins.bottom() - expected.bottom()) < 1e-5);
        QCOMPARE(gMarginLeft, float(settings.left()));
        QCOMPARE(gTopMargin, float(settings.top()));
        QCOMPARE(gCM_IN, inches);
        // The first printed ink stands at the left margin (fit to window: none).
        const QImage page = PdfTools::pageImage(pdf(), 1, 72);
        const int ink = PdfTools::firstDarkColumn(page);
        QVERIFY2(qAbs(ink - expected.left() * 72) <= 3, qPrintable(QString::number(ink)));
        QVERIFY(PdfTools::firstDarkRow(page) >= int(expected.top() * 72) - 1);
    }

    void marginsWithNoRoomGiveAMessageAndNoPreview()
    {
        gMarginLeft = 120;
        gMarginRight = 100; // 220 mm on paper 216 mm wide
        m_pane->setText(numberedLines(10));
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 0);
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 148));
        gFitToDesktop = true; // the side margins no longer count
        frmDocPreview::DocPreviewProc(*m_pane, nullptr);
        QCOMPARE(m_opened, 1);
    }

    void minimisedWorkspaceRefusesPrinting()
    {
        m_pane->setText(numberedLines(10));
        QWidget workspace;
        workspace.showMinimized();
        QVERIFY(workspace.isMinimized());
        m_whileOpen = [](frmDocPreview &preview) { preview.cmdPrint->click(); };
        answerPrint(QPrinter::AllPages);
        frmDocPreview::DocPreviewProc(*m_pane, &workspace);
        QCOMPARE(printDialogsShown(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 13, QString()));
        QVERIFY(!QFile::exists(pdf()));
    }

    void cancelledPrintDialogPrintsNothing()
    {
        m_pane->setText(numberedLines(10));
        frmDocPreview::DocPrintProc(*m_pane, nullptr);
        QCOMPARE(printDialogsShown(), 1);
        QVERIFY(desk().messageBoxes().isEmpty());
        QVERIFY(!QFile::exists(pdf()));
    }

    void printerThatCannotStartIsNamed()
    {
        m_pane->setText(numberedLines(10));
        const QString unwritable = m_fx->path(QStringLiteral("no such folder/printed.pdf"));
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::AllPages, 0, 0, unwritable});
        frmDocPreview::DocPrintProc(*m_pane, nullptr);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 149, unwritable));
    }

    // Text selected in the document: the whole document prints, also when the
    // printer's range is the selection.
    void aSelectionNeverPrintsAlone()
    {
        m_pane->setText(numberedLines(200));
        m_pane->setSelStart(m_pane->document()->findBlockByNumber(149).position());
        m_pane->setSelLength(QStringLiteral("Line 150\nLine 151").size());
        QCOMPARE(m_pane->SelText(), QStringLiteral("Line 150\r\nLine 151"));
        desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::Selection, 0, 0, pdf()});
        frmDocPreview::DocPrintProc(*m_pane, nullptr);
        const int pages = desk().printDialogs.last().pageCount;
        QVERIFY(pages > 1);
        QCOMPARE(PdfTools::pageCount(pdf()), pages);
        QVERIFY(PdfTools::pageText(pdf(), 1).contains(QStringLiteral("Line 1")));
        QVERIFY(PdfTools::pageText(pdf(), pages).contains(QStringLiteral("Line 200")));
        QCOMPARE(m_pane->SelText(), QStringLiteral("Line 150\r\nLine 151"));
    }

    // The workspace reaches the preview through the opener registry and hands it
    // its document through its registration.
    void workspaceOpensThePreviewThroughTheRegistry()
    {
        QVERIFY(!MenuTargets::IsRegistered(MenuTargets::PrintPreview));
        frmDocPreview::Register();
        QVERIFY(MenuTargets::IsRegistered(MenuTargets::PrintPreview));
        QWidget workspace;
        WorkspaceDocument::Register({[this] { return m_pane.get(); }, [&] { return &workspace; }, {}});
        fillPages(2);
        int shownPages = 0;
        m_whileOpen = [&](frmDocPreview &preview) {
            shownPages = preview.PageCount;
            preview.cmdPrint->click();
        };
        answerPrint(QPrinter::AllPages);
        MenuTargets::Get(MenuTargets::PrintPreview).showModal();
        QCOMPARE(shownPages, 2);
        QCOMPARE(PdfTools::pageCount(pdf()), 2);
    }
};

QTEST_MAIN(TestDocPreview)
#include "tst_docpreview.moc"
