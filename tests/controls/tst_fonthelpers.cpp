#include "controls/FontHelpers_.h"
#include "platform/RuntimeError.h"

#include "common/TestFixture.h"
#include <QFontDatabase>
#include <QtEndian>

#include <QtTest>
#include <map>
#include <optional>

namespace {

// A minimal TrueType font: one square glyph for every character of a few ranges,
// a family name, and an OS/2 table naming the given code pages (or no OS/2 table),
// so that tests know exactly which character sets the face reports.
class FontBuilder
{
public:
    static QByteArray build(const QString &family, std::optional<quint32> codePages)
    {
        std::map<QByteArray, QByteArray> tables{
            {"cmap", cmap()}, {"glyf", glyf()}, {"head", head()},       {"hhea", hhea()}, {"hmtx", hmtx()},
            {"loca", loca()}, {"maxp", maxp()}, {"name", name(family)}, {"post", post()},
        };
        if (codePages)
            tables["OS/2"] = os2(*codePages);
        return assemble(tables);
    }

private:
    static constexpr quint16 GlyphCount = 2;
    // Basic Latin, Latin-1, Latin Extended-A, Greek and Coptic, Cyrillic.
    static inline const QList<std::pair<quint16, quint16>> Ranges{
        {0x20, 0x7E}, {0xA0, 0x17F}, {0x370, 0x3FF}, {0x400, 0x4FF}};

    static void u16(QByteArray &out, quint16 v) { out.append(char(v >> 8)).append(char(v & 0xFF)); }
    static void u32(QByteArray &out, quint32 v)
    {
        u16(out, quint16(v >> 16));
        u16(out, quint16(v & 0xFFFF));
    }
    static void zeros(QByteArray &out, int n) { out.append(QByteArray(n, '\0')); }

    static QByteArray head()
    {
        QByteArray t;
        u32(t, 0x00010000);
        u32(t, 0x00010000);
        u32(t, 0);          // checksum adjustment
        u32(t, 0x5F0F3CF5); // magic
        u16(t, 0x000B);
        u16(t, 1000); // units per em
        zeros(t, 16); // created, modified
        u16(t, 0);    // xMin
        u16(t, 0);    // yMin
        u16(t, 500);  // xMax
        u16(t, 700);  // yMax
        u16(t, 0);    // mac style
        u16(t, 8);    // lowest readable size
        u16(t, 2);    // direction hint
        u16(t, 0);    // short loca
        u16(t, 0);    // glyph data format
        return t;
    }

    static QByteArray hhea()
    {
        QByteArray t;
        u32(t, 0x00010000);
        u16(t, 800);
        u16(t, quint16(-200));
        u16(t, 0);
        u16(t, 500); // advance width max
        zeros(t, 6);
        u16(t, 500); // x max extent
        u16(t, 1);   // caret slope rise
        zeros(t, 14);
        u16(t, GlyphCount);
        return t;
    }

    static QByteArray maxp()
    {
        QByteArray t;
        u32(t, 0x00010000);
        u16(t, GlyphCount);
        u16(t, 4); // points
        u16(t, 1); // contours
        zeros(t, 4);
        u16(t, 2); // zones
        zeros(t, 18);
        return t;
    }

    static QByteArray hmtx()
    {
        QByteArray t;
        for (int i = 0; i < GlyphCount; ++i) {
            u16(t, 500);
            u16(t, 0);
        }
        return t;
    }

    // Glyph 0 is empty, glyph 1 a square.
    static QByteArray glyf()
    {
        QByteArray t;
        u16(t, 1);
        for (quint16 v : {50, 0, 450, 700})
            u16(t, v);
        u16(t, 3); // last point of the contour
        u16(t, 0); // no instructions
        t.append(QByteArray(4, '\x01'));
        for (qint16 dx : {50, 400, 0, -400})
            u16(t, quint16(dx));
        for (qint16 dy : {0, 0, 700, 0})
            u16(t, quint16(dy));
        return t;
    }

    static QByteArray loca()
    {
        QByteArray t;
        u16(t, 0);
        u16(t, 0);
        u16(t, quint16(glyf().size() / 2));
        return t;
    }

    // Format 4, every character of the ranges on glyph 1.
    static QByteArray cmap()
    {
        const int segments = int(Ranges.size()) + 1;
        QByteArray sub;
        int glyphIds = 0;
        QByteArray ends, starts, deltas, offsets, ids;
        for (int i = 0; i < segments - 1; ++i) {
            const auto [first, last] = Ranges[i];
            u16(ends, last);
            u16(starts, first);
            u16(deltas, 0);
            u16(offsets, quint16(2 * (segments - i) + 2 * glyphIds));
            for (int c = first; c <= last; ++c, ++glyphIds)
                u16(ids, 1);
        }
        u16(ends, 0xFFFF);
        u16(starts, 0xFFFF);
        u16(deltas, 1);
        u16(offsets, 0);
        int power = 1, log = 0;
        while (power * 2 <= segments) {
            power *= 2;
            ++log;
        }
        u16(sub, 4);
        u16(sub, quint16(16 + 8 * segments + ids.size()));
        u16(sub, 0);
        u16(sub, quint16(2 * segments));
        u16(sub, quint16(2 * power));
        u16(sub, quint16(log));
        u16(sub, quint16(2 * segments - 2 * power));
        sub += ends;
        u16(sub, 0);
        sub += starts + deltas + offsets + ids;

        QByteArray t;
        u16(t, 0);
        u16(t, 1);
        u16(t, 3); // Windows
        u16(t, 1); // Unicode BMP
        u32(t, 12);
        return t + sub;
    }

    static QByteArray name(const QString &family)
    {
        const QList<std::pair<quint16, QString>> names{{1, family},
                                                       {2, QStringLiteral("Regular")},
                                                       {4, family},
                                                       {6, QString(family).remove(QLatin1Char(' '))}};
        QByteArray records, strings;
        for (const auto &[id, text] : names) {
            QByteArray utf16;
            for (QChar c : text)
                u16(utf16, c.unicode());
            u16(records, 3);
            u16(records, 1);
            u16(records, 0x0409);
            u16(records, id);
            u16(records, quint16(utf16.size()));
            u16(records, quint16(strings.size()));
            strings += utf16;
        }
        QByteArray t;
        u16(t, 0);
        u16(t, quint16(names.size()));
        u16(t, quint16(6 + records.size()));
        return t + records + strings;
    }

    static QByteArray post()
    {
        QByteArray t;
        u32(t, 0x00030000);
        zeros(t, 28);
        return t;
    }

    // Version 1: the first version with the code-page ranges.
    static QByteArray os2(quint32 codePages)
    {
        QByteArray t;
        u16(t, 1);
        u16(t, 500);
        u16(t, 400); // weight
        u16(t, 5);   // width
        zeros(t, 2 + 20 + 2 + 10 + 16);
        t.append("NONE");
        u16(t, 0x40); // regular
        u16(t, 0x20);
        u16(t, 0x4FF);
        u16(t, 800);
        u16(t, quint16(-200));
        u16(t, 0);
        u16(t, 800);
        u16(t, 200);
        u32(t, codePages);
        u32(t, 0);
        return t;
    }

    static quint32 checksum(const QByteArray &data)
    {
        QByteArray padded = data;
        padded.append(QByteArray((4 - padded.size() % 4) % 4, '\0'));
        quint32 sum = 0;
        for (qsizetype i = 0; i < padded.size(); i += 4)
            sum += qFromBigEndian<quint32>(padded.constData() + i);
        return sum;
    }

    static QByteArray assemble(const std::map<QByteArray, QByteArray> &tables)
    {
        const auto count = quint16(tables.size());
        quint16 power = 1, log = 0;
        while (power * 2 <= count) {
            power *= 2;
            ++log;
        }
        QByteArray font;
        u32(font, 0x00010000);
        u16(font, count);
        u16(font, quint16(16 * power));
        u16(font, log);
        u16(font, quint16(16 * count - 16 * power));
        quint32 offset = 12 + 16 * count;
        QByteArray body;
        for (const auto &[tag, data] : tables) {
            font.append(tag);
            u32(font, checksum(data));
            u32(font, offset + quint32(body.size()));
            u32(font, quint32(data.size()));
            body += data;
            body.append(QByteArray((4 - body.size() % 4) % 4, '\0'));
        }
        return font + body;
    }
};

const QString FaceA = QStringLiteral("Vx Test Quadrata");
const QString FaceB = QStringLiteral("Vx Test Uncialis");
const QString FaceNoOs2 = QStringLiteral("Vx Test Rustica");

QStringList fontKeys()
{
    QStringList keys;
    for (qint32 i = 0; i < FontHelpers_::FontKeys.Count(); ++i)
        keys << FontHelpers_::FontKeys.Item(i).toString();
    return keys;
}

QStringList keysOf(const QString &face)
{
    QStringList keys;
    for (const QString &key : fontKeys())
        if (key.startsWith(face + QStringLiteral("~CharSet")))
            keys << key;
    return keys;
}

QStringList keys(const QString &face, const QList<int> &charSets)
{
    QStringList result;
    for (int charSet : charSets)
        result << face + QStringLiteral("~CharSet") + QString::number(charSet);
    return result;
}

} // namespace

class TestFontHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Western, Central European, CHINESE_GB2312, Symbol, and the Macintosh
        // code page, which names no character set.
        const quint32 codePagesA = (1u << 0) | (1u << 1) | (1u << 18) | (1u << 29) | (1u << 31);
        // Cyrillic, Western.
        const quint32 codePagesB = (1u << 2) | (1u << 0);
        for (const auto &[face, codePages] : {std::pair{FaceA, std::optional<quint32>(codePagesA)},
                                              std::pair{FaceB, std::optional<quint32>(codePagesB)},
                                              std::pair{FaceNoOs2, std::optional<quint32>()}}) {
            const int id = QFontDatabase::addApplicationFontFromData(FontBuilder::build(face, codePages));
            QVERIFY2(id >= 0, qPrintable(face));
            QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{face});
        }
    }

    void allFacesAllCharacterSets()
    {
        FontHelpers_::EnumerateFonts(QString(), FontHelpers_::DEFAULT_CHARSET);
        // In code-page order; the OS/2 table wins over the characters the face has.
        QCOMPARE(keysOf(FaceA), keys(FaceA, {0, 238, 134, 2}));
        QCOMPARE(keysOf(FaceB), keys(FaceB, {0, 204}));
        QCOMPARE(fontKeys().removeDuplicates(), 0);

        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(238).toString(), QStringLiteral("Central European"));
        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(134).toString(), QStringLiteral("CHINESE_GB2312"));
        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(2).toString(), QStringLiteral("Symbol"));
        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(204).toString(), QStringLiteral("Cyrillic"));
        QCOMPARE(FontHelpers_::CharSetsByName.FindByKey(QStringLiteral("Western")).toInt(), 0);
        QCOMPARE(FontHelpers_::CharSetsByName.FindByKey(QStringLiteral("Cyrillic")).toInt(), 204);
        QCOMPARE(FontHelpers_::CharSetNames.Count(), FontHelpers_::CharSetsByName.Count());
        for (qint32 i = 0; i < FontHelpers_::CharSetNames.Count(); ++i) {
            const QVariant charSet = FontHelpers_::CharSetNames.FindKeyByIndex(i);
            for (qint32 j = 0; j < i; ++j)
                QVERIFY(FontHelpers_::CharSetNames.FindKeyByIndex(j) != charSet);
        }
    }

    void faceWithoutCodePagesUsesItsWritingSystems()
    {
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(FaceNoOs2);
        QVERIFY(systems.contains(QFontDatabase::Latin));
        QVERIFY(systems.contains(QFontDatabase::Greek));
        QVERIFY(systems.contains(QFontDatabase::Cyrillic));
        FontHelpers_::EnumerateFonts(FaceNoOs2, FontHelpers_::DEFAULT_CHARSET);
        QCOMPARE(fontKeys(), keys(FaceNoOs2, {0, 204, 161}));
        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(161).toString(), QStringLiteral("Greek"));
    }

    void faceFilter_data()
    {
        QTest::addColumn<QString>("faceName");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("exact") << FaceA << keys(FaceA, {0, 238, 134, 2});
        QTest::newRow("other case") << FaceB.toUpper() << keys(FaceB, {0, 204});
        QTest::newRow("part of a name") << QStringLiteral("Vx Test") << QStringList();
        QTest::newRow("not installed") << QStringLiteral("No Such Face Here") << QStringList();
    }

    void faceFilter()
    {
        QFETCH(QString, faceName);
        QFETCH(QStringList, expected);
        FontHelpers_::EnumerateFonts(faceName, FontHelpers_::DEFAULT_CHARSET);
        QCOMPARE(fontKeys(), expected);
        // The font chooser gives the character set first.
        FontHelpers_::EnumerateFonts(FontHelpers_::DEFAULT_CHARSET, faceName);
        QCOMPARE(fontKeys(), expected);
    }

    void charSetFilter_data()
    {
        QTest::addColumn<int>("charSet");
        QTest::addColumn<QStringList>("expectedA");
        QTest::addColumn<QStringList>("expectedB");
        QTest::newRow("Western") << 0 << keys(FaceA, {0}) << keys(FaceB, {0});
        QTest::newRow("Central European") << 238 << keys(FaceA, {238}) << QStringList();
        QTest::newRow("Cyrillic") << 204 << QStringList() << keys(FaceB, {204});
        QTest::newRow("Symbol") << 2 << keys(FaceA, {2}) << QStringList();
        QTest::newRow("Hebrew") << 177 << QStringList() << QStringList();
    }

    void charSetFilter()
    {
        QFETCH(int, charSet);
        QFETCH(QStringList, expectedA);
        QFETCH(QStringList, expectedB);
        FontHelpers_::EnumerateFonts(QString(), charSet);
        QCOMPARE(keysOf(FaceA), expectedA);
        QCOMPARE(keysOf(FaceB), expectedB);
        const QString suffix = QStringLiteral("~CharSet") + QString::number(charSet);
        for (const QString &key : fontKeys())
            QVERIFY2(key.endsWith(suffix), qPrintable(key));
        for (qint32 i = 0; i < FontHelpers_::CharSetNames.Count(); ++i)
            QCOMPARE(FontHelpers_::CharSetNames.FindKeyByIndex(i).toInt(), charSet);
    }

    void secondEnumerationReplacesTheFirst()
    {
        FontHelpers_::EnumerateFonts(FaceA, FontHelpers_::DEFAULT_CHARSET);
        QCOMPARE(fontKeys(), keys(FaceA, {0, 238, 134, 2}));
        FontHelpers_::EnumerateFonts(FaceB, FontHelpers_::DEFAULT_CHARSET);
        QCOMPARE(fontKeys(), keys(FaceB, {0, 204}));
        QCOMPARE(FontHelpers_::CharSetNames.Count(), 2);
        QVERIFY(!FontHelpers_::CharSetNames.Contains(238));
        QCOMPARE(FontHelpers_::CharSetsByName.Count(), 2);
        QVERIFY(!FontHelpers_::CharSetsByName.Contains(QStringLiteral("Symbol")));
    }

    void faceNameLength_data()
    {
        QTest::addColumn<QString>("faceName");
        QTest::addColumn<int>("error");
        QTest::newRow("32 bytes") << QString(32, QLatin1Char('x')) << 0;
        QTest::newRow("33 bytes") << QString(33, QLatin1Char('x')) << int(RtErr::SubscriptOutOfRange);
        // One byte each in the ANSI code page, three in UTF-8.
        QTest::newRow("32 euro signs") << QString(32, QChar(0x20AC)) << 0;
        // Outside the ANSI code page: one "?" each.
        QTest::newRow("33 Hebrew letters") << QString(33, QChar(0x05D0)) << int(RtErr::SubscriptOutOfRange);
    }

    void faceNameLength()
    {
        QFETCH(QString, faceName);
        QFETCH(int, error);
        FontHelpers_::EnumerateFonts(QString(), FontHelpers_::DEFAULT_CHARSET);
        QVERIFY(FontHelpers_::FontKeys.Count() > 0);
        QCOMPARE(
            raisedErrorNumber([&] { FontHelpers_::EnumerateFonts(faceName, FontHelpers_::DEFAULT_CHARSET); }),
            error);
        // The collections are new either way; no face has such a name.
        QCOMPARE(FontHelpers_::FontKeys.Count(), 0);
        QCOMPARE(FontHelpers_::CharSetNames.Count(), 0);
        QCOMPARE(FontHelpers_::CharSetsByName.Count(), 0);
    }

    void charSetOutsideAByte()
    {
        QCOMPARE(raisedErrorNumber([] { FontHelpers_::EnumerateFonts(QString(), 256); }),
                 int(RtErr::Overflow));
        QCOMPARE(raisedErrorNumber([] { FontHelpers_::EnumerateFonts(QString(), -1); }),
                 int(RtErr::Overflow));
        QCOMPARE(raisedErrorNumber([] { FontHelpers_::EnumerateFonts(QString(), 255); }), 0);
    }

    void callbackKeepsFirstScriptName()
    {
        FontHelpers_::EnumerateFonts(QStringLiteral("No Such Face Here"), FontHelpers_::DEFAULT_CHARSET);
        FontHelpers_::EnumFontsCallback(QStringLiteral("One"), 238, QStringLiteral("Central European"));
        FontHelpers_::EnumFontsCallback(QStringLiteral("Two"), 238, QStringLiteral("East European"));
        FontHelpers_::EnumFontsCallback(QStringLiteral("Three"), 170, QStringLiteral("Central European"));
        FontHelpers_::EnumFontsCallback(QStringLiteral("Four"), FontHelpers_::DEFAULT_CHARSET, QString());
        QCOMPARE(fontKeys(),
                 (QStringList{"One~CharSet238", "Two~CharSet238", "Three~CharSet170", "Four~CharSet1"}));
        QCOMPARE(FontHelpers_::CharSetNames.Count(), 2);
        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(238).toString(), QStringLiteral("Central European"));
        QCOMPARE(FontHelpers_::CharSetNames.FindByKey(170).toString(), QStringLiteral("Central European"));
        QCOMPARE(FontHelpers_::CharSetsByName.Count(), 2);
        QCOMPARE(FontHelpers_::CharSetsByName.FindByKey(QStringLiteral("Central European")).toInt(), 238);
        QCOMPARE(FontHelpers_::CharSetsByName.FindByKey(QStringLiteral("East European")).toInt(), 238);
    }
};

QTEST_MAIN(TestFontHelpers)
#include "tst_fonthelpers.moc"
