#include "common/TestFixture.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"

#include <QLoggingCategory>
#include <QtTest>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString Lead = QStringLiteral("Technical details for the report:");

// Collects what the errors category logs while it is in place.
class ErrorLogCapture
{
public:
    explicit ErrorLogCapture(const QString &rules)
    {
        lines().clear();
        QLoggingCategory::setFilterRules(rules);
        m_previous = qInstallMessageHandler(&capture);
    }
    ~ErrorLogCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    static QStringList &lines()
    {
        static QStringList list;
        return list;
    }

private:
    static void capture(QtMsgType, const QMessageLogContext &context, const QString &text)
    {
        if (QByteArray(context.category) == "verbanox.errors")
            lines().append(text);
    }
    QtMessageHandler m_previous;
};
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

    // A file that is missing, cannot be read or cannot be written is the data's
    // fault: whatever trap catches it names the file plainly, and asks for no report.
    void fileFaultsAreToldPlainly_data()
    {
        QTest::addColumn<int>("trap");
        QTest::addColumn<int>("fault"); // 0 missing, 1 unreadable, 2 unwritable
        QTest::addColumn<QString>("expected");
        const QString notFound = QStringLiteral("The file /m/Bible/b_gone.txt was not found.");
        const QString unreadable = QStringLiteral("The file /m/Bible/b_gone.txt could not be read.") + CRLF +
                                   QStringLiteral("Permission denied");
        const QString unwritable =
            QStringLiteral("The file /m/Bible/b_gone.txt could not be written; it has been left as it was. "
                           "The reason:") +
            CRLF + QStringLiteral("No space left on device");
        QTest::newRow("missing, trapped") << 0 << 0 << notFound;
        QTest::newRow("missing, deferred") << 1 << 0 << notFound;
        QTest::newRow("unreadable, trapped") << 0 << 1 << unreadable;
        QTest::newRow("unreadable, deferred") << 1 << 1 << unreadable;
        QTest::newRow("unwritable, trapped") << 0 << 2 << unwritable;
        QTest::newRow("unwritable, deferred") << 1 << 2 << unwritable;
    }
    void fileFaultsAreToldPlainly()
    {
        QFETCH(int, trap);
        QFETCH(int, fault);
        QFETCH(QString, expected);
        const QString file = QStringLiteral("/m/Bible/b_gone.txt");
        const auto fail = [fault, &file] {
            if (fault == 0)
                raiseFileNotFound(QStringLiteral("Verbanox.TextFile"), file);
            if (fault == 2)
                raiseFileUnwritable(QStringLiteral("Verbanox.TextFile"), file,
                                    QStringLiteral("No space left on device"));
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

    // An ignored error leaves one line naming where it was ignored and the
    // error, only when the category's debug level is asked for.
    void ignoredErrorLeavesATrace_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<bool>("outOfMemory");
        QTest::addColumn<QString>("error");
        QTest::newRow("off by default") << QString() << false << QString();
        QTest::newRow("asked for") << QStringLiteral("verbanox.errors.debug=true") << false
                                   << QStringLiteral("error 53 ignored: gone (from Verbanox.Scan)");
        QTest::newRow("a standard exception")
            << QStringLiteral("verbanox.*=true") << true
            << QStringLiteral("error 7 ignored: Out of memory (from Verbanox)");
        QTest::newRow("other categories only") << QStringLiteral("qt.*.debug=true") << false << QString();
    }
    void ignoredErrorLeavesATrace()
    {
        QFETCH(QString, rules);
        QFETCH(bool, outOfMemory);
        QFETCH(QString, error);
        ErrorLogCapture log(rules);
        const int line = __LINE__ + 1;
        const bool done = IgnoreErrors([outOfMemory] {
            if (outOfMemory)
                throw std::bad_alloc();
            raiseError(RtErr::FileNotFound, QStringLiteral("Verbanox.Scan"), QStringLiteral("gone"));
        });
        QVERIFY(!done);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        if (error.isEmpty()) {
            QVERIFY2(log.lines().isEmpty(), qPrintable(log.lines().join(QLatin1Char('\n'))));
            return;
        }
        QCOMPARE(log.lines().size(), 1);
        QCOMPARE(log.lines().first(),
                 QStringLiteral("tst_bug.cpp:%1, ignoredErrorLeavesATrace: ").arg(line) + error);
    }

    // The file's name, then the system's reason on the next line, or after a
    // blank line when the catalog's message has lines of its own.
    void fileFaultText_data()
    {
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("text");
        const QString file = QStringLiteral("/data/SysDefs/Books_SPANISH.txt");
        QTest::newRow("one line") << 288 << QStringLiteral("Permission denied")
                                  << QStringLiteral("The book names file ") + file +
                                         QStringLiteral(" could not be read.\r\nPermission denied");
        QTest::newRow("lines of its own")
            << 48 << QStringLiteral("Input/output error")
            << QStringLiteral("The file ") + file +
                   QStringLiteral(" is damaged or could not be read completely.\r\nWhatever could be read "
                                  "from it is shown.\r\n\r\nInput/output error");
        QTest::newRow("no reason") << 287 << QString()
                                   << QStringLiteral("The list of modules ") + file +
                                          QStringLiteral(
                                              " could not be written; it has been left as it was.");
    }
    void fileFaultText()
    {
        QFETCH(int, message);
        QFETCH(QString, reason);
        QFETCH(QString, text);
        QCOMPARE(Bug_::FileFaultText(message, QStringLiteral("/data/SysDefs/Books_SPANISH.txt"), reason),
                 text);
    }
};

QTEST_GUILESS_MAIN(TestBug)
#include "tst_bug.moc"
