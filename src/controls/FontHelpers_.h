#pragma once

#include "core/ArrayDictionary_.h"
#include "core/ArrayList_.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// The installed font families and their character sets, for the font chooser.
namespace FontHelpers_ {

// Asks for every character set.
constexpr int DEFAULT_CHARSET = 1;

// Filled by EnumerateFonts, replaced on every call:
// one "<face>~CharSet<number>" entry per family and character set, in enumeration order;
extern ArrayList_ FontKeys;
// character-set number (int) -> script name, first seen kept;
extern ArrayDictionary_ CharSetNames;
// script name -> character-set number, first seen kept.
extern ArrayDictionary_ CharSetsByName;

// Lists the installed families in charSet (0..255; DEFAULT_CHARSET for all) whose
// name is faceName (any case; "" for all). A faceName of more than 32 bytes in the
// ANSI code page raises error 9, a charSet outside 0..255 error 6; the collections
// are emptied either way.
void EnumerateFonts(const QString &faceName, int charSet);
// The same with the arguments in the order the font chooser gives them.
void EnumerateFonts(int charSet, const QString &faceName);

// Records one enumerated family in one character set.
void EnumFontsCallback(const QString &faceName, int charSet, const QString &scriptName);

struct FaceCharSet
{
    int charSet = DEFAULT_CHARSET;
    QString scriptName;
};
// The character sets a family supports, from the code pages its OS/2 table names,
// else from its writing systems; DEFAULT_CHARSET with no script name when neither
// tells.
QList<FaceCharSet> faceCharSets(const QString &family);

} // namespace FontHelpers_
