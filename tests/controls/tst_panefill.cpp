#include "common/TestFixture.h"
#include "controls/NewRichText.h"
#include "platform/RichEditWidget.h"
#include "platform/TextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {
using Runs = std::vector<StyledRun>;

// Every fragment of a document: its text and its character format.
QList<std::pair<QString, QTextCharFormat>> fragments(const QTextDocument &document)
{
    QList<std::pair<QString, QTextCharFormat>> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            out.append({it.fragment().text(), it.fragment().charFormat()});
        out.append({QStringLiteral("<mark>"), block.charFormat()});
    }
    return out;
}
} // namespace

// A book appended in one batch gives the pane exactly what appending its runs
// one by one gives: the same text and the same formats.
class TestPaneFill : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    std::unique_ptr<NewRichText> makePane()
    {
        auto pane = std::make_unique<NewRichText>();
        pane->resize(400, 300);
        pane->show();
        pane->AddNamedStyle(QStringLiteral("normal"), QStringLiteral("Serif Test,12,"));
        pane->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
        pane->AddNamedStyle(QStringLiteral("VerseNumber"), QStringLiteral(",,bP"));
        return pane;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyBuiltFile(QStringLiteral("libVxHelpers.so"));
    }
    void cleanup() { m_fx.reset(); }

    void batchEqualsOneByOne_data()
    {
        QTest::addColumn<QString>("before"); // text already in the pane, in "Chapter"
        QTest::addColumn<bool>("filling");
        QTest::addColumn<Runs>("runs");
        const Runs book{{QStringLiteral("Genesis\r\n1"), QStringLiteral("Chapter")},
                        {QStringLiteral(" "), QStringLiteral("normal")},
                        {QStringLiteral("In the beginning\r\n"), QStringLiteral("normal")},
                        {QStringLiteral("2"), QStringLiteral("VerseNumber")},
                        {QString(), QStringLiteral("Chapter")}, // an empty run leaves no trace
                        {QStringLiteral("And the earth\r\n"), QStringLiteral("normal")},
                        {QStringLiteral("Psalm 2\r\n"), QStringLiteral("Chapter")},
                        {QStringLiteral("1"), QStringLiteral("VerseNumber")},
                        {QStringLiteral("a\vsoft break\r\n"), QStringLiteral("normal")}};
        QTest::newRow("formatted book") << QString() << true << book;
        QTest::newRow("after text, outside a fill") << QStringLiteral("Title\r\n") << false << book;
        QTest::newRow("plain lines and unknown styles")
            << QStringLiteral("x") << true
            << Runs{{QStringLiteral("Gen 1:1 In\r\n"), QString()},
                    {QStringLiteral("Gen 1:2 And\r\n"), QString()},
                    {QStringLiteral("odd"), QStringLiteral("no such style")},
                    {QStringLiteral("2"), QStringLiteral("VerseNumber")},
                    {QStringLiteral("plain after\r\n"), QString()}};
        QTest::newRow("nothing") << QStringLiteral("x") << false << Runs{};
        QTest::newRow("only empty runs")
            << QStringLiteral("x") << false
            << Runs{{QString(), QStringLiteral("Chapter")}, {QString(), QString()}};
    }
    void batchEqualsOneByOne()
    {
        QFETCH(QString, before);
        QFETCH(bool, filling);
        QFETCH(Runs, runs);
        auto single = makePane();
        auto batch = makePane();
        for (NewRichText *pane : {single.get(), batch.get()}) {
            if (!before.isEmpty())
                pane->AppendFormattedText(before, QStringLiteral("Chapter"));
            pane->SetSelection(0, 0); // where the appends leave it is compared
            if (filling)
                pane->BeginFill();
        }
        for (const StyledRun &run : runs) {
            if (run.style.isEmpty())
                single->AppendPlainText(run.text);
            else
                single->AppendFormattedText(run.text, run.style);
        }
        batch->AppendRuns(runs);
        if (filling) {
            single->EndFill();
            batch->EndFill();
        }
        QCOMPARE(batch->Text(), single->Text());
        QCOMPARE(fragments(*batch->textDocument()->document()),
                 fragments(*single->textDocument()->document()));
        QCOMPARE(batch->SelStart(), single->SelStart());
        QCOMPARE(batch->SelLength(), single->SelLength());
        QCOMPARE(batch->TextRTF(), single->TextRTF());
        QCOMPARE(batch->textDocument()->freezeCount(), 0);
        QVERIFY(batch->hwnd()->isVisible());
    }

    void aLongTextIsReplacedAndLaidOutAgain()
    {
        auto pane = makePane();
        Runs runs;
        for (int v = 1; v <= 3000; ++v) {
            runs.push_back({QString::number(v), QStringLiteral("VerseNumber")});
            runs.push_back(
                {QStringLiteral("A verse of some length, to fill more than one line of the pane.\r\n"),
                 QStringLiteral("normal")});
        }
        pane->BeginFill();
        pane->AppendRuns(runs);
        pane->EndFill();
        QTextDocument *document = pane->textDocument()->document();
        QCOMPARE(document->blockCount(), 3001);
        QVERIFY(!document->pageSize().isNull()); // laid out again after the fill
        // The end can be reached: the layout covers the whole text when asked.
        QTRY_VERIFY(document->documentLayout()->documentSize().height() >
                    3000 * QFontMetrics(QFont(QStringLiteral("Serif Test"), 12)).height() / 2);
        pane->setText(QString());
        QCOMPARE(pane->Text(), QStringLiteral("\r"));
        QVERIFY(!document->pageSize().isNull());
        QCOMPARE(pane->textDocument()->freezeCount(), 0);
    }
};

QTEST_MAIN(TestPaneFill)
#include "tst_panefill.moc"
