#include "bookmarks/frmDocPreview.h"
#include "common/PdfTools.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "mainwindow/MenuTargets.h"
#include "platform/DefaultInstance.h"
#include "platform/DocumentPrinter.h"
#include "platform/RichTextBox.h"
#include "study/TLNotes.h"

#include <QComboBox>
#include <QPrinter>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {
// "⏎" stands for CR LF.
QByteArray crlf(const char *text)
{
    return QString::fromUtf8(text).replace(QStringLiteral("⏎"), QStringLiteral("\r\n")).toLatin1();
}
const char *Fixture = "pre⏎$$Beta⏎b1⏎⏎b3⏎$$Alpha⏎$$Gamma⏎x$$y⏎last⏎";
} // namespace

class TestTLNotes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    // What the test does in the print preview; Close by default.
    std::function<void(frmDocPreview &)> m_inPreview;
    int m_previewPages = 0;
    QString notes() const { return m_fx->path(QStringLiteral("Modules/TLNotes.txt")); }
    QString pdf() const { return m_fx->path(QStringLiteral("note.pdf")); }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->writeFile(QStringLiteral("Modules/TLNotes.txt"), crlf(Fixture));
        gDefaultFont = QStringLiteral("DejaVu Serif");
        gBib1Fontsize = 12;
        frmDocPreview::Register();
        PdfTools::setUpPdfPrinter(DocumentPrinter::printer(), pdf());
        m_previewPages = 0;
        m_inPreview = [](frmDocPreview &preview) { preview.cmdClose->click(); };
        frmDocPreview::setShowModal([this] {
            frmDocPreview &preview = DefaultInstance<frmDocPreview>::get();
            m_previewPages = preview.PageCount;
            m_inPreview(preview);
        });
    }
    void cleanup()
    {
        DefaultInstance<TLNotes>::release();
        m_fx.reset();
    }

    void titlesInFileOrder()
    {
        QCOMPARE(TLNotes::ReadTitles(notes()), (QStringList{QStringLiteral("Beta"), QStringLiteral("Alpha"),
                                                            QStringLiteral("Gamma"), QStringLiteral("$y")}));
    }

    void notesOfTopics_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("note");
        QTest::newRow("empty lines kept") << "Beta" << true << "b1\r\n\r\nb3\r\n";
        QTest::newRow("heading right after heading") << "Alpha" << true << "";
        QTest::newRow("next heading is mid-line") << "Gamma" << true << "";
        QTest::newRow("last runs to the end") << "$y" << true << "last\r\n";
        QTest::newRow("case counts") << "alpha" << false << "";
        QTest::newRow("lines before the first heading") << "pre" << false << "";
    }
    void notesOfTopics()
    {
        QFETCH(QString, title);
        QFETCH(bool, found);
        QFETCH(QString, note);
        const std::optional<QString> got = TLNotes::ReadNote(notes(), title);
        QCOMPARE(got.has_value(), found);
        if (found)
            QCOMPARE(*got, note);
    }

    void duplicateTitleShowsTheFirst()
    {
        m_fx->writeFile(QStringLiteral("Modules/TLNotes.txt"), crlf("$$A⏎one⏎$$A⏎two⏎"));
        QCOMPARE(*TLNotes::ReadNote(notes(), QStringLiteral("A")), QStringLiteral("one\r\n"));
    }

    void windowListsSortedAndShowsTheFileFirstTopic()
    {
        TLNotes &window = DefaultInstance<TLNotes>::get();
        QVERIFY(gTLNotesOpen);
        QStringList shown;
        for (int i = 0; i < window.Combo1->count(); ++i)
            shown << window.Combo1->itemText(i);
        QCOMPARE(shown, (QStringList{QStringLiteral("$y"), QStringLiteral("Alpha"), QStringLiteral("Beta"),
                                     QStringLiteral("Gamma")}));
        QCOMPARE(window.Combo1->currentText(), QStringLiteral("Beta"));
        QCOMPARE(window.RT->Text(), QStringLiteral("b1\r\n\r\nb3\r\n"));
        // The note is read only, yet the arrow keys walk it.
        window.RT->setSelStart(0);
        QTest::keyClick(window.RT, Qt::Key_Down);
        QTest::keyClick(window.RT, Qt::Key_Down);
        QCOMPARE(window.RT->textCursor().blockNumber(), 2);
        QTest::keyClicks(window.RT, QStringLiteral("x"));
        QCOMPARE(window.RT->Text(), QStringLiteral("b1\r\n\r\nb3\r\n"));

        window.Combo1->setCurrentIndex(window.Combo1->findText(QStringLiteral("$y")));
        window.Combo1_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("last\r\n"));
        window.Combo1->setCurrentIndex(window.Combo1->findText(QStringLiteral("Alpha")));
        window.Combo1_Click();
        QCOMPARE(window.RT->Text(), QString());
    }

    void unreadableFileAfterLoadKeepsTheNote()
    {
        TLNotes &window = DefaultInstance<TLNotes>::get();
        QVERIFY(QFile::remove(notes()));
        window.Combo1->setCurrentIndex(window.Combo1->findText(QStringLiteral("$y")));
        window.Combo1_Click();
        QCOMPARE(window.RT->Text(), QStringLiteral("b1\r\n\r\nb3\r\n"));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 47, notes()));
    }

    void missingFileFailsTheLoad()
    {
        QVERIFY(QFile::remove(notes()));
        QVERIFY(raisedError([] { DefaultInstance<TLNotes>::get(); }).has_value());
        QVERIFY(!DefaultInstance<TLNotes>::exists());
        QVERIFY(!gTLNotesOpen);
    }

    void printingLeavesTheWorkspaceDocumentAlone()
    {
        // The workspace's document as a reader left it: text, unsaved changes, a selection.
        RichTextBox workspace;
        workspace.setText(QStringLiteral("My own study notes"));
        workspace.document()->setModified(true);
        workspace.setSelStart(3);
        workspace.setSelLength(3);
        MenuTargets::Register(MenuTargets::AdvancedSearch,
                              {[&workspace]() -> QWidget * { return &workspace; },
                               [&workspace]() -> QWidget * { return &workspace; },
                               {}});

        QString longNote;
        for (int i = 1; i <= 150; ++i)
            longNote += QStringLiteral("Line %1 of a long note\r\n").arg(i);
        m_fx->writeFile(QStringLiteral("Modules/TLNotes.txt"), "$$Long\r\n" + longNote.toLatin1());
        TLNotes &window = DefaultInstance<TLNotes>::get();
        m_inPreview = [](frmDocPreview &preview) { preview.cmdPrint->click(); };
        m_fx->desk().printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::AllPages, 0, 0, pdf()});
        window.PrintPreview->click();

        QCOMPARE(workspace.Text(), QStringLiteral("My own study notes"));
        QVERIFY(workspace.document()->isModified());
        QCOMPARE(workspace.SelStart(), 3);
        QCOMPARE(workspace.SelLength(), 3);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        // The note prints through the preview's layout: as many pages as it showed.
        QVERIFY2(m_previewPages >= 3 && m_previewPages <= 5, qPrintable(QString::number(m_previewPages)));
        QCOMPARE(PdfTools::pageCount(pdf()), m_previewPages);
        QCOMPARE(PdfTools::firstLine(pdf(), 1), QStringLiteral("Line 1 of a long note"));
        QCOMPARE(window.RT->Text().count(QLatin1Char('\n')), 150);
    }

    void previewClosedPrintsNothing_data()
    {
        QTest::addColumn<bool>("cancelDialog");
        QTest::newRow("preview closed") << false;
        QTest::newRow("print dialog cancelled") << true;
    }
    void previewClosedPrintsNothing()
    {
        QFETCH(bool, cancelDialog);
        TLNotes &window = DefaultInstance<TLNotes>::get();
        if (cancelDialog)
            m_inPreview = [](frmDocPreview &preview) { preview.cmdPrint->click(); };
        window.PrintPreview_Click();
        QCOMPARE(m_previewPages, 1);
        QVERIFY(!QFile::exists(pdf()));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void noteShownInTheReadingLook()
    {
        gBib1TC = 0x000080; // red, as OLE colours keep blue in the high byte
        gBib1BC = 0xF0FFFF;
        gBib1Fontsize = 0;
        TLNotes &window = DefaultInstance<TLNotes>::get();
        window.Combo1->setCurrentIndex(window.Combo1->findText(QStringLiteral("$y")));
        window.Combo1_Click();
        QTextCursor cursor(window.RT->document());
        cursor.setPosition(2);
        const QTextCharFormat format = cursor.charFormat();
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Serif")});
        QCOMPARE(format.fontPointSize(), 12.0); // a size of 0 stands for the usual 12
        QCOMPARE(format.foreground().color(), QColor(0x80, 0, 0));
        QCOMPARE(window.RT->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xF0));
        QCOMPARE(window.RT->SelStart(), 0);
    }

    void paneLaidOutByThePageSettingsAtEveryLoad()
    {
        // Laid out whatever the setting for the other study windows says.
        gApplyToAllForms = false;
        gFitToDesktop = false;
        gCM_IN = true;
        gWidthPage = 6;
        gMarginLeft = 1;
        gMarginRight = 0.5;
        TLNotes &window = DefaultInstance<TLNotes>::get();
        QCOMPARE(window.RT->RightMargin(), 5.5f * 1440);
        QCOMPARE(window.RT->SelIndent(), 1440.0f);
        // A topic shown later keeps the indent.
        window.Combo1->setCurrentIndex(window.Combo1->findText(QStringLiteral("$y")));
        window.Combo1_Click();
        QCOMPARE(window.RT->SelIndent(), 1440.0f);
    }
};

QTEST_MAIN(TestTLNotes)
#include "tst_tlnotes.moc"
