// Filling the reading pane with the whole of Psalms (the largest book) from the
// shipped King James Version, next to appending the same text to a bare
// QTextDocument with one cursor.

#include "BenchSupport.h"
#include "controls/NewRichText.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
    std::shared_ptr<Translation> kjv = TranslationHelpers::GetTranslation(0);
    const QString psalmsText = kjv->BookContents(19, false);

    const int runs = 9;
    const double baseline = medianMilliseconds(runs, [&] {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        for (const QString &line : psalmsText.split(QStringLiteral("\r\n")))
            cursor.insertText(line + QLatin1Char('\n'));
    });

    NewRichText pane;
    pane.resize(800, 600);
    pane.show();
    pane.AddNamedStyle(QStringLiteral("Chapter"), QStringLiteral(",20,B"));
    pane.AddNamedStyle(QStringLiteral("VerseNumber"), QStringLiteral(",,bP"));
    int length = 0;
    const double fill = medianMilliseconds(runs, [&] {
        pane.setText(QString());
        kjv->BookContentsIntoNewRichEdit(pane, 19, true, true, true);
        QApplication::processEvents();
        length = pane.Text().size();
    });

    std::printf("Psalms: %d characters in the pane\n", length);
    printRow(QStringLiteral("baseline: bare QTextDocument, one insert per verse"), baseline);
    printRow(QStringLiteral("fill the reading pane with Psalms (formatted view)"), fill);
    return 0;
}
