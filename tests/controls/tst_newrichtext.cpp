#include "abi/VirtualKeys.h"
#include "common/TestFixture.h"
#include "controls/NewRichText.h"
#include "controls/WinApi_.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/AppInfo.h"
#include "platform/RichEditWidget.h"
#include "platform/TextDocument.h"
#include "platform/TextFont.h"
#include "platform/TextRange.h"
#include "platform/TextSelection.h"
#include "platform/Tom.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

class TestNewRichText : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<NewRichText> m_pane;

    QTextCharFormat formatAt(int position) const
    {
        QTextCursor cursor(m_pane->textDocument()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        // The helper library is loaded from the program folder.
        m_fx->copyBuiltFile(QStringLiteral("libVxHelpers.so"));
        m_pane = std::make_unique<NewRichText>();
        m_pane->resize(500, 300);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    }
    void cleanup()
    {
        m_pane.reset();
        m_fx.reset();
    }

    void createdThroughTheLibrary()
    {
        QVERIFY(m_pane->hwnd());
        QVERIFY(m_pane->textDocument());
        QCOMPARE(m_pane->hwnd()->parentWidget(), m_pane.get());
        QCOMPARE(m_pane->hwnd()->size(), m_pane->size());
        QCOMPARE(m_pane->hwnd()->eventMask(), 0xB0001u);
        auto normal = m_pane->GetNamedStyle(QStringLiteral("normal"));
        QVERIFY(normal);
        QCOMPARE(normal->Name(), QStringLiteral("Arial Unicode MS"));
        QCOMPARE(normal->Size(), 10.0f);
        QCOMPARE(normal->Bold(), int(Tom::tomFalse));
        QCOMPARE(normal->Superscript(), int(Tom::tomFalse));
        QCOMPARE(m_pane->Text(), QStringLiteral("\r"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void namedStyles()
    {
        auto chapter = m_pane->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
        QCOMPARE(chapter->Name(), QStringLiteral("Arial Unicode MS")); // from the first style
        QCOMPARE(chapter->Size(), 20.0f);
        QCOMPARE(chapter->Bold(), int(Tom::tomTrue));
        QCOMPARE(m_pane->GetNamedStyle(QStringLiteral("normal"))->Bold(), int(Tom::tomFalse));

        auto same = m_pane->AddNamedStyle(QStringLiteral("Copy"), QString());
        QCOMPARE(same->Size(), 10.0f);
        QVERIFY(same.get() != m_pane->GetNamedStyle(QStringLiteral("normal")).get());

        auto given = TextFont::create();
        auto stored = m_pane->AddNamedStyle(QStringLiteral("Given"), QStringLiteral("Serif,x,Iu"), given);
        QCOMPARE(stored.get(), given.get()); // changed and stored itself
        QCOMPARE(given->Italic(), int(Tom::tomTrue));
        QCOMPARE(given->Underline(), int(Tom::tomFalse));
        QVERIFY(given->Size() != 0.0f || given->Size() == float(Tom::tomUndefined)); // "x" is no size
        QVERIFY(!m_pane->GetNamedStyle(QStringLiteral("chapter")));                  // names compared exactly

        m_pane->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",12,b"));
        QCOMPARE(m_pane->GetNamedStyle(QStringLiteral("Chapter"))->Size(), 12.0f);
    }

    void appendsCarryTheirStyle()
    {
        m_pane->AddNamedStyle(QStringLiteral("VerseNumber"), QStringLiteral(",,bP"));
        m_pane->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
        m_pane->AppendFormattedText(QStringLiteral("Genesis\r\n1"), QStringLiteral("Chapter"));
        m_pane->AppendFormattedText(QStringLiteral(" In the beginning\r\n"), QStringLiteral("normal"));
        m_pane->AppendFormattedText(QStringLiteral("2"), QStringLiteral("VerseNumber"));
        m_pane->AppendFormattedText(QStringLiteral("And the earth\r\n"), QStringLiteral("nonexistent"));
        QCOMPARE(m_pane->Text(), QStringLiteral("Genesis\r1 In the beginning\r2And the earth\r\r"));
        QVERIFY(formatAt(0).fontWeight() >= QFont::Bold);
        QCOMPARE(formatAt(0).fontPointSize(), 20.0);
        QCOMPARE(formatAt(10).fontPointSize(), 10.0);                                  // "In"
        QCOMPARE(formatAt(28).verticalAlignment(), QTextCharFormat::AlignSuperScript); // "2"
        // An unknown style appends in the format found at the end.
        QCOMPARE(formatAt(29).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(m_pane->SelStart(), m_pane->Text().size() - 1); // the caret follows the end
    }

    void selectionProperties()
    {
        m_pane->setText(QStringLiteral("In the beginning God"));
        m_pane->setSelStart(3);
        m_pane->setSelLength(3);
        QCOMPARE(m_pane->SelText(), QStringLiteral("the"));
        m_pane->setSelBold(Tom::tomTrue);
        QCOMPARE(m_pane->SelBold(), int(Tom::tomTrue));
        m_pane->setSelStart(0);
        m_pane->setSelLength(9999999);
        QCOMPARE(m_pane->SelBold(), int(Tom::tomUndefined));
        m_pane->setSelColor(0x0000FF);
        QCOMPARE(m_pane->SelColor(), 0x0000FF);
        m_pane->setSelStart(7);
        m_pane->setSelLength(-4);
        // An end before the start takes the start with it.
        QCOMPARE(m_pane->SelStart(), 3);
        QCOMPARE(m_pane->SelLength(), 0);
        m_pane->setSelLength(4);
        m_pane->setSelText(QStringLiteral("THE "));
        QCOMPARE(m_pane->Text(), QStringLiteral("In THE beginning God\r"));
    }

    void find()
    {
        m_pane->setText(QStringLiteral("a God, a god and a GOD"));
        QCOMPARE(m_pane->Find(QStringLiteral("God"), 1), 3);
        QCOMPARE(m_pane->SelText(), QStringLiteral("God"));
        QCOMPARE(m_pane->Find(QStringLiteral("god"), 4), 10);
        QCOMPARE(m_pane->Find(QStringLiteral("Moses"), 1), 0);
        QCOMPARE(m_pane->SelStart(), 9); // a miss leaves the selection
        QCOMPARE(m_pane->Find(QString(), 1), 0);
    }

    void rtfRoundTripThroughTheLibrary()
    {
        m_pane->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
        m_pane->AppendFormattedText(QStringLiteral("Title\r\n"), QStringLiteral("Chapter"));
        m_pane->AppendFormattedText(QStringLiteral("Body \u05D0\u05D1 \u00E9 {x}\\"),
                                    QStringLiteral("normal"));
        const QString text = m_pane->Text();
        const int blocks = m_pane->textDocument()->document()->blockCount();
        const QString rtf = m_pane->TextRTF();
        QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1")));
        m_pane->setTextRTF(rtf);
        QCOMPARE(m_pane->Text(), text);
        QCOMPARE(m_pane->textDocument()->document()->blockCount(), blocks);
        QCOMPARE(formatAt(0).fontPointSize(), 20.0);
        QVERIFY(formatAt(0).fontWeight() >= QFont::Bold);

        m_pane->setSelStart(0);
        m_pane->setSelLength(5);
        m_pane->setSelRtf(QStringLiteral("{\\rtf1\\ansi {\\i New}}"));
        QVERIFY(m_pane->Text().startsWith(QStringLiteral("New\r")));
        QVERIFY(formatAt(0).fontItalic());
    }

    void keysGoThroughTheHost()
    {
        m_pane->setText(QString());
        connect(m_pane.get(), &NewRichText::KeyDown, this, [](int &keyCode, int &) {
            if (keyCode == 'X')
                keyCode = 0; // swallowed
            else if (keyCode == 'A')
                keyCode = 'B'; // replaced
        });
        m_pane->hwnd()->setFocus();
        QTest::keyClicks(m_pane->hwnd(), QStringLiteral("xaz"));
        QCOMPARE(m_pane->Text(), QStringLiteral("bz\r"));
    }

    void mouseEvents()
    {
        QStringList seen;
        connect(m_pane.get(), &NewRichText::MouseDown, this,
                [&](int b, int, float, float) { seen << QStringLiteral("down%1").arg(b); });
        connect(m_pane.get(), &NewRichText::MouseUp, this,
                [&](int b, int, float, float) { seen << QStringLiteral("up%1").arg(b); });
        connect(m_pane.get(), &NewRichText::Click, this, [&] { seen << QStringLiteral("click"); });
        QWidget *viewport = m_pane->hwnd()->viewport();
        QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(20, 10));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(seen, (QStringList{QStringLiteral("down2"), QStringLiteral("up2"), QStringLiteral("down1"),
                                    QStringLiteral("up1"), QStringLiteral("click")}));
    }

    void buttonHeldOnThePaneStaysHeld()
    {
        // The relay announces the press to the control while the button is down;
        // that announcement must not count as the button being let go.
        int downs = 0;
        connect(m_pane.get(), &NewRichText::MouseDown, this, [&](int, int, float, float) { ++downs; });
        QWidget *viewport = m_pane->hwnd()->viewport();
        QVERIFY(!WinApi_::IsKeyDown(VK::LButton)); // the key state follows input from here on
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(downs, 1);
        QVERIFY(WinApi_::IsKeyDown(VK::LButton));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(!WinApi_::IsKeyDown(VK::LButton));
    }

    void viewProperties()
    {
        m_pane->setBackColor(0x80000005u);
        QCOMPARE(m_pane->BackColor(), 0x80000005u);
        m_pane->setBackColor(0x00F0F0F0u);
        QCOMPARE(m_pane->BackColor(), 0x00F0F0F0u);
        QCOMPARE(m_pane->hwnd()->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
        m_pane->setRightMargin(0);
        QCOMPARE(m_pane->hwnd()->lineWrapMode(), QTextEdit::WidgetWidth);
        m_pane->setRightMargin(128000);
        QCOMPARE(m_pane->hwnd()->lineWrapMode(), QTextEdit::NoWrap);
        m_pane->SelPrint();
        QCOMPARE(m_fx->desk().lastMessage(),
                 QStringLiteral("Feature no longer supported. (RichText.SelPrint)"));
    }

    void genesisOfTheShippedBible()
    {
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_fx->copyShippedData(QStringLiteral("msg"));
        m_fx->copyShippedData(QStringLiteral("Modules/Bible"));
        gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
        std::shared_ptr<Translation> kjv = TranslationHelpers::GetTranslation(0);
        m_pane->setText(QString());
        m_pane->AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
        m_pane->AddNamedStyle(QStringLiteral("VerseNumber"), QStringLiteral(",,bP"));
        kjv->BookContentsIntoNewRichEdit(*m_pane, 1, true, true, true);
        const QString text = m_pane->Text();
        QVERIFY(text.startsWith(
            QStringLiteral("Genesis\r1 In the beginning God created the heaven and the earth.\r"
                           "2And the earth was without form")));
        QVERIFY(text.contains(QStringLiteral("\r50 And Joseph fell upon his father")));
        QVERIFY(text.contains(QStringLiteral("\r19And Joseph said unto them, Fear not")));
        QCOMPARE(text.count(QLatin1Char('\r')),
                 1533 + 1 + 1); // one paragraph a verse, the title, the final mark
        QCOMPARE(m_pane->SelStart(), 0);
        QCOMPARE(m_pane->SelLength(), 0);
        QVERIFY(m_pane->hwnd()->isVisible());
        QCOMPARE(m_pane->textDocument()->freezeCount(), 0);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestNewRichText)
#include "tst_newrichtext.moc"
