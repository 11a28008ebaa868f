#include "common/LimitedChild.h"

#include "common/FileSizeLimit.h"
#include "platform/RuntimeError.h"

#include <QByteArray>
#include <sys/wait.h>
#include <unistd.h>

namespace {
[[noreturn]] void runChild(int out, qint64 bytes, const std::function<QString()> &work)
{
    const FileSizeLimit limit{rlim_t(bytes)};
    QByteArray report;
    try {
        report = work().toUtf8();
    } catch (const RuntimeError &e) {
        report = "uncaught RuntimeError: " + e.description().toUtf8();
    }
    for (qsizetype done = 0; done < report.size();) {
        const ssize_t n = ::write(out, report.constData() + done, size_t(report.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    ::_exit(0);
}
} // namespace

std::optional<QString> runWithFileSizeLimit(qint64 bytes, const std::function<QString()> &work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        runChild(channel[1], bytes, work);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        return QStringLiteral("the child ended abnormally");
    return QString::fromUtf8(report);
}
