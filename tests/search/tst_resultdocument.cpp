// The result document of the search and notes workspace as it is switched in:
// the document shown before is freed, the new one keeps the pane's page, and
// the colours are those of the terms.

#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "platform/OleColor.h"
#include "platform/RichTextBox.h"
#include "search/AdvancedSearch.h"
#include "search/Highlights.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

class TestResultDocument : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    AdvancedSearch &searchFor(const QString &text)
    {
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.setPollInterval(0);
        window.show();
        window.cboSearch->setEditText(text);
        window.optAnyOrder->setChecked(true);
        window.chkIgnoreCase->setChecked(true);
        window.cboBooks->setCurrentIndex(71);
        window.cmdSearch_Click();
        return window;
    }

    static QColor colourAt(const QTextDocument *document, int position)
    {
        QTextCursor cursor(const_cast<QTextDocument *>(document));
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        ModuleBuilder module;
        for (int verse = 1; verse <= 200; ++verse)
            module.verse(19, 1, verse, QStringLiteral("The LORD is my shepherd; the Lord\u2019s own."));
        m_fx->addBible(QStringLiteral("Psalms"), QStringLiteral("b_psalms.txt"), module.bytes(1252));
        AdvancedSearch::Register();
    }
    void cleanup() { m_fx.reset(); }

    void switchingDocuments()
    {
        gFitToDesktop = false;
        gMarginLeft = 1;
        AdvancedSearch &first = searchFor(QStringLiteral("lord*shepherd"));
        const QPointer<QTextDocument> before = first.RT->document();
        const QSizeF page = before->pageSize();
        const qreal margin = before->documentMargin();
        AdvancedSearch &window = searchFor(QStringLiteral("lord's"));
        const QTextDocument *shown = window.RT->document();
        // One document per search is kept, not one per search ever run.
        QVERIFY(before.isNull());
        QCOMPARE(shown->pageSize(), page);
        QCOMPARE(shown->documentMargin(), margin);
        QVERIFY(!shown->isUndoAvailable());
        QVERIFY(!shown->isModified());
        const QString text = shown->toPlainText();
        QCOMPARE(text.count(QLatin1Char('\n')), 200);
        // Each hit in its term's colour, the rest in the text colour.
        const int hit = int(text.indexOf(QStringLiteral("Lord\u2019s")));
        QCOMPARE(colourAt(shown, hit), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(shown, hit + 5), OleColor::toQColor(gBib1H1));
        QCOMPARE(colourAt(shown, hit + 6), OleColor::toQColor(gBib1TC));
        QCOMPARE(colourAt(shown, hit - 2), OleColor::toQColor(gBib1TC));
        // Every paragraph has the page layout's indent, not only the first.
        const qreal indent = shown->firstBlock().blockFormat().leftMargin();
        QVERIFY(indent > 0);
        for (QTextBlock block = shown->firstBlock(); block.isValid(); block = block.next())
            QCOMPARE(block.blockFormat().leftMargin(), indent);
    }

    // The hits are looked for in the text the document was made from, with the
    // places they have in the document, even where inserting the text made a
    // paragraph end of a character or of two.
    void hitsInTheTextAreTheDocuments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("terms");
        const QString lines = QStringLiteral("GEN 1:1 ab\nGEN 1:2 b a\n");
        QTest::newRow("plain lines") << lines << QStringList{QStringLiteral("a"), QStringLiteral("1 b")};
        QTest::newRow("CR LF") << QStringLiteral("x a\r\nGEN 1:2 a\n") << QStringList{QStringLiteral("a")};
        QTest::newRow("CR alone") << QStringLiteral("x\ra a\n") << QStringList{QStringLiteral("a")};
        QTest::newRow("paragraph separator")
            << QStringLiteral("x\u2029a\n") << QStringList{QStringLiteral("x")};
        QTest::newRow("frame character") << QStringLiteral("x\uFDD0a\n") << QStringList{QStringLiteral("a")};
        QTest::newRow("term with a line feed") << lines << QStringList{QStringLiteral("ab\nG")};
        QTest::newRow("term with a paragraph end") << lines << QStringList{QStringLiteral("ab\u2029G")};
        QTest::newRow("term with a CR") << QStringLiteral("x\ra\n") << QStringList{QStringLiteral("x\ra")};
    }
    void hitsInTheTextAreTheDocuments()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, terms);
        QTextDocument document;
        QTextCursor(&document).insertText(text);
        const HighlightPlan fromText = PlanHighlights(document, text, terms, 100);
        const HighlightPlan fromDocument = PlanHighlights(document.toRawText(), terms, 100);
        QCOMPARE(fromText.matches, fromDocument.matches);
        QCOMPARE(fromText.hits.size(), fromDocument.hits.size());
        for (size_t i = 0; i < fromText.hits.size(); ++i) {
            QCOMPARE(fromText.hits[i].position, fromDocument.hits[i].position);
            QCOMPARE(fromText.hits[i].length, fromDocument.hits[i].length);
        }
    }
};

QTEST_MAIN(TestResultDocument)
#include "tst_resultdocument.moc"
