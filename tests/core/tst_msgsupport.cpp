#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"

#include <QStringDecoder>
#include <QtTest>

namespace {
QByteArray catalog(const QStringList &lines)
{
    return TextFiles::encodeLines(lines, 1252);
}

// The texts of a shipped catalog by id, in the order of the file.
QList<std::pair<int, QString>> catalogTexts(const QString &path)
{
    TextReader reader = TextReader::fromFile(path, 1252, LineEnds::CrLfOnly);
    QList<std::pair<int, QString>> texts;
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        texts.append({line.left(4).toInt(), line.mid(5)});
    }
    return texts;
}
} // namespace

class TestMsgSupport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    void writeEnglish(const QStringList &std, const QStringList &frm = {})
    {
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"), catalog(std));
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_FRM.mes"), catalog(frm));
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>(false);
        m_fx->setUpFolders();
    }
    void cleanup() { m_fx.reset(); }

    void lineFormat()
    {
        writeEnglish({QStringLiteral("# a comment ^^ that is skipped"), QString(),
                      QStringLiteral("   0012 Hello^^World   "), QStringLiteral("0003 x%y%z"),
                      QStringLiteral("0004 Tab\tinside")},
                     {QStringLiteral("0021 &File")});
        QCOMPARE(GetMsg(0, 12), QStringLiteral("Hello\r\nWorld"));
        QCOMPARE(GetMsg(0, 3, QStringLiteral("AB")), QStringLiteral("xAByABz"));
        QCOMPARE(GetMsg(0, 3), QStringLiteral("xyz"));
        QCOMPARE(GetMsg(0, 4), QStringLiteral("Tab\tinside"));
        QCOMPARE(GetMsg(1, 21), QStringLiteral("&File"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    // A line break is "^^"; two make the blank line between paragraphs, which
    // the message box shows as such. Neither is lost to the trimming of the text.
    void breaksInsideAText_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("line break") << QStringLiteral("0012 One.^^Two.") << QStringLiteral("One.\r\nTwo.");
        QTest::newRow("paragraph break")
            << QStringLiteral("0012 One.^^^^Two.") << QStringLiteral("One.\r\n\r\nTwo.");
        QTest::newRow("blank between the breaks")
            << QStringLiteral("0012 One.^^ ^^Two.") << QStringLiteral("One.\r\n \r\nTwo.");
        QTest::newRow("break before the argument")
            << QStringLiteral("0012 One.^^^^%") << QStringLiteral("One.\r\n\r\nTwo.");
    }
    void breaksInsideAText()
    {
        QFETCH(QString, line);
        QFETCH(QString, text);
        writeEnglish({line});
        QCOMPARE(GetMsg(0, 12, QStringLiteral("Two.")), text);
    }

    void lineEndsOtherThanCrLf()
    {
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_STD.mes"), "0001 One\n0002 Two\n");
        m_fx->writeFile(QStringLiteral("msg/ENGLISH_FRM.mes"), "");
        QCOMPARE(GetMsg(0, 1), QStringLiteral("One"));
        QCOMPARE(GetMsg(0, 2), QStringLiteral("Two"));
    }

    void outOfRangeAndBadCategory()
    {
        writeEnglish({QStringLiteral("0001 One")});
        QCOMPARE(GetMsg(0, 301), QStringLiteral("S301=<OutOfRange>"));
        QCOMPARE(GetMsg(1, 0), QStringLiteral("F0=<OutOfRange>"));
        QCOMPARE(GetMsg(2, 5), QStringLiteral("Bad mcat=2, id=5"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void partialSecondLanguage()
    {
        writeEnglish({QStringLiteral("0007 Seven"), QStringLiteral("0008 Eight")},
                     {QStringLiteral("0021 Open")});
        gLanguage = QStringLiteral("GERMAN");
        m_fx->writeFile(QStringLiteral("msg/GERMAN_STD.mes"),
                        catalog({QStringLiteral("0008 Acht"), QStringLiteral("0007   ")}));
        m_fx->writeFile(QStringLiteral("msg/GERMAN_FRM.mes"), catalog({QStringLiteral("0021 Oeffnen")}));

        // An empty translation keeps the English base text.
        QCOMPARE(GetMsg(0, 7), QStringLiteral("S7=Seven"));
        QCOMPARE(GetMsg(0, 8), QStringLiteral("Acht"));
        QCOMPARE(GetMsg(1, 21), QStringLiteral("Oeffnen"));

        gShowMsgNumbers = true;
        QCOMPARE(GetMsg(1, 21), QStringLiteral("F21=Oeffnen"));
        QCOMPARE(GetMsg(0, 7), QStringLiteral("S7=Seven"));
    }

    void untranslatedTextsAreListed()
    {
        writeEnglish({QStringLiteral("0007 Seven"), QStringLiteral("0008 Eight")});
        gLanguage = QStringLiteral("GERMAN");
        m_fx->writeFile(QStringLiteral("msg/GERMAN_STD.mes"), catalog({QStringLiteral("0008 Acht")}));
        m_fx->writeFile(QStringLiteral("msg/GERMAN_FRM.mes"), catalog({}));

        gDebugMode = true;
        MsgSupport::ReloadAllMessages();
        const QString expected = QStringLiteral("Message S7 from FILE: ") + gMsgFolder +
                                 QStringLiteral("GERMAN_STD.mes NOT FOUND!!");
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().endsWith(expected));

        gShowMsgNumbers = true;
        MsgSupport::ReloadAllMessages();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1); // now listed in the log instead
        auto *log = dynamic_cast<MemoryProgressLog *>(&ProgressMessages());
        QVERIFY(log);
        QVERIFY(log->done());
        QVERIFY(log->text().startsWith(
            QStringLiteral("\r\nChecking to make sure all message are translated...")));
        QVERIFY(log->text().contains(QStringLiteral("\r\n") + expected));
        QVERIFY(!log->text().contains(QStringLiteral("Message S8")));
    }

    // A damaged file is the data's fault: told once, plainly, naming the file and
    // the line, in the chosen language; the texts before the bad line are used.
    void damagedFileIsTold_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("english");
        QTest::addColumn<QStringList>("translated");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QStringList>("texts"); // the texts of ids 1 and 2 afterwards
        const QString couldNotRead = QStringLiteral("The file % could not be read.\r\n");
        const auto badLine = [](int line, const char *id) {
            return QStringLiteral("Line %1 begins with \"%2\", which is no message number from 1 to 300; "
                                  "the texts from that line on are not used.")
                .arg(line)
                .arg(QLatin1String(id));
        };
        QTest::newRow("English, id out of range")
            << QStringLiteral("ENGLISH")
            << QStringList{QStringLiteral("0001 One"), QStringLiteral("0301 Too far"),
                           QStringLiteral("0002 Two")}
            << QStringList() << couldNotRead + badLine(2, "0301")
            << QStringList{QStringLiteral("One"), QString()};
        QTest::newRow("English, id not a number")
            << QStringLiteral("ENGLISH")
            << QStringList{QStringLiteral("abcd Nope"), QStringLiteral("0002 Two")} << QStringList()
            << couldNotRead + badLine(1, "abcd") << QStringList{QString(), QString()};
        QTest::newRow("language file, told in its language")
            << QStringLiteral("GERMAN")
            << QStringList{QStringLiteral("0001 One"), QStringLiteral("0002 Two"),
                           QStringLiteral("0290 The file % could not be read.")}
            << QStringList{QStringLiteral("0290 Die Datei % ist unlesbar."), QString(),
                           QStringLiteral("0001 Eins"), QStringLiteral("x002 Zwei")}
            << QStringLiteral("Die Datei % ist unlesbar.\r\n") + badLine(4, "x002")
            << QStringList{QStringLiteral("Eins"), QStringLiteral("S2=Two")};
    }
    void damagedFileIsTold()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, english);
        QFETCH(QStringList, translated);
        QFETCH(QString, told);
        QFETCH(QStringList, texts);
        writeEnglish(english);
        gLanguage = language;
        QString damaged = gMsgFolder + QStringLiteral("ENGLISH_STD.mes");
        if (language != QLatin1String("ENGLISH")) {
            damaged = gMsgFolder + language + QStringLiteral("_STD.mes");
            m_fx->writeFile(QStringLiteral("msg/") + language + QStringLiteral("_STD.mes"),
                            catalog(translated));
            m_fx->writeFile(QStringLiteral("msg/") + language + QStringLiteral("_FRM.mes"), catalog({}));
        }
        MsgSupport::ReloadAllMessages();
        // The English file is read twice and still told once.
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(), QString(told).replace(QLatin1Char('%'), damaged));
        QVERIFY(!m_fx->desk().messageBoxes().first().title.contains(QLatin1String("Unforseen")));

        // The texts the damaged file lacks are not told one by one.
        QCOMPARE(GetMsg(0, 1), texts.at(0));
        QCOMPARE(GetMsg(0, 2), texts.at(1));
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
    }

    // A text that no file gives: the English file lacks it. Told once, plainly.
    void missingTextIsTold()
    {
        writeEnglish({QStringLiteral("0001 One")});
        QCOMPARE(GetMsg(0, 2), QString());
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(), QStringLiteral("The file ") + gMsgFolder +
                                                 QStringLiteral("ENGLISH_STD.mes could not be read.\r\n"
                                                                "It has no text for message 2."));
        QCOMPARE(GetMsg(0, 3), QString());
        QCOMPARE(GetMsg(1, 3), QString());
        QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
        QVERIFY(m_fx->desk().lastMessage().contains(QLatin1String("ENGLISH_FRM.mes")));
        QCOMPARE(GetMsg(0, 1), QStringLiteral("One"));
    }

    void missingFiles()
    {
        // No catalog at all: each missing file is reported once, with texts of its own.
        QCOMPARE(GetMsg(0, 301), QStringLiteral("S301=<OutOfRange>"));
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.first().title, QStringLiteral("Fatal Verbanox Error"));
        QCOMPARE(boxes.first().text,
                 QStringLiteral("Verbanox cannot find the file '") + gMsgFolder +
                     QStringLiteral("ENGLISH_STD.mes'.\r\nPlease re-install Verbanox to fix this error."));
        QCOMPARE(boxes[1].text,
                 QStringLiteral("Verbanox cannot find the file '") + gMsgFolder +
                     QStringLiteral("ENGLISH_FRM.mes'.\r\nPlease re-install Verbanox to fix this error."));
        QCOMPARE(boxes[1].title, QStringLiteral("Verbanox - File Not Found"));
    }

    void missingLanguageFile()
    {
        writeEnglish({QStringLiteral("0111 No file %"), QStringLiteral("0112 Missing")});
        gLanguage = QStringLiteral("KLINGON");
        MsgSupport::ReloadAllMessages();
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 2);
        // An English base text that no language file replaced shows its number.
        QCOMPARE(boxes[0].text,
                 QStringLiteral("S111=No file ") + gMsgFolder + QStringLiteral("KLINGON_STD.mes"));
        QCOMPARE(boxes[0].title, QStringLiteral("S112=Missing"));
        QCOMPARE(boxes[0].style & MsgBoxStyle::IconMask, MsgBoxStyle::Critical);
        QCOMPARE(boxes[1].text,
                 QStringLiteral("S111=No file ") + gMsgFolder + QStringLiteral("KLINGON_FRM.mes"));
    }

    void reloadReplacesTexts()
    {
        writeEnglish({QStringLiteral("0001 One")});
        QCOMPARE(GetMsg(0, 1), QStringLiteral("One"));
        writeEnglish({QStringLiteral("0001 Uno")});
        QCOMPARE(GetMsg(0, 1), QStringLiteral("One"));
        MsgSupport::ReloadAllMessages();
        QCOMPARE(GetMsg(0, 1), QStringLiteral("Uno"));
    }

    void shippedCatalogsLoadCleanly()
    {
        m_fx->copyShippedData(QStringLiteral("msg"));
        for (const QString &file : {QStringLiteral("ENGLISH_STD.mes"), QStringLiteral("ENGLISH_FRM.mes")}) {
            TextReader reader = TextReader::fromFile(gMsgFolder + file);
            QSet<int> ids;
            while (!reader.atEnd()) {
                const QString line = reader.readLine().trimmed();
                if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                    continue;
                bool ok = false;
                const int id = line.left(4).toInt(&ok);
                QVERIFY2(ok && id >= 1 && id <= 300, qPrintable(file + QStringLiteral(": ") + line));
                QVERIFY2(line.size() > 5 && line[4] == QLatin1Char(' '), qPrintable(line));
                QVERIFY2(!ids.contains(id),
                         qPrintable(QStringLiteral("duplicate id %1 in %2").arg(id).arg(file)));
                ids.insert(id);
            }
        }
        MsgSupport::ReloadAllMessages();
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QCOMPARE(GetMsg(0, 99, QStringLiteral("1.0.0")),
                 QStringLiteral("Reading, comparing and searching the Bible with Verbanox 1.0.0"));
    }

    void spanishCatalogsMatchEnglish_data()
    {
        QTest::addColumn<QString>("category");
        QTest::newRow("messages") << QStringLiteral("STD");
        QTest::newRow("forms and menus") << QStringLiteral("FRM");
    }

    void spanishCatalogsMatchEnglish()
    {
        QFETCH(QString, category);
        m_fx->copyShippedData(QStringLiteral("msg"));
        const QString spanishPath =
            gMsgFolder + QStringLiteral("SPANISH_") + category + QStringLiteral(".mes");

        // Code page 1252 and CR LF throughout: a file saved as UTF-8 would still
        // load, with every accented letter garbled.
        const QByteArray bytes = TextFiles::readAll(spanishPath);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        const QString decoded = CodePage::decode(bytes, 1252);
        QVERIFY(!decoded.contains(QChar::ReplacementCharacter));
        QCOMPARE(CodePage::encode(decoded, 1252), bytes);
        QVERIFY(std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; }));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString asUtf8 = utf8.decode(bytes);
        QVERIFY2(utf8.hasError() && asUtf8.contains(QChar::ReplacementCharacter),
                 "the file is UTF-8, not code page 1252");

        QHash<int, QString> spanish;
        int previous = 0;
        for (const auto &[id, text] : catalogTexts(spanishPath)) {
            QVERIFY2(id > previous, qPrintable(QStringLiteral("id %1 out of order").arg(id)));
            previous = id;
            spanish.insert(id, text);
        }
        const auto english =
            catalogTexts(gMsgFolder + QStringLiteral("ENGLISH_") + category + QStringLiteral(".mes"));
        QVERIFY(!english.isEmpty());
        // A Spanish text without an English one is never asked for: its id is wrong.
        QSet<int> englishIds;
        for (const auto &entry : english)
            englishIds.insert(entry.first);
        for (const int id : spanish.keys())
            QVERIFY2(englishIds.contains(id),
                     qPrintable(QStringLiteral("%1 %2: no English text").arg(category).arg(id)));
        for (const auto &[id, text] : english) {
            const QString where = QStringLiteral("%1 %2: ").arg(category).arg(id, 4, 10, QLatin1Char('0'));
            QVERIFY2(!spanish.value(id).trimmed().isEmpty(),
                     qPrintable(where + QStringLiteral("no Spanish text")));
            QVERIFY2(spanish.value(id).count(QLatin1Char('%')) == text.count(QLatin1Char('%')),
                     qPrintable(where + spanish.value(id)));
        }
    }

    void spanishInterfaceHasNoUntranslatedText()
    {
        m_fx->copyShippedData(QStringLiteral("msg"));
        gLanguage = QStringLiteral("SPANISH");
        gDebugMode = true; // an untranslated text is reported in a message box
        MsgSupport::ReloadAllMessages();
        QVERIFY2(m_fx->desk().messageBoxes().isEmpty(), qPrintable(m_fx->desk().lastMessage()));
        QCOMPARE(GetMsg(0, 99, QStringLiteral("1.0.0")),
                 QStringLiteral("Leer, comparar y buscar en la Biblia con Verbanox 1.0.0"));
    }

    // The texts of the study windows and of the module reader exist in Spanish too,
    // not as English texts left in a Spanish interface.
    void spanishHasTheStudyAndModuleTexts_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("id");
        for (const int id : {1, 2, 3, 250, 251})
            QTest::addRow("standard %d", id) << 0 << id;
        for (const int id : {1, 2, 20, 25})
            QTest::addRow("form %d", id) << 1 << id;
    }
    void spanishHasTheStudyAndModuleTexts()
    {
        QFETCH(int, category);
        QFETCH(int, id);
        m_fx->copyShippedData(QStringLiteral("msg"));
        MsgSupport::ReloadAllMessages();
        const QString english = GetMsg(category, id, QStringLiteral("X"));
        gLanguage = QStringLiteral("SPANISH");
        MsgSupport::ReloadAllMessages();
        const QString spanish = GetMsg(category, id, QStringLiteral("X"));
        QVERIFY(!spanish.isEmpty());
        // An untranslated text would show as the English one behind its number.
        QVERIFY2(!spanish.contains(english), qPrintable(spanish));
    }
};

QTEST_GUILESS_MAIN(TestMsgSupport)
#include "tst_msgsupport.moc"
