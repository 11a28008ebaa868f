#include "controls/FontHelpers_.h"

#include "platform/CodePage.h"
#include "platform/RuntimeError.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>
#include <QtEndian>
#include <optional>

namespace {

struct CharSetInfo
{
    int codePageBit;
    int charSet;
    const char *scriptName;
    // The writing system that stands for it when a face names no code pages.
    std::optional<QFontDatabase::WritingSystem> writingSystem;
};

// In code-page bit order, which is also the order the sets of a face are listed in.
const CharSetInfo charSetTable[] = {
    {0, 0, "Western", QFontDatabase::Latin},
    {1, 238, "Central European", std::nullopt},
    {2, 204, "Cyrillic", QFontDatabase::Cyrillic},
    {3, 161, "Greek", QFontDatabase::Greek},
    {4, 162, "Turkish", std::nullopt},
    {5, 177, "Hebrew", QFontDatabase::Hebrew},
    {6, 178, "Arabic", QFontDatabase::Arabic},
    {7, 186, "Baltic", std::nullopt},
    {8, 163, "Vietnamese", QFontDatabase::Vietnamese},
    {16, 222, "Thai", QFontDatabase::Thai},
    {17, 128, "Japanese", QFontDatabase::Japanese},
    {18, 134, "CHINESE_GB2312", QFontDatabase::SimplifiedChinese},
    {19, 129, "Hangul", QFontDatabase::Korean},
    {20, 136, "CHINESE_BIG5", QFontDatabase::TraditionalChinese},
    {21, 130, "Johab", std::nullopt},
    {31, 2, "Symbol", QFontDatabase::Symbol},
};

constexpr qsizetype MaxFaceNameBytes = 32;

// ulCodePageRange1 of the face's OS/2 table; nothing when the face has no table,
// a version 0 table (which ends before the field) or no code page set in it.
std::optional<quint32> codePageRange(const QString &family)
{
    const QRawFont raw = QRawFont::fromFont(QFont(family));
    if (!raw.isValid())
        return std::nullopt;
    const QByteArray os2 = raw.fontTable("OS/2");
    constexpr qsizetype rangeOffset = 78;
    if (os2.size() < rangeOffset + 4 || qFromBigEndian<quint16>(os2.constData()) < 1)
        return std::nullopt;
    const quint32 range = qFromBigEndian<quint32>(os2.constData() + rangeOffset);
    return range ? std::optional<quint32>(range) : std::nullopt;
}

FontHelpers_::FaceCharSet toFaceCharSet(const CharSetInfo &info)
{
    return {info.charSet, QString::fromLatin1(info.scriptName)};
}

void checkArguments(const QString &faceName, int charSet)
{
    const QString source = QStringLiteral("Verbanox.FontHelpers_");
    if (CodePage::encode(faceName, CodePage::SystemAnsi).size() > MaxFaceNameBytes)
        raiseError(RtErr::SubscriptOutOfRange, source);
    if (charSet < 0 || charSet > 255)
        raiseError(RtErr::Overflow, source);
}

QStringList familiesNamed(const QString &faceName)
{
    QStringList families;
    for (const QString &family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        if (faceName.isEmpty() || family.compare(faceName, Qt::CaseInsensitive) == 0)
            families.append(family);
    }
    return families;
}

} // namespace

namespace FontHelpers_ {

ArrayList_ FontKeys;
ArrayDictionary_ CharSetNames;
ArrayDictionary_ CharSetsByName;

void EnumerateFonts(const QString &faceName, int charSet)
{
    FontKeys = ArrayList_();
    CharSetNames = ArrayDictionary_();
    CharSetsByName = ArrayDictionary_();
    checkArguments(faceName, charSet);

    for (const QString &family : familiesNamed(faceName)) {
        for (const FaceCharSet &set : faceCharSets(family)) {
            if (charSet == DEFAULT_CHARSET || set.charSet == charSet)
                EnumFontsCallback(family, set.charSet, set.scriptName);
        }
    }
}

void EnumerateFonts(int charSet, const QString &faceName)
{
    EnumerateFonts(faceName, charSet);
}

void EnumFontsCallback(const QString &faceName, int charSet, const QString &scriptName)
{
    FontKeys.Add(faceName + QStringLiteral("~CharSet") + QString::number(charSet));
    // A face that names no character set has no script name to list it under.
    if (scriptName.isEmpty())
        return;
    if (!CharSetNames.Contains(charSet))
        CharSetNames.Add(charSet, scriptName);
    if (!CharSetsByName.Contains(scriptName))
        CharSetsByName.Add(scriptName, charSet);
}

QList<FaceCharSet> faceCharSets(const QString &family)
{
    QList<FaceCharSet> sets;
    if (const std::optional<quint32> range = codePageRange(family)) {
        for (const CharSetInfo &info : charSetTable) {
            if (*range & (quint32(1) << info.codePageBit))
                sets.append(toFaceCharSet(info));
        }
    }
    if (sets.isEmpty()) {
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        for (const CharSetInfo &info : charSetTable) {
            if (info.writingSystem && systems.contains(*info.writingSystem))
                sets.append(toFaceCharSet(info));
        }
    }
    if (sets.isEmpty())
        sets.append(FaceCharSet());
    return sets;
}

} // namespace FontHelpers_
