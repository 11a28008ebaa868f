// The term search over the shipped King James Version, whole Bible, "LORD",
// Ignore Order, ignore case: (1) the scan alone next to a raw case-insensitive
// scan of the module's bytes; (2) from the Search click to the coloured document
// shown, at two highlight limits, next to setting the same result as plain text
// into a bare shown QTextEdit.

#include "BenchSupport.h"
#include "core/BibleBookNames.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"
#include "platform/RichTextBox.h"
#include "search/AdvancedSearch.h"
#include "search/BookRange.h"
#include "search/TermSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QTextEdit>
#include <array>

namespace {
// Lines of the file that hold "lord" in any case, looked for byte by byte.
qint64 rawScan(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    std::array<char, 256> lower{};
    for (int c = 0; c < 256; ++c)
        lower[size_t(c)] = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qint64 lines = 0;
    bool counted = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            counted = false;
        } else if (!counted && lower[uchar(c)] == 'l' && i + 3 < size && lower[uchar(data[i + 1])] == 'o' &&
                   lower[uchar(data[i + 2])] == 'r' && lower[uchar(data[i + 3])] == 'd') {
            ++lines;
            counted = true;
        }
    }
    return lines;
}

double clickToShown(AdvancedSearch &window, int runs)
{
    return medianMilliseconds(runs, [&] {
        window.cmdSearch_Click();
        QApplication::processEvents();
    });
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    gShowSplash = false;
    gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
    std::shared_ptr<Translation> kjv = TranslationHelpers::GetTranslation(0);
    const int runs = 9;

    // (1) The scan alone.
    qint64 rawLines = 0;
    const double raw = medianMilliseconds(runs, [&] { rawLines = rawScan(kjv->ModulePath()); });
    const TermSearch search({QStringLiteral("LORD"), SearchMode::AllTerms, true, BookRange::WholeModule},
                            [](int book) { return BookNames().Abbreviation(qint16(book)); });
    SearchResult result;
    const VerseReader reader(*kjv);
    const double scan = medianMilliseconds(runs, [&] {
        result = search.Run([&](const VerseReader::Visitor &visit) { return reader.ForEachInModule(visit); });
    });
    const double readerOnly =
        medianMilliseconds(runs, [&] { reader.ForEachInModule([](const Verse &) { return true; }); });
    std::printf("King James Version: %lld lines read, %lld verses found (raw scan: %lld lines)\n",
                (long long)result.lines, (long long)result.verses, (long long)rawLines);
    printRow(QStringLiteral("baseline: raw case-insensitive scan of the module's bytes"), raw);
    printRow(QStringLiteral("term search scan (read, decode, reference lines, test)"), scan);
    printRow(QStringLiteral("  of which the verse reader alone (read, split, decode)"), readerOnly);
    std::printf("scan / raw scan: %.2f (target <= 3)\n\n", scan / raw);

    // (2) From the Search click to the coloured document shown.
    QTextEdit bare;
    bare.resize(900, 600);
    bare.show();
    const double plain = medianMilliseconds(runs, [&] {
        bare.setPlainText(result.text);
        QApplication::processEvents();
    });
    printRow(QStringLiteral("baseline: the result as plain text into a shown QTextEdit"), plain);

    AdvancedSearch &window = AdvancedSearch::Instance();
    window.show();
    window.cboSearch->setEditText(QStringLiteral("LORD"));
    window.optAnyOrder->setChecked(true);
    window.chkIgnoreCase->setChecked(true);
    window.cboBooks->setCurrentIndex(BookRange::WholeModule - 1);
    for (const qint32 limit : {500, 50000}) {
        gMaxCountSize = limit;
        window.cmdSearch_Click(); // warm up
        const double click = clickToShown(window, runs);
        printRow(QStringLiteral("Search click to coloured document, limit %1 (%2 matches)")
                     .arg(limit)
                     .arg(window.MatchCount()),
                 click);
        std::printf("click / plain text: %.2f (target <= %d)\n", click / plain, limit == 500 ? 2 : 3);
    }
    return 0;
}
