#include "platform/CodePage.h"
#include "platform/Seams.h"

#include <QtTest>

class tst_CodePage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void knownCodePages();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void everyByteRoundTrips_data();
    void everyByteRoundTrips();
    void missingCharactersBecomeQuestionMarks_data();
    void missingCharactersBecomeQuestionMarks();
    void canEncode_data();
    void canEncode();
    void unknownCodePageReadsAs1252AndReportsOnce();
    void emptyInput();
};

void tst_CodePage::cleanup()
{
    Seams::ResetAll();
}

void tst_CodePage::knownCodePages()
{
    for (int cp : {0, 1250, 1251, 1252, 1253, 65001, 28591})
        QVERIFY2(CodePage::isKnown(cp), qPrintable(QString::number(cp)));
    QCOMPARE(CodePage::encodingName(0), QByteArray("windows-1252"));
    QCOMPARE(CodePage::encodingName(65001), QByteArray("UTF-8"));
    for (int cp : {-1, 1, 1249, 1259, 99999})
        QVERIFY2(!CodePage::isKnown(cp), qPrintable(QString::number(cp)));
}

void tst_CodePage::decode_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("1252 accents") << 1252 << QByteArray("Jes\xFAs caf\xE9") << QStringLiteral("Jesús café");
    QTest::newRow("1252 upper half") << 1252 << QByteArray("\x80\x85\x93\x94\x96\x97\x99")
                                     << QStringLiteral("€…“”–—™");
    QTest::newRow("0 is 1252") << 0 << QByteArray("\x80\xE9\x9C") << QStringLiteral("€éœ");
    QTest::newRow("1250") << 1250 << QByteArray("\x8A\x9A\xE8\xF8\xB9") << QStringLiteral("Šščřą");
    QTest::newRow("1251") << 1251
                          << QByteArray("\xC2 \xED\xE0\xF7\xE0\xEB\xE5 \xE1\xFB\xEB\xEE \xD1\xEB\xEE\xE2\xEE")
                          << QStringLiteral("В начале было Слово");
    QTest::newRow("65001") << 65001 << QByteArray("\xE1\xBC\x98\xCE\xBD \xE2\x82\xAC \xF0\x9F\x93\x96")
                           << QStringLiteral("Ἐν € \U0001F4D6");
    QTest::newRow("ASCII the same everywhere")
        << 1251 << QByteArray("Gen 1:1, \"x\"") << QStringLiteral("Gen 1:1, \"x\"");
    QTest::newRow("NUL kept") << 1252 << QByteArray("a\0b", 3)
                              << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
}

void tst_CodePage::decode()
{
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CodePage::decode(bytes, codePage), text);
    QCOMPARE(CodePage::decode(bytes.constData(), bytes.size(), codePage), text);
}

void tst_CodePage::encode_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("1252") << 1252 << QStringLiteral("Jesús €…") << QByteArray("Jes\xFAs \x80\x85");
    QTest::newRow("0 is 1252") << 0 << QStringLiteral("œ™") << QByteArray("\x9C\x99");
    QTest::newRow("1250") << 1250 << QStringLiteral("Ššč") << QByteArray("\x8A\x9A\xE8");
    QTest::newRow("1251") << 1251 << QStringLiteral("Слово") << QByteArray("\xD1\xEB\xEE\xE2\xEE");
    QTest::newRow("65001") << 65001 << QStringLiteral("Ἐν \U0001F4D6")
                           << QByteArray("\xE1\xBC\x98\xCE\xBD \xF0\x9F\x93\x96");
}

void tst_CodePage::encode()
{
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CodePage::encode(text, codePage), bytes);
    QCOMPARE(CodePage::decode(bytes, codePage), text);
}

void tst_CodePage::everyByteRoundTrips_data()
{
    QTest::addColumn<int>("codePage");
    QTest::newRow("1250") << 1250;
    QTest::newRow("1251") << 1251;
    QTest::newRow("1252") << 1252;
}

void tst_CodePage::everyByteRoundTrips()
{
    // Module files are read, changed and written again: no byte may be lost, the
    // code points a code page leaves undefined included.
    QFETCH(int, codePage);
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes += char(b);
    const QString text = CodePage::decode(bytes, codePage);
    QCOMPARE(text.size(), bytes.size());
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(CodePage::encode(text, codePage), bytes);
    QVERIFY(CodePage::canEncode(text, codePage));
}

void tst_CodePage::missingCharactersBecomeQuestionMarks_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Cyrillic in 1252") << 1252 << QStringLiteral("aЖb") << QByteArray("a?b");
    QTest::newRow("each one a ?") << 1252 << QStringLiteral("ЖЖЖ x ЖЖ") << QByteArray("??? x ??");
    QTest::newRow("Greek in 1250") << 1250 << QStringLiteral("Šλ") << QByteArray("\x8A?");
    QTest::newRow("Latin in 1251") << 1251 << QStringLiteral("Жé€") << QByteArray("\xC6?\x88");
    QTest::newRow("CJK in 1252") << 1252 << QStringLiteral("神 is God") << QByteArray("? is God");
    QTest::newRow("at both ends") << 1252 << QStringLiteral("ЖéЖ") << QByteArray("?\xE9?");
}

void tst_CodePage::missingCharactersBecomeQuestionMarks()
{
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CodePage::encode(text, codePage), bytes);
}

void tst_CodePage::canEncode_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("result");

    QTest::newRow("ASCII in 1252") << 1252 << QStringLiteral("Arial") << true;
    QTest::newRow("accents in 1252") << 1252 << QStringLiteral("Géorgie €") << true;
    QTest::newRow("Cyrillic in 1252") << 1252 << QStringLiteral("Жизнь") << false;
    QTest::newRow("one letter off") << 0 << QStringLiteral("Times Ж") << false;
    QTest::newRow("Cyrillic in 1251") << 1251 << QStringLiteral("Жизнь") << true;
    QTest::newRow("anything in 65001") << 65001 << QStringLiteral("神 Ж \U0001F4D6") << true;
    QTest::newRow("empty") << 1252 << QString() << true;
}

void tst_CodePage::canEncode()
{
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QFETCH(bool, result);
    QCOMPARE(CodePage::canEncode(text, codePage), result);
}

void tst_CodePage::unknownCodePageReadsAs1252AndReportsOnce()
{
    QStringList reports;
    CodePage::setUnknownCodePageHandler([&](const QString &message) { reports.append(message); });

    QCOMPARE(CodePage::decode(QByteArray("caf\xE9 \x80"), 4711), QStringLiteral("café €"));
    QCOMPARE(CodePage::decode(QByteArray("\xE9"), 4711), QStringLiteral("é"));
    QCOMPARE(CodePage::encode(QStringLiteral("é"), 4711), QByteArray("\xE9"));
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains(QLatin1String("4711")), qPrintable(reports.first()));

    // Another unknown code page is reported on its own; known ones never are.
    QCOMPARE(CodePage::encode(QStringLiteral("é"), 4712), QByteArray("\xE9"));
    CodePage::decode(QByteArray("x"), 1251);
    CodePage::decode(QByteArray("x"), 0);
    CodePage::decode(QByteArray("x"), 65001);
    QCOMPARE(reports.size(), 2);
    QVERIFY2(reports.last().contains(QLatin1String("4712")), qPrintable(reports.last()));
}

void tst_CodePage::emptyInput()
{
    QVERIFY(CodePage::decode(QByteArray(), 1252).isEmpty());
    QVERIFY(CodePage::decode(nullptr, 0, 65001).isEmpty());
    QVERIFY(CodePage::encode(QString(), 1251).isEmpty());
}

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_codepage.moc"
