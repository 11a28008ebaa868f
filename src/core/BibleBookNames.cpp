#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

#include <QFileInfo>

namespace {
// Catalog texts.
constexpr int DamagedNamesMsg = 275;   // the file is damaged; restore from the reference names?
constexpr int UnreadableFileMsg = 288; // a book-name file could not be read
constexpr int UnwritableFileMsg = 289; // a book-name file could not be written

QString activeNamesPath()
{
    return FileNames::resolve(gSysDefsFolder + QStringLiteral("Books.txt"));
}
} // namespace

BibleBookNames::BibleBookNames()
{
    ReloadBookNames();
}

void BibleBookNames::CheckBook(qint16 book, const char *member) const
{
    if (book < 1 || book > BookCount)
        raiseError(RtErr::SubscriptOutOfRange,
                   QStringLiteral("Verbanox.BibleBookNames.") + QLatin1String(member));
}

QString BibleBookNames::Abbreviation(qint16 book) const
{
    CheckBook(book, "Abbreviation");
    return m_abbreviations[book - 1];
}

QString BibleBookNames::FullName(qint16 book) const
{
    CheckBook(book, "FullName");
    return m_fullNames[book - 1];
}

void BibleBookNames::ReloadBookNames()
{
    const QString path = activeNamesPath();
    const QStringList problems = ReadNames(path);
    if (problems.isEmpty() || !OfferRepair(path, problems) || !RestoreFromReference())
        return;
    // The reference names are read as they are now: a damaged reference is named
    // by its own problems, without a second offer.
    ReadNames(path);
}

QStringList BibleBookNames::ReadNames(const QString &path)
{
    QStringList lines;
    QStringList problems;
    try {
        lines = TextReader::fromFile(path).readAllLines();
        if (lines.size() < BookCount)
            problems.append(
                QStringLiteral("The file has %1 lines instead of %2.").arg(lines.size()).arg(BookCount));
    } catch (const RuntimeError &e) {
        problems.append(e.description());
    }
    for (int i = 1; i <= BookCount; ++i) {
        if (i > lines.size()) {
            NameByNumber(i);
            continue;
        }
        const QString problem = ReadLine(path, i, lines[i - 1]);
        if (!problem.isEmpty())
            problems.append(QStringLiteral("Line %1 %2.").arg(i).arg(problem));
    }
    return problems;
}

QString BibleBookNames::ReadLine(const QString &path, int book, const QString &line)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    const std::optional<qint16> number = VbConvert::toInt16(fields[0]);
    if (fields.size() < 3 || !number) {
        NameByNumber(book);
        return fields.size() < 3 ? QStringLiteral("has fewer than three fields")
                                 : QStringLiteral("does not start with a book number");
    }
    Assert(VbConvert::val(fields[0]) == book,
           QStringLiteral("Books.txt file not formatted properly!  Line numbers do not match first "
                          "field in file:  ") +
               path + QStringLiteral(" (") + QString::number(book) + QStringLiteral(")"));
    m_numbers[book - 1] = *number;
    m_abbreviations[book - 1] = fields[1];
    m_fullNames[book - 1] = fields[2];
    return QString();
}

void BibleBookNames::NameByNumber(int book)
{
    m_numbers[book - 1] = qint16(book);
    m_abbreviations[book - 1] = m_fullNames[book - 1] = QString::number(book);
}

bool BibleBookNames::OfferRepair(const QString &path, const QStringList &problems) const
{
    const int answer = desktop().messageBox(MsgSupport::GetMsgListing(DamagedNamesMsg, path, problems),
                                            MsgBoxStyle::YesNo | MsgBoxStyle::Question, QString());
    return answer == MsgBoxResult::Yes;
}

bool BibleBookNames::FileStep(const QString &path, bool writing, const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const RuntimeError &e) {
        const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
        const QString folderFault = writing ? FileFunctions_::FolderWriteFault(folder) : QString();
        if (!folderFault.isEmpty())
            Bug_::ReportReadOnlyProgramFolder(folder, folderFault);
        else
            Bug_::ReportFileFault(writing ? UnwritableFileMsg : UnreadableFileMsg, path, e.description());
        return false;
    }
}

bool BibleBookNames::RestoreFromReference()
{
    QByteArray names;
    const QString reference = FileNames::resolve(gSysDefsFolder + QStringLiteral("ref.txt"));
    if (!FileStep(reference, false, [&] { names = TextFiles::readAll(reference); }))
        return false;
    const QString active = activeNamesPath();
    return FileStep(active, true, [&] { TextFiles::writeAtomically(active, names); });
}
