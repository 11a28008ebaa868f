// The page settings of the settings file, laid out on a pane.
#include "FuzzCase.h"
#include "core/PageSettings.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QString path = SettingsStore::defaultFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(input.bytes()) != input.bytes().size())
        return 0;
    file.close();
    SettingsStore::resetInstance();
    FuzzCase::refused([] {
        PageSettings::ReadPageSettings(true);
        PageSettings::PageLayoutOfSettings();
        RichTextBox pane;
        pane.setPlainText(QStringLiteral("In the beginning"));
        ApplyPageLayoutToWholeText(pane);
    });
    return 0;
}
