#include "platform/ChmArchive.h"
#include "platform/ChmHeader.h"
#include "platform/ChmPackIo.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <limits>
#include <mspack.h>

namespace {
// Objects larger than this are damaged archives rather than pages.
constexpr quint64 MaxObjectSize = 64ull * 1024 * 1024;

// Whether the directory gives an object a length the archive reads.
bool hasReadableLength(const mschmd_file *file)
{
    return file && file->length >= 0 && quint64(file->length) <= MaxObjectSize;
}

// The reason an archive is refused when its own numbers are wrong.
QString damaged(const QString &problem)
{
    return QStringLiteral("The file is damaged: %1.").arg(problem);
}

// A page or picture of the archive, not one of its own "#" and "$" objects.
bool isFileObject(const QString &path)
{
    return path.startsWith(QLatin1Char('/')) && !path.startsWith(QLatin1String("/#")) &&
           !path.startsWith(QLatin1String("/$")) && !path.endsWith(QLatin1Char('/'));
}
} // namespace

// Help compilers write pages in UTF-8 or in the ANSI code page.
QString ChmArchive::decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder ansi("windows-1252");
    return ansi.isValid() ? ansi(bytes) : QString::fromLatin1(bytes);
}

ChmArchive::ChmArchive() = default;

ChmArchive::~ChmArchive()
{
    close();
}

bool ChmArchive::open(const QString &path)
{
    close();
    m_path = path;
    m_error = openProblem(path);
    if (m_error.isEmpty())
        m_error = indexObjects();
    if (m_error.isEmpty())
        m_error = compressionProblem();
    if (!m_error.isEmpty()) {
        close();
        return false;
    }
    m_system = readSystemRecord();
    return true;
}

// Checks the file's headers against its size, then lets the library read its
// directory; the reason when either fails.
QString ChmArchive::openProblem(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return QStringLiteral("The file does not exist.");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The file cannot be read: %1.").arg(file.errorString());
    if (!ChmHeader::hasSignature(file))
        return QStringLiteral("The file is not a compiled help archive.");
    const QString problem = ChmHeader::problem(file, file.size());
    if (!problem.isEmpty())
        return damaged(problem);
    if (!ChmPackIo::usable())
        return QStringLiteral("The compiled help reader of this system cannot be used.");
    m_io = std::make_unique<ChmPackIo>();
    m_decompressor = mspack_create_chm_decompressor(m_io.get());
    if (!m_decompressor)
        return QStringLiteral("The compiled help reader could not be started.");
    m_encodedPath = QFile::encodeName(path);
    ChmPackIo::clearNote();
    m_chm = m_decompressor->open(m_decompressor, m_encodedPath.constData());
    if (!m_chm) {
        const QString note = ChmPackIo::lastNote();
        return damaged(note.isEmpty() ? QStringLiteral("its directory cannot be read") : note);
    }
    m_twin = m_decompressor->open(m_decompressor, m_encodedPath.constData());
    return QString();
}

// Every object by its case-folded path; the reason when one of them lies
// outside the file, as in a file cut short.
QString ChmArchive::indexObjects()
{
    const off_t content = m_chm->sec0.offset;
    for (mschmd_file *list : {m_chm->files, m_chm->sysfiles}) {
        for (mschmd_file *file = list; file; file = file->next) {
            const QString path = QString::fromUtf8(file->filename);
            const bool stored = file->section == &m_chm->sec0.base;
            // A compressed object lies in a stream no longer than any file can be.
            const bool placed = file->offset >= 0 && file->length >= 0 &&
                                file->offset <= std::numeric_limits<off_t>::max() - file->length;
            if (!placed || (stored && !ChmHeader::fits(quint64(content) + quint64(file->offset),
                                                       quint64(file->length), m_chm->length)))
                return QStringLiteral("The file is damaged: it is cut short or its directory is wrong "
                                      "(%1 reaches past its end).")
                    .arg(path);
            m_objects.insert(path.toCaseFolded(), file);
            if (isFileObject(path))
                m_files.append(path);
        }
    }
    pairTwins();
    return QString();
}

// The records the library decodes the compressed pages by, checked before it
// decodes any: it looks for a record that the directory listing lacks in a way
// that trusts every number it meets, and it works places and lengths out of
// the records in signed numbers that a damaged file can make overflow.
QString ChmArchive::compressionProblem() const
{
    bool compressed = false;
    for (const mschmd_file *list : {m_chm->files, m_chm->sysfiles}) {
        for (const mschmd_file *file = list; file && !compressed; file = file->next)
            compressed = file->section == &m_chm->sec1.base && file->length > 0;
    }
    if (!compressed)
        return QString();
    const mschmd_sec_mscompressed &section = m_chm->sec1;
    const std::pair<const mschmd_file *, const char *> records[] = {
        {section.content, "Content"},
        {section.control, "ControlData"},
        {section.spaninfo, "SpanInfo"},
        {section.rtable, "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable"}};
    for (const auto &[record, name] : records) {
        if (!record || record->section != &m_chm->sec0.base)
            return damaged(QStringLiteral("its compressed pages lack their record "
                                          "::DataSpace/Storage/MSCompressed/%1")
                               .arg(QLatin1String(name)));
    }
    QByteArray control;
    QByteArray table;
    quint32 resetInterval = 0;
    QString problem = extract(section.control, control)
                          ? ChmHeader::compressionProblem(control, &resetInterval)
                          : QStringLiteral("its compression settings cannot be read");
    if (problem.isEmpty())
        problem = extract(section.rtable, table)
                      ? ChmHeader::resetTableProblem(table, resetInterval, quint64(section.content->length))
                      : QStringLiteral("its reset table cannot be read");
    return problem.isEmpty() ? QString() : damaged(problem);
}

// Both headers list the same directory in the same order.
void ChmArchive::pairTwins()
{
    mschmd_file *twin = m_twin ? m_twin->files : nullptr;
    for (mschmd_file *file = m_chm->files; file && twin; file = file->next, twin = twin->next) {
        if (qstrcmp(file->filename, twin->filename) != 0 || file->offset != twin->offset) {
            m_twins.clear();
            return;
        }
        m_twins.insert(file, twin);
        m_twins.insert(twin, file);
    }
}

// Which header's entry to read an object through: the one the library decoded
// for last, unless the object lies so far ahead that starting over is quicker.
const mschmd_file *ChmArchive::quickestWay(const mschmd_file *file) const
{
    // Starting over decodes at most one reset interval (64 KiB in the files the
    // help compilers write); going on decodes all that lies between.
    constexpr qint64 FarAhead = 128 * 1024;
    mschmd_file *twin = m_twins.value(file);
    if (!twin || !m_decoding)
        return file;
    const mschmd_file *here = m_decoding == m_chm ? file : twin;
    const bool farAhead = file->offset >= m_decodedTo && file->offset - m_decodedTo > FarAhead;
    return farAhead ? (here == file ? twin : file) : here;
}

void ChmArchive::close()
{
    if (m_twin)
        m_decompressor->close(m_decompressor, m_twin);
    if (m_chm)
        m_decompressor->close(m_decompressor, m_chm);
    if (m_decompressor)
        mspack_destroy_chm_decompressor(m_decompressor);
    m_chm = nullptr;
    m_twin = nullptr;
    m_decompressor = nullptr;
    m_twins.clear();
    m_decoding = nullptr;
    m_decodedTo = 0;
    m_io.reset();
    m_objects.clear();
    m_files.clear();
    m_system = SystemRecord();
}

QString ChmArchive::normalObjectPath(const QString &objectPath)
{
    QString path = objectPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

// Help compilers may write "#" into an object's own name ("/_#_README_#_"), so
// a "#" starts the anchor only where the text before it, and not the whole
// link, names an object. The archive's own objects ("/#SYSTEM") start with "#".
ChmArchive::Link ChmArchive::splitLink(const QString &link) const
{
    const QString path = normalObjectPath(link);
    const QString folded = path.toCaseFolded();
    qsizetype end = path.size();
    while (end >= 2) {
        if (m_objects.contains(folded.left(end)))
            return Link{path.left(end), path.mid(end + 1)};
        end = path.lastIndexOf(QLatin1Char('#'), end - 1);
    }
    const qsizetype hash = path.indexOf(QLatin1Char('#'), 2);
    return hash < 0 ? Link{path, QString()} : Link{path.left(hash), path.mid(hash + 1)};
}

const mschmd_file *ChmArchive::find(const QString &objectPath) const
{
    return m_chm ? m_objects.value(splitLink(objectPath).object.toCaseFolded()) : nullptr;
}

// The bytes of an object, as many as the directory says it has.
bool ChmArchive::extract(const mschmd_file *file, QByteArray &bytes) const
{
    bytes.clear();
    if (!hasReadableLength(file))
        return false;
    if (file->length == 0)
        return true;
    bytes.reserve(qsizetype(file->length));
    const ChmPackIo::Sink sink{&bytes, qint64(file->length)};
    const int result =
        m_decompressor->extract(m_decompressor, const_cast<mschmd_file *>(file), ChmPackIo::sinkName(sink));
    const bool read = result == MSPACK_ERR_OK && bytes.size() == file->length;
    if (!read)
        bytes.clear();
    return read;
}

bool ChmArchive::read(const QString &objectPath, QByteArray &bytes) const
{
    bytes.clear();
    const mschmd_file *file = find(objectPath);
    // A compressed object further in than the library can count is past the
    // end of any section a help compiler writes.
    if (!hasReadableLength(file) ||
        (file->section->id == 1 && quint64(file->offset) > ChmHeader::MaxCompressedOffset))
        return false;
    const mschmd_file *way = quickestWay(file);
    const bool read = extract(way, bytes);
    if (way->section->id == 1 && file->length > 0) {
        m_decoding = read ? way->section->chm : nullptr;
        m_decodedTo = way->offset + way->length;
    }
    return read;
}

bool ChmArchive::contains(const QString &objectPath) const
{
    return find(objectPath) != nullptr;
}

QStringList ChmArchive::files() const
{
    return m_files;
}

// The "#SYSTEM" object: a version, then records of a 16-bit code, a 16-bit length
// and that many bytes (0 contents file, 2 default topic, 3 title).
ChmArchive::SystemRecord ChmArchive::readSystemRecord() const
{
    SystemRecord record;
    QByteArray bytes;
    if (!read(QStringLiteral("/#SYSTEM"), bytes))
        return record;
    auto word = [&bytes](qsizetype at) {
        return quint16(quint8(bytes[at]) | (quint16(quint8(bytes[at + 1])) << 8));
    };
    qsizetype at = 4;
    while (at + 4 <= bytes.size()) {
        const quint16 code = word(at);
        const quint16 length = word(at + 2);
        at += 4;
        if (at + length > bytes.size())
            break;
        QByteArray value = bytes.mid(at, length);
        const qsizetype nul = value.indexOf('\0');
        if (nul >= 0)
            value.truncate(nul);
        const QString text = decodeText(value);
        if (code == 0)
            record.contents = text;
        else if (code == 2)
            record.defaultTopic = text;
        else if (code == 3)
            record.title = text;
        at += length;
    }
    return record;
}

QString ChmArchive::defaultTopic() const
{
    const QString topic = m_system.defaultTopic;
    if (!topic.isEmpty() && contains(topic))
        return splitLink(topic).object;
    if (contains(QStringLiteral("/index.html")))
        return QStringLiteral("/index.html");
    for (const QString &path : files())
        if (path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
            path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
            return path;
    return QString();
}

QString ChmArchive::contentsFile() const
{
    const QString named = m_system.contents;
    if (!named.isEmpty() && contains(named))
        return splitLink(named).object;
    for (const QString &path : files())
        if (path.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive))
            return path;
    return QString();
}

QString ChmArchive::title() const
{
    return m_system.title;
}

namespace {
quint32 dword(const QByteArray &bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}
} // namespace

// "#IVB" holds a 32-bit byte count, then pairs of a context number and the offset
// in "#STRINGS" of the topic's name, ended by a zero byte. Compilers write that
// name relative to the project or as the whole path it had where it was compiled:
// the longest tail of it that names a page of the archive is the topic.
QString ChmArchive::topicOfContext(quint32 context) const
{
    QByteArray map;
    QByteArray strings;
    if (!read(QStringLiteral("/#IVB"), map) || map.size() < 4 || !read(QStringLiteral("/#STRINGS"), strings))
        return QString();
    const qsizetype end =
        std::min<qsizetype>(map.size(), 4 + qsizetype(std::min<quint32>(dword(map, 0), 1u << 30)));
    for (qsizetype at = 4; at + 8 <= end; at += 8) {
        const quint32 offset = dword(map, at + 4);
        if (dword(map, at) != context || offset >= quint32(strings.size()))
            continue;
        const qsizetype nul = strings.indexOf('\0', qsizetype(offset));
        QString name = decodeText(strings.mid(offset, nul < 0 ? -1 : nul - qsizetype(offset)));
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        for (qsizetype slash = 0; slash >= 0 && !name.isEmpty(); slash = name.indexOf(QLatin1Char('/'), 1)) {
            name = name.mid(slash);
            if (!name.startsWith(QLatin1Char('#')) && contains(name))
                return splitLink(name).object;
        }
    }
    return QString();
}

QList<ChmArchive::TopicNode> ChmArchive::contents() const
{
    const QString file = contentsFile();
    QByteArray bytes;
    if (file.isEmpty() || !read(file, bytes))
        return {};
    return parseSitemap(decodeText(bytes));
}

namespace {
QString htmlUnescape(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

bool isAttributeNameChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_') ||
           c == QLatin1Char(':') || c == QLatin1Char('-');
}

qsizetype skipSpaces(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

// The value of the first attribute called `name` (without case) in a tag's
// attribute text: name=value, name="value" or name='value'. A quote left open
// makes the value the unquoted run of text that starts with it. Written out by
// hand rather than as a pattern: a contents file has thousands of them.
QString attribute(QStringView attributes, QStringView name)
{
    const qsizetype size = attributes.size();
    qsizetype at = 0;
    while (at < size) {
        if (!isAttributeNameChar(attributes[at])) {
            ++at;
            continue;
        }
        const qsizetype nameStart = at;
        while (at < size && isAttributeNameChar(attributes[at]))
            ++at;
        const QStringView found = attributes.sliced(nameStart, at - nameStart);
        qsizetype value = skipSpaces(attributes, at);
        if (value >= size || attributes[value] != QLatin1Char('='))
            continue;
        value = skipSpaces(attributes, value + 1);
        if (value >= size)
            continue;
        qsizetype valueStart = value;
        qsizetype valueEnd = -1;
        const QChar quote = attributes[value];
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            const qsizetype close = attributes.indexOf(quote, value + 1);
            if (close >= 0) {
                valueStart = value + 1;
                valueEnd = close;
                at = close + 1;
            }
        }
        if (valueEnd < 0) {
            valueEnd = valueStart;
            while (valueEnd < size && !attributes[valueEnd].isSpace() &&
                   attributes[valueEnd] != QLatin1Char('>'))
                ++valueEnd;
            at = valueEnd;
        }
        if (found.compare(name, Qt::CaseInsensitive) == 0)
            return htmlUnescape(attributes.sliced(valueStart, valueEnd - valueStart).toString());
    }
    return QString();
}

enum class SitemapTag { Other, List, Object, Param };

struct TagMatch
{
    SitemapTag kind = SitemapTag::Other;
    bool closing = false;
    QStringView attributes;
    qsizetype end = 0; // just past the '>'
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The sitemap tag (<ul>, <object>, <param>, or their closing forms) that starts
// at `at`, a '<'; Other when there is none there.
TagMatch sitemapTagAt(QStringView text, qsizetype at)
{
    TagMatch match;
    qsizetype i = skipSpaces(text, at + 1);
    if (i < text.size() && text[i] == QLatin1Char('/')) {
        match.closing = true;
        i = skipSpaces(text, i + 1);
    }
    static const struct
    {
        QLatin1StringView name;
        SitemapTag kind;
    } names[] = {{QLatin1StringView("ul"), SitemapTag::List},
                 {QLatin1StringView("object"), SitemapTag::Object},
                 {QLatin1StringView("param"), SitemapTag::Param}};
    for (const auto &candidate : names) {
        const qsizetype after = i + candidate.name.size();
        if (after > text.size() ||
            text.sliced(i, candidate.name.size()).compare(candidate.name, Qt::CaseInsensitive))
            continue;
        if (after < text.size() && isWordChar(text[after]))
            continue;
        const qsizetype close = text.indexOf(QLatin1Char('>'), after);
        if (close < 0)
            break;
        match.kind = candidate.kind;
        match.attributes = text.sliced(after, close - after);
        match.end = close + 1;
        break;
    }
    return match;
}
} // namespace

// A sitemap is HTML: nested <ul> lists whose items are <object type="text/sitemap">
// elements carrying "Name" and "Local" parameters. Unbalanced lists are tolerated;
// the depth is bounded so that a crafted file cannot make a tree too deep to show.
QList<ChmArchive::TopicNode> ChmArchive::parseSitemap(const QString &text)
{
    QList<TopicNode> root;
    QList<QList<TopicNode> *> stack{&root};
    int depth = 0;
    bool inTopic = false;
    TopicNode node;
    const QStringView view(text);
    for (qsizetype at = view.indexOf(QLatin1Char('<')); at >= 0; at = view.indexOf(QLatin1Char('<'), at)) {
        const TagMatch m = sitemapTagAt(view, at);
        if (m.kind == SitemapTag::Other) {
            ++at;
            continue;
        }
        at = m.end;
        if (m.kind == SitemapTag::List) {
            // The stack holds a level for each open list up to the deepest kept.
            if (!m.closing) {
                if (++depth > 1 && depth <= MaxContentsDepth) {
                    QList<TopicNode> *list = stack.last();
                    stack.append(list->isEmpty() ? list : &list->last().children);
                }
            } else if (depth > 0) {
                if (depth-- > 1 && depth < MaxContentsDepth)
                    stack.removeLast();
            }
        } else if (m.kind == SitemapTag::Object) {
            if (!m.closing) {
                inTopic = attribute(m.attributes, u"type")
                              .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
                node = TopicNode();
            } else if (inTopic) {
                inTopic = false;
                if (!node.name.isEmpty() || !node.local.isEmpty())
                    stack.last()->append(node);
            }
        } else if (inTopic && !m.closing) {
            const QString param = attribute(m.attributes, u"name");
            if (param.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                node.name = attribute(m.attributes, u"value");
            else if (param.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                node.local = attribute(m.attributes, u"value");
        }
    }
    return root;
}
