#include "platform/OleColor.h"
#include "platform/RuntimeError.h"
#include "platform/TextDocument.h"
#include "platform/TextFont.h"
#include "platform/TextPara.h"
#include "platform/TextRange.h"
#include "platform/TextSelection.h"
#include "platform/Tom.h"
#include "platform/Twips.h"

#include "common/TestFixture.h"
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <QtTest>
#include <memory>

using namespace Tom;

namespace {
constexpr int Whole = 0x7FFFFFFF;

// A document holding text given in model form ("\r" between paragraphs), built
// with Qt alone so that set-up does not depend on what is tested.
std::unique_ptr<QTextDocument> documentWith(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    QString plain = text;
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor(document.get()).insertText(plain);
    return document;
}

QTextCharFormat formatAt(QTextDocument *document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

struct SwitchProperty
{
    const char *name;
    int (TextFont::*get)() const;
    void (TextFont::*set)(int);
};

const SwitchProperty switches[] = {
    {"Bold", &TextFont::Bold, &TextFont::setBold},
    {"Italic", &TextFont::Italic, &TextFont::setItalic},
    {"StrikeThrough", &TextFont::StrikeThrough, &TextFont::setStrikeThrough},
    {"Superscript", &TextFont::Superscript, &TextFont::setSuperscript},
    {"Subscript", &TextFont::Subscript, &TextFont::setSubscript},
    {"SmallCaps", &TextFont::SmallCaps, &TextFont::setSmallCaps},
    {"AllCaps", &TextFont::AllCaps, &TextFont::setAllCaps},
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};
} // namespace

class TestTextObjectModel : public QObject
{
    Q_OBJECT

private slots:
    void storyEndsWithFinalMark_data();
    void storyEndsWithFinalMark();
    void rangeIsClamped_data();
    void rangeIsClamped();
    void startAndEndSetters_data();
    void startAndEndSetters();
    void collapse_data();
    void collapse();
    void setTextOverRanges_data();
    void setTextOverRanges();
    void lineBreaksBecomeMarks_data();
    void lineBreaksBecomeMarks();
    void rangeFollowsEditsBeforeIt();
    void rangeOverFinalMarkKeepsCoveringIt();
    void rangeOutlivingDocumentRaises();

    void selectionMovesTheEditorCursor();
    void selectionAppendsInNamedStyles();

    void switchesOverMixedText_data();
    void switchesOverMixedText();
    void underlineKinds();
    void nameSizeAndColoursOverMixedText();
    void insertionPointFont();
    void duplicateKeepsUndefinedValues();
    void freeStandingFontAppliesOnlyDefinedValues();
    void superscriptAndSubscriptExcludeEachOther();
    void invalidFontValuesRaise_data();
    void invalidFontValuesRaise();

    void paragraphProperties();
    void paragraphDuplicateAppliesOnlyDefinedValues();
    void rangeEndingAtParagraphStartTouchesOneParagraph();

    void findText_data();
    void findText();

    void copyPasteWholeStoryRoundTrip();
    void pasteIntoInsertionPoint();
    void pasteOfBadRtfRaisesAndKeepsText();

    void saveAndOpen_data();
    void saveAndOpen();
    void openDecodesPlainText_data();
    void openDecodesPlainText();
    void openModes();
    void saveFailuresRaise();
    void saveWithoutPathUsesOpenedFile();

    void freezeSuppressesRepaints();
    void freezeGuardUnfreezesOnException();
};

void TestTextObjectModel::storyEndsWithFinalMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("storyLength");
    QTest::addColumn<QString>("wholeText");

    QTest::newRow("empty") << QString() << 1 << QStringLiteral("\r");
    QTest::newRow("one paragraph") << QStringLiteral("abc") << 4 << QStringLiteral("abc\r");
    QTest::newRow("two paragraphs") << QStringLiteral("ab\rcd") << 6 << QStringLiteral("ab\rcd\r");
    QTest::newRow("empty last paragraph") << QStringLiteral("ab\r") << 4 << QStringLiteral("ab\r\r");
}

void TestTextObjectModel::storyEndsWithFinalMark()
{
    QFETCH(QString, text);
    QFETCH(int, storyLength);
    QFETCH(QString, wholeText);

    auto document = documentWith(text);
    TextDocument tom(document.get());
    QCOMPARE(tom.StoryLength(), storyLength);
    auto whole = tom.Range(0, Whole);
    QCOMPARE(whole->Start(), 0);
    QCOMPARE(whole->End(), storyLength);
    QCOMPARE(whole->Text(), wholeText);
    // The final mark alone.
    QCOMPARE(tom.Range(storyLength - 1, storyLength)->Text(), QStringLiteral("\r"));
}

void TestTextObjectModel::rangeIsClamped_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedEnd");

    // Story "abcdefghij" plus the final mark: length 11.
    QTest::newRow("inside") << 2 << 5 << 2 << 5;
    QTest::newRow("reversed ends are swapped") << 5 << 2 << 2 << 5;
    QTest::newRow("negative start") << -5 << 3 << 0 << 3;
    QTest::newRow("end past story") << 4 << Whole << 4 << 11;
    QTest::newRow("whole") << 0 << Whole << 0 << 11;
    QTest::newRow("final mark alone") << 10 << 11 << 10 << 11;
    QTest::newRow("insertion point at story end sits before final mark") << 11 << 11 << 10 << 10;
    QTest::newRow("insertion point far past end") << 99 << 99 << 10 << 10;
    QTest::newRow("both negative") << -3 << -1 << 0 << 0;
}

void TestTextObjectModel::rangeIsClamped()
{
    QFETCH(int, start);
    QFETCH(int, end);
    auto document = documentWith(QStringLiteral("abcdefghij"));
    TextDocument tom(document.get());

    auto range = tom.Range(start, end);
    QTEST(range->Start(), "expectedStart");
    QTEST(range->End(), "expectedEnd");

    auto set = tom.Range(0, 0);
    set->SetRange(start, end);
    QTEST(set->Start(), "expectedStart");
    QTEST(set->End(), "expectedEnd");
}

void TestTextObjectModel::startAndEndSetters_data()
{
    QTest::addColumn<bool>("setsStart");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedEnd");

    // From range 2..5 of "abcdefghij" (story length 11).
    QTest::newRow("start inside") << true << 4 << 4 << 5;
    QTest::newRow("start beyond end moves end") << true << 7 << 7 << 7;
    QTest::newRow("start negative") << true << -3 << 0 << 5;
    QTest::newRow("start past story") << true << 99 << 10 << 10;
    QTest::newRow("end inside") << false << 8 << 2 << 8;
    QTest::newRow("end before start moves start") << false << 1 << 1 << 1;
    QTest::newRow("end past story covers final mark") << false << 99 << 2 << 11;
    QTest::newRow("end negative") << false << -1 << 0 << 0;
}

void TestTextObjectModel::startAndEndSetters()
{
    QFETCH(bool, setsStart);
    QFETCH(int, value);
    auto document = documentWith(QStringLiteral("abcdefghij"));
    TextDocument tom(document.get());
    auto range = tom.Range(2, 5);
    if (setsStart)
        range->setStart(value);
    else
        range->setEnd(value);
    QTEST(range->Start(), "expectedStart");
    QTEST(range->End(), "expectedEnd");
}

void TestTextObjectModel::collapse_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("how");
    QTest::addColumn<int>("expected");

    QTest::newRow("tomStart") << 2 << 5 << tomStart << 2;
    QTest::newRow("tomTrue") << 2 << 5 << tomTrue << 2;
    QTest::newRow("tomEnd") << 2 << 5 << tomEnd << 5;
    QTest::newRow("whole story to end: before final mark") << 0 << Whole << tomEnd << 10;
    QTest::newRow("whole story to start") << 0 << Whole << tomStart << 0;
    QTest::newRow("insertion point stays") << 4 << 4 << tomEnd << 4;
}

void TestTextObjectModel::collapse()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, how);
    QFETCH(int, expected);
    auto document = documentWith(QStringLiteral("abcdefghij"));
    TextDocument tom(document.get());
    auto range = tom.Range(start, end);
    range->Collapse(how);
    QCOMPARE(range->Start(), expected);
    QCOMPARE(range->End(), expected);
    QCOMPARE(range->Text(), QString());
}

void TestTextObjectModel::setTextOverRanges_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("story");
    QTest::addColumn<int>("newStart");
    QTest::addColumn<int>("newEnd");

    QTest::newRow("replace a word") << "Hello world" << 6 << 11 << "there"
                                    << "Hello there\r" << 6 << 11;
    QTest::newRow("insert at insertion point") << "Hello" << 5 << 5 << " you"
                                               << "Hello you\r" << 5 << 9;
    QTest::newRow("insert at start") << "Hello" << 0 << 0 << ">"
                                     << ">Hello\r" << 0 << 1;
    QTest::newRow("whole story keeps one final mark") << "Hello\rworld" << 0 << Whole << "Bye"
                                                      << "Bye\r" << 0 << 3;
    QTest::newRow("whole story to empty") << "Hello\rworld" << 0 << Whole << ""
                                          << "\r" << 0 << 0;
    QTest::newRow("text ending in a mark adds a paragraph before the final mark")
        << "abc" << 0 << Whole << "x\r"
        << "x\r\r" << 0 << 2;
    QTest::newRow("deleting a mark joins paragraphs") << "ab\rcd" << 1 << 4 << ""
                                                      << "ad\r" << 1 << 1;
    QTest::newRow("append past end") << "abc" << 99 << 99 << "d"
                                     << "abcd\r" << 3 << 4;
    QTest::newRow("final mark alone: inserts before it") << "abc" << 3 << 4 << "Z"
                                                         << "abcZ\r" << 3 << 4;
    QTest::newRow("marks inside new text") << "ab" << 1 << 1 << "1\r2"
                                           << "a1\r2b\r" << 1 << 4;
}

void TestTextObjectModel::setTextOverRanges()
{
    QFETCH(QString, initial);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, text);
    QFETCH(QString, story);

    auto document = documentWith(initial);
    TextDocument tom(document.get());
    auto range = tom.Range(start, end);
    range->setText(text);
    QCOMPARE(tom.Range(0, Whole)->Text(), story);
    QCOMPARE(tom.StoryLength(), story.size());
    QTEST(range->Start(), "newStart");
    QTEST(range->End(), "newEnd");
    QCOMPARE(range->Text(), QString(text).replace(QLatin1String("\r\n"), QLatin1String("\r")));
}

void TestTextObjectModel::lineBreaksBecomeMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<int>("paragraphs");

    QTest::newRow("CR") << "a\rb"
                        << "a\rb\r" << 2;
    QTest::newRow("LF") << "a\nb"
                        << "a\rb\r" << 2;
    QTest::newRow("CR LF is one mark") << "a\r\nb"
                                       << "a\rb\r" << 2;
    QTest::newRow("mixed") << "a\r\nb\nc\rd"
                           << "a\rb\rc\rd\r" << 4;
    QTest::newRow("LF CR is two marks") << "a\n\rb"
                                        << "a\r\rb\r" << 3;
    QTest::newRow("soft line break stays in its paragraph") << "a\vb"
                                                            << "a\vb\r" << 1;
}

void TestTextObjectModel::lineBreaksBecomeMarks()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    QFETCH(int, paragraphs);

    QTextDocument document;
    TextDocument tom(&document);
    tom.Range(0, Whole)->setText(text);
    QCOMPARE(tom.Range(0, Whole)->Text(), readBack);
    QCOMPARE(document.blockCount(), paragraphs);
    QCOMPARE(tom.StoryLength(), readBack.size());
}

void TestTextObjectModel::rangeFollowsEditsBeforeIt()
{
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());
    auto word = tom.Range(6, 11);
    tom.Range(0, 0)->setText(QStringLiteral("Oh, "));
    QCOMPARE(word->Start(), 10);
    QCOMPARE(word->Text(), QStringLiteral("world"));
    // Text inserted where the range starts goes before it.
    tom.Range(10, 10)->setText(QStringLiteral("big "));
    QCOMPARE(word->Text(), QStringLiteral("world"));
    QCOMPARE(word->Start(), 14);
    // Deleting text before it pulls it back.
    tom.Range(0, 4)->setText(QString());
    QCOMPARE(word->Start(), 10);
    QCOMPARE(word->Text(), QStringLiteral("world"));
}

void TestTextObjectModel::rangeOverFinalMarkKeepsCoveringIt()
{
    auto document = documentWith(QStringLiteral("abc"));
    TextDocument tom(document.get());
    auto whole = tom.Range(0, Whole);
    tom.Range(Whole, Whole)->setText(QStringLiteral("def"));
    QCOMPARE(whole->End(), tom.StoryLength());
    QCOMPARE(whole->Text(), QStringLiteral("abcdef\r"));
    // Setting its text still keeps exactly one final mark.
    whole->setText(QStringLiteral("x"));
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("x\r"));
}

void TestTextObjectModel::rangeOutlivingDocumentRaises()
{
    auto document = documentWith(QStringLiteral("abc"));
    auto tom = std::make_unique<TextDocument>(document.get());
    auto range = tom->Range(0, 2);
    auto font = range->Font();
    document.reset();
    QCOMPARE(raisedErrorNumber([&] { range->Start(); }), ObjectReleasedError);
    QCOMPARE(raisedErrorNumber([&] { range->setText(QStringLiteral("x")); }), ObjectReleasedError);
    QCOMPARE(raisedErrorNumber([&] { font->Bold(); }), ObjectReleasedError);
    QCOMPARE(raisedErrorNumber([&] { tom->Range(0, 1); }), ObjectReleasedError);
}

void TestTextObjectModel::selectionMovesTheEditorCursor()
{
    QTextEdit edit;
    edit.setPlainText(QStringLiteral("abcdefghij"));
    TextDocument tom(&edit);
    auto selection = tom.Selection();
    QVERIFY(selection);
    QCOMPARE(tom.Selection(), selection);

    selection->SetRange(5, 2);
    QCOMPARE(selection->Start(), 2);
    QCOMPARE(selection->End(), 5);
    // The active end is where the caret goes.
    QCOMPARE(edit.textCursor().position(), 2);
    QCOMPARE(edit.textCursor().anchor(), 5);
    // Moving the start beyond the end keeps the direction.
    selection->setEnd(8);
    QCOMPARE(edit.textCursor().selectionStart(), 2);
    QCOMPARE(edit.textCursor().selectionEnd(), 8);

    selection->setText(QStringLiteral("XY"));
    QCOMPARE(edit.toPlainText(), QStringLiteral("abXYij"));
    QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("XY"));

    // The user moving the caret moves the selection.
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(1);
    edit.setTextCursor(cursor);
    QCOMPARE(selection->Start(), 1);
    QCOMPARE(selection->End(), 1);

    // The whole story: the visible selection stops before the final mark.
    selection->SetRange(0, Whole);
    QCOMPARE(selection->End(), tom.StoryLength());
    QCOMPARE(selection->Text(), QStringLiteral("abXYij\r"));
    QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("abXYij"));
    cursor = edit.textCursor();
    cursor.setPosition(3);
    edit.setTextCursor(cursor);
    QCOMPARE(selection->End(), 3);

    // Duplicate gives an independent range.
    auto copy = selection->Duplicate();
    copy->setStart(0);
    QCOMPARE(selection->Start(), 3);
}

void TestTextObjectModel::selectionAppendsInNamedStyles()
{
    QTextEdit edit;
    TextDocument tom(&edit);
    auto selection = tom.Selection();

    auto chapter = selection->Font()->Duplicate();
    chapter->setBold(tomTrue);
    chapter->setSize(20);
    auto normal = selection->Font()->Duplicate();
    normal->setBold(tomFalse);
    normal->setSize(10);

    const QList<std::pair<QString, std::shared_ptr<TextFont>>> appends{
        {QStringLiteral("Genesis\r\n1"), chapter},
        {QStringLiteral(" In the beginning.\r\n"), normal},
        {QStringLiteral("2"), chapter},
        {QStringLiteral("And the earth."), normal},
    };
    for (const auto &[text, style] : appends) {
        selection->setStart(9999999);
        selection->setFont(*style);
        selection->setText(text);
    }
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("Genesis\r1 In the beginning.\r2And the earth.\r"));
    QCOMPARE(tom.Range(0, 9)->Font()->Bold(), tomTrue);
    QCOMPARE(tom.Range(0, 9)->Font()->Size(), 20.0f);
    QCOMPARE(tom.Range(9, 28)->Font()->Bold(), tomFalse);
    QCOMPARE(tom.Range(9, 28)->Font()->Size(), 10.0f);
    QCOMPARE(tom.Range(28, 29)->Font()->Bold(), tomTrue);
    QCOMPARE(tom.Range(29, 43)->Font()->Bold(), tomFalse);
    QCOMPARE(tom.Range(0, Whole)->Font()->Bold(), tomUndefined);
    QVERIFY(formatAt(edit.document(), 0).fontWeight() >= QFont::Bold);
    QCOMPARE(formatAt(edit.document(), 0).fontPointSize(), 20.0);

    // The last append stays selected; collapsing to the end puts the caret there.
    QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("And the earth."));
    selection->setStart(9999999);
    QCOMPARE(selection->Start(), tom.StoryLength() - 1);
    QCOMPARE(edit.textCursor().position(), tom.StoryLength() - 1);
}

void TestTextObjectModel::switchesOverMixedText_data()
{
    QTest::addColumn<int>("property");
    for (int i = 0; i < int(std::size(switches)); ++i)
        QTest::newRow(switches[i].name) << i;
}

void TestTextObjectModel::switchesOverMixedText()
{
    QFETCH(int, property);
    const SwitchProperty &p = switches[property];
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());

    auto hello = tom.Range(0, 5);
    auto world = tom.Range(6, 11);
    auto whole = tom.Range(0, 11);
    QCOMPARE(((*whole->Font()).*p.get)(), tomFalse);

    ((*hello->Font()).*p.set)(tomTrue);
    QCOMPARE(((*hello->Font()).*p.get)(), tomTrue);
    QCOMPARE(((*world->Font()).*p.get)(), tomFalse);
    QCOMPARE(((*whole->Font()).*p.get)(), tomUndefined);

    // Toggling mixed text switches it on everywhere, then off.
    ((*whole->Font()).*p.set)(tomToggle);
    QCOMPARE(((*whole->Font()).*p.get)(), tomTrue);
    ((*whole->Font()).*p.set)(tomToggle);
    QCOMPARE(((*whole->Font()).*p.get)(), tomFalse);

    // Undefined changes nothing on text.
    ((*hello->Font()).*p.set)(tomTrue);
    ((*whole->Font()).*p.set)(tomUndefined);
    QCOMPARE(((*whole->Font()).*p.get)(), tomUndefined);
}

void TestTextObjectModel::underlineKinds()
{
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());
    auto hello = tom.Range(0, 5)->Font();
    QCOMPARE(hello->Underline(), tomNone);
    hello->setUnderline(tomTrue);
    QCOMPARE(hello->Underline(), tomSingle);
    QCOMPARE(formatAt(document.get(), 0).underlineStyle(), QTextCharFormat::SingleUnderline);
    hello->setUnderline(tomWave);
    QCOMPARE(hello->Underline(), tomWave);
    QCOMPARE(tom.Range(0, 11)->Font()->Underline(), tomUndefined);
    hello->setUnderline(tomFalse);
    QCOMPARE(tom.Range(0, 11)->Font()->Underline(), tomNone);
    QCOMPARE(formatAt(document.get(), 0).underlineStyle(), QTextCharFormat::NoUnderline);
    hello->setUnderline(tomToggle);
    QCOMPARE(hello->Underline(), tomSingle);
}

void TestTextObjectModel::nameSizeAndColoursOverMixedText()
{
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());
    auto hello = tom.Range(0, 5)->Font();
    auto whole = tom.Range(0, 11)->Font();

    QCOMPARE(whole->Name(), document->defaultFont().family());
    hello->setName(QStringLiteral("Serif Test"));
    QCOMPARE(hello->Name(), QStringLiteral("Serif Test"));
    QCOMPARE(whole->Name(), QString());

    hello->setSize(20);
    QCOMPARE(hello->Size(), 20.0f);
    QCOMPARE(whole->Size(), float(tomUndefined));
    whole->setSize(12.5f);
    QCOMPARE(whole->Size(), 12.5f);

    QCOMPARE(whole->ForeColor(), tomAutoColor);
    QCOMPARE(whole->BackColor(), tomAutoColor);
    hello->setForeColor(0x0000FF); // red, as 0x00BBGGRR
    hello->setBackColor(0xFF0000); // blue
    QCOMPARE(hello->ForeColor(), 0x0000FF);
    QCOMPARE(hello->BackColor(), 0xFF0000);
    QCOMPARE(formatAt(document.get(), 0).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(document.get(), 0).background().color(), QColor(0, 0, 255));
    QCOMPARE(whole->ForeColor(), tomUndefined);
    hello->setForeColor(tomAutoColor);
    QCOMPARE(whole->ForeColor(), tomAutoColor);
    QVERIFY(!formatAt(document.get(), 0).hasProperty(QTextFormat::ForegroundBrush));
    // A system colour is taken at its current value.
    hello->setForeColor(int(OleColor::Sys::WindowText));
    QCOMPARE(quint32(hello->ForeColor()), OleColor::translateOrZero(OleColor::Sys::WindowText));
}

void TestTextObjectModel::insertionPointFont()
{
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());
    tom.Range(0, 5)->Font()->setBold(tomTrue);

    // An insertion point reads the format of the character before it.
    QCOMPARE(tom.Range(5, 5)->Font()->Bold(), tomTrue);
    QCOMPARE(tom.Range(7, 7)->Font()->Bold(), tomFalse);

    // Setting it formats only what is typed there next.
    auto at = tom.Range(11, 11);
    at->Font()->setItalic(tomTrue);
    QCOMPARE(at->Font()->Italic(), tomTrue);
    QCOMPARE(tom.Range(0, 11)->Font()->Italic(), tomFalse);
    at->setText(QStringLiteral("!"));
    QCOMPARE(at->Text(), QStringLiteral("!"));
    QCOMPARE(at->Font()->Italic(), tomTrue);
    QCOMPARE(tom.Range(0, 11)->Font()->Italic(), tomFalse);

    // Moving the insertion point forgets the format chosen for it.
    auto moved = tom.Range(6, 6);
    moved->Font()->setItalic(tomTrue);
    moved->SetRange(7, 7);
    moved->setText(QStringLiteral("x"));
    QCOMPARE(moved->Font()->Italic(), tomFalse);
}

void TestTextObjectModel::duplicateKeepsUndefinedValues()
{
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());
    tom.Range(0, 5)->Font()->setBold(tomTrue);
    tom.Range(0, 11)->Font()->setItalic(tomTrue);

    auto attached = tom.Range(0, 11)->Font();
    auto duplicate = attached->Duplicate();
    QVERIFY(attached->isAttached());
    QVERIFY(!duplicate->isAttached());
    QCOMPARE(duplicate->Bold(), tomUndefined);
    QCOMPARE(duplicate->Italic(), tomTrue);
    QCOMPARE(duplicate->Size(), attached->Size());

    // Independent of the text from now on, both ways.
    duplicate->setItalic(tomFalse);
    QCOMPARE(attached->Italic(), tomTrue);
    attached->setStrikeThrough(tomTrue);
    QCOMPARE(duplicate->StrikeThrough(), tomFalse);

    // Applying it to other text sets only the defined values.
    auto other = documentWith(QStringLiteral("abcdef"));
    TextDocument otherTom(other.get());
    otherTom.Range(0, 3)->Font()->setBold(tomTrue);
    otherTom.Range(0, Whole)->setFont(*duplicate);
    QCOMPARE(otherTom.Range(0, 3)->Font()->Bold(), tomTrue);
    QCOMPARE(otherTom.Range(3, 6)->Font()->Bold(), tomFalse);
    QCOMPARE(otherTom.Range(0, 6)->Font()->Italic(), tomFalse);
}

void TestTextObjectModel::freeStandingFontAppliesOnlyDefinedValues()
{
    auto document = documentWith(QStringLiteral("Hello world"));
    TextDocument tom(document.get());
    tom.Range(0, 11)->Font()->setName(QStringLiteral("Base Face"));
    tom.Range(0, 11)->Font()->setItalic(tomTrue);

    auto font = TextFont::create();
    QCOMPARE(font->Bold(), tomUndefined);
    QCOMPARE(font->Size(), float(tomUndefined));
    QCOMPARE(font->Name(), QString());
    QCOMPARE(font->ForeColor(), tomUndefined);
    font->setSize(30);
    font->setBold(tomTrue);
    tom.Range(6, 11)->setFont(*font);

    auto world = tom.Range(6, 11)->Font();
    QCOMPARE(world->Size(), 30.0f);
    QCOMPARE(world->Bold(), tomTrue);
    QCOMPARE(world->Italic(), tomTrue);
    QCOMPARE(world->Name(), QStringLiteral("Base Face"));
    QCOMPARE(tom.Range(0, 5)->Font()->Size(), float(document->defaultFont().pointSizeF()));

    // SetDuplicate onto a free-standing font also takes only defined values.
    auto target = TextFont::create();
    target->setItalic(tomFalse);
    target->SetDuplicate(*font);
    QCOMPARE(target->Size(), 30.0f);
    QCOMPARE(target->Italic(), tomFalse);
    // Setting undefined on a free-standing font forgets the value.
    target->setSize(float(tomUndefined));
    QCOMPARE(target->Size(), float(tomUndefined));
    target->setBold(tomToggle);
    QCOMPARE(target->Bold(), tomFalse);
}

void TestTextObjectModel::superscriptAndSubscriptExcludeEachOther()
{
    auto document = documentWith(QStringLiteral("x2"));
    TextDocument tom(document.get());
    auto two = tom.Range(1, 2)->Font();
    two->setSuperscript(tomTrue);
    QCOMPARE(formatAt(document.get(), 1).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    two->setSubscript(tomTrue);
    QCOMPARE(two->Subscript(), tomTrue);
    QCOMPARE(two->Superscript(), tomFalse);
    // Clearing one that is not set leaves the other alone.
    two->setSuperscript(tomFalse);
    QCOMPARE(two->Subscript(), tomTrue);

    auto style = TextFont::create();
    style->setSuperscript(tomTrue);
    style->setSubscript(tomTrue);
    QCOMPARE(style->Superscript(), tomFalse);
    QCOMPARE(style->Subscript(), tomTrue);
}

void TestTextObjectModel::invalidFontValuesRaise_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("size 0") << 0;
    QTest::newRow("negative size") << 1;
    QTest::newRow("colour with stray high bits") << 2;
    QTest::newRow("negative underline kind") << 3;
}

void TestTextObjectModel::invalidFontValuesRaise()
{
    QFETCH(int, which);
    auto document = documentWith(QStringLiteral("abc"));
    TextDocument tom(document.get());
    auto font = tom.Range(0, 3)->Font();
    const float sizeBefore = font->Size();
    const qint32 number = raisedErrorNumber([&] {
        switch (which) {
        case 0:
            font->setSize(0);
            break;
        case 1:
            font->setSize(-4);
            break;
        case 2:
            font->setForeColor(0x12345678);
            break;
        default:
            font->setUnderline(-5);
        }
    });
    QCOMPARE(number, RtErr::InvalidProcedureCall);
    QCOMPARE(font->Size(), sizeBefore);
    QCOMPARE(font->ForeColor(), tomAutoColor);
    QCOMPARE(font->Underline(), tomNone);
}

void TestTextObjectModel::paragraphProperties()
{
    auto document = documentWith(QStringLiteral("First\rSecond\rThird"));
    TextDocument tom(document.get());
    auto second = tom.Range(8, 8)->Para(); // inside "Second"
    QCOMPARE(second->Alignment(), tomAlignLeft);

    second->setAlignment(tomAlignCenter);
    second->SetIndents(-9, 36, 18);
    second->setSpaceBefore(6);
    second->setSpaceAfter(12);

    auto again = tom.Range(6, 12)->Para();
    QCOMPARE(again->Alignment(), tomAlignCenter);
    QCOMPARE(again->LeftIndent(), 36.0f);
    QCOMPARE(again->FirstLineIndent(), -9.0f);
    QCOMPARE(again->RightIndent(), 18.0f);
    QCOMPARE(again->SpaceBefore(), 6.0f);
    QCOMPARE(again->SpaceAfter(), 12.0f);

    const QTextBlockFormat block = document->findBlockByNumber(1).blockFormat();
    QCOMPARE(block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(block.leftMargin(), 36 * 20 / Twips::perPixelX());
    QCOMPARE(block.textIndent(), -9 * 20 / Twips::perPixelX());
    QCOMPARE(block.topMargin(), 6 * 20 / Twips::perPixelY());
    QCOMPARE(document->findBlockByNumber(0).blockFormat().leftMargin(), 0.0);

    auto all = tom.Range(0, Whole)->Para();
    QCOMPARE(all->Alignment(), tomUndefined);
    QCOMPARE(all->LeftIndent(), float(tomUndefined));
    all->setAlignment(tomAlignJustify);
    QCOMPARE(all->Alignment(), tomAlignJustify);
    QCOMPARE(document->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    // Indents left undefined stay as they are.
    all->SetIndents(float(tomUndefined), float(tomUndefined), 4);
    QCOMPARE(tom.Range(8, 8)->Para()->LeftIndent(), 36.0f);
    QCOMPARE(all->RightIndent(), 4.0f);

    QCOMPARE(raisedErrorNumber([&] { all->setAlignment(7); }), RtErr::InvalidProcedureCall);
    QCOMPARE(all->Alignment(), tomAlignJustify);
}

void TestTextObjectModel::paragraphDuplicateAppliesOnlyDefinedValues()
{
    auto document = documentWith(QStringLiteral("One\rTwo\rThree"));
    TextDocument tom(document.get());
    tom.Range(0, 0)->Para()->setAlignment(tomAlignRight);
    tom.Range(0, Whole)->Para()->SetIndents(0, 20, 0);

    auto mixed = tom.Range(0, 7)->Para()->Duplicate(); // alignment mixed, indent 20
    QVERIFY(!mixed->isAttached());
    QCOMPARE(mixed->Alignment(), tomUndefined);
    QCOMPARE(mixed->LeftIndent(), 20.0f);

    auto third = tom.Range(9, 9);
    third->Para()->setAlignment(tomAlignCenter);
    third->Para()->SetIndents(0, 5, 0);
    third->setPara(*mixed);
    QCOMPARE(third->Para()->Alignment(), tomAlignCenter);
    QCOMPARE(third->Para()->LeftIndent(), 20.0f);

    auto fresh = TextPara::create();
    QCOMPARE(fresh->Alignment(), tomUndefined);
    fresh->setSpaceAfter(3);
    third->setPara(*fresh);
    QCOMPARE(third->Para()->SpaceAfter(), 3.0f);
    QCOMPARE(third->Para()->Alignment(), tomAlignCenter);
}

void TestTextObjectModel::rangeEndingAtParagraphStartTouchesOneParagraph()
{
    auto document = documentWith(QStringLiteral("One\rTwo"));
    TextDocument tom(document.get());
    tom.Range(4, 4)->Para()->setAlignment(tomAlignRight);
    // "One\r" ends where "Two" starts.
    auto first = tom.Range(0, 4);
    QCOMPARE(first->Para()->Alignment(), tomAlignLeft);
    first->Para()->setAlignment(tomAlignCenter);
    QCOMPARE(tom.Range(4, 4)->Para()->Alignment(), tomAlignRight);
    QCOMPARE(tom.Range(0, 5)->Para()->Alignment(), tomUndefined);
}

void TestTextObjectModel::findText_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("foundStart");

    // "In the beginning God created the heaven\rand the earth. Other theme."
    //  0         1         2         3          4         5         6
    //  0123456789012345678901234567890123456789 0123456789012345678901234567
    QTest::newRow("ignores case by default") << 0 << Whole << "god" << tomForward << 0 << 3 << 17;
    QTest::newRow("match case misses") << 0 << Whole << "god" << tomForward << tomMatchCase << 0 << 0;
    QTest::newRow("match case hits") << 0 << Whole << "God" << tomForward << tomMatchCase << 3 << 17;
    QTest::newRow("from the range start") << 5 << Whole << "the" << tomForward << 0 << 3 << 29;
    QTest::newRow("whole word skips Other and theme")
        << 41 << Whole << "the" << tomForward << tomMatchWord << 3 << 44;
    QTest::newRow("not whole word finds inside Other") << 48 << Whole << "the" << tomForward << 0 << 3 << 56;
    QTest::newRow("count limits the search") << 0 << Whole << "God" << 19 << 0 << 0 << 0;
    QTest::newRow("count just reaching the match") << 0 << Whole << "God" << 20 << 0 << 3 << 17;
    QTest::newRow("zero count searches inside the range") << 0 << 10 << "God" << 0 << 0 << 0 << 0;
    QTest::newRow("zero count inside hit") << 10 << 25 << "God" << 0 << 0 << 3 << 17;
    QTest::newRow("backward from the end") << 68 << 68 << "the" << tomBackward << tomMatchWord << 3 << 44;
    QTest::newRow("a paragraph mark") << 0 << Whole << "heaven\rand" << tomForward << 0 << 10 << 33;
    QTest::newRow("absent") << 0 << Whole << "Exodus" << tomForward << 0 << 0 << 0;
    QTest::newRow("empty text") << 0 << Whole << "" << tomForward << 0 << 0 << 0;
}

void TestTextObjectModel::findText()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, what);
    QFETCH(int, count);
    QFETCH(int, flags);
    QFETCH(int, length);
    QFETCH(int, foundStart);

    auto document =
        documentWith(QStringLiteral("In the beginning God created the heaven\rand the earth. Other theme."));
    TextDocument tom(document.get());
    auto range = tom.Range(start, end);
    const int startBefore = range->Start();
    const int endBefore = range->End();
    QCOMPARE(range->FindText(what, count, flags), length);
    if (length == 0) {
        QCOMPARE(range->Start(), startBefore);
        QCOMPARE(range->End(), endBefore);
    } else {
        QCOMPARE(range->Start(), foundStart);
        QCOMPARE(range->End(), foundStart + length);
        QCOMPARE(range->Text().toLower(), what.toLower());
    }
}

void TestTextObjectModel::copyPasteWholeStoryRoundTrip()
{
    QTextDocument document;
    TextDocument tom(&document);
    tom.Range(0, Whole)->setText(QStringLiteral("Genesis\rIn the beginning God created.\rThe end"));
    tom.Range(0, 7)->Font()->setBold(tomTrue);
    tom.Range(0, 7)->Font()->setSize(20);
    tom.Range(0, 0)->Para()->setAlignment(tomAlignCenter);
    tom.Range(25, 28)->Font()->setItalic(tomTrue);
    tom.Range(25, 28)->Font()->setForeColor(0x0000FF);
    tom.Range(Whole, Whole)->Para()->setAlignment(tomAlignRight);

    const QString text = tom.Range(0, Whole)->Text();
    const int length = tom.StoryLength();
    const QByteArray rtf = tom.Range(0, Whole)->Copy();
    QVERIFY2(rtf.startsWith("{\\rtf"), rtf.left(40).constData());

    auto whole = tom.Range(0, Whole);
    whole->Paste(rtf);
    QCOMPARE(tom.Range(0, Whole)->Text(), text);
    QCOMPARE(tom.StoryLength(), length);
    QCOMPARE(document.blockCount(), 3);
    QCOMPARE(whole->Start(), 0);
    QCOMPARE(whole->End(), length - 1);

    QCOMPARE(tom.Range(0, 7)->Font()->Bold(), tomTrue);
    QCOMPARE(tom.Range(0, 7)->Font()->Size(), 20.0f);
    QCOMPARE(tom.Range(8, 25)->Font()->Bold(), tomFalse);
    QCOMPARE(tom.Range(25, 28)->Font()->Italic(), tomTrue);
    QCOMPARE(tom.Range(25, 28)->Font()->ForeColor(), 0x0000FF);
    QCOMPARE(tom.Range(28, 30)->Font()->Italic(), tomFalse);
    QCOMPARE(tom.Range(0, 0)->Para()->Alignment(), tomAlignCenter);
    QCOMPARE(tom.Range(10, 10)->Para()->Alignment(), tomAlignLeft);
    QCOMPARE(tom.Range(Whole, Whole)->Para()->Alignment(), tomAlignRight);
}

void TestTextObjectModel::pasteIntoInsertionPoint()
{
    auto source = documentWith(QStringLiteral("Hello world"));
    TextDocument sourceTom(source.get());
    sourceTom.Range(6, 11)->Font()->setBold(tomTrue);
    const QByteArray rtf = sourceTom.Range(6, 11)->Copy();

    auto document = documentWith(QStringLiteral("Say  now\rNext"));
    TextDocument tom(document.get());
    const int length = tom.StoryLength();
    auto at = tom.Range(4, 4);
    at->Paste(rtf);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("Say world now\rNext\r"));
    QCOMPARE(tom.StoryLength(), length + 5);
    QCOMPARE(at->Start(), 4);
    QCOMPARE(at->End(), 9);
    QCOMPARE(at->Font()->Bold(), tomTrue);
    QCOMPARE(tom.Range(0, 3)->Font()->Bold(), tomFalse);

    // Replacing a range.
    tom.Range(10, 13)->Paste(rtf);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("Say world world\rNext\r"));
}

void TestTextObjectModel::pasteOfBadRtfRaisesAndKeepsText()
{
    auto document = documentWith(QStringLiteral("keep me"));
    TextDocument tom(document.get());
    auto range = tom.Range(0, 4);
    QCOMPARE(raisedErrorNumber([&] { range->Paste("plain words, no RTF"); }), RtErr::InvalidProcedureCall);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("keep me\r"));
    QCOMPARE(range->Text(), QStringLiteral("keep"));
}

void TestTextObjectModel::saveAndOpen_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("expectedBytes"); // empty: not compared

    QTest::newRow("RTF") << tomRTF << 0 << QByteArray();
    QTest::newRow("text, ANSI") << tomText << 0
                                << QByteArray("Cr\xe9"
                                              "ation\r\nLine two\r\n\r\nend");
    QTest::newRow("text, 1252") << tomText << 1252
                                << QByteArray("Cr\xe9"
                                              "ation\r\nLine two\r\n\r\nend");
    QTest::newRow("text, UTF-8") << tomText << 65001
                                 << QByteArray("Cr\xc3\xa9"
                                               "ation\r\nLine two\r\n\r\nend");
}

void TestTextObjectModel::saveAndOpen()
{
    QFETCH(int, format);
    QFETCH(int, codePage);
    QFETCH(QByteArray, expectedBytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.dat"));

    QTextDocument document;
    TextDocument tom(&document);
    const QString text = QStringLiteral("Cr\u00e9ation\rLine two\r\rend\r");
    tom.Range(0, Whole)->setText(QStringLiteral("Cr\u00e9ation\rLine two\r\rend"));
    tom.Range(0, 8)->Font()->setBold(tomTrue);
    tom.Save(path, format, codePage);
    QCOMPARE(tom.Name(), path);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (!expectedBytes.isEmpty())
        QCOMPARE(bytes, expectedBytes);
    else
        QVERIFY(bytes.startsWith("{\\rtf"));

    QTextDocument reopened;
    TextDocument reader(&reopened);
    reader.Open(path, format, codePage);
    QCOMPARE(reader.Range(0, Whole)->Text(), text);
    QCOMPARE(reader.Name(), path);
    QCOMPARE(reader.Range(0, 8)->Font()->Bold(), format == tomRTF ? tomTrue : tomFalse);
    // The format is recognised when none is given.
    QTextDocument detected;
    TextDocument detector(&detected);
    detector.Open(path, 0, codePage);
    QCOMPARE(detector.Range(0, Whole)->Text(), text);
}

void TestTextObjectModel::openDecodesPlainText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");

    QTest::newRow("CR LF lines") << QByteArray("a\r\nb") << 0 << "a\rb\r";
    QTest::newRow("trailing line end keeps its empty paragraph") << QByteArray("a\r\n") << 0 << "a\r\r";
    QTest::newRow("LF lines") << QByteArray("a\nb") << 0 << "a\rb\r";
    QTest::newRow("1252 byte") << QByteArray("\x93quoted\x94") << 0 << "\u201cquoted\u201d\r";
    QTest::newRow("UTF-8") << QByteArray("\xc3\xa9t\xc3\xa9") << 65001 << "\u00e9t\u00e9\r";
    QTest::newRow("UTF-8 mark wins over the code page")
        << QByteArray("\xef\xbb\xbf\xc3\xa9") << 0 << "\u00e9\r";
    QTest::newRow("empty file") << QByteArray() << 0 << "\r";
}

void TestTextObjectModel::openDecodesPlainText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, codePage);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    // Formatting of what was there before does not carry over.
    auto document = documentWith(QStringLiteral("old text"));
    TextDocument tom(document.get());
    tom.Range(0, Whole)->Font()->setBold(tomTrue);
    tom.Range(0, 0)->Para()->setAlignment(tomAlignCenter);
    tom.Open(path, tomText | tomOpenExisting, codePage);
    QTEST(tom.Range(0, Whole)->Text(), "text");
    QCOMPARE(tom.Range(0, Whole)->Font()->Bold(), tomFalse);
    QCOMPARE(tom.Range(0, 0)->Para()->Alignment(), tomAlignLeft);
    QVERIFY(!document->isModified());
}

void TestTextObjectModel::openModes()
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("there.txt"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("content");
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));

    auto document = documentWith(QStringLiteral("before"));
    TextDocument tom(document.get());
    QCOMPARE(raisedErrorNumber([&] { tom.Open(missing, tomText); }), RtErr::FileNotFound);
    QCOMPARE(raisedErrorNumber([&] { tom.Open(missing, tomText | tomOpenExisting); }), RtErr::FileNotFound);
    QCOMPARE(raisedErrorNumber([&] { tom.Open(existing, tomText | tomCreateNew); }), 58);
    QCOMPARE(raisedErrorNumber([&] { tom.Open(existing, tomHTML); }), RtErr::InvalidProcedureCall);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("before\r"));

    tom.Open(missing, tomText | tomOpenAlways);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("\r"));
    tom.Open(existing, tomText | tomOpenAlways);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("content\r"));
    tom.Open(existing, tomText | tomCreateAlways);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("\r"));
    // Opening never writes.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("content"));
    file.close();

    const QString badRtf = dir.filePath(QStringLiteral("bad.rtf"));
    QFile bad(badRtf);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not rtf at all");
    bad.close();
    tom.Range(0, Whole)->setText(QStringLiteral("kept"));
    QCOMPARE(raisedErrorNumber([&] { tom.Open(badRtf, tomRTF); }), RtErr::InvalidProcedureCall);
    QCOMPARE(tom.Range(0, Whole)->Text(), QStringLiteral("kept\r"));
}

void TestTextObjectModel::saveFailuresRaise()
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("plain-file"));
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    auto document = documentWith(QStringLiteral("text"));
    TextDocument tom(document.get());
    for (const QString &path :
         {notAFolder + QStringLiteral("/out.rtf"), dir.filePath(QStringLiteral("no/such/folder/out.txt"))}) {
        for (int format : {tomRTF, tomText}) {
            try {
                tom.Save(path, format, 0);
                QFAIL(qPrintable(QStringLiteral("Save to %1 reported success").arg(path)));
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), RtErr::PathFileAccessError);
                QVERIFY2(e.description().contains(path), qPrintable(e.description()));
            }
            QVERIFY(!QFileInfo::exists(path));
        }
    }
    QVERIFY(tom.Name().isEmpty());

    // A save that fails leaves the file that was there untouched.
    const QString existing = dir.filePath(QStringLiteral("existing.txt"));
    tom.Save(existing, tomText, 0);
    QCOMPARE(raisedErrorNumber([&] { tom.Save(existing, tomText | tomCreateNew, 0); }), 58);
    QCOMPARE(raisedErrorNumber([&] { tom.Save(existing, tomWordDocument, 0); }), RtErr::InvalidProcedureCall);
    QFile saved(existing);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("text"));

    QTextDocument unnamed;
    TextDocument unnamedTom(&unnamed);
    QCOMPARE(raisedErrorNumber([&] { unnamedTom.Save(); }), RtErr::BadFileNameOrNumber);
}

void TestTextObjectModel::saveWithoutPathUsesOpenedFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("one");
    file.close();

    QTextDocument document;
    TextDocument tom(&document);
    tom.Open(path, tomText);
    tom.Range(Whole, Whole)->setText(QStringLiteral(" two"));
    QVERIFY(document.isModified());
    tom.Save();
    QVERIFY(!document.isModified());
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Saved in the format it was opened in.
    QCOMPARE(file.readAll(), QByteArray("one two"));
}

void TestTextObjectModel::freezeSuppressesRepaints()
{
    QTextEdit edit;
    edit.resize(400, 300);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    TextDocument tom(&edit);
    PaintCounter paints(edit.viewport());
    auto selection = tom.Selection();
    auto append = [&](const QString &text) {
        selection->setStart(Whole);
        selection->setText(text);
        QCoreApplication::processEvents();
    };

    // Unfrozen, appends are painted.
    append(QStringLiteral("visible\r"));
    QTRY_VERIFY(paints.count > 0);

    // The document announces the whole fill as one change, so the view lays it out once.
    int changes = 0;
    connect(edit.document(), &QTextDocument::contentsChanged, this, [&changes] { ++changes; });
    QCOMPARE(tom.Freeze(), 1);
    QCOMPARE(tom.Freeze(), 2);
    paints.count = 0;
    for (int verse = 1; verse <= 200; ++verse)
        append(QStringLiteral("%1 In the beginning.\r").arg(verse));
    QCOMPARE(tom.Unfreeze(), 1);
    append(QStringLiteral("still frozen\r"));
    QTest::qWait(50);
    QCOMPARE(paints.count, 0);
    QCOMPARE(changes, 0);

    QCOMPARE(tom.Unfreeze(), 0);
    QCOMPARE(changes, 1);
    QCOMPARE(tom.Unfreeze(), 0);
    QTRY_VERIFY(paints.count > 0);
    QCOMPARE(edit.document()->blockCount(), 1 + 200 + 1 + 1);
    QVERIFY(edit.toPlainText().contains(QStringLiteral("200 In the beginning.")));
    // The view laid the new text out.
    QVERIFY(edit.verticalScrollBar()->maximum() > 0);
}

void TestTextObjectModel::freezeGuardUnfreezesOnException()
{
    QTextEdit edit;
    TextDocument tom(&edit);
    const std::optional<RuntimeError> raised = raisedError([&] {
        TextDocument::FreezeGuard frozen(&tom);
        QCOMPARE(tom.freezeCount(), 1);
        QVERIFY(!edit.updatesEnabled());
        tom.Range(99, 99)->Font()->setSize(-1);
    });
    QVERIFY2(raised.has_value(), "the call inside the guard must raise an error");
    QCOMPARE(tom.freezeCount(), 0);
    QVERIFY(edit.updatesEnabled());
}

QTEST_MAIN(TestTextObjectModel)
#include "tst_textobjectmodel.moc"
