#include "core/MsgSupport.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/ProgressLog.h"
#include "core/ToldOnce.h"
#include "platform/TextFile.h"
#include "platform/VbText.h"

#include <utility>

namespace {
const QString CRLF = QStringLiteral("\r\n");

int slot(int category, int id)
{
    return category + (id - 1) * 2;
}

QString categoryLetter(int category)
{
    return category == 0 ? QStringLiteral("S") : QStringLiteral("F");
}

void ensureTable()
{
    if (gMsgTexts.size() != 2 * MsgSupport::MaxMsgId) {
        gMsgTexts.clear();
        gMsgTexts.resize(2 * MsgSupport::MaxMsgId);
    }
}

// The texts the catalog needs to report its own missing or damaged files, used
// when the catalog could not provide them.
QString builtInText(int category, int id)
{
    if (category != MsgSupport::MC_Standard)
        return QString();
    switch (id) {
    case Bug_::FileNotFoundMsg:
        return QStringLiteral("The file % was not found.");
    case Bug_::FileUnreadableMsg:
        return QStringLiteral("The file % could not be read.");
    case 108:
        return QStringLiteral(
            "Verbanox cannot find the file '%'.\r\nPlease re-install Verbanox to fix this error.");
    case 109:
        return QStringLiteral("Verbanox - File Not Found");
    case 110:
        return QStringLiteral("Technical details for the report:");
    case 111:
        return QStringLiteral("The language file '%' was not found. The English texts are used instead.");
    case 112:
        return QStringLiteral("Verbanox - Language File Missing");
    default:
        return QString();
    }
}

// A catalog file that is missing or damaged is the data's fault: it is told once,
// plainly, and the texts it lacks are not told one by one after it.
struct CatalogFaults
{
    ToldOnce told; // since the catalog was last loaded
    // While the whole catalog loads, damaged files wait until its texts are all
    // read, so that they are told in the chosen language, and the English files,
    // which are read twice, are told once.
    bool waiting = false;
    QList<ErrorState> waitingFaults;
};

CatalogFaults &faults()
{
    static CatalogFaults state;
    return state;
}

void tellFault(const ErrorState &error)
{
    Err() = error;
    ShowUnexpectedError(QStringLiteral("MsgSupport.LoadMessageFile"));
}

void fileFault(const ErrorState &error)
{
    if (!error.File.isEmpty() && !faults().told.First(error.File))
        return;
    if (faults().waiting)
        faults().waitingFaults.append(error);
    else
        tellFault(error);
}

// A text that no file gives is lacking in the English file of its category.
void missingText(int category, int id)
{
    const QString file =
        gMsgFolder + QStringLiteral("ENGLISH_") + gMsgCategories.value(category) + QStringLiteral(".mes");
    if (!faults().told.First(file))
        return;
    Bug_::ReportFileFault(Bug_::FileUnreadableMsg, file,
                          QStringLiteral("It has no text for message %1.").arg(id));
}

void tellWaitingFaults()
{
    faults().waiting = false;
    for (const ErrorState &error : std::exchange(faults().waitingFaults, {}))
        tellFault(error);
}

void loadIfPresent(int category, const QString &path, bool isBase, int missingId, int missingTitleId)
{
    if (FileFunctions_::FileExists(path)) {
        MsgSupport::LoadMessageFile(qint16(category), path, isBase);
        return;
    }
    faults().told.Note(path);
    desktop().messageBox(GetMsg(0, missingId, path), MsgBoxStyle::Critical, GetMsg(0, missingTitleId));
}

void listUntranslated()
{
    for (int category = 0; category <= 1; ++category) {
        for (int id = 1; id <= MsgSupport::MaxMsgId; ++id) {
            const QString &text = gMsgTexts[slot(category, id)];
            if (text.isEmpty() || !text.startsWith(QLatin1Char('_')))
                continue;
            const QString line = QStringLiteral("Message ") + categoryLetter(category) + QString::number(id) +
                                 QStringLiteral(" from FILE: ") + gMsgFolder + gLanguage + QLatin1Char('_') +
                                 gMsgCategories.value(category) + QStringLiteral(".mes") +
                                 QStringLiteral(" NOT FOUND!!");
            if (gShowMsgNumbers)
                ProgressMessages().MsgAddMessage(CRLF + line, false, false);
            else
                AssertFailed(line);
        }
    }
}

// English first, then the interface language over it; currentPath names the
// file being read, for the report of an error.
void loadCatalogFiles(QString &currentPath)
{
    currentPath = gMsgFolder + QStringLiteral("ENGLISH_STD.mes");
    if (FileFunctions_::FileExists(currentPath)) {
        MsgSupport::LoadMessageFile(0, currentPath, true);
    } else {
        faults().told.Note(currentPath);
        desktop().messageBox(QStringLiteral("Verbanox cannot find the file '") + currentPath +
                                 QStringLiteral("'.") + CRLF +
                                 QStringLiteral("Please re-install Verbanox to fix this error."),
                             MsgBoxStyle::Critical, QStringLiteral("Fatal Verbanox Error"));
    }

    currentPath = gMsgFolder + QStringLiteral("ENGLISH_FRM.mes");
    loadIfPresent(1, currentPath, true, 108, 109);

    for (int category = 0; category <= 1; ++category) {
        currentPath =
            gMsgFolder + gLanguage + QLatin1Char('_') + gMsgCategories[category] + QStringLiteral(".mes");
        // A missing English file has been reported above already.
        if (gLanguage == QLatin1String("ENGLISH") && !FileFunctions_::FileExists(currentPath))
            continue;
        loadIfPresent(category, currentPath, false, 111, 112);
    }
}
} // namespace

namespace MsgSupport {

void ReloadAllMessages()
{
    QString currentPath;
    faults() = CatalogFaults{};
    faults().waiting = true;
    try {
        gMsgCategories = QStringList{QStringLiteral("STD"), QStringLiteral("FRM")};
        gMsgLoaded = true;
        ensureTable();
        loadCatalogFiles(currentPath);
        tellWaitingFaults();

        if (gShowMsgNumbers)
            ProgressMessages().MsgShow(
                CRLF + QStringLiteral("Checking to make sure all message are translated..."), true);
        listUntranslated();
        if (gShowMsgNumbers)
            ProgressMessages().MsgDone();
    } catch (const RuntimeError &e) {
        Err().SetFrom(e);
        ShowUnexpectedError(QStringLiteral("MsgSupport.ReloadAllMessages"),
                            QStringLiteral("Error in language file ") + currentPath);
    }
    tellWaitingFaults();
}

void LoadMessageFile(qint16 category, const QString &path, bool isBase)
{
    if (category < 0 || category > 1) {
        AssertFailed(QStringLiteral("Invalid mcat in FileFunctions.LoadMessageFile(mcat)"));
        return;
    }
    ensureTable();
    try {
        TextReader reader = TextReader::fromFile(path);
        while (!reader.atEnd()) {
            const QString line = VbText::Trim(reader.readLine());
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QString idText = line.left(4);
            bool ok = false;
            const int id = VbText::Trim(idText).toInt(&ok);
            if (!ok || id < 1 || id > MaxMsgId)
                raiseFileUnreadable(QStringLiteral("Verbanox.MsgSupport"), path,
                                    QStringLiteral("Line %1 begins with \"%2\", which is no message number "
                                                   "from 1 to 300; the texts from that line on are not used.")
                                        .arg(reader.lineNumber())
                                        .arg(idText));
            QString text = line.mid(5);
            text.replace(QStringLiteral("^^"), CRLF);
            text = VbText::Trim(text);
            if (isBase)
                gMsgTexts[slot(category, id)] = QLatin1Char('_') + categoryLetter(category) +
                                                QString::number(id) + QLatin1Char('=') + text;
            else if (!text.isEmpty())
                gMsgTexts[slot(category, id)] = text;
        }
    } catch (const RuntimeError &e) {
        ErrorState error;
        error.SetFrom(e);
        fileFault(error);
    }
}

QString GetMsg(qint32 category, qint32 id, const QString &substitution)
{
    if (!gMsgLoaded)
        ReloadAllMessages();
    if (category < 0 || category > 1) {
        AssertFailed(QStringLiteral("Invalid mcat in FileFunctions.GetMsg(mcat)"));
        return QStringLiteral("Bad mcat=%1, id=%2").arg(category).arg(id);
    }
    const QString prefix = gMsgCategories.value(category).left(1) + QString::number(id) + QLatin1Char('=');
    if (id < 1 || id > MaxMsgId)
        return prefix + QStringLiteral("<OutOfRange>");
    ensureTable();
    QString text = gMsgTexts[slot(category, id)];
    if (text.isEmpty())
        text = builtInText(category, id);
    if (text.isEmpty()) {
        missingText(category, id);
        return QString();
    }
    text.replace(QLatin1Char('%'), substitution);
    if (text.startsWith(QLatin1Char('_')))
        return text.mid(1);
    return gShowMsgNumbers ? prefix + text : text;
}

QString GetMsgListing(qint32 id, const QString &substitution, const QStringList &items)
{
    constexpr int MaxListed = 12;
    QStringList listed = items.mid(0, MaxListed);
    if (items.size() > MaxListed)
        listed.append(QStringLiteral("(%1 more)").arg(items.size() - MaxListed));
    return GetMsg(MC_Standard, id, substitution) + CRLF + CRLF + listed.join(CRLF);
}

QString FavVersesFile(const QString &language)
{
    return language + QStringLiteral("_FavVerses.txt");
}

} // namespace MsgSupport
