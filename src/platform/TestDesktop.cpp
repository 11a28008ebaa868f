#include "platform/TestDesktop.h"

int TestDesktop::defaultAnswer(int style)
{
    switch (style & MsgBoxStyle::ButtonsMask) {
    case MsgBoxStyle::AbortRetryIgnore:
        return MsgBoxResult::Abort;
    case MsgBoxStyle::YesNoCancel:
    case MsgBoxStyle::YesNo:
        return MsgBoxResult::Yes;
    case MsgBoxStyle::RetryCancel:
        return MsgBoxResult::Retry;
    default:
        return MsgBoxResult::OK;
    }
}

int TestDesktop::messageBox(const QString &text, int style, const QString &title)
{
    shown.append({QStringLiteral("msgbox"), text, title, style});
    if (messageBoxAnswers.empty())
        return defaultAnswer(style);
    int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

std::optional<QString> TestDesktop::inputBox(const QString &prompt, const QString &title,
                                             const QString &defaultText)
{
    shown.append({QStringLiteral("inputbox"), prompt, title, 0});
    Q_UNUSED(defaultText);
    if (inputAnswers.empty())
        return std::nullopt;
    const bool cancelled = !inputAnswers.front().has_value();
    const QString text = cancelled ? QString() : *inputAnswers.front();
    inputAnswers.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString TestDesktop::nextFileAnswer(const QString &kind, const QString &title)
{
    shown.append({kind, QString(), title, 0});
    if (fileAnswers.empty())
        return QString();
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString TestDesktop::openFileName(const QString &title, const QString &, const QString &)
{
    return nextFileAnswer(QStringLiteral("open"), title);
}

QString TestDesktop::saveFileName(const QString &title, const QString &, const QString &, bool)
{
    return nextFileAnswer(QStringLiteral("save"), title);
}

QString TestDesktop::folderName(const QString &title, const QString &)
{
    return nextFileAnswer(QStringLiteral("folder"), title);
}

std::optional<quint32> TestDesktop::chooseColor(quint32)
{
    shown.append({QStringLiteral("color"), QString(), QString(), 0});
    if (colorAnswers.empty())
        return std::nullopt;
    auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

bool TestDesktop::printDialog(QPrinter &printer, const PrintDialogOptions &options)
{
    shown.append({QStringLiteral("print"), QString(), options.title, 0});
    printDialogs.append(options);
    if (printAnswers.empty())
        return false;
    const std::optional<PrintAnswer> answer = printAnswers.front();
    printAnswers.pop_front();
    if (!answer)
        return false;
    printer.setPrintRange(answer->range);
    printer.setFromTo(answer->from, answer->to);
    if (printPaper.isValid())
        printer.setPageSize(printPaper);
    if (!answer->pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(answer->pdfFile);
    }
    return true;
}

std::optional<QFont> TestDesktop::chooseFont(const QFont &initial, const QString &sampleText)
{
    shown.append({QStringLiteral("font"), sampleText, QString(), 0});
    fontsOffered.append(initial);
    if (fontAnswers.empty())
        return std::nullopt;
    auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer;
}

void TestDesktop::setWaitCursor(bool on)
{
    if (on) {
        ++waitCursorDepth;
        ++waitCursorShown;
    } else if (waitCursorDepth > 0) {
        --waitCursorDepth;
    }
}

void TestDesktop::openUrl(const QString &url, std::function<void()> failed)
{
    openedUrls.append(url);
    if (!canOpen && failed)
        failed();
}

void TestDesktop::openFile(const QString &path, std::function<void()> failed)
{
    openedFiles.append(path);
    if (!canOpen && failed)
        failed();
}

bool TestDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    startedPrograms.append((QStringList{program} + arguments).join(QLatin1Char(' ')));
    return canOpen;
}

void TestDesktop::endProgram(int exitCode)
{
    throw ProgramEnded{exitCode};
}

QList<TestDesktop::Shown> TestDesktop::messageBoxes() const
{
    QList<Shown> boxes;
    for (const Shown &s : shown)
        if (s.kind == QLatin1String("msgbox"))
            boxes.append(s);
    return boxes;
}

QString TestDesktop::lastMessage() const
{
    const QList<Shown> boxes = messageBoxes();
    return boxes.isEmpty() ? QString() : boxes.last().text;
}

TestDesktopScope::TestDesktopScope()
{
    auto owned = std::make_unique<TestDesktop>();
    m_desktop = owned.get();
    m_previous = setDesktop(std::move(owned));
}

TestDesktopScope::~TestDesktopScope()
{
    setDesktop(std::move(m_previous));
}
