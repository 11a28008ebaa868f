#include "platform/SettingsStore.h"
#include "platform/AppInfo.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <memory>

namespace {
std::unique_ptr<SettingsStore> &sharedStore()
{
    static std::unique_ptr<SettingsStore> store;
    return store;
}

// Backslash escapes keep line breaks and the characters that would change the
// meaning of a line inside one line.
QString escape(const QString &text, bool isKey)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (isKey && c == QLatin1Char('='))
            out += QLatin1String("\\e");
        else if (isKey && i == 0 &&
                 (c == QLatin1Char('[') || c == QLatin1Char(';') || c == QLatin1Char('#') ||
                  c == QLatin1Char(' ')))
            out += QLatin1Char('\\') + QString(c);
        else
            out += c;
    }
    return out;
}

QString unescape(QStringView text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar n = text[++i];
        if (n == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (n == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (n == QLatin1Char('e'))
            out += QLatin1Char('=');
        else
            out += n;
    }
    return out;
}

// Index of the first "=" that is not escaped.
qsizetype separatorIndex(QStringView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\'))
            ++i;
        else if (line[i] == QLatin1Char('='))
            return i;
    }
    return -1;
}
} // namespace

SettingsStore &SettingsStore::instance()
{
    if (!sharedStore())
        sharedStore() = std::make_unique<SettingsStore>(defaultFilePath());
    return *sharedStore();
}

void SettingsStore::resetInstance()
{
    sharedStore().reset();
}

QString SettingsStore::defaultFilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QLatin1String("/.config");
    const QString title = AppInfo::title();
    return base + QLatin1Char('/') + title + QLatin1Char('/') + title + QLatin1String(".ini");
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_filePath(filePath)
{
}

void SettingsStore::refresh() const
{
    const QFileInfo info(m_filePath);
    const QDateTime time = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    // File times are coarse: a write in the same tick as our last read keeps both
    // time and size. Only a file that was already old when we read it can be
    // trusted by its time; a recent one is compared by content.
    const bool timeIsConclusive = !time.isValid() || time.addSecs(2) < m_readAt;
    if (m_loaded && time == m_loadedTime && size == m_loadedSize && timeIsConclusive)
        return;
    QByteArray data;
    QFile file(m_filePath);
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    const bool sameContent = m_loaded && data == m_loadedData;
    m_readAt = QDateTime::currentDateTimeUtc();
    m_loadedTime = time;
    m_loadedSize = size;
    if (sameContent)
        return;
    m_sections.clear();
    m_sectionPositions.clear();
    m_entryPositions.clear();
    parse(data);
    m_loaded = true;
    m_loadedData = data;
}

void SettingsStore::parse(const QByteArray &data) const
{
    Section *current = nullptr;
    const QString text = QString::fromUtf8(data);
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), from);
        if (lineFeed < 0)
            lineFeed = text.size();
        QStringView line = QStringView(text).sliced(from, lineFeed - from);
        from = lineFeed + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        // Our own key lines never start with "[" (it is escaped), so blanks after a
        // hand-edited header cannot be part of a key.
        qsizetype end = line.size();
        while (end > 0 && (line[end - 1] == QLatin1Char(' ') || line[end - 1] == QLatin1Char('\t')))
            --end;
        if (line.startsWith(QLatin1Char('[')) && end > 1 && line[end - 1] == QLatin1Char(']')) {
            const QString name = unescape(line.sliced(1, end - 2));
            const QString nameKey = CaseKey(name);
            current = sectionAt(nameKey);
            if (!current)
                current = &addSection(name, nameKey);
            continue;
        }
        const qsizetype eq = separatorIndex(line);
        if (!current || eq < 0)
            continue; // not a line this store writes; ignored
        QString key = unescape(line.first(eq));
        QString value = unescape(line.sliced(eq + 1));
        std::pair<qsizetype, QString> place{current - m_sections.data(), CaseKey(key)};
        const auto it = m_entryPositions.constFind(place);
        if (it != m_entryPositions.constEnd()) {
            current->entries[*it].value = std::move(value);
        } else {
            m_entryPositions.insert(std::move(place), current->entries.size());
            current->entries.append({std::move(key), std::move(value)});
        }
    }
}

void SettingsStore::save() const
{
    QString text;
    for (const Section &section : m_sections) {
        if (section.entries.isEmpty())
            continue;
        text += QLatin1Char('[') + escape(section.name, false) + QLatin1String("]\n");
        for (const Entry &entry : section.entries)
            text +=
                escape(entry.key, true) + QLatin1Char('=') + escape(entry.value, false) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    const QString source = QStringLiteral("SettingsStore");
    // On failure the change that was not stored is forgotten: the next read shows the file as it is.
    if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath())) {
        m_loaded = false;
        raiseError(RtErr::PathFileAccessError, source,
                   QStringLiteral("Cannot create the settings folder for %1").arg(m_filePath));
    }
    const QByteArray data = text.toUtf8();
    QSaveFile file(m_filePath);
    // flush() on its own: commit() does not see a write cut short (disk full).
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush() ||
        !file.commit()) {
        m_loaded = false;
        raiseError(
            RtErr::PathFileAccessError, source,
            QStringLiteral("Cannot write the settings file %1: %2").arg(m_filePath, file.errorString()));
    }
    const QFileInfo info(m_filePath);
    m_loadedTime = info.lastModified();
    m_loadedSize = info.size();
    m_loadedData = data;
    m_readAt = QDateTime::currentDateTimeUtc();
}

// Each UTF-16 unit, or surrogate pair, folded on its own: QString::compare
// ignoring case folds so.
QString SettingsStore::CaseKey(const QString &name)
{
    QString key(name.size(), Qt::Uninitialized);
    QChar *to = key.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name[++i]));
            *to++ = QChar(QChar::highSurrogate(folded));
            *to++ = QChar(QChar::lowSurrogate(folded));
        } else {
            *to++ = QChar(QChar::toCaseFolded(c.unicode()));
        }
    }
    return key;
}

SettingsStore::Section *SettingsStore::findSection(const QString &name) const
{
    return sectionAt(CaseKey(name));
}

SettingsStore::Section *SettingsStore::sectionAt(const QString &nameKey) const
{
    const auto it = m_sectionPositions.constFind(nameKey);
    return it == m_sectionPositions.constEnd() ? nullptr : &m_sections[*it];
}

SettingsStore::Section &SettingsStore::addSection(const QString &name, const QString &nameKey) const
{
    m_sectionPositions.insert(nameKey, m_sections.size());
    m_sections.append({name, {}});
    return m_sections.last();
}

SettingsStore::Entry *SettingsStore::findEntry(Section *section, const QString &key) const
{
    const auto it = m_entryPositions.constFind({section - m_sections.data(), CaseKey(key)});
    return it == m_entryPositions.constEnd() ? nullptr : &section->entries[*it];
}

void SettingsStore::addEntry(Section &section, const QString &key, QString value) const
{
    m_entryPositions.insert({&section - m_sections.data(), CaseKey(key)}, section.entries.size());
    section.entries.append({key, std::move(value)});
}

// Where the same key stands twice in a section, the first one is found.
void SettingsStore::index() const
{
    m_sectionPositions.clear();
    m_entryPositions.clear();
    for (qsizetype s = 0; s < m_sections.size(); ++s) {
        m_sectionPositions.insert(CaseKey(m_sections[s].name), s);
        const QList<Entry> &entries = m_sections[s].entries;
        for (qsizetype e = entries.size() - 1; e >= 0; --e)
            m_entryPositions.insert({s, CaseKey(entries[e].key)}, e);
    }
}

QString SettingsStore::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    refresh();
    Section *s = findSection(section);
    Entry *e = s ? findEntry(s, key) : nullptr;
    return e ? e->value : defaultValue;
}

bool SettingsStore::contains(const QString &section, const QString &key) const
{
    refresh();
    Section *s = findSection(section);
    return s && findEntry(s, key);
}

void SettingsStore::setValue(const QString &section, const QString &key, const QString &value)
{
    refresh();
    Section *s = findSection(section);
    if (!s)
        s = &addSection(section, CaseKey(section));
    if (Entry *e = findEntry(s, key)) {
        if (e->value == value)
            return;
        e->value = value;
    } else {
        addEntry(*s, key, value);
    }
    save();
}

void SettingsStore::removeKey(const QString &section, const QString &key)
{
    refresh();
    Section *s = findSection(section);
    if (!s)
        return;
    const qsizetype before = s->entries.size();
    s->entries.removeIf([&](const Entry &e) { return e.key.compare(key, Qt::CaseInsensitive) == 0; });
    if (s->entries.size() == before)
        return;
    index();
    save();
}

void SettingsStore::removeSection(const QString &section)
{
    refresh();
    const qsizetype before = m_sections.size();
    m_sections.removeIf([&](const Section &s) { return s.name.compare(section, Qt::CaseInsensitive) == 0; });
    if (m_sections.size() == before)
        return;
    index();
    save();
}

void SettingsStore::replaceSection(const QString &section, const QList<std::pair<QString, QString>> &entries)
{
    if (entries.isEmpty()) {
        removeSection(section);
        return;
    }
    refresh();
    Section *s = findSection(section);
    if (!s)
        s = &addSection(section, CaseKey(section));
    QList<Entry> replaced;
    replaced.reserve(entries.size());
    for (const auto &[key, value] : entries)
        replaced.append({key, value});
    s->entries = replaced;
    index();
    save();
}

QStringList SettingsStore::keys(const QString &section) const
{
    refresh();
    QStringList result;
    if (Section *s = findSection(section))
        for (const Entry &e : s->entries)
            result.append(e.key);
    return result;
}

QStringList SettingsStore::sections() const
{
    refresh();
    QStringList result;
    for (const Section &s : m_sections)
        if (!s.entries.isEmpty())
            result.append(s.name);
    return result;
}
