#include "platform/RuntimeError.h"

#include <QtTest>
#include <new>
#include <stdexcept>

class tst_RuntimeError : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void standardTexts_data();
    void standardTexts();
    void descriptionAndSource();
    void raiseErrorThrows();
    void errSetFromRuntimeError();
    void errSetFromOutOfMemory();
    void errSetFromOtherException();
    void errSetFromRuntimeErrorSeenAsStdException();
    void fileErrorsNameTheirFile();
    void errClear();
};

void tst_RuntimeError::init()
{
    Err().Clear();
}

void tst_RuntimeError::standardTexts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");

    QTest::newRow("5") << 5 << "Invalid procedure call or argument";
    QTest::newRow("6") << 6 << "Overflow";
    QTest::newRow("7") << 7 << "Out of memory";
    QTest::newRow("9") << 9 << "Subscript out of range";
    QTest::newRow("13") << 13 << "Type mismatch";
    QTest::newRow("52") << 52 << "Bad file name or number";
    QTest::newRow("53") << 53 << "File not found";
    QTest::newRow("62") << 62 << "Input past end of file";
    QTest::newRow("75") << 75 << "Path/File access error";
    QTest::newRow("76") << 76 << "Path not found";
    QTest::newRow("91") << 91 << "Object variable or With block variable not set";
    QTest::newRow("380") << 380 << "Invalid property value";
    QTest::newRow("unknown") << 12345 << "Application-defined or object-defined error";
    QTest::newRow("0") << 0 << "Application-defined or object-defined error";
    QTest::newRow("negative") << -2147221504 << "Application-defined or object-defined error";
}

void tst_RuntimeError::standardTexts()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QCOMPARE(RuntimeError::standardText(number), text);
    const RuntimeError error(number);
    QCOMPARE(error.number(), number);
    QCOMPARE(error.description(), text);
    QCOMPARE(QString::fromUtf8(error.what()), text);
}

void tst_RuntimeError::descriptionAndSource()
{
    const RuntimeError error(RtErr::SubscriptOutOfRange, QStringLiteral("Index 5 of 3 – außerhalb"),
                             QStringLiteral("Verbanox.ArrayList_.Item"));
    QCOMPARE(error.description(), QStringLiteral("Index 5 of 3 – außerhalb"));
    QCOMPARE(error.source(), QStringLiteral("Verbanox.ArrayList_.Item"));
    QCOMPARE(QString::fromUtf8(error.what()), error.description());
    // An empty description given on purpose stays empty; only a missing one is filled in.
    QCOMPARE(RuntimeError(RtErr::TypeMismatch, QStringLiteral("")).description(), QString());
}

void tst_RuntimeError::raiseErrorThrows()
{
    try {
        raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.BinaryStream_.OpenStream"));
        QFAIL("nothing thrown");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 52);
        QCOMPARE(e.description(), QStringLiteral("Bad file name or number"));
        QCOMPARE(e.source(), QStringLiteral("Verbanox.BinaryStream_.OpenStream"));
    }
    try {
        raiseError(RtErr::FileNotFound, QString(), QStringLiteral("File not found: x.txt"));
        QFAIL("nothing thrown");
    } catch (const std::exception &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("File not found: x.txt"));
    }
}

void tst_RuntimeError::errSetFromRuntimeError()
{
    Err().HelpContext = 99;
    Err().LastDllError = 5;
    Err().SetFrom(RuntimeError(RtErr::InputPastEndOfFile, QString(), QStringLiteral("Verbanox.TextFile")));
    QCOMPARE(Err().Number, 62);
    QCOMPARE(Err().Description, QStringLiteral("Input past end of file"));
    QCOMPARE(Err().Source, QStringLiteral("Verbanox.TextFile"));
    QCOMPARE(Err().HelpContext, 0);
    QCOMPARE(Err().LastDllError, 0);
}

void tst_RuntimeError::errSetFromOutOfMemory()
{
    Err().SetFrom(std::bad_alloc());
    QCOMPARE(Err().Number, RtErr::OutOfMemory);
    QCOMPARE(Err().Description, QStringLiteral("Out of memory"));

    Err().Clear();
    Err().SetFrom(std::bad_array_new_length());
    QCOMPARE(Err().Number, RtErr::OutOfMemory);

    try {
        throw std::bad_alloc();
    } catch (const std::exception &e) {
        Err().SetFrom(e);
    }
    QCOMPARE(Err().Number, 7);
}

void tst_RuntimeError::errSetFromOtherException()
{
    Err().SetFrom(std::runtime_error("disk on fire"));
    QCOMPARE(Err().Number, RtErr::InternalError);
    QCOMPARE(Err().Description, QStringLiteral("disk on fire"));
    QVERIFY(!Err().Source.isEmpty());
}

void tst_RuntimeError::fileErrorsNameTheirFile()
{
    try {
        raiseFileUnreadable(QStringLiteral("Verbanox.TextFile"), QStringLiteral("/a/b.txt"),
                            QStringLiteral("Permission denied"));
    } catch (const std::exception &e) {
        Err().SetFrom(e);
    }
    QCOMPARE(Err().Number, RtErr::PathFileAccessError);
    QCOMPARE(Err().Description, QStringLiteral("Cannot read /a/b.txt: Permission denied"));
    QCOMPARE(Err().File, QStringLiteral("/a/b.txt"));
    QCOMPARE(Err().FileReason, QStringLiteral("Permission denied"));
    try {
        raiseFileNotFound(QString(), QStringLiteral("/a/c.txt"));
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), RtErr::FileNotFound);
        QCOMPARE(e.description(), QStringLiteral("File not found: /a/c.txt"));
        QCOMPARE(e.file(), QStringLiteral("/a/c.txt"));
        QVERIFY(e.fileReason().isEmpty());
    }
    // Any other error names no file, also after a file error.
    Err().SetFrom(RuntimeError(RtErr::FileNotFound));
    QVERIFY(Err().File.isEmpty());
    QVERIFY(Err().FileReason.isEmpty());
}

void tst_RuntimeError::errSetFromRuntimeErrorSeenAsStdException()
{
    // Error traps that catch std::exception must not lose the error number.
    try {
        raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.ArrayList_.Item"));
    } catch (const std::exception &e) {
        Err().SetFrom(e);
    }
    QCOMPARE(Err().Number, 9);
    QCOMPARE(Err().Description, QStringLiteral("Subscript out of range"));
    QCOMPARE(Err().Source, QStringLiteral("Verbanox.ArrayList_.Item"));
}

void tst_RuntimeError::errClear()
{
    Err().SetFrom(RuntimeError(RtErr::FileNotFound, QStringLiteral("x"), QStringLiteral("y")));
    Err().HelpFile = QStringLiteral("Help.chm");
    Err().Clear();
    QCOMPARE(Err().Number, 0);
    QVERIFY(Err().Description.isEmpty());
    QVERIFY(Err().Source.isEmpty());
    QVERIFY(Err().HelpFile.isEmpty());
    // One state for the whole program.
    Err().Number = 13;
    QCOMPARE(&Err(), &Err());
    QCOMPARE(Err().Number, 13);
}

QTEST_GUILESS_MAIN(tst_RuntimeError)
#include "tst_runtimeerror.moc"
