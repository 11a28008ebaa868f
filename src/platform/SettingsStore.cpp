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
QString shownLine(int number, QStringView line)
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

// Where the section header of a line starts, with its end before trailing blanks:
// 0 for "[name]"; further in for a header after junk (a damaged first line), on
// a line with no "=" that ends in "]"; -1 for a line that is no header. Our own
// key lines never start with "[" (it is escaped), so blanks after a hand-edited
// header cannot be part of a key.
qsizetype headerStart(QStringView line, qsizetype *end)
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
    m_sectionPositions.clear();
    m_entryPositions.clear();
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
    int number = 0;
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), from);
        if (lineFeed < 0)
            lineFeed = text.size();
        QStringView line = QStringView(text).sliced(from, lineFeed - from);
        from = lineFeed + 1;
        ++number;
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
            current = section(unescape(line.sliced(open + 1, end - open - 2)));
            continue;
        }
        const qsizetype eq = separatorIndex(line);
        if (!current || eq < 0) {
            m_unreadLines.append(shownLine(number, line));
            continue;
        }
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

QStringList SettingsStore::unreadLines(QString *copy) const
{
    refresh();
    if (!m_unreadLines.isEmpty())
        *copy = TextFiles::copyPath(m_filePath, m_loadedData);
    return m_unreadLines;
}

// Nothing of a file read in part is lost: the original goes beside it first.
void SettingsStore::keepDamagedOriginal() const
{
    if (m_unreadLines.isEmpty())
        return;
    const QString copy = TextFiles::keepCopy(m_filePath, m_loadedData);
    const QStringList lines = std::exchange(m_unreadLines, QStringList());
    if (const DamageHandler &handler = damageHandler().get())
        handler(m_filePath, copy, lines);
}

SettingsStore::Section *SettingsStore::section(const QString &name) const
{
    const QString nameKey = CaseKey(name);
    if (Section *found = sectionAt(nameKey))
        return found;
    return &addSection(name, nameKey);
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
    Section *s = SettingsStore::section(section);
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
    Section *s = SettingsStore::section(section);
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
