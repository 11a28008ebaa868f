#include "platform/TestDesktop.h"

#include <QtTest>

class tst_TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void defaultAnswersByButtonSet_data();
    void defaultAnswersByButtonSet();
    void scriptedAnswersInOrder();
    void inputBoxes();
    void fileAndColourDialogs();
    void printDialogs();
    void fontDialogs();
    void shellAndClock();
    void waitCursorNests();
    void endProgramThrows();
    void scopeInstallsAndRestores();
};

void tst_TestDesktop::defaultAnswersByButtonSet_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");

    namespace S = MsgBoxStyle;
    namespace R = MsgBoxResult;
    QTest::newRow("OK only") << S::OKOnly << R::OK;
    QTest::newRow("OK Cancel") << S::OKCancel << R::OK;
    QTest::newRow("Abort Retry Ignore") << S::AbortRetryIgnore << R::Abort;
    QTest::newRow("Yes No Cancel") << S::YesNoCancel << R::Yes;
    QTest::newRow("Yes No") << S::YesNo << R::Yes;
    QTest::newRow("Retry Cancel") << S::RetryCancel << R::Retry;
    // Icons and the default-button choice do not change the button set.
    QTest::newRow("Yes No, question") << (S::YesNo | S::Question) << R::Yes;
    QTest::newRow("Yes No, critical, button 2") << (S::YesNo | S::Critical | S::DefaultButton2) << R::Yes;
    QTest::newRow("OK Cancel, information") << (S::OKCancel | S::Information) << R::OK;
    QTest::newRow("Retry Cancel, exclamation, button 3")
        << (S::RetryCancel | S::Exclamation | S::DefaultButton3) << R::Retry;
}

void tst_TestDesktop::defaultAnswersByButtonSet()
{
    QFETCH(int, style);
    QFETCH(int, answer);
    TestDesktop desk;
    QCOMPARE(desk.messageBox(QStringLiteral("Sure?"), style, QString()), answer);
    QCOMPARE(TestDesktop::defaultAnswer(style), answer);
    QCOMPARE(desk.shown.size(), 1);
    QCOMPARE(desk.shown.first().style, style);
}

void tst_TestDesktop::scriptedAnswersInOrder()
{
    TestDesktop desk;
    desk.messageBoxAnswers = {MsgBoxResult::No, MsgBoxResult::Cancel};
    QCOMPARE(desk.messageBox(QStringLiteral("first"), MsgBoxStyle::YesNoCancel, QStringLiteral("T1")),
             MsgBoxResult::No);
    QCOMPARE(desk.messageBox(QStringLiteral("second"), MsgBoxStyle::YesNoCancel, QString()),
             MsgBoxResult::Cancel);
    // The script is used up: back to the default.
    QCOMPARE(desk.messageBox(QStringLiteral("third"), MsgBoxStyle::YesNo, QString()), MsgBoxResult::Yes);
    desk.inputBox(QStringLiteral("not a message box"), QString(), QString());

    const QList<TestDesktop::Shown> boxes = desk.messageBoxes();
    QCOMPARE(boxes.size(), 3);
    QCOMPARE(boxes[0].kind, QStringLiteral("msgbox"));
    QCOMPARE(boxes[0].text, QStringLiteral("first"));
    QCOMPARE(boxes[0].title, QStringLiteral("T1"));
    QCOMPARE(boxes[0].style, MsgBoxStyle::YesNoCancel);
    QCOMPARE(desk.lastMessage(), QStringLiteral("third"));
    QCOMPARE(desk.shown.size(), 4);
    QCOMPARE(desk.shown.last().kind, QStringLiteral("inputbox"));
    QVERIFY(TestDesktop().lastMessage().isEmpty());
}

void tst_TestDesktop::inputBoxes()
{
    TestDesktop desk;
    desk.inputAnswers = {QStringLiteral("John 3:16"), std::nullopt, QString()};
    QCOMPARE(desk.inputBox(QStringLiteral("Verse?"), QStringLiteral("Go to"), QStringLiteral("Gen 1:1")),
             std::optional<QString>(QStringLiteral("John 3:16")));
    QCOMPARE(desk.inputBox(QStringLiteral("Verse?"), QString(), QString()), std::optional<QString>());
    // An empty answer is an answer, not a cancel.
    const std::optional<QString> empty = desk.inputBox(QStringLiteral("Verse?"), QString(), QString());
    QVERIFY(empty.has_value());
    QVERIFY(empty->isEmpty());
    QCOMPARE(desk.inputBox(QStringLiteral("Verse?"), QString(), QStringLiteral("dflt")),
             std::optional<QString>());
    QCOMPARE(desk.shown.first().text, QStringLiteral("Verse?"));
    QCOMPARE(desk.shown.first().title, QStringLiteral("Go to"));
}

void tst_TestDesktop::fileAndColourDialogs()
{
    TestDesktop desk;
    desk.fileAnswers = {QStringLiteral("/tmp/a.rtf"), QStringLiteral("/tmp/b.rtf")};
    desk.colorAnswers = {0x00FF8040u, std::nullopt};
    QCOMPARE(desk.openFileName(QStringLiteral("Open"), QString(), QString()), QStringLiteral("/tmp/a.rtf"));
    QCOMPARE(desk.saveFileName(QStringLiteral("Save"), QString(), QString()), QStringLiteral("/tmp/b.rtf"));
    QVERIFY(desk.folderName(QStringLiteral("Folder"), QString()).isEmpty());
    QCOMPARE(desk.chooseColor(0), std::optional<quint32>(0x00FF8040u));
    QCOMPARE(desk.chooseColor(0), std::optional<quint32>());
    QCOMPARE(desk.chooseColor(0), std::optional<quint32>());

    QStringList kinds;
    for (const TestDesktop::Shown &s : desk.shown)
        kinds.append(s.kind);
    QCOMPARE(kinds, (QStringList{"open", "save", "folder", "color", "color", "color"}));
    QCOMPARE(desk.shown[1].title, QStringLiteral("Save"));
    QVERIFY(desk.messageBoxes().isEmpty());
}

void tst_TestDesktop::printDialogs()
{
    TestDesktop desk;
    QPrinter printer;
    printer.setPrintRange(QPrinter::AllPages);
    // Unanswered: cancelled, and the printer is left as it was.
    QVERIFY(!desk.printDialog(printer, {QStringLiteral("Print"), 3}));
    QCOMPARE(printer.printRange(), QPrinter::AllPages);
    desk.printAnswers.push_back(std::nullopt);
    desk.printAnswers.push_back(
        TestDesktop::PrintAnswer{QPrinter::PageRange, 2, 3, QStringLiteral("/tmp/x.pdf")});
    QVERIFY(!desk.printDialog(printer, {QStringLiteral("Print"), 3}));
    QVERIFY(desk.printDialog(printer, {QStringLiteral("Print"), 5}));
    QCOMPARE(printer.printRange(), QPrinter::PageRange);
    QCOMPARE(printer.fromPage(), 2);
    QCOMPARE(printer.toPage(), 3);
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
    QCOMPARE(printer.outputFileName(), QStringLiteral("/tmp/x.pdf"));
    QCOMPARE(desk.shown.size(), 3);
    QCOMPARE(desk.shown[0].kind, QStringLiteral("print"));
    QCOMPARE(desk.printDialogs[0].pageCount, 3);
    QCOMPARE(desk.printDialogs.size(), 3);
    QCOMPARE(desk.printDialogs[2].pageCount, 5);
}

void tst_TestDesktop::fontDialogs()
{
    TestDesktop desk;
    desk.fontAnswers = {QFont(QStringLiteral("Chosen"), 20)};
    const QFont initial(QStringLiteral("Given"), 12);
    const std::optional<QFont> chosen =
        desk.chooseFont(initial, QStringLiteral("Gen 1:1 In the beginning\nmore"));
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->family(), QStringLiteral("Chosen"));
    // Unanswered: the user cancels.
    QVERIFY(!desk.chooseFont(QFont(QStringLiteral("Second")), QString()).has_value());
    QCOMPARE(desk.fontsOffered.size(), 2);
    QCOMPARE(desk.fontsOffered[0].family(), QStringLiteral("Given"));
    QCOMPARE(desk.fontsOffered[1].family(), QStringLiteral("Second"));
    QCOMPARE(desk.shown.size(), 2);
    QCOMPARE(desk.shown[0].kind, QStringLiteral("font"));
    QCOMPARE(desk.shown[0].text, QStringLiteral("Gen 1:1 In the beginning\nmore"));
    QVERIFY(desk.messageBoxes().isEmpty());
}

void tst_TestDesktop::shellAndClock()
{
    TestDesktop desk;
    int failures = 0;
    desk.openUrl(QStringLiteral("https://example.org/chm_bibles.html"), [&failures] { ++failures; });
    QCOMPARE(failures, 0);
    desk.canOpen = false;
    desk.openFile(QStringLiteral("/tmp/x.mp3"), [&failures] { ++failures; });
    QCOMPARE(failures, 1);
    QVERIFY(!desk.startProgram(QStringLiteral("player"), {QStringLiteral("-q"), QStringLiteral("x.mp3")}));
    QCOMPARE(desk.openedUrls, QStringList{QStringLiteral("https://example.org/chm_bibles.html")});
    QCOMPARE(desk.openedFiles, QStringList{QStringLiteral("/tmp/x.mp3")});
    QCOMPARE(desk.startedPrograms, QStringList{QStringLiteral("player -q x.mp3")});

    desk.clock = QDateTime(QDate(2023, 12, 24), QTime(23, 59, 30));
    QCOMPARE(desk.now(), QDateTime(QDate(2023, 12, 24), QTime(23, 59, 30)));
}

void tst_TestDesktop::waitCursorNests()
{
    TestDesktopScope scope;
    {
        WaitCursor outer;
        QCOMPARE(scope->waitCursorDepth, 1);
        {
            WaitCursor inner;
            QCOMPARE(scope->waitCursorDepth, 2);
        }
        QCOMPARE(scope->waitCursorDepth, 1);
    }
    QCOMPARE(scope->waitCursorDepth, 0);
    QCOMPARE(scope->waitCursorShown, 2);
    // A stray "off" does not go below zero.
    scope->setWaitCursor(false);
    QCOMPARE(scope->waitCursorDepth, 0);
}

void tst_TestDesktop::endProgramThrows()
{
    TestDesktopScope scope;
    try {
        desktop().endProgram(3);
        QFAIL("endProgram returned");
    } catch (const ProgramEnded &ended) {
        QCOMPARE(ended.exitCode, 3);
    }
}

void tst_TestDesktop::scopeInstallsAndRestores()
{
    auto owned = std::make_unique<TestDesktop>();
    TestDesktop *outer = owned.get();
    std::unique_ptr<Desktop> original = setDesktop(std::move(owned));
    {
        TestDesktopScope scope;
        QCOMPARE(&desktop(), static_cast<Desktop *>(&*scope));
        QVERIFY(&desktop() != outer);
        desktop().messageBox(QStringLiteral("inner"), 0, QString());
        QCOMPARE(scope->lastMessage(), QStringLiteral("inner"));
    }
    QCOMPARE(&desktop(), static_cast<Desktop *>(outer));
    QVERIFY(outer->shown.isEmpty());
    std::unique_ptr<Desktop> mine = setDesktop(std::move(original));
    QCOMPARE(mine.get(), static_cast<Desktop *>(outer));
}

QTEST_GUILESS_MAIN(tst_TestDesktop)
#include "tst_testdesktop.moc"
