// Reading a settings file of 10,000 keys (in one section, and one key in each of
// 10,000 sections) through the settings store, next to QSettings reading the
// same file. Each run reads a copy of its own, so that neither finds the file
// read before (QSettings keeps the files it has read).

#include "BenchSupport.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStringList>

namespace {
const int Runs = 9;
const int Keys = 10000;

QStringList copies(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QStringList paths;
    for (int run = 0; run < Runs; ++run) {
        const QString path = folder + QStringLiteral("%1_%2.ini").arg(name).arg(run);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        paths.append(path);
    }
    return paths;
}

void compare(const QString &what, const QByteArray &bytes, const QString &folder, const QString &section,
             const QString &key)
{
    const QStringList forStore = copies(folder, what + QStringLiteral("_store"), bytes);
    const QStringList forQSettings = copies(folder, what + QStringLiteral("_qsettings"), bytes);
    int run = 0;
    QString fromStore;
    const double store = medianMilliseconds(Runs, [&] {
        const SettingsStore settings(forStore[run++]);
        fromStore = settings.value(section, key, QString());
    });
    run = 0;
    QString fromQSettings;
    const double qsettings = medianMilliseconds(Runs, [&] {
        const QSettings settings(forQSettings[run++], QSettings::IniFormat);
        fromQSettings = settings.value(section + QLatin1Char('/') + key).toString();
    });
    std::printf("%s: %lld bytes; the store read \"%s\", QSettings \"%s\"\n", qPrintable(what),
                static_cast<long long>(bytes.size()), qPrintable(fromStore), qPrintable(fromQSettings));
    printRow(QStringLiteral("baseline: QSettings reads the file, one value"), qsettings);
    printRow(QStringLiteral("settings store reads the file, one value"), store);
    std::printf("store / QSettings: %.2f (target <= 3)\n\n", store / qsettings);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');

    QByteArray oneSection("[Big]\n");
    QByteArray manySections;
    for (int k = 1; k <= Keys; ++k) {
        const QByteArray number = QByteArray::number(k);
        oneSection += "Key" + number + "=value " + number + '\n';
        manySections += "[Section" + number + "]\nKey=value " + number + "\n\n";
    }
    compare(QStringLiteral("10,000 keys in one section"), oneSection, folder, QStringLiteral("Big"),
            QStringLiteral("Key9999"));
    compare(QStringLiteral("10,000 sections of one key"), manySections, folder, QStringLiteral("Section9999"),
            QStringLiteral("Key"));
    return 0;
}
