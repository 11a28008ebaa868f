// Saving and reopening a notes document of 200 formatted chapters (about 1 MB of
// RTF) through the workspace's files. Saving is set beside QTextDocument's HTML of
// the same document written to a file in the same way; opening beside reading the
// same file's bytes and building the same document with one QTextCursor.
// Then File > Open in the shown workspace window, of 1 MB and 8 MB of RTF, beside
// reading the same file into a document that no window shows.

#include "BenchSupport.h"
#include "controls/MenuTable.h"
#include "core/GlobalVars.h"
#include "platform/RichTextBox.h"
#include "platform/RtfReader.h"
#include "platform/TestDesktop.h"
#include "search/AdvancedSearch.h"
#include "search/NotesDocument.h"
#include "search/WorkspaceFiles.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {
const QStringList Words = {
    QStringLiteral("In the beginning was the Word, and the Word was with God"),
    QStringLiteral("and the light shineth in darkness; and the darkness comprehended it not"),
    QStringLiteral("There was a man sent from God, whose name was John"),
    QStringLiteral(
        "\u1F10\u03BD \u1F00\u03C1\u03C7\u1FC7 \u1F26\u03BD \u1F41 \u03BB\u03CC\u03B3\u03BF\u03C2"),
    QStringLiteral("\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05B4\u05C1\u05D9\u05EA "
                   "\u05D1\u05BC\u05B8\u05E8\u05B8\u05D0"),
};

// A heading, 35 verses with bold coloured numbers and an italic phrase, and a
// bulleted note, for each chapter; with one cursor, in one edit block.
void buildNotes(QTextDocument *document, int chapters)
{
    QTextCursor cursor(document);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setFontPointSize(16);
    QTextCharFormat number;
    number.setFontWeight(QFont::Bold);
    number.setForeground(QColor(0, 0, 160));
    QTextCharFormat italic;
    italic.setFontItalic(true);
    QTextCharFormat plain;
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextBlockFormat indented;
    indented.setLeftMargin(30);
    cursor.beginEditBlock();
    for (int chapter = 1; chapter <= chapters; ++chapter) {
        if (chapter > 1)
            cursor.insertBlock(centred, heading);
        else
            cursor.setBlockFormat(centred);
        cursor.insertText(QStringLiteral("Chapter %1").arg(chapter), heading);
        for (int verse = 1; verse <= 35; ++verse) {
            cursor.insertBlock(verse % 5 == 0 ? indented : QTextBlockFormat(), plain);
            cursor.insertText(QString::number(verse) + QLatin1Char(' '), number);
            cursor.insertText(Words[(chapter + verse) % Words.size()], plain);
            cursor.insertText(QStringLiteral(", full of grace"), italic);
            cursor.insertText(QStringLiteral(" and truth."), plain);
        }
        cursor.insertBlock(QTextBlockFormat(), plain);
        cursor.createList(QTextListFormat::ListDisc);
        cursor.insertText(QStringLiteral("A note of my own on chapter %1").arg(chapter));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("and a second point"));
        cursor.insertBlock(QTextBlockFormat(), plain);
    }
    cursor.endEditBlock();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        std::printf("cannot write %s\n", qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A notes file of the given number of chapters, written as the workspace saves it.
QString writeNotes(const QString &path, int chapters)
{
    RichTextBox pane;
    buildNotes(pane.document(), chapters);
    NotesDocument document(&pane);
    WorkspaceFiles files(document);
    dynamic_cast<TestDesktop &>(desktop()).fileAnswers.push_back(path);
    files.SaveAs();
    return path;
}

// File > Open in the shown workspace window until the window has painted it, and
// with the whole document laid out, beside the same file read into a document
// that no window shows (and that document laid out at the pane's width).
void benchShownOpen(const QString &path, int runs)
{
    AdvancedSearch &window = AdvancedSearch::Instance();
    window.show();
    QApplication::processEvents();
    auto &desk = dynamic_cast<TestDesktop &>(desktop());
    const auto open = [&] {
        desk.fileAnswers.push_back(path);
        window.Menus().run(QStringLiteral("mFileOpen"));
        QApplication::processEvents();
    };
    open(); // warm up
    const double shown = medianMilliseconds(runs, open);
    const double shownLaidOut = medianMilliseconds(runs, [&] {
        open();
        window.RT->document()->documentLayout()->documentSize();
    });
    const int characters = window.RT->document()->characterCount();
    const qreal width = window.RT->viewport()->width();
    const double detached = medianMilliseconds(runs, [&] {
        QTextDocument document;
        RtfReader::read(readFile(path), &document);
    });
    const double detachedLaidOut = medianMilliseconds(runs, [&] {
        QTextDocument document;
        RtfReader::read(readFile(path), &document);
        document.setTextWidth(width);
        document.documentLayout()->documentSize();
    });
    std::printf("%.1f MB of RTF, %d characters, %d runs:\n", QFileInfo(path).size() / 1048576.0, characters,
                runs);
    printRow(QStringLiteral("File > Open in the shown workspace window, painted"), shown);
    printRow(QStringLiteral("baseline: the file read into a detached document"), detached);
    printRow(QStringLiteral("File > Open in the shown window, whole document laid out"), shownLaidOut);
    printRow(QStringLiteral("baseline: read into a detached document, laid out"), detachedLaidOut);
    std::printf("ratios: open %.2f (target <= 1.3), with the whole layout %.2f\n", shown / detached,
                shownLaidOut / detachedLaidOut);
}

// Save and Open through a pane that is not shown. The panes go at the end: a
// document they still lay out in steps would be timed with the next benchmark.
void benchSaveAndOpen(const QString &folder, int runs)
{
    auto &desk = dynamic_cast<TestDesktop &>(desktop());
    RichTextBox pane;
    buildNotes(pane.document(), 200);
    const QString rtfPath = folder + QStringLiteral("notes.rtf");
    const QString htmlPath = folder + QStringLiteral("notes.html");
    NotesDocument document(&pane);
    WorkspaceFiles files(document);
    desk.fileAnswers.push_back(rtfPath);
    files.SaveAs();
    const int characters = pane.document()->characterCount();
    const int blocks = pane.document()->blockCount();

    const double saveRtf = medianMilliseconds(runs, [&] {
        pane.document()->setModified(true);
        files.Save();
    });
    const double openRtf = medianMilliseconds(runs, [&] {
        desk.fileAnswers.push_back(rtfPath);
        files.Open();
    });
    if (pane.document()->characterCount() != characters || pane.document()->blockCount() != blocks)
        std::printf("the reopened document differs: %d characters in %d paragraphs\n",
                    pane.document()->characterCount(), pane.document()->blockCount());

    RichTextBox htmlPane;
    buildNotes(htmlPane.document(), 200);
    const double saveHtml =
        medianMilliseconds(runs, [&] { writeFile(htmlPath, htmlPane.document()->toHtml().toUtf8()); });
    qsizetype bytesRead = 0;
    const double openBuilt = medianMilliseconds(runs, [&] {
        bytesRead = readFile(rtfPath).size();
        // As a reader builds a document: no undo steps, one edit block.
        QTextDocument built;
        built.setUndoRedoEnabled(false);
        buildNotes(&built, 200);
    });

    std::printf("document: 200 chapters, %d characters in %d paragraphs; RTF %lld bytes, HTML %lld bytes\n",
                characters, blocks, QFileInfo(rtfPath).size(), QFileInfo(htmlPath).size());
    printRow(QStringLiteral("save as RTF (WorkspaceFiles::Save)"), saveRtf);
    printRow(QStringLiteral("baseline: QTextDocument::toHtml + write"), saveHtml);
    printRow(QStringLiteral("open RTF (WorkspaceFiles::Open)"), openRtf);
    printRow(QStringLiteral("baseline: read the file + the same document built with one cursor"), openBuilt);
    std::printf("ratios: save %.2f, open %.2f (%lld bytes read)\n\n", saveRtf / saveHtml, openRtf / openBuilt,
                static_cast<long long>(bytesRead));
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    const int runs = 9;
    benchSaveAndOpen(folder.path(), runs);
    gShowSplash = false;
    benchShownOpen(writeNotes(folder.path() + QStringLiteral("notes1.rtf"), 200), runs);
    benchShownOpen(writeNotes(folder.path() + QStringLiteral("notes8.rtf"), 1600), runs);
    return 0;
}
