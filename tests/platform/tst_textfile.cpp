#include "platform/CodePage.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include "common/TestFixture.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QtTest>

using Fields = QStringList;

class tst_TextFile : public QObject
{
    Q_OBJECT

private slots:
    void readerLineEnds_data();
    void readerLineEnds();
    void readerCodePages_data();
    void readerCodePages();
    void readerPastEndRaises62();
    void readerMissingFileRaises53();
    void readerFindsFileIgnoringCase();

    void records_data();
    void records();
    void recordLines();
    void exactRecords_data();
    void exactRecords();
    void unclosedQuoteSkipsTheRecord_data();
    void unclosedQuoteSkipsTheRecord();
    void readRecordPastEndRaises62();

    void writerFormatsFields_data();
    void writerFormatsFields();
    void writerReaderRoundTrip_data();
    void writerReaderRoundTrip();
    void writerSavesAtomically();
    void scratchWrite_data();
    void scratchWrite();
    void encodeText_data();
    void encodeText();
};

namespace {
QStringList readLines(TextReader reader)
{
    QStringList lines;
    while (!reader.atEnd())
        lines.append(reader.readLine());
    return lines;
}

QList<Fields> readRecords(RecordReader reader)
{
    QList<Fields> records;
    while (!reader.atEnd())
        records.append(reader.readRecord());
    return records;
}

} // namespace

void tst_TextFile::readerLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("crLfOnly");
    QTest::addColumn<QStringList>("lines");

    for (bool only : {false, true}) {
        const char *mode = only ? "CrLfOnly" : "Any";
        auto row = [&](const char *name) -> QTestData & { return QTest::addRow("%s: %s", mode, name); };
        row("empty file") << QByteArray() << only << QStringList();
        row("only CR LF") << QByteArray("\r\n") << only << QStringList{QString()};
        row("CR LF lines") << QByteArray("a\r\nb\r\n") << only << QStringList{"a", "b"};
        row("final line without end") << QByteArray("a\r\nb") << only << QStringList{"a", "b"};
        row("empty lines between") << QByteArray("a\r\n\r\n\r\nb") << only << QStringList{"a", "", "", "b"};
        row("line of blanks") << QByteArray("  \r\n") << only << QStringList{"  "};
    }
    // Where any line end counts, a CR LF pair is still one line end.
    QTest::newRow("Any: lone LF") << QByteArray("a\nb\n") << false << QStringList{"a", "b"};
    QTest::newRow("Any: lone CR") << QByteArray("a\rb") << false << QStringList{"a", "b"};
    QTest::newRow("Any: LF CR is two") << QByteArray("a\n\rb") << false << QStringList{"a", "", "b"};
    QTest::newRow("Any: CR CR LF") << QByteArray("a\r\r\nb") << false << QStringList{"a", "", "b"};
    QTest::newRow("Any: trailing lone CR") << QByteArray("a\r") << false << QStringList{"a"};
    // Where only CR LF ends a line, other line-end bytes belong to the line.
    QTest::newRow("CrLfOnly: lone LF") << QByteArray("a\nb\r\nc") << true << QStringList{"a\nb", "c"};
    QTest::newRow("CrLfOnly: lone CR") << QByteArray("a\rb\r\n") << true << QStringList{"a\rb"};
    QTest::newRow("CrLfOnly: LF CR") << QByteArray("a\n\r\nb") << true << QStringList{"a\n", "b"};
    QTest::newRow("CrLfOnly: CR CR LF") << QByteArray("a\r\r\nb") << true << QStringList{"a\r", "b"};
    QTest::newRow("CrLfOnly: trailing lone CR") << QByteArray("a\r") << true << QStringList{"a\r"};
    QTest::newRow("CrLfOnly: only LF") << QByteArray("\n") << true << QStringList{"\n"};
}

void tst_TextFile::readerLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, crLfOnly);
    QFETCH(QStringList, lines);
    const LineEnds ends = crLfOnly ? LineEnds::CrLfOnly : LineEnds::Any;
    QCOMPARE(readLines(TextReader::fromBytes(bytes, 1252, ends)), lines);

    TextReader reader = TextReader::fromBytes(bytes, 1252, ends);
    QCOMPARE(reader.readAllLines(), lines);
    QCOMPARE(reader.lineNumber(), int(lines.size()));
    QVERIFY(reader.atEnd());
}

void tst_TextFile::readerCodePages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("1252") << QByteArray("caf\xE9\r\n\x80 5") << 1252 << QStringList{"café", "€ 5"};
    QTest::newRow("ANSI") << QByteArray("na\xEFve") << 0 << QStringList{"naïve"};
    QTest::newRow("1251") << QByteArray("\xC2 \xED\xE0\xF7\xE0\xEB\xE5") << 1251 << QStringList{"В начале"};
    QTest::newRow("UTF-8") << QByteArray("\xE1\xBC\x98\xCE\xBD\r\n\xE2\x80\x94") << 65001
                           << QStringList{"Ἐν", "—"};
    // A byte-order mark means UTF-8 whatever code page was asked for, and is not text.
    QTest::newRow("BOM overrides 1252")
        << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\nx") << 1252 << QStringList{"été", "x"};
    QTest::newRow("BOM then CR LF") << QByteArray("\xEF\xBB\xBF\r\na") << 1251 << QStringList{"", "a"};
    QTest::newRow("BOM only") << QByteArray("\xEF\xBB\xBF") << 65001 << QStringList();
}

void tst_TextFile::readerCodePages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, codePage);
    QFETCH(QStringList, lines);
    QCOMPARE(readLines(TextReader::fromBytes(bytes, codePage)), lines);
}

void tst_TextFile::readerPastEndRaises62()
{
    TextReader reader = TextReader::fromBytes("one\r\n");
    QCOMPARE(reader.readLine(), QStringLiteral("one"));
    QVERIFY(reader.atEnd());
    QCOMPARE(raisedErrorNumber([&] { reader.readLine(); }), RtErr::InputPastEndOfFile);
    QCOMPARE(raisedErrorNumber([&] { reader.readLineBytes(); }), RtErr::InputPastEndOfFile);

    TextReader empty = TextReader::fromBytes(QByteArray());
    QVERIFY(empty.atEnd());
    QCOMPARE(raisedErrorNumber([&] { empty.readLine(); }), RtErr::InputPastEndOfFile);
    TextReader unset;
    QCOMPARE(raisedErrorNumber([&] { unset.readLine(); }), RtErr::InputPastEndOfFile);
}

void tst_TextFile::readerMissingFileRaises53()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    QCOMPARE(raisedErrorNumber([&] { TextReader::fromFile(missing); }), RtErr::FileNotFound);
    QCOMPARE(raisedErrorNumber([&] { RecordReader::fromFile(missing); }), RtErr::FileNotFound);
    QCOMPARE(
        raisedErrorNumber([&] { TextFiles::readAll(dir.filePath(QStringLiteral("no/such/folder.txt"))); }),
        RtErr::FileNotFound);
    const std::optional<RuntimeError> raised = raisedError([&] { TextReader::fromFile(missing); });
    QVERIFY2(raised.has_value(), "a missing file must raise an error");
    QVERIFY2(raised->description().contains(missing), qPrintable(raised->description()));
}

void tst_TextFile::readerFindsFileIgnoringCase()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("SysDefs")));
    QFile file(dir.filePath(QStringLiteral("SysDefs/Books.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Gen\r\nExod\r\n");
    file.close();
    TextReader reader =
        TextReader::fromFile(dir.filePath(QStringLiteral("sysdefs/BOOKS.TXT")), 1252, LineEnds::CrLfOnly);
    QCOMPARE(reader.readAllLines(), (QStringList{"Gen", "Exod"}));
}

void tst_TextFile::records_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<Fields>>("records");

    QTest::newRow("empty file") << QByteArray() << QList<Fields>();
    QTest::newRow("only blank lines") << QByteArray("\r\n  \r\n\t\n") << QList<Fields>();
    QTest::newRow("texts numbers Booleans")
        << QByteArray("\"Genesis\",1,2.5,#TRUE#,#FALSE#\r\n\"Exodus\",-3,1e+20,#TRUE#,0\r\n")
        << QList<Fields>{{"Genesis", "1", "2.5", "#TRUE#", "#FALSE#"},
                         {"Exodus", "-3", "1e+20", "#TRUE#", "0"}};
    QTest::newRow("comma inside quotes") << QByteArray("\"a, b\",\"c\"\r\n") << QList<Fields>{{"a, b", "c"}};
    // A record is one line: a quote still open at the line end makes the record
    // malformed, and the next line is a record of its own.
    QTest::newRow("line break inside quotes")
        << QByteArray("\"line 1\r\nline 2\",2\r\n\"x\"") << QList<Fields>{{"line 2\"", "2"}, {"x"}};
    QTest::newRow("doubled quote") << QByteArray("\"He said \"\"yes\"\"\",\"\"\"\"\r\n")
                                   << QList<Fields>{{"He said \"yes\"", "\""}};
    QTest::newRow("empty quoted text") << QByteArray("\"\",\"\"\r\n") << QList<Fields>{{"", ""}};
    QTest::newRow("empty fields") << QByteArray(",,\r\n") << QList<Fields>{{"", "", ""}};
    QTest::newRow("trailing comma") << QByteArray("\"a\",\r\n\"b\"") << QList<Fields>{{"a", ""}, {"b"}};
    QTest::newRow("blanks around fields")
        << QByteArray("  \"a\"  ,  12  ,\t#TRUE#\t\r\n") << QList<Fields>{{"a", "12", "#TRUE#"}};
    QTest::newRow("blanks inside quotes kept") << QByteArray("\"  a  \"\r\n") << QList<Fields>{{"  a  "}};
    QTest::newRow("blank lines between records")
        << QByteArray("\r\n\"a\"\r\n\r\n   \r\n\"b\"\r\n\r\n") << QList<Fields>{{"a"}, {"b"}};
    QTest::newRow("LF line ends") << QByteArray("\"a\",1\n\"b\",2\n")
                                  << QList<Fields>{{"a", "1"}, {"b", "2"}};
    QTest::newRow("junk after closing quote")
        << QByteArray("\"a\"xyz,\"b\"\r\n") << QList<Fields>{{"a", "b"}};
    QTest::newRow("quote inside unquoted") << QByteArray("ab\"c,d\r\n") << QList<Fields>{{"ab\"c", "d"}};
    QTest::newRow("1252 text") << QByteArray("\"Jes\xFA\"\r\n") << QList<Fields>{{"Jesú"}};
    QTest::newRow("BOM is UTF-8") << QByteArray("\xEF\xBB\xBF\"\xC3\xA9\",1\r\n")
                                  << QList<Fields>{{"é", "1"}};
}

void tst_TextFile::records()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<Fields>, records);
    QCOMPARE(readRecords(RecordReader::fromBytes(bytes, 1252)), records);
}

void tst_TextFile::recordLines()
{
    RecordReader reader = RecordReader::fromBytes("\r\n"                   // 1
                                                  "\"a\",1\r\n"            // 2
                                                  "\"two\r\nlines\",2\r\n" // 3 malformed, 4
                                                  "\r\n"                   // 5
                                                  "  \r\n"                 // 6
                                                  "\"c\"\r\n"              // 7
                                                  "\"d\n\ne\"\n"           // 8 malformed, 9, 10
                                                  "\"f\"");                // 11
    QList<int> lines, numbers;
    while (!reader.atEnd()) {
        reader.readRecord();
        lines.append(reader.recordLine());
        numbers.append(reader.recordNumber());
    }
    QCOMPARE(lines, (QList<int>{2, 4, 7, 10, 11}));
    QCOMPARE(numbers, (QList<int>{1, 3, 4, 6, 7}));
    QCOMPARE(reader.takeSkippedRecords(),
             (QStringList{"record 2 (line 3): a quoted text is not closed before the end of its line",
                          "record 5 (line 8): a quoted text is not closed before the end of its line"}));
    QVERIFY(reader.takeSkippedRecords().isEmpty()); // each is reported once
}

void tst_TextFile::exactRecords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("exact");
    QTest::newRow("as written") << QByteArray("1,\"a, b\",\"say \"\"hi\"\"\",2") << true;
    QTest::newRow("blanks around fields") << QByteArray(" 1 , \"a\" ,2") << true;
    QTest::newRow("text after a closing quote") << QByteArray("1,\"King \"James\",2") << false;
    QTest::newRow("quote inside a number") << QByteArray("1\",\"a\",2") << false;
}

void tst_TextFile::exactRecords()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, exact);
    // The next record is judged on its own.
    RecordReader reader = RecordReader::fromBytes(line + "\r\n3,\"b\"\r\n", 1252);
    reader.readRecord();
    QCOMPARE(reader.recordExact(), exact);
    reader.readRecord();
    QVERIFY(reader.recordExact());
}

void tst_TextFile::unclosedQuoteSkipsTheRecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<Fields>>("records");
    QTest::addColumn<QList<int>>("skippedLines");

    // The damaged list entry that used to swallow the next record into its name.
    QTest::newRow("list entry") << QByteArray("1,1,\"KJV\",\"b_kjv\",1252\r\n"
                                              "2,1,\"Reina-Valera 1909,b_sparv,1252\r\n"
                                              "3,1,\"Luther\",\"b_luther\",1252\r\n")
                                << QList<Fields>{{"1", "1", "KJV", "b_kjv", "1252"},
                                                 {"3", "1", "Luther", "b_luther", "1252"}}
                                << QList<int>{2};
    QTest::newRow("next line unquoted") << QByteArray("\"a\",1\r\n\"open, never closed\r\nnext line")
                                        << QList<Fields>{{"a", "1"}, {"next line"}} << QList<int>{2};
    QTest::newRow("LF line ends") << QByteArray("\"open\n\"b\"\n") << QList<Fields>{{"b"}} << QList<int>{1};
    QTest::newRow("lone CR ends the line")
        << QByteArray("\"open\r\"b\"\r\n") << QList<Fields>{{"b"}} << QList<int>{1};
    QTest::newRow("lone quote") << QByteArray("\"") << QList<Fields>{} << QList<int>{1};
    QTest::newRow("doubled quote at the end") << QByteArray("\"abc\"\"") << QList<Fields>{} << QList<int>{1};
    QTest::newRow("second field open")
        << QByteArray("1,\"x\",\"y\r\n2,\"z\"\r\n") << QList<Fields>{{"2", "z"}} << QList<int>{1};
    QTest::newRow("two in a row") << QByteArray("\"a\r\n\"b\r\n\"c\"\r\n") << QList<Fields>{{"c"}}
                                  << QList<int>{1, 2};
}

void tst_TextFile::unclosedQuoteSkipsTheRecord()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<Fields>, records);
    QFETCH(QList<int>, skippedLines);
    RecordReader reader = RecordReader::fromBytes(bytes, 1252);
    QCOMPARE(readRecords(reader), records);
    QList<Fields> read;
    QStringList skipped;
    while (!reader.atEnd()) {
        read.append(reader.readRecord());
        skipped += reader.takeSkippedRecords();
    }
    skipped += reader.takeSkippedRecords();
    QCOMPARE(read, records);
    QCOMPARE(skipped.size(), skippedLines.size());
    for (qsizetype i = 0; i < skipped.size(); ++i)
        QVERIFY2(skipped[i].contains(
                     QStringLiteral("(line %1): a quoted text is not closed").arg(skippedLines[i])),
                 qPrintable(skipped[i]));
}

void tst_TextFile::readRecordPastEndRaises62()
{
    RecordReader reader = RecordReader::fromBytes("\"a\"\r\n\r\n");
    reader.readRecord();
    QVERIFY(reader.atEnd());
    QCOMPARE(raisedErrorNumber([&] { reader.readRecord(); }), RtErr::InputPastEndOfFile);
}

void tst_TextFile::writerFormatsFields_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("text") << QVariant(QStringLiteral("Genesis")) << QStringLiteral("\"Genesis\"");
    QTest::newRow("quote doubled") << QVariant(QStringLiteral("a\"b\"")) << QStringLiteral("\"a\"\"b\"\"\"");
    QTest::newRow("empty text") << QVariant(QString()) << QStringLiteral("\"\"");
    QTest::newRow("line breaks become blanks")
        << QVariant(QStringLiteral("a\r\nb\nc\rd")) << QStringLiteral("\"a b c d\"");
    QTest::newRow("true") << QVariant(true) << QStringLiteral("#TRUE#");
    QTest::newRow("false") << QVariant(false) << QStringLiteral("#FALSE#");
    QTest::newRow("int") << QVariant(-42) << QStringLiteral("-42");
    QTest::newRow("short") << QVariant::fromValue<qint16>(-7) << QStringLiteral("-7");
    QTest::newRow("byte") << QVariant::fromValue<quint8>(200) << QStringLiteral("200");
    QTest::newRow("signed char") << QVariant::fromValue<qint8>(-5) << QStringLiteral("-5");
    QTest::newRow("unsigned") << QVariant(4294967295u) << QStringLiteral("4294967295");
    QTest::newRow("long long") << QVariant::fromValue<qint64>(1234567890123LL)
                               << QStringLiteral("1234567890123");
    QTest::newRow("double") << QVariant(2.5) << QStringLiteral("2.5");
    QTest::newRow("double shortest") << QVariant(0.1) << QStringLiteral("0.1");
    QTest::newRow("single shortest") << QVariant(0.1f) << QStringLiteral("0.1");
    QTest::newRow("whole double") << QVariant(3.0) << QStringLiteral("3");
}

void tst_TextFile::writerFormatsFields()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(RecordWriter::formatField(value), text);
}

void tst_TextFile::writerReaderRoundTrip_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");

    const QStringList awkward = {
        QString(),
        QStringLiteral("\""),
        QStringLiteral("\"\""),
        QStringLiteral("\"quoted\""),
        QStringLiteral("a,b,,c,"),
        QStringLiteral("line 1\r\nline 2"),
        QStringLiteral("lone\nLF and lone\rCR"),
        QStringLiteral("\r\n"),
        QStringLiteral("  blanks  "),
        QStringLiteral("\ttab\t"),
        QStringLiteral("#TRUE#"),
        QStringLiteral("12"),
        QStringLiteral(",\",\r\n\","),
        QStringLiteral("C:\\Path\\"),
    };
    for (int i = 0; i < awkward.size(); ++i) {
        QTest::addRow("1252 #%d", i) << 1252 << awkward[i];
        QTest::addRow("UTF-8 #%d", i) << 65001 << awkward[i];
    }
    QTest::newRow("1252 letters") << 1252 << QStringLiteral("Señor – “Gott” €");
    QTest::newRow("UTF-8 Greek") << 65001 << QStringLiteral("“Ἐν ἀρχῇ”, \"ἦν\"");
}

void tst_TextFile::writerReaderRoundTrip()
{
    QFETCH(int, codePage);
    QFETCH(QString, text);
    RecordWriter writer(codePage);
    writer.writeRecord({text, 7, true, text});
    writer.writeRecord({QStringLiteral("next"), false, 2.5});
    writer.writeRecord({});
    writer.writeRecord({text});

    // A record is one line: line breaks inside a text come back as blanks.
    QString expected = text;
    expected.replace(QRegularExpression(QStringLiteral("\r\n|\r|\n")), QStringLiteral(" "));
    RecordReader reader = RecordReader::fromBytes(writer.bytes(), codePage);
    QCOMPARE(reader.readRecord(), (Fields{expected, "7", "#TRUE#", expected}));
    QCOMPARE(reader.readRecord(), (Fields{"next", "#FALSE#", "2.5"}));
    // The empty record is a blank line; blank lines are skipped.
    QCOMPARE(reader.readRecord(), Fields{expected});
    QVERIFY(reader.atEnd());
    QVERIFY(reader.takeSkippedRecords().isEmpty());
}

void tst_TextFile::writerSavesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bookmarks.txt"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content that is longer than the new one\r\n");
    }
    RecordWriter writer(1252);
    writer.writeRecord({QStringLiteral("Ruth"), 8, true});
    writer.saveTo(path);
    QCOMPARE(TextFiles::readAll(path), QByteArray("\"Ruth\",8,#TRUE#\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Bookmarks.txt")});
    QCOMPARE(readRecords(RecordReader::fromFile(path, 1252)), (QList<Fields>{{"Ruth", "8", "#TRUE#"}}));

    QCOMPARE(TextFiles::encodeLines({QStringLiteral("a"), QStringLiteral("é")}, 1252),
             QByteArray("a\r\n\xE9\r\n"));

    // A folder that does not exist cannot take the file.
    QCOMPARE(raisedErrorNumber([&] { writer.saveTo(dir.filePath(QStringLiteral("no/such/file.txt"))); }),
             RtErr::PathFileAccessError);
}

// A scratch file, written without waiting for the disk, holds exactly the new
// bytes whatever was there before, and nothing is left beside it.
void tst_TextFile::scratchWrite_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file yet
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("new file") << QByteArray() << QByteArray("a\r\nb\r\n");
    QTest::newRow("longer before") << QByteArray("old content that is longer\r\n") << QByteArray("new\r\n");
    QTest::newRow("shorter before") << QByteArray("old") << QByteArray("the new content\r\n");
    QTest::newRow("emptied") << QByteArray("old content") << QByteArray("");
}

void tst_TextFile::scratchWrite()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BibTmp_b_kjv.txt"));
    if (!before.isNull()) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(before);
    }
    TextFiles::writeAtomically(path, bytes, TextFiles::Durability::Unsynced);
    QCOMPARE(TextFiles::readAll(path), bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("BibTmp_b_kjv.txt")});
    QCOMPARE(raisedErrorNumber([&] {
                 TextFiles::writeAtomically(dir.filePath(QStringLiteral("no/such/file")), bytes,
                                            TextFiles::Durability::Unsynced);
             }),
             RtErr::PathFileAccessError);
}

// A text whose lines end with a line feed gets CR LF line ends in any code
// page, the same bytes as the text with its line feeds replaced and encoded.
void tst_TextFile::encodeText_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QString longText;
    for (int line = 0; line < 300; ++line)
        longText += QStringLiteral("GEN %1:1 In the beginning \u00E9 \u2019\n").arg(line);
    for (const int codePage : {1252, 1251, CodePage::Utf8, 1200}) {
        const auto row = [&](const char *name, const QString &text) {
            QTest::addRow("%s, code page %d", name, codePage) << codePage << text;
        };
        row("lines", QStringLiteral("a\nb\n"));
        row("no line feed at the end", QStringLiteral("a\nb"));
        row("empty", QString());
        row("empty lines", QStringLiteral("\n\n"));
        row("carriage return before", QStringLiteral("\u00E9\r\nx\n"));
        row("a character the code page lacks", QStringLiteral("\u0416\n\u795E"));
        row("many lines", longText);
    }
}

void tst_TextFile::encodeText()
{
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QString crLf = text;
    crLf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QCOMPARE(TextFiles::encodeText(text, codePage), CodePage::encode(crLf, codePage));
}

QTEST_GUILESS_MAIN(tst_TextFile)
#include "tst_textfile.moc"
