// Adding one bookmark to a list of 10,000 (their documents in the folder beside
// it), with Latin and with Greek titles, through the bookmark list's Add, next to
// writing the same record file once in the plainest way: the work Add cannot
// avoid.

#include "BenchSupport.h"
#include "bookmarks/frmBookmarkAdd.h"
#include "bookmarks/frmBookmarkList.h"
#include "core/BookmarkRecords.h"
#include "core/GlobalVars.h"
#include "core/Registry_.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/ModalOpener.h"
#include "platform/RichTextBox.h"
#include "search/NotesDocument.h"
#include "search/WorkspaceFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>

namespace {
constexpr int ListSize = 10000;
constexpr int Runs = 9;

QString latinTitle(int n)
{
    return QStringLiteral("Notes on Psalm %1, verse %2").arg(n).arg(n % 7 + 1);
}

QString greekTitle(int n)
{
    return QStringLiteral("\u03A3\u03B7\u03BC\u03B5\u03B9\u03CE\u03C3\u03B5\u03B9\u03C2 "
                          "\u03C8\u03B1\u03BB\u03BC\u03BF\u03CD "
                          "%1, \u03C3\u03C4\u03AF\u03C7\u03BF\u03C2 %2")
        .arg(n)
        .arg(n % 7 + 1);
}

// The list of the program's last run: the record file, and one document per bookmark.
void writeList(const std::function<QString(int)> &title)
{
    BookmarkRecords &records = BookmarkRecords::Instance();
    records.Clear();
    gBookmarksLoaded = false;
    // A list of its own: saving merges with a record file already there.
    QFile::remove(BookmarkRecords::RecordFile());
    QDir(BookmarkRecords::DocumentFolder()).removeRecursively();
    QDir().mkpath(BookmarkRecords::DocumentFolder());
    for (int n = 0; n < ListSize; ++n) {
        const QString name = records.UniqueFileName(BookmarkRecords::FileNameFromTitle(title(n)));
        records.Append({title(n), QStringLiteral("Psalms"), QStringLiteral("01-Jan-2024"),
                        QStringLiteral("PSA 023:001"), name});
        QFile document(BookmarkRecords::DocumentFolder() + name);
        if (document.open(QIODevice::WriteOnly))
            document.write("{\\rtf1 note}");
    }
    records.Save();
    records.Clear();
    BookmarkRecords::LoadBookmarks();
}

// The record file as a plain writer makes it: every record's five quoted fields.
void writeRecordFileOnce()
{
    QByteArray bytes;
    for (const BookmarkRecord &record : BookmarkRecords::Instance().Rows()) {
        for (int i = 0; i < 5; ++i)
            bytes += (i ? ",\"" : "\"") + record.field(i).toUtf8() + '"';
        bytes += "\r\n";
    }
    QSaveFile file(BookmarkRecords::RecordFile() + QStringLiteral(".plain"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        std::printf("cannot write the plain record file\n");
}

void measure(const QString &script, const std::function<QString(int)> &title)
{
    writeList(title);
    DefaultInstance<frmBookmarkList>::release();
    frmBookmarkList &list = frmBookmarkList::Instance();
    int next = ListSize;
    ModalOpener<frmBookmarkAdd>::replace([&] {
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        dialog.show();
        dialog.tTitle->setText(title(next++));
        dialog.cboBook->setEditText(QStringLiteral("PSA"));
        dialog.tChapter->setText(QStringLiteral("23"));
        dialog.tVerse->setText(QStringLiteral("1"));
        dialog.cmdOK->click();
    });
    const double add = medianMilliseconds(Runs, [&] { list.cmdAdd_Click(); });
    const double plain = medianMilliseconds(Runs, writeRecordFileOnce);
    if (list.LV->topLevelItemCount() != ListSize + Runs ||
        BookmarkRecords::Instance().Count() != ListSize + Runs)
        std::printf("the list has %d rows, not %d\n", list.LV->topLevelItemCount(), ListSize + Runs);
    printRow(QStringLiteral("Add to %1 bookmarks, %2 titles").arg(ListSize).arg(script), add);
    printRow(QStringLiteral("baseline: write the same record file once"), plain);
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    Registry_::Initialize(QStringLiteral("Settings"));
    gSysDefsFolder = folder.path() + QStringLiteral("SysDefs/");
    RichTextBox pane;
    pane.setText(QStringLiteral("Search results and my notes"));
    QWidget workspace;
    // Add writes the workspace's document to the bookmark's file as the workspace does.
    NotesDocument notes(&pane);
    WorkspaceFiles files(notes);
    WorkspaceDocument::Access access{[&] { return &pane; }, [&] { return &workspace; }, {}};
    access.saveCopy = [&](const QString &path) { return files.SaveCopy(path); };
    access.saveNew = [&](const std::function<QString(int)> &names,
                         const std::function<bool(const QString &)> &taken) {
        return files.SaveNew(names, taken);
    };
    WorkspaceDocument::Register(access);

    std::printf("medians of %d runs\n", Runs);
    measure(QStringLiteral("Latin"), latinTitle);
    measure(QStringLiteral("Greek"), greekTitle);
    return 0;
}
