#include "search/Highlights.h"
#include "search/SearchText.h"

namespace {
constexpr quint32 Yellow = 0x0000FFFF;

// One character for one, as the search compares: "straße" is "STRAßE", not the
// longer "STRASSE", which the search would never have found. Quotes stay as typed.
QString upperCase(const QString &term)
{
    QString upper = term;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}
} // namespace

HighlightPlan PlanHighlights(QStringView resultText, const QStringList &terms, qint32 maxCount)
{
    HighlightPlan plan;
    for (int k = 1; k <= terms.size(); ++k) {
        const QString &term = terms[k - 1];
        const QString folded = SearchText::Fold(term, true);
        TermCount count{term, 0};
        // An empty term is in every line but marks nothing.
        qsizetype from = folded.isEmpty() ? resultText.size() + 1 : 0;
        while (from <= resultText.size()) {
            const qsizetype position = SearchText::IndexOfFolded(resultText, folded, from, true);
            if (position < 0)
                break;
            ++count.count;
            ++plan.matches;
            plan.hits.push_back(Hit{position, folded.size(), k});
            if (!plan.limitReached && plan.matches >= maxCount) {
                plan.limitReached = true;
                plan.limitHits = plan.hits.size();
            }
            if (plan.limitReached)
                break;
            from = position + 1;
        }
        plan.summary.append(count);
    }
    return plan;
}

QString HighlightPlan::SummaryLine(const TermCount &count, bool ignoreCase)
{
    return QString::number(count.count) + QLatin1Char(' ') +
           (ignoreCase ? upperCase(count.term) : count.term);
}

quint32 TermColour(int term, const std::array<quint32, 5> &highlightColours)
{
    const int slot = term % 6;
    return slot == 0 ? Yellow : highlightColours[size_t(slot - 1)];
}
