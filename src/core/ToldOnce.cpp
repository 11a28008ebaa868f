#include "core/ToldOnce.h"

bool ToldOnce::First(const QString &subject)
{
    const qsizetype before = m_told.size();
    m_told.insert(subject);
    return m_told.size() > before;
}

void ToldOnce::Note(const QString &subject)
{
    m_told.insert(subject);
}
