#include "common/TestFixture.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"

#include <QtTest>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString Lead = QStringLiteral("Technical details for the report:");
} // namespace

class TestBug : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void formatErrorText_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty description, both locations")
            << 5 << QString() << QStringLiteral("Verbanox") << QStringLiteral("MainMenu.Form_Load()")
            << QStringLiteral("[0x00000005]  <No error description supplied, default is: Invalid procedure "
                              "call or argument> (Verbanox.MainMenu.Form_Load())");
        QTest::newRow("only CR LF pairs count as empty")
            << 9 << QStringLiteral("  \r\n\r\n ") << QString() << QString()
            << QStringLiteral(
                   "[0x00000009]  <No error description supplied, default is: Subscript out of range>");
        QTest::newRow("trailing CR LF cut, blanks trimmed")
            << 52 << QStringLiteral(" Bad file \r\n") << QStringLiteral(" Verbanox.BinaryStream_ ")
            << QString() << QStringLiteral("[0x00000034]  Bad file (Verbanox.BinaryStream_)");
        QTest::newRow("only the routine")
            << 13 << QStringLiteral("Type mismatch") << QString() << QStringLiteral("X.Y()")
            << QStringLiteral("[0x0000000D]  Type mismatch (X.Y())");
        QTest::newRow("negative number shows all eight digits")
            << qint32(0x80070057) << QStringLiteral("Bad argument") << QString() << QString()
            << QStringLiteral("[0x80070057]  Bad argument");
        QTest::newRow("a nested report keeps its own header after the location")
            << 5 << QStringLiteral("Outer text\r\n\r\n[0x00000009]  inner") << QStringLiteral("Src")
            << QStringLiteral("R()")
            << QStringLiteral("[0x00000005]  Outer text (Src.R())\r\n\r\n[0x00000009]  inner");
    }

    void formatErrorText()
    {
        QFETCH(qint32, number);
        QFETCH(QString, description);
        QFETCH(QString, source);
        QFETCH(QString, routine);
        QFETCH(QString, expected);
        QCOMPARE(Bug_::FormatErrorText(number, description, source, routine), Lead + CRLF + CRLF + expected);
    }

    void unexpectedErrorReport()
    {
        const bool ok = TrapErrors(QStringLiteral("Form1.cmdGo_Click()"), [] {
            raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.BinaryStream_"),
                       QStringLiteral("Error opening file: x.txt"));
        });
        QVERIFY(!ok);
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Verbanox Unforseen error."));
        QCOMPARE(boxes[0].style & MsgBoxStyle::IconMask, MsgBoxStyle::Exclamation);
        const QString expected =
            QStringLiteral("An Error has occured.") + CRLF + CRLF +
            QStringLiteral(
                "If the error persists, please report it to us.Select 'Help' then click 'Report a Bug'.") +
            CRLF +
            QStringLiteral(
                "You must give us a FULL DESCRIPTION ofthe error or we will not be able to help you.") +
            CRLF + CRLF + Lead + CRLF + CRLF +
            QStringLiteral(
                "[0x00000034]  Error opening file: x.txt (Verbanox.BinaryStream_.Form1.cmdGo_Click())");
        QCOMPARE(boxes[0].text, expected);
        QCOMPARE(Err().Number, 0); // the report clears the error
    }

    // A file that is missing or cannot be read is the data's fault: whatever
    // trap catches it names the file plainly, and asks for no report.
    void fileFaultsAreToldPlainly_data()
    {
        QTest::addColumn<int>("trap");
        QTest::addColumn<bool>("missing");
        QTest::newRow("missing, trapped") << 0 << true;
        QTest::newRow("missing, deferred") << 1 << true;
        QTest::newRow("unreadable, trapped") << 0 << false;
        QTest::newRow("unreadable, deferred") << 1 << false;
    }
    void fileFaultsAreToldPlainly()
    {
        QFETCH(int, trap);
        QFETCH(bool, missing);
        const QString file = QStringLiteral("/m/Bible/b_gone.txt");
        const QString expected = missing ? QStringLiteral("The file /m/Bible/b_gone.txt was not found.")
                                         : QStringLiteral("The file /m/Bible/b_gone.txt could not be read.") +
                                               CRLF + QStringLiteral("Permission denied");
        const auto fail = [missing, &file] {
            if (missing)
                raiseFileNotFound(QStringLiteral("Verbanox.TextFile"), file);
            raiseFileUnreadable(QStringLiteral("Verbanox.TextFile"), file,
                                QStringLiteral("Permission denied"));
        };
        if (trap == 0) {
            QVERIFY(
                !TrapErrors(QStringLiteral("Form1.cmdGo_Click()"), QStringLiteral("Error reading x"), fail));
        } else {
            DeferredErrors errors(QStringLiteral("Form1.cmdGo_Click()"));
            errors.step(fail);
            errors.step(fail);
        }
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, expected);
        QCOMPARE(boxes[0].title, QString());
        QCOMPARE(boxes[0].style, int(MsgBoxStyle::Exclamation));
        QCOMPARE(Err().Number, 0);
        QVERIFY(Err().File.isEmpty());
    }

    void extraTextGoesBeforeTheAdvice()
    {
        Err().SetFrom(RuntimeError(9, QStringLiteral("x")));
        ShowUnexpectedError(QStringLiteral("R()"), QStringLiteral("While loading"));
        QVERIFY(m_fx->desk().lastMessage().startsWith(QStringLiteral("An Error has occured.") + CRLF + CRLF +
                                                      QStringLiteral("While loading") + CRLF + CRLF +
                                                      QStringLiteral("If the error")));
    }

    void lostSystemText()
    {
        Err().SetFrom(RuntimeError(qint32(0x80070002),
                                   QStringLiteral("The data area passed to a system call is too small.")));
        Bug_::ErrDisplayEndUserMsg(QString(), QString());
        QVERIFY(m_fx->desk().lastMessage().endsWith(
            QStringLiteral("[0x80070002]  The system cannot find the file specified.")));

        Err().SetFrom(RuntimeError(7, QStringLiteral("The data area passed to a system call is too small.")));
        Bug_::ErrDisplayEndUserMsg(QString(), QString());
        QVERIFY(m_fx->desk().lastMessage().endsWith(
            QStringLiteral("[0x00000007]  Error message lost by Operating System")));
        // An empty text starts with the report itself.
        QVERIFY(m_fx->desk().lastMessage().startsWith(Lead));
    }

    void assertionsOnlyInDebugMode()
    {
        Assert(false, QStringLiteral("hidden"));
        AssertFailed(QStringLiteral("hidden too"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());

        gDebugMode = true;
        Assert(true, QStringLiteral("holds"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        Assert(false, QStringLiteral("shown"));
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Assertion"));
        QCOMPARE(boxes[0].text, QStringLiteral("ASSERT FAILED: ") + CRLF + QStringLiteral("shown"));
        QCOMPARE(boxes[0].style & MsgBoxStyle::ButtonsMask, MsgBoxStyle::OKOnly);
    }

    void deferredErrorsReportTheFirstOnceAfterAllSteps()
    {
        int steps = 0;
        {
            DeferredErrors errors(QStringLiteral("MainMenu.mFileExit_Click()"));
            errors.step([&] {
                ++steps;
                raiseError(9, QStringLiteral("First"));
            });
            errors.step([&] {
                ++steps;
                raiseError(13, QStringLiteral("Second"));
            });
            errors.step([&] { ++steps; });
            QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        }
        QCOMPARE(steps, 3);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().endsWith(QStringLiteral("(First.MainMenu.mFileExit_Click())")));
    }

    void ignoredAndStandardErrors()
    {
        QVERIFY(!IgnoreErrors([] { throw std::bad_alloc(); }));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        TrapErrors(QStringLiteral("R()"), [] { throw std::bad_alloc(); });
        QVERIFY(m_fx->desk().lastMessage().endsWith(
            QStringLiteral("[0x00000007]  Out of memory (Verbanox.R())")));
    }
};

QTEST_GUILESS_MAIN(TestBug)
#include "tst_bug.moc"
