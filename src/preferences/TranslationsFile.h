#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The list of installed modules, "Translations.txt", as the Bible precedence page
// reads and rewrites it. Only the Bible records (numbers below 999) that read
// whole are shown and reordered; every other record, and every line that is no
// record it could read, is carried over byte for byte. The file keeps its
// encoding: UTF-8 when it starts with a byte-order mark, else the ANSI code page.
namespace TranslationsFile {

struct BibleRecord
{
    QString displayName;
    QString baseName; // without ".txt"
    bool enabled = false;
    qint32 codePage = 0;
};

// The highest record number the precedence list shows is one below this.
constexpr qint32 FirstHiddenNumber = 999;

// The Bible records in file order. Lines that cannot be read are left out.
// Throws RuntimeError 53 when the file is missing, 75 when it cannot be read.
QList<BibleRecord> ReadBibles(const QString &path);

// Writes the file anew: the Bibles numbered 1..n in the given order, then every
// line of the old file that the list does not show, once each, in its old order
// and exactly as it stood. Written through a temporary file, so a failure (RuntimeError 75) leaves
// the old file whole.
void WriteBibles(const QString &path, const QList<BibleRecord> &bibles);

} // namespace TranslationsFile
