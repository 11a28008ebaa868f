#include "platform/OleColor.h"
#include "platform/ParagraphIndents.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QtTest>

class TestRichTextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textKeepsCrLfLineBreaks()
    {
        RichTextBox box;
        box.setText(QStringLiteral("one\r\ntwo\nthree\rfour"));
        QCOMPARE(box.Text(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
        // A line break is one position: "one|" is 3, the break 1.
        QCOMPARE(box.endPosition(), 18);
        box.setText(QString());
        QCOMPARE(box.Text(), QString());
        QCOMPARE(box.endPosition(), 0);
    }

    void selStartAndLengthClampToTheEnd()
    {
        RichTextBox box;
        box.setText(QStringLiteral("abc\r\ndef"));
        box.setSelStart(9999999);
        QCOMPARE(box.SelStart(), 7);
        QCOMPARE(box.SelLength(), 0);

        box.setSelStart(2);
        box.setSelLength(3);
        QCOMPARE(box.SelStart(), 2);
        QCOMPARE(box.SelLength(), 3);
        QCOMPARE(box.SelText(), QStringLiteral("c\r\nd"));
        box.setSelLength(100);
        QCOMPARE(box.SelLength(), 5);

        // Setting SelStart collapses the selection.
        box.setSelStart(1);
        QCOMPARE(box.SelLength(), 0);
        QCOMPARE(box.SelText(), QString());

        try {
            box.setSelStart(-1);
            QFAIL("a negative SelStart was accepted");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), RtErr::InvalidPropertyValue);
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, box.setSelLength(-2));
        QCOMPARE(box.SelStart(), 1);
    }

    void selTextReplacesTheSelection()
    {
        RichTextBox box;
        box.setText(QStringLiteral("Hello cruel world"));
        box.setSelStart(6);
        box.setSelLength(5);
        box.setSelText(QStringLiteral("kind\r\nnew"));
        QCOMPARE(box.Text(), QStringLiteral("Hello kind\r\nnew world"));
        // The caret stands after the inserted text, with nothing selected.
        QCOMPARE(box.SelStart(), 14);
        QCOMPARE(box.SelLength(), 0);

        box.setSelStart(box.endPosition());
        box.setSelText(QStringLiteral("!"));
        QCOMPARE(box.Text(), QStringLiteral("Hello kind\r\nnew world!"));
    }

    void lockedBoxStillTakesTextFromCode()
    {
        RichTextBox box;
        box.setLocked(true);
        QVERIFY(box.Locked());
        QVERIFY(box.isReadOnly());
        box.setSelText(QStringLiteral("log line"));
        QCOMPARE(box.Text(), QStringLiteral("log line"));
        box.setLocked(false);
        QVERIFY(!box.Locked());
    }

    void colourAndBoldOfSelection()
    {
        RichTextBox box;
        box.setText(QStringLiteral("plain "));
        box.setSelStart(box.endPosition());
        const quint32 red = OleColor::rgb(255, 0, 0);
        box.setSelColor(red);
        box.setSelBold(true);
        // Without a selection the format applies to the next text.
        box.setSelText(QStringLiteral("marked"));
        box.setSelBold(false);
        box.setSelColor(0);
        box.setSelText(QStringLiteral(" tail"));

        box.setSelStart(6);
        box.setSelLength(6);
        QCOMPARE(box.SelText(), QStringLiteral("marked"));
        QCOMPARE(box.SelColor().value<quint32>(), red);
        QCOMPARE(box.SelBold().toBool(), true);

        box.setSelStart(0);
        box.setSelLength(5);
        QCOMPARE(box.SelBold().toBool(), false);
        QVERIFY(!box.SelBold().isNull());

        // A selection over both formats has no one value.
        box.setSelStart(3);
        box.setSelLength(6);
        QVERIFY(box.SelColor().isNull());
        QVERIFY(box.SelBold().isNull());

        box.setSelBold(true);
        QCOMPARE(box.SelBold().toBool(), true);
        box.setSelColor(OleColor::rgb(0, 0, 255));
        QCOMPARE(box.SelColor().value<quint32>(), OleColor::rgb(0, 0, 255));
    }

    void appendingManyLinesIsQuickAndKeepsTheEndInView()
    {
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QElapsedTimer clock;
        clock.start();
        const int lines = 5000;
        for (int i = 0; i < lines; ++i) {
            box.setSelStart(9999999);
            box.setSelText(QStringLiteral("Creating index for module %1\r\n").arg(i));
        }
        // Each append lays out only what changed; a full re-layout per append
        // would take minutes here.
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(box.document()->blockCount(), lines + 1);
        QCoreApplication::processEvents();
        QVERIFY(box.verticalScrollBar()->maximum() > 0);
        QVERIFY(box.verticalScrollBar()->value() > 0);
        QVERIFY(box.viewport()->rect().contains(box.cursorRect()));
    }

    void rtfPropertiesRoundTrip()
    {
        RichTextBox box;
        box.setText(QStringLiteral("First line\r\nSecond \u05D0 line"));
        box.setSelStart(0);
        box.setSelLength(5);
        box.setSelBold(true);
        const QString rtf = box.TextRTF();
        QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1")));
        const int blocks = box.document()->blockCount();
        box.setTextRTF(rtf);
        QCOMPARE(box.Text(), QStringLiteral("First line\r\nSecond \u05D0 line"));
        QCOMPARE(box.document()->blockCount(), blocks);
        box.setSelStart(0);
        box.setSelLength(5);
        QCOMPARE(box.SelBold(), QVariant(true));
        box.setSelStart(6);
        box.setSelLength(4);
        QCOMPARE(box.SelBold(), QVariant(false));

        box.setSelStart(11);
        box.setSelLength(6);
        QVERIFY(box.SelRTF().contains(QStringLiteral("Second")));
        QVERIFY(!box.SelRTF().contains(QStringLiteral("First")));
        box.setSelRTF(QStringLiteral("{\\rtf1\\ansi {\\i Third}}"));
        QCOMPARE(box.Text(), QStringLiteral("First line\r\nThird \u05D0 line"));
        QCOMPARE(box.SelStart(), 16); // the caret after what was pasted
    }

    void filesInBothFormats()
    {
        QTemporaryDir dir;
        RichTextBox box;
        box.setText(QStringLiteral("Notes \u00E9\r\nline two"));
        box.setSelStart(0);
        box.setSelLength(5);
        box.setSelBold(true);
        box.SaveFile(dir.filePath(QStringLiteral("notes.rtf")));
        box.SaveFile(dir.filePath(QStringLiteral("notes.txt")), RichTextBox::rtfText);
        QFile text(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(text.open(QIODevice::ReadOnly));
        QCOMPARE(text.readAll(), QByteArray("Notes \xE9\r\nline two"));

        RichTextBox other;
        other.LoadFile(dir.filePath(QStringLiteral("notes.rtf")));
        QCOMPARE(other.Text(), box.Text());
        other.setSelStart(0);
        other.setSelLength(5);
        QCOMPARE(other.SelBold(), QVariant(true));
        other.LoadFile(dir.filePath(QStringLiteral("notes.txt")), RichTextBox::rtfText);
        QCOMPARE(other.Text(), QStringLiteral("Notes \u00E9\r\nline two"));

        QVERIFY_THROWS_EXCEPTION(RuntimeError, other.LoadFile(dir.filePath(QStringLiteral("missing.rtf"))));
        QCOMPARE(other.Text(), QStringLiteral("Notes \u00E9\r\nline two"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 other.SaveFile(dir.filePath(QStringLiteral("no/such/folder/x.rtf"))));
    }

    // A page margin moves the margin the paragraphs share: each keeps its own
    // indent beyond it and every list item the room of its marker. Margins in
    // twips; "b" marks a bulleted paragraph.
    void pageIndentKeepsEachParagraphsOwnIndent_data()
    {
        QTest::addColumn<QStringList>("paragraphs"); // "<margin>" or "b<margin>"
        QTest::addColumn<float>("page");
        QTest::addColumn<QList<float>>("expected");
        const float room = ParagraphIndents::MarkerRoomTwips;
        QTest::newRow("plain, back to none") << QStringList{"1134", "1634"} << 0.0f << QList<float>{0, 500};
        QTest::newRow("bullets only") << QStringList{"b360", "b360"} << 0.0f << QList<float>{room, room};
        QTest::newRow("bullets only, to a margin")
            << QStringList{"b360", "b860"} << 1134.0f << QList<float>{1134 + room, 1634 + room};
        QTest::newRow("bullet with no room gets it, the rest stays")
            << QStringList{"0", "b0"} << 0.0f << QList<float>{0, room};
    }
    void pageIndentKeepsEachParagraphsOwnIndent()
    {
        QFETCH(QStringList, paragraphs);
        QFETCH(float, page);
        QFETCH(QList<float>, expected);
        RichTextBox box;
        QStringList texts;
        for (qsizetype i = 0; i < paragraphs.size(); ++i)
            texts.append(QStringLiteral("Paragraph %1").arg(i));
        box.setText(texts.join(QStringLiteral("\r\n")));
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(0); // as the bullet button makes them: the room is the paragraph's
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            QTextCursor at(box.document()->findBlockByNumber(int(i)));
            if (paragraphs[i].startsWith(QLatin1Char('b')))
                at.createList(bullets);
            QTextBlockFormat format;
            format.setLeftMargin(QString(paragraphs[i]).remove(QLatin1Char('b')).toDouble() /
                                 Twips::perPixelX());
            at.mergeBlockFormat(format);
        }
        box.setPageIndent(page);
        QList<float> margins;
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
            margins.append(float(block.blockFormat().leftMargin() * Twips::perPixelX()));
        QCOMPARE(margins.size(), expected.size());
        for (qsizetype i = 0; i < margins.size(); ++i)
            QVERIFY2(qAbs(margins[i] - expected[i]) < 1,
                     qPrintable(QStringLiteral("%1: %2").arg(i).arg(margins[i])));
    }
};

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
