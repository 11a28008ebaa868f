// The chapter comparison of Psalm 119 (the longest chapter) across every
// shipped Bible, their indexes loaded, next to reading the same chapters'
// lines straight from the module files: a seek by the index, a read of the
// chapter's bytes, the lines split and decoded.

#include "BenchSupport.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/VerbanoxRoutines.h"
#include "platform/CodePage.h"
#include "study/ComparisonText.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchProgramFolder folder;
    gDictionaryFolder = gModuleFolder + QStringLiteral("Dictionary/");
    gNameFolder = gModuleFolder + QStringLiteral("Name/");
    VerbanoxRoutines::LoadTranslationsList();
    // The index pass the window runs first: every Bible's index built and loaded.
    ComparisonText::LoadFlaggedIndexes(nullptr);
    const std::vector<ComparisonBible> bibles = ComparisonText::TakingPart();
    const int book = 19, chapter = 119;
    const int runs = 25;

    qsizetype baselineLines = 0;
    const double baseline = medianMilliseconds(runs, [&] {
        baselineLines = 0;
        for (const ComparisonBible &bible : bibles) {
            const ChapterRecord *record = bible.translation->FindChapter(book, chapter);
            if (!record)
                continue;
            QFile file(bible.translation->ModulePath());
            file.open(QIODevice::ReadOnly);
            file.seek(record->startOffset - 1);
            const QByteArray bytes = file.read(record->endOffset - record->startOffset);
            const int codePage = bible.translation->CodePage == 0 ? 1252 : bible.translation->CodePage;
            for (const QByteArray &line : bytes.split('\n'))
                if (!line.isEmpty())
                    baselineLines += CodePage::decode(line, codePage).size() > 0 ? 1 : 0;
        }
    });

    ComparisonResult result;
    const double comparison =
        medianMilliseconds(runs, [&] { result = ComparisonText::Build(bibles, book, chapter, 1, true); });

    std::printf("Psalm 119 in %d Bibles: %lld lines read, %lld verses compared, %lld characters\n",
                int(bibles.size()), (long long)baselineLines, (long long)result.verseCount,
                (long long)result.text.size());
    printRow(QStringLiteral("baseline: the chapters' lines read from the module files"), baseline);
    printRow(QStringLiteral("chapter comparison of Psalm 119"), comparison);
    std::printf("comparison / baseline: %.2f (target: within 3)\n", comparison / baseline);
    return comparison < 50 && comparison / baseline <= 3 ? 0 : 1;
}
