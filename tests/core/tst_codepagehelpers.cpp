#include "common/TestFixture.h"
#include "core/BinaryStream_.h"
#include "core/ByteBuffer_.h"
#include "core/WinApi_New_.h"
#include "platform/OleColor.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>
#include <cstring>

namespace {
ByteBuffer_ bufferOf(const QByteArray &bytes)
{
    ByteBuffer_ buffer;
    if (!bytes.isEmpty())
        std::memcpy(buffer.AppendToBuffer_VarPtr(qint32(bytes.size())), bytes.constData(),
                    size_t(bytes.size()));
    return buffer;
}
} // namespace

class TestCodePageHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesToUnicode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("expected");

        // The same byte is a different letter in each single-byte code page.
        QTest::newRow("1250") << QByteArray("\xC8\x8A\xB9 ok") << 1250
                              << QStringLiteral("\u010C\u0160\u0105 ok");
        QTest::newRow("1251") << QByteArray("\xC8\xCC\xFF") << 1251 << QStringLiteral("\u0418\u041C\u044F");
        QTest::newRow("1252") << QByteArray("\xC8\x80\xE9") << 1252 << QStringLiteral("\u00C8\u20AC\u00E9");
        QTest::newRow("0 is the ANSI code page") << QByteArray("\x80") << 0 << QStringLiteral("\u20AC");
        QTest::newRow("65001") << QByteArray("\xC3\xA9\xE2\x82\xAC \xD0\x98\xF0\x9F\x98\x80") << 65001
                               << QStringLiteral("\u00E9\u20AC \u0418") + QString::fromUcs4(U"\U0001F600");
        QTest::newRow("a verse line keeps Tabs and CR LF")
            << QByteArray("1\t1\t1\t1\tIn principio\r\n") << 1252
            << QStringLiteral("1\t1\t1\t1\tIn principio\r\n");
        QTest::newRow("cut at the first NUL")
            << QByteArray("abc\0def\0g", 9) << 1252 << QStringLiteral("abc");
        QTest::newRow("cut at the first NUL, UTF-8")
            << QByteArray("\xC3\xA9\0\xC3\xA9", 5) << 65001 << QStringLiteral("\u00E9");
        QTest::newRow("NUL first") << QByteArray("\0abc", 4) << 1251 << QString();
        QTest::newRow("empty") << QByteArray() << 1252 << QString();
    }

    void bytesToUnicode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QFETCH(QString, expected);
        const QString text = WinApi_New_::BytesToUnicode(bufferOf(bytes), codePage);
        QCOMPARE(text, expected);
        QCOMPARE(text.contains(QChar(0)), false);
    }

    void shortAfterLongLeavesNoRemains()
    {
        const QString longText = WinApi_New_::BytesToUnicode(bufferOf(QByteArray(5000, 'L')), 1252);
        QCOMPARE(longText.size(), 5000);
        QCOMPARE(WinApi_New_::BytesToUnicode(bufferOf("ab"), 1252), QStringLiteral("ab"));
        QCOMPARE(WinApi_New_::BytesToUnicode(bufferOf(QByteArray("\xD0\x98", 2)), 65001),
                 QStringLiteral("\u0418"));
    }

    // Only the used bytes count, from the first one, wherever the read index is.
    void onlyTheUsedBytesFromTheStart()
    {
        ByteBuffer_ buffer = bufferOf("a long line of text");
        buffer.ClearBuffer(0);
        std::memcpy(buffer.AppendToBuffer_VarPtr(5), "short", 5);
        buffer.NextByte();
        buffer.NextByte();
        QCOMPARE(WinApi_New_::BytesToUnicode(buffer, 1252), QStringLiteral("short"));

        ByteBuffer_ neverFilled;
        neverFilled.EnsureSize(100, false);
        QCOMPARE(WinApi_New_::BytesToUnicode(neverFilled, 65001), QString());
    }

    void decodesALineReadFromAFile()
    {
        TestFixture fx(false);
        fx.writeFile(QStringLiteral("cp1251.txt"), QByteArray("1\t\xC1\xE8\xE1\xEB\xE8\xFF\r\n2\r\n"));
        BinaryStream_ stream;
        stream.OpenStream(fx.path(QStringLiteral("cp1251.txt")));
        QCOMPARE(WinApi_New_::BytesToUnicode(stream.ReadLine(), 1251),
                 QStringLiteral("1\t\u0411\u0438\u0431\u043B\u0438\u044F\r\n"));
        QCOMPARE(WinApi_New_::BytesToUnicode(stream.ReadLine(), 1251), QStringLiteral("2\r\n"));
        QCOMPARE(WinApi_New_::BytesToUnicode(stream.ReadLine(), 1251), QString());
    }

    void registerClipboardFormat()
    {
        const quint16 rtf = WinApi_New_::RegisterClipboardFormat(QStringLiteral("Rich Text Format"));
        QVERIFY(rtf >= 0xC000);
        QCOMPARE(WinApi_New_::RegisterClipboardFormat(QStringLiteral("Rich Text Format")), rtf);
        QCOMPARE(WinApi_New_::RegisterClipboardFormat(QStringLiteral("RICH TEXT FORMAT")), rtf);
        QCOMPARE(WinApi_New_::RegisterClipboardFormat(QStringLiteral("rich text format")), rtf);

        const quint16 other = WinApi_New_::RegisterClipboardFormat(QStringLiteral("Verbanox Verse List"));
        QVERIFY(other >= 0xC000);
        QVERIFY(other != rtf);
        QCOMPARE(WinApi_New_::RegisterClipboardFormat(QStringLiteral("Verbanox Verse List")), other);

        QCOMPARE(WinApi_New_::RegisterClipboardFormat(QString()), quint16(0));
        QCOMPARE(WinApi_New_::RegisterClipboardFormat(QString(256, QLatin1Char('n'))), quint16(0));
        QVERIFY(WinApi_New_::RegisterClipboardFormat(QString(255, QLatin1Char('n'))) >= 0xC000);
    }

    void translateColor_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("plain RGB") << quint32(0x00336699) << quint32(0x00336699);
        QTest::newRow("black") << quint32(0) << quint32(0);
        QTest::newRow("white") << quint32(0x00FFFFFF) << quint32(0x00FFFFFF);
        QTest::newRow("window background")
            << OleColor::Sys::Window
            << OleColor::fromQColor(QGuiApplication::palette().color(QPalette::Base));
        QTest::newRow("button text") << OleColor::Sys::ButtonText
                                     << OleColor::fromQColor(QGuiApplication::palette().color(
                                            QPalette::Active, QPalette::ButtonText));
        QTest::newRow("unknown system colour") << quint32(0x800000FF) << quint32(0);
        QTest::newRow("stray high bits") << quint32(0x01336699) << quint32(0);
    }

    void translateColor()
    {
        QFETCH(quint32, colour);
        QFETCH(quint32, expected);
        QCOMPARE(WinApi_New_::TranslateColor(colour), expected);
    }
};

QTEST_MAIN(TestCodePageHelpers)
#include "tst_codepagehelpers.moc"
