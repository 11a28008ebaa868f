#include "FuzzCase.h"

#include <QApplication>
#include <cstdlib>

// Every target runs in one offscreen application; Qt's own warnings about
// damaged input would only slow the run down.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtFatalMsg) {
            fprintf(stderr, "%s\n", qPrintable(text));
            std::abort();
        }
    });
    new QApplication(*argc, *argv);
    return 0;
}

FuzzCase::FuzzCase(const uint8_t *data, size_t size, bool withCatalogs)
    : m_bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    , m_fixture(withCatalogs)
{
    m_fixture.setUpFolders();
}

QList<QByteArray> FuzzCase::parts(int count) const
{
    QList<QByteArray> out;
    qsizetype from = 0;
    while (out.size() < count - 1) {
        const qsizetype at = m_bytes.indexOf(PartBreak, from);
        if (at < 0)
            break;
        out.append(m_bytes.mid(from, at - from));
        from = at + qsizetype(sizeof PartBreak) - 1;
    }
    out.append(m_bytes.mid(from));
    while (out.size() < count)
        out.append(QByteArray());
    return out;
}

QString FuzzCase::write(const QString &relative, const QByteArray &bytes) const
{
    m_fixture.writeFile(relative, bytes);
    return m_fixture.path(relative);
}
