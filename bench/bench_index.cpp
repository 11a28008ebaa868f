// Building and loading the chapter index of the shipped King James Version,
// next to a plain read of the same file split into lines.

#include "BenchSupport.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchProgramFolder folder;
    const QString module = gBibleFolder + QStringLiteral("b_kjv.txt");
    const int runs = 15;

    qsizetype lines = 0;
    const double plain = medianMilliseconds(runs, [&] {
        QFile file(module);
        file.open(QIODevice::ReadOnly);
        lines = file.readAll().split('\n').size();
    });

    gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
    int chapters = 0;
    const double buildAndLoad = medianMilliseconds(runs, [&] {
        QFile::remove(gIndexFolder + QStringLiteral("b_kjv.txt.INDEX"));
        gBibles.SetTag(0, nullptr);
        chapters = int(TranslationHelpers::GetTranslation(0)->Records().size());
    });
    const double loadOnly = medianMilliseconds(runs, [&] {
        gBibles.SetTag(0, nullptr);
        TranslationHelpers::GetTranslation(0);
    });

    std::printf("King James Version: %lld lines, %d chapters\n", (long long)lines, chapters);
    printRow(QStringLiteral("baseline: plain read of the module split into lines"), plain);
    printRow(QStringLiteral("build and load the chapter index"), buildAndLoad);
    printRow(QStringLiteral("load the existing chapter index"), loadOnly);
    std::printf("build and load / plain read: %.2f\n", buildAndLoad / plain);
    return 0;
}
