#pragma once

#include <QString>

// A substitution of characters by their code in the system code page: character n
// of the map replaces a character whose code is n.
class CharMapper
{
public:
    CharMapper();
    void AlterString(QString &text) const;
    QString OutputChars() const { return m_map; }
    void SetOutputChars(const QString &map) { m_map = map; }

private:
    QString m_map;
};
