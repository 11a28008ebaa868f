#pragma once

#include "platform/Desktop.h"

class QtDesktop : public Desktop
{
public:
    int messageBox(const QString &text, int style, const QString &title) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &folder, const QString &filter,
                         bool confirmOverwrite = true) override;
    QString folderName(const QString &title, const QString &folder) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
    bool printDialog(QPrinter &printer, const PrintDialogOptions &options) override;
    std::optional<QFont> chooseFont(const QFont &initial, const QString &sampleText) override;
    QDateTime now() override;
    void setWaitCursor(bool on) override;
    void openUrl(const QString &url, std::function<void()> failed) override;
    void openFile(const QString &path, std::function<void()> failed) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    [[noreturn]] void endProgram(int exitCode) override;

private:
    int m_waitDepth = 0;
};
