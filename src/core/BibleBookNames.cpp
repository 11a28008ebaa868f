#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/VerbanoxRoutines.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

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
    const QString path = gSysDefsFolder + QStringLiteral("Books.txt");
    try {
        TextReader reader = TextReader::fromFile(path);
        for (int i = 1; i <= BookCount; ++i) {
            const QStringList fields = reader.readLine().split(QLatin1Char('\t'));
            if (fields.size() < 3)
                raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.BibleBookNames"),
                           QStringLiteral("Line %1 of %2 has fewer than three fields").arg(i).arg(path));
            Assert(VbConvert::val(fields[0]) == i,
                   QStringLiteral("Books.txt file not formatted properly!  Line numbers do not match first "
                                  "field in file:  ") +
                       path + QStringLiteral(" (") + QString::number(i) + QStringLiteral(")"));
            const std::optional<qint16> number = VbConvert::toInt16(fields[0]);
            if (!number)
                raiseError(
                    RtErr::TypeMismatch, QStringLiteral("Verbanox.BibleBookNames"),
                    QStringLiteral("Line %1 of %2 does not start with a book number").arg(i).arg(path));
            m_numbers[i - 1] = *number;
            m_abbreviations[i - 1] = fields[1];
            m_fullNames[i - 1] = fields[2];
        }
    } catch (const RuntimeError &e) {
        Err().SetFrom(e);
        const ErrorState error = Err();
        desktop().messageBox(GetMsg(0, 97, gSysDefsFolder) + GetMsg(0, 98, QStringLiteral("Books.txt")),
                             MsgBoxStyle::OKOnly, QString());
        if (error.Number != 0) {
            Err() = error;
            ShowUnexpectedError(QStringLiteral("BibleBookNames.GetBookNames()"));
        }
        VerbanoxRoutines::RecoverSettingsAndEnd();
    }
}
