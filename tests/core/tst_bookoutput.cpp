#include "common/ModuleBuilder.h"
#include "common/TestFixture.h"
#include "core/CharMapper.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/ReadingPane.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/RtfReader.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QTextDocument>
#include <QtTest>

namespace {
// A pane that records what is appended to it.
class RecordingPane : public ReadingPane
{
public:
    QStringList pieces; // "style|text"
    QString plain;
    int fills = 0;
    bool filling = false;
    int quoteCalls = 0, dashCalls = 0;
    QString quotesSeen;
    void BeginFill() override
    {
        filling = true;
        ++fills;
    }
    void EndFill() override { filling = false; }
    void AppendPlainText(const QString &text) override { plain += text; }
    void AppendFormattedText(const QString &text, const QString &style) override
    {
        pieces.append(style + QLatin1Char('|') + text);
    }
    void SetSelection(int, int) override {}
    void SmartQuotes(QString &text, const QString &quotes) override
    {
        ++quoteCalls;
        quotesSeen = quotes;
        text.replace(QLatin1Char('"'), quotes[0]);
    }
    void FixSpacesAndDashes(QString &text) override
    {
        ++dashCalls;
        text.replace(QStringLiteral("--"), QStringLiteral("\u2014"));
    }
};

// A pane whose text window is missing: every call that needs it fails.
class PaneWithoutWindow : public RecordingPane
{
public:
    void AppendFormattedText(const QString &, const QString &) override { fail(); }
    void AppendPlainText(const QString &) override { fail(); }
    void SetSelection(int, int) override { fail(); }

private:
    [[noreturn]] static void fail()
    {
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.NewRichText"));
    }
};
} // namespace

class TestBookOutput : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::shared_ptr<Translation> m_t;

    void install(const ModuleBuilder &module, const QString &fileName = QStringLiteral("b_test.txt"),
                 int codePage = 1252)
    {
        m_fx->addBible(QStringLiteral("Test"), fileName, module.bytes(codePage));
        m_t = GetTranslation(gBibles.Count() - 1);
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"),
                        "0107 Psalm\r\n0110 Details:\r\n"
                        "0254 [Stops in %]\r\n"
                        "0265 The scratch copy % could not be written.\r\n");
    }
    void cleanup()
    {
        m_t.reset();
        m_fx.reset();
    }

    void formattedGenesis()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("In the beginning \"God\" -- created"))
            .verse(1, 1, 2, QStringLiteral("And the earth"))
            .verse(1, 2, 1, QStringLiteral("Thus the heavens"))
            .chapter(2, 1, 1);
        install(module);
        RecordingPane pane;
        m_t->BookContentsIntoNewRichEdit(pane, 1, true, false, false);
        QCOMPARE(pane.pieces, (QStringList{
                                  QStringLiteral("Chapter|Genesis\r\n1"),
                                  QStringLiteral("normal| "),
                                  QStringLiteral("normal|In the beginning \"God\" -- created\r\n"),
                                  QStringLiteral("VerseNumber|2"),
                                  QStringLiteral("normal|And the earth\r\n"),
                                  QStringLiteral("Chapter|2"),
                                  QStringLiteral("normal| "),
                                  QStringLiteral("normal|Thus the heavens\r\n"),
                              }));
        QCOMPARE(pane.fills, 1);
        QVERIFY(!pane.filling);
        QCOMPARE(pane.quoteCalls + pane.dashCalls, 0);
        QCOMPARE(m_fx->desk().waitCursorDepth, 0);
    }

    void psalmsKeepVerseOne()
    {
        ModuleBuilder module;
        module.chapter(18, 1, 1).chapter(19, 1, 2).chapter(19, 2, 1).chapter(20, 1, 1);
        install(module);
        RecordingPane pane;
        m_t->BookContentsIntoNewRichEdit(pane, 19, true, false, false);
        QCOMPARE(pane.pieces, (QStringList{
                                  QStringLiteral("Chapter|Psalm 1\r\n"),
                                  QStringLiteral("VerseNumber|1"),
                                  QStringLiteral("normal|19.1.1\r\n"),
                                  QStringLiteral("VerseNumber|2"),
                                  QStringLiteral("normal|19.1.2\r\n"),
                                  QStringLiteral("Chapter|Psalm 2\r\n"),
                                  QStringLiteral("VerseNumber|1"),
                                  QStringLiteral("normal|19.2.1\r\n"),
                              }));
    }

    void typographyOnlyInTheFormattedView()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("say \"x\" -- y"));
        install(module);
        RecordingPane fancy;
        m_t->BookContentsIntoNewRichEdit(fancy, 1, true, true, true);
        QCOMPARE(fancy.quoteCalls, 1);
        QCOMPARE(fancy.dashCalls, 1);
        QCOMPARE(fancy.quotesSeen, QStringLiteral("\u201C\u201D\u2018\u2019"));
        QCOMPARE(fancy.pieces.last(), QStringLiteral("normal|say \u201Cx\u201C \u2014 y\r\n"));

        RecordingPane plain;
        m_t->BookContentsIntoNewRichEdit(plain, 1, false, true, true);
        QCOMPARE(plain.quoteCalls + plain.dashCalls, 0);
        QCOMPARE(plain.plain, QStringLiteral("Gen 1:1 say \"x\" -- y\r\n"));
        QVERIFY(plain.pieces.isEmpty());
    }

    // The book a module file cut short stops in ends, as reference lines and as
    // RTF, with a line that says so; a book before it ends as usual.
    void bookCutShortEndsWithALineThatSaysSo()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 2).verse(2, 1, 1, QStringLiteral("These are the names"));
        m_fx->addBible(QStringLiteral("Test"), QStringLiteral("b_cut.txt"),
                       module.bytes() + "4\t2\t1\t2\tAnd Joseph was in Eg");
        m_t = GetTranslation(0);
        const QString stop = QStringLiteral("[Stops in ") + gBibleFolder + QStringLiteral("b_cut.txt]");
        QVERIFY(m_t->BookContents(2, false).endsWith(QStringLiteral("Exo 1:2 And Joseph was in Eg\r\n") +
                                                     stop + QStringLiteral("\r\n")));
        QVERIFY(m_t->BookContents(2, true).endsWith(QStringLiteral("And Joseph was in Eg\\par \r\n") + stop +
                                                    QStringLiteral("\\par \r\n}\r\n")));
        QVERIFY(!m_t->BookContents(1, false).contains(stop));
    }

    void plainViewAndBadLines()
    {
        ModuleBuilder module;
        module.verse(40, 1, 1, QStringLiteral("The book"))
            .raw("2\t40\t1\t2")
            .verse(40, 1, 3, QStringLiteral("Three"));
        install(module);
        RecordingPane pane;
        m_t->BookContentsIntoNewRichEdit(pane, 40, false, false, false);
        QCOMPARE(pane.plain,
                 QStringLiteral("Mat 1:1 The book\r\nMat 1:3 Three\r\n")); // the four-field line is skipped
    }

    void paneFailuresAreReportedOnce()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 3);
        install(module);
        PaneWithoutWindow pane;
        try {
            m_t->BookContentsIntoNewRichEdit(pane, 1, true, false, false);
        } catch (const RuntimeError &e) {
            QFAIL(qPrintable(QStringLiteral("the error escaped: ") + e.description()));
        }
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.contains(QStringLiteral("Translation.BookContentsIntoNewRichEdit()")));
        QVERIFY(!pane.filling); // the pane is shown again
        QCOMPARE(m_fx->desk().waitCursorDepth, 0);
    }

    void missingBooksAndBadNumbersShowNothing()
    {
        ModuleBuilder module;
        module.chapter(40, 1, 2);
        install(module);
        for (int book : {1, 39, 41, 66, 0, 67, -3}) {
            RecordingPane pane;
            m_t->BookContentsIntoNewRichEdit(pane, book, true, false, false);
            QVERIFY(pane.pieces.isEmpty());
            QVERIFY(!pane.filling);
        }
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void utf8ModuleIsDecoded()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA \u201Cquoted\u201D"));
        install(module, QStringLiteral("b_heb_utf8.txt"), 65001);
        RecordingPane pane;
        m_t->BookContentsIntoNewRichEdit(pane, 1, true, false, false);
        QCOMPARE(pane.pieces.last(),
                 QStringLiteral("normal|\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA \u201Cquoted\u201D\r\n"));
        QCOMPARE(m_t->BookContents(1, false),
                 QStringLiteral("Gen 1:1 \u05D1\u05E8\u05D0\u05E9\u05D9\u05EA \u201Cquoted\u201D\r\n"));
    }

    void characterMapper()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("abc \u00E9"));
        install(module);
        auto mapper = std::make_shared<CharMapper>();
        QString map = mapper->OutputChars();
        QCOMPARE(map.size(), 256);
        map[int('a')] = QLatin1Char('A');
        map[0xE9] = QLatin1Char('E');
        mapper->SetOutputChars(map);
        m_t->Mapper = mapper;
        QCOMPARE(m_t->BookContents(1, false), QStringLiteral("Gen 1:1 Abc E\r\n"));
        QString hebrew = QStringLiteral("\u05D0a");
        mapper->AlterString(hebrew);
        QCOMPARE(hebrew, QStringLiteral("\u05D0A")); // no code in the code page: unchanged
    }

    void bookContentsWithoutAScratchFolder()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("In the beginning"));
        install(module);
        // The scratch copy cannot be written: the text is still there, and nothing is reported.
        QVERIFY(QDir(m_fx->path(QStringLiteral("Scratch"))).removeRecursively());
        m_fx->writeFile(QStringLiteral("Scratch"), "not a folder");
        QCOMPARE(m_t->BookContents(1, false), QStringLiteral("Gen 1:1 In the beginning\r\n"));
        QVERIFY(m_t->BookContents(1, true).contains(QStringLiteral("Genesis\\par 1} In the beginning")));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void bookContentsAsRtf()
    {
        ModuleBuilder module;
        module.verse(1, 1, 1, QStringLiteral("In {the} \\ beginning \u00E9 \u2014"))
            .verse(1, 1, 2, QStringLiteral("two"))
            .verse(1, 2, 1, QStringLiteral("second"))
            .verse(19, 1, 1, QStringLiteral("Blessed"));
        install(module);
        const QString rtf = m_t->BookContents(1, true);
        QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi\r\n")));
        QVERIFY(rtf.endsWith(QStringLiteral("}\r\n")));
        QVERIFY(rtf.contains(
            QStringLiteral("{\\b\\fs40 Genesis\\par 1} In \\{the\\} \\\\ beginning \\u233? \\u8212?\\par ")));
        QVERIFY(rtf.contains(QStringLiteral("{\\super 2}two\\par ")));
        QVERIFY(rtf.contains(QStringLiteral("{\\b\\fs40 2} second\\par ")));
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/BibTmp2_b_test.txt")), rtf.toLatin1());

        // It is RTF that a reader accepts, with the text intact.
        QTextDocument doc;
        QVERIFY(RtfReader::read(rtf.toLatin1(), &doc));
        QVERIFY(doc.toPlainText().contains(QStringLiteral("In {the} \\ beginning \u00E9 \u2014")));

        const QString psalms = m_t->BookContents(19, true);
        QVERIFY(psalms.contains(QStringLiteral("{\\b\\fs40 Psalm 1}\\par{\\super 1}Blessed\\par ")));
        QCOMPARE(m_t->BookContents(2, false), QString()); // a missing book: nothing
    }

    void copyRanges()
    {
        ModuleBuilder module;
        module.chapter(1, 1, 2).chapter(1, 2, 1).chapter(40, 1, 2).chapter(66, 1, 1).chapter(66, 2, 1);
        install(module);
        const QByteArray bytes = module.bytes();
        const QString path = m_fx->path(QStringLiteral("Scratch/copy.txt"));
        m_t->CopyBookIntoFile(path, 40, 66, true);
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/copy.txt")),
                 bytes.mid(bytes.indexOf("4\t40\t")) + "\r\n");

        m_t->CopyChapterIntoFile(path, 1, 2, 1, 2, true);
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/copy.txt")), QByteArray("3\t1\t2\t1\t1.2.1\r\n\r\n"));
        m_t->CopyChapterIntoFile(path, 66, 2, 66, 0, false); // appended
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/copy.txt")),
                 QByteArray("3\t1\t2\t1\t1.2.1\r\n\r\n7\t66\t2\t1\t66.2.1\r\n\r\n"));
        m_t->CopyChapterIntoFile(path, 1, 5, 1, 5, true); // no such chapter: only the empty line
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/copy.txt")), QByteArray("\r\n"));
        m_t->CopyBookIntoFile(path, 2, 39, true); // books the module lacks
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/copy.txt")), QByteArray("\r\n"));
        m_t->CopyBookIntoFile(path, 1, 66, true);
        QCOMPARE(m_fx->readFile(QStringLiteral("Scratch/copy.txt")), bytes + "\r\n");

        // A copy that cannot be written names the file; it is no bug to report.
        const QString nowhere = m_fx->path(QStringLiteral("no/such/folder/x.txt"));
        m_t->CopyBookIntoFile(nowhere, 1, 1, true);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY2(m_fx->desk().lastMessage().startsWith(GetMsg(0, 265, QDir::toNativeSeparators(nowhere))),
                 qPrintable(m_fx->desk().lastMessage()));
    }
};

QTEST_GUILESS_MAIN(TestBookOutput)
#include "tst_bookoutput.moc"
