// The term search, whole module, Ignore Order, ignore case: "LORD" in the
// shipped King James Version and in copies of it 2, 4 and 8 times as long, and
// "Jehová" in the Reina-Valera. (1) The scan alone, next to reading the file and
// a plain vectorised case-insensitive scan of its bytes that counts the same
// lines; (2) from the Search click to the coloured document shown, at two
// highlight limits, next to setting the same result as plain text into a bare
// shown QTextEdit.

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
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextEdit>
#include <array>
#include <cstring>
#include <emmintrin.h>

namespace {
const int Runs = 9;

// Lower case of each byte of a single-byte code page.
std::array<uchar, 256> lowerCaseTable(const char *codePage)
{
    std::array<uchar, 256> lower{};
    QStringDecoder decoder(codePage);
    QStringEncoder encoder(codePage);
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QByteArray folded = encoder.encode(QString(decoder.decode(QByteArrayView(&byte, 1))).toLower());
        lower[size_t(b)] = folded.size() == 1 ? uchar(folded[0]) : uchar(b);
    }
    return lower;
}

// Reads the file and counts the lines that hold the word in any case: sixteen
// bytes at a time are compared with the word's first byte in both cases, and
// each place found is compared through the lower-case table; a line found is
// passed over to its end with memchr.
qint64 rawScan(const QString &path, const QByteArray &lowerWord, const std::array<uchar, 256> &lower)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    const qsizetype length = lowerWord.size();
    uchar upperFirst = uchar(lowerWord[0]);
    for (int b = 0; b < 256; ++b) {
        if (lower[size_t(b)] == uchar(lowerWord[0]) && b != uchar(lowerWord[0]))
            upperFirst = uchar(b);
    }
    const __m128i first = _mm_set1_epi8(char(lowerWord[0]));
    const __m128i firstUpper = _mm_set1_epi8(char(upperFirst));
    qint64 lines = 0;
    qsizetype i = 0;
    while (i + 16 <= size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        unsigned mask = unsigned(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(block, firstUpper))));
        qsizetype next = i + 16;
        while (mask != 0) {
            const qsizetype at = i + __builtin_ctz(mask);
            mask &= mask - 1;
            qsizetype k = 1;
            while (k < length && at + k < size && lower[uchar(data[at + k])] == uchar(lowerWord[k]))
                ++k;
            if (k == length) {
                ++lines;
                const void *end = std::memchr(data + at, '\n', size_t(size - at));
                next = end ? static_cast<const char *>(end) - data + 1 : size;
                break;
            }
        }
        i = next;
    }
    return lines;
}

// The module written `times` over, its lines numbered on, into the Bible folder.
QString longerModule(const QString &source, int times)
{
    if (times == 1)
        return QFileInfo(source).fileName();
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = in.readAll().split('\n');
    QByteArray out;
    qint64 number = 0;
    for (int copy = 0; copy < times; ++copy) {
        for (const QByteArray &line : lines) {
            const qsizetype tab = line.indexOf('\t');
            if (tab > 0)
                out += QByteArray::number(++number) + line.mid(tab) + '\n';
        }
    }
    const QString name = QStringLiteral("b_kjv_x%1.txt").arg(times);
    QSaveFile file(gBibleFolder + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        return QString();
    return name;
}

struct Query
{
    QString name;
    QString file;
    int codePage = 0;
    QString word;
    const char *encoding = "windows-1252";
};

// (1) The scan alone, next to the raw scan.
void benchScan(const Translation &translation, const Query &query)
{
    const QByteArray lowerWord = QStringEncoder(query.encoding).encode(query.word.toLower());
    const std::array<uchar, 256> lower = lowerCaseTable(query.encoding);
    qint64 rawLines = 0;
    const double raw =
        medianMilliseconds(Runs, [&] { rawLines = rawScan(translation.ModulePath(), lowerWord, lower); });
    const TermSearch search({query.word, SearchMode::AllTerms, true, BookRange::WholeModule},
                            [](int book) { return BookNames().Abbreviation(qint16(book)); });
    SearchResult result;
    const double scan = medianMilliseconds(Runs, [&] {
        const VerseReader reader(translation);
        result = search.Run([&](RawLineVisitor &visitor) { return reader.ForEachLineInModule(visitor); });
    });
    std::printf("%s, \"%s\": %lld verses found (raw scan: %lld lines)\n", qPrintable(query.name),
                qPrintable(query.word), (long long)result.verses, (long long)rawLines);
    printRow(QStringLiteral("baseline: read + vectorised case-insensitive scan"), raw);
    printRow(QStringLiteral("term search scan (read, test bytes, decode the likely, test)"), scan);
    std::printf("scan / raw scan: %.2f (target <= 1.5)\n\n", scan / raw);
}

// (2) From the Search click to the coloured document shown.
void benchClick(const QString &name, const QString &word)
{
    AdvancedSearch &window = AdvancedSearch::Instance();
    window.show();
    window.cboTranslation->setCurrentText(name);
    window.cboSearch->setEditText(word);
    window.optAnyOrder->setChecked(true);
    window.chkIgnoreCase->setChecked(true);
    window.cboBooks->setCurrentIndex(BookRange::WholeModule - 1);
    window.cmdSearch_Click();
    const QString resultText = window.RT->document()->toPlainText();

    QTextEdit bare;
    bare.resize(900, 600);
    bare.show();
    const double plain = medianMilliseconds(Runs, [&] {
        bare.setPlainText(resultText);
        QApplication::processEvents();
    });
    printRow(QStringLiteral("baseline: the result as plain text into a shown QTextEdit"), plain);
    for (const qint32 limit : {500, 50000}) {
        gMaxCountSize = limit;
        window.cmdSearch_Click(); // warm up
        const double click = medianMilliseconds(Runs, [&] {
            window.cmdSearch_Click();
            QApplication::processEvents();
        });
        printRow(QStringLiteral("Search click to coloured document, limit %1 (%2 matches)")
                     .arg(limit)
                     .arg(window.MatchCount()),
                 click);
        std::printf("click / plain text: %.2f\n", click / plain);
    }
    std::printf("\n");
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    gShowSplash = false;
    const QString kjv = gBibleFolder + QStringLiteral("b_kjv.txt");
    QList<Query> queries;
    for (const int times : {1, 2, 4, 8}) {
        const QString name = times == 1 ? QStringLiteral("King James Version")
                                        : QStringLiteral("King James Version x%1").arg(times);
        queries.append({name, longerModule(kjv, times), 0, QStringLiteral("LORD")});
    }
    queries.append({QStringLiteral("Reina-Valera 1909"), QStringLiteral("b_rv1909.txt"), 1252,
                    QStringLiteral("Jehov\u00E1")});
    for (const Query &query : queries)
        gBibles.Add(query.name, query.file, true, query.codePage);

    for (int i = 0; i < queries.size(); ++i)
        benchScan(*TranslationHelpers::GetTranslation(i), queries[i]);
    for (const Query &query : queries)
        benchClick(query.name, query.word);
    return 0;
}
