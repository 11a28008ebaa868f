// Filling the shown reading pane with the whole of Psalms (the largest book) from
// the shipped King James Version in the formatted view, next to the same work
// done plainly: the book's bytes read from the module file, decoded, and the
// same headings, verse numbers and texts put into a document with one cursor,
// which a shown QTextEdit then lays out and paints.

#include "BenchSupport.h"
#include "controls/NewRichText.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/TextFont.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {
const int Psalms = 19;

// Where the book's lines lie in the module file, found once as an index would.
std::pair<qint64, qint64> bookSpan(const QString &path, int book)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {0, 0};
    const QByteArray bytes = file.readAll();
    const QByteArray number = QByteArray::number(book);
    qint64 first = -1, end = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype next = bytes.indexOf('\n', at);
        next = next < 0 ? bytes.size() : next + 1;
        if (bytes.mid(at, next - at).split('\t').value(1) == number) {
            first = first < 0 ? at : first;
            end = next;
        }
        at = next;
    }
    return {first, end};
}

// The book as the formatted view shows it: a heading for each psalm, each verse a
// paragraph with its number raised in front; built off the screen and swapped in.
void fillPlainly(QTextEdit &edit, const QString &path, std::pair<qint64, qint64> span, const QString &family)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(span.first))
        return;
    const QString text = QStringDecoder("windows-1252").decode(file.read(span.second - span.first));
    QTextCharFormat plain;
    plain.setFontFamilies({family});
    plain.setFontPointSize(10);
    QTextCharFormat heading = plain;
    heading.setFontPointSize(20);
    heading.setFontWeight(QFont::Bold);
    QTextCharFormat number = plain;
    number.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    auto *document = new QTextDocument(&edit);
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    QString chapter;
    for (const QStringView line : QStringView(text).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const QList<QStringView> fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 5)
            continue;
        if (fields[2] != chapter) {
            chapter = fields[2].toString();
            cursor.insertText(QStringLiteral("Psalm ") + chapter, heading);
            cursor.insertBlock();
        }
        cursor.insertText(fields[3].toString(), number);
        cursor.insertText(line.sliced(fields[4].data() - line.data()).toString(), plain);
        cursor.insertBlock();
    }
    cursor.endEditBlock();
    // The edit's first document is its control's, which setDocument deletes;
    // those made here are the edit's children and deleted here.
    QTextDocument *previous = edit.document();
    const bool madeHere = previous->parent() == &edit;
    edit.setDocument(document);
    if (madeHere)
        delete previous;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
    std::shared_ptr<Translation> kjv = TranslationHelpers::GetTranslation(0);

    NewRichText pane;
    pane.resize(800, 600);
    pane.show();
    pane.AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
    pane.AddNamedStyle(QStringLiteral("VerseNumber"), QStringLiteral(",,bP"));
    const int runs = 9;
    int length = 0;
    const double fill = medianMilliseconds(runs, [&] {
        pane.setText(QString());
        kjv->BookContentsIntoNewRichEdit(pane, Psalms, true, true, true);
        QApplication::processEvents();
        length = pane.Text().size();
    });

    QTextEdit edit;
    edit.resize(800, 600);
    edit.show();
    const std::pair<qint64, qint64> span = bookSpan(kjv->ModulePath(), Psalms);
    const QString family = pane.GetNamedStyle(QStringLiteral("normal"))->Name();
    const double baseline = medianMilliseconds(runs, [&] {
        fillPlainly(edit, kjv->ModulePath(), span, family);
        QApplication::processEvents();
    });

    std::printf("Psalms: %d characters in the pane, %d in the plain one\n", length,
                edit.document()->characterCount() - 1);
    printRow(QStringLiteral("baseline: read, decode, the same document in a shown QTextEdit"), baseline);
    printRow(QStringLiteral("fill the reading pane with Psalms (formatted view)"), fill);
    std::printf("ratio: %.2f\n", fill / baseline);
    return 0;
}
