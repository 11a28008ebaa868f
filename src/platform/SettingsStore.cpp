#include "platform/SettingsStore.h"
#include "platform/AppInfo.h"
#include "platform/RuntimeError.h"
#include "platform/Seams.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <memory>

namespace {
std::unique_ptr<SettingsStore> &sharedStore()
{
    static std::unique_ptr<SettingsStore> store;
    return store;
}

Seam<SettingsStore::SaveFailureHandler> &saveFailureHandler()
{
    static Seam<SettingsStore::SaveFailureHandler> handler{SettingsStore::SaveFailureHandler()};
    return handler;
}

Seam<SettingsStore::DamageHandler> &damageHandler()
{
    static Seam<SettingsStore::DamageHandler> handler{SettingsStore::DamageHandler()};
    return handler;
}

QString storeSource()
{
    return QStringLiteral("SettingsStore");
}

// A damaged line as the reader is shown it: control characters as \xNN, and cut short.
QString shownLine(int number, const QString &line)
{
    constexpr qsizetype MaxShown = 100;
    QString out = QStringLiteral("line %1: ").arg(number);
    for (const QChar c : line.left(MaxShown))
        out += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                                  : QString(c);
    return line.size() > MaxShown ? out + QStringLiteral("...") : out;
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

QString unescape(const QString &text)
{
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
int separatorIndex(const QString &line)
{
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\'))
            ++i;
        else if (line[i] == QLatin1Char('='))
            return i;
    }
    return -1;
}

// Where the section header of a line starts, with its end before trailing blanks:
// 0 for "[name]"; further in for a header after junk (a damaged first line), on
// a line with no "=" that ends in "]"; -1 for a line that is no header. Our own
// key lines never start with "[" (it is escaped), so blanks after a hand-edited
// header cannot be part of a key.
qsizetype headerStart(const QString &line, qsizetype *end)
{
    *end = line.size();
    while (*end > 0 && (line[*end - 1] == QLatin1Char(' ') || line[*end - 1] == QLatin1Char('\t')))
        --*end;
    if (*end < 2 || line[*end - 1] != QLatin1Char(']'))
        return -1;
    if (line.startsWith(QLatin1Char('[')))
        return 0;
    const qsizetype open = line.indexOf(QLatin1Char('['));
    return open > 0 && open < *end - 1 && separatorIndex(line) < 0 ? open : -1;
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
    return AppInfo::configFolder() + AppInfo::title() + QLatin1String(".ini");
}

void SettingsStore::setSaveFailureHandler(SaveFailureHandler handler)
{
    saveFailureHandler().replace(std::move(handler));
}

void SettingsStore::setDamageHandler(DamageHandler handler)
{
    damageHandler().replace(std::move(handler));
}

QString SettingsStore::folder() const
{
    return QFileInfo(m_filePath).absolutePath() + QLatin1Char('/');
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_filePath(filePath)
{
}

void SettingsStore::refresh() const
{
    // Changes the file could not take are the run's settings; the file has nothing newer.
    if (m_unsaved)
        return;
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
    m_unreadLines.clear();
    parse(data);
    m_loaded = true;
    m_loadedData = data;
}

void SettingsStore::parse(const QByteArray &data) const
{
    Section *current = nullptr;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(data);
    // Bytes that are no UTF-8 are read as U+FFFD: such a line is not kept as it stood.
    const bool badBytes = decoder.hasError();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (badBytes && line.contains(QChar::ReplacementCharacter))
            m_unreadLines.append(shownLine(number, line));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        qsizetype end = 0;
        const qsizetype open = headerStart(line, &end);
        if (open >= 0) {
            if (open > 0)
                m_unreadLines.append(shownLine(number, line));
            current = section(unescape(line.mid(open + 1, end - open - 2)));
            continue;
        }
        const int eq = separatorIndex(line);
        if (!current || eq < 0) {
            m_unreadLines.append(shownLine(number, line));
            continue;
        }
        const QString key = unescape(line.left(eq));
        const QString value = unescape(line.mid(eq + 1));
        if (Entry *entry = findEntry(current, key))
            entry->value = value;
        else
            current->entries.append({key, value});
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
    const QByteArray data = text.toUtf8();
    try {
        if (!QDir().mkpath(folder()))
            raiseError(
                RtErr::PathFileAccessError, storeSource(),
                QStringLiteral("Cannot create the folder %1: %2").arg(folder(), qt_error_string(errno)));
        keepDamagedOriginal();
        TextFiles::writeAtomically(m_filePath, data);
    } catch (const RuntimeError &e) {
        // The file keeps what it had; the change holds in memory for the run.
        m_unsaved = true;
        m_saveError = e.description();
        if (const SaveFailureHandler &handler = saveFailureHandler().get())
            handler(folder(), m_saveError);
        return;
    }
    m_unsaved = false;
    m_saveError.clear();
    const QFileInfo info(m_filePath);
    m_loadedTime = info.lastModified();
    m_loadedSize = info.size();
    m_loadedData = data;
    m_readAt = QDateTime::currentDateTimeUtc();
}

// Nothing of a file read in part is lost: the original goes beside it first.
void SettingsStore::keepDamagedOriginal() const
{
    if (m_unreadLines.isEmpty())
        return;
    const QString copy = m_filePath + QStringLiteral(".bad");
    TextFiles::writeAtomically(copy, m_loadedData);
    const QStringList lines = std::exchange(m_unreadLines, QStringList());
    if (const DamageHandler &handler = damageHandler().get())
        handler(m_filePath, copy, lines);
}

SettingsStore::Section *SettingsStore::section(const QString &name) const
{
    if (Section *found = findSection(name))
        return found;
    m_sections.append({name, {}});
    return &m_sections.last();
}

SettingsStore::Section *SettingsStore::findSection(const QString &name) const
{
    for (Section &section : m_sections)
        if (section.name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    return nullptr;
}

SettingsStore::Entry *SettingsStore::findEntry(Section *section, const QString &key) const
{
    for (Entry &entry : section->entries)
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
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
    Section *s = SettingsStore::section(section);
    if (Entry *e = findEntry(s, key)) {
        if (e->value == value)
            return;
        e->value = value;
    } else {
        s->entries.append({key, value});
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
    if (s->entries.size() != before)
        save();
}

void SettingsStore::removeSection(const QString &section)
{
    refresh();
    const qsizetype before = m_sections.size();
    m_sections.removeIf([&](const Section &s) { return s.name.compare(section, Qt::CaseInsensitive) == 0; });
    if (m_sections.size() != before)
        save();
}

void SettingsStore::replaceSection(const QString &section, const QList<std::pair<QString, QString>> &entries)
{
    if (entries.isEmpty()) {
        removeSection(section);
        return;
    }
    refresh();
    Section *s = SettingsStore::section(section);
    QList<Entry> replaced;
    replaced.reserve(entries.size());
    for (const auto &[key, value] : entries)
        replaced.append({key, value});
    s->entries = replaced;
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
