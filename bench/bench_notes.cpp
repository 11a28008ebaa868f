// Saving and reopening a notes document of 200 formatted chapters (about 1 MB of
// RTF) through the workspace's files, next to QTextDocument's HTML of the same
// document written to and read from a file in the same way.

#include "BenchSupport.h"
#include "platform/RichTextBox.h"
#include "platform/TestDesktop.h"
#include "search/NotesDocument.h"
#include "search/WorkspaceFiles.h"

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
// bulleted note, for each chapter.
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
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    auto &desk = dynamic_cast<TestDesktop &>(desktop());

    RichTextBox pane;
    buildNotes(pane.document(), 200);
    const QString rtfPath = folder.path() + QStringLiteral("notes.rtf");
    const QString htmlPath = folder.path() + QStringLiteral("notes.html");
    NotesDocument document(&pane);
    WorkspaceFiles files(document);
    desk.fileAnswers.push_back(rtfPath);
    files.SaveAs();
    const int characters = pane.document()->characterCount();
    const int blocks = pane.document()->blockCount();

    const int runs = 5;
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
    const double openHtml = medianMilliseconds(
        runs, [&] { htmlPane.document()->setHtml(QString::fromUtf8(readFile(htmlPath))); });

    std::printf("document: 200 chapters, %d characters in %d paragraphs; RTF %lld bytes, HTML %lld bytes\n",
                characters, blocks, QFileInfo(rtfPath).size(), QFileInfo(htmlPath).size());
    printRow(QStringLiteral("save as RTF (WorkspaceFiles::Save)"), saveRtf);
    printRow(QStringLiteral("baseline: QTextDocument::toHtml + write"), saveHtml);
    printRow(QStringLiteral("open RTF (WorkspaceFiles::Open)"), openRtf);
    printRow(QStringLiteral("baseline: read + QTextDocument::setHtml"), openHtml);
    std::printf("ratios: save %.2f, open %.2f (target: at most 1)\n", saveRtf / saveHtml, openRtf / openHtml);
    return 0;
}
